#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "foundation/Timer.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"
#include "ui/MessageBox.h"
#include "ui/ModalState.h"

namespace {

class CAnswer
{
public:
    void OnResult(CMessageBox::Button button)
    {
        answer = button;
        ++calls;
    }
    CDelegate<CMessageBox::Button> Make()
    {
        return CMemberDelegate<CMessageBox::Button, CAnswer>::Make(this, &CAnswer::OnResult);
    }
    CMessageBox::Button answer = CMessageBox::OK;
    int calls = 0;
};

// Shows a message box of `kind` on this thread while a driver thread looks
// at it and closes it with `close`.
template <class Close>
CMessageBox::Button ShowAndDrive(int kind, Close close, HWND* seen = nullptr,
                                 const std::wstring& text = L"Question?")
{
    CDialogWatcherPause pause;
    std::thread driver([&] {
        HWND box = WaitForDialog();
        if (seen)
            *seen = box;
        if (box)
            close(box);
    });
    CAnswer answer;
    CMessageBox::Show(text, kind, answer.Make());
    driver.join();
    EXPECT_EQ(1, answer.calls);
    return answer.answer;
}

}  // namespace

TEST(MessageBoxes, KindsMapToIconsAndButtons)
{
    EXPECT_EQ(UINT(MB_ICONHAND), CMessageBox::GetStyle(0));
    EXPECT_EQ(UINT(MB_ICONHAND), CMessageBox::GetStyle(1));
    EXPECT_EQ(UINT(MB_ICONASTERISK), CMessageBox::GetStyle(2));
    EXPECT_EQ(UINT(MB_ICONEXCLAMATION), CMessageBox::GetStyle(3));
    EXPECT_EQ(UINT(MB_ICONEXCLAMATION | MB_YESNOCANCEL), CMessageBox::GetStyle(4));
    EXPECT_EQ(UINT(MB_ICONEXCLAMATION | MB_YESNO), CMessageBox::GetStyle(5));
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(UINT(MB_ICONHAND), CMessageBox::GetStyle(6)); }));
}

TEST(MessageBoxes, AnswersMapToButtons)
{
    EXPECT_EQ(CMessageBox::OK, CMessageBox::GetButton(IDOK));
    EXPECT_EQ(CMessageBox::Cancel, CMessageBox::GetButton(IDCANCEL));
    EXPECT_EQ(CMessageBox::Yes, CMessageBox::GetButton(IDYES));
    EXPECT_EQ(CMessageBox::No, CMessageBox::GetButton(IDNO));
    // No answer at all (the box failed) never counts as agreement.
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(CMessageBox::Cancel, CMessageBox::GetButton(0)); }));
}

TEST(MessageBoxes, YesNoCancelClosedWithTheCloseBoxAnswersCancel)
{
    HWND box = nullptr;
    const CMessageBox::Button answer = ShowAndDrive(
        4,
        [](HWND dialog) {
            // The buttons of kind 4, and the program's caption.
            EXPECT_NE(nullptr, GetDlgItem(dialog, IDYES));
            EXPECT_NE(nullptr, GetDlgItem(dialog, IDNO));
            EXPECT_NE(nullptr, GetDlgItem(dialog, IDCANCEL));
            EXPECT_EQ(nullptr, GetDlgItem(dialog, IDOK));
            EXPECT_EQ(GetString(2001), GetWindowTextString(dialog));
            EXPECT_EQ(L"Question?", GetWindowTextString(GetDlgItem(dialog, 0xFFFF)));
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        },
        &box);
    EXPECT_NE(nullptr, box);
    EXPECT_EQ(CMessageBox::Cancel, answer);
}

TEST(MessageBoxes, NoLineIsCutOffAtTheRight)
{
    // Its first line, "... starts with a line that", is the widest; its last
    // letter reaches past the width the box measured.
    bool painted = false;
    bool inkAtTheEdge = true;
    ShowAndDrive(
        0,
        [&](HWND dialog) {
            // Whether a column of the text's control holds dark (text) pixels.
            const HWND control = GetDlgItem(dialog, 0xFFFF);
            RECT client = {};
            GetClientRect(control, &client);
            const auto hasInk = [&](int x) {
                const HDC dc = GetDC(control);
                bool ink = false;
                for (int y = 0; y < client.bottom && !ink; ++y)
                    ink = GetRValue(GetPixel(dc, x, y)) < 128;
                ReleaseDC(control, dc);
                return ink;
            };
            for (int i = 0; i < 200 && !painted; ++i, Sleep(10))
                painted = hasInk(2);
            inkAtTheEdge = hasInk(client.right - 1);
            PressDialogButton(dialog, IDOK);
        },
        nullptr, GetString(2687));
    ASSERT_TRUE(painted);
    EXPECT_FALSE(inkAtTheEdge);
}

TEST(MessageBoxes, YesAndNo)
{
    for (int kind : {4, 5}) {
        EXPECT_EQ(CMessageBox::Yes, ShowAndDrive(kind, [](HWND dialog) { PressDialogButton(dialog, IDYES); }));
        EXPECT_EQ(CMessageBox::No, ShowAndDrive(kind, [](HWND dialog) { PressDialogButton(dialog, IDNO); }));
    }
}

TEST(MessageBoxes, EachKindShowsOneButtonAnsweringOK)
{
    for (int kind : {0, 2, 3}) {
        std::atomic<int> modalCount{-1};
        const CMessageBox::Button answer = ShowAndDrive(kind, [&](HWND dialog) {
            EXPECT_NE(nullptr, GetDlgItem(dialog, IDOK));
            EXPECT_EQ(nullptr, GetDlgItem(dialog, IDNO));
            modalCount = GetModalCount();
            PressDialogButton(dialog, IDOK);
        });
        EXPECT_EQ(CMessageBox::OK, answer) << kind;
        // The box counts as a modal loop while it is up, and only then.
        EXPECT_EQ(1, modalCount.load()) << kind;
        EXPECT_EQ(0, GetModalCount());
    }
}

TEST(MessageBoxes, DueTimersFireBeforeTheBoxExceptForTheFailureReport)
{
    struct CFlag
    {
        void OnTimer(CTimer*) { ++fired; }
        int fired = 0;
    } flag;
    CTimer timer;
    timer.SetOnTimer(CMemberDelegate<CTimer*, CFlag>::Make(&flag, &CFlag::OnTimer));

    // Empty the queue, so that nothing holds the pump back.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    timer.Start(true);
    std::atomic<int> firedWhileUp{-1};
    ShowAndDrive(1, [&](HWND dialog) {
        firedWhileUp = flag.fired;
        PressDialogButton(dialog, IDOK);
    });
    EXPECT_EQ(0, firedWhileUp.load());

    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    ShowAndDrive(2, [&](HWND dialog) {
        firedWhileUp = flag.fired;
        PressDialogButton(dialog, IDOK);
    });
    EXPECT_EQ(1, firedWhileUp.load());
}

TEST(MessageBoxes, TheActiveWindowIsActiveAgainAfterTheBox)
{
    const HWND window = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    SetForegroundWindow(window);
    SetActiveWindow(window);
    ASSERT_EQ(window, GetActiveWindow());
    ShowAndDrive(0, [](HWND dialog) { PressDialogButton(dialog, IDOK); });
    EXPECT_EQ(window, GetActiveWindow());
    EXPECT_TRUE(IsWindowEnabled(window));
    DestroyWindow(window);
}
