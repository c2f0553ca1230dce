#include "graphics/TextPiece.h"

#include <algorithm>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"

namespace FmtText {

namespace {

const uint32_t kOpaqueBlack = 0xFF000000;
// The selection box behind black text.
const uint32_t kSelectionBoxColor = 0xFFF1CDA8;

// A range [start, end) cut to [low, high) and moved by -low; empty ranges
// become (0, 0).
void CutRange(int start, int end, int low, int high, int& outStart, int& outEnd)
{
    outStart = std::max(start, low) - low;
    outEnd = std::min(end, high) - low;
    if (outStart >= outEnd)
        outStart = outEnd = 0;
}

}  // namespace

float GetCellAdvance(Cell cell)
{
    const wchar_t ch = CellChar(cell);
    return CellAttributes(cell).GetCharAdvance(ch == kParagraphMark ? kSpace : ch);
}

CTextPiece::CTextPiece(uint32_t textColor_, uint32_t backgroundColor_)
    : textColor(textColor_), backgroundColor(backgroundColor_)
{
}

void CTextPiece::SetTextColor(uint32_t color)
{
    if (color != textColor) {
        textColor = color;
        dirty = true;
    }
}

void CTextPiece::SetBackgroundColor(uint32_t color)
{
    if (color != backgroundColor) {
        backgroundColor = color;
        dirty = true;
    }
}

void CTextPiece::SetSelectedRange(int start, int end)
{
    int s = 0;
    int e = 0;
    CutRange(start, end, 0, int(cells.size()), s, e);
    if (s != selectionStart || e != selectionEnd) {
        selectionStart = s;
        selectionEnd = e;
        dirty = true;
    }
}

std::vector<float> CTextPiece::GetPositions() const
{
    std::vector<float> positions(cells.size() + 1);
    float x = alignmentOffset;
    size_t tab = 0;
    for (size_t i = 0; i < cells.size(); ++i) {
        positions[i] = x;
        if (CellChar(cells[i]) == kTab)
            x += tab < tabAdvances.size() ? tabAdvances[tab++] : 0.0f;
        else
            x += GetCellAdvance(cells[i]);
    }
    positions[cells.size()] = x;
    return positions;
}

// ---- Filling ------------------------------------------------------------------------

void CTextPiece::Fill(const CParagraphFormat& format, CTextPiece& next)
{
    const Cells nextBefore = next.cells;
    const int nextSelectionStart = next.selectionStart;
    const int nextSelectionEnd = next.selectionEnd;

    const int ownCount = int(cells.size());
    cells.insert(cells.end(), next.cells.begin(), next.cells.end());
    if (nextSelectionStart < nextSelectionEnd) {
        if (selectionStart >= selectionEnd)
            selectionStart = ownCount + nextSelectionStart;
        selectionEnd = ownCount + nextSelectionEnd;
    }

    const int kept = int(FindBreak(format));
    const int total = int(cells.size());
    next.cells.assign(cells.begin() + kept, cells.end());
    cells.resize(size_t(kept));
    CutRange(selectionStart, selectionEnd, kept, total, next.selectionStart, next.selectionEnd);
    CutRange(selectionStart, selectionEnd, 0, kept, selectionStart, selectionEnd);
    if (next.cells != nextBefore || next.selectionStart != nextSelectionStart ||
        next.selectionEnd != nextSelectionEnd)
        next.dirty = true;

    alignmentOffset = 0.0f;
    if (format.alignment != kAlignLeft)
        Align(format);

    highlightLeft = highlightRight = 0.0f;
    if (selectionStart < selectionEnd) {
        const std::vector<float> positions = GetPositions();
        highlightLeft = positions[size_t(selectionStart)];
        highlightRight = positions[size_t(selectionEnd)];
    }
    MeasureHeight();
    dirty = false;
    MakeUniqueKey();
}

size_t CTextPiece::FindBreak(const CParagraphFormat& format)
{
    const float wrap = float(format.wrapWidth);
    std::vector<float> tabs;
    float x = 0.0f;
    float visible = 0.0f;
    // The last candidate line: cells kept, widths, tabs in it.
    size_t keep = 0;
    float keptFull = 0.0f;
    float keptVisible = 0.0f;
    size_t keptTabs = 0;
    // Once a blank has ended a candidate, only blanks before a word (and the
    // last cell) end candidates, and the first word that overflows stops
    // the scan.
    bool brokeAtBlank = false;
    const size_t count = cells.size();
    for (size_t i = 0; i < count; ++i) {
        const wchar_t ch = CellChar(cells[i]);
        if (ch == kTab) {
            const float space = CellAttributes(cells[i]).GetCharAdvance(kSpace);
            tabs.push_back(format.GetTabEnd(x, space) - x);
            x += tabs.back();
        } else {
            x += GetCellAdvance(cells[i]);
        }
        if (!IsBlank(ch))
            visible = x;
        if (wrap == 0.0f)
            continue;
        if (visible > wrap && (brokeAtBlank || i > 0))
            break;
        const bool candidate =
            i == 0 || !brokeAtBlank || i + 1 == count ||
            (IsBlank(ch) && CellChar(cells[i + 1]) != kTab && !IsBlank(CellChar(cells[i + 1])));
        if (candidate) {
            keep = i + 1;
            keptFull = x;
            keptVisible = visible;
            keptTabs = tabs.size();
            brokeAtBlank = brokeAtBlank || IsBlank(ch);
        }
    }
    if (wrap == 0.0f) {
        keep = count;
        keptFull = x;
        keptVisible = visible;
        keptTabs = tabs.size();
    }
    tabs.resize(keptTabs);
    tabAdvances = tabs;
    fullWidth = keptFull;
    visibleWidth = keptVisible;
    return keep;
}

void CTextPiece::Align(const CParagraphFormat& format)
{
    if (format.alignment != kAlignCentre && format.alignment != kAlignRight) {
        TRACE_VALUE(int32_t, format.alignment);
        ReportFailure();
        return;
    }
    const float divisor = format.alignment == kAlignCentre ? 2.0f : 1.0f;
    const float offset = (std::max(format.layoutWidth, visibleWidth) - visibleWidth) / divisor;
    fullWidth += offset;
    if (tabAdvances.empty()) {
        alignmentOffset = offset;
        return;
    }
    // The visible cells in segments between tabs: the unaligned start and
    // end of each.
    const std::vector<float> positions = GetPositions();
    size_t lastVisible = 0;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (!IsBlank(CellChar(cells[i])))
            lastVisible = i;
    }
    std::vector<float> starts(1, positions[0]);
    std::vector<float> ends;
    for (size_t i = 0; i <= lastVisible; ++i) {
        const wchar_t ch = CellChar(cells[i]);
        if (ch == kParagraphMark) {
            ReportFailure();
        } else if (ch == kTab) {
            ends.push_back(positions[i]);
            starts.push_back(positions[i + 1]);
        }
    }
    ends.push_back(positions[lastVisible + 1]);
    // The last segment moves by the offset; every earlier one by its tab's
    // share, so that with right alignment it ends where its tab ended.
    const size_t segments = starts.size();
    std::vector<float> shifts(segments, offset);
    for (size_t k = 0; k + 1 < segments; ++k)
        shifts[k] = tabAdvances[k] / divisor;
    for (size_t k = 0; k + 1 < segments; ++k)
        tabAdvances[k] = (starts[k + 1] + shifts[k + 1]) - (ends[k] + shifts[k]);
    alignmentOffset = shifts[0];
}

