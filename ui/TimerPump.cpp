#include "ui/TimerPump.h"

#include <algorithm>

#include "foundation/CrashLog.h"
#include "foundation/Timer.h"

namespace {

// Waits at least this long go through a thread timer; the system's timers
// are too coarse for anything shorter.
constexpr int kShortestTimerWait = 10;

// The one thread timer of the pump. SetTimer with no window hands out an
// identifier; passing it back re-arms the same timer instead of adding one.
UINT_PTR g_threadTimer = 0;

void ArmThreadTimer(int milliseconds)
{
    TRACE_VALUE(int32_t, milliseconds);
    const UINT_PTR timer = SetTimer(nullptr, g_threadTimer, UINT(milliseconds), nullptr);
    if (timer == 0) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
        return;
    }
    g_threadTimer = timer;
}

// A thread timer is periodic: left armed after the last timer has gone it
// would wake the thread for nothing, period after period.
void DisarmThreadTimer()
{
    if (g_threadTimer == 0)
        return;
    KillTimer(nullptr, g_threadTimer);
    g_threadTimer = 0;
}

}  // namespace

void PumpTimers()
{
    if (GetRunningTimerCount() == 0) {
        DisarmThreadTimer();
        return;
    }
    FireDueTimers();
    while (GetRunningTimerCount() > 0) {
        const int delay = GetNextTimerDelay();
        // Every running timer is inside its own handler (a handler that runs
        // a modal loop): none can fire until that handler returns, and its
        // pass goes on then.
        if (delay < 0)
            break;
        // A waiting message goes first; the thread timer wakes the loop for
        // the next timer all the same, should that message never come
        // through (GetMessageW drops a DDE post whose memory it cannot take
        // over).
        if (delay >= kShortestTimerWait || IsMessageWaiting()) {
            ArmThreadTimer(std::max(delay, kShortestTimerWait));
            return;
        }
        Sleep(DWORD(delay));
        if (!IsMessageWaiting())
            FireDueTimers();
    }
    DisarmThreadTimer();
}

void PumpAfterMessage(UINT message)
{
    if (GetRunningTimerCount() == 0) {
        DisarmThreadTimer();
        return;
    }
    if (message != WM_MOUSEMOVE && !IsMessageWaiting())
        PumpTimers();
}

bool IsMessageWaiting()
{
    // The queue's state, not a look at its first message: a peek must unpack
    // a posted DDE message, and one whose memory handle is junk could not be
    // unpacked, stayed first in the queue and held every later message back
    // (Wine's peek never returned). GetMessageW removes such a message. Sent
    // messages do not count: GetMessageW handles them and goes on waiting.
    return HIWORD(GetQueueStatus(QS_ALLEVENTS)) != 0;
}

UINT_PTR GetPumpThreadTimer() { return g_threadTimer; }
