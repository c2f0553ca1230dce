#pragma once

// <windows.h> defines DrawText as DrawTextW; including it here gives every
// file that sees this class the same name for the text slot.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/Curve.h"
#include "foundation/FontMetrics.h"
#include "foundation/Geometry.h"
#include "foundation/Rect.h"
#include "foundation/Transform.h"

class CCamera;
class CDrawable;
class CPixelBitmap;

// The drawing state of a graphics context: a plain record copied by value on
// PushState / PopState. Callers set its fields directly while no path is
// open (dash style and fill pattern through the context's setters).
// Colours: red bits 0-7, green 8-15, blue 16-23, alpha 24-31.
struct CGraphicsState
{
    // 0 solid; 1 dashed (dash one unit, gap one unit); 2 long dashes (dash
    // three units, gap one). The unit is twice the pen width.
    uint32_t dashStyle = 0;
    float penWidth = 1.0f;
    uint32_t penColor = 0xFF000000;
    // 0 solid fill; 1 hatched (also the greyed look), honoured by the back
    // ends when a path ends.
    uint32_t fillPattern = 0;
    // Also the background of text on the GDI canvas.
    uint32_t fillColor = 0xFF808080;
    // Size factor of the hatch for back ends that draw the pattern themselves.
    float hatchScale = 1.0f;
    uint32_t textColor = 0xFF000000;
    // 0 left, 1 centre, 2 right.
    uint32_t textAlignH = 0;
    // 0 y is the cell top; 1 internal leading below y; 2 half of internal
    // leading and ascent; 3 half of internal leading and height; 4 half the
    // height; 5 y is the baseline; 6 y is the cell bottom.
    uint32_t textAlignV = 0;
    // Text requires a size above 0.
    CFontMetrics font;
    // Heights at which 3D back ends place strokes, fills (and bitmaps), text.
    float strokeZ = 0.0f;
    float fillZ = 0.0f;
    float textZ = 0.0f;
    CTransform matrix;
    // Texture of the following vertices; not owned.
    const CPixelBitmap* texture = nullptr;
    // The vertex colour as the caller set it (SetColor).
    uint32_t color = 0xFF000000;
    // Multiplier of the lit shade, 0 to 1 (SetBrightness).
    float brightness = 1.0f;
    // The current normal, already through the matrix.
    CVector3 normal{0.0f, 0.0f, 1.0f};
    CVector3 lightDirection;
    // Scratch: the last vertex after the matrix.
    CVector3 vertexPosition;
    // The colour vertices actually get: color shaded by the light.
    uint32_t shadedColor = 0xFF000000;
    float texU = 0.0f;
    float texV = 0.0f;
    // On when the light direction is not zero.
    bool lighting = false;
    // The shade factor per ten thousand.
    int32_t shade = 10000;

    // Every field back to the values above, with the given light; a zero
    // light direction turns lighting off.
    void Reset(const CVector3& light);
    // shade := ((normal . light) * 0.4 + 0.6) * brightness * 10000, truncated
    // after adding 0.5.
    void ComputeShade();
};

// One vertex of the vertex store: position after the matrix, shaded colour
// and texture coordinates.
struct CGraphicsVertex
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    uint32_t color = 0;
    float u = 0.0f;
    float v = 0.0f;
};

// The one drawing interface. Callers use the non-virtual front end: paths
// (BeginPath / BeginLine, MoveTo, LineTo, AddBezier, AddRect, AddCircle,
// EndPath), arrow heads, text alignment, lighting, the 3D primitives and the
// vertex store. Back ends implement the seventeen virtual slots; the front end
// hands them dashed and flattened segments, one figure at a time:
//
//     EmitBeginPath(stroke, fill)
//       { EmitMoveTo, { EmitLineTo | EmitBezierTo }, [EmitCloseFigure] } ...
//     EmitEndPath
//
// Path coordinates are 2D with y growing downwards; vertex coordinates are 3D
// with y growing upwards: the path point (x, y) at height z is (x, -y, z).
// Violated preconditions are reported and drawing goes on.
class CGraphicsContext
{
public:
    CGraphicsContext();
    CGraphicsContext(const CGraphicsContext&) = delete;
    CGraphicsContext& operator=(const CGraphicsContext&) = delete;

