#include "ui/ScrollBar.h"

#include "foundation/CrashLog.h"
#include "ui/TimerPump.h"

static_assert(sizeof(SCROLLINFO) == 28, "SCROLLINFO layout differs");

CScrollBar::CScrollBar(bool vertical_) : vertical(vertical_) {}

void CScrollBar::SetRange(int min_, int max_, int position_, int page_)
{
    TRACE_VALUE(int32_t, position_);
    if (position_ < min_ || position_ > max_ || page_ < 0) {
        TRACE_VALUE(int32_t, min_);
        TRACE_VALUE(int32_t, max_);
        TRACE_VALUE(int32_t, page_);
        ReportFailure();
        return;
    }
    if (page_ == 0)
        page_ = 1;
    if (min_ == min && max_ == max && position_ == position && page_ == page)
        return;
    min = min_;
    max = max_;
    position = position_;
    page = page_;
    PushRange();
}

void CScrollBar::PushRange()
{
    if (!hwnd)
        return;
    SCROLLINFO info = {sizeof info};
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = min;
    info.nMax = max - 1 + page;
    info.nPage = UINT(page);
    info.nPos = position;
    SetScrollInfo(hwnd, SB_CTL, &info, TRUE);
}

void CScrollBar::SetPosition(int p)
{
    TRACE_VALUE(int32_t, p);
    if (p < min || p > max) {
        ReportFailure();
        return;
    }
    if (p == position)
        return;
    position = p;
    if (hwnd && GetScrollPos(hwnd, SB_CTL) != p)
        SetScrollPos(hwnd, SB_CTL, p, TRUE);
}

void CScrollBar::Measure()
{
    const int across = GetSystemMetrics(vertical ? SM_CXVSCROLL : SM_CYHSCROLL);
    int& alongMin = vertical ? minHeight : minWidth;
    int& alongPreferred = vertical ? preferredHeight : preferredWidth;
    int& alongMax = vertical ? maxHeight : maxWidth;
    int& alongStretch = vertical ? heightStretch : widthStretch;
    alongMin = alongPreferred = alongMax = 0;
    alongStretch = 1;
    int& acrossMin = vertical ? minWidth : minHeight;
    int& acrossPreferred = vertical ? preferredWidth : preferredHeight;
    int& acrossMax = vertical ? maxWidth : maxHeight;
    int& acrossStretch = vertical ? widthStretch : heightStretch;
    acrossMin = acrossPreferred = acrossMax = across;
    acrossStretch = 0;
}

void CScrollBar::CreateNativeWindow(CNativeWindow& owner)
{
    if (CreateControl(owner, L"SCROLLBAR", vertical ? SBS_VERT : SBS_HORZ, 0, std::wstring()))
        PushRange();
}

void CScrollBar::OnScroll(int code)
{
    TRACE_VALUE(int32_t, code);
    switch (code) {
    case SB_LINEUP:
        onLineUp(this);
        break;
    case SB_LINEDOWN:
        onLineDown(this);
        break;
    case SB_PAGEUP:
        onPageUp(this);
        break;
    case SB_PAGEDOWN:
        onPageDown(this);
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        SCROLLINFO info = {sizeof info};
        info.fMask = SIF_TRACKPOS;
        if (!hwnd || !GetScrollInfo(hwnd, SB_CTL, &info)) {
            ReportFailure(kFailSystemCall);
            break;
        }
        SetPosition(info.nTrackPos);
        onPositionChanged(this);
        break;
    }
    case SB_TOP:
        SetPosition(min);
        onPositionChanged(this);
        break;
    case SB_BOTTOM:
        SetPosition(max);
        onPositionChanged(this);
        break;
    default:
        break;
    }
    // Timers keep firing while the user drags the thumb.
    PumpTimers();
}
