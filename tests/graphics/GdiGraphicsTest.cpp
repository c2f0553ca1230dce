#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <limits>
#include <vector>

#include "foundation/FontMetrics.h"
#include "graphics/GdiGraphics.h"
#include "graphics/GraphicsBackEnd.h"
#include "tests/graphics/ImageTestHelpers.h"
#include "tests/support/CanvasTestHelpers.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"

namespace {

const uint32_t kWhite = 0xFFFFFFFF;
const uint32_t kBlack = 0xFF000000;
const uint32_t kRed = 0xFF0000FF;
const uint32_t kBlue = 0xFFFF0000;

void VerticalLine(CGraphicsContext& gc, float x, float width, uint32_t color)
{
    gc.m_state.penWidth = width;
    gc.m_state.penColor = color;
    gc.BeginLine(1);
    gc.MoveTo(x, 2.0f);
    gc.LineTo(x, 30.0f);
    gc.EndPath();
}

void FilledSquare(CGraphicsContext& gc, float left, float top, float size, uint32_t color)
{
    gc.m_state.fillColor = color;
    gc.BeginPath(false, true, 1);
    gc.AddRect(CRectF(left, top, left + size, top + size));
    gc.EndPath();
}

}  // namespace

// ---- Pens --------------------------------------------------------------------------

TEST(GdiGraphics, ThinBlackLineOnScreenUsesTheStockPen)
{
    CDibCanvas target(32, 32);
    VerticalLine(target.canvas, 10.0f, 1.0f, kBlack);
    EXPECT_EQ(GetStockObject(BLACK_PEN), GetCurrentObject(target.dib.GetDC(), OBJ_PEN));
    EXPECT_EQ(kWhite, target.Pixel(9, 15));
    EXPECT_EQ(kBlack, target.Pixel(10, 15));
    EXPECT_EQ(kWhite, target.Pixel(11, 15));
}

TEST(GdiGraphics, ThinBlackLineInAMetafileGetsAPenOfItsOwn)
{
    CMetafileRecords emf([](CGdiGraphics& gc) { VerticalLine(gc, 10.0f, 1.0f, kBlack); });
    const std::vector<CMetafileRecords::CPen> pens = emf.Pens();
    ASSERT_EQ(1u, pens.size());
    EXPECT_EQ(DWORD(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER), pens[0].style);
    EXPECT_EQ(1u, pens[0].width);
    EXPECT_EQ(RGB(0, 0, 0), pens[0].color);
    // Metafiles are not shifted by the quarter pixel: 10 stays 10.
    const std::vector<std::string> moves = emf.OfType(EMR_MOVETOEX);
    ASSERT_EQ(1u, moves.size());
    EXPECT_EQ(10, CMetafileRecords::As<EMRMOVETOEX>(moves[0]).ptl.x);
}

TEST(GdiGraphics, PensAreMadeOnlyWhenWidthOrColourChange)
{
    CMetafileRecords emf([](CGdiGraphics& gc) {
        VerticalLine(gc, 10.0f, 3.0f, kRed);
        VerticalLine(gc, 12.0f, 3.0f, kRed);
        VerticalLine(gc, 14.0f, 3.0f, kBlue);
        VerticalLine(gc, 16.0f, 2.6f, kBlue);
        VerticalLine(gc, 18.0f, 4.0f, kBlue);
    });
    const std::vector<CMetafileRecords::CPen> pens = emf.Pens();
    ASSERT_EQ(3u, pens.size());
    EXPECT_EQ(3u, pens[0].width);
    EXPECT_EQ(RGB(255, 0, 0), pens[0].color);
    EXPECT_EQ(RGB(0, 0, 255), pens[1].color);
    // 2.6 rounds to the 3 of the blue pen in hand; 4 needs a new one.
    EXPECT_EQ(4u, pens[2].width);
}

TEST(GdiGraphics, PenWidthFollowsTheMatrixScale)
{
    CMetafileRecords emf([](CGdiGraphics& gc) {
        gc.m_state.matrix.Scale(2.5f);
        VerticalLine(gc, 4.0f, 3.0f, kRed);
    });
    const std::vector<CMetafileRecords::CPen> pens = emf.Pens();
    ASSERT_EQ(1u, pens.size());
    EXPECT_EQ(8u, pens[0].width);
    const std::vector<std::string> moves = emf.OfType(EMR_MOVETOEX);
    ASSERT_EQ(1u, moves.size());
    EXPECT_EQ(10, CMetafileRecords::As<EMRMOVETOEX>(moves[0]).ptl.x);
    EXPECT_EQ(5, CMetafileRecords::As<EMRMOVETOEX>(moves[0]).ptl.y);
}

TEST(GdiGraphics, APixelIsAsLongAsTheMatrixScaleMakesItOnBitmapsAndInMetafiles)
{
    CDibCanvas target(8, 8);
    EXPECT_FLOAT_EQ(1.0f, target.canvas.GetPixelSize());
    target.canvas.m_state.matrix.Scale(2.5f);
    EXPECT_FLOAT_EQ(0.4f, target.canvas.GetPixelSize());
    // A matrix that flattens everything has no pixel length.
    target.canvas.m_state.matrix.Scale(0.0f);
    EXPECT_EQ(0.0f, target.canvas.GetPixelSize());
    float recorded = 0.0f;
    CMetafileRecords emf([&](CGdiGraphics& gc) {
        gc.m_state.matrix.Scale(0.25f);
        recorded = gc.GetPixelSize();
    });
    EXPECT_FLOAT_EQ(4.0f, recorded);
}

