#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>

#include "foundation/CrashLog.h"
#include "foundation/FontMetrics.h"
#include "graphics/GdiBitmap.h"
#include "graphics/GdiGraphics.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "tests/support/CanvasTestHelpers.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "ui/Scene.h"

namespace {

const uint32_t kBackground = 0xFFF4F4F4;
const uint32_t kWhite = 0xFFFFFFFF;
const uint32_t kBlack = 0xFF000000;
const uint32_t kRed = 0xFF0000FF;
const uint32_t kBlue = 0xFFC03010;
const uint32_t kDarkBlue = 0xFF500000;
const uint32_t kHatchGreen = 0xFF008000;
const uint32_t kCurveGreen = 0xFF20A020;
const uint32_t kYellow = 0xFF80FFFF;
const uint32_t kPurple = 0xFF800080;
const uint32_t kOrange = 0xFF0080FF;

const std::wstring kText = L"Caf\u00E9 \u6771 ok";
const float kTextX = 20.0f;
const float kTextY = 150.0f;
const float kTextSize = 20.0f;

// The picture drawn into the scene: 4 x 4 cells, red on the diagonal
// parity, white elsewhere, with a blue top-left cell to show it is upright.
CPixelBitmap MakeChecker()
{
    CPixelBitmap picture(4.0f, 4.0f);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            picture.SetPixel(x, y, (x + y) % 2 ? kRed : kWhite);
    picture.SetPixel(0, 0, kBlue);
    return picture;
}

CPoint2 BezierPoint(const CPoint2& p0, const CPoint2& p1, const CPoint2& p2, const CPoint2& p3, float t)
{
    const float u = 1.0f - t;
    const float a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return CPoint2(a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y);
}

const CPoint2 kCurve[4] = {{20.0f, 225.0f}, {60.0f, 170.0f}, {110.0f, 250.0f}, {150.0f, 195.0f}};

// The fixed test scene: filled and stroked shapes, a hatch, straight,
// dashed and curved lines, text with an accent and a CJK character, a
// picture and a nested drawable, in four items.
class CTestScene
{
public:
    CTestScene()
        : checker(MakeChecker()),
          shapes([](CGraphicsContext& gc) {
              gc.m_state.fillColor = kRed;
              gc.m_state.penColor = kBlack;
              gc.BeginPath(true, true, 1);
              gc.AddRect(CRectF(20.0f, 20.0f, 100.0f, 80.0f));
              gc.EndPath();

              gc.m_state.fillColor = kBlue;
              gc.m_state.penColor = kDarkBlue;
              gc.m_state.penWidth = 3.0f;
              gc.BeginPath(true, true, 1);
              gc.AddCircle(160.0f, 50.0f, 30.0f);
              gc.EndPath();

              gc.SetFillPattern(1);
              gc.m_state.fillColor = kHatchGreen;
              gc.BeginPath(false, true, 1);
              gc.AddRect(CRectF(210.0f, 20.0f, 300.0f, 80.0f));
              gc.EndPath();
              gc.SetFillPattern(0);
          }),
          lines([](CGraphicsContext& gc) {
              gc.m_state.penColor = kBlack;
              gc.m_state.penWidth = 3.0f;
              gc.BeginLine(1);
              gc.MoveTo(20.0f, 105.0f);
              gc.LineTo(290.0f, 105.0f);
              gc.EndPath();
              gc.DrawArrowHead(305.0f, 105.0f, 1.0f, 0.0f, 15.0f);

              gc.m_state.penWidth = 2.0f;
              gc.SetDashStyle(1);
              gc.BeginLine(1);
              gc.MoveTo(20.0f, 118.0f);
              gc.LineTo(300.0f, 118.0f);
              gc.EndPath();
              gc.SetDashStyle(2);
              gc.BeginLine(1);
              gc.MoveTo(20.0f, 131.0f);
              gc.LineTo(300.0f, 131.0f);
              gc.EndPath();
              gc.SetDashStyle(0);

              gc.m_state.penColor = kCurveGreen;
              gc.m_state.penWidth = 4.0f;
              gc.BeginLine(1);
              gc.AddBezierSegment({kCurve[0], kCurve[1], kCurve[2], kCurve[3]});
              gc.EndPath();
          }),
          text([](CGraphicsContext& gc) {
              gc.m_state.font = CFontMetrics(kTextSize, false);
              gc.m_state.textColor = kBlack;
              gc.m_state.fillColor = kYellow;
              gc.DrawText(kText, kTextX, kTextY);
          }),
          triangle([](CGraphicsContext& gc) {
              gc.m_state.fillColor = kPurple;
              gc.m_state.penColor = kOrange;
              gc.m_state.penWidth = 2.0f;
              gc.BeginPath(true, true, 1);
              gc.MoveTo(-10.0f, 8.0f);
              gc.LineTo(10.0f, 8.0f);
              gc.LineTo(0.0f, -12.0f);
              gc.EndPath();
          }),
          pictures([this](CGraphicsContext& gc) {
              gc.DrawBitmap(checker, CRectF(170.0f, 150.0f, 230.0f, 210.0f));
              gc.m_state.matrix.SetPosition2D(270.0f, 190.0f);
              gc.m_state.matrix.Scale(1.5f);
              gc.DrawDrawable(triangle, 0, 0);
          }),
          scene(true, 6)
    {
        scene.background = kBackground;
        scene.items[0] = &shapes;
        scene.items[1] = &lines;
        scene.items[3] = &text;
        scene.items[4] = &pictures;
        scene.is3D[4] = true;
    }

