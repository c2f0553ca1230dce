#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "graphics/GdiGraphics.h"
#include "render3d/FallbackRenderTarget.h"
#include "render3d/GraphicsSystem.h"
#include "tests/render3d/GraphicsTestSystems.h"
#include "tests/support/CanvasTestHelpers.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"
#include "ui/Scene.h"

// The choice of the graphics system for views, the stored class, window
// targets and off-screen rendering. Fake back ends stand in for the 3D
// systems; a test key holds the settings.

namespace {

int StoredInt(const wchar_t* name) { return CSettings::GetInt(name, -1); }

class GraphicsChoice : public testing::Test
{
protected:
    void SetUp() override { CGraphicsSystemTestAccess::ResetRun(); }
    void TearDown() override { CGraphicsSystemTestAccess::ResetRun(); }

    CTestSettingsKey key;
};

// The table in its real order over the given systems.
void UseTable(CGraphicsSystem& d3d, CGraphicsSystem& gl3, CGraphicsSystem& gl1)
{
    CGraphicsSystemTestAccess::ReplaceTable({
        {3, &d3d, false, 4},
        {4, &d3d, true, 4},
        {2, &gl3, true, 2},
        {1, &gl1, true, 1},
        {0, &CGdiGraphicsSystem::Instance(), false, 0},
    });
}

}  // namespace

// ---- The real table -------------------------------------------------------------------

TEST_F(GraphicsChoice, TheTableListsTheFiveClassesInOrder)
{
    const std::vector<CGraphicsClassEntry>& table = GetGraphicsSystemTable();
    ASSERT_EQ(5u, table.size());
    const int ids[] = {3, 4, 2, 1, 0};
    const bool flags[] = {false, true, true, true, false};
    const int levels[] = {4, 4, 2, 1, 0};
    const wchar_t* names[] = {L"Direct3D11", L"Direct3D11", L"OpenGL3", L"OpenGL1", L"GDI"};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(ids[i], table[i].id);
        EXPECT_EQ(flags[i], table[i].flag);
        EXPECT_EQ(levels[i], table[i].level);
        EXPECT_EQ(names[i], table[i].system->GetName());
    }
    EXPECT_EQ(&CDirect3D11GraphicsSystem::Instance(), table[0].system);
    EXPECT_EQ(table[0].system, table[1].system);
    EXPECT_EQ(&CGdiGraphicsSystem::Instance(), table[4].system);
    EXPECT_EQ(0, CGdiGraphicsSystem::Instance().GetRank());
}

TEST_F(GraphicsChoice, WithoutAStoredClassDirect3D11DrawsEveryViewElseOpenGL3UnlessALowVersionWasSeen)
{
    const int reports = ReportCount();
    EXPECT_EQ(3, GetGraphicsClassSetting());
    EXPECT_EQ(&CDirect3D11GraphicsSystem::Instance(), &GetGraphicsSystem(false));
    EXPECT_EQ(&CGdiGraphicsSystem::Instance(), &GetGraphicsSystem(true));
    EXPECT_TRUE(CGraphicsSystem::IsViewSystem3D());
    EXPECT_FALSE(CDirect3D11GraphicsSystem::Instance().IsRestricted());
    // The default class 3 was taken as it is: nothing is written.
    EXPECT_EQ(-1, StoredInt(L"GraphicsClass"));
    EXPECT_EQ(-1, StoredInt(L"GraphicsSystemMenuItemVisible"));
    EXPECT_EQ(reports, ReportCount());

    // Where the Direct3D 11 library is missing.
    CGraphicsSystemTestAccess::ResetRun();
    CGraphicsSystemTestAccess::SetDirect3D11LibraryFound(false);
    EXPECT_EQ(&COpenGL3GraphicsSystem::Instance(), &GetGraphicsSystem(false));
    EXPECT_TRUE(COpenGL3GraphicsSystem::Instance().IsRestricted());
    EXPECT_EQ(-1, StoredInt(L"GraphicsClass"));
    CSettings::SetInt(L"OpenGL3LowVersionFound", 1);
    EXPECT_EQ(1, GetGraphicsClassSetting());
    CSettings::SetInt(L"OpenGL3HighVersionFound", 1);
    EXPECT_EQ(2, GetGraphicsClassSetting());
    CGraphicsSystemTestAccess::SetDirect3D11LibraryFound(true);
    EXPECT_EQ(3, GetGraphicsClassSetting());
    EXPECT_EQ(reports, ReportCount());
}

