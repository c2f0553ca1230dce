#pragma once

#include "objects/equipment/EquipmentType.h"
#include "objects/equipment/StraightObstacle.h"

// The crawl tunnel: a low cover on four frames that the dog crawls under,
// 720 long. Its size is fixed; the cover hangs at the course's jump height.
// Origin at the centre, x along the tunnel; lengths in tenths of an inch.
class CCrawlTunnel : public CStraightObstacle
{
public:
    // Type 60, named by text 2536, with the parts cover (8) and frames (17).
    using CCrawlTunnelType = CEquipmentTypeOf<CCrawlTunnel>;
    static const CCrawlTunnelType& GetCrawlTunnelType();

    CCrawlTunnel();

    int GetLayer() const override { return 3; }
    float GetReach() const override { return kHalfLength; }
    // The course's jump height, which the cover follows.
    void SerializeExtra(CFieldStream& stream) override;
    void Draw2D(CGraphicsContext& context) override;
    void Build3D(CGraphicsContext& context) override;

    static constexpr int kTypeId = 60;
    static constexpr float kHalfLength = 360.0f;
    static constexpr float kHalfWidth = 150.0f;
};
