#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "objects/equipment/CollapsedTunnel.h"
#include "objects/equipment/Tunnel.h"
#include "objects/equipment/TunnelPolylineGeometry.h"
#include "foundation/Strings.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/app/ProgramDriving.h"
#include "tests/app/ProgramProcess.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

// The real program under Wine, driven from outside as a user would: mouse
// and keys through the system's input, files and the clipboard checked from
// this process. Settings go to the program's own key in the test prefix.
// Wine gives no access to another process's menus: the Undo caption that
// each of these steps leaves in the Edit menu is read in CourseWindowTest,
// where the same window is driven by the same input.

using namespace programtest;

namespace {

constexpr int kOrganisation = 1;
constexpr int kAFrameButton = 2526;
constexpr int kDogWalkButton = 2544;

// Clicks the A-frame button, then the view at the fractions of its size.
void PlaceAFrame(const CWindowParts& parts, float fx, float fy)
{
    Click(ShapeButton(parts, kAFrameButton, kOrganisation));
    Click(ViewPoint(parts, fx, fy));
}

// The tunnels of a course as points on the course: the tunnel's line and
// the collapsed tunnel's two ends.
std::vector<CPoint2> TunnelShapes(const CCourse& course)
{
    std::vector<CPoint2> shapes;
    for (const CCourseObject* object : course.GetObjects()) {
        if (const CTunnel* tunnel = dynamic_cast<const CTunnel*>(object)) {
            for (int i = 0; i < tunnel->GetEndCount(); ++i) {
                CPoint2 point;
                tunnel->GetEnd(point, i);
                shapes.push_back(tunnel->GetPlacement().TransformPoint2D(point));
            }
        } else if (dynamic_cast<const CCollapsedTunnel*>(object)) {
            for (int i = 0; i < 2; ++i) {
                CPoint2 point;
                object->GetEnd(point, i);
                shapes.push_back(object->GetPlacement().TransformPoint2D(point));
            }
        }
    }
    return shapes;
}

void ExpectSameShapes(const std::vector<CPoint2>& expected, const std::vector<CPoint2>& actual, const char* step)
{
    ASSERT_EQ(expected.size(), actual.size()) << step;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(expected[i].x, actual[i].x, 1.0f) << step << " " << i;
        EXPECT_NEAR(expected[i].y, actual[i].y, 1.0f) << step << " " << i;
    }
}

}  // namespace

TEST(Program, StartsWithAnUntitledUnmodifiedCourseDrawnToScale)
{
    PrepareProgramSettings(kOrganisation);
    CProgramProcess program;
    const HWND frame = StartAndWaitUntilReady(program, L"", Caption(GetStringWithArg(2004, L"1")));
    ASSERT_TRUE(frame);
    const CWindowParts parts = FindParts(frame);
    ASSERT_TRUE(parts.found);
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-start.png")));

    const int width = parts.view.right - parts.view.left;
    const int height = parts.view.bottom - parts.view.top;
    const std::vector<COLORREF> pixels = GrabScreen(parts.view);
    const std::vector<float> columns = FindLines(pixels, width, height, false);
    const std::vector<float> rows = FindLines(pixels, width, height, true);
    // 120 by 100 feet in 10-foot cells: 13 and 11 lines, the outer ones the
    // ring's outline.
    ASSERT_EQ(13u, columns.size());
    ASSERT_EQ(11u, rows.size());
    const float cell = (columns.back() - columns.front()) / 12.0f;
    for (size_t i = 1; i < columns.size(); ++i)
        EXPECT_NEAR(cell, columns[i] - columns[i - 1], 1.5f);
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_NEAR(cell, rows[i] - rows[i - 1], 1.5f);
    // The labels: dark pixels inside the top row of cells that no line holds.
    int labelPixels = 0;
    for (int y = int(rows[0]) + 3; y < int(rows[1]) - 3; ++y)
        for (int x = int(columns[0]) + 3; x < int(columns[12]) - 3; ++x)
            if (GetRValue(pixels[size_t(y) * width + x]) < 128 &&
                std::none_of(columns.begin(), columns.end(), [&](float c) { return std::fabs(float(x) - c) < 3.0f; }))
                ++labelPixels;
    EXPECT_GT(labelPixels, 50);

    program.CloseCourseWindows();
    // An unmodified course closes without a question, and the program ends.
    EXPECT_EQ(0, program.WaitForExit(kWait));
}

