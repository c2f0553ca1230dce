#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
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

// Kept as a picture to be looked at, then closed with the button.
bool ShootAndClose(HWND window, const wchar_t* name, int button)
{
    PumpMessagesFor(300);
    EXPECT_TRUE(SaveDialogShot(window, name)) << name;
    PressDialogButton(window, button);
    return WaitUntilGone(window);
}

template <class T>
std::vector<const T*> All(const CCourse& course)
{
    std::vector<const T*> found;
    for (const CCourseObject* object : course.GetObjects())
        if (const T* one = dynamic_cast<const T*>(object))
            found.push_back(one);
    return found;
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

    // The number's tool opens its window: Cancel places nothing, OK places
    // the number with the label typed. Its label's access key and the tab
    // key reach the edit and the box.
    for (int button : {IDCANCEL, IDOK}) {
        Click(ShapeButton(parts, kNumberButton, kOrganisation));
        const HWND window = WaitForPropertiesWindow(program, kNumberButton);
        ASSERT_TRUE(window) << button;
        if (button == IDOK) {
            const HWND edit = FindEditControls(window).at(0);
            PressAccessKey(window, FindChildByCaption(window, GetString(kLabelText)));
            EXPECT_TRUE(WaitForFocus(window, edit));
            PressKey(edit, VK_TAB);
            EXPECT_TRUE(WaitForFocus(window, FindChildByCaption(window, GetString(kAutoNumberText))));
            TypeIntoEdit(edit, L"7");
        }
        ASSERT_TRUE(ShootAndClose(window, button == IDOK ? L"obsnum" : L"obsnum-cancelled", button));
        Click(map.ToScreen(CPoint2(3600.0f, 3000.0f + (button == IDOK ? 3000.0f : 0.0f))));
    }
    // The other three open their windows on placing too; OK as they come.
    const auto drag = [&](int button, CPoint2 from, CPoint2 to) {
        Click(ShapeButton(parts, button, kOrganisation));
        const HWND window = WaitForPropertiesWindow(program, button);
        ASSERT_TRUE(window) << button;
        PressDialogButton(window, IDOK);
        ASSERT_TRUE(WaitUntilGone(window));
        Drag(map.ToScreen(from), map.ToScreen(to));
    };
    drag(CEndLine::kNameTextId, CPoint2(1800.0f, 9000.0f), CPoint2(4200.0f, 9000.0f));
    drag(CUnusableArea::kNameTextId, CPoint2(7200.0f, 7200.0f), CPoint2(10200.0f, 9600.0f));
    drag(kLineButton, CPoint2(7200.0f, 2400.0f), CPoint2(10800.0f, 2400.0f));

    CCourse placed(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, placed));
    const std::vector<const CObsNum*> numbers = All<CObsNum>(placed);
    ASSERT_EQ(1u, numbers.size());
    EXPECT_EQ(L"7", numbers[0]->GetText());
    ASSERT_EQ(1u, All<CEndLine>(placed).size() * All<CUnusableArea>(placed).size() * All<CStraightLine>(placed).size());

    // Each placed object's window from Properties: the line starts as the
    // start line; the area becomes fully rounded; the line takes long dashes.
    const struct
    {
        CPoint2 at;
        int nameTextId;
        const wchar_t* shot;
    } edits[] = {
        {CPoint2(3000.0f, 9000.0f), CEndLine::kNameTextId, L"start-and-finish"},
        {CPoint2(8700.0f, 8400.0f), CUnusableArea::kNameTextId, L"unusable-area"},
        {CPoint2(9000.0f, 2400.0f), kLineButton, L"straight-line"},
    };
    for (const auto& edit : edits) {
        Click(ViewPoint(parts, 0.98f, 0.98f));
        Click(map.ToScreen(edit.at));
        PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kPropertiesCommand, 0), 0);
        const HWND window = WaitForPropertiesWindow(program, edit.nameTextId);
        ASSERT_TRUE(window) << edit.nameTextId;
        if (edit.nameTextId == CEndLine::kNameTextId)  // a start line
            EXPECT_TRUE(IsButtonChecked(FindRadioButtons(window).at(0)));
        if (edit.nameTextId == CUnusableArea::kNameTextId)
            ClickControl(FindChildByCaption(window, GetString(kFullyRoundedText)));
        if (edit.nameTextId == kLineButton)
            ChooseComboItem(FindWindowExW(window, nullptr, L"COMBOBOX", nullptr), kLongDashes);
        ASSERT_TRUE(ShootAndClose(window, edit.shot, IDOK)) << edit.nameTextId;
    }
    CCourse edited(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, edited));
    ASSERT_EQ(1u, All<CUnusableArea>(edited).size());
    EXPECT_EQ(100, All<CUnusableArea>(edited)[0]->GetPercentRounded());
    ASSERT_EQ(1u, All<CStraightLine>(edited).size());
    EXPECT_EQ(kLongDashes, All<CStraightLine>(edited)[0]->GetPen());
    EXPECT_EQ(100ul, ReadProgramInt(L"350PercentRounded", 0));
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));
}
