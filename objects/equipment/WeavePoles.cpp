#include "objects/equipment/WeavePoles.h"

#include <algorithm>
#include <cmath>
#include <istream>

#include "dialogs/LengthFormat.h"
#include "dialogs/WeavePolesPropertiesDlg.h"
#include "foundation/FieldStream.h"
#include "foundation/Numeric.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/PipeParts.h"

namespace {

constexpr int kBandPart = 21;
constexpr int kBasePart = 2;
constexpr int kPolePart = 17;
constexpr int kGuidePart = 4;

constexpr float kPoleDiameter = 10.0f;
constexpr float kPlanPoleRadius = 30.0f;

// A pole 400 high: pieces 70 long with a band 30 long above each, a last
// piece 100 long and a cap on top.
class CPolePart : public CDrawable
{
public:
    CPolePart(int color, int bandColor) : m_color(color), m_bandColor(bandColor)
    {
        CFieldWriter& key = BeginKey();
        key.WriteInt8(m_color);
        key.WriteInt8(m_bandColor);
    }

    void Draw(CGraphicsContext& context) override
    {
        TRACE_POINT();
        CDiscPart piece(70.0f, kPoleDiameter, m_color);
        CDiscPart band(30.0f, kPoleDiameter, m_bandColor);
        CDiscPart top(100.0f, kPoleDiameter, m_color);
        CPipeJointPart cap(kPoleDiameter, m_color);
        for (float z : {0.0f, 100.0f, 200.0f}) {
            DrawPartAt(context, piece, 0.0f, 0.0f, z);
            DrawPartAt(context, band, 0.0f, 0.0f, z + 70.0f);
        }
        DrawPartAt(context, top, 0.0f, 0.0f, 300.0f);
        context.m_state.matrix.SetRotationX(180.0f);
        DrawPartAt(context, cap, 0.0f, 0.0f, 400.0f);
        context.m_state.matrix.ResetRotation();
    }

private:
    int m_color;
    int m_bandColor;
};

// A weaving guide from a pole towards the next: a collar on each and a ring
// lying between them.
class CGuidePart : public CDrawable
{
public:
    CGuidePart(int color, float spacing) : m_color(color), m_spacing(spacing)
    {
        CFieldWriter& key = BeginKey();
        key.WriteInt8(m_color);
        key.WriteFloat16(m_spacing);
    }

    void Draw(CGraphicsContext& context) override
    {
        TRACE_POINT();
        CTransform& matrix = context.m_state.matrix;
        SetPaletteColor(context, m_color);
        for (float x : {0.0f, m_spacing}) {
            matrix.SetTranslation(x, 0.0f, 0.0f);
            context.DrawCylinder(7.5f, 1.0f, 11.0f, 16, true, true, false, 0, 0);
        }
        matrix.SetTranslation(0.5f * m_spacing, 0.0f, 6.0f);
        context.DrawTorus(1.25f, 8, 0.5f * m_spacing, 48, 0, 0);
        matrix.ClearTranslation();
    }

private:
    int m_color;
    float m_spacing;
};

}  // namespace

// ---- Descriptor -------------------------------------------------------------------------

CWeavePoles::CWeavePolesType::CWeavePolesType()
    : CEquipmentTypeOf({kTypeId, 2610, {"WeavePoles"}, {kBandPart, kBasePart, kPolePart, kGuidePart}, true, true})
{
}

const CWeavePoles::CWeavePolesType& CWeavePoles::GetWeavePolesType()
{
    static const CWeavePolesType* type = new CWeavePolesType();
    return *type;
}

// ---- Object -------------------------------------------------------------------------------

CWeavePoles::CWeavePoles()
    : m_firsts{{this, CPoint2(), CPoint2(-5000.0f, -10000.0f), 0.0f},
               {this, CPoint2(), CPoint2(-5000.0f, 10000.0f), 0.0f},
               {this, CPoint2(), CPoint2(5000.0f, 10000.0f), 0.0f},
               {this, CPoint2(), CPoint2(5000.0f, -10000.0f), 0.0f}},
      m_seconds{{this, CPoint2(), CPoint2(5000.0f, -10000.0f), 0.0f},
                {this, CPoint2(), CPoint2(-5000.0f, 10000.0f), 0.0f}}
{
    UpdateEnds();
}

