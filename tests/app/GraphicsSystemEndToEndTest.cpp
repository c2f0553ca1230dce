#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "foundation/Strings.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/app/ProgramDriving.h"
#include "tests/app/ProgramProcess.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

// The graphics-system and display-mode dialogs in the real program under
// Wine: reached by typing in the view and by the Help menu's command,
// answered as a user would, their choices read back from the program's key.

using namespace programtest;

namespace {

constexpr int kOrganisation = 1;
constexpr int kGraphicsSystemCommand = 2225;
constexpr DWORD kMissing = 0xFFFFFFFF;

// The program's dialog once its controls are there, or null.
HWND WaitForProgramDialog(const CProgramProcess& program)
{
    const std::vector<HWND> dialogs = program.WaitForWindows(L"#32770", 1, kWait);
    if (dialogs.empty())
        return nullptr;
    const auto findOk = [](HWND dialog) { return FindChildByText(dialog, GetString(2015)); };
    return WaitForControl(dialogs[0], findOk) ? dialogs[0] : nullptr;
}

// Types "<first>r" into the view at its centre.
void TypeIntoView(const CWindowParts& parts, wchar_t first)
{
    Click(ViewPoint(parts, 0.5f, 0.9f));
    cwtest::TypeChar(first);
    cwtest::TypeChar(L'r');
}

void SaveShot(HWND dialog, const std::wstring& name)
{
    CreateDirectoryW(L"Z:\\tmp\\shots-3d", nullptr);
    EXPECT_TRUE(SaveScreenPicture(dialog, L"Z:\\tmp\\shots-3d\\" + name + L".png"));
    EXPECT_TRUE(SaveScreenPicture(dialog, GetTestArtefactPath(name + L".png")));
}

}  // namespace

TEST(Program, TypedSequencesAndTheHelpCommandOpenTheGraphicsAndDisplayDialogs)
{
    PrepareProgramSettings(kOrganisation);
    for (const wchar_t* name : {L"GraphicsClass", L"GraphicsSystemMenuItemVisible", L"BrisklaneMode"})
        DeleteProgramValue(name);
    SetProgramInt(L"OpenGL1WorstError", 2);
    CProgramProcess program;
    const HWND first = StartAndWaitUntilReady(program, L"", Caption(GetStringWithArg(2004, L"1")));
    ASSERT_TRUE(first);
    CWindowParts parts = FindParts(first);
    ASSERT_TRUE(parts.found);
    // The choice of this run as the program stored it (unset stands for 1).
    const DWORD storedValue = ReadProgramInt(L"GraphicsClass", kMissing);
    const DWORD storedClass = storedValue == kMissing ? 1 : storedValue;
    SetProgramInt(L"GraphicsSystemMenuItemVisible", 0);

    // "g r": the graphics-system dialog, the stored class ticked; Direct3D 11
    // and OpenGL 3 are not offered on this machine. Cancelled, it still
    // shows the command from now on.
    TypeIntoView(parts, L'g');
    HWND dialog = WaitForProgramDialog(program);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(GetString(2384), GetWindowTextString(dialog));
    SaveShot(dialog, L"program-graphics-system-dialog");
    const std::pair<int, DWORD> buttons[] = {{2388, 3}, {2391, 0}, {2392, 4}, {2389, 2}, {2390, 1}};
    for (const auto& button : buttons) {
        const HWND radio = FindChildByCaption(dialog, GetString(button.first));
        ASSERT_TRUE(radio) << button.first;
        const bool ticked = button.second == storedClass;
        EXPECT_EQ(ticked, IsButtonChecked(radio)) << button.first;
        const bool missingHere = button.second >= 2 && button.second <= 4;
        EXPECT_EQ(ticked || !missingHere, IsWindowEnabled(radio) != FALSE) << button.first;
    }
    PressDialogButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntilGone(dialog));
    EXPECT_EQ(1u, ReadProgramInt(L"GraphicsSystemMenuItemVisible", kMissing));
    EXPECT_EQ(storedValue, ReadProgramInt(L"GraphicsClass", kMissing));

    // A course window made now has the command: OpenGL 1 chosen through it
    // is stored with its failures forgotten.
    Click(ViewPoint(parts, 0.5f, 0.9f));
    cwtest::KeyPress('N', true);
    const HWND second = program.WaitForCaption(Caption(GetStringWithArg(2004, L"2")), kWait);
    ASSERT_TRUE(second);
    WaitUntilReady(program);
    PostMessageW(second, WM_COMMAND, MAKEWPARAM(kGraphicsSystemCommand, 0), 0);
    dialog = WaitForProgramDialog(program);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(GetString(2384), GetWindowTextString(dialog));
    ClickControl(FindChildByCaption(dialog, GetString(2390)));
    PressDialogButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntilGone(dialog));
    EXPECT_EQ(1u, ReadProgramInt(L"GraphicsClass", kMissing));
    EXPECT_EQ(0u, ReadProgramInt(L"OpenGL1WorstError", kMissing));

    // "c r": the display-mode dialog; ticked and confirmed, the mode is on.
    parts = FindParts(second);
    ASSERT_TRUE(parts.found);
    TypeIntoView(parts, L'c');
    dialog = WaitForProgramDialog(program);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(L"Brisklane features", GetWindowTextString(dialog));
    const HWND box = FindChildByCaption(dialog, L"Brisklane mode");
    ASSERT_TRUE(box);
    EXPECT_FALSE(IsButtonChecked(box));
    ClickControl(box);
    SaveShot(dialog, L"program-brisklane-mode-dialog");
    PressDialogButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntilGone(dialog));
    EXPECT_EQ(1u, ReadProgramInt(L"BrisklaneMode", kMissing));

    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));
    DeleteProgramValue(L"BrisklaneMode");
}
