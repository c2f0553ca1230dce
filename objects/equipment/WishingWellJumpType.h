#pragma once

#include "objects/equipment/JumpType.h"

// The wishing well: a round brick well with a tiled gable roof on two posts
// and a bar between them. No values of its own.
class CWishingWellJumpType : public CJumpType
{
public:
    CWishingWellJumpType();

    int GetBindingKind() const override { return 3; }
    // (-+180, 0).
    CPoint2 GetEnd(int index, const CJump& jump) const override;
    void Draw2D(CGraphicsContext& context, CJump& jump) const override;
    void Build3D(CGraphicsContext& context, CJump& jump) const override;
    int GetBarCount(const CJump& jump) const override { return 2; }
    float GetWidth(const CJump& jump) const override { return 305.0f; }

    // How often the roof tiles repeat along the ridge at a jump height; the
    // roof of a jump lower than 20 is tiled as at 20.
    static float GetRoofTileRepeat(float jumpHeight);

    static const CWishingWellJumpType& GetType();
};
