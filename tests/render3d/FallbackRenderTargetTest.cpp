#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "graphics/GdiBitmap.h"
#include "graphics/GdiGraphics.h"
#include "render3d/FallbackRenderTarget.h"
#include "render3d/GraphicsSystem.h"
#include "tests/render3d/GraphicsTestSystems.h"
#include "tests/support/CanvasTestHelpers.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "ui/Scene.h"

namespace {

// A plain top-level window that paints nothing by itself, so what a target
// drew stays on the screen until the test reads it.
class CTestWindow
{
public:
    CTestWindow(int width, int height)
    {
        static bool registered = false;
        if (!registered) {
            WNDCLASSW windowClass = {};
            windowClass.lpfnWndProc = DefWindowProcW;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"FallbackTargetTestWindow";
            RegisterClassW(&windowClass);
            registered = true;
        }
        hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"FallbackTargetTestWindow", L"", WS_POPUP, 40,
                               40, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        UpdateWindow(hwnd);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    ~CTestWindow() { DestroyWindow(hwnd); }
    CTestWindow(const CTestWindow&) = delete;
    CTestWindow& operator=(const CTestWindow&) = delete;

    // The pixel of the client area in our colour layout.
    uint32_t Pixel(int x, int y) const
    {
        HDC dc = GetDC(hwnd);
        const COLORREF color = GetPixel(dc, x, y);
        ReleaseDC(hwnd, dc);
        return 0xFF000000 | color;
    }

    HWND hwnd = nullptr;
};

class FallbackTarget : public testing::Test
{
protected:
    void SetUp() override { CGraphicsSystemTestAccess::ResetRun(); }
    void TearDown() override { CGraphicsSystemTestAccess::ResetRun(); }

