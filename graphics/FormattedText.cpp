// CFormattedText: construction, layout, queries, selection and movement.
#include "graphics/FormattedText.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"

using FmtText::CParagraph;

CFormattedText::CFormattedText(float fontSize, int32_t tabInterval)
    : m_pending(fontSize, false), m_tabInterval(tabInterval)
{
    if (!(fontSize >= 1.0f) || !std::isfinite(fontSize)) {
        TRACE_VALUE(float, fontSize);
        ReportFailure();
        m_pending.size = 1.0f;
    }
    if (tabInterval < 1) {
        TRACE_VALUE(int32_t, tabInterval);
        ReportFailure();
        m_tabInterval = 1;
    }
    m_paragraphs.Insert(std::make_unique<CParagraph>(CParagraphFormat(m_tabInterval), m_pending, m_textColor,
                                                     m_backgroundColor));
    m_paragraphs.Seek(0);
}

CFormattedText::~CFormattedText() = default;

void CFormattedText::ForEachParagraph(const std::function<void(CParagraph&)>& change)
{
    for (m_paragraphs.Seek(0); m_paragraphs.IsValid(); m_paragraphs.Next())
        change(m_paragraphs.Current());
}

void CFormattedText::ForParagraphsOf(int from, int to, const std::function<void(CParagraph&)>& change)
{
    const int length = GetLength();
    from = std::max(0, std::min(from, length - 1));
    to = std::max(from, std::min(to, length));
    for (m_paragraphs.Seek(from); m_paragraphs.IsValid(); m_paragraphs.Next()) {
        CParagraph& paragraph = m_paragraphs.Current();
        change(paragraph);
        if (m_paragraphs.GetCurrentStart() + paragraph.GetLength() > to)
            break;
    }
}

void CFormattedText::ForCharsOf(int from, int to, const std::function<void(CParagraph&, int)>& visit)
{
    for (m_paragraphs.Seek(from); m_paragraphs.IsValid(); m_paragraphs.Next()) {
        CParagraph& paragraph = m_paragraphs.Current();
        const int start = m_paragraphs.GetCurrentStart();
        if (start >= to)
            break;
        const int end = std::min(to, start + paragraph.GetLength());
        for (int pos = std::max(from, start); pos < end; ++pos)
            visit(paragraph, pos - start);
    }
}

// ---- Layout ------------------------------------------------------------------------

void CFormattedText::Layout()
{
    m_paragraphs.Refresh();
    if (m_paragraphs.GetWidestNatural() >= m_naturalWidth) {
        float widest = 0.0f;
        ForEachParagraph([&](CParagraph& p) { widest = std::max(widest, p.GetNaturalWidth()); });
        m_naturalWidth = widest;
    }
    const float wrap = float(m_wrapWidth);
    float layoutWidth = m_naturalWidth;
    if (!(m_shrinkToContent && wrap > m_naturalWidth) && m_wrapWidth != 0)
        layoutWidth = wrap;
    if (layoutWidth != m_layoutWidth) {
        m_layoutWidth = layoutWidth;
        ForEachParagraph([&](CParagraph& p) { p.SetLayoutWidth(layoutWidth); });
    }
    if (m_paragraphs.GetWidest() >= m_width) {
        float widest = 0.0f;
        ForEachParagraph([&](CParagraph& p) { widest = std::max(widest, p.GetWidth()); });
        m_width = widest;
    }
    m_changed.Union(m_changed, m_paragraphs.GetChangedRect());
    m_paragraphs.ResetChanges();
}

void CFormattedText::CommitChanges()
{
    Layout();
    if (!m_changed.IsEmpty()) {
        MakeUniqueKey();
        m_changed = CRectF();
    }
}

float CFormattedText::GetLayoutWidth()
{
    Layout();
    return m_layoutWidth;
}

float CFormattedText::GetWidth()
{
    Layout();
    return m_width;
}

float CFormattedText::GetHeight()
{
    Layout();
    return m_paragraphs.GetHeight();
}

void CFormattedText::Draw(CGraphicsContext& context)
{
    Layout();
    const CTransform placement = context.m_state.matrix;
    for (m_paragraphs.Seek(0); m_paragraphs.IsValid(); m_paragraphs.Next()) {
        CParagraph& paragraph = m_paragraphs.Current();
        const float height = paragraph.GetHeight();
        context.DrawDrawable(paragraph, 0, 0);
        context.m_state.matrix.TranslateLocal(CVector3(0.0f, -height, 0.0f));
    }
    context.m_state.matrix = placement;
}

// ---- Queries -------------------------------------------------------------------------