TEST_F(GraphicsChoice, ASystemForThe3DViewsIsProbedOnlyWhenA3DSceneNeedsIt)
{
    CSettings::SetInt(L"GraphicsClass", 2);
    CFakeGraphicsSystem d3d(L"FakeD3D", false), gl3(L"FakeGL3", false), gl1(L"FakeGL1", true);
    gl3.defersProbe = true;
    UseTable(d3d, gl3, gl1);
    EXPECT_EQ(&gl3, &GetGraphicsSystem(false));
    gl3.PrepareWindowGuarded(nullptr, false);
    EXPECT_EQ(0, gl3.probes);
    // The first 3D scene probes it; unusable, the picture comes from the next class, which is stored.
    CScene scene(true, 0);
    scene.all3D = true;
    CPixelBitmap bitmap(4.0f, 4.0f);
    RenderSceneOffscreen(scene, bitmap, 4.0f, 4.0f, 0.0f, 0.0f, false);
    EXPECT_EQ(1, gl3.probes);
    EXPECT_EQ(1u, gl1.calls.size());
    EXPECT_EQ(1, StoredInt(L"GraphicsClass"));
    std::unique_ptr<CRenderTarget> target(gl3.CreateRenderTarget(false, false, true));
    EXPECT_TRUE(dynamic_cast<CFallbackRenderTarget*>(target.get()));
    EXPECT_TRUE(gl3.calls.empty());
}

// ---- Stored class, availability and worst errors ---------------------------------------------

TEST_F(GraphicsChoice, AnUnusableStoredClassFallsToTheFirstUsableRow)
{
    CSettings::SetInt(L"GraphicsClass", 3);
    CFakeGraphicsSystem d3d(L"FakeD3D", false), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
    UseTable(d3d, gl3, gl1);
    EXPECT_EQ(&gl3, &GetGraphicsSystem(false));
    EXPECT_TRUE(gl3.IsRestricted());
    EXPECT_EQ(2, StoredInt(L"GraphicsClass"));
    EXPECT_EQ(1, StoredInt(L"GraphicsSystemMenuItemVisible"));
    EXPECT_TRUE(CGraphicsSystem::IsViewSystem3D());
    EXPECT_EQ(2, CGraphicsSystem::HighestRank);
    // Probed once per run.
    EXPECT_EQ(&gl3, &GetGraphicsSystem(false));
    EXPECT_EQ(1, d3d.probes);
    EXPECT_EQ(1, gl3.probes);
    EXPECT_EQ(0, gl1.probes);
}

TEST_F(GraphicsChoice, WithoutOpenGL3TheChoiceFallsToOpenGL1ThenGdi)
{
    CSettings::SetInt(L"GraphicsClass", 3);
    {
        CFakeGraphicsSystem d3d(L"FakeD3D", false), gl3(L"FakeGL3", false), gl1(L"FakeGL1", true, 3);
        UseTable(d3d, gl3, gl1);
        EXPECT_EQ(&gl1, &GetGraphicsSystem(false));
        EXPECT_EQ(1, StoredInt(L"GraphicsClass"));
        EXPECT_EQ(3, CGraphicsSystem::HighestRank);
    }
    CGraphicsSystemTestAccess::ResetRun();
    CSettings::SetInt(L"GraphicsClass", 3);
    CFakeGraphicsSystem d3d(L"FakeD3D", false), gl3(L"FakeGL3", false), gl1(L"FakeGL1", false);
    UseTable(d3d, gl3, gl1);
    EXPECT_EQ(&CGdiGraphicsSystem::Instance(), &GetGraphicsSystem(false));
    EXPECT_EQ(0, StoredInt(L"GraphicsClass"));
    EXPECT_FALSE(CGraphicsSystem::IsViewSystem3D());
}

TEST_F(GraphicsChoice, TheStoredClassWinsOverEarlierRows)
{
    CSettings::SetInt(L"GraphicsClass", 1);
    CFakeGraphicsSystem d3d(L"FakeD3D", true), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
    UseTable(d3d, gl3, gl1);
    EXPECT_EQ(&gl1, &GetGraphicsSystem(false));
    EXPECT_EQ(0, d3d.probes);
    // No change of class: nothing is written.
    EXPECT_EQ(-1, StoredInt(L"GraphicsSystemMenuItemVisible"));
}

TEST_F(GraphicsChoice, AStoredWorstErrorOf1Or2AllowsOnlyThe3DOnlyRow)
{
    for (int worst = 1; worst <= 2; ++worst) {
        CGraphicsSystemTestAccess::ResetRun();
        CSettings::SetInt(L"GraphicsClass", 3);
        CSettings::SetInt(L"FakeD3DWorstError", worst);
        CFakeGraphicsSystem d3d(L"FakeD3D", true), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
        UseTable(d3d, gl3, gl1);
        EXPECT_EQ(&d3d, &GetGraphicsSystem(false)) << worst;
        EXPECT_TRUE(d3d.IsRestricted());
        EXPECT_EQ(4, StoredInt(L"GraphicsClass"));
    }
}

