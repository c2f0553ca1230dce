#include "foundation/PolygonClip.h"

namespace {

float Distance(const float plane[4], const CVector3& p)
{
    return plane[0] * p.x + plane[1] * p.y + plane[2] * p.z + plane[3];
}

}  // namespace

void ClipPolygonToPlane(const float plane[4], const std::vector<CVector3>& input, std::vector<CVector3>& output)
{
    output.clear();
    const size_t count = input.size();
    if (count == 0)
        return;
    output.reserve(count + 1);
    for (size_t i = 0; i < count; ++i) {
        const CVector3& current = input[i];
        const CVector3& next = input[(i + 1) % count];
        const float dc = Distance(plane, current);
        const float dn = Distance(plane, next);
        if (dc >= 0.0f)
            output.push_back(current);
        if ((dc >= 0.0f) != (dn >= 0.0f)) {
            const float t = dn / (dn - dc);
            output.emplace_back(next.x * (1.0f - t) + current.x * t, next.y * (1.0f - t) + current.y * t,
                                next.z * (1.0f - t) + current.z * t);
        }
    }
}
