#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "app/CourseDiffDlg.h"
#include "app/CourseWindow.h"
#include "app/JumpSettingsDlg.h"
#include "app/SelectDlg.h"
#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/equipment/AFrame.h"
#include "objects/equipment/Barrel.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestWindows.h"

// The course window's settings dialogs: Select, New Set-Up Copy, Course
// Differences and Jump Settings, each run modally and worked as a user would.

using namespace filetest;

namespace {

class CourseDialogs : public testing::Test
{
protected:
    void SetUp() override { OpenFileTestSettings(); }
    void TearDown() override { DeleteTestSettingsKey(); }
};

void PlaceBarrel(CCourse& course, float x, float y)
{
    CTransform placement;
    placement.SetPosition2D(x, y);
    course.AddObject(FindObjectTypeById(CBarrel::kTypeId)->CreateNew(&course, placement, nullptr));
}

// The three-state boxes of a dialog by caption, and their states.
std::vector<HWND> CheckBoxes(HWND dialog)
{
    std::vector<HWND> boxes;
    for (const CDialogChild& child : ListDialogChildren(dialog))
        if (_wcsicmp(child.className.c_str(), L"Button") == 0 && (child.style & BS_TYPEMASK) == BS_3STATE)
            boxes.push_back(child.window);
    return boxes;
}

int CheckState(HWND box) { return int(SendMessageW(box, BM_GETCHECK, 0, 0)); }

HWND FindCombo(HWND dialog)
{
    for (const CDialogChild& child : ListDialogChildren(dialog))
        if (_wcsicmp(child.className.c_str(), L"ComboBox") == 0)
            return child.window;
    return nullptr;
}

std::wstring ComboText(HWND combo, int index)
{
    wchar_t text[128] = {};
    SendMessageW(combo, CB_GETLBTEXT, WPARAM(index), LPARAM(text));
    return text;
}

// The course's selected objects by type id.
std::vector<int> SelectedTypes(const CCourse& course)
{
    std::vector<int> ids;
    for (const CCourseObject* object : course.GetObjects())
        if (object->IsSelected())
            ids.push_back(object->GetType()->GetTypeId());
    std::sort(ids.begin(), ids.end());
    return ids;
}

}  // namespace

TEST_F(CourseDialogs, SelectShowsTheKindsAndSelectsExactlyTheCheckedOnes)
{
    CCourse course(L"Select", L"");
    PlaceAFrame(course, 1200.0f, 1500.0f, 0.0f);
    PlaceAFrame(course, 3600.0f, 2400.0f, 0.0f);
    PlaceBarrel(course, 6000.0f, 4000.0f);
    const std::wstring aFrames = FindObjectTypeById(CAFrame::kTypeId)->GetDisplayName(course);
    const std::wstring barrel = FindObjectTypeById(CBarrel::kTypeId)->GetDisplayName(course);
    ASSERT_LT(aFrames, barrel);  // children in name order: A-frames first

    // Boxes clicked (0 root, 1 A-frames, 2 barrel), the root's state then, the selection after OK.
    const struct
    {
        std::vector<int> clicks;
        int rootState;
        std::vector<int> selected;
    } runs[] = {
        {{1}, BST_INDETERMINATE, {10, 10}},
        {{1, 2}, BST_CHECKED, {10, 10, 25}},
        {{0}, BST_CHECKED, {10, 10, 25}},
        {{0, 1}, BST_INDETERMINATE, {25}},
        {{}, BST_UNCHECKED, {}},
    };
    for (const auto& run : runs) {
        course.SelectAll();
        std::vector<std::wstring> captions;
        std::vector<int> states;
        ASSERT_TRUE(RunModalDriven([&] { (new CSelectDlg(&course))->DoModal(); }, [&](HWND dialog) {
            const std::vector<HWND> boxes = CheckBoxes(dialog);
            for (HWND box : boxes)
                captions.push_back(GetCaptionText(box));
            for (int click : run.clicks)
                if (size_t(click) < boxes.size())
                    ClickControl(boxes[size_t(click)]);
            for (HWND box : boxes)
                states.push_back(CheckState(box));
            PressDialogButton(dialog, IDOK);
        }));
        EXPECT_EQ((std::vector<std::wstring>{GetString(2458) + L" (3 )", aFrames + L" (2 )", barrel}), captions);
        ASSERT_EQ(3u, states.size());
        EXPECT_EQ(run.rootState, states[0]) << run.clicks.size();
        EXPECT_EQ(run.selected, SelectedTypes(course)) << run.clicks.size();
    }
    EXPECT_EQ(0, ReportCount());
}

