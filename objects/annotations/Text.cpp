#include "objects/annotations/Text.h"

#include <algorithm>
#include <cmath>
#include <istream>

#include "course/ColorPalette.h"
#include "course/Course.h"
#include "dialogs/TextPropertiesDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/Numeric.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/TextLabelPart.h"

namespace {

constexpr int kTextNameTextId = 2596;
constexpr int kBackgroundPart = 25;
constexpr int kAccentPart = 26;
constexpr int kTextPart = 15;

// The format of new texts.
constexpr int32_t kTabInterval = 360;
constexpr float kFontSize = 240.0f;
constexpr float kBrisklaneFontSize = 280.0f;
// A new text wraps at whole ten-foot steps (or metres) of the course less
// this, but no narrower than kNarrowestWrap.
constexpr int32_t kWrapInset = 280;
constexpr int32_t kNarrowestWrap = 600;
constexpr int32_t kWrapStepUs = 1200;
// The record keeps the wrap width as an Int16.
constexpr int32_t kWidestWrap = 32767;

// A paragraph is laid out in time that grows faster than its length: the
// characters a text takes from a listing or a caller, and the bytes of a
// record it reads, stop here. No real text comes near either.
constexpr size_t kMaxTextLength = 1000000;
constexpr size_t kMaxRecordBytes = 1u << 20;

// The outline of a shown box, and the height at which the text lies.
constexpr float kOutlineWidth = 30.0f;
constexpr float kTextDepth = 0.7f;
// The label style under which an upright text takes its colours.
constexpr int kUprightStyle = 3;

// Rounds up to a whole, even number.
float RoundUpEven(float value)
{
    float whole = std::ceil(value);
    if (!std::isfinite(whole))
        return 0.0f;
    if (std::fmod(whole, 2.0f) != 0.0f)
        whole += 1.0f;
    return whole;
}

// The wrap width that holds the laid-out text, within the record's reach.
int32_t WrapHolding(CFormattedText& document)
{
    const float laidOut = std::min(std::ceil(document.GetLayoutWidth()), float(kWidestWrap));
    return std::max(document.GetWrapWidth(), int32_t(laidOut));
}

// Replaces the whole text by the plain text, a run of kInsertRun characters
// at a time, never parting a "\r\n": a wrapped paragraph filled in one
// piece is laid out in time and memory growing with the square of its
// length. The last run replaces the final mark, as a whole text given at
// once would.
constexpr size_t kInsertRun = 1000;

void ReplaceWithPlainText(CFormattedText& document, const std::wstring& text)
{
    document.SelectAll();
    document.InsertText(std::wstring());
    size_t start = 0;
    for (;;) {
        size_t end = std::min(text.size(), start + kInsertRun);
        if (end < text.size() && text[end - 1] == L'\r')
            ++end;
        const bool last = end == text.size();
        if (last)
            document.SetSelection(document.GetCaret(), document.GetLength(), false);
        document.InsertText(text.substr(start, end - start));
        if (last)
            return;
        start = end;
    }
}

// Loads the record as the whole document, the caret at its start.
void LoadRecord(CFormattedText& document, const std::string& record)
{
    document.SelectAll();
    document.InsertSerialized(record);
    document.SetCaret(0, false, false);
}

bool IsOctalDigit(int ch) { return ch >= '0' && ch <= '7'; }

// Option letters of a legacy text lie in this range; anything else is
// passed over.
bool IsOptionRange(int ch) { return ch >= 32 && ch <= 79; }

}  // namespace

// ---- Drawables ------------------------------------------------------------------------------

// The box behind the text: filled, and outlined when the box is shown, in
// the plan style with the hatching the object is drawn with.
class CText::CBackground : public CDrawable
{
public:
    CBackground(float width, float height, int fillIndex, int penIndex, bool outline, uint32_t style)
        : m_width(width), m_height(height), m_fillIndex(fillIndex), m_penIndex(penIndex), m_outline(outline),
          m_style(style)
    {
        CFieldWriter& key = BeginKey();
        key.WriteInt32(CFieldStream::RoundHalfUp(m_width));
        key.WriteInt32(CFieldStream::RoundHalfUp(m_height));
        key.WriteInt8(m_fillIndex);
        key.WriteInt8(m_penIndex);
        key.WriteInt8(m_outline ? 1 : 0);
        key.WriteInt8(int32_t(m_style));
    }

