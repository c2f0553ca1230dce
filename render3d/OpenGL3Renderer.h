#pragma once

#include <windows.h>

#include <GL/gl.h>

#include <deque>
#include <memory>

#include "render3d/OpenGL3ShaderProgram.h"
#include "render3d/Renderer.h"

class CPixelBitmap;
class CScene;

// The OpenGL 3 back end: vertex and index buffers filled through mapping,
// a vertex array per mesh and the four generated programs, on a context of
// render3d/OpenGL3Context.h. A renderer per view window presents its
// frames; one shared renderer on the probe's context draws off screen into
// a multisampled framebuffer.
//
// Every call into the library is skipped once the "OpenGL3" system has
// failed in this run; each call that runs is followed by a look at the
// library's error (out of memory severity 2, any other 3).
class COpenGL3Renderer : public CRenderer
{
public:
    COpenGL3Renderer();
    // With its context current: drops the caches, deletes the pooled
    // buffers and the programs; then deletes the context.
    ~COpenGL3Renderer() override;

    // ---- Render-target slots ----------------------------------------------------
    CGraphicsBackEnd& GetGraphicsSystem() const override;
    // A context of its own on the window's device context, whose pixel
    // format COpenGL3GraphicsSystem::PrepareWindow set.
    void AttachToWindow(HWND window) override;

    // ---- The context --------------------------------------------------------------
    // Adopts the context, makes it current and sets the state every frame
    // relies on.
    void SetContext(HDC dc, HGLRC context, bool presents);
    // Makes the context current and drops the errors left pending; false
    // after a report.
    bool MakeCurrent();
    void ReleaseContext();
    // One look at the library's error; false after a report.
    bool CheckError();
    bool HasContext() const { return m_context != nullptr; }

    // The shared off-screen renderer, made on first use and never destroyed;
    // the probe gives it its context.
    static COpenGL3Renderer& GetOffscreenRenderer();
    // One tile of the scene into the bitmap (bottom row first), through a
    // multisampled framebuffer of the bitmap's size. A bitmap without pixels
    // is left alone.
    void RenderToBitmap(CScene& scene, CPixelBitmap& bitmap, float fullWidth, float fullHeight, float tileX,
                        float tileY);

    // False once the "OpenGL3" system has failed, or while its functions
    // are not all there: no further library call.
    static bool IsUsable();

    // ---- For the meshes -----------------------------------------------------------
    // Names made 128 at a time and used again; 0 when none can be made.
    GLuint TakeVertexBufferName() { return TakeName(m_vertexBuffers, false); }
    GLuint TakeIndexBufferName() { return TakeName(m_indexBuffers, false); }
    GLuint TakeVertexArrayName() { return TakeName(m_vertexArrays, true); }
    void GiveBackNames(GLuint vertexBuffer, GLuint indexBuffer, GLuint vertexArray);
    // The program of a slot ((colour per vertex ? 2 : 0) + (textured ? 1 :
    // 0)), built on first need; null when it could not be made.
    COpenGL3ShaderProgram* GetProgram(bool perVertexColour, bool textured);
    // Puts the program in use unless it is already.
    void UseProgram(COpenGL3ShaderProgram& program);
    const float* GetProjection() const { return m_camera.GetProjectionMatrix(); }

protected:
    bool BeginFrame() override;
    void EndFrame() override;
    void Begin3D() override;
    void End3D() override;
    CTexture* CreateTexture() override;
    CMesh* CreateMesh(bool perVertexColour, bool opaque, CTexture* texture) override;

private:
    // Blend function, depth function and multisampling, once per context.
    void InitState();
    GLuint TakeName(std::deque<GLuint>& pool, bool vertexArrays);

    HDC m_dc = nullptr;
    HGLRC m_context = nullptr;
    bool m_presents = true;
    std::unique_ptr<COpenGL3ShaderProgram> m_programs[4];
    COpenGL3ShaderProgram* m_currentProgram = nullptr;
    std::deque<GLuint> m_vertexBuffers;
    std::deque<GLuint> m_indexBuffers;
    std::deque<GLuint> m_vertexArrays;
    bool m_stateInitialised = false;
};
