#include "objects/equipment/Gate.h"

#include <algorithm>
#include <cmath>

#include "foundation/FieldStream.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/PipeParts.h"

namespace {

constexpr int kFramePart = 17;
constexpr int kLatticePart = 14;

constexpr float kPipe = 15.0f;
constexpr float kPostX = CGate::kHalfLength - 7.5f;
// The lattice is a whole number of diamonds 45 high; the posts reach its
// top.
constexpr int kDiamonds = 330 * 10 / 450;
constexpr float kDiamond = 45.0f;
constexpr float kLatticeBottom = 15.0f;
constexpr float kPostLength = kDiamonds * kDiamond + 30.0f - 15.0f;
constexpr float kBarHalfWidth = 5.3033f;

// Draws one lattice bar from (x0, z0) to (x1, z1) in the gate's plane.
void DrawBar(CGraphicsContext& context, float x0, float z0, float x1, float z1)
{
    const float dx = x1 - x0;
    const float dz = z1 - z0;
    const float length = std::sqrt(dx * dx + dz * dz);
    if (!(length > 0.0f))
        return;
    CTransform& matrix = context.m_state.matrix;
    matrix.SetTranslation(x0, 0.0f, z0);
    matrix.SetRotationYRadians(-std::atan2(dz, dx));
    context.DrawBox(CBox3(0.0f, length, -2.5f, 2.5f, -kBarHalfWidth, kBarHalfWidth), 0);
}

}  // namespace

const CGate::CGateType& CGate::GetGateType()
{
    static const CGateType* type = new CGateType({kTypeId, 2546, {}, {kFramePart, kLatticePart}, false, false});
    return *type;
}

void CGate::GetEnd(CPoint2& point, int index) const
{
    point = CPoint2(kHalfLength * float(2 * index - 1), 0.0f);
}

void CGate::GetAnchor(CPoint2& point, int index) const
{
    point = CPoint2();
}

void CGate::Serialize(CFieldStream& stream)
{
    if (stream.IsReading() || stream.m_versionMajor != 3)
        return;
    CPoint2 corners[4] = {
        {-kHalfLength, -kHalfDepth}, {kHalfLength, -kHalfDepth}, {kHalfLength, kHalfDepth}, {-kHalfLength, kHalfDepth}};
    for (CPoint2& corner : corners)
        stream.Point(corner);
    int32_t rounding = 0;
    stream.Int8(rounding);
}

void CGate::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    CGraphicsState& state = context.m_state;
    const CRectF outline(-kHalfLength, -kHalfDepth, kHalfLength, kHalfDepth);
    state.fillColor = GetOutlineColor();
    context.BeginPath(false, true, 0);
    context.AddRect(outline);
    context.EndPath();
    state.fillColor = 0xFF000000;
    context.BeginPath(true, false, 0);
    context.AddRect(outline);
    context.EndPath();
    // Four crossed panels inside the outline.
    state.penWidth *= 0.5f;
    const float p = state.penWidth;
    const float panel = (kHalfLength - p) / 2.0f;
    const float y = kHalfDepth - p;
    context.BeginLine(1);
    for (int k = 0; k < 4; ++k) {
        const float a = -(kHalfLength - p) + float(k) * panel;
        const float b = a + panel;
        context.MoveTo(a, -y);
        context.LineTo(b, y);
        context.MoveTo(a, y);
        context.LineTo(b, -y);
    }
    context.EndPath();
}

void CGate::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    const int frame = GetPartColorIndex(kFramePart);
    CTransform& matrix = context.m_state.matrix;
    CPipeJointPart corner(kPipe, frame, false, false);
    CDiscPart post(kPostLength, kPipe, frame, &corner);
    CDiscPart rail(2.0f * kPostX, kPipe, frame);
    CDiscPart foot(120.0f, kPipe, frame);

    for (float x : {-kPostX, kPostX}) {
        matrix.ResetRotation();
        DrawPartAt(context, post, x, 0.0f, 0.0f);
        // The corner's stubs go down the post and along the rail.
        matrix.SetRotationY(x < 0.0f ? 90.0f : 180.0f);
        DrawPartAt(context, corner, x, 0.0f, kPostLength);
        for (float turn : {-90.0f, 90.0f}) {
            matrix.SetRotationX(turn);
            DrawPartAt(context, foot, x, 0.0f, 0.5f * kPipe);
        }
    }
    matrix.SetRotationY(90.0f);
    DrawPartAt(context, rail, -kPostX, 0.0f, kPostLength);

    // The lattice: bars at 45 degrees either way, a diamond 45 high.
    SetPaletteColor(context, GetPartColorIndex(kLatticePart));
    const float x0 = -kPostX + 7.5f;
    const float x1 = kPostX - 7.5f;
    const float z0 = kLatticeBottom;
    const float z1 = kPostLength - 7.5f;
    for (float c = x0 - z1; c < x1 - z0; c += kDiamond) {
        const float low = std::max(z0, x0 - c);
        const float high = std::min(z1, x1 - c);
        if (low < high)
            DrawBar(context, low + c, low, high + c, high);
    }
    for (float c = x0 + z0; c < x1 + z1; c += kDiamond) {
        const float low = std::max(z0, c - x1);
        const float high = std::min(z1, c - x0);
        if (low < high)
            DrawBar(context, c - low, low, c - high, high);
    }
    matrix.SetIdentity();
}
