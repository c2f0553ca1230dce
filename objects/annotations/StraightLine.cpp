#include "objects/annotations/StraightLine.h"

#include <cmath>
#include <istream>

#include "course/Course.h"
#include "dialogs/LengthFormat.h"
#include "dialogs/StraightLinePropertiesDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/ObstacleEnd.h"
#include "objects/equipment/TextLabelPart.h"

namespace {

constexpr int kLinePart = 15;
constexpr int kBandPart = 25;
constexpr int kLabelPart = 26;

// Ends of every kind: first, second, jump, start and finish.
constexpr int kAnyEndKind = 31;
const wchar_t kHelpTopic[] = L"StraightLine";
// The direction a line is given before it ever had two distinct ends.
const CPoint2 kDefaultDirection(3.0f, 0.0f);

constexpr float kArrowLength = 150.0f;
// A line longer than this ends inside its arrow heads, kArrowInset short of
// their tips, and gets the band of a pale or grey line.
constexpr float kMinInsetLength = 80.0f;
constexpr float kArrowInset = 75.0f;
constexpr float kBandHalfWidth = 75.0f;

// An end this near an entry lies on it but for the rounding to whole units.
constexpr float kArrivedDistance = 0.75f;
// A read end this near: the record of its obstacle rounds the obstacle's
// place as well, which moves the entry as far again.
constexpr float kReadArrivedDistance = 1.5f;

// Where an end placed at 10000 away keeps a fresh line from being of no
// length while its first end is set.
constexpr float kPlacingSpan = 10000.0f;

// A choice of 0 to 2 read from a record, else the fallback.
int32_t CheckedChoice(int32_t value, int32_t fallback)
{
    return value >= 0 && value <= 2 ? value : fallback;
}

// A point rounded to whole units, held within what the archive stores.
CPoint2 RoundStored(const CPoint2& point)
{
    const CPoint2 held = CFieldStream::LimitPoint(point);
    return CPoint2(RoundHalfUp(held.x), RoundHalfUp(held.y));
}

// The midpoint of two whole-unit coordinates as the archive has always
// placed lines: the sum divided by two, rounding toward zero.
float StoredMidpoint(float a, float b)
{
    return float((int32_t(a) + int32_t(b)) / 2);
}

}  // namespace

// ---- Descriptor -------------------------------------------------------------------------

CStraightLine::CStraightLineType::CStraightLineType()
    : CEquipmentTypeOf({kTypeId, 2588, {"HandlerArea"}, {kLinePart, kBandPart, kLabelPart}, true, true})
{
}

const CStraightLine::CStraightLineType& CStraightLine::GetStraightLineType()
{
    static const CStraightLineType* type = new CStraightLineType();
    return *type;
}

// ---- Geometry -----------------------------------------------------------------------------

void CStraightLine::GetEnd(CPoint2& point, int index) const
{
    if (index < 0 || index > 1) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        point = CPoint2();
        return;
    }
    point = m_ends[index];
}

CPoint2 CStraightLine::GetCourseEnd(int index) const
{
    CPoint2 point;
    GetEnd(point, index);
    return GetPlacement().TransformPoint2D(point);
}

float CStraightLine::GetLength() const
{
    return (m_ends[1] - m_ends[0]).Length();
}

const CObstacleEnd* CStraightLine::GetLink(int index) const
{
    return index == 0 || index == 1 ? m_links[index] : nullptr;
}

void CStraightLine::SetEnd(int index, const CPoint2& local)
{
    m_ends[index] = local;
    if (m_ends[0] != m_ends[1])
        m_direction = m_ends[1] - m_ends[0];
}

