#pragma once

#include <windows.h>

// Fires the program's due timers (foundation/Timer.h) from the user-interface
// thread. Does nothing while no timer runs.
void PumpTimers();

// After a dispatched message (and on WM_ENTERIDLE of modal loops, before a
// message box): pumps the timers unless the message is a mouse move or
// another message is already waiting.
void PumpAfterMessage(UINT message);

// Whether a message waits in this thread's queue (nothing is removed).
bool IsMessageWaiting();
