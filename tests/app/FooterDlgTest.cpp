#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

#include "app/FooterDlg.h"
#include "course/Course.h"
#include "foundation/Strings.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"
#include "ui/UIFontMetrics.h"

using namespace filetest;

namespace {

class FooterDlg : public testing::Test
{
protected:
    void SetUp() override { OpenFileTestSettings(); }
    void TearDown() override { DeleteTestSettingsKey(); }
};

HWND FindByCaption(HWND dialog, const std::wstring& text)
{
    for (const CDialogChild& child : ListDialogChildren(dialog))
        if (StripAccessKeyMarkers(child.text) == text)
            return child.window;
    return nullptr;
}

HWND FindCombo(HWND dialog)
{
    for (const CDialogChild& child : ListDialogChildren(dialog))
        if (_wcsicmp(child.className.c_str(), L"ComboBox") == 0)
            return child.window;
    return nullptr;
}

// Runs the dialog for the course while the driver works it.
bool RunDriven(CCourse& course, const std::function<void(HWND)>& drive)
{
    CDialogWatcherPause pause;
    std::atomic<bool> driven{false};
    std::vector<std::wstring> others;
    std::thread driver([&] {
        const HWND dialog = WaitForDialogAnsweringOthers(GetString(2502), &others);
        // The dialog makes its controls once it is up.
        if (dialog && WaitForControl(dialog, FindCombo)) {
            drive(dialog);
            driven = true;
        } else if (dialog) {
            PostMessageW(dialog, WM_CLOSE, 0, 0);
        }
    });
    (new CUKCFooterDlg(&course))->DoModal();
    driver.join();
    return driven && others.empty();
}

int Selection(HWND combo) { return int(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

}  // namespace

TEST_F(FooterDlg, ShowsTheCourseValuesAndStoresTheChoiceAsOneUndoStep)
{
    CCourse course(L"Footer", L"");
    course.SetSpecList(5);
    course.SetUKCClass(3);
    course.SetShowUKCFooter(true);
    course.MarkUnmodified(true);
    bool ticked = false;
    int shownSelection = -1;
    int items = 0;
    std::wstring fourth;
    ASSERT_TRUE(RunDriven(course, [&](HWND dialog) {
        const HWND box = FindByCaption(dialog, GetString(2503));
        const HWND combo = FindCombo(dialog);
        ticked = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
        shownSelection = Selection(combo);
        items = int(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        wchar_t text[128] = {};
        SendMessageW(combo, CB_GETLBTEXT, 3, LPARAM(text));
        fourth = text;
        SaveWindowPicture(dialog, GetTestArtefactPath(L"footer-dialog.png"));
        ChooseComboItem(combo, 6);
        PressDialogButton(dialog, IDOK);
    }));
    EXPECT_TRUE(ticked);
    EXPECT_EQ(2, shownSelection);
    EXPECT_EQ(12, items);
    EXPECT_EQ(GetString(2508), fourth);
    EXPECT_EQ(7, course.GetUKCClass());
    EXPECT_TRUE(course.GetShowUKCFooter());
    EXPECT_TRUE(course.IsModified());
    ASSERT_TRUE(course.CanUndo());

    // Switching the footer off and the class at once is one step back.
    ASSERT_TRUE(RunDriven(course, [&](HWND dialog) {
        ClickControl(FindByCaption(dialog, GetString(2503)));
        PressDialogButton(dialog, IDOK);
    }));
    EXPECT_FALSE(course.GetShowUKCFooter());
    EXPECT_EQ(7, course.GetUKCClass());
    ASSERT_TRUE(course.Undo());
    EXPECT_TRUE(course.GetShowUKCFooter());
    EXPECT_EQ(7, course.GetUKCClass());
    ASSERT_TRUE(course.Undo());
    EXPECT_TRUE(course.GetShowUKCFooter());
    EXPECT_EQ(3, course.GetUKCClass());
}

TEST_F(FooterDlg, TheClassCanBeChosenOnlyWhileTheFooterIsShown)
{
    CCourse course(L"Footer", L"");
    course.SetUKCClass(12);
    course.SetShowUKCFooter(false);
    bool enabledAtFirst = true;
    bool enabledWhenTicked = false;
    bool enabledWhenUnticked = true;
    ASSERT_TRUE(RunDriven(course, [&](HWND dialog) {
        const HWND box = FindByCaption(dialog, GetString(2503));
        const HWND combo = FindCombo(dialog);
        enabledAtFirst = IsWindowEnabled(combo) != 0;
        ClickControl(box);
        enabledWhenTicked = IsWindowEnabled(combo) != 0;
        ClickControl(box);
        enabledWhenUnticked = IsWindowEnabled(combo) != 0;
        PressDialogButton(dialog, IDOK);
    }));
    EXPECT_FALSE(enabledAtFirst);
    EXPECT_TRUE(enabledWhenTicked);
    EXPECT_FALSE(enabledWhenUnticked);
    // The stored class goes back unchanged.
    EXPECT_EQ(12, course.GetUKCClass());
    EXPECT_FALSE(course.GetShowUKCFooter());

    // A class no item names (a damaged file) is not replaced by the item the
    // disabled list happens to show; a footer switched on takes that item.
    course.SetUKCClass(40);
    ASSERT_TRUE(RunDriven(course, [&](HWND dialog) { PressDialogButton(dialog, IDOK); }));
    EXPECT_EQ(40, course.GetUKCClass());
    EXPECT_FALSE(course.GetShowUKCFooter());
    ASSERT_TRUE(RunDriven(course, [&](HWND dialog) {
        ClickControl(FindByCaption(dialog, GetString(2503)));
        PressDialogButton(dialog, IDOK);
    }));
    EXPECT_EQ(1, course.GetUKCClass());
    EXPECT_TRUE(course.GetShowUKCFooter());
}

TEST_F(FooterDlg, CancelChangesNothing)
{
    CCourse course(L"Footer", L"");
    course.SetUKCClass(2);
    course.SetShowUKCFooter(true);
    course.MarkUnmodified(true);
    ASSERT_TRUE(RunDriven(course, [&](HWND dialog) {
        ClickControl(FindByCaption(dialog, GetString(2503)));
        PressDialogButton(dialog, IDCANCEL);
    }));
    EXPECT_EQ(2, course.GetUKCClass());
    EXPECT_TRUE(course.GetShowUKCFooter());
    EXPECT_FALSE(course.IsModified());
    EXPECT_FALSE(course.CanUndo());
}
