#pragma once

class CAboutDlg;
class CTimer;

// The splash window of start-up: the about box's layout without buttons,
// shown modeless and closed by its own timer 1250 ms later (the timer fires
// from the message loop). While it is shown it is the one splash of the
// process.
void ShowSplash();
// The splash timer's handler: forgets the splash and closes it.
void CloseSplash(CTimer* timer);
// The splash while it is shown, else null.
CAboutDlg* GetSplash();
