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

// Draws a nested part at (x, y, z) turned by degrees about z; afterwards the
// transform has neither translation nor rotation.
inline void DrawPartTurnedAt(CGraphicsContext& context, CDrawable& part, float x, float y, float z, float degrees)
{
    CTransform& matrix = context.m_state.matrix;
    matrix.SetTranslation(x, y, z);
    matrix.SetRotationZ(degrees);
    context.DrawDrawable(part, 0, 0);
    matrix.ResetRotation();
    matrix.ClearTranslation();
}

// A quad of the texture in force, wound as the faces of DrawBox: the first
// row from a to b at texture row v0, the second from c to d at v1, u running
// from u0 (a and c) to u1 (b and d). Seen from the side the normal points
// to, a to b runs right and a to c down.
inline void DrawTexturedQuad(CGraphicsContext& context, const CVector3& normal, const CVector3& a,
                             const CVector3& b, const CVector3& c, const CVector3& d, float u0, float u1, float v0,
                             float v1)
{
    CGraphicsState& state = context.m_state;
    context.BeginVertices(2, false, 2);
    context.SetNormal(normal, true);
    const CVector3* corners[4] = {&a, &b, &c, &d};
    const float us[4] = {u0, u1, u0, u1};
    const float vs[4] = {v0, v0, v1, v1};
    for (int i = 0; i < 4; ++i) {
        state.texU = us[i];
        state.texV = vs[i];
        context.AddVertex(*corners[i]);
    }
    context.EndVertices();
}
