#include "tests/ui/PanelTestHost.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/Settings.h"
#include "foundation/Timer.h"
#include "ui/TimerPump.h"

namespace {

std::wstring PanelTestKeyPath()
{
    return L"Software\\Norvane\\Fendrel 4 Panel Test " + std::to_wstring(GetCurrentProcessId());
}

class CPanelTestKeyCleanup : public testing::Environment
{
public:
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, PanelTestKeyPath().c_str()); }
};

testing::Environment* const g_keyCleanup = testing::AddGlobalTestEnvironment(new CPanelTestKeyCleanup);

}  // namespace

void OpenPanelTestSettings() { CSettings::Open(PanelTestKeyPath()); }

CPanelTestHost::CPanelTestHost(int x, int y, int width, int height) : CNativeWindow(false)
{
    OpenPanelTestSettings();
    static const ATOM atom = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = HostProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"FendrelPanelTestHost";
        windowClass.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        return RegisterClassW(&windowClass);
    }();
    (void)atom;
    // Never activated unless a test asks for it: without a window manager
    // Wine waits two seconds for every activated window to be unmapped.
    hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"FendrelPanelTestHost",
                           L"Panel test", WS_POPUP, x, y, width, height, nullptr, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(this));
    ShowWindow(hwnd, SW_SHOWNA);
    DispatchWaitingMessages();
}

CPanelTestHost::~CPanelTestHost()
{
    if (IsWindow(hwnd)) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
    DispatchWaitingMessages();
}

LRESULT CALLBACK CPanelTestHost::HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* host = reinterpret_cast<CPanelTestHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (host) {
        switch (message) {
        case WM_COMMAND:
            host->DispatchCommand(HIWORD(wParam), LOWORD(wParam), HWND(lParam));
            return 0;
        case WM_NOTIFY:
            host->DispatchNotify(reinterpret_cast<NMHDR*>(lParam));
            return 0;
        case WM_HSCROLL:
        case WM_VSCROLL:
            host->DispatchScroll(LOWORD(wParam), HWND(lParam));
            return 0;
        default:
            break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CCountingDrawable::Draw(CGraphicsContext& context)
{
    ++draws;
    context.m_state.fillColor = color;
    context.BeginPath(false, true, 1);
    context.AddRect(rect);
    context.EndPath();
}

void DispatchWaitingMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        DispatchWaitingMessages();
        PumpTimers();
        if (condition())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(5);
    }
}

COLORREF ReadClientPixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}