void CStraightLine::Recentre()
{
    const CTransform& placement = GetPlacement();
    const CPoint2 a = RoundStored(placement.TransformPoint2D(m_ends[0]));
    const CPoint2 b = RoundStored(placement.TransformPoint2D(m_ends[1]));
    const CPoint2 middle(StoredMidpoint(a.x, b.x), StoredMidpoint(a.y, b.y));
    const CPoint2 direction = placement.TransformVector2D(m_direction);
    if (middle == placement.GetPosition2D() && placement.GetRotation() == 0.0f && a - middle == m_ends[0] &&
        b - middle == m_ends[1])
        return;
    m_direction = direction;
    SetEnd(0, a - middle);
    SetEnd(1, b - middle);
    CTransform centred;
    centred.SetPosition2D(middle.x, middle.y);
    SetPlacement(centred);
}

bool CStraightLine::LinkEnd(int index, ETie tie, bool* turnedAway)
{
    CCourse* course = GetCourse();
    m_links[index] = nullptr;
    if (course == nullptr)
        return false;
    const CPoint2 p = GetCourseEnd(index);
    const bool readEnd = tie == ETie::kOntoUnlessArrived || tie == ETie::kInPlace;
    const float arrived = readEnd && course->IsTyingReadLines() ? kReadArrivedDistance : kArrivedDistance;
    // A read end that lies on an entry ties to the end whose entry passes
    // nearest, where it lies, though the nearest end be another's (an
    // obstacle placed beside it later); an end on no entry ties to the
    // nearest end.
    CObstacleEnd* found = readEnd ? course->FindEndOnEntry(p.x, p.y, arrived) : nullptr;
    if (found == nullptr)
        found = course->FindNearestEnd(p.x, p.y, kLinkReach, kAnyEndKind, 0);
    const CObstacleEnd* other = m_links[1 - index];
    if (found == nullptr)
        return false;
    // Both ends on one spot of one obstacle would make a line of nothing.
    if (other != nullptr && other->owner == found->owner && other->GetCoursePoint() == found->GetCoursePoint()) {
        if (turnedAway != nullptr)
            *turnedAway = true;
        return false;
    }
    m_links[index] = found;
    const CPoint2 entry = found->ClosestEntryPoint(p);
    // An end that lies on the entry but for the rounding to whole units has
    // arrived: moving it again would move it round the entry.
    if (tie == ETie::kInPlace || (entry - p).Length() <= arrived)
        return false;
    if (tie == ETie::kAsStored) {
        // Tied only where the move would leave the end as it is stored.
        if (RoundStored(entry) != p)
            m_links[index] = nullptr;
        return false;
    }
    SetEnd(index, GetPlacement().InverseTransformPoint2D(entry));
    Recentre();
    return true;
}

bool CStraightLine::FollowLinks()
{
    const CTransform before = GetPlacement();
    const CPoint2 endsBefore[2] = {m_ends[0], m_ends[1]};
    for (int i = 0; i < 2; ++i) {
        if (m_links[i] != nullptr)
            SetEnd(i, before.InverseTransformPoint2D(m_links[i]->GetCoursePoint()));
    }
    Recentre();
    if (GetPlacement() == before && m_ends[0] == endsBefore[0] && m_ends[1] == endsBefore[1])
        return false;
    KeepDragStart(before);
    Invalidate();
    return false;
}

void CStraightLine::KeepDragStart(const CTransform& before)
{
    // While the course moves or turns the selection, it places each object
    // from where the object was when the drag began. The line has since put
    // its origin elsewhere (its midpoint, the turn taken into its ends): its
    // start of the drag becomes where it now lies, taken back by the move or
    // the turn so far, or the next step would move or turn its ends again.
    CCourse* course = GetCourse();
    if (course == nullptr)
        return;
    const CTransform& start = GetDragStartPlacement();
    const CPoint2 now = GetPlacement().GetPosition2D();
    if (course->GetMotion() == 1 && IsActive()) {
        const CPoint2 from = start.GetPosition2D() + (now - before.GetPosition2D());
        CTransform moved = start;
        moved.SetPosition2D(from.x, from.y);
        SetDragStartPlacement(moved);
    } else if (course->GetMotion() == 2 && IsActiveForPath()) {
        const float angle = start.GetRotation() - before.GetRotation();
        const CPoint2 centre = course->GetRotationCentre();
        CTransform turn;
        turn.SetPosition2D(centre.x, centre.y);
        turn.RotateZ(-angle);
        const CPoint2 from = centre + turn.InverseTransformPoint2D(now);
        CTransform turned;
        turned.RotateZ(angle);
        turned.SetPosition2D(from.x, from.y);
        SetDragStartPlacement(turned);
    }
}

