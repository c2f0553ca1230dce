#include "objects/equipment/SeeSaw.h"

#include <algorithm>
#include <cmath>
#include <istream>

#include "dialogs/SeeSawPropertiesDlg.h"
#include "foundation/FieldStream.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/PartDrawing.h"

namespace {

constexpr int kPlankPart = 16;
constexpr int kFramePart = 2;
constexpr int kZonePart = 6;

// A tipped plank's plan is shorter than the plank.
constexpr float kPlanShare = 0.4714f;
constexpr float kZoneLength = 420.0f;

// The pivot frame: half width q, legs leaning 30 degrees, an axle of radius
// r whose top is at the pivot height, members 10 thick.
constexpr float kHalfWidth = 110.0f;
const float kSin30 = 0.5f;
const float kCos30 = std::sqrt(3.0f) / 2.0f;
const float kAxleRadius = 10.0f / (kSin30 + 1.0f);

// The plank's pivot frame: two base rails along the plank, two legs on each
// side meeting under the axle, two top rails and the axle across.
class CPivotFramePart : public CDrawable
{
public:
    explicit CPivotFramePart(int color) : m_color(color)
    {
        CFieldWriter& key = BeginKey();
        key.WriteInt8(m_color);
    }

    void Draw(CGraphicsContext& context) override
    {
        TRACE_POINT();
        const float axle = CSeeSaw::kPivotHeight - kAxleRadius;
        const float top = axle - kAxleRadius;
        const float legLength = top / kCos30;
        const float spread = top * kSin30 / kCos30;
        const float q = kHalfWidth;
        CTransform& matrix = context.m_state.matrix;
        SetPaletteColor(context, m_color);
        for (float y : {-q, q - 10.0f}) {
            context.DrawBox(CBox3(-spread - 10.0f, spread + 10.0f, y, y + 10.0f, 0.0f, 10.0f), 16);
            context.DrawBox(CBox3(-15.0f, 15.0f, y, y + 10.0f, top - 10.0f, top), 16);
        }
        for (float turn : {0.0f, 180.0f}) {
            for (float y : {-q, q - 10.0f}) {
                matrix.SetIdentity();
                matrix.RotateZ(turn);
                matrix.TranslateLocal(CVector3(spread, 0.0f, 0.0f));
                matrix.RotateY(-30.0f);
                const float y0 = turn == 0.0f ? y : -y - 10.0f;
                context.DrawBox(CBox3(-5.0f, 5.0f, y0, y0 + 10.0f, 0.0f, legLength), 48);
            }
        }
        matrix.SetIdentity();
        matrix.SetTranslation(0.0f, 0.0f, axle);
        matrix.SetRotationX(90.0f);
        context.DrawCylinder(kAxleRadius, -q, q, 16, true, true, false, 0, 0);
    }

private:
    int m_color;
};

// The tilt of a tipped plank of half length l whose pivot end rests on the
// axle: its angle, its centre's height and its centre's offset along x.
struct CTilt
{
    float angle;
    float height;
    float offset;
};

CTilt TiltOf(float halfLength)
{
    const float p = CSeeSaw::kPivotHeight;
    CTilt tilt{0.0f, p, 0.0f};
    for (int pass = 0; pass < 2; ++pass) {
        tilt.angle = std::asin(Clamp(tilt.height / halfLength, -1.0f, 1.0f));
        tilt.height = p - (1.0f - std::cos(tilt.angle)) * kAxleRadius;
    }
    tilt.offset = -kAxleRadius * std::sin(tilt.angle);
    return tilt;
}

}  // namespace

// ---- Descriptor -------------------------------------------------------------------------

CSeeSaw::CSeeSawType::CSeeSawType()
    : CEquipmentTypeOf({kTypeId, 2584, {"SeeSaw"}, {kPlankPart, kFramePart, kZonePart}, true, false})
{
}

const CSeeSaw::CSeeSawType& CSeeSaw::GetSeeSawType()
{
    static const CSeeSawType* type = new CSeeSawType();
    return *type;
}

// ---- Object -------------------------------------------------------------------------------

CSeeSaw::CSeeSaw() : CStraightObstacle(CStraightEnds::EOrder::kFirstsFirst)
{
    UpdateEnds();
}

float CSeeSaw::GetReach() const
{
    return kPlanShare * m_plankLength;
}

void CSeeSaw::UpdateEnds()
{
    CStraightObstacle::UpdateEnds();
    m_straightEnds.Register(m_style == EStyle::kTipped ? 0x6 : 0xF);
}