    CPixelBitmap checker;
    CFunctionDrawable shapes;
    CFunctionDrawable lines;
    CFunctionDrawable text;
    CFunctionDrawable triangle;
    CFunctionDrawable pictures;
    CScene scene;
};

uint32_t PixelOf(const CPixelBitmap& picture, int x, int y) { return picture.GetPixel(x, y); }

int CountInRect(const CPixelBitmap& picture, int left, int top, int right, int bottom, uint32_t color)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += picture.GetPixel(x, y) == color ? 1 : 0;
    return n;
}

// Pixels of ink: text may be smoothed, so its edges are shades of grey.
int CountDarkInRect(const CPixelBitmap& picture, int left, int top, int right, int bottom)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const uint32_t c = picture.GetPixel(x, y);
            n += (c & 0xFF) < 110 && ((c >> 8) & 0xFF) < 110 && ((c >> 16) & 0xFF) < 110 ? 1 : 0;
        }
    return n;
}

// Whether a pixel of the colour lies within one pixel of (x, y).
bool NearColor(const CPixelBitmap& picture, float x, float y, uint32_t color)
{
    const int cx = int(std::floor(x)), cy = int(std::floor(y));
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (picture.GetPixel(cx + dx, cy + dy) == color)
                return true;
    return false;
}

}  // namespace

