#pragma once

#include "objects/equipment/JumpType.h"

// The window jump: a wall with a square opening 240 wide, its sill at the
// jump height, hung in a pipe frame. No values of its own.
class CWindowJumpType : public CJumpType
{
public:
    CWindowJumpType();

    int GetBindingKind() const override { return 3; }
    // (-+240, 0).
    CPoint2 GetEnd(int index, const CJump& jump) const override;
    void Draw2D(CGraphicsContext& context, CJump& jump) const override;
    void Build3D(CGraphicsContext& context, CJump& jump) const override;
    float GetWidth(const CJump& jump) const override { return 240.0f; }

    static const CWindowJumpType& GetType();
};