float CWeavePoles::GetPoleX(int index) const
{
    return -float(m_poles - 1) * m_spacing / 2.0f + float(index) * m_spacing;
}

void CWeavePoles::GetEnd(CPoint2& point, int index) const
{
    point = CPoint2(float(m_poles - 1) * m_spacing / 2.0f * float(2 * index - 1), 0.0f);
}

std::wstring CWeavePoles::GetSizeText() const
{
    const EUnitKind kind = IsOnMetricCourse(*this) ? EUnitKind::kCentimetres : EUnitKind::kInches;
    return GetStringWith2Args(2041, std::to_wstring(m_poles), FormatLength(m_spacing, kind, true));
}

void CWeavePoles::UpdateEnds()
{
    // Halfway between the first two poles, and between the last two.
    const float e = float(m_poles - 2) * m_spacing / 2.0f;
    const bool even = m_poles % 2 == 0;
    CObstacleEnd* const ends[6] = {&m_firsts[0], &m_firsts[1], &m_firsts[2], &m_firsts[3], &m_seconds[0], &m_seconds[1]};
    const bool present[6] = {!even && !m_guides, even, !even, even, true, even || !m_guides};
    unsigned wanted = 0;
    for (int i = 0; i < 6; ++i) {
        ends[i]->point = CPoint2(i == 0 || i == 1 || i == 4 ? -e : e, 0.0f);
        wanted |= present[i] ? 1u << i : 0u;
    }
    if (wanted == m_registeredEnds) {
        OnEndsMoved();
        return;
    }
    CObstacleEnd* registered[6];
    size_t count = 0;
    for (int i = 0; i < 6; ++i) {
        RegisterEnd(ends[i], false);
        if (present[i])
            registered[count++] = ends[i];
    }
    RegisterEnds(registered, count);
    m_registeredEnds = wanted;
}

void CWeavePoles::SetPoleCount(int poles)
{
    m_poles = std::max(1, std::min(kMaxPoles, poles));
}

void CWeavePoles::ApplyVariant(const std::string& keyName, std::istream& words)
{
    TRACE_VALUE(std::string, keyName);
    SetPoleCount(ReadLegacyInt(words, m_poles));
    TakeLength(m_spacing, float(ReadLegacyInt(words, 0)) * 10.0f);
    UpdateEnds();
    if (m_poles % 2 != 0)
        return;
    // An even row's listed position is a pole, not the middle of the row.
    const CPoint2 shift = GetPlacement().TransformVector2D(0.5f * m_spacing, 0.0f);
    const CPoint2 position = GetPosition();
    CTransform placement = GetPlacement();
    placement.SetPosition2D(RoundHalfUp(position.x + shift.x), RoundHalfUp(position.y + shift.y));
    SetPlacement(placement);
}

void CWeavePoles::Serialize(CFieldStream& stream)
{
    int32_t poles = m_poles;
    float spacing = m_spacing;
    float channel = m_channel;
    stream.Int8(poles);
    stream.Float16(spacing);
    stream.Bool(m_guides);
    if (stream.m_versionMajor >= 4)
        stream.Float16(channel);
    if (!stream.IsReading())
        return;
    SetPoleCount(poles);
    TakeLength(m_spacing, spacing);
    if (channel >= 0.0f)
        m_channel = std::min(channel, kMaxStoredLength);
    UpdateEnds();
}

void CWeavePoles::SerializeExtra(CFieldStream& stream)
{
    if (!m_guides)
        return;
    float height = GetCourseJumpHeight(*this);
    stream.Float16(height);
}

void CWeavePoles::ToDialog(CEditSession& dialog)
{
    if (CWeavePolesPropertiesDlg* own = GetKindDialog<CWeavePolesPropertiesDlg>(dialog)) {
        own->MergePoles(m_poles);
        own->MergeSpacing(m_spacing);
        own->MergeChannel(m_channel);
        own->MergeBoolOption(m_guides);
    }
}

void CWeavePoles::FromDialog(CEditSession& dialog)
{
    CWeavePolesPropertiesDlg* own = GetKindDialog<CWeavePolesPropertiesDlg>(dialog);
    if (own == nullptr)
        return;
    if (own->HasPoles())
        SetPoleCount(own->GetPoles());
    if (own->HasSpacing())
        TakeLength(m_spacing, own->GetSpacing());
    if (own->HasChannel())
        m_channel = std::min(own->GetChannel(), kMaxStoredLength);
    if (own->GetBoolOption() != ECheckState::kMixed)
        m_guides = own->GetBoolOption() == ECheckState::kSet;
    UpdateEnds();
}

