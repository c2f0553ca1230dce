#include "graphics/RenderTarget.h"

#include "foundation/TracePoint.h"
#include "ui/Scene.h"

CRenderTarget::~CRenderTarget() = default;

void CRenderTarget::SetViewport(float width, float height, float projectionWidth,
                                float projectionHeight, float offsetX, float offsetY)
{
    TRACE_POINT();
    if (m_scene) {
        m_camera.SetOrthographic(m_scene->mapMode);
        m_camera.UpdateMatrices();
        m_camera.SetDepthRange(m_scene->nearDepth, m_scene->farDepth);
    }
    m_camera.SetViewport(width, height, projectionWidth, projectionHeight, offsetX, offsetY);
}
