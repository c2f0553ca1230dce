#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "foundation/Clock.h"
#include "foundation/CrashLog.h"
#include "foundation/GuardedCall.h"
#include "foundation/Timer.h"
#include "tests/support/CrashLogTesting.h"
#include "tests/support/FailureReports.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TestSupport.h"

namespace {

// Records the order in which timers fire, by name.
class CFiringLog
{
public:
    CDelegate<CTimer*> Handler(const char* name)
    {
        return CDelegate<CTimer*>(new CNamedHandler(this, name));
    }
    std::string Take()
    {
        std::string text;
        text.swap(m_text);
        return text;
    }
    void Add(const char* name) { m_text += name; }

private:
    class CNamedHandler : public CDelegate<CTimer*>::CImpl
    {
    public:
        CNamedHandler(CFiringLog* log, const char* name) : m_log(log), m_name(name) {}
        void Invoke(CTimer*) override { m_log->Add(m_name); }

    private:
        CFiringLog* m_log;
        const char* m_name;
    };

    std::string m_text;
};

// A handler made of a lambda, for handlers that act on other timers.
template <class F>
CDelegate<CTimer*> MakeHandler(F function)
{
    class CLambdaHandler : public CDelegate<CTimer*>::CImpl
    {
    public:
        explicit CLambdaHandler(F f) : m_function(f) {}
        void Invoke(CTimer* timer) override { m_function(timer); }

    private:
        F m_function;
    };
    return CDelegate<CTimer*>(new CLambdaHandler(function));
}

// Two timers in set order (lower address first).
struct CTimerPair
{
    CTimerPair()
    {
        first.reset(new CTimer);
        second.reset(new CTimer);
        if (second.get() < first.get())
            first.swap(second);
    }
    std::unique_ptr<CTimer> first;
    std::unique_ptr<CTimer> second;
};

// A small message loop of the kind the program runs: fire what is due, then
// wait for the next due time or a message, for about durationMs.
void RunMessageLoop(int durationMs)
{
    const double end = GetClockSeconds() + durationMs / 1000.0;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        FireDueTimers();
        const int left = int((end - GetClockSeconds()) * 1000.0);
        if (left <= 0)
            return;
        const int delay = GetNextTimerDelay();
        const DWORD wait = DWORD(delay < 0 ? left : std::min(delay, left));
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
}

}  // namespace

TEST(Timer, NewTimerIsIdleWithDefaults)
{
    CTimer timer;
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_EQ(0, timer.interval);
    EXPECT_FALSE(timer.repeat);
    EXPECT_TRUE(timer.signal.IsEmpty());
    EXPECT_EQ(0.0f, timer.lastDelay);
    EXPECT_EQ(-1, GetNextTimerDelay());
    EXPECT_EQ(0, GetRunningTimerCount());
}

TEST(Timer, StartAndStopChangeTheRunningSet)
{
    CTimer timer;
    timer.interval = 1000;
    timer.Start(false);
    EXPECT_TRUE(timer.IsRunning());
    EXPECT_EQ(1, GetRunningTimerCount());
    timer.Start(true);
    EXPECT_EQ(1, GetRunningTimerCount());
    timer.Stop();
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_EQ(0, GetRunningTimerCount());
    timer.Stop();
    EXPECT_EQ(-1, GetNextTimerDelay());
}

TEST(Timer, SetOnTimerReplacesTheSignal)
{
    CFiringLog log;
    CTimer timer;
    const CDelegate<CTimer*> handler = log.Handler("a");
    timer.SetOnTimer(handler);
    EXPECT_TRUE(timer.signal == handler);
    EXPECT_EQ(2, handler.GetReferenceCount());
    timer.Start(false);
    FireDueTimers();
    EXPECT_EQ("a", log.Take());
}

TEST(Timer, DestroyingReleasesTheHandlerAndLeavesTheSet)
{
    CFiringLog log;
    const CDelegate<CTimer*> handler = log.Handler("a");
    {
        CTimer timer;
        timer.interval = 50;
        timer.SetOnTimer(handler);
        timer.Start(false);
        EXPECT_EQ(1, GetRunningTimerCount());
        EXPECT_EQ(2, handler.GetReferenceCount());
    }
    EXPECT_EQ(1, handler.GetReferenceCount());
    EXPECT_EQ(0, GetRunningTimerCount());
    EXPECT_EQ(-1, GetNextTimerDelay());
}

TEST(Timer, ZeroIntervalRepeatingFiresAtEveryPass)
{
    CFiringLog log;
    CTimer timer;
    timer.repeat = true;
    timer.SetOnTimer(log.Handler("z"));
    timer.Start(false);
    EXPECT_EQ(0, GetNextTimerDelay());
    FireDueTimers();
    FireDueTimers();
    FireDueTimers();
    EXPECT_EQ("zzz", log.Take());
    EXPECT_TRUE(timer.IsRunning());
    timer.Stop();
    FireDueTimers();
    EXPECT_EQ("", log.Take());
}

