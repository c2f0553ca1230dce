#pragma once

#include "graphics/Drawable.h"

class CGraphicsContext;

// A hollow jump bar along x, centred on the origin, its axis at z = -radius:
// four pieces in the main colour alternating with three stripes 40 long in
// the stripe colour, with the inside and the end rings showing.
class CStripedBarPart : public CDrawable
{
public:
    CStripedBarPart(float length, int color, int stripeColor, float diameter);

    void Draw(CGraphicsContext& context) override;

    float GetLength() const { return m_length; }
    int GetColor() const { return m_color; }
    int GetStripeColor() const { return m_stripeColor; }
    float GetDiameter() const { return m_diameter; }
    // (length - 120) / 4.
    float GetPieceLength() const { return (m_length - 3.0f * kStripeLength) / 4.0f; }

    static constexpr float kStripeLength = 40.0f;

private:
    float m_length;
    int m_color;
    int m_stripeColor;
    float m_diameter;
};
