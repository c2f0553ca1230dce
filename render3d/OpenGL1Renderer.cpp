#include "render3d/OpenGL1Renderer.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/Rgba.h"
#include "graphics/PixelBitmap.h"
#include "render3d/GraphicsSystem.h"
#include "render3d/OpenGL1Functions.h"
#include "render3d/WinDummyWindow.h"
#include "ui/Scene.h"

namespace {

const GLsizei kListNamesAtOnce = 128;

COpenGL1Functions& GL() { return GetOpenGL1Functions(); }

// A failing call of the library: severity 3 on the system.
void Fail() { COpenGL1GraphicsSystem::Instance().ReportFailure(3); }

std::string GLText(GLenum name)
{
    const GLubyte* text = GL().glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "";
}

void TraceStrings()
{
    TRACE_VALUE(std::string, GLText(GL_VENDOR));
    TRACE_VALUE(std::string, GLText(GL_RENDERER));
    TRACE_VALUE(std::string, GLText(GL_VERSION));
}

// A texture of one image with its mip levels.
class COpenGL1Texture : public CRenderer::CTexture
{
public:
    COpenGL1Texture() = default;
    ~COpenGL1Texture() override
    {
        if (name && COpenGL1Renderer::IsUsable())
            GL().glDeleteTextures(1, &name);
    }

    GLuint name = 0;
};

// A display list of one segment's triangles, their runs and the state each
// needs recorded in it, made again whenever the triangles change; its name
// goes back to the renderer's pool.
class COpenGL1Mesh : public CRenderer::CMesh
{
public:
    COpenGL1Mesh(COpenGL1Renderer& renderer, GLuint name, const std::vector<CGraphicsVertex>& vertices)
        : m_renderer(renderer), m_name(name), m_vertices(vertices)
    {
        // Images are stored bottom row first; their v runs down from the top.
        for (CGraphicsVertex& v : m_vertices)
            v.v = -v.v;
    }
    ~COpenGL1Mesh() override { m_renderer.GiveBackListName(m_name); }

    void SetTriangles(const std::vector<uint16_t>& indices, const std::vector<CRenderer::CRun>& runs) override
    {
        COpenGL1Functions& gl = GL();
        // The arrays are client state, read while the list is compiled: the
        // list keeps the vertices, not the pointers.
        const GLsizei stride = sizeof(CGraphicsVertex);
        gl.glVertexPointer(3, GL_FLOAT, stride, &m_vertices[0].x);
        gl.glColorPointer(4, GL_UNSIGNED_BYTE, stride, &m_vertices[0].color);
        gl.glTexCoordPointer(2, GL_FLOAT, stride, &m_vertices[0].u);
        gl.glEnableClientState(GL_VERTEX_ARRAY);
        gl.glEnableClientState(GL_COLOR_ARRAY);
        gl.glNewList(m_name, GL_COMPILE);
        m_triangles = 0;
        for (const CRenderer::CRun& run : runs) {
            auto* texture = dynamic_cast<COpenGL1Texture*>(run.texture);
            if (run.texture && !texture) {
                TRACE_POINT();
                ReportFailure();
            }
            const bool blended = !run.opaque;
            if (texture) {
                gl.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
                gl.glEnable(GL_TEXTURE_2D);
                gl.glBindTexture(GL_TEXTURE_2D, texture->name);
            }
            if (blended)
                gl.glEnable(GL_BLEND);
            gl.glDrawElements(GL_TRIANGLES, GLsizei(run.indexCount), GL_UNSIGNED_SHORT, &indices[run.firstIndex]);
            if (blended)
                gl.glDisable(GL_BLEND);
            if (texture) {
                gl.glDisable(GL_TEXTURE_2D);
                gl.glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            }
            m_triangles += run.indexCount / 3;
        }
        gl.glEndList();
        gl.glDisableClientState(GL_COLOR_ARRAY);
        gl.glDisableClientState(GL_VERTEX_ARRAY);
        m_renderer.CheckError();
    }

    void Draw(const CTransform& transform) override
    {
        m_renderer.LoadPlacement(transform);
        GL().glCallList(m_name);
        m_renderer.CountDraw(m_triangles);
    }

private:
    COpenGL1Renderer& m_renderer;
    const GLuint m_name;
    std::vector<CGraphicsVertex> m_vertices;
    size_t m_triangles = 0;
};

}  // namespace

// ---- Pixel formats --------------------------------------------------------------------

bool SetOpenGL1PixelFormat(HDC dc, bool forWindow)
{
    TRACE_VALUE(bool, forWindow);
    if (!dc) {
        Fail();
        return false;
    }
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = forWindow ? PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER
                                : PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 32;
    request.cAlphaBits = 8;
    request.cDepthBits = 32;
    request.iLayerType = PFD_MAIN_PLANE;
    const int index = ChoosePixelFormat(dc, &request);
    PIXELFORMATDESCRIPTOR chosen = {};
    if (index == 0 || DescribePixelFormat(dc, index, sizeof chosen, &chosen) == 0) {
        TRACE_VALUE(int32_t, index);
        Fail();
        return false;
    }
    // Colour, depth and alpha bits in one value, 0x00CCDDAA.
    const int32_t bits = chosen.cColorBits << 16 | chosen.cDepthBits << 8 | chosen.cAlphaBits;
    if (forWindow) {
        TRACE_VALUE(int32_t, int32_t(chosen.dwFlags));
        TRACE_VALUE(int32_t, bits);
    } else {
        TRACE_VALUE(int32_t, int32_t(chosen.dwFlags));
        TRACE_VALUE(int32_t, bits);
    }
    if (!SetPixelFormat(dc, index, &chosen)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        Fail();
        return false;
    }
    return forWindow && (chosen.dwFlags & PFD_DOUBLEBUFFER) != 0;
}

