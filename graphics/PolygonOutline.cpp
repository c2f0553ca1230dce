#include "graphics/PolygonOutline.h"

#include <algorithm>

#include "graphics/GraphicsContext.h"

void CPolygonOutline::DrawTo(CGraphicsContext& context) const
{
    for (size_t i = 0; i < points.size(); ++i) {
        if (starts[i])
            context.MoveTo(points[i]);
        else
            context.LineTo(points[i]);
    }
}

void CPolygonOutline::Clear()
{
    points.clear();
    starts.clear();
}

size_t CPolygonOutline::GetLoopCount() const { return size_t(std::count(starts.begin(), starts.end(), true)); }