TEST(RenderScene, FixedSceneRendersIntoADibSection)
{
    CTestScene test;
    CGdiBitmap dib;
    int reports = -1;
    reports = CountReports([&] { ASSERT_TRUE(dib.RenderScene(test.scene, 320.0f, 240.0f)); });
    EXPECT_EQ(0, reports);
    CPixelBitmap picture;
    ASSERT_TRUE(dib.GetPixels(picture));
    ASSERT_EQ(320, picture.GetPixelWidth());
    ASSERT_EQ(240, picture.GetPixelHeight());

    const std::wstring path = GetTestArtefactPath(L"gdi-canvas-scene.png");
    CPngCodec png;
    EXPECT_TRUE(png.Save(picture, path, false, nullptr));
    std::printf("GDI canvas test scene: %ls\n", path.c_str());

    // Background outside everything.
    EXPECT_EQ(kBackground, PixelOf(picture, 5, 5));
    EXPECT_EQ(kBackground, PixelOf(picture, 310, 235));
    EXPECT_EQ(kBackground, PixelOf(picture, 200, 90));

    // The red rectangle with its one-pixel black outline.
    EXPECT_EQ(kRed, PixelOf(picture, 60, 50));
    EXPECT_EQ(kBlack, PixelOf(picture, 20, 50));
    EXPECT_EQ(kRed, PixelOf(picture, 22, 50));
    EXPECT_EQ(kBlack, PixelOf(picture, 60, 20));
    EXPECT_EQ(kBackground, PixelOf(picture, 60, 17));

    // The blue disc inside a 3-pixel dark outline.
    EXPECT_EQ(kBlue, PixelOf(picture, 160, 50));
    EXPECT_EQ(kBlue, PixelOf(picture, 180, 50));
    EXPECT_EQ(kDarkBlue, PixelOf(picture, 160, 20));
    EXPECT_EQ(kDarkBlue, PixelOf(picture, 190, 50));
    EXPECT_EQ(kBackground, PixelOf(picture, 160, 15));

    // The hatch: green lines on white, nothing of the background inside.
    const int green = CountInRect(picture, 212, 22, 298, 78, kHatchGreen);
    const int white = CountInRect(picture, 212, 22, 298, 78, kWhite);
    EXPECT_EQ(86 * 56, green + white);
    EXPECT_GT(green, 86 * 56 / 8);

    // The solid line of width 3 and its arrow head.
    EXPECT_EQ(kBlack, PixelOf(picture, 150, 104));
    EXPECT_EQ(kBlack, PixelOf(picture, 150, 105));
    EXPECT_EQ(kBlack, PixelOf(picture, 150, 106));
    EXPECT_EQ(kBackground, PixelOf(picture, 150, 102));
    EXPECT_EQ(kBackground, PixelOf(picture, 150, 108));
    EXPECT_EQ(kBlack, PixelOf(picture, 300, 105));

    // Dashes of 4 with gaps of 4 from x = 20; long dashes of 12 with gaps of 4.
    int dashes = 0;
    for (int x = 20; x < 300; ++x) {
        const bool dash = (x - 20) % 8 < 4;
        const uint32_t expected = dash ? kBlack : kBackground;
        if ((x - 20) % 4 == 1 || (x - 20) % 4 == 2) {
            EXPECT_EQ(expected, PixelOf(picture, x, 118)) << "x " << x;
        }
        dashes += PixelOf(picture, x, 118) == kBlack && PixelOf(picture, x - 1, 118) != kBlack ? 1 : 0;
    }
    EXPECT_EQ(35, dashes);
    EXPECT_EQ(kBlack, PixelOf(picture, 25, 131));
    EXPECT_EQ(kBlack, PixelOf(picture, 30, 131));
    EXPECT_EQ(kBackground, PixelOf(picture, 34, 131));
    EXPECT_EQ(kBlack, PixelOf(picture, 40, 131));

    // The curve passes through its mid point and quarter points.
    for (float t : {0.25f, 0.5f, 0.75f}) {
        const CPoint2 p = BezierPoint(kCurve[0], kCurve[1], kCurve[2], kCurve[3], t);
        EXPECT_TRUE(NearColor(picture, p.x, p.y, kCurveGreen)) << "t " << t;
    }
    EXPECT_EQ(kBackground, PixelOf(picture, 80, 180));

    // Text: black glyphs on a yellow box; the accented letter has ink above
    // the x-height, the CJK character its cell.
    CFontMetrics font(kTextSize, false);
    const float caf = font.GetStringWidth(L"Caf");
    const float eacute = font.GetCharAdvance(L'\u00E9');
    const int cellTop = int(kTextY), cellBottom = int(kTextY + font.GetHeight());
    EXPECT_GT(CountDarkInRect(picture, int(kTextX), cellTop, int(kTextX + caf), cellBottom), 20);
    EXPECT_GT(CountDarkInRect(picture, int(kTextX + caf), cellTop, int(kTextX + caf + eacute), cellBottom), 8);
    const float baseline = kTextY + font.GetAscent();
    const float xHeight = baseline - font.size * 0.52f;
    EXPECT_GT(CountDarkInRect(picture, int(kTextX + caf), cellTop, int(kTextX + caf + eacute), int(xHeight) - 1), 0);
    const float cjkLeft = kTextX + font.GetStringWidth(L"Caf\u00E9 ");
    const float cjkRight = cjkLeft + font.GetCharAdvance(L'\u6771');
    EXPECT_GT(CountInRect(picture, int(cjkLeft), cellTop, int(cjkRight), cellBottom, kYellow), 0);
    EXPECT_EQ(kBackground, PixelOf(picture, int(kTextX) - 3, int(baseline)));
    const float textRight = kTextX + font.GetStringWidth(kText);
    EXPECT_EQ(kBackground, PixelOf(picture, int(textRight) + 3, int(baseline)));
    EXPECT_EQ(kYellow, PixelOf(picture, int(textRight) - 1, cellTop + 1));

    // The picture, upright: 15-pixel cells with the blue one top left.
    EXPECT_EQ(kBlue, PixelOf(picture, 177, 157));
    EXPECT_EQ(kRed, PixelOf(picture, 192, 157));
    EXPECT_EQ(kWhite, PixelOf(picture, 207, 157));
    EXPECT_EQ(kRed, PixelOf(picture, 177, 172));
    EXPECT_EQ(kRed, PixelOf(picture, 207, 202));
    EXPECT_EQ(kWhite, PixelOf(picture, 222, 202));

    // The nested triangle, placed at (270, 190) at 1.5 times its size.
    EXPECT_EQ(kPurple, PixelOf(picture, 270, 192));
    EXPECT_EQ(kOrange, PixelOf(picture, 270, 202));
    EXPECT_EQ(kBackground, PixelOf(picture, 270, 206));
    EXPECT_EQ(kBackground, PixelOf(picture, 250, 180));
}

