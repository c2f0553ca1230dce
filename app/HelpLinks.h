#pragma once

#include <string>

#include "foundation/WebAccess.h"

// Help is one HTML page per topic, kept in a language folder beside the
// program ("help_en\Contents.html") and on the maker's web site under the
// same names. Dialogs' Help buttons and the help commands ask for a topic.

// The local page of a topic: the program's folder, "help_", the language
// folder suffix (text 2006), "\", the topic and ".html".
std::wstring GetHelpPagePath(const std::wstring& topic);
// The web page of a topic: the web help address, "4/help_", the language
// folder suffix, "/", the topic and ".html".
CUrlBuilder MakeWebHelpUrl(const std::wstring& topic);

// The program's help handler. The local page opens in the browser; the web
// page instead when the local one cannot be opened, or under Wine (the
// setting "RunningUnderWine"), where only the web page opens. With neither,
// the user sees why the local page did not open.
void ShowHelpTopic(const std::wstring& topic);
// Makes ShowHelpTopic the handler of every dialog's Help button.
void InstallHelpHandler();

// The help commands: 2221 the topic "Contents", 2223 "Index"; any other
// identifier is reported and shows "Contents".
void ShowHelpContents(int id);

// The web-link commands 2182 (updates), 2184 (home page), 2186 (the page on
// a social network) and 2188 (contact): the page opens in the browser.
void RunLinkCommand(int id);
// The address of a link command; false (reported) for any other identifier.
bool MakeLinkUrl(int id, CUrlBuilder& url);