TEST_F(GraphicsChoice, AStoredWorstErrorOf3KeepsTheSystemOut)
{
    CSettings::SetInt(L"GraphicsClass", 3);
    CSettings::SetInt(L"FakeD3DWorstError", 3);
    CFakeGraphicsSystem d3d(L"FakeD3D", true), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
    UseTable(d3d, gl3, gl1);
    EXPECT_EQ(&gl3, &GetGraphicsSystem(false));
    EXPECT_EQ(0, d3d.probes);
}

TEST_F(GraphicsChoice, AFailureInThisRunKeepsTheSystemOutAndItsWorstErrorRestrictsLaterRuns)
{
    CSettings::SetInt(L"GraphicsClass", 3);
    {
        CFakeGraphicsSystem d3d(L"FakeD3D", true), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
        UseTable(d3d, gl3, gl1);
        EXPECT_EQ(&d3d, &GetGraphicsSystem(false));
        EXPECT_FALSE(d3d.IsRestricted());
        d3d.ReportFailure(1);
        EXPECT_EQ(&gl3, &GetGraphicsSystem(false));
        EXPECT_EQ(1, StoredInt(L"FakeD3DWorstError"));
        // The class changed for the first time in this run: stored.
        EXPECT_EQ(2, StoredInt(L"GraphicsClass"));
    }
    // The next run: a lost device last time still serves 3D views.
    CGraphicsSystemTestAccess::ResetRun();
    CSettings::SetInt(L"GraphicsClass", 3);
    CFakeGraphicsSystem d3d(L"FakeD3D", true), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
    UseTable(d3d, gl3, gl1);
    EXPECT_EQ(1, d3d.GetWorstError());
    EXPECT_EQ(&d3d, &GetGraphicsSystem(false));
    EXPECT_TRUE(d3d.IsRestricted());
    EXPECT_EQ(4, StoredInt(L"GraphicsClass"));
}

TEST_F(GraphicsChoice, OnlyTheFirstClassChangeOfARunIsStored)
{
    CSettings::SetInt(L"GraphicsClass", 3);
    CFakeGraphicsSystem d3d(L"FakeD3D", true), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
    UseTable(d3d, gl3, gl1);
    EXPECT_EQ(&d3d, &GetGraphicsSystem(false));
    d3d.ReportFailure(1);
    EXPECT_EQ(&gl3, &GetGraphicsSystem(false));
    EXPECT_EQ(2, StoredInt(L"GraphicsClass"));
    gl3.ReportFailure(1);
    EXPECT_EQ(&gl1, &GetGraphicsSystem(false));
    EXPECT_EQ(2, StoredInt(L"GraphicsClass"));
    // Only the first worst error of a run is stored.
    EXPECT_EQ(1, StoredInt(L"FakeD3DWorstError"));
    EXPECT_EQ(-1, StoredInt(L"FakeGL3WorstError"));
    EXPECT_EQ(1, gl3.GetWorstError());
}

TEST_F(GraphicsChoice, AFailureWhileProbingCountsAs3AndTheSystemIsUnusable)
{
    CSettings::SetInt(L"GraphicsClass", 2);
    CFakeGraphicsSystem d3d(L"FakeD3D", false), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
    gl3.failWhileProbing = true;
    UseTable(d3d, gl3, gl1);
    EXPECT_EQ(&gl1, &GetGraphicsSystem(false));
    EXPECT_EQ(2, gl3.GetAvailability());
    EXPECT_EQ(3, gl3.GetCurrentError());
    EXPECT_EQ(3, StoredInt(L"FakeGL3WorstError"));
    EXPECT_FALSE(gl3.IsUsable());
    EXPECT_EQ(1, gl3.probes);
}

// ---- The user's choice --------------------------------------------------------------------

TEST_F(GraphicsChoice, TheUsersChoiceClearsTheStoredWorstErrorAndKeepsItsClass)
{
    CSettings::SetInt(L"GraphicsClass", 3);
    CSettings::SetInt(L"FakeGL3WorstError", 1);
    CFakeGraphicsSystem d3d(L"FakeD3D", false), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
    UseTable(d3d, gl3, gl1);
    SetGraphicsClassSetting(2, true);
    EXPECT_EQ(2, StoredInt(L"GraphicsClass"));
    EXPECT_EQ(0, StoredInt(L"FakeGL3WorstError"));
    // The worst error in memory keeps its value for this run.
    EXPECT_EQ(1, gl3.GetWorstError());
    EXPECT_EQ(&gl3, CGraphicsSystemTestAccess::GetUserSystem());

    // An implicit store no longer overrides the user.
    SetGraphicsClassSetting(1, false);
    EXPECT_EQ(2, StoredInt(L"GraphicsClass"));

    EXPECT_EQ(&gl3, &GetGraphicsSystem(false));
    // A failure of the user's own system is not stored against it ...
    gl3.ReportFailure(3);
    EXPECT_EQ(3, gl3.GetWorstError());
    EXPECT_EQ(0, StoredInt(L"FakeGL3WorstError"));
    // ... the change of class shows the menu item but keeps the user's class ...
    EXPECT_EQ(&gl1, &GetGraphicsSystem(false));
    EXPECT_EQ(2, StoredInt(L"GraphicsClass"));
    EXPECT_EQ(1, StoredInt(L"GraphicsSystemMenuItemVisible"));
    // ... and the first worst error of another system is still stored.
    gl1.ReportFailure(1);
    EXPECT_EQ(1, StoredInt(L"FakeGL1WorstError"));
}