// ---- The context --------------------------------------------------------------------

COpenGL1Renderer::COpenGL1Renderer() = default;

COpenGL1Renderer::~COpenGL1Renderer()
{
    TRACE_POINT();
    const bool current = m_stateInitialised && MakeCurrent();
    // With the context current the textures delete their names; the
    // meshes give theirs back to the pool either way.
    ClearCaches();
    if (current && IsUsable()) {
        for (GLuint name : m_listNames)
            GL().glDeleteLists(name, 1);
        GL().glFinish();
    }
    m_listNames.clear();
    ReleaseContext();
}

bool COpenGL1Renderer::IsUsable()
{
    COpenGL1GraphicsSystem& system = COpenGL1GraphicsSystem::Instance();
    if (system.GetCurrentError() != 0)
        return false;
    if (GL().complete)
        return true;
    TRACE_POINT();
    system.ReportFailure(3);
    return false;
}

CGraphicsBackEnd& COpenGL1Renderer::GetGraphicsSystem() const { return COpenGL1GraphicsSystem::Instance(); }

void COpenGL1Renderer::AttachToWindow(HWND window)
{
    TRACE_POINT();
    CreateContext(GetDC(window), true);
}

bool COpenGL1Renderer::CreateContext(HDC dc, bool presents)
{
    TRACE_VALUE(bool, presents);
    if (!dc || m_dc) {
        Fail();
        return false;
    }
    if (!IsUsable())
        return false;
    m_dc = dc;
    m_context = GL().wglCreateContext(dc);
    if (!m_context) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        Fail();
        return false;
    }
    m_presents = presents;
    if (!MakeCurrent())
        return false;
    static bool firstContext = true;
    if (firstContext) {
        firstContext = false;
        TraceStrings();
    }
    InitState();
    return IsUsable();
}

bool COpenGL1Renderer::MakeCurrent()
{
    if (!m_dc || !m_context) {
        TRACE_POINT();
        Fail();
        return false;
    }
    if (!IsUsable())
        return false;
    COpenGL1Functions& gl = GL();
    if (gl.wglGetCurrentDC() != m_dc || gl.wglGetCurrentContext() != m_context) {
        if (!gl.wglMakeCurrent(m_dc, m_context)) {
            TRACE_VALUE(int32_t, int32_t(GetLastError()));
            Fail();
            return false;
        }
    }
    // Errors left over from elsewhere: running out of memory may pass, as
    // the library recovers from it; any other means the context is unsound.
    for (int i = 0; i < 10; ++i) {
        const GLenum error = gl.glGetError();
        if (error == GL_NO_ERROR)
            break;
        TRACE_VALUE(int32_t, int32_t(error));
        if (error != GL_OUT_OF_MEMORY) {
            Fail();
            return false;
        }
    }
    return true;
}

void COpenGL1Renderer::ReleaseContext()
{
    if (!m_context)
        return;
    if (IsUsable()) {
        GL().wglMakeCurrent(nullptr, nullptr);
        if (!GL().wglDeleteContext(m_context)) {
            TRACE_VALUE(int32_t, int32_t(GetLastError()));
            Fail();
        }
    }
    m_context = nullptr;
}

void COpenGL1Renderer::InitState()
{
    TraceStrings();
    COpenGL1Functions& gl = GL();
    gl.glEnable(GL_COLOR_MATERIAL);
    gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gl.glDepthFunc(GL_LEQUAL);
    CheckError();
    m_stateInitialised = true;
}

bool COpenGL1Renderer::CheckError()
{
    const GLenum error = GL().glGetError();
    if (error == GL_NO_ERROR)
        return true;
    TRACE_VALUE(int32_t, int32_t(error));
    COpenGL1GraphicsSystem::Instance().ReportFailure(error == GL_OUT_OF_MEMORY ? 2 : 3);
    return false;
}

GLuint COpenGL1Renderer::TakeListName()
{
    if (m_listNames.empty()) {
        const GLuint base = GL().glGenLists(kListNamesAtOnce);
        if (base == 0) {
            TRACE_POINT();
            if (CheckError())
                Fail();
            return 0;
        }
        for (GLuint i = 0; i < GLuint(kListNamesAtOnce); ++i)
            m_listNames.push_back(base + i);
    }
    const GLuint name = m_listNames.back();
    m_listNames.pop_back();
    return name;
}

// ---- The frame ----------------------------------------------------------------------

