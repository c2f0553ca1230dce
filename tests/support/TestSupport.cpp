#include "tests/support/TestSupport.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

namespace {

std::map<std::string, ChildScenario>& Scenarios()
{
    static std::map<std::string, ChildScenario> scenarios;
    return scenarios;
}

const char kChildSwitch[] = "--child=";

std::mutex g_watcherLock;
std::vector<CSeenDialog> g_answered;
std::atomic<int> g_pauseCount{0};

std::wstring GetClassNameString(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM param)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && GetClassNameString(window) == L"#32770")
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

DWORD WINAPI WatchDialogs(void*)
{
    // A box answered that had not gone when looked at again (a busy
    // machine) is pressed again, not counted again.
    HWND stillUp = nullptr;
    for (;;) {
        Sleep(20);
        if (g_pauseCount > 0)
            continue;
        for (HWND dialog : FindProcessDialogs()) {
            HWND textWindow = GetDlgItem(dialog, 0xFFFF);
            if (!textWindow)
                continue;   // not a message box: the test drives it
            if (dialog != stillUp) {
                CSeenDialog seen;
                seen.caption = GetWindowTextString(dialog);
                seen.text = GetWindowTextString(textWindow);
                seen.style = DWORD(GetWindowLongW(dialog, GWL_STYLE));
                std::lock_guard<std::mutex> lock(g_watcherLock);
                g_answered.push_back(seen);
            }
            PressDialogButton(dialog, GetDlgItem(dialog, IDOK) ? IDOK : IDCANCEL);
            // Give the box time to go before looking again.
            for (int i = 0; i < 100 && IsWindow(dialog) && IsWindowVisible(dialog); ++i)
                Sleep(10);
            stillUp = IsWindow(dialog) && IsWindowVisible(dialog) ? dialog : nullptr;
        }
    }
}

// Where a child past its time is stuck: the stack of each of its threads, as
// Wine's debugger prints it into this run's output. Windows has no such
// debugger, and there the child is only ended.
void PrintThreadStacks(DWORD processId)
{
    std::wstring commands;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 thread = {sizeof thread};
    for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread))
        if (thread.th32OwnerProcessID == processId)
            commands += L"bt " + std::to_wstring(thread.th32ThreadID) + L"\n";
    CloseHandle(snapshot);
    std::printf("child %lu is past its time; its threads:\n", processId);
    std::fflush(stdout);
    if (commands.empty())
        return;
    std::wstring commandLine = L"winedbg --command \"" + commands + L"\" " + std::to_wstring(processId);
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION debugger = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &debugger))
        return;
    WaitForSingleObject(debugger.hProcess, 60000);
    CloseHandle(debugger.hThread);
    CloseHandle(debugger.hProcess);
}

std::vector<void (*)()>& StartupSteps()
{
    static std::vector<void (*)()> steps;
    return steps;
}

}  // namespace

CTestStartup::CTestStartup(void (*step)()) { StartupSteps().push_back(step); }

void RunTestStartup()
{
    for (void (*step)() : StartupSteps())
        step();
}

CChildScenarioRegistrar::CChildScenarioRegistrar(const char* name, ChildScenario scenario)
{
    Scenarios()[name] = scenario;
}

bool RunChildScenarioFromCommandLine(int argc, char** argv, int* exitCode)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kChildSwitch, sizeof kChildSwitch - 1) != 0)
            continue;
        auto found = Scenarios().find(argv[i] + sizeof kChildSwitch - 1);
        *exitCode = found == Scenarios().end() ? 99 : found->second();
        return true;
    }
    return false;
}

int RunChildScenario(const char* name, DWORD timeoutMs)
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(exe) + L"\" --child=";
    for (const char* c = name; *c; ++c)
        commandLine += wchar_t(*c);

    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    DWORD exitCode = DWORD(-2);
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exitCode);
    } else {
        PrintThreadStacks(process.dwProcessId);
        TerminateProcess(process.hProcess, 98);
    }
    CloseHandle(process.hProcess);
    return int(exitCode);
}

unsigned long GetEnvironmentNumber(const char* name, unsigned long fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::strtoul(value, nullptr, 10) : fallback;
}

void CDialogWatcher::Start()
{
    static HANDLE thread = CreateThread(nullptr, 0, WatchDialogs, nullptr, 0, nullptr);
    (void)thread;
}

std::vector<CSeenDialog> CDialogWatcher::TakeAnswered()
{
    std::lock_guard<std::mutex> lock(g_watcherLock);
    std::vector<CSeenDialog> answered;
    answered.swap(g_answered);
    return answered;
}

std::vector<std::wstring> CDialogWatcher::TakeAnsweredTexts()
{
    std::vector<std::wstring> texts;
    for (const CSeenDialog& seen : TakeAnswered())
        texts.push_back(seen.text);
    return texts;
}

CDialogWatcherPause::CDialogWatcherPause() { ++g_pauseCount; }

CDialogWatcherPause::~CDialogWatcherPause() { --g_pauseCount; }

std::vector<HWND> FindProcessDialogs()
{
    std::vector<HWND> dialogs;
    EnumWindows(CollectDialog, LPARAM(&dialogs));
    return dialogs;
}

HWND WaitForDialog(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        std::vector<HWND> dialogs = FindProcessDialogs();
        if (!dialogs.empty())
            return dialogs.front();
        Sleep(10);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

HWND WaitForDialogTitled(const std::wstring& caption, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 10) {
        for (HWND dialog : FindProcessDialogs())
            if (GetWindowTextString(dialog) == caption)
                return dialog;
        Sleep(10);
    }
    return nullptr;
}

HWND WaitForDialogAnsweringOthers(const std::wstring& caption, std::vector<std::wstring>* others, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 10) {
        for (HWND dialog : FindProcessDialogs()) {
            if (GetWindowTextString(dialog) == caption)
                return dialog;
            if (others)
                others->push_back(GetWindowTextString(GetDlgItem(dialog, 0xFFFF)));
            PressDialogButton(dialog, GetDlgItem(dialog, IDOK) ? IDOK : IDCANCEL);
        }
        Sleep(10);
    }
    return nullptr;
}

std::wstring GetWindowTextString(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(size_t(length) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(window, &text[0], length + 1)));
    return text;
}

void PressDialogButton(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

std::wstring GetCommonDocumentsFolder()
{
    wchar_t path[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, path, CSIDL_COMMON_DOCUMENTS, TRUE);
    return path;
}

std::string ReadWholeFile(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring MakeTempFolder(const std::wstring& name)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"fendrel-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return folder;
}
