#include "ui/TimerPump.h"

#include "foundation/Timer.h"

void PumpTimers()
{
    if (GetRunningTimerCount() == 0)
        return;
    FireDueTimers();
}

void PumpAfterMessage(UINT message)
{
    if (message != WM_MOUSEMOVE && GetRunningTimerCount() > 0 && !IsMessageWaiting())
        PumpTimers();
}

bool IsMessageWaiting()
{
    MSG message;
    return PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
}
