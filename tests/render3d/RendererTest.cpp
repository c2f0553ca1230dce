#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "graphics/PixelBitmap.h"
#include "render3d/TextBitmap.h"
#include "tests/render3d/RendererTestSupport.h"
#include "tests/support/FailureReports.h"

// The renderer core through a back end that only counts. Scenes are maps (a unit a pixel, y down).

namespace {

CFunctionDrawable Line(float width, int mode, CPoint2 from = CPoint2(10.3f, 20.4f), CPoint2 to = CPoint2(50.6f, 20.4f))
{
    return CFunctionDrawable([=](CGraphicsContext& context) {
        context.m_state.penWidth = width;
        context.BeginLine(mode);
        context.MoveTo(from);
        context.LineTo(to);
        context.EndPath();
    });
}

// The distinct columns (or rows, y up) of the mesh's vertices.
void ExpectCoordinates(const std::set<float>& expected, const CCountingRenderer::CMeshRecord& mesh, bool rows,
                       const char* what)
{
    std::set<float> actual;
    for (const CGraphicsVertex& v : mesh.vertices)
        actual.insert(rows ? -v.y : v.x);
    ASSERT_EQ(expected.size(), actual.size()) << what;
    auto e = expected.begin();
    for (float value : actual)
        EXPECT_NEAR(*e++, value, 1e-3f) << what;
}

}  // namespace

TEST(RendererCache, FramesBuildOnlyWhatChangedOrWhatASizeChangeMoved)
{
    CFunctionDrawable rect = FilledRect(CRectF(5.0f, 5.0f, 40.0f, 30.0f), 0xFF0000FF);
    CFunctionDrawable line = Line(1.0f, 1);
    CFunctionDrawable box = Box();
    CFunctionDrawable outside = FilledRect(CRectF(500.0f, 5.0f, 540.0f, 30.0f), 0xFF0000FF);
    CCountedFrame f({&rect, &line, &box, &outside}, {false, false, true, false});
    // A back-end mesh per item, the one outside made but not drawn. Then: from the cache; a new size rebuilds the
    // line on whole pixels; new key bytes rebuild the rect and drop its old mesh.
    EXPECT_EQ(4u, f.renderer.meshes.size());
    EXPECT_EQ(3, f.renderer.draws);
    struct
    {
        float width;
        bool newKey;
        size_t built;
        int draws, destroyed;
    } steps[] = {{100.0f, false, 4, 6, 0}, {120.0f, false, 5, 9, 1}, {120.0f, true, 6, 12, 2}};
    for (const auto& step : steps) {
        if (step.newKey)
            rect.MakeUniqueKey();
        f.renderer.Render(f.scene, step.width, 80.0f);
        EXPECT_EQ(step.built, f.renderer.meshes.size()) << step.width << step.newKey;
        EXPECT_EQ(step.draws, f.renderer.draws) << step.width << step.newKey;
        EXPECT_EQ(step.destroyed, f.renderer.destroyed) << step.width << step.newKey;
        EXPECT_EQ(4u, f.renderer.GetCachedMeshCount());
    }
    EXPECT_EQ(4, f.renderer.begin3D);
    // No pixels: nothing of the back end is called.
    EXPECT_EQ(0, CountReports([&] {
        f.renderer.Render(f.scene, 0.0f, 80.0f);
        f.renderer.Render(f.scene, 100.0f, 0.0f);
    }));
    EXPECT_EQ(4, f.renderer.frames);
    // Caches a back end leaves to the core are reported.
    for (bool clear : {true, false}) {
        EXPECT_EQ(clear ? 0 : 1, CountReports([&] {
            CCountedFrame other({&rect});
            other.renderer.clearOnExit = clear;
        }));
    }
}

