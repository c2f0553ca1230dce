#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "graphics/PixelBitmap.h"
#include "render3d/TextBitmap.h"
#include "tests/render3d/CountingRenderer.h"
#include "tests/support/CanvasTestHelpers.h"
#include "tests/support/FailureReports.h"

// The renderer core through a back end that only counts: the mesh cache,
// batches, textures, culling, pixel alignment and text. Scenes are maps
// (one scene unit a pixel, y down) unless a test says otherwise.

namespace {

CFunctionDrawable FilledRect(const CRectF& rect, uint32_t color, int mode = 0)
{
    return CFunctionDrawable([=](CGraphicsContext& context) {
        context.m_state.fillColor = color;
        context.BeginPath(false, true, mode);
        context.AddRect(rect);
        context.EndPath();
    });
}

CFunctionDrawable Line(const CPoint2& from, const CPoint2& to, float width, int mode)
{
    return CFunctionDrawable([=](CGraphicsContext& context) {
        context.m_state.penWidth = width;
        context.BeginLine(mode);
        context.MoveTo(from);
        context.LineTo(to);
        context.EndPath();
    });
}

CFunctionDrawable Box()
{
    return CFunctionDrawable([](CGraphicsContext& context) {
        context.SetColor(0xFF2080C0);
        context.DrawBox(CBox3(0.0f, 10.0f, 0.0f, 10.0f, 0.0f, 10.0f), 16);
    });
}

// The distinct window columns and rows of a map mesh's vertices.
std::set<float> Columns(const CCountingRenderer::CMeshRecord& mesh)
{
    std::set<float> values;
    for (const CGraphicsVertex& v : mesh.vertices)
        values.insert(v.x);
    return values;
}

std::set<float> Rows(const CCountingRenderer::CMeshRecord& mesh)
{
    std::set<float> values;
    for (const CGraphicsVertex& v : mesh.vertices)
        values.insert(-v.y);
    return values;
}

bool AllWhole(const CCountingRenderer::CMeshRecord& mesh)
{
    for (const CGraphicsVertex& v : mesh.vertices)
        if (std::fabs(v.x - std::round(v.x)) > 1e-3f || std::fabs(v.y - std::round(v.y)) > 1e-3f)
            return false;
    return true;
}

void ExpectNear(const std::set<float>& expected, const std::set<float>& actual, const char* what)
{
    ASSERT_EQ(expected.size(), actual.size()) << what;
    auto e = expected.begin();
    for (float value : actual)
        EXPECT_NEAR(*e++, value, 1e-3f) << what;
}

}  // namespace

// ---- The mesh cache ----------------------------------------------------------------

TEST(RendererCache, AnUnchangedSceneBuildsNoMeshTheSecondTime)
{
    CFunctionDrawable rect = FilledRect(CRectF(5.0f, 5.0f, 40.0f, 30.0f), 0xFF0000FF);
    CFunctionDrawable box = Box();
    CScene scene(true, 2);
    scene.items = {&rect, &box};
    scene.is3D = {false, true};
    CCountingRenderer renderer;
    renderer.Render(scene, 100.0f, 80.0f);
    EXPECT_EQ(2u, renderer.meshes.size());
    EXPECT_EQ(2, renderer.draws);
    EXPECT_EQ(1, renderer.begin3D);

    renderer.Render(scene, 100.0f, 80.0f);
    EXPECT_EQ(2u, renderer.meshes.size());
    EXPECT_EQ(4, renderer.draws);
    EXPECT_EQ(2u, renderer.GetCachedMeshCount());
    EXPECT_EQ(0, renderer.destroyed);

    // New key bytes: built again, and the old mesh goes when the frame ends.
    rect.MakeUniqueKey();
    renderer.Render(scene, 100.0f, 80.0f);
    EXPECT_EQ(3u, renderer.meshes.size());
    EXPECT_EQ(1, renderer.destroyed);
    EXPECT_EQ(2u, renderer.GetCachedMeshCount());
}

