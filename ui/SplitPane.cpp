#include "ui/SplitPane.h"

#include <algorithm>

#include "foundation/CrashLog.h"
#include "foundation/Rgba.h"
#include "ui/Cursors.h"

namespace {

constexpr uint32_t kDarkening = 0x40000000;
constexpr uint32_t kBlack = 0xFF000000;

int GetDividerWidth() { return CSpacer::GapH4()->minWidth; }

}  // namespace

// ---- Divider ----------------------------------------------------------------------

CSplitPane::CDivider::CDivider(CSplitPane* splitPane_, uint32_t color) : CPanel(true, false), splitPane(splitPane_)
{
    ownScene.background = color;
    SetScene(&ownScene);
    cursor = &CCursors::GetSizeWE();
}

void CSplitPane::CDivider::Measure()
{
    minWidth = preferredWidth = maxWidth = GetDividerWidth();
    widthStretch = 0;
    minHeight = preferredHeight = maxHeight = 0;
    heightStretch = 1;
}

void CSplitPane::CDivider::OnMouseDown(const CMouseEvent& event)
{
    if (!splitPane)
        return;
    splitPane->dragStart = event.x;
    splitPane->MakeDragLineWindow();
    CDivider& line = splitPane->dragLine;
    line.SetBounds(bounds);
    line.SetVisible(true);
    // Above the panes while it is shown.
    if (line.hwnd)
        SetWindowPos(line.hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CSplitPane::CDivider::OnMouseMove(const CMouseEvent& event)
{
    if (!splitPane || pressState != CPanel::EPressState::kHeld)
        return;
    const float left = splitPane->bounds.left + splitPane->GetDraggedWidth(event.x);
    splitPane->dragLine.SetBounds(CRectF(left, bounds.top, left + bounds.Width(), bounds.bottom));
}

void CSplitPane::CDivider::OnMouseUp(const CMouseEvent& event)
{
    if (!splitPane)
        return;
    TRACE_VALUE(float, event.x);
    const float width = splitPane->GetDraggedWidth(event.x);
    splitPane->dragLine.SetVisible(false);
    splitPane->position = width;
    splitPane->SetBounds(splitPane->bounds);
}

// ---- Split pane -------------------------------------------------------------------

uint32_t CSplitPane::GetDividerColor() { return BlendColorOver(kDarkening, GetButtonFaceColor()); }

CSplitPane::CSplitPane(CWindow* left_, CWindow* right_)
    : left(left_), right(right_), divider(this, GetDividerColor()), dragLine(nullptr, kBlack)
{
    if (!left || !right)
        ReportFailure();
    divider.Measure();
    dragLine.Measure();
    dragLine.visible = false;
}

float CSplitPane::ClampLeftWidth(float wanted, float totalWidth) const
{
    const float most = totalWidth - float(GetDividerWidth()) - float(rightMinWidth);
    return std::max(std::min(wanted, most), float(left->minWidth));
}

float CSplitPane::GetDraggedWidth(float x) const { return ClampLeftWidth(position + (x - dragStart), bounds.Width()); }

void CSplitPane::MeasureWithin(float width, float height)
{
    if (!(width >= 0.0f) || !(height >= 0.0f)) {
        TRACE_VALUE(float, width);
        TRACE_VALUE(float, height);
        ReportFailure();
        width = std::max(width, 0.0f);
        height = std::max(height, 0.0f);
    }
    if (!left || !right)
        return;
    if (position == 0.0f) {
        left->MeasureWithin(width, height);
        position = float(left->minWidth);
    }
    right->MeasureWithin(width, height);
    rightMinWidth = right->minWidth;

    const int dividerWidth = GetDividerWidth();
    const float leftWidth = ClampLeftWidth(position, width);
    left->MeasureWithin(leftWidth, height);
    right->MeasureWithin(std::max(width - leftWidth - float(dividerWidth), float(rightMinWidth)), height);
    divider.Measure();

    minWidth = int(leftWidth) + dividerWidth + rightMinWidth;
    preferredWidth = int(leftWidth) + dividerWidth + right->preferredWidth;
    maxWidth = 0;
    widthStretch = 1;
    minHeight = right->minHeight;
    preferredHeight = std::max(left->minHeight, right->preferredHeight);
    maxHeight = 0;
    heightStretch = 1;
}

void CSplitPane::Measure() { MeasureWithin(0.0f, 0.0f); }

void CSplitPane::SetBounds(const CRectF& rect)
{
    TRACE_VALUE(CRectF, rect);
    if (rect.Width() < float(minWidth) || rect.Height() < float(minHeight)) {
        TRACE_VALUE(int32_t, minWidth);
        TRACE_VALUE(int32_t, minHeight);
        ReportFailure();
    }
    // Laid out even when the rectangle stays: a drag moves the divider
    // within the same bounds.
    bounds = rect;
    if (!left || !right)
        return;
    position = ClampLeftWidth(position, rect.Width());
    const float dividerLeft = rect.left + position;
    const float rightLeft = dividerLeft + float(GetDividerWidth());
    left->SetBounds(CRectF(rect.left, rect.top, dividerLeft, rect.bottom));
    divider.SetBounds(CRectF(dividerLeft, rect.top, rightLeft, rect.bottom));
    right->SetBounds(CRectF(rightLeft, rect.top, std::max(rect.right, rightLeft), rect.bottom));
    dragLine.SetVisible(false);
    dragLine.SetBounds(CRectF(dividerLeft, rect.top, rightLeft, rect.top + 1.0f));
}

void CSplitPane::SetVisible(bool newVisible)
{
    if (!newVisible)
        ReportFailure();
}

void CSplitPane::CollectCaptions(CNativeWindow& owner)
{
    if (left)
        left->CollectCaptions(owner);
    if (right)
        right->CollectCaptions(owner);
}

void CSplitPane::CreateNativeWindow(CNativeWindow& owner)
{
    m_owner = &owner;
    if (left)
        left->CreateNativeWindow(owner);
    divider.CreateNativeWindow(owner);
    if (right)
        right->CreateNativeWindow(owner);
    closed = false;
}

void CSplitPane::MakeDragLineWindow()
{
    if (m_owner && !dragLine.hwnd)
        dragLine.CreateNativeWindow(*m_owner);
}

bool CSplitPane::HasNativeWindow() const { return left && left->HasNativeWindow(); }

void CSplitPane::SetDirty()
{
    if (left)
        left->SetDirty();
    divider.SetDirty();
    if (right)
        right->SetDirty();
    dragLine.SetDirty();
    // The owner's window goes too: a drag line still to come needs a new one.
    m_owner = nullptr;
    CWindow::SetDirty();
}