CHILD_TEST(CourseSetUpWindow, OpensAnUnmodifiedCopyAndRemembersTheChoicePerOrganisation)
{
    cwtest::PrepareWindowTest();
    CCourseWindow* window = cwtest::OpenNewCourseWindow(L"Club.Final.agl");
    CCourse& course = *window->GetCourse();
    PlaceAFrame(course, 1200.0f, 1500.0f, 0.0f);
    PlaceAFrame(course, 6000.0f, 4000.0f, 90.0f);
    course.SetSpecList(2);
    course.MarkUnmodified(true);
    course.OnCourseChanged();
    const std::wstring organisation = course.GetSpecList().GetName();

    // A new organisation starts from choice 0; choice 3 is taken.
    int firstChecked = -1;
    if (!RunModalDriven([&] { window->RunMenuCommand(2064); }, [&](HWND dialog) {
            const std::vector<HWND> radios = FindRadioButtons(dialog);
            for (size_t i = 0; i < radios.size(); ++i)
                if (IsButtonChecked(radios[i]))
                    firstChecked = int(i) + 10 * int(radios.size());
            if (radios.size() == 6)
                ClickControl(radios[3]);
            PressDialogButton(dialog, IDOK);
        }))
        return 1;
    if (firstChecked != 60)
        return 2;
    if (CSettings::GetInt(organisation + L"SetUp", -1) != 3)
        return 3;
    const std::vector<CCourseWindow*> windows = CCourseWindow::GetCourseWindows();
    if (windows.size() != 2)
        return 4;
    const CCourse* copy = windows[0] == window ? windows[1]->GetCourse() : windows[0]->GetCourse();
    if (copy->GetTitle() != L"Club.Final Set-Up" || !copy->GetPath().empty())
        return 5;
    if (copy->IsModified() || copy->CanUndo() || copy->GetObjectCount() != 2 || !copy->GetShowObsCoords())
        return 6;
    if (course.IsModified() || course.GetObjectCount() != 2 || course.GetShowObsCoords())
        return 7;

    // The organisation opens on its stored choice; another on its own.
    for (int organisationId : {2, 3}) {
        course.SetSpecList(organisationId);
        int checked = -1;
        if (!RunModalDriven([&] { window->RunMenuCommand(2064); }, [&](HWND dialog) {
                const std::vector<HWND> radios = FindRadioButtons(dialog);
                for (size_t i = 0; i < radios.size(); ++i)
                    if (IsButtonChecked(radios[i]))
                        checked = int(i);
                PressDialogButton(dialog, IDCANCEL);
            }))
            return 10 + organisationId;
        if (checked != (organisationId == 2 ? 3 : 0))
            return 20 + organisationId;
    }
    return ReportCount() == 0 ? 0 : 30;
}

TEST_F(CourseDialogs, DifferencesCompareKeepAndSwitchOffAsUndoSteps)
{
    CCourse course(L"Mine", L"");
    PlaceAFrame(course, 1200.0f, 1500.0f, 0.0f);
    CCourse other(L"Theirs", L"");
    PlaceAFrame(other, 1200.0f, 1500.0f, 0.0f);
    PlaceAFrame(other, 6000.0f, 4000.0f, 0.0f);
    course.MarkUnmodified(true);

    // Alone: only the off button, no list.
    size_t radios = 0;
    HWND combo = nullptr;
    ASSERT_TRUE(RunModalDriven([&] { (new CCourseDiffDlg(&course, {}))->DoModal(); }, [&](HWND dialog) {
        radios = FindRadioButtons(dialog).size();
        combo = FindCombo(dialog);
        PressDialogButton(dialog, IDOK);
    }));
    EXPECT_EQ(1u, radios);
    EXPECT_EQ(nullptr, combo);
    EXPECT_TRUE(course.GetOverlayObjects().empty());

    // Compare: the list names the other course from the start and is enabled by the compare button.
    int shownCourse = -2;
    bool enabledBefore = true;
    bool enabledAfter = false;
    ASSERT_TRUE(RunModalDriven([&] { (new CCourseDiffDlg(&course, {&other}))->DoModal(); }, [&](HWND dialog) {
        const std::vector<HWND> buttons = FindRadioButtons(dialog);
        combo = FindCombo(dialog);
        if (buttons.size() != 2 || !combo)
            return;
        shownCourse = int(SendMessageW(combo, CB_GETCURSEL, 0, 0));
        enabledBefore = IsWindowEnabled(combo);
        ClickControl(buttons[1]);
        enabledAfter = IsWindowEnabled(combo);
        ClickControl(FindChildByCaption(dialog, GetString(2341)));
        PressDialogButton(dialog, IDOK);
    }));
    EXPECT_EQ(0, shownCourse);
    EXPECT_FALSE(enabledBefore);
    EXPECT_TRUE(enabledAfter);
    EXPECT_EQ(2u, course.GetOverlayObjects().size());
    EXPECT_EQ(1, CSettings::GetInt(L"DiffObsNums", -1));
    EXPECT_EQ(0, CSettings::GetInt(L"DiffLines", -1));
    EXPECT_EQ(L"Differences", course.GetUndoLabel());

    // Showing differences offers keep (checked); off takes the overlay away, and Undo brings it back.
    std::vector<bool> checked;
    ASSERT_TRUE(RunModalDriven([&] { (new CCourseDiffDlg(&course, {&other}))->DoModal(); }, [&](HWND dialog) {
        const std::vector<HWND> buttons = FindRadioButtons(dialog);
        for (HWND button : buttons)
            checked.push_back(IsButtonChecked(button));
        if (!buttons.empty())
            ClickControl(buttons[0]);
        PressDialogButton(dialog, IDOK);
    }));
    EXPECT_EQ((std::vector<bool>{false, true, false}), checked);
    EXPECT_TRUE(course.GetOverlayObjects().empty());
    ASSERT_TRUE(course.Undo());
    EXPECT_EQ(2u, course.GetOverlayObjects().size());
    EXPECT_EQ(0, ReportCount());
}

