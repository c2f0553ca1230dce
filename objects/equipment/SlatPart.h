#pragma once

#include "graphics/Drawable.h"

class CGraphicsContext;

// A slat across a ramp: a half-round profile 10 wide and 5 high (rounded
// top corners), extruded along y over the given width, centred on the
// origin and standing on z = 0.
class CSlatPart : public CDrawable
{
public:
    CSlatPart(int width, int color);

    void Draw(CGraphicsContext& context) override;

    int GetWidth() const { return m_width; }
    int GetColor() const { return m_color; }

private:
    int m_width;
    int m_color;
};
