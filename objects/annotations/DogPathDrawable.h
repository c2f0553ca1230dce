#pragma once

#include <cstdint>

#include "graphics/Drawable.h"

// The discrimination marker a dog path draws where the dog, leaving an
// obstacle, has another obstacle's entry ahead: the forward cone in which
// such entries count (a quarter-turn sector of radius kSectorRadius with an
// inner arc at kInnerRadius) and, on courses that judge a narrower lobe as
// well, that lobe. It is drawn in its own frame: origin at the node, x axis
// along the way the dog leaves it. Successive markers of one drawing take
// successive colours of the path-colour palette (ChooseNextColor).
//
// The cone test itself is the course's (IsWithinForwardCone, Course.h).
class CDogPathDrawable : public CDrawable
{
public:
    CDogPathDrawable();

    // The palette's next colour after the current one (the first after
    // construction), written into the key.
    void ChooseNextColor();
    void Draw(CGraphicsContext& context) override;

    int GetColorIndex() const { return m_colorIndex; }
    void SetSecondLobe(bool on);
    bool HasSecondLobe() const { return m_secondLobe; }

    static constexpr float kSectorRadius = 2520.0f;
    static constexpr float kLobeRadius = 2511.6f;
    static constexpr float kInnerRadius = 1800.0f;
    static constexpr float kPenWidth = 30.0f;

private:
    void WriteKey();

    int32_t m_colorIndex = -1;
    bool m_secondLobe = false;
};