TEST(RendererCache, AResizeDropsExactlyTheViewDependentMeshes)
{
    CFunctionDrawable line = Line(CPoint2(10.3f, 20.4f), CPoint2(50.6f, 20.4f), 1.0f, 1);
    CFunctionDrawable box = Box();
    CScene scene(true, 2);
    scene.items = {&line, &box};
    scene.is3D = {false, true};
    CCountingRenderer renderer;
    renderer.Render(scene, 100.0f, 80.0f);
    ASSERT_EQ(2u, renderer.meshes.size());
    renderer.Render(scene, 120.0f, 80.0f);
    EXPECT_EQ(3u, renderer.meshes.size());
    EXPECT_EQ(1, renderer.destroyed);
    // The line was built again, the box came from the cache.
    EXPECT_EQ(renderer.meshes[0].vertices.size(), renderer.meshes[2].vertices.size());
    renderer.Render(scene, 120.0f, 80.0f);
    EXPECT_EQ(3u, renderer.meshes.size());
}

TEST(RendererCache, EqualKeysShareOneMeshAtEveryPlacementOfTheSameLight)
{
    CFunctionDrawable box = Box();
    const auto placed = [&box](float dx, float turnX) {
        return [&box, dx, turnX](CGraphicsContext& context) {
            const CTransform matrix = context.m_state.matrix;
            context.m_state.matrix.SetTranslation(dx, 0.0f, 0.0f);
            context.m_state.matrix.RotateX(turnX);
            context.DrawDrawable(box, 0, 0);
            context.m_state.matrix = matrix;
        };
    };
    struct CCase
    {
        float secondTurn;
        size_t boxMeshes;
    } cases[] = {{0.0f, 1}, {180.0f, 2}};
    for (const CCase& c : cases) {
        CFunctionDrawable two([&](CGraphicsContext& context) {
            placed(20.0f, 0.0f)(context);
            placed(50.0f, c.secondTurn)(context);
        });
        CScene scene(true, 1);
        scene.items = {&two};
        scene.is3D = {true};
        CCountingRenderer renderer;
        renderer.Render(scene, 100.0f, 80.0f);
        // Upside down the light comes from below: a mesh of its own.
        EXPECT_EQ(c.boxMeshes, renderer.meshes.size()) << c.secondTurn;
        EXPECT_EQ(2, renderer.draws) << c.secondTurn;
    }
}

TEST(RendererCache, LightKindsFollowTheLightInTheDrawablesFrame)
{
    struct CCase
    {
        CVector3 light;
        int kind;
    } cases[] = {
        {CVector3(0.0f, 0.0f, 0.0f), 0},   {CVector3(0.0f, 0.0f, 1.0f), 99},
        {CVector3(0.0f, 0.0f, -1.0f), -98}, {CVector3(1.0f, 0.0f, 0.0f), 990000},
        {CVector3(0.0f, -1.0f, 0.0f), -9800},
    };
    for (const CCase& c : cases)
        EXPECT_EQ(c.kind, CRenderer::LightKind(c.light)) << c.light.x << c.light.y << c.light.z;

    // The same drawable flat (no light) and as a 3D item: two meshes.
    CFunctionDrawable box = Box();
    CScene scene(true, 2);
    scene.items = {&box, &box};
    scene.is3D = {false, true};
    CCountingRenderer renderer;
    renderer.Render(scene, 100.0f, 80.0f);
    ASSERT_EQ(2u, renderer.meshes.size());
    EXPECT_FALSE(renderer.meshes[0].perVertexColour);
    EXPECT_TRUE(renderer.meshes[1].perVertexColour);
}

TEST(RendererCache, AMeshOutsideTheViewIsNotDrawnFromTheCache)
{
    CFunctionDrawable inside = FilledRect(CRectF(5.0f, 5.0f, 40.0f, 30.0f), 0xFF0000FF);
    CFunctionDrawable outside = FilledRect(CRectF(500.0f, 5.0f, 540.0f, 30.0f), 0xFF0000FF);
    CScene scene(true, 2);
    scene.items = {&inside, &outside};
    CCountingRenderer renderer;
    renderer.Render(scene, 100.0f, 80.0f);
    EXPECT_EQ(2, renderer.draws);
    renderer.Render(scene, 100.0f, 80.0f);
    EXPECT_EQ(3, renderer.draws);
    EXPECT_EQ(2u, renderer.GetCachedMeshCount());
}

