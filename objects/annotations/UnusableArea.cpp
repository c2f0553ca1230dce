#include "objects/annotations/UnusableArea.h"

#include <algorithm>
#include <cmath>
#include <istream>

#include "course/Course.h"
#include "course/ObjectType.h"
#include "dialogs/UnusableAreaPropertiesDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/NoticeSink.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"

namespace {

constexpr int kAreaPart = 15;
constexpr int kPlacingHintText = 2706;
// Where the area lies in 3D: between the grass and the course's objects.
constexpr float kFillLevel = -0.5f;
constexpr float kStrokeLevel = -0.4f;
// (1 - 1/sqrt 2) / 2: a legacy box's inscribed ellipse passes through the
// corners pulled in by this part of the box.
constexpr float kLegacyPull = 0.1464466f;

CPoint2 Rounded(const CPoint2& p)
{
    return CPoint2(RoundHalfUp(p.x), RoundHalfUp(p.y));
}

int LimitPercent(int32_t percent)
{
    return std::max(0, std::min(100, int(percent)));
}

// The ring's size, none without a course.
CPoint2 GetRingSize(const CCourseObject& object)
{
    const CCourse* course = object.GetCourse();
    return course != nullptr ? CPoint2(course->GetWidth(), course->GetHeight()) : CPoint2();
}

}  // namespace

const CUnusableArea::CUnusableType& CUnusableArea::GetUnusableType()
{
    static const CUnusableType* type = new CUnusableType({kTypeId, kNameTextId, {"UnusableArea"}, {kAreaPart}, true, true});
    return *type;
}

bool CUnusableArea::IsValidCorner(int index) const
{
    if (index >= 0 && index < 4)
        return true;
    TRACE_VALUE(int32_t, index);
    ReportFailure();
    return false;
}

bool CUnusableArea::IsStorable() const
{
    for (const CPoint2& corner : m_corners) {
        if (CFieldStream::LimitPoint(corner) != corner)
            return false;
    }
    return PlacesWithinStoredRange(m_corners, 4);
}

void CUnusableArea::GetEnd(CPoint2& point, int index) const
{
    point = IsValidCorner(index) ? m_corners[index] : CPoint2();
}

void CUnusableArea::StartMove(float x, float y)
{
    TRACE_POINT();
    m_creating = true;
    SetPlacement(CTransform());
    const CPoint2 ring = GetRingSize(*this);
    CPoint2 press = Rounded(CFieldStream::LimitPoint(CPoint2(x, y)));
    for (float edge : {0.0f, ring.x}) {
        if (std::fabs(press.x - edge) < kEdgeCatch)
            press.x = edge;
    }
    for (float edge : {0.0f, ring.y}) {
        if (std::fabs(press.y - edge) < kEdgeCatch)
            press.y = edge;
    }
    ResetSnapAxes();
    GetSnapAxisX().AddPosition(0.0f);
    GetSnapAxisX().AddPosition(ring.x);
    GetSnapAxisY().AddPosition(0.0f);
    GetSnapAxisY().AddPosition(ring.y);
    m_corners[0] = press;
    m_corners[1].y = press.y;
    m_corners[3].x = press.x;
    Move(x, y);
}

void CUnusableArea::Move(float x, float y)
{
    if (!m_creating) {
        CCourseObject::Move(x, y);
        return;
    }
    const CPoint2 pointer = CFieldStream::LimitPoint(CPoint2(x, y));
    const CPoint2 q = Rounded(
        CFieldStream::LimitPoint(CPoint2(GetSnapAxisX().Apply(pointer.x), GetSnapAxisY().Apply(pointer.y))));
    m_corners[2] = q;
    m_corners[1].x = q.x;
    m_corners[3].y = q.y;
}

void CUnusableArea::EndMove()
{
    TRACE_POINT();
    if (!m_creating) {
        CCourseObject::EndMove();
        return;
    }
    m_creating = false;
    Recentre();
    const float span = (m_corners[2] - m_corners[0]).Length();
    if (span < kMinDrag)
        ShowHintNotice(kPlacingHintText, L"Unusable", 1);
    if (span < kClickDrag) {
        const float h = kClickHalfSide;
        m_corners[0] = CPoint2(-h, -h);
        m_corners[1] = CPoint2(h, -h);
        m_corners[2] = CPoint2(h, h);
        m_corners[3] = CPoint2(-h, h);
        Recentre();
    }
    ResetSnapAxes();
}

