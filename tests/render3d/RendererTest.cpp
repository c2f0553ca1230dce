#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "graphics/PixelBitmap.h"
#include "render3d/TextBitmap.h"
#include "tests/render3d/RendererTestSupport.h"
#include "tests/support/FailureReports.h"

// The renderer core through a back end that only counts: the mesh cache,
// batches, textures, culling, pixel alignment and text. Scenes are maps
// (one scene unit a pixel, y down) unless a test says otherwise.

namespace {

// The distinct window columns (or rows) of a map mesh's vertices.
std::set<float> Coordinates(const CCountingRenderer::CMeshRecord& mesh, bool rows)
{
    std::set<float> values;
    for (const CGraphicsVertex& v : mesh.vertices)
        values.insert(rows ? -v.y : v.x);
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

TEST(RendererCache, FramesBuildOnlyWhatChangedOrWhatASizeChangeMoved)
{
    CFunctionDrawable rect = FilledRect(CRectF(5.0f, 5.0f, 40.0f, 30.0f), 0xFF0000FF);
    CFunctionDrawable line = Line(CPoint2(10.3f, 20.4f), CPoint2(50.6f, 20.4f), 1.0f, 1);
    CFunctionDrawable box = Box();
    CFunctionDrawable outside = FilledRect(CRectF(500.0f, 5.0f, 540.0f, 30.0f), 0xFF0000FF);
    CScene scene(true, 4);
    scene.items = {&rect, &line, &box, &outside};
    scene.is3D = {false, false, true, false};
    CCountingRenderer renderer;
    struct CStep
    {
        float width;
        bool newKey;
        size_t built;
        int draws;
        int destroyed;
    } steps[] = {
        // Every mesh is drawn as it is built.
        {100.0f, false, 4, 4, 0},
        // From the cache; the one outside the view is not drawn.
        {100.0f, false, 4, 7, 0},
        // A new size: the line, on whole pixels, is built again.
        {120.0f, false, 5, 10, 1},
        // New key bytes: built again, the old mesh goes at the frame's end.
        {120.0f, true, 6, 13, 2},
    };
    for (const CStep& step : steps) {
        if (step.newKey)
            rect.MakeUniqueKey();
        renderer.Render(scene, step.width, 80.0f);
        EXPECT_EQ(step.built, renderer.meshes.size()) << step.width << step.newKey;
        EXPECT_EQ(step.draws, renderer.draws) << step.width << step.newKey;
        EXPECT_EQ(step.destroyed, renderer.destroyed) << step.width << step.newKey;
        EXPECT_EQ(4u, renderer.GetCachedMeshCount());
    }
    EXPECT_EQ(4, renderer.begin3D);
    // No pixels: nothing of the back end is called.
    EXPECT_EQ(0, CountReports([&] {
        renderer.Render(scene, 0.0f, 80.0f);
        renderer.Render(scene, 100.0f, 0.0f);
    }));
    EXPECT_EQ(4, renderer.frames);
}

TEST(RendererCache, EqualKeysShareAMeshWhereTheLightInTheirOwnFrameIsOfOneKind)
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

    // Flat (no light), as a 3D item twice upright and once upside down (lit
    // from below): three meshes for four placements.
    CFunctionDrawable box = Box();
    CFunctionDrawable three([&box](CGraphicsContext& context) {
        const float turns[] = {0.0f, 0.0f, 180.0f};
        for (int i = 0; i < 3; ++i) {
            context.m_state.matrix.SetIdentity();
            context.m_state.matrix.SetTranslation(30.0f * float(i), 0.0f, 0.0f);
            context.m_state.matrix.RotateX(turns[i]);
            context.DrawDrawable(box, 0, 0);
        }
    });
    CScene scene(true, 2);
    scene.items = {&box, &three};
    scene.is3D = {false, true};
    CCountingRenderer renderer;
    renderer.Render(scene, 400.0f, 80.0f);
    ASSERT_EQ(3u, renderer.meshes.size());
    EXPECT_FALSE(renderer.meshes[0].perVertexColour);
    EXPECT_TRUE(renderer.meshes[1].perVertexColour);
    EXPECT_EQ(4, renderer.draws);
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
        ExpectNear(c.columns, Coordinates(renderer.meshes[0], false), c.what);
        ExpectNear(c.rows, Coordinates(renderer.meshes[0], true), c.what);
    }
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
    ExpectNear({-50.3f, 50.6f}, Coordinates(renderer.meshes[0], false), "slant");
    renderer.Render(scene, 120.0f, 80.0f);
    EXPECT_EQ(1u, renderer.meshes.size());
}

// ---- Text ----------------------------------------------------------------------------

TEST(RendererText, TextFrom5To20PixelsIsDrawnOnWholePixelsFromGlyphsOfItsSize)
{
    const struct
    {
        float size;
        uint32_t fill;
        bool pixelGlyphs;
        // Black on white keeps the glyphs' colours under white quads.
        bool colourMode;
    } cases[] = {{4.0f, 0xFF808080, false, false},
                 {5.0f, 0xFF808080, true, false},
                 {20.0f, 0xFF808080, true, false},
                 {21.0f, 0xFF808080, false, false},
                 {12.0f, 0xFFFFFFFF, true, true}};
    const CTextBitmap& atlas = CTextBitmap::Instance();
    for (const auto& c : cases) {
        CFunctionDrawable text([&c](CGraphicsContext& context) {
            context.m_state.font = CFontMetrics(c.size, false);
            context.m_state.fillColor = c.fill;
            context.m_state.textAlignV = 5;
            context.DrawText(L"Hi", 10.3f, 40.6f);
        });
        CScene scene(true, 1);
        scene.items = {&text};
        CCountingRenderer renderer;
        renderer.Render(scene, 200.0f, 100.0f);
        ASSERT_EQ(1u, renderer.meshes.size()) << c.size;
        const CCountingRenderer::CMeshRecord& mesh = renderer.meshes[0];
        EXPECT_EQ(c.pixelGlyphs, atlas.HasGlyph(CFontMetrics(c.size, false), L'H', c.colourMode)) << c.size;
        const float glyphSize = c.pixelGlyphs ? c.size : CRenderer::kReferenceTextSize;
        EXPECT_TRUE(atlas.HasGlyph(CFontMetrics(glyphSize, false), L'i', c.colourMode)) << c.size;
        EXPECT_EQ(c.pixelGlyphs, AllWhole(mesh)) << c.size;
        // Two quads of one colour over the atlas.
        EXPECT_EQ(4u, mesh.triangles) << c.size;
        EXPECT_FALSE(mesh.perVertexColour) << c.size;
        EXPECT_EQ(c.colourMode ? 0xFFFFFFFFu : 0xFF000000u, mesh.vertices[0].color) << c.size;
    }
}

// ---- Life ----------------------------------------------------------------------------

TEST(RendererLife, CachesTheBackEndLeavesAreReported)
{
    CFunctionDrawable rect = FilledRect(CRectF(5.0f, 5.0f, 40.0f, 30.0f), 0xFF0000FF);
    CScene scene(true, 1);
    scene.items = {&rect};
    for (bool clear : {true, false}) {
        EXPECT_EQ(clear ? 0 : 1, CountReports([&] {
            CCountingRenderer renderer;
            renderer.clearOnExit = clear;
            renderer.Render(scene, 100.0f, 80.0f);
        }));
    }
}
