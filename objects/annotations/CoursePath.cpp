#include "objects/annotations/CoursePath.h"

#include <cmath>
#include <istream>

#include "course/ObjectType.h"
#include "foundation/CrashLog.h"
#include "foundation/Curve.h"
#include "foundation/NoticeSink.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/annotations/Polyline.h"

namespace {

constexpr int kDogPathTypeId = 90;
constexpr int kHumanPathTypeId = 140;
// A legacy line gives whole inches.
constexpr float kLegacyScale = 10.0f;

// The next two whole numbers of a legacy line; false where the line ends
// (or holds no number) before both were read.
bool ReadLegacyPair(std::istream& words, CPoint2& point)
{
    int x = 0;
    int y = 0;
    if (!(words >> x) || !(words >> y)) {
        words.clear();
        return false;
    }
    point = CPoint2(float(x), float(y)) * kLegacyScale;
    return true;
}

}  // namespace

std::vector<CPoint2> CCoursePath::GetStroke() const
{
    return m_stroke.empty() ? std::vector<CPoint2>{CPoint2()} : m_stroke;
}

void CCoursePath::StartMove(float x, float y)
{
    TRACE_POINT();
    m_placing = true;
    m_movedFar = false;
    m_stroke.assign(1, CPoint2());
    CCourseObject::StartMove(x, y);
}

void CCoursePath::Move(float x, float y)
{
    if (!m_placing) {
        CCourseObject::Move(x, y);
        return;
    }
    if (m_stroke.empty()) {
        ReportFailure();
        m_stroke.assign(1, CPoint2());
    }
    const CPoint2 local = CPoint2(x, y) - GetPlacement().GetPosition2D();
    if (!IsFinite(local))
        return;
    if (local != m_stroke.back())
        m_stroke.push_back(local);
    if ((local - m_stroke.front()).Length() > kDragDistance)
        m_movedFar = true;
}

void CCoursePath::EndMove()
{
    TRACE_POINT();
    if (!m_placing) {
        CCourseObject::EndMove();
        return;
    }
    m_placing = false;
    if (m_stroke.empty())
        m_stroke.assign(1, CPoint2());
    if (m_stroke.size() < 2)
        m_stroke.emplace_back(kClickLength, 0.0f);
    const int typeId = GetType() != nullptr ? GetType()->GetTypeId() : 0;
    if (!m_movedFar && (typeId == kDogPathTypeId || typeId == kHumanPathTypeId))
        ShowHintNotice(kDrawHint, typeId == kDogPathTypeId ? L"DogPath" : L"HumanPath", 1);
    CPolyline line;
    for (const CPoint2& p : m_stroke)
        line.AddPoint(p.x, p.y, false);
    line.UpdateLengths(GetDefaultSpacing(), false);
    for (int i = 0; i < line.GetCount(); i = line.NextFixed(i)) {
        const CPoint2 p = line.GetPoint(i);
        HitPoint(p.x, p.y);
    }
    std::vector<CPoint2>().swap(m_stroke);
}

void CCoursePath::EndPlacingWithoutStroke()
{
    m_placing = false;
    std::vector<CPoint2>().swap(m_stroke);
}

void CCoursePath::Draw2D(CGraphicsContext& context)
{
    const std::vector<CPoint2> stroke = GetStroke();
    context.BeginLine(1);
    context.MoveTo(stroke.front());
    if (stroke.size() == 1) {
        // A line of 1.0, so that the click point shows.
        context.LineTo(stroke.front().x + 1.0f, stroke.front().y);
    } else {
        for (size_t i = 1; i < stroke.size(); ++i)
            context.LineTo(stroke[i]);
    }
    context.EndPath();
}

void CCoursePath::DrawArrowSegment(CGraphicsContext& context, const CCurveGeometry& curve)
{
    const CPoint2 tangent = curve.GetTangent(1.0f);
    const float length = tangent.Length();
    const float end = length > kMinInsetTangent ? 1.0f - kArrowInset / length : 1.0f;
    context.AddBezierSegment(curve.GetSubCurve(0.0f, end));
    context.EndPath();
    if (length > 0.0f && std::isfinite(length))
        context.DrawArrowHead(curve.p3.x, curve.p3.y, tangent.x, tangent.y, kArrowLength);
}

bool CCoursePath::ReadLegacyCurve(int count, std::istream& words)
{
    TRACE_VALUE(int32_t, count);
    CPoint2 start;
    if (!ReadLegacyPair(words, start))
        return false;
    HitPoint(start.x, start.y);
    // Whole cubic segments of three pairs each, as many as the count holds.
    int left = count - 1;
    for (; left >= 3; left -= 3) {
        CCurveGeometry curve;
        curve.p0 = start;
        if (!ReadLegacyPair(words, curve.p1) || !ReadLegacyPair(words, curve.p2) || !ReadLegacyPair(words, curve.p3))
            return true;
        for (float t : {1.0f / 3.0f, 2.0f / 3.0f}) {
            const CPoint2 p = curve.GetPoint(t);
            HitPoint(p.x, p.y);
        }
        HitPoint(curve.p3.x, curve.p3.y);
        start = curve.p3;
    }
    // A count that is not one more than a multiple of three leaves pairs
    // that make no whole segment: the path runs through them.
    for (CPoint2 p; left > 0 && ReadLegacyPair(words, p); --left)
        HitPoint(p.x, p.y);
    return true;
}