void CUnusableArea::Flip()
{
    for (CPoint2& corner : m_corners)
        corner.x = -corner.x;
}

bool CUnusableArea::IsInsideRing(bool selectedOnly) const
{
    return selectedOnly && CCourseObject::IsInsideRing(true);
}

void CUnusableArea::BuildSnapGrid()
{
    TRACE_POINT();
    Recentre();
    Invalidate();
    CPoint2 low = m_corners[0];
    CPoint2 high = m_corners[0];
    for (const CPoint2& corner : m_corners) {
        low = CPoint2(std::min(low.x, corner.x), std::min(low.y, corner.y));
        high = CPoint2(std::max(high.x, corner.x), std::max(high.y, corner.y));
    }
    const CPoint2 ring = GetRingSize(*this);
    const CPoint2 position = GetPosition();
    ResetSnapAxes();
    GetSnapAxisX().AddPosition(-low.x);
    GetSnapAxisX().AddPosition(ring.x - high.x);
    GetSnapAxisY().AddPosition(-low.y);
    GetSnapAxisY().AddPosition(ring.y - high.y);
    GetSnapAxisX().Anchor(position.x);
    GetSnapAxisY().Anchor(position.y);
}

void CUnusableArea::StartHandleMove(int handle)
{
    TRACE_VALUE(int32_t, handle);
    if (!IsValidCorner(handle))
        return;
    const CPoint2 ring = GetRingSize(*this);
    ResetSnapAxes();
    GetSnapAxisX().AddPosition(0.0f);
    GetSnapAxisX().AddPosition(ring.x);
    GetSnapAxisY().AddPosition(0.0f);
    GetSnapAxisY().AddPosition(ring.y);
    for (int i = 0; i < 4; ++i) {
        const CPoint2 placed = Rounded(GetPlacement().TransformPoint2D(m_corners[i]));
        if (i == handle) {
            GetSnapAxisX().Anchor(placed.x);
            GetSnapAxisY().Anchor(placed.y);
        } else {
            GetSnapAxisX().AddPosition(placed.x);
            GetSnapAxisY().AddPosition(placed.y);
        }
    }
}

void CUnusableArea::EndHandleMove()
{
    ResetSnapAxes();
}

int CUnusableArea::MoveHandle(int handle, float x, float y)
{
    TRACE_VALUE(int32_t, handle);
    if (!IsValidCorner(handle))
        return handle;
    const CPoint2 pointer = CFieldStream::LimitPoint(CPoint2(x, y));
    const CPoint2 snapped =
        CFieldStream::LimitPoint(CPoint2(GetSnapAxisX().Apply(pointer.x), GetSnapAxisY().Apply(pointer.y)));
    Recentre();
    m_corners[handle] = Rounded(GetPlacement().InverseTransformPoint2D(snapped));
    Recentre();
    return handle;
}

void CUnusableArea::ClearHandles()
{
    for (CPoint2& corner : m_corners)
        corner = CPoint2();
}

void CUnusableArea::KeepPointsStorable()
{
    LimitLocalPoints(m_corners, 4);
}

void CUnusableArea::ApplyVariant(const std::string& keyName, std::istream& words)
{
    TRACE_VALUE(std::string, keyName);
    float w[4];
    for (float& value : w)
        value = 10.0f * float(ReadLegacyInt(words, 0));
    const int code = ReadLegacyInt(words, 0);
    m_percentRounded = code <= 0 ? 0 : code >= 2 ? 100 : 50 * code;
    const float k = float(m_percentRounded) * kLegacyPull / 100.0f;
    const float c = 1.0f - k;
    const CPoint2 first = Rounded(CPoint2(c * w[2] + k * w[0], c * w[3] + k * w[1]));
    const CPoint2 third = Rounded(CPoint2(k * w[2] + c * w[0], k * w[3] + c * w[1]));
    m_corners[0] = first;
    m_corners[1] = CPoint2(third.x, first.y);
    m_corners[2] = third;
    m_corners[3] = CPoint2(first.x, third.y);
    if (!IsStorable())
        Recentre();
}

