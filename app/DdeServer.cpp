#include "app/DdeServer.h"

#include <dde.h>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "foundation/CrashLog.h"
#include "foundation/GuardedCall.h"
#include "ui/FrameWindowList.h"
#include "ui/ModalState.h"
#include "ui/TimerPump.h"

namespace {

HWND g_serverWindow = nullptr;

// Kept open for the life of the process, so that the name exists while the
// program runs.
HANDLE g_instanceMutex = nullptr;

// How long a second start looks for the server of an instance that is still
// starting, and how often.
constexpr DWORD kHandOverWait = 5000;
constexpr DWORD kHandOverRetryInterval = 50;

// The acknowledgement status words of WM_DDE_ACK.
constexpr UINT kAckPositive = 0x8000;
constexpr UINT kAckNegative = 0;

constexpr int kAtomNameLength = 259;

std::wstring GetAtomName(ATOM atom)
{
    wchar_t name[kAtomNameLength] = {};
    const UINT length = GlobalGetAtomNameW(atom, name, kAtomNameLength);
    return std::wstring(name, length);
}

// Adds a reference to a global atom for a partner that will delete it.
ATOM AddAtomReference(ATOM atom)
{
    const std::wstring name = GetAtomName(atom);
    TRACE_VALUE(std::wstring, name);
    const ATOM added = GlobalAddAtomW(name.c_str());
    if (added != atom) {
        TRACE_VALUE(int32_t, int32_t(added));
        ReportFailure();
    }
    return added;
}

}  // namespace

HWND GetDdeServerWindow() { return g_serverWindow; }

std::vector<std::wstring> GetDdeApplicationNames(const std::wstring& productName)
{
    const std::wstring& path = GetShortModulePath();
    const size_t separator = path.find_last_of(L"/\\");
    const size_t nameStart = separator == std::wstring::npos ? 0 : separator + 1;
    size_t nameEnd = path.find_last_of(L'.');
    if (nameEnd == std::wstring::npos || nameEnd < nameStart)
        nameEnd = path.size();
    return {productName, path.substr(nameStart, nameEnd - nameStart), L"agility", L"qx2000", L"Fendrel"};
}

std::wstring ReadDdeCommandText(HGLOBAL command)
{
    if (!command)
        return std::wstring();
    const SIZE_T size = GlobalSize(command);
    TRACE_VALUE(int32_t, int32_t(size));
    if (size == 0)
        return std::wstring();
    const void* data = GlobalLock(command);
    if (!data)
        return std::wstring();
    std::wstring text;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    // Every command begins with "[": as 16-bit text its second byte is 0. A
    // client that wrote 8-bit text (an ANSI window; Windows converts its text,
    // Wine passes it on unchanged) is read as such.
    if (size == 1 || (bytes[0] == '[' && bytes[1] != 0)) {
        size_t length = 0;
        while (length < size && bytes[length] != 0)
            ++length;
        if (length > 0) {
            const int wideLength =
                MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(bytes), int(length), nullptr, 0);
            if (wideLength > 0) {
                text.resize(size_t(wideLength));
                MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(bytes), int(length), &text[0],
                                    wideLength);
            }
        }
    } else {
        const wchar_t* characters = static_cast<const wchar_t*>(data);
        const size_t count = size / sizeof(wchar_t);
        size_t length = 0;
        while (length < count && characters[length] != L'\0')
            ++length;
        text.assign(characters, length);
    }
    GlobalUnlock(command);
    return text;
}

HGLOBAL MakeDdeCommandMemory(const std::wstring& text)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes);
    if (!memory)
        return nullptr;
    void* data = GlobalLock(memory);
    if (!data) {
        GlobalFree(memory);
        return nullptr;
    }
    memcpy(data, text.c_str(), bytes);
    GlobalUnlock(memory);
    return memory;
}