TEST(GdiGraphics, OddPenWidthShiftsByAQuarterPixelEvenWidthDoesNot)
{
    // x = 10.5 rounds to 11 as it stands, to 10 after the quarter pixel.
    CDibCanvas one(32, 32);
    VerticalLine(one.canvas, 10.5f, 1.0f, kRed);
    EXPECT_EQ(kRed, one.Pixel(10, 15));
    EXPECT_EQ(kWhite, one.Pixel(11, 15));

    CDibCanvas three(32, 32);
    VerticalLine(three.canvas, 10.5f, 3.0f, kRed);
    EXPECT_EQ(kWhite, three.Pixel(8, 15));
    EXPECT_EQ(kRed, three.Pixel(9, 15));
    EXPECT_EQ(kRed, three.Pixel(11, 15));
    EXPECT_EQ(kWhite, three.Pixel(12, 15));

    CDibCanvas two(32, 32);
    VerticalLine(two.canvas, 10.5f, 2.0f, kRed);
    EXPECT_EQ(kWhite, two.Pixel(9, 15));
    EXPECT_EQ(kRed, two.Pixel(10, 15));
    EXPECT_EQ(kRed, two.Pixel(11, 15));
    EXPECT_EQ(kWhite, two.Pixel(12, 15));

    // The shift lasts only while the pen is selected for a path.
    CMetafileRecords emf([](CGdiGraphics& gc) { FilledSquare(gc, 10.5f, 10.5f, 4.0f, kRed); });
    const std::vector<std::string> moves = emf.OfType(EMR_MOVETOEX);
    ASSERT_EQ(1u, moves.size());
    EXPECT_EQ(11, CMetafileRecords::As<EMRMOVETOEX>(moves[0]).ptl.x);
}

// ---- Brushes ---------------------------------------------------------------------

TEST(GdiGraphics, WhiteAndBlackFillsUseStockBrushes)
{
    CDibCanvas target(32, 32);
    target.Clear(RGB(0, 255, 0));
    FilledSquare(target.canvas, 2.0f, 2.0f, 8.0f, kWhite);
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), GetCurrentObject(target.dib.GetDC(), OBJ_BRUSH));
    EXPECT_EQ(kWhite, target.Pixel(5, 5));
    FilledSquare(target.canvas, 12.0f, 2.0f, 8.0f, kBlack);
    EXPECT_EQ(GetStockObject(BLACK_BRUSH), GetCurrentObject(target.dib.GetDC(), OBJ_BRUSH));
    EXPECT_EQ(kBlack, target.Pixel(15, 5));
}

TEST(GdiGraphics, BrushesAreMadeOnlyWhenKindOrColourChange)
{
    CMetafileRecords emf([](CGdiGraphics& gc) {
        FilledSquare(gc, 0, 0, 4, kRed);
        FilledSquare(gc, 5, 0, 4, kRed);
        gc.SetFillPattern(1);
        FilledSquare(gc, 10, 0, 4, kRed);
        FilledSquare(gc, 15, 0, 4, kRed);
        // Hatched black is a brush of its own too.
        FilledSquare(gc, 20, 0, 4, kBlack);
    });
    const std::vector<std::string> brushes = emf.OfType(EMR_CREATEBRUSHINDIRECT);
    ASSERT_EQ(3u, brushes.size());
    const auto solid = CMetafileRecords::As<EMRCREATEBRUSHINDIRECT>(brushes[0]);
    EXPECT_EQ(UINT(BS_SOLID), solid.lb.lbStyle);
    EXPECT_EQ(RGB(255, 0, 0), solid.lb.lbColor);
    const auto hatch = CMetafileRecords::As<EMRCREATEBRUSHINDIRECT>(brushes[1]);
    EXPECT_EQ(UINT(BS_HATCHED), hatch.lb.lbStyle);
    EXPECT_EQ(ULONG_PTR(HS_DIAGCROSS), ULONG_PTR(hatch.lb.lbHatch));
    EXPECT_EQ(RGB(255, 0, 0), hatch.lb.lbColor);
    EXPECT_EQ(RGB(0, 0, 0), CMetafileRecords::As<EMRCREATEBRUSHINDIRECT>(brushes[2]).lb.lbColor);
}

TEST(GdiGraphics, OnABitmapPensAndBrushesAreKeptForTheirNextUse)
{
    CDibCanvas target(64, 32);
    const HDC dc = target.dib.GetDC();
    FilledSquare(target.canvas, 0, 0, 4, kRed);
    const HGDIOBJ red = GetCurrentObject(dc, OBJ_BRUSH);
    FilledSquare(target.canvas, 5, 0, 4, kBlue);
    FilledSquare(target.canvas, 10, 0, 4, kRed);
    EXPECT_EQ(red, GetCurrentObject(dc, OBJ_BRUSH));
    EXPECT_EQ(kRed, target.Pixel(12, 2));
    // Sixteen colours later the red brush is gone, and made again.
    for (uint32_t i = 1; i <= 16; ++i)
        FilledSquare(target.canvas, 20, 0, 4, 0xFF000000 | i);
    EXPECT_EQ(0u, GetObjectType(red));
    FilledSquare(target.canvas, 30, 0, 4, kRed);
    EXPECT_EQ(kRed, target.Pixel(32, 2));

    // A kept pen in a new context comes with the pens' miter limit.
    VerticalLine(target.canvas, 40.0f, 3.0f, kRed);
    CGdiBitmap other;
    ASSERT_TRUE(other.Create(16.0f, 16.0f));
    target.canvas.SetDeviceContext(other.GetDC());
    VerticalLine(target.canvas, 4.0f, 3.0f, kRed);
    FLOAT limit = 0.0f;
    ASSERT_TRUE(GetMiterLimit(other.GetDC(), &limit));
    EXPECT_EQ(2.0f, limit);
}

TEST(GdiGraphics, HatchedFillCrossesOnWhite)
{
    CDibCanvas target(40, 40);
    target.Clear(RGB(0, 255, 0));
    target.canvas.SetFillPattern(1);
    FilledSquare(target.canvas, 4.0f, 4.0f, 32.0f, kBlue);
    const int blue = target.CountColor(4, 4, 36, 36, kBlue);
    const int white = target.CountColor(4, 4, 36, 36, kWhite);
    EXPECT_EQ(32 * 32, blue + white);
    EXPECT_GT(blue, 32 * 32 / 8);
    EXPECT_GT(white, 32 * 32 / 2);
    EXPECT_EQ(0xFF00FF00u, target.Pixel(2, 2));
}

