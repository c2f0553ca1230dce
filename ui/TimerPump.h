#pragma once

#include <windows.h>

// The timer pump: the program's own timers (foundation/Timer.h) fire from
// here, on the user-interface thread, once the message queue is empty. While
// timers run and the queue stays empty the pump keeps the thread waking up:
// short waits (under 10 ms) are slept through here, longer ones arm one
// thread timer whose WM_TIMER wakes the message loop, which ends in
// PumpAfterMessage again.

// Fires the due timers, then keeps firing them while the queue stays empty
// and the next one falls due within 10 ms. Does nothing while no timer runs.
// Called after every mouse move of a panel and every command of a frame
// window.
void PumpTimers();

// Called after every dispatched message (the message loop), on WM_ENTERIDLE
// of menus and modal loops, and before a message box: pumps the timers unless
// the message is a mouse move (panels pump after their own moves) or another
// message already waits.
void PumpAfterMessage(UINT message);

// Whether a message waits in this thread's queue (nothing is removed).
bool IsMessageWaiting();

// The identifier of the armed thread timer, 0 when none is armed.
UINT_PTR GetPumpThreadTimer();