void CTextPiece::MeasureHeight()
{
    int32_t largest = 0;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (CellChar(cells[i]) != kParagraphMark || i == 0)
            largest = std::max(largest, WholeSize(CellAttributes(cells[i])));
    }
    const CFontMetrics font(float(largest), false);
    height = font.GetLineSpacing();
    baseline = font.GetAscent();
}

// ---- Queries --------------------------------------------------------------------------

int CTextPiece::HitTest(float x) const
{
    const std::vector<float> positions = GetPositions();
    const int count = int(cells.size());
    int offset = count;
    for (int i = 0; i < count; ++i) {
        const float left = positions[size_t(i)];
        const float right = positions[size_t(i) + 1];
        if (right > x) {
            offset = (right - x) > (x - left) ? i : i + 1;
            break;
        }
    }
    if (offset > 0 && CellChar(cells[size_t(offset) - 1]) == kParagraphMark)
        --offset;
    return offset;
}

void CTextPiece::GetCharExtent(int offset, float& left, float& right) const
{
    const std::vector<float> positions = GetPositions();
    const size_t i = size_t(std::max(0, std::min(offset, int(cells.size()))));
    left = positions[i];
    right = positions[std::min(i + 1, cells.size())];
}

// ---- Drawing --------------------------------------------------------------------------

void CTextPiece::Draw(CGraphicsContext& context)
{
    CGraphicsState& state = context.m_state;
    state.textAlignH = 0;
    state.textAlignV = 5;
    state.fillColor = backgroundColor;
    state.textColor = textColor;
    const bool blackText = textColor == kOpaqueBlack;
    const uint32_t boxColor = blackText ? kSelectionBoxColor : textColor;
    const uint32_t selectedTextColor = blackText ? kOpaqueBlack : backgroundColor;

    if (highlightRight > highlightLeft) {
        state.fillColor = boxColor;
        context.BeginPath(false, true, 1);
        context.AddRect(CRectF(highlightLeft, 0.0f, highlightRight, height));
        context.EndPath();
        state.fillColor = backgroundColor;
    }

    const std::vector<float> positions = GetPositions();
    const size_t count = cells.size();
    auto isSelected = [this](size_t i) { return int(i) >= selectionStart && int(i) < selectionEnd; };
    auto endsRuns = [](wchar_t ch) { return ch == kTab || ch == kParagraphMark; };
    for (size_t i = 0; i < count;) {
        if (endsRuns(CellChar(cells[i]))) {
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (end < count && !endsRuns(CellChar(cells[end])) &&
               CellAttributeId(cells[end]) == CellAttributeId(cells[i]) && isSelected(end) == isSelected(i))
            ++end;
        size_t shown = end;
        while (shown > i && CellChar(cells[shown - 1]) == kSpace)
            --shown;
        if (shown > i) {
            std::wstring text;
            for (size_t k = i; k < shown; ++k)
                text.push_back(CellChar(cells[k]));
            state.font = CellAttributes(cells[i]);
            if (isSelected(i)) {
                state.fillColor = boxColor;
                state.textColor = selectedTextColor;
            }
            context.DrawText(text, positions[i], baseline);
            state.fillColor = backgroundColor;
            state.textColor = textColor;
        }
        i = end;
    }
}

}  // namespace FmtText
