#pragma once

#include "graphics/Drawable.h"

class CCourseObject;
class CGraphicsContext;

// A square centred on the origin, filled in the object's outline colour and
// outlined in its primary colour, hatched when the object is grey.
class CSquarePart : public CDrawable
{
public:
    CSquarePart(const CCourseObject& object, float size);

    void Draw(CGraphicsContext& context) override;

    float GetHalfSize() const { return m_halfSize; }
    int GetFillIndex() const { return m_fillIndex; }
    int GetPenIndex() const { return m_penIndex; }
    bool IsGreyed() const { return m_greyed; }

private:
    float m_halfSize;
    int m_fillIndex;
    int m_penIndex;
    bool m_greyed;
};
