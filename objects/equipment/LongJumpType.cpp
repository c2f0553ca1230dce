#include "objects/equipment/LongJumpType.h"

#include <algorithm>
#include <cmath>
#include <istream>

#include "dialogs/PropertyBinding.h"
#include "foundation/Box.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/FrameParts.h"
#include "objects/equipment/Jump.h"
#include "objects/equipment/PartDrawing.h"

namespace {

constexpr float kHalfWidth = 240.0f;
// The bands of a board lie between these distances from its middle.
constexpr float kBandOuter = 230.0f;
constexpr float kBandInner = kBandOuter - 60.0f;
constexpr float kSupportWidth = 10.0f;

}  // namespace

CLongJumpType::CPlank::CPlank(int mainColor, int bandColor) : m_mainColor(mainColor), m_bandColor(bandColor)
{
    CFieldWriter& key = BeginKey();
    key.WriteInt8(m_mainColor);
    key.WriteInt8(m_bandColor);
}

void CLongJumpType::CPlank::Draw(CGraphicsContext& context)
{
    const float edges[6] = {-kHalfWidth, -kBandOuter, -kBandInner, kBandInner, kBandOuter, kHalfWidth};
    for (int i = 0; i < 5; ++i) {
        SetPaletteColor(context, i % 2 == 0 ? m_mainColor : m_bandColor);
        context.DrawBox(CBox3(edges[i], edges[i + 1], 0.0f, kDepth, -kThickness, 0.0f), 16);
    }
}

CLongJumpType::CLongJumpType()
    : CJumpType(180, 2558, {jumpparts::kBars, jumpparts::kBoards, jumpparts::kStripes, jumpparts::kPoles}, true,
                false)
{
    SetNameId(2558);
    AddVariantName("LongJump");
}

const CLongJumpType& CLongJumpType::GetType()
{
    static const CLongJumpType* type = new CLongJumpType();
    return *type;
}

bool CLongJumpType::IsAscending(const CJump& jump)
{
    const CAscendingBinding* binding = BindingAs<CAscendingBinding>(jump.GetBinding());
    return binding != nullptr && binding->ascending;
}

int CLongJumpType::BarCountForLength(float length)
{
    // The length is in tenths of an inch and the bars lie 120 apart. Every
    // long and water jump asks whenever its ends are placed: the whole part
    // comes from a conversion to an integer (std::trunc is a library call on
    // this target), which is exact in the clamped range and gives 0 for NaN.
    const float whole = float(SaturateToInt32(Clamp(length, 0.0f, 1.0e6f)));
    const float bars = RoundHalfUp(whole / CJump::kBarSpacing);
    return std::max(1, int(bars));
}

int CLongJumpType::GetBarCount(const CJump& jump) const
{
    return BarCountForLength(jump.GetLongJumpLength());
}

bool CLongJumpType::HasSecondEnd(const CJump& jump) const
{
    return !IsAscending(jump);
}

void CLongJumpType::ApplyVariant(CJump& jump, const std::string& keyName, std::istream& words) const
{
    std::string word;
    words >> word;
    if (CAscendingBinding* binding = BindingAs<CAscendingBinding>(jump.GetBinding()))
        binding->ascending = word == "T";
}

CPoint2 CLongJumpType::GetEnd(int index, const CJump& jump) const
{
    return EndAt(index, kHalfWidth);
}

void CLongJumpType::Draw2D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    CGraphicsState& state = context.m_state;
    const float l = jump.GetLongJumpLength();
    const int n = jump.GetLongJumpPlanks();
    const float half = 0.5f * l;
    const float p = state.penWidth;
    state.fillZ = 0.0f;
    state.fillColor = jump.GetOutlineColor();
    context.BeginPath(false, true, 0);
    context.AddRect(CRectF(-kHalfWidth, -half, kHalfWidth, half));
    context.EndPath();

    // The boards, each twice as deep as the gaps between them, the pen
    // width taken into account.
    state.fillZ = 0.2f;
    state.fillColor = jump.GetSecondaryColor();
    const float a = (p + l) * 3.0f;
    const float b = float(3 * n - 1);
    const float d = (2.0f * l - 3.0f * float(n - 1) * p) / b;
    context.BeginPath(true, true, 0);
    for (int i = 0; i < n; ++i) {
        const float top = float(i) * a / b - half;
        context.AddRect(CRectF(-kHalfWidth, top, kHalfWidth, top + d));
    }
    context.EndPath();

    if (IsAscending(jump)) {
        context.BeginLine(1);
        context.MoveTo(410.0f, 200.0f);
        context.LineTo(410.0f, -125.0f);
        context.EndPath();
        context.DrawArrowHead(410.0f, -200.0f, 0.0f, -10000.0f, 150.0f);
    }

    state.fillColor = jump.GetPrimaryColor();
    context.BeginPath(false, true, 0);
    for (float y : {half + 60.0f, -(half + 60.0f)})
        for (float x : {-300.0f, 300.0f})
            context.AddCircle(x, y, 30.0f);
    context.EndPath();
}

void CLongJumpType::Build3D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    const float l = jump.GetLongJumpLength();
    const int n = jump.GetLongJumpPlanks();
    CCornerFramesPart poles(l, jump.GetPartColorIndex(jumpparts::kBars), jump.GetPartColorIndex(jumpparts::kPoles));
    DrawPart(context, poles);

    const bool ascending = IsAscending(jump);
    CPlank plank(jump.GetPartColorIndex(jumpparts::kBoards), jump.GetPartColorIndex(jumpparts::kStripes));
    const float pitch = n > 1 ? (l - CPlank::kDepth) / float(n - 1) : 0.0f;
    const uint32_t supportColor = jump.GetPartColor(jumpparts::kBars);
    for (int i = 0; i < n; ++i) {
        const float y = float(i) * pitch - 0.5f * l;
        const float z = ascending ? 30.0f + 15.0f * float(i) : 40.0f + 20.0f * float(std::min(i, n - 1 - i));
        DrawPartTurnedAt(context, plank, 0.0f, y, z, 0.0f);
        context.SetColor(supportColor);
        const float underside = z - CPlank::kThickness;
        for (float x : {-kHalfWidth, kBandOuter})
            context.DrawBox(CBox3(x, x + kSupportWidth, y + 5.0f, y + CPlank::kDepth - 5.0f, 0.0f, underside), 16);
    }
}
