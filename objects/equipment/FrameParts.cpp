#include "objects/equipment/FrameParts.h"

#include <algorithm>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/PipeParts.h"

namespace {

constexpr float kPipe = CPipeFramePart::kDiameter;
constexpr float kAxis = 7.5f;
constexpr float kFoot = 115.0f;

// Draws a part at (x, y, z) with the rotation as it stands.
void PlaceAt(CGraphicsContext& context, CDrawable& part, float x, float y, float z)
{
    context.m_state.matrix.SetTranslation(x, y, z);
    DrawPart(context, part);
}

}  // namespace

// ---- Pipe stand ----------------------------------------------------------------------

CPipeFramePart::CPipeFramePart(int kind, int color, int secondColor)
    : m_kind(kind), m_color(color), m_secondColor(secondColor)
{
    CFieldWriter& key = BeginKey();
    key.WriteInt8(m_kind);
    key.WriteInt8(m_color);
    key.WriteInt8(m_secondColor);
}

void CPipeFramePart::Draw(CGraphicsContext& context)
{
    TRACE_VALUE(int32_t, m_kind);
    int kind = m_kind;
    if (kind < 0 || kind > 2) {
        ReportFailure();
        kind = 0;
    }
    CTransform& matrix = context.m_state.matrix;
    CPipeJointPart joint(kPipe, m_color);
    CDiscPart foot(kFoot, kPipe, m_color, &joint);

    // Three feet, each from its outer end (with a joint) towards the centre.
    matrix.SetRotationX(90.0f);
    PlaceAt(context, joint, 0.0f, kFoot, kAxis);
    DrawPart(context, foot);
    matrix.SetRotationX(-90.0f);
    PlaceAt(context, joint, 0.0f, -kFoot, kAxis);
    DrawPart(context, foot);
    matrix.SetRotationY(90.0f);
    PlaceAt(context, joint, -kFoot, 0.0f, kAxis);
    DrawPart(context, foot);

    if (kind == 2) {
        CPipeJointPart centre(kPipe, m_color, true, true);
        matrix.SetRotationZ(90.0f);
        PlaceAt(context, centre, 0.0f, 0.0f, kAxis);
    } else {
        CPipeJointPart centre(kPipe, m_color, true);
        matrix.ResetRotation();
        PlaceAt(context, centre, 0.0f, 0.0f, kAxis);
        const float length = kind == 0 ? kFoot : 65.0f;
        CDiscPart fourth(length, kPipe, m_color, &joint);
        matrix.SetRotationY(-90.0f);
        PlaceAt(context, joint, length, 0.0f, kAxis);
        DrawPart(context, fourth);
    }

    matrix.ResetRotation();
    if (m_color == m_secondColor) {
        CDiscPart upright(kTop - kAxis, kPipe, m_color, &joint);
        PlaceAt(context, upright, 0.0f, 0.0f, kAxis);
    } else {
        CDiscPart lower(292.5f, kPipe, m_color);
        CDiscPart band(30.0f, kPipe, m_secondColor);
        CDiscPart upper(70.0f, kPipe, m_color, &joint);
        PlaceAt(context, lower, 0.0f, 0.0f, kAxis);
        PlaceAt(context, band, 0.0f, 0.0f, 300.0f);
        PlaceAt(context, upper, 0.0f, 0.0f, 330.0f);
    }
    matrix.SetRotationX(180.0f);
    PlaceAt(context, joint, 0.0f, 0.0f, kTop);
}

// ---- Corner stands ----------------------------------------------------------------------

CCornerFramesPart::CCornerFramesPart(float width, int color, int secondColor)
    : m_width(width), m_color(color), m_secondColor(secondColor)
{
    CFieldWriter& key = BeginKey();
    key.WriteFloat16(m_width);
    key.WriteInt8(m_color);
    key.WriteInt8(m_secondColor);
}

float CCornerFramesPart::GetCornerX() const
{
    static const float x = 249.0f;
    return m_width < 240.0f ? x + 18.0f : x;
}

float CCornerFramesPart::GetCornerY() const
{
    return std::max(65.0f, 0.5f * m_width + 9.0f);
}

void CCornerFramesPart::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    CPipeFramePart frame(0, m_color, m_secondColor);
    const float x = GetCornerX();
    const float y = GetCornerY();
    PlaceAt(context, frame, -x, y, 0.0f);
    PlaceAt(context, frame, x, y, 0.0f);
    PlaceAt(context, frame, -x, -y, 0.0f);
    PlaceAt(context, frame, x, -y, 0.0f);
}

// ---- Tire and window frame ------------------------------------------------------------

CTireWindowPart::CTireWindowPart(float size, float length, int color)
    : m_size(size), m_length(length), m_color(color)
{
    CFieldWriter& key = BeginKey();
    key.WriteFloat16(m_size);
    key.WriteFloat16(m_length);
    key.WriteInt8(m_color);
}

void CTireWindowPart::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    CTransform& matrix = context.m_state.matrix;
    CPipeJointPart joint(kPipe, m_color);
    CDiscPart base(420.0f, kPipe, m_color);
    CDiscPart upright(m_length - kAxis, kPipe, m_color);

    // The stand at +x, then the same stand turned half round at -x.
    for (int side = 0; side < 2; ++side) {
        CTransform stand;
        stand.SetTranslation(side == 0 ? 0.5f * m_size : -0.5f * m_size, 0.0f, 0.0f);
        stand.SetRotationZ(side == 0 ? 0.0f : 180.0f);
        const auto place = [&](CDrawable& part, float x, float y, float z, float turnX) {
            CTransform local;
            local.SetTranslation(x, y, z);
            local.SetRotationX(turnX);
            matrix = CTransform(stand, local);
            DrawPart(context, part);
        };
        place(joint, 0.0f, 210.0f, kAxis, 90.0f);
        place(base, 0.0f, 210.0f, kAxis, 90.0f);
        place(joint, 0.0f, -210.0f, kAxis, -90.0f);
        place(joint, 0.0f, 0.0f, kAxis, 0.0f);
        place(upright, 0.0f, 0.0f, kAxis, 0.0f);
    }

    CDiscPart across(m_size, kPipe, m_color);
    matrix.SetIdentity();
    matrix.SetRotationY(-90.0f);
    PlaceAt(context, across, 0.5f * m_size, 0.0f, kAxis);
    PlaceAt(context, across, 0.5f * m_size, 0.0f, m_length);
}
