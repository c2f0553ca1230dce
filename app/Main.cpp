#include <windows.h>

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"

// The program's entry point. For now it shows an empty main window titled
// with the program's name and ends when that window is closed.

namespace {

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWatchedSection watched;
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    GetCrashLog().fileName = "Fendrel4CrashLog.txt";
    TRACE_POINT();

    WNDCLASSEXW windowClass = {sizeof windowClass};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = HBRUSH(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"Fendrel4Main";
    if (!RegisterClassExW(&windowClass))
        return 1;
    const std::wstring title = GetString(2001);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 800, 600, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    GetCrashLog().StartWatchdog();
    MSG message;
    for (;;) {
        BOOL got;
        {
            CUnwatchedSection waiting;
            got = GetMessageW(&message, nullptr, 0, 0);
        }
        if (got <= 0)
            break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    GetCrashLog().StopWatchdog();
    return int(message.wParam);
}
