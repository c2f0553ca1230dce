#include "objects/equipment/CollapsedTunnel.h"

#include <algorithm>
#include <cmath>

#include "course/Course.h"
#include "dialogs/CollapsedTunnelDlg.h"
#include "dialogs/LengthFormat.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/PartDrawing.h"

namespace {

// Parts of the collapsed tunnel's colour set.
constexpr int kFabricPart = 30;
constexpr int kHoopPart = 31;
constexpr int kFramePart = 2;
constexpr int kStandPart = 7;

constexpr float kPi = 3.1415925f;
constexpr int kRoundSegments = 48;
// The barrel's axis lies this much higher than its radius: its rims, of
// this tube radius, stand on the ground.
constexpr float kBarrelLift = 4.0f;
constexpr int kChuteRings = 20;

// One of the two stands under the barrel, at the barrel's middle, x along
// the tunnel: base plates on the ground, a cradle under the barrel from
// 62.5 to 87.5 and a strap round it just before; drawn once as it is and
// once turned about z. The cradle and the strap reach from the barrel's
// radius out to the ground.
class CCollapsedTunnelStand : public CDrawable
{
public:
    CCollapsedTunnelStand(int cradleColor, int strapColor, float diameter)
        : m_cradleColor(cradleColor), m_strapColor(strapColor), m_diameter(diameter)
    {
        CFieldWriter& key = BeginKey();
        key.WriteInt8(m_cradleColor);
        key.WriteInt8(m_strapColor);
        key.WriteFloat16(m_diameter);
    }

    void Draw(CGraphicsContext& context) override
    {
        TRACE_POINT();
        const float r = m_diameter * 0.5f;
        const float outer = r + kBarrelLift;
        SetPaletteColor(context, m_cradleColor);
        context.SetBrightness(0.85f);
        context.DrawBox(CBox3(-50.0f, 50.0f, -20.0f, 20.0f, 0.0f, 2.0f), 0);
        context.DrawBox(CBox3(50.0f, 100.0f, -0.5f * r, 0.5f * r, 0.0f, 2.0f), 0);
        context.DrawBox(CBox3(62.5f, 87.5f, -0.7f * r, 0.7f * r, 0.0f, 2.0f), 0);

        // The lower half of a tube along x about the barrel's axis.
        CTransform& matrix = context.m_state.matrix;
        const CTransform kept = matrix;
        matrix.TranslateLocal(CVector3(62.5f, 0.0f, outer));
        matrix.RotateY(90.0f);
        matrix.RotateZ(-90.0f);
        const int half = kRoundSegments / 2;
        context.DrawCylinder(outer, 0.0f, 25.0f, kRoundSegments, false, false, false, 0, half);
        context.DrawRing(r, outer, kRoundSegments, 0.0f, true, 0, half);
        context.DrawRing(r, outer, kRoundSegments, 25.0f, false, 0, half);

        context.SetBrightness(1.0f);
        SetPaletteColor(context, m_strapColor);
        context.DrawCylinder(outer, -12.5f, -2.0833f, kRoundSegments, false, false, false, 0, 0);
        context.DrawRing(r, outer, kRoundSegments, -12.5f, true, 0, 0);
        context.DrawRing(r, outer, kRoundSegments, -2.0833f, false, 0, 0);
        matrix = kept;
    }

private:
    int m_cradleColor;
    int m_strapColor;
    float m_diameter;
};

}  // namespace

// ---- Descriptor -------------------------------------------------------------------------

CCollapsedTunnel::CCollapsedTunnelType::CCollapsedTunnelType() : CObjectType(kTypeId, kUnnamed, kUnnamed)
{
    SetNameId(kNameTextId);
    AddVariantName("CollapsedTunnel");
    for (int part : {kFabricPart, kHoopPart, kFramePart, kStandPart})
        GetPartColors().AddPart(part);
}

std::unique_ptr<CCourseObject> CCollapsedTunnel::CCollapsedTunnelType::CreateObject() const
{
    return std::make_unique<CCollapsedTunnel>();
}

const CCollapsedTunnel::CCollapsedTunnelType& CCollapsedTunnel::GetCollapsedTunnelType()
{
    static const CCollapsedTunnelType* type = new CCollapsedTunnelType();
    return *type;
}

// ---- Object -------------------------------------------------------------------------------

CCollapsedTunnel::CCollapsedTunnel()
    : m_second(this, CPoint2(), CPoint2(10000.0f, 0.0f), 0.0f), m_first(this, CPoint2(), CPoint2(10000.0f, 0.0f), 0.0f)
{
    for (CObstacleEnd* end : m_ends)
        RegisterEnd(end, true);
    UpdateEnds();
}

void CCollapsedTunnel::GetEnd(CPoint2& point, int index) const
{
    point = CPoint2(float(2 * index - 1) * m_length * 0.5f, 0.0f);
}

std::wstring CCollapsedTunnel::GetSizeText() const
{
    const bool metric = GetCourse() != nullptr && GetCourse()->IsMetric();
    return GetStringWithArg(2038, FormatLength(m_length, GetSizeUnitKind(metric), true));
}

void CCollapsedTunnel::ApplyVariant(const std::string& keyName, std::istream& words)
{
    TRACE_VALUE(std::string, keyName);
    const int inches = std::max(60, std::min(180, ReadLegacyInt(words, 96)));
    m_length = float(inches) * 10.0f + kBarrelLength;
    UpdateEnds();
}

void CCollapsedTunnel::Serialize(CFieldStream& stream)
{
    // Raised before it is written too, so that the record reads back as the
    // length it holds.
    m_length = std::max(m_length, kMinStoredLength);
    stream.Float16(m_length);
    float diameter = m_diameter;
    if (stream.m_versionMajor >= 4)
        stream.Float16(diameter);
    // A damaged record's diameter that is not above 0 keeps the diameter.
    if (diameter > 0.0f)
        m_diameter = diameter;
    m_length = std::max(m_length, kMinStoredLength);
    UpdateEnds();
}

