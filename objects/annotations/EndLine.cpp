#include "objects/annotations/EndLine.h"

#include <algorithm>
#include <istream>
#include <string>

#include "course/Course.h"
#include "dialogs/EndLineDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/NoticeSink.h"
#include "foundation/Numeric.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/TextLabelPart.h"

namespace {

constexpr int kLinePart = 15;
constexpr int kCircleFillPart = 25;
constexpr int kLetterPart = 26;
// The hint on placing by dragging, and the letters of the circles.
constexpr int kPlacingHintText = 2706;
constexpr int kStartLetterText = 2632;
constexpr int kFinishLetterText = 2633;
// The band behind the line of a pale or grey line on the map.
constexpr float kBandHalfWidth = 75.0f;
// Two cubic halves with their handles 4/3 of the radius out make the circle.
constexpr float kCircleHandle = 266.66666f;

CPoint2 Rounded(const CPoint2& p)
{
    return CPoint2(RoundHalfUp(p.x), RoundHalfUp(p.y));
}

// The line between the two circles, as a cached part keyed by the line's
// ends (whole units) and its colours: it runs from a circle's radius past
// end 0 to a radius short of end 1, over a band on a pale or grey map.
class CEndLineStroke : public CDrawable
{
public:
    CEndLineStroke(const CPoint2& end0, const CPoint2& end1, uint32_t penColor, uint32_t bandColor, bool banded)
        : m_end0(end0), m_end1(end1), m_penColor(penColor), m_bandColor(bandColor), m_banded(banded)
    {
        CFieldWriter& key = BeginKey();
        key.WritePoint(m_end0);
        key.WritePoint(m_end1);
        key.WriteInt32(int32_t(m_penColor));
        key.WriteInt32(int32_t(m_bandColor));
        key.WriteBool(m_banded);
    }

    // The unit vector from end 0 to end 1; (1, 0) for ends closer than 0.1.
    static CPoint2 GetDirection(const CPoint2& end0, const CPoint2& end1)
    {
        const CPoint2 d = end1 - end0;
        const float length = d.Length();
        return length < 0.1f ? CPoint2(1.0f, 0.0f) : d / length;
    }

    void Draw(CGraphicsContext& context) override
    {
        TRACE_POINT();
        CCourseObject::ApplyPlanStyle(context, m_penColor, m_bandColor, m_penColor, false,
                                      CTextLabelPart::kFontSize);
        const CPoint2 u = GetDirection(m_end0, m_end1);
        const CPoint2 from = m_end0 + u * CEndLine::kCircleRadius;
        const CPoint2 to = m_end1 - u * CEndLine::kCircleRadius;
        if (m_banded) {
            const CPoint2 side = CPoint2(-u.y, u.x) * kBandHalfWidth;
            context.BeginPath(false, true, 0);
            context.MoveTo(from + side);
            context.LineTo(to + side);
            context.LineTo(to - side);
            context.LineTo(from - side);
            context.EndPath();
        }
        context.BeginLine(1);
        context.MoveTo(from);
        context.LineTo(to);
        context.EndPath();
    }

private:
    CPoint2 m_end0;
    CPoint2 m_end1;
    uint32_t m_penColor;
    uint32_t m_bandColor;
    bool m_banded;
};

}  // namespace

// ---- End circle --------------------------------------------------------------------------

class CEndLine::CEndCircle : public CTextLabelPart
{
public:
    CEndCircle() : CTextLabelPart(true) {}

    // A circle of the line's radius, stroked and filled, and its letter
    // unless that would not show against the fill.
    void Draw(CGraphicsContext& context) override
    {
        TRACE_POINT();
        ApplyTextStyle(context);
        const float r = kCircleRadius;
        context.BeginPath(true, true, 0);
        context.MoveTo(0.0f, r);
        context.AddBezier(CPoint2(kCircleHandle, r), CPoint2(kCircleHandle, -r), CPoint2(0.0f, -r));
        context.AddBezier(CPoint2(-kCircleHandle, -r), CPoint2(-kCircleHandle, r), CPoint2(0.0f, r));
        context.EndPath();
        if (GetTextColorIndex() != GetFillColorIndex() || IsGreyed())
            context.DrawText(GetText(), 0.0f, 0.0f);
    }
};

// ---- Descriptor --------------------------------------------------------------------------

const CEndLine::CEndLineType& CEndLine::GetEndLineType()
{
    static const CEndLineType* type =
        new CEndLineType({kTypeId, kNameTextId, {"StartLine", "FinishLine", "StartFinishLine"},
                          {kLinePart, kCircleFillPart, kLetterPart}, true, true});
    return *type;
}

