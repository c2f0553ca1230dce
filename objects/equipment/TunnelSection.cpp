#include "objects/equipment/TunnelSection.h"

#include <algorithm>
#include <cmath>

#include "foundation/Numeric.h"

void CTunnelSection::SetAngle(float degrees)
{
    angle = degrees;
    halfAngle = degrees * 0.5f;
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
    const float phi = (t == 1.0f ? halfAngle : angle * t * 0.5f) / CTransform::kDegreesPerRadian;
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
