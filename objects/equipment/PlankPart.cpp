#include "objects/equipment/PlankPart.h"

#include <algorithm>
#include <cmath>

#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/SlatPart.h"

CPlankPart::CPlankPart(float topHeight, float length, int zoneColor, int surfaceColor, int rodColor)
    : m_topHeight(topHeight),
      m_length(length),
      m_zoneColor(zoneColor),
      m_surfaceColor(surfaceColor),
      m_rodColor(rodColor)
{
    CFieldWriter& key = BeginKey();
    key.WriteFloat16(m_topHeight);
    key.WriteFloat16(m_length);
    key.WriteInt8(m_zoneColor);
    key.WriteInt8(m_surfaceColor);
    key.WriteInt8(m_rodColor);
}

void CPlankPart::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    const float length = m_length;
    if (!(length > 0.0f) || !std::isfinite(length) || !std::isfinite(m_topHeight)) {
        TRACE_VALUE(float, length);
        ReportFailure();
        return;
    }
    const float h = m_topHeight;
    const float rise = h - 15.0f;
    const float theta = Clamp(std::asin(Clamp(rise / length, -1.0f, 1.0f)), -kMaxTilt, kMaxTilt);
    // The nose rounds the top edge; a plank sloping down has none.
    const float nose = std::max(15.0f * (1.0f - 1.0f / (std::tan(0.5f * theta) + 1.0f)), 0.0f);
    CSlatPart zoneSlat(120, m_zoneColor);
    CSlatPart surfaceSlat(120, m_surfaceColor);
    CTransform& matrix = context.m_state.matrix;

    SetPaletteColor(context, m_rodColor);
    matrix.SetTranslation(-2.0f * std::tan(theta), 0.0f, rise - 2.0f);
    matrix.SetRotationX(90.0f);
    context.DrawCylinder(2.0f, -60.0f, 60.0f, 8, true, true, false, 0, 0);

    SetPaletteColor(context, m_surfaceColor);
    matrix.SetTranslation(nose, 0.0f, h - nose);
    matrix.SetRotationX(90.0f);
    context.DrawCylinder(nose, -60.0f, 60.0f, 8, true, true, false, 0, 0);

    matrix.SetTranslation(std::cos(theta) * length, 0.0f, 0.0f);
    matrix.SetRotationZ(180.0f);
    matrix.RotateYRadians(-theta);
    const float zoneEnd = std::min(kZoneLength, length);
    SetPaletteColor(context, m_zoneColor);
    context.DrawBox(CBox3(0.0f, zoneEnd, -60.0f, 60.0f, 0.0f, 15.0f), 2);
    if (length > kZoneLength) {
        SetPaletteColor(context, m_surfaceColor);
        context.DrawBox(CBox3(kZoneLength, length, -60.0f, 60.0f, 0.0f, 15.0f), 1);
    }

    matrix.TranslateLocal(CVector3(0.0f, 0.0f, 15.0f));
    if (!(length > 180.0f))
        return;
    for (float position = 120.0f; position + 60.0f < length; position += 120.0f) {
        const CTransform kept = matrix;
        matrix.TranslateLocal(CVector3(position, 0.0f, 0.0f));
        DrawPart(context, position < kZoneLength ? zoneSlat : surfaceSlat);
        matrix = kept;
    }
}
