#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
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
#include "tests/support/FailureReports.h"

// The course window's settings dialogs, run modally and worked as a user would.

using namespace filetest;

namespace {

class CourseDialogs : public testing::Test
{
protected:
    void SetUp() override { OpenFileTestSettings(); }
    void TearDown() override { DeleteTestSettingsKey(); }
};

std::vector<HWND> ChildrenOfClass(HWND dialog, const wchar_t* className, DWORD style)
{
    std::vector<HWND> found;
    for (const CDialogChild& child : ListDialogChildren(dialog))
        if (_wcsicmp(child.className.c_str(), className) == 0 && (style == 0 || (child.style & BS_TYPEMASK) == style))
            found.push_back(child.window);
    return found;
}

int State(HWND control, UINT message) { return int(SendMessageW(control, message, 0, 0)); }

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
    const int reports = ReportCount();
    CCourse course(L"Select", L"");
    PlaceAFrame(course, 1200.0f, 1500.0f, 0.0f);
    PlaceAFrame(course, 3600.0f, 2400.0f, 0.0f);
    CTransform placement;
    course.AddObject(FindObjectTypeById(CBarrel::kTypeId)->CreateNew(&course, placement, nullptr));
    const std::wstring aFrames = FindObjectTypeById(CAFrame::kTypeId)->GetDisplayName(course);
    const std::wstring barrel = FindObjectTypeById(CBarrel::kTypeId)->GetDisplayName(course);

    // Boxes clicked (0 root, 1 A-frames, 2 barrel), the root's state then, the selection after OK.
    const struct
    {
        std::vector<int> clicks;
        int rootState;
        std::vector<int> selected;
    } runs[] = {
        {{1}, BST_INDETERMINATE, {10, 10}}, {{1, 2}, BST_CHECKED, {10, 10, 25}}, {{0}, BST_CHECKED, {10, 10, 25}},
        {{0, 1}, BST_INDETERMINATE, {25}},  {{}, BST_UNCHECKED, {}},
    };
    for (const auto& run : runs) {
        course.SelectAll();
        std::vector<std::wstring> captions;
        int rootState = -1;
        ASSERT_TRUE(RunModalDriven([&] { (new CSelectDlg(&course))->DoModal(); }, [&](HWND dialog) {
            const std::vector<HWND> boxes = ChildrenOfClass(dialog, L"Button", BS_3STATE);
            for (HWND box : boxes)
                captions.push_back(GetCaptionText(box));
            for (int click : run.clicks)
                ClickControl(boxes.at(size_t(click)));
            rootState = State(boxes.at(0), BM_GETCHECK);
            PressDialogButton(dialog, IDOK);
        }));
        EXPECT_EQ((std::vector<std::wstring>{GetString(2458) + L" (3 )", aFrames + L" (2 )", barrel}), captions);
        EXPECT_EQ(run.rootState, rootState) << run.clicks.size();
        EXPECT_EQ(run.selected, SelectedTypes(course)) << run.clicks.size();
    }
    EXPECT_EQ(reports, ReportCount());
}

CHILD_TEST(CourseSetUpWindow, OpensAnUnmodifiedCopyAndRemembersTheChoicePerOrganisation)
{
    cwtest::PrepareWindowTest();
    CCourseWindow* window = cwtest::OpenNewCourseWindow(L"Club.Final.agl");
    CCourse& course = *window->GetCourse();
    PlaceAFrame(course, 1200.0f, 1500.0f, 0.0f);
    course.MarkUnmodified(true);
    // Organisation 2 starts from choice 0 and keeps choice 3; organisation 3 still starts from 0.
    const int choices[][3] = {{2, 0, 3}, {2, 3, -1}, {3, 0, -1}};
    for (const int* run : choices) {
        course.SetSpecList(run[0]);
        int checked = -1;
        if (!RunModalDriven([&] { window->RunMenuCommand(2064); }, [&](HWND dialog) {
                const std::vector<HWND> radios = FindRadioButtons(dialog);
                for (size_t i = 0; i < radios.size(); ++i)
                    checked = IsButtonChecked(radios[i]) ? int(i) : checked;
                if (run[2] >= 0)
                    ClickControl(radios.at(size_t(run[2])));
                PressDialogButton(dialog, run[2] >= 0 ? IDOK : IDCANCEL);
            }))
            return 1;
        if (checked != run[1])
            return 10 + run[0] * 2 + (run[2] >= 0);
    }
    if (CSettings::GetInt(GetSpecList(2).GetName() + L"SetUp", -1) != 3)
        return 2;
    const std::vector<CCourseWindow*> windows = CCourseWindow::GetCourseWindows();
    const CCourse* copy = windows.size() == 2 ? windows[windows[0] == window ? 1 : 0]->GetCourse() : nullptr;
    if (!copy || copy->GetTitle() != L"Club.Final Set-Up" || copy->IsModified() || copy->CanUndo() ||
        copy->GetObjectCount() != 1 || !copy->GetShowObsCoords())
        return 3;
    return course.IsModified() || course.GetShowObsCoords() || ReportCount() != 0 ? 4 : 0;
}

