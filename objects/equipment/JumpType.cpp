#include "objects/equipment/JumpType.h"

#include "dialogs/PropertyBinding.h"
#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/CupParts.h"
#include "objects/equipment/FrameParts.h"
#include "objects/equipment/Jump.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/WingPart.h"

namespace {

// Half the thickness of a pipe stand's upright.
constexpr float kStandHalf = 7.5f;

}  // namespace

// ---- Jump type ------------------------------------------------------------------------

CJumpType::CJumpType(int typeId, int nameTextId, std::initializer_list<int> parts, bool standard,
                     bool editOnCreate)
    : CObjectType(typeId, kJumpGroup, nameTextId), m_standard(standard), m_editOnCreate(editOnCreate)
{
    for (int part : parts)
        GetPartColors().AddPart(part);
}

std::unique_ptr<CCourseObject> CJumpType::CreateObject() const
{
    auto jump = std::make_unique<CJump>();
    jump->SetJumpType(*this);
    return jump;
}

void CJumpType::ApplyVariant(CJump& jump, const std::string& keyName, std::istream& words) const {}

void CJumpType::SerializeBinding(CFieldStream& stream, CPropertyBinding& binding) const
{
    binding.Serialize(stream);
}

// ---- Winged jump type -------------------------------------------------------------------

float CWingedJumpType::GetWidthOf(const CJump& jump)
{
    const CWingsBinding* wings = jump.GetWingsBinding();
    return wings != nullptr ? wings->width : 0.0f;
}

float CWingedJumpType::GetWingWidthOf(const CJump& jump)
{
    const CWingsBinding* wings = jump.GetWingsBinding();
    return wings != nullptr ? wings->wingWidth : 0.0f;
}

CPoint2 CWingedJumpType::GetEnd(int index, const CJump& jump) const
{
    const float x = GetPostOffset() + GetWingWidthOf(jump) + 0.5f * GetWidthOf(jump);
    return EndAt(index, x);
}

float CWingedJumpType::GetWidth(const CJump& jump) const
{
    return GetWidthOf(jump);
}

void CWingedJumpType::DrawWings2D(CGraphicsContext& context, const CJump& jump, float halfDepth) const
{
    const float wingWidth = GetWingWidthOf(jump);
    if (wingWidth == 0.0f)
        return;
    const float x0 = GetPostOffset() + 0.5f * GetWidthOf(jump);
    const float x1 = x0 + wingWidth;
    context.m_state.fillColor = jump.GetSecondaryColor();
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-x1, -halfDepth, -x0, halfDepth));
    context.AddRect(CRectF(x0, -halfDepth, x1, halfDepth));
    context.EndPath();
}

void CWingedJumpType::BuildPipeFrames(CGraphicsContext& context, const CJump& jump, int kind, int secondPart,
                                      float x)
{
    CPipeFramePart frame(kind, jump.GetPartColorIndex(jumpparts::kBars), jump.GetPartColorIndex(secondPart));
    DrawPartTurnedAt(context, frame, -x, 0.0f, 0.0f, 0.0f);
    DrawPartTurnedAt(context, frame, x, 0.0f, 0.0f, 180.0f);
}

void CWingedJumpType::BuildPostsOrWings(CGraphicsContext& context, const CJump& jump) const
{
    if (GetWingWidthOf(jump) != 0.0f) {
        BuildWings(context, jump, true);
        return;
    }
    const float half = 0.5f * GetWidthOf(jump);
    BuildPipeFrames(context, jump, 1, jumpparts::kBars, half + kStandHalf);
    CCupRowPart cups(jump.GetPartColorIndex(jumpparts::kBars), 0.0f, 1.0f, 0.0f);
    DrawPartTurnedAt(context, cups, -half, 0.0f, 0.0f, 0.0f);
    DrawPartTurnedAt(context, cups, half, 0.0f, 0.0f, 180.0f);
}

void CWingedJumpType::BuildWings(CGraphicsContext& context, const CJump& jump, bool drawCups) const
{
    CWingPart wing(jump.GetPartColorIndex(jumpparts::kPanels), jump.GetPartColorIndex(jumpparts::kSlats),
                   jump.GetPartColorIndex(jumpparts::kFeet), jump.GetPartColorIndex(jumpparts::kBars),
                   GetWingWidthOf(jump), drawCups);
    const float x = GetPostOffset() + 0.5f * GetWidthOf(jump);
    DrawPartTurnedAt(context, wing, -x, 0.0f, 0.0f, -90.0f);
    DrawPartTurnedAt(context, wing, x, 0.0f, 0.0f, 90.0f);
}
