#pragma once

#include <windows.h>

// A hidden window that exists only for its device context: OpenGL contexts
// are made on a device context, and off-screen rendering and the probes of
// OpenGL need one that no visible window owns. It is never shown; its class
// "CWinDummyWindow" keeps one device context per window. A class or window
// that cannot be made is reported and the handle stays null.
class CWinDummyWindow
{
public:
    CWinDummyWindow();
    ~CWinDummyWindow();
    CWinDummyWindow(const CWinDummyWindow&) = delete;
    CWinDummyWindow& operator=(const CWinDummyWindow&) = delete;

    HWND GetHandle() const { return m_window; }

private:
    HWND m_window = nullptr;
};
