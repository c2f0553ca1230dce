#include "ui/ScrollView.h"

#include <algorithm>
#include <cmath>

#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "ui/Panel.h"
#include "ui/Scene.h"

namespace {

// Bar positions are ints; content coordinates far outside any real view
// must not overflow the conversion.
int ToPosition(float value)
{
    if (!(value > -1e9f))
        return -1000000000;
    if (!(value < 1e9f))
        return 1000000000;
    return int(value);
}

// The bar's page for its range, so that the thumb's share of the bar is the
// visible share of the content (pixels); 0 when everything is visible.
int ComputePage(int range, float visiblePixels, float contentPixels)
{
    if (!(contentPixels > visiblePixels))
        return 0;
    return ToPosition(std::ceil(float(range) * visiblePixels / (contentPixels - visiblePixels)));
}

// The value limited to [low, high], where high may lie below low (content
// smaller than the view): then, and for a value that is not a number, low.
float ClampToRange(float value, float low, float high) { return std::max(low, std::min(value, std::max(low, high))); }

// Floor of the mean of two positions, also for negative sums.
int MiddleOf(int a, int b)
{
    const long long sum = (long long)a + b;
    return int(sum >= 0 ? sum / 2 : -((-sum + 1) / 2));
}

}  // namespace

CScrollView::CScrollView(CPanel* content_) : content(content_), horizontalBar(false), verticalBar(true)
{
    if (!content)
        ReportFailure();
    else
        content->Measure();
    horizontalBar.Measure();
    verticalBar.Measure();
    horizontalBar.SetVisible(false);
    verticalBar.SetVisible(false);
    verticalBar.onPageUp = CMemberDelegate<CScrollBar*, CScrollView>::Make(this, &CScrollView::OnVerticalPageUp);
    verticalBar.onPageDown = CMemberDelegate<CScrollBar*, CScrollView>::Make(this, &CScrollView::OnVerticalPageDown);
    verticalBar.onLineUp = CMemberDelegate<CScrollBar*, CScrollView>::Make(this, &CScrollView::OnVerticalLineUp);
    verticalBar.onLineDown = CMemberDelegate<CScrollBar*, CScrollView>::Make(this, &CScrollView::OnVerticalLineDown);
    verticalBar.onPositionChanged =
        CMemberDelegate<CScrollBar*, CScrollView>::Make(this, &CScrollView::OnPositionChanged);
    horizontalBar.onPageUp = CMemberDelegate<CScrollBar*, CScrollView>::Make(this, &CScrollView::OnHorizontalPageUp);
    horizontalBar.onPageDown =
        CMemberDelegate<CScrollBar*, CScrollView>::Make(this, &CScrollView::OnHorizontalPageDown);
    horizontalBar.onLineUp = CMemberDelegate<CScrollBar*, CScrollView>::Make(this, &CScrollView::OnHorizontalLineUp);
    horizontalBar.onLineDown =
        CMemberDelegate<CScrollBar*, CScrollView>::Make(this, &CScrollView::OnHorizontalLineDown);
    horizontalBar.onPositionChanged =
        CMemberDelegate<CScrollBar*, CScrollView>::Make(this, &CScrollView::OnPositionChanged);
}

CPoint2 CScrollView::ScrollToContent(float x, float y) const { return CPoint2(x, y); }

CRectF CScrollView::ContentToScroll(float x, float y) const
{
    return CRectF(std::floor(x), std::floor(y), std::ceil(x), std::ceil(y));
}

// ---- Settings ----------------------------------------------------------------------

void CScrollView::SetScale(float s)
{
    TRACE_VALUE(float, s);
    if (!(s > 0.0f) || !std::isfinite(s)) {
        ReportFailure();
        return;
    }
    if (s == scale && fitMode == kFreeScale)
        return;
    scale = s;
    fitMode = kFreeScale;
    UpdateLayout();
}

void CScrollView::SetExtent(const CRectF& rect)
{
    TRACE_VALUE(CRectF, rect);
    if (rect.IsEmpty() || !std::isfinite(rect.Width()) || !std::isfinite(rect.Height())) {
        ReportFailure();
        return;
    }
    extent = rect;
    UpdateLayout();
}