TEST(RendererCache, ATargetWithoutPixelsCallsNothingOfTheBackEnd)
{
    CFunctionDrawable rect = FilledRect(CRectF(5.0f, 5.0f, 40.0f, 30.0f), 0xFF0000FF);
    CScene scene(true, 1);
    scene.items = {&rect};
    CCountingRenderer renderer;
    EXPECT_EQ(0, CountReports([&] {
        renderer.Render(scene, 0.0f, 80.0f);
        renderer.Render(scene, 100.0f, 0.0f);
    }));
    EXPECT_EQ(0, renderer.frames);
    EXPECT_TRUE(renderer.meshes.empty());
}

// ---- Batches -----------------------------------------------------------------------

TEST(RendererBatches, ADrawableOfMoreThan65536VerticesMakesTwoBackEndMeshes)
{
    const int count = 70000;
    CFunctionDrawable strip([](CGraphicsContext& context) {
        context.BeginVertices(2, false, 2);
        for (int i = 0; i < count; ++i)
            context.AddVertex(CVector3(float(i) * 0.01f, float(i % 2), 0.0f));
        context.EndVertices();
    });
    CScene scene(true, 1);
    scene.items = {&strip};
    CCountingRenderer renderer;
    renderer.Render(scene, 100.0f, 80.0f);
    ASSERT_EQ(2u, renderer.meshes.size());
    EXPECT_EQ(65536u, renderer.meshes[0].vertices.size());
    EXPECT_GE(65536u, renderer.meshes[1].vertices.size());
    // Every triangle of the strip is drawn, none twice.
    EXPECT_EQ(size_t(count - 2), renderer.meshes[0].triangles + renderer.meshes[1].triangles);
    // Both are parts of the one cached mesh.
    EXPECT_EQ(1u, renderer.GetCachedMeshCount());
    renderer.Render(scene, 100.0f, 80.0f);
    EXPECT_EQ(2u, renderer.meshes.size());
}

TEST(RendererBatches, ABatchTellsWhetherItIsOfOneColourAndOpaque)
{
    CFunctionDrawable opaque = FilledRect(CRectF(5.0f, 5.0f, 40.0f, 30.0f), 0xFF0000FF);
    CFunctionDrawable translucent = FilledRect(CRectF(5.0f, 5.0f, 40.0f, 30.0f), 0x800000FF);
    CFunctionDrawable lit = Box();
    struct CCase
    {
        CDrawable* drawable;
        bool is3D;
        bool perVertexColour;
        bool opaque;
    } cases[] = {{&opaque, false, false, true}, {&translucent, false, false, false}, {&lit, true, true, true}};
    for (const CCase& c : cases) {
        CScene scene(true, 1);
        scene.items = {c.drawable};
        scene.is3D = {c.is3D};
        CCountingRenderer renderer;
        renderer.Render(scene, 100.0f, 80.0f);
        ASSERT_EQ(1u, renderer.meshes.size());
        EXPECT_EQ(c.perVertexColour, renderer.meshes[0].perVertexColour);
        EXPECT_EQ(c.opaque, renderer.meshes[0].opaque);
    }
}

TEST(RendererBatches, ImagesBecomeTexturesOnceAndTheHatchRepeatsEveryEightPixels)
{
    CPixelBitmap picture(4.0f, 4.0f);
    CFunctionDrawable pictures([&picture](CGraphicsContext& context) {
        context.DrawBitmap(picture, CRectF(0.0f, 0.0f, 10.0f, 10.0f));
        context.DrawBitmap(picture, CRectF(20.0f, 0.0f, 30.0f, 10.0f));
    });
    CFunctionDrawable hatched([](CGraphicsContext& context) {
        context.SetFillPattern(1);
        context.m_state.fillColor = 0xFF0000FF;
        context.BeginPath(false, true, 1);
        context.AddRect(CRectF(0.0f, 0.0f, 16.0f, 16.0f));
        context.EndPath();
    });
    CScene scene(true, 2);
    scene.items = {&pictures, &hatched};
    CCountingRenderer renderer;
    renderer.Render(scene, 100.0f, 80.0f);
    const std::vector<const CPixelBitmap*> expected = {&picture, &CRenderer::GetHatchTexture()};
    EXPECT_EQ(expected, renderer.textures);
    const CCountingRenderer::CMeshRecord* hatch = nullptr;
    for (const CCountingRenderer::CMeshRecord& mesh : renderer.meshes)
        if (mesh.image == &CRenderer::GetHatchTexture())
            hatch = &mesh;
    ASSERT_NE(nullptr, hatch);
    const CGraphicsVertex* corner = nullptr;
    const CGraphicsVertex* right = nullptr;
    for (const CGraphicsVertex& v : hatch->vertices) {
        if (v.x == 0.0f && v.y == 0.0f)
            corner = &v;
        if (v.x == 16.0f && v.y == 0.0f)
            right = &v;
    }
    ASSERT_TRUE(corner && right);
    // 16 pixels along the row: two repeats of the hatch on either axis.
    EXPECT_NEAR(2.0f, right->u - corner->u, 1e-4f);
    EXPECT_NEAR(2.0f, right->v - corner->v, 1e-4f);
}

