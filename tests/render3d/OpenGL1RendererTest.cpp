#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "foundation/CrashLog.h"
#include "foundation/Rgba.h"
#include "foundation/Settings.h"
#include "graphics/PixelBitmap.h"
#include "render3d/FallbackRenderTarget.h"
#include "render3d/OpenGL1Functions.h"
#include "tests/render3d/GraphicsTestSystems.h"
#include "tests/render3d/RendererTestSupport.h"
#include "tests/support/CrashLogTesting.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestWindows.h"
#include "ui/Panel.h"

// The OpenGL 1 back end on Mesa under Wine. A system that fails stays failed: such tests run in a child.

namespace {

const uint32_t kBackground = CShapesScene::kBackground;
const uint32_t kRed = CShapesScene::kRed;
const uint32_t kBlue = CShapesScene::kBlue;

// Records the calls of interest on their way to the library; glGetError returns an injected error first.
class CGLRecorder
{
public:
    CGLRecorder() : m_saved(GetOpenGL1Functions())
    {
        s_saved = &m_saved;
        calls.clear();
        injectedError = GL_NO_ERROR;
        COpenGL1Functions& gl = GetOpenGL1Functions();
        // clang-format off
        gl.glNewList = [](GLuint n, GLenum mode) WINAPI { calls.push_back("list"); s_saved->glNewList(n, mode); };
        gl.glEndList = []() WINAPI { calls.push_back("end"); s_saved->glEndList(); };
        gl.glDrawElements = [](GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) WINAPI {
            calls.push_back("draw " + std::to_string(count)); s_saved->glDrawElements(mode, count, type, indices); };
        gl.glEnable = [](GLenum cap) WINAPI { if (cap == GL_BLEND || cap == GL_TEXTURE_2D)
                                                  calls.push_back(cap == GL_BLEND ? "blend" : "texture");
                                              s_saved->glEnable(cap); };
        gl.glViewport = [](GLint x, GLint y, GLsizei w, GLsizei h) WINAPI { calls.push_back("viewport");
                                                                            s_saved->glViewport(x, y, w, h); };
        gl.glTexImage2D = [](GLenum target, GLint level, GLint format, GLsizei w, GLsizei h, GLint border,
                             GLenum pixelFormat, GLenum type, const GLvoid* pixels) WINAPI {
            calls.push_back("level " + std::to_string(level) + " " + std::to_string(w) + "x" + std::to_string(h));
            s_saved->glTexImage2D(target, level, format, w, h, border, pixelFormat, type, pixels); };
        gl.glGetError = []() WINAPI { const GLenum injected = injectedError; injectedError = GL_NO_ERROR;
                                      return injected != GL_NO_ERROR ? injected : s_saved->glGetError(); };
        // clang-format on
    }
    ~CGLRecorder() { GetOpenGL1Functions() = m_saved; }

    static inline std::vector<std::string> calls;
    static inline GLenum injectedError = GL_NO_ERROR;

private:
    COpenGL1Functions m_saved;
    static inline COpenGL1Functions* s_saved = nullptr;
};


// Each test starts and ends with a fresh run in which OpenGL 1 has not failed.
struct OpenGL1 : testing::Test
{
    void SetUp() override { TearDown(); }
    void TearDown() override
    {
        CGraphicsSystemTestAccess::ResetRun();
        ASSERT_EQ(0, COpenGL1GraphicsSystem::Instance().GetCurrentError());
    }
    CTestSettingsKey key;
};

}  // namespace

TEST_F(OpenGL1, AnOffscreenPictureComesBackUprightOpaqueAsGdiDrawsItAndInTilesWithoutSeams)
{
    CShapesScene scene;
    const CPixelBitmap gl = RenderThrough(COpenGL1GraphicsSystem::Instance(), scene);
    // Upright (red at the top, the line at the bottom), the bottom row first in memory.
    EXPECT_EQ(kRed, gl.GetPixel(30, 20));
    EXPECT_EQ(kBlue, gl.GetPixel(120, 80));
    EXPECT_EQ(0xFF000000u, gl.GetPixel(80, 115));
    EXPECT_EQ(kBackground, gl.GetPixels()[0]);
    EXPECT_EQ(kBlue, gl.GetPixels()[(119 - 80) * 160 + 120]);
    for (uint32_t pixel : gl.GetPixels())
        ASSERT_EQ(0xFFu, GetAlpha(pixel));
    // GDI's picture but for the odd pixel along curved edges.
    EXPECT_GE(160 * 120 / 100, CountDifferences(gl, RenderThrough(CGdiGraphicsSystem::Instance(), scene)));

    // Larger than the screen: in tiles, the shapes unbroken across their edges.
    CSettings::SetInt(L"GraphicsClass", 1);
    CGraphicsSystemTestAccess::SetScreenSize(50.0f, 40.0f);
    ASSERT_EQ(&COpenGL1GraphicsSystem::Instance(), &GetGraphicsSystem(false));
    CPixelBitmap tiled(160.0f, 120.0f);
    RenderSceneToBitmap(scene, tiled, false);
    EXPECT_GE(8, CountDifferences(gl, tiled));
    for (int y = 10; y < 40; ++y)
        EXPECT_EQ(kRed, tiled.GetPixel(49, y) & tiled.GetPixel(50, y)) << y;
    for (int x = 100; x < 150; ++x)
        EXPECT_EQ(kBlue, tiled.GetPixel(x, 79) & tiled.GetPixel(x, 80)) << x;

    // Nothing is asked of the library for a picture without pixels.
    CGLRecorder recorder;
    CPixelBitmap empty(0.0f, 10.0f);
    EXPECT_EQ(0, CountReports([&] {
        COpenGL1GraphicsSystem::Instance().RenderOffscreenGuarded(scene, empty, 0.0f, 10.0f, 0.0f, 0.0f);
    }));
    EXPECT_TRUE(CGLRecorder::calls.empty());
}