    void Draw(CGraphicsContext& context) override
    {
        TRACE_POINT();
        const CColorPalette& palette = CColorPalette::GetInstance();
        const uint32_t pen = palette.GetColor(m_penIndex);
        CCourseObject::ApplyPlanStyle(context, pen, palette.GetColor(m_fillIndex), pen, m_style != 0, kFontSize);
        context.m_state.penWidth = kOutlineWidth;
        context.BeginPath(m_outline, true, 1);
        context.AddRect(CRectF(-m_width / 2.0f, -m_height / 2.0f, m_width / 2.0f, m_height / 2.0f));
        context.EndPath();
    }

private:
    float m_width;
    float m_height;
    int m_fillIndex;
    int m_penIndex;
    bool m_outline;
    uint32_t m_style;
};

// An upright text in 3D: a label that draws the text object at its anchor,
// facing the eye.
class CText::CTilted : public CTextLabelPart
{
public:
    explicit CTilted(CText& owner) : CTextLabelPart(false), m_owner(owner) {}

    void Draw(CGraphicsContext& context) override { m_owner.DrawBoxAndText(context); }

    // What the text draws: its committed document (whose key changes with
    // its content and colours), its box and the box's look.
    void WriteKeyExtra(CFieldWriter& writer) override
    {
        const CTextBoxSize& box = m_owner.GetBoxSize();
        writer.WriteString(m_owner.Document().GetKey());
        writer.WriteInt32(CFieldStream::RoundHalfUp(box.width));
        writer.WriteInt32(CFieldStream::RoundHalfUp(box.height));
        writer.WriteInt8(m_owner.m_showBox ? 1 : 0);
        writer.WriteInt8(m_owner.IsShrunk() ? 1 : 0);
        writer.WriteInt8(m_owner.GetOutlineColorIndex());
        writer.WriteInt8(m_owner.GetPrimaryColorIndex());
    }

private:
    CText& m_owner;
};

// ---- Descriptor -------------------------------------------------------------------------------

CText::CTextType::CTextType()
    : CEquipmentTypeOf({kTypeId, kTextNameTextId, {"Text"}, {kBackgroundPart, kAccentPart, kTextPart}, true, true})
{
}

const CText::CTextType& CText::GetTextType()
{
    static const CTextType* type = new CTextType();
    return *type;
}

// ---- Plain functions -------------------------------------------------------------------------

CTextBoxSize ComputeTextBoxSize(CFormattedText& document)
{
    CTextBoxSize size;
    size.width = RoundUpEven(document.GetLayoutWidth() + 2.0f * CText::kSidePadding);
    size.height = RoundUpEven(document.GetHeight() + CText::kTopPadding + CText::kBottomPadding);
    return size;
}

int32_t GetDefaultWrapWidth(const CCourse* course)
{
    if (course == nullptr)
        return kNarrowestWrap;
    const int64_t width = int64_t(course->GetWidth());
    const int64_t c = width - kWrapInset;
    int64_t w = 0;
    if (course->IsMetric()) {
        const int64_t metres = c * 254 / 100000;
        w = metres * 100000 / 254;
    } else {
        w = c / kWrapStepUs * kWrapStepUs;
    }
    const int64_t wrap = std::min(width, std::max(int64_t(kNarrowestWrap), w));
    return int32_t(std::max(int64_t(1), std::min(wrap, int64_t(kWidestWrap))));
}

void ApplyDefaultTextFormat(CFormattedText& document, const CCourse* course)
{
    TRACE_POINT();
    document.SetTabInterval(kTabInterval);
    document.SetShrinkToContent(true);
    document.SelectAll();
    document.SetSelectionFontSize(IsBrisklaneMode() ? kBrisklaneFontSize : kFontSize);
    document.SetWrapWidth(GetDefaultWrapWidth(course));
    document.SetCaret(0, false, false);
}

// ---- Object ---------------------------------------------------------------------------------------

CText::CText() = default;

CText::~CText() = default;

// The document starts in the default format's size, tab interval and
// shrinking: what a record does not say stays so, and a record read needs no
// more than its own values.
CFormattedText& CText::Document() const
{
    if (!m_document) {
        m_document = std::make_unique<CFormattedText>(kFontSize, kTabInterval);
        m_document->SetShrinkToContent(true);
    }
    if (m_recordPending) {
        m_recordPending = false;
        LoadRecord(*m_document, m_record);
        // The archive's wrap width holds over the one in the record's bytes,
        // so that what was read is written again.
        m_document->SetWrapWidth(m_recordWrap);
    }
    return *m_document;
}

