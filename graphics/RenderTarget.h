#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "graphics/SceneLink.h"
#include "render3d/Camera.h"

class CGraphicsBackEnd;

// The interface through which a window panel or an off-screen renderer gets
// a scene drawn: set the scene, set the viewport, render, name the graphics
// system, attach to a window.
class CRenderTarget : public CSceneLink
{
public:
    CRenderTarget() = default;

    // Draws the whole scene.
    virtual void RenderScene() = 0;
    ~CRenderTarget() override;
    // The graphics system that made this target.
    virtual CGraphicsBackEnd& GetGraphicsSystem() const = 0;
    // Draws into the window from now on.
    virtual void AttachToWindow(HWND window) = 0;

    // The scene's projection flag goes into the camera, which is recomputed;
    // then the scene's depth range and the viewport: the window is (0, 0)-
    // (width, height), the projection size the window's unless given, the
    // offsets those of this tile within the projection.
    void SetViewport(float width, float height, float projectionWidth = 0.0f,
                     float projectionHeight = 0.0f, float offsetX = 0.0f, float offsetY = 0.0f);

    const CCamera& GetCamera() const { return m_camera; }

protected:
    CCamera m_camera;
    // Pixel memory of back ends that read their picture back.
    std::vector<uint8_t> m_buffer;
};
