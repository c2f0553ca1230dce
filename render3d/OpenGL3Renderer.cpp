#include "render3d/OpenGL3Renderer.h"

#include <cstddef>
#include <cstring>
#include <string>

#include "foundation/CrashLog.h"
#include "foundation/Rgba.h"
#include "graphics/PixelBitmap.h"
#include "render3d/GraphicsSystem.h"
#include "render3d/OpenGL3Context.h"
#include "render3d/OpenGL3Functions.h"
#include "ui/Scene.h"

namespace {

const GLsizei kNamesAtOnce = 128;
const int kMaxMapAttempts = 100;
// The triangles drawn between flushes. Mesa's software rasteriser starts on
// the triangles it was given only at a flush, and its threads then work on
// them while the drawing thread sets up the next ones; without a flush a
// frame's triangles are all set up before any is rasterised. A flush costs
// the rasteriser a pass over every tile: a frame of a judge's course, about
// 25,000 triangles, is drawn fastest with a few thousand per flush.
const size_t kTrianglesPerFlush = 2000;

COpenGL3Functions& GL() { return GetOpenGL3Functions(); }

void Fail() { COpenGL3GraphicsSystem::Instance().ReportFailure(3); }

// A texture of one image with the library's mip levels.
class COpenGL3Texture : public CRenderer::CTexture
{
public:
    ~COpenGL3Texture() override
    {
        if (name && COpenGL3Renderer::IsUsable())
            GL().glDeleteTextures(1, &name);
    }

    GLuint name = 0;
    bool white = false;
};

// Fills the bound buffer of the target through mapping, retried while the
// library loses the mapped memory (unmap answers false); false after the
// last attempt. write gets the mapped bytes.
template <typename Write>
bool FillBuffer(GLenum target, size_t bytes, Write write)
{
    COpenGL3Functions& gl = GL();
    gl.glBufferData(target, GLsizeiptr(bytes), nullptr, GL_STATIC_DRAW);
    for (int attempt = 0; attempt < kMaxMapAttempts && COpenGL3Renderer::IsUsable(); ++attempt) {
        bool unmapped = false;
        if (void* memory = gl.glMapBuffer(target, GL_WRITE_ONLY)) {
            write(static_cast<uint8_t*>(memory));
            unmapped = gl.glUnmapBuffer(target) != GL_FALSE;
        }
        for (int i = 0; i < 100; ++i) {
            const GLenum error = gl.glGetError();
            if (error == GL_NO_ERROR)
                break;
            TRACE_VALUE(int32_t, int32_t(error));
        }
        if (unmapped)
            return true;
    }
    TRACE_VALUE(int32_t, int32_t(target));
    Fail();
    return false;
}

// One segment: its buffers and vertex array, and the runs of the triangles
// last set.
class COpenGL3Mesh : public CRenderer::CMesh
{
public:
    struct CRun
    {
        // 0 for untextured triangles.
        GLuint texture = 0;
        bool blended = false;
        size_t firstIndex = 0;
        GLsizei indexCount = 0;
    };

    explicit COpenGL3Mesh(COpenGL3Renderer& renderer) : m_renderer(renderer) {}
    ~COpenGL3Mesh() override { m_renderer.GiveBackNames(vertexBuffer, indexBuffer, vertexArray); }

    void SetTriangles(const std::vector<uint16_t>& indices, const std::vector<CRenderer::CRun>& runs) override
    {
        m_runs.clear();
        // The textured program leaves untextured triangles' colours alone.
        for (const CRenderer::CRun& run : CRenderer::JoinRuns(runs)) {
            auto* texture = dynamic_cast<COpenGL3Texture*>(run.texture);
            if (run.texture && !texture) {
                TRACE_POINT();
                ReportFailure();
            }
            if (!m_renderer.GetProgram(texture != nullptr)) {
                m_runs.clear();
                return;
            }
            m_runs.push_back({texture ? texture->name : 0, !run.opaque, run.firstIndex, GLsizei(run.indexCount)});
        }
        // The index buffer is bound through the mesh's own vertex array.
        COpenGL3Functions& gl = GL();
        gl.glBindVertexArray(vertexArray);
        const size_t bytes = sizeof(uint16_t) * indices.size();
        if (!FillBuffer(GL_ELEMENT_ARRAY_BUFFER, bytes, [&](uint8_t* out) { std::memcpy(out, indices.data(), bytes); }))
            m_runs.clear();
        m_renderer.CheckError();
    }