TEST_F(GraphicsChoice, AnImplicitStoreBeforeAnyPickWritesTheClass)
{
    SetGraphicsClassSetting(4, false);
    EXPECT_EQ(4, StoredInt(L"GraphicsClass"));
    EXPECT_EQ(nullptr, CGraphicsSystemTestAccess::GetUserSystem());
}

// ---- Window targets ----------------------------------------------------------------------------

TEST_F(GraphicsChoice, WindowTargetsComeFromTheSystemOrAFallBack)
{
    CGdiGraphicsSystem& gdi = CGdiGraphicsSystem::Instance();
    // GDI-only windows get a plain canvas; other windows and windows that
    // want a bitmap are drawn off screen first.
    std::unique_ptr<CRenderTarget> plain(gdi.CreateRenderTarget(false, true, false));
    EXPECT_NE(nullptr, dynamic_cast<CGdiGraphics*>(plain.get()));
    std::unique_ptr<CRenderTarget> view(gdi.CreateRenderTarget(false, false, false));
    auto* fallback = dynamic_cast<CFallbackRenderTarget*>(view.get());
    ASSERT_NE(nullptr, fallback);
    EXPECT_NE(nullptr, dynamic_cast<CGdiGraphics*>(fallback->GetInnerTarget()));
    EXPECT_EQ(&gdi, &view->GetGraphicsSystem());
    std::unique_ptr<CRenderTarget> bitmap(gdi.CreateRenderTarget(true, true, false));
    EXPECT_NE(nullptr, dynamic_cast<CFallbackRenderTarget*>(bitmap.get()));

    CFakeGraphicsSystem fake(L"FakeGL3", true);
    std::unique_ptr<CRenderTarget> own(fake.CreateRenderTarget(false, false, false));
    EXPECT_NE(nullptr, dynamic_cast<CFakeRenderTarget*>(own.get()));
    std::unique_ptr<CRenderTarget> wanted(fake.CreateRenderTarget(true, false, true));
    EXPECT_NE(nullptr, dynamic_cast<CFallbackRenderTarget*>(wanted.get()));
}

TEST_F(GraphicsChoice, ARestrictedSystemLeavesFlatScenesToGdi)
{
    CSettings::SetInt(L"GraphicsClass", 2);
    CFakeGraphicsSystem d3d(L"FakeD3D", false), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
    UseTable(d3d, gl3, gl1);
    CGraphicsSystem& system = GetGraphicsSystem(false);
    ASSERT_EQ(&gl3, &system);
    ASSERT_TRUE(gl3.IsRestricted());

    std::unique_ptr<CRenderTarget> flat(system.CreateRenderTarget(false, true, false));
    EXPECT_NE(nullptr, dynamic_cast<CGdiGraphics*>(flat.get()));
    std::unique_ptr<CRenderTarget> deep(system.CreateRenderTarget(false, false, true));
    ASSERT_NE(nullptr, dynamic_cast<CFakeRenderTarget*>(deep.get()));
    std::unique_ptr<CRenderTarget> fallback(new CFallbackRenderTarget(false, new CGdiGraphics()));

    EXPECT_FALSE(system.SuitsTarget(*deep, false));
    EXPECT_TRUE(system.SuitsTarget(*deep, true));
    EXPECT_TRUE(system.SuitsTarget(*flat, false));
    EXPECT_FALSE(system.SuitsTarget(*flat, true));
    EXPECT_TRUE(system.SuitsTarget(*fallback, false));
    EXPECT_TRUE(system.SuitsTarget(*fallback, true));
    // An unrestricted system suits every target.
    EXPECT_TRUE(d3d.SuitsTarget(*flat, true));
    EXPECT_TRUE(d3d.SuitsTarget(*deep, false));
}

TEST_F(GraphicsChoice, AFailedSystemGivesItsWindowsAFallBack)
{
    CFakeGraphicsSystem fake(L"FakeGL3", true);
    fake.ReportFailure(1);
    std::unique_ptr<CRenderTarget> target(fake.CreateRenderTarget(false, false, true));
    auto* fallback = dynamic_cast<CFallbackRenderTarget*>(target.get());
    ASSERT_NE(nullptr, fallback);
    EXPECT_NE(nullptr, dynamic_cast<CGdiGraphics*>(fallback->GetInnerTarget()));
}

