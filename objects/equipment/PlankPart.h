#pragma once

#include "graphics/Drawable.h"

class CGraphicsContext;

// A ramp plank 120 wide (y from -60 to 60) and 15 thick: its high end at
// the origin reaching the top height, its low end on the ground along +x,
// a rod and a round nose at the top, the contact zone over the lowest 420
// units in the first colour, the rest in the second colour, slats every 120
// units (first colour within the contact zone), the rod in the third colour.
class CPlankPart : public CDrawable
{
public:
    CPlankPart(float topHeight, float length, int zoneColor, int surfaceColor, int rodColor);

    // A plank of no length is reported and not drawn.
    void Draw(CGraphicsContext& context) override;

    float GetTopHeight() const { return m_topHeight; }
    float GetLength() const { return m_length; }

    // The length of the contact zone from the low end.
    static constexpr float kZoneLength = 420.0f;
    // The plank's slope is kept below vertical so that its top parts stay
    // finite: about 88.8 degrees.
    static constexpr float kMaxTilt = 1.55f;

private:
    float m_topHeight;
    float m_length;
    int m_zoneColor;
    int m_surfaceColor;
    int m_rodColor;
};
