#include "render3d/TessellatingGraphics3D.h"

#include "foundation/CrashLog.h"
#include "render3d/GraphicsContext3D.h"

CTessellatingGraphics3D& CTessellatingGraphics3D::Instance()
{
    static CTessellatingGraphics3D instance;
    return instance;
}

void CTessellatingGraphics3D::Tessellate(const std::vector<CPoint2>& outline, CGraphicsContext3D& target, float z)
{
    TRACE_POINT();
    if (m_target) {
        ReportFailure();
        return;
    }
    if (outline.size() < 3)
        return;
    m_target = &target;
    m_z = z;
    m_group.clear();
    m_state.Reset(CVector3());
    BeginTessPolygon();
    BeginPath(false, true, 0);
    MoveTo(outline[0]);
    for (size_t i = 1; i < outline.size(); ++i)
        LineTo(outline[i]);
    CloseFigure();
    EndPath();
    EndTessPolygon();
    EmitGroup();
    m_target = nullptr;
}

void CTessellatingGraphics3D::StartPolygonAt(const CPoint2& point)
{
    EmitGroup();
    m_group.push_back(point);
}

void CTessellatingGraphics3D::ContinuePolygonTo(const CPoint2& point) { m_group.push_back(point); }

void CTessellatingGraphics3D::EmitGroup()
{
    if (m_target && m_group.size() >= 3)
        m_target->EmitFlatPolygon(m_group, m_z, false);
    m_group.clear();
}
