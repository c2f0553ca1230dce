#include "ui/ScrollPane.h"

#include <algorithm>
#include <cmath>

#include "foundation/CrashLog.h"
#include "graphics/GraphicsContext.h"
#include "ui/UIFontMetrics.h"

namespace {

const uint32_t kSelectedFill = 0xFFFFEEDF;
const uint32_t kFocusOutline = 0xFF808080;
const uint32_t kTextColor = 0xFF000000;
const float kBorder = 2.0f;

// Sorting compares the texts' code units, case-sensitive.
bool Follows(const std::wstring& a, const std::wstring& b) { return a.compare(b) > 0; }

}  // namespace

// ---- The list panel ------------------------------------------------------------------

CScrollClient::CScrollClient(bool sorted_, CScrollPane* pane_)
    : CPanel(true, false), sorted(sorted_), pane(pane_), scene(true, 1)
{
    takesFocus = true;
    scene.items[0] = this;
    SetScene(&scene);
}

int CScrollClient::GetSelectedRow() const
{
    for (size_t row = 0; row < order.size(); ++row)
        if (order[row] == pane->selected)
            return int(row);
    return -1;
}

void CScrollClient::SelectRow(int row)
{
    if (row < 0 || size_t(row) >= order.size())
        return;
    pane->Select(order[size_t(row)]);
}

void CScrollClient::Draw(CGraphicsContext& context)
{
    const float rowHeight = CScrollPane::GetRowHeight();
    const float width = std::max(bounds.Width(), contentWidth);
    const int selectedRow = GetSelectedRow();
    context.m_state.font = CScrollPane::GetListFont();
    context.m_state.textColor = kTextColor;
    context.m_state.textAlignH = 0;
    context.m_state.textAlignV = 4;
    for (size_t row = 0; row < order.size(); ++row) {
        const int item = order[row];
        if (item < 0 || size_t(item) >= pane->items.size())
            continue;
        const float top = float(row) * rowHeight;
        const bool isSelected = int(row) == selectedRow;
        if (isSelected) {
            context.m_state.fillColor = kSelectedFill;
            context.BeginPath(false, true, 1);
            context.AddRect(CRectF(0.0f, top, width, top + rowHeight));
            context.EndPath();
        }
        // The text is drawn on a box of the fill colour.
        context.m_state.fillColor = isSelected ? kSelectedFill : scene.background;
        context.DrawText(pane->items[size_t(item)], 2.0f, top + rowHeight / 2.0f);
    }
    if (hasFocus && selectedRow >= 0) {
        const float top = float(selectedRow) * rowHeight;
        context.m_state.penColor = kFocusOutline;
        context.m_state.penWidth = 1.0f;
        context.BeginPath(true, false, 1);
        context.AddRect(CRectF(0.5f, top + 0.5f, width - 0.5f, top + rowHeight - 0.5f));
        context.EndPath();
    }
}

void CScrollClient::Refresh()
{
    MakeUniqueKey();
    Invalidate();
}

void CScrollClient::SetBounds(const CRectF& rect)
{
    CPanel::SetBounds(rect);
    Refresh();
}

void CScrollClient::OnSetFocus() { Refresh(); }

void CScrollClient::OnKillFocus() { Refresh(); }

bool CScrollClient::WantsAllKeys(int key)
{
    switch (key) {
    case kPanelKeyUp:
    case kPanelKeyDown:
    case kPanelKeyLeft:
    case kPanelKeyRight:
    case kPanelKeyHome:
    case kPanelKeyEnd:
    case kPanelKeyPageUp:
    case kPanelKeyPageDown:
        return true;
    default:
        return false;
    }
}

void CScrollClient::OnKeyDown(int key, bool control, bool shift)
{
    if (control || shift || order.empty())
        return;
    const int count = int(order.size());
    const int row = GetSelectedRow();
    // A page is the whole rows the view shows; at least one, so that paging
    // in a very low view still moves.
    const int pageRows = std::max(1, int(bounds.Height() / CScrollPane::GetRowHeight()));
    int next;
    switch (key) {
    case kPanelKeyUp:
    case kPanelKeyLeft:
        next = row - 1;
        break;
    case kPanelKeyDown:
    case kPanelKeyRight:
        next = row + 1;
        break;
    case kPanelKeyHome:
        next = 0;
        break;
    case kPanelKeyEnd:
        next = count - 1;
        break;
    case kPanelKeyPageUp:
        next = row - pageRows;
        break;
    case kPanelKeyPageDown:
        next = row + pageRows;
        break;
    default:
        return;
    }
    next = std::max(0, std::min(next, count - 1));
    if (next != row)
        SelectRow(next);
}