TEST_F(GraphicsChoice, GuardedCallsMakeTheSystemTheFailureHandler)
{
    struct CWatchingSystem : CFakeGraphicsSystem
    {
        CWatchingSystem() : CFakeGraphicsSystem(L"Watching", true) {}
        void PrepareWindow(HWND window) override
        {
            prepared = window;
            handler = GetCrashLog().GetFailureHandler();
        }
        bool IsAvailable() override
        {
            handler = GetCrashLog().GetFailureHandler();
            return true;
        }
        CFailureHandler* handler = nullptr;
    } system;
    CFailureHandler* const before = GetCrashLog().GetFailureHandler();
    const HWND window = GetDesktopWindow();
    system.PrepareWindowGuarded(window, true);
    EXPECT_EQ(window, system.prepared);
    EXPECT_EQ(&system, system.handler);
    EXPECT_EQ(before, GetCrashLog().GetFailureHandler());
    system.handler = nullptr;
    EXPECT_TRUE(system.IsAvailableGuarded());
    EXPECT_EQ(&system, system.handler);
    EXPECT_EQ(before, GetCrashLog().GetFailureHandler());
}

// ---- Off-screen rendering -------------------------------------------------------------------

TEST_F(GraphicsChoice, ASystemThatKeepsFailingIsTriedAtMostTenTimes)
{
    std::vector<std::unique_ptr<CFakeGraphicsSystem>> fakes;
    std::vector<CGraphicsClassEntry> rows;
    for (int i = 0; i < 12; ++i) {
        fakes.emplace_back(new CFakeGraphicsSystem(L"Failing" + std::to_wstring(i), true));
        fakes.back()->failRender = 3;
        rows.push_back({10 + i, fakes.back().get(), true, 10 + i});
    }
    rows.push_back({0, &CGdiGraphicsSystem::Instance(), false, 0});
    CGraphicsSystemTestAccess::ReplaceTable(rows);
    CSettings::SetInt(L"GraphicsClass", 10);

    CScene scene(false, 1);
    scene.all3D = true;
    CPixelBitmap bitmap(20.0f, 10.0f);
    RenderSceneOffscreen(scene, bitmap, 20.0f, 10.0f, 0.0f, 0.0f, false);
    size_t calls = 0;
    for (size_t i = 0; i < fakes.size(); ++i) {
        calls += fakes[i]->calls.size();
        EXPECT_EQ(i < 10 ? 1u : 0u, fakes[i]->calls.size()) << i;
    }
    EXPECT_EQ(10u, calls);
}

TEST_F(GraphicsChoice, ARestrictedSystemRendersOnlyScenesWith3DItems)
{
    CSettings::SetInt(L"GraphicsClass", 2);
    CFakeGraphicsSystem d3d(L"FakeD3D", false), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
    UseTable(d3d, gl3, gl1);

    CFunctionDrawable red([](CGraphicsContext& context) {
        context.m_state.fillColor = 0xFF0000FF;
        context.BeginPath(false, true, 1);
        context.AddRect(CRectF(0.0f, 0.0f, 8.0f, 6.0f));
        context.EndPath();
    });
    CScene scene(true, 1);
    scene.items[0] = &red;
    CPixelBitmap bitmap(8.0f, 6.0f);
    RenderSceneOffscreen(scene, bitmap, 8.0f, 6.0f, 0.0f, 0.0f, false);
    EXPECT_TRUE(gl3.calls.empty());
    EXPECT_EQ(0xFF0000FFu, bitmap.GetPixel(3, 3));

    scene.is3D[0] = true;
    RenderSceneOffscreen(scene, bitmap, 8.0f, 6.0f, 0.0f, 0.0f, false);
    ASSERT_EQ(1u, gl3.calls.size());
    EXPECT_EQ(8.0f, gl3.calls[0].width);
    EXPECT_EQ(6.0f, gl3.calls[0].fullHeight);
}

TEST_F(GraphicsChoice, NothingIsRenderedIntoABitmapWithoutPixels)
{
    CSettings::SetInt(L"GraphicsClass", 3);
    CFakeGraphicsSystem d3d(L"FakeD3D", true), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
    UseTable(d3d, gl3, gl1);
    const int reports = ReportCount();
    CScene scene(true, 1);
    CPixelBitmap empty;
    RenderSceneToBitmap(scene, empty, false);
    RenderSceneOffscreen(scene, empty, 100.0f, 100.0f, 0.0f, 0.0f, false);
    RenderSceneToBitmap(scene, empty, true);
    EXPECT_TRUE(d3d.calls.empty());
    EXPECT_EQ(reports, ReportCount());
}

