#include "objects/equipment/DogWalk.h"

#include <cmath>
#include <istream>

#include "dialogs/AFrameDlg.h"
#include "dialogs/LengthFormat.h"
#include "foundation/FieldStream.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/PlankPart.h"

namespace {

constexpr int kSurfacePart = 16;
constexpr int kFramePart = 2;
constexpr int kZonePart = 6;
constexpr int kTiePart = 4;

// How far the supports' feet stand out from under the plank, per unit of
// height.
constexpr float kSpread = 0.577f;
// The plan's contact zones: the outer stretch at each end.
constexpr float kPlanZone = 370.0f;

// One leg frame under the top plank: a foot tube across the walk at
// (0.577 H, 0), two square legs leaning from it to the plank's underside
// above the origin, and a cross member half way up.
class CSupportPart : public CDrawable
{
public:
    CSupportPart(float height, int color) : m_height(height), m_color(color)
    {
        CFieldWriter& key = BeginKey();
        key.WriteFloat16(m_height);
        key.WriteInt8(m_color);
    }

    void Draw(CGraphicsContext& context) override
    {
        TRACE_POINT();
        const float foot = kSpread * m_height;
        const float rise = m_height - 12.5f;
        const float tilt = std::atan2(foot, rise);
        const float length = std::sqrt(foot * foot + rise * rise);
        CTransform& matrix = context.m_state.matrix;
        SetPaletteColor(context, m_color);
        matrix.SetTranslation(foot, 0.0f, 5.0f);
        matrix.SetRotationX(90.0f);
        context.DrawCylinder(5.0f, -180.0f, 180.0f, 16, true, true, false, 0, 0);
        matrix.SetTranslation(foot, 0.0f, 0.0f);
        matrix.SetRotationYRadians(-tilt);
        context.DrawBox(CBox3(-5.0f, 5.0f, 49.0f, 59.0f, 0.0f, length), 3);
        context.DrawBox(CBox3(-5.0f, 5.0f, -59.0f, -49.0f, 0.0f, length), 3);
        context.DrawBox(CBox3(-5.0f, 5.0f, -49.0f, 49.0f, 0.5f * length - 10.0f, 0.5f * length), 48);
    }

private:
    float m_height;
    int m_color;
};

}  // namespace

// ---- Descriptor -------------------------------------------------------------------------

CDogWalk::CDogWalkType::CDogWalkType()
    : CEquipmentTypeOf({kTypeId, 2544, {"DogWalk", "DogWalk36Feet", "DogWalk24Feet"},
                        {kSurfacePart, kFramePart, kZonePart, kTiePart}, true, false})
{
}

const CDogWalk::CDogWalkType& CDogWalk::GetDogWalkType()
{
    static const CDogWalkType* type = new CDogWalkType();
    return *type;
}

// ---- Object -------------------------------------------------------------------------------

CDogWalk::CDogWalk() : CStraightObstacle(CStraightEnds::EOrder::kByEnd)
{
    UpdateEnds();
}

float CDogWalk::GetRun() const
{
    return LegFromHypotenuse(m_plankLength, m_height);
}

float CDogWalk::GetReach() const
{
    return 0.5f * m_plankLength + GetRun();
}

std::wstring CDogWalk::GetSizeText() const
{
    return GetStringWithArg(2039, FormatLength(m_plankLength, GetSizeUnitKind(IsOnMetricCourse(*this)), true));
}

void CDogWalk::SetSize(float plankLength, float height)
{
    TakeLength(m_plankLength, plankLength);
    TakeLength(m_height, height);
    UpdateEnds();
}

void CDogWalk::ApplyVariant(const std::string& keyName, std::istream& words)
{
    TRACE_VALUE(std::string, keyName);
    // In floating point, so that no number overflows.
    const double n = ReadLegacyInt(words, keyName == "DogWalk24Feet" ? 274 : 416);
    SetSize(float(48.0 * (n + 10.0) * 10.0 / 142.0), float(12.0 * (n + 152.0) * 10.0 / 142.0));
}

void CDogWalk::Serialize(CFieldStream& stream)
{
    float plankLength = m_plankLength;
    float height = m_height;
    stream.Float16(plankLength);
    stream.Float16(height);
    if (stream.IsReading())
        SetSize(plankLength, height);
}

void CDogWalk::ToDialog(CEditSession& dialog)
{
    if (CDogWalkDlg* own = GetKindDialog<CDogWalkDlg>(dialog)) {
        own->MergeLength(m_plankLength);
        own->MergeHeight(m_height);
    }
}

void CDogWalk::FromDialog(CEditSession& dialog)
{
    if (CDogWalkDlg* own = GetKindDialog<CDogWalkDlg>(dialog))
        SetSize(own->HasLength() ? own->GetLength() : 0.0f, own->HasHeight() ? own->GetHeight() : 0.0f);
}

void CDogWalk::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    const float x = GetReach();
    const float p = 0.5f * m_plankLength;
    const float c = x - kPlanZone;
    // Contact zones and the supports' feet, then the planks between the
    // zones in the outline colour, then the plank joints.
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-x, -60.0f, -c, 60.0f));
    context.AddRect(CRectF(c, -60.0f, x, 60.0f));
    for (float y : {-120.0f, 60.0f}) {
        context.AddRect(CRectF(p - 140.0f, y, p - 100.0f, y + 60.0f));
        context.AddRect(CRectF(-(p - 100.0f), y, -(p - 140.0f), y + 60.0f));
    }
    context.EndPath();
    context.m_state.fillColor = GetOutlineColor();
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-c, -60.0f, c, 60.0f));
    context.EndPath();
    context.BeginLine(1);
    for (float joint : {p, -p}) {
        context.MoveTo(joint, 60.0f);
        context.LineTo(joint, -60.0f);
    }
    context.EndPath();
}

void CDogWalk::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    const float h = m_height;
    const float p = 0.5f * m_plankLength;
    CPlankPart plank(h, m_plankLength, GetPartColorIndex(kZonePart), GetPartColorIndex(kSurfacePart),
                     GetPartColorIndex(kFramePart));
    CSupportPart support(h, GetPartColorIndex(kFramePart));
    CTransform& matrix = context.m_state.matrix;

    context.SetColor(GetPartColor(kSurfacePart));
    context.DrawBox(CBox3(-p, p, -60.0f, 60.0f, h - 15.0f, h), 0);
    for (float turn : {0.0f, 180.0f}) {
        matrix.SetIdentity();
        matrix.RotateZ(turn);
        matrix.TranslateLocal(CVector3(p, 0.0f, 0.0f));
        DrawPart(context, plank);
        matrix.TranslateLocal(CVector3(-40.0f, 0.0f, 0.0f));
        const CTransform supportPlace = matrix;
        DrawPart(context, support);
        matrix.RotateZ(180.0f);
        DrawPart(context, support);
        matrix = supportPlace;
        context.SetColor(GetPartColor(kTiePart));
        matrix.TranslateLocal(CVector3(0.0f, 0.0f, 5.0f));
        matrix.RotateY(90.0f);
        context.DrawCylinder(3.0f, -kSpread * h, kSpread * h, 8, false, false, false, 0, 0);
    }
    matrix.SetIdentity();
}