void CScrollClient::OnChar(wchar_t ch)
{
    const auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c; };
    const wchar_t typed = lower(ch);
    const int count = int(order.size());
    const int row = GetSelectedRow();
    for (int i = 1; i <= count; ++i) {
        const int candidate = (row + i + count) % count;
        const int item = order[size_t(candidate)];
        if (item < 0 || size_t(item) >= pane->items.size())
            continue;
        const std::wstring& text = pane->items[size_t(item)];
        if (!text.empty() && lower(text[0]) == typed) {
            if (candidate != row)
                SelectRow(candidate);
            return;
        }
    }
}

void CScrollClient::OnMouseDown(const CMouseEvent& event)
{
    const float y = event.groundPoint.y;
    if (!(y >= 0.0f))
        return;
    const float row = std::trunc(y / CScrollPane::GetRowHeight());
    if (!(row < float(order.size())))
        return;
    // A quick second press on the selected row opens its item, as a
    // double-click does in a list box.
    const bool again = event.quick && int(row) == GetSelectedRow();
    SelectRow(int(row));
    if (again)
        pane->onActivate(pane);
}

// ---- The frame -----------------------------------------------------------------------

CScrollFrame::CBorder::CBorder(CScrollFrame* frame, bool horizontal_)
    : CPanel(true, false), scene(true, 1), horizontal(horizontal_)
{
    scene.items[0] = frame;
    SetScene(&scene);
}

void CScrollFrame::CBorder::Measure()
{
    const int across = int(kBorder);
    if (horizontal) {
        minWidth = preferredWidth = maxWidth = 0;
        widthStretch = 1;
        minHeight = preferredHeight = maxHeight = across;
        heightStretch = 0;
    } else {
        minWidth = preferredWidth = maxWidth = across;
        widthStretch = 0;
        minHeight = preferredHeight = maxHeight = 0;
        heightStretch = 1;
    }
}

CScrollFrame::CScrollFrame(CWindow* framed_)
    : CForwardingWindow(&outer), framed(framed_), top(this, true), left(this, false), right(this, false),
      bottom(this, true), outer(1, 3), middle(3, 1)
{
    outer.SetCell(0, 0, &top);
    outer.SetCell(0, 1, &middle);
    outer.SetCell(0, 2, &bottom);
    middle.SetCell(0, 0, &left);
    middle.SetCell(1, 0, framed);
    middle.SetCell(2, 0, &right);
}

void CScrollFrame::Draw(CGraphicsContext& context)
{
    const float w = bounds.Width();
    const float h = bounds.Height();
    const struct
    {
        uint32_t color;
        CPoint2 points[3];
    } lines[] = {
        {0xFF99A8AC, {{0.5f, h}, {0.5f, 0.5f}, {w, 0.5f}}},
        {0xFF646F71, {{1.5f, h}, {1.5f, 1.5f}, {w, 1.5f}}},
        {0xFFFFFFFF, {{0.0f, h - 0.5f}, {w - 0.5f, h - 0.5f}, {w - 0.5f, 0.0f}}},
        {0xFFE2EFF1, {{1.0f, h - 1.5f}, {w - 1.5f, h - 1.5f}, {w - 1.5f, 1.0f}}},
    };
    context.m_state.penWidth = 1.0f;
    for (const auto& line : lines) {
        context.m_state.penColor = line.color;
        context.BeginLine(1);
        context.MoveTo(line.points[0]);
        context.LineTo(line.points[1]);
        context.LineTo(line.points[2]);
        context.EndPath();
    }
}

void CScrollFrame::TakeInnerLimits()
{
    CopyLimits(outer);
    widthStretch = 0;
    heightStretch = 0;
}

bool CScrollFrame::DependsOnAvailableSize() const { return framed && framed->DependsOnAvailableSize(); }

void CScrollFrame::SetBounds(const CRectF& rect)
{
    CWindow::SetBounds(rect);
    const float w = bounds.Width();
    const float h = bounds.Height();
    // The outline changes with the size.
    CFieldWriter& key = BeginKey();
    key.WriteFloat24(w);
    key.WriteFloat24(h);
    // Scene y grows upwards: each strip looks at its own part of the outline.
    const struct
    {
        CBorder* border;
        float x;
        float y;
    } strips[] = {{&top, 0.0f, 0.0f}, {&left, 0.0f, -kBorder}, {&right, w - kBorder, -kBorder},
                  {&bottom, 0.0f, -(h - kBorder)}};
    for (const auto& strip : strips) {
        CTransform transform;
        transform.SetTranslation(strip.x, strip.y, 0.0f);
        strip.border->SetSceneTransform(transform);
        strip.border->Invalidate();
    }
    outer.SetBounds(bounds);
}

