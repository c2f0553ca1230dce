#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/Rgba.h"
#include "foundation/Settings.h"
#include "graphics/PixelBitmap.h"
#include "render3d/FallbackRenderTarget.h"
#include "render3d/OpenGL3Context.h"
#include "render3d/OpenGL3Functions.h"
#include "render3d/OpenGL3Renderer.h"
#include "render3d/WinDummyWindow.h"
#include "tests/render3d/GraphicsTestSystems.h"
#include "tests/render3d/RendererTestSupport.h"
#include "tests/support/CrashLogTesting.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestWindows.h"
#include "ui/Panel.h"

// The OpenGL 3 back end on Mesa under Wine: the probe, the generated
// programs, off-screen pictures against GDI's and OpenGL 1's, and failures,
// which keep the system failed for the run and so run in a child.

namespace {

const uint32_t kBackground = CShapesScene::kBackground;
const uint32_t kRed = CShapesScene::kRed;
const uint32_t kBlue = CShapesScene::kBlue;

// Records the calls of interest on their way to the library; after the next viewport glGetError returns the
// armed error once (errors pending before a frame are not the frame's).
class CGL3Recorder
{
public:
    CGL3Recorder() : m_saved(GetOpenGL3Functions())
    {
        s_saved = &m_saved;
        calls.clear();
        injectedError = armedError = GL_NO_ERROR;
        COpenGL3Functions& gl = GetOpenGL3Functions();
        // clang-format off
        gl.glShaderSource = [](GLuint shader, GLsizei count, const GLchar* const* texts, const GLint* lengths)
            WINAPI { calls.push_back(texts[0]); s_saved->glShaderSource(shader, count, texts, lengths); };
        gl.glEnable = [](GLenum cap) WINAPI { if (cap == GL_BLEND) calls.push_back("blend"); s_saved->glEnable(cap); };
        gl.glUseProgram = [](GLuint program) WINAPI { calls.push_back("use"); s_saved->glUseProgram(program); };
        gl.glUniform4fv = [](GLint at, GLsizei n, const GLfloat* v) WINAPI { calls.push_back("color");
                                                                             s_saved->glUniform4fv(at, n, v); };
        gl.glViewport = [](GLint x, GLint y, GLsizei w, GLsizei h) WINAPI { calls.push_back("viewport");
            std::swap(injectedError, armedError); s_saved->glViewport(x, y, w, h); };
        gl.glGenFramebuffers = [](GLsizei n, GLuint* names) WINAPI { calls.push_back("framebuffers");
                                                                    s_saved->glGenFramebuffers(n, names); };
        gl.glGetError = []() WINAPI { calls.push_back("error"); const GLenum injected = injectedError;
                                      injectedError = GL_NO_ERROR;
                                      return injected != GL_NO_ERROR ? injected : s_saved->glGetError(); };
        gl.glDrawElements = [](GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) WINAPI {
            calls.push_back("draw " + std::to_string(count / 3));
            s_saved->glDrawElements(mode, count, type, indices); };
        gl.glFlush = []() WINAPI { calls.push_back("flush"); s_saved->glFlush(); };
        // clang-format on
    }
    ~CGL3Recorder() { GetOpenGL3Functions() = m_saved; }

    // Calls that begin with the text.
    static size_t Count(const std::string& call)
    {
        return std::count_if(calls.begin(), calls.end(),
                             [&](const std::string& made) { return made.compare(0, call.size(), call) == 0; });
    }
    // The draw calls (each as "draw" and its triangles) and flushes, in order.
    static std::vector<std::string> DrawsAndFlushes()
    {
        std::vector<std::string> kept;
        for (const std::string& call : calls)
            if (call == "flush" || call.compare(0, 5, "draw ") == 0)
                kept.push_back(call);
        return kept;
    }

    static inline std::vector<std::string> calls;
    static inline GLenum injectedError = GL_NO_ERROR;
    static inline GLenum armedError = GL_NO_ERROR;

private:
    COpenGL3Functions m_saved;
    static inline COpenGL3Functions* s_saved = nullptr;
};


struct OpenGL3 : testing::Test
{
    void SetUp() override
    {
        CGraphicsSystemTestAccess::ResetRun();
        ASSERT_TRUE(COpenGL3GraphicsSystem::Instance().IsUsable());
    }
    void TearDown() override
    {
        CGraphicsSystemTestAccess::ResetRun();
        ASSERT_EQ(0, COpenGL3GraphicsSystem::Instance().GetCurrentError());
    }
    CTestSettingsKey key;
};

}  // namespace