TEST(Timer, ZeroIntervalOneShotFiresOnce)
{
    CFiringLog log;
    CTimer timer;
    timer.SetOnTimer(log.Handler("o"));
    timer.Start(false);
    FireDueTimers();
    EXPECT_FALSE(timer.IsRunning());
    FireDueTimers();
    EXPECT_EQ("o", log.Take());
    EXPECT_EQ(-1, GetNextTimerDelay());
}

TEST(Timer, OneShotHandlerMayStartItsTimerAgain)
{
    int count = 0;
    CTimer timer;
    timer.SetOnTimer(MakeHandler([&count](CTimer* fired) {
        EXPECT_FALSE(fired->IsRunning());
        if (++count < 3)
            fired->Start(false);
    }));
    timer.Start(false);
    FireDueTimers();
    EXPECT_TRUE(timer.IsRunning());
    FireDueTimers();
    FireDueTimers();
    FireDueTimers();
    EXPECT_EQ(3, count);
    EXPECT_FALSE(timer.IsRunning());
}

TEST(Timer, NotDueBeforeItsInterval)
{
    CFiringLog log;
    CTimer timer;
    timer.interval = 400;
    timer.SetOnTimer(log.Handler("t"));
    timer.Start(false);
    FireDueTimers();
    EXPECT_EQ("", log.Take());
    const int delay = GetNextTimerDelay();
    EXPECT_GT(delay, 300);
    EXPECT_LE(delay, 400);
}

TEST(Timer, StartWithoutRestartKeepsTheDueTime)
{
    CTimer timer;
    timer.interval = 200;
    timer.Start(false);
    Sleep(120);
    timer.Start(false);
    EXPECT_LE(GetNextTimerDelay(), 80);
    timer.Start(true);
    EXPECT_GE(GetNextTimerDelay(), 180);
    EXPECT_LE(GetNextTimerDelay(), 200);
}

TEST(Timer, NextDelayIsTheNearestTimer)
{
    CTimer slow;
    CTimer fast;
    slow.interval = 5000;
    fast.interval = 300;
    slow.Start(false);
    fast.Start(false);
    const int delay = GetNextTimerDelay();
    EXPECT_GT(delay, 200);
    EXPECT_LE(delay, 300);
    fast.Stop();
    EXPECT_GT(GetNextTimerDelay(), 4000);
}

TEST(Timer, DueTimersFireInSetOrderNotDueOrder)
{
    CFiringLog log;
    CTimerPair timers;
    // The lower address falls due later but fires first.
    timers.first->interval = 60;
    timers.second->interval = 10;
    timers.first->SetOnTimer(log.Handler("1"));
    timers.second->SetOnTimer(log.Handler("2"));
    timers.second->Start(false);
    timers.first->Start(false);
    Sleep(100);
    FireDueTimers();
    EXPECT_EQ("12", log.Take());
}

TEST(Timer, HandlerThatStopsALaterTimerPreventsItsFiring)
{
    CFiringLog log;
    CTimerPair timers;
    CTimer* second = timers.second.get();
    timers.first->SetOnTimer(MakeHandler([&log, second](CTimer*) {
        log.Add("1");
        second->Stop();
    }));
    timers.second->SetOnTimer(log.Handler("2"));
    timers.first->repeat = timers.second->repeat = true;
    timers.first->Start(false);
    timers.second->Start(false);
    FireDueTimers();
    EXPECT_EQ("1", log.Take());
    EXPECT_FALSE(timers.second->IsRunning());
}

TEST(Timer, HandlerThatDestroysALaterTimerPreventsItsFiring)
{
    CFiringLog log;
    CTimerPair timers;
    std::unique_ptr<CTimer>& second = timers.second;
    timers.first->SetOnTimer(MakeHandler([&log, &second](CTimer*) {
        log.Add("1");
        second.reset();
    }));
    timers.second->SetOnTimer(log.Handler("2"));
    timers.first->Start(false);
    timers.second->Start(false);
    FireDueTimers();
    EXPECT_EQ("1", log.Take());
    EXPECT_EQ(nullptr, timers.second);
    EXPECT_EQ(0, GetRunningTimerCount());
}