TEST_F(GraphicsChoice, TheOffscreenTileSizeIsTheScreenOrTheFixedLimit)
{
    const CSize2 large = GetOffscreenTileSize(true);
    EXPECT_EQ(5000.0f, large.width);
    EXPECT_EQ(5000.0f, large.height);
    HDC screen = GetDC(nullptr);
    const float width = float(GetDeviceCaps(screen, HORZRES));
    const float height = float(GetDeviceCaps(screen, VERTRES));
    ReleaseDC(nullptr, screen);
    const CSize2 small = GetOffscreenTileSize(false);
    EXPECT_EQ(width, small.width);
    EXPECT_EQ(height, small.height);
    CGraphicsSystemTestAccess::SetScreenSize(1920.0f, 1080.0f);
    EXPECT_EQ(1920.0f, GetOffscreenTileSize(false).width);
    EXPECT_EQ(5000.0f, GetOffscreenTileSize(true).height);
}

namespace {

// A map scene: a blue background, a red rectangle, a green diamond outline
// and a black diagonal line, at whole and half pixels. (Curves are left out:
// GDI flattens a Bezier differently at different device positions.)
struct CTestPicture
{
    CTestPicture()
        : drawable([](CGraphicsContext& context) {
              context.m_state.fillColor = 0xFF0000FF;
              context.BeginPath(false, true, 1);
              context.AddRect(CRectF(10.0f, 10.0f, 30.5f, 20.0f));
              context.EndPath();
              context.m_state.penColor = 0xFF00C000;
              context.m_state.penWidth = 3.0f;
              context.BeginPath(true, false, 1);
              context.MoveTo(28.0f, 30.0f);
              context.LineTo(40.0f, 18.0f);
              context.LineTo(52.0f, 30.0f);
              context.LineTo(40.0f, 42.0f);
              context.EndPath();
              context.m_state.penColor = 0xFF000000;
              context.m_state.penWidth = 1.0f;
              context.BeginLine(1);
              context.MoveTo(2.0f, 45.0f);
              context.LineTo(60.0f, 3.0f);
              context.EndPath();
          }),
          scene(true, 1)
    {
        scene.items[0] = &drawable;
        scene.background = 0xFFFF0000;
    }
    CFunctionDrawable drawable;
    CScene scene;
};

}  // namespace

TEST_F(GraphicsChoice, AScenesPixelsArriveInTheBitmap)
{
    CTestPicture picture;
    CPixelBitmap bitmap(64.0f, 48.0f);
    RenderSceneToBitmap(picture.scene, bitmap, true);
    EXPECT_EQ(0xFFFF0000u, bitmap.GetPixel(0, 0));
    EXPECT_EQ(0xFF0000FFu, bitmap.GetPixel(10, 10));
    EXPECT_EQ(0xFF0000FFu, bitmap.GetPixel(29, 19));
    EXPECT_EQ(0xFFFF0000u, bitmap.GetPixel(31, 9));
    EXPECT_EQ(0xFF00C000u, bitmap.GetPixel(52, 30));
    EXPECT_EQ(0xFFFF0000u, bitmap.GetPixel(40, 30));
    EXPECT_EQ(0xFFFF0000u, bitmap.GetPixel(63, 47));
}

TEST_F(GraphicsChoice, GdiDrawsOverTheBitmapWhereTheSceneHasNoBackground)
{
    CFunctionDrawable red([](CGraphicsContext& context) {
        context.m_state.fillColor = 0xFF0000FF;
        context.BeginPath(false, true, 1);
        context.AddRect(CRectF(2.0f, 2.0f, 6.0f, 6.0f));
        context.EndPath();
    });
    CScene scene(true, 1);
    scene.items[0] = &red;
    scene.background = 0x00FFFFFF;
    CPixelBitmap bitmap(10.0f, 8.0f);
    for (uint32_t& pixel : bitmap.GetPixels())
        pixel = 0xFF00FF00;
    RenderSceneToBitmap(scene, bitmap, true);
    EXPECT_EQ(0xFF00FF00u, bitmap.GetPixel(0, 0));
    EXPECT_EQ(0xFF0000FFu, bitmap.GetPixel(3, 3));
    EXPECT_EQ(0xFF00FF00u, bitmap.GetPixel(9, 7));
}

TEST_F(GraphicsChoice, TilesAddUpToTheWholePicture)
{
    // Both through GDI, whatever the machine offers.
    CSettings::SetInt(L"GraphicsClass", 0);
    CTestPicture picture;
    CPixelBitmap whole(64.0f, 48.0f);
    RenderSceneToBitmap(picture.scene, whole, true);
    CGraphicsSystemTestAccess::SetScreenSize(25.0f, 20.0f);
    CPixelBitmap tiled(64.0f, 48.0f);
    RenderSceneToBitmap(picture.scene, tiled, false);
    int differences = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            if (whole.GetPixel(x, y) != tiled.GetPixel(x, y)) {
                ++differences;
                ADD_FAILURE() << x << "," << y << " " << std::hex << whole.GetPixel(x, y) << " " << tiled.GetPixel(x, y);
            }
    EXPECT_EQ(0, differences);
    EXPECT_EQ(0xFF0000FFu, tiled.GetPixel(26, 15));
}

