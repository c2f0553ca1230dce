#include "objects/equipment/WingPart.h"

#include <algorithm>
#include <cmath>

#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"
#include "objects/equipment/PartDrawing.h"

namespace {

// The top of a plain row's upright: its line at k = 260 (the cup height
// less 8.125) and 60 more.
constexpr float kTopK = 260.0f;
constexpr float kLineDrop = 8.125f;
constexpr float kTopRise = 60.0f;
// A top line steeper than this (its cosine below) has no lower edge to fill
// up to.
constexpr float kMinCosine = 1e-3f;

}  // namespace

CWingPart::CWingPart(int panelColor, int slatColor, int footColor, int postColor, float wingWidth, bool drawCups)
    : m_panelColor(panelColor),
      m_slatColor(slatColor),
      m_footColor(footColor),
      m_postColor(postColor),
      m_row(postColor, 0.0f, 1.0f, 0.0f),
      m_drawCups(drawCups),
      m_footBack(true),
      m_footFront(true),
      m_innerLength(wingWidth - 11.0f),
      m_yStart(-(wingWidth - 11.0f)),
      m_yEnd(-19.0f),
      m_topStart(kOuterTop),
      m_topEnd(kTopK - kLineDrop + kTopRise)
{
    int count = 1 + int((wingWidth - 30.0f) / 60.0f);
    if (count < 3)
        count = 2;
    for (int i = 0; i < count; ++i) {
        CUpright upright;
        upright.y = m_yStart + float(i) * (wingWidth - 30.0f) / float(count - 1);
        m_uprights.push_back(upright);
    }
    WriteKey();
}

CWingPart::CWingPart(int panelColor, int slatColor, int footColor, bool footBack, bool footFront)
    : m_panelColor(panelColor),
      m_slatColor(slatColor),
      m_footColor(footColor),
      m_postColor(-1),
      m_row(footColor, 0.0f, 1.0f, 0.0f),
      m_footBack(footBack),
      m_footFront(footFront)
{
    WriteKey();
}

CWingPart::CWingPart(int panelColor, int slatColor, int footColor)
    : CWingPart(panelColor, slatColor, footColor, false, false)
{
}

void CWingPart::WriteKey()
{
    CFieldWriter& key = BeginKey();
    key.WriteInt8(m_panelColor);
    key.WriteInt8(m_slatColor);
    key.WriteInt8(m_footColor);
    key.WriteInt16(m_postColor);
    key.WriteInt8(m_drawCups ? 1 : 0);
    key.WriteInt8(m_footBack ? 1 : 0);
    key.WriteInt8(m_footFront ? 1 : 0);
    key.WriteFloat16(m_innerLength);
    for (const CCupRowPart& row : m_children)
        row.WriteKey(key);
}

void CWingPart::AddPiece(const CCupRowPart& row)
{
    m_children.push_back(row);
    WriteKey();
}

void CWingPart::LayoutFromRows()
{
    TRACE_VALUE(int32_t, int32_t(m_children.size()));
    if (m_children.size() < 2) {
        ReportFailure();
        return;
    }
    m_uprights.clear();
    const CCupRowPart* first = nullptr;
    const CCupRowPart* last = nullptr;
    for (const CCupRowPart& row : m_children) {
        const float hf = row.GetHeightFactor();
        const float sf = row.GetSidewaysFactor();
        // The upright follows the row's line; it leaves the rail where the
        // line is at the rail's height.
        CUpright upright;
        upright.dy = sf;
        upright.dz = hf;
        const float k = hf != 0.0f ? (kRailHeight + row.GetHeightOffset() + kLineDrop) / hf : 0.0f;
        upright.y = sf * k;
        m_uprights.push_back(upright);
        const float topY = sf * kTopK;
        if (first == nullptr || topY < first->GetSidewaysFactor() * kTopK)
            first = &row;
        if (last == nullptr || topY > last->GetSidewaysFactor() * kTopK)
            last = &row;
    }
    const auto topOf = [](const CCupRowPart& row) {
        return row.GetHeightFactor() * kTopK - row.GetHeightOffset() - kLineDrop + kTopRise * row.GetHeightFactor();
    };
    m_yStart = first->GetSidewaysFactor() * kTopK;
    m_yEnd = last->GetSidewaysFactor() * kTopK;
    m_topStart = topOf(*first);
    m_topEnd = topOf(*last);
}

