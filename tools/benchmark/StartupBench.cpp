#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "foundation/Clock.h"
#include "tools/benchmark/BenchCourse.h"
#include "tools/benchmark/BenchTable.h"
#include "tools/benchmark/Benchmarks.h"

namespace {

// A start that shows no painted window within this time counts as failed.
constexpr double kStartLimitMs = 60000.0;
// Starts vary the most of all the lines: never fewer runs than this.
constexpr int kLeastStarts = 9;

std::wstring GetOwnFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

struct CWindowSearch
{
    DWORD process;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM param)
{
    CWindowSearch& search = *reinterpret_cast<CWindowSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (process == search.process && IsWindowVisible(window) && wcscmp(name, search.className) == 0) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

struct CPaintCheck
{
    int visibleChildren = 0;
    bool pending = false;
};

BOOL CALLBACK CheckChild(HWND child, LPARAM param)
{
    CPaintCheck& check = *reinterpret_cast<CPaintCheck*>(param);
    if (!IsWindowVisible(child))
        return TRUE;
    ++check.visibleChildren;
    if (GetUpdateRect(child, nullptr, FALSE))
        check.pending = true;
    return TRUE;
}

// Whether the process shows a window of the class that, with every visible
// window inside it, has been painted: none has an update region left. With
// withChildren the window counts only once its children are up.
bool ShowsPaintedWindow(DWORD process, const wchar_t* className, bool withChildren)
{
    CWindowSearch search = {process, className, nullptr};
    EnumWindows(FindProcessWindow, LPARAM(&search));
    if (!search.found || GetUpdateRect(search.found, nullptr, FALSE))
        return false;
    CPaintCheck check;
    EnumChildWindows(search.found, CheckChild, LPARAM(&check));
    return !check.pending && (!withChildren || check.visibleChildren > 0);
}

// Milliseconds from just before CreateProcess until the program shows its
// painted window; the program is then ended. -1 when it never does.
double MeasureStart(const std::wstring& program, const wchar_t* className, bool withChildren)
{
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    const double start = GetClockSeconds();
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return -1.0;
    double ms = -1.0;
    for (;;) {
        if (ShowsPaintedWindow(info.dwProcessId, className, withChildren)) {
            ms = MillisecondsSince(start);
            break;
        }
        if (MillisecondsSince(start) > kStartLimitMs || WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0)
            break;
        Sleep(1);
    }
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 10000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return ms;
}

}  // namespace

void BenchStartUp(int runs)
{
    const std::wstring folder = GetOwnFolder();
    const std::wstring program = folder + L"..\\app\\Fendrel4.exe";
    const std::wstring minimal = folder + L"Fendrel4BenchWindow.exe";
    const int starts = std::max(runs, kLeastStarts);
    CBenchRow row("start to first paint / minimal window (" + std::to_string(starts) + " runs)");
    for (int run = 0; run < starts; ++run) {
        const double programMs = MeasureStart(program, L"Fendrel 4", true);
        const double minimalMs = MeasureStart(minimal, L"Fendrel4BenchWindow", false);
        if (programMs < 0.0 || minimalMs < 0.0) {
            std::printf("warning: a start showed no painted window\n");
            continue;
        }
        row.Add(programMs, minimalMs);
    }
    row.Print();
}
