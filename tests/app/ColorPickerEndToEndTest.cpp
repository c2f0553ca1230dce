#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "course/ColorPalette.h"
#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "foundation/Strings.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/app/ProgramDriving.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

// The colour picker in the real program, drawn through OpenGL 3.

using namespace programtest;

namespace {

constexpr int kSingleBarButton = 2564;
constexpr int kSingleBar = 260;
constexpr int kBars = 17;

// A point of the picker's panel of that size, on the screen.
POINT PanelPoint(HWND dialog, int width, int height, int x, int y)
{
    for (const CDialogChild& child : ListDialogChildren(dialog)) {
        if (child.rect.right - child.rect.left == width && child.rect.bottom - child.rect.top == height) {
            POINT point = {child.rect.left + x, child.rect.top + y};
            ClientToScreen(dialog, &point);
            return point;
        }
    }
    ADD_FAILURE() << "no panel of " << width << " x " << height;
    return {};
}

}  // namespace

// Two jumps selected, Ctrl+L, the bucket paints both jumps' bars; one Undo gives back the file's bytes.
TEST(ColorPickerProgram, TheBucketPaintsTheSelectionsBarsInOneStep)
{
    PrepareProgramSettings(1);
    CProgramProcess program;
    program.graphicsClass = 2;
    CDrivenCourse driven;
    ASSERT_TRUE(StartMappedEmptyCourse(program, L"colorpicker", L"Colors.agl", driven));
    const auto& [path, frame, parts, map] = driven;
    for (const float x : {0.3f, 0.6f}) {
        Click(ShapeButton(parts, kSingleBarButton, 1));
        Click(ViewPoint(parts, x, 0.4f));
    }
    CCourse placed(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, placed));
    ASSERT_EQ(2u, placed.GetObjectCount());
    const std::string placedBytes = ReadWholeFile(path);

    Click(ViewPoint(parts, 0.98f, 0.98f));
    cwtest::KeyPress('A', true);
    cwtest::KeyPress('L', true);
    HWND window = nullptr;
    for (const DWORD start = GetTickCount(); !window && GetTickCount() - start < kWait; PumpMessagesFor(50))
        for (HWND found : program.FindWindows(L"#32770"))
            if (GetWindowTextString(found) == GetString(2288) && !ListDialogChildren(found).empty())
                window = found;
    ASSERT_TRUE(window);
    PumpMessagesFor(1500);
    EXPECT_TRUE(SaveDialogShot(window, L"color-picker"));

    // Every offered part agrees: the bars' cell is the bars' place among the kind's parts.
    const std::vector<int> offered = FindObjectTypeById(kSingleBar)->GetPartColors().GetParts();
    const int barsEntry = int(std::find(offered.begin(), offered.end(), kBars) - offered.begin());
    Click(PanelPoint(window, 580, 115, 2 * 20 + 8, 1 * 23 + 8));  // column 2, row 1
    Click(PanelPoint(window, int(offered.size()) * 28, 28, barsEntry * 28 + 14, 14));
    PumpMessagesFor(300);
    EXPECT_TRUE(SaveDialogShot(window, L"color-picker-painted"));
    PressDialogButton(window, IDOK);
    ASSERT_TRUE(WaitUntilGone(window));

    CCourse painted(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, painted));
    std::vector<int> bars;
    for (const CCourseObject* object : painted.GetObjects())
        bars.push_back(object->GetPartColors().GetColorIndex(kBars));
    const int chosen = CColorPalette::CellToIndex(2, 1);
    EXPECT_EQ((std::vector<int>{chosen, chosen}), bars);
    EXPECT_EQ(DWORD(chosen), ReadProgramInt(L"SelectedColorIndex", 999));

    cwtest::KeyPress('Z', true);
    ASSERT_TRUE(SaveAndWait(path));
    EXPECT_EQ(placedBytes, ReadWholeFile(path));
}
