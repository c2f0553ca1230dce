#pragma once

#include <string>

// How a notice is shown: the kinds of the program's message box, whose
// numbers they keep, and the hint.
enum class ENoticeStyle
{
    kError = 0,
    kFailure = 1,       // the failure report's own message
    kInformation = 2,
    kWarning = 3,
    kQuestion = 4,
    kHint = 5,
};

// Something the user should read. A hint is counted each time it is
// triggered and shown once the count reaches its threshold (the hint dialog
// decides, and lets the user switch it off); its id is its text id.
struct CNotice
{
    // The text of this id, unless text is given.
    int textId = 0;
    std::wstring text;
    ENoticeStyle style = ENoticeStyle::kError;
    // Hints only.
    std::wstring helpTopic;
    int threshold = 1;
};

// Where the code below the window framework sends what the user must be
// told: it shows no window of its own. The application installs the sink
// that shows message boxes and hints at start-up; tests install a recorder.
// Without a sink a notice is only recorded in a trace point.
class CNoticeSink
{
public:
    // Any thread may notify (the failure report does); the sink shows the
    // notice and returns when the user has closed it.
    virtual void Notify(const CNotice& notice) = 0;

protected:
    ~CNoticeSink() = default;
};

// Installs the sink (null for none) and returns the one it replaces.
CNoticeSink* SetNoticeSink(CNoticeSink* sink);

void ShowNotice(const CNotice& notice);
void ShowNotice(int textId, ENoticeStyle style);
void ShowNotice(const std::wstring& text, ENoticeStyle style);
// The hint whose text is hintId, with the help topic the hint dialog offers.
void ShowHintNotice(int hintId, const std::wstring& helpTopic, int threshold);