    CTestSettingsKey key;
};

CFunctionDrawable MakeRectangles()
{
    return CFunctionDrawable([](CGraphicsContext& context) {
        context.m_state.fillColor = 0xFF0000FF;
        context.BeginPath(false, true, 1);
        context.AddRect(CRectF(5.0f, 5.0f, 25.0f, 15.0f));
        context.EndPath();
        context.m_state.fillColor = 0xFF00FF00;
        context.BeginPath(false, true, 1);
        context.AddRect(CRectF(30.0f, 20.0f, 60.0f, 40.0f));
        context.EndPath();
    });
}

}  // namespace

TEST_F(FallbackTarget, TheSceneReachesTheInnerCanvasThroughAnOffscreenPicture)
{
    CFunctionDrawable rectangles = MakeRectangles();
    CScene scene(true, 1);
    scene.items[0] = &rectangles;

    CGdiBitmap dib;
    ASSERT_TRUE(dib.Create(64.0f, 48.0f));
    RECT all = {0, 0, 64, 48};
    FillRect(dib.GetDC(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    auto* canvas = new CGdiGraphics();
    canvas->SetDeviceContext(dib.GetDC());
    CFallbackRenderTarget target(true, canvas);
    EXPECT_EQ(&CGdiGraphicsSystem::Instance(), &target.GetGraphicsSystem());
    target.SetScene(&scene);
    target.SetViewport(64.0f, 48.0f);
    target.RenderScene();

    CPixelBitmap expected(64.0f, 48.0f);
    RenderSceneToBitmap(scene, expected, true);
    CPixelBitmap shown;
    ASSERT_TRUE(dib.GetPixels(shown));
    EXPECT_EQ(64, target.GetPicture().GetPixelWidth());
    EXPECT_EQ(48, target.GetPicture().GetPixelHeight());
    int differences = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            differences += shown.GetPixel(x, y) != expected.GetPixel(x, y) ? 1 : 0;
    EXPECT_EQ(0, differences);
    EXPECT_EQ(0xFF0000FFu, shown.GetPixel(10, 10));
    EXPECT_EQ(0xFF00FF00u, shown.GetPixel(59, 39));
    EXPECT_EQ(0xFFFFFFFFu, shown.GetPixel(63, 47));
    // The canvas was left with no scene of the target's.
    EXPECT_EQ(nullptr, canvas->GetScene());
}

TEST_F(FallbackTarget, AWindowOfAFailedSystemShowsTheNextSystemsPicture)
{
    CFakeGraphicsSystem failed(L"FakeFailed", true), next(L"FakeNext", true);
    next.fill = [](CPixelBitmap& bitmap, float, float) {
        for (uint32_t& pixel : bitmap.GetPixels())
            pixel = 0xFF00A0FF;
    };
    CGraphicsSystemTestAccess::ReplaceTable(
        {{7, &failed, true, 7}, {6, &next, true, 6}, {0, &CGdiGraphicsSystem::Instance(), false, 0}});
    CSettings::SetInt(L"GraphicsClass", 7);
    failed.ReportFailure(1);

    CScene scene(false, 1);
    scene.all3D = true;
    std::unique_ptr<CRenderTarget> target(failed.CreateRenderTarget(false, false, true));
    ASSERT_NE(nullptr, dynamic_cast<CFallbackRenderTarget*>(target.get()));
    CTestWindow window(120, 80);
    target->AttachToWindow(window.hwnd);
    target->SetScene(&scene);
    target->SetViewport(120.0f, 80.0f);
    target->RenderScene();
    EXPECT_TRUE(failed.calls.empty());
    ASSERT_EQ(1u, next.calls.size());
    EXPECT_EQ(120.0f, next.calls[0].width);
    EXPECT_EQ(80.0f, next.calls[0].height);
    EXPECT_EQ(0xFF00A0FFu, window.Pixel(0, 0));
    EXPECT_EQ(0xFF00A0FFu, window.Pixel(119, 79));
}

TEST_F(FallbackTarget, AWindowLargerThanTheScreenIsRenderedInScreenSizedTiles)
{
    CFakeGraphicsSystem next(L"FakeNext", true);
    next.fill = FillByPosition;
    CGraphicsSystemTestAccess::ReplaceTable({{6, &next, true, 6}, {0, &CGdiGraphicsSystem::Instance(), false, 0}});
    CSettings::SetInt(L"GraphicsClass", 6);
    CGraphicsSystemTestAccess::SetScreenSize(50.0f, 40.0f);

    CScene scene(false, 1);
    scene.all3D = true;
    std::unique_ptr<CRenderTarget> target(GetGraphicsSystem(false).CreateRenderTarget(true, false, true));
    auto* fallback = dynamic_cast<CFallbackRenderTarget*>(target.get());
    ASSERT_NE(nullptr, fallback);
    CTestWindow window(120, 90);
    target->AttachToWindow(window.hwnd);
    target->SetScene(&scene);
    target->SetViewport(120.0f, 90.0f);
    target->RenderScene();
    ASSERT_EQ(9u, next.calls.size());
    EXPECT_EQ(20.0f, next.calls[2].width);
    EXPECT_EQ(10.0f, next.calls[8].height);
    EXPECT_EQ(100.0f, next.calls[8].tileX);
    EXPECT_EQ(80.0f, next.calls[8].tileY);
    const CPixelBitmap& picture = fallback->GetPicture();
    const int points[][2] = {{0, 0}, {49, 39}, {50, 40}, {119, 89}, {77, 63}};
    for (const auto& p : points)
        EXPECT_EQ(uint32_t(p[0]) | (uint32_t(p[1]) << 16), picture.GetPixel(p[0], p[1])) << p[0] << "," << p[1];
    // On screen only the colour bytes count: x in red and green, y in blue.
    EXPECT_EQ(0xFF000000u | 77u | (63u << 16), window.Pixel(77, 63));
}

TEST_F(FallbackTarget, ATargetWithoutPixelsDrawsNothing)
{
    CFakeGraphicsSystem next(L"FakeNext", true);
    CGraphicsSystemTestAccess::ReplaceTable({{6, &next, true, 6}, {0, &CGdiGraphicsSystem::Instance(), false, 0}});
    CSettings::SetInt(L"GraphicsClass", 6);
    const int reports = ReportCount();
    CScene scene(false, 1);
    scene.all3D = true;
    CFallbackRenderTarget target(false, new CGdiGraphics());
    CTestWindow window(40, 30);
    target.AttachToWindow(window.hwnd);
    target.SetScene(&scene);
    target.SetViewport(0.0f, 30.0f);
    target.RenderScene();
    target.SetViewport(40.0f, 0.0f);
    target.RenderScene();
    EXPECT_TRUE(next.calls.empty());
    EXPECT_TRUE(target.GetPicture().IsEmpty());
    EXPECT_EQ(reports, ReportCount());
}

TEST_F(FallbackTarget, AMissingInnerTargetIsReported)
{
    const int reports = ReportCount();
    CFallbackRenderTarget target(false, nullptr);
    EXPECT_EQ(reports + 1, ReportCount());
    CScene scene(true, 1);
    target.SetScene(&scene);
    target.SetViewport(10.0f, 10.0f);
    target.RenderScene();
    EXPECT_EQ(reports + 2, ReportCount());
    EXPECT_TRUE(target.GetPicture().IsEmpty());
    EXPECT_EQ(&CGdiGraphicsSystem::Instance(), &target.GetGraphicsSystem());
    target.AttachToWindow(nullptr);
}