TEST_F(GraphicsChoice, GdiOnlyRendersUpToTheFixedLimitInOnePiece)
{
    CGraphicsSystemTestAccess::SetScreenSize(1920.0f, 1080.0f);
    int draws = 0;
    CFunctionDrawable red([&draws](CGraphicsContext& context) {
        ++draws;
        context.m_state.fillColor = 0xFF0000FF;
        context.BeginPath(false, true, 1);
        context.AddRect(CRectF(0.0f, 0.0f, 6000.0f, 6000.0f));
        context.EndPath();
    });
    CScene scene(true, 1);
    scene.items[0] = &red;
    {
        CPixelBitmap bitmap(4000.0f, 4000.0f);
        RenderSceneToBitmap(scene, bitmap, true);
        EXPECT_EQ(1, draws);
        EXPECT_EQ(0xFF0000FFu, bitmap.GetPixel(0, 0));
        EXPECT_EQ(0xFF0000FFu, bitmap.GetPixel(3999, 3999));
    }
    // Beyond the limit the tiles are the screen's size again.
    draws = 0;
    CPixelBitmap wide(6000.0f, 100.0f);
    RenderSceneToBitmap(scene, wide, true);
    EXPECT_EQ(4, draws);
    EXPECT_EQ(0xFF0000FFu, wide.GetPixel(5999, 99));
}

CHILD_TEST(GraphicsChoiceTiles, A12000x3000PictureOnA1920x1080ScreenTakes7x3Tiles)
{
    CTestSettingsKey key;
    CGraphicsSystemTestAccess::ResetRun();
    CGraphicsSystemTestAccess::SetScreenSize(1920.0f, 1080.0f);
    CSettings::SetInt(L"GraphicsClass", 3);
    CFakeGraphicsSystem d3d(L"FakeD3D", true), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
    d3d.fill = FillByPosition;
    UseTable(d3d, gl3, gl1);
    CScene scene(false, 1);
    CPixelBitmap bitmap(12000.0f, 3000.0f);
    if (bitmap.IsEmpty())
        return 10;
    RenderSceneToBitmap(scene, bitmap, false);
    if (d3d.calls.size() != 21)
        return 11;
    for (size_t i = 0; i < 21; ++i) {
        const COffscreenCall& call = d3d.calls[i];
        const size_t column = i % 7;
        const size_t row = i / 7;
        if (call.fullWidth != 12000.0f || call.fullHeight != 3000.0f)
            return 12;
        if (call.tileX != 1920.0f * float(column) || call.tileY != 1080.0f * float(row))
            return 13;
        if (call.width != (column == 6 ? 480.0f : 1920.0f) || call.height != (row == 2 ? 840.0f : 1080.0f))
            return 14;
    }
    const int points[][2] = {{0, 0}, {1919, 1079}, {1920, 0}, {11519, 1080}, {11520, 2160}, {11999, 2999},
                             {5000, 2500}};
    for (const auto& p : points) {
        const uint32_t expected = uint32_t(p[0]) | (uint32_t(p[1]) << 16);
        if (bitmap.GetPixel(p[0], p[1]) != expected)
            return 15;
    }
    return ReportCount() == 0 ? 0 : 16;
}

// ---- Out of memory and the last resort ---------------------------------------------------

CHILD_TEST(GraphicsChoiceMemory, AReleasedReserveRestrictsTheSystemAndStepsItsClass)
{
    GetCrashLog().ReleaseReserve();
    {
        // Direct3D 11 whose windows are not cheap: class 4.
        CTestSettingsKey key;
        CGraphicsSystemTestAccess::ResetRun();
        CSettings::SetInt(L"GraphicsClass", 3);
        CFakeGraphicsSystem d3d(L"FakeD3D", true, 1), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
        UseTable(d3d, gl3, gl1);
        if (&GetGraphicsSystem(false) != &d3d || !d3d.IsRestricted())
            return 10;
        if (CSettings::GetInt(L"GraphicsClass", -1) != 4)
            return 11;
        // Restricted now: row 3 no longer qualifies, row 4 does.
        if (&GetGraphicsSystem(false) != &d3d)
            return 12;
    }
    // Feature level 11 on Windows 7 (rank 0): the class stays 3.
    CTestSettingsKey key;
    CGraphicsSystemTestAccess::ResetRun();
    CSettings::SetInt(L"GraphicsClass", 3);
    CFakeGraphicsSystem d3d(L"FakeD3D", true, 0), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
    UseTable(d3d, gl3, gl1);
    if (&GetGraphicsSystem(false) != &d3d || !d3d.IsRestricted())
        return 13;
    if (CSettings::GetInt(L"GraphicsSystemMenuItemVisible", -1) != -1 || CSettings::GetInt(L"GraphicsClass", -1) != 3)
        return 14;
    return 0;
}

