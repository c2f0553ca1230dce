#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "foundation/Strings.h"
#include "foundation/WebAccess.h"
#include "tests/support/FailureReports.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TestSupport.h"

namespace {

std::string Encoded(const std::wstring& text)
{
    CUrlBuilder url;
    url.AppendEncoded(text);
    return url.GetUtf8();
}

}  // namespace

TEST(UrlBuilder, EncodesEverythingButLettersDigitsAndThreeMarks)
{
    EXPECT_EQ("a%20b%2Ec%7Ed", Encoded(L"a b.c~d"));
    EXPECT_EQ("AZaz09*-_", Encoded(L"AZaz09*-_"));
    EXPECT_EQ("%2F%3F%26%3D%2B%25%23%3A", Encoded(L"/?&=+%#:"));
    EXPECT_EQ("", Encoded(L""));
}

TEST(UrlBuilder, EncodesStandardUtf8)
{
    EXPECT_EQ("%C3%A9", Encoded(L"\u00E9"));
    EXPECT_EQ("%E0%A0%80", Encoded(L"\u0800"));
    EXPECT_EQ("%E2%82%AC", Encoded(L"\u20AC"));
    EXPECT_EQ("%EF%BF%BF", Encoded(std::wstring(1, wchar_t(0xFFFF))));
    // A surrogate pair is one character of four bytes.
    EXPECT_EQ("%F0%9F%98%80", Encoded(L"\xD83D\xDE00"));
}

TEST(UrlBuilder, FixedPartsStayAsTheyAre)
{
    CUrlBuilder url;
    url.AppendUtf8(L"https://example.org/help_en/Contents.html?a=1&b=");
    url.AppendEncoded(L"x y");
    EXPECT_EQ("https://example.org/help_en/Contents.html?a=1&b=x%20y", url.GetUtf8());
    EXPECT_EQ(L"https://example.org/help_en/Contents.html?a=1&b=x%20y", url.ToString());
}

TEST(UrlBuilder, ToStringGivesBackNonAsciiFixedParts)
{
    const std::wstring fixed = L"https://example.org/\u00E9t\u00E9/\u20AC/\xD83D\xDE00?";
    CUrlBuilder url;
    url.AppendUtf8(fixed);
    EXPECT_EQ("https://example.org/\xC3\xA9t\xC3\xA9/\xE2\x82\xAC/\xF0\x9F\x98\x80?", url.GetUtf8());
    EXPECT_EQ(fixed, url.ToString());
}

namespace {

// Fake system calls: what the machine offers and what was asked of it.
struct CFakeMachine
{
    bool libraryFound = true;
    DWORD flags = 0;
    std::vector<std::wstring> keys;   // keys present under HKEY_CLASSES_ROOT
    std::vector<std::wstring> asked;
    int shellResult = 42;

    struct CShellCall
    {
        HWND window;
        std::wstring verb, file, parameters, folder;
        bool hasParameters;
        int show;
    };
    std::vector<CShellCall> shellCalls;
};

CFakeMachine* g_machine = nullptr;

bool FakeConnectedFlags(DWORD* flags)
{
    if (!g_machine->libraryFound)
        return false;
    *flags = g_machine->flags;
    return true;
}

bool FakeHasClassKey(const wchar_t* name)
{
    g_machine->asked.push_back(name);
    for (const std::wstring& key : g_machine->keys) {
        if (key == name)
            return true;
    }
    return false;
}

HINSTANCE WINAPI FakeShellExecute(HWND window, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder,
                                  INT show)
{
    g_machine->shellCalls.push_back({window, verb ? verb : L"(null)", file ? file : L"", parameters ? parameters : L"",
                                     folder ? folder : L"(null)", parameters != nullptr, show});
    return reinterpret_cast<HINSTANCE>(INT_PTR(g_machine->shellResult));
}

class WebAccess : public testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = CWebAccess::GetSystemCalls();
        g_machine = &m_machine;
        CWebAccess::GetSystemCalls() = {&FakeConnectedFlags, &FakeHasClassKey, &FakeShellExecute};
    }
    void TearDown() override
    {
        CWebAccess::GetSystemCalls() = m_saved;
        g_machine = nullptr;
    }

    CFakeMachine m_machine;
    CWebAccess::CSystemCalls m_saved;
    CNoticeRecorder m_notices;
};