void CUnusableArea::Serialize(CFieldStream& stream)
{
    for (CPoint2& corner : m_corners)
        stream.Point(corner);
    int32_t percent = m_percentRounded;
    stream.Int8(percent);
    if (!stream.IsReading())
        return;
    m_percentRounded = LimitPercent(percent);
    if (!IsStorable())
        Recentre();
    m_creating = false;
}

void CUnusableArea::ToDialog(CEditSession& dialog)
{
    if (CUnusableAreaPropertiesDlg* areaDialog = GetKindDialog<CUnusableAreaPropertiesDlg>(dialog))
        areaDialog->MergePercentRounded(m_percentRounded);
}

void CUnusableArea::FromDialog(CEditSession& dialog)
{
    CUnusableAreaPropertiesDlg* areaDialog = GetKindDialog<CUnusableAreaPropertiesDlg>(dialog);
    if (areaDialog != nullptr && areaDialog->HasPercentRounded())
        m_percentRounded = LimitPercent(areaDialog->GetPercentRounded());
}

void CUnusableArea::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    context.SetFillPattern(1);
    context.m_state.fillColor = GetPrimaryColor();
    context.BeginPath(false, true, 0);
    const CPoint2* c = m_corners;
    if (m_percentRounded <= 0) {
        context.MoveTo(c[0]);
        for (int i = 1; i < 4; ++i)
            context.LineTo(c[i]);
        context.EndPath();
        return;
    }
    // Each corner K, with its neighbours A (before) and B (after) and the
    // opposite corner C, gives a cubic from S to E; the weights of each
    // point sum to 1, and at p = 1 the straight pieces between the cubics
    // vanish, leaving one smooth curve through the corners.
    const float p = float(std::min(m_percentRounded, 100)) / 100.0f;
    const float a = 0.6036f * p;
    const float b = -0.1036f * p;
    const float d = 1.0f - p + 0.6036f * p;
    const float e = 0.075f * p;
    const float f = 1.0f - p + 1.1321f * p;
    const float g = -0.2416f * p;
    const float h = 0.0345f * p;
    CPoint2 first;
    for (int n = 0; n < 4; ++n) {
        const int k = (n + 1) % 4;
        const CPoint2& A = c[(k + 3) % 4];
        const CPoint2& K = c[k];
        const CPoint2& B = c[(k + 1) % 4];
        const CPoint2& C = c[(k + 2) % 4];
        const CPoint2 start = A * a + K * d + B * b + C * b;
        if (n == 0) {
            first = start;
            context.MoveTo(start);
        } else {
            context.LineTo(start);
        }
        const CPoint2 end = n == 3 ? first : A * b + K * d + B * a + C * b;
        context.AddBezier(A * e + K * f + B * g + C * h, A * g + K * f + B * e + C * h, end);
    }
    context.EndPath();
}

void CUnusableArea::Build3D(CGraphicsContext& context)
{
    context.m_state.fillZ = kFillLevel;
    context.m_state.strokeZ = kStrokeLevel;
    Draw2D(context);
}

void CUnusableArea::Recentre()
{
    const CTransform& placement = GetPlacement();
    CPoint2 placed[4];
    CPoint2 low;
    CPoint2 high;
    for (int i = 0; i < 4; ++i) {
        placed[i] = Rounded(CFieldStream::LimitPoint(placement.TransformPoint2D(m_corners[i])));
        low = i == 0 ? placed[i] : CPoint2(std::min(low.x, placed[i].x), std::min(low.y, placed[i].y));
        high = i == 0 ? placed[i] : CPoint2(std::max(high.x, placed[i].x), std::max(high.y, placed[i].y));
    }
    const CPoint2 centre = Rounded((low + high) * 0.5f);
    for (int i = 0; i < 4; ++i)
        m_corners[i] = placed[i] - centre;
    CTransform centred;
    centred.SetPosition2D(centre.x, centre.y);
    SetPlacement(centred);
}
