#pragma once

#include "objects/equipment/EquipmentType.h"
#include "objects/equipment/ObstacleEnd.h"

// The platform jump: a bar jump between two low platforms, the dog jumping
// from one platform over the bar onto the other. Its size is fixed; the bar
// follows the course's jump height. Origin at the bar's centre, x across the
// bar; lengths in tenths of an inch.
class CPlatformJump : public CCourseObject
{
public:
    // Type 240, named by text 2582, with the parts platform tops (6),
    // platform bodies (16), uprights and bar (17) and upright bands (21).
    using CPlatformJumpType = CEquipmentTypeOf<CPlatformJump>;
    static const CPlatformJumpType& GetPlatformJumpType();

    CPlatformJump();

    int GetCategory() const override { return 2; }
    int GetLayer() const override { return 3; }
    // A traversal goes from one platform to the other.
    bool IsValidTraversal(const CObstacleEnd* a, const CObstacleEnd* b) const override;
    bool HasFirstEnd() const override { return false; }
    int GetEndCount() const override { return 2; }
    // The platforms' far ends.
    void GetEnd(CPoint2& point, int index) const override;
    // The course's jump height, which the bar follows.
    void SerializeExtra(CFieldStream& stream) override;
    void Draw2D(CGraphicsContext& context) override;
    void Build3D(CGraphicsContext& context) override;

    // First ends 1 to 6, then their second copies (7 to 12).
    const CObstacleEnd& GetObstacleEnd(int index) const;

    static constexpr int kTypeId = 240;
    static constexpr float kPlatformHeight = 40.0f;

private:
    // Whether an end of this object lies on the platform towards -x.
    bool IsOnNearPlatform(const CObstacleEnd* end) const;

    CFirstObstacleEnd m_firsts[6];
    CSecondObstacleEnd m_seconds[6];
};
