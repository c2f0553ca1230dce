#pragma once

#include "foundation/Geometry.h"

// An axis-aligned 3D box, stored per axis as min and max. A box is empty only
// when min is at least max on all three axes, so a flat box (one axis of no
// extent) still counts; the all-zero box is the empty result.
struct CBox3
{
    float minX = 0.0f;
    float maxX = 0.0f;
    float minY = 0.0f;
    float maxY = 0.0f;
    float minZ = 0.0f;
    float maxZ = 0.0f;

    CBox3() = default;
    CBox3(float minX_, float maxX_, float minY_, float maxY_, float minZ_, float maxZ_)
        : minX(minX_), maxX(maxX_), minY(minY_), maxY(maxY_), minZ(minZ_), maxZ(maxZ_)
    {
    }

    // Adds the six values component by component.
    void Add(const CBox3& box);
    // Per axis: min := v when below it, else max := v when above it.
    void Include(const CVector3& point);
    CVector3 ClampPoint(float x, float y, float z) const;
    CVector3 ClampPoint(const CVector3& p) const { return ClampPoint(p.x, p.y, p.z); }
    bool IsEmpty() const;
    bool IsZero() const;
    void SetPoint(const CVector3& point);
    void Clear() { *this = CBox3(); }

    // Larger min and smaller max per axis, without an emptiness test.
    void Intersect(const CBox3& a, const CBox3& b);
    // The box holding both; an empty operand gives the other one, an empty
    // result the zero box. Returns whether the result is not empty.
    bool Union(const CBox3& a, const CBox3& b);
};

inline bool operator==(const CBox3& a, const CBox3& b)
{
    return a.minX == b.minX && a.maxX == b.maxX && a.minY == b.minY && a.maxY == b.maxY &&
           a.minZ == b.minZ && a.maxZ == b.maxZ;
}
