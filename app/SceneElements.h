#pragma once

#include <cstdint>

#include "foundation/Rect.h"
#include "graphics/Drawable.h"
#include "graphics/GrassGround.h"

class CGraphicsContext;

// The ground and the outlines the course scenes draw around the objects.
// Lengths are course units (tenths of an inch), 2D y runs down the ring.
// Each element's cache key holds the values it is built from, so renderers
// reuse their meshes while those stay the same.

// Black with the opacity (0..255) as alpha: the colour of the outlines, the
// grid and its lines (255 in the map, 64 under the 3D objects).
uint32_t GetElementColor(int opacity);

// The ring rectangle (0, 0)-(width, height), stroked 20 wide.
class CRingOutline : public CDrawable
{
public:
    CRingOutline(float width, float height, int opacity);

    void Draw(CGraphicsContext& context) override;

private:
    float m_width;
    float m_height;
    int32_t m_opacity;
};

// The outer edges of the margins around the ring: one open stroked path
// over the surround rectangle that leaves out every side whose margin is 0,
// so a ring without margins draws nothing here.
class CSurroundOutline : public CDrawable
{
public:
    CSurroundOutline(float width, float height, const CRectF& surround, int opacity);

    void Draw(CGraphicsContext& context) override;
    // The path itself, without the drawing state (exposed for tests).
    void AddPath(CGraphicsContext& context) const;

private:
    float m_width;
    float m_height;
    CRectF m_surround;
    int32_t m_opacity;
};
