#include "foundation/WebAccess.h"

#include <shellapi.h>

#include "foundation/CrashLog.h"
#include "foundation/NoticeSink.h"
#include "foundation/Strings.h"

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

bool GetConnectedFlagsFromWinInet(DWORD* flags)
{
    TRACE_POINT();
    static CWinInetLibrary library;
    if (!library.module) {
        ReportFailure();
        return false;
    }
    using ConnectedStateFunction = BOOL(WINAPI*)(LPDWORD, DWORD);
    const auto connectedState =
        reinterpret_cast<ConnectedStateFunction>(
        reinterpret_cast<void*>(GetProcAddress(library.module, "InternetGetConnectedState")));
    if (!connectedState) {
        ReportFailure();
        return false;
    }
    // The flags tell; the result is false also for a configured connection
    // that is down at the moment.
    connectedState(flags, 0);
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

CWebAccess::CSystemCalls& CWebAccess::GetSystemCalls()
{
    static CSystemCalls calls = {&GetConnectedFlagsFromWinInet, &HasClassesRootKey, &ShellExecuteW};
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

CWebAccess& GetWebAccess()
{
    static CWebAccess webAccess;
    return webAccess;
}
