#pragma once

#include "objects/equipment/EquipmentType.h"

// The gate: a lattice panel in a frame of pipes, 480 wide. Paths take no
// ends from it. Origin at the centre; lengths in tenths of an inch. Files of
// the older format know no gate: it is written there as an unusable area of
// its outline.
class CGate : public CCourseObject
{
public:
    // Type 113 (350 in older files), named by text 2546, with the parts
    // frame (17) and lattice (14).
    using CGateType = CEquipmentTypeOf<CGate>;
    static const CGateType& GetGateType();

    int GetCategory() const override { return 2; }
    int GetLayer() const override { return 3; }
    int GetEndCount() const override { return 2; }
    // The panel's ends, (-240, 0) and (240, 0).
    void GetEnd(CPoint2& point, int index) const override;
    // One anchor, the centre.
    int GetAnchorCount() const override { return 1; }
    void GetAnchor(CPoint2& point, int index) const override;
    // Nothing in this format; in the older one the body of an unusable
    // area: its four corners and no rounding.
    void Serialize(CFieldStream& stream) override;
    void Draw2D(CGraphicsContext& context) override;
    void Build3D(CGraphicsContext& context) override;

    static constexpr int kTypeId = 113;
    static constexpr float kHalfLength = 240.0f;
    static constexpr float kHalfDepth = 60.0f;
};