const CTextBoxSize& CText::GetBoxSize() const
{
    if (m_boxStale) {
        m_boxStale = false;
        m_boxSize = ComputeTextBoxSize(Document());
    }
    return m_boxSize;
}

bool CText::IsShown() const
{
    const CCourse* course = GetCourse();
    return !m_hidable || course == nullptr || course->GetShowTexts();
}

void CText::AddSnapCoordinates(CSnapAxis& axisX, CSnapAxis& axisY, const CCourseObject* source)
{
    const CText* moving = dynamic_cast<const CText*>(source);
    if (moving == nullptr || moving == this)
        return;
    const CPoint2 standing = GetPosition();
    const CTextBoxSize& box = GetBoxSize();
    const CTextBoxSize& movingBox = moving->GetBoxSize();
    const float ws = box.width / 2.0f;
    const float wm = movingBox.width / 2.0f;
    const float hs = box.height / 2.0f;
    const float hm = movingBox.height / 2.0f;
    for (float x : {standing.x - (ws + wm), standing.x - ws + wm, standing.x + ws + wm})
        axisX.AddPosition(x);
    for (float y : {standing.y - (hs + hm), standing.y - hs + hm, standing.y + hs + hm})
        axisY.AddPosition(y);
}

void CText::GetEnd(CPoint2& point, int index) const
{
    if (index < 0 || index >= GetEndCount()) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        point = CPoint2();
        return;
    }
    const CTextBoxSize& box = GetBoxSize();
    point = CPoint2(float(2 * (index / 2) - 1) * box.width / 2.0f, float(2 * (index % 2) - 1) * box.height / 2.0f);
}

void CText::StartMove(float x, float y)
{
    const CPoint2 pointer(x, y);
    if (m_marginSide == EMargin::kNone || !IsInMargin(pointer, m_marginSide)) {
        CCourseObject::StartMove(x, y);
        return;
    }
    PlaceInMargin(m_marginSide);
    m_dragOffset = GetPosition() - pointer;
    Move(x, y);
}

void CText::Move(float x, float y)
{
    CPoint2 target(x, y);
    if (m_marginSide != EMargin::kNone && IsInMargin(target, m_marginSide))
        target = target + m_dragOffset;
    MoveTo(target.x, target.y);
}

void CText::EndMove()
{
    CCourseObject::EndMove();
    // The offset belongs to the pointer of one placing; a later drag of the
    // selection moves the text by its own position.
    m_dragOffset = CPoint2();
}

void CText::BuildSnapGrid()
{
    CCourse* course = GetCourse();
    if (course == nullptr)
        return;
    CSnapAxis& axisX = GetSnapAxisX();
    CSnapAxis& axisY = GetSnapAxisY();
    course->NotifyOthers(axisX, axisY, this);
    const CRectF ring = course->GetRingRect(false, true);
    const float width = course->GetWidth();
    const float height = course->GetHeight();
    const CTextBoxSize& box = GetBoxSize();
    const float w = box.width / 2.0f;
    const float h = box.height / 2.0f;
    for (float x : {w + ring.left, -w, w, width / 2.0f, width - w, width + w, ring.right - w})
        axisX.AddPosition(x);
    for (float y : {h + ring.top, -h, h, height / 2.0f, height - h, height + h, ring.bottom - h})
        axisY.AddPosition(y);
    const CPoint2 position = GetPosition();
    axisX.Anchor(position.x);
    axisY.Anchor(position.y);
}

bool CText::OnMoveStarted()
{
    if (IsActive() && !m_showBox)
        Invalidate();
    return false;
}

void CText::ClearHandles()
{
    const CCourse* course = GetCourse();
    SetPlainText(course != nullptr ? GetTextType().GetDisplayName(*course) : GetString(kTextNameTextId));
}

void CText::SetText(const std::wstring& text)
{
    TRACE_VALUE(int32_t, int32_t(text.size()));
    SetPlainText(text);
    Invalidate();
}

