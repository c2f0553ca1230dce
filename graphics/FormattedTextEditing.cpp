// CFormattedText: editing, formats, colours and the one-level undo record.
#include <algorithm>
#include <cmath>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "graphics/FormattedText.h"

using FmtText::CParagraph;

// ---- Undo record --------------------------------------------------------------------
//
// The record holds the byte form of the whole text before the last editing
// step (state 2) or after the step just undone (state 3). Every editing step
// first closes a typing or deleting group and takes a snapshot, except inside
// a group that has one already. Typing and deleting open a group of their
// own that stays open while the same kind goes on, so a run of typed
// characters or of Backspace presses is one step; a selection change closes
// it (except one that leaves the caret where a deletion left it).

void CFormattedText::CloseGroup()
{
    if (m_openGroups < 1) {
        ReportFailure();
        return;
    }
    --m_openGroups;
}

void CFormattedText::TakeSnapshot()
{
    if (m_record == kRecordOff || (m_record == kRecordBefore && m_openGroups > 0))
        return;
    m_recordBytes = Serialize(0, GetLength());
    m_recordCaret = GetCaret();
    m_record = kRecordBefore;
}

void CFormattedText::BeginStep()
{
    if (m_lastEdit != kEditOther)
        CloseGroup();
    m_lastEdit = kEditOther;
    TakeSnapshot();
}

void CFormattedText::BeginGroup()
{
    BeginStep();
    ++m_openGroups;
}

void CFormattedText::BeginRun(EEditKind kind)
{
    if (m_lastEdit == kEditOther) {
        if (m_openGroups == 0 && m_record != kRecordOff)
            m_record = kRecordArmed;
        TakeSnapshot();
        ++m_openGroups;
    }
    m_lastEdit = kind;
}

void CFormattedText::EnableChangeRecord(bool on)
{
    TRACE_VALUE(bool, on);
    if (on && !m_recordBytes.empty())
        ReportFailure();
    m_recordBytes.clear();
    m_recordCaret = 0;
    m_record = on ? kRecordArmed : kRecordOff;
}

void CFormattedText::SwapChangeRecord(bool redo)
{
    TRACE_VALUE(bool, redo);
    if (m_record != (redo ? kRecordUndone : kRecordBefore)) {
        TRACE_VALUE(int32_t, m_record);
        ReportFailure();
        return;
    }
    const std::string current = Serialize(0, GetLength());
    const int currentCaret = GetCaret();
    const std::string recorded = m_recordBytes;
    const int recordedCaret = m_recordCaret;
    m_record = kRecordOff;
    SelectAll();
    InsertSerialized(recorded);
    const int caret = std::max(0, std::min(recordedCaret, GetLength() - 1));
    SetSelection(caret, caret, false);
    m_recordBytes = current;
    m_recordCaret = currentCaret;
    m_record = redo ? kRecordBefore : kRecordUndone;
}

// ---- Text ----------------------------------------------------------------------------

void CFormattedText::TypeChar(wchar_t ch)
{
    TRACE_VALUE(int32_t, int32_t(ch));
    if (ch == 13)
        return;
    BeginRun(kEditTyping);
    EraseSelection();
    if (ch == FmtText::kParagraphMark)
        BreakParagraph();
    else
        InsertRun(std::wstring(1, ch));
}

void CFormattedText::InsertText(const std::wstring& text)
{
    TRACE_VALUE(int32_t, int32_t(text.size()));
    BeginGroup();
    size_t length = text.size();
    // Replacing everything up to the final mark keeps that mark: a break at
    // the end of the text would make an empty paragraph.
    if (m_selectionStart < m_selectionEnd && m_selectionEnd == GetLength() && length > 0) {
        if (text[length - 1] == 10) {
            --length;
            if (length > 0 && text[length - 1] == 13)
                --length;
        } else if (text[length - 1] == 13) {
            --length;
        }
    }
    EraseSelection();
    size_t runStart = 0;
    for (size_t i = 0; i <= length; ++i) {
        const wchar_t ch = i < length ? text[i] : 0;
        if (i < length && ch != 10 && ch != 13)
            continue;
        if (i > runStart)
            InsertRun(text.substr(runStart, i - runStart));
        runStart = i + 1;
        if (i < length && (ch == 13 || i == 0 || text[i - 1] != 13))
            BreakParagraph();
    }
    CloseGroup();
}

void CFormattedText::InsertRun(const std::wstring& run)
{
    const int caret = GetCaret();
    m_paragraphs.Seek(caret);
    m_paragraphs.Current().InsertText(run, m_pending, m_paragraphs.OffsetInCurrent(caret));
    const int after = caret + int(run.size());
    StoreSelection(after, after, false);
}

void CFormattedText::BreakParagraph()
{
    const int caret = GetCaret();
    m_paragraphs.Seek(caret);
    CParagraph& current = m_paragraphs.Current();
    const int offset = m_paragraphs.OffsetInCurrent(caret);
    auto before = std::make_unique<CParagraph>(current.GetFormat(), m_pending, m_textColor, m_backgroundColor);
    if (offset > 0) {
        before->InsertCells(current.ExtractCells(0, offset), 0);
        current.SetMarkedRange(0, offset);
        current.EraseMarked();
    }
    m_paragraphs.Seek(caret - offset);
    m_paragraphs.Insert(std::move(before));
    StoreSelection(caret + 1, caret + 1, false);
}

void CFormattedText::DeleteSelection()
{
    if (m_selectionStart == m_selectionEnd)
        return;
    BeginRun(kEditDeleting);
    EraseSelection();
}

