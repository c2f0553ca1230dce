#include "tests/app/ProgramProcess.h"

#include <tlhelp32.h>

#include <fstream>

#include "tests/app/ProgramDriving.h"
#include "tests/support/TestSupport.h"

namespace {

struct CWindowSearch
{
    DWORD process;
    std::wstring className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    CWindowSearch& search = *reinterpret_cast<CWindowSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search.process || !IsWindowVisible(window))
        return TRUE;
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    if (search.className == name)
        search.found.push_back(window);
    return TRUE;
}

}  // namespace

void PumpMessagesFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

std::wstring WriteEmptyCourseFile(const std::wstring& folder, const std::wstring& name)
{
    const std::wstring path = folder + L"\\" + name;
    std::ofstream out(path.c_str(), std::ios::binary);
    out << "Begin Fendrel\r\nVersion Empty\r\nEnd Fendrel\r\n";
    return path;
}

CProgramProcess::~CProgramProcess()
{
    if (!m_process)
        return;
    if (IsRunning()) {
        CloseCourseWindows();
        if (WaitForSingleObject(m_process, 5000) != WAIT_OBJECT_0) {
            TerminateProcess(m_process, 97);
            WaitForSingleObject(m_process, 10000);
        }
    }
    CloseHandle(m_process);
}

std::wstring CProgramProcess::GetProgramPath()
{
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path(exe);
    // <build>\tests\test_app.exe -> <build>\app\Fendrel4.exe
    path.resize(path.find_last_of(L'\\'));
    path.resize(path.find_last_of(L'\\') + 1);
    return path + L"app\\Fendrel4.exe";
}

bool CProgramProcess::Start(const std::wstring& arguments, const std::wstring& folder)
{
    if (graphicsClass != kStoredClass)
        programtest::SetProgramInt(L"GraphicsClass", DWORD(graphicsClass));
    const std::wstring program = GetProgramPath();
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return false;
    CloseHandle(process.hThread);
    m_process = process.hProcess;
    m_id = process.dwProcessId;
    return true;
}

bool CProgramProcess::HasModule(const wchar_t* name) const
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, m_id);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    MODULEENTRY32W module = {sizeof module};
    bool found = false;
    for (BOOL more = Module32FirstW(snapshot, &module); more && !found; more = Module32NextW(snapshot, &module))
        found = _wcsicmp(module.szModule, name) == 0;
    CloseHandle(snapshot);
    return found;
}

std::wstring CProgramProcess::ListModules() const
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, m_id);
    if (snapshot == INVALID_HANDLE_VALUE)
        return L"(no snapshot)";
    MODULEENTRY32W module = {sizeof module};
    std::wstring names;
    for (BOOL more = Module32FirstW(snapshot, &module); more; more = Module32NextW(snapshot, &module))
        names += std::wstring(names.empty() ? L"" : L" ") + module.szModule;
    CloseHandle(snapshot);
    return names;
}

bool CProgramProcess::IsRunning() const
{
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

int CProgramProcess::WaitForExit(DWORD timeoutMs)
{
    if (!m_process)
        return -1;
    const DWORD start = GetTickCount();
    // Pumped: the child may send to this thread's windows (DDE answers).
    while (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        if (GetTickCount() - start >= timeoutMs)
            return -1;
        PumpMessagesFor(20);
    }
    DWORD code = 0;
    GetExitCodeProcess(m_process, &code);
    return int(code);
}

std::vector<HWND> CProgramProcess::FindWindows(const std::wstring& className) const
{
    CWindowSearch search{m_id, className, {}};
    EnumWindows(CollectWindow, LPARAM(&search));
    return search.found;
}

std::vector<HWND> CProgramProcess::WaitForWindows(const std::wstring& className, size_t count,
                                                  DWORD timeoutMs) const
{
    const DWORD start = GetTickCount();
    for (;;) {
        std::vector<HWND> found = FindWindows(className);
        if (found.size() >= count || GetTickCount() - start >= timeoutMs || !IsRunning())
            return found;
        PumpMessagesFor(20);
    }
}

HWND CProgramProcess::WaitForCaption(const std::wstring& caption, DWORD timeoutMs) const
{
    const DWORD start = GetTickCount();
    for (;;) {
        for (HWND window : FindWindows(L"Fendrel 4")) {
            if (GetWindowTextString(window) == caption)
                return window;
        }
        if (GetTickCount() - start >= timeoutMs || !IsRunning())
            return nullptr;
        PumpMessagesFor(20);
    }
}

HWND CProgramProcess::WaitForMessageBox(DWORD timeoutMs) const
{
    const DWORD start = GetTickCount();
    for (;;) {
        for (HWND dialog : FindWindows(L"#32770")) {
            if (GetDlgItem(dialog, 0xFFFF))
                return dialog;
        }
        if (GetTickCount() - start >= timeoutMs || !IsRunning())
            return nullptr;
        PumpMessagesFor(20);
    }
}

std::wstring CProgramProcess::GetMessageBoxText(HWND box) { return GetWindowTextString(GetDlgItem(box, 0xFFFF)); }

void CProgramProcess::AnswerMessageBox(HWND box)
{
    PressDialogButton(box, GetDlgItem(box, IDOK) ? IDOK : IDCANCEL);
    for (int i = 0; i < 500 && IsWindow(box) && IsWindowVisible(box); ++i)
        PumpMessagesFor(10);
}

void CProgramProcess::CloseCourseWindows() const
{
    for (HWND window : FindWindows(L"Fendrel 4"))
        PostMessageW(window, WM_CLOSE, 0, 0);
}
