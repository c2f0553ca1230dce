#include "render3d/GraphicsContext3D.h"

#include <cmath>

#include "foundation/CrashLog.h"
#include "graphics/PixelBitmap.h"
#include "render3d/TessellatingGraphics3D.h"

namespace {

// Texture coordinates per unit of the plan: the 8 x 8 hatch repeats every
// 8 * sqrt(2) units.
const float kTextureScale = 1.0f / (8.0f * 1.41421356f);

// A turn counts as convex one way when its turns that way outweigh the other
// way's this many times.
const float kConvexRatio = 10000.0f;

// Corners sharper than 120 degrees (cosine between the directions below
// -0.5) get no mitre.
const float kMitreLimitCosine = -0.5f;

bool g_hatchDirty = true;

CPoint2 Perpendicular(const CPoint2& direction) { return CPoint2(direction.y, -direction.x); }

// The unit direction from a to b; false when they coincide.
bool Direction(const CPoint2& a, const CPoint2& b, CPoint2& out)
{
    const CPoint2 d = b - a;
    const float length = d.Length();
    if (!(length > 0.0f) || !std::isfinite(length))
        return false;
    out = d / length;
    return true;
}

// The figure without points that repeat their predecessor, and without a
// last point that repeats the first.
std::vector<CPoint2> WithoutRepeats(const std::vector<CPoint2>& points)
{
    std::vector<CPoint2> result;
    result.reserve(points.size());
    for (const CPoint2& p : points)
        if (result.empty() || p != result.back())
            result.push_back(p);
    while (result.size() > 1 && result.back() == result.front())
        result.pop_back();
    return result;
}

}  // namespace

CGraphicsContext3D::CGraphicsContext3D() = default;

CGraphicsContext3D::~CGraphicsContext3D() = default;

const CPixelBitmap& CGraphicsContext3D::GetHatchTexture()
{
    static CPixelBitmap hatch;
    if (g_hatchDirty) {
        g_hatchDirty = false;
        hatch.Resize(8.0f, 8.0f);
        std::vector<uint32_t>& pixels = hatch.GetPixels();
        for (size_t i = 0; i < pixels.size(); ++i) {
            const size_t column = i % 8;
            const size_t row = i / 8;
            pixels[i] = column == 0 || row == 7 ? 0xFFFFFFFF : 0x00FFFFFF;
        }
    }
    return hatch;
}

// ---- Figures ------------------------------------------------------------------------

void CGraphicsContext3D::EmitBeginPath(bool stroke, bool fill)
{
    m_stroke = stroke;
    m_fill = fill;
    m_figure.clear();
    m_figureClosed = false;
}

void CGraphicsContext3D::EmitMoveTo(float x, float y)
{
    EndFigure();
    m_figure.emplace_back(x, y);
}

void CGraphicsContext3D::EmitLineTo(float x, float y) { m_figure.emplace_back(x, y); }

void CGraphicsContext3D::EmitCloseFigure()
{
    m_figureClosed = true;
    EndFigure();
}

void CGraphicsContext3D::EmitEndPath() { EndFigure(); }

void CGraphicsContext3D::EndFigure()
{
    if (!m_figure.empty()) {
        const std::vector<CPoint2> points = WithoutRepeats(m_figure);
        if (points.size() >= 2) {
            if (m_fill)
                FillFigure(points);
            if (m_stroke)
                StrokeFigure(points, m_figureClosed);
        }
    }
    m_figure.clear();
    m_figureClosed = false;
}

// ---- Fills --------------------------------------------------------------------------

int CGraphicsContext3D::ClassifyTurning(const std::vector<CPoint2>& points)
{
    const size_t n = points.size();
    if (n < 3)
        return 0;
    double right = 0.0;
    double left = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const CPoint2 e1 = points[(i + 1) % n] - points[i];
        const CPoint2 e2 = points[(i + 2) % n] - points[(i + 1) % n];
        // With y down, a positive cross product is a turn to the right.
        const double cross = double(e1.x) * e2.y - double(e1.y) * e2.x;
        if (cross > 0.0)
            right += cross;
        else
            left -= cross;
    }
    if (right > kConvexRatio * left)
        return 1;
    if (left > kConvexRatio * right)
        return -1;
    return 0;
}

