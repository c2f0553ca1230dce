#pragma once

#include <windows.h>

#include "foundation/CrashLog.h"

class CDialog;

// The modal loops of the program (modal dialogs and message boxes) count
// themselves in one shared count; while it is above 0 the frame windows stay
// disabled and commands that would open windows hold back.
int GetModalCount();
// The innermost running modal dialog, or null.
CDialog* GetCurrentDialog();

// The window that owns modal dialogs when no frame window is there to do it
// (the application shell points it at its hidden DDE window).
void SetDefaultOwnerWindow(HWND window);
HWND GetDefaultOwnerWindow();

// The owner for a new modal dialog: the running modal dialog, else the most
// recently activated frame window that is not minimised, else the default
// owner window.
HWND GetModalOwnerWindow();

// Enables or disables every frame window except `except`; only while no
// modal loop runs (a nested loop leaves them as the outer one set them).
void EnableFrameWindows(HWND except, bool enable);

// One modal loop for the length of the scope: the hang watchdog is disarmed
// (the user may take as long as they like), the modal count is raised, and
// for a dialog the current dialog is set; everything is put back at the end.
class CModalScope
{
public:
    explicit CModalScope(CDialog* dialog = nullptr);
    ~CModalScope();
    CModalScope(const CModalScope&) = delete;
    CModalScope& operator=(const CModalScope&) = delete;

private:
    CUnwatchedSection m_unwatched;
    CDialog* m_dialog;
    CDialog* m_previousDialog;
};
