#include "graphics/GrassGround.h"

#include "foundation/FieldStream.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "graphics/ImageCache.h"

CGrassGround::CGrassGround(float halfSize) : m_halfSize(halfSize)
{
    BeginKey().WriteFloat24(m_halfSize);
}

CGrassGround& CGrassGround::Instance()
{
    static CGrassGround ground(kCourseHalfSize);
    return ground;
}

void CGrassGround::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    CGraphicsState& state = context.m_state;
    context.SetColor(0xFFFFFFFF);
    state.texture = CImage::GetCached(L"Grass.jpg");
    const float h = m_halfSize;
    const float k = GetTextureRepeats();
    context.BeginVertices(2, false, 2);
    state.texU = 0.0f;
    state.texV = 0.0f;
    context.AddVertex(CVector3(-h, h, 0.0f));
    state.texU = k;
    context.AddVertex(CVector3(h, h, 0.0f));
    state.texU = 0.0f;
    state.texV = k;
    context.AddVertex(CVector3(-h, -h, 0.0f));
    state.texU = k;
    context.AddVertex(CVector3(h, -h, 0.0f));
    context.EndVertices();
    state.texture = nullptr;
    state.texU = 0.0f;
    state.texV = 0.0f;
}
