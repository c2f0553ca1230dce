#pragma once

#include <list>
#include <memory>

#include "foundation/Rect.h"
#include "graphics/Paragraph.h"

// The paragraphs of a formatted text with a cursor on one of them (or past
// the end). The cursor knows the character count and the height before and
// after its paragraph, so moving to a position costs only the paragraphs
// between it and the nearest of the start, the cursor and the end.
//
// Whenever the cursor moves it first takes stock of the paragraph it leaves
// (which is where all editing happens): its changed rectangle, a change of
// its height (the paragraphs after it move) and its old and new widths are
// collected for the document's layout.
class CParagraphList
{
public:
    CParagraphList();
    CParagraphList(const CParagraphList&) = delete;
    CParagraphList& operator=(const CParagraphList&) = delete;

    // 0 <= pos <= length, else reported and clamped. The cursor comes to the
    // paragraph holding pos; Seek(GetLength()) leaves it past the end.
    void Seek(int pos);
    // The cursor paragraph; reported (and the first paragraph answered) past
    // the end.
    FmtText::CParagraph& Current();
    // To the start of the next paragraph (reported past the end) or of the
    // previous one (nothing at the first).
    void Next();
    void Prev();
    void Advance() { Seek(GetPosition() + 1); }
    bool IsValid() const { return m_cursor != m_paragraphs.end(); }
    bool IsEmpty() const { return m_paragraphs.empty(); }

    int GetLength() const;
    int GetPosition() const { return m_charsBefore + m_offset; }
    int GetCurrentStart() const { return m_charsBefore; }
    float GetCurrentTop() const { return float(m_heightBefore); }
    float GetCurrentBottom();
    float GetHeight();
    // pos - start of the cursor paragraph, within 0 and its length.
    int OffsetInCurrent(int pos) const;

    // Inserts the paragraph before the cursor and keeps the cursor on the
    // character it was at.
    void Insert(std::unique_ptr<FmtText::CParagraph> paragraph);
    // Takes the cursor paragraph out (reported, and null, past the end); the
    // cursor goes to the paragraph that followed.
    std::unique_ptr<FmtText::CParagraph> RemoveCurrent();
    // Takes stock of the cursor paragraph (see above).
    void Refresh();

    // Collected since the last ResetChanges: the changed rectangle (document
    // coordinates) and the largest old or new widths of the paragraphs that
    // changed, came or went.
    const CRectF& GetChangedRect() const { return m_changed; }
    float GetWidestNatural() const { return m_widestNatural; }
    float GetWidest() const { return m_widest; }
    void ResetChanges();

private:
    void ToStart();
    void ToEnd();
    void StepForward();
    void StepBack();
    // Caches the cursor paragraph's height and widths.
    void TakeCurrentMeasures();
    int CurrentLength() const;
    // The band from y down to the bottom of the text, as wide as any width
    // seen.
    void AddBand(float top, float bottom);
    void NoteWidths(float natural, float width);

    std::list<std::unique_ptr<FmtText::CParagraph>> m_paragraphs;
    std::list<std::unique_ptr<FmtText::CParagraph>>::iterator m_cursor;
    // Height sums in double: adding and taking away the same float heights
    // then leaves them exact.
    int m_charsAfter = 0;
    double m_heightAfter = 0.0;
    float m_currentHeight = 0.0f;
    float m_currentNatural = 0.0f;
    float m_currentWidth = 0.0f;
    int m_charsBefore = 0;
    int m_offset = 0;
    double m_heightBefore = 0.0;
    CRectF m_changed;
    float m_widestNatural = 0.0f;
    float m_widest = 0.0f;
    // The widest width ever seen: how wide the bands of moved text are.
    float m_bandWidth = 0.0f;
};