TEST(RendererCache, EqualKeysShareAMeshWhereTheLightInTheirOwnFrameIsOfOneKind)
{
    const struct
    {
        CVector3 light;
        int kind;
    } cases[] = {{CVector3(0.0f, 0.0f, 0.0f), 0},   {CVector3(0.0f, 0.0f, 1.0f), 99},
                 {CVector3(0.0f, 0.0f, -1.0f), -98}, {CVector3(1.0f, 0.0f, 0.0f), 990000},
                 {CVector3(0.0f, -1.0f, 0.0f), -9800}};
    for (const auto& c : cases)
        EXPECT_EQ(c.kind, CRenderer::LightKind(c.light)) << c.light.x << c.light.y << c.light.z;

    // Flat, then 3D twice upright and once upside down: three meshes for four placements.
    CFunctionDrawable box = Box();
    CFunctionDrawable three([&box](CGraphicsContext& context) {
        for (int i = 0; i < 3; ++i) {
            context.m_state.matrix.SetIdentity();
            context.m_state.matrix.SetTranslation(30.0f * float(i), 0.0f, 0.0f);
            context.m_state.matrix.RotateX(i == 2 ? 180.0f : 0.0f);
            context.DrawDrawable(box, 0, 0);
        }
    });
    CCountedFrame f({&box, &three}, {false, true}, 400.0f);
    EXPECT_EQ(4u, f.renderer.GetCachedMeshCount());
    // One back-end mesh per item: the flat box of one colour, the three lit boxes shaded.
    ASSERT_EQ(2u, f.renderer.meshes.size());
    EXPECT_FALSE(f.renderer.meshes[0].Shaded());
    EXPECT_TRUE(f.renderer.meshes[1].Shaded());
    EXPECT_EQ(3 * f.renderer.meshes[0].vertices.size(), f.renderer.meshes[1].vertices.size());
    EXPECT_EQ(2, f.renderer.draws);
}

TEST(RendererBatches, ADrawableOfMoreThan65536VerticesMakesTwoBackEndMeshes)
{
    const int count = 70000;
    CFunctionDrawable strip([](CGraphicsContext& context) {
        context.BeginVertices(2, false, 2);
        for (int i = 0; i < count; ++i)
            context.AddVertex(CVector3(float(i) * 0.01f, float(i % 2), 0.0f));
        context.EndVertices();
    });
    // Wide enough to show the whole strip, every triangle however thin.
    CCountedFrame f({&strip}, {}, 800.0f, 80.0f, 0);
    const auto& meshes = f.renderer.meshes;
    ASSERT_EQ(2u, meshes.size());
    EXPECT_EQ(65536u, meshes[0].vertices.size());
    EXPECT_EQ(size_t(count - 2), meshes[0].Triangles() + meshes[1].Triangles());
    // Both parts of the one cached mesh.
    EXPECT_EQ(1u, f.renderer.GetCachedMeshCount());
    f.renderer.Render(f.scene, 800.0f, 80.0f);
    EXPECT_EQ(2u, meshes.size());
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
        FillRect(context, CRectF(0.0f, 0.0f, 16.0f, 16.0f), 0xFF0000FF, 1);
    });
    CCountedFrame f({&pictures, &hatched});
    const CPixelBitmap* hatch = &CRenderer::GetHatchTexture();
    EXPECT_EQ(std::vector<const CPixelBitmap*>({&picture, hatch}), f.renderer.textures);
    // The top corners, 16 pixels apart: two repeats on either axis.
    const CGraphicsVertex* corners[2] = {};
    for (const CCountingRenderer::CMeshRecord& mesh : f.renderer.meshes)
        for (const CRenderer::CRun& run : mesh.runs)
            for (size_t i = run.firstIndex; i < run.firstIndex + run.indexCount; ++i) {
                const CGraphicsVertex& v = mesh.vertices[mesh.indices[i]];
                if (mesh.Image(run) == hatch && v.y == 0.0f && (v.x == 0.0f || v.x == 16.0f))
                    corners[v.x > 0.0f] = &v;
            }
    ASSERT_TRUE(corners[0] && corners[1]);
    EXPECT_NEAR(2.0f, corners[1]->u - corners[0]->u, 1e-4f);
    EXPECT_NEAR(2.0f, corners[1]->v - corners[0]->v, 1e-4f);
}

