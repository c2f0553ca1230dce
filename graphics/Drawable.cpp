#include "graphics/Drawable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <typeinfo>

#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"
#include "render3d/Camera.h"

namespace {

// The process-wide counter of unique keys: the low word runs from 1 up to
// the largest positive 32-bit value, then restarts at 0 and carries into the
// high word. Drawables are made on the user-interface thread only.
int32_t g_uniqueLow = 0;
int32_t g_uniqueHigh = 0;

CBox3 Widen(const CBox3& a, const CBox3& b)
{
    return CBox3(std::min(a.minX, b.minX), std::max(a.maxX, b.maxX), std::min(a.minY, b.minY),
                 std::max(a.maxY, b.maxY), std::min(a.minZ, b.minZ), std::max(a.maxZ, b.maxZ));
}

float Reach(float lo, float hi) { return std::max(std::fabs(lo), std::fabs(hi)); }

// The transform's turn alone: translation cleared, scale divided out.
CTransform RotationOnly(const CTransform& transform)
{
    CTransform r(transform);
    r.ClearTranslation();
    const float scale = transform.GetScale();
    if (scale > 0.0f && std::isfinite(scale))
        r.Scale(1.0f / scale);
    return r;
}

}  // namespace

// ---- CDrawableBounds -------------------------------------------------------------

CBox3 CDrawableBounds::At(float t) const
{
    return CBox3(fixed.minX + t * scaling.minX, fixed.maxX + t * scaling.maxX,
                 fixed.minY + t * scaling.minY, fixed.maxY + t * scaling.maxY,
                 fixed.minZ + t * scaling.minZ, fixed.maxZ + t * scaling.maxZ);
}

void CDrawableBounds::Union(const CDrawableBounds& other)
{
    if (empty) {
        *this = other;
        return;
    }
    if (other.empty)
        return;
    fixed = Widen(fixed, other.fixed);
    scaling = Widen(scaling, other.scaling);
}

void CDrawableBounds::IncludeFixedBox(const CBox3& box)
{
    if (box.IsEmpty())
        return;
    if (empty) {
        fixed = box;
        empty = false;
        return;
    }
    fixed = Widen(fixed, box);
}

void CDrawableBounds::AddTransformed(const CDrawableBounds& child, const CTransform& transform,
                                     int mode)
{
    // A child that drew nothing has no extent to add; its origin alone would
    // stretch the parent towards a point where nothing is drawn.
    if (child.empty)
        return;
    CBox3 childFixed = child.fixed;
    CBox3 childScaling = child.scaling;
    CBox3 addFixed;
    CBox3 addScaling;
    switch (mode) {
    case 0:
        addFixed = transform.TransformBox(childFixed);
        addScaling = RotationOnly(transform).TransformBox(childScaling);
        break;
    case 2: {
        addFixed = SphereBounds(childFixed, transform);
        const float height = addFixed.maxZ - addFixed.minZ + transform.GetTranslation().z;
        addFixed.minZ = 0.0f;
        addFixed.maxZ = height;
        if (!childScaling.IsZero()) {
            TRACE_VALUE(float, childScaling.maxX);
            ReportFailure();
        }
        break;
    }
    case 1:
        childScaling.Add(childFixed);
        childFixed = CBox3();
        [[fallthrough]];  // then upright like mode 3
    default:
        addFixed = SphereBounds(childFixed, transform);
        addScaling = SphereBounds(childScaling, RotationOnly(transform));
        break;
    }
    fixed = empty ? addFixed : Widen(fixed, addFixed);
    scaling.Union(scaling, addScaling);
    empty = false;
}

void CDrawableBounds::AtCamera(CBox3& out, const CCamera& camera, const CTransform& transform) const
{
    const CBox3 placed = transform.TransformBox(fixed);
    const float s = camera.ScaleAtDepth(Reach(placed.minZ, placed.maxZ));
    const float scale = transform.GetScale();
    float t = s;
    if (scale > 0.0f && std::isfinite(scale)) {
        t = s / scale;
    } else {
        TRACE_VALUE(float, scale);
        ReportFailure();
    }
    out = At(t);
}

CBox3 SphereBounds(const CBox3& box, const CTransform& transform)
{
    float r = 0.0f;
    if (!box.IsZero())
        r = Hypot(Hypot(Reach(box.minX, box.maxX), Reach(box.minY, box.maxY)),
                       Reach(box.minZ, box.maxZ));
    r *= transform.GetScale();
    const CVector3 c = transform.GetTranslation();
    return CBox3(c.x - r, c.x + r, c.y - r, c.y + r, c.z - r, c.z + r);
}

// ---- CDrawable -------------------------------------------------------------------

CDrawable::CDrawable() = default;

CFieldWriter& CDrawable::BeginKey()
{
    m_keyPending = false;
    m_key.Clear();
    // The address of the run-time type information: equal for all objects of
    // one class, different between classes, and never odd. Keys live only
    // in this process, so the tag need not be stable beyond it.
    m_key.WriteInt32(int32_t(reinterpret_cast<uintptr_t>(&typeid(*this))));
    return m_key;
}

void CDrawable::MakeUniqueKey() { CDrawable::WritePendingKey(); }

void CDrawable::WritePendingKey() const
{
    m_keyPending = false;
    if (g_uniqueLow == INT32_MAX) {
        g_uniqueLow = 0;
        ++g_uniqueHigh;
    } else {
        ++g_uniqueLow;
    }
    m_key.Clear();
    m_key.WriteInt32(kUniqueKeyTag);
    m_key.WriteInt32(g_uniqueLow);
    if (g_uniqueHigh != 0)
        m_key.WriteInt32(g_uniqueHigh);
}