TEST(OpenGL3Text, ShaderTextsFollowTheContextVersionAndTheBatch)
{
    const std::pair<int, int> versions[] = {{3, 1}, {3, 2}, {3, 3}, {4, 6}};
    const char* texts[] = {"140", "150", "330", "460"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(texts[i], COpenGL3ShaderProgram::VersionText(versions[i].first, versions[i].second));
    EXPECT_EQ("#version 140\nprecision highp float;\nuniform mat4 matrix;\nin vec3 position;\n"
              "in vec4 color;\ncentroid out vec4 varyingColor;\n"
              "in vec2 textureCoord;\ncentroid out vec2 varyingTextureCoord;\n"
              "void main()\n{\n\tgl_Position = matrix * vec4(position, 1.f);\n"
              "\tvaryingColor = color;\n\tvaryingTextureCoord = textureCoord;\n}\n",
              COpenGL3ShaderProgram::VertexShaderText("140", true, true));
    EXPECT_EQ("#version 330\nprecision highp float;\nuniform vec4 color;\n"
              "uniform sampler2D textureUnit;\ncentroid in vec2 varyingTextureCoord;\nout vec4 fragColor;\n"
              "void main()\n{\n\tvec4 sampled = texture(textureUnit, varyingTextureCoord);\n"
              "\tif (varyingTextureCoord.x < -1e29)\n\t\tsampled = vec4(1.0);\n\tfragColor = color * sampled;\n}\n",
              COpenGL3ShaderProgram::FragmentShaderText("330", false, true));
    EXPECT_EQ("#version 150\nprecision highp float;\ncentroid in vec4 varyingColor;\nout vec4 fragColor;\n"
              "void main()\n{\n\tfragColor = varyingColor;\n}\n",
              COpenGL3ShaderProgram::FragmentShaderText("150", true, false));
}

TEST(OpenGL3Text, VersionTextsAreParsedOnlyInTheirOneShapeAndRemembered)
{
    struct CCase
    {
        const char* text;
        int major, minor, high, low;
    } cases[] = {
        {"2.1 Mesa 22.3.6", 2, 1, 0, 1}, {"4.5 (Core Profile) Mesa", 4, 5, 1, 0}, {"3.10", 3, 1, 0, 0},
        {"3.3", 3, 3, 1, 0},             {"0.9", 3, 1, 0, 0},                     {"", 3, 1, 0, 0},
        {"3x1", 3, 1, 0, 0},
    };
    for (const CCase& c : cases) {
        CTestSettingsKey key;
        int major = 0, minor = 0;
        ParseOpenGLVersion(c.text, major, minor);
        EXPECT_EQ(c.major * 10 + c.minor, major * 10 + minor) << c.text;
        EXPECT_EQ(c.high, CSettings::GetInt(L"OpenGL3HighVersionFound", 0)) << c.text;
        EXPECT_EQ(c.low, CSettings::GetInt(L"OpenGL3LowVersionFound", 0)) << c.text;
        EXPECT_EQ(c.high != 0 || c.low == 0, IsOpenGL3Usable()) << c.text;
    }
    // A low version seen once keeps OpenGL 3 out of the default, until a high one is seen too.
    CTestSettingsKey key;
    int major = 0, minor = 0;
    ParseOpenGLVersion("2.1", major, minor);
    EXPECT_FALSE(IsOpenGL3Usable());
    ParseOpenGLVersion("3.3", major, minor);
    EXPECT_TRUE(IsOpenGL3Usable());
}

TEST_F(OpenGL3, TheProbeFindsOpenGL3OnMesaAndRemembersTheVersion)
{
    // The probe ran in SetUp (once per run); its settings went to the key of that moment.
    int major = 0, minor = 0;
    GetRequestedOpenGL3Version(major, minor);
    EXPECT_GE(major * 10 + minor, 31);
    EXPECT_TRUE(GetOpenGL3Functions().entryPointsComplete);
    EXPECT_GE(GetOpenGL3SampleCount(), 1);
    EXPECT_TRUE(COpenGL3Renderer::GetOffscreenRenderer().HasContext());
    ReadOpenGLVersion(major, minor);
    EXPECT_EQ(1, CSettings::GetInt(L"OpenGL3HighVersionFound", 0));
}

TEST_F(OpenGL3, AnOffscreenPictureComesBackUprightAsGdiAndOpenGL1DrawItAndInTilesWithoutSeams)
{
    CShapesScene scene;
    const CPixelBitmap gl = RenderThrough(COpenGL3GraphicsSystem::Instance(), scene);
    EXPECT_EQ(kRed, gl.GetPixel(30, 20));
    EXPECT_EQ(kBlue, gl.GetPixel(120, 80));
    EXPECT_EQ(0xFF000000u, gl.GetPixel(80, 115));
    EXPECT_EQ(kBackground, gl.GetPixels()[0]);
    EXPECT_EQ(kBlue, gl.GetPixels()[(119 - 80) * 160 + 120]);
    EXPECT_GE(160 * 120 / 100, CountDifferences(gl, RenderThrough(CGdiGraphicsSystem::Instance(), scene)));
    EXPECT_GE(160 * 120 / 100, CountDifferences(gl, RenderThrough(COpenGL1GraphicsSystem::Instance(), scene)));

    CSettings::SetInt(L"GraphicsClass", 2);
    CGraphicsSystemTestAccess::SetScreenSize(50.0f, 40.0f);
    ASSERT_EQ(&COpenGL3GraphicsSystem::Instance(), &GetGraphicsSystem(false));
    CPixelBitmap tiled(160.0f, 120.0f);
    RenderSceneToBitmap(scene, tiled, false);
    EXPECT_GE(8, CountDifferences(gl, tiled));
    for (int y = 10; y < 40; ++y)
        EXPECT_EQ(kRed, tiled.GetPixel(49, y) & tiled.GetPixel(50, y)) << y;

    // No framebuffer, renderbuffer or any other call for a picture without pixels.
    CGL3Recorder recorder;
    CPixelBitmap empty(0.0f, 10.0f);
    EXPECT_EQ(0, CountReports([&] {
        COpenGL3GraphicsSystem::Instance().RenderOffscreenGuarded(scene, empty, 0.0f, 10.0f, 0.0f, 0.0f);
    }));
    EXPECT_TRUE(CGL3Recorder::calls.empty());
}

TEST_F(OpenGL3, BatchesTakeTheProgramTheyNeedAndMoreThan65536VerticesDrawAsGdiDrawsThem)
{
    // 1 x 1 squares in columns of red and blue: 76,800 vertices in one drawable.
    CFunctionDrawable squares([](CGraphicsContext& context) {
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x)
                FillRect(context, CRectF(float(x), float(y), x + 1.0f, y + 1.0f), x % 2 ? kRed : kBlue, 1);
    });
    CBatchKindsScene scene;
    {
        // A renderer of its own on a hidden window, so that it builds its programs afresh.
        CWinDummyWindow window;
        COpenGL3GraphicsSystem::Instance().PrepareWindow(window.GetHandle());
        COpenGL3Renderer renderer;
        renderer.AttachToWindow(window.GetHandle());
        renderer.SetScene(&scene);
        CGL3Recorder recorder;
        // No pixels, as in a minimised window: no call at all.
        renderer.SetViewport(0.0f, 120.0f);
        renderer.RenderScene();
        EXPECT_TRUE(CGL3Recorder::calls.empty());
        renderer.SetViewport(160.0f, 120.0f);
        renderer.RenderScene();
        const std::vector<std::string> firstFrame = CGL3Recorder::calls;
        // A frame of meshes kept: a draw call per item, and the library's error read as the frame starts and ends,
        // not after every draw.
        CGL3Recorder::calls.clear();
        renderer.RenderScene();
        EXPECT_EQ(3u, CGL3Recorder::Count("draw"));
        EXPECT_EQ(3u, CGL3Recorder::Count("error"));
        EXPECT_EQ(0u, CGL3Recorder::Count("flush"));
        CGL3Recorder::calls = firstFrame;
        renderer.SetScene(nullptr);
        // Colours come with the vertices: the plain program for the rect and the box, the textured one, blended, for
        // the image; no colour uniform.
        std::vector<std::string> shaders;
        for (const std::string& call : CGL3Recorder::calls)
            if (call.compare(0, 9, "#version ") == 0)
                shaders.push_back(call);
        ASSERT_EQ(4u, shaders.size());
        EXPECT_NE(std::string::npos, shaders[1].find("centroid in vec4 varyingColor;\nout vec4 fragColor;"));
        EXPECT_NE(std::string::npos, shaders[3].find("centroid in vec4 varyingColor;\nuniform sampler2D textureUnit;"));
        EXPECT_EQ(1u, CGL3Recorder::Count("blend"));
        EXPECT_EQ(2u, CGL3Recorder::Count("use"));
        EXPECT_EQ(0u, CGL3Recorder::Count("color"));
    }
    CScene many(true, 1);
    many.items = {&squares};
    many.all3D = true;
    CGL3Recorder recorder;
    const CPixelBitmap gl = RenderThrough(COpenGL3GraphicsSystem::Instance(), many);
    // 38,400 triangles in two meshes: the library is flushed after each draw call that brings the triangles since
    // the last flush to 2,000 or more, so that a rasteriser that starts at a flush works while the next are set up.
    const std::vector<std::string> expected = {"draw 32768", "flush", "draw 5632", "flush"};
    EXPECT_EQ(expected, CGL3Recorder::DrawsAndFlushes());
    EXPECT_EQ(kBlue, gl.GetPixel(0, 119));
    EXPECT_EQ(kRed, gl.GetPixel(159, 0));
    EXPECT_GE(160 * 120 / 100, CountDifferences(gl, RenderThrough(CGdiGraphicsSystem::Instance(), many)));
}

