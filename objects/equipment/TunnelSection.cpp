#include "objects/equipment/TunnelSection.h"

#include <algorithm>
#include <cmath>

#include "foundation/Numeric.h"

namespace {

// Sections bend by whole degrees: records store them so, and every edit
// rounds to them. Reading a course works out the ends of every body, and
// drawing lays its hoops, each by advancing over whole sections, whose
// chords turn by half the bend: for every whole bend up to kLimit either
// way, the cosine, sine and sinc of half of it, worked out once as GetChord
// would work them out.
class CHalfBends
{
public:
    static constexpr int kLimit = 720;

    CHalfBends()
    {
        for (int i = 0; i <= 2 * kLimit; ++i) {
            const float phi = float(i - kLimit) * 0.5f / CTransform::kDegreesPerRadian;
            m_cos[i] = std::cos(phi);
            m_sin[i] = std::sin(phi);
            m_sinc[i] = Sinc(phi);
        }
    }

    static const CHalfBends& Get()
    {
        static const CHalfBends table;
        return table;
    }

    // Whether the table holds the bend, and its index there.
    static bool Find(float degrees, int& index)
    {
        if (!(std::fabs(degrees) <= float(kLimit)))
            return false;
        index = int(degrees);
        if (float(index) != degrees)
            return false;
        index += kLimit;
        return true;
    }

    float m_cos[2 * kLimit + 1];
    float m_sin[2 * kLimit + 1];
    float m_sinc[2 * kLimit + 1];
};

}  // namespace

void CTunnelSection::SetAngle(float degrees)
{
    angle = degrees;
    allowance = std::fabs(degrees / CTransform::kDegreesPerRadian) * radius;
}

void CTunnelSection::SetRadius(float r)
{
    radius = r;
    allowance = std::fabs(angle / CTransform::kDegreesPerRadian) * radius;
}

CPoint2 CTunnelSection::GetChord(float t) const
{
    if (t == 0.0f)
        return CPoint2();
    int index = 0;
    if (t == 1.0f && CHalfBends::Find(angle, index)) {
        const CHalfBends& table = CHalfBends::Get();
        const float c = GetCentreLength() * table.m_sinc[index];
        return CPoint2(c * table.m_cos[index], c * table.m_sin[index]);
    }
    const float phi = angle * t * 0.5f / CTransform::kDegreesPerRadian;
    const float c = GetCentreLength() * t * Sinc(phi);
    return CPoint2(c * std::cos(phi), c * std::sin(phi));
}

void CTunnelSection::Advance(CTransform& frame, float t) const
{
    const CPoint2 end = frame.TransformPoint2D(GetChord(t));
    frame.SetPosition2D(end.x, end.y);
    frame.SetRotationZ(frame.GetRotation() - angle * t);
}

CTransform CTunnelSection::GetLocalFrame(float t) const
{
    CTransform frame;
    const CPoint2 chord = GetChord(t);
    frame.SetPosition2D(chord.x, chord.y);
    frame.SetRotationZ(-angle * t);
    return frame;
}

void CTunnelSection::GetAcross(float t, float offset, CPoint2& left, CPoint2& right) const
{
    // The chord to t leaves at half the turn to t; the frame there is turned
    // by the whole turn, whose cosine and sine follow from the half's.
    const float phi = angle * t * 0.5f / CTransform::kDegreesPerRadian;
    const float cosPhi = std::cos(phi);
    const float sinPhi = std::sin(phi);
    const float sinc = phi >= -0.0001f && phi <= 0.0001f ? 1.0f : sinPhi / phi;
    const float chord = GetCentreLength() * t * sinc;
    const CPoint2 centre(chord * cosPhi, chord * sinPhi);
    const float cosTurn = cosPhi * cosPhi - sinPhi * sinPhi;
    const float sinTurn = 2.0f * sinPhi * cosPhi;
    const CPoint2 side(offset * sinTurn, -offset * cosTurn);
    left = centre + side;
    right = centre - side;
}

float CTunnelSection::GetDistanceTo(float x, float y) const
{
    return GetDistanceTo(x, y, GetLocalFrame(1.0f));
}

float CTunnelSection::GetDistanceTo(float x, float y, const CTransform& endFrame) const
{
    const float c = GetCentreLength();
    const float b = angle / CTransform::kDegreesPerRadian;
    const CPoint2 q = endFrame.InverseTransformPoint2D(x, y);
    const bool beside = std::fabs(angle) <= 180.0f ? (x > 0.0f && q.x < 0.0f) : (x > 0.0f || q.x < 0.0f);
    if (beside && c >= 0.0001f) {
        if (std::fabs(b) > 0.0001f) {
            const float r = c / b;
            return std::fabs(Hypot(x, r - y) - std::fabs(r));
        }
        const float k = b / c;
        return std::fabs(y - x * 0.5f * x * k * (k * y + 1.0f));
    }
    const CPoint2 end = GetChord(1.0f);
    return std::min(Hypot(x, y), Hypot(x - end.x, y - end.y));
}
