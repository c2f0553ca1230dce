#pragma once

#include "graphics/Drawable.h"
#include "objects/equipment/JumpType.h"

// The long jump: a row of low boards over the course's long-jump length,
// their number the course's plank count (both from the organisation's
// table for the jump height). Its one value: whether it is ascending, the
// boards rising the one way it is taken (no second end, an arrow in plan).
class CLongJumpType : public CJumpType
{
public:
    // One board, 480 long, in its main colour with bands 60 wide near the
    // ends; its top lies at z = 0 of its own frame, its front at y = 0.
    class CPlank : public CDrawable
    {
    public:
        CPlank(int mainColor, int bandColor);
        void Draw(CGraphicsContext& context) override;

        static constexpr float kDepth = 60.0f;
        static constexpr float kThickness = 15.0f;

    private:
        int m_mainColor;
        int m_bandColor;
    };

    CLongJumpType();

    int GetBindingKind() const override { return 1; }
    // Ascending when the word is "T".
    void ApplyVariant(CJump& jump, const std::string& keyName, std::istream& words) const override;
    // (-+240, 0).
    CPoint2 GetEnd(int index, const CJump& jump) const override;
    void Draw2D(CGraphicsContext& context, CJump& jump) const override;
    void Build3D(CGraphicsContext& context, CJump& jump) const override;
    // One bar for every 120 of the course's long-jump length, at least one.
    int GetBarCount(const CJump& jump) const override;
    float GetWidth(const CJump& jump) const override { return 480.0f; }
    // Not when ascending.
    bool HasSecondEnd(const CJump& jump) const override;

    static bool IsAscending(const CJump& jump);
    // The depth of the ends over a long-jump length: trunc(length) / 120
    // rounded, at least 1 (the water jump's too).
    static int BarCountForLength(float length);

    static const CLongJumpType& GetType();
};
