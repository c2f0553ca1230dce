#include <gtest/gtest.h>

#include <windows.h>

#include "app/BrisklaneModeDlg.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

namespace {

RECT ScreenRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

}  // namespace

// Each run: whether the box showed ticked, whether it is clicked, OK or
// Cancel, and what the store holds afterwards (-1: nothing).
TEST(BrisklaneModeDlg, TheBoxShowsAndStoresTheMode)
{
    CTestSettingsKey settings;
    const struct
    {
        bool shownTicked, click, ok;
        int stored;
    } steps[] = {
        {false, false, false, -1}, {false, false, true, 0}, {false, true, true, 1},
        {true, true, false, 1},    {true, true, true, 0},
    };
    for (const auto& step : steps) {
        bool shownTicked = !step.shownTicked;
        CDialogWatcherPause pause;
        EXPECT_TRUE(RunModalDriven([] { CBrisklaneModeDlg().DoModal(); }, [&](HWND dialog) {
            EXPECT_EQ(L"Brisklane features", GetWindowTextString(dialog));
            const HWND box = FindChildByCaption(dialog, L"Brisklane mode");
            shownTicked = IsButtonChecked(box);
            // OK and Cancel stand in a row below the box.
            const RECT ok = ScreenRect(FindChildByCaption(dialog, GetString(2015)));
            EXPECT_EQ(ok.top, ScreenRect(FindChildByCaption(dialog, GetString(2013))).top);
            EXPECT_GT(ok.top, ScreenRect(box).bottom);
            if (step.click)
                ClickControl(box);
            if (step.stored == 1 && step.ok)
                SaveDialogShot(dialog, L"brisklane-mode-dialog", L"shots-3d");
            PressDialogButton(dialog, step.ok ? IDOK : IDCANCEL);
        }));
        EXPECT_EQ(step.shownTicked, shownTicked);
        EXPECT_EQ(step.stored, CSettings::GetInt(L"BrisklaneMode", -1));
        EXPECT_EQ(step.stored == 1, IsBrisklaneMode());
    }
}