float CScrollView::GetVerticalBarWidth() const { return verticalEnabled ? float(verticalBar.preferredWidth) : 0.0f; }

float CScrollView::GetHorizontalBarHeight() const
{
    return horizontalEnabled ? float(horizontalBar.preferredHeight) : 0.0f;
}

// ---- Measuring ---------------------------------------------------------------------

bool CScrollView::DependsOnAvailableSize() const { return fitMode != kFreeScale; }

void CScrollView::Measure()
{
    if (fitMode != kFreeScale)
        ReportFailure();
    if (content)
        content->Measure();
    const float width = contentWidth > 0.0f ? contentWidth : extent.Width();
    const float height = contentHeight > 0.0f ? contentHeight : extent.Height();
    preferredWidth = ToPosition(std::ceil(width / scale));
    preferredHeight = ToPosition(std::ceil(height / scale));
    minWidth = std::min(2 * verticalBar.preferredWidth, preferredWidth);
    minHeight = std::min(2 * horizontalBar.preferredHeight, preferredHeight);
    maxWidth = 0;
    maxHeight = 0;
    widthStretch = 1;
    heightStretch = 1;
}

void CScrollView::MeasureWithin(float availableWidth, float availableHeight)
{
    const float barWidth = float(verticalBar.preferredWidth);
    const float barHeight = float(horizontalBar.preferredHeight);
    if (fitMode == kFreeScale) {
        Measure();
        // Each bar takes room from the other direction, so two rounds.
        bool needVertical = false;
        bool needHorizontal = false;
        for (int round = 0; round < 2; ++round) {
            needHorizontal =
                horizontalEnabled && float(preferredWidth) + (needVertical ? barWidth : 0.0f) > availableWidth;
            needVertical = verticalEnabled &&
                           float(preferredHeight) + (needHorizontal ? barHeight : 0.0f) > availableHeight;
        }
        if (needVertical)
            preferredWidth += verticalBar.preferredWidth;
        if (needHorizontal)
            preferredHeight += horizontalBar.preferredHeight;
        widthStretch = 1;
        heightStretch = 1;
        return;
    }
    if (content)
        content->Measure();
    minWidth = 2 * verticalBar.preferredWidth;
    minHeight = 2 * horizontalBar.preferredHeight;
    maxWidth = 0;
    maxHeight = 0;
    widthStretch = 1;
    heightStretch = 1;
    const float cw = contentWidth > 0.0f ? contentWidth : extent.Width();
    const float ch = contentHeight > 0.0f ? contentHeight : extent.Height();
    int mode = fitMode;
    if (mode == kFitWhole)
        mode = cw * availableHeight >= ch * availableWidth ? kFitWidth : kFitHeight;
    if (mode == kFitWidth) {
        preferredWidth = ToPosition(availableWidth);
        preferredHeight = ToPosition(std::min(std::ceil(ch * availableWidth / cw), availableHeight));
    } else if (mode == kFitHeight) {
        preferredWidth = ToPosition(std::min(std::ceil(cw * availableHeight / ch), availableWidth));
        preferredHeight = ToPosition(availableHeight);
    } else {
        TRACE_VALUE(int32_t, fitMode);
        ReportFailure();
    }
}

// ---- Layout --------------------------------------------------------------------------

float CScrollView::ComputeFitScale(float w, float h) const
{
    const float cw = extent.Width();
    const float ch = extent.Height();
    const auto whole = [&] { return w * ch > h * cw ? ch / h : cw / w; };
    switch (fitMode) {
    case kFreeScale:
        return scale;
    case kFitWhole:
        return whole();
    case kFitWidth: {
        float s = cw / w;
        if (std::ceil(ch / s) > h) {
            s = cw / std::max(1.0f, w - GetVerticalBarWidth());
            if (std::ceil(ch / s) <= h)
                s = whole();
        }
        return s;
    }
    case kFitHeight: {
        float s = ch / h;
        if (std::ceil(cw / s) > w) {
            s = ch / std::max(1.0f, h - GetHorizontalBarHeight());
            if (std::ceil(cw / s) <= w)
                s = whole();
        }
        return s;
    }
    default:
        TRACE_VALUE(int32_t, fitMode);
        ReportFailure();
        return scale;
    }
}

