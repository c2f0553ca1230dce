#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

#include "app/TroubleshootingDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"
#include "ui/UIFontMetrics.h"

namespace {

// Runs the dialog modally while a driver thread works it like a user.
bool RunDriven(const std::function<void(HWND)>& drive)
{
    CDialogWatcherPause pause;
    std::atomic<bool> driven{false};
    std::vector<std::wstring> others;
    std::thread driver([&] {
        if (HWND dialog = WaitForDialogAnsweringOthers(L"Troubleshooting", &others)) {
            drive(dialog);
            driven = true;
        }
    });
    (new CTroubleshootingDlg)->DoModal();
    driver.join();
    return driven && others.empty();
}

bool IsChecked(HWND dialog, const wchar_t* text)
{
    return SendMessageW(FindChildByCaption(dialog, text), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

class TroubleshootingDlg : public testing::Test
{
protected:
    CTestSettingsKey settings;
};

}  // namespace

TEST_F(TroubleshootingDlg, AnUnsetValueShowsUntickedAndOkStoresOne)
{
    bool ticked = true;
    std::wstring caption;
    ASSERT_TRUE(RunDriven([&](HWND dialog) {
        caption = GetWindowTextString(dialog);
        ticked = IsChecked(dialog, L"Avoid GDI for text");
        SaveWindowPicture(dialog, GetTestArtefactPath(L"troubleshooting.png"));
        PressDialogButton(dialog, IDOK);
    }));
    EXPECT_EQ(L"Troubleshooting", caption);
    EXPECT_FALSE(ticked);
    EXPECT_EQ(1, CSettings::GetInt(L"FmtTextSimpleScene", -1));
}

TEST_F(TroubleshootingDlg, TickingStoresZeroAndTheBoxShowsItNextTime)
{
    ASSERT_TRUE(RunDriven([&](HWND dialog) {
        ClickControl(FindChildByCaption(dialog, L"Avoid GDI for text"));
        PressDialogButton(dialog, IDOK);
    }));
    EXPECT_EQ(0, CSettings::GetInt(L"FmtTextSimpleScene", -1));

    bool ticked = false;
    ASSERT_TRUE(RunDriven([&](HWND dialog) {
        ticked = IsChecked(dialog, L"Avoid GDI for text");
        // Unticked again, but cancelled: nothing is stored.
        ClickControl(FindChildByCaption(dialog, L"Avoid GDI for text"));
        PressDialogButton(dialog, IDCANCEL);
    }));
    EXPECT_TRUE(ticked);
    EXPECT_EQ(0, CSettings::GetInt(L"FmtTextSimpleScene", -1));
}

CHILD_TEST(TroubleshootingReport, CreateCrashLogWritesTheLogAndCloses)
{
    GetCrashLog().fileName = "Fendrel4TroubleshootingTestLog.txt";
    const std::string path = GetCrashLog().GetLogPath();
    DeleteFileA(path.c_str());
    CTestSettingsKey settings;
    // The report's message box is answered by the watcher, which is paused
    // only while the driver looks for the dialog and presses the button.
    std::atomic<bool> pressed{false};
    std::thread driver([&] {
        HWND dialog = nullptr;
        {
            CDialogWatcherPause pause;
            dialog = WaitForDialogAnsweringOthers(L"Troubleshooting");
            // Posted: the click runs the report, whose box waits for the watcher.
            if (dialog)
                PostMessageW(FindChildByCaption(dialog, L"Create Crash Log"), BM_CLICK, 0, 0);
        }
        pressed = dialog != nullptr;
    });
    (new CTroubleshootingDlg)->DoModal();
    driver.join();
    const std::vector<CSeenDialog> seen = CDialogWatcher::TakeAnswered();
    const bool logWritten = FileExists(std::wstring(path.begin(), path.end()));
    DeleteFileA(path.c_str());
    if (!pressed)
        return 2;
    if (ReportCount() != 1)
        return 3;
    if (seen.size() != 1)
        return 4;
    return logWritten ? 0 : 5;
}