// ---- Pixel alignment -----------------------------------------------------------------

TEST(RendererAlignment, ThinLinesAndFillEdgesLandOnWholePixels)
{
    struct CCase
    {
        const char* what;
        CFunctionDrawable drawable;
        std::set<float> columns;
        std::set<float> rows;
    } cases[] = {
        // One pixel wide: the centre on a pixel centre, 0.01 pixel narrower.
        {"odd width", Line(CPoint2(10.3f, 20.4f), CPoint2(50.6f, 20.4f), 1.0f, 1), {10.5f, 50.5f}, {20.005f, 20.995f}},
        // Two pixels: the centre on a pixel edge.
        {"even width", Line(CPoint2(10.3f, 20.4f), CPoint2(50.6f, 20.4f), 2.0f, 1), {10.0f, 51.0f}, {19.005f, 20.995f}},
        {"width rounded", Line(CPoint2(10.3f, 20.4f), CPoint2(50.6f, 20.4f), 1.4f, 1), {10.5f, 50.5f}, {20.005f, 20.995f}},
        {"mode 0", Line(CPoint2(10.3f, 20.4f), CPoint2(50.6f, 20.4f), 1.0f, 0), {10.3f, 50.6f}, {19.9f, 20.9f}},
        {"fill", FilledRect(CRectF(10.3f, 10.4f, 30.6f, 20.7f), 0xFF0000FF, 1), {10.0f, 31.0f}, {10.0f, 21.0f}},
    };
    for (CCase& c : cases) {
        CScene scene(true, 1);
        scene.items = {&c.drawable};
        CCountingRenderer renderer;
        renderer.Render(scene, 100.0f, 80.0f);
        ASSERT_EQ(1u, renderer.meshes.size()) << c.what;
        ExpectNear(c.columns, Columns(renderer.meshes[0]), c.what);
        ExpectNear(c.rows, Rows(renderer.meshes[0]), c.what);
    }
}

TEST(RendererAlignment, OnlyStraightSegmentsAlignUnlessEverySegmentMay)
{
    // 30 degrees: not straight across the screen.
    const CPoint2 from(10.2f, 10.2f), to(50.2f, 33.294f);
    CFunctionDrawable straightOnly = Line(from, to, 1.0f, 1);
    CFunctionDrawable every = Line(from, to, 1.0f, 2);
    CScene scene(true, 2);
    scene.items = {&straightOnly, &every};
    CCountingRenderer renderer;
    renderer.Render(scene, 100.0f, 80.0f);
    ASSERT_EQ(2u, renderer.meshes.size());
    EXPECT_FALSE(AllWhole(renderer.meshes[0]));
    // The ribbon's middle runs through pixel centres.
    const std::vector<CGraphicsVertex>& v = renderer.meshes[1].vertices;
    ASSERT_EQ(4u, v.size());
    EXPECT_NEAR(10.5f, (v[0].x + v[1].x) / 2.0f, 1e-3f);
    EXPECT_NEAR(10.5f, -(v[0].y + v[1].y) / 2.0f, 1e-3f);
    EXPECT_NEAR(50.5f, (v[2].x + v[3].x) / 2.0f, 1e-3f);
    EXPECT_NEAR(33.5f, -(v[2].y + v[3].y) / 2.0f, 1e-3f);
}

TEST(RendererAlignment, APlaneSeenAtASlantIsLeftAlone)
{
    CFunctionDrawable line = Line(CPoint2(-50.3f, 0.4f), CPoint2(50.6f, 0.4f), 1.0f, 1);
    CScene scene(false, 1);
    scene.items = {&line};
    scene.nearDepth = 10.0f;
    scene.farDepth = 10000.0f;
    scene.transform.SetTranslation(0.0f, -400.0f, 300.0f);
    scene.transform.RotateX(60.0f);
    CCountingRenderer renderer;
    renderer.Render(scene, 100.0f, 80.0f);
    ASSERT_EQ(1u, renderer.meshes.size());
    ExpectNear({-50.3f, 50.6f}, Columns(renderer.meshes[0]), "slant");
    renderer.Render(scene, 120.0f, 80.0f);
    EXPECT_EQ(1u, renderer.meshes.size());
}