// ---- Course events ------------------------------------------------------------------------

void CStraightLine::AddSnapCoordinates(CSnapAxis& axisX, CSnapAxis& axisY, const CCourseObject* source)
{
    if (dynamic_cast<const CStraightLine*>(source) == nullptr)
        return;
    for (int i = 0; i < 2; ++i) {
        const CPoint2 end = GetCourseEnd(i);
        axisX.AddPosition(RoundHalfUp(end.x));
        axisY.AddPosition(RoundHalfUp(end.y));
    }
}

bool CStraightLine::ResolveLinks()
{
    Recentre();
    if (IsRestoringStep(*this)) {
        // An end an undo step puts back stays where the step stored it, and
        // looks for an end to tie to only where the step may have brought one.
        const bool untied[2] = {m_links[0] == nullptr && (m_untied[0] || IsNearObjectReadBack(0)),
                                m_links[1] == nullptr && (m_untied[1] || IsNearObjectReadBack(1))};
        TieEnds(untied, ETie::kAsStored);
        m_untied[0] = m_untied[1] = false;
        return false;
    }
    m_untied[0] = m_untied[1] = false;
    // A read ties both ends afresh, as the course saved and read again
    // would: in a paste too, where the ends of the lines already there may
    // now lie on the entries of pasted obstacles.
    const bool reading = GetCourse() != nullptr && GetCourse()->IsTyingReadLines();
    const bool untied[2] = {reading || m_links[0] == nullptr, reading || m_links[1] == nullptr};
    const CTransform placement = GetPlacement();
    const CPoint2 ends[2] = {m_ends[0], m_ends[1]};
    const CPoint2 direction = m_direction;
    bool turnedAway = false;
    if (!TieEnds(untied, ETie::kOntoUnlessArrived, &turnedAway))
        return false;
    // The course read again ties the ends from where they came to lie. An
    // end that moved lies on an entry and stays; but an end turned away for
    // the other's tie may be taken after all where the other now ties
    // otherwise (at a corner where two entries meet, among obstacles stacked
    // on one another), and the line would change with every reading: it
    // keeps the ends as read, tied where they are.
    if (turnedAway && TieEnds(untied, ETie::kOntoUnlessArrived)) {
        SetPlacement(placement);
        m_ends[0] = ends[0];
        m_ends[1] = ends[1];
        m_direction = direction;
        TieEnds(untied, ETie::kInPlace);
    }
    Invalidate();
    return false;
}

bool CStraightLine::TieEnds(const bool untied[2], ETie tie, bool* turnedAway)
{
    for (int i = 0; i < 2; ++i) {
        if (untied[i])
            m_links[i] = nullptr;
    }
    bool moved = false;
    for (int i = 0; i < 2; ++i) {
        if (untied[i] && LinkEnd(i, tie, turnedAway))
            moved = true;
    }
    return moved;
}

bool CStraightLine::IsNearObjectReadBack(int index) const
{
    const CPoint2 p = GetCourseEnd(index);
    for (const CCourseObject* object : GetCourse()->GetObjectsReadBack()) {
        for (const CObstacleEnd* end : object->GetEnds()) {
            if ((end->GetCoursePoint() - p).Length() <= kLinkReach + end->GetReach())
                return true;
        }
    }
    return false;
}