std::vector<std::wstring> Names(std::initializer_list<const wchar_t*> names)
{
    return std::vector<std::wstring>(names.begin(), names.end());
}

}  // namespace

// What the machine offers gives what the program offers; being offline or
// lacking a handler is no failure.
TEST_F(WebAccess, OffersWhatTheMachineHandles)
{
    const std::vector<std::wstring> every = Names({L".html", L"http", L"mailTo"});
    const struct
    {
        bool libraryFound;
        DWORD flags;
        std::vector<std::wstring> keys;
        bool connected, usable, web, mail;
        std::vector<std::wstring> asked;
    } cases[] = {
        {true, 0x02, every, true, true, true, true, every},
        {true, 0, every, false, true, false, false, Names({L".html"})},
        {true, 0x40, Names({L"http", L"mailTo"}), true, false, false, true, Names({L".html", L"mailTo"})},
        {false, 0, every, false, true, false, false, Names({L".html"})},
    };
    for (const auto& c : cases) {
        m_machine.libraryFound = c.libraryFound;
        m_machine.flags = c.flags;
        m_machine.keys = c.keys;
        m_machine.asked.clear();
        const int before = ReportCount();
        CWebAccess access;
        EXPECT_EQ(c.connected, access.IsConnected()) << c.flags;
        EXPECT_EQ(c.usable, access.IsUsable()) << c.flags;
        EXPECT_EQ(c.web, access.OffersWebLinks()) << c.flags;
        EXPECT_EQ(c.mail, access.OffersMailLinks()) << c.flags;
        EXPECT_EQ(c.asked, m_machine.asked) << c.flags;
        EXPECT_EQ(0, ReportCount() - before) << c.flags;
    }
}

TEST_F(WebAccess, OpenLinkHandsTheAddressToTheShell)
{
    m_machine.flags = 1;
    m_machine.keys = Names({L".html", L"http"});
    CWebAccess access;
    CUrlBuilder url;
    url.AppendUtf8(L"https://example.org/\u00E9?q=");
    url.AppendEncoded(L"a b");
    const int before = ReportCount();
    access.OpenLink(url);
    ASSERT_EQ(1u, m_machine.shellCalls.size());
    const CFakeMachine::CShellCall& call = m_machine.shellCalls[0];
    EXPECT_EQ(nullptr, call.window);
    EXPECT_EQ(L"(null)", call.verb);
    EXPECT_EQ(L"https://example.org/\u00E9?q=a%20b", call.file);
    EXPECT_FALSE(call.hasParameters);
    EXPECT_EQ(L".", call.folder);
    EXPECT_EQ(SW_SHOWNORMAL, call.show);
    EXPECT_EQ(0, ReportCount() - before);
    EXPECT_TRUE(m_notices.Take().empty());
}

TEST_F(WebAccess, AShellFailureIsShown)
{
    m_machine.flags = 1;
    m_machine.keys = Names({L".html", L"http"});
    m_machine.shellResult = SE_ERR_NOASSOC;
    CWebAccess access;
    CUrlBuilder url;
    url.AppendUtf8(L"https://example.org/contact");
    access.OpenLink(url);
    const std::vector<std::wstring> seen = m_notices.TakeTexts();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(GetStringWith2Args(2683, L"https://example.org/contact", L"31"), seen[0]);
}

// A link is handed to the shell even offline or without a web handler;
// only the missing handler of a connected machine is a failure.
TEST_F(WebAccess, LinksAreTriedOfflineAndWithoutAWebHandler)
{
    const struct
    {
        DWORD flags;
        std::vector<std::wstring> keys;
        int reports;
    } cases[] = {{1, Names({L".html"}), 1}, {0, Names({L".html", L"http"}), 0}};
    for (const auto& c : cases) {
        m_machine.flags = c.flags;
        m_machine.keys = c.keys;
        m_machine.shellCalls.clear();
        CWebAccess access;
        CUrlBuilder url;
        url.AppendUtf8(L"https://example.org/");
        const int before = ReportCount();
        access.OpenLink(url);
        EXPECT_EQ(c.reports, ReportCount() - before) << c.flags;
        EXPECT_EQ(1u, m_machine.shellCalls.size()) << c.flags;
    }
}

