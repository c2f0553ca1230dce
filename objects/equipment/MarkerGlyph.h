#pragma once

#include "graphics/Drawable.h"

class CGraphicsContext;

// A small 2D marker that the course draws at an end of a selected object:
// kind 1 a square, 2 an octagon, 3 a diamond, each coloured on a black
// shape one unit larger.
class CMarkerGlyph : public CDrawable
{
public:
    explicit CMarkerGlyph(int kind);

    // Another kind is reported and drawn as kind 1.
    void Draw(CGraphicsContext& context) override;

    int GetKind() const { return m_kind; }

private:
    int m_kind;
};

// The one shared glyph of kind 1, 2 or 3, built on first use and kept until
// exit. Another kind is reported and gives kind 1's glyph.
CMarkerGlyph& GetMarkerGlyph(int kind);