wchar_t CFormattedText::GetCharAt(int pos)
{
    if (pos < 0 || pos >= GetLength()) {
        TRACE_VALUE(int32_t, pos);
        ReportFailure();
        return 0;
    }
    m_paragraphs.Seek(pos);
    return m_paragraphs.Current().GetCharAt(m_paragraphs.OffsetInCurrent(pos));
}

std::wstring CFormattedText::GetText(int from, int to)
{
    FmtText::CheckRange(from, to, GetLength());
    std::wstring text;
    ForCharsOf(from, to, [&](CParagraph& paragraph, int offset) {
        const wchar_t ch = paragraph.GetCharAt(offset);
        if (ch == FmtText::kParagraphMark)
            text += L"\r\n";
        else
            text.push_back(ch);
    });
    return text;
}

EAlignment CFormattedText::GetAlignment()
{
    m_paragraphs.Seek(m_selectionStart);
    return m_paragraphs.Current().GetFormat().alignment;
}

bool CFormattedText::IsSelectionBoldUniform()
{
    bool uniform = true;
    int first = -1;
    ForCharsOf(m_selectionStart, m_selectionEnd, [&](CParagraph& paragraph, int offset) {
        const int bold = paragraph.GetAttributesAt(offset).IsBold() ? 1 : 0;
        uniform = uniform && (first < 0 || bold == first);
        first = bold;
    });
    return uniform;
}

bool CFormattedText::IsSelectionSizeUniform()
{
    bool uniform = true;
    int32_t first = -1;
    ForCharsOf(m_selectionStart, m_selectionEnd, [&](CParagraph& paragraph, int offset) {
        const int32_t size = FmtText::WholeSize(paragraph.GetAttributesAt(offset));
        uniform = uniform && (first < 0 || size == first);
        first = size;
    });
    return uniform;
}

bool CFormattedText::IsSelectionAlignmentUniform()
{
    if (m_selectionEnd - m_selectionStart <= 1)
        return true;
    bool uniform = true;
    int first = -1;
    ForParagraphsOf(m_selectionStart, m_selectionEnd, [&](CParagraph& paragraph) {
        const int alignment = paragraph.GetFormat().alignment;
        uniform = uniform && (first < 0 || alignment == first);
        first = alignment;
    });
    return uniform;
}

int CFormattedText::HitTest(float x, float y, bool& atLineEnd)
{
    atLineEnd = false;
    const float height = GetHeight();
    y = std::max(0.0f, std::min(y, height - 1.0f));
    for (m_paragraphs.Seek(0); m_paragraphs.IsValid(); m_paragraphs.Next()) {
        CParagraph& paragraph = m_paragraphs.Current();
        const float top = m_paragraphs.GetCurrentTop();
        if (top + paragraph.GetHeight() > y)
            return m_paragraphs.GetCurrentStart() + paragraph.HitTest(x, y - top, atLineEnd);
    }
    TRACE_VALUE(float, y);
    ReportFailure();
    return GetLength() - 1;
}

CRectF CFormattedText::GetCaretRect()
{
    Layout();
    const int length = GetLength();
    int pos = 0;
    bool rightEdge = false;
    if (m_caretAtStart) {
        rightEdge = m_selectionStart > 0;
        pos = rightEdge ? m_selectionStart - 1 : 0;
    } else {
        rightEdge = m_selectionEnd >= length;
        pos = rightEdge ? length - 1 : m_selectionEnd;
    }
    m_paragraphs.Seek(pos);
    const CRectF cell = m_paragraphs.Current().GetCharRect(m_paragraphs.OffsetInCurrent(pos));
    const float top = m_paragraphs.GetCurrentTop();
    const float x = rightEdge ? cell.right : cell.left;
    return CRectF(x, top + cell.top, x, top + cell.bottom);
}

bool CFormattedText::CanUndo() const
{
    return m_record == kRecordBefore &&
           (m_openGroups == 0 || (m_openGroups == 1 && m_lastEdit != kEditOther));
}

// ---- Selection -------------------------------------------------------------------------

void CFormattedText::SetSelection(int start, int end, bool caretAtStart)
{
    const int length = GetLength();
    if (start < 0 || start > end || end > length || start >= length) {
        TRACE_VALUE(int32_t, start);
        TRACE_VALUE(int32_t, end);
        ReportFailure();
        return;
    }
    const int caret = caretAtStart ? start : end;
    if (m_lastEdit != kEditOther && !(m_lastEdit == kEditDeleting && caret == GetCaret())) {
        CloseGroup();
        m_lastEdit = kEditOther;
    }
    StoreSelection(start, end, caretAtStart);
    if (start == end) {
        m_paragraphs.Seek(start);
        const int offset = m_paragraphs.OffsetInCurrent(start);
        m_pending = m_paragraphs.Current().GetAttributesAt(offset > 0 ? offset - 1 : 0);
    }
}

