#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/SpecList.h"
#include "dialogs/LengthFormat.h"
#include "foundation/Strings.h"
#include "objects/equipment/AFrame.h"
#include "objects/equipment/WeavePoles.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/app/ProgramDriving.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestWindows.h"

// Properties windows in the real program: edited, refused, stored, undone, opened and placed.

using namespace programtest;

namespace {

constexpr int kOrganisation = 1;
constexpr int kPropertiesCommand = 2128;
constexpr int kWeavePolesButton = 2610;
constexpr int kColorsButtonText = 2236;
constexpr int kWindowTitleText = 2229;
constexpr int kRefusedAFrameText = 2674;

void Type(HWND window, size_t entry, const wchar_t* text)
{
    const std::vector<HWND> edits = FindEditControls(window);
    ASSERT_LT(entry, edits.size()) << GetWindowTextString(window);
    TypeIntoEdit(edits[entry], text);
}

// The program's first dialog the test wants, within kWait.
HWND WaitForProgramDialog(const CProgramProcess& program, const std::function<bool(HWND)>& wanted)
{
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kWait; PumpMessagesFor(20))
        for (HWND window : program.FindWindows(L"#32770"))
            if (wanted(window))
                return window;
    return nullptr;
}

HWND WaitForPropertiesWindow(const CProgramProcess& program, int nameTextId)
{
    const std::wstring title = GetStringWithArg(kWindowTitleText, GetSpecList(kOrganisation).GetTerm(nameTextId));
    return WaitForProgramDialog(program, [&](HWND window) {
        return GetWindowTextString(window) == title && !ListDialogChildren(window).empty();
    });
}

// The message box shown over the window, answered; its text.
std::wstring AnswerBoxOver(const CProgramProcess& program, HWND window)
{
    const HWND box = WaitForProgramDialog(program, [&](HWND b) { return b != window && GetDlgItem(b, 0xFFFF); });
    if (!box)
        return L"<no message>";
    const std::wstring text = CProgramProcess::GetMessageBoxText(box);
    CProgramProcess::AnswerMessageBox(box);
    return text;
}

bool Close(HWND window, int button)
{
    PressDialogButton(window, button);
    return WaitUntilGone(window);
}

std::wstring Feet(float tenths) { return FormatLength(tenths, EUnitKind::kFeetAndInches, true); }

}  // namespace

TEST(PropertiesProgram, WindowsEditPlaceAndOpenFromTheMenu)
{
    PrepareProgramSettings(kOrganisation);
    for (const wchar_t* hint : {L"NeverShow2717", L"NeverShow2718", L"NeverShow2721", L"NeverShow2722"})
        SetProgramInt(hint, 1);
    CProgramProcess program;
    CDrivenCourse driven;
    ASSERT_TRUE(StartMappedEmptyCourse(program, L"properties", L"Properties.agl", driven));
    const auto& [path, frame, parts, map] = driven;

    // Placed without its window: the first preset.
    Click(ShapeButton(parts, CAFrame::kNameTextId, kOrganisation));
    Click(map.ToScreen(CPoint2(3600.0f, 3000.0f)));
    CCourse placed(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, placed));
    const std::string placedBytes = ReadWholeFile(path);
    const CAFrame* frameBefore = dynamic_cast<const CAFrame*>(OnlyObject(placed));
    ASSERT_TRUE(frameBefore);
    EXPECT_EQ(std::make_pair(1080.0f, 660.0f), std::make_pair(frameBefore->GetLength(), frameBefore->GetHeight()));
    const POINT aFrame = map.ToScreen(frameBefore->GetPosition());

    // Presets with the first checked, then custom: 96 by 96 in is refused and the window stays, 96 by 95 is taken.
    Click(aFrame);
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kPropertiesCommand, 0), 0);
    HWND window = WaitForPropertiesWindow(program, CAFrame::kNameTextId);
    ASSERT_TRUE(window);
    std::vector<std::wstring> captions;
    for (HWND radio : FindRadioButtons(window))
        captions.push_back((IsButtonChecked(radio) ? L"* " : L"") + GetCaptionText(radio));
    EXPECT_EQ((std::vector<std::wstring>{L"* " + GetStringWith2Args(2257, Feet(1080.0f), Feet(660.0f)),
                                         GetStringWith2Args(2257, Feet(1080.0f), Feet(600.0f)), GetString(2258)}),
              captions);
    ClickControl(FindChildByCaption(window, GetString(2258)));
    Type(window, 0, L"96 in");
    Type(window, 1, L"96 in");
    PressDialogButton(window, IDOK);
    EXPECT_EQ(GetString(kRefusedAFrameText), AnswerBoxOver(program, window));
    PumpMessagesFor(300);
    EXPECT_TRUE(IsWindowVisible(window));
    Type(window, 1, L"95 in");
    ASSERT_TRUE(Close(window, IDOK));

    // Saved and stored as defaults; undo restores the bytes.
    CCourse edited(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, edited));
    const CAFrame* frameAfter = dynamic_cast<const CAFrame*>(OnlyObject(edited));
    ASSERT_TRUE(frameAfter);
    EXPECT_EQ(std::make_pair(960.0f, 950.0f), std::make_pair(frameAfter->GetLength(), frameAfter->GetHeight()));
    EXPECT_EQ(frameBefore->GetPosition(), frameAfter->GetPosition());
    EXPECT_EQ(std::make_pair(960ul, 950ul),
              std::make_pair(ReadProgramInt(L"10AKCPlankLen", 0), ReadProgramInt(L"10AKCHeight", 0)));
    cwtest::KeyPress('Z', true);
    ASSERT_TRUE(SaveAndWait(path));
    EXPECT_EQ(placedBytes, ReadWholeFile(path));

    // The context menu opens the same window, its colours button enabled.
    Click(ViewPoint(parts, 0.98f, 0.98f));
    Click(aFrame);
    for (DWORD flag : {0, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP})
        MouseInput(aFrame, flag, false);
    ASSERT_FALSE(program.WaitForWindows(L"#32768", 1, kWait).empty());
    cwtest::KeyPress('E');  // Prop&erties...
    window = WaitForPropertiesWindow(program, CAFrame::kNameTextId);
    ASSERT_TRUE(window);
    const HWND colors = FindChildByCaption(window, GetString(kColorsButtonText));
    ASSERT_TRUE(colors);
    EXPECT_TRUE(IsWindowEnabled(colors));
    EXPECT_EQ(3u, FindRadioButtons(window).size());
    ASSERT_TRUE(Close(window, IDCANCEL));

    // Weave poles open their window from the button: Cancel leaves nothing to place, OK places what was typed.
    for (int button : {IDCANCEL, IDOK}) {
        Click(ShapeButton(parts, kWeavePolesButton, kOrganisation));
        window = WaitForPropertiesWindow(program, kWeavePolesButton);
        ASSERT_TRUE(window) << button;
        if (button == IDOK)
            Type(window, 0, L"10");
        ASSERT_TRUE(Close(window, button)) << button;
        Click(map.ToScreen(CPoint2(3600.0f, 9000.0f)));
    }
    CCourse walked(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, walked));
    ASSERT_EQ(2u, walked.GetObjectCount());
    std::vector<int> poleCounts;
    for (const CCourseObject* object : walked.GetObjects())
        if (const auto* poles = dynamic_cast<const CWeavePoles*>(object))
            poleCounts.push_back(poles->GetPoleCount());
    EXPECT_EQ(std::vector<int>{10}, poleCounts);
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));
}
