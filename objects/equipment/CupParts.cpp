#include "objects/equipment/CupParts.h"

#include <cmath>

#include "course/ColorPalette.h"
#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/StripedBarPart.h"

// ---- Cup ---------------------------------------------------------------------------

CJumpCupPart::CJumpCupPart(int colorIndex)
    : m_colorIndex(colorIndex), m_color(CColorPalette::GetInstance().GetColor(colorIndex))
{
    BeginKey().WriteInt8(m_colorIndex);
}

void CJumpCupPart::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    static const float R = 10.0f;
    static const float Z = -7.5f;
    static const float a = 0.6283185f;
    static const float sinA = std::sin(a);
    static const float cosA = std::cos(a);
    static const float inner = 7.5f;
    context.SetColor(m_color);
    // The two ends of the arc.
    context.DrawBox(CBox3(-2.5f, 8.0f, inner * sinA, R * sinA, Z - R * cosA, Z - inner * cosA), 21);
    context.DrawBox(CBox3(-2.5f, 8.0f, -R * sinA, -inner * sinA, Z - R * cosA, Z - inner * cosA), 25);
    // The arc about the downward direction: segments -2 to 2 of 20.
    CTransform& matrix = context.m_state.matrix;
    matrix.SetTranslation(0.0f, 0.0f, Z);
    matrix.SetRotationY(90.0f);
    context.DrawCylinder(inner, -2.5f, 8.0f, 20, false, false, true, -2, 4);
    context.DrawCylinder(R, -2.5f, 8.0f, 20, false, false, false, -2, 4);
    context.DrawRing(inner, R, 20, 8.0f, false, -2, 4);
}

// ---- Cup row -------------------------------------------------------------------------

CCupRowPart::CCupRowPart(int color, float sidewaysFactor, float heightFactor, float heightOffset)
    : m_color(color), m_sidewaysFactor(sidewaysFactor), m_heightFactor(heightFactor), m_heightOffset(heightOffset)
{
    WriteKey(BeginKey());
}

void CCupRowPart::WriteKey(CFieldWriter& writer) const
{
    writer.WriteInt8(m_color);
    writer.WriteFloat16(m_sidewaysFactor * 10000.0f);
    writer.WriteFloat16(m_heightFactor * 10000.0f);
    writer.WriteFloat16(m_heightOffset);
}

void CCupRowPart::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    CJumpCupPart cup(m_color);
    for (int k = 20; k <= 260; k += 20) {
        const float z = float(k) * m_heightFactor - m_heightOffset;
        if (z > kLowestCup)
            DrawPartAt(context, cup, 0.0f, float(k) * m_sidewaysFactor, z);
    }
}

void CCupRowPart::PlaceOnCups(CGraphicsContext& context, CDrawable& part, float height, bool snap,
                              bool shift) const
{
    const float h = snap ? std::ceil(height / 40.0f) * 20.0f : height;
    float y = m_sidewaysFactor * h;
    float z = m_heightFactor * h - m_heightOffset;
    if (z < kLowestCup && (snap || !IsPlain())) {
        z = kLowCupHeight;
        if (shift)
            y -= 16.5f;
    }
    DrawPartAt(context, part, 0.0f, y, z);
}

void CCupRowPart::PlaceTiltedBar(CGraphicsContext& context, CStripedBarPart& bar, float height, bool mirror,
                                 bool turn) const
{
    TRACE_VALUE(float, height);
    const float length = bar.GetLength();
    // The bar rests 8 units inside each of its ends; a shorter bar has no
    // slope to take.
    const float span = length - 8.0f;
    if (!(span > 0.0f)) {
        TRACE_VALUE(float, length);
        ReportFailure();
        return;
    }
    float h = 20.0f;
    float z = kLowCupHeight;
    if (height == 20.0f) {
        turn = false;
    } else {
        h = height - 40.0f;
        if (h < 40.0f)
            h += 20.0f;
        z = m_heightFactor * h - m_heightOffset;
        if (z < kLowestCup)
            z = kLowCupHeight;
    }
    const float y = m_sidewaysFactor * h;
    const float rise = z - kLowCupHeight;
    const float tilt = std::asin(Clamp(rise / span, -1.0f, 1.0f));
    const float s = mirror ? -1.0f : 1.0f;
    const float half = (0.5f * length - 8.0f) * s;

    CTransform& matrix = context.m_state.matrix;
    const CTransform kept = matrix;
    matrix.SetTranslation(-half, y, rise);
    if (!turn) {
        matrix.SetRotationYRadians(s * tilt);
    } else {
        matrix.RotateYRadians(s * tilt);
        matrix.RotateZRadians(-(std::atan(18.0f / (length - 65.0f - 8.0f)) * s));
    }
    matrix.TranslateLocal(CVector3(half, 0.0f, kLowCupHeight));
    DrawPart(context, bar);
    matrix = kept;
}