// ---- Object ------------------------------------------------------------------------------

CEndLine::CEndLine()
{
    UpdateEnds();
}

void CEndLine::GetEnd(CPoint2& point, int index) const
{
    if (index != 0 && index != 1) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        point = CPoint2();
        return;
    }
    point = m_ends[index];
}

void CEndLine::StartMove(float x, float y)
{
    TRACE_POINT();
    if (!m_creating) {
        CCourseObject::StartMove(x, y);
        return;
    }
    m_dragged = false;
    for (CSnapAxis* axis : {&GetSnapAxisX(), &GetSnapAxisY()}) {
        axis->Clear();
        axis->AddPosition(0.0f);
    }
}

void CEndLine::Move(float x, float y)
{
    if (!m_creating) {
        CCourseObject::Move(x, y);
        return;
    }
    const CPoint2 position = GetPosition();
    const CPoint2 pointer = CFieldStream::LimitPoint(CPoint2(x, y));
    const CPoint2 snapped(GetSnapAxisX().Apply(pointer.x - position.x), GetSnapAxisY().Apply(pointer.y - position.y));
    m_ends[1] = Rounded(CFieldStream::LimitPoint(position + snapped) - position);
    if ((m_ends[1] - m_ends[0]).Length() > kMinDrag)
        m_dragged = true;
}

void CEndLine::EndMove()
{
    TRACE_POINT();
    if (!m_creating) {
        CCourseObject::EndMove();
        return;
    }
    ResetSnapAxes();
    Recentre();
    CPoint2 d = m_ends[1] - m_ends[0];
    float length = d.Length();
    if (length < 0.1f) {
        d.x = 1.0f;
        length = 1.0f;
    }
    const CPoint2 grow = d * (kCircleRadius / length);
    m_ends[0] = m_ends[0] - grow;
    m_ends[1] = m_ends[1] + grow;
    m_creating = false;
    Recentre();
    if (!m_dragged)
        ShowHintNotice(kPlacingHintText, L"StartFinish", 1);
}

void CEndLine::Flip()
{
    for (CPoint2& end : m_ends)
        end.x = -end.x;
    UpdateEnds();
}

const CObstacleEnd* CEndLine::FindMirroredEnd(const CObstacleEnd* end, bool& reversed) const
{
    reversed = false;
    for (int i = 0; i < 4; ++i) {
        if (m_obstacleEnds[i] == end)
            return m_obstacleEnds[i ^ 1];
    }
    TRACE_VALUE(const void*, end);
    ReportFailure();
    return nullptr;
}

void CEndLine::StartHandleMove(int handle)
{
    TRACE_VALUE(int32_t, handle);
    if (handle != 0 && handle != 1) {
        ReportFailure();
        return;
    }
    Recentre();
    const CPoint2 other = GetPlacement().TransformPoint2D(m_ends[1 - handle]);
    const CPoint2 dragged = GetPlacement().TransformPoint2D(m_ends[handle]);
    ResetSnapAxes();
    GetSnapAxisX().AddPosition(other.x);
    GetSnapAxisY().AddPosition(other.y);
    GetSnapAxisX().Anchor(dragged.x);
    GetSnapAxisY().Anchor(dragged.y);
}

void CEndLine::EndHandleMove()
{
    ResetSnapAxes();
}

int CEndLine::MoveHandle(int handle, float x, float y)
{
    TRACE_VALUE(int32_t, handle);
    if (handle != 0 && handle != 1) {
        ReportFailure();
        return handle;
    }
    const CPoint2 pointer = CFieldStream::LimitPoint(CPoint2(x, y));
    const CPoint2 snapped =
        CFieldStream::LimitPoint(CPoint2(GetSnapAxisX().Apply(pointer.x), GetSnapAxisY().Apply(pointer.y)));
    Recentre();
    m_ends[handle] = Rounded(GetPlacement().InverseTransformPoint2D(snapped));
    Recentre();
    return handle;
}

void CEndLine::Reverse()
{
    if (m_kind == kStartAndFinishLine)
        return;
    m_kind = m_kind == kStartLine ? kFinishLine : kStartLine;
    Invalidate();
}

void CEndLine::ApplyVariant(const std::string& keyName, std::istream& words)
{
    TRACE_VALUE(std::string, keyName);
    std::string first;
    std::string second;
    words >> first >> second;
    if (first == "S" && second == "S")
        m_kind = kStartLine;
    else if (first == "F" && second == "F")
        m_kind = kFinishLine;
    else
        m_kind = kStartAndFinishLine;
    // A listing gives no ends: those the line keeps may lie beyond what a
    // record carries about a place by the edge of the range.
    LimitLocalPoints(m_ends, 2);
    UpdateEnds();
}