    // ---- The slots, in order -----------------------------------------------
    // 0: a textured quad through the vertex stream at fillZ.
    virtual void DrawBitmap(const CPixelBitmap& bitmap, const CRectF& rect);
    // 1: one line of text at (x, y) in the state's font, colour and alignment.
    virtual void DrawText(const std::wstring& text, float x, float y) = 0;
    // 2: 0 to 1; scales the lit shade, only while lighting is on. Never alpha.
    virtual void SetBrightness(float brightness);
    // 3: kind 0 triangle list, 1 fan, 2 strip grid of rowLength vertices per
    // row (rowLength 2: a triangle strip); reverse flips every triangle.
    virtual void BeginVertices(int kind, bool reverse, int rowLength);
    // 4: the point goes through the matrix into the vertex store.
    virtual void AddVertex(const CVector3& point);
    // 5: the base leaves the store for the back end to consume.
    virtual void EndVertices();
    // 6: draws a nested drawable; mode 0 as placed by the matrix, 1 upright
    // at constant screen size, 2 upright standing on z = 0, 3 upright through
    // the view matrix (see ComputeItemTransform). The flag (a pick id) goes
    // through to the 3D back ends. Back ends report nested drawables deeper
    // than kMaxNesting and skip them: a drawable that draws itself would
    // otherwise never end.
    virtual void DrawDrawable(CDrawable& drawable, int mode, int flag) = 0;
    static constexpr int kMaxNesting = 64;
    // 7
    virtual ~CGraphicsContext();

protected:
    // 8: before the first figure of a path; the base does nothing.
    virtual void EmitBeginPath(bool stroke, bool fill);
    // 9, 10
    virtual void EmitMoveTo(float x, float y) = 0;
    virtual void EmitLineTo(float x, float y) = 0;
    // 11: the base flattens the curve into EmitLineTo calls. Back ends that
    // draw curves use p1, p2 and p3 (p0 is the current point).
    virtual void EmitBezierTo(const CCurveGeometry& curve);
    // 12: closes the figure in hand (never for BeginLine paths).
    virtual void EmitCloseFigure() = 0;
    // 13: after the last figure; the base does nothing.
    virtual void EmitEndPath();

public:
    // 14: true when the back end wants every segment whole: no dash
    // splitting, and curves arrive as EmitBezierTo even while dashed.
    virtual bool IgnoresDashes() const;
    // 15: true when nothing drawn within the rectangles (path coordinates
    // through the current matrix, pens included) can change a pixel that
    // this context keeps. Only a back end that draws straight into a device
    // whose clip box it knows can tell; the base, and every context whose
    // drawing is measured, recorded or replayed elsewhere, answers false.
    // Drawings that cost much to prepare ask before preparing.
    virtual bool MissesClip(const CRectF* rects, size_t count) const;
    // 16: how long one device pixel is in path coordinates through the
    // current matrix, for drawings that leave out detail smaller than a
    // pixel; 0 where the context has no pixels of its own (the base: every
    // context whose drawing is measured, tessellated or shown in 3D), and
    // then every detail is drawn.
    virtual float GetPixelSize() const;

    // ---- Paths ---------------------------------------------------------------
    // A path of closed figures, stroked and/or filled (at least one; not both
    // while a dash style is set). Mode is passed through to the back ends.
    void BeginPath(bool stroke, bool fill, int mode);
    // An open stroked path; callers pass mode 1.
    void BeginLine(int mode);
    void MoveTo(float x, float y);
    void LineTo(float x, float y);
    void MoveTo(const CPoint2& p) { MoveTo(p.x, p.y); }
    void LineTo(const CPoint2& p) { LineTo(p.x, p.y); }
    // A cubic from the current point.
    void AddBezier(const CPoint2& c1, const CPoint2& c2, const CPoint2& end);
    // A line to curve.p0 first when it is not the current point (a move there
    // when there is no current point), then the cubic.
    void AddBezierSegment(const CCurveGeometry& curve);
    // Move to (left, top), lines to (left, bottom), (right, bottom), (right,
    // top); the close draws the fourth side. Closed-figure paths only.
    void AddRect(const CRectF& rect);
    // Two cubics starting and ending at (x - r, y). Closed-figure paths only.
    void AddCircle(float x, float y, float r);
    void CloseFigure();
    void EndPath();

    // A filled triangle in the pen colour at strokeZ; (x, y) is the tip and
    // (dx, dy) the direction it points; half-width length * tan 30.
    void DrawArrowHead(float x, float y, float dx, float dy, float length);

    bool IsPathOpen() const { return m_pathOpen; }
    bool IsPathStroked() const { return m_pathStroke; }
    bool IsPathFilled() const { return m_pathFill; }
    // The mode given to BeginPath / BeginLine; 1 outside a path.
    int GetPathMode() const { return m_pathMode; }

    // ---- State ---------------------------------------------------------------
    // Both report a call while a path is open and store the value anyway.
    void SetDashStyle(uint32_t style);
    void SetFillPattern(uint32_t pattern);
    // The vertex colour; shaded by the current shade while lighting is on.
    void SetColor(uint32_t color);
    // With lighting on: the normal through the matrix (normalised unless
    // isUnit), the shade recomputed and the colour re-applied.
    void SetNormal(const CVector3& normal, bool isUnit);
    void PushState();
    void PopState();
    size_t GetStateDepth() const { return m_stateStack.size(); }

    // ---- Text ----------------------------------------------------------------
    // Where one line of text goes with the state's font and alignment: the
    // text cell (left, top, right, bottom) and, as result, the baseline start.
    // The advances, when asked for, receive the width of every character.
    CPoint2 AlignText(const std::wstring& text, float x, float y, CRectF* cell,
                      std::vector<float>* advances) const;

