#include "objects/equipment/TunnelPolylineGeometry.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "dialogs/TunnelPropertiesDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/NoticeSink.h"
#include "foundation/Numeric.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/annotations/Polyline.h"
#include "objects/equipment/TunnelFlexibleGeometry.h"

namespace {

// The outline is thinned to this distance from its smooth curve.
constexpr float kOutlineTolerance = 10.0f;
// The most rounds of spreading and shrinking one drag step makes.
constexpr int kMaxDragPasses = 50;
// How near a read body's far end must lie to the line's last point for the
// body to stand as the line's fit: one sample spacing of the fit.
constexpr float kAdoptedEndTolerance = 60.0f;
// The most times the placement's turn is corrected so that the rounded
// points give it back.
constexpr int kMaxTurnCorrections = 3;
// The most, in degrees, that a line may leave the origin aside of +x for a
// body fitted to it to start there as well.
constexpr float kLargestStartTurn = 90.0f;

// The points of a smooth curve's outline, thinned.
std::vector<CPoint2> Thin(const std::vector<CPoint2>& points)
{
    CPolyline line;
    for (const CPoint2& p : points)
        line.AddPoint(p.x, p.y, false);
    line.UpdateLengths(kOutlineTolerance, false);
    std::vector<CPoint2> kept;
    for (int i = line.NextFixed(-1); i < line.GetCount(); i = line.NextFixed(i))
        kept.push_back(line.GetPoint(i));
    return kept;
}

// The length of the smooth curve through the points.
template <typename Points>
float SmoothLength(const Points& points)
{
    float length = 0.0f;
    for (int i = 0; i + 1 < int(points.size()); ++i) {
        CCurveGeometry curve;
        CTunnelGeometry::GetSegmentCurve(points, i, curve);
        length += curve.GetLength();
    }
    return length;
}

// The turn, in whole degrees, of the start of the smooth line through the
// points (at least two).
float StartHeading(const CTunnelPoints& points)
{
    CCurveGeometry first;
    CTunnelGeometry::GetSegmentCurve(points, 0, first);
    const CPoint2 tangent = first.GetTangent(0.0f);
    return std::floor(std::atan2(tangent.y, tangent.x) * CTransform::kDegreesPerRadian + 0.5f);
}

}  // namespace

CTunnelPolylineGeometry::CTunnelPolylineGeometry(CCourseObject& owner) : CTunnelGeometry(owner) {}

CTunnelPolylineGeometry::~CTunnelPolylineGeometry() = default;

const std::deque<CPoint2>& CTunnelPolylineGeometry::GetPoints() const
{
    if (!m_pointsCopy)
        m_pointsCopy = std::make_unique<std::deque<CPoint2>>();
    m_pointsCopy->assign(m_points.begin(), m_points.end());
    return *m_pointsCopy;
}

CTunnelFlexibleGeometry& CTunnelPolylineGeometry::GetFittedBody() const
{
    const bool samePoints = !m_fittedPointsKept || m_fittedPoints == m_points;
    if (!m_fitted || !samePoints || m_fittedLength != m_length || m_fittedDiameter != m_diameter) {
        m_fitted = std::make_unique<CTunnelFlexibleGeometry>(m_owner);
        m_fitted->ConvertFrom(*this);
        ForgetFittedPoints();
        m_fittedLength = m_length;
        m_fittedDiameter = m_diameter;
    }
    return *m_fitted;
}

void CTunnelPolylineGeometry::KeepFittedPoints()
{
    if (m_fitted && !m_fittedPointsKept) {
        m_fittedPoints = m_points;
        m_fittedPointsKept = true;
    }
}

void CTunnelPolylineGeometry::ForgetFittedPoints() const
{
    CTunnelPoints().swap(m_fittedPoints);
    m_fittedPointsKept = false;
}

void CTunnelPolylineGeometry::AdoptFittedBody(std::unique_ptr<CTunnelFlexibleGeometry> body)
{
    m_adopted = std::move(body);
}