CSize2 CScrollView::ComputeVisibleSize(float contentPixelsW, float contentPixelsH, float viewW, float viewH) const
{
    const float barWidth = GetVerticalBarWidth();
    const float barHeight = GetHorizontalBarHeight();
    CSize2 size(viewW, viewH);
    if (contentPixelsW <= viewW && contentPixelsH <= viewH)
        size = CSize2(viewW, viewH);
    else if (contentPixelsW > viewW - barWidth && contentPixelsH > viewH - barHeight)
        size = CSize2(std::max(1.0f, viewW - barWidth), std::max(1.0f, viewH - barHeight));
    else if (contentPixelsW <= viewW)
        size = CSize2(std::max(1.0f, viewW - barWidth), viewH);
    else
        size = CSize2(viewW, std::max(1.0f, viewH - barHeight));
    if (!fillWidth && contentPixelsW < size.width)
        size.width = contentPixelsW;
    if (!fillHeight && contentPixelsH < size.height)
        size.height = contentPixelsH;
    return size;
}

void CScrollView::UpdateLayout()
{
    TRACE_POINT();
    if (bounds.IsEmpty() || !content)
        return;
    const float w = bounds.Width();
    const float h = bounds.Height();

    CPoint2 anchor(extent.left, extent.top);
    if (content->scene)
        anchor = content->scene->transform.TransformPoint2D(content->bounds.Width() / 2.0f,
                                                            content->bounds.Height() / 2.0f);

    const float fitScale = ComputeFitScale(w, h);
    if (fitScale > 0.0f && std::isfinite(fitScale))
        scale = fitScale;
    const float contentPixelsW = std::ceil(extent.Width() / scale);
    const float contentPixelsH = std::ceil(extent.Height() / scale);
    const CSize2 visible = ComputeVisibleSize(contentPixelsW, contentPixelsH, w, h);

    const float visibleContentW = visible.width * scale * 1.00001f;
    const float visibleContentH = visible.height * scale * 1.00001f;
    const CRectF low = ContentToScroll(extent.left, extent.top);
    const CRectF high = ContentToScroll(extent.right - visibleContentW, extent.bottom - visibleContentH);
    const int hMin = ToPosition(low.left);
    const int vMin = ToPosition(low.top);
    const int hMax = visibleContentW >= extent.Width() ? hMin : std::max(hMin, ToPosition(high.right));
    const int vMax = visibleContentH >= extent.Height() ? vMin : std::max(vMin, ToPosition(high.bottom));
    const int hPage = ComputePage(hMax - hMin, visible.width, contentPixelsW);
    const int vPage = ComputePage(vMax - vMin, visible.height, contentPixelsH);

    int hPosition = horizontalBar.position;
    int vPosition = verticalBar.position;
    if (firstLayout)
        anchor = CPoint2(extent.left, extent.top);
    if (firstLayout || scale != m_laidOutScale) {
        // The anchor goes to the middle of the visible area.
        const float x = ClampToRange(anchor.x - visible.width * scale / 2.0f, extent.left,
                                     extent.right - visible.width * scale);
        const float y = ClampToRange(anchor.y - visible.height * scale / 2.0f, extent.top,
                                     extent.bottom - visible.height * scale);
        const CRectF position = ContentToScroll(x, y);
        hPosition = ToPosition(position.left);
        vPosition = ToPosition(position.top);
    }
    hPosition = std::max(hMin, std::min(hPosition, hMax));
    vPosition = std::max(vMin, std::min(vPosition, vMax));
    firstLayout = false;
    m_laidOutScale = scale;

    horizontalBar.SetRange(hMin, hMax, hPosition, hPage);
    verticalBar.SetRange(vMin, vMax, vPosition, vPage);
    const bool hShown = IsBarShown(horizontalBar);
    const bool vShown = IsBarShown(verticalBar);
    const float barWidth = float(verticalBar.preferredWidth);
    const float barHeight = float(horizontalBar.preferredHeight);
    if (hShown)
        horizontalBar.SetBounds(CRectF(bounds.left, bounds.bottom - barHeight,
                                       std::max(bounds.left, bounds.right - (vShown ? barWidth : 0.0f)),
                                       bounds.bottom));
    if (vShown)
        verticalBar.SetBounds(CRectF(bounds.right - barWidth, bounds.top, bounds.right,
                                     std::max(bounds.top, bounds.bottom - (hShown ? barHeight : 0.0f))));
    ShowBars();

    content->SetBounds(
        CRectF(bounds.left, bounds.top, bounds.left + visible.width, bounds.top + visible.height));
    ApplyScroll();
}