TEST_F(CourseDialogs, JumpHeightsReadInTheCourseUnitsAndOpenOnTheNearest)
{
    EXPECT_EQ(0, CJumpSettingsDlg::FindNearestEntry(20.0f));
    EXPECT_EQ(11, CJumpSettingsDlg::FindNearestEntry(240.0f));
    EXPECT_EQ(11, CJumpSettingsDlg::FindNearestEntry(233.0f));
    EXPECT_EQ(0, CJumpSettingsDlg::FindNearestEntry(-5.0f));
    EXPECT_EQ(12, CJumpSettingsDlg::FindNearestEntry(1e9f));
    EXPECT_EQ(11, CJumpSettingsDlg::FindNearestEntry(std::nanf("")));

    // Metric and imperial lists, opened on a height from a file that is none of the thirteen.
    const struct
    {
        bool metric;
        const wchar_t* first;
        const wchar_t* last;
    } lists[] = {{true, L"5 cm", L"65 cm"}, {false, L"2 in", L"26 in"}};
    for (const auto& list : lists) {
        CCourse course(L"Jumps", L"");
        course.SetMetric(list.metric);
        course.SetJumpHeight(233.0f);
        std::vector<std::wstring> texts;
        int shown = -1;
        ASSERT_TRUE(RunModalDriven([&] { (new CJumpSettingsDlg(&course))->DoModal(); }, [&](HWND dialog) {
            const HWND combo = FindCombo(dialog);
            for (int i = 0; i < int(SendMessageW(combo, CB_GETCOUNT, 0, 0)); ++i)
                texts.push_back(ComboText(combo, i));
            shown = int(SendMessageW(combo, CB_GETCURSEL, 0, 0));
            PressDialogButton(dialog, IDCANCEL);
        }));
        ASSERT_EQ(13u, texts.size());
        EXPECT_EQ(list.first, texts.front().substr(0, texts.front().find(L"  *")));
        EXPECT_EQ(list.last, texts.back().substr(0, texts.back().find(L"  *")));
        EXPECT_EQ(11, shown);
        EXPECT_EQ(233.0f, course.GetJumpHeight());
    }
}

TEST_F(CourseDialogs, JumpSettingsRefuseTooManyPlanksForTheLength)
{
    CCourse course(L"Jumps", L"");
    course.SetJumpHeight(233.0f);
    course.MarkUnmodified(true);
    bool openAfterRefusal = false;
    std::vector<std::wstring> messages;
    ASSERT_TRUE(RunModalDriven([&] { (new CJumpSettingsDlg(&course))->DoModal(); }, [&](HWND dialog) {
        const std::vector<HWND> edits = FindEditControls(dialog);
        if (edits.size() != 2)
            return;
        TypeIntoEdit(edits[0], L"17.8\"");
        TypeIntoEdit(edits[1], L"3");
        PressDialogButton(dialog, IDOK);
        messages = WaitForAnsweredTexts();
        openAfterRefusal = IsWindowVisible(dialog);
        TypeIntoEdit(edits[0], L"17.9\"");
        PressDialogButton(dialog, IDOK);
    }));
    EXPECT_EQ(std::vector<std::wstring>{GetString(2685)}, messages);
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(240.0f, course.GetJumpHeight());
    EXPECT_EQ(179.0f, course.GetLongJumpLength());
    EXPECT_EQ(3, course.GetLongJumpPlanks());
    EXPECT_EQ(L"Jump Settings", course.GetUndoLabel());
    EXPECT_EQ(0, ReportCount());
}
