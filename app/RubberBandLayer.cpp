#include "app/RubberBandLayer.h"

#include <algorithm>
#include <cmath>

#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "render3d/GraphicsSystem.h"
#include "ui/Panel.h"

void CRubberBandLayer::Start(float x, float y, CPanel* view)
{
    TRACE_POINT();
    m_view = view;
    m_startGround = GetGroundPoint(x, y);
    m_start = CPoint2(x, y);
    m_corner = m_start;
    m_rect = CRectF();
    m_active = true;
}

void CRubberBandLayer::SetCorner(float x, float y)
{
    m_corner = CPoint2(x, y);
}

void CRubberBandLayer::Stop()
{
    m_active = false;
    m_rect = CRectF();
}

CVector3 CRubberBandLayer::GetGroundPoint(float x, float y) const
{
    if (!m_view)
        return CVector3();
    const CTransform& scene = m_view->GetSceneTransform();
    const CCamera& camera = m_view->camera;
    if (CGraphicsSystem::IsViewSystem3D())
        return scene.TransformPoint(camera.UnprojectPoint(x, y, 0.5f));
    const CVector3 p0 = scene.TransformPoint(camera.UnprojectPoint(x, y, 0.0f));
    const CVector3 p1 = scene.TransformPoint(camera.UnprojectPoint(x, y, 1.0f));
    const float dz = p0.z - p1.z;
    if (!(std::fabs(dz) > 0.0f)) {
        // A ray along the ground never meets it: keep the near point.
        TRACE_VALUE(float, dz);
        return CVector3(p0.x, p0.y, 0.0f);
    }
    const float t = p0.z / dz;
    return CVector3(p0.x + (p1.x - p0.x) * t, p0.y + (p1.y - p0.y) * t, 0.0f);
}

void CRubberBandLayer::Refresh()
{
    if (m_active && m_view) {
        const CTransform& scene = m_view->GetSceneTransform();
        CPoint2 start = m_start;
        m_view->camera.ProjectPoint(scene.InverseTransformPoint(m_startGround), &start);
        m_rect = CRectF(std::min(start.x, m_corner.x), std::min(start.y, m_corner.y), std::max(start.x, m_corner.x),
                        std::max(start.y, m_corner.y));
    } else {
        m_rect = CRectF();
    }
    CSceneLayer::Refresh();
}

void CRubberBandLayer::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    if (!m_view)
        return;
    if (CGraphicsSystem::IsViewSystem3D()) {
        const CVector3 corners[4] = {
            GetGroundPoint(m_rect.left, m_rect.top),
            GetGroundPoint(m_rect.right, m_rect.top),
            GetGroundPoint(m_rect.left, m_rect.bottom),
            GetGroundPoint(m_rect.right, m_rect.bottom),
        };
        context.SetColor(kFillColor);
        context.BeginVertices(2, false, 2);
        for (const CVector3& corner : corners)
            context.AddVertex(corner);
        context.EndVertices();
        return;
    }
    if (!m_active)
        return;
    const CVector3 end = GetGroundPoint(m_corner.x, m_corner.y);
    CRectF band(m_startGround.x, -m_startGround.y, end.x, -end.y);
    band.Normalize();
    context.SetDashStyle(0);
    context.m_state.penColor = kLineColor;
    context.m_state.penWidth = 0.1f;
    context.BeginPath(true, false, 1);
    context.AddRect(band);
    context.EndPath();
}
