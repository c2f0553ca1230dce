#include "tests/support/TestWindows.h"

#include "foundation/Settings.h"
#include "graphics/GdiObject.h"
#include "tests/support/TestSettings.h"
#include "ui/TimerPump.h"

namespace {

const wchar_t kHostClass[] = L"FendrelTestHost";

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* host = reinterpret_cast<CNativeWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
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

// Creates a host window and binds it to the object.
HWND CreateHostWindow(CNativeWindow* host, DWORD exStyle, DWORD style, const wchar_t* title, int x, int y,
                      int width, int height)
{
    static const ATOM atom = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = HostProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kHostClass;
        windowClass.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        return RegisterClassW(&windowClass);
    }();
    (void)atom;
    const HWND window = CreateWindowExW(exStyle, kHostClass, title, style, x, y, width, height, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(host));
    return window;
}

void DestroyHostWindow(HWND window)
{
    if (!IsWindow(window))
        return;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
}

}  // namespace

CTestHost::CTestHost() : CNativeWindow(false)
{
    hwnd = CreateHostWindow(this, 0, WS_OVERLAPPEDWINDOW, L"Test host", 0, 0, 400, 300);
}

CTestHost::~CTestHost() { DestroyHostWindow(hwnd); }

CPanelTestHost::CPanelTestHost(int x, int y, int width, int height) : CNativeWindow(false)
{
    CSettings::Open(GetTestSettingsKeyPath());
    // Never activated unless a test asks for it: without a window manager
    // Wine waits two seconds for every activated window to be unmapped.
    hwnd = CreateHostWindow(this, WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, WS_POPUP, L"Panel test", x,
                            y, width, height);
    ShowWindow(hwnd, SW_SHOWNA);
    DispatchWaitingMessages();
}

CPanelTestHost::~CPanelTestHost() { Destroy(); }

void CPanelTestHost::Destroy()
{
    DestroyHostWindow(hwnd);
    DispatchWaitingMessages();
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
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
            PumpAfterMessage(message.message);
        }
        PumpTimers();
        if (condition())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void PumpFor(DWORD milliseconds)
{
    PumpUntil([] { return false; }, milliseconds);
}

void MouseInput(POINT screen, DWORD buttons, bool pump)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = LONG((screen.x * 65536 + width / 2) / width);
    input.mi.dy = LONG((screen.y * 65536 + height / 2) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &input, sizeof input);
    if (pump)
        PumpFor(60);
    else
        Sleep(60);
}

void ParkMouse()
{
    MouseInput(POINT{1000, 900});
}

void SetModifierKeys(bool control, bool shift)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
}

namespace {

DWORD WINAPI DriveMenu(void* keys)
{
    const std::vector<WPARAM>& typed = *static_cast<const std::vector<WPARAM>*>(keys);
    for (int i = 0; i < 500; ++i) {
        HWND menu = FindWindowW(L"#32768", nullptr);
        if (menu && IsWindowVisible(menu)) {
            for (WPARAM key : typed) {
                PostMessageW(menu, WM_KEYDOWN, key, 1);
                PostMessageW(menu, WM_KEYUP, key, 0xC0000001);
                Sleep(50);
            }
            return 0;
        }
        Sleep(10);
    }
    return 1;
}

}  // namespace

int RunPopupMenu(const std::function<void()>& open, const std::vector<WPARAM>& keys)
{
    HANDLE thread = CreateThread(nullptr, 0, DriveMenu, const_cast<std::vector<WPARAM>*>(&keys), 0, nullptr);
    open();
    WaitForSingleObject(thread, 10000);
    DWORD code = 2;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    return int(code);
}

COLORREF ReadClientPixel(HWND window, int x, int y)
{
    const CWindowDc dc(window);
    return GetPixel(dc.Get(), x, y);
}
