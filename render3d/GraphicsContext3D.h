#pragma once

#include <vector>

#include "foundation/Geometry.h"
#include "graphics/GraphicsContext.h"

class CPixelBitmap;

// The base of every graphics context that turns the path drawing of
// CGraphicsContext into triangles in 3D space: the renderers and the
// picking context. Each figure of a path is collected and, when it ends,
// filled as flat triangles (a convex figure directly, any other through the
// shared GLU tessellator) and stroked as a ribbon of quads with mitred
// joins, both at the z level of the flat drawing and facing +z. The
// triangles reach the vertex store through BeginVertices, AddVertex and
// EndVertices, where the subclass takes them.
//
// Fill patterns: 0 plain in the fill colour at fillZ; 1 hatched: opaque
// white at fillZ, then the fill colour through the 8 x 8 hatch texture at
// strokeZ. Path points (x, y) lie at (x, -y, z).
class CGraphicsContext3D : public CGraphicsContext
{
public:
    CGraphicsContext3D();
    ~CGraphicsContext3D() override;

    // The hatch: 8 x 8 white pixels, opaque in column 0 and in the last
    // stored row, transparent elsewhere. Shared by all 3D contexts.
    static const CPixelBitmap& GetHatchTexture();

    // One flat polygon (path coordinates, y down) at height z with the
    // normal (0, 0, 1), as a fan from its first point; reverse flips the
    // triangles (for points running clockwise on the plan). Texture
    // coordinates follow the position, repeating every 8 * sqrt(2) units.
    void EmitFlatPolygon(const std::vector<CPoint2>& points, float z, bool reverse);

    // The two offset points of point i of a figure, at halfWidth either side
    // of the line through it: along the bisector of a corner of at most 120
    // degrees, lengthened to a mitre; else square to one segment. left lies
    // to the left of the direction of travel on the plan.
    static void OffsetPoint(const std::vector<CPoint2>& points, size_t i, bool closed, float halfWidth,
                            CPoint2& left, CPoint2& right);

    // How a figure turns: 1 convex running clockwise on the plan (right
    // turns), -1 convex running anticlockwise, 0 anything else.
    static int ClassifyTurning(const std::vector<CPoint2>& points);

protected:
    void EmitBeginPath(bool stroke, bool fill) override;
    // Ends the figure in hand and starts a new one at the point.
    void EmitMoveTo(float x, float y) override;
    void EmitLineTo(float x, float y) override;
    // Both end the figure in hand: it is filled and stroked.
    void EmitCloseFigure() override;
    void EmitEndPath() override;

private:
    void EndFigure();
    void FillFigure(const std::vector<CPoint2>& points);
    void FillArea(const std::vector<CPoint2>& points, float z);
    void StrokeFigure(const std::vector<CPoint2>& points, bool closed);

    std::vector<CPoint2> m_figure;
    bool m_figureClosed = false;
    bool m_stroke = false;
    bool m_fill = false;
};
