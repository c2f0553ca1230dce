#include "render3d/FallbackRenderTarget.h"

#include "foundation/CrashLog.h"
#include "foundation/Rect.h"
#include "graphics/GraphicsContext.h"
#include "render3d/GraphicsSystem.h"
#include "ui/Scene.h"

CFallbackRenderTarget::CFallbackRenderTarget(bool gdiOnly, CRenderTarget* inner)
    : m_inner(inner), m_gdiOnly(gdiOnly)
{
    if (!m_inner) {
        TRACE_POINT();
        ReportFailure();
    }
}

CFallbackRenderTarget::~CFallbackRenderTarget() = default;

void CFallbackRenderTarget::RenderScene()
{
    TRACE_POINT();
    if (!m_inner) {
        ReportFailure();
        return;
    }
    const float width = m_camera.GetWindowWidth();
    const float height = m_camera.GetWindowHeight();
    // A minimised window has no pixels: neither the off-screen systems nor
    // the canvas's bitmap can be made at that size.
    if (!(width >= 1.0f) || !(height >= 1.0f) || !m_scene)
        return;
    m_picture.Resize(width, height);
    if (m_picture.IsEmpty())
        return;
    RenderSceneToBitmap(*m_scene, m_picture, m_gdiOnly);
    MakeUniqueKey();

    // Alpha 0: the canvas does not clear the window before the picture.
    CScene frame(true, 1);
    frame.background = 0x00FFFFFF;
    frame.items[0] = this;
    m_inner->SetScene(&frame);
    m_inner->SetViewport(width, height);
    m_inner->RenderScene();
    m_inner->SetScene(nullptr);
}

CGraphicsBackEnd& CFallbackRenderTarget::GetGraphicsSystem() const
{
    if (m_inner)
        return m_inner->GetGraphicsSystem();
    return CGdiGraphicsSystem::Instance();
}

void CFallbackRenderTarget::AttachToWindow(HWND window)
{
    if (m_inner)
        m_inner->AttachToWindow(window);
}

void CFallbackRenderTarget::Draw(CGraphicsContext& context)
{
    if (m_picture.IsEmpty())
        return;
    context.DrawBitmap(m_picture, CRectF(0.0f, 0.0f, m_picture.GetWidth(), m_picture.GetHeight()));
}