// ---- Paths ------------------------------------------------------------------------

TEST(GdiGraphics, CurvesReachGdiAsBeziers)
{
    CMetafileRecords emf([](CGdiGraphics& gc) {
        gc.BeginPath(true, true, 1);
        gc.AddCircle(20.0f, 20.0f, 10.0f);
        gc.EndPath();
    });
    EXPECT_EQ(1u, emf.OfType(EMR_BEGINPATH).size());
    EXPECT_EQ(2u, emf.OfType(EMR_POLYBEZIERTO16).size() + emf.OfType(EMR_POLYBEZIERTO).size());
    EXPECT_EQ(1u, emf.OfType(EMR_CLOSEFIGURE).size());
    EXPECT_EQ(1u, emf.OfType(EMR_ENDPATH).size());
    EXPECT_EQ(1u, emf.OfType(EMR_STROKEANDFILLPATH).size());
}

TEST(GdiGraphics, DashesArriveAsSeparateFigures)
{
    CMetafileRecords emf([](CGdiGraphics& gc) {
        gc.m_state.penWidth = 1.0f;
        gc.SetDashStyle(1);
        gc.BeginLine(1);
        gc.MoveTo(0.0f, 5.0f);
        gc.LineTo(16.0f, 5.0f);
        gc.EndPath();
    });
    // Dash 2, gap 2 over 16 units: four dashes.
    EXPECT_EQ(4u, emf.OfType(EMR_MOVETOEX).size());
    EXPECT_EQ(1u, emf.OfType(EMR_STROKEPATH).size());
}

TEST(GdiGraphics, APathDrawsAsItsFigureCommandsWould)
{
    // A path of two closed figures, one with a curve, stroked and filled,
    // then stroked only (a stroke closes only the figures closed), and an
    // open line. An even pen on whole pixels: the points reach GDI as they
    // stand.
    CDibCanvas canvas(64, 64);
    CGraphicsContext& gc = canvas.canvas;
    gc.m_state.penWidth = 2.0f;
    gc.m_state.penColor = kBlue;
    gc.m_state.fillColor = kRed;
    for (float left : {4.0f, 34.0f}) {
        gc.BeginPath(true, left < 30.0f, 1);
        gc.MoveTo(left, 4.0f);
        gc.LineTo(left + 20.0f, 6.0f);
        gc.AddBezier(CPoint2(left + 28.0f, 20.0f), CPoint2(left + 10.0f, 30.0f), CPoint2(left, 24.0f));
        gc.MoveTo(left + 2.0f, 34.0f);
        gc.LineTo(left + 22.0f, 44.0f);
        gc.LineTo(left + 5.0f, 50.0f);
        gc.EndPath();
    }
    gc.BeginLine(1);
    gc.MoveTo(4.0f, 60.0f);
    gc.LineTo(30.0f, 54.0f);
    gc.LineTo(60.0f, 60.0f);
    gc.EndPath();

    // The same, by GDI's figure commands.
    CDibCanvas commands(64, 64);
    const HDC dc = commands.dib.GetDC();
    LOGBRUSH solid = {BS_SOLID, RGB(0, 0, 255), 0};
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, 2, &solid, 0, nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    SetMiterLimit(dc, 2.0f, nullptr);
    for (int left : {4, 34}) {
        BeginPath(dc);
        MoveToEx(dc, left, 4, nullptr);
        LineTo(dc, left + 20, 6);
        const POINT curve[3] = {{left + 28, 20}, {left + 10, 30}, {left, 24}};
        PolyBezierTo(dc, curve, 3);
        CloseFigure(dc);
        MoveToEx(dc, left + 2, 34, nullptr);
        LineTo(dc, left + 22, 44);
        LineTo(dc, left + 5, 50);
        CloseFigure(dc);
        EndPath(dc);
        if (left < 30)
            StrokeAndFillPath(dc);
        else
            StrokePath(dc);
    }
    BeginPath(dc);
    MoveToEx(dc, 4, 60, nullptr);
    LineTo(dc, 30, 54);
    LineTo(dc, 60, 60);
    EndPath(dc);
    StrokePath(dc);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);

    EXPECT_EQ(0, canvas.CountDiffering(commands));
    EXPECT_EQ(kRed, canvas.Pixel(14, 12));
    EXPECT_EQ(kBlue, canvas.Pixel(34, 10));
    EXPECT_EQ(kWhite, canvas.Pixel(44, 12));
}

TEST(GdiGraphics, PathWithoutFiguresIsDiscardedQuietly)
{
    CDibCanvas target(16, 16);
    const int reports = CountReports([&] {
        target.canvas.BeginPath(true, true, 1);
        target.canvas.MoveTo(3.0f, 3.0f);
        target.canvas.EndPath();
    });
    EXPECT_EQ(0, reports);
    EXPECT_EQ(16 * 16, target.CountColor(0, 0, 16, 16, kWhite));
    CMetafileRecords emf([](CGdiGraphics& gc) {
        gc.BeginPath(false, true, 1);
        gc.EndPath();
    });
    EXPECT_EQ(1u, emf.OfType(EMR_ABORTPATH).size());
    EXPECT_EQ(0u, emf.OfType(EMR_FILLPATH).size());
}

TEST(GdiGraphics, PointThatIsNotANumberDiscardsItsPathOnly)
{
    CDibCanvas target(32, 32);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const int reports = CountReports([&] {
        target.canvas.m_state.fillColor = kRed;
        target.canvas.BeginPath(false, true, 1);
        target.canvas.MoveTo(2.0f, 2.0f);
        target.canvas.LineTo(20.0f, 2.0f);
        target.canvas.LineTo(nan, 20.0f);
        target.canvas.EndPath();
    });
    EXPECT_EQ(1, reports);
    EXPECT_EQ(32 * 32, target.CountColor(0, 0, 32, 32, kWhite));
    FilledSquare(target.canvas, 4.0f, 4.0f, 8.0f, kBlue);
    EXPECT_EQ(kBlue, target.Pixel(8, 8));
}