float CTunnelPolylineGeometry::CurveLength(const CTunnelPoints& points)
{
    return SmoothLength(points);
}

float CTunnelPolylineGeometry::CurveLength(const std::vector<CPoint2>& points)
{
    return SmoothLength(points);
}

void CTunnelPolylineGeometry::ToDialog(CTunnelPropertiesDlg& dialog)
{
    dialog.MergeSections(int(m_points.size()) - 1);
}

void CTunnelPolylineGeometry::RoundPoints()
{
    // The record holds the points as 16-bit whole units: a line reaching
    // beyond them stops at their edge, or it would read back elsewhere.
    KeepFittedPoints();
    for (CPoint2& p : m_points)
        p = CFieldStream::LimitPoint(CPoint2(RoundHalfUp(p.x), RoundHalfUp(p.y)));
}

void CTunnelPolylineGeometry::MakeStraightLine(int segments)
{
    KeepFittedPoints();
    m_points.clear();
    m_points.reserve(size_t(segments) + 1);
    for (int i = 0; i <= segments; ++i)
        m_points.emplace_back(float(i) * m_length / float(segments), 0.0f);
    RoundPoints();
}

void CTunnelPolylineGeometry::FromDialog(CTunnelPropertiesDlg& dialog)
{
    TRACE_POINT();
    const float outlineLength = std::max(CurveLength(GetLeftOutline()), CurveLength(GetRightOutline()));
    if (dialog.HasLength())
        m_length = dialog.GetLength();
    if (dialog.HasDiameter())
        SetDiameter(dialog.GetDiameter());
    if (m_points.empty()) {
        // A tunnel without a line gets a straight one; while the dialog has
        // no count or length for it, it keeps having none.
        if (!dialog.HasSections() || !dialog.HasLength())
            ReportFailure();
        else
            MakeStraightLine(dialog.GetSections());
    } else if (dialog.HasSections() && int(m_points.size()) - 1 != dialog.GetSections()) {
        const int segments = dialog.GetSections();
        const int oldSegments = int(m_points.size()) - 1;
        KeepFittedPoints();
        CTunnelPoints resampled;
        resampled.reserve(size_t(segments) + 1);
        for (int i = 0; i <= segments; ++i) {
            const int u = oldSegments * i * 1000 / segments;
            if (u % 1000 == 0) {
                resampled.push_back(m_points[size_t(u / 1000)]);
            } else {
                CCurveGeometry curve;
                GetSegmentCurve(m_points, u / 1000, curve);
                resampled.push_back(curve.GetPoint(float(u % 1000) / 1000.0f));
            }
        }
        m_points.swap(resampled);
        if (m_length / outlineLength < 1.0f) {
            for (CPoint2& p : m_points)
                p = p * (m_length / outlineLength);
        }
    }
    // The line starts along +x again, as a file gives it back.
    InvalidateOutline();
    Reanchor();
}

void CTunnelPolylineGeometry::Flip()
{
    // The outline is mirrored with the line, as it was traced: traced anew
    // along the mirrored line, its sides would trade places.
    TraceOutline();
    KeepFittedPoints();
    for (CPoint2& p : m_points)
        p.x = -p.x;
    for (std::vector<CPoint2>* outline : {&m_left, &m_right}) {
        for (CPoint2& p : *outline)
            p.x = -p.x;
    }
}

void CTunnelPolylineGeometry::EndHandleMove()
{
    TRACE_POINT();
    const CCourse* course = m_owner.GetCourse();
    if (course != nullptr && course->Get3D() && GetString(2006) == L"en")
        ShowHintNotice(2722, L"OpenTunnel", 1);
}