TEST(Program, MouseAndKeysPlaceMoveTurnDeleteAndUndoAnAFrame)
{
    PrepareProgramSettings(kOrganisation);
    const std::wstring folder = MakeTempFolder(L"driven");
    std::wstring path;
    CProgramProcess program;
    const HWND frame = StartWithEmptyCourse(program, folder, L"Driven.agl", path);
    ASSERT_TRUE(frame);
    const CWindowParts parts = FindParts(frame);
    ASSERT_TRUE(parts.found);

    // Place: the A-frame button, then a click in the view.
    PlaceAFrame(parts, 0.5f, 0.5f);
    const POINT centre = ViewPoint(parts, 0.5f, 0.5f);
    CCourse placed(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, placed));
    const CCourseObject* frameObject = OnlyObject(placed);
    ASSERT_TRUE(frameObject);
    EXPECT_EQ(10, frameObject->GetType()->GetId());
    const CPoint2 start = frameObject->GetPosition();

    // Drag it to the right.
    Drag(centre, POINT{centre.x + 80, centre.y});
    CCourse moved(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, moved));
    ASSERT_TRUE(OnlyObject(moved));
    EXPECT_GT(OnlyObject(moved)->GetPosition().x, start.x + 100.0f);
    EXPECT_NEAR(start.y, OnlyObject(moved)->GetPosition().y, 1.0f);

    // Select it again (the save cleared the selection) and turn it by "]".
    const POINT there{centre.x + 80, centre.y};
    Click(there);
    cwtest::TypeChar(L']');
    PumpMessagesFor(200);
    CCourse turned(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, turned));
    ASSERT_TRUE(OnlyObject(turned));
    const float angle = OnlyObject(turned)->GetPlacement().GetRotation();
    EXPECT_NEAR(15.0f, std::fabs(std::remainder(angle - frameObject->GetPlacement().GetRotation(), 360.0f)), 0.5f);

    // Delete, then undo it with Ctrl+Z.
    Click(there);
    cwtest::KeyPress(VK_DELETE);
    CCourse deleted(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, deleted));
    EXPECT_EQ(0u, deleted.GetObjectCount());
    cwtest::KeyPress('Z', true);
    CCourse restored(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, restored));
    ASSERT_TRUE(OnlyObject(restored));
    EXPECT_NEAR(angle, OnlyObject(restored)->GetPlacement().GetRotation(), 0.01f);

    // A few more, for the picture of the window.
    for (float fx : {0.25f, 0.75f})
        PlaceAFrame(parts, fx, 0.3f);
    PumpMessagesFor(500);
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-course-window.png")));

    // Closing the modified course asks; Cancel keeps it, No ends the program
    // and leaves the file as it was saved.
    const std::string saved = ReadWholeFile(path);
    PostMessageW(frame, WM_CLOSE, 0, 0);
    const HWND box = program.WaitForMessageBox(kWait);
    ASSERT_TRUE(box);
    EXPECT_EQ(GetStringWithArg(2698, L"Driven.agl"), CProgramProcess::GetMessageBoxText(box));
    EXPECT_TRUE(GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO) && GetDlgItem(box, IDCANCEL));
    PressDialogButton(box, IDCANCEL);
    PumpMessagesFor(500);
    EXPECT_TRUE(program.IsRunning());
    EXPECT_EQ(1u, program.FindWindows(L"Fendrel 4").size());
    PostMessageW(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PressMessageBoxButton(program, IDNO));
    EXPECT_EQ(0, program.WaitForExit(kWait));
    EXPECT_EQ(saved, ReadWholeFile(path));
}