void CFormattedText::EraseSelection()
{
    const int start = m_selectionStart;
    int end = m_selectionEnd;
    if (start >= end)
        return;
    const int length = GetLength();
    if (end >= length) {
        m_paragraphs.Seek(length - 1);
        CParagraph& last = m_paragraphs.Current();
        last.SetAttributesAt(m_pending, last.GetLength() - 1);
        end = length - 1;
    }
    m_paragraphs.Seek(start);
    int offset = m_paragraphs.OffsetInCurrent(start);
    int remaining = end - start;
    bool joined = false;
    FmtText::Cells kept;
    CParagraphFormat keptFormat(m_tabInterval);
    while (remaining > 0 && m_paragraphs.IsValid()) {
        CParagraph& paragraph = m_paragraphs.Current();
        const int paragraphLength = paragraph.GetLength();
        if (offset + remaining < paragraphLength) {
            paragraph.SetMarkedRange(offset, offset + remaining);
            paragraph.EraseMarked();
            remaining = 0;
            break;
        }
        // The mark lies in the selection: the paragraph goes, its part before
        // the selection joins the paragraph after the selection.
        if (!joined) {
            kept = paragraph.ExtractCells(0, offset);
            keptFormat = paragraph.GetFormat();
            joined = true;
        }
        remaining -= paragraphLength - offset;
        offset = 0;
        m_paragraphs.RemoveCurrent();
    }
    if (remaining != 0) {
        TRACE_VALUE(int32_t, remaining);
        ReportFailure();
    }
    if (joined) {
        if (!m_paragraphs.IsValid() || m_paragraphs.GetPosition() != start - int(kept.size())) {
            TRACE_VALUE(int32_t, m_paragraphs.GetPosition());
            ReportFailure();
        }
        if (m_paragraphs.IsValid()) {
            CParagraph& joinedParagraph = m_paragraphs.Current();
            joinedParagraph.InsertCells(kept, 0);
            joinedParagraph.SetFormat(keptFormat);
        }
    }
    StoreSelection(start, start, false);
}

// ---- Attributes and formats ---------------------------------------------------------------

void CFormattedText::SetSelectionBold(bool bold)
{
    TRACE_VALUE(bool, bold);
    BeginStep();
    m_pending.SetBold(bold);
    ForCharsOf(m_selectionStart, m_selectionEnd, [bold](CParagraph& paragraph, int offset) {
        CFontMetrics attributes = paragraph.GetAttributesAt(offset);
        if (attributes.IsBold() != bold) {
            attributes.SetBold(bold);
            paragraph.SetAttributesAt(attributes, offset);
        }
    });
}

void CFormattedText::SetSelectionFontSize(float size)
{
    TRACE_VALUE(float, size);
    if (!(size >= 1.0f) || !std::isfinite(size)) {
        ReportFailure();
        return;
    }
    BeginStep();
    m_pending.size = size;
    const int32_t whole = FmtText::WholeSize(m_pending);
    ForCharsOf(m_selectionStart, m_selectionEnd, [size, whole](CParagraph& paragraph, int offset) {
        CFontMetrics attributes = paragraph.GetAttributesAt(offset);
        if (FmtText::WholeSize(attributes) != whole) {
            attributes.size = size;
            paragraph.SetAttributesAt(attributes, offset);
        }
    });
}

void CFormattedText::SetSelectionAlignment(int32_t alignment)
{
    TRACE_VALUE(int32_t, alignment);
    if (!IsAlignment(alignment)) {
        ReportFailure();
        return;
    }
    BeginStep();
    ForParagraphsOf(m_selectionStart, m_selectionEnd, [alignment](CParagraph& paragraph) {
        CParagraphFormat format = paragraph.GetFormat();
        if (format.alignment != alignment) {
            format.alignment = EAlignment(alignment);
            paragraph.SetFormat(format);
        }
    });
}

void CFormattedText::SetSelectionTabStops(const std::vector<int32_t>& stops)
{
    TRACE_VALUE(int32_t, int32_t(stops.size()));
    BeginStep();
    ForParagraphsOf(m_selectionStart, m_selectionEnd, [&stops](CParagraph& paragraph) {
        CParagraphFormat format = paragraph.GetFormat();
        if (format.tabStops != stops) {
            format.tabStops = stops;
            paragraph.SetFormat(format);
        }
    });
}

void CFormattedText::SetTabInterval(int32_t interval)
{
    SetFormatValue(m_tabInterval, &CParagraphFormat::tabInterval, interval, 1);
}

void CFormattedText::SetWrapWidth(int32_t width) { SetFormatValue(m_wrapWidth, &CParagraphFormat::wrapWidth, width, 0); }

void CFormattedText::SetFormatValue(int32_t& stored, int32_t CParagraphFormat::*field, int32_t value, int32_t minimum)
{
    TRACE_VALUE(int32_t, value);
    if (value < minimum) {
        ReportFailure();
        return;
    }
    if (value == stored)
        return;
    BeginStep();
    stored = value;
    ForEachParagraph([field, value](CParagraph& paragraph) {
        CParagraphFormat format = paragraph.GetFormat();
        format.*field = value;
        paragraph.SetFormat(format);
    });
}

void CFormattedText::SetShrinkToContent(bool shrink) { m_shrinkToContent = shrink; }

void CFormattedText::SetTextColor(uint32_t color)
{
    if (color == m_textColor)
        return;
    m_textColor = color;
    ForEachParagraph([color](CParagraph& paragraph) { paragraph.SetTextColor(color); });
}

void CFormattedText::SetBackgroundColor(uint32_t color)
{
    if (color == m_backgroundColor)
        return;
    m_backgroundColor = color;
    ForEachParagraph([color](CParagraph& paragraph) { paragraph.SetBackgroundColor(color); });
}
