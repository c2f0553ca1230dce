#pragma once

#include <cstdint>

#include "graphics/Drawable.h"

class CCourse;
class CGraphicsContext;

// The fence of the 3D ring: white ropes at heights 100 and 335 along the
// four sides, corner posts, and line posts at the fence spacing counted from
// the display origin, none nearer than 360 to a corner.
class CRingFence : public CDrawable
{
public:
    explicit CRingFence(CCourse& course);

    void Draw(CGraphicsContext& context) override;

    // 10 feet; a metric ring uses its grid spacing in metres when that is
    // 3 to 5, else 4 metres.
    static float GetPostSpacing(bool metric, int32_t metricGridSpacing);
    // Where line posts stand along a side of the length, starting at the
    // origin code's point (0 start, 1 middle, 2 end; another code is
    // reported and counts as 0) and going out both ways, one round of
    // positions (k and -k spacings) after the other until a round past the
    // first brings none. Calls place(position) for each.
    template <class F>
    static void ForEachLinePost(float length, int originCode, float spacing, F place);
    // The start point of the line posts of a side for an origin code.
    static float GetLinePostStart(float length, int originCode);

    static constexpr float kRopeLow = 100.0f;
    static constexpr float kRopeHigh = 335.0f;
    static constexpr float kCornerClearance = 360.0f;

private:
    float m_width;
    float m_height;
    int32_t m_originCodeX;
    int32_t m_originCodeY;
    float m_postSpacing;
};

// A rope along +x from the origin: an 8-sided white tube of radius 5 with
// two white strands wound on it.
class CRope : public CDrawable
{
public:
    explicit CRope(float length);

    void Draw(CGraphicsContext& context) override;

private:
    float m_length;
};

// A fence post of pipes standing on the origin, with ball joints holding the
// ropes at their two heights; a corner post holds ropes in two directions.
class CPost : public CDrawable
{
public:
    explicit CPost(bool corner);

    void Draw(CGraphicsContext& context) override;

    static constexpr float kDiameter = 10.0f;
    static constexpr int kColor = 255;

private:
    bool m_corner;
};

template <class F>
void CRingFence::ForEachLinePost(float length, int originCode, float spacing, F place)
{
    const float start = GetLinePostStart(length, originCode);
    auto inside = [length](float position) {
        return position > kCornerClearance && position < length - kCornerClearance;
    };
    for (int k = 0;; ++k) {
        bool placed = false;
        const float positions[2] = {start - float(k) * spacing, start + float(k) * spacing};
        for (int n = k == 0 ? 1 : 0; n < 2; ++n) {
            if (inside(positions[n])) {
                place(positions[n]);
                placed = true;
            }
        }
        // The first round (the start alone) may fall outside; every later
        // round lies farther out than the one before, so one without a post
        // ends the side.
        if (k > 0 && !placed)
            break;
    }
}