TEST(RendererBatches, ABatchTellsItsColoursAndOpacityAndLandsOnWholePixelsButNotOnASlantedPlane)
{
    // Odd line widths centre on a pixel centre, even ones on an edge, 0.01 pixel narrower; no columns: not checked.
    struct
    {
        const char* what;
        CFunctionDrawable drawable;
        bool is3D, perVertexColour, opaque;
        std::set<float> columns, rows;
    } cases[] = {
        {"odd width", Line(1.0f, 1), false, false, true, {10.5f, 50.5f}, {20.005f, 20.995f}},
        {"even width", Line(2.0f, 1), false, false, true, {10.0f, 51.0f}, {19.005f, 20.995f}},
        {"width rounded", Line(1.4f, 1), false, false, true, {10.5f, 50.5f}, {20.005f, 20.995f}},
        {"mode 0", Line(1.0f, 0), false, false, true, {10.3f, 50.6f}, {19.9f, 20.9f}},
        {"fill", FilledRect(CRectF(10.3f, 10.4f, 30.6f, 20.7f), 0xFF0000FF, 1), false, false, true, {10.0f, 31.0f},
         {10.0f, 21.0f}},
        {"translucent", FilledRect(CRectF(5.0f, 5.0f, 40.0f, 30.0f), 0x800000FF), false, false, false, {}, {}},
        {"lit", Box(), true, true, true, {}, {}},
    };
    for (auto& c : cases) {
        CCountedFrame f({&c.drawable}, {c.is3D});
        ASSERT_EQ(1u, f.renderer.meshes.size()) << c.what;
        ASSERT_EQ(1u, f.renderer.meshes[0].runs.size()) << c.what;
        EXPECT_EQ(c.perVertexColour, f.renderer.meshes[0].Shaded()) << c.what;
        EXPECT_EQ(c.opaque, f.renderer.meshes[0].runs[0].opaque) << c.what;
        if (c.columns.empty())
            continue;
        ExpectCoordinates(c.columns, f.renderer.meshes[0], false, c.what);
        ExpectCoordinates(c.rows, f.renderer.meshes[0], true, c.what);
    }

    // Seen at a slant: left alone, and not rebuilt on resize.
    CFunctionDrawable line = Line(1.0f, 1, CPoint2(-50.3f, 0.4f), CPoint2(50.6f, 0.4f));
    CScene scene(false, 1);
    scene.items = {&line};
    scene.nearDepth = 10.0f;
    scene.farDepth = 10000.0f;
    scene.transform.SetTranslation(0.0f, -400.0f, 300.0f);
    scene.transform.RotateX(60.0f);
    CCountingRenderer renderer;
    renderer.Render(scene, 100.0f, 80.0f);
    ASSERT_EQ(1u, renderer.meshes.size());
    ExpectCoordinates({-50.3f, 50.6f}, renderer.meshes[0], false, "slant");
    renderer.Render(scene, 120.0f, 80.0f);
    EXPECT_EQ(1u, renderer.meshes.size());
}

TEST(RendererText, TextFrom5To20PixelsIsDrawnOnWholePixelsFromGlyphsOfItsSize)
{
    // The last: black on white keeps the glyphs' colours under white quads.
    const struct
    {
        float size;
        uint32_t fill;
        bool pixelGlyphs, colourMode;
    } cases[] = {{4.0f, 0xFF808080, false, false}, {5.0f, 0xFF808080, true, false},
                 {20.0f, 0xFF808080, true, false}, {21.0f, 0xFF808080, false, false},
                 {12.0f, 0xFFFFFFFF, true, true}};
    const CTextBitmap& atlas = CTextBitmap::Instance();
    for (const auto& c : cases) {
        CFunctionDrawable text([&c](CGraphicsContext& context) {
            context.m_state.font = CFontMetrics(c.size, false);
            context.m_state.fillColor = c.fill;
            context.m_state.textAlignV = 5;
            context.DrawText(L"Hi", 10.3f, 40.6f);
        });
        CCountedFrame f({&text}, {}, 200.0f, 100.0f);
        ASSERT_EQ(1u, f.renderer.meshes.size()) << c.size;
        const CCountingRenderer::CMeshRecord& mesh = f.renderer.meshes[0];
        EXPECT_EQ(c.pixelGlyphs, atlas.HasGlyph(CFontMetrics(c.size, false), L'H', c.colourMode)) << c.size;
        const float glyphSize = c.pixelGlyphs ? c.size : CRenderer::kReferenceTextSize;
        EXPECT_TRUE(atlas.HasGlyph(CFontMetrics(glyphSize, false), L'i', c.colourMode)) << c.size;
        const bool whole = std::all_of(mesh.vertices.begin(), mesh.vertices.end(), [](const CGraphicsVertex& v) {
            return std::fabs(v.x - std::round(v.x)) < 1e-3f && std::fabs(v.y - std::round(v.y)) < 1e-3f;
        });
        EXPECT_EQ(c.pixelGlyphs, whole) << c.size;
        // Two quads of one colour over the atlas.
        EXPECT_EQ(4u, mesh.Triangles()) << c.size;
        EXPECT_FALSE(mesh.Shaded()) << c.size;
        EXPECT_EQ(c.colourMode ? 0xFFFFFFFFu : 0xFF000000u, mesh.vertices[0].color) << c.size;
    }
}