int CTunnelPolylineGeometry::MoveHandle(int handle, float x, float y)
{
    if (handle < 0 || handle >= int(m_points.size())) {
        TRACE_VALUE(int32_t, handle);
        ReportFailure();
        return handle;
    }
    KeepFittedPoints();
    m_points[size_t(handle)] = m_owner.GetPlacement().InverseTransformPoint2D(x, y);
    for (int pass = 0; pass < kMaxDragPasses; ++pass) {
        const bool spread = SpreadPoints(handle);
        InvalidateOutline();
        const bool shrunk = ShrinkToLength(handle);
        if (!spread && !shrunk)
            break;
    }
    Reanchor();
    return handle;
}

bool CTunnelPolylineGeometry::SpreadPoints(int handle)
{
    const int count = int(m_points.size());
    if (count < 2 || handle < 0 || handle >= count)
        return false;
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    const CPoint2 dragged = m_points[size_t(handle)];
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (a == handle || b == handle)
            return a == handle && b != handle;
        return (m_points[size_t(a)] - dragged).Length() < (m_points[size_t(b)] - dragged).Length();
    });
    const float half = m_diameter * 0.5f;
    const float even = m_length / (float(count - 1) * 1.25f);
    KeepFittedPoints();
    bool moved = false;
    for (size_t later = 1; later < order.size(); ++later) {
        CPoint2& point = m_points[size_t(order[later])];
        for (size_t earlier = 0; earlier < later; ++earlier) {
            const CPoint2& other = m_points[size_t(order[earlier])];
            const bool neighbours = std::abs(order[later] - order[earlier]) == 1;
            const float least = std::min(even, (neighbours ? 1.0f : 2.0f) * half);
            const CPoint2 d = point - other;
            const float distance = d.Length();
            if (!(distance < least + 0.5f))
                continue;
            const CPoint2 target = distance > 0.001f ? other + d * (least / distance) : other + CPoint2(least, 0.0f);
            moved = moved || (target - point).Length() > 0.01f;
            point = target;
        }
    }
    return moved;
}

bool CTunnelPolylineGeometry::ShrinkToLength(int handle)
{
    const float longest = std::max(CurveLength(GetLeftOutline()), CurveLength(GetRightOutline()));
    if (!(longest > m_length + 0.5f))
        return false;
    const float s = m_length / longest;
    KeepFittedPoints();
    const CTunnelPoints old = m_points;
    for (size_t i = 0; i < old.size(); ++i) {
        if (int(i) > handle)
            m_points[i] = old[i - 1] + (old[i] - old[i - 1]) * s;
        else if (int(i) < handle)
            m_points[i] = old[i + 1] + (old[i] - old[i + 1]) * s;
    }
    return true;
}

void CTunnelPolylineGeometry::Reanchor()
{
    if (m_points.size() < 2)
        return;
    const CTransform old = m_owner.GetPlacement();
    CTunnelPoints course;
    course.reserve(m_points.size());
    for (const CPoint2& p : m_points)
        course.push_back(old.TransformPoint2D(p));
    CTransform placement = old;
    // At the start, as far as a placement may go.
    const CPoint2 start = CFieldStream::LimitPoint(CPoint2(RoundHalfUp(course.front().x), RoundHalfUp(course.front().y)));
    placement.SetPosition2D(start.x, start.y);
    float turn = -StartHeading(course);
    KeepFittedPoints();
    for (int attempt = 0; attempt <= kMaxTurnCorrections; ++attempt) {
        placement.SetRotationZ(turn);
        m_points.clear();
        for (const CPoint2& p : course)
            m_points.push_back(placement.InverseTransformPoint2D(p));
        m_points.front() = CPoint2();
        RoundPoints();
        // Read back, the rounded points must call for the same turn.
        const float correction = StartHeading(m_points);
        if (correction == 0.0f)
            break;
        turn -= correction;
    }
    // The shape is complete before the placement tells the course, which
    // may measure it at once.
    InvalidateOutline();
    m_owner.SetPlacement(placement);
}

const std::vector<CPoint2>& CTunnelPolylineGeometry::GetLeftOutline() const
{
    TraceOutline();
    return m_left;
}