TEST(RenderScene, TransparentBackgroundLeavesTheDeviceAsItWas)
{
    CFunctionDrawable square([](CGraphicsContext& gc) {
        gc.m_state.fillColor = kRed;
        gc.BeginPath(false, true, 1);
        gc.AddRect(CRectF(4.0f, 4.0f, 12.0f, 12.0f));
        gc.EndPath();
    });
    CScene scene(true, 2);
    scene.background = 0x00FFFFFF;
    scene.items[1] = &square;
    CDibCanvas target(32, 32);
    target.Clear(RGB(0, 200, 0));
    target.canvas.SetScene(&scene);
    target.canvas.SetViewport(32.0f, 32.0f);
    EXPECT_EQ(0, CountReports([&] { target.canvas.RenderScene(); }));
    EXPECT_EQ(0xFF00C800u, target.Pixel(20, 20));
    EXPECT_EQ(kRed, target.Pixel(8, 8));

    scene.background = 0xFF0000FF;
    target.canvas.RenderScene();
    EXPECT_EQ(kRed, target.Pixel(20, 20));
}

TEST(RenderScene, ViewTransformAndOffsetsPlaceTheScene)
{
    CFunctionDrawable square([](CGraphicsContext& gc) {
        gc.m_state.fillColor = kBlack;
        gc.BeginPath(false, true, 1);
        gc.AddRect(CRectF(10.0f, 10.0f, 20.0f, 20.0f));
        gc.EndPath();
    });
    CScene scene(true, 1);
    scene.items[0] = &square;
    // Camera space to scene space halves, so the scene is drawn twice as big.
    scene.transform.Scale(0.5f);
    CDibCanvas target(48, 48);
    target.canvas.SetScene(&scene);
    target.canvas.SetViewport(48.0f, 48.0f, 200.0f, 200.0f, 5.0f, 5.0f);
    target.canvas.RenderScene();
    EXPECT_EQ(kWhite, target.Pixel(14, 14));
    EXPECT_EQ(kBlack, target.Pixel(15, 15));
    EXPECT_EQ(kBlack, target.Pixel(34, 34));
    EXPECT_EQ(kWhite, target.Pixel(35, 35));
}