bool HandOverCommands(const std::vector<std::wstring>& commands, const std::wstring& serverClass,
                      DWORD waitMilliseconds)
{
    TRACE_VALUE(std::wstring, serverClass);
    HWND server = FindWindowW(serverClass.c_str(), nullptr);
    for (DWORD waited = 0; !server && waited < waitMilliseconds; waited += kHandOverRetryInterval) {
        Sleep(kHandOverRetryInterval);
        server = FindWindowW(serverClass.c_str(), nullptr);
    }
    if (!server) {
        TRACE_POINT();
        ReportFailure();
        return false;
    }
    bool allPosted = true;
    for (const std::wstring& command : commands) {
        TRACE_VALUE(std::wstring, command);
        HGLOBAL memory = MakeDdeCommandMemory(command);
        // No client window: the server frees the memory and sends nothing back.
        if (!memory || !PostMessageW(server, WM_DDE_EXECUTE, 0, LPARAM(memory))) {
            TRACE_VALUE(int32_t, int32_t(GetLastError()));
            if (memory)
                GlobalFree(memory);
            ReportFailure();
            allPosted = false;
        }
    }
    return allPosted;
}

namespace {

struct CFrontSearch {
    HWND running;
    HWND found;
};

BOOL CALLBACK FindEnabledCaptionedWindow(HWND window, LPARAM param)
{
    CFrontSearch& search = *reinterpret_cast<CFrontSearch*>(param);
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (window == search.running || !IsWindowVisible(window) || !IsWindowEnabled(window) ||
        (style & WS_CAPTION) != WS_CAPTION)
        return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

HWND GetWindowToBringForward(HWND running)
{
    if (!running || IsWindowEnabled(running))
        return running;
    CFrontSearch search = {running, nullptr};
    // The thread's top-level windows come front to back.
    EnumThreadWindows(GetWindowThreadProcessId(running, nullptr), &FindEnabledCaptionedWindow, LPARAM(&search));
    return search.found ? search.found : running;
}

bool ActivateRunningInstance(const CCommandLine& commandLine)
{
    const std::wstring productName = GetProductName();
    HANDLE mutex = CreateMutexW(nullptr, TRUE, productName.c_str());
    const bool first = !(mutex && GetLastError() == ERROR_ALREADY_EXISTS);
    TRACE_VALUE(bool, first);
    if (mutex) {
        if (first)
            ReleaseMutex(mutex);
        g_instanceMutex = mutex;
    }

    // Before any course window exists, so that every one has this class and
    // a later start finds it.
    SetFrameWindowClassName(productName);

    if (first)
        return true;
    HWND running = FindWindowW(productName.c_str(), nullptr);
    if (running) {
        if (IsIconic(running))
            ShowWindow(running, SW_RESTORE);
        SetForegroundWindow(GetWindowToBringForward(running));
    }
    // The files go to the server even when no course window was found: the
    // running instance may have no window (a "dde" run) or not have made one
    // yet.
    const std::vector<std::wstring> commands = BuildDdeCommands(commandLine);
    if (!commands.empty())
        HandOverCommands(commands, productName + L" DDE", kHandOverWait);
    return false;
}

// ---- CDdeServer ---------------------------------------------------------------

CDdeServer::CDdeServer(const std::wstring& productName, Runner runner)
    : m_className(productName + L" DDE"), m_runner(runner ? runner : &RunCommandLineMode)
{
    TRACE_VALUE(std::wstring, m_className);
    m_topic = GlobalAddAtomW(L"System");
    for (const std::wstring& name : GetDdeApplicationNames(productName))
        m_applications.push_back(GlobalAddAtomW(name.c_str()));

    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &CDdeServer::DdeWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadProgramIcon();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = HBRUSH(13);
    windowClass.lpszClassName = m_className.c_str();
    if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
    m_window = CreateWindowExW(0, m_className.c_str(), m_className.c_str(),
                               WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0, nullptr,
                               nullptr, instance, this);
    if (!m_window) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure();
        return;
    }
    g_serverWindow = m_window;
}

CDdeServer::~CDdeServer()
{
    if (m_window) {
        if (g_serverWindow == m_window)
            g_serverWindow = nullptr;
        DestroyWindow(m_window);
        m_window = nullptr;
    }
    GlobalDeleteAtom(m_topic);
    for (ATOM atom : m_applications)
        GlobalDeleteAtom(atom);
    m_applications.clear();
}

bool CDdeServer::IsApplicationAtom(ATOM atom) const
{
    for (ATOM application : m_applications) {
        if (application == atom)
            return true;
    }
    return false;
}

LRESULT CALLBACK CDdeServer::DdeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!CallGuarded([&] {
            CDdeServer* server = reinterpret_cast<CDdeServer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
            if (server) {
                result = server->HandleMessage(window, message, wParam, lParam);
                return;
            }
            if (message == WM_CREATE) {
                CWatchedSection watched;
                const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
                if (!create || !create->lpCreateParams)
                    ReportFailure();
                else
                    SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(create->lpCreateParams));
            }
            result = DefWindowProcW(window, message, wParam, lParam);
        }))
        result = 0;
    return result;
}

