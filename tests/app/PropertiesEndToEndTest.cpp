#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "dialogs/JumpPropertiesDlg.h"
#include "dialogs/LengthFormat.h"
#include "foundation/Strings.h"
#include "objects/equipment/AFrame.h"
#include "objects/equipment/Crossover.h"
#include "objects/equipment/Jump.h"
#include "objects/equipment/JumpType.h"
#include "objects/equipment/Tunnel.h"
#include "objects/equipment/TunnelGeometry.h"
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
constexpr int kNZKC = 12;
constexpr int kPropertiesCommand = 2128;
constexpr int kPropertiesButtonText = 2129;
constexpr int kColorsButtonText = 2236;
constexpr int kWindowTitleText = 2229;
constexpr int kRefusedAFrameText = 2674;

const CPoint2 kAFrameSpot(3600.0f, 3000.0f);

void Type(HWND window, size_t entry, const wchar_t* text)
{
    const std::vector<HWND> edits = FindEditControls(window);
    ASSERT_LT(entry, edits.size()) << GetWindowTextString(window);
    TypeIntoEdit(edits[entry], text);
}

void Choose(HWND window, int captionText)
{
    const HWND radio = FindChildByCaption(window, GetString(captionText));
    ASSERT_TRUE(radio) << captionText;
    ClickControl(radio);
}

// A kind whose button opens its window before placing, what is typed and
// the value the placed object gives back.
struct CWindowedKind
{
    int organisation;
    int button;
    int typeId;
    CPoint2 spot;
    void (*fill)(HWND window);
    float (*typed)(const CCourseObject& object);
    float expected;
    // The title's name when not the button's.
    int titleTextId = 0;
};

const CWindowedKind kWindowedKinds[] = {
    {kOrganisation, 2610, CWeavePoles::kTypeId, {3600.0f, 9000.0f}, [](HWND w) { Type(w, 0, L"10"); },
     [](const CCourseObject& o) { return float(static_cast<const CWeavePoles&>(o).GetPoleCount()); }, 10.0f},
    {kOrganisation, CTunnel::kNameTextId, CTunnel::kTypeId, {10800.0f, 9000.0f},
     [](HWND w) { Choose(w, 2426), Type(w, 1, L"6"), Choose(w, 2431), Type(w, 2, L"22 ft"); },
     [](const CCourseObject& o) { return static_cast<const CTunnel&>(o).GetGeometry().GetNominalLength(); }, 2640.0f},
    // Brush jumps come without an organisation; crossovers with NZKC's, not AKC's.
    {0, 2532, 40, {3600.0f, 6000.0f}, [](HWND w) { Type(w, 0, L"48 in"); },
     [](const CCourseObject& o) { return CWingedJumpType::GetWidthOf(static_cast<const CJump&>(o)); }, 480.0f,
     CJumpPropertiesDlg::kJumpGroupTextId},
    {kNZKC, 2538, CCrossover::kTypeId, {10800.0f, 3600.0f}, [](HWND w) { Choose(w, 2331), Type(w, 0, L"10 ft"); },
     [](const CCourseObject& o) { return static_cast<const CCrossover&>(o).GetPlankLength(); }, 1200.0f},
};

// The program's first dialog the test wants, within kWait.
HWND WaitForProgramDialog(const CProgramProcess& program, const std::function<bool(HWND)>& wanted)
{
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kWait; PumpMessagesFor(20))
        for (HWND window : program.FindWindows(L"#32770"))
            if (wanted(window))
                return window;
    return nullptr;
}

HWND WaitForPropertiesWindow(const CProgramProcess& program, int nameTextId, int organisation = kOrganisation)
{
    const std::wstring title = GetStringWithArg(kWindowTitleText, GetSpecList(organisation).GetTerm(nameTextId));
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

struct CSought
{
    const std::wstring &className, &text;
    HWND found;
};

BOOL CALLBACK FindControl(HWND child, LPARAM param)
{
    auto& s = *reinterpret_cast<CSought*>(param);
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    if (IsWindowVisible(child) && s.className == name && (s.text.empty() || GetWindowTextString(child) == s.text))
        return s.found = child, FALSE;
    return TRUE;
}

// The frame's first visible control of the class, with the text if given.
HWND FindFrameControl(HWND frame, const std::wstring& className, const std::wstring& text = std::wstring())
{
    CSought sought{className, text, nullptr};
    EnumChildWindows(frame, FindControl, LPARAM(&sought));
    return sought.found;
}

std::vector<const CCourseObject*> ObjectsOfType(const CCourse& course, int typeId)
{
    std::vector<const CCourseObject*> found;
    for (const CCourseObject* object : course.GetObjects())
        if (object->GetType()->GetTypeId() == typeId)
            found.push_back(object);
    return found;
}

std::wstring Feet(float tenths) { return FormatLength(tenths, EUnitKind::kFeetAndInches, true); }

}  // namespace

