#include "objects/equipment/Barrel.h"

#include "foundation/FieldStream.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"

namespace {

constexpr int kBarrelPart = 0;
constexpr float kBarrelHeight = 335.0f;

}  // namespace

const CBarrel::CBarrelType& CBarrel::GetBarrelType()
{
    static const CBarrelType* type = new CBarrelType({kTypeId, 2528, {}, {kBarrelPart}, false, false});
    return *type;
}

CBarrel::CBarrel()
{
    UpdateEnds();
}

void CBarrel::Serialize(CFieldStream& stream)
{
    if (stream.IsReading() || stream.m_versionMajor != 3)
        return;
    // The old form of numbering kind 0 is 1.
    int32_t kind = 1;
    bool showsLabel = false;
    std::wstring label;
    stream.Int8(kind);
    stream.Bool(showsLabel);
    stream.WString(label);
}

void CBarrel::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    context.BeginPath(true, true, 0);
    context.AddCircle(0.0f, 0.0f, m_radius);
    context.EndPath();
}

void CBarrel::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    CTransform& matrix = context.m_state.matrix;
    context.SetColor(GetPartColor(kBarrelPart));
    context.DrawCylinder(m_radius, 0.0f, kBarrelHeight, 48, false, true, false, 0, 0);
    for (float z : {117.0f, 217.0f}) {
        matrix.SetTranslation(0.0f, 0.0f, z);
        context.DrawTorus(5.0f, 16, m_radius, 48, 0, 0);
    }
    matrix.ClearTranslation();
}
