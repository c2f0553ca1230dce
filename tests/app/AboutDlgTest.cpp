#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "app/AboutDlg.h"
#include "app/Application.h"
#include "app/MessageLoop.h"
#include "app/SplashWindow.h"
#include "foundation/Clock.h"
#include "foundation/Strings.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestWindows.h"

namespace {

std::vector<std::wstring> LineTexts(const CAboutDlg& dialog)
{
    std::vector<std::wstring> texts;
    for (const auto& line : dialog.lines)
        texts.push_back(line->caption.text);
    return texts;
}

// The texts of the static controls of a dialog, in creation order.
std::vector<std::wstring> StaticTexts(HWND dialog)
{
    std::vector<std::wstring> texts;
    for (const CDialogChild& child : ListDialogChildren(dialog))
        if (child.className == L"Static")
            texts.push_back(child.text);
    return texts;
}

int CountButtons(HWND dialog)
{
    int buttons = 0;
    for (const CDialogChild& child : ListDialogChildren(dialog))
        buttons += child.className == L"Button";
    return buttons;
}

// Waits until the logo shows: the pixel at its sky corner is no longer the
// dialog's face colour.
bool WaitForLogo(HWND dialog, const CAboutDlg& about)
{
    const int x = int(about.logo.bounds.left) + 48;
    const int y = int(about.logo.bounds.top) + 8;
    for (int i = 0; i < 300; ++i) {
        const COLORREF pixel = ReadClientPixel(dialog, x, y);
        // The sky is blue: more blue than red.
        if (GetBValue(pixel) > GetRValue(pixel) + 40)
            return true;
        Sleep(10);
    }
    return false;
}

}  // namespace

TEST(AboutDlg, LinesNameTheProgramItsVersionAndCopyright)
{
    CAboutDlg about(false);
    about.selfDeleting = false;
    ASSERT_EQ(L"en", GetString(2006));
    // English texts carry no translator's line.
    EXPECT_EQ((std::vector<std::wstring>{GetString(2001), GetStringWithArg(2238, GetVersionString()),
                                         GetString(2242) + L" " + GetString(2243), GetString(2239), GetString(2240)}),
              LineTexts(about));
    EXPECT_EQ(GetString(2237), about.title);
    EXPECT_TRUE(about.showOk);
    EXPECT_FALSE(about.showCancel);
    EXPECT_EQ(2, about.buttonPlacement);
    EXPECT_FALSE(about.timer.IsRunning());
    // The logo asks for its picture's size.
    about.logo.Measure();
    EXPECT_EQ(96, about.logo.preferredWidth);
    EXPECT_EQ(96, about.logo.minHeight);
    EXPECT_EQ(0, about.logo.widthStretch);
}

TEST(AboutDlg, TheSplashHasNoButtonsAndATimer)
{
    CAboutDlg splash(true);
    EXPECT_FALSE(splash.showOk);
    EXPECT_FALSE(splash.showCancel);
    EXPECT_TRUE(splash.timer.IsRunning());
    EXPECT_EQ(1250, splash.timer.interval);
    EXPECT_FALSE(splash.timer.repeat);
    EXPECT_EQ(LineTexts(CAboutDlg(false)), LineTexts(splash));
}

TEST(AboutDlg, AboutBoxOpensAndClosesWithOk)
{
    CDialogWatcherPause pause;
    std::atomic<bool> checked{false};
    std::atomic<bool> logoShown{false};
    std::atomic<int> buttons{-1};
    std::vector<std::wstring> texts;
    std::wstring caption;
    std::vector<std::wstring> others;
    std::thread driver([&] {
        HWND dialog = WaitForDialogAnsweringOthers(GetString(2237), &others);
        if (!dialog)
            return;
        caption = GetWindowTextString(dialog);

        texts = StaticTexts(dialog);
        buttons = CountButtons(dialog);
        CAboutDlg* about = reinterpret_cast<CAboutDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
        logoShown = about && WaitForLogo(dialog, *about);
        SaveWindowPicture(dialog, GetTestArtefactPath(L"about-box.png"));

        checked = true;
        PressDialogButton(dialog, IDOK);
    });
    ShowAboutBox();
    driver.join();
    ASSERT_TRUE(checked);
    EXPECT_TRUE(others.empty()) << "a failure was reported";
    EXPECT_EQ(GetString(2237), caption);
    EXPECT_TRUE(logoShown);
    EXPECT_EQ(1, buttons);
    ASSERT_EQ(5u, texts.size());
    EXPECT_EQ(GetStringWithArg(2238, L"4.33"), texts[1]);
}

TEST(SplashWindow, ShowsForItsTimeAndClosesItself)
{
    CDialogWatcherPause pause;
    const DWORD loopThread = GetCurrentThreadId();
    std::atomic<bool> logoShown{false};
    std::atomic<int> buttons{-1};
    std::atomic<DWORD> shownFor{0};
    CStopwatch clock;
    ShowSplash();
    CAboutDlg* splash = GetSplash();
    ASSERT_NE(nullptr, splash);
    HWND window = splash->hwnd;
    ASSERT_TRUE(IsWindowVisible(window));
    // Shown with its border and topmost; the border lies around the laid-out content.
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_BORDER);
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(splash->content->preferredWidth, client.right);
    std::thread driver([&] {
        buttons = CountButtons(window);
        logoShown = WaitForLogo(window, *splash);
        SaveWindowPicture(window, GetTestArtefactPath(L"splash.png"));
        for (int i = 0; i < 500 && IsWindow(window); ++i)
            Sleep(10);
        shownFor = DWORD(clock.GetElapsedSeconds() * 1000.0);
        PostThreadMessageW(loopThread, WM_QUIT, 0, 0);
    });
    // The splash closes itself from the loop's timer pump.
    RunMessageLoop();
    driver.join();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, GetSplash());
    EXPECT_EQ(0, buttons);
    EXPECT_TRUE(logoShown);
    EXPECT_GE(shownFor, 1200u);
    // Under Wine without a window manager, taking a window down waits up to
    // two seconds for the X server.
    EXPECT_LT(shownFor, 6000u);
}

TEST(SplashWindow, LeavesTheActivationToTheWindowShownAfterIt)
{
    CDialogWatcherPause pause;
    ShowSplash();
    CAboutDlg* splash = GetSplash();
    ASSERT_NE(nullptr, splash);
    const HWND window = splash->hwnd;
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_NE(window, GetActiveWindow());
    EXPECT_NE(window, GetForegroundWindow());
    // The window that follows, as the course window does, is shown active.
    const HWND next = CreateWindowExW(0, L"STATIC", L"next", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    ShowWindow(next, SW_SHOW);
    EXPECT_EQ(next, GetActiveWindow());
    EXPECT_EQ(next, GetForegroundWindow());
    EXPECT_TRUE(IsWindowVisible(window));
    DestroyWindow(next);
    CloseSplash(nullptr);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, GetSplash());
}