// ---- Segments ----------------------------------------------------------------------------

TEST(RendererSegments, AnItemRemakesOnlyTheSegmentsOfWhatChangedOrOfWhatTheViewPlaces)
{
    CFunctionDrawable first = FilledRect(CRectF(5.0f, 5.0f, 30.0f, 30.0f), 0xFF0000FF);
    CFunctionDrawable label = FilledRect(CRectF(-5.0f, -5.0f, 5.0f, 5.0f), 0xFF00FF00);
    CFunctionDrawable last = FilledRect(CRectF(60.0f, 50.0f, 90.0f, 70.0f), 0xFFFF0000);
    // The label between the others, at constant screen size (placed by the view), cuts the item into three
    // segments.
    CFunctionDrawable layer([&](CGraphicsContext& context) {
        context.DrawDrawable(first, 0, 0);
        context.m_state.matrix.SetTranslation(50.0f, -40.0f, 0.0f);
        context.DrawDrawable(label, 1, 0);
        context.m_state.matrix.SetIdentity();
        context.DrawDrawable(last, 0, 0);
    });
    CCountedFrame f({&layer});
    EXPECT_EQ(3u, f.renderer.meshes.size());
    EXPECT_EQ(3, f.renderer.draws);
    // The layer drawn anew: every segment taken over; one of its drawables changed: its segment alone made again;
    // the view turned: the label's alone.
    struct
    {
        const char* what;
        CDrawable* changed;
        float turn;
        size_t built;
        int destroyed;
    } steps[] = {{"layer anew", nullptr, 0.0f, 3, 0}, {"last changed", &last, 0.0f, 4, 1},
                 {"view turned", nullptr, 30.0f, 5, 2}};
    for (const auto& step : steps) {
        if (step.changed)
            step.changed->MakeUniqueKey();
        layer.MakeUniqueKey();
        f.scene.transform.RotateZ(step.turn);
        f.renderer.Render(f.scene, 100.0f, 80.0f);
        EXPECT_EQ(step.built, f.renderer.meshes.size()) << step.what;
        EXPECT_EQ(step.destroyed, f.renderer.destroyed) << step.what;
    }
}

