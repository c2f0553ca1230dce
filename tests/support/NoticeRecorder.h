#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "foundation/NoticeSink.h"

// Keeps the notices the program sends instead of showing them, for tests
// that only check which message or hint appeared. It is the sink from its
// construction to its destruction, which puts back the sink it replaced.
class CNoticeRecorder : public CNoticeSink
{
public:
    CNoticeRecorder();
    ~CNoticeRecorder();
    CNoticeRecorder(const CNoticeRecorder&) = delete;
    CNoticeRecorder& operator=(const CNoticeRecorder&) = delete;

    void Notify(const CNotice& notice) override;

    // The notices since the last look, oldest first.
    std::vector<CNotice> Take();
    // Their texts: the text of the id where none was given.
    std::vector<std::wstring> TakeTexts();

private:
    CNoticeSink* m_replaced;
    std::mutex m_mutex;
    std::vector<CNotice> m_notices;
};
