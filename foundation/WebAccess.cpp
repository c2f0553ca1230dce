#include "foundation/WebAccess.h"

#include <shellapi.h>

#include "foundation/CrashLog.h"
#include "foundation/NoticeSink.h"
#include "foundation/Strings.h"
#include "foundation/SystemFunctions.h"

namespace {

// ---- Standard UTF-8 for addresses -------------------------------------------
// Addresses follow RFC 3986: characters from U+0800 up take the 0xE0 lead and
// a surrogate pair becomes one four-byte sequence, unlike the program's own
// 8-bit form. A lone surrogate becomes U+FFFD.

std::string ToStandardUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

std::wstring FromStandardUtf8(const std::string& bytes)
{
    if (bytes.empty())
        return std::wstring();
    const int size = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    std::wstring text(size_t(size > 0 ? size : 0), L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), int(bytes.size()), &text[0], size);
    return text;
}

bool IsUnreserved(unsigned char byte)
{
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
           byte == '*' || byte == '-' || byte == '_';
}

// ---- System calls -----------------------------------------------------------

struct CWinInetLibrary
{
    CWinInetLibrary() : module(LoadLibraryW(L"wininet.dll")) {}
    ~CWinInetLibrary()
    {
        if (module)
            FreeLibrary(module);
    }
    CWinInetLibrary(const CWinInetLibrary&) = delete;
    CWinInetLibrary& operator=(const CWinInetLibrary&) = delete;

    HMODULE module;
};

// What asking WinINet gave: whether the library and its function were
// found, and the connection flags.
struct CConnectedState
{
    bool libraryFound = false;
    bool functionFound = false;
    DWORD flags = 0;
};

// Loads the library (kept for the whole run) and asks it; neither trace
// points nor reports, so that a thread of its own can ask.
CConnectedState AskWinInet()
{
    static CWinInetLibrary library;
    CConnectedState state;
    state.libraryFound = library.module != nullptr;
    if (!state.libraryFound)
        return state;
    using ConnectedStateFunction = BOOL(WINAPI*)(LPDWORD, DWORD);
    const auto connectedState = reinterpret_cast<ConnectedStateFunction>(
        reinterpret_cast<void*>(GetProcAddress(library.module, "InternetGetConnectedState")));
    state.functionFound = connectedState != nullptr;
    // The flags tell; the result is false also for a configured connection
    // that is down at the moment.
    if (state.functionFound)
        connectedState(&state.flags, 0);
    return state;
}

// The answer asked for ahead on its own thread (StartWebAccessCheck).
struct CEarlyAnswer
{
    HANDLE thread = nullptr;
    CConnectedState state;
};

CEarlyAnswer& GetEarlyAnswer()
{
    static CEarlyAnswer answer;
    return answer;
}

DWORD WINAPI AskWinInetEarly(LPVOID)
{
    GetEarlyAnswer().state = AskWinInet();
    return 0;
}

bool GetConnectedFlagsFromWinInet(DWORD* flags)
{
    TRACE_POINT();
    CEarlyAnswer& early = GetEarlyAnswer();
    CConnectedState state;
    if (early.thread) {
        WaitForSingleObject(early.thread, INFINITE);
        CloseHandle(early.thread);
        early.thread = nullptr;
        state = early.state;
    } else {
        state = AskWinInet();
    }
    if (!state.libraryFound || !state.functionFound) {
        ReportFailure();
        return false;
    }
    *flags = state.flags;
    return true;
}

bool HasClassesRootKey(const wchar_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, name, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

int32_t ShellResultCode(HINSTANCE result) { return int32_t(reinterpret_cast<INT_PTR>(result)); }

}  // namespace

// ---- CUrlBuilder ------------------------------------------------------------

void CUrlBuilder::AppendUtf8(const std::wstring& text) { m_text += ToStandardUtf8(text); }

void CUrlBuilder::AppendEncoded(const std::wstring& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    for (char character : ToStandardUtf8(text)) {
        const unsigned char byte = static_cast<unsigned char>(character);
        if (IsUnreserved(byte)) {
            m_text += char(byte);
        } else {
            m_text += '%';
            m_text += kHex[byte >> 4];
            m_text += kHex[byte & 15];
        }
    }
}