bool CStraightLine::BeforeObjectsDeleted()
{
    for (int i = 0; i < 2; ++i) {
        if (m_links[i] != nullptr && m_links[i]->owner != nullptr && IsBeingDeleted(*m_links[i]->owner)) {
            m_links[i] = nullptr;
            m_untied[i] = true;
        }
    }
    return false;
}

bool CStraightLine::OnOthersMoved() { return FollowLinks(); }

bool CStraightLine::OnMoveStarted() { return FollowLinks(); }

bool CStraightLine::OnOthersRotated() { return FollowLinks(); }

bool CStraightLine::OnOthersReshaped() { return FollowLinks(); }

bool CStraightLine::OnHandleMoved() { return FollowLinks(); }

// ---- Placing and dragging -----------------------------------------------------------------

void CStraightLine::StartMove(float x, float y)
{
    TRACE_POINT();
    SetEnd(1, m_ends[0] + CPoint2(kPlacingSpan, 0.0f));
    StartHandleMove(0);
    MoveHandle(0, x, y);
    StartHandleMove(1);
    // End 1 starts under the pointer, wherever end 0 went: the pointer's
    // way is snapped as it is.
    GetSnapAxisX().ClearOffset();
    GetSnapAxisY().ClearOffset();
    MoveHandle(1, x, y);
    m_pressPoint = CPoint2(x, y);
    m_dragged = false;
}

void CStraightLine::Move(float x, float y)
{
    CCourse* course = GetCourse();
    if (course == nullptr || course->GetPlacedObject() != this) {
        CCourseObject::Move(x, y);
        return;
    }
    MoveHandle(1, x, y);
    if ((CPoint2(x, y) - m_pressPoint).Length() > kDragDistance)
        m_dragged = true;
}

void CStraightLine::EndMove()
{
    TRACE_POINT();
    EndHandleMove();
    if (GetCourseEnd(0) == GetCourseEnd(1) && m_links[0] == nullptr) {
        const float half = 0.5f * kClickLength;
        SetEnd(0, m_ends[0] - CPoint2(half, 0.0f));
        SetEnd(1, m_ends[1] + CPoint2(half, 0.0f));
        Recentre();
    }
    if (!m_dragged)
        OfferDragHint();
}

void CStraightLine::OfferDragHint() const
{
    ShowHintNotice(kDragHint, kHelpTopic, 1);
}

void CStraightLine::StartHandleMove(int handle)
{
    TRACE_VALUE(int32_t, handle);
    if (handle < 0 || handle > 1) {
        ReportFailure();
        return;
    }
    Recentre();
    CSnapAxis& axisX = GetSnapAxisX();
    CSnapAxis& axisY = GetSnapAxisY();
    axisX.Clear();
    axisY.Clear();
    if (CCourse* course = GetCourse()) {
        course->NotifyOthers(axisX, axisY, this);
        axisX.AddPosition(0.0f);
        axisX.AddPosition(course->GetWidth());
        axisY.AddPosition(0.0f);
        axisY.AddPosition(course->GetHeight());
    }
    const CPoint2 other = GetCourseEnd(1 - handle);
    axisX.AddPosition(RoundHalfUp(other.x));
    axisY.AddPosition(RoundHalfUp(other.y));
    const CPoint2 own = GetCourseEnd(handle);
    axisX.Anchor(own.x);
    axisY.Anchor(own.y);
}

int CStraightLine::MoveHandle(int handle, float x, float y)
{
    TRACE_VALUE(int32_t, handle);
    if (handle < 0 || handle > 1 || !std::isfinite(x) || !std::isfinite(y)) {
        TRACE_VALUE(CPoint2, CPoint2(x, y));
        ReportFailure();
        return handle;
    }
    Recentre();
    const CPoint2 point = RoundStored(CPoint2(GetSnapAxisX().Apply(x), GetSnapAxisY().Apply(y)));
    SetEnd(handle, point - GetPlacement().GetPosition2D());
    LinkEnd(handle);
    Recentre();
    return handle;
}

void CStraightLine::EndHandleMove()
{
    CheckCrossings();
    CCourseObject::ResetSnapAxes();
}