void CWingPart::Draw(CGraphicsContext& context)
{
    TRACE_VALUE(int32_t, m_postColor);
    CTransform& matrix = context.m_state.matrix;
    if (IsHolder()) {
        for (CCupRowPart& row : m_children)
            DrawPart(context, row);
    } else if (m_drawCups) {
        matrix.SetRotationZ(90.0f);
        DrawPart(context, m_row);
        SetPaletteColor(context, m_postColor);
        context.DrawBox(CBox3(-4.0f, 0.0f, -7.0f, 7.0f, 0.0f, 0.95f * m_topEnd), 0);
        matrix.ResetRotation();
        matrix.ClearTranslation();
    }
    DrawFeet(context);
    SetPaletteColor(context, m_panelColor);
    context.DrawBox(CBox3(-kHalfThickness, kHalfThickness, m_yStart - kHalfBoard, m_yEnd + kHalfBoard, 0.0f,
                          kRailHeight),
                    0);
    DrawBody(context);
    SetPaletteColor(context, m_slatColor);
    for (const CUpright& upright : m_uprights)
        DrawUpright(context, upright);
}

void CWingPart::DrawFeet(CGraphicsContext& context)
{
    CTransform& matrix = context.m_state.matrix;
    SetPaletteColor(context, m_footColor);
    if (!IsHolder())
        matrix.SetTranslation(0.0f, -5.0f, 0.0f);
    if (m_footFront)
        context.DrawBox(CBox3(2.0f, 102.0f, -5.0f, 5.0f, 0.0f, 2.0f), 0);
    if (m_footBack)
        context.DrawBox(CBox3(-102.0f, -2.0f, -5.0f, 5.0f, 0.0f, 2.0f), 0);
    matrix.ClearTranslation();
}

void CWingPart::DrawBody(CGraphicsContext& context)
{
    CTransform& matrix = context.m_state.matrix;
    const float y0 = m_yStart;
    const float z0 = m_topStart;
    const float y1 = m_yEnd;
    const float z1 = m_topEnd;
    const float theta = std::atan2(z1 - z0, y1 - y0);
    const float length = Hypot(z1 - z0, y1 - y0);

    // The board along the top line, rounded at both ends.
    matrix.SetTranslation(0.0f, y0, z0);
    matrix.SetRotationY(90.0f);
    matrix.RotateZRadians(theta);
    context.DrawBox(CBox3(-kHalfBoard, kHalfBoard, 0.0f, length, -kHalfThickness, kHalfThickness), 0);
    context.DrawCylinder(kHalfBoard, -kHalfThickness, kHalfThickness, 16, true, true, false, 8, 8);
    matrix.TranslateLocal(CVector3(0.0f, length, 0.0f));
    context.DrawCylinder(kHalfBoard, -kHalfThickness, kHalfThickness, 16, true, true, false, 0, 8);
    matrix.ResetRotation();
    matrix.ClearTranslation();

    // Below the board's ends the panel is closed down to the board's lower
    // edge, prolonged; a vertical top line has no such edge.
    const float s = std::sin(theta);
    const float c = std::cos(theta);
    if (!(std::fabs(c) >= kMinCosine)) {
        TRACE_VALUE(float, theta);
        ReportFailure();
        return;
    }
    const CPoint2 p0(y0 + kHalfBoard * s, z0 - kHalfBoard * c);
    const CPoint2 p1(y1 + kHalfBoard * s, z1 - kHalfBoard * c);
    const float ya = y0 - kHalfBoard;
    const float yb = y1 + kHalfBoard;
    const float za = p0.y + (ya - p0.x) * s / c;
    const float zb = p1.y + (yb - p1.x) * s / c;
    const float t = kHalfThickness;

    context.BeginVertices(2, false, 2);
    context.SetNormal(CVector3(0.0f, -1.0f, 0.0f), true);
    context.AddVertex(CVector3(-t, ya, z0));
    context.AddVertex(CVector3(t, ya, z0));
    context.AddVertex(CVector3(-t, ya, za));
    context.AddVertex(CVector3(t, ya, za));
    context.EndVertices();
    context.BeginVertices(2, false, 2);
    context.SetNormal(CVector3(0.0f, 1.0f, 0.0f), true);
    context.AddVertex(CVector3(t, yb, z1));
    context.AddVertex(CVector3(-t, yb, z1));
    context.AddVertex(CVector3(t, yb, zb));
    context.AddVertex(CVector3(-t, yb, zb));
    context.EndVertices();

    context.BeginVertices(0, false, 2);
    context.SetNormal(CVector3(1.0f, 0.0f, 0.0f), true);
    context.AddVertex(CVector3(t, ya, z0));
    context.AddVertex(CVector3(t, ya, za));
    context.AddVertex(CVector3(t, p0.x, p0.y));
    context.SetNormal(CVector3(-1.0f, 0.0f, 0.0f), true);
    context.AddVertex(CVector3(-t, ya, z0));
    context.AddVertex(CVector3(-t, p0.x, p0.y));
    context.AddVertex(CVector3(-t, ya, za));
    context.AddVertex(CVector3(-t, yb, z1));
    context.AddVertex(CVector3(-t, yb, zb));
    context.AddVertex(CVector3(-t, p1.x, p1.y));
    context.SetNormal(CVector3(1.0f, 0.0f, 0.0f), true);
    context.AddVertex(CVector3(t, yb, z1));
    context.AddVertex(CVector3(t, p1.x, p1.y));
    context.AddVertex(CVector3(t, yb, zb));
    context.EndVertices();
}