void CEndLine::ClearHandles()
{
    m_creating = true;
    m_dragged = false;
    m_ends[0] = CPoint2();
    m_ends[1] = CPoint2();
}

void CEndLine::KeepPointsStorable()
{
    LimitLocalPoints(m_ends, 2);
}

void CEndLine::Serialize(CFieldStream& stream)
{
    int32_t kind = m_kind;
    stream.Int8(kind);
    stream.Point(m_ends[0]);
    stream.Point(m_ends[1]);
    if (!stream.IsReading())
        return;
    // A damaged record's kind is taken as the line that offers every end.
    m_kind = kind >= kStartLine && kind <= kFinishLine ? kind : kStartAndFinishLine;
    if (!PlacesWithinStoredRange(m_ends, 2))
        Recentre();
    m_creating = false;
    UpdateEnds();
}

void CEndLine::SerializeExtra(CFieldStream& stream)
{
    stream.Bool(m_creating);
}

void CEndLine::ToDialog(CEditSession& dialog)
{
    if (CEndLineDlg* lineDialog = GetKindDialog<CEndLineDlg>(dialog))
        lineDialog->MergeStartAndFinish(m_kind);
}

void CEndLine::FromDialog(CEditSession& dialog)
{
    CEndLineDlg* lineDialog = GetKindDialog<CEndLineDlg>(dialog);
    if (lineDialog == nullptr || lineDialog->IsKindMixed())
        return;
    m_kind = lineDialog->GetStartAndFinish();
    UpdateEnds();
}

void CEndLine::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    const bool banded = GetColorMode() == kColorMode2D && GetDisplayState() != kNormal;
    CEndLineStroke stroke(m_ends[0], m_ends[1], GetPrimaryColor(), GetOutlineColor(), banded);
    DrawPart(context, stroke);

    const CPoint2 u = CEndLineStroke::GetDirection(m_ends[0], m_ends[1]);
    const CPoint2 from = m_ends[0] + u * kCircleRadius;
    const CPoint2 to = m_ends[1] - u * kCircleRadius;

    const CPoint2 centres[2] = {m_creating ? m_ends[0] : from, m_creating ? m_ends[1] : to};
    const int letters[2] = {m_kind == kFinishLine ? kFinishLetterText : kStartLetterText,
                            m_kind == kStartLine ? kStartLetterText : kFinishLetterText};
    for (int i = 0; i < 2; ++i) {
        CEndCircle circle;
        circle.SetStyle(GetColorMode());
        circle.SetText(GetString(letters[i]));
        circle.AttachToObject(*this);
        circle.SetOffset(centres[i]);
        circle.DrawAtAnchor(context);
    }
}

void CEndLine::UpdateEnds()
{
    m_start0.SetFromVector(m_ends[0]);
    m_finish0.SetFromVector(m_ends[0]);
    m_start1.SetFromVector(m_ends[1]);
    m_finish1.SetFromVector(m_ends[1]);
    // Offered in one order whatever was offered before: start ends first.
    const bool starts = m_kind != kFinishLine;
    const bool finishes = m_kind != kStartLine;
    CObstacleEnd* offered[4];
    size_t count = 0;
    for (CEndLineObstacleEnd* end : m_obstacleEnds) {
        if (end->flag ? starts : finishes)
            offered[count++] = end;
    }
    const CObstacleEndList& held = GetEnds();
    if (held.size() == count && std::equal(held.begin(), held.end(), offered)) {
        // The same ends as before, which may lie elsewhere now.
        if (CCourse* course = GetCourse())
            course->ForgetEndsOf(this);
        return;
    }
    for (size_t i = held.size(); i > 0; --i)
        RegisterEnd(held[i - 1], false);
    for (size_t i = 0; i < count; ++i)
        RegisterEnd(offered[i], true);
}

void CEndLine::Recentre()
{
    const CTransform& placement = GetPlacement();
    CPoint2 placed[2];
    for (int i = 0; i < 2; ++i)
        placed[i] = Rounded(CFieldStream::LimitPoint(placement.TransformPoint2D(m_ends[i])));
    const CPoint2 middle = Rounded((placed[0] + placed[1]) * 0.5f);
    for (int i = 0; i < 2; ++i)
        m_ends[i] = placed[i] - middle;
    CTransform centred;
    centred.SetPosition2D(middle.x, middle.y);
    SetPlacement(centred);
}
