#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/SpecList.h"
#include "foundation/FieldStream.h"
#include "foundation/Strings.h"
#include "objects/annotations/HumanPath.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/app/ProgramDriving.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestWindows.h"

// A handler path in the real program: drawn, measured, edited, undone,
// saved, reopened and hidden.

using namespace programtest;

namespace {

constexpr int kOrganisation = 1;
constexpr int kPropertiesCommand = 2128;
constexpr int kSelectAllCommand = 2124;
constexpr int kPathsCommand = 2160;
constexpr int kWindowTitleText = 2229;
constexpr int kLongDashesText = 2395;

HWND WaitForPathWindow(const CProgramProcess& program)
{
    const std::wstring title =
        GetStringWithArg(kWindowTitleText, GetSpecList(kOrganisation).GetTerm(CHumanPath::kNameTextId));
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kWait; PumpMessagesFor(20))
        for (HWND window : program.FindWindows(L"#32770"))
            if (GetWindowTextString(window) == title && !ListDialogChildren(window).empty())
                return window;
    return nullptr;
}

// Dark pixels (text, lines) of the view within `radius` of a point.
int DarkAround(const CWindowParts& parts, const std::vector<COLORREF>& pixels, POINT at, int radius)
{
    const int width = parts.view.right - parts.view.left;
    int dark = 0;
    for (LONG y = at.y - radius; y <= at.y + radius; ++y)
        for (LONG x = at.x - radius; x <= at.x + radius; ++x) {
            const COLORREF c = pixels[size_t((y - parts.view.top) * width + x - parts.view.left)];
            dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 200;
        }
    return dark;
}

const CHumanPath* OnlyPath(const CCourse& course) { return dynamic_cast<const CHumanPath*>(OnlyObject(course)); }

}  // namespace

