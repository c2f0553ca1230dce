#pragma once

#include "objects/equipment/JumpType.h"

// The water jump: a tray of water marked by poles, 480 by 480 in plan and,
// in 3D, as long as the course's long jump. No values of its own.
class CWaterJumpType : public CJumpType
{
public:
    CWaterJumpType();

    int GetBindingKind() const override { return 3; }
    // (-+240, 0).
    CPoint2 GetEnd(int index, const CJump& jump) const override;
    void Draw2D(CGraphicsContext& context, CJump& jump) const override;
    void Build3D(CGraphicsContext& context, CJump& jump) const override;
    // The long jump's depth over the course's long-jump length.
    int GetBarCount(const CJump& jump) const override;
    float GetWidth(const CJump& jump) const override { return 240.0f; }

    // The colour of the water: translucent blue, or the tray's colour made
    // translucent for a pale or grey jump; laid over the tray's colour.
    static uint32_t GetWaterColor(const CJump& jump);

    static const CWaterJumpType& GetType();
};