// An error of the library, then a fault inside a driver call of a real panel's frame, which OpenGL 3 renders off
// screen for GDI's target of the window: each fails the system for the run, stores its worst error once, and the
// panel's picture comes from the next system.
CHILD_TEST(OpenGL3Errors, AnErrorOrAFaultInTheDriverFailsTheSystemAndThePanelFallsBack)
{
    GetCrashLog().fileName = kTestCrashLogName;
    DeleteFileW(GetTestCrashLogPath().c_str());
    CTestSettingsKey key;
    CSettings::SetInt(L"GraphicsClass", 2);
    CGraphicsSystemTestAccess::ResetRun();
    COpenGL3GraphicsSystem& system = COpenGL3GraphicsSystem::Instance();
    CPanelTestHost host(60, 60, 200, 160);
    CShapesScene scene;
    CPanel panel(false, false);
    panel.SetScene(&scene);
    panel.Measure();
    panel.CreateNativeWindow(host);
    panel.SetBounds(CRectF(0.0f, 0.0f, 160.0f, 120.0f));
    CGL3Recorder recorder;
    if (!PumpUntil([&] {
            return CGL3Recorder::Count("viewport") > 0 && ReadClientPixel(panel.hwnd, 30, 20) == RGB(255, 0, 0);
        }) ||
        !dynamic_cast<CFallbackRenderTarget*>(panel.renderTarget) || system.GetCurrentError() != 0 ||
        CSettings::GetInt(L"OpenGL3HighVersionFound", 0) != 1)
        return 10;

    static const unsigned char readAddressZero[] = {0xA1, 0x00, 0x00, 0x00, 0x00, 0xC3};
    void* driver = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
    std::memcpy(driver, readAddressZero, sizeof readAddressZero);
    FlushInstructionCache(GetCurrentProcess(), driver, sizeof readAddressZero);
    GetOpenGL3Functions().glClear = reinterpret_cast<decltype(&glClear)>(driver);
    panel.Invalidate();
    PumpUntil([&] { return system.GetCurrentError() != 0; });
    if (system.GetCurrentError() != 3 || CSettings::GetInt(L"OpenGL3WorstError", -1) != 3 || ReportCount() != 1 ||
        !FileExists(GetTestCrashLogPath()))
        return 12;

    // The next paint goes off screen through the first class left in the table's order, Direct3D 11 for every
    // view, and shows through GDI; no further OpenGL 3 call.
    CGL3Recorder::calls.clear();
    panel.Invalidate();
    if (!PumpUntil([&] {
            return dynamic_cast<CFallbackRenderTarget*>(panel.renderTarget) &&
                   ReadClientPixel(panel.hwnd, 30, 20) == RGB(255, 0, 0) &&
                   ReadClientPixel(panel.hwnd, 120, 80) == RGB(0, 0, 255);
        }))
        return 13;
    if (&GetGraphicsSystem(false) != &CDirect3D11GraphicsSystem::Instance() || !CGL3Recorder::calls.empty() ||
        ReportCount() != 1)
        return 14;
    panel.SetScene(nullptr);
    host.Destroy();
    DeleteFileW(GetTestCrashLogPath().c_str());
    return 0;
}

CHILD_TEST(OpenGL3Errors, AnErrorReportedByTheLibraryStopsEveryFurtherCall)
{
    CTestSettingsKey key;
    COpenGL3GraphicsSystem& system = COpenGL3GraphicsSystem::Instance();
    if (!system.IsUsable())
        return 10;
    CShapesScene scene;
    CGL3Recorder recorder;
    CGL3Recorder::armedError = GL_INVALID_OPERATION;
    RenderThrough(system, scene);
    if (system.GetCurrentError() != 3 || CSettings::GetInt(L"OpenGL3WorstError", -1) != 3 || ReportCount() != 1)
        return 11;
    CGL3Recorder::calls.clear();
    RenderThrough(system, scene);
    return CGL3Recorder::calls.empty() ? 0 : 12;
}