void CSeeSaw::ApplyVariant(const std::string& keyName, std::istream& words)
{
    TRACE_VALUE(std::string, keyName);
    std::string word;
    words >> word;
    const int inches = ReadLegacyInt(words, 0);
    m_plankLength = 1440.0f;
    if (inches >= 1)
        TakeLength(m_plankLength, float(inches) * 10.0f);
    m_style = word == "T" ? EStyle::kTipped : EStyle::kLevel;
    UpdateEnds();
}

void CSeeSaw::Serialize(CFieldStream& stream)
{
    float plankLength = m_plankLength;
    int32_t style = int32_t(m_style);
    stream.Float16(plankLength);
    stream.Int8(style);
    if (!stream.IsReading())
        return;
    TakeLength(m_plankLength, plankLength);
    m_style = style >= 0 && style <= 2 ? EStyle(style) : EStyle::kLevel;
    UpdateEnds();
}

void CSeeSaw::ToDialog(CEditSession& dialog)
{
    if (CSeeSawPropertiesDlg* own = GetKindDialog<CSeeSawPropertiesDlg>(dialog)) {
        own->MergePlankLength(m_plankLength);
        own->MergeFlat(m_style == EStyle::kFlat);
    }
}

void CSeeSaw::FromDialog(CEditSession& dialog)
{
    CSeeSawPropertiesDlg* own = GetKindDialog<CSeeSawPropertiesDlg>(dialog);
    if (own == nullptr)
        return;
    if (own->HasPlankLength())
        TakeLength(m_plankLength, own->GetPlankLength());
    if (own->GetFlat() != ECheckState::kMixed)
        m_style = own->GetFlat() == ECheckState::kSet ? EStyle::kFlat : EStyle::kTipped;
    UpdateEnds();
}

void CSeeSaw::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    const bool flat = m_style == EStyle::kFlat;
    const float e = flat ? 0.5f * m_plankLength : GetReach();
    const float m = 0.5f * e;
    // Contact zones and the pivot's feet, the middle of the plank in the
    // outline colour, and for a tipped plank the way it is taken.
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-e, -60.0f, -m, 60.0f));
    context.AddRect(CRectF(m, -60.0f, e, 60.0f));
    if (!flat) {
        context.AddRect(CRectF(-60.0f, 60.0f, 60.0f, 120.0f));
        context.AddRect(CRectF(-60.0f, -120.0f, 60.0f, -60.0f));
    }
    context.EndPath();
    context.m_state.fillColor = GetOutlineColor();
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-m, -60.0f, m, 60.0f));
    context.EndPath();
    if (m_style != EStyle::kTipped)
        return;
    context.BeginLine(1);
    context.MoveTo(-200.0f, 230.0f);
    context.LineTo(125.0f, 230.0f);
    context.EndPath();
    context.DrawArrowHead(200.0f, 230.0f, 1.0f, 0.0f, 150.0f);
}

void CSeeSaw::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    const float l = 0.5f * m_plankLength;
    CTransform& matrix = context.m_state.matrix;
    if (m_style != EStyle::kFlat) {
        CPivotFramePart frame(GetPartColorIndex(kFramePart));
        DrawPart(context, frame);
    }

    switch (m_style) {
    case EStyle::kTipped: {
        const CTilt tilt = TiltOf(l);
        matrix.SetTranslation(tilt.offset, 0.0f, tilt.height);
        matrix.SetRotationYRadians(-tilt.angle);
        break;
    }
    case EStyle::kLevel:
        matrix.SetTranslation(0.0f, 0.0f, kPivotHeight);
        break;
    case EStyle::kFlat:
        break;
    }
    // A plank shorter than two contact zones is contact zone throughout.
    const float zone = std::min(kZoneLength, l);
    context.SetColor(GetPartColor(kZonePart));
    context.DrawBox(CBox3(-l, -l + zone, -60.0f, 60.0f, 0.0f, 15.0f), 2);
    context.DrawBox(CBox3(l - zone, l, -60.0f, 60.0f, 0.0f, 15.0f), 1);
    if (l > kZoneLength) {
        context.SetColor(GetPartColor(kPlankPart));
        context.DrawBox(CBox3(-(l - kZoneLength), l - kZoneLength, -60.0f, 60.0f, 0.0f, 15.0f), 3);
    }
    if (m_style != EStyle::kFlat) {
        context.SetColor(GetPartColor(kFramePart));
        context.DrawBox(CBox3(-30.0f, 30.0f, -60.0f, 60.0f, -1.0f, 0.0f), 32);
    }
    matrix.SetIdentity();
}
