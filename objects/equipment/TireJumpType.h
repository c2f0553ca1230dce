#pragma once

#include "graphics/Drawable.h"
#include "objects/equipment/JumpType.h"

// The tire jump: a tire, its opening's lower edge at the jump height, hung
// by cords in a pipe frame. Its values: the frame's width and the tire's
// opening diameter.
class CTireJumpType : public CJumpType
{
public:
    // A quarter of the tire, in its own frame a ring about the y axis
    // starting at +x.
    class CTire4 : public CDrawable
    {
    public:
        CTire4(int color, float diameter);
        void Draw(CGraphicsContext& context) override;

    private:
        int m_color;
        float m_diameter;
    };

    // The two cords from the tire's side (+x) out to the frame's post: one
    // up to the top of the frame, one down to the foot.
    class CBungee : public CDrawable
    {
    public:
        CBungee(int color, float frameWidth, float diameter, float jumpHeight, float frameHeight);
        void Draw(CGraphicsContext& context) override;

    private:
        int m_color;
        float m_frameWidth;
        float m_diameter;
        float m_jumpHeight;
        float m_frameHeight;
    };

    CTireJumpType();

    int GetBindingKind() const override { return 2; }
    // (-+frame width / 2, 0).
    CPoint2 GetEnd(int index, const CJump& jump) const override;
    void Draw2D(CGraphicsContext& context, CJump& jump) const override;
    void Build3D(CGraphicsContext& context, CJump& jump) const override;
    // The tire's diameter, the opening its ends offer.
    float GetWidth(const CJump& jump) const override;

    // The frame's width and the tire's diameter; the binding's defaults
    // when the jump holds another binding.
    static float GetFrameWidth(const CJump& jump);
    static float GetDiameter(const CJump& jump);
    // max(jump height, 260) + diameter + 80.
    static float GetFrameHeight(float jumpHeight, float diameter);

    static const CTireJumpType& GetType();
};