std::wstring CUrlBuilder::ToString() const { return FromStandardUtf8(m_text); }

// ---- CWebAccess -------------------------------------------------------------

namespace {

// ShellExecuteW, bound on the first link shown.
HINSTANCE WINAPI ShellExecuteOnFirstCall(HWND window, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                         LPCWSTR folder, INT show)
{
    static const auto shellExecute = GetSystemFunction<decltype(ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (!shellExecute)
        return HINSTANCE(SE_ERR_DLLNOTFOUND);
    return shellExecute(window, verb, file, parameters, folder, show);
}

}  // namespace

CWebAccess::CSystemCalls& CWebAccess::GetSystemCalls()
{
    static CSystemCalls calls = {&GetConnectedFlagsFromWinInet, &HasClassesRootKey, &ShellExecuteOnFirstCall};
    return calls;
}

CWebAccess::CWebAccess()
{
    TRACE_POINT();
    const CSystemCalls& calls = GetSystemCalls();
    DWORD flags = 0;
    if (calls.getConnectedFlags(&flags)) {
        m_connected = flags != 0;
        // Being offline is a state of the machine, not a fault of the program:
        // it is only kept for the crash log.
        TRACE_VALUE(int32_t, int32_t(flags));
    }
    m_htmlHandler = calls.hasClassKey(L".html");
    if (m_connected) {
        if (m_htmlHandler)
            m_httpHandler = calls.hasClassKey(L"http");
        m_mailHandler = calls.hasClassKey(L"mailTo");
    }
    TRACE_VALUE(bool, m_htmlHandler);
    TRACE_VALUE(bool, m_httpHandler);
    TRACE_VALUE(bool, m_mailHandler);
}

void CWebAccess::OpenLink(const CUrlBuilder& url) const
{
    const std::wstring address = url.ToString();
    TRACE_VALUE(std::wstring, address);
    if (!m_httpHandler) {
        // Offline the handler is never looked up; the shell may still manage.
        TRACE_VALUE(bool, m_connected);
        if (m_connected)
            ReportFailure();
    }
    HINSTANCE result;
    {
        // Starting a browser may take long; that is no hang of the program.
        CUnwatchedSection unwatched;
        result = GetSystemCalls().shellExecute(nullptr, nullptr, address.c_str(), nullptr, L".", SW_SHOWNORMAL);
    }
    const int32_t code = ShellResultCode(result);
    TRACE_VALUE(int32_t, code);
    if (code <= 32)
        ShowNotice(GetStringWith2Args(2683, address, std::to_wstring(code)), ENoticeStyle::kError);
}

std::wstring CWebAccess::OpenDocument(const std::wstring& target) const
{
    TRACE_VALUE(std::wstring, target);
    if (!m_htmlHandler)
        ReportFailure();
    const size_t separator = target.find_last_of(L"/\\");
    std::wstring folder;
    if (separator == std::wstring::npos) {
        ReportFailure();
        folder = target;
    } else {
        folder = target.substr(0, separator);
    }
    HINSTANCE result;
    {
        CUnwatchedSection unwatched;
        result = GetSystemCalls().shellExecute(nullptr, nullptr, target.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL);
    }
    const int32_t code = ShellResultCode(result);
    TRACE_VALUE(int32_t, code);
    if (code > 32)
        return std::wstring();
    return GetStringWith2Args(2683, target, std::to_wstring(code));
}

void StartWebAccessCheck()
{
    TRACE_POINT();
    CEarlyAnswer& early = GetEarlyAnswer();
    if (early.thread)
        return;
    early.thread = CreateThread(nullptr, 0, &AskWinInetEarly, nullptr, 0, nullptr);
    if (!early.thread) {
        // Then the first check asks on the spot.
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
    }
}

CWebAccess& GetWebAccess()
{
    static CWebAccess webAccess;
    return webAccess;
}
