#include "tests/support/NoticeRecorder.h"

#include "foundation/Strings.h"

CNoticeRecorder::CNoticeRecorder() : m_replaced(SetNoticeSink(this)) {}

CNoticeRecorder::~CNoticeRecorder() { SetNoticeSink(m_replaced); }

void CNoticeRecorder::Notify(const CNotice& notice)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_notices.push_back(notice);
}

std::vector<CNotice> CNoticeRecorder::Take()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<CNotice> taken;
    taken.swap(m_notices);
    return taken;
}

std::vector<std::wstring> CNoticeRecorder::TakeTexts()
{
    std::vector<std::wstring> texts;
    for (const CNotice& notice : Take())
        texts.push_back(notice.text.empty() ? GetString(notice.textId) : notice.text);
    return texts;
}