// ---- Text ----------------------------------------------------------------------------

TEST(RendererText, TextFrom5To20PixelsIsDrawnOnWholePixelsFromItsOwnGlyphs)
{
    const struct
    {
        float size;
        bool pixelGlyphs;
    } cases[] = {{4.0f, false}, {5.0f, true}, {20.0f, true}, {21.0f, false}};
    const CTextBitmap& atlas = CTextBitmap::Instance();
    for (const auto& c : cases) {
        CFunctionDrawable text([&c](CGraphicsContext& context) {
            context.m_state.font = CFontMetrics(c.size, false);
            context.m_state.textAlignV = 5;
            context.DrawText(L"Hi", 10.3f, 40.6f);
        });
        CScene scene(true, 1);
        scene.items = {&text};
        CCountingRenderer renderer;
        renderer.Render(scene, 200.0f, 100.0f);
        ASSERT_EQ(1u, renderer.meshes.size()) << c.size;
        EXPECT_EQ(c.pixelGlyphs, atlas.HasGlyph(CFontMetrics(c.size, false), L'H', false)) << c.size;
        EXPECT_TRUE(atlas.HasGlyph(CFontMetrics(c.pixelGlyphs ? c.size : 100.0f, false), L'i', false)) << c.size;
        EXPECT_EQ(c.pixelGlyphs, AllWhole(renderer.meshes[0])) << c.size;
        // Two quads in the text colour over the atlas.
        EXPECT_EQ(4u, renderer.meshes[0].triangles) << c.size;
        EXPECT_FALSE(renderer.meshes[0].perVertexColour) << c.size;
        EXPECT_EQ(0xFF000000u, renderer.meshes[0].vertices[0].color) << c.size;
    }
}

TEST(RendererText, BlackOnWhiteTextKeepsTheGlyphsColoursUnderWhiteQuads)
{
    CFunctionDrawable text([](CGraphicsContext& context) {
        context.m_state.font = CFontMetrics(12.0f, false);
        context.m_state.fillColor = 0xFFFFFFFF;
        context.DrawText(L"ok", 10.0f, 10.0f);
    });
    CScene scene(true, 1);
    scene.items = {&text};
    CCountingRenderer renderer;
    renderer.Render(scene, 200.0f, 100.0f);
    ASSERT_EQ(1u, renderer.meshes.size());
    EXPECT_EQ(0xFFFFFFFFu, renderer.meshes[0].vertices[0].color);
    EXPECT_TRUE(CTextBitmap::Instance().HasGlyph(CFontMetrics(12.0f, false), L'o', true));
}

// ---- Life ----------------------------------------------------------------------------

TEST(RendererLife, CachesLeftByTheBackEndAreReported)
{
    CFunctionDrawable rect = FilledRect(CRectF(5.0f, 5.0f, 40.0f, 30.0f), 0xFF0000FF);
    CScene scene(true, 1);
    scene.items = {&rect};
    EXPECT_EQ(0, CountReports([&] {
        CCountingRenderer renderer;
        renderer.Render(scene, 100.0f, 80.0f);
    }));
    // A renderer whose caches are not cleared before it goes.
    struct CLeaving : CRenderer
    {
        CGraphicsBackEnd& GetGraphicsSystem() const override { return CGdiGraphicsSystem::Instance(); }
        void AttachToWindow(HWND) override {}
        bool BeginFrame() override { return true; }
        void EndFrame() override {}
        void Begin3D() override {}
        void End3D() override {}
        CTexture* CreateTexture() override { return new CTexture(); }
        CMesh* CreateMesh(bool, bool, CTexture*) override
        {
            struct CNoMesh : CMesh
            {
                void Draw(const CTransform&) override {}
            };
            return new CNoMesh();
        }
    };
    EXPECT_EQ(1, CountReports([&] {
        CLeaving renderer;
        renderer.SetScene(&scene);
        renderer.SetViewport(100.0f, 80.0f);
        renderer.RenderScene();
    }));
}