TEST(GdiGraphics, FarPointsAreClampedToTheDeviceRange)
{
    CDibCanvas target(32, 32);
    const int reports = CountReports([&] {
        target.canvas.m_state.fillColor = kRed;
        target.canvas.BeginPath(false, true, 1);
        target.canvas.MoveTo(-1e30f, -1e30f);
        target.canvas.LineTo(-1e30f, 16.0f);
        target.canvas.LineTo(1e30f, 16.0f);
        target.canvas.LineTo(1e30f, -1e30f);
        target.canvas.EndPath();
    });
    EXPECT_EQ(0, reports);
    EXPECT_EQ(kRed, target.Pixel(5, 5));
    EXPECT_EQ(kRed, target.Pixel(30, 15));
    EXPECT_EQ(kWhite, target.Pixel(5, 20));
}

TEST(GdiGraphics, PathsFromFarAwayDrawTheirPixelsAndWhatCannotReachStaysOutOfGdi)
{
    // Each path has a pixel only it draws: the end of a wide line, the miter
    // of a right angle left of the bitmap, a line coming back after running
    // far round, a band filled beside a figure far away, the closing side of
    // a triangle. The last path is out of reach and never goes to GDI: the
    // current position, which PolyDraw moves, stays where it was.
    const LONG away = 20000;
    const struct
    {
        bool line;
        bool fill;
        int width;
        std::vector<std::vector<POINT>> figures;
        POINT drawn;
    } cases[] = {
        {true, false, 6, {{{-away, 16}, {10, 16}}}, {9, 18}},
        {true, false, 16, {{{-away, 26 - away}, {-10, 16}, {-away, away + 6}}}, {0, 16}},
        {true, false, 2, {{{4, 4}, {-away, 4}, {-away, 28}, {4, 28}, {28, 16}}}, {16, 22}},
        {false, true, 2, {{{-away, 10}, {20, 12}, {20, 20}, {-away, 22}}, {{away, 0}, {away + 9, 0}, {away, 9}}},
         {5, 16}},
        {false, false, 4, {{{-away, -away}, {24, 8}, {8, 24}}}, {0, 16}},
        {true, false, 8, {{{-20, 2}, {-20, 30}}}, {-1, -1}},
    };
    for (const auto& c : cases) {
        CDibCanvas target(32, 32);
        CGraphicsContext& gc = target.canvas;
        MoveToEx(target.dib.GetDC(), 7, 7, nullptr);
        gc.m_state.penWidth = float(c.width);
        gc.m_state.penColor = kRed;
        gc.m_state.fillColor = kRed;
        if (c.line)
            gc.BeginLine(1);
        else
            gc.BeginPath(!c.fill, c.fill, 1);
        for (const std::vector<POINT>& figure : c.figures) {
            gc.MoveTo(float(figure[0].x), float(figure[0].y));
            for (size_t i = 1; i < figure.size(); ++i)
                gc.LineTo(float(figure[i].x), float(figure[i].y));
        }
        gc.EndPath();
        const size_t index = size_t(&c - cases);
        POINT position = {};
        GetCurrentPositionEx(target.dib.GetDC(), &position);
        EXPECT_EQ(c.drawn.x >= 0, position.x != 7 || position.y != 7) << index;
        if (c.drawn.x >= 0) {
            EXPECT_EQ(kRed, target.Pixel(c.drawn.x, c.drawn.y)) << index;
        }
    }
    // A metafile's records are the picture: every path goes in.
    CMetafileRecords emf([](CGdiGraphics& gc) { VerticalLine(gc, -1000.0f, 2.0f, kRed); });
    EXPECT_EQ(1u, emf.OfType(EMR_STROKEPATH).size());
}

TEST(GdiGraphics, ABitmapCanvasTellsWhatLiesBeyondItsClipBoxAndAMetafileNever)
{
    // The bitmap is 32 pixels square; four pixels round it still count.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct
    {
        std::vector<CRectF> rects;
        float shift;
        bool misses;
    } cases[] = {
        {{CRectF(-20, -20, -10, -10)}, 0.0f, true},
        {{CRectF(-20, 10, -5, 12)}, 0.0f, true},
        {{CRectF(-20, 10, -3, 12)}, 0.0f, false},
        {{CRectF(37, 0, 50, 40)}, 0.0f, true},
        {{CRectF(10, 35, 12, 40)}, 0.0f, false},
        {{CRectF(-20, -20, -10, -10), CRectF(5, 5, 6, 6)}, 0.0f, false},
        {{CRectF(-100, 5, -90, 6)}, 100.0f, false},
        {{CRectF(10, 5, 20, 6)}, 100.0f, true},
        {{CRectF(-20, nan, -10, 5)}, 0.0f, false},
    };
    for (const auto& c : cases) {
        CDibCanvas target(32, 32);
        target.canvas.m_state.matrix.SetPosition2D(c.shift, 0.0f);
        EXPECT_EQ(c.misses, target.canvas.MissesClip(c.rects.data(), c.rects.size())) << size_t(&c - cases);
    }
    bool missed = true;
    const CRectF distant(-20000, -20000, -10000, -10000);
    CMetafileRecords emf([&](CGdiGraphics& gc) { missed = gc.MissesClip(&distant, 1); });
    EXPECT_FALSE(missed);
}

TEST(GdiGraphics, VertexBatchesBecomeFilledTriangles)
{
    CDibCanvas target(32, 32);
    CGdiGraphics& gc = target.canvas;
    gc.BeginVertices(0, false, 2);
    gc.SetColor(kRed);
    gc.AddVertex(CVector3(2.0f, -2.0f, 0.0f));
    gc.AddVertex(CVector3(30.0f, -2.0f, 0.0f));
    gc.AddVertex(CVector3(2.0f, -30.0f, 0.0f));
    gc.EndVertices();
    EXPECT_TRUE(gc.GetVertices().empty());
    EXPECT_EQ(kRed, target.Pixel(6, 6));
    EXPECT_EQ(kWhite, target.Pixel(26, 26));
    // The fill colour of the state is not changed by the batch.
    EXPECT_EQ(0xFF808080u, gc.m_state.fillColor);
}