// A dog walk placed, turned by "]" three times and dragged at its end handle
// straight away turns about its centre; it does not move.
TEST(Program, ADragOfAnEndRightAfterATurnByTheKeysTurnsTheDogWalk)
{
    PrepareProgramSettings(kOrganisation);
    CProgramProcess program;
    CDrivenCourse driven;
    ASSERT_TRUE(StartMappedEmptyCourse(program, L"program-turned-end", L"Turned.agl", driven));
    const auto& [path, frame, parts, map] = driven;
    Click(ShapeButton(parts, kDogWalkButton, kOrganisation));
    Click(ViewPoint(parts, 0.5f, 0.5f));
    for (int i = 0; i < 3; ++i)
        cwtest::TypeChar(L']');

    // Where the turn left it, from a copy of the selection: a save would
    // clear the selection.
    EmptyTheClipboard();
    cwtest::KeyPress('C', true);
    ASSERT_TRUE(WaitForClipboard(CF_TEXT));
    CCourse copied(L"", L"");
    std::istringstream block(ReadClipboardText());
    ASSERT_TRUE(copied.ReadTextBlock(block, false));
    ASSERT_TRUE(OnlyObject(copied));
    const CTransform turned = OnlyObject(copied)->GetPlacement();
    CPoint2 end;
    OnlyObject(copied)->GetEnd(end, 1);
    const POINT from = map.ToScreen(turned.TransformPoint2D(end));
    const POINT centre = map.ToScreen(turned.GetPosition2D());
    Drag(from, POINT{from.x - (from.y - centre.y), from.y + (from.x - centre.x)});
    PumpMessagesFor(300);
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-dog-walk-end-dragged.png")));

    CCourse saved(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, saved));
    ASSERT_TRUE(OnlyObject(saved));
    EXPECT_EQ(turned.GetPosition2D(), OnlyObject(saved)->GetPosition());
    EXPECT_GT(std::fabs(std::remainder(OnlyObject(saved)->GetPlacement().GetRotation() - turned.GetRotation(), 360.0f)),
              20.0f);
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));
}

TEST(Program, SaveReadsBackAndASaveThatCannotWriteKeepsTheOldFile)
{
    PrepareProgramSettings(kOrganisation);
    const std::wstring folder = MakeTempFolder(L"program-save");
    std::wstring path;
    CProgramProcess program;
    const HWND frame = StartWithEmptyCourse(program, folder, L"Kept.agl", path);
    ASSERT_TRUE(frame);
    const CWindowParts parts = FindParts(frame);
    ASSERT_TRUE(parts.found);
    PlaceAFrame(parts, 0.4f, 0.6f);
    ASSERT_TRUE(SaveAndWait(path));
    EXPECT_TRUE(program.WaitForCaption(Caption(L"Kept.agl"), kWait));

    // The file reads back into the same course: written again, the same bytes.
    const std::string bytes = ReadWholeFile(path);
    CCourse reread(L"", L"");
    ASSERT_TRUE(ReadCourseFile(path, reread));
    EXPECT_EQ(1u, reread.GetObjectCount());
    EXPECT_EQ(bytes, filetest::TextBlockOf(reread));
    EXPECT_EQ(std::string::npos, bytes.find(" \r\r\n"));

    // Read-only: the save fails, says so, and the old file stays.
    filetest::SetReadOnly(path, true);
    PlaceAFrame(parts, 0.7f, 0.6f);
    EXPECT_TRUE(program.WaitForCaption(Caption(L"Kept.agl *"), kWait));
    cwtest::KeyPress('S', true);
    const HWND box = program.WaitForMessageBox(kWait);
    ASSERT_TRUE(box);
    EXPECT_EQ(GetStringWithArg(2689, path), CProgramProcess::GetMessageBoxText(box));
    CProgramProcess::AnswerMessageBox(box);
    filetest::SetReadOnly(path, false);
    EXPECT_EQ(bytes, ReadWholeFile(path));
    EXPECT_EQ(1u, filetest::ListFolder(folder).size());
    EXPECT_TRUE(program.WaitForCaption(Caption(L"Kept.agl *"), kWait));

    PostMessageW(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PressMessageBoxButton(program, IDNO));
    EXPECT_EQ(0, program.WaitForExit(kWait));
}