TEST_F(CourseDialogs, DifferencesOfferCompareWithACourseChosenAndKeepOrOffAsUndoSteps)
{
    const int reports = ReportCount();
    CCourse course(L"Mine", L"");
    CCourse other(L"Theirs", L"");
    PlaceAFrame(other, 1200.0f, 1500.0f, 0.0f);
    // Alone: only the off button, no list. With another course the list names it from the start.
    std::vector<int> shown;
    for (const std::vector<CCourse*>& others : {std::vector<CCourse*>{}, std::vector<CCourse*>{&other}})
        ASSERT_TRUE(RunModalDriven([&] { (new CCourseDiffDlg(&course, others))->DoModal(); }, [&](HWND dialog) {
            const std::vector<HWND> radios = FindRadioButtons(dialog);
            const std::vector<HWND> lists = ChildrenOfClass(dialog, L"ComboBox", 0);
            shown.push_back(int(radios.size()));
            for (HWND list : lists) {
                shown.push_back(State(list, CB_GETCURSEL));
                shown.push_back(IsWindowEnabled(list));
                ClickControl(radios.back());
                shown.push_back(IsWindowEnabled(list));
            }
            PressDialogButton(dialog, IDOK);
        }));
    EXPECT_EQ((std::vector<int>{1, 2, 0, 0, 1}), shown);
    EXPECT_EQ(1u, course.GetOverlayObjects().size());
    EXPECT_EQ(L"Differences", course.GetUndoLabel());

    // Showing differences offers keep, checked; off takes them away as one more step.
    std::vector<bool> checked;
    ASSERT_TRUE(RunModalDriven([&] { (new CCourseDiffDlg(&course, {&other}))->DoModal(); }, [&](HWND dialog) {
        for (HWND radio : FindRadioButtons(dialog))
            checked.push_back(IsButtonChecked(radio));
        ClickControl(FindRadioButtons(dialog).at(0));
        PressDialogButton(dialog, IDOK);
    }));
    EXPECT_EQ((std::vector<bool>{false, true, false}), checked);
    EXPECT_TRUE(course.GetOverlayObjects().empty());
    ASSERT_TRUE(course.Undo());
    EXPECT_EQ(1u, course.GetOverlayObjects().size());
    EXPECT_EQ(reports, ReportCount());
}

TEST_F(CourseDialogs, JumpHeightsReadInTheCourseUnitsAndOpenOnTheNearest)
{
    const std::pair<float, int> nearest[] = {{20.0f, 0}, {233.0f, 11}, {-5.0f, 0}, {1e9f, 12}, {std::nanf(""), 11}};
    for (const auto& [height, entry] : nearest)
        EXPECT_EQ(entry, CJumpSettingsDlg::FindNearestEntry(height)) << height;

    // A height from a file that is none of the thirteen: the list opens on the nearest; Cancel keeps the
    // height, OK takes the entry's.
    for (const bool metric : {true, false}) {
        CCourse course(L"Jumps", L"");
        course.SetMetric(metric);
        course.SetJumpHeight(233.0f);
        std::vector<std::wstring> texts;
        int shownEntry = -1;
        ASSERT_TRUE(RunModalDriven([&] { (new CJumpSettingsDlg(&course))->DoModal(); }, [&](HWND dialog) {
            const HWND list = ChildrenOfClass(dialog, L"ComboBox", 0).at(0);
            for (int i : {0, 12}) {
                wchar_t text[64] = {};
                SendMessageW(list, CB_GETLBTEXT, WPARAM(i), LPARAM(text));
                texts.push_back(std::wstring(text).substr(0, std::wstring(text).find(L"  *")));
            }
            shownEntry = State(list, CB_GETCURSEL);
            PressDialogButton(dialog, metric ? IDCANCEL : IDOK);
        }));
        EXPECT_EQ(metric ? (std::vector<std::wstring>{L"5 cm", L"65 cm"}) : (std::vector<std::wstring>{L"2 in", L"26 in"}),
                  texts);
        EXPECT_EQ(11, shownEntry);
        EXPECT_EQ(metric ? 233.0f : 240.0f, course.GetJumpHeight());
    }
}
