#include "objects/equipment/StripedBarPart.h"

#include "foundation/TracePoint.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/PipeParts.h"

CStripedBarPart::CStripedBarPart(float length, int color, int stripeColor, float diameter)
    : m_length(length), m_color(color), m_stripeColor(stripeColor), m_diameter(diameter)
{
    CFieldWriter& key = BeginKey();
    key.WriteFloat16(m_length);
    key.WriteInt8(m_color);
    key.WriteInt8(m_stripeColor);
    key.WriteFloat16(m_diameter);
}

void CStripedBarPart::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    const float r = 0.5f * m_diameter;
    const float inner = 0.4f * m_diameter;
    const float piece = GetPieceLength();
    // The parts' own z runs along -x from the bar's right end.
    CTransform& matrix = context.m_state.matrix;
    matrix.SetRotationY(-90.0f);
    CDiscPart body(piece, m_diameter, m_color);
    CDiscPart stripe(kStripeLength, m_diameter, m_stripeColor);
    float x = 0.5f * m_length;
    for (int i = 0; i < 4; ++i) {
        DrawPartAt(context, body, x, 0.0f, -r);
        x -= piece;
        if (i == 3)
            break;
        DrawPartAt(context, stripe, x, 0.0f, -r);
        x -= kStripeLength;
    }
    // The inside, seen through the ends, and the two end rings.
    matrix.SetTranslation(0.5f * m_length, 0.0f, -r);
    SetPaletteColor(context, m_color);
    context.SetBrightness(0.5f);
    context.DrawCylinder(inner, 0.0f, m_length, 16, false, false, true, 0, 0);
    context.SetBrightness(1.0f);
    context.DrawRing(inner, r, 16, 0.0f, true, 0, 0);
    context.DrawRing(inner, r, 16, m_length, false, 0, 0);
}
