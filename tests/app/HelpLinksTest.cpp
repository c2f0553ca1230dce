#include <gtest/gtest.h>

#include <windows.h>

#include "app/Application.h"
#include "app/HelpLinks.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "foundation/WebAccess.h"
#include "tests/app/BrowserFake.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"
#include "ui/HelpHandler.h"

namespace {

const wchar_t kWebContents[] = L"https://www.norvane.com/fendrel4/help_en/Contents.html";

class HelpLinks : public testing::Test
{
protected:
    void SetUp() override
    {
        OpenTestSettingsKey();
        CSettings::SetInt(L"RunningUnderWine", 0);
        CBrowserFake::Reset();
        CDialogWatcher::TakeAnswered();
    }
    void TearDown() override { DeleteTestSettingsKey(); }
};

}  // namespace

TEST_F(HelpLinks, LocalAndWebPagesDifferOnlyInPrefixAndSeparators)
{
    EXPECT_EQ(GetProgramFolder() + L"help_" + GetString(2006) + L"\\Contents.html", GetHelpPagePath(L"Contents"));
    EXPECT_EQ(kWebContents, MakeWebHelpUrl(L"Contents").ToString());
    std::wstring local = GetHelpPagePath(L"OpenTunnel").substr(GetProgramFolder().size());
    std::wstring web = MakeWebHelpUrl(L"OpenTunnel").ToString();
    web = web.substr(web.size() - local.size());
    for (wchar_t& c : local)
        if (c == L'\\')
            c = L'/';
    EXPECT_EQ(local, web);
}

TEST_F(HelpLinks, TheLocalPageOpensAlone)
{
    ShowHelpTopic(L"Contents");
    EXPECT_EQ(std::vector<std::wstring>{GetHelpPagePath(L"Contents")}, CBrowserFake::GetOpened());
}

TEST_F(HelpLinks, UnderWineOnlyTheWebPageOpens)
{
    CSettings::SetInt(L"RunningUnderWine", 96);
    ShowHelpTopic(L"Contents");
    // One page, not the local one and the web one both.
    EXPECT_EQ(std::vector<std::wstring>{kWebContents}, CBrowserFake::GetOpened());
}

TEST_F(HelpLinks, AMissingLocalPageFallsBackToTheWeb)
{
    CBrowserFake::GetResult() = 2;   // ERROR_FILE_NOT_FOUND
    ShowHelpTopic(L"Contents");
    ASSERT_EQ(2u, CBrowserFake::GetOpened().size());
    EXPECT_EQ(GetHelpPagePath(L"Contents"), CBrowserFake::GetOpened()[0]);
    EXPECT_EQ(kWebContents, CBrowserFake::GetOpened()[1]);
    // The web page failed too (the fake fails everything): the user is told once.
    EXPECT_EQ(std::vector<std::wstring>{GetStringWith2Args(2683, kWebContents, L"2")},
              CDialogWatcher::TakeAnsweredTexts());
}

TEST_F(HelpLinks, HelpCommandsChooseTheirTopics)
{
    ShowHelpContents(2221);
    ShowHelpContents(2223);
    EXPECT_EQ((std::vector<std::wstring>{GetHelpPagePath(L"Contents"), GetHelpPagePath(L"Index")}),
              CBrowserFake::GetOpened());
    CBrowserFake::Reset();
    EXPECT_EQ(1, CountReports([] { ShowHelpContents(2222); }));
    EXPECT_EQ(std::vector<std::wstring>{GetHelpPagePath(L"Contents")}, CBrowserFake::GetOpened());
    CDialogWatcher::TakeAnswered();
}

TEST_F(HelpLinks, TheHandlerServesTheDialogs)
{
    InstallHelpHandler();
    GetHelpHandler()(L"Edit");
    EXPECT_EQ(std::vector<std::wstring>{GetHelpPagePath(L"Edit")}, CBrowserFake::GetOpened());
}

TEST_F(HelpLinks, LinkCommandsOpenTheirPages)
{
    for (int id : {2182, 2184, 2186, 2188})
        RunLinkCommand(id);
    EXPECT_EQ((std::vector<std::wstring>{L"https://www.norvane.com/updates", L"https://www.norvane.com/",
                                         L"https://mastodon.social/@norvane", L"https://www.norvane.com/contact"}),
              CBrowserFake::GetOpened());
    CBrowserFake::Reset();
    EXPECT_EQ(1, CountReports([] { RunLinkCommand(2183); }));
    EXPECT_TRUE(CBrowserFake::GetOpened().empty());
    CDialogWatcher::TakeAnswered();
}

namespace {

// In a child: web access that finds no connection, so web links are not
// offered; pages still open locally as the fake says.
bool g_offline = false;
bool Offline(DWORD* flags)
{
    *flags = 0;
    return true;
}

void GoOffline()
{
    CWebAccess::GetSystemCalls().getConnectedFlags = &Offline;
    OpenTestSettingsKey();
    g_offline = !GetWebAccess().OffersWebLinks() && GetWebAccess().IsUsable();
}

}  // namespace

CHILD_TEST(HelpLinksOffline, WithoutWebLinksTheLocalErrorIsShown)
{
    GoOffline();
    CSettings::SetInt(L"RunningUnderWine", 0);
    CBrowserFake::GetResult() = 2;
    ShowHelpTopic(L"Contents");
    std::vector<CSeenDialog> seen = CDialogWatcher::TakeAnswered();
    const bool shown = seen.size() == 1 && seen[0].text == GetStringWith2Args(2683, GetHelpPagePath(L"Contents"), L"2");
    return g_offline && shown && CBrowserFake::GetOpened().size() == 1 ? 0 : 1;
}

CHILD_TEST(HelpLinksOffline, UnderWineWithoutWebLinksTheLocalPageServes)
{
    GoOffline();
    CSettings::SetInt(L"RunningUnderWine", 96);
    ShowHelpTopic(L"Contents");
    // The local page opened: no message (not even an empty one).
    const bool quiet = CDialogWatcher::TakeAnswered().empty();
    return g_offline && quiet && CBrowserFake::GetOpened() == std::vector<std::wstring>{GetHelpPagePath(L"Contents")}
               ? 0
               : 1;
}