void CCollapsedTunnel::ToDialog(CEditSession& dialog)
{
    CCollapsedTunnelDlg* tunnelDialog = GetKindDialog<CCollapsedTunnelDlg>(dialog);
    if (tunnelDialog == nullptr)
        return;
    tunnelDialog->MergeLength(m_length);
    tunnelDialog->MergeDiameter(m_diameter);
}

void CCollapsedTunnel::FromDialog(CEditSession& dialog)
{
    CCollapsedTunnelDlg* tunnelDialog = GetKindDialog<CCollapsedTunnelDlg>(dialog);
    if (tunnelDialog == nullptr)
        return;
    if (tunnelDialog->HasLength())
        m_length = tunnelDialog->GetLength();
    if (tunnelDialog->HasDiameter())
        m_diameter = tunnelDialog->GetDiameter();
    UpdateEnds();
}

void CCollapsedTunnel::UpdateEnds()
{
    m_second.point = CPoint2(m_length * 0.5f, 0.0f);
    m_first.point = CPoint2(m_length * -0.5f, 0.0f);
}

void CCollapsedTunnel::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    const float d = m_diameter;
    const float chute = m_length - kBarrelLength;
    const float seam = (kBarrelLength - chute) * 0.5f;
    const float mouth = seam - kBarrelLength;
    const float r = d * 0.5f;
    const float k = d * 40.0f / 240.0f;
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(mouth, -r, seam, r));
    context.MoveTo(seam, r);
    context.LineTo(seam + chute, d);
    context.LineTo(seam + chute, -d);
    context.LineTo(seam, -r);
    context.EndPath();

    context.m_state.fillColor = GetPrimaryColor();
    context.BeginPath(true, true, 0);
    context.MoveTo(mouth, r);
    context.AddBezier(CPoint2(mouth + k, r), CPoint2(mouth + k, -r), CPoint2(mouth, -r));
    context.AddBezier(CPoint2(mouth - k, -r), CPoint2(mouth - k, r), CPoint2(mouth, r));
    context.EndPath();
}

void CCollapsedTunnel::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    CTransform& matrix = context.m_state.matrix;
    const CTransform kept = matrix;
    CCollapsedTunnelStand stand(GetPartColorIndex(kFabricPart), GetPartColorIndex(kFramePart), m_diameter);
    matrix.TranslateLocal(CVector3((m_length - kBarrelLength) * -0.5f, 0.0f, 0.0f));
    DrawPart(context, stand);
    matrix.RotateZ(180.0f);
    DrawPart(context, stand);
    matrix = kept;
    BuildChute(context);
    matrix = kept;
    BuildBarrel(context);
    matrix = kept;
}

void CCollapsedTunnel::BuildChute(CGraphicsContext& context) const
{
    const float r = m_diameter * 0.5f;
    const float chute = m_length - kBarrelLength;
    const float centre = r + kBarrelLift;
    const float collapse = m_diameter * 600.0f / 240.0f;
    const float step = 2.0f * kPi / float(kRoundSegments);
    context.m_state.matrix.TranslateLocal(CVector3(kBarrelLength - m_length * 0.5f, 0.0f, 0.0f));
    context.SetColor(GetPartColor(kFabricPart));
    context.BeginVertices(2, false, kRoundSegments + 1);
    for (int j = 0; j <= kChuteRings; ++j) {
        const float along = float(j) / float(kChuteRings);
        const float x = along * chute;
        // Round at the barrel, lying flat beyond the collapse length, and
        // widening to 4 / pi of the barrel's width at the end.
        const float f = x < collapse ? (1.0f - x / collapse) * (1.0f - x / collapse) : 0.0f;
        const float s = 1.0f + along * 0.2732395f;
        const float a = (1.0f + (1.0f - f) * 0.5707964f) * s;
        const float b = s * f;
        for (int i = 0; i <= kRoundSegments; ++i) {
            const float angle = float(i % kRoundSegments) * step;
            const float c = std::cos(angle);
            const float sn = std::sin(angle);
            context.SetNormal(b > 0.0f ? CVector3(0.0f, c * b, sn * a) : CVector3(0.0f, 0.0f, 1.0f), false);
            context.AddVertex(CVector3(x, c * r * a, sn * r * b + centre * b));
        }
    }
    context.EndVertices();
}

void CCollapsedTunnel::BuildBarrel(CGraphicsContext& context) const
{
    const float r = m_diameter * 0.5f;
    CTransform& matrix = context.m_state.matrix;
    matrix.TranslateLocal(CVector3(m_length * -0.5f, 0.0f, r + kBarrelLift));
    matrix.RotateY(90.0f);
    context.SetColor(GetPartColor(kFabricPart));
    context.DrawCylinder(r, 5.0f, 295.0f, kRoundSegments, false, false, false, 0, 0);
    context.DrawCylinder(r, 295.0f, 5.0f, kRoundSegments, false, false, true, 0, 0);
    const CTransform axis = matrix;
    for (float rim : {5.0f, 295.0f}) {
        matrix = axis;
        matrix.TranslateLocal(CVector3(0.0f, 0.0f, rim));
        context.DrawTorus(kBarrelLift, 8, r, kRoundSegments, 0, 0);
    }
    matrix = axis;
    // The inside darkens towards the chute.
    context.SetBrightness(0.125f);
    context.DrawDisc(r, kRoundSegments, 290.0f, true, 0, 0);
    context.SetBrightness(1.0f);
}
