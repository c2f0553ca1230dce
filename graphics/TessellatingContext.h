#pragma once

#include <cstdint>
#include <deque>

#include "graphics/GraphicsContext.h"
#include "graphics/PolygonOutline.h"

class GLUtesselator;

// A graphics context that turns filled paths and vertex batches into plain
// polygons through the GLU polygon tessellator. Every figure of a filled
// path becomes one contour of the polygon that is open; when the polygon
// ends, the tessellator's output comes back through StartPolygonAt and
// ContinuePolygonTo, in path coordinates:
//   - triangle mode (odd winding rule): one call group per triangle, a whole
//     fan as one group;
//   - boundary mode (nonzero winding rule): one group per boundary loop of
//     the union of everything drawn.
// Text, nested drawables and stroked-only paths are reported and ignored;
// dashes are ignored and curves arrive flattened.
class CTessellatingContext : public CGraphicsContext
{
public:
    explicit CTessellatingContext(bool boundaryOnly);
    ~CTessellatingContext() override;

    void DrawText(const std::wstring& text, float x, float y) override;
    // Each counter-clockwise triangle of the batch (as seen on the plan)
    // becomes a contour of its own; the batch is emptied.
    void EndVertices() override;
    void DrawDrawable(CDrawable& drawable, int mode, int flag) override;
    bool IgnoresDashes() const override { return true; }

protected:
    // The first point of an output polygon, and each further one.
    virtual void StartPolygonAt(const CPoint2& point) = 0;
    virtual void ContinuePolygonTo(const CPoint2& point) = 0;

    // Opens and closes the tessellator's polygon; the output arrives during
    // EndTessPolygon. A second open, or a close without an open, is
    // reported and ignored.
    void BeginTessPolygon();
    void EndTessPolygon();
    bool IsPolygonOpen() const { return m_polygonOpen; }

    void EmitBeginPath(bool stroke, bool fill) override;
    // A figure is a contour: MoveTo opens it with its first point, the close
    // ends it. Points go through the current matrix.
    void EmitMoveTo(float x, float y) override;
    void EmitLineTo(float x, float y) override;
    void EmitCloseFigure() override;

private:
    struct CCallbacks;
    friend struct CCallbacks;

    // Hands a point to the tessellator: (x, y) of the plan is stored as
    // (x, -y, 0), and the stored point is the vertex's data.
    void AddTessVertex(float x, float y);
    void OnBegin(unsigned type);
    void OnVertex(const CVector3* vertex);
    void OnCombine(const double coords[3], void* const data[4], const float weights[4], void** out);
    void OnError(unsigned error);

    GLUtesselator* m_tess = nullptr;
    // Every point the tessellator holds a pointer to, until the polygon
    // ends; a deque never moves what it holds.
    std::deque<CVector3> m_store;
    bool m_polygonOpen = false;
    bool m_contourOpen = false;

    unsigned m_primitive = 0;
    uint32_t m_primitiveCount = 0;
    CPoint2 m_previous1;
    CPoint2 m_previous2;
};

// The process-wide boundary tessellator: the outline of the union of
// everything drawn between BeginPolygon and EndPolygon goes into an outline.
//
//     CTessellatingContextEx& tess = CTessellatingContextEx::Instance();
//     tess.BeginPolygon(outline);
//     tess.TessellateDrawable(shape);    // any number of times
//     tess.EndPolygon();
//     context.BeginPath(false, true, 1); outline.DrawTo(context); context.EndPath();
class CTessellatingContextEx : public CTessellatingContext
{
public:
    static CTessellatingContextEx& Instance();

    // The loops are appended to the outline during EndPolygon; it must live
    // until then.
    void BeginPolygon(CPolygonOutline& outline);
    // The drawable's filled paths, in its own coordinates, become contours.
    void TessellateDrawable(CDrawable& drawable);
    void EndPolygon();

protected:
    void StartPolygonAt(const CPoint2& point) override;
    void ContinuePolygonTo(const CPoint2& point) override;

private:
    CTessellatingContextEx() : CTessellatingContext(true) {}

    CPolygonOutline* m_outline = nullptr;
};