    void Draw(const CTransform& transform) override
    {
        COpenGL3Functions& gl = GL();
        m_renderer.SetPlacement(transform);
        gl.glBindVertexArray(vertexArray);
        for (const CRun& run : m_runs) {
            m_renderer.PrepareRun(run.texture, run.blended);
            gl.glDrawElements(GL_TRIANGLES, run.indexCount, GL_UNSIGNED_SHORT,
                              reinterpret_cast<const void*>(run.firstIndex * sizeof(uint16_t)));
            m_renderer.EndRun(size_t(run.indexCount) / 3);
        }
    }

    GLuint vertexBuffer = 0;
    GLuint indexBuffer = 0;
    GLuint vertexArray = 0;

private:
    COpenGL3Renderer& m_renderer;
    std::vector<CRun> m_runs;
};

}  // namespace

// ---- Life -----------------------------------------------------------------------------

COpenGL3Renderer::COpenGL3Renderer() = default;

COpenGL3Renderer::~COpenGL3Renderer()
{
    TRACE_POINT();
    if (m_stateInitialised && MakeCurrent()) {
        ClearCaches();
        if (IsUsable()) {
            for (GLuint name : m_vertexBuffers)
                GL().glDeleteBuffers(1, &name);
            for (GLuint name : m_indexBuffers)
                GL().glDeleteBuffers(1, &name);
        }
        for (std::unique_ptr<COpenGL3ShaderProgram>& program : m_programs)
            program.reset();
        if (IsUsable())
            GL().glFinish();
    }
    // Without a usable context the meshes, textures and programs only forget
    // their names.
    ClearCaches();
    for (std::unique_ptr<COpenGL3ShaderProgram>& program : m_programs)
        program.reset();
    m_currentProgram = nullptr;
    ReleaseContext();
}

bool COpenGL3Renderer::IsUsable()
{
    COpenGL3GraphicsSystem& system = COpenGL3GraphicsSystem::Instance();
    if (system.GetCurrentError() != 0)
        return false;
    const COpenGL3Functions& gl = GL();
    if (gl.baseComplete && gl.entryPointsComplete)
        return true;
    TRACE_POINT();
    system.ReportFailure(3);
    return false;
}

CGraphicsBackEnd& COpenGL3Renderer::GetGraphicsSystem() const { return COpenGL3GraphicsSystem::Instance(); }

COpenGL3Renderer& COpenGL3Renderer::GetOffscreenRenderer()
{
    // Lives until the process ends: its context belongs to the probe's window.
    static COpenGL3Renderer* renderer = new COpenGL3Renderer();
    return *renderer;
}

bool COpenGL3Renderer::CheckError()
{
    if (!IsUsable())
        return false;
    const GLenum error = GL().glGetError();
    if (error == GL_NO_ERROR)
        return true;
    TRACE_VALUE(int32_t, int32_t(error));
    COpenGL3GraphicsSystem::Instance().ReportFailure(error == GL_OUT_OF_MEMORY ? 2 : 3);
    return false;
}

void COpenGL3Renderer::InitState()
{
    COpenGL3Functions& gl = GL();
    gl.glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    gl.glDepthFunc(GL_LEQUAL);
    gl.glEnable(GL_MULTISAMPLE);
    CheckError();
    m_stateInitialised = true;
}

GLuint COpenGL3Renderer::TakeName(std::deque<GLuint>& pool, bool vertexArrays)
{
    if (pool.empty()) {
        if (!IsUsable())
            return 0;
        GLuint names[kNamesAtOnce] = {};
        if (vertexArrays)
            GL().glGenVertexArrays(kNamesAtOnce, names);
        else
            GL().glGenBuffers(kNamesAtOnce, names);
        if (!CheckError())
            return 0;
        pool.insert(pool.end(), names, names + kNamesAtOnce);
    }
    const GLuint name = pool.back();
    pool.pop_back();
    return name;
}

void COpenGL3Renderer::GiveBackNames(GLuint vertexBuffer, GLuint indexBuffer, GLuint vertexArray)
{
    if (vertexBuffer)
        m_vertexBuffers.push_back(vertexBuffer);
    if (indexBuffer)
        m_indexBuffers.push_back(indexBuffer);
    if (vertexArray)
        m_vertexArrays.push_back(vertexArray);
}

COpenGL3ShaderProgram* COpenGL3Renderer::GetProgram(bool textured)
{
    std::unique_ptr<COpenGL3ShaderProgram>& slot = m_programs[textured ? 1 : 0];
    if (!slot && IsUsable())
        slot = std::make_unique<COpenGL3ShaderProgram>(true, textured);
    return IsUsable() ? slot.get() : nullptr;
}

void COpenGL3Renderer::SetPlacement(const CTransform& transform)
{
    if (m_placementSet && transform == m_placement)
        return;
    m_placement = transform;
    m_placementSet = true;
    ++m_placementStamp;
}

