#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/FontMetrics.h"
#include "foundation/Rect.h"
#include "graphics/Drawable.h"
#include "graphics/ParagraphList.h"
#include "graphics/TextFormat.h"

// The editable rich text behind every text object and its editor: paragraphs
// of characters that carry their own size and bold state, each paragraph with
// its alignment and tab stops, two document colours, a selection with a
// caret, editing with a one-level undo record, and a layout at a wrap width.
// Drawing it draws its paragraphs one below the other.
//
// A text of n characters has positions 0..n. Every paragraph ends with the
// paragraph mark (character 10), stored like any other character, so a text
// always holds at least one paragraph and a new one has length 1. 13 is
// never stored.
//
// Bytes (Serialize / InsertSerialized, also the clipboard's private format
// 512): a version byte 0, then records and characters written through a
// field writer. A record is the character 16, a tag byte and its value:
//   64 Int16 default tab interval   65 Int16 wrap width   66 byte shrink flag
//      (always first, in this order; applied only when the whole text is
//      being replaced)
//   32 Int16 font size (whole part) 33 byte bold   (before the first
//      character and wherever the value changes)
//   48 Int8 alignment  49 Int16 tab stops ending in 0   (before the first
//      paragraph mark and wherever the value changes from the mark before)
//   16 (no value): the character 16 itself
class CFormattedText : public CDrawable
{
public:
    // Size of what is typed first and the default tab interval; each below 1
    // is reported.
    CFormattedText(float fontSize, int32_t tabInterval);
    ~CFormattedText() override;

    // ---- Layout ---------------------------------------------------------------
    void Layout();
    // Lays out; when anything changed since the last commit, the text gets a
    // new cache key.
    void CommitChanges();
    // The width lines are aligned within: the wrap width, or the widest
    // unwrapped paragraph when there is no wrapping or the text shrinks to a
    // narrower content.
    float GetLayoutWidth();
    // The widest paragraph and the sum of the paragraphs' heights.
    float GetWidth();
    float GetHeight();
    void Draw(CGraphicsContext& context) override;

    // ---- Queries --------------------------------------------------------------
    int GetLength() const { return m_paragraphs.GetLength(); }
    // A position outside the characters is reported and answered with 0.
    wchar_t GetCharAt(int pos);
    // Plain text of [from, to), each paragraph mark as "\r\n"; a bad range is
    // reported and cut to the text.
    std::wstring GetText(int from, int to);
    int GetCaret() const { return m_caretAtStart ? m_selectionStart : m_selectionEnd; }
    int GetSelectionStart() const { return m_selectionStart; }
    int GetSelectionEnd() const { return m_selectionEnd; }
    bool IsCaretAtStart() const { return m_caretAtStart; }
    // The attributes the next typed character gets.
    bool IsBold() const { return m_pending.IsBold(); }
    int GetFontSize() const { return FmtText::WholeSize(m_pending); }
    // Of the paragraph holding the selection start.
    EAlignment GetAlignment();
    // True for a selection of at most one character; else whether every
    // character (paragraph) of it matches the first (sizes by whole part).
    bool IsSelectionBoldUniform();
    bool IsSelectionSizeUniform();
    bool IsSelectionAlignmentUniform();
    // The position nearest to (x, y), y taken into the text; atLineEnd tells
    // that it belongs at the end of the line above rather than at the start
    // of the next.
    int HitTest(float x, float y, bool& atLineEnd);
    // A zero-width rectangle at the caret across its line.
    CRectF GetCaretRect();
    bool CanUndo() const;
    bool CanRedo() const { return m_record == kRecordUndone; }

    // ---- Selection and movement -------------------------------------------------
    // 0 <= start <= end <= length with start < length, else reported and
    // nothing changes. An empty selection takes the pending attributes from
    // the character before the caret (at a paragraph start, the one at it).
    void SetSelection(int start, int end, bool caretAtStart);
    // Collapses at pos (the caret drawn at the end of the line above when
    // atLineEnd), or with extend moves the caret end of the selection there.
    void SetCaret(int pos, bool atLineEnd, bool extend);
    void SelectAll();
    // Each answers false when the caret cannot move.
    bool MoveLineUp(bool extend);
    bool MoveLineDown(bool extend);
    bool MoveParagraphUp(bool extend);
    bool MoveParagraphDown(bool extend);
    bool MoveWordLeft(bool extend);
    bool MoveWordRight(bool extend);

