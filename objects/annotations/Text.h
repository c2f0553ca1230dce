#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "course/CourseObject.h"
#include "graphics/FormattedText.h"
#include "objects/equipment/EquipmentType.h"

class CCourse;

// The size of a text's box.
struct CTextBoxSize
{
    float width = 0.0f;
    float height = 0.0f;
};

// The text object (type 310): a block of formatted text on a box on the
// course map, a title, a note, a judge's remark. It can sit in one of the
// margins around the ring, be hidden with the other hidable objects and
// stand upright in 3D. Its record is the formatted text's own bytes, kept in
// step with the text, so that a text read and written unchanged keeps them.
//
// The box is centred on the object's position; the text starts 140 in from
// its left edge and 100 below its top and ends 92 above its bottom.
class CText : public CCourseObject
{
public:
    // Where a text sits: on the course, or in one of the margins around the
    // ring.
    enum class EMargin
    {
        kNone = 0,
        kAbove = 1,
        kBelow = 2,
        kLeft = 3,
        kRight = 4,
    };

    // Type 310, named by text 2596, with the parts background (25), accent
    // (26) and text (15).
    class CTextType : public CEquipmentTypeOf<CText>
    {
    public:
        CTextType();
    };

    static const CTextType& GetTextType();

    CText();
    ~CText() override;

    int GetCategory() const override { return 1; }
    int GetLayer() const override { return 1; }
    bool IsHidable() const override { return m_hidable; }
    // A hidable text shows while the course shows texts.
    bool IsShown() const override;
    // A text moving past this one may line up with it: abutting or aligned
    // on either side.
    void AddSnapCoordinates(CSnapAxis& axisX, CSnapAxis& axisY, const CCourseObject* source) override;
    // The box's corners.
    int GetEndCount() const override { return 4; }
    void GetEnd(CPoint2& point, int index) const override;
    // A text in a margin moves along it while the pointer stays there.
    void StartMove(float x, float y) override;
    void Move(float x, float y) override;
    void EndMove() override;
    // The others' snap positions, then the box's edges at the ring's, its
    // margins' and the centre line.
    void BuildSnapGrid() override;
    // A text without its box draws differently inside and outside the ring.
    bool OnMoveStarted() override;
    // A new text from the placing tool: the default format, holding the
    // kind's name until it is given a text.
    void ClearHandles() override;
    // The legacy listing's text: the box flag, the quoted lines up to a bar,
    // then option letters (C centred, L left, H header, F footer).
    void ApplyVariant(const std::string& keyName, std::istream& words) override;
    // The record, the wrap width (Int16), the box and hidable flags, and
    // from version 4 the upright flag. A wrap width read that is not above
    // 0 gives the default wrap width; an older record is upright when its
    // text has at most 15 characters. A record past a megabyte keeps its
    // first megabyte.
    void Serialize(CFieldStream& stream) override;
    // Whether the box shrinks to the text (no box, outside the ring) and
    // whether the text is hidden.
    void SerializeExtra(CFieldStream& stream) override;
    // Places a text read from a listing's header or footer in its margin,
    // which grows to hold it, once the course's ring is known.
    bool ResolveLinks() override;
    void ToDialog(CEditSession& dialog) override;
    // A dialog holding no text leaves the text as it is.
    void FromDialog(CEditSession& dialog) override;
    void Draw2D(CGraphicsContext& context) override;
    // Upright, the text stands facing the eye at its position; otherwise it
    // lies on the ground as in the plan.
    void Build3D(CGraphicsContext& context) override;
    // Replaces the text by the plain text, in the default format, centred,
    // without a box.
    void SetText(const std::wstring& text) override;

    const std::string& GetRecord() const { return m_record; }
    // The text as it is laid out and drawn.
    CFormattedText& GetDocument() { return Document(); }
    const CTextBoxSize& GetBoxSize() const;
    bool GetShowBox() const { return m_showBox; }
    bool IsUpright() const { return m_upright; }
    EMargin GetMarginSide() const { return m_marginSide; }
    // Moves the text into the margin, the top (or left) edge of its box at
    // the margin's, so that it fills a margin as deep as the box; the other
    // coordinate stays.
    void PlaceInMargin(EMargin margin);
    // Whether the course point lies in the margin.
    bool IsInMargin(const CPoint2& point, EMargin margin) const;
    // Without its box a text outside the ring draws its background only
    // behind the text.
    bool IsShrunk() const;

    static constexpr int kTypeId = 310;
    // The room around the text inside its box: either side, above, below.
    static constexpr float kSidePadding = 140.0f;
    static constexpr float kTopPadding = 100.0f;
    static constexpr float kBottomPadding = 92.0f;
    // A record's text of at most this many characters stands upright when it
    // comes from a file that does not say.
    static constexpr int kLongestUprightText = 15;

private:
    class CBackground;
    class CTilted;

    // The document, made when first needed; a record read waits here to be
    // loaded into it.
    CFormattedText& Document() const;
    // The document after its content changed: the box size recomputed.
    void UpdateBox();
    // The document's bytes into the record.
    void StoreRecord();
    // The box's rectangle as drawn (y down, about the position).
    CRectF GetDrawnBox() const;
    // The text in the default format, centred, without a box.
    void SetPlainText(const std::wstring& text);
    // The margin the text fills, for the dialog: one it lies in alone with
    // a box as deep (or wide) as the margin.
    EMargin FindOwnMargin() const;
    // The document in the object's colours, committed.
    void PrepareDocument();
    // The box and the text at the object's origin.
    void DrawBoxAndText(CGraphicsContext& context);
    // Fills the document from the quoted lines of a listing; answers how
    // many lines there were.
    int ReadLegacyLines(std::istream& words);

    // A text read from a file is its record until it is drawn, measured or
    // edited: only then is the record laid out, with the wrap width read
    // beside it, and the box measured.
    mutable std::unique_ptr<CFormattedText> m_document;
    std::string m_record;
    int32_t m_recordWrap = 0;
    mutable bool m_recordPending = false;
    mutable CTextBoxSize m_boxSize;
    mutable bool m_boxStale = false;
    bool m_showBox = false;
    bool m_hidable = false;
    int m_dialogTextIndex = -1;
    EMargin m_marginSide = EMargin::kNone;
    CPoint2 m_dragOffset;
    bool m_upright = false;
    // A listing's header or footer text waits for the course's ring.
    EMargin m_pendingLegacyMargin = EMargin::kNone;
    bool m_legacyCentred = false;
};

// The box around a text: the laid-out width plus 280 and the height plus
// 192, each rounded up to a whole, even number.
CTextBoxSize ComputeTextBoxSize(CFormattedText& document);

// The wrap width a new text gets on the course: the course width less 280,
// down to whole metres on a metric course and to whole 1200s (ten feet)
// otherwise, at least 600 and at most the course width. 600 without a course.
int32_t GetDefaultWrapWidth(const CCourse* course);

// The format of a new text: tab interval 360, the layout shrinking to the
// content, size 240 throughout (280 in the Brisklane display mode), the
// default wrap width and the caret at the start.
void ApplyDefaultTextFormat(CFormattedText& document, const CCourse* course);
