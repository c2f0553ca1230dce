#pragma once

#include <windows.h>

#include <functional>

#include "graphics/Drawable.h"
#include "graphics/GraphicsContext.h"
#include "ui/Window.h"

// A visible top-level popup at a fixed screen place (no frame, so client and
// screen coordinates differ only by the origin) that hosts panels and routes
// its children's scroll messages. It may name a status bar for the panels'
// status texts.
class CPanelTestHost : public CNativeWindow
{
public:
    CPanelTestHost(int x, int y, int width, int height);
    ~CPanelTestHost() override;

    HWND GetStatusBarWindow() override { return statusBar; }

    HWND statusBar = nullptr;

private:
    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

// Fills its rectangle in one colour and counts how often it was drawn.
class CCountingDrawable : public CDrawable
{
public:
    CCountingDrawable(const CRectF& rect_, uint32_t color_) : rect(rect_), color(color_) {}
    void Draw(CGraphicsContext& context) override;

    CRectF rect;
    uint32_t color;
    int draws = 0;
};

// The graphics systems read their history from the settings, which the
// program opens at start-up: panel tests open a key of their own first
// (deleted when the process ends).
void OpenPanelTestSettings();

// Dispatches waiting messages and fires due timers until the condition holds
// or the time is up; returns the condition.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
// Dispatches waiting messages only (no timers).
void DispatchWaitingMessages();
// The colour (0x00BBGGRR) of a window's client pixel as shown on screen.
COLORREF ReadClientPixel(HWND window, int x, int y);