    // ---- Editing ----------------------------------------------------------------
    // Replaces the selection: 10 breaks the paragraph, 13 does nothing. A run
    // of typed characters is one undo step.
    void TypeChar(wchar_t ch);
    // Replaces the selection with the text; "\r\n", "\r" and "\n" each break
    // the paragraph.
    void InsertText(const std::wstring& text);
    // A run of deletions is one undo step.
    void DeleteSelection();
    void SetSelectionBold(bool bold);
    // A size that is not a number or below 1 is reported and ignored.
    void SetSelectionFontSize(float size);
    // Of the paragraphs from the selection start's to its end's; a value
    // that is no alignment is reported and ignored.
    void SetSelectionAlignment(int32_t alignment);
    void SetSelectionTabStops(const std::vector<int32_t>& stops);
    // Interval below 1 and wrap width below 0 are reported and ignored.
    void SetTabInterval(int32_t interval);
    void SetWrapWidth(int32_t width);
    // 0: lines are not wrapped.
    int32_t GetWrapWidth() const { return m_wrapWidth; }
    void SetShrinkToContent(bool shrink);
    // Not undo steps.
    void SetTextColor(uint32_t color);
    void SetBackgroundColor(uint32_t color);

    // ---- Bytes and clipboard (FormattedTextStream.cpp) ---------------------------
    // The characters [from, to) as bytes (see above).
    std::string Serialize(int from, int to);
    // Replaces the selection with what the bytes hold. Damaged bytes insert
    // what they hold up to the damage; the text stays usable.
    void InsertSerialized(const std::string& bytes);
    // The selection as format 512 (32-bit little-endian count, then the bytes)
    // and as CF_UNICODETEXT.
    void Copy();
    // Format 512 when it holds a usable block, else the Unicode text.
    void Paste();
    static bool CanPaste();
    // The clipboard format of formatted text: the first private format.
    static const unsigned kClipboardFormat = 512;

    // ---- Undo record --------------------------------------------------------------
    // On arms the record (one held already is reported); off clears it.
    void EnableChangeRecord(bool on);
    // Swaps the text with the record: undo (redo false) needs CanUndo's
    // state, redo CanRedo's; otherwise reported and nothing happens.
    void SwapChangeRecord(bool redo);

private:
    enum ERecordState
    {
        kRecordOff = 0,
        kRecordArmed = 1,
        // The record holds the text before the last editing step.
        kRecordBefore = 2,
        // The record holds the text after the step just undone.
        kRecordUndone = 3,
    };
    enum EEditKind
    {
        kEditTyping = 0,
        kEditDeleting = 1,
        kEditOther = 2,
    };

    // The start of an editing step: closes a typing or deleting group and
    // records the text for undo.
    void BeginStep();
    // Opens a group (InsertText, InsertSerialized) after BeginStep;
    // CloseGroup closes it.
    void BeginGroup();
    // Typing and deleting: a run of the same kind stays one group.
    void BeginRun(EEditKind kind);
    void CloseGroup();
    void TakeSnapshot();

    // The selection without touching groups or pending attributes: marks the
    // paragraphs between the old and the new one, clears the goal x.
    void StoreSelection(int start, int end, bool caretAtStart);
    void MarkSelection(int from, int to);
    // Deletes the selection (the final paragraph mark stays).
    void EraseSelection();
    // Breaks the paragraph at the caret; the caret goes past the break.
    void BreakParagraph();
    // Inserts a run without 10 and 13 at the caret with the pending attributes.
    void InsertRun(const std::wstring& run);
    // Walk the paragraphs with the list's cursor, which stays on each while
    // it is visited: all of them; those from the one holding `from` to the
    // one holding `to` (both cut to the text); every character of [from, to)
    // with its paragraph and offset.
    void ForEachParagraph(const std::function<void(FmtText::CParagraph&)>& change);
    void ForParagraphsOf(int from, int to, const std::function<void(FmtText::CParagraph&)>& change);
    void ForCharsOf(int from, int to, const std::function<void(FmtText::CParagraph&, int)>& visit);
    // The start of the paragraph holding pos (the last one for the length).
    int ParagraphStartOf(int pos);
    bool MoveLine(bool down, bool extend);
    // Stores a document value that every paragraph's format repeats (a
    // value below the minimum is reported and ignored).
    void SetFormatValue(int32_t& stored, int32_t CParagraphFormat::*field, int32_t value, int32_t minimum);
    int ParagraphEndOf(int pos);
    // Whether word movement stops before the character at pos (0 < pos <
    // length): after a paragraph mark, and where a tab, a run of letters and
    // digits or a run of other characters begins (spaces belong to no run).
    bool IsWordStop(int pos);

    CParagraphList m_paragraphs;
    int m_selectionStart = 0;
    int m_selectionEnd = 0;
    bool m_caretAtStart = false;
    float m_goalX = 0.0f;
    bool m_goalValid = false;
    CFontMetrics m_pending;
    ERecordState m_record = kRecordOff;
    int m_openGroups = 0;
    EEditKind m_lastEdit = kEditOther;
    std::string m_recordBytes;
    int m_recordCaret = 0;
    int32_t m_tabInterval;
    uint32_t m_textColor = 0xFF000000;
    uint32_t m_backgroundColor = 0xFFFFFFFF;
    int32_t m_wrapWidth = 0;
    bool m_shrinkToContent = false;
    float m_width = 0.0f;
    float m_naturalWidth = 0.0f;
    float m_layoutWidth = 0.0f;
    CRectF m_changed;
};