bool CScrollView::IsBarShown(const CScrollBar& bar) const
{
    const bool enabled = &bar == &horizontalBar ? horizontalEnabled : verticalEnabled;
    return enabled && visible && bar.max > bar.min;
}

void CScrollView::ShowBars()
{
    horizontalBar.SetVisible(IsBarShown(horizontalBar));
    verticalBar.SetVisible(IsBarShown(verticalBar));
}

void CScrollView::ApplyScroll()
{
    if (!content)
        return;
    CPoint2 p = ScrollToContent(float(horizontalBar.position), float(verticalBar.position));
    if (horizontalBar.max == horizontalBar.min)
        p.x = extent.left;
    if (verticalBar.max == verticalBar.min)
        p.y = extent.top;
    CTransform transform;
    transform.Scale(scale);
    transform.SetTranslation(p.x, -p.y, 0.0f);
    content->SetSceneTransform(transform);
}

// ---- Scrolling --------------------------------------------------------------------------

CPoint2 CScrollView::GetCurrentPoint() const
{
    if (!content || !content->scene)
        return CPoint2(extent.left, extent.top);
    return content->scene->transform.GetPosition2D();
}

CSize2 CScrollView::GetVisibleContentSize() const
{
    if (!content)
        return CSize2();
    return CSize2(content->bounds.Width() * scale, content->bounds.Height() * scale);
}

float CScrollView::PositionToContent(bool verticalAxis, int position) const
{
    return AxisOf(ScrollToContent(float(position), float(position)), verticalAxis);
}

int CScrollView::ContentToPosition(bool verticalAxis, float value, bool roundUp) const
{
    const CRectF range = ContentToScroll(value, value);
    if (verticalAxis)
        return ToPosition(roundUp ? range.bottom : range.top);
    return ToPosition(roundUp ? range.right : range.left);
}

void CScrollView::StepLine(bool verticalAxis, int direction)
{
    CScrollBar& bar = verticalAxis ? verticalBar : horizontalBar;
    const int position = bar.position;
    if (direction > 0 ? position >= bar.max : position <= bar.min)
        return;
    const int next = position + direction;
    const float moved =
        std::fabs(PositionToContent(verticalAxis, next) - PositionToContent(verticalAxis, position)) / scale;
    if (moved < 4.0f) {
        // One unit is hardly visible: move by an eighth of the view instead.
        const CSize2 visibleSize = GetVisibleContentSize();
        const float step = (verticalAxis ? visibleSize.height : visibleSize.width) / 8.0f;
        MoveTo(verticalAxis, direction, AxisOf(GetCurrentPoint(), verticalAxis) + float(direction) * step);
        return;
    }
    bar.SetPosition(next);
    ApplyScroll();
}

void CScrollView::StepPage(bool verticalAxis, int direction)
{
    const CSize2 visibleSize = GetVisibleContentSize();
    const float page = verticalAxis ? visibleSize.height : visibleSize.width;
    MoveTo(verticalAxis, direction, AxisOf(GetCurrentPoint(), verticalAxis) + float(direction) * page);
}

