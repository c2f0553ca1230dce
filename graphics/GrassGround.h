#pragma once

#include "graphics/Drawable.h"

class CGraphicsContext;

// A textured grass square at height 0 about its origin, the texture
// repeating every kTextureSize units whatever the square's size. The course
// scenes stand on the large one; smaller ones serve previews that never see
// far.
class CGrassGround : public CDrawable
{
public:
    explicit CGrassGround(float halfSize);

    // The ground under a course, 300000 units across; one shared instance.
    static CGrassGround& Instance();

    void Draw(CGraphicsContext& context) override;

    float GetTextureRepeats() const { return 2.0f * m_halfSize / kTextureSize; }

    static constexpr float kCourseHalfSize = 150000.0f;
    static constexpr float kTextureSize = 230.0f;

private:
    float m_halfSize;
};
