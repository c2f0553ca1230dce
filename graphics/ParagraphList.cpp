#include "graphics/ParagraphList.h"

#include <algorithm>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

using FmtText::CParagraph;

CParagraphList::CParagraphList() : m_cursor(m_paragraphs.end()) {}

int CParagraphList::CurrentLength() const { return IsValid() ? (*m_cursor)->GetLength() : 0; }

int CParagraphList::GetLength() const { return m_charsBefore + CurrentLength() + m_charsAfter; }

float CParagraphList::GetHeight()
{
    Refresh();
    return float(m_heightBefore + (IsValid() ? m_currentHeight : 0.0) + m_heightAfter);
}

float CParagraphList::GetCurrentBottom()
{
    Refresh();
    return float(m_heightBefore + (IsValid() ? m_currentHeight : 0.0));
}

int CParagraphList::OffsetInCurrent(int pos) const
{
    return std::max(0, std::min(pos - m_charsBefore, CurrentLength()));
}

CParagraph& CParagraphList::Current()
{
    if (IsValid())
        return **m_cursor;
    ReportFailure();
    if (m_paragraphs.empty()) {
        // Only a list under construction is empty; its owner inserts at once.
        static CParagraph spare(CParagraphFormat(1), CFontMetrics(1.0f, false), 0xFF000000, 0xFFFFFFFF);
        return spare;
    }
    return *m_paragraphs.front();
}

// ---- Moving ------------------------------------------------------------------------------

void CParagraphList::TakeCurrentMeasures()
{
    if (!IsValid())
        return;
    CParagraph& paragraph = **m_cursor;
    m_currentHeight = paragraph.GetHeight();
    m_currentNatural = paragraph.GetNaturalWidth();
    m_currentWidth = paragraph.GetWidth();
}

void CParagraphList::ToStart()
{
    const int length = GetLength();
    const double height = m_heightBefore + (IsValid() ? m_currentHeight : 0.0) + m_heightAfter;
    m_cursor = m_paragraphs.begin();
    m_charsBefore = 0;
    m_heightBefore = 0.0;
    TakeCurrentMeasures();
    m_charsAfter = length - CurrentLength();
    m_heightAfter = height - (IsValid() ? m_currentHeight : 0.0);
}

void CParagraphList::ToEnd()
{
    m_charsBefore = GetLength();
    m_heightBefore += (IsValid() ? m_currentHeight : 0.0) + m_heightAfter;
    m_cursor = m_paragraphs.end();
    m_charsAfter = 0;
    m_heightAfter = 0.0;
}

void CParagraphList::StepForward()
{
    m_charsBefore += CurrentLength();
    m_heightBefore += m_currentHeight;
    ++m_cursor;
    TakeCurrentMeasures();
    if (IsValid()) {
        m_charsAfter -= CurrentLength();
        m_heightAfter -= m_currentHeight;
    }
}

void CParagraphList::StepBack()
{
    if (IsValid()) {
        m_charsAfter += CurrentLength();
        m_heightAfter += m_currentHeight;
    }
    --m_cursor;
    TakeCurrentMeasures();
    m_charsBefore -= CurrentLength();
    m_heightBefore -= m_currentHeight;
}

void CParagraphList::Seek(int pos)
{
    const int length = GetLength();
    if (pos < 0 || pos > length) {
        TRACE_VALUE(int32_t, pos);
        ReportFailure();
        pos = std::max(0, std::min(pos, length));
    }
    Refresh();
    const int start = m_charsBefore;
    const int end = start + CurrentLength();
    if (pos < start - pos)
        ToStart();
    else if (length - pos < pos - end)
        ToEnd();
    while (pos < m_charsBefore)
        StepBack();
    while (IsValid() && pos >= m_charsBefore + CurrentLength())
        StepForward();
    m_offset = pos - m_charsBefore;
}

void CParagraphList::Next()
{
    if (!IsValid()) {
        ReportFailure();
        return;
    }
    Refresh();
    StepForward();
    m_offset = 0;
}

void CParagraphList::Prev()
{
    Refresh();
    if (m_cursor != m_paragraphs.begin())
        StepBack();
    m_offset = 0;
}

// ---- Changing the list ---------------------------------------------------------------------

void CParagraphList::Insert(std::unique_ptr<CParagraph> paragraph)
{
    const int position = GetPosition();
    Refresh();
    const int length = paragraph->GetLength();
    const float height = paragraph->GetHeight();
    paragraph->TakeChangedRect();
    NoteWidths(paragraph->GetNaturalWidth(), paragraph->GetWidth());
    const double top = m_heightBefore;
    AddBand(float(top), float(top + height + (IsValid() ? m_currentHeight : 0.0) + m_heightAfter));
    if (IsValid()) {
        m_charsAfter += CurrentLength();
        m_heightAfter += m_currentHeight;
    }
    m_cursor = m_paragraphs.insert(m_cursor, std::move(paragraph));
    TakeCurrentMeasures();
    m_offset = 0;
    Seek(position + length);
}

std::unique_ptr<CParagraph> CParagraphList::RemoveCurrent()
{
    if (!IsValid()) {
        ReportFailure();
        return nullptr;
    }
    Refresh();
    NoteWidths(m_currentNatural, m_currentWidth);
    AddBand(float(m_heightBefore), float(m_heightBefore + m_currentHeight + m_heightAfter));
    std::unique_ptr<CParagraph> removed = std::move(*m_cursor);
    m_cursor = m_paragraphs.erase(m_cursor);
    TakeCurrentMeasures();
    if (IsValid()) {
        m_charsAfter -= CurrentLength();
        m_heightAfter -= m_currentHeight;
    }
    m_offset = 0;
    return removed;
}

// ---- Taking stock ----------------------------------------------------------------------------

void CParagraphList::Refresh()
{
    if (!IsValid())
        return;
    CParagraph& paragraph = **m_cursor;
    CRectF changed = paragraph.TakeChangedRect();
    const float height = paragraph.GetHeight();
    const float natural = paragraph.GetNaturalWidth();
    const float width = paragraph.GetWidth();
    const bool widthsChanged = natural != m_currentNatural || width != m_currentWidth;
    if (changed.IsEmpty() && height == m_currentHeight && !widthsChanged)
        return;
    const float top = float(m_heightBefore);
    if (!changed.IsEmpty()) {
        changed.top += top;
        changed.bottom += top;
        m_changed.Union(m_changed, changed);
    }
    if (height != m_currentHeight)
        AddBand(top + std::min(height, m_currentHeight),
                float(m_heightBefore + std::max(height, m_currentHeight) + m_heightAfter));
    NoteWidths(m_currentNatural, m_currentWidth);
    NoteWidths(natural, width);
    m_currentHeight = height;
    m_currentNatural = natural;
    m_currentWidth = width;
}

void CParagraphList::ResetChanges()
{
    m_changed = CRectF();
    m_widestNatural = 0.0f;
    m_widest = 0.0f;
}

void CParagraphList::AddBand(float top, float bottom)
{
    m_changed.Union(m_changed, CRectF(0.0f, top, m_bandWidth, bottom));
}

void CParagraphList::NoteWidths(float natural, float width)
{
    m_widestNatural = std::max(m_widestNatural, natural);
    m_widest = std::max(m_widest, width);
    m_bandWidth = std::max(m_bandWidth, std::max(natural, width));
}