void COpenGL3Renderer::PrepareRun(GLuint texture, bool blended)
{
    COpenGL3Functions& gl = GL();
    const int program = texture ? 1 : 0;
    COpenGL3ShaderProgram& used = *m_programs[program];
    if (m_currentProgram != &used) {
        used.Use();
        m_currentProgram = &used;
    }
    if (m_programStamps[program] != m_placementStamp) {
        used.SetUniforms(GetProjection(), m_placement, 0);
        m_programStamps[program] = m_placementStamp;
    }
    if (texture && texture != m_boundTexture) {
        gl.glBindTexture(GL_TEXTURE_2D, texture);
        m_boundTexture = texture;
    }
    if (blended != m_blending) {
        if (blended)
            gl.glEnable(GL_BLEND);
        else
            gl.glDisable(GL_BLEND);
        m_blending = blended;
    }
}

void COpenGL3Renderer::EndRun(size_t triangles)
{
    CountDraw(triangles);
    m_unflushedTriangles += triangles;
    if (m_unflushedTriangles >= kTrianglesPerFlush) {
        GL().glFlush();
        m_unflushedTriangles = 0;
    }
}

// ---- The frame ----------------------------------------------------------------------

bool COpenGL3Renderer::BeginFrame()
{
    if (!MakeCurrent())
        return false;
    COpenGL3Functions& gl = GL();
    const CRectF& rect = m_camera.GetWindowRect();
    const float height = m_camera.GetWindowHeight();
    gl.glViewport(GLint(rect.left), GLint(height - rect.bottom), GLsizei(rect.right - rect.left),
                  GLsizei(rect.bottom - rect.top));
    const uint32_t background = GetRenderedScene()->background;
    gl.glClearColor(GetRed(background) / 255.0f, GetGreen(background) / 255.0f, GetBlue(background) / 255.0f,
                    GetAlpha(background) / 255.0f);
    gl.glClear(GL_COLOR_BUFFER_BIT);
    SetSamplePositions(FindSamplePositions());
    // The uniforms, texture and blending the frame's runs find set.
    gl.glDisable(GL_BLEND);
    m_blending = false;
    m_boundTexture = 0;
    m_placementSet = false;
    ++m_placementStamp;
    m_unflushedTriangles = 0;
    return CheckError();
}

std::vector<CPoint2> COpenGL3Renderer::FindSamplePositions()
{
    COpenGL3Functions& gl = GL();
    GLint samples = 0;
    gl.glGetIntegerv(GL_SAMPLES, &samples);
    if (samples <= 1)
        return GetStandardSamplePositions(1);
    // OpenGL 3.2 tells where the samples lie, from the bottom-left corner.
    static const auto getPosition = FetchOpenGLFunction<PFNGLGETMULTISAMPLEFVPROC>("glGetMultisamplefv");
    if (!getPosition)
        return {};
    std::vector<CPoint2> positions;
    for (GLint i = 0; i < samples; ++i) {
        GLfloat position[2] = {};
        getPosition(GL_SAMPLE_POSITION, GLuint(i), position);
        positions.emplace_back(position[0], 1.0f - position[1]);
    }
    return positions;
}

void COpenGL3Renderer::EndFrame()
{
    if (!m_dc) {
        TRACE_POINT();
        Fail();
        return;
    }
    // One look at the library's error for the frame's draw calls.
    if (CheckError() && m_presents)
        SwapBuffers(m_dc);
}

void COpenGL3Renderer::Begin3D()
{
    if (!IsUsable())
        return;
    COpenGL3Functions& gl = GL();
    gl.glEnable(GL_DEPTH_TEST);
    gl.glEnable(GL_CULL_FACE);
    gl.glClear(GL_DEPTH_BUFFER_BIT);
}

void COpenGL3Renderer::End3D()
{
    if (!IsUsable())
        return;
    GL().glDisable(GL_DEPTH_TEST);
    GL().glDisable(GL_CULL_FACE);
}

CRenderer::CTexture* COpenGL3Renderer::CreateTexture()
{
    TRACE_POINT();
    const CPixelBitmap* image = GetCurrentImage();
    if (!image || image->IsEmpty() || !IsUsable())
        return nullptr;
    COpenGL3Functions& gl = GL();
    auto* texture = new COpenGL3Texture();
    gl.glGenTextures(1, &texture->name);
    image->TestOpaqueAndWhite(&texture->opaque, &texture->white);
    gl.glBindTexture(GL_TEXTURE_2D, texture->name);
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image->GetPixelWidth(), image->GetPixelHeight(), 0, GL_RGBA,
                    GL_UNSIGNED_BYTE, image->GetPixels().data());
    gl.glGenerateMipmap(GL_TEXTURE_2D);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    m_boundTexture = texture->name;
    CheckError();
    return texture;
}