TEST_F(OpenGL1, ItemsBecomeDisplayListsWithTheStateTheirRunsNeed)
{
    CBatchKindsScene scene;
    CGLRecorder recorder;
    RenderThrough(COpenGL1GraphicsSystem::Instance(), scene);
    // The calls inside each list, and the image's levels.
    std::vector<std::string> lists, levels;
    for (const std::string& call : CGLRecorder::calls) {
        if (call == "list")
            lists.emplace_back();
        else if (call.compare(0, 5, "level") == 0)
            levels.push_back(call);
        else if (call != "end" && !lists.empty())
            lists.back() += (lists.back().empty() ? "" : ",") + call;
    }
    // A list per item, its triangles drawn from arrays (the box's sides edge on as well), the image textured and
    // blended.
    ASSERT_EQ(3u, lists.size());
    EXPECT_EQ("draw 6", lists[0]);
    EXPECT_EQ("draw 30", lists[1]);
    EXPECT_EQ("texture,blend,draw 6", lists[2]);
    EXPECT_EQ(std::vector<std::string>({"level 0 4x1", "level 1 2x1", "level 2 1x1"}), levels);
}

CHILD_TEST(OpenGL1Errors, APendingOutOfMemoryIsForgivenAnyOtherErrorFailsTheSystem)
{
    CTestSettingsKey key;
    CShapesScene scene;
    COpenGL1GraphicsSystem& system = COpenGL1GraphicsSystem::Instance();
    CGLRecorder recorder;
    // Pending from before the frame: read when the context is made current.
    CGLRecorder::injectedError = GL_OUT_OF_MEMORY;
    if (RenderThrough(system, scene).GetPixel(30, 20) != kRed)
        return 10;
    if (system.GetCurrentError() != 0 || ReportCount() != 0 || !GetCrashLog().HoldsReserve())
        return 11;
    CGLRecorder::injectedError = GL_INVALID_ENUM;
    RenderThrough(system, scene);
    if (system.GetCurrentError() != 3 || CSettings::GetInt(L"OpenGL1WorstError", -1) != 3 || ReportCount() != 1)
        return 12;
    // Nothing more is asked of the library in this run.
    CGLRecorder::calls.clear();
    RenderThrough(system, scene);
    return CGLRecorder::calls.empty() ? 0 : 13;
}

CHILD_TEST(OpenGL1Errors, AFaultInTheDriverFallsBackForTheRestOfTheRun)
{
    GetCrashLog().fileName = kTestCrashLogName;
    DeleteFileW(GetTestCrashLogPath().c_str());
    CTestSettingsKey key;
    CSettings::SetInt(L"GraphicsClass", 1);
    CGraphicsSystemTestAccess::ResetRun();
    COpenGL1GraphicsSystem& system = COpenGL1GraphicsSystem::Instance();
    CPanelTestHost host(60, 60, 200, 160);
    CShapesScene scene;
    CPanel panel(false, false);
    panel.SetScene(&scene);
    panel.Measure();
    panel.CreateNativeWindow(host);
    panel.SetBounds(CRectF(0.0f, 0.0f, 160.0f, 120.0f));
    // OpenGL 1 renders the frame off screen for GDI's target of the window.
    CGLRecorder recorder;
    const auto& calls = CGLRecorder::calls;
    if (!PumpUntil([&] {
            return std::count(calls.begin(), calls.end(), "viewport") > 0 &&
                   ReadClientPixel(panel.hwnd, 30, 20) == RGB(255, 0, 0);
        }) ||
        !dynamic_cast<CFallbackRenderTarget*>(panel.renderTarget) || system.GetCurrentError() != 0)
        return 10;

    // Stands for a driver: code outside the program's image that reads address 0, in the next frame's clear.
    static const unsigned char readAddressZero[] = {0xA1, 0x00, 0x00, 0x00, 0x00, 0xC3};
    void* driver = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
    std::memcpy(driver, readAddressZero, sizeof readAddressZero);
    FlushInstructionCache(GetCurrentProcess(), driver, sizeof readAddressZero);
    GetOpenGL1Functions().glClear = reinterpret_cast<decltype(&glClear)>(driver);
    panel.Invalidate();
    PumpUntil([&] { return system.GetCurrentError() != 0; });
    if (system.GetCurrentError() != 3 || CSettings::GetInt(L"OpenGL1WorstError", -1) != 3 || ReportCount() != 1 ||
        !FileExists(GetTestCrashLogPath()))
        return 11;

    // The next paint renders off screen through the next system.
    panel.Invalidate();
    if (!PumpUntil([&] {
            return dynamic_cast<CFallbackRenderTarget*>(panel.renderTarget) &&
                   ReadClientPixel(panel.hwnd, 30, 20) == RGB(255, 0, 0) &&
                   ReadClientPixel(panel.hwnd, 120, 80) == RGB(0, 0, 255) &&
                   ReadClientPixel(panel.hwnd, 80, 20) == RGB(0xC0, 0xD0, 0xE0);
        }))
        return 12;
    if (&GetGraphicsSystem(false) == &system || ReportCount() != 1)
        return 13;
    panel.SetScene(nullptr);
    host.Destroy();
    DeleteFileW(GetTestCrashLogPath().c_str());
    return 0;
}
