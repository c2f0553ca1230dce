#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "foundation/Strings.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/app/ProgramDriving.h"
#include "tests/app/ProgramProcess.h"
#include "tests/support/DialogDriver.h"

using namespace programtest;

namespace {

constexpr DWORD kMissing = 0xFFFFFFFF;

// Types "<first>r" into the view, or posts the command; the program's dialog once ready, or null.
HWND OpenDialog(const CProgramProcess& program, HWND frame, wchar_t first)
{
    if (first) {
        Click(ViewPoint(FindParts(frame), 0.5f, 0.9f));
        cwtest::TypeChar(first);
        cwtest::TypeChar(L'r');
    } else {
        PostMessageW(frame, WM_COMMAND, MAKEWPARAM(2225, 0), 0);
    }
    const std::vector<HWND> dialogs = program.WaitForWindows(L"#32770", 1, kWait);
    const auto findOk = [](HWND dialog) { return FindChildByText(dialog, GetString(2015)); };
    return !dialogs.empty() && WaitForControl(dialogs[0], findOk) ? dialogs[0] : nullptr;
}

}  // namespace

TEST(Program, TypedSequencesAndTheHelpCommandOpenTheGraphicsAndDisplayDialogs)
{
    PrepareProgramSettings(1);
    DeleteProgramValue(L"GraphicsClass");
    SetProgramInt(L"OpenGL1WorstError", 2);
    CProgramProcess program;
    const HWND first = StartAndWaitUntilReady(program, L"", Caption(GetStringWithArg(2004, L"1")));
    ASSERT_TRUE(first);
    const DWORD storedValue = ReadProgramInt(L"GraphicsClass", kMissing);
    const DWORD storedClass = storedValue == kMissing ? 1 : storedValue;
    SetProgramInt(L"GraphicsSystemMenuItemVisible", 0);

    // "g r": the stored class ticked, Direct3D 11 and OpenGL 3 missing here; Cancel stores only the visibility.
    HWND dialog = OpenDialog(program, first, L'g');
    ASSERT_TRUE(dialog);
    EXPECT_EQ(GetString(2384), GetWindowTextString(dialog));
    for (const auto& button : {std::pair<int, DWORD>{2388, 3}, {2391, 0}, {2392, 4}, {2389, 2}, {2390, 1}}) {
        const HWND radio = FindChildByCaption(dialog, GetString(button.first));
        ASSERT_TRUE(radio) << button.first;
        EXPECT_EQ(button.second == storedClass, IsButtonChecked(radio)) << button.first;
        const bool offered = button.second == storedClass || button.second < 2;
        EXPECT_EQ(offered, IsWindowEnabled(radio) != FALSE) << button.first;
    }
    PressDialogButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntilGone(dialog));
    EXPECT_EQ(1u, ReadProgramInt(L"GraphicsSystemMenuItemVisible", kMissing));
    EXPECT_EQ(storedValue, ReadProgramInt(L"GraphicsClass", kMissing));

    // A new window's command: OpenGL 1 chosen is stored, its failures forgotten.
    Click(ViewPoint(FindParts(first), 0.5f, 0.9f));
    cwtest::KeyPress('N', true);
    const HWND second = program.WaitForCaption(Caption(GetStringWithArg(2004, L"2")), kWait);
    ASSERT_TRUE(second);
    WaitUntilReady(program);
    dialog = OpenDialog(program, second, 0);
    ASSERT_TRUE(dialog);
    ClickControl(FindChildByCaption(dialog, GetString(2390)));
    PressDialogButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntilGone(dialog));
    EXPECT_EQ(1u, ReadProgramInt(L"GraphicsClass", kMissing));
    EXPECT_EQ(0u, ReadProgramInt(L"OpenGL1WorstError", kMissing));

    // "c r": the display mode, off at first, ticked and confirmed.
    dialog = OpenDialog(program, second, L'c');
    ASSERT_TRUE(dialog);
    const HWND box = FindChildByCaption(dialog, L"Brisklane mode");
    ASSERT_TRUE(box);
    EXPECT_FALSE(IsButtonChecked(box));
    ClickControl(box);
    PressDialogButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntilGone(dialog));
    EXPECT_EQ(1u, ReadProgramInt(L"BrisklaneMode", kMissing));

    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));
    DeleteProgramValue(L"BrisklaneMode");
}