void CFormattedText::StoreSelection(int start, int end, bool caretAtStart)
{
    const int from = std::min(start, m_selectionStart);
    const int to = std::max(end, m_selectionEnd);
    m_selectionStart = start;
    m_selectionEnd = end;
    m_caretAtStart = caretAtStart;
    m_goalValid = false;
    ForParagraphsOf(from, to, [this](CParagraph& paragraph) {
        const int paragraphStart = m_paragraphs.GetCurrentStart();
        paragraph.SetMarkedRange(m_selectionStart - paragraphStart, m_selectionEnd - paragraphStart);
    });
}

void CFormattedText::SetCaret(int pos, bool atLineEnd, bool extend)
{
    if (!extend) {
        SetSelection(pos, pos, atLineEnd);
        return;
    }
    const int anchor = m_caretAtStart ? m_selectionEnd : m_selectionStart;
    if (pos < anchor)
        SetSelection(pos, anchor, true);
    else if (anchor < pos)
        SetSelection(anchor, pos, false);
    else
        SetSelection(std::min(pos, GetLength() - 1), std::min(pos, GetLength() - 1), false);
}

void CFormattedText::SelectAll() { SetSelection(0, GetLength(), false); }

// ---- Movement ----------------------------------------------------------------------------

bool CFormattedText::MoveLineUp(bool extend) { return MoveLine(false, extend); }

bool CFormattedText::MoveLineDown(bool extend) { return MoveLine(true, extend); }

bool CFormattedText::MoveLine(bool down, bool extend)
{
    const CRectF caret = GetCaretRect();
    const float goal = m_goalValid ? m_goalX : caret.left;
    const float y = down ? caret.bottom + 1.0f : caret.top - 1.0f;
    if (y < 0.0f || y >= GetHeight())
        return false;
    bool atLineEnd = false;
    const int pos = HitTest(goal, y, atLineEnd);
    SetCaret(pos, atLineEnd, extend);
    m_goalX = goal;
    m_goalValid = true;
    return true;
}

int CFormattedText::ParagraphStartOf(int pos)
{
    m_paragraphs.Seek(std::min(pos, GetLength()));
    if (!m_paragraphs.IsValid())
        m_paragraphs.Prev();
    return m_paragraphs.GetCurrentStart();
}

int CFormattedText::ParagraphEndOf(int pos)
{
    const int start = ParagraphStartOf(pos);
    return start + m_paragraphs.Current().GetLength();
}

bool CFormattedText::MoveParagraphUp(bool extend)
{
    const int caret = GetCaret();
    int target = ParagraphStartOf(caret);
    if (target == caret) {
        if (caret == 0)
            return false;
        target = ParagraphStartOf(caret - 1);
    }
    SetCaret(target, false, extend);
    return true;
}

bool CFormattedText::MoveParagraphDown(bool extend)
{
    const int caret = GetCaret();
    int target = ParagraphEndOf(caret);
    if (!extend)
        target = std::min(target, GetLength() - 1);
    if (target <= caret)
        return false;
    SetCaret(target, false, extend);
    return true;
}

bool CFormattedText::IsWordStop(int pos)
{
    const wchar_t before = GetCharAt(pos - 1);
    const wchar_t ch = GetCharAt(pos);
    if (before == FmtText::kParagraphMark)
        return true;
    // Spaces never stop a scan.
    if (ch == FmtText::kSpace)
        return false;
    if (before == FmtText::kTab)
        return ch != FmtText::kTab;
    const bool alnum = std::iswalnum(ch) != 0;
    if (std::iswalnum(before))
        return !alnum;
    return alnum || ch == FmtText::kTab || ch == FmtText::kParagraphMark;
}

bool CFormattedText::MoveWordRight(bool extend)
{
    const int length = GetLength();
    const int caret = GetCaret();
    if (caret >= length)
        return false;
    int i = caret + 1;
    while (i < length && !IsWordStop(i))
        ++i;
    if (i == length && !extend)
        return false;
    SetCaret(i, false, extend);
    return true;
}

bool CFormattedText::MoveWordLeft(bool extend)
{
    const int caret = GetCaret();
    if (caret <= 0)
        return false;
    int i = caret - 1;
    while (i > 0 && !IsWordStop(i))
        --i;
    SetCaret(i, false, extend);
    return true;
}
