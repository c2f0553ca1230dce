#include "app/SplashWindow.h"

#include <windows.h>

#include "app/AboutDlg.h"
#include "foundation/CrashLog.h"

namespace {

CAboutDlg* g_splash = nullptr;

}  // namespace

void ShowSplash()
{
    TRACE_POINT();
    if (g_splash) {
        ReportFailure();
        return;
    }
    g_splash = new CAboutDlg(true);
    // No caption: a thin border keeps it apart from what lies behind it.
    // Topmost: the first course window opens right after it and must not
    // cover it. Both hold from its first paint on.
    g_splash->extraStyle = WS_BORDER;
    g_splash->extraExStyle = WS_EX_TOPMOST;
    // Not activated: the course window that follows takes the activation.
    // Without a caption the splash looks the same either way, and the
    // start-up spares one activation and deactivation of a top-level window.
    g_splash->activateWhenShown = false;
    // A modeless dialog deletes itself when its window goes.
    g_splash->ShowModeless(false);
    if (!g_splash->hwnd) {
        // Reported by the dialog; without a window nothing would delete it.
        delete g_splash;
        g_splash = nullptr;
        return;
    }
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
