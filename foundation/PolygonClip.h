#pragma once

#include <vector>

#include "foundation/Geometry.h"

// One step of Sutherland-Hodgman clipping: the part of the closed polygon
// (the last point joins the first) on the positive side of the plane
// a x + b y + c z + d = 0 goes to the output, which is emptied first. A
// point on the plane counts as inside; a polygon wholly inside comes back
// unchanged, starting at the same point.
void ClipPolygonToPlane(const float plane[4], const std::vector<CVector3>& input, std::vector<CVector3>& output);
