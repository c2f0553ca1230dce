#pragma once

#include <windows.h>

#include <string>

// An address put together piece by piece, held as standard UTF-8 text: fixed
// parts (scheme, host, path, "?", "=", "&") as they are, values
// percent-encoded.
//
//     CUrlBuilder url;
//     url.AppendUtf8(L"https://example.org/search?q=");
//     url.AppendEncoded(topic);
//     GetWebAccess().OpenLink(url);
class CUrlBuilder
{
public:
    void AppendUtf8(const std::wstring& text);
    // Every UTF-8 byte other than an ASCII letter or digit, "*", "-" and "_"
    // becomes "%" and two upper-case hexadecimal digits.
    void AppendEncoded(const std::wstring& text);

    std::wstring ToString() const;
    const std::string& GetUtf8() const { return m_text; }

private:
    std::string m_text;
};

// Whether this computer can open web pages and mail links in the user's own
// programs, and the opening itself through the shell. One process-wide object
// (GetWebAccess), built on first use.
class CWebAccess
{
public:
    // The system calls behind web access, replaceable by tests.
    struct CSystemCalls
    {
        // InternetGetConnectedState of wininet.dll (loaded once per process);
        // false, reported, when the library or the function is missing.
        bool (*getConnectedFlags)(DWORD* flags);
        // Whether HKEY_CLASSES_ROOT has the key.
        bool (*hasClassKey)(const wchar_t* name);
        HINSTANCE(WINAPI* shellExecute)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    };
    static CSystemCalls& GetSystemCalls();

    CWebAccess();
    CWebAccess(const CWebAccess&) = delete;
    CWebAccess& operator=(const CWebAccess&) = delete;

    // A program is registered for web pages (".html"): local help pages and
    // web links can be shown at all.
    bool IsUsable() const { return m_htmlHandler; }
    // The machine reported a connection.
    bool IsConnected() const { return m_connected; }
    // The two kinds of link: web pages ("http") and mail ("mailTo"); each is
    // offered only while connected, web pages only when usable.
    bool OffersWebLinks() const { return m_httpHandler; }
    bool OffersMailLinks() const { return m_mailHandler; }

    // Opens the address in the browser; a shell failure is shown to the user
    // (text 2683).
    void OpenLink(const CUrlBuilder& url) const;
    // Opens a file or address with the shell, from its own folder. The error
    // text (2683) on failure, empty on success; the caller shows it.
    std::wstring OpenDocument(const std::wstring& target) const;

private:
    bool m_htmlHandler = false;
    bool m_connected = false;
    bool m_httpHandler = false;
    bool m_mailHandler = false;
};

CWebAccess& GetWebAccess();

// Loading WinINet and asking it for the connection take tens of
// milliseconds: start-up has a thread of their own do both while it builds
// the first window, and the first check (GetWebAccess) takes that answer,
// waiting for it if need be. Without this call the check asks on the spot.
// The thread touches nothing of the program but the answer.
void StartWebAccessCheck();