TEST(RenderScene, PerspectiveScalesByTheCameraAtTheScenesDepth)
{
    const float half = 20.0f;
    CFunctionDrawable square([&](CGraphicsContext& gc) {
        gc.m_state.fillColor = kBlack;
        gc.BeginPath(false, true, 1);
        gc.AddRect(CRectF(-half, -half, half, half));
        gc.EndPath();
    });
    CScene scene(false, 1);
    scene.items[0] = &square;
    scene.nearDepth = 1.0f;
    scene.farDepth = 5000.0f;
    scene.transform.SetTranslation(0.0f, 0.0f, 400.0f);
    CDibCanvas target(100, 80);
    target.canvas.SetScene(&scene);
    target.canvas.SetViewport(100.0f, 80.0f);
    EXPECT_FALSE(target.canvas.GetCamera().IsOrthographic());
    const float perPixel = target.canvas.GetCamera().ScaleAtDepth(400.0f);
    ASSERT_GT(perPixel, 0.0f);
    EXPECT_EQ(0, CountReports([&] { target.canvas.RenderScene(); }));
    const float reach = half / perPixel;
    ASSERT_GT(reach, 3.0f);
    ASSERT_LT(reach, 35.0f);
    EXPECT_EQ(kBlack, target.Pixel(50, 40));
    EXPECT_EQ(kBlack, target.Pixel(int(50 + reach) - 1, int(40 + reach) - 1));
    EXPECT_EQ(kBlack, target.Pixel(int(50 - reach) + 1, int(40 - reach) + 1));
    EXPECT_EQ(kWhite, target.Pixel(int(50 + reach) + 1, 40));
    EXPECT_EQ(kWhite, target.Pixel(50, int(40 - reach) - 2));
}

TEST(RenderScene, EmptyViewportDrawsNothing)
{
    CFunctionDrawable square([](CGraphicsContext& gc) {
        gc.m_state.fillColor = kRed;
        gc.BeginPath(false, true, 1);
        gc.AddRect(CRectF(0.0f, 0.0f, 8.0f, 8.0f));
        gc.EndPath();
    });
    for (bool mapMode : {true, false}) {
        CScene scene(mapMode, 1);
        scene.items[0] = &square;
        scene.transform.SetTranslation(0.0f, 0.0f, 100.0f);
        CDibCanvas target(16, 16);
        target.canvas.SetScene(&scene);
        target.canvas.SetViewport(0.0f, 0.0f);
        EXPECT_EQ(0, CountReports([&] { target.canvas.RenderScene(); })) << mapMode;
        EXPECT_EQ(16 * 16, target.CountColor(0, 0, 16, 16, kWhite)) << mapMode;

        CGdiBitmap dib;
        bool drawn = true;
        EXPECT_EQ(0, CountReports([&] { drawn = dib.RenderScene(scene, 0.0f, 30.0f); }));
        EXPECT_FALSE(drawn);
        EXPECT_EQ(nullptr, dib.GetBits());
    }
}

TEST(RenderScene, SceneInTheEyeIsReportedAndOnlyTheBackgroundDrawn)
{
    CFunctionDrawable square([](CGraphicsContext& gc) {
        gc.m_state.fillColor = kRed;
        gc.BeginPath(false, true, 1);
        gc.AddRect(CRectF(-4.0f, -4.0f, 4.0f, 4.0f));
        gc.EndPath();
    });
    CScene scene(false, 1);
    scene.items[0] = &square;
    scene.background = kBackground;
    CDibCanvas target(16, 16);
    target.canvas.SetScene(&scene);
    target.canvas.SetViewport(16.0f, 16.0f);
    EXPECT_EQ(1, CountReports([&] { target.canvas.RenderScene(); }));
    EXPECT_EQ(16 * 16, target.CountColor(0, 0, 16, 16, kBackground));
}

