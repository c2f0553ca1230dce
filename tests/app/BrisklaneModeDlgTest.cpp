#include <gtest/gtest.h>

#include <windows.h>

#include "app/BrisklaneModeDlg.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr int kUnset = -1;

// The state the box showed, and what the store holds after a run in which
// the box was clicked when asked and the dialog ended with OK or Cancel.
struct CRun
{
    bool shownTicked = false;
    int stored = kUnset;
};

CRun RunDialog(bool click, bool ok, const wchar_t* shot = nullptr)
{
    CRun run;
    CDialogWatcherPause pause;
    const bool driven = RunModalDriven(
        [] {
            CBrisklaneModeDlg dialog;
            dialog.DoModal();
        },
        [&](HWND dialog) {
            const HWND box = FindChildByCaption(dialog, L"Brisklane mode");
            run.shownTicked = IsButtonChecked(box);
            if (shot) {
                SaveDialogShot(dialog, shot, L"shots-3d");
                SaveWindowPicture(dialog, GetTestArtefactPath(std::wstring(shot) + L".png"));
                // The buttons stand in a row below the box.
                RECT boxRect, okRect, cancelRect;
                GetWindowRect(box, &boxRect);
                GetWindowRect(FindChildByCaption(dialog, GetString(2015)), &okRect);
                GetWindowRect(FindChildByCaption(dialog, GetString(2013)), &cancelRect);
                EXPECT_EQ(okRect.top, cancelRect.top);
                EXPECT_GT(okRect.top, boxRect.bottom);
                EXPECT_EQ(L"Brisklane features", GetWindowTextString(dialog));
            }
            if (click)
                ClickControl(box);
            PressDialogButton(dialog, ok ? IDOK : IDCANCEL);
        });
    EXPECT_TRUE(driven);
    run.stored = CSettings::GetInt(L"BrisklaneMode", kUnset);
    return run;
}

}  // namespace

TEST(BrisklaneModeDlg, TheBoxShowsAndStoresTheMode)
{
    CTestSettingsKey settings;
    struct CStep
    {
        bool click, ok;
        bool shownTicked;
        int stored;
    };
    const CStep steps[] = {
        {false, false, false, kUnset},  // cancelled: nothing stored
        {false, true, false, 0},        // OK stores the box as it is
        {true, true, false, 1},
        {true, false, true, 1},         // unticked but cancelled
        {true, true, true, 0},
    };
    for (const CStep& step : steps) {
        const CRun run = RunDialog(step.click, step.ok, step.stored == 1 ? L"brisklane-mode-dialog" : nullptr);
        EXPECT_EQ(step.shownTicked, run.shownTicked);
        EXPECT_EQ(step.stored, run.stored);
        EXPECT_EQ(step.stored == 1, IsBrisklaneMode());
    }
}