void CStraightLine::ResetSnapAxes()
{
    CheckCrossings();
    CCourseObject::ResetSnapAxes();
}

void CStraightLine::CheckCrossings() const
{
    const CCourse* course = GetCourse();
    const float length = GetLength();
    if (course == nullptr || !(length >= kCrossingStep))
        return;
    // The longest line the archive holds is still tested every 93 units,
    // well within the reach of an end.
    const int samples = int(std::fmin(std::floor(length / kCrossingStep), float(kMaxCrossingSamples)));
    const CPoint2 a = GetCourseEnd(0);
    const CPoint2 along = GetCourseEnd(1) - a;
    for (int k = 1; k <= samples; ++k) {
        const CPoint2 p = a + along * (float(k) / float(samples));
        const CObstacleEnd* end = course->FindNearestEnd(p.x, p.y, kLinkReach, kAnyEndKind, 0);
        if (end == nullptr)
            continue;
        const CPoint2 spot = end->GetCoursePoint();
        bool tied = false;
        for (const CObstacleEnd* link : m_links)
            tied = tied || (link != nullptr && link->GetCoursePoint() == spot);
        if (!tied) {
            ShowHintNotice(kCrossingHint, kHelpTopic, 1);
            return;
        }
    }
}

void CStraightLine::ClearHandles()
{
    m_ends[0] = CPoint2();
    m_ends[1] = CPoint2();
}

void CStraightLine::Flip()
{
    for (CPoint2& end : m_ends)
        end.x = -end.x;
    m_direction.x = -m_direction.x;
    CCourseObject::Flip();
}

// ---- Records and dialogs ------------------------------------------------------------------

void CStraightLine::ApplyVariant(const std::string& keyName, std::istream& words)
{
    TRACE_VALUE(std::string, keyName);
    float inches[4];
    for (float& value : inches)
        value = float(ReadLegacyInt(words, 0));
    SetEnd(0, CPoint2(inches[0], inches[1]) * 10.0f);
    SetEnd(1, CPoint2(inches[2], inches[3]) * 10.0f);
    Recentre();
}

void CStraightLine::Serialize(CFieldStream& stream)
{
    CPoint2 ends[2] = {m_ends[0], m_ends[1]};
    int32_t pen = m_pen;
    int32_t arrowHeads = m_arrowHeads;
    bool showLength = m_showLength;
    int32_t units = m_units;
    stream.Point(ends[0]);
    stream.Point(ends[1]);
    stream.Int8(pen);
    stream.Int8(arrowHeads);
    stream.Bool(showLength);
    stream.Int8(units);
    CPoint2 direction = m_direction;
    if (stream.m_versionMajor < 4) {
        bool alongAxis = GetPlacement().GetRotation() == 0.0f && (ends[0].x == ends[1].x || ends[0].y == ends[1].y);
        stream.Bool(alongAxis);
    } else if (ends[0] == ends[1]) {
        // A direction travels as whole numbers: scaled to fit, and one that
        // would round to nothing, which reads as the default, scaled up.
        const float largest = std::fmax(std::fabs(direction.x), std::fabs(direction.y));
        const bool rescaled = largest > CFieldStream::kMaxPointCoordinate || (largest > 0.0f && largest < 1.0f);
        if (!stream.IsReading() && rescaled)
            direction = direction * (CFieldStream::kMaxPointCoordinate / largest);
        stream.Float16(direction.x);
        stream.Float16(direction.y);
    }
    if (!stream.IsReading())
        return;
    if (!IsFinite(ends[0]) || !IsFinite(ends[1]) || !IsFinite(direction)) {
        TRACE_VALUE(CPoint2, ends[0]);
        return;
    }
    m_ends[0] = ends[0];
    m_ends[1] = ends[1];
    m_direction = ends[0] != ends[1]              ? ends[1] - ends[0]
                  : direction.Length() < kMinDirection ? kDefaultDirection
                                                         : direction;
    m_pen = CheckedChoice(pen, 1);
    m_arrowHeads = CheckedChoice(arrowHeads, 0);
    m_showLength = showLength;
    m_units = CStraightLinePropertiesDlg::IsUsUnitKind(units) ? units : CStraightLinePropertiesDlg::kDefaultUnits;
}