const std::vector<CPoint2>& CTunnelPolylineGeometry::GetRightOutline() const
{
    TraceOutline();
    return m_right;
}

void CTunnelPolylineGeometry::TraceOutline() const
{
    if (m_outlineValid)
        return;
    m_outlineValid = true;
    m_left.clear();
    m_right.clear();
    if (m_points.size() < 2)
        return;
    const float half = m_diameter * 0.5f;
    std::vector<CPoint2> left;
    std::vector<CPoint2> right;
    for (int i = 0; i + 1 < int(m_points.size()); ++i) {
        CCurveGeometry curve;
        GetSegmentCurve(m_points, i, curve);
        for (int k = i == 0 ? 0 : 1; k <= 8; ++k) {
            CPoint2 p;
            CPoint2 t;
            curve.Evaluate(float(k) * 0.125f, &p, &t, nullptr);
            const float length = t.Length();
            if (!(length > 0.0f))
                continue;
            const CPoint2 side = CPoint2(t.y, -t.x) * (half / length);
            left.push_back(p + side);
            right.push_back(p - side);
        }
    }
    m_left = Thin(left);
    m_right = Thin(right);
}

void CTunnelPolylineGeometry::ResetShape()
{
    MakeStraightLine(std::max(int(m_points.size()) - 1, 1));
    InvalidateOutline();
    m_owner.Invalidate();
}

void CTunnelPolylineGeometry::Serialize(CFieldStream& stream)
{
    const bool older = stream.m_versionMajor < 4;
    if (!stream.IsReading()) {
        if (older) {
            float length = m_length;
            int32_t polyline = -1;
            stream.Float16(length);
            stream.Int16(polyline);
        }
        int32_t count = int32_t(m_points.size());
        stream.Int8(count);
        for (CPoint2& p : m_points)
            stream.Point(p);
        return;
    }
    if (older) {
        SetDiameter(240.0f);
        TakeLegacyLength();
    }
    int32_t count = 0;
    stream.Int8(count);
    KeepFittedPoints();
    m_points.clear();
    m_points.reserve(size_t(std::max(count, int32_t(2))));
    for (int32_t i = 0; i < count; ++i) {
        CPoint2 p;
        stream.Point(p);
        m_points.push_back(p);
    }
    // Fewer than two points make no line: a damaged record reads as the
    // straight tunnel of its length.
    if (m_points.size() < 2) {
        TRACE_VALUE(int32_t, count);
        MakeStraightLine(1);
    }
    if (m_adopted) {
        // A body that does not end where the line does (a damaged or a
        // foreign record) is not taken: the line is fitted when asked.
        CPoint2 farEnd;
        CPoint2 direction;
        m_adopted->GetFarEnd(farEnd, direction);
        const CPoint2 lineEnd = GetStartFrame().InverseTransformPoint2D(m_points.back());
        if ((farEnd - lineEnd).Length() <= kAdoptedEndTolerance) {
            m_fitted = std::move(m_adopted);
            ForgetFittedPoints();
            m_fittedLength = m_length;
            m_fittedDiameter = m_diameter;
        }
        m_adopted.reset();
    }
    // The line stays where the record has it: anchoring it anew would turn
    // it by what the rounding of its points suggests, and it would not be
    // written as it was read.
    InvalidateOutline();
}

void CTunnelPolylineGeometry::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    TraceOutline();
    if (m_left.size() < 2 || m_right.size() < 2)
        return;
    context.m_state.fillColor = m_owner.GetPrimaryColor();
    context.BeginPath(true, true, 1);
    CCurveGeometry curve;
    for (int i = 0; i + 1 < int(m_left.size()); ++i) {
        GetSegmentCurve(m_left, i, curve);
        context.AddBezierSegment(curve);
    }
    for (int i = int(m_right.size()) - 2; i >= 0; --i) {
        GetSegmentCurve(m_right, i, curve);
        curve.Reverse();
        context.AddBezierSegment(curve);
    }
    context.EndPath();
    context.m_state.fillColor = m_owner.GetSecondaryColor();
    DrawTunnelMouths(context, m_left.front(), m_right.front(), m_left.back(), m_right.back());
}

