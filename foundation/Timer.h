#pragma once

#include <cstdint>

#include "foundation/Clock.h"
#include "foundation/Delegate.h"

// A timer of the program's own: no Windows timer and no thread. A running
// timer is a member of one process-wide set; the message loop's pump calls
// FireDueTimers when the queue is empty and waits GetNextTimerDelay
// milliseconds for the next one. Everything runs on the user-interface thread.
//
//     m_repaint.interval = 0;
//     m_repaint.SetOnTimer(CMemberDelegate<CTimer*, CPanel>::Make(this, &CPanel::OnRepaint));
//     m_repaint.Start(false);
class CTimer
{
public:
    CTimer();
    // Leaves the running set; a timer may be destroyed inside any handler,
    // its own included.
    ~CTimer();
    CTimer(const CTimer&) = delete;
    CTimer& operator=(const CTimer&) = delete;

    // Joins the running set and counts the interval from now. A running timer
    // keeps its countdown unless restart is true.
    void Start(bool restart);
    void Stop();
    bool IsRunning() const { return m_running; }

    void SetOnTimer(const CDelegate<CTimer*>& handler) { signal = handler; }

    // Milliseconds from the start (or the last firing) to the next firing;
    // 0 fires at every pass.
    int32_t interval = 0;
    // Keeps running after firing; a timer that does not repeat leaves the set
    // before its handler is called, so the handler may start it again.
    bool repeat = false;
    // Called with the timer when it fires.
    CDelegate<CTimer*> signal;
    // Milliseconds between the previous start or firing and this firing, at
    // most interval + 500 (a step length for animations, not a measurement).
    float lastDelay = 0.0f;
    // The moment of the last start or firing.
    CStopwatch start;

private:
    friend class CTimerSet;

    bool m_running = false;
    // The firing pass that was current when the timer last started; a pass
    // fires no timer started while it runs.
    uint64_t m_startPass = 0;
};

// One firing pass: every running timer that is due fires, in the order of the
// running set (by object identity, not by due time). Passes may nest (a
// handler that runs a modal loop pumps timers); a timer whose handler is still
// running does not fire again inside it.
void FireDueTimers();

// Milliseconds until the next timer is due: -1 when no running timer can fire
// (none runs, or every running one is inside its own handler), 0 when one is
// due now or has interval 0.
int GetNextTimerDelay();

// The size of the running set.
int GetRunningTimerCount();