TEST(Program, OpeningAFileShowsItOnceAndCopyAndPasteCrossWindows)
{
    PrepareProgramSettings(kOrganisation);
    const std::wstring folder = MakeTempFolder(L"program-open");
    const std::wstring first = WriteEmptyCourseFile(folder, L"First.agl");
    const std::wstring second = WriteEmptyCourseFile(folder, L"Second.agl");
    CProgramProcess program;
    const HWND firstFrame = StartAndWaitUntilReady(program, Quoted(first), Caption(L"First.agl"));
    ASSERT_TRUE(firstFrame);
    const CWindowParts parts = FindParts(firstFrame);
    ASSERT_TRUE(parts.found);

    // An A-frame, selected after placing, goes to the clipboard.
    PlaceAFrame(parts, 0.5f, 0.5f);
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    cwtest::KeyPress('C', true);
    const DWORD start = GetTickCount();
    while (!IsClipboardFormatAvailable(CF_TEXT) && GetTickCount() - start < kWait)
        PumpMessagesFor(50);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
    std::string text;
    ASSERT_TRUE(OpenClipboard(nullptr));
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    CCourse copied(L"", L"");
    std::istringstream block(text);
    ASSERT_TRUE(copied.ReadTextBlock(block, false));
    EXPECT_EQ(1u, copied.GetObjectCount());

    // A second start hands its file over: a window of its own.
    {
        CProgramProcess handOver;
        ASSERT_TRUE(handOver.Start(Quoted(second)));
        EXPECT_EQ(0, handOver.WaitForExit(kWait));
    }
    const HWND secondFrame = program.WaitForCaption(Caption(L"Second.agl"), kWait);
    ASSERT_TRUE(secondFrame);
    EXPECT_EQ(2u, program.FindWindows(L"Fendrel 4").size());
    // The same file again: the window that shows it, no new one.
    {
        CProgramProcess again;
        ASSERT_TRUE(again.Start(Quoted(second)));
        EXPECT_EQ(0, again.WaitForExit(kWait));
    }
    PumpMessagesFor(700);
    EXPECT_EQ(2u, program.FindWindows(L"Fendrel 4").size());

    // Pasted into the second window, the A-frame joins its course.
    WaitUntilReady(program);
    const CWindowParts secondParts = FindParts(secondFrame);
    ASSERT_TRUE(secondParts.found);
    Click(ViewPoint(secondParts, 0.9f, 0.9f));
    cwtest::KeyPress('V', true);
    EXPECT_TRUE(program.WaitForCaption(Caption(L"Second.agl *"), kWait));
    CCourse pasted(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(second, pasted));
    EXPECT_EQ(1u, pasted.GetObjectCount());

    // Closing both: the modified first one asks.
    program.CloseCourseWindows();
    ASSERT_TRUE(PressMessageBoxButton(program, IDNO));
    EXPECT_EQ(0, program.WaitForExit(kWait));
}

TEST(Program, PlacesTunnelsBendsOneByItsHandleAndKeepsThemThroughFiles)
{
    PrepareProgramSettings(kOrganisation);
    constexpr int kTunnelOrganisation = 0;
    SetProgramInt(L"SpecList", kTunnelOrganisation);
    for (const wchar_t* hint : {L"NeverShow2717", L"NeverShow2718", L"NeverShow2721", L"NeverShow2722"})
        SetProgramInt(hint, 1);
    CProgramProcess program;
    CDrivenCourse driven;
    ASSERT_TRUE(StartMappedEmptyCourse(program, L"program-tunnels", L"Tunnels.agl", driven));
    auto& [path, frame, parts, map] = driven;

    // Each from its button: the tunnel, confirmed in the window its button
    // opens, a straight line of four segments.
    Click(ShapeButton(parts, CTunnel::kNameTextId, kTunnelOrganisation));
    const std::vector<HWND> windows = program.WaitForWindows(L"#32770", 1, kWait);
    ASSERT_EQ(1u, windows.size());
    EXPECT_EQ(GetStringWithArg(2229, GetSpecList(kTunnelOrganisation).GetTerm(CTunnel::kNameTextId)),
              GetWindowTextString(windows[0]));
    PressDialogButton(windows[0], IDOK);
    ASSERT_TRUE(WaitUntilGone(windows[0]));
    Click(ViewPoint(parts, 0.25f, 0.35f));
    Click(ShapeButton(parts, CCollapsedTunnel::kNameTextId, kTunnelOrganisation));
    Click(ViewPoint(parts, 0.7f, 0.65f));
    CCourse placed(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, placed));
    const std::string placedBytes = ReadWholeFile(path);
    ASSERT_EQ(2u, placed.GetObjectCount());
    const CTunnel* tunnel = nullptr;
    for (const CCourseObject* object : placed.GetObjects())
        tunnel = tunnel ? tunnel : dynamic_cast<const CTunnel*>(object);
    ASSERT_TRUE(tunnel);
    ASSERT_EQ(CTunnelGeometry::kPolyline, tunnel->GetGeometry().GetKind());
    const std::deque<CPoint2> straight = {{0, 0}, {450, 0}, {900, 0}, {1350, 0}, {1800, 0}};
    EXPECT_EQ(straight, static_cast<const CTunnelPolylineGeometry&>(tunnel->GetGeometry()).GetPoints());
    const std::vector<CPoint2> placedShapes = TunnelShapes(placed);

    // Selected, its far point dragged up and back: the line bends.
    const CTransform& at = tunnel->GetPlacement();
    Click(map.ToScreen(at.TransformPoint2D(675.0f, 0.0f)));
    PumpMessagesFor(300);
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-tunnel-before-drag.png")));
    const CPoint2 target = at.TransformPoint2D(1450.0f, -700.0f);
    Drag(map.ToScreen(at.TransformPoint2D(1800.0f, 0.0f)), map.ToScreen(target));
    PumpMessagesFor(300);
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-tunnel-after-drag.png")));
    CCourse bent(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, bent));
    const std::vector<CPoint2> bentShapes = TunnelShapes(bent);
    ASSERT_EQ(placedShapes.size(), bentShapes.size());
    EXPECT_NEAR(target.x, bentShapes[4].x, 40.0f);
    EXPECT_NEAR(target.y, bentShapes[4].y, 40.0f);

    // Undone: the file holds the very bytes it held before the drag.
    cwtest::KeyPress('Z', true);
    ASSERT_TRUE(SaveAndWait(path));
    EXPECT_EQ(placedBytes, ReadWholeFile(path));

    // Saved in the older format ("s3" in the view), closed and opened again:
    // the same shapes, saved again in the current format.
    Click(map.ToScreen(CPoint2(1200.0f, 11000.0f)));
    cwtest::TypeChar(L's');
    cwtest::TypeChar(L'3');
    ASSERT_TRUE(PressMessageBoxButton(program, IDOK));
    // The box took the keyboard: a click gives it back to the view.
    Click(map.ToScreen(CPoint2(1200.0f, 11000.0f)));
    ASSERT_TRUE(SaveAndWait(path));
    EXPECT_NE(std::string::npos, ReadWholeFile(path).find("Version 3 "));
    CCourse older(L"", L"");
    ASSERT_TRUE(ReadCourseFile(path, older));
    ExpectSameShapes(placedShapes, TunnelShapes(older), "version 3");
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));

    // Opened again, the window names the older format until the course is
    // saved in the current one.
    CProgramProcess reopened;
    frame = StartAndWaitUntilReady(reopened, Quoted(path), Caption(L"Tunnels.agl (3)"));
    ASSERT_TRUE(frame);
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-tunnels-reopened.png")));
    parts = FindParts(frame);
    Click(ViewPoint(parts, 0.1f, 0.9f));
    CCourse current(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, current));
    ExpectSameShapes(placedShapes, TunnelShapes(current), "reopened");
    reopened.CloseCourseWindows();
    EXPECT_EQ(0, reopened.WaitForExit(kWait));
}