// ---- Bitmaps and nested drawables --------------------------------------------------

TEST(GdiGraphics, BitmapsAreStretchedUprightOverTheirRectangle)
{
    CPixelBitmap picture(2.0f, 2.0f);
    picture.SetPixel(0, 0, kRed);
    picture.SetPixel(1, 0, kBlue);
    picture.SetPixel(0, 1, 0xFF00FF00);
    picture.SetPixel(1, 1, kBlack);
    CDibCanvas target(40, 40);
    target.canvas.m_state.matrix.SetPosition2D(10.0f, 10.0f);
    target.canvas.DrawBitmap(picture, CRectF(0.0f, 0.0f, 20.0f, 20.0f));
    EXPECT_EQ(kWhite, target.Pixel(9, 9));
    EXPECT_EQ(kRed, target.Pixel(12, 12));
    EXPECT_EQ(kBlue, target.Pixel(27, 12));
    EXPECT_EQ(0xFF00FF00u, target.Pixel(12, 27));
    EXPECT_EQ(kBlack, target.Pixel(27, 27));
    EXPECT_EQ(kWhite, target.Pixel(30, 30));
}

TEST(GdiGraphics, BitmapsInAMetafileAreRecordedAsADibOfTheirColours)
{
    // A copied picture keeps the records it always had: plain 32-bit colours,
    // not the masks that windows and bitmaps are given.
    CPixelBitmap picture(2.0f, 2.0f);
    picture.GetPixels() = {kRed, kBlue, kBlack, 0x80FFFFFF};
    const CMetafileRecords metafile([&](CGdiGraphics& canvas) {
        canvas.DrawBitmap(picture, CRectF(0.0f, 0.0f, 10.0f, 10.0f));
    });
    const std::vector<std::string> records = metafile.OfType(EMR_STRETCHDIBITS);
    ASSERT_EQ(1u, records.size());
    EMRSTRETCHDIBITS record;
    std::memcpy(&record, records[0].data(), sizeof record);
    ASSERT_LE(size_t(record.offBmiSrc) + sizeof(BITMAPINFOHEADER), records[0].size());
    BITMAPINFOHEADER header;
    std::memcpy(&header, records[0].data() + record.offBmiSrc, sizeof header);
    EXPECT_EQ(DWORD(BI_RGB), header.biCompression);
}

TEST(GdiGraphics, BitmapSmallerThanAPixelOrEmptyDrawsNothingQuietly)
{
    CDibCanvas target(16, 16);
    CPixelBitmap picture(2.0f, 2.0f);
    CPixelBitmap empty;
    const int reports = CountReports([&] {
        target.canvas.DrawBitmap(picture, CRectF(4.0f, 4.0f, 4.2f, 9.0f));
        target.canvas.DrawBitmap(empty, CRectF(4.0f, 4.0f, 9.0f, 9.0f));
    });
    EXPECT_EQ(0, reports);
}

TEST(GdiGraphics, NestedDrawablesDrawThroughTheirPlacement)
{
    CFunctionDrawable square([](CGraphicsContext& gc) { FilledSquare(gc, 0.0f, 0.0f, 4.0f, kRed); });
    CDibCanvas target(40, 40);
    CGdiGraphics& gc = target.canvas;
    gc.m_state.matrix.Scale(2.0f);
    gc.m_state.matrix.SetPosition2D(20.0f, 10.0f);
    gc.m_state.penColor = kBlue;
    gc.DrawDrawable(square, 0, 0);
    EXPECT_EQ(kRed, target.Pixel(21, 11));
    EXPECT_EQ(kRed, target.Pixel(27, 17));
    EXPECT_EQ(kWhite, target.Pixel(29, 19));
    EXPECT_EQ(kWhite, target.Pixel(19, 9));
    // The caller's state comes back unchanged.
    EXPECT_EQ(kBlue, gc.m_state.penColor);
    EXPECT_EQ(2.0f, gc.m_state.matrix.GetScale());
    EXPECT_EQ(0u, gc.GetStateDepth());
    EXPECT_EQ(1.0f, gc.GetDeviceTransform().GetScale());
}

TEST(GdiGraphics, ANestedDrawablesPathLandsOnTheDevicePointsItsMatrixGives)
{
    // Inside a nested drawable the matrix is the identity and the placement
    // is in the device transform; the same path drawn with the placement as
    // its matrix must reach the same device points, curves and odd pens
    // included.
    const auto shape = [](CGraphicsContext& gc) {
        gc.m_state.penWidth = 1.0f;
        gc.m_state.penColor = kBlue;
        gc.m_state.fillColor = kRed;
        gc.BeginPath(true, true, 1);
        gc.MoveTo(0.25f, 0.5f);
        gc.LineTo(7.75f, -1.5f);
        gc.AddBezier(CPoint2(9.1f, 4.3f), CPoint2(6.6f, 8.45f), CPoint2(3.5f, 7.5f));
        gc.LineTo(-2.5f, 3.35f);
        gc.EndPath();
    };
    CTransform placement;
    placement.Scale(1.7f);
    placement.RotateZ(30.0f);
    placement.SetPosition2D(20.5f, 10.25f);
    CFunctionDrawable nested(shape);
    CMetafileRecords direct([&](CGdiGraphics& gc) {
        gc.m_state.matrix = placement;
        shape(gc);
    });
    CMetafileRecords throughDrawable([&](CGdiGraphics& gc) {
        gc.m_state.matrix = placement;
        gc.DrawDrawable(nested, 0, 0);
    });
    ASSERT_EQ(1u, direct.OfType(EMR_MOVETOEX).size());
    for (DWORD type : {DWORD(EMR_MOVETOEX), DWORD(EMR_LINETO), DWORD(EMR_POLYBEZIERTO16), DWORD(EMR_POLYBEZIERTO)})
        EXPECT_EQ(direct.OfType(type), throughDrawable.OfType(type)) << type;
    EXPECT_EQ(2u, direct.OfType(EMR_LINETO).size());

    CDibCanvas one(40, 40);
    one.canvas.m_state.matrix = placement;
    shape(one.canvas);
    CDibCanvas other(40, 40);
    other.canvas.m_state.matrix = placement;
    other.canvas.DrawDrawable(nested, 0, 0);
    int painted = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(one.Pixel(x, y), other.Pixel(x, y)) << x << ", " << y;
            painted += one.Pixel(x, y) != kWhite ? 1 : 0;
        }
    }
    EXPECT_GT(painted, 50);
}