TEST(Timer, ReplacementAtTheSameAddressWaitsForTheNextPass)
{
    // The destroyed timer's memory is reused by a timer started in the same
    // handler: it is a new timer and must not fire in this pass.
    CFiringLog log;
    CTimerPair timers;
    std::unique_ptr<CTimer>& second = timers.second;
    timers.first->SetOnTimer(MakeHandler([&log, &second](CTimer*) {
        log.Add("1");
        CTimer* place = second.get();
        second->~CTimer();
        new (place) CTimer;
        place->SetOnTimer(log.Handler("n"));
        place->Start(false);
    }));
    timers.second->SetOnTimer(log.Handler("2"));
    timers.first->Start(false);
    timers.second->Start(false);
    FireDueTimers();
    EXPECT_EQ("1", log.Take());
    FireDueTimers();
    EXPECT_EQ("n", log.Take());
}

TEST(Timer, HandlerMayDestroyItsOwnTimer)
{
    int fired = 0;
    std::unique_ptr<CTimer> timer(new CTimer);
    timer->repeat = true;
    timer->SetOnTimer(MakeHandler([&fired, &timer](CTimer* self) {
        ++fired;
        EXPECT_EQ(timer.get(), self);
        timer.reset();
    }));
    timer->Start(false);
    FireDueTimers();
    EXPECT_EQ(1, fired);
    EXPECT_EQ(nullptr, timer);
    EXPECT_EQ(0, GetRunningTimerCount());
    FireDueTimers();
    EXPECT_EQ(1, fired);
}

TEST(Timer, TimerStartedInAHandlerWaitsForTheNextPass)
{
    CFiringLog log;
    CTimerPair timers;
    CTimer* first = timers.first.get();
    // The handler of the later timer starts the earlier one, and the earlier
    // one's address is already behind the pass; the later timer starts a
    // third zero-interval timer too.
    CTimer third;
    timers.second->SetOnTimer(MakeHandler([&log, first, &third](CTimer*) {
        log.Add("2");
        first->Start(false);
        third.Start(false);
    }));
    timers.first->SetOnTimer(log.Handler("1"));
    third.SetOnTimer(log.Handler("3"));
    timers.second->Start(false);
    FireDueTimers();
    EXPECT_EQ("2", log.Take());
    FireDueTimers();
    const std::string next = log.Take();
    EXPECT_EQ(2u, next.size());
    EXPECT_NE(std::string::npos, next.find('1'));
    EXPECT_NE(std::string::npos, next.find('3'));
}

TEST(Timer, RestartInsideAHandlerWaitsForTheNextPass)
{
    CFiringLog log;
    CTimerPair timers;
    CTimer* second = timers.second.get();
    timers.first->SetOnTimer(MakeHandler([&log, second](CTimer*) {
        log.Add("1");
        second->Start(true);
    }));
    timers.second->SetOnTimer(log.Handler("2"));
    timers.second->repeat = true;
    timers.first->Start(false);
    timers.second->Start(false);
    FireDueTimers();
    EXPECT_EQ("1", log.Take());
    FireDueTimers();
    EXPECT_EQ("2", log.Take());
}

TEST(Timer, NestedPassSkipsTheTimerWhoseHandlerRuns)
{
    // A handler that runs a modal loop pumps timers itself: the other timers
    // fire inside it, its own timer does not fire again, and the outer pass
    // finds the one-shot timers already gone.
    CFiringLog log;
    CTimer timers[3];  // in set order
    timers[0].repeat = true;
    timers[0].SetOnTimer(MakeHandler([&log](CTimer*) {
        log.Add("(");
        FireDueTimers();
        log.Add(")");
    }));
    timers[1].SetOnTimer(log.Handler("2"));
    timers[2].SetOnTimer(log.Handler("3"));
    for (CTimer& timer : timers)
        timer.Start(false);
    FireDueTimers();
    EXPECT_EQ("(23)", log.Take());
    EXPECT_TRUE(timers[0].IsRunning());
    EXPECT_EQ(1, GetRunningTimerCount());
    FireDueTimers();
    EXPECT_EQ("()", log.Take());
}

TEST(Timer, NextDelayIgnoresATimerInsideItsHandler)
{
    CTimer timer;
    timer.repeat = true;
    int delayInside = 99;
    timer.SetOnTimer(MakeHandler([&delayInside](CTimer*) { delayInside = GetNextTimerDelay(); }));
    timer.Start(false);
    EXPECT_EQ(0, GetNextTimerDelay());
    FireDueTimers();
    EXPECT_EQ(-1, delayInside);
    EXPECT_EQ(0, GetNextTimerDelay());
}

TEST(Timer, LastDelayIsCappedAtIntervalPlus500)
{
    CTimer timer;
    timer.interval = 10;
    timer.Start(false);
    Sleep(700);
    FireDueTimers();
    EXPECT_EQ(510.0f, timer.lastDelay);
}

TEST(Timer, LastDelayMeasuresTheStep)
{
    CTimer timer;
    timer.interval = 30;
    timer.Start(false);
    Sleep(60);
    FireDueTimers();
    EXPECT_GE(timer.lastDelay, 59.0f);
    EXPECT_LT(timer.lastDelay, 530.0f);
}

