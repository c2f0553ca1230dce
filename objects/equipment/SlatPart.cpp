#include "objects/equipment/SlatPart.h"

#include "foundation/TracePoint.h"
#include "objects/equipment/PartDrawing.h"

namespace {

struct CProfilePoint
{
    float x, z, nx, nz;
};

const CProfilePoint kProfile[8] = {
    {5.0f, 0.0f, 1.0f, 0.0f},       {5.0f, 2.5f, 1.0f, 0.0f},     {4.3f, 4.3f, 0.707f, 0.707f},
    {2.5f, 5.0f, 0.0f, 1.0f},       {-2.5f, 5.0f, 0.0f, 1.0f},    {-4.3f, 4.3f, -0.707f, 0.707f},
    {-5.0f, 2.5f, -1.0f, 0.0f},     {-5.0f, 0.0f, -1.0f, 0.0f},
};

}  // namespace

CSlatPart::CSlatPart(int width, int color) : m_width(width), m_color(color)
{
    CFieldWriter& key = BeginKey();
    key.WriteInt16(m_width);
    key.WriteInt8(m_color);
}

void CSlatPart::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    SetPaletteColor(context, m_color);
    const float h = 0.5f * float(m_width);
    context.BeginVertices(2, false, 2);
    for (const CProfilePoint& p : kProfile) {
        context.SetNormal(CVector3(p.nx, 0.0f, p.nz), false);
        context.AddVertex(CVector3(p.x, h, p.z));
        context.AddVertex(CVector3(p.x, -h, p.z));
    }
    context.EndVertices();
    context.BeginVertices(1, false, 2);
    context.SetNormal(CVector3(0.0f, -1.0f, 0.0f), true);
    for (const CProfilePoint& p : kProfile)
        context.AddVertex(CVector3(p.x, -h, p.z));
    context.EndVertices();
    context.BeginVertices(1, false, 2);
    context.SetNormal(CVector3(0.0f, 1.0f, 0.0f), true);
    for (const CProfilePoint& p : kProfile)
        context.AddVertex(CVector3(-p.x, h, p.z));
    context.EndVertices();
}