TEST(PathsProgram, AHandlerPathIsDrawnMeasuredEditedReopenedAndHidden)
{
    PrepareProgramSettings(kOrganisation);
    SetProgramInt(L"140EditOnCreate", 0);
    SetProgramInt(L"140ShowLength", 1);
    SetProgramInt(L"NeverShow2706", 1);
    CProgramProcess program;
    CDrivenCourse driven;
    ASSERT_TRUE(StartMappedEmptyCourse(program, L"paths", L"Paths.agl", driven));
    const auto& [path, frame, parts, map] = driven;

    // Drawn by the mouse: a bend of half a circle, 24 feet across.
    Click(ShapeButton(parts, CHumanPath::kNameTextId, kOrganisation));
    const CPoint2 centre(6000.0f, 7200.0f);
    const auto onArc = [&](int step) {
        const float a = 3.14159265f * float(step) / 24.0f;
        return map.ToScreen(centre - CPoint2(1440.0f * std::cos(a), 1440.0f * std::sin(a)));
    };
    MouseInput(onArc(0), 0, false);
    MouseInput(onArc(0), MOUSEEVENTF_LEFTDOWN, false);
    for (int step = 1; step <= 24; ++step)
        MouseInput(onArc(step), 0, false);
    MouseInput(onArc(24), MOUSEEVENTF_LEFTUP, false);
    PumpMessagesFor(300);

    CCourse placed(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, placed));
    const std::string placedBytes = ReadWholeFile(path);
    const CHumanPath* drawn = OnlyPath(placed);
    ASSERT_TRUE(drawn);
    const std::vector<CPoint2> points(drawn->GetPoints().begin(), drawn->GetPoints().end());
    ASSERT_GE(points.size(), 4u);
    const float pixel = 1.0f / map.scale;
    const CTransform& at = drawn->GetPlacement();
    EXPECT_NEAR(0.0f, (at.TransformPoint2D(points.front()) - (centre - CPoint2(1440.0f, 0.0f))).Length(), 2 * pixel);
    EXPECT_NEAR(0.0f, (at.TransformPoint2D(points.back()) - (centre + CPoint2(1440.0f, 0.0f))).Length(), 2 * pixel);
    EXPECT_NEAR(3.14159265f * 1440.0f, drawn->GetLength(), 20 * pixel);
    // Its record: show length, units, pen type, the count and the points.
    CFieldReader record(RecordsOf(placed).at(0));
    int32_t typeId = 0, units = 0, penType = 0, count = 0;
    bool showLength = false;
    record.ReadInt16(typeId), record.ReadBool(showLength), record.ReadInt8(units), record.ReadInt8(penType);
    record.ReadInt16(count);
    CPoint2 first, second;
    record.ReadPoint(first), record.ReadPoint(second);
    EXPECT_EQ(std::vector<int>({140, 1, 4, 1, int(points.size())}),
              std::vector<int>({typeId, showLength, units, penType, count}));
    EXPECT_EQ(std::make_pair(points[0], points[1]), std::make_pair(first, second));

    // The length label is drawn at its place on the map.
    const std::vector<COLORREF> shown = WaitForRepaint(parts, {});
    const POINT label = map.ToScreen(at.TransformPoint2D(drawn->GetLabelPosition()));
    EXPECT_GT(DarkAround(parts, shown, label, 12), 20);
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-handler-path.png")));

    // Properties: long dashes, one undo step.
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kSelectAllCommand, 0), 0);
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kPropertiesCommand, 0), 0);
    HWND window = WaitForPathWindow(program);
    ASSERT_TRUE(window);
    EXPECT_TRUE(SaveDialogShot(window, L"handler-path"));
    ClickControl(FindChildByCaption(window, GetString(kLongDashesText)));
    PressDialogButton(window, IDOK);
    ASSERT_TRUE(WaitUntilGone(window));
    CCourse edited(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, edited) && OnlyPath(edited));
    const std::string editedBytes = ReadWholeFile(path);
    EXPECT_EQ(2, OnlyPath(edited)->GetPenType());
    EXPECT_EQ(2ul, ReadProgramInt(L"140PenType", 0));
    cwtest::KeyPress('Z', true);
    ASSERT_TRUE(SaveAndWait(path));
    EXPECT_EQ(placedBytes, ReadWholeFile(path));
    cwtest::KeyPress('Y', true);
    ASSERT_TRUE(SaveAndWait(path));
    EXPECT_EQ(editedBytes, ReadWholeFile(path));
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));

    // Reopened: the same path, saved again to the same bytes.
    CProgramProcess again;
    const HWND reopened = StartAndWaitUntilReady(again, Quoted(path), Caption(L"Paths.agl"));
    ASSERT_TRUE(reopened);
    filetest::WriteBytes(path, "");
    ASSERT_TRUE(SaveAndWait(path));
    EXPECT_EQ(editedBytes, ReadWholeFile(path));
    CCourse read(L"", L"");
    ASSERT_TRUE(ReadCourseFile(path, read) && OnlyPath(read));
    EXPECT_EQ(points, std::vector<CPoint2>(OnlyPath(read)->GetPoints().begin(), OnlyPath(read)->GetPoints().end()));

    // The Paths command hides the path with its label and shows it again.
    const CWindowParts view = FindParts(reopened);
    ASSERT_TRUE(view.found);
    CViewMap map2;
    ASSERT_TRUE(MapView(view, map2));
    const std::vector<COLORREF> before = WaitForRepaint(view, {});
    EXPECT_TRUE(SaveScreenPicture(reopened, GetTestArtefactPath(L"program-handler-path-dashed.png")));
    const POINT label2 = map2.ToScreen(at.TransformPoint2D(drawn->GetLabelPosition()));
    const POINT onLine = map2.ToScreen(at.TransformPoint2D(points[points.size() / 2]));
    PostMessageW(reopened, WM_COMMAND, MAKEWPARAM(kPathsCommand, 0), 0);
    const std::vector<COLORREF> hidden = WaitForRepaint(view, before);
    for (const POINT& spot : {label2, onLine})
        EXPECT_GT(DarkAround(view, before, spot, 8), DarkAround(view, hidden, spot, 8) + 5);
    PostMessageW(reopened, WM_COMMAND, MAKEWPARAM(kPathsCommand, 0), 0);
    EXPECT_EQ(before, WaitForRepaint(view, hidden));
    filetest::WriteBytes(path, "");
    ASSERT_TRUE(SaveAndWait(path));
    EXPECT_EQ(editedBytes, ReadWholeFile(path));
    again.CloseCourseWindows();
    EXPECT_EQ(0, again.WaitForExit(kWait));
}
