#pragma once

#include <deque>
#include <vector>

#include "foundation/Geometry.h"

class CGraphicsContext;

// Closed loops of points in path coordinates (y down), as the tessellating
// context leaves them: starts[i] is true where points[i] begins a new loop.
struct CPolygonOutline
{
    std::deque<CPoint2> points;
    std::deque<bool> starts;

    // Replays the loops into any context: a loop's first point is a MoveTo,
    // the others LineTo. The caller brackets it with BeginPath / EndPath.
    void DrawTo(CGraphicsContext& context) const;

    // Leaves out of every loop the points that lie within tolerance of the
    // loop drawn without them (Douglas-Peucker, each loop closed), so that
    // the loops stay within tolerance of what they were. A loop keeps at
    // least three points where it had them.
    void Simplify(float tolerance);

    void Clear();
    bool IsEmpty() const { return points.empty(); }
    // How many loops begin in the outline.
    size_t GetLoopCount() const;
};
