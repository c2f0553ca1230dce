#include "objects/equipment/Crossover.h"

#include <istream>

#include "dialogs/CrossoverDlg.h"
#include "foundation/FieldStream.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/PlankPart.h"

namespace {

constexpr int kSurfacePart = 16;
constexpr int kFramePart = 2;
constexpr int kZonePart = 6;

// The plan's planks are 110 wide; their contact zones reach 360 up each
// plank.
constexpr float kPlanHalfWidth = 55.0f;
constexpr float kZoneAlongPlank = 360.0f;

}  // namespace

// ---- Descriptor -------------------------------------------------------------------------

CCrossover::CCrossoverType::CCrossoverType()
    : CEquipmentTypeOf({kTypeId, 2538, {"Crossover", "Crossover3Planks", "Crossover4Planks"},
                        {kSurfacePart, kFramePart, kZonePart}, false, true})
{
}

const CCrossover::CCrossoverType& CCrossover::GetCrossoverType()
{
    static const CCrossoverType* type = new CCrossoverType();
    return *type;
}

// ---- Object -------------------------------------------------------------------------------

CCrossover::CCrossover()
{
    UpdateEnds();
}

float CCrossover::GetRun() const
{
    return LegFromHypotenuse(m_plankLength, m_height);
}

float CCrossover::GetReach() const
{
    return 0.5f * m_platformWidth + GetRun();
}

void CCrossover::SetSize(float platformWidth, float plankLength, float height)
{
    TakeLength(m_platformWidth, platformWidth);
    TakeLength(m_plankLength, plankLength);
    TakeLength(m_height, height);
}

void CCrossover::ApplyVariant(const std::string& keyName, std::istream& words)
{
    TRACE_VALUE(std::string, keyName);
    m_layout = SideLayoutFromNumber(ReadLegacyInt(words, keyName == "Crossover3Planks" ? 1 : 0));
    UpdateEnds();
}

void CCrossover::Serialize(CFieldStream& stream)
{
    int32_t layout = int32_t(m_layout);
    float platformWidth = m_platformWidth;
    float plankLength = m_plankLength;
    float height = m_height;
    stream.Int8(layout);
    stream.Float16(platformWidth);
    stream.Float16(plankLength);
    stream.Float16(height);
    if (!stream.IsReading())
        return;
    m_layout = SideLayoutFromNumber(layout);
    if (height != 0.0f)
        SetSize(platformWidth, plankLength, height);
    UpdateEnds();
}

void CCrossover::ToDialog(CEditSession& dialog)
{
    if (CCrossoverDlg* own = GetKindDialog<CCrossoverDlg>(dialog)) {
        own->MergePlankLength(m_plankLength);
        own->MergeHeight(m_height);
        own->MergePlatformWidth(m_platformWidth);
        own->MergeWhichPlanks(int(m_layout));
    }
}

void CCrossover::FromDialog(CEditSession& dialog)
{
    CCrossoverDlg* own = GetKindDialog<CCrossoverDlg>(dialog);
    if (own == nullptr)
        return;
    if (own->HasWhichPlanks())
        m_layout = SideLayoutFromNumber(own->GetWhichPlanks());
    SetSize(own->HasPlatformWidth() ? own->GetPlatformWidth() : 0.0f,
            own->HasPlankLength() ? own->GetPlankLength() : 0.0f, own->HasHeight() ? own->GetHeight() : 0.0f);
    UpdateEnds();
}

void CCrossover::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    const float x = GetReach();
    const float w = 0.5f * m_platformWidth;
    const float c = x - kZoneAlongPlank * GetRun() / m_plankLength;
    const float y = kPlanHalfWidth;
    const bool plusX = m_layout != ESideLayout::kRightAngle;
    const bool plusY = m_layout != ESideLayout::kInLine;
    const bool minusY = m_layout == ESideLayout::kFour;
    // The platform and the planks in the outline colour, then their contact
    // zones in the fill colour.
    const uint32_t zoneColor = context.m_state.fillColor;
    context.m_state.fillColor = GetOutlineColor();
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-w, -w, w, w));
    context.AddRect(CRectF(-c, -y, -w, y));
    if (plusX)
        context.AddRect(CRectF(w, -y, c, y));
    if (plusY)
        context.AddRect(CRectF(-y, w, y, c));
    if (minusY)
        context.AddRect(CRectF(-y, -c, y, -w));
    context.EndPath();
    context.m_state.fillColor = zoneColor;
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-x, -y, -c, y));
    if (plusX)
        context.AddRect(CRectF(c, -y, x, y));
    if (plusY)
        context.AddRect(CRectF(-y, c, y, x));
    if (minusY)
        context.AddRect(CRectF(-y, -x, y, -c));
    context.EndPath();
}

void CCrossover::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    const float w = 0.5f * m_platformWidth;
    const float a = w - 10.0f;
    const float h = m_height;
    CPlankPart plank(h, m_plankLength, GetPartColorIndex(kZonePart), GetPartColorIndex(kSurfacePart),
                     GetPartColorIndex(kFramePart));
    CTransform& matrix = context.m_state.matrix;

    context.SetColor(GetPartColor(kSurfacePart));
    context.DrawBox(CBox3(-w, w, -w, w, h - 10.0f, h), 0);
    context.SetColor(GetPartColor(kFramePart));
    for (float turn : {-90.0f, 0.0f, 90.0f, 180.0f}) {
        matrix.SetRotationZ(turn);
        context.DrawBox(CBox3(a, w, a, w, 0.0f, h - 10.0f), 48);
        context.DrawBox(CBox3(-a, a, a, w, 0.0f, 10.0f), 3);
        context.DrawBox(CBox3(-a, a, a, w, h - 20.0f, h - 10.0f), 3);
    }

    // Plan +y is the model's -y.
    struct CPlank
    {
        bool present;
        float x, y, turn;
    };
    const CPlank planks[4] = {
        {true, -w, 0.0f, 180.0f},
        {m_layout != ESideLayout::kRightAngle, w, 0.0f, 0.0f},
        {m_layout != ESideLayout::kInLine, 0.0f, -w, -90.0f},
        {m_layout == ESideLayout::kFour, 0.0f, w, 90.0f},
    };
    for (const CPlank& side : planks) {
        if (!side.present)
            continue;
        matrix.SetRotationZ(side.turn);
        matrix.SetTranslation(side.x, side.y, 0.0f);
        DrawPart(context, plank);
    }
    matrix.SetIdentity();
}