TEST(RendererSegments, TheViewIsGivenOnlyTheTrianglesItCanShow)
{
    // Outside the view, facing away in a 3D item, or falling between the samples of the pixels (at their centres,
    // or Direct3D's four): left out. Slivers over a sample are shown.
    CFunctionDrawable discs([](CGraphicsContext& context) {
        context.SetColor(0xFF2080C0);
        context.m_state.matrix.SetTranslation(50.0f, -40.0f, 0.0f);
        for (bool facingDown : {false, true})
            context.DrawDisc(10.0f, 8, 0.0f, facingDown, 0, 0);
    });
    struct
    {
        const char* what;
        CFunctionDrawable drawable;
        bool is3D;
        int samples;
        size_t shown;
    } cases[] = {
        {"outside", FilledRect(CRectF(-40.0f, 10.0f, -20.0f, 30.0f), 0xFF0000FF), false, 1, 0},
        {"facing away", discs, true, 1, 8},
        {"between centres", FilledRect(CRectF(10.6f, 10.0f, 11.4f, 13.0f), 0xFF0000FF), false, 1, 0},
        {"over centres", FilledRect(CRectF(10.4f, 10.0f, 10.6f, 13.0f), 0xFF0000FF), false, 1, 2},
        {"between four", FilledRect(CRectF(10.0f, 10.2f, 11.0f, 10.3f), 0xFF0000FF), false, 4, 0},
        {"over one of four", FilledRect(CRectF(10.0f, 10.1f, 11.0f, 10.15f), 0xFF0000FF), false, 4, 2},
    };
    for (auto& c : cases) {
        CCountedFrame f({&c.drawable}, {c.is3D}, 100.0f, 80.0f, c.samples);
        ASSERT_EQ(1u, f.renderer.meshes.size()) << c.what;
        EXPECT_EQ(c.shown, f.renderer.meshes[0].Triangles()) << c.what;
        EXPECT_EQ(c.shown > 0 ? 1 : 0, f.renderer.draws) << c.what;
    }
}

TEST(RendererSegments, RunsOfATextureJoinAcrossRunsWhosePixelsAreNotTheirs)
{
    // A rectangle with a picture on it, twice, and a picture elsewhere: apart, two runs (rectangles, pictures);
    // with the second rectangle over the first picture, it stays after it, and the pictures after it join.
    CPixelBitmap picture(4.0f, 4.0f);
    float secondLeft = 0.0f;
    CFunctionDrawable twice([&](CGraphicsContext& context) {
        for (float left : {10.0f, secondLeft}) {
            FillRect(context, CRectF(left, 10.0f, left + 10.0f, 20.0f), 0xFF0000FF, 0);
            context.DrawBitmap(picture, CRectF(left, 10.0f, left + 10.0f, 20.0f));
        }
        context.DrawBitmap(picture, CRectF(60.0f, 40.0f, 70.0f, 50.0f));
    });
    const struct
    {
        float secondLeft;
        std::vector<bool> textured;
    } cases[] = {{40.0f, {false, true}}, {15.0f, {false, true, false, true}}};
    for (const auto& c : cases) {
        secondLeft = c.secondLeft;
        CCountedFrame f({&twice});
        ASSERT_EQ(1u, f.renderer.meshes.size());
        std::vector<bool> textured;
        for (const CRenderer::CRun& run : f.renderer.meshes[0].runs)
            textured.push_back(run.texture != nullptr);
        EXPECT_EQ(c.textured, textured) << c.secondLeft;
    }
}

TEST(RendererSegments, ABackEndThatDrawsUntexturedTrianglesWithATextureJoinsTheirRunsToItsRuns)
{
    CCountingRenderer::CCountedTexture p, q;
    p.opaque = q.opaque = true;
    using CRun = CRenderer::CRun;
    // Each run as its first index + its count, its texture, "~" when blended.
    const auto text = [&](const std::vector<CRun>& runs) {
        std::string joined;
        for (const CRun& run : runs)
            joined += std::to_string(run.firstIndex) + "+" + std::to_string(run.indexCount) +
                      (run.texture == &p ? "p" : run.texture == &q ? "q" : "") + (run.opaque ? " " : "~ ");
        return joined;
    };
    const struct
    {
        const char* what;
        std::vector<CRun> runs;
        std::string joined;
    } cases[] = {
        {"around a texture",
         {{0, 6, nullptr, true}, {6, 6, &p, true}, {12, 6, nullptr, true}, {18, 3, &q, false}},
         "0+18p 18+3q~ "},
        {"blended", {{0, 6, nullptr, false}, {6, 6, &p, true}}, "0+12p~ "},
        {"apart", {{0, 6, nullptr, true}, {9, 6, &p, true}}, "0+6 9+6p "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.joined, text(CRenderer::JoinRuns(c.runs))) << c.what;
}