void CTunnelPolylineGeometry::Build3D(CGraphicsContext& context)
{
    // The body lies in the line's start frame.
    const CTransform start = GetStartFrame();
    CTransform& matrix = context.m_state.matrix;
    const CTransform kept = matrix;
    if (start != CTransform())
        matrix = CTransform(kept, start);
    GetFittedBody().Build3D(context);
    matrix = kept;
}

CTransform CTunnelPolylineGeometry::GetStartFrame() const
{
    CTransform frame;
    if (m_points.size() < 2)
        return frame;
    // A body's first section turns onto a line that leaves the origin within
    // a quarter turn of +x (one converted from a body leaves a little aside
    // of it); one leaving backwards (flipped) or starting elsewhere is taken
    // as it starts.
    const float heading = StartHeading(m_points);
    if (m_points.front() == CPoint2() && std::fabs(heading) <= kLargestStartTurn)
        return frame;
    frame.SetPosition2D(m_points.front().x, m_points.front().y);
    frame.SetRotationZ(-heading);
    return frame;
}

void CTunnelPolylineGeometry::GetEnd(CPoint2& point, int index) const
{
    if (index < 0 || index >= int(m_points.size())) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        return;
    }
    point = m_points[size_t(index)];
}

void CTunnelPolylineGeometry::GetAnchor(CPoint2& point, int index) const
{
    if (!m_points.empty())
        point = index > 0 ? m_points.back() : m_points.front();
}

void CTunnelPolylineGeometry::GetFarEnd(CPoint2& point, CPoint2& direction) const
{
    point = m_points.empty() ? CPoint2() : m_points.back();
    direction = CPoint2(10000.0f, 0.0f);
    if (m_points.size() < 2)
        return;
    CCurveGeometry last;
    GetSegmentCurve(m_points, int(m_points.size()) - 2, last);
    const CPoint2 tangent = last.GetTangent(1.0f);
    const float length = tangent.Length();
    if (length > 0.0f)
        direction = tangent * (10000.0f / length);
}

void CTunnelPolylineGeometry::ConvertFrom(const CTunnelGeometry& other)
{
    TRACE_VALUE(int32_t, int32_t(other.GetKind()));
    m_length = other.GetNominalLength();
    SetDiameter(other.GetDiameter());
    if (other.GetKind() == kPolyline) {
        ReportFailure();
        return;
    }
    const CTunnelSections& sections = static_cast<const CTunnelBodyGeometry&>(other).GetSections();
    if (sections.empty()) {
        InvalidateOutline();
        return;
    }
    // Each section counts by its length, more where it bends: the points
    // gather in the bends.
    const float half = other.GetLength() * 0.5f;
    std::vector<float> measure;
    measure.reserve(sections.size());
    float total = 0.0f;
    for (const CTunnelSection& section : sections) {
        const float centre = section.GetCentreLength();
        if (centre > 0.0f)
            total += centre * Hypot(1.0f, section.angle / CTransform::kDegreesPerRadian * half / centre);
        measure.push_back(total);
    }
    KeepFittedPoints();
    m_points.clear();
    m_points.reserve(5);
    for (int k = 0; k <= 4; ++k) {
        const float target = float(k) * total * 0.25f;
        CTransform frame;
        float before = 0.0f;
        size_t i = 0;
        while (i + 1 < sections.size() && measure[i] < target) {
            before = measure[i];
            sections[i].Advance(frame, 1.0f);
            ++i;
        }
        const float span = measure[i] - before;
        const float t = span > 0.0f ? (target - before) / span : 0.0f;
        m_points.push_back(frame.TransformPoint2D(sections[i].GetChord(t)));
    }
    RoundPoints();
    InvalidateOutline();
}