TEST(Timer, MessageLoopRunsRepeatingAndOneShotTimers)
{
    CFiringLog log;
    CTimer repeating;
    CTimer oneShot;
    repeating.interval = 50;
    repeating.repeat = true;
    oneShot.interval = 120;
    std::vector<float> steps;
    repeating.SetOnTimer(MakeHandler([&steps, &log](CTimer* timer) {
        steps.push_back(timer->lastDelay);
        log.Add("r");
    }));
    oneShot.SetOnTimer(log.Handler("o"));
    repeating.Start(false);
    oneShot.Start(false);

    RunMessageLoop(600);
    const std::string order = log.Take();
    EXPECT_EQ(1, std::count(order.begin(), order.end(), 'o')) << order;
    // 600 ms of a 50 ms timer that restarts from its firing: at most 12
    // firings, and a loop that keeps up gets well over half of them.
    EXPECT_GE(steps.size(), 7u) << order;
    EXPECT_LE(steps.size(), 12u) << order;
    // Fired by 120 ms: the repeating timer has fired once or twice before.
    const size_t oneShotAt = order.find('o');
    EXPECT_GE(oneShotAt, 1u) << order;
    EXPECT_LE(oneShotAt, 3u) << order;
    for (float step : steps) {
        EXPECT_GE(step, 50.0f);
        EXPECT_LE(step, 550.0f);
    }
    EXPECT_FALSE(oneShot.IsRunning());
    EXPECT_TRUE(repeating.IsRunning());
    repeating.Stop();
}

namespace {

int g_windowsTicks = 0;

void CALLBACK CountWindowsTick(HWND, UINT, UINT_PTR, DWORD)
{
    ++g_windowsTicks;
}

}  // namespace

TEST(Timer, MessageLoopWakesForTimersBehindAThreadTimer)
{
    // The loop also dispatches Windows messages; a thread timer keeps it
    // busy while the program's own timer falls due in between.
    g_windowsTicks = 0;
    const UINT_PTR id = SetTimer(nullptr, 0, 30, &CountWindowsTick);
    ASSERT_NE(0u, id);
    CFiringLog log;
    CTimer timer;
    timer.interval = 200;
    const double started = GetClockSeconds();
    double firedAfter = 0;
    timer.SetOnTimer(MakeHandler([&](CTimer*) {
        firedAfter = GetClockSeconds() - started;
        log.Add("t");
    }));
    timer.Start(false);
    RunMessageLoop(400);
    KillTimer(nullptr, id);
    EXPECT_EQ("t", log.Take());
    EXPECT_GE(firedAfter, 0.199);
    EXPECT_LT(firedAfter, 0.350);
    EXPECT_GE(g_windowsTicks, 3);
}

// ---- A handler that faults --------------------------------------------------

namespace {

volatile uintptr_t g_nowhere = 0;

__attribute__((noinline)) void WriteThroughNull() { *reinterpret_cast<volatile int*>(g_nowhere) = 1; }

// Overwrites the stack below the caller, where the frames of a call that a
// handled fault abandoned lay.
__attribute__((noinline)) void OverwriteStackBelow()
{
    volatile unsigned char bytes[64 * 1024];
    for (size_t i = 0; i < sizeof bytes; ++i)
        bytes[i] = 0xCC;
}

}  // namespace

CHILD_SCENARIO(TimerHandlerFaultAbandonsThePass)
{
    CNoticeRecorder notices;
    GetCrashLog().fileName = kTestCrashLogName;
    auto faulting = std::make_unique<CTimer>();
    faulting->repeat = true;
    faulting->SetOnTimer(MakeHandler([](CTimer*) { WriteThroughNull(); }));
    faulting->Start(false);
    if (CallGuarded([] { FireDueTimers(); }))
        return 10;
    if (ReportCount() != 1 || notices.Take().size() != 1)
        return 11;
    MSG quit;
    if (!PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return 12;

    // The pass that fired it never returned. Destroying the timer and firing
    // again must not touch the stack where that pass lay.
    OverwriteStackBelow();
    faulting.reset();
    CFiringLog log;
    CTimer other;
    other.SetOnTimer(log.Handler("o"));
    other.Start(false);
    FireDueTimers();
    FireDueTimers();
    if (log.Take() != "o")
        return 13;
    return GetRunningTimerCount() == 0 ? 0 : 14;
}

TEST(TimerChild, HandlerFaultLeavesTheTimersUsable)
{
    EXPECT_EQ(0, RunChildScenario("TimerHandlerFaultAbandonsThePass"));
    DeleteFileW(GetTestCrashLogPath().c_str());
}
