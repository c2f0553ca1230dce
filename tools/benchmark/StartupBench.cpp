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
// Each start waits this long first. Wine goes on working for some 100 ms
// after a process has ended, and a start in that time takes longer by about
// as much: the minimal window measured 160 ms right after another start
// against 80 ms after a pause, which made the program's ratio look better
// than it is.
constexpr DWORD kSettleMs = 300;

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

// The program's stored "GraphicsClass": 0 or none while the object lives,
// the value found at first afterwards.
class CProgramGraphicsClass
{
public:
    CProgramGraphicsClass()
    {
        DWORD size = sizeof m_value;
        m_found = RegGetValueW(HKEY_CURRENT_USER, kProgramKey, kName, RRF_RT_REG_DWORD, nullptr, &m_value, &size) ==
                  ERROR_SUCCESS;
    }
    ~CProgramGraphicsClass()
    {
        if (m_found)
            RegSetKeyValueW(HKEY_CURRENT_USER, kProgramKey, kName, REG_DWORD, &m_value, sizeof m_value);
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kProgramKey, kName);
    }
    CProgramGraphicsClass(const CProgramGraphicsClass&) = delete;
    CProgramGraphicsClass& operator=(const CProgramGraphicsClass&) = delete;

    // GDI only, or none stored.
    void Set(bool gdi)
    {
        const DWORD zero = 0;
        if (gdi)
            RegSetKeyValueW(HKEY_CURRENT_USER, kProgramKey, kName, REG_DWORD, &zero, sizeof zero);
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kProgramKey, kName);
    }

private:
    static constexpr const wchar_t* kProgramKey = L"Software\\Norvane\\Fendrel 4";
    static constexpr const wchar_t* kName = L"GraphicsClass";
    DWORD m_value = 0;
    bool m_found = false;
};

// Milliseconds from just before CreateProcess until the program shows its
// painted window; the program is then ended. -1 when it never does.
double MeasureStart(const std::wstring& program, const wchar_t* className, bool withChildren)
{
    Sleep(kSettleMs);
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
    // The program's own settings: its views through GDI, as in the earlier
    // figures, then with the class a user's first start has. The user's
    // value comes back afterwards.
    CProgramGraphicsClass graphicsClass;
    // The fastest start with class 0, then with none stored.
    double fastest[2] = {kStartLimitMs, kStartLimitMs};
    for (const bool gdi : {true, false}) {
        graphicsClass.Set(gdi);
        CBenchRow row(std::string("start to first paint / minimal window") + (gdi ? "" : ", default graphics class") +
                      " (" + std::to_string(starts) + " runs)");
        for (int run = 0; run < starts; ++run) {
            const double programMs = MeasureStart(program, L"Fendrel 4", true);
            const double minimalMs = MeasureStart(minimal, L"Fendrel4BenchWindow", false);
            if (programMs < 0.0 || minimalMs < 0.0) {
                std::printf("warning: a start showed no painted window\n");
                continue;
            }
            row.Add(programMs, minimalMs);
            fastest[gdi ? 0 : 1] = std::min(fastest[gdi ? 0 : 1], programMs);
        }
        row.Print();
    }
    std::printf("%-58s %11.3f %11.3f %9.2f\n", "fastest start, default graphics class / class 0", fastest[1],
                fastest[0], fastest[1] / fastest[0]);
}