CHILD_TEST(GraphicsChoiceMemory, AnOutOfMemoryReportLimitsTheSystemNowAndInLaterRuns)
{
    CTestSettingsKey key;
    CGraphicsSystemTestAccess::ResetRun();
    CSettings::SetInt(L"GraphicsClass", 3);
    {
        CFakeGraphicsSystem d3d(L"FakeD3D", true), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
        UseTable(d3d, gl3, gl1);
        if (&GetGraphicsSystem(false) != &d3d)
            return 10;
        d3d.ReportFailure(2);
        if (GetCrashLog().HoldsReserve() || d3d.GetCurrentError() != 2)
            return 11;
        if (&GetGraphicsSystem(false) == &d3d)
            return 12;
    }
    // The next run: stored worst error 2, so only the 3D-only row.
    CGraphicsSystemTestAccess::ResetRun();
    CSettings::SetInt(L"GraphicsClass", 3);
    {
        CFakeGraphicsSystem d3d(L"FakeD3D", true, 0), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
        UseTable(d3d, gl3, gl1);
        if (d3d.GetWorstError() != 2 || &GetGraphicsSystem(false) != &d3d || !d3d.IsRestricted())
            return 13;
        // With the reserve already spent a second shortage counts as 3 ...
        d3d.ReportFailure(2);
        if (d3d.GetCurrentError() != 3)
            return 14;
    }
    // ... but only the first worst error of a run is stored; a run that
    // starts with 3 stored keeps the system out.
    CGraphicsSystemTestAccess::ResetRun();
    CSettings::SetInt(L"FakeD3DWorstError", 3);
    CSettings::SetInt(L"GraphicsClass", 3);
    CFakeGraphicsSystem d3d(L"FakeD3D", true), gl3(L"FakeGL3", true), gl1(L"FakeGL1", true);
    UseTable(d3d, gl3, gl1);
    if (&GetGraphicsSystem(false) != &gl3)
        return 15;
    return 0;
}

CHILD_TEST(GraphicsChoiceLastResort, WhenNoRowQualifiesGdiIsReturnedAndReported)
{
    CTestSettingsKey key;
    CGraphicsSystemTestAccess::ResetRun();
    CFakeGraphicsSystem d3d(L"FakeD3D", false);
    CGraphicsSystemTestAccess::ReplaceTable({{3, &d3d, false, 4}, {4, &d3d, true, 4}});
    if (&GetGraphicsSystem(false) != &CGdiGraphicsSystem::Instance())
        return 10;
    if (ReportCount() != 1 || CGraphicsSystem::HighestRank != 0)
        return 11;
    return 0;
}

CHILD_TEST(GraphicsChoiceLastResort, GdiKeepsNoWorstErrorAndAlwaysQualifies)
{
    CTestSettingsKey key;
    CSettings::SetInt(L"GraphicsClass", 0);
    CSettings::SetInt(L"GDIWorstError", 3);
    CGraphicsSystemTestAccess::ResetRun();
    CGdiGraphicsSystem& gdi = CGdiGraphicsSystem::Instance();
    // GDI keeps no worst error: neither read nor stored.
    if (gdi.GetWorstError() != 0)
        return 10;
    DeleteTestSettingsValue(L"GDIWorstError");
    gdi.ReportFailure(3);
    if (gdi.GetCurrentError() != 3 || gdi.IsRestricted() || gdi.GetWorstError() != 0)
        return 11;
    gdi.ReportFailure(2);
    if (CSettings::GetInt(L"GDIWorstError", -1) != -1)
        return 12;
    const int reports = ReportCount();

    // Still chosen, without a report, whatever failed before.
    if (&GetGraphicsSystem(false) != &gdi || ReportCount() != reports)
        return 13;
    SetGraphicsClassSetting(0, true);
    if (CSettings::GetInt(L"GDIWorstError", -1) != -1 || CSettings::GetInt(L"GraphicsClass", -1) != 0)
        return 14;

    // A failed GDI renders each piece once, not ten times.
    int draws = 0;
    CFunctionDrawable counting([&draws](CGraphicsContext&) { ++draws; });
    CScene scene(true, 1);
    scene.items[0] = &counting;
    CPixelBitmap bitmap(10.0f, 10.0f);
    RenderSceneOffscreen(scene, bitmap, 10.0f, 10.0f, 0.0f, 0.0f, false);
    if (draws != 1)
        return 15;

    // Its windows still get a target: a fall-back over a plain canvas.
    std::unique_ptr<CRenderTarget> target(gdi.CreateRenderTarget(false, true, false));
    auto* fallback = dynamic_cast<CFallbackRenderTarget*>(target.get());
    if (!fallback || !dynamic_cast<CGdiGraphics*>(fallback->GetInnerTarget()))
        return 16;
    // A failed GDI still suits its own flat targets.
    if (!gdi.SuitsTarget(*fallback->GetInnerTarget(), false))
        return 17;
    return ReportCount() == reports ? 0 : 18;
}
