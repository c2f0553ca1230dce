#include "render3d/OpenGL3Context.h"

#include <GL/gl.h>
#include <GL/wglext.h>

#include <cstring>
#include <memory>
#include <string>

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "render3d/GraphicsSystem.h"
#include "render3d/OpenGL1Renderer.h"
#include "render3d/OpenGL3Functions.h"
#include "render3d/OpenGL3Renderer.h"
#include "render3d/WinDummyWindow.h"

// The probe, the pixel format, context creation and the context handling
// of COpenGL3Renderer.

namespace {

const wchar_t kHighVersionFound[] = L"OpenGL3HighVersionFound";
const wchar_t kLowVersionFound[] = L"OpenGL3LowVersionFound";
// A driver that offered 3.1 under this name drew wrongly.
const char kRefusedRenderer[] = "Intel(R) HD Graphics Family";

// What the run keeps of OpenGL 3 (user-interface thread only).
struct COpenGL3Run
{
    int requestedMajor = 3;
    int requestedMinor = 1;
    int pixelFormat = -1;
    int sampleCount = 0;
    // The probe's window, kept until exit: its device context carries the
    // shared off-screen renderer's context.
    std::unique_ptr<CWinDummyWindow> probeWindow;
};

COpenGL3Run& Run()
{
    static COpenGL3Run run;
    return run;
}

COpenGL3Functions& GL() { return GetOpenGL3Functions(); }

void Fail() { COpenGL3GraphicsSystem::Instance().ReportFailure(3); }

bool HasFailed() { return COpenGL3GraphicsSystem::Instance().GetCurrentError() != 0; }

std::string GLText(GLenum name)
{
    const GLubyte* text = GL().glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "";
}

bool IsDigit(char c, char first) { return c >= first && c <= '9'; }

}  // namespace

// ---- Versions -------------------------------------------------------------------------

bool IsOpenGL3Usable()
{
    return CSettings::GetInt(kHighVersionFound, 0) != 0 || CSettings::GetInt(kLowVersionFound, 0) == 0;
}

void ParseOpenGLVersion(const char* text, int& major, int& minor)
{
    major = 3;
    minor = 1;
    const size_t length = text ? std::strlen(text) : 0;
    if (length <= 2 || !IsDigit(text[0], '1') || text[1] != '.' || !IsDigit(text[2], '0') ||
        (length > 3 && IsDigit(text[3], '0')))
        return;
    major = text[0] - '0';
    minor = text[2] - '0';
    if (major > 3 || (major == 3 && minor >= 1))
        CSettings::SetInt(kHighVersionFound, 1);
    else
        CSettings::SetInt(kLowVersionFound, 1);
}

void ReadOpenGLVersion(int& major, int& minor)
{
    const std::string version = GLText(GL_VERSION);
    TRACE_VALUE(std::string, version);
    ParseOpenGLVersion(version.c_str(), major, minor);
}

int GetOpenGL3SampleCount() { return Run().sampleCount; }

void GetRequestedOpenGL3Version(int& major, int& minor)
{
    major = Run().requestedMajor;
    minor = Run().requestedMinor;
}

// ---- Pixel format and context ---------------------------------------------------------

bool ChooseOpenGL3PixelFormat(HDC dc)
{
    TRACE_POINT();
    if (HasFailed())
        return false;
    COpenGL3Run& run = Run();
    if (run.pixelFormat < 0) {
        const auto choose = FetchOpenGLFunction<PFNWGLCHOOSEPIXELFORMATARBPROC>("wglChoosePixelFormatARB");
        if (!choose) {
            Fail();
            return false;
        }
        // The sample counts tried, most first; the last try asks for none.
        const int samples[] = {16, 12, 9, 8, 4, 2, 1};
        for (int count : samples) {
            const int attributes[] = {WGL_DRAW_TO_WINDOW_ARB, 1, WGL_SUPPORT_OPENGL_ARB, 1,
                                      WGL_DOUBLE_BUFFER_ARB,  1, WGL_COLOR_BITS_ARB,     24,
                                      WGL_ALPHA_BITS_ARB,     8, WGL_DEPTH_BITS_ARB,     24,
                                      count > 1 ? WGL_SAMPLE_BUFFERS_ARB : 0, 1, WGL_SAMPLES_ARB, count,
                                      0};
            int format = 0;
            UINT found = 0;
            if (choose(dc, attributes, nullptr, 1, &format, &found) && found > 0) {
                run.pixelFormat = format;
                run.sampleCount = count;
                break;
            }
        }
        if (run.pixelFormat < 0)
            return false;
    }
    PIXELFORMATDESCRIPTOR chosen = {};
    chosen.nSize = sizeof chosen;
    chosen.nVersion = 1;
    if (!DescribePixelFormat(dc, run.pixelFormat, sizeof chosen, &chosen)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        Fail();
        return false;
    }
    // Colour, alpha and depth bits and the samples in one value, 0xCCAADDSS.
    TRACE_VALUE(int32_t, int32_t(chosen.cColorBits << 24 | chosen.cAlphaBits << 16 | chosen.cDepthBits << 8 |
                                 run.sampleCount));
    if (!SetPixelFormat(dc, run.pixelFormat, &chosen)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        Fail();
        return false;
    }
    return true;
}

