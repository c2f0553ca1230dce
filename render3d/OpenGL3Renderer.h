#pragma once

#include <windows.h>

#include <GL/gl.h>

#include <deque>
#include <memory>
#include <vector>

#include "render3d/OpenGL3ShaderProgram.h"
#include "render3d/Renderer.h"

class CPixelBitmap;
class CScene;

// The OpenGL 3 back end: vertex and index buffers filled through mapping,
// a vertex array per mesh and the generated programs with a colour per
// vertex, on a context of render3d/OpenGL3Context.h. A renderer per view
// window presents its frames; one shared renderer on the probe's context
// draws off screen into a multisampled framebuffer. A run's program, its
// placement uniform, texture and blending are set only when they change;
// the library is flushed every few thousand triangles.
//
// Every call into the library is skipped once the "OpenGL3" system has
// failed in this run (drawing asks once a frame); the library's error is
// looked at after each call that makes something and once at the end of a
// frame (out of memory severity 2, any other 3).
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
    // The program with a colour per vertex, textured or not, built on
    // first need; null when it could not be made.
    COpenGL3ShaderProgram* GetProgram(bool textured);
    // Inside a frame: the transform places the runs that follow.
    void SetPlacement(const CTransform& transform);
    // Inside a frame: the program (built) in use with the placement, the
    // texture bound (0: untextured, the plain program) and blending on or
    // off.
    void PrepareRun(GLuint texture, bool blended);
    // Inside a frame, after a run's draw call: counts it, and flushes once
    // kTrianglesPerFlush triangles were drawn since the frame began or the
    // last flush, so that a rasteriser that starts at a flush works on them
    // while the later runs are set up.
    void EndRun(size_t triangles);
    const float* GetProjection() const { return m_camera.GetProjectionMatrix(); }

protected:
    bool BeginFrame() override;
    void EndFrame() override;
    void Begin3D() override;
    void End3D() override;
    CTexture* CreateTexture() override;
    CMesh* CreateMesh(const std::vector<CGraphicsVertex>& vertices) override;

private:
    // Blend function, depth function and multisampling, once per context.
    void InitState();
    // Where the samples of the framebuffer drawn into lie in a pixel; none
    // when the library cannot tell.
    std::vector<CPoint2> FindSamplePositions();
    GLuint TakeName(std::deque<GLuint>& pool, bool vertexArrays);

    HDC m_dc = nullptr;
    HGLRC m_context = nullptr;
    bool m_presents = true;
    // Plain, textured.
    std::unique_ptr<COpenGL3ShaderProgram> m_programs[2];
    COpenGL3ShaderProgram* m_currentProgram = nullptr;
    // The placement of the runs drawn now, counted up at each change and
    // each frame; the count each program's uniform was last set at.
    CTransform m_placement;
    bool m_placementSet = false;
    unsigned m_placementStamp = 1;
    unsigned m_programStamps[2] = {};
    // The texture bound (0 unknown) and blending, within a frame.
    GLuint m_boundTexture = 0;
    bool m_blending = false;
    // Drawn in this frame since it began or since the last flush.
    size_t m_unflushedTriangles = 0;
    std::deque<GLuint> m_vertexBuffers;
    std::deque<GLuint> m_indexBuffers;
    std::deque<GLuint> m_vertexArrays;
    bool m_stateInitialised = false;
};
