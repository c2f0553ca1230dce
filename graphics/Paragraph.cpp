#include "graphics/Paragraph.h"

#include <algorithm>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"

namespace FmtText {

CParagraph::CParagraph(const CParagraphFormat& format, const CFontMetrics& markAttributes, uint32_t textColor,
                       uint32_t backgroundColor)
    : m_textColor(textColor), m_backgroundColor(backgroundColor), m_format(format)
{
    m_lines.push_back(std::make_unique<CTextPiece>(textColor, backgroundColor));
    m_lines.back()->cells.push_back(MakeCell(kParagraphMark, markAttributes));
}

// ---- Characters -------------------------------------------------------------------------

bool CParagraph::IsCharOffset(int offset) const
{
    if (offset >= 0 && offset < m_length)
        return true;
    TRACE_VALUE(int32_t, offset);
    ReportFailure();
    return false;
}

size_t CParagraph::FindLine(int offset, int& inLine) const
{
    // Callers mostly walk the characters in order: the search goes on from
    // the line found last unless the offset lies before it.
    size_t i = 0;
    int start = 0;
    if (m_foundLine < m_lines.size() && offset >= m_foundStart) {
        i = m_foundLine;
        start = m_foundStart;
    }
    for (; i < m_lines.size(); ++i) {
        const int count = int(m_lines[i]->cells.size());
        if (offset < start + count) {
            inLine = offset - start;
            m_foundLine = i;
            m_foundStart = start;
            return i;
        }
        start += count;
    }
    inLine = int(m_lines.back()->cells.size());
    return m_lines.size() - 1;
}

wchar_t CParagraph::GetCharAt(int offset) const
{
    if (!IsCharOffset(offset))
        return 0;
    int inLine = 0;
    const size_t line = FindLine(offset, inLine);
    return CellChar(m_lines[line]->cells[size_t(inLine)]);
}

CFontMetrics CParagraph::GetAttributesAt(int offset) const
{
    if (!IsCharOffset(offset))
        return CFontMetrics();
    int inLine = 0;
    const size_t line = FindLine(offset, inLine);
    return CellAttributes(m_lines[line]->cells[size_t(inLine)]);
}

void CParagraph::SetAttributesAt(const CFontMetrics& attributes, int offset)
{
    if (!IsCharOffset(offset))
        return;
    int inLine = 0;
    CTextPiece& line = *m_lines[FindLine(offset, inLine)];
    InternAttributes(line.cells[size_t(inLine)], attributes);
    line.dirty = true;
    m_needsLayout = true;
}

void CParagraph::InsertChar(wchar_t ch, const CFontMetrics& attributes, int offset)
{
    InsertCells(Cells(1, MakeCell(ch, attributes)), offset);
}

void CParagraph::InsertText(const std::wstring& text, const CFontMetrics& attributes, int offset)
{
    Cells cells;
    cells.reserve(text.size());
    const Cell attributeCell = MakeCell(0, attributes);
    for (wchar_t ch : text)
        cells.push_back((attributeCell & 0xFFFF0000) | Cell(uint16_t(ch)));
    InsertCells(cells, offset);
}

void CParagraph::InsertCells(const Cells& cells, int offset)
{
    if (!IsCharOffset(offset) || cells.empty())
        return;
    int inLine = 0;
    CTextPiece& line = *m_lines[FindLine(offset, inLine)];
    line.cells.insert(line.cells.begin() + inLine, cells.begin(), cells.end());
    ForgetFoundLine();
    line.dirty = true;
    m_needsLayout = true;
    const int count = int(cells.size());
    m_length += count;
    if (m_markedStart < m_markedEnd) {
        if (offset <= m_markedStart)
            m_markedStart += count;
        if (offset < m_markedEnd)
            m_markedEnd += count;
    }
    DistributeMarkedRange();
}

Cells CParagraph::ExtractCells(int from, int to) const
{
    CheckRange(from, to, m_length);
    Cells out;
    out.reserve(size_t(to - from));
    int start = 0;
    for (const auto& line : m_lines) {
        const int count = int(line->cells.size());
        const int low = std::max(from, start);
        const int high = std::min(to, start + count);
        for (int i = low; i < high; ++i)
            out.push_back(line->cells[size_t(i - start)]);
        start += count;
    }
    return out;
}

std::wstring CParagraph::GetText(int from, int to) const
{
    std::wstring text;
    for (Cell cell : ExtractCells(from, to))
        text.push_back(CellChar(cell));
    return text;
}

// ---- Marked range ----------------------------------------------------------------------

void CParagraph::SetMarkedRange(int from, int to)
{
    m_markedStart = std::max(0, std::min(from, m_length));
    m_markedEnd = std::max(m_markedStart, std::min(to, m_length));
    if (m_markedStart == m_markedEnd)
        m_markedStart = m_markedEnd = 0;
    DistributeMarkedRange();
}

void CParagraph::DistributeMarkedRange()
{
    int start = 0;
    for (const auto& line : m_lines) {
        line->SetSelectedRange(m_markedStart - start, m_markedEnd - start);
        m_needsLayout = m_needsLayout || line->dirty;
        start += int(line->cells.size());
    }
}

void CParagraph::EraseMarked()
{
    if (m_markedEnd > m_length - 1) {
        TRACE_VALUE(int32_t, m_markedEnd);
        ReportFailure();
        m_markedEnd = m_length - 1;
    }
    int start = 0;
    for (const auto& line : m_lines) {
        const int count = int(line->cells.size());
        const int low = std::max(m_markedStart, start) - start;
        const int high = std::min(m_markedEnd, start + count) - start;
        if (low < high) {
            line->cells.erase(line->cells.begin() + low, line->cells.begin() + high);
            line->dirty = true;
            m_needsLayout = true;
        }
        start += count;
    }
    ForgetFoundLine();
    m_length -= std::max(0, m_markedEnd - m_markedStart);
    m_markedStart = m_markedEnd = 0;
    DistributeMarkedRange();
}

// ---- Format and colours -----------------------------------------------------------------

void CParagraph::SetFormat(const CParagraphFormat& format)
{
    m_format = format;
    m_allLinesDirty = true;
    m_needsLayout = true;
}

void CParagraph::SetLayoutWidth(float width)
{
    if (width == m_format.layoutWidth)
        return;
    m_format.layoutWidth = width;
    if (m_format.alignment != kAlignLeft) {
        m_allLinesDirty = true;
        m_needsLayout = true;
    }
}

void CParagraph::SetTextColor(uint32_t color)
{
    m_textColor = color;
    for (const auto& line : m_lines) {
        line->SetTextColor(color);
        m_needsLayout = m_needsLayout || line->dirty;
    }
}

void CParagraph::SetBackgroundColor(uint32_t color)
{
    m_backgroundColor = color;
    for (const auto& line : m_lines) {
        line->SetBackgroundColor(color);
        m_needsLayout = m_needsLayout || line->dirty;
    }
}

// ---- Layout --------------------------------------------------------------------------------

void CParagraph::AddChange(const CRectF& rect) { m_changed.Union(m_changed, rect); }

void CParagraph::Layout()
{
    if (!m_needsLayout && !m_allLinesDirty)
        return;
    if (m_allLinesDirty) {
        AddChange(CRectF(0.0f, 0.0f, m_width, m_height));
    } else {
        float top = 0.0f;
        for (const auto& line : m_lines) {
            if (line->dirty)
                AddChange(CRectF(0.0f, top, line->fullWidth, top + line->height));
            top += line->height;
        }
    }
    m_height = 0.0f;
    m_width = 0.0f;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const bool nextDirty = i + 1 < m_lines.size() && m_lines[i + 1]->dirty;
        if (m_allLinesDirty || m_lines[i]->dirty || nextDirty) {
            Reflow(i);
            AddChange(CRectF(0.0f, m_height, m_lines[i]->fullWidth, m_height + m_lines[i]->height));
        }
        m_height += m_lines[i]->height;
        m_width = std::max(m_width, m_lines[i]->fullWidth);
        m_naturalWidth = m_lines[i]->visibleWidth;
    }
    if (m_lines.size() > 1)
        m_naturalWidth = float(m_format.wrapWidth);
    m_needsLayout = false;
    m_allLinesDirty = false;
    MakeUniqueKey();
}

