#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "ui/Window.h"

// Real windows, real input and message pumping for tests under Wine.

// A hidden top-level window that routes its children's command, notification
// and scroll messages to their objects, as a dialog does.
class CTestHost : public CNativeWindow
{
public:
    CTestHost();
    ~CTestHost() override;
};

// A visible top-level popup at a fixed screen place (no frame, so client and
// screen coordinates differ only by the origin) that hosts panels and routes
// its children's messages like CTestHost. It may name a status bar for the
// panels' status texts. The graphics systems of the panels read their
// history from the settings, so the host opens the test settings key (see
// TestSettings.h) as it is.
class CPanelTestHost : public CNativeWindow
{
public:
    CPanelTestHost(int x, int y, int width, int height);
    ~CPanelTestHost() override;

    HWND GetStatusBarWindow() override { return statusBar; }
    // Destroys the native window, its children with it, and dispatches what
    // that leaves waiting. A host whose child objects go before it calls it
    // first.
    void Destroy();

    HWND statusBar = nullptr;
};

// Dispatches the messages waiting for this thread (no timers).
void DispatchWaitingMessages();
// Dispatches messages as the program's message loop does (the timer pump
// after each) and fires due timers until the condition holds or the time is
// up; returns the condition.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
void PumpFor(DWORD milliseconds);

// Real mouse input at a screen point (an absolute move, with the button
// changes given), then a 60 ms pump, or as long a sleep without one.
void MouseInput(POINT screen, DWORD buttons = 0, bool pump = true);
// The mouse away from every test window.
void ParkMouse();
// The Ctrl and Shift states GetKeyState reports from now on.
void SetModifierKeys(bool control, bool shift);

// Runs `open`, which shows a pop-up menu of this process and returns once it
// has closed, while a thread waits for the menu and types the keys into it.
// 0 when the keys were typed, 1 when no menu came.
int RunPopupMenu(const std::function<void()>& open, const std::vector<WPARAM>& keys);

// The colour (0x00BBGGRR) of a window's client pixel as the screen shows it.
COLORREF ReadClientPixel(HWND window, int x, int y);
