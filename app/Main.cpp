#include <windows.h>

#include "foundation/CrashLog.h"
#include "foundation/GuardedCall.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"

// The program's entry point. For now it shows an empty main window titled
// with the program's name and ends when that window is closed.

namespace {

LRESULT HandleMainWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWatchedSection watched;
    LRESULT result = 0;
    if (!CallGuarded([&] { result = HandleMainWindowMessage(window, message, wParam, lParam); }))
        result = 0;
    return result;
}

int RunApplication(HINSTANCE instance, int showCommand)
{
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

    MSG message = {};
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
    return int(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    GetCrashLog().fileName = "Fendrel4CrashLog.txt";
    CSettings::Open(L"Software\\Norvane\\Fendrel 4");
    GetCrashLog().StartWatchdog();
    int exitCode = 1;
    CallGuarded([&] { exitCode = RunApplication(instance, showCommand); });
    GetCrashLog().StopWatchdog();
    return exitCode;
}
