#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "foundation/Clock.h"
#include "foundation/Timer.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestWindows.h"
#include "ui/TimerPump.h"

namespace {

// A timer that counts its firings and remembers the clock at the last one.
class CCountingTimer
{
public:
    explicit CCountingTimer(int interval, bool repeat = false)
    {
        timer.interval = interval;
        timer.repeat = repeat;
        timer.SetOnTimer(CMemberDelegate<CTimer*, CCountingTimer>::Make(this, &CCountingTimer::OnTick));
    }

    void OnTick(CTimer*)
    {
        ++fired;
        firedAt = GetClockSeconds();
    }

    CTimer timer;
    int fired = 0;
    double firedAt = 0.0;
};

// Empties the queue, so that the pump finds nothing waiting.
void DrainQueue()
{
    DispatchWaitingMessages();
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// Waits for the next message of this thread, up to the timeout; false when
// none came.
bool WaitForMessage(MSG& message, DWORD timeoutMs)
{
    const double end = GetClockSeconds() + timeoutMs / 1000.0;
    for (;;) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            return true;
        const double left = end - GetClockSeconds();
        if (left <= 0.0)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(left * 1000.0) + 1, QS_ALLINPUT);
    }
}

// A message-only window whose WM_USER starts a zero-delay timer, as a
// handler that defers work does.
class CDeferringWindow
{
public:
    CDeferringWindow() : deferred(0)
    {
        static const ATOM atom = [] {
            WNDCLASSW windowClass = {};
            windowClass.lpfnWndProc = Proc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"FendrelPumpTestWindow";
            return RegisterClassW(&windowClass);
        }();
        (void)atom;
        hwnd = CreateWindowExW(0, L"FendrelPumpTestWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(this));
    }
    ~CDeferringWindow() { DestroyWindow(hwnd); }

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<CDeferringWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_USER) {
            self->deferred.timer.Start(false);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND hwnd;
    CCountingTimer deferred;
};

}  // namespace

TEST(TimerPump, WithoutTimersDoesNothingAndArmsNoThreadTimer)
{
    DrainQueue();
    ASSERT_EQ(0, GetRunningTimerCount());
    PumpTimers();
    PumpAfterMessage(WM_NULL);
    EXPECT_EQ(0u, GetPumpThreadTimer());
    MSG message;
    EXPECT_FALSE(WaitForMessage(message, 60));
}

TEST(TimerPump, ZeroDelayTimerStartedByAMessageFiresRightAfterIt)
{
    DrainQueue();
    CDeferringWindow window;
    PostMessageW(window.hwnd, WM_USER, 0, 0);
    MSG message;
    ASSERT_TRUE(WaitForMessage(message, 1000));
    ASSERT_EQ(UINT(WM_USER), message.message);
    DispatchMessageW(&message);
    EXPECT_EQ(0, window.deferred.fired);
    PumpAfterMessage(message.message);
    EXPECT_EQ(1, window.deferred.fired);
    EXPECT_FALSE(window.deferred.timer.IsRunning());
}

TEST(TimerPump, ShortWaitIsSleptThroughInTheSamePumpCall)
{
    DrainQueue();
    CCountingTimer soon(5);
    soon.timer.Start(false);
    const double started = GetClockSeconds();
    PumpTimers();
    EXPECT_EQ(1, soon.fired);
    EXPECT_GE(soon.firedAt - started, 0.004);
    EXPECT_EQ(0u, GetPumpThreadTimer());
}

TEST(TimerPump, LongWaitArmsTheThreadTimerWhoseMessageFiresIt)
{
    DrainQueue();
    CCountingTimer later(50);
    later.timer.Start(false);
    const double started = GetClockSeconds();
    PumpTimers();
    EXPECT_LT(GetClockSeconds() - started, 0.030);   // did not block
    EXPECT_EQ(0, later.fired);
    EXPECT_NE(0u, GetPumpThreadTimer());

    // The thread timer's WM_TIMER (no window) wakes the loop, whose pump
    // after the message fires the timer.
    MSG message;
    bool woken = false;
    while (!woken && WaitForMessage(message, 2000)) {
        DispatchMessageW(&message);
        woken = message.message == WM_TIMER && message.hwnd == nullptr;
    }
    ASSERT_TRUE(woken);
    PumpAfterMessage(message.message);
    EXPECT_EQ(1, later.fired);
    EXPECT_GE(later.firedAt - started, 0.045);
    // Nothing runs any more: the periodic thread timer is gone too.
    EXPECT_EQ(0u, GetPumpThreadTimer());
    EXPECT_FALSE(WaitForMessage(message, 120));
}