CRenderer::CMesh* COpenGL3Renderer::CreateMesh(const std::vector<CGraphicsVertex>& vertices)
{
    if (!IsUsable() || vertices.empty())
        return nullptr;
    auto mesh = std::make_unique<COpenGL3Mesh>(*this);
    mesh->vertexBuffer = TakeVertexBufferName();
    mesh->indexBuffer = TakeIndexBufferName();
    mesh->vertexArray = TakeVertexArrayName();
    // Position; the colour bytes as they lie in memory (red first); u and
    // -v, since images are stored bottom row first and v runs down.
    const size_t stride = sizeof(CGraphicsVertex);
    COpenGL3Functions& gl = GL();
    gl.glBindBuffer(GL_ARRAY_BUFFER, mesh->vertexBuffer);
    const bool filled = FillBuffer(GL_ARRAY_BUFFER, stride * vertices.size(), [&](uint8_t* out) {
        std::memcpy(out, vertices.data(), stride * vertices.size());
        for (size_t i = 0; i < vertices.size(); ++i)
            reinterpret_cast<CGraphicsVertex*>(out)[i].v = -vertices[i].v;
    });
    if (!filled || !IsUsable())
        return nullptr;
    gl.glBindVertexArray(mesh->vertexArray);
    gl.glEnableVertexAttribArray(0);
    gl.glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, GLsizei(stride), nullptr);
    gl.glEnableVertexAttribArray(1);
    gl.glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, GLsizei(stride),
                             reinterpret_cast<const void*>(offsetof(CGraphicsVertex, color)));
    gl.glEnableVertexAttribArray(2);
    gl.glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, GLsizei(stride),
                             reinterpret_cast<const void*>(offsetof(CGraphicsVertex, u)));
    gl.glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh->indexBuffer);
    gl.glBindVertexArray(0);
    CheckError();
    return mesh.release();
}

// ---- Off screen ----------------------------------------------------------------------

void COpenGL3Renderer::RenderToBitmap(CScene& scene, CPixelBitmap& bitmap, float fullWidth, float fullHeight,
                                      float tileX, float tileY)
{
    TRACE_POINT();
    const int width = bitmap.GetPixelWidth();
    const int height = bitmap.GetPixelHeight();
    // The library refuses renderbuffers without pixels; that is no failure.
    if (width < 1 || height < 1 || !IsUsable() || !m_context)
        return;
    SetScene(&scene);
    SetViewport(float(width), float(height), fullWidth, fullHeight, tileX, tileY);
    if (!MakeCurrent()) {
        SetScene(nullptr);
        return;
    }
    COpenGL3Functions& gl = GL();
    GLuint framebuffers[2] = {};
    GLuint renderbuffers[3] = {};
    gl.glGenFramebuffers(2, framebuffers);
    gl.glGenRenderbuffers(3, renderbuffers);

    GLint samples = GetOpenGL3SampleCount();
    if (samples < 1)
        gl.glGetIntegerv(GL_MAX_SAMPLES, &samples);
    gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffers[0]);
    gl.glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[0]);
    gl.glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, width, height);
    gl.glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffers[0]);
    gl.glDrawBuffer(GL_COLOR_ATTACHMENT0);
    gl.glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[1]);
    gl.glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT24, width, height);
    gl.glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, renderbuffers[1]);
    if (CheckError()) {
        const GLenum status = gl.glCheckFramebufferStatus(GL_FRAMEBUFFER);
        if (status != GL_FRAMEBUFFER_COMPLETE) {
            // Samples, then the status.
            TRACE_VALUE(int32_t, int32_t(samples));
            TRACE_VALUE(int32_t, int32_t(status));
            Fail();
        }
    }
    if (IsUsable()) {
        RenderScene();
        if (IsUsable())
            gl.glFinish();
    }
    if (IsUsable()) {
        gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffers[1]);
        gl.glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[2]);
        gl.glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        gl.glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, renderbuffers[2]);
        gl.glDrawBuffer(GL_COLOR_ATTACHMENT0);
        gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffers[0]);
        gl.glReadBuffer(GL_COLOR_ATTACHMENT0);
        gl.glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffers[1]);
        gl.glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bitmap.GetPixels().data());
        CheckError();
    }
    if (IsUsable()) {
        gl.glFramebufferRenderbuffer(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, 0);
        gl.glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, 0);
        gl.glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, 0);
        gl.glBindRenderbuffer(GL_RENDERBUFFER, 0);
        gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        gl.glDeleteRenderbuffers(3, renderbuffers);
        gl.glDeleteFramebuffers(2, framebuffers);
        CheckError();
    }
    SetScene(nullptr);
}