void CWeavePoles::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    const int n = m_poles;
    const float s = m_spacing;
    const float h = float(n - 1) * s / 2.0f;
    const float k = m_channel / 2.0f;
    const float bulge = 4.0f * s / 3.0f;
    const bool weave = m_guides && n >= 3;
    CGraphicsState& state = context.m_state;

    // The band along the weave with the guides, else the base.
    state.fillZ = 0.0f;
    state.fillColor = GetOutlineColor();
    context.BeginPath(false, true, 0);
    if (weave) {
        float x = -h;
        context.MoveTo(x, -k);
        for (int j = 0; j < n - 2; j += 2, x += 2.0f * s)
            context.AddBezier(CPoint2(x, -k - bulge), CPoint2(x + 2.0f * s, -k - bulge), CPoint2(x + 2.0f * s, -k));
        x = h - float(n % 2) * s;
        context.LineTo(x, k);
        for (int j = n % 2; j < n - 2; j += 2, x -= 2.0f * s)
            context.AddBezier(CPoint2(x, k + bulge), CPoint2(x - 2.0f * s, k + bulge), CPoint2(x - 2.0f * s, k));
        context.CloseFigure();
    } else {
        context.AddRect(CRectF(-(h + 30.0f), -(60.0f + k), h + 30.0f, 60.0f + k));
    }
    context.EndPath();

    state.fillZ = 0.2f;
    state.fillColor = GetPrimaryColor();
    context.BeginPath(true, true, 0);
    for (int i = 0; i < n; ++i)
        context.AddCircle(GetPoleX(i), i % 2 == 0 ? -k : k, kPlanPoleRadius);
    context.EndPath();

    if (!weave)
        return;
    // Each arch joins pole j to pole j + 2, bulging away from the row.
    context.BeginLine(1);
    for (int j = 0; j + 2 < n; ++j) {
        const float x = GetPoleX(j);
        const float y = j % 2 == 0 ? -k : k;
        const float c = j % 2 == 0 ? y - bulge : y + bulge;
        context.MoveTo(x, y);
        context.AddBezier(CPoint2(x, c), CPoint2(x + 2.0f * s, c), CPoint2(x + 2.0f * s, y));
    }
    context.EndPath();
}

void CWeavePoles::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    const int n = m_poles;
    const float s = m_spacing;
    const float c = m_channel / 2.0f;
    CPolePart pole(GetPartColorIndex(kPolePart), GetPartColorIndex(kBandPart));
    CTransform& matrix = context.m_state.matrix;

    // The base bar along the row and a foot plate out to each pole.
    context.SetColor(GetPartColor(kBasePart));
    context.DrawBox(CBox3(GetPoleX(0) - s / 2.0f, GetPoleX(n - 1) + s / 2.0f, -15.0f, 15.0f, 0.0f, 4.0f), 16);
    for (int i = 0; i < n; ++i) {
        matrix.SetTranslation(GetPoleX(i), 0.0f, 0.0f);
        matrix.SetRotationZ(i % 2 == 0 ? 0.0f : 180.0f);
        context.DrawBox(CBox3(-25.0f, 25.0f, -15.0f, c + 25.0f, 0.0f, 2.0f), 20);
    }
    matrix.ResetRotation();
    // Plan y grows down: the model's poles stand on the other side.
    for (int i = 0; i < n; ++i) {
        matrix.SetTranslation(GetPoleX(i), i % 2 == 0 ? c : -c, 0.0f);
        DrawPart(context, pole);
    }

    if (m_guides) {
        // Each guide sits on its pole, at the share of the jump height the
        // course has now.
        CGuidePart guide(GetPartColorIndex(kGuidePart), s);
        const float g = kGuideShare * GetCourseJumpHeight(*this);
        for (int i = 1; i + 1 < n; ++i) {
            matrix.SetIdentity();
            matrix.SetTranslation(GetPoleX(i), i % 2 == 0 ? c : -c, g);
            if (i % 2 == 0)
                matrix.RotateZ(180.0f);
            if ((i / 2) % 2 != 0)
                matrix.RotateY(180.0f);
            DrawPart(context, guide);
        }
    }
    matrix.SetIdentity();
}