HGLRC CreateOpenGL3Context(HDC dc)
{
    TRACE_POINT();
    if (HasFailed())
        return nullptr;
    const auto create = FetchOpenGLFunction<PFNWGLCREATECONTEXTATTRIBSARBPROC>("wglCreateContextAttribsARB");
    if (!create) {
        Fail();
        return nullptr;
    }
    const COpenGL3Run& run = Run();
    const int attributes[] = {WGL_CONTEXT_MAJOR_VERSION_ARB, run.requestedMajor,
                              WGL_CONTEXT_MINOR_VERSION_ARB, run.requestedMinor,
                              WGL_CONTEXT_FLAGS_ARB,         WGL_CONTEXT_FORWARD_COMPATIBLE_BIT_ARB,
                              0};
    HGLRC context = create(dc, nullptr, attributes);
    if (!context)
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
    return context;
}

// ---- The probe ------------------------------------------------------------------------

namespace {

// Steps 3 to 9 with a plain context current on the first window's device
// context; false where the probe ends.
bool ProbeWithPlainContext(HDC plainDc)
{
    COpenGL3Run& run = Run();
    ReadOpenGLVersion(run.requestedMajor, run.requestedMinor);
    if (run.requestedMajor < 3 || (run.requestedMajor == 3 && run.requestedMinor < 1)) {
        run.requestedMajor = 3;
        run.requestedMinor = 1;
    }
    const auto extensions = FetchOpenGLFunction<PFNWGLGETEXTENSIONSSTRINGARBPROC>("wglGetExtensionsStringARB");
    if (!extensions)
        return false;
    const char* text = extensions(plainDc);
    const std::string list = text ? text : "";
    TRACE_VALUE(std::string, list);
    if (list.find("WGL_ARB_create_context") == std::string::npos ||
        list.find("WGL_ARB_pixel_format") == std::string::npos)
        return false;

    run.probeWindow = std::make_unique<CWinDummyWindow>();
    HDC dc = GetDC(run.probeWindow->GetHandle());
    if (!dc || !ChooseOpenGL3PixelFormat(dc))
        return false;
    HGLRC context = CreateOpenGL3Context(dc);
    if (!context)
        return false;
    if (!GL().wglMakeCurrent(dc, context)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        Fail();
        GL().wglDeleteContext(context);
        return false;
    }
    TRACE_VALUE(std::string, GLText(GL_VENDOR));
    const std::string renderer = GLText(GL_RENDERER);
    const std::string version = GLText(GL_VERSION);
    TRACE_VALUE(std::string, renderer);
    int major = 3;
    int minor = 1;
    ReadOpenGLVersion(major, minor);
    if (major < 3 || (major == 3 && minor < 1) || version.find("BETA") != std::string::npos ||
        (major == 3 && minor == 1 && renderer == kRefusedRenderer)) {
        GL().wglMakeCurrent(nullptr, nullptr);
        GL().wglDeleteContext(context);
        return false;
    }
    if (!LoadOpenGL3EntryPoints())
        Fail();
    COpenGL3Renderer::GetOffscreenRenderer().SetContext(dc, context, false);
    return !HasFailed();
}

}  // namespace

bool ProbeOpenGL3()
{
    TRACE_POINT();
    if (!GL().baseComplete || HasFailed())
        return false;
    COpenGL3Renderer::GetOffscreenRenderer();
    bool usable = false;
    {
        CWinDummyWindow plainWindow;
        HDC plainDc = GetDC(plainWindow.GetHandle());
        COpenGL1Renderer plain;
        if (plainDc) {
            SetOpenGL1PixelFormat(plainDc, true);
            plain.AttachToWindow(plainWindow.GetHandle());
            if (GL().wglGetCurrentContext())
                usable = ProbeWithPlainContext(plainDc);
        }
        // The plain renderer and its window go here; no context stays current.
    }
    TRACE_VALUE(bool, usable);
    return usable;
}

// ---- The renderer's context -----------------------------------------------------------

void COpenGL3Renderer::AttachToWindow(HWND window)
{
    TRACE_POINT();
    if (!IsUsable())
        return;
    // The extension's entry point exists only while some context is current.
    if (!GL().wglGetCurrentContext())
        GetOffscreenRenderer().MakeCurrent();
    HDC dc = GetDC(window);
    HGLRC context = dc ? CreateOpenGL3Context(dc) : nullptr;
    if (!context) {
        Fail();
        return;
    }
    SetContext(dc, context, true);
}

void COpenGL3Renderer::SetContext(HDC dc, HGLRC context, bool presents)
{
    m_dc = dc;
    m_context = context;
    m_presents = presents;
    if (MakeCurrent())
        InitState();
}

bool COpenGL3Renderer::MakeCurrent()
{
    if (!m_dc || !m_context) {
        TRACE_POINT();
        Fail();
        return false;
    }
    if (!IsUsable())
        return false;
    COpenGL3Functions& gl = GL();
    const HGLRC current = gl.wglGetCurrentContext();
    if (gl.wglGetCurrentDC() != m_dc || current != m_context) {
        bool bound = gl.wglMakeCurrent(m_dc, m_context) != FALSE;
        // The thread had no context: another library may have released the
        // binding behind the driver's back (Mesa under Wine, after a context
        // on a bitmap), and the driver then takes the same context as still
        // bound. Released and bound again, it is bound for certain.
        if (bound && !current)
            bound = gl.wglMakeCurrent(nullptr, nullptr) && gl.wglMakeCurrent(m_dc, m_context);
        if (!bound) {
            TRACE_VALUE(int32_t, int32_t(GetLastError()));
            Fail();
            return false;
        }
    }
    // Errors left pending by earlier work on the thread are not this frame's.
    for (int i = 0; i < 10; ++i) {
        const GLenum error = gl.glGetError();
        if (error == GL_NO_ERROR)
            break;
        TRACE_VALUE(int32_t, int32_t(error));
    }
    return true;
}

void COpenGL3Renderer::ReleaseContext()
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