bool COpenGL1Renderer::BeginFrame()
{
    if (!MakeCurrent())
        return false;
    COpenGL1Functions& gl = GL();
    const CRectF& rect = m_camera.GetWindowRect();
    const float height = m_camera.GetWindowHeight();
    gl.glViewport(GLint(rect.left), GLint(height - rect.bottom), GLsizei(rect.right - rect.left),
                  GLsizei(rect.bottom - rect.top));
    gl.glMatrixMode(GL_PROJECTION);
    gl.glLoadMatrixf(m_camera.GetProjectionMatrix());
    gl.glMatrixMode(GL_MODELVIEW);
    m_placementLoaded = false;
    const uint32_t background = GetRenderedScene()->background;
    gl.glClearColor(GetRed(background) / 255.0f, GetGreen(background) / 255.0f, GetBlue(background) / 255.0f,
                    GetAlpha(background) / 255.0f);
    gl.glClear(GL_COLOR_BUFFER_BIT);
    return CheckError();
}

void COpenGL1Renderer::EndFrame()
{
    if (!m_dc) {
        TRACE_POINT();
        Fail();
        return;
    }
    if (!IsUsable() || !CheckError() || !m_presents)
        return;
    if (!SwapBuffers(m_dc))
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
}

void COpenGL1Renderer::Begin3D()
{
    if (!IsUsable())
        return;
    COpenGL1Functions& gl = GL();
    gl.glEnable(GL_DEPTH_TEST);
    gl.glEnable(GL_CULL_FACE);
    gl.glClear(GL_DEPTH_BUFFER_BIT);
}

void COpenGL1Renderer::End3D()
{
    if (!IsUsable())
        return;
    GL().glDisable(GL_DEPTH_TEST);
    GL().glDisable(GL_CULL_FACE);
}

CRenderer::CTexture* COpenGL1Renderer::CreateTexture()
{
    TRACE_POINT();
    const CPixelBitmap* image = GetCurrentImage();
    if (!image || image->IsEmpty() || !IsUsable())
        return nullptr;
    COpenGL1Functions& gl = GL();
    auto* texture = new COpenGL1Texture();
    gl.glGenTextures(1, &texture->name);
    image->TestOpaqueAndWhite(&texture->opaque, nullptr);
    gl.glBindTexture(GL_TEXTURE_2D, texture->name);
    const int width = image->GetPixelWidth();
    const int height = image->GetPixelHeight();
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                    image->GetPixels().data());
    // Each level from the full image, not from the level before it.
    for (int level = 1; (std::max(width, height) >> level) > 0; ++level) {
        CPixelBitmap reduced;
        reduced.MakeMipLevel(*image, 1 << level);
        gl.glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, std::max(1, width >> level), std::max(1, height >> level), 0,
                        GL_RGBA, GL_UNSIGNED_BYTE, reduced.GetPixels().data());
    }
    CheckError();
    return texture;
}

void COpenGL1Renderer::LoadPlacement(const CTransform& transform)
{
    if (m_placementLoaded && transform == m_placement)
        return;
    GL().glLoadMatrixf(transform.GetMatrix());
    m_placement = transform;
    m_placementLoaded = true;
}

CRenderer::CMesh* COpenGL1Renderer::CreateMesh(const std::vector<CGraphicsVertex>& vertices)
{
    if (!IsUsable())
        return nullptr;
    const GLuint name = TakeListName();
    return name != 0 ? new COpenGL1Mesh(*this, name, vertices) : nullptr;
}

// ---- Off screen ----------------------------------------------------------------------

void COpenGL1Renderer::RenderOffscreen(CScene& scene, CPixelBitmap& bitmap, float fullWidth, float fullHeight,
                                       float tileX, float tileY)
{
    TRACE_POINT();
    const int width = bitmap.GetPixelWidth();
    const int height = bitmap.GetPixelHeight();
    // GDI refuses a DIB section without pixels; that is no failure of
    // OpenGL's.
    if (width < 1 || height < 1 || !IsUsable())
        return;
    static CWinDummyWindow window;
    HDC memory = CreateCompatibleDC(GetDC(window.GetHandle()));
    if (!memory) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
        return;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
        DeleteDC(memory);
        return;
    }
    const HGDIOBJ previous = SelectObject(memory, dib);
    {
        COpenGL1Renderer renderer;
        SetOpenGL1PixelFormat(memory, false);
        if (IsUsable() && renderer.CreateContext(memory, false)) {
            renderer.SetScene(&scene);
            renderer.SetViewport(float(width), float(height), fullWidth, fullHeight, tileX, tileY);
            renderer.RenderScene();
            renderer.SetScene(nullptr);
            if (IsUsable()) {
                GL().glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bitmap.GetPixels().data());
                if (renderer.CheckError()) {
                    if (GetAlpha(scene.background) != 0xFF) {
                        TRACE_VALUE(CRgba, scene.background);
                        ReportFailure();
                    }
                    for (uint32_t& pixel : bitmap.GetPixels())
                        pixel |= 0xFF000000;
                }
            }
        }
    }
    SelectObject(memory, previous);
    if (!DeleteDC(memory) || !DeleteObject(dib)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
}
