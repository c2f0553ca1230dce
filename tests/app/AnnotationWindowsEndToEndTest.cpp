#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "foundation/Strings.h"
#include "objects/annotations/EndLine.h"
#include "objects/annotations/ObsNum.h"
#include "objects/annotations/StraightLine.h"
#include "objects/annotations/UnusableArea.h"
#include "tests/app/ProgramDriving.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

// The windows of numbers, start and finish lines, unusable areas and
// straight lines in the real program: opened on placing and from
// Properties, looked at, keyed through, confirmed and cancelled.

using namespace programtest;

namespace {

constexpr int kOrganisation = 1;
constexpr int kPropertiesCommand = 2128;
constexpr int kWindowTitleText = 2229;
constexpr int kLineButton = 2588;
constexpr int kNumberButton = 2574;
constexpr int kLabelText = 2422;
constexpr int kAutoNumberText = 2423;
constexpr int kFullyRoundedText = 2518;
constexpr int kLongDashes = 2;

HWND WaitForPropertiesWindow(const CProgramProcess& program, int nameTextId)
{
    const std::wstring title = GetStringWithArg(kWindowTitleText, GetSpecList(kOrganisation).GetTerm(nameTextId));
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kWait; PumpMessagesFor(20))
        for (HWND window : program.FindWindows(L"#32770"))
            if (GetWindowTextString(window) == title && !ListDialogChildren(window).empty())
                return window;
    return nullptr;
}

// The course's only object of each kind, by type id (null for a kind
// with more than one).
std::map<int, const CCourseObject*> ByKind(const CCourse& course)
{
    std::map<int, const CCourseObject*> kinds;
    for (const CCourseObject* object : course.GetObjects()) {
        const auto [at, added] = kinds.emplace(object->GetType()->GetTypeId(), object);
        if (!added)
            at->second = nullptr;
    }
    return kinds;
}

}  // namespace

TEST(AnnotationWindowsProgram, NumberOpensOnPlacingAndTheOtherWindowsEditPlacedObjects)
{
    PrepareProgramSettings(kOrganisation);
    SetProgramInt(L"110StartAndFinish", 0);
    SetProgramInt(L"NeverShow2706", 1), SetProgramInt(L"NeverShow2711", 1);
    CProgramProcess program;
    CDrivenCourse driven;
    ASSERT_TRUE(StartMappedEmptyCourse(program, L"annotation-windows", L"Windows.agl", driven));
    const auto& [path, frame, parts, map] = driven;
    // Each window is kept as a picture to be looked at, then closed.
    const auto close = [](HWND window, const wchar_t* shot, int button) {
        PumpMessagesFor(300);
        EXPECT_TRUE(SaveDialogShot(window, shot)) << shot;
        PressDialogButton(window, button);
        ASSERT_TRUE(WaitUntilGone(window)) << shot;
    };

    // The number's tool opens its window: Cancel places nothing, OK places
    // the number with the label typed. The label's access key and the tab
    // key reach the edit and the box.
    for (int button : {IDCANCEL, IDOK}) {
        Click(ShapeButton(parts, kNumberButton, kOrganisation));
        const HWND window = WaitForPropertiesWindow(program, kNumberButton);
        ASSERT_TRUE(window) << button;
        const HWND edit = FindEditControls(window).at(0);
        PressAccessKey(window, FindChildByCaption(window, GetString(kLabelText)));
        EXPECT_TRUE(WaitForFocus(window, edit));
        PressKey(edit, VK_TAB);
        EXPECT_TRUE(WaitForFocus(window, FindChildByCaption(window, GetString(kAutoNumberText))));
        TypeIntoEdit(edit, L"7");
        close(window, button == IDOK ? L"obsnum" : L"obsnum-cancelled", button);
        Click(map.ToScreen(CPoint2(3600.0f, 3000.0f + 3000.0f * float(button == IDOK))));
    }
    // Placed without their windows, then edited through Properties: the
    // line shows the start line, the area becomes fully rounded, the line
    // takes long dashes.
    const struct
    {
        int button;
        CPoint2 from, to;
        const wchar_t* shot;
    } kinds[] = {
        {CEndLine::kNameTextId, {1800.0f, 9000.0f}, {4200.0f, 9000.0f}, L"start-and-finish"},
        {CUnusableArea::kNameTextId, {7200.0f, 7200.0f}, {10200.0f, 9600.0f}, L"unusable-area"},
        {kLineButton, {7200.0f, 2400.0f}, {10800.0f, 2400.0f}, L"straight-line"},
    };
    for (const auto& kind : kinds) {
        SetProgramInt((std::to_wstring(FindObjectTypeByNameId(kind.button)->GetTypeId()) + L"EditOnCreate").c_str(), 0);
        Click(ShapeButton(parts, kind.button, kOrganisation));
        Drag(map.ToScreen(kind.from), map.ToScreen(kind.to));
        Click(map.ToScreen((kind.from + kind.to) * 0.5f));
        PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kPropertiesCommand, 0), 0);
        const HWND window = WaitForPropertiesWindow(program, kind.button);
        ASSERT_TRUE(window) << kind.button;
        if (kind.button == CEndLine::kNameTextId)
            EXPECT_TRUE(IsButtonChecked(FindRadioButtons(window).at(0)));
        else if (kind.button == CUnusableArea::kNameTextId)
            ClickControl(FindChildByCaption(window, GetString(kFullyRoundedText)));
        else
            ChooseComboItem(FindWindowExW(window, nullptr, L"COMBOBOX", nullptr), kLongDashes);
        close(window, kind.shot, IDOK);
    }

    CCourse saved(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, saved));
    auto placed = ByKind(saved);
    ASSERT_EQ(4u, placed.size());
    const auto* number = dynamic_cast<const CObsNum*>(placed[CObsNum::kTypeId]);
    const auto* area = dynamic_cast<const CUnusableArea*>(placed[CUnusableArea::kTypeId]);
    const auto* line = dynamic_cast<const CStraightLine*>(placed[CStraightLine::kTypeId]);
    ASSERT_TRUE(number && area && line && placed[CEndLine::kTypeId]);
    EXPECT_EQ(L"7", number->GetText());
    EXPECT_EQ(std::make_pair(100, kLongDashes), std::make_pair(area->GetPercentRounded(), line->GetPen()));
    EXPECT_EQ(100ul, ReadProgramInt(L"350PercentRounded", 0));
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));
}