TEST(RenderScene, WithoutASceneNothingIsDrawn)
{
    CDibCanvas target(8, 8);
    target.canvas.SetViewport(8.0f, 8.0f);
    EXPECT_EQ(0, CountReports([&] { target.canvas.RenderScene(); }));
    EXPECT_EQ(64, target.CountColor(0, 0, 8, 8, kWhite));
}

TEST(RenderScene, ViewportTakesTheScenesProjectionAndDepth)
{
    CScene scene(false, 1);
    scene.nearDepth = 2.0f;
    scene.farDepth = 300.0f;
    CGdiGraphics canvas;
    canvas.SetScene(&scene);
    canvas.SetViewport(64.0f, 32.0f, 0.0f, 0.0f, 3.0f, 4.0f);
    EXPECT_FALSE(canvas.GetCamera().IsOrthographic());
    EXPECT_EQ(2.0f, canvas.GetCamera().GetNear());
    EXPECT_EQ(300.0f, canvas.GetCamera().GetFar());
    EXPECT_EQ(64.0f, canvas.GetCamera().GetProjectionWidth());
    EXPECT_EQ(32.0f, canvas.GetCamera().GetProjectionHeight());
    EXPECT_EQ(3.0f, canvas.GetCamera().GetOffsetX());
    EXPECT_EQ(4.0f, canvas.GetCamera().GetOffsetY());
    EXPECT_TRUE(scene.SetMapMode(true));
    canvas.SetViewport(64.0f, 32.0f);
    EXPECT_TRUE(canvas.GetCamera().IsOrthographic());
}