TEST(GdiGraphics, DrawableThatDrawsItselfStopsAtTheNestingLimit)
{
    int depth = 0;
    CFunctionDrawable* self = nullptr;
    CFunctionDrawable recursive([&](CGraphicsContext& gc) {
        ++depth;
        gc.DrawDrawable(*self, 0, 0);
    });
    self = &recursive;
    CDibCanvas target(8, 8);
    EXPECT_EQ(1, CountReports([&] { target.canvas.DrawDrawable(recursive, 0, 0); }));
    EXPECT_EQ(CGdiGraphics::kMaxNesting, depth);
    EXPECT_EQ(0u, target.canvas.GetStateDepth());
}

// ---- Text ---------------------------------------------------------------------------

TEST(GdiGraphics, TextRunsSplitWhereTheFontSlotChanges)
{
    std::vector<CGdiGraphics::CTextRun> runs;
    CGdiGraphics::SplitRuns({0, 0, 1, 1, 0, 2}, runs);
    ASSERT_EQ(4u, runs.size());
    EXPECT_EQ(0u, runs[0].start);
    EXPECT_EQ(2u, runs[0].length);
    EXPECT_EQ(1, runs[1].slot);
    EXPECT_EQ(2u, runs[1].start);
    EXPECT_EQ(4u, runs[2].start);
    EXPECT_EQ(1u, runs[2].length);
    EXPECT_EQ(2, runs[3].slot);
    // The runs of a text before are not kept.
    CGdiGraphics::SplitRuns({}, runs);
    EXPECT_TRUE(runs.empty());
}

TEST(GdiGraphics, LatinCharactersUseArial)
{
    EXPECT_EQ(0, CGdiGraphics::GetFontSlot(L'A'));
    EXPECT_EQ(0, CGdiGraphics::GetFontSlot(L'\u00E9'));
    EXPECT_EQ(0, CGdiGraphics::GetFontSlot(L'\u0152'));
    EXPECT_STREQ(L"Arial", CGdiGraphics::GetFontSlotFace(0));
    EXPECT_STREQ(L"MS Mincho", CGdiGraphics::GetFontSlotFace(1));
    EXPECT_STREQ(L"Arial Unicode MS", CGdiGraphics::GetFontSlotFace(2));
    const int cjk = CGdiGraphics::GetFontSlot(L'\u6771');
    EXPECT_GE(cjk, 0);
    EXPECT_LT(cjk, CGdiGraphics::kFontSlotCount);
}

TEST(GdiGraphics, TextAdvancesAddUpToTheLaidOutWidth)
{
    const std::wstring text = L"Caf\u00E9 \u6771\u4EAC x";
    float width = 0.0f;
    CMetafileRecords emf([&](CGdiGraphics& gc) {
        gc.m_state.font = CFontMetrics(13.0f, false);
        gc.m_state.matrix.Scale(1.37f);
        gc.m_state.matrix.SetPosition2D(3.3f, 40.0f);
        gc.m_state.textAlignV = 5;
        CRectF cell;
        gc.AlignText(text, 0.0f, 0.0f, &cell, nullptr);
        width = cell.Width() * 1.37f;
        gc.DrawText(text, 0.0f, 0.0f);
    });
    std::vector<int> slots;
    for (wchar_t c : text)
        slots.push_back(CGdiGraphics::GetFontSlot(c));
    std::vector<CGdiGraphics::CTextRun> runs;
    CGdiGraphics::SplitRuns(slots, runs);
    const std::vector<std::string> outputs = emf.OfType(EMR_EXTTEXTOUTW);
    ASSERT_EQ(runs.size(), outputs.size());

    const std::vector<std::string> fonts = emf.OfType(EMR_EXTCREATEFONTINDIRECTW);
    ASSERT_FALSE(fonts.empty());
    const auto font = CMetafileRecords::As<EMREXTCREATEFONTINDIRECTW>(fonts[0]);
    // 13 * 1.37 = 17.81 pixels, truncated.
    EXPECT_EQ(-17, font.elfw.elfLogFont.lfHeight);
    EXPECT_EQ(FW_NORMAL, font.elfw.elfLogFont.lfWeight);
    EXPECT_STREQ(CGdiGraphics::GetFontSlotFace(runs[0].slot), font.elfw.elfLogFont.lfFaceName);

    int total = 0;
    int firstX = 0;
    for (size_t r = 0; r < outputs.size(); ++r) {
        const std::string& record = outputs[r];
        const auto header = CMetafileRecords::As<EMREXTTEXTOUTW>(record);
        EXPECT_EQ(runs[r].length, header.emrtext.nChars);
        if (r == 0)
            firstX = header.emrtext.ptlReference.x;
        for (DWORD i = 0; i < header.emrtext.nChars; ++i) {
            INT dx;
            std::memcpy(&dx, record.data() + header.emrtext.offDx + i * sizeof(INT), sizeof dx);
            total += dx;
        }
    }
    // Start 3.3 rounds to 3; the end is rounded once, not per character.
    EXPECT_EQ(3, firstX);
    EXPECT_EQ(int(std::floor(3.3f + width + 0.5f)) - 3, total);
}