// ---- The pane ---------------------------------------------------------------------------

CScrollPane::CScrollPane(bool sorted)
    : CForwardingWindow(&frame), client(sorted, this), area(&client, GetRowHeight()), frame(&area)
{
}

const CFontMetrics& CScrollPane::GetListFont()
{
    static const CFontMetrics font = [] {
        CFontMetrics metrics(2048.0f, false);
        const std::wstring sample = L"etaonirsh";
        const float modelWidth = metrics.GetStringWidth(sample);
        const int uiWidth = GetTextWidth(sample);
        // The GDI canvas draws text at a whole pixel height and places each
        // letter by the metrics' advances: at a size between two whole
        // pixels the letters of the smaller size stood spread apart.
        if (modelWidth > 0.0f && uiWidth > 0)
            metrics.size = std::max(1.0f, std::round(2048.0f * float(uiWidth) / modelWidth));
        else
            ReportFailure();
        return metrics;
    }();
    return font;
}

float CScrollPane::GetRowHeight()
{
    static const float height = [] {
        const CFontMetrics& font = GetListFont();
        return std::ceil(std::max(font.GetLineSpacing(), font.GetHeight() + 2.0f));
    }();
    return height;
}

int CScrollPane::AddItem(const std::wstring& text)
{
    items.push_back(text);
    return int(items.size()) - 1;
}

void CScrollPane::SetLeastRoom(float width, int rows)
{
    leastWidth = width;
    leastRows = rows;
}

void CScrollPane::SetUp()
{
    TRACE_POINT();
    const int count = int(items.size());
    std::vector<int>& order = client.order;
    order.clear();
    for (int i = 0; i < count; ++i)
        order.push_back(i);
    if (client.sorted) {
        // Pairwise exchange: equal texts keep their order.
        for (int pass = 0; pass + 1 < count; ++pass)
            for (int i = 0; i + 1 < count - pass; ++i)
                if (Follows(items[size_t(order[size_t(i)])], items[size_t(order[size_t(i + 1)])]))
                    std::swap(order[size_t(i)], order[size_t(i + 1)]);
    }
    float widest = 0.0f;
    for (const std::wstring& text : items)
        widest = std::max(widest, GetListFont().GetStringWidth(text));
    client.contentWidth = std::ceil(widest + 4.0f);
    // An empty list keeps the room of one row, so that its extent is not
    // empty.
    const float rows = float(std::max(count, 1));
    area.SetExtent(CRectF(0.0f, 0.0f, client.contentWidth, rows * GetRowHeight()));
    // The area measures by its content size; the rows fill the rest.
    area.contentWidth = std::max(client.contentWidth, leastWidth);
    area.contentHeight = std::max(rows, float(leastRows)) * GetRowHeight();
    area.fillWidth = true;
    area.UpdateLayout();
    area.fillHeight = true;
    area.UpdateLayout();
    ready = true;
}

void CScrollPane::Select(int index)
{
    TRACE_VALUE(int32_t, index);
    if (index < 0 || size_t(index) >= items.size()) {
        TRACE_VALUE(int32_t, int32_t(items.size()));
        ReportFailure();
        return;
    }
    selected = index;
    if (ready) {
        ShowSelected();
        client.MakeUniqueKey();
        client.Invalidate();
    }
}

void CScrollPane::ShowSelected()
{
    const int row = client.GetSelectedRow();
    if (row < 0)
        return;
    const float rowHeight = GetRowHeight();
    area.EnsureVisible(CRectF(0.0f, float(row) * rowHeight, 0.0f, float(row + 1) * rowHeight));
}

void CScrollPane::MeasureWithin(float width, float height)
{
    if (!ready)
        SetUp();
    CForwardingWindow::MeasureWithin(width, height);
}

void CScrollPane::Measure()
{
    if (!ready)
        SetUp();
    CForwardingWindow::Measure();
}

void CScrollPane::SetBounds(const CRectF& rect)
{
    CForwardingWindow::SetBounds(rect);
    if (ready)
        ShowSelected();
}
