#pragma once

#include "graphics/GraphicsContext.h"

// The shared base of the back ends that draw with paths (the GDI canvas and
// the EPS canvas): vertex batches of the 3D primitives and textured quads
// end up as one filled path per triangle. Dashes are split by the front end
// (IgnoresDashes stays false).
class CVectorGraphics : public CGraphicsContext
{
public:
    // Each triangle of the batch becomes a filled path without outline in
    // the colour of its first vertex; the batch is emptied. The vertices are
    // already through the matrix, so they are drawn with an identity one.
    void EndVertices() override;
};
