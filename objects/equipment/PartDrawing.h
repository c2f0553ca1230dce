#pragma once

#include "course/ColorPalette.h"
#include "foundation/Transform.h"
#include "graphics/Drawable.h"
#include "graphics/GraphicsContext.h"

// Small steps shared by the part drawables: palette colours and placing a
// nested part with the context's transform.

// The vertex colour of a palette index, looked up at draw time.
inline void SetPaletteColor(CGraphicsContext& context, int index)
{
    context.SetColor(CColorPalette::GetInstance().GetColor(index));
}

// Draws a nested part as a cached item where the context's transform puts it.
inline void DrawPart(CGraphicsContext& context, CDrawable& part)
{
    context.DrawDrawable(part, 0, 0);
}

// Draws a nested part at (x, y, z) with the context's present rotation, and
// puts the translation back afterwards.
inline void DrawPartAt(CGraphicsContext& context, CDrawable& part, float x, float y, float z)
{
    const CVector3 kept = context.m_state.matrix.GetTranslation();
    context.m_state.matrix.SetTranslation(x, y, z);
    context.DrawDrawable(part, 0, 0);
    context.m_state.matrix.SetTranslationVector(kept);
}
