#pragma once

#include "objects/equipment/EquipmentType.h"
#include "objects/equipment/StraightObstacle.h"

// The hoop tunnel: eight hoops criss-crossing along a light frame, 1050
// long, that the dog runs through. Its size is fixed. Origin at the centre,
// x along the tunnel; lengths in tenths of an inch.
class CHoopTunnel : public CStraightObstacle
{
public:
    // Type 120, named by text 2550, with the parts hoops (12) and frame
    // (17).
    using CHoopTunnelType = CEquipmentTypeOf<CHoopTunnel>;
    static const CHoopTunnelType& GetHoopTunnelType();

    CHoopTunnel();

    int GetLayer() const override { return 3; }
    float GetReach() const override { return kHalfLength; }
    void Draw2D(CGraphicsContext& context) override;
    void Build3D(CGraphicsContext& context) override;

    static constexpr int kTypeId = 120;
    static constexpr float kHalfLength = 525.0f;
};
