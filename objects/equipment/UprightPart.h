#pragma once

#include "graphics/Drawable.h"

class CGraphicsContext;

// A jump upright: a pipe 15 thick standing 360 high on z = 0, closed on
// top; with two colours it carries a band in the second colour from 260 to
// 290, as the pipe stands carry theirs 70 below their top.
class CUprightPart : public CDrawable
{
public:
    CUprightPart(int color, int bandColor);

    void Draw(CGraphicsContext& context) override;

    static constexpr float kHeight = 360.0f;
    static constexpr float kThickness = 15.0f;
    static constexpr float kBandLength = 30.0f;
    // From the band's top to the upright's top.
    static constexpr float kTopLength = 70.0f;

private:
    int m_color;
    int m_bandColor;
};