// A character Arial lacks is drawn in a run of its own with the face of
// the second slot. The test rig has no CJK face, so the child process gets
// "MS Mincho" as a Wine font replacement by DejaVu Sans, which has the chess
// king that Liberation Sans (the rig's Arial) lacks. Windows ignores that
// key; there the real MS Mincho, where installed, serves.
CHILD_SCENARIO(GdiTextInRunsOverTwoFaces)
{
    const std::wstring text = L"Ab\u2654\u2654c";
    if (CGdiGraphics::GetFontSlot(L'\u2654') != 1 || CGdiGraphics::GetFontSlot(L'b') != 0)
        return 10;
    float width = 0.0f;
    CMetafileRecords emf([&](CGdiGraphics& gc) {
        gc.m_state.font = CFontMetrics(17.0f, false);
        gc.m_state.matrix.SetPosition2D(2.4f, 30.0f);
        CRectF cell;
        gc.AlignText(text, 0.0f, 0.0f, &cell, nullptr);
        width = cell.Width();
        gc.DrawText(text, 0.0f, 0.0f);
    });
    const std::vector<std::string> outputs = emf.OfType(EMR_EXTTEXTOUTW);
    const std::vector<std::string> fonts = emf.OfType(EMR_EXTCREATEFONTINDIRECTW);
    if (outputs.size() != 3 || fonts.size() != 2)
        return 11;
    if (std::wstring(CMetafileRecords::As<EMREXTCREATEFONTINDIRECTW>(fonts[0]).elfw.elfLogFont.lfFaceName) !=
            L"Arial" ||
        std::wstring(CMetafileRecords::As<EMREXTCREATEFONTINDIRECTW>(fonts[1]).elfw.elfLogFont.lfFaceName) !=
            L"MS Mincho")
        return 12;
    const DWORD lengths[3] = {2, 2, 1};
    int x = 2;
    for (int r = 0; r < 3; ++r) {
        const auto header = CMetafileRecords::As<EMREXTTEXTOUTW>(outputs[r]);
        if (header.emrtext.nChars != lengths[r])
            return 13;
        // Each run starts where the advances of the runs before it end.
        if (header.emrtext.ptlReference.x != x)
            return 14;
        for (DWORD i = 0; i < header.emrtext.nChars; ++i) {
            INT dx;
            std::memcpy(&dx, outputs[r].data() + header.emrtext.offDx + i * sizeof(INT), sizeof dx);
            x += dx;
        }
    }
    return x == int(std::floor(2.4f + width + 0.5f)) ? 0 : 15;
}

TEST(GdiGraphics, TextMixingFacesIsDrawnInRunsThatAddUp)
{
    const wchar_t* const key = L"Software\\Wine\\Fonts\\Replacements";
    HKEY replacements = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE,
                                             nullptr, &replacements, nullptr));
    // The prefix's own replacement (the CJK face of the kept pictures) comes
    // back afterwards.
    BYTE kept[256];
    DWORD keptSize = sizeof kept;
    const bool hadOne =
        RegQueryValueExW(replacements, L"MS Mincho", nullptr, nullptr, kept, &keptSize) == ERROR_SUCCESS;
    const wchar_t face[] = L"DejaVu Sans";
    RegSetValueExW(replacements, L"MS Mincho", 0, REG_SZ, reinterpret_cast<const BYTE*>(face), sizeof face);
    const int code = RunChildScenario("GdiTextInRunsOverTwoFaces");
    if (hadOne)
        RegSetValueExW(replacements, L"MS Mincho", 0, REG_SZ, kept, keptSize);
    else
        RegDeleteValueW(replacements, L"MS Mincho");
    RegCloseKey(replacements);
    EXPECT_EQ(0, code);
}

TEST(GdiGraphics, TextScaledBelowAPixelIsDrawnOnePixelHigh)
{
    int reports = -1;
    CMetafileRecords emf([&](CGdiGraphics& gc) {
        gc.m_state.font = CFontMetrics(10.0f, true);
        gc.m_state.matrix.Scale(0.01f);
        reports = CountReports([&] { gc.DrawText(L"tiny", 5.0f, 5.0f); });
    });
    EXPECT_EQ(0, reports);
    const std::vector<std::string> fonts = emf.OfType(EMR_EXTCREATEFONTINDIRECTW);
    ASSERT_EQ(1u, fonts.size());
    EXPECT_EQ(-1, CMetafileRecords::As<EMREXTCREATEFONTINDIRECTW>(fonts[0]).elfw.elfLogFont.lfHeight);
    EXPECT_EQ(FW_BOLD, CMetafileRecords::As<EMREXTCREATEFONTINDIRECTW>(fonts[0]).elfw.elfLogFont.lfWeight);
}

TEST(GdiGraphics, TextIsDrawnOnABoxOfTheFillColour)
{
    CDibCanvas target(80, 40);
    CGdiGraphics& gc = target.canvas;
    gc.m_state.font = CFontMetrics(24.0f, false);
    gc.m_state.textColor = kBlack;
    gc.m_state.fillColor = 0xFF00FFFF;
    EXPECT_EQ(0, CountReports([&] { gc.DrawText(L"HH", 4.0f, 4.0f); }));
    const int yellow = target.CountColor(0, 0, 80, 40, 0xFF00FFFF);
    const int dark = target.CountColor(0, 0, 80, 40, kBlack);
    EXPECT_GT(yellow, 100);
    EXPECT_GT(dark, 20);
    // Nothing left of the cell or above it.
    EXPECT_EQ(kWhite, target.Pixel(2, 10));
    EXPECT_EQ(kWhite, target.Pixel(10, 2));
}

