#include "foundation/Box.h"

#include <algorithm>

#include "foundation/Numeric.h"

namespace {

void IncludeValue(float v, float& lo, float& hi)
{
    if (v < lo)
        lo = v;
    else if (v > hi)
        hi = v;
}

}  // namespace

void CBox3::Add(const CBox3& box)
{
    minX += box.minX;
    maxX += box.maxX;
    minY += box.minY;
    maxY += box.maxY;
    minZ += box.minZ;
    maxZ += box.maxZ;
}

void CBox3::Include(const CVector3& point)
{
    IncludeValue(point.x, minX, maxX);
    IncludeValue(point.y, minY, maxY);
    IncludeValue(point.z, minZ, maxZ);
}

CVector3 CBox3::ClampPoint(float x, float y, float z) const
{
    return {Clamp(x, minX, maxX), Clamp(y, minY, maxY), Clamp(z, minZ, maxZ)};
}

bool CBox3::IsEmpty() const
{
    return minX >= maxX && minY >= maxY && minZ >= maxZ;
}

bool CBox3::IsZero() const
{
    return minX == 0.0f && maxX == 0.0f && minY == 0.0f && maxY == 0.0f && minZ == 0.0f &&
           maxZ == 0.0f;
}

void CBox3::SetPoint(const CVector3& point)
{
    minX = maxX = point.x;
    minY = maxY = point.y;
    minZ = maxZ = point.z;
}

void CBox3::Intersect(const CBox3& a, const CBox3& b)
{
    *this = CBox3(std::max(a.minX, b.minX), std::min(a.maxX, b.maxX),
                  std::max(a.minY, b.minY), std::min(a.maxY, b.maxY),
                  std::max(a.minZ, b.minZ), std::min(a.maxZ, b.maxZ));
}

bool CBox3::Union(const CBox3& a, const CBox3& b)
{
    CBox3 result;
    if (a.IsEmpty())
        result = b;
    else if (b.IsEmpty())
        result = a;
    else
        result = CBox3(std::min(a.minX, b.minX), std::max(a.maxX, b.maxX),
                       std::min(a.minY, b.minY), std::max(a.maxY, b.maxY),
                       std::min(a.minZ, b.minZ), std::max(a.maxZ, b.maxZ));
    if (result.IsEmpty())
        result.Clear();
    *this = result;
    return !result.IsEmpty();
}