// A canvas that lives from frame to frame keeps, from its second frame on,
// what the drawables inside a scene's items drew, gives it again while their
// key and place are as they were, and draws anew what changed: every frame
// has the pixels a fresh canvas draws.
TEST(RenderScene, RepaintsGiveKeptDrawingsAgainAndDrawAnewWhatChanged)
{
    uint32_t squareColor = kRed;
    std::wstring label = L"12";
    CPixelBitmap picture = MakeChecker();
    CPoint2 squareAt(40.0f, 40.0f);
    int squareDraws = 0;
    int labelDraws = 0;
    int pictureDraws = 0;
    CFunctionDrawable square([&](CGraphicsContext& gc) {
        ++squareDraws;
        gc.m_state.fillColor = squareColor;
        gc.m_state.penWidth = 3.0f;
        gc.BeginPath(true, true, 1);
        gc.AddCircle(0.0f, 0.0f, 15.0f);
        gc.EndPath();
    });
    CFunctionDrawable text([&](CGraphicsContext& gc) {
        ++labelDraws;
        gc.m_state.font = CFontMetrics(kTextSize, true);
        gc.m_state.fillColor = kYellow;
        gc.DrawText(label, 0.0f, 0.0f);
    });
    CFunctionDrawable bitmap([&](CGraphicsContext& gc) {
        ++pictureDraws;
        gc.DrawBitmap(picture, CRectF(0.0f, 0.0f, 40.0f, 40.0f));
    });
    // One drawable drawn in two places in each frame.
    CFunctionDrawable dot([](CGraphicsContext& gc) {
        gc.m_state.fillColor = kPurple;
        gc.BeginPath(false, true, 1);
        gc.AddRect(CRectF(0.0f, 0.0f, 6.0f, 6.0f));
        gc.EndPath();
    });
    // The layer may draw its items backwards and leave the text out: the
    // kept drawings are found whatever the order of the frame before.
    bool reversed = false;
    bool textShown = true;
    CFunctionDrawable layer([&](CGraphicsContext& gc) {
        const std::pair<CDrawable*, CPoint2> items[] = {
            {&dot, CPoint2(10.0f, 100.0f)}, {&dot, CPoint2(140.0f, 100.0f)}, {&square, squareAt},
            {&text, CPoint2(60.0f, 90.0f)}, {&bitmap, CPoint2(110.0f, 20.0f)}};
        for (size_t i = 0; i < 5; ++i) {
            const auto& [drawable, at] = items[reversed ? 4 - i : i];
            if (drawable == &text && !textShown)
                continue;
            gc.m_state.matrix.SetPosition2D(at.x, at.y);
            gc.DrawDrawable(*drawable, 0, 0);
        }
    });
    CScene scene(true, 1);
    scene.items[0] = &layer;
    float offsetX = 0.0f;

    struct CStep
    {
        const char* change;
        std::function<void()> apply;
        // Whether the square and the label draw anew.
        bool squareDraws;
        bool labelDraws;
    };
    const CStep steps[] = {
        {"first frame", [] {}, true, true},
        {"second frame, the first kept", [] {}, true, true},
        {"nothing changed", [] {}, false, false},
        {"colour with a new key", [&] {
             squareColor = kBlue;
             square.MakeUniqueKey();
         }, true, false},
        {"square moved", [&] { squareAt = CPoint2(70.0f, 50.0f); }, true, false},
        {"text with a new key", [&] {
             label = L"7";
             text.MakeUniqueKey();
         }, false, true},
        {"picture's pixels", [&] { picture.SetPixel(0, 0, kBlack); }, false, false},
        {"drawn in reverse order", [&] { reversed = true; }, false, false},
        {"text left out", [&] { textShown = false; }, false, false},
        {"text back, first order", [&] {
             reversed = false;
             textShown = true;
         }, false, false},
        {"view scrolled", [&] { offsetX = 9.0f; }, true, true},
        {"nothing changed again", [] {}, false, false},
    };
    CDibCanvas kept(160, 120);
    kept.canvas.SetScene(&scene);
    for (const CStep& step : steps) {
        SCOPED_TRACE(step.change);
        step.apply();
        const int squareBefore = squareDraws, labelBefore = labelDraws, pictureBefore = pictureDraws;
        kept.canvas.SetViewport(160.0f, 120.0f, 160.0f, 120.0f, offsetX, 0.0f);
        kept.canvas.RenderScene();
        EXPECT_EQ(step.squareDraws, squareDraws != squareBefore);
        EXPECT_EQ(step.labelDraws, labelDraws != labelBefore);
        // A picture is drawn anew every frame.
        EXPECT_EQ(pictureBefore + 1, pictureDraws);

        CDibCanvas fresh(160, 120);
        fresh.canvas.SetScene(&scene);
        fresh.canvas.SetViewport(160.0f, 120.0f, 160.0f, 120.0f, offsetX, 0.0f);
        fresh.canvas.RenderScene();
        EXPECT_EQ(0, kept.CountDiffering(fresh));
    }
    EXPECT_EQ(kBlack, kept.Pixel(110 - 9, 20));
    EXPECT_EQ(kBlue, kept.Pixel(70 - 9, 50));
    EXPECT_EQ(kPurple, kept.Pixel(10 - 9 + 3, 103));
    EXPECT_EQ(kPurple, kept.Pixel(140 - 9 + 3, 103));

    // Into a metafile, whose records are the picture, everything draws.
    const int squareBefore = squareDraws;
    CMetafileRecords records([&](CGdiGraphics& canvas) {
        canvas.SetScene(&scene);
        canvas.SetViewport(160.0f, 120.0f, 160.0f, 120.0f, 0.0f, 0.0f);
        canvas.RenderScene();
        canvas.RenderScene();
    });
    EXPECT_EQ(squareBefore + 2, squareDraws);
}
