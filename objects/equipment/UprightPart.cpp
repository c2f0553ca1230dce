#include "objects/equipment/UprightPart.h"

#include "foundation/TracePoint.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/PipeParts.h"

CUprightPart::CUprightPart(int color, int bandColor) : m_color(color), m_bandColor(bandColor)
{
    CFieldWriter& key = BeginKey();
    key.WriteFloat16(kHeight);
    key.WriteFloat16(kThickness);
    key.WriteInt8(m_color);
    key.WriteInt8(m_bandColor);
}

void CUprightPart::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    if (m_color == m_bandColor) {
        CDiscPart pipe(kHeight, kThickness, m_color);
        DrawPart(context, pipe);
    } else {
        const float bandBottom = kHeight - kTopLength - kBandLength;
        CDiscPart lower(bandBottom, kThickness, m_color);
        CDiscPart band(kBandLength, kThickness, m_bandColor);
        CDiscPart upper(kTopLength, kThickness, m_color);
        DrawPart(context, lower);
        DrawPartAt(context, band, 0.0f, 0.0f, bandBottom);
        DrawPartAt(context, upper, 0.0f, 0.0f, bandBottom + kBandLength);
    }
    SetPaletteColor(context, m_color);
    context.DrawDisc(0.5f * kThickness, 16, kHeight, false, 0, 0);
}