void CText::SetPlainText(const std::wstring& text)
{
    CFormattedText& document = Document();
    ApplyDefaultTextFormat(document, GetCourse());
    m_showBox = false;
    ReplaceWithPlainText(document, text.substr(0, kMaxTextLength));
    document.SetWrapWidth(WrapHolding(document));
    UpdateBox();
    document.SelectAll();
    document.SetSelectionAlignment(kAlignCentre);
    document.SetCaret(0, false, false);
    StoreRecord();
}

void CText::ApplyVariant(const std::string& keyName, std::istream& words)
{
    TRACE_VALUE(std::string, keyName);
    CFormattedText& document = Document();
    ApplyDefaultTextFormat(document, GetCourse());
    m_showBox = ReadLegacyInt(words, 0) != 0;
    m_hidable = false;
    const int lines = ReadLegacyLines(words);
    document.SetWrapWidth(WrapHolding(document));
    UpdateBox();

    EAlignment alignment = lines > 1 ? kAlignCentre : kAlignLeft;
    for (int ch = words.get(); ch != std::char_traits<char>::eof(); ch = words.get()) {
        if (!IsOptionRange(ch))
            continue;
        if (ch == 'C')
            alignment = kAlignCentre;
        else if (ch == 'L')
            alignment = kAlignLeft;
        else if (ch == 'H')
            m_pendingLegacyMargin = EMargin::kAbove;
        else if (ch == 'F')
            m_pendingLegacyMargin = EMargin::kBelow;
    }
    m_legacyCentred = alignment == kAlignCentre;
    if (m_pendingLegacyMargin != EMargin::kNone)
        m_showBox = false;
    document.SelectAll();
    document.SetSelectionAlignment(alignment);
    document.SetCaret(0, false, false);
    StoreRecord();
}

int CText::ReadLegacyLines(std::istream& words)
{
    std::wstring text;
    int lines = 0;
    bool inString = false;
    const int end = std::char_traits<char>::eof();
    for (int ch = words.get(); ch != end; ch = words.get()) {
        if (!inString) {
            // Outside the quotes only a quote and the bar mean anything.
            if (ch == '|')
                break;
            if (ch == '"') {
                inString = true;
                if (lines++ > 0)
                    text.push_back(L'\n');
            }
            continue;
        }
        if (ch == '"') {
            inString = false;
            continue;
        }
        if (ch == '\\') {
            ch = words.get();
            if (ch == end)
                break;
            if (IsOctalDigit(ch)) {
                int code = ch - '0';
                for (int digit = 1; digit < 3 && IsOctalDigit(words.peek()); ++digit)
                    code = code * 8 + (words.get() - '0');
                ch = code % 256;
            }
        }
        // The listing's bytes are the 256 first characters; a nul would end
        // the text wherever it is taken as a C string.
        if (ch != 0 && text.size() < kMaxTextLength)
            text.push_back(wchar_t(static_cast<unsigned char>(ch)));
    }
    ReplaceWithPlainText(Document(), text);
    return lines;
}

void CText::Serialize(CFieldStream& stream)
{
    // Reading sets the wrap width; a record not laid out yet writes the one
    // read with it.
    int32_t wrap = 0;
    if (!stream.IsReading())
        wrap = m_recordPending ? m_recordWrap : Document().GetWrapWidth();
    stream.String(m_record);
    stream.Int16(wrap);
    stream.Bool(m_showBox);
    stream.Bool(m_hidable);
    const bool current = stream.IsVersionAtLeast(4, 0);
    if (current)
        stream.Bool(m_upright);
    if (!stream.IsReading())
        return;

    const bool wrapMended = wrap <= 0;
    if (wrapMended) {
        TRACE_VALUE(int32_t, wrap);
        wrap = GetDefaultWrapWidth(GetCourse());
    }
    const bool cut = m_record.size() > kMaxRecordBytes;
    if (cut) {
        TRACE_VALUE(int32_t, int32_t(m_record.size()));
        m_record.resize(kMaxRecordBytes);
    }
    // The record is laid out when the text is first drawn or measured,
    // unless it is to be written back changed or tells how the text stands.
    m_recordWrap = wrap;
    m_recordPending = true;
    m_boxStale = true;
    const bool brisklane = IsBrisklaneMode();
    if (brisklane) {
        CFormattedText& document = Document();
        document.SelectAll();
        document.SetSelectionFontSize(kBrisklaneFontSize);
        document.SetCaret(0, false, false);
    }
    if (wrapMended || cut || brisklane)
        StoreRecord();
    if (!current)
        m_upright = Document().GetLength() - 1 <= kLongestUprightText;
}

