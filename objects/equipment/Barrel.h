#pragma once

#include "objects/equipment/EquipmentType.h"
#include "objects/equipment/FourWayObstacle.h"

// The barrel: an upright barrel approached from any of its four sides.
// Origin at the centre; lengths in tenths of an inch. Files of the older
// format know no barrel: it is written there as an obstacle number.
class CBarrel : public CFourWayObstacle
{
public:
    // Type 25 (190 in older files), named by text 2528, with the part
    // barrel (0).
    using CBarrelType = CEquipmentTypeOf<CBarrel>;
    static const CBarrelType& GetBarrelType();

    CBarrel();

    int GetLayer() const override { return 3; }
    // The approaches lie 120 beyond the barrel's side.
    float GetReach() const override { return m_radius + 120.0f; }
    // Nothing in this format; in the older one the body of an obstacle
    // number: kind 0 in its old form, no label shown, an empty label.
    void Serialize(CFieldStream& stream) override;
    void Draw2D(CGraphicsContext& context) override;
    void Build3D(CGraphicsContext& context) override;

    float GetRadius() const { return m_radius; }

    static constexpr int kTypeId = 25;

private:
    float m_radius = 120.0f;
};
