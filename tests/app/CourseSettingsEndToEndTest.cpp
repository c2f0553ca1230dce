#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/ViewCamera.h"
#include "course/Course.h"
#include "course/SpecList.h"
#include "foundation/Strings.h"
#include "objects/annotations/Text.h"
#include "tests/app/ProgramDriving.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

// A text placed through its dialog, the ring set to the limit, the surround
// refused past it, the camera and the grid set by the numbers, in the real
// program; each dialog kept as a picture.

using namespace programtest;

namespace {

constexpr int kOrganisation = 1;
constexpr int kTextButton = 2596;
constexpr int kView3DCommand = 2148;

HWND WaitForDialog(const CProgramProcess& program, const std::wstring& title)
{
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kWait; PumpMessagesFor(20))
        for (HWND window : program.FindWindows(L"#32770"))
            if (GetWindowTextString(window) == title && !ListDialogChildren(window).empty())
                return window;
    return nullptr;
}

HWND OpenByCommand(const CProgramProcess& program, HWND frame, int command, int titleText)
{
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return WaitForDialog(program, GetString(titleText));
}

std::wstring AnswerBox(const CProgramProcess& program)
{
    const HWND box = program.WaitForMessageBox(kWait);
    if (!box)
        return L"<no message>";
    const std::wstring text = CProgramProcess::GetMessageBoxText(box);
    CProgramProcess::AnswerMessageBox(box);
    return text;
}

// Kept once the program has painted it.
bool Shoot(HWND window, const wchar_t* name)
{
    PumpMessagesFor(400);
    return SaveDialogShot(window, name, L"shots-settings");
}

bool Close(HWND window, int button)
{
    PressDialogButton(window, button);
    return WaitUntilGone(window);
}

}  // namespace

TEST(CourseSettingsProgram, TextRingCameraAndGridThroughTheirDialogs)
{
    PrepareProgramSettings(kOrganisation);
    CProgramProcess program;
    CDrivenCourse driven;
    ASSERT_TRUE(StartMappedEmptyCourse(program, L"settings", L"Settings.agl", driven));
    const auto& [path, frame, parts, map] = driven;

    // The text tool opens the text's window: OK stays off until a character is typed.
    Click(ShapeButton(parts, kTextButton, kOrganisation));
    HWND window = WaitForDialog(program, GetStringWithArg(2229, GetSpecList(kOrganisation).GetTerm(kTextButton)));
    ASSERT_TRUE(window);
    const HWND ok = FindChildByCaption(window, GetString(2015));
    EXPECT_FALSE(IsWindowEnabled(ok));
    const HWND editor = FindWindowExW(window, nullptr, L"CPanel", nullptr);
    ASSERT_TRUE(editor);
    for (wchar_t ch : std::wstring(L"Ring 7"))
        PostMessageW(editor, WM_CHAR, ch, 1);
    PumpMessagesFor(500);
    EXPECT_TRUE(IsWindowEnabled(ok));
    EXPECT_TRUE(Shoot(window, L"text-dialog"));
    ASSERT_TRUE(Close(window, IDOK));
    Click(map.ToScreen(CPoint2(3600.0f, 3000.0f)));

    // The ring at 250 by 250 ft, then a foot of surround more is refused.
    window = OpenByCommand(program, frame, 2134, 2321);
    ASSERT_TRUE(window);
    for (HWND edit : FindEditControls(window))
        TypeIntoEdit(edit, L"250 ft");
    EXPECT_TRUE(Shoot(window, L"ring-size"));
    ASSERT_TRUE(Close(window, IDOK));
    window = OpenByCommand(program, frame, 2136, 2261);
    ASSERT_TRUE(window);
    TypeIntoEdit(FindEditControls(window).at(1), L"1 ft");
    EXPECT_TRUE(Shoot(window, L"surround"));
    PressDialogButton(window, IDOK);
    EXPECT_EQ(GetStringWithArg(2679, L"250 ft"), AnswerBox(program));
    ASSERT_TRUE(Close(window, IDCANCEL));

    // The grid at 15 ft.
    window = OpenByCommand(program, frame, 2172, 2298);
    ASSERT_TRUE(window);
    // Its label's access key takes the user to the spacing.
    const HWND spacing = FindEditControls(window).back();
    PressAccessKey(window, FindChildByCaption(window, GetString(2320)));
    EXPECT_TRUE(WaitForFocus(window, spacing));
    TypeIntoEdit(spacing, L"15 ft");
    EXPECT_TRUE(Shoot(window, L"grid"));
    ASSERT_TRUE(Close(window, IDOK));
    EXPECT_EQ(15u, ReadProgramInt(L"UsGridSpacing", 0));

    // In 3D the camera dialog: the whole course, its eye shown and not typed.
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kView3DCommand, 0), 0);
    PumpMessagesFor(1000);
    window = OpenByCommand(program, frame, 2154, 2266);
    ASSERT_TRUE(window);
    ChooseComboItem(FindWindowExW(window, nullptr, L"ComboBox", nullptr), 1);
    EXPECT_FALSE(IsWindowEnabled(FindEditControls(window).at(0)));
    EXPECT_TRUE(Shoot(window, L"camera"));
    ASSERT_TRUE(Close(window, IDOK));

    CCourse saved(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, saved));
    EXPECT_EQ(30000.0f, saved.GetWidth());
    EXPECT_EQ(30000.0f, saved.GetHeight());
    EXPECT_EQ(0.0f, saved.GetMargin(CCourse::kMarginLowX));
    EXPECT_EQ(CViewCamera::kWholeCourse, saved.Get3DViewCamera().GetMode());
    const auto* text = dynamic_cast<const CText*>(OnlyObject(saved));
    ASSERT_TRUE(text);
    CFormattedText& document = const_cast<CText*>(text)->GetDocument();
    EXPECT_EQ(L"Ring 7\r\n", document.GetText(0, document.GetLength()));
    program.CloseCourseWindows();
    PressMessageBoxButton(program, IDNO);
    EXPECT_EQ(0, program.WaitForExit(kWait));
}
