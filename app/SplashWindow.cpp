#include "app/SplashWindow.h"

#include <windows.h>

#include "app/AboutDlg.h"
#include "foundation/CrashLog.h"

namespace {

CAboutDlg* g_splash = nullptr;

// The splash has no caption; a thin border keeps it apart from what lies
// behind it. The window grows by the border so that the laid-out client
// area stays as it is.
void PlaceSplash(HWND window)
{
    const DWORD style = DWORD(GetWindowLongW(window, GWL_STYLE));
    RECT client = {0, 0, 0, 0};
    RECT framed = client;
    if (!AdjustWindowRectEx(&framed, style | WS_BORDER, FALSE, 0) ||
        !AdjustWindowRectEx(&client, style, FALSE, 0))
        return;
    RECT placed;
    GetWindowRect(window, &placed);
    SetWindowLongW(window, GWL_STYLE, LONG(style | WS_BORDER));
    const int grow = (client.left - framed.left);
    // Topmost: the first course window opens right after it and must not
    // cover it.
    SetWindowPos(window, HWND_TOPMOST, placed.left - grow, placed.top - grow, placed.right - placed.left + 2 * grow,
                 placed.bottom - placed.top + 2 * grow, SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

void ShowSplash()
{
    TRACE_POINT();
    if (g_splash) {
        ReportFailure();
        return;
    }
    g_splash = new CAboutDlg(true);
    // A modeless dialog deletes itself when its window goes.
    g_splash->ShowModeless(false);
    if (!g_splash->hwnd) {
        // Reported by the dialog; without a window nothing would delete it.
        delete g_splash;
        g_splash = nullptr;
        return;
    }
    PlaceSplash(g_splash->hwnd);
    // The countdown runs from the moment the splash is up, however long its
    // first paint took.
    g_splash->timer.Start(true);
}

void CloseSplash(CTimer* timer)
{
    TRACE_POINT();
    CAboutDlg* splash = g_splash;
    g_splash = nullptr;
    if (splash)
        splash->Close();
}

CAboutDlg* GetSplash() { return g_splash; }