    // ---- 3D primitives (through slots 3 to 5) --------------------------------
    // A segment count of 0 means all segments; loops run from first to
    // first + count inclusive, so a full ring repeats its first vertex.
    // faceMask bits skip faces: 1 -x, 2 +x, 4 -y, 8 +y, 16 -z, 32 +z.
    void DrawBox(const CBox3& box, uint32_t faceMask);
    void DrawDisc(float radius, int segments, float z, bool facingDown, int first, int count);
    void DrawRing(float inner, float outer, int segments, float z, bool facingDown, int first,
                  int count);
    void DrawCylinder(float radius, float z0, float z1, int segments, bool capAtZ0, bool capAtZ1,
                      bool inward, int first, int count);
    void DrawTorus(float tubeRadius, int tubeSegments, float ringRadius, int ringSegments, int first,
                   int count);
    void DrawSphere(float radius, int segments, int firstLatitude, int latitudeCount,
                    int firstLongitude, int longitudeCount, bool reverse);

    // ---- Vertex store --------------------------------------------------------
    // Vertices and triangles accumulate until the back end consumes them
    // (in EndVertices or its own path handling) and calls ClearVertices.
    const std::vector<CGraphicsVertex>& GetVertices() const { return m_vertices; }
    const std::vector<uint32_t>& GetTriangles() const { return m_triangles; }
    void ClearVertices();
    // Empties the store in the middle of a batch, keeping the batch going:
    // the vertices it still refers to (its recent row and fan centre) are
    // stored again as the first ones. Back ends whose meshes hold a limited
    // number of vertices take the store out and go on with this.
    void RestartVertexStore();

    // ---- Item placement ------------------------------------------------------
    // Replaces the state's matrix before a back end draws a nested item:
    // matrix is what the back end applies after the item's own matrix (the
    // device or canvas transform), viewMatrix the scene's view transform.
    // Mode 0 changes nothing; modes 1 to 3 make the item upright at the place
    // of its origin with a uniform scale (mode 1: the camera's scale at that
    // depth; mode 2 also lifts it so that its lowest point lies on the plane
    // z = 0 of the item's own frame, the ground for plan-placed items).
    void ComputeItemTransform(int mode, const CCamera& camera, const CTransform& matrix,
                              const CTransform& viewMatrix, CDrawable& drawable);

    // The drawing state; callers set its fields directly outside paths.
    CGraphicsState m_state;

protected:
    // The segment routine of LineTo and of every dash and curve piece: length
    // is the distance along the path to (x, y), negative for the chord.
    void AddSegment(float x, float y, float length);
    // Flattens a part [t0, t1] of source into segments of the given total
    // length (negative: chord lengths).
    void FlattenBezier(const CCurveGeometry& piece, float length, const CCurveGeometry& source,
                       float t0, float t1, int depth);

private:
    // Every point of every path asks: the report is kept out of line.
    bool RequireOpenPath() { return m_pathOpen || ReportClosedPath(); }
    bool ReportClosedPath();
    bool SplitsDashes() const;
    void PlainLineTo(float x, float y);
    void EmitPendingMove();
    uint32_t FindOrAddVertex(const CGraphicsVertex& vertex);
    void AddTriangle(uint32_t a, uint32_t b, uint32_t c);
    uint32_t RecentVertex(int ago) const;
    // Segments from 1 to the limit, and a first segment and count within it
    // either way (the loops run from first to first + count inclusive).
    bool CheckSegments(int segments, int first = 0, int count = 0);
    void SetPrimitiveNormal(float x, float y, float z, bool isUnit);

    bool m_pathOpen = false;
    bool m_pathStroke = false;
    bool m_pathFill = false;
    int m_pathMode = 1;
    bool m_figureHasSegments = false;
    bool m_closedFigures = false;
    CPoint2 m_currentPoint;
    CPoint2 m_figureStart;
    // 0 no current point, 1 a move is pending, 2 the move has been emitted.
    int m_moveState = 0;
    // Path length already consumed in the dash period.
    float m_dashPhase = 0.0f;
    // A vector keeps its room between frames; a deque of states this large
    // would take and free a heap block at every other nesting level.
    std::vector<CGraphicsState> m_stateStack;

    std::vector<CGraphicsVertex> m_vertices;
    std::vector<uint32_t> m_triangles;
    // Per hash bucket the index of the last vertex stored with that hash, -1
    // for none.
    int32_t m_buckets[1024];
    int m_vertexKind = 0;
    bool m_vertexReverse = false;
    int m_rowLength = 2;
    uint32_t m_vertexCount = 0;
    uint32_t m_fanCentre = 0;
    // The most recent vertex indices, the one added at count n in slot n mod
    // size; never shrinks.
    std::vector<uint32_t> m_recent;
};
