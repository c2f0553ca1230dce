#include "graphics/TessellatingContext.h"

// <GL/glu.h> needs the Windows types and calling conventions first.
#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "graphics/Drawable.h"

namespace {

// GLU takes every callback as a plain function pointer.
template <class F>
void SetCallback(GLUtesselator* tess, GLenum which, F function)
{
    gluTessCallback(tess, which, reinterpret_cast<void(CALLBACK*)()>(reinterpret_cast<void*>(function)));
}

}  // namespace

// The tessellator's callbacks; the context travels as the polygon data.
struct CTessellatingContext::CCallbacks
{
    static void CALLBACK Begin(GLenum type, void* context)
    {
        static_cast<CTessellatingContext*>(context)->OnBegin(type);
    }
    static void CALLBACK Vertex(void* vertex, void* context)
    {
        static_cast<CTessellatingContext*>(context)->OnVertex(static_cast<const CVector3*>(vertex));
    }
    static void CALLBACK End(void*) {}
    static void CALLBACK Combine(GLdouble coords[3], void* data[4], GLfloat weights[4], void** out,
                                 void* context)
    {
        static_cast<CTessellatingContext*>(context)->OnCombine(coords, data, weights, out);
    }
    static void CALLBACK Error(GLenum error, void* context)
    {
        if (context)
            static_cast<CTessellatingContext*>(context)->OnError(error);
        else
            ReportFailure(kFailSystemCall);
    }
};

CTessellatingContext::CTessellatingContext(bool boundaryOnly)
{
    TRACE_POINT();
    m_tess = gluNewTess();
    if (!m_tess) {
        ReportFailure(kFailSystemCall);
        return;
    }
    gluTessNormal(m_tess, 0.0, 0.0, 1.0);
    gluTessProperty(m_tess, GLU_TESS_TOLERANCE, double(1e-4f));
    gluTessProperty(m_tess, GLU_TESS_WINDING_RULE,
                    boundaryOnly ? GLU_TESS_WINDING_NONZERO : GLU_TESS_WINDING_ODD);
    gluTessProperty(m_tess, GLU_TESS_BOUNDARY_ONLY, boundaryOnly ? GL_TRUE : GL_FALSE);
    SetCallback(m_tess, GLU_TESS_BEGIN_DATA, &CCallbacks::Begin);
    SetCallback(m_tess, GLU_TESS_VERTEX_DATA, &CCallbacks::Vertex);
    SetCallback(m_tess, GLU_TESS_END_DATA, &CCallbacks::End);
    SetCallback(m_tess, GLU_TESS_COMBINE_DATA, &CCallbacks::Combine);
    SetCallback(m_tess, GLU_TESS_ERROR_DATA, &CCallbacks::Error);
}

CTessellatingContext::~CTessellatingContext()
{
    m_store.clear();
    if (!m_tess)
        return;
    // Deleting in the middle of a polygon calls the error callback, which
    // must not reach a context that is being destroyed.
    gluTessCallback(m_tess, GLU_TESS_ERROR_DATA, nullptr);
    gluDeleteTess(m_tess);
}

// ---- Slots that do not apply -------------------------------------------------------

void CTessellatingContext::DrawText(const std::wstring& text, float x, float y)
{
    TRACE_VALUE(std::wstring, text);
    ReportFailure();
}

void CTessellatingContext::DrawDrawable(CDrawable& drawable, int mode, int flag)
{
    TRACE_VALUE(int32_t, mode);
    ReportFailure();
}

// ---- Polygon ----------------------------------------------------------------------

void CTessellatingContext::BeginTessPolygon()
{
    TRACE_POINT();
    if (m_polygonOpen || !m_tess) {
        ReportFailure();
        return;
    }
    m_polygonOpen = true;
    gluTessBeginPolygon(m_tess, this);
}

void CTessellatingContext::EndTessPolygon()
{
    TRACE_POINT();
    if (!m_polygonOpen) {
        ReportFailure();
        return;
    }
    if (m_contourOpen) {
        gluTessEndContour(m_tess);
        m_contourOpen = false;
    }
    gluTessEndPolygon(m_tess);
    m_polygonOpen = false;
    m_store.clear();
}

void CTessellatingContext::AddTessVertex(float x, float y)
{
    if (!std::isfinite(x) || !std::isfinite(y)) {
        // The tessellator has no answer for such a point; the contour goes
        // on without it.
        TRACE_VALUE(CPoint2, CPoint2(x, y));
        ReportFailure();
        return;
    }
    m_store.emplace_back(x, -y, 0.0f);
    CVector3& stored = m_store.back();
    GLdouble coords[3] = {stored.x, stored.y, 0.0};
    gluTessVertex(m_tess, coords, &stored);
}

// ---- Paths ------------------------------------------------------------------------

void CTessellatingContext::EmitBeginPath(bool stroke, bool fill)
{
    if (!fill) {
        // Only filled areas have an inside to tessellate.
        ReportFailure();
        return;
    }
    if (!m_polygonOpen)
        ReportFailure();
}

void CTessellatingContext::EmitMoveTo(float x, float y)
{
    if (!IsPathFilled() || !m_polygonOpen)
        return;
    if (m_contourOpen)
        gluTessEndContour(m_tess);
    gluTessBeginContour(m_tess);
    m_contourOpen = true;
    EmitLineTo(x, y);
}

