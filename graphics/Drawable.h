#pragma once

#include <cstdint>
#include <string>

#include "foundation/Box.h"
#include "foundation/FieldStream.h"
#include "foundation/Transform.h"

class CCamera;
class CGraphicsContext;

// How far a drawable reaches: a fixed part and a part that grows with the
// view scale (items drawn at constant screen size). The extent at view scale
// t is fixed + t * scaling, per component. Boxes are 3D, y up.
struct CDrawableBounds
{
    CBox3 fixed;
    CBox3 scaling;
    bool empty = true;

    // fixed + t * scaling.
    CBox3 At(float t) const;
    // An empty this becomes a copy of other; otherwise a non-empty other
    // widens both boxes.
    void Union(const CDrawableBounds& other);
    // Widens the fixed part to hold the box; a box that is empty on all three
    // axes changes nothing.
    void IncludeFixedBox(const CBox3& box);
    // Adds a nested drawable's bounds seen through a transform, by placement
    // mode (0 plain, 1 constant screen size, 2 standing on z = 0, 3 upright).
    // A child that drew nothing adds nothing.
    void AddTransformed(const CDrawableBounds& child, const CTransform& transform, int mode);
    // The extent at the scale the camera has at the item's depth.
    void AtCamera(CBox3& out, const CCamera& camera, const CTransform& transform) const;
};

// The box about the transform's translation that holds the given box however
// it is turned: a sphere about the origin through the farthest corner,
// scaled by the transform's scale.
CBox3 SphereBounds(const CBox3& box, const CTransform& transform);

// Anything that draws itself into a graphics context: course-object parts,
// scene layers, texts, figures, images. Its cache key (field-stream bytes)
// names what it draws: the bounds cache and the renderers' mesh caches are
// looked up by it, so two drawables with equal keys must draw the same.
//
// A drawable whose drawing follows from a few parameters calls BeginKey and
// appends them whenever one changes (equal parameters share cached results);
// one whose content cannot be summed up calls MakeUniqueKey whenever it
// changes. A new drawable starts with a unique key, made when the key is
// first asked for: most drawables write a key of their own before anyone
// asks, and a course read from a file makes two of them per object. One that
// knows its key only when asked puts it off and writes it in
// WritePendingKey.
class CDrawable
{
public:
    CDrawable();
    virtual ~CDrawable() = default;
    CDrawable(const CDrawable&) = default;
    CDrawable& operator=(const CDrawable&) = default;

    virtual void Draw(CGraphicsContext& context) = 0;

    const std::string& GetKey() const
    {
        if (m_keyPending)
            WritePendingKey();
        return m_key.m_bytes;
    }
    // Clears the key, writes this object's class tag and returns the writer
    // for the parameters.
    CFieldWriter& BeginKey();
    // A key no other drawable has had in this process.
    void MakeUniqueKey();

    // Valid after a measurement (CBoundsContext::MeasureDrawable).
    const CDrawableBounds& GetBounds() const { return m_bounds; }

    // The key's first value for unique keys: odd, so no class tag (the
    // address of the class's type information) can equal it.
    static constexpr int32_t kUniqueKeyTag = -1;

protected:
    // The key is written when it is next asked for.
    void PutOffKey() { m_keyPending = true; }
    // Writes a key put off, or a new drawable's: a unique key here.
    virtual void WritePendingKey() const;

    // Mutable for the keys written on first demand.
    mutable CFieldWriter m_key;

private:
    friend class CBoundsContext;

    mutable bool m_keyPending = true;

    CDrawableBounds m_bounds;
};
