#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/CourseDiffDlg.h"
#include "app/JumpSettingsDlg.h"
#include "course/Course.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

// The differences and jump settings dialogs, run modally and worked as a
// user would (the walk in CourseDialogsEndToEndTest.cpp does the rest).

namespace {

class CourseDialogs : public testing::Test
{
protected:
    void SetUp() override { filetest::OpenFileTestSettings(); }
    void TearDown() override { DeleteTestSettingsKey(); }
};

HWND FindList(HWND dialog)
{
    for (const CDialogChild& child : ListDialogChildren(dialog))
        if (_wcsicmp(child.className.c_str(), L"ComboBox") == 0)
            return child.window;
    return nullptr;
}

}  // namespace

TEST_F(CourseDialogs, DifferencesOfferCompareOnlyWithAnotherCourseWhichTheListNamesFromTheStart)
{
    CCourse course(L"Mine", L"");
    CCourse other(L"Theirs", L"");
    filetest::PlaceAFrame(other, 1200.0f, 1500.0f, 0.0f);
    // Radio buttons; then the list's entry, enabled before and after the compare button is clicked.
    std::vector<int> shown;
    for (const std::vector<CCourse*>& others : {std::vector<CCourse*>{}, std::vector<CCourse*>{&other}})
        ASSERT_TRUE(RunModalDriven([&] { (new CCourseDiffDlg(&course, others))->DoModal(); }, [&](HWND dialog) {
            const std::vector<HWND> radios = FindRadioButtons(dialog);
            shown.push_back(int(radios.size()));
            if (const HWND list = FindList(dialog)) {
                shown.push_back(int(SendMessageW(list, CB_GETCURSEL, 0, 0)));
                shown.push_back(IsWindowEnabled(list));
                ClickControl(radios.back());
                shown.push_back(IsWindowEnabled(list));
            }
            PressDialogButton(dialog, IDOK);
        }));
    EXPECT_EQ((std::vector<int>{1, 2, 0, 0, 1}), shown);
    EXPECT_EQ(1u, course.GetOverlayObjects().size());
    EXPECT_EQ(L"Differences", course.GetUndoLabel());
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
            const HWND list = FindList(dialog);
            for (int i : {0, 12}) {
                wchar_t text[64] = {};
                SendMessageW(list, CB_GETLBTEXT, WPARAM(i), LPARAM(text));
                texts.push_back(std::wstring(text).substr(0, std::wstring(text).find(L"  *")));
            }
            shownEntry = int(SendMessageW(list, CB_GETCURSEL, 0, 0));
            PressDialogButton(dialog, metric ? IDCANCEL : IDOK);
        }));
        EXPECT_EQ(metric ? (std::vector<std::wstring>{L"5 cm", L"65 cm"}) : (std::vector<std::wstring>{L"2 in", L"26 in"}),
                  texts);
        EXPECT_EQ(11, shownEntry);
        EXPECT_EQ(metric ? 233.0f : 240.0f, course.GetJumpHeight());
    }
}