TEST(TimerPump, AWaitingMessageThatNeverComesThroughStillLeavesAWakeUp)
{
    DrainQueue();
    CCountingTimer soon(2);
    soon.timer.Start(false);
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    PumpTimers();
    EXPECT_EQ(0, soon.fired);
    // The message goes without reaching the loop, as a DDE post whose
    // memory cannot be taken over does: the thread timer still comes.
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_NULL, WM_NULL, PM_REMOVE));
    ASSERT_NE(0u, GetPumpThreadTimer());
    ASSERT_TRUE(WaitForMessage(message, 2000));
    EXPECT_EQ(UINT(WM_TIMER), message.message);
    PumpAfterMessage(message.message);
    EXPECT_EQ(1, soon.fired);
}

TEST(TimerPump, SentMessagesAreNoWaitingMessages)
{
    DrainQueue();
    CDeferringWindow window;
    HANDLE sent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread sender([&] {
        SetEvent(sent);
        SendMessageW(window.hwnd, WM_NULL, 0, 0);
    });
    WaitForSingleObject(sent, 2000);
    for (int i = 0; i < 200 && HIWORD(GetQueueStatus(QS_SENDMESSAGE)) == 0; ++i)
        Sleep(5);
    ASSERT_NE(0, HIWORD(GetQueueStatus(QS_SENDMESSAGE)));
    // GetMessageW would answer it and go on waiting.
    EXPECT_FALSE(IsMessageWaiting());
    DrainQueue();
    sender.join();
    CloseHandle(sent);
}

TEST(TimerPump, ThreadTimerStopsWhenTheLastTimerStops)
{
    DrainQueue();
    CCountingTimer later(40);
    later.timer.Start(false);
    PumpTimers();
    ASSERT_NE(0u, GetPumpThreadTimer());
    later.timer.Stop();
    PumpAfterMessage(WM_NULL);
    EXPECT_EQ(0u, GetPumpThreadTimer());
    MSG message;
    EXPECT_FALSE(WaitForMessage(message, 120));
}

TEST(TimerPump, MouseMovesAndWaitingMessagesDoNotPump)
{
    DrainQueue();
    CCountingTimer now(0);
    now.timer.Start(false);
    PumpAfterMessage(WM_MOUSEMOVE);
    EXPECT_EQ(0, now.fired);

    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
    EXPECT_TRUE(IsMessageWaiting());
    PumpAfterMessage(WM_NULL);
    EXPECT_EQ(0, now.fired);
    // The pump itself leaves the message where it is.
    EXPECT_TRUE(IsMessageWaiting());

    DrainQueue();
    EXPECT_FALSE(IsMessageWaiting());
    PumpAfterMessage(WM_NULL);
    EXPECT_EQ(1, now.fired);
}

TEST(TimerPump, PumpTimersFiresOnMouseMovesToo)
{
    DrainQueue();
    CCountingTimer now(0);
    now.timer.Start(false);
    PumpTimers();
    EXPECT_EQ(1, now.fired);
}

namespace {

// A repeating timer whose handler runs a nested pump (a modal loop would):
// inside it the only running timer is in its own handler.
struct CNestedPump
{
    CTimer timer;
    int fired = 0;
    double nestedSeconds = -1.0;

    void OnTick(CTimer*)
    {
        ++fired;
        const double started = GetClockSeconds();
        PumpTimers();
        nestedSeconds = GetClockSeconds() - started;
        timer.Stop();
    }
};

}  // namespace

// Without a check the nested pump would Sleep(-1): wait forever.
CHILD_TEST(TimerPump, NestedPumpStopsWhenNoTimerCanFire)
{
    CNestedPump nested;
    nested.timer.interval = 0;
    nested.timer.repeat = true;
    nested.timer.SetOnTimer(CMemberDelegate<CTimer*, CNestedPump>::Make(&nested, &CNestedPump::OnTick));
    nested.timer.Start(false);
    PumpTimers();
    if (nested.fired != 1 || nested.nestedSeconds < 0.0 || nested.nestedSeconds > 1.0)
        return 1;
    return GetPumpThreadTimer() == 0 ? 0 : 2;
}