void CGraphicsContext3D::FillArea(const std::vector<CPoint2>& points, float z)
{
    const int turning = ClassifyTurning(points);
    if (turning != 0)
        EmitFlatPolygon(points, z, turning > 0);
    else
        CTessellatingGraphics3D::Instance().Tessellate(points, *this, z);
}

void CGraphicsContext3D::FillFigure(const std::vector<CPoint2>& points)
{
    CGraphicsState& s = m_state;
    const uint32_t color = s.color;
    const CPixelBitmap* texture = s.texture;
    switch (s.fillPattern) {
    case 1:
        s.texture = nullptr;
        SetColor(0xFFFFFFFF);
        FillArea(points, s.fillZ);
        s.texture = &GetHatchTexture();
        SetColor(s.fillColor);
        FillArea(points, s.strokeZ);
        break;
    default:
        TRACE_VALUE(int32_t, int32_t(s.fillPattern));
        ReportFailure();
        [[fallthrough]];
    case 0:
        s.texture = nullptr;
        SetColor(s.fillColor);
        FillArea(points, s.fillZ);
        break;
    }
    s.texture = texture;
    SetColor(color);
}

void CGraphicsContext3D::EmitFlatPolygon(const std::vector<CPoint2>& points, float z, bool reverse)
{
    if (points.size() < 3)
        return;
    CGraphicsState& s = m_state;
    const float u = s.texU;
    const float v = s.texV;
    SetNormal(CVector3(0.0f, 0.0f, 1.0f), true);
    BeginVertices(1, reverse, 2);
    for (const CPoint2& p : points) {
        s.texU = p.x * kTextureScale;
        s.texV = p.y * kTextureScale;
        AddVertex(CVector3(p.x, -p.y, z));
    }
    EndVertices();
    s.texU = u;
    s.texV = v;
}

// ---- Strokes ------------------------------------------------------------------------

void CGraphicsContext3D::OffsetPoint(const std::vector<CPoint2>& points, size_t i, bool closed, float halfWidth,
                                     CPoint2& left, CPoint2& right)
{
    const size_t n = points.size();
    const CPoint2& p = points[i];
    CPoint2 in, out;
    const bool hasIn = (i > 0 || closed) && n > 1 && Direction(points[(i + n - 1) % n], p, in);
    const bool hasOut = (i + 1 < n || closed) && n > 1 && Direction(p, points[(i + 1) % n], out);
    CPoint2 offset;
    if (hasIn && hasOut && in.x * out.x + in.y * out.y >= kMitreLimitCosine) {
        // The bisector of the two normals, lengthened so that both edges of
        // the ribbon meet on it: |n1 + n2| / 2 is the cosine of half the turn.
        const CPoint2 sum = Perpendicular(in) + Perpendicular(out);
        const float cosine = in.x * out.x + in.y * out.y;
        offset = sum * (halfWidth / (1.0f + cosine));
    } else if (hasIn) {
        offset = Perpendicular(in) * halfWidth;
    } else if (hasOut) {
        offset = Perpendicular(out) * halfWidth;
    }
    // Perpendicular turns the direction to its left on the plan (y down).
    left = p + offset;
    right = p - offset;
}

void CGraphicsContext3D::StrokeFigure(const std::vector<CPoint2>& points, bool closed)
{
    CGraphicsState& s = m_state;
    const uint32_t color = s.color;
    const CPixelBitmap* texture = s.texture;
    const float halfWidth = s.penWidth * 0.5f;
    const float z = s.strokeZ;
    s.texture = nullptr;
    SetColor(s.penColor);
    SetNormal(CVector3(0.0f, 0.0f, 1.0f), true);
    // Per point its right, then its left offset: seen from +z (plan y
    // flipped) every triangle of the strip then runs anticlockwise.
    BeginVertices(2, false, 2);
    const size_t count = points.size() + (closed ? 1 : 0);
    for (size_t k = 0; k < count; ++k) {
        CPoint2 left, right;
        OffsetPoint(points, k % points.size(), closed, halfWidth, left, right);
        AddVertex(CVector3(right.x, -right.y, z));
        AddVertex(CVector3(left.x, -left.y, z));
    }
    EndVertices();
    s.texture = texture;
    SetColor(color);
}