void CText::SerializeExtra(CFieldStream& stream)
{
    const CCourse* course = GetCourse();
    int32_t shrunk = IsShrunk() ? 1 : 0;
    int32_t hidden = m_hidable && course != nullptr && !course->GetShowTexts() ? 1 : 0;
    stream.Int8(shrunk);
    stream.Int8(hidden);
}

bool CText::ResolveLinks()
{
    if (m_pendingLegacyMargin == EMargin::kNone)
        return false;
    const EMargin margin = m_pendingLegacyMargin;
    m_pendingLegacyMargin = EMargin::kNone;
    CCourse* course = GetCourse();
    if (course == nullptr)
        return false;
    TRACE_VALUE(int32_t, int32_t(margin));
    CCourse::CRingSettings ring = course->GetRingSettings();
    float& room = ring.margins[margin == EMargin::kAbove ? CCourse::kMarginLowY : CCourse::kMarginHighY];
    room = std::max(room, GetBoxSize().height);
    course->TakeOverRingSettings(ring);
    const CTextBoxSize& box = GetBoxSize();
    const float x = m_legacyCentred ? course->GetWidth() / 2.0f : box.width / 2.0f;
    const float y = margin == EMargin::kAbove ? -box.height / 2.0f : course->GetHeight() + box.height / 2.0f;
    CTransform placement = GetPlacement();
    placement.SetPosition2D(RoundHalfUp(x), RoundHalfUp(y));
    SetPlacement(placement);
    return false;
}

void CText::ToDialog(CEditSession& dialog)
{
    CTextPropertiesDlg* own = GetKindDialog<CTextPropertiesDlg>(dialog);
    if (own == nullptr)
        return;
    m_dialogTextIndex = own->MergeText(m_record);
    own->MergeShowBox(m_showBox);
    own->MergeUpright(m_upright);
    own->MergeHidable(m_hidable);
    own->MergeKind(int(FindOwnMargin()));
}

void CText::FromDialog(CEditSession& dialog)
{
    CTextPropertiesDlg* own = GetKindDialog<CTextPropertiesDlg>(dialog);
    if (own == nullptr)
        return;
    if (own->HasText()) {
        CFormattedText& document = Document();
        own->GetText(&m_record, m_dialogTextIndex);
        LoadRecord(document, m_record);
        if (document.GetWrapWidth() <= 0) {
            document.SetWrapWidth(GetDefaultWrapWidth(GetCourse()));
            StoreRecord();
        }
    }
    // Texts placed differently each keep their own place.
    if (own->GetKind() != CTextPropertiesDlg::kMixedPlacement)
        m_marginSide = EMargin(own->GetKind());
    if (own->GetShowBox() != ECheckState::kMixed)
        m_showBox = own->GetShowBox() == ECheckState::kSet;
    if (own->GetUpright() != ECheckState::kMixed)
        m_upright = own->GetUpright() == ECheckState::kSet;
    if (own->GetHidable() != ECheckState::kMixed)
        m_hidable = own->GetHidable() == ECheckState::kSet;
    UpdateBox();
    if (m_dialogTextIndex >= 0 && m_marginSide != EMargin::kNone)
        PlaceInMargin(m_marginSide);
    Document().Layout();
}

void CText::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    DrawBoxAndText(context);
}

void CText::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    if (!m_upright) {
        DrawBoxAndText(context);
        return;
    }
    // The label's key names the committed document: commit it in the
    // colours it is drawn in first.
    PrepareDocument();
    CTilted label(*this);
    label.SetStyle(kUprightStyle);
    label.AttachToObject(*this);
    label.DrawAtAnchor(context);
}

// ---- Own operations ---------------------------------------------------------------------------------

