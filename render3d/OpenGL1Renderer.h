#pragma once

#include <windows.h>

#include <GL/gl.h>

#include <deque>

#include "render3d/Renderer.h"

class CPixelBitmap;
class CScene;

// The OpenGL 1 back end: a pixel format from ChoosePixelFormat, a context
// from wglCreateContext, the fixed-function matrices, and one display list
// per mesh, its runs drawn from vertex arrays with the texture and blending
// each needs. Colours arrive shaded from the core, so lighting stays off.
// Off-screen rendering draws into a DIB section.
//
// Every call into the library is skipped once the "OpenGL1" system has
// failed in this run (drawing asks once a frame); the library's errors are
// read when a frame ends and reported on that system (out of memory as
// severity 2, any other as 3), except that an error already pending when a
// frame starts is read and only out of memory is forgiven there.
class COpenGL1Renderer : public CRenderer
{
public:
    COpenGL1Renderer();
    // Drops the caches (their list names come back to the pool), deletes
    // the pooled lists and the context.
    ~COpenGL1Renderer() override;

    // ---- Render-target slots ----------------------------------------------------
    CGraphicsBackEnd& GetGraphicsSystem() const override;
    // A context on the window's device context, whose frames are presented.
    // The window's pixel format must be set (COpenGL1GraphicsSystem::
    // PrepareWindow).
    void AttachToWindow(HWND window) override;

    // A context on the device context; presents: frames are swapped onto
    // it. False after a report when none could be made.
    bool CreateContext(HDC dc, bool presents);
    // Makes the context current and reads the errors left pending.
    bool MakeCurrent();
    void ReleaseContext();
    // Colour material, blending of source alpha and the depth test's
    // function; lighting stays off.
    void InitState();
    // Reports the library's pending error; false when there was one.
    bool CheckError();

    // The system's off-screen slot: the scene into the bitmap, which holds
    // the tile at (tileX, tileY) of a fullWidth x fullHeight picture. The
    // pixels come back bottom row first and opaque. A bitmap without pixels
    // is left alone.
    static void RenderOffscreen(CScene& scene, CPixelBitmap& bitmap, float fullWidth, float fullHeight, float tileX,
                                float tileY);

    // List names, made 128 at a time and used again; 0 when none can be made.
    GLuint TakeListName();
    void GiveBackListName(GLuint name) { m_listNames.push_back(name); }

    // False once the "OpenGL1" system has failed: no further library call.
    static bool IsUsable();
    // Loads the transform as the model-view matrix unless it is loaded.
    void LoadPlacement(const CTransform& transform);

protected:
    bool BeginFrame() override;
    void EndFrame() override;
    void Begin3D() override;
    void End3D() override;
    CTexture* CreateTexture() override;
    CMesh* CreateMesh(const std::vector<CGraphicsVertex>& vertices) override;

private:
    HDC m_dc = nullptr;
    HGLRC m_context = nullptr;
    bool m_presents = false;
    std::deque<GLuint> m_listNames;
    bool m_stateInitialised = false;
    // The model-view matrix as loaded in this frame.
    CTransform m_placement;
    bool m_placementLoaded = false;
};

// Chooses and sets the pixel format of a window (double-buffered) or of a
// memory device context with a DIB section; true when a window format was
// asked for and the chosen one is double-buffered. Failures are reported on
// the "OpenGL1" system.
bool SetOpenGL1PixelFormat(HDC dc, bool forWindow);
