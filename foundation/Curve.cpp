#include "foundation/Curve.h"

#include <cmath>
#include <utility>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

namespace {

// The cubic Bernstein polynomials and their derivatives at t = 0, 0.25, 0.5,
// 0.75 and 1, times 512; columns weigh p0, p1, p2, p3.
const float kPointWeights[5][4] = {
    {512, 0, 0, 0}, {216, 216, 72, 8}, {64, 192, 192, 64}, {8, 72, 216, 216}, {0, 0, 0, 512}};
const float kFirstWeights[5][4] = {{-1536, 1536, 0, 0},
                                   {-864, 288, 480, 96},
                                   {-384, -384, 384, 384},
                                   {-96, -480, -288, 864},
                                   {0, 0, -1536, 1536}};
const float kSecondWeights[5][4] = {{3072, -6144, 3072, 0},
                                    {2304, -3840, 768, 768},
                                    {1536, -1536, -1536, 1536},
                                    {768, 768, -3840, 2304},
                                    {0, 3072, -6144, 3072}};
const float kWeightScale = 0.001953125f;  // 1 / 512

CPoint2 Lerp(const CPoint2& a, const CPoint2& b, float t)
{
    const float s = 1.0f - t;
    return {s * a.x + t * b.x, s * a.y + t * b.y};
}

float Cross(const CPoint2& a, const CPoint2& b) { return a.x * b.y - a.y * b.x; }

// The quarter row of t, or -1 when t is not a quarter point.
int QuarterRow(float t)
{
    const float q = 4.0f * t;
    if (!(q >= 0.0f && q <= 4.0f))
        return -1;
    const int k = int(q);
    return float(k) == q ? k : -1;
}

}  // namespace

void CCurveGeometry::Evaluate(float t, CPoint2* point, CPoint2* first, CPoint2* second) const
{
    const int row = QuarterRow(t);
    if (row >= 0) {
        const auto weigh = [this](const float* w) {
            return CPoint2((w[0] * p0.x + w[1] * p1.x + w[2] * p2.x + w[3] * p3.x) * kWeightScale,
                           (w[0] * p0.y + w[1] * p1.y + w[2] * p2.y + w[3] * p3.y) * kWeightScale);
        };
        if (point)
            *point = weigh(kPointWeights[row]);
        if (first)
            *first = weigh(kFirstWeights[row]);
        if (second)
            *second = weigh(kSecondWeights[row]);
        return;
    }
    // de Casteljau.
    const CPoint2 a = Lerp(p0, p1, t);
    const CPoint2 b = Lerp(p1, p2, t);
    const CPoint2 c = Lerp(p2, p3, t);
    const CPoint2 d = Lerp(a, b, t);
    const CPoint2 e = Lerp(b, c, t);
    if (point)
        *point = Lerp(d, e, t);
    if (first)
        *first = (e - d) * 3.0f;
    if (second)
        *second = (a + c) * 6.0f - b * 12.0f;
}

CPoint2 CCurveGeometry::GetPoint(float t) const
{
    CPoint2 point;
    Evaluate(t, &point, nullptr, nullptr);
    return point;
}

CPoint2 CCurveGeometry::GetTangent(float t) const
{
    CPoint2 first;
    Evaluate(t, nullptr, &first, nullptr);
    return first;
}

float CCurveGeometry::GetCurvature(float t) const
{
    CPoint2 first;
    CPoint2 second;
    Evaluate(t, nullptr, &first, &second);
    // In double: the cube of a short tangent would underflow a float.
    const double length = std::hypot(double(first.x), double(first.y));
    if (!(length >= 1e-15))
        return 0.0f;
    const double cross = double(first.x) * second.y - double(first.y) * second.x;
    return float(cross / (length * length * length));
}

float CCurveGeometry::GetLength() const
{
    static const float kBoole[5] = {14, 64, 24, 64, 14};
    float sum = 0.0f;
    for (int row = 0; row < 5; ++row)
        sum += kBoole[row] * GetTangent(row * 0.25f).Length();
    const float length = sum / 180.0f;
    // Only invalid coordinates get here: a negative sum or a NaN.
    if (!(length >= 0.0f)) {
        TRACE_VALUE(float, length);
        ReportFailure();
        return 0.0f;
    }
    return length;
}

float CCurveGeometry::GetFlatness() const
{
    const CPoint2 chord = p3 - p0;
    const float d = chord.Length();
    if (d == 0.0f)
        return (p1 - p0).Length() + (p2 - p0).Length();
    return std::fabs(Cross(p1 - p0, chord)) / d + std::fabs(Cross(p2 - p0, chord)) / d;
}

CCurveGeometry CCurveGeometry::GetSubCurve(float t0, float t1) const
{
    // Outside [0, 1] the ends below would not lie on the blossom's curve.
    t0 = t0 > 0.0f ? (t0 < 1.0f ? t0 : 1.0f) : 0.0f;
    t1 = t1 > 0.0f ? (t1 < 1.0f ? t1 : 1.0f) : 0.0f;
    if (t0 == 0.0f && t1 == 1.0f)
        return *this;
    // The blossom b(u, v, w): one level of linear interpolation per argument.
    const auto blossom = [this](float u, float v, float w) {
        const CPoint2 a = Lerp(p0, p1, u);
        const CPoint2 b = Lerp(p1, p2, u);
        const CPoint2 c = Lerp(p2, p3, u);
        return Lerp(Lerp(a, b, v), Lerp(b, c, v), w);
    };
    CCurveGeometry sub;
    sub.p0 = t0 <= 0.0f ? p0 : GetPoint(t0);
    sub.p1 = blossom(t0, t0, t1);
    sub.p2 = blossom(t0, t1, t1);
    sub.p3 = t1 >= 1.0f ? p3 : GetPoint(t1);
    return sub;
}

void CCurveGeometry::Reverse()
{
    std::swap(p0, p3);
    std::swap(p1, p2);
}

void CCurveGeometry::SetHandles(const CPoint2* start, const CPoint2* end)
{
    if (start) {
        p1 = ComputeHandle(p0, p3, *start);
        if (!end) {
            p2 = ComputeCurveControlPoint(p0, p1, p3);
            return;
        }
    } else if (!end) {
        p1 = p3;
        p2 = p0;
        return;
    }
    p2 = ComputeHandle(p3, p0, *end);
    if (!start)
        p1 = ComputeCurveControlPoint(p3, p2, p0);
}

CPoint2 ComputeHandle(const CPoint2& anchor, const CPoint2& end, const CPoint2& neighbour)
{
    const CPoint2 a = end - anchor;
    const CPoint2 b = neighbour - anchor;
    const float la = a.Length();
    const float lb = b.Length();
    const float sum = la + lb;
    if (sum > 0.0f && 3.0f * lb > 0.0f)
        return anchor - (b * (la * la / sum) - a * (lb * lb / sum)) / (3.0f * lb);
    // Lengths are never negative; a NaN from invalid coordinates is reported.
    if (!(la >= 0.0f) || !(lb >= 0.0f)) {
        TRACE_VALUE(CPoint2, anchor);
        ReportFailure();
    }
    return end;
}

CPoint2 ComputeCurveControlPoint(const CPoint2& p0, const CPoint2& p1, const CPoint2& p2)
{
    const CPoint2 c = p1 + (p2 - p0) / 3.0f;
    if (c == p2)
        return p1 == p2 ? p0 : p1;
    return c;
}
