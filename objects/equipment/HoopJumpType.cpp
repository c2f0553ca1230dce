#include "objects/equipment/HoopJumpType.h"

#include "dialogs/PropertyBinding.h"
#include "foundation/FieldStream.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/Jump.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/PipeParts.h"

namespace {

constexpr float kHalfWidth = 170.0f;
constexpr float kFoot = 120.0f;
constexpr float kPipe = 15.0f;
constexpr float kAxis = 7.5f;
// The tire jump a version-3 reader is given instead.
constexpr int32_t kVersion3FrameWidth = 280;
constexpr int32_t kVersion3Diameter = 240;

// Places a part at (x, y, z) turned about one axis (0 x, 1 y), then resets
// the transform.
void PlaceTurned(CGraphicsContext& context, CDrawable& part, float x, float y, float z, int axis, float degrees)
{
    CTransform& matrix = context.m_state.matrix;
    matrix.SetTranslation(x, y, z);
    if (axis == 0)
        matrix.SetRotationX(degrees);
    else
        matrix.SetRotationY(degrees);
    DrawPart(context, part);
    matrix.ResetRotation();
    matrix.ClearTranslation();
}

}  // namespace

CHoopJumpType::CHoopJumpType() : CJumpType(115, 2548, {jumpparts::kBars, jumpparts::kHoop}, false, false)
{
    SetNameId(2548);
}

const CHoopJumpType& CHoopJumpType::GetType()
{
    static const CHoopJumpType* type = new CHoopJumpType();
    return *type;
}

CPoint2 CHoopJumpType::GetEnd(int index, const CJump& jump) const
{
    return EndAt(index, kHalfWidth);
}

void CHoopJumpType::SerializeBinding(CFieldStream& stream, CPropertyBinding& binding) const
{
    if (stream.m_versionMajor != 3) {
        binding.Serialize(stream);
        return;
    }
    int32_t width = kVersion3FrameWidth;
    int32_t diameter = kVersion3Diameter;
    stream.Int16(width);
    stream.Int16(diameter);
    if (stream.IsReading())
        TRACE_VALUE(int32_t, width);
}

void CHoopJumpType::Draw2D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    CGraphicsState& state = context.m_state;
    state.fillZ = 0.0f;
    state.fillColor = jump.GetOutlineColor();
    context.BeginPath(false, true, 0);
    context.AddRect(CRectF(-kHalfWidth, -kFoot, kHalfWidth, kFoot));
    context.EndPath();
    context.BeginLine(1);
    for (float x : {-kHalfWidth, kHalfWidth}) {
        context.MoveTo(x, kFoot);
        context.LineTo(x, -kFoot);
    }
    context.EndPath();
    state.fillZ = 0.2f;
    context.BeginPath(true, false, 0);
    context.MoveTo(kHalfWidth, 0.0f);
    context.AddBezier(CPoint2(kHalfWidth, -160.0f), CPoint2(-kHalfWidth, -160.0f), CPoint2(-kHalfWidth, 0.0f));
    context.AddBezier(CPoint2(-kHalfWidth, 160.0f), CPoint2(kHalfWidth, 160.0f), CPoint2(kHalfWidth, 0.0f));
    context.EndPath();
}

void CHoopJumpType::Build3D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    const int color = jump.GetPartColorIndex(jumpparts::kBars);
    CPipeJointPart joint(kPipe, color);
    // The base along x, the feet along y: two at x = -170 ending in joints,
    // one across the joint at x = +170.
    CDiscPart base(2.0f * kHalfWidth, kPipe, color);
    PlaceTurned(context, base, -kHalfWidth, 0.0f, kAxis, 1, 90.0f);
    CDiscPart foot(kFoot, kPipe, color, &joint);
    PlaceTurned(context, foot, -kHalfWidth, 0.0f, kAxis, 0, 90.0f);
    PlaceTurned(context, foot, -kHalfWidth, 0.0f, kAxis, 0, -90.0f);
    // Each end joint's stub points back along its foot.
    PlaceTurned(context, joint, -kHalfWidth, -kFoot, kAxis, 0, -90.0f);
    PlaceTurned(context, joint, -kHalfWidth, kFoot, kAxis, 0, 90.0f);
    CDiscPart cross(kHalfWidth, kPipe, color);
    PlaceTurned(context, cross, kHalfWidth, -0.5f * kHalfWidth, kAxis, 0, -90.0f);
    PlaceTurned(context, joint, kHalfWidth, 0.0f, kAxis, 0, 0.0f);

    CTransform& matrix = context.m_state.matrix;
    SetPaletteColor(context, color);
    for (float x : {-kHalfWidth, kHalfWidth}) {
        matrix.SetTranslation(x, 0.0f, kAxis);
        matrix.SetRotationY(x < 0.0f ? -90.0f : 90.0f);
        context.DrawDisc(0.5f * kPipe, 16, 0.0f, false, 0, 0);
    }
    // The half ring stands with its two ends on the ends of the base.
    context.SetColor(jump.GetPartColor(jumpparts::kHoop));
    matrix.SetTranslation(0.0f, 0.0f, kAxis);
    matrix.SetRotationX(90.0f);
    context.DrawTorus(6.0f, 16, kHalfWidth, 48, 0, 24);
    matrix.ResetRotation();
    matrix.ClearTranslation();
}