LRESULT CDdeServer::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    {
        CWatchedSection watched;
        switch (message) {
        case WM_CREATE:
            // The object was bound by an earlier WM_CREATE.
            ReportFailure();
            break;
        case WM_DDE_INITIATE:
            OnInitiate(HWND(wParam), ATOM(LOWORD(lParam)), ATOM(HIWORD(lParam)));
            break;
        case WM_DDE_TERMINATE:
            PostMessageW(HWND(wParam), WM_DDE_TERMINATE, WPARAM(window), 0);
            break;
        case WM_DDE_EXECUTE:
            OnExecute(HWND(wParam), lParam);
            break;
        case WM_ENTERIDLE:
            PumpAfterMessage(message);
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            break;
        default:
            break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CDdeServer::OnInitiate(HWND client, ATOM application, ATOM topic)
{
    TRACE_VALUE(int32_t, int32_t(application));
    TRACE_VALUE(int32_t, int32_t(topic));
    if (application != 0 && !IsApplicationAtom(application))
        return;
    if (topic != 0 && topic != m_topic)
        return;
    if (!client || !IsWindow(client) || !IsWindowUnicode(client))
        return;
    if (m_applications.empty())
        return;
    // The client deletes the atoms of the answer: each gets a reference of
    // its own.
    const ATOM answerApplication = AddAtomReference(application != 0 ? application : m_applications.front());
    const ATOM answerTopic = AddAtomReference(m_topic);
    SendMessageW(client, WM_DDE_ACK, WPARAM(m_window), MAKELPARAM(answerApplication, answerTopic));
}

void CDdeServer::OnExecute(HWND client, LPARAM command)
{
    HGLOBAL memory = HGLOBAL(command);
    const std::wstring text = ReadDdeCommandText(memory);
    TRACE_VALUE(std::wstring, text);

    bool accepted = false;
    if (GetModalCount() == 0 && !text.empty()) {
        CCommandLine commandLine;
        ParseDdeCommand(text, commandLine);
        accepted = m_runner(commandLine);
    }
    TRACE_VALUE(bool, accepted);

    // A hand-over from a second start has no client: nobody would take the
    // acknowledgement, or free the memory.
    if (!client || !IsWindow(client)) {
        if (memory && GlobalSize(memory) != 0)
            GlobalFree(memory);
        return;
    }
    const LPARAM answer =
        ReuseDDElParam(command, WM_DDE_EXECUTE, WM_DDE_ACK, accepted ? kAckPositive : kAckNegative, UINT_PTR(memory));
    if (!PostMessageW(client, WM_DDE_ACK, WPARAM(m_window), answer)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        FreeDDElParam(WM_DDE_ACK, answer);
        if (memory && GlobalSize(memory) != 0)
            GlobalFree(memory);
    }
}
