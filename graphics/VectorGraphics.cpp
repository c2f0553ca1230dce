#include "graphics/VectorGraphics.h"

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

void CVectorGraphics::EndVertices()
{
    TRACE_POINT();
    if (IsPathOpen()) {
        // The triangles would land inside the caller's path; they are
        // dropped rather than mixed into it.
        ReportFailure();
        ClearVertices();
        return;
    }
    const CTransform matrix = m_state.matrix;
    const uint32_t fillColor = m_state.fillColor;
    const uint32_t fillPattern = m_state.fillPattern;
    m_state.matrix.SetIdentity();
    m_state.fillPattern = 0;

    const std::vector<CGraphicsVertex>& vertices = GetVertices();
    const std::vector<uint32_t>& triangles = GetTriangles();
    for (size_t i = 0; i + 2 < triangles.size(); i += 3) {
        const CGraphicsVertex& a = vertices[triangles[i]];
        const CGraphicsVertex& b = vertices[triangles[i + 1]];
        const CGraphicsVertex& c = vertices[triangles[i + 2]];
        m_state.fillColor = a.color;
        BeginPath(false, true, 1);
        MoveTo(a.x, -a.y);
        LineTo(b.x, -b.y);
        LineTo(c.x, -c.y);
        EndPath();
    }

    m_state.matrix = matrix;
    m_state.fillColor = fillColor;
    m_state.fillPattern = fillPattern;
    ClearVertices();
}
