#include "foundation/NoticeSink.h"

#include <atomic>
#include <cstdint>

#include "foundation/TracePoint.h"

namespace {

std::atomic<CNoticeSink*> g_sink{nullptr};

}  // namespace

CNoticeSink* SetNoticeSink(CNoticeSink* sink) { return g_sink.exchange(sink); }

void ShowNotice(const CNotice& notice)
{
    TRACE_VALUE(int32_t, notice.textId);
    TRACE_VALUE(int32_t, int32_t(notice.style));
    if (CNoticeSink* sink = g_sink)
        sink->Notify(notice);
}

void ShowNotice(int textId, ENoticeStyle style)
{
    CNotice notice;
    notice.textId = textId;
    notice.style = style;
    ShowNotice(notice);
}

void ShowNotice(const std::wstring& text, ENoticeStyle style)
{
    CNotice notice;
    notice.text = text;
    notice.style = style;
    ShowNotice(notice);
}

void ShowHintNotice(int hintId, const std::wstring& helpTopic, int threshold)
{
    CNotice notice;
    notice.textId = hintId;
    notice.style = ENoticeStyle::kHint;
    notice.helpTopic = helpTopic;
    notice.threshold = threshold;
    ShowNotice(notice);
}