void CParagraph::Reflow(size_t index)
{
    ForgetFoundLine();
    CTextPiece& line = *m_lines[index];
    while (index + 1 < m_lines.size()) {
        line.Fill(m_format, *m_lines[index + 1]);
        if (!m_lines[index + 1]->cells.empty())
            return;
        m_lines.erase(m_lines.begin() + ptrdiff_t(index + 1));
    }
    auto extra = std::make_unique<CTextPiece>(m_textColor, m_backgroundColor);
    line.Fill(m_format, *extra);
    if (!extra->cells.empty())
        m_lines.push_back(std::move(extra));
}

float CParagraph::GetHeight()
{
    Layout();
    return m_height;
}

float CParagraph::GetWidth()
{
    Layout();
    return m_width;
}

float CParagraph::GetNaturalWidth()
{
    Layout();
    return m_naturalWidth;
}

int CParagraph::GetLineCount()
{
    Layout();
    return int(m_lines.size());
}

CRectF CParagraph::TakeChangedRect()
{
    Layout();
    const CRectF changed = m_changed;
    m_changed = CRectF();
    return changed;
}

// ---- Geometry -------------------------------------------------------------------------------

CRectF CParagraph::GetCharRect(int offset)
{
    Layout();
    if (offset < 0 || offset > m_length) {
        TRACE_VALUE(int32_t, offset);
        ReportFailure();
        offset = std::max(0, std::min(offset, m_length));
    }
    int inLine = 0;
    const size_t index = FindLine(offset, inLine);
    float top = 0.0f;
    for (size_t i = 0; i < index; ++i)
        top += m_lines[i]->height;
    float left = 0.0f;
    float right = 0.0f;
    m_lines[index]->GetCharExtent(inLine, left, right);
    return CRectF(left, top, right, top + m_lines[index]->height);
}

int CParagraph::HitTest(float x, float y, bool& atLineEnd)
{
    Layout();
    if (!(y >= 0.0f && y < m_height)) {
        TRACE_VALUE(float, y);
        ReportFailure();
    }
    atLineEnd = false;
    float top = 0.0f;
    int start = 0;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const CTextPiece& line = *m_lines[i];
        const bool last = i + 1 == m_lines.size();
        if (y < top + line.height || last) {
            const int inLine = line.HitTest(x);
            atLineEnd = !last && inLine == int(line.cells.size());
            return start + inLine;
        }
        top += line.height;
        start += int(line.cells.size());
    }
    return start;
}

// ---- Drawing ---------------------------------------------------------------------------------

void CParagraph::Draw(CGraphicsContext& context)
{
    Layout();
    const CTransform placement = context.m_state.matrix;
    for (const auto& line : m_lines) {
        context.DrawDrawable(*line, 0, 0);
        context.m_state.matrix.TranslateLocal(CVector3(0.0f, -line->height, 0.0f));
    }
    context.m_state.matrix = placement;
}

}  // namespace FmtText
