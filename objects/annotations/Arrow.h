#pragma once

#include "foundation/Geometry.h"
#include "graphics/Drawable.h"

// The arrow from a coordinate label to its spot: drawn only when the label
// sits more than 80 units from the spot, as a line from the label that stops
// short of the spot and a filled head at the spot. Both ends are kept
// rounded to whole units; its cache key holds the tip, then the tail.
class CArrow : public CDrawable
{
public:
    // Tip and tail at the spot.
    CArrow(float x, float y);

    void Draw(CGraphicsContext& context) override;

    const CPoint2& GetTip() const { return m_tip; }
    const CPoint2& GetTail() const { return m_tail; }
    // Moves the tail (rounded) and rewrites the key.
    void SetTail(float x, float y);

    // At this distance from the spot or nearer the label needs no arrow.
    static constexpr float kShortest = 80.0f;
    static constexpr float kHeadLength = 150.0f;

private:
    void UpdateKey();

    CPoint2 m_tip;
    CPoint2 m_tail;
};