void CScrollView::MoveTo(bool verticalAxis, int direction, float target)
{
    CScrollBar& bar = verticalAxis ? verticalBar : horizontalBar;
    const int position = bar.position;
    int next;
    if (direction > 0) {
        if (target >= PositionToContent(verticalAxis, bar.max)) {
            next = bar.max;
        } else {
            next = ContentToPosition(verticalAxis, target, false);
            if (position < bar.max)
                next = std::max(next, position + 1);
        }
    } else {
        if (target <= (verticalAxis ? extent.top : extent.left)) {
            next = bar.min;
        } else {
            next = ContentToPosition(verticalAxis, target, false);
            if (position > bar.min)
                next = std::min(next, position - 1);
        }
    }
    bar.SetPosition(std::max(bar.min, std::min(next, bar.max)));
    ApplyScroll();
}

void CScrollView::EnsureVisible(const CRectF& rect)
{
    TRACE_VALUE(CRectF, rect);
    const CSize2 visibleSize = GetVisibleContentSize();
    int positions[2];
    bool changed = false;
    for (int axis = 0; axis < 2; ++axis) {
        const bool verticalAxis = axis == 1;
        CScrollBar& bar = verticalAxis ? verticalBar : horizontalBar;
        const float extentNear = verticalAxis ? extent.top : extent.left;
        const float extentFar = verticalAxis ? extent.bottom : extent.right;
        const float nearEdge = Clamp(verticalAxis ? rect.top : rect.left, extentNear, extentFar);
        const float farEdge = Clamp(verticalAxis ? rect.bottom : rect.right, extentNear, extentFar);
        const int nearPosition = ContentToPosition(verticalAxis, nearEdge, false);
        const int farPosition = ContentToPosition(verticalAxis, farEdge, true);
        const float viewSize = verticalAxis ? visibleSize.height : visibleSize.width;
        // From the position that puts the far edge at the view's far edge
        // to the one that puts the near edge at its near edge.
        int low = ContentToPosition(verticalAxis, PositionToContent(verticalAxis, farPosition) - viewSize, true);
        int high = nearPosition;
        if (low > high)
            low = high = MiddleOf(low, high);
        int position = std::max(low, std::min(bar.position, high));
        position = std::max(bar.min, std::min(position, bar.max));
        positions[axis] = position;
        changed = changed || position != bar.position;
    }
    if (!changed)
        return;
    horizontalBar.SetPosition(positions[0]);
    verticalBar.SetPosition(positions[1]);
    ApplyScroll();
}

// ---- Window operations --------------------------------------------------------------------

void CScrollView::SetBounds(const CRectF& rect)
{
    CWindow::SetBounds(rect);
    UpdateLayout();
}

void CScrollView::SetVisible(bool newVisible)
{
    CWindow::SetVisible(newVisible);
    if (content)
        content->SetVisible(newVisible);
    ShowBars();
}

void CScrollView::CreateNativeWindow(CNativeWindow& owner)
{
    if (content && !content->HasNativeWindow())
        content->CreateNativeWindow(owner);
    horizontalBar.CreateNativeWindow(owner);
    verticalBar.CreateNativeWindow(owner);
}

bool CScrollView::HasNativeWindow() const { return horizontalBar.HasNativeWindow(); }

void CScrollView::SetDirty()
{
    if (content)
        content->SetDirty();
    horizontalBar.SetDirty();
    verticalBar.SetDirty();
    CWindow::SetDirty();
}

// ---- Scrolling by rows ---------------------------------------------------------------------

CScrollArea::CScrollArea(CPanel* content_, float rowHeight_) : CScrollView(content_), rowHeight(rowHeight_)
{
    if (!(rowHeight > 0.0f) || !std::isfinite(rowHeight)) {
        TRACE_VALUE(float, rowHeight);
        ReportFailure();
        rowHeight = 1.0f;
    }
}

CPoint2 CScrollArea::ScrollToContent(float x, float y) const { return CPoint2(x, y * rowHeight); }

CRectF CScrollArea::ContentToScroll(float x, float y) const
{
    return CRectF(std::floor(x), std::floor(y / rowHeight), std::ceil(x), std::ceil(y / rowHeight));
}

bool CScrollArea::DependsOnAvailableSize() const { return true; }