void CStraightLine::SerializeExtra(CFieldStream& stream)
{
    if (!m_showLength)
        return;
    bool metric = IsOnMetricCourse(*this);
    stream.Bool(metric);
}

void CStraightLine::ToDialog(CEditSession& dialog)
{
    if (CStraightLinePropertiesDlg* own = GetKindDialog<CStraightLinePropertiesDlg>(dialog)) {
        own->MergePen(m_pen);
        own->MergeArrowHeads(m_arrowHeads);
        own->MergeShowLength(m_showLength);
        own->MergeUnits(m_units);
    }
}

void CStraightLine::FromDialog(CEditSession& dialog)
{
    CStraightLinePropertiesDlg* own = GetKindDialog<CStraightLinePropertiesDlg>(dialog);
    if (own == nullptr)
        return;
    if (own->HasPen())
        m_pen = CheckedChoice(own->GetPen(), m_pen);
    if (own->HasArrowHeads())
        m_arrowHeads = CheckedChoice(own->GetArrowHeads(), m_arrowHeads);
    if (own->HasShowLength())
        m_showLength = own->GetShowLength();
    if (own->HasUnits() && CStraightLinePropertiesDlg::IsUsUnitKind(own->GetUnits()))
        m_units = own->GetUnits();
    Recentre();
    LinkEnd(0);
    LinkEnd(1);
}

// ---- Drawing ------------------------------------------------------------------------------

void CStraightLine::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    CPoint2 a = m_ends[0];
    CPoint2 b = m_ends[1];
    const float length = GetLength();
    const CPoint2 middle = (a + b) * 0.5f;
    const float directionLength = m_direction.Length();
    const CPoint2 u = length > 0.0f            ? (b - a) / length
                      : directionLength > 0.0f ? m_direction / directionLength
                                               : CPoint2(1.0f, 0.0f);
    // A line shorter than the pen is wide shows as a stroke as long as that,
    // along the line or, where its ends coincide, the way it last ran.
    const float width = context.m_state.penWidth;
    if (length < width) {
        a = middle - u * (0.5f * width);
        b = middle + u * (0.5f * width);
    }
    const bool inset = length > kMinInsetLength;
    if (inset && GetColorMode() == kColorMode2D && GetDisplayState() != kNormal) {
        const CPoint2 side(-u.y * kBandHalfWidth, u.x * kBandHalfWidth);
        context.m_state.fillColor = GetOutlineColor();
        context.BeginPath(false, true, 0);
        context.MoveTo(a + side);
        context.LineTo(b + side);
        context.LineTo(b - side);
        context.LineTo(a - side);
        context.EndPath();
    }
    if (m_arrowHeads >= 1) {
        context.DrawArrowHead(b.x, b.y, u.x, u.y, kArrowLength);
        if (inset)
            b = b - u * kArrowInset;
    }
    if (m_arrowHeads == 2) {
        context.DrawArrowHead(a.x, a.y, -u.x, -u.y, kArrowLength);
        if (inset)
            a = a + u * kArrowInset;
    }
    context.SetDashStyle(uint32_t(m_pen));
    context.BeginLine(1);
    context.MoveTo(a);
    context.LineTo(b);
    context.EndPath();
    context.SetDashStyle(0);

    if (!m_showLength)
        return;
    CTextLabelPart label(false);
    label.SetText(FormatMeasuredLength(length, IsOnMetricCourse(*this), EUnitKind(m_units)));
    label.SetStyle(2);
    label.AttachToObject(*this);
    label.SetOffset(middle);
    label.DrawAtAnchor(context);
}