// A course opened from the command line, as the shell opens a file, starts
// its history from the course as read: Select All, Delete and one Undo give
// back every object, and a save writes them all.
TEST(Program, UndoInACourseOpenedFromTheCommandLineGivesBackEveryObject)
{
    PrepareProgramSettings(kOrganisation);
    const std::wstring path = MakeTempFolder(L"program-opened-undo") + L"\\Every.agl";
    {
        CCourse course(L"Every.agl", path);
        ASSERT_TRUE(filetest::PlaceEveryKind(course));
        filetest::WriteBytes(path, filetest::TextBlockOf(course));
    }
    // Saved by the program once, the file keeps a view that fits the
    // program's window: opened again, the window's first layout leaves the
    // course as read.
    {
        CProgramProcess first;
        ASSERT_TRUE(StartAndWaitUntilReady(first, Quoted(path), Caption(L"Every.agl")));
        ASSERT_TRUE(SaveAndWait(path));
        first.CloseCourseWindows();
        ASSERT_EQ(0, first.WaitForExit(kWait));
    }
    CCourse written(L"", L"");
    ASSERT_TRUE(ReadCourseFile(path, written));
    CProgramProcess program;
    const HWND frame = StartAndWaitUntilReady(program, Quoted(path), Caption(L"Every.agl"));
    ASSERT_TRUE(frame);

    cwtest::KeyPress('A', true);
    cwtest::KeyPress(VK_DELETE);
    ASSERT_TRUE(program.WaitForCaption(Caption(L"Every.agl *"), kWait));
    cwtest::KeyPress('Z', true);
    PumpMessagesFor(300);
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-opened-undone.png")));

    // Emptied first, the file changes whatever the save writes.
    filetest::WriteBytes(path, std::string());
    CCourse saved(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, saved));
    EXPECT_EQ(written.GetObjectCount(), saved.GetObjectCount());
    EXPECT_EQ(RecordsOf(written), RecordsOf(saved));
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));
}
