#pragma once

#include "foundation/Geometry.h"
#include "foundation/Rect.h"

// Finds free spots for labels of one size inside an area, away from the
// rectangles occupied so far.
class CLabelPlacer
{
public:
    CLabelPlacer(const CRectF& area, float labelWidth, float labelHeight);

    void Occupy(float left, float top, float right, float bottom, bool temporary);
    // The free point nearest (x, y); with occupy set, the label rectangle
    // there is occupied as temporary.
    CPoint2 FindFreeSpot(float x, float y, bool occupy);
    // Forgets the temporary rectangles.
    void RemoveTemporary();

private:
    CRectF m_area;
    float m_labelWidth;
    float m_labelHeight;
};
