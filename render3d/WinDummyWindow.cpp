#include "render3d/WinDummyWindow.h"

#include "foundation/CrashLog.h"

namespace {

const wchar_t kClassName[] = L"CWinDummyWindow";

bool RegisterDummyClass()
{
    static const bool registered = [] {
        WNDCLASSW windowClass = {};
        windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        if (RegisterClassW(&windowClass))
            return true;
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
        return false;
    }();
    return registered;
}

}  // namespace

CWinDummyWindow::CWinDummyWindow()
{
    TRACE_POINT();
    if (!RegisterDummyClass())
        return;
    m_window = CreateWindowExW(0, kClassName, L"", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 0,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!m_window) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
}

CWinDummyWindow::~CWinDummyWindow()
{
    if (m_window)
        DestroyWindow(m_window);
}