void CText::PlaceInMargin(EMargin margin)
{
    const CCourse* course = GetCourse();
    if (course == nullptr || margin == EMargin::kNone)
        return;
    const CTextBoxSize& box = GetBoxSize();
    CPoint2 position = GetPosition();
    switch (margin) {
    case EMargin::kAbove:
        position.y = box.height / 2.0f - course->GetMargin(CCourse::kMarginLowY);
        break;
    case EMargin::kBelow:
        position.y = box.height / 2.0f + course->GetHeight();
        break;
    case EMargin::kLeft:
        position.x = box.width / 2.0f - course->GetMargin(CCourse::kMarginLowX);
        break;
    case EMargin::kRight:
        position.x = box.width / 2.0f + course->GetWidth();
        break;
    case EMargin::kNone:
        break;
    }
    CTransform placement = GetPlacement();
    placement.SetPosition2D(position.x, position.y);
    SetPlacement(placement);
}

bool CText::IsInMargin(const CPoint2& point, EMargin margin) const
{
    const CCourse* course = GetCourse();
    if (course == nullptr)
        return false;
    const float width = course->GetWidth();
    const float height = course->GetHeight();
    switch (margin) {
    case EMargin::kAbove:
        return point.y <= 0.0f && point.y >= -course->GetMargin(CCourse::kMarginLowY);
    case EMargin::kBelow:
        return point.y >= height && point.y <= height + course->GetMargin(CCourse::kMarginHighY);
    case EMargin::kLeft:
        return point.x <= 0.0f && point.x >= -course->GetMargin(CCourse::kMarginLowX);
    case EMargin::kRight:
        return point.x >= width && point.x <= width + course->GetMargin(CCourse::kMarginHighX);
    case EMargin::kNone:
        break;
    }
    return false;
}

bool CText::IsShrunk() const
{
    const CCourse* course = GetCourse();
    if (m_showBox || course == nullptr)
        return false;
    const CPoint2 p = GetPosition();
    const bool inside = p.x >= 0.0f && p.x < course->GetWidth() && p.y >= 0.0f && p.y < course->GetHeight();
    return !inside;
}

CText::EMargin CText::FindOwnMargin() const
{
    CCourse* course = GetCourse();
    if (course == nullptr)
        return EMargin::kNone;
    int above = 0;
    int below = 0;
    int left = 0;
    int right = 0;
    course->CountObjectsOutside(above, below, left, right);
    const CPoint2 p = GetPosition();
    const CTextBoxSize& box = GetBoxSize();
    const float w = box.width;
    const float h = box.height;
    if (p.y < 0.0f && above == 1 && h == course->GetMargin(CCourse::kMarginLowY))
        return EMargin::kAbove;
    if (p.y > course->GetHeight() && below == 1 && h == course->GetMargin(CCourse::kMarginHighY))
        return EMargin::kBelow;
    if (p.x < 0.0f && left == 1 && w == course->GetMargin(CCourse::kMarginLowX))
        return EMargin::kLeft;
    if (p.x > course->GetWidth() && right == 1 && w == course->GetMargin(CCourse::kMarginHighX))
        return EMargin::kRight;
    return EMargin::kNone;
}

void CText::UpdateBox()
{
    m_boxStale = false;
    m_boxSize = ComputeTextBoxSize(Document());
}

void CText::StoreRecord()
{
    CFormattedText& document = Document();
    m_record = document.Serialize(0, document.GetLength());
}

CRectF CText::GetDrawnBox() const
{
    const CTextBoxSize& size = GetBoxSize();
    const float w = size.width;
    const float h = size.height;
    CRectF box(-w / 2.0f, -h / 2.0f, w / 2.0f, h / 2.0f);
    if (IsShrunk()) {
        box.left += kSidePadding;
        box.right -= kSidePadding;
        box.top += kTopPadding;
        box.bottom -= kBottomPadding;
    }
    return box;
}

void CText::PrepareDocument()
{
    CFormattedText& document = Document();
    document.SetTextColor(GetPrimaryColor());
    document.SetBackgroundColor(GetOutlineColor());
    document.CommitChanges();
}

void CText::DrawBoxAndText(CGraphicsContext& context)
{
    const CRectF box = GetDrawnBox();
    const CPoint2 centre = box.GetCentre();
    CBackground background(box.Width(), box.Height(), GetOutlineColorIndex(), GetPrimaryColorIndex(), m_showBox,
                           context.m_state.fillPattern);
    DrawPartAt(context, background, centre.x, -centre.y, 0.0f);
    PrepareDocument();
    const CTextBoxSize& size = GetBoxSize();
    DrawPartAt(context, Document(), kSidePadding - size.width / 2.0f, size.height / 2.0f - kTopPadding, kTextDepth);
}
