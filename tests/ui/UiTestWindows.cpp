#include "tests/ui/UiTestWindows.h"

CFixedWindow::CFixedWindow(int minW, int prefW, int maxW, int stretchW, int minH, int prefH, int maxH, int stretchH)
    : limits{minW, prefW, maxW, stretchW, minH, prefH, maxH, stretchH}
{
}

void CFixedWindow::Measure()
{
    minWidth = limits[0];
    preferredWidth = limits[1];
    maxWidth = limits[2];
    widthStretch = limits[3];
    minHeight = limits[4];
    preferredHeight = limits[5];
    maxHeight = limits[6];
    heightStretch = limits[7];
}

void CWrappingWindow::MeasureWithin(float width, float height)
{
    offeredWidth = width;
    offeredHeight = height;
    const int w = width >= 1.0f ? int(width) : 1;
    minWidth = 0;
    preferredWidth = w;
    maxWidth = 0;
    widthStretch = 1;
    minHeight = (m_area + w - 1) / w;
    preferredHeight = minHeight;
    maxHeight = 0;
    heightStretch = 0;
}

CTestHost::CTestHost() : CNativeWindow(false)
{
    static const ATOM atom = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = HostProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"FendrelUiTestHost";
        windowClass.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
        return RegisterClassW(&windowClass);
    }();
    (void)atom;
    hwnd = CreateWindowExW(0, L"FendrelUiTestHost", L"Test host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(this));
}

CTestHost::~CTestHost()
{
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
}

LRESULT CALLBACK CTestHost::HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* host = reinterpret_cast<CTestHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
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

void PumpWaitingMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