void CTessellatingContext::EmitLineTo(float x, float y)
{
    if (!m_contourOpen)
        return;
    const CPoint2 p = m_state.matrix.TransformPoint2D(x, y);
    AddTessVertex(p.x, p.y);
}

void CTessellatingContext::EmitCloseFigure()
{
    if (!m_contourOpen)
        return;
    gluTessEndContour(m_tess);
    m_contourOpen = false;
}

void CTessellatingContext::EndVertices()
{
    TRACE_POINT();
    const std::vector<CGraphicsVertex>& vertices = GetVertices();
    const std::vector<uint32_t>& triangles = GetTriangles();
    if (!triangles.empty() && !m_polygonOpen)
        ReportFailure();
    else if (!m_contourOpen) {
        for (size_t i = 0; i + 2 < triangles.size(); i += 3) {
            // On the plan (y down), the three corners.
            const CGraphicsVertex& a = vertices[triangles[i]];
            const CGraphicsVertex& b = vertices[triangles[i + 1]];
            const CGraphicsVertex& c = vertices[triangles[i + 2]];
            const float x0 = a.x, y0 = -a.y, x1 = b.x, y1 = -b.y, x2 = c.x, y2 = -c.y;
            if (!((x2 - x1) * (y1 - y0) - (y2 - y1) * (x1 - x0) > 0.0f))
                continue;
            gluTessBeginContour(m_tess);
            AddTessVertex(x0, y0);
            AddTessVertex(x1, y1);
            AddTessVertex(x2, y2);
            gluTessEndContour(m_tess);
        }
    }
    ClearVertices();
}

// ---- Tessellator output -----------------------------------------------------------

void CTessellatingContext::OnBegin(unsigned type)
{
    m_primitive = type;
    m_primitiveCount = 0;
}

void CTessellatingContext::OnVertex(const CVector3* vertex)
{
    const CPoint2 v(vertex->x, -vertex->y);
    switch (m_primitive) {
    case GL_LINE_LOOP:
    case GL_TRIANGLE_FAN:
        if (m_primitiveCount == 0)
            StartPolygonAt(v);
        else
            ContinuePolygonTo(v);
        break;
    case GL_TRIANGLES:
        if (m_primitiveCount % 3 == 2) {
            StartPolygonAt(m_previous2);
            ContinuePolygonTo(m_previous1);
            ContinuePolygonTo(v);
        }
        break;
    case GL_TRIANGLE_STRIP:
        if (m_primitiveCount >= 2) {
            // Every other triangle of a strip runs the other way round.
            if (m_primitiveCount % 2 == 0) {
                StartPolygonAt(m_previous2);
                ContinuePolygonTo(m_previous1);
            } else {
                StartPolygonAt(m_previous1);
                ContinuePolygonTo(m_previous2);
            }
            ContinuePolygonTo(v);
        }
        break;
    default:
        TRACE_VALUE(int32_t, int32_t(m_primitive));
        ReportFailure();
        break;
    }
    m_previous2 = m_previous1;
    m_previous1 = v;
    ++m_primitiveCount;
}

void CTessellatingContext::OnCombine(const double coords[3], void* const data[4], const float weights[4],
                                     void** out)
{
    CVector3 sum;
    for (int i = 0; i < 4; ++i) {
        if (!(weights[i] > 0.0f) || !data[i])
            continue;
        const CVector3& p = *static_cast<const CVector3*>(data[i]);
        sum.x += weights[i] * p.x;
        sum.y += weights[i] * p.y;
        sum.z += weights[i] * p.z;
    }
    m_store.push_back(sum);
    *out = &m_store.back();
}

void CTessellatingContext::OnError(unsigned error)
{
    if (error == 0)
        return;
    TRACE_VALUE(int32_t, int32_t(error));
    ReportFailure(kFailSystemCall);
}

// ---- The boundary instance --------------------------------------------------------

CTessellatingContextEx& CTessellatingContextEx::Instance()
{
    static CTessellatingContextEx instance;
    return instance;
}

void CTessellatingContextEx::BeginPolygon(CPolygonOutline& outline)
{
    if (IsPolygonOpen()) {
        ReportFailure();
        return;
    }
    m_outline = &outline;
    BeginTessPolygon();
}

void CTessellatingContextEx::TessellateDrawable(CDrawable& drawable)
{
    TRACE_POINT();
    const CTransform matrix = m_state.matrix;
    PushState();
    m_state.Reset(CVector3());
    drawable.Draw(*this);
    PopState();
    m_state.matrix = matrix;
}

void CTessellatingContextEx::EndPolygon()
{
    EndTessPolygon();
    m_outline = nullptr;
}

void CTessellatingContextEx::StartPolygonAt(const CPoint2& point)
{
    if (!m_outline)
        return;
    m_outline->points.push_back(point);
    m_outline->starts.push_back(true);
}

void CTessellatingContextEx::ContinuePolygonTo(const CPoint2& point)
{
    if (!m_outline)
        return;
    m_outline->points.push_back(point);
    m_outline->starts.push_back(false);
}