void CWingPart::DrawUpright(CGraphicsContext& context, const CUpright& upright)
{
    const float dy = m_yEnd - m_yStart;
    if (dy == 0.0f)
        return;
    const float slope = (m_topEnd - m_topStart) / dy;
    const float denominator = upright.dz - slope * upright.dy;
    if (!(std::fabs(denominator) > 1e-6f))
        return;
    // A slat is cut where it would reach beyond the rail.
    const float low = m_yStart - kHalfBoard;
    const float high = m_yEnd + kHalfBoard;
    const auto clampY = [low, high](float y) { return std::min(std::max(y, low), high); };
    CPoint2 bottom[2];
    CPoint2 top[2];
    for (int side = 0; side < 2; ++side) {
        const float y = upright.y + (side == 0 ? -kHalfBoard : kHalfBoard);
        const float t = (m_topStart + (y - m_yStart) * slope - kRailHeight) / denominator;
        if (!(t > 0.0f))
            return;
        bottom[side] = CPoint2(clampY(y), kRailHeight);
        top[side] = CPoint2(clampY(y + t * upright.dy), kRailHeight + t * upright.dz);
    }
    if (!(bottom[0].x < bottom[1].x) && !(top[0].x < top[1].x))
        return;
    const float t = kHalfThickness;
    const float length = Hypot(upright.dy, upright.dz);
    const float ny = length > 0.0f ? upright.dz / length : 1.0f;
    const float nz = length > 0.0f ? -upright.dy / length : 0.0f;
    const auto face = [&context](const CVector3& normal, const CVector3& a, const CVector3& b, const CVector3& c,
                                 const CVector3& d) {
        context.BeginVertices(2, false, 2);
        context.SetNormal(normal, true);
        context.AddVertex(a);
        context.AddVertex(b);
        context.AddVertex(c);
        context.AddVertex(d);
        context.EndVertices();
    };
    face(CVector3(1.0f, 0.0f, 0.0f), CVector3(t, top[0].x, top[0].y), CVector3(t, top[1].x, top[1].y),
         CVector3(t, bottom[0].x, bottom[0].y), CVector3(t, bottom[1].x, bottom[1].y));
    face(CVector3(-1.0f, 0.0f, 0.0f), CVector3(-t, top[1].x, top[1].y), CVector3(-t, top[0].x, top[0].y),
         CVector3(-t, bottom[1].x, bottom[1].y), CVector3(-t, bottom[0].x, bottom[0].y));
    face(CVector3(0.0f, -ny, -nz), CVector3(-t, top[0].x, top[0].y), CVector3(t, top[0].x, top[0].y),
         CVector3(-t, bottom[0].x, bottom[0].y), CVector3(t, bottom[0].x, bottom[0].y));
    face(CVector3(0.0f, ny, nz), CVector3(t, top[1].x, top[1].y), CVector3(-t, top[1].x, top[1].y),
         CVector3(t, bottom[1].x, bottom[1].y), CVector3(-t, bottom[1].x, bottom[1].y));
}