TEST_F(WebAccess, OpenDocumentRunsFromItsFolder)
{
    m_machine.keys = Names({L".html"});
    CWebAccess access;
    const int before = ReportCount();
    m_machine.shellResult = 33;
    EXPECT_EQ(L"", access.OpenDocument(L"C:\\Fendrel\\help_en\\Contents.html"));
    ASSERT_EQ(1u, m_machine.shellCalls.size());
    EXPECT_EQ(L"C:\\Fendrel\\help_en\\Contents.html", m_machine.shellCalls[0].file);
    EXPECT_EQ(L"C:\\Fendrel\\help_en", m_machine.shellCalls[0].folder);
    EXPECT_EQ(L"(null)", m_machine.shellCalls[0].verb);
    EXPECT_EQ(SW_SHOWNORMAL, m_machine.shellCalls[0].show);
    EXPECT_EQ(0, ReportCount() - before);

    m_machine.shellResult = 2;
    EXPECT_EQ(GetStringWith2Args(2683, L"C:/help/Index.html", L"2"), access.OpenDocument(L"C:/help/Index.html"));
    EXPECT_EQ(L"C:/help", m_machine.shellCalls[1].folder);
    // The caller shows the text; nothing is shown here.
    EXPECT_TRUE(m_notices.Take().empty());
}

TEST_F(WebAccess, OpenDocumentOfAPlainNameIsReported)
{
    m_machine.keys = Names({L".html"});
    CWebAccess access;
    EXPECT_EQ(1, CountReports([&] { access.OpenDocument(L"Contents.html"); }));
    ASSERT_EQ(1u, m_machine.shellCalls.size());
    EXPECT_EQ(L"Contents.html", m_machine.shellCalls[0].folder);
}

TEST_F(WebAccess, OpenDocumentWithoutAPageHandlerIsReported)
{
    CWebAccess access;
    EXPECT_EQ(1, CountReports([&] { access.OpenDocument(L"C:\\help\\Contents.html"); }));
    EXPECT_EQ(1u, m_machine.shellCalls.size());
}

TEST(WebAccessOnThisMachine, FlagsFollowTheRegistryAndTheConnection)
{
    HMODULE wininet = LoadLibraryW(L"wininet.dll");
    ASSERT_NE(nullptr, wininet);
    using ConnectedStateFunction = BOOL(WINAPI*)(LPDWORD, DWORD);
    const auto connectedState =
        reinterpret_cast<ConnectedStateFunction>(
        reinterpret_cast<void*>(GetProcAddress(wininet, "InternetGetConnectedState")));
    ASSERT_NE(nullptr, connectedState);
    DWORD flags = 0;
    connectedState(&flags, 0);
    FreeLibrary(wininet);
    auto hasKey = [](const wchar_t* name) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, name, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    };
    const bool connected = flags != 0;
    const bool html = hasKey(L".html");

    const CWebAccess& access = GetWebAccess();
    EXPECT_EQ(&access, &GetWebAccess());
    EXPECT_EQ(connected, access.IsConnected());
    EXPECT_EQ(html, access.IsUsable());
    EXPECT_EQ(connected && html && hasKey(L"http"), access.OffersWebLinks());
    EXPECT_EQ(connected && hasKey(L"mailTo"), access.OffersMailLinks());
}

CHILD_TEST(WebAccessOnThisMachine, AnAnswerAskedForEarlyIsTheAnswerAskedOnTheSpot)
{
    // GetWebAccess takes the early answer; a check of its own asks on the spot.
    const int before = ReportCount();
    StartWebAccessCheck();
    const CWebAccess& early = GetWebAccess();
    const CWebAccess direct;
    if (early.IsConnected() != direct.IsConnected() || early.IsUsable() != direct.IsUsable() ||
        early.OffersWebLinks() != direct.OffersWebLinks() || early.OffersMailLinks() != direct.OffersMailLinks())
        return 10;
    return ReportCount() == before ? 0 : 11;
}
