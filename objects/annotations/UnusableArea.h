#pragma once

#include <iosfwd>
#include <string>

#include "course/CourseObject.h"
#include "objects/equipment/EquipmentType.h"

// An unusable area (type 350): a part of the ring the course must not use,
// four corners filled hatched in the primary colour, its outline rounded
// from the sharp quadrilateral (0 %) to the smooth closed curve through the
// four corners (100 %), laid flat just above the ground in 3D. The corners
// are kept about the object's origin: after every edit they are taken to
// the course, rounded, and the centre of their bounding rectangle becomes
// the placement (no rotation). The corners are its handles.
class CUnusableArea : public CCourseObject
{
public:
    // Type 350, named by text 2602, key name "UnusableArea", part 15.
    using CUnusableType = CEquipmentTypeOf<CUnusableArea>;
    static const CUnusableType& GetUnusableType();

    int GetCategory() const override { return 3; }
    int GetLayer() const override { return 0; }
    int GetEndCount() const override { return 4; }
    // Corner 0 to 3; another index is reported and gives the origin.
    void GetEnd(CPoint2& point, int index) const override;
    // Creation by dragging a rectangle from the press point, which keeps to
    // a ring edge within kEdgeCatch of it; the opposite corner snaps to the
    // ring's edges. A selected area moves as a whole.
    void StartMove(float x, float y) override;
    void Move(float x, float y) override;
    // A drag shorter than kMinDrag gives the placing hint; a click (under
    // kClickDrag) leaves a square of side 240.
    void EndMove() override;
    void Flip() override;
    // Only when asked about the selection: a mirror of the whole course
    // leaves the areas where they are.
    bool IsInsideRing(bool selectedOnly) const override;
    // Moving snaps the area's sides to the ring's edges.
    void BuildSnapGrid() override;
    // A dragged corner snaps to the ring's edges and the other corners.
    void StartHandleMove(int handle) override;
    void EndHandleMove() override;
    int MoveHandle(int handle, float x, float y) override;
    void ClearHandles() override;
    // Corners that a new placement takes beyond the archive's range come
    // within it; the placement stays.
    void KeepPointsStorable() override;
    // Five whole numbers: the corners (x1, y1) and (x2, y2) of a box in
    // inches and its rounding code (0, 1 or 2 for 0, 50 or 100 %). An area
    // whose corners a record could not carry, about the placement or on the
    // course, is recentred within the archive's range.
    void ApplyVariant(const std::string& keyName, std::istream& words) override;
    // The four corners as points, then the rounding (Int8). A rounding read
    // outside 0..100 is limited to it; a corner whose course point lies
    // beyond the archive's range is held at its edge.
    void Serialize(CFieldStream& stream) override;
    void ToDialog(CEditSession& dialog) override;
    void FromDialog(CEditSession& dialog) override;
    void Draw2D(CGraphicsContext& context) override;
    void Build3D(CGraphicsContext& context) override;

    const CPoint2& GetCorner(int index) const { return m_corners[index & 3]; }
    int GetPercentRounded() const { return m_percentRounded; }

    static constexpr int kTypeId = 350;
    static constexpr int kNameTextId = 2602;
    // A press this near a ring edge starts the area on it.
    static constexpr float kEdgeCatch = 180.0f;
    static constexpr float kMinDrag = 120.0f;
    static constexpr float kClickDrag = 30.0f;
    // Half the side of the square a click leaves.
    static constexpr float kClickHalfSide = 120.0f;

private:
    // Takes the corners to the course, rounded and within the archive's
    // range, and puts the placement at the rounded centre of their bounding
    // rectangle without rotation.
    void Recentre();
    // Whether a record carries the corners as they are: about the placement
    // and on the course, within the range a point stores.
    bool IsStorable() const;
    bool IsValidCorner(int index) const;

    // In drawing order around the area.
    CPoint2 m_corners[4];
    int32_t m_percentRounded = 0;
    // Set from the press that creates the area to its release.
    bool m_creating = false;
};
