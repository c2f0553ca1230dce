#include "app/HelpLinks.h"

#include "app/Application.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "ui/HelpHandler.h"
#include "ui/MessageBox.h"

namespace {

// The help pages of every version live under the product's name followed by
// the version number.
const wchar_t kWebHelpAddress[] = L"https://www.norvane.com/fendrel";

struct CLinkPage
{
    int id;
    const wchar_t* address;
};

const CLinkPage kLinkPages[] = {
    {2182, L"https://www.norvane.com/updates"},
    {2184, L"https://www.norvane.com/"},
    {2186, L"https://mastodon.social/@norvane"},
    {2188, L"https://www.norvane.com/contact"},
};
constexpr int kVersion = 4;

// ShellExecuteW's answer when no program is registered for the file type.
constexpr int kNoAssociation = 31;

bool IsRunningUnderWine() { return CSettings::GetInt(L"RunningUnderWine", 0) != 0; }

// Opens the local page; the error text (empty on success).
std::wstring OpenLocalPage(const CWebAccess& web, const std::wstring& path)
{
    // Without a program for web pages the shell can only fail; say so as it would.
    if (!web.IsUsable())
        return GetStringWith2Args(2683, path, std::to_wstring(kNoAssociation));
    return web.OpenDocument(path);
}

}  // namespace

std::wstring GetHelpPagePath(const std::wstring& topic)
{
    return GetProgramFolder() + L"help_" + GetString(2006) + L"\\" + topic + L".html";
}

CUrlBuilder MakeWebHelpUrl(const std::wstring& topic)
{
    CUrlBuilder url;
    url.AppendUtf8(kWebHelpAddress);
    url.AppendUtf8(std::to_wstring(kVersion));
    url.AppendUtf8(L"/help_");
    url.AppendEncoded(GetString(2006));
    url.AppendUtf8(L"/");
    url.AppendEncoded(topic);
    url.AppendUtf8(L".html");
    return url;
}

void ShowHelpTopic(const std::wstring& topic)
{
    TRACE_VALUE(std::wstring, topic);
    const CWebAccess& web = GetWebAccess();
    const bool webLinks = web.OffersWebLinks();
    // Under Wine the local pages are not trusted to open; the web page alone
    // opens there, rather than the local page and the web page both.
    if (IsRunningUnderWine() && webLinks) {
        web.OpenLink(MakeWebHelpUrl(topic));
        return;
    }
    const std::wstring error = OpenLocalPage(web, GetHelpPagePath(topic));
    if (error.empty())
        return;
    if (webLinks)
        web.OpenLink(MakeWebHelpUrl(topic));
    else
        CMessageBox::Show(error, CMessageBox::kError);
}

void InstallHelpHandler() { SetHelpHandler(HelpDelegate::FromFunction(&ShowHelpTopic)); }

void ShowHelpContents(int id)
{
    TRACE_VALUE(int32_t, id);
    if (id == 2223) {
        ShowHelpTopic(L"Index");
        return;
    }
    if (id != 2221)
        ReportFailure();
    ShowHelpTopic(L"Contents");
}

bool MakeLinkUrl(int id, CUrlBuilder& url)
{
    for (const CLinkPage& page : kLinkPages) {
        if (page.id == id) {
            url.AppendUtf8(page.address);
            return true;
        }
    }
    TRACE_VALUE(int32_t, id);
    ReportFailure();
    return false;
}

void RunLinkCommand(int id)
{
    CUrlBuilder url;
    if (MakeLinkUrl(id, url))
        GetWebAccess().OpenLink(url);
}
