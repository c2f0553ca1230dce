#pragma once

#include "graphics/Drawable.h"
#include "objects/equipment/JumpType.h"

// The barrel jump: a bar of fixed length between two upright barrels. No
// values of its own.
class CBarrelJumpType : public CJumpType
{
public:
    // One upright barrel, 335 high and 240 across, with two hoops.
    class CBarrelPart : public CDrawable
    {
    public:
        explicit CBarrelPart(int color);
        void Draw(CGraphicsContext& context) override;

    private:
        int m_color;
    };

    CBarrelJumpType();

    int GetBindingKind() const override { return 3; }
    // (-+510, 0): outside the barrels.
    CPoint2 GetEnd(int index, const CJump& jump) const override;
    void Draw2D(CGraphicsContext& context, CJump& jump) const override;
    void Build3D(CGraphicsContext& context, CJump& jump) const override;
    float GetWidth(const CJump& jump) const override { return 540.0f; }

    static const CBarrelJumpType& GetType();
};