TEST(PropertiesProgram, WindowsEditPlaceAndOpenFromEveryPlace)
{
    PrepareProgramSettings(kOrganisation);
    for (const wchar_t* hint : {L"NeverShow2717", L"NeverShow2718", L"NeverShow2721", L"NeverShow2722"})
        SetProgramInt(hint, 1);
    const std::wstring folder = MakeTempFolder(L"properties");
    std::wstring path;
    CProgramProcess program;
    const HWND frame = StartWithEmptyCourse(program, folder, L"Properties.agl", path);
    ASSERT_TRUE(frame);
    const CWindowParts parts = FindParts(frame);
    ASSERT_TRUE(parts.found);
    CViewMap map;
    ASSERT_TRUE(MapView(parts, map));

    // Placed without its window: the first preset.
    Click(ShapeButton(parts, CAFrame::kNameTextId, kOrganisation));
    Click(map.ToScreen(kAFrameSpot));
    CCourse placed(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, placed));
    const std::string placedBytes = ReadWholeFile(path);
    const CAFrame* frameBefore = dynamic_cast<const CAFrame*>(OnlyObject(placed));
    ASSERT_TRUE(frameBefore);
    EXPECT_EQ(std::make_pair(1080.0f, 660.0f), std::make_pair(frameBefore->GetLength(), frameBefore->GetHeight()));

    // Properties: presets with the first checked, then custom; 96 by 96 in is
    // refused and the window stays, 96 by 95 is taken.
    Click(map.ToScreen(frameBefore->GetPosition()));
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kPropertiesCommand, 0), 0);
    HWND window = WaitForPropertiesWindow(program, CAFrame::kNameTextId);
    ASSERT_TRUE(window);
    std::vector<std::wstring> captions;
    for (HWND radio : FindRadioButtons(window))
        captions.push_back((IsButtonChecked(radio) ? L"* " : L"") + GetCaptionText(radio));
    EXPECT_EQ((std::vector<std::wstring>{L"* " + GetStringWith2Args(2257, Feet(1080.0f), Feet(660.0f)),
                                         GetStringWith2Args(2257, Feet(1080.0f), Feet(600.0f)), GetString(2258)}),
              captions);
    Choose(window, 2258);
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

    // The tool column's button and the context menu open the same window.
    const POINT aFrame = map.ToScreen(frameBefore->GetPosition());
    for (bool fromMenu : {false, true}) {
        Click(ViewPoint(parts, 0.98f, 0.98f));
        Click(aFrame);
        RECT rect = {};
        if (fromMenu) {
            for (DWORD flag : {0, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP})
                MouseInput(aFrame, flag, false);
            ASSERT_FALSE(program.WaitForWindows(L"#32768", 1, kWait).empty());
            cwtest::KeyPress('E');  // Prop&erties...
        } else {
            ASSERT_TRUE(GetWindowRect(FindFrameControl(frame, L"Button", GetString(kPropertiesButtonText)), &rect));
            Click(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
        }
        window = WaitForPropertiesWindow(program, CAFrame::kNameTextId);
        ASSERT_TRUE(window);
        const HWND colors = FindChildByCaption(window, GetString(kColorsButtonText));
        ASSERT_TRUE(colors);
        EXPECT_FALSE(IsWindowEnabled(colors));
        EXPECT_EQ(3u, FindRadioButtons(window).size());
        ASSERT_TRUE(Close(window, IDCANCEL));
    }

    // Cancel leaves nothing to place, OK places what was typed.
    int organisation = kOrganisation;
    for (const CWindowedKind& kind : kWindowedKinds) {
        if (kind.organisation != organisation) {
            const HWND chooser = FindFrameControl(frame, L"ComboBox");
            ASSERT_TRUE(chooser);
            ChooseComboItem(chooser, kind.organisation);
            organisation = kind.organisation;
            PumpMessagesFor(300);
        }
        for (int button : {IDCANCEL, IDOK}) {
            Click(ShapeButton(parts, kind.button, organisation));
            window = WaitForPropertiesWindow(program, kind.titleTextId ? kind.titleTextId : kind.button, organisation);
            ASSERT_TRUE(window) << kind.typeId;
            if (button == IDOK)
                kind.fill(window);
            ASSERT_TRUE(Close(window, button)) << kind.typeId;
            Click(map.ToScreen(kind.spot));
        }
    }
    CCourse walked(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, walked));
    EXPECT_EQ(1u + std::size(kWindowedKinds), walked.GetObjectCount());
    for (const CWindowedKind& kind : kWindowedKinds) {
        const std::vector<const CCourseObject*> objects = ObjectsOfType(walked, kind.typeId);
        ASSERT_EQ(1u, objects.size()) << kind.typeId;
        EXPECT_EQ(kind.expected, kind.typed(*objects[0])) << kind.typeId;
    }
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));
}
