#pragma once

#include "objects/equipment/EquipmentType.h"
#include "objects/equipment/StraightObstacle.h"

// The swing plank: a plank hung low inside a frame of four corner posts.
// Its size is fixed. Origin at the centre, x along the plank; lengths in
// tenths of an inch.
class CSwingPlank : public CStraightObstacle
{
public:
    // Type 290, named by text 2592, with the parts plank (16), frame (2) and
    // fittings (4).
    using CSwingPlankType = CEquipmentTypeOf<CSwingPlank>;
    static const CSwingPlankType& GetSwingPlankType();

    CSwingPlank();

    int GetLayer() const override { return 3; }
    float GetReach() const override { return kHalfLength; }
    void Draw2D(CGraphicsContext& context) override;
    void Build3D(CGraphicsContext& context) override;

    static constexpr int kTypeId = 290;
    static constexpr float kHalfLength = 240.0f;
};