TEST(GdiGraphics, FontsAreRemadeWhenHeightOrWeightChange)
{
    int reports = -1;
    CMetafileRecords emf([&](CGdiGraphics& gc) {
        reports = ReportCount();
        gc.m_state.font = CFontMetrics(10.0f, false);
        gc.DrawText(L"a", 0.0f, 10.0f);
        gc.DrawText(L"b", 0.0f, 20.0f);
        gc.m_state.font = CFontMetrics(10.0f, true);
        gc.DrawText(L"c", 0.0f, 30.0f);
        gc.m_state.font = CFontMetrics(12.0f, true);
        gc.DrawText(L"d", 0.0f, 40.0f);
    });
    EXPECT_EQ(3u, emf.OfType(EMR_EXTCREATEFONTINDIRECTW).size());
    // Each font was deleted (two on a key change, one with the canvas), and
    // none of the deletions was refused as it would be for a selected font.
    EXPECT_EQ(3u, emf.OfType(EMR_DELETEOBJECT).size());
    EXPECT_EQ(reports, ReportCount());
}

// ---- Device contexts and lifetime -----------------------------------------------

TEST(GdiGraphics, DestructionPutsStockObjectsBackAndDeletesItsOwn)
{
    CGdiBitmap dib;
    ASSERT_TRUE(dib.Create(16.0f, 16.0f));
    HGDIOBJ pen = nullptr;
    HGDIOBJ brush = nullptr;
    const int reports = CountReports([&] {
        CGdiGraphics canvas;
        canvas.SetDeviceContext(dib.GetDC());
        VerticalLine(canvas, 4.0f, 3.0f, kRed);
        pen = GetCurrentObject(dib.GetDC(), OBJ_PEN);
        FilledSquare(canvas, 2.0f, 2.0f, 4.0f, kBlue);
        brush = GetCurrentObject(dib.GetDC(), OBJ_BRUSH);
        canvas.m_state.font = CFontMetrics(10.0f, false);
        canvas.DrawText(L"x", 2.0f, 12.0f);
    });
    EXPECT_EQ(0, reports);
    EXPECT_NE(GetStockObject(BLACK_PEN), pen);
    EXPECT_EQ(0u, GetObjectType(pen));
    EXPECT_EQ(0u, GetObjectType(brush));
    EXPECT_EQ(GetStockObject(BLACK_PEN), GetCurrentObject(dib.GetDC(), OBJ_PEN));
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), GetCurrentObject(dib.GetDC(), OBJ_BRUSH));
    EXPECT_EQ(GetStockObject(SYSTEM_FONT), GetCurrentObject(dib.GetDC(), OBJ_FONT));
}

TEST(GdiGraphics, ChangingTheDeviceContextTakesTheCanvasObjectsOut)
{
    CGdiBitmap first;
    CGdiBitmap second;
    ASSERT_TRUE(first.Create(16.0f, 16.0f));
    ASSERT_TRUE(second.Create(16.0f, 16.0f));
    CGdiGraphics canvas;
    canvas.SetDeviceContext(first.GetDC());
    VerticalLine(canvas, 4.0f, 3.0f, kRed);
    HGDIOBJ pen = GetCurrentObject(first.GetDC(), OBJ_PEN);
    canvas.SetDeviceContext(second.GetDC());
    EXPECT_EQ(GetStockObject(BLACK_PEN), GetCurrentObject(first.GetDC(), OBJ_PEN));
    VerticalLine(canvas, 4.0f, 3.0f, kRed);
    EXPECT_EQ(pen, GetCurrentObject(second.GetDC(), OBJ_PEN));
    EXPECT_EQ(second.GetDC(), canvas.GetDeviceContext());
}

TEST(GdiGraphics, MissingDeviceContextOrWindowIsReported)
{
    CGdiGraphics canvas;
    EXPECT_EQ(1, CountReports([&] { canvas.SetDeviceContext(nullptr); }));
    EXPECT_EQ(1, CountReports([&] { canvas.AttachToWindow(nullptr); }));
    EXPECT_GE(CountReports([&] { VerticalLine(canvas, 1.0f, 1.0f, kBlack); }), 1);
    EXPECT_EQ(1, CountReports([&] { canvas.RenderScene(); }));
}

TEST(GdiGraphics, AttachToWindowDrawsIntoTheWindowsContext)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    {
        CGdiGraphics canvas;
        EXPECT_EQ(0, CountReports([&] { canvas.AttachToWindow(window); }));
        ASSERT_NE(nullptr, canvas.GetDeviceContext());
        EXPECT_EQ(window, WindowFromDC(canvas.GetDeviceContext()));
        EXPECT_EQ(0, CountReports([&] { VerticalLine(canvas, 5.0f, 3.0f, kRed); }));
    }
    DestroyWindow(window);
}

TEST(GdiGraphics, GraphicsSystemIsTheChoicesGdiSystem)
{
    struct CFakeBackEnd : CGraphicsBackEnd
    {
        void ReportFailure(int) override {}
        void CompleteHeldReport() override {}
        void PrepareWindowGuarded(HWND, bool) override {}
        CRenderTarget* CreateRenderTarget(bool, bool, bool) override { return nullptr; }
        bool SuitsTarget(const CRenderTarget&, bool) const override { return true; }
        int GetCurrentError() const override { return 0; }
    };
    struct CFakeChoice : CGraphicsBackEndChoice
    {
        CGraphicsBackEnd& Choose(bool gdiOnly) override { return gdiOnly ? gdi : views; }
        CSize2 GetOffscreenTileSize(bool) override { return CSize2(); }
        CFakeBackEnd gdi;
        CFakeBackEnd views;
    } choice;
    CGdiGraphics canvas;
    CGraphicsBackEndChoice* const before = SetGraphicsBackEndChoice(&choice);
    EXPECT_EQ(&choice.gdi, &canvas.GetGraphicsSystem());
    SetGraphicsBackEndChoice(nullptr);
    // Without a choice the canvas still answers, after a report.
    EXPECT_EQ(1, CountReports([&] { canvas.GetGraphicsSystem().PrepareWindowGuarded(nullptr, false); }));
    SetGraphicsBackEndChoice(before);
}
