#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "graphics/Drawable.h"
#include "graphics/GraphicsContext.h"
#include "graphics/PixelBitmap.h"
#include "render3d/Camera.h"
#include "tests/support/FailureReports.h"
#include "tests/support/RecordingContext.h"

namespace {

// The total length of the visible pieces: each run from a move through its
// lines.
float DrawnLength(const CRecordingContext& gc)
{
    float total = 0.0f;
    CPoint2 at;
    for (const auto& call : gc.calls) {
        const CPoint2 p(call.v[0], call.v[1]);
        if (call.op == 'M')
            at = p;
        else if (call.op == 'L') {
            total += (p - at).Length();
            at = p;
        }
    }
    return total;
}

bool HasCall(const CRecordingContext& gc, char op, float x, float y)
{
    for (const auto& call : gc.calls)
        if (call.op == op && call.v[0] == x && call.v[1] == y)
            return true;
    return false;
}

// What open lines, each from its first point through the others, reach the
// back end as when drawn as one path with the dash style and pen width.
std::string LinesLog(uint32_t dashStyle, const std::vector<std::vector<CPoint2>>& lines, float penWidth = 0.5f)
{
    CRecordingContext gc;
    gc.m_state.penWidth = penWidth;
    gc.SetDashStyle(dashStyle);
    gc.BeginLine(1);
    for (const std::vector<CPoint2>& points : lines) {
        gc.MoveTo(points.front());
        for (size_t i = 1; i < points.size(); ++i)
            gc.LineTo(points[i]);
    }
    gc.EndPath();
    return gc.Log();
}

}  // namespace

// ---- Paths ---------------------------------------------------------------------

TEST(GraphicsContext, ClosedPathEmitsMoveLinesCloseAndEnd)
{
    CRecordingContext gc;
    gc.BeginPath(true, false, 1);
    EXPECT_TRUE(gc.IsPathOpen());
    gc.MoveTo(1, 2);
    gc.LineTo(3, 4);
    gc.LineTo(5, 2);
    gc.EndPath();
    EXPECT_EQ("B1,0 M1,2 L3,4 L5,2 Z E", gc.Log());
    EXPECT_FALSE(gc.IsPathOpen());
    EXPECT_EQ(1, gc.GetPathMode());
}

TEST(GraphicsContext, OpenLineIsNeverClosed)
{
    EXPECT_EQ("B1,0 M0,0 L10,0 M0,5 L10,5 E", LinesLog(0, {{{0, 0}, {10, 0}}, {{0, 5}, {10, 5}}}));
}

TEST(GraphicsContext, FigureOfMovesOnlyEmitsNothing)
{
    CRecordingContext gc;
    gc.BeginPath(false, true, 7);
    EXPECT_EQ(7, gc.GetPathMode());
    gc.MoveTo(1, 1);
    gc.MoveTo(2, 2);
    gc.EndPath();
    EXPECT_EQ("B0,1 E", gc.Log());
}

TEST(GraphicsContext, RectangleRunsDownAcrossAndUpThenCloses)
{
    CRecordingContext gc;
    gc.BeginPath(false, true, 1);
    gc.AddRect(CRectF(1, 2, 3, 4));
    gc.EndPath();
    EXPECT_EQ("B0,1 M1,2 L1,4 L3,4 L3,2 Z E", gc.Log());
}

TEST(GraphicsContext, CircleIsTwoCubicsFromTheLeft)
{
    CRecordingContext gc;
    gc.BeginPath(true, false, 1);
    gc.AddCircle(10, 20, 3);
    gc.EndPath();
    EXPECT_EQ("B1,0 M7,20 C7,16,13,16,13,20 C13,24,7,24,7,20 Z E", gc.Log());
}

TEST(GraphicsContext, BezierSegmentJoinsItsStartWithALine)
{
    CRecordingContext gc;
    CCurveGeometry curve;
    curve.p0 = CPoint2(5, 0);
    curve.p1 = CPoint2(6, 1);
    curve.p2 = CPoint2(7, 1);
    curve.p3 = CPoint2(8, 0);
    gc.BeginLine(1);
    gc.AddBezierSegment(curve);  // no current point: a move to the start
    gc.AddBezierSegment(curve);  // current point (8, 0): a line back to the start
    gc.EndPath();
    EXPECT_EQ("B1,0 M5,0 C6,1,7,1,8,0 L5,0 C6,1,7,1,8,0 E", gc.Log());
}

TEST(GraphicsContext, BaseFlattensCurvesIntoLinesEndingAtTheEnd)
{
    CRecordingContext gc;
    gc.flattenCurves = true;
    gc.BeginLine(1);
    gc.MoveTo(0, 0);
    gc.AddBezier(CPoint2(0, -10), CPoint2(10, -10), CPoint2(10, 0));
    gc.EndPath();
    EXPECT_EQ(0, gc.Count('C'));
    EXPECT_GT(gc.Count('L'), 2);
    EXPECT_LE(gc.Count('L'), 64);
    EXPECT_EQ(1, gc.Count('M'));
    EXPECT_EQ('L', gc.calls[gc.calls.size() - 2].op);
    EXPECT_EQ(10.0f, gc.calls[gc.calls.size() - 2].v[0]);
    EXPECT_EQ(0.0f, gc.calls[gc.calls.size() - 2].v[1]);
}

TEST(GraphicsContext, PathCallsOutsideAPathAreReportedAndEmitNothing)
{
    CRecordingContext gc;
    EXPECT_EQ(3, CountReports([&] { gc.MoveTo(0, 0); gc.LineTo(1, 1); gc.EndPath(); }));
    EXPECT_EQ("", gc.Log());
}

TEST(GraphicsContext, LineWithoutStartBecomesTheStart)
{
    CRecordingContext gc;
    gc.BeginLine(1);
    EXPECT_EQ(1, CountReports([&] { gc.LineTo(1, 1); }));
    gc.LineTo(2, 1);
    gc.EndPath();
    EXPECT_EQ("B1,0 M1,1 L2,1 E", gc.Log());
}

TEST(GraphicsContext, BeginningAPathWithoutStrokeOrFillIsReported)
{
    CRecordingContext gc;
    EXPECT_EQ(1, CountReports([&] { gc.BeginPath(false, false, 1); gc.EndPath(); }));
}

TEST(GraphicsContext, DashedStrokeAndFillIsReported)
{
    CRecordingContext gc;
    gc.SetDashStyle(1);
    EXPECT_EQ(1, CountReports([&] { gc.BeginPath(true, true, 1); }));
    gc.EndPath();
}

TEST(GraphicsContext, BeginningAPathInsideAPathEndsTheFirst)
{
    CRecordingContext gc;
    gc.BeginLine(1);
    gc.MoveTo(0, 0);
    gc.LineTo(1, 0);
    EXPECT_EQ(1, CountReports([&] { gc.BeginPath(false, true, 1); }));
    gc.EndPath();
    EXPECT_EQ("B1,0 M0,0 L1,0 E B0,1 E", gc.Log());
}

TEST(GraphicsContext, SettersReportWhileAPathIsOpenAndStoreAnyway)
{
    CRecordingContext gc;
    gc.SetDashStyle(2);
    gc.SetFillPattern(1);
    EXPECT_EQ(2u, gc.m_state.dashStyle);
    EXPECT_EQ(1u, gc.m_state.fillPattern);
    gc.BeginPath(false, true, 1);
    EXPECT_EQ(2, CountReports([&] { gc.SetDashStyle(0); gc.SetFillPattern(0); }));
    EXPECT_EQ(0u, gc.m_state.dashStyle);
    EXPECT_EQ(0u, gc.m_state.fillPattern);
    gc.EndPath();
}

// ---- Dashes --------------------------------------------------------------------

// Pen width 0.5 makes the dash unit 1. Dash style 1 draws unit dashes and
// gaps, 2 three-unit dashes, an unknown style is reported and drawn as 1; the
// pattern runs on into the next segment (a dash or a gap), a move starts it
// again, and a pen of no width or dashes too fine to see draw the line whole.
TEST(GraphicsContext, DashedLinesFollowTheirPattern)
{
    using CLines = std::vector<std::vector<CPoint2>>;
    const struct
    {
        uint32_t style;
        CLines lines;
        float penWidth;
        const char* log;
    } cases[] = {
        {1, CLines{{{0, 0}, {5, 0}}}, 0.5f, "B1,0 M0,0 L1,0 M2,0 L3,0 M4,0 L5,0 E"},
        {2, CLines{{{0, 0}, {0, 9}}}, 0.5f, "B1,0 M0,0 L0,3 M0,4 L0,7 M0,8 L0,9 E"},
        {1, CLines{{{0, 0}, {0.5f, 0}, {3, 0}}}, 0.5f, "B1,0 M0,0 L0.5,0 L1,0 M2,0 L3,0 E"},
        {1, CLines{{{0, 0}, {1.5f, 0}, {1.5f, 2}}}, 0.5f, "B1,0 M0,0 L1,0 M1.5,0.5 L1.5,1.5 E"},
        {1, CLines{{{0, 0}, {1.5f, 0}}, {{0, 5}, {1.5f, 5}}}, 0.5f, "B1,0 M0,0 L1,0 M0,5 L1,5 E"},
        {1, CLines{{{2, 2}, {2, 2}}}, 0.5f, "B1,0 E"},
        {1, CLines{{{0, 0}, {10, 0}}}, 0.0f, "B1,0 M0,0 L10,0 E"},
        {1, CLines{{{0, 0}, {10, 0}}}, -1.0f, "B1,0 M0,0 L10,0 E"},
        {2, CLines{{{0, 0}, {1000, 0}}}, 1e-6f, "B1,0 M0,0 L1000,0 E"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.log, LinesLog(c.style, c.lines, c.penWidth)) << c.log;
    std::string unknown;
    EXPECT_EQ(1, CountReports([&] { unknown = LinesLog(3, {{{0, 0}, {3, 0}}}); }));
    EXPECT_EQ("B1,0 M0,0 L1,0 M2,0 L3,0 E", unknown);
}

TEST(GraphicsContext, FilledPathsAreNeverDashed)
{
    CRecordingContext gc;
    gc.m_state.penWidth = 0.5f;
    gc.SetDashStyle(1);
    gc.BeginPath(false, true, 1);
    gc.MoveTo(0, 0);
    gc.LineTo(5, 0);
    gc.LineTo(5, 5);
    gc.EndPath();
    EXPECT_EQ("B0,1 M0,0 L5,0 L5,5 Z E", gc.Log());
}

TEST(GraphicsContext, BackEndThatIgnoresDashesGetsWholeSegmentsAndCurves)
{
    CRecordingContext gc;
    gc.ignoreDashes = true;
    gc.m_state.penWidth = 0.5f;
    gc.SetDashStyle(1);
    gc.BeginLine(1);
    gc.MoveTo(0, 0);
    gc.LineTo(5, 0);
    gc.AddBezier(CPoint2(6, 0), CPoint2(7, 0), CPoint2(8, 0));
    gc.EndPath();
    EXPECT_EQ("B1,0 M0,0 L5,0 C6,0,7,0,8,0 E", gc.Log());
}

TEST(GraphicsContext, DashedRectangleDashesItsClosingSideToo)
{
    CRecordingContext gc;
    gc.m_state.penWidth = 0.5f;
    gc.SetDashStyle(1);
    gc.BeginPath(true, false, 1);
    gc.AddRect(CRectF(0, 0, 4, 4));
    gc.EndPath();
    EXPECT_EQ("B1,0 M0,0 L0,1 M0,2 L0,3 M0,4 L1,4 M2,4 L3,4 M4,4 L4,3 M4,2 L4,1 "
              "M4,0 L3,0 M2,0 L1,0 E",
              gc.Log());
}

TEST(GraphicsContext, DashedCircleKeepsOnePatternOverBothHalves)
{
    // The pen is chosen so that each half is 1.5 dash units long: the first
    // half ends inside a gap, which the second half has to finish first.
    CCurveGeometry half;
    half.p0 = CPoint2(0, 0);
    half.p1 = CPoint2(0, -40.0f / 3.0f);
    half.p2 = CPoint2(20, -40.0f / 3.0f);
    half.p3 = CPoint2(20, 0);
    const float unit = half.GetLength() / 1.5f;

    CRecordingContext gc;
    gc.m_state.penWidth = unit / 2.0f;
    gc.SetDashStyle(1);
    gc.BeginPath(true, false, 1);
    gc.AddCircle(10, 0, 10);
    gc.EndPath();
    EXPECT_EQ(0, gc.Count('C'));
    EXPECT_EQ(0, gc.Count('Z'));
    EXPECT_FALSE(HasCall(gc, 'M', 20, 0));
    // Three units in all: dash, gap, dash.
    EXPECT_EQ(2, gc.Count('M'));
    EXPECT_NEAR(2.0f * unit, DrawnLength(gc), 0.05f * unit);
}

// ---- Arrow heads ---------------------------------------------------------------

TEST(GraphicsContext, ArrowHeadIsATriangleFilledInThePenColour)
{
    CRecordingContext gc;
    gc.m_state.penColor = 0xFF0000FF;
    gc.m_state.fillColor = 0xFF00FF00;
    gc.m_state.fillPattern = 1;
    gc.m_state.strokeZ = 0.2f;
    gc.m_state.fillZ = 0.1f;
    gc.DrawArrowHead(0, 0, 2, 0, 10);
    ASSERT_EQ(6u, gc.calls.size());
    EXPECT_EQ("B0,1", gc.Log().substr(0, 4));
    EXPECT_EQ(0xFF0000FFu, gc.calls[0].state.fillColor);
    EXPECT_EQ(0u, gc.calls[0].state.fillPattern);
    EXPECT_EQ(0.2f, gc.calls[0].state.fillZ);
    const float w = 10.0f * 0.57735026f;
    EXPECT_EQ('M', gc.calls[1].op);
    EXPECT_EQ(0.0f, gc.calls[1].v[0]);
    EXPECT_NEAR(-10.0f, gc.calls[2].v[0], 1e-5f);
    EXPECT_NEAR(w, gc.calls[2].v[1], 1e-5f);
    EXPECT_NEAR(-10.0f, gc.calls[3].v[0], 1e-5f);
    EXPECT_NEAR(-w, gc.calls[3].v[1], 1e-5f);
    EXPECT_EQ('Z', gc.calls[4].op);
    EXPECT_EQ(0xFF00FF00u, gc.m_state.fillColor);
    EXPECT_EQ(1u, gc.m_state.fillPattern);
    EXPECT_EQ(0.1f, gc.m_state.fillZ);
}

TEST(GraphicsContext, ArrowHeadWithoutDirectionDrawsNoFigure)
{
    CRecordingContext gc;
    gc.DrawArrowHead(5, 5, 0, 0, 10);
    EXPECT_EQ("B0,1 E", gc.Log());
}

// ---- Lighting and colour -------------------------------------------------------

TEST(GraphicsContext, ResetWithoutLightTurnsLightingOff)
{
    CGraphicsState s;
    s.penWidth = 7;
    s.Reset(CVector3());
    EXPECT_FALSE(s.lighting);
    EXPECT_EQ(10000, s.shade);
    EXPECT_EQ(1.0f, s.penWidth);
    EXPECT_EQ(0xFF808080u, s.fillColor);
    EXPECT_EQ(0.0f, s.font.size);
}

TEST(GraphicsContext, ShadeFollowsNormalAndLight)
{
    CGraphicsState s;
    s.Reset(CVector3(0.6f, 0.0f, 0.8f));
    EXPECT_TRUE(s.lighting);
    // (0.8 * 0.4 + 0.6) * 10000 = 9200.
    EXPECT_EQ(9200, s.shade);
    s.Reset(CVector3(0.0f, 0.0f, -1.0f));
    // (-1 * 0.4 + 0.6) * 10000 = 2000, from just below 0.4: 2000.0002.
    EXPECT_EQ(2000, s.shade);
}

TEST(GraphicsContext, ColourPassesUnchangedAtFullShade)
{
    CRecordingContext gc;
    gc.SetColor(0x80123456);
    EXPECT_EQ(0x80123456u, gc.m_state.shadedColor);
    EXPECT_EQ(0x80123456u, gc.m_state.color);
}

TEST(GraphicsContext, ShadeScalesRedGreenBlueAndKeepsAlpha)
{
    CRecordingContext gc;
    gc.m_state.Reset(CVector3(0.0f, 0.0f, 1.0f));
    gc.SetBrightness(0.5f);
    EXPECT_EQ(5000, gc.m_state.shade);
    gc.SetColor(0x40C86432);  // red 0x32, green 0x64, blue 0xC8
    // Alpha stays what the shaded colour had (opaque after the reset).
    EXPECT_EQ(0xFF643219u, gc.m_state.shadedColor);
}

TEST(GraphicsContext, BrightnessWithoutLightingChangesNothing)
{
    CRecordingContext gc;
    gc.SetColor(0xFF204060);
    gc.SetBrightness(0.25f);
    EXPECT_EQ(1.0f, gc.m_state.brightness);
    EXPECT_EQ(10000, gc.m_state.shade);
    EXPECT_EQ(0xFF204060u, gc.m_state.shadedColor);
}

TEST(GraphicsContext, BrightnessOutsideZeroToOneIsReportedAndKeptInRange)
{
    CRecordingContext gc;
    gc.m_state.Reset(CVector3(0.0f, 0.0f, 1.0f));
    const int before = ReportCount();
    gc.SetBrightness(2.0f);
    EXPECT_EQ(1, ReportCount() - before);
    EXPECT_EQ(1.0f, gc.m_state.brightness);
    gc.SetBrightness(std::nanf(""));
    EXPECT_EQ(2, ReportCount() - before);
    EXPECT_EQ(1.0f, gc.m_state.brightness);
}

TEST(GraphicsContext, NormalGoesThroughTheMatrix)
{
    CRecordingContext gc;
    gc.m_state.Reset(CVector3(1.0f, 0.0f, 0.0f));
    gc.m_state.matrix.RotateZ(90.0f);
    gc.SetColor(0xFFC8C8C8);
    gc.SetNormal(CVector3(0.0f, -1.0f, 0.0f), true);  // turned onto +x, facing the light
    EXPECT_EQ(CVector3(1.0f, 0.0f, 0.0f), gc.m_state.normal);
    EXPECT_EQ(10000, gc.m_state.shade);
    gc.SetNormal(CVector3(0.0f, 5.0f, 0.0f), false);  // onto -x, normalised
    EXPECT_EQ(CVector3(-1.0f, 0.0f, 0.0f), gc.m_state.normal);
    EXPECT_EQ(2000, gc.m_state.shade);
    EXPECT_EQ(0xFF282828u, gc.m_state.shadedColor);
}

TEST(GraphicsContext, NormalIsIgnoredWithoutLighting)
{
    CRecordingContext gc;
    gc.SetNormal(CVector3(1.0f, 0.0f, 0.0f), true);
    EXPECT_EQ(CVector3(0.0f, 0.0f, 1.0f), gc.m_state.normal);
}

TEST(GraphicsContext, StateStackRestoresWhatWasPushed)
{
    CRecordingContext gc;
    gc.m_state.penWidth = 3;
    gc.PushState();
    gc.m_state.penWidth = 5;
    EXPECT_EQ(1u, gc.GetStateDepth());
    gc.PopState();
    EXPECT_EQ(3.0f, gc.m_state.penWidth);
    EXPECT_EQ(1, CountReports([&] { gc.PopState(); }));
    EXPECT_EQ(3.0f, gc.m_state.penWidth);
}

// ---- Text ------------------------------------------------------------------------

TEST(GraphicsContext, RightAlignedTextEndsAtX)
{
    CRecordingContext gc;
    gc.m_state.font = CFontMetrics(20.0f, false);
    gc.m_state.textAlignH = 2;
    CRectF cell;
    std::vector<float> advances{99.0f};
    gc.AlignText(L"Weave", 100.0f, 50.0f, &cell, &advances);
    EXPECT_EQ(100.0f, cell.right);
    ASSERT_EQ(5u, advances.size());
    float sum = 0.0f;
    for (float a : advances)
        sum += a;
    EXPECT_FLOAT_EQ(gc.m_state.font.GetStringWidth(L"Weave"), sum);
    EXPECT_FLOAT_EQ(100.0f - sum, cell.left);
}

TEST(GraphicsContext, CentredTextHasHalfItsWidthOnEachSide)
{
    CRecordingContext gc;
    gc.m_state.font = CFontMetrics(20.0f, true);
    gc.m_state.textAlignH = 1;
    CRectF cell;
    gc.AlignText(L"Tunnel", 100.0f, 0.0f, &cell, nullptr);
    EXPECT_FLOAT_EQ(100.0f - cell.left, cell.right - 100.0f);
}

TEST(GraphicsContext, VerticalAlignmentPlacesTheCell)
{
    CRecordingContext gc;
    const CFontMetrics& f = gc.m_state.font = CFontMetrics(30.0f, false);
    const float y = 200.0f;
    const float expectedTop[7] = {y,
                                  y - f.GetInternalLeading(),
                                  y - (f.GetInternalLeading() + f.GetAscent()) / 2.0f,
                                  y - (f.GetInternalLeading() + f.GetHeight()) / 2.0f,
                                  y - f.GetHeight() / 2.0f,
                                  y - f.GetAscent(),
                                  y - f.GetHeight()};
    for (uint32_t v = 0; v < 7; ++v) {
        gc.m_state.textAlignV = v;
        CRectF cell;
        const CPoint2 baseline = gc.AlignText(L"A", 10.0f, y, &cell, nullptr);
        EXPECT_FLOAT_EQ(expectedTop[v], cell.top) << v;
        EXPECT_FLOAT_EQ(cell.top + f.GetHeight(), cell.bottom) << v;
        EXPECT_FLOAT_EQ(cell.top + f.GetAscent(), baseline.y) << v;
        EXPECT_EQ(10.0f, baseline.x);
    }
    gc.m_state.textAlignV = 5;
    EXPECT_EQ(y, gc.AlignText(L"A", 10.0f, y, nullptr, nullptr).y);
}

TEST(GraphicsContext, TextWithoutSizeOrWithUnknownAlignmentIsReported)
{
    CRecordingContext gc;
    const int before = ReportCount();
    gc.AlignText(L"x", 0, 0, nullptr, nullptr);
    EXPECT_EQ(1, ReportCount() - before);
    gc.m_state.font.size = 10.0f;
    gc.m_state.textAlignH = 3;
    gc.m_state.textAlignV = 7;
    CRectF cell;
    gc.AlignText(L"x", 5, 6, &cell, nullptr);
    EXPECT_EQ(3, ReportCount() - before);
    EXPECT_EQ(5.0f, cell.left);
    EXPECT_EQ(6.0f, cell.top);
}

// ---- Vertex store ----------------------------------------------------------------

TEST(GraphicsContext, StripOfTwoVerticesMakesNoTriangle)
{
    CRecordingContext gc;
    gc.BeginVertices(2, false, 2);
    gc.AddVertex(CVector3(0, 0, 0));
    gc.AddVertex(CVector3(1, 0, 0));
    gc.EndVertices();
    EXPECT_EQ(2u, gc.GetVertices().size());
    EXPECT_TRUE(gc.GetTriangles().empty());
}

namespace {

// The triangles of a strip of the four corners (0, 0), (0, 1), (1, 0), (1, 1).
std::vector<uint32_t> StripOfFourTriangles(bool reverse)
{
    CRecordingContext gc;
    gc.BeginVertices(2, reverse, 2);
    for (int i = 0; i < 4; ++i)
        gc.AddVertex(CVector3(float(i / 2), float(i % 2), 0));
    return gc.GetTriangles();
}

}  // namespace

TEST(GraphicsContext, StripOfFourVerticesMakesTwoTrianglesTurnedByTheReverseFlag)
{
    EXPECT_EQ((std::vector<uint32_t>{1, 0, 2, 1, 2, 3}), StripOfFourTriangles(false));
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 0, 1, 3, 2}), StripOfFourTriangles(true));
}

TEST(GraphicsContext, StripGridJoinsRowsOfTheGivenLength)
{
    CRecordingContext gc;
    gc.BeginVertices(2, false, 3);
    for (int row = 0; row < 2; ++row)
        for (int i = 0; i < 3; ++i)
            gc.AddVertex(CVector3(float(i), float(row), 0));
    EXPECT_EQ((std::vector<uint32_t>{1, 0, 3, 1, 3, 4, 2, 1, 4, 2, 4, 5}), gc.GetTriangles());
}

TEST(GraphicsContext, TriangleListAndFan)
{
    CRecordingContext gc;
    gc.BeginVertices(0, false, 0);
    for (int i = 0; i < 6; ++i)
        gc.AddVertex(CVector3(float(i), float(i * i), 0));
    EXPECT_EQ((std::vector<uint32_t>{0, 1, 2, 3, 4, 5}), gc.GetTriangles());
    gc.ClearVertices();
    gc.BeginVertices(1, false, 2);
    gc.AddVertex(CVector3(0, 0, 0));
    for (int i = 1; i <= 4; ++i)
        gc.AddVertex(CVector3(float(i), 1, 0));
    EXPECT_EQ((std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 0, 3, 4}), gc.GetTriangles());
}

TEST(GraphicsContext, EqualVerticesAreStoredOnceAndDegenerateTrianglesDropped)
{
    CRecordingContext gc;
    gc.BeginVertices(0, false, 0);
    gc.AddVertex(CVector3(1, 2, 3));
    gc.AddVertex(CVector3(1, 2, 3));
    gc.AddVertex(CVector3(4, 5, 6));
    EXPECT_EQ(2u, gc.GetVertices().size());
    EXPECT_TRUE(gc.GetTriangles().empty());
    // Another colour or other texture coordinates make another vertex.
    gc.SetColor(0xFF0000FF);
    gc.AddVertex(CVector3(1, 2, 3));
    gc.m_state.texU = 0.5f;
    gc.AddVertex(CVector3(1, 2, 3));
    EXPECT_EQ(4u, gc.GetVertices().size());
}

TEST(GraphicsContext, VerticesGoThroughTheMatrixWithTheShadedColour)
{
    CRecordingContext gc;
    gc.m_state.matrix.SetTranslation(10, 20, 30);
    gc.SetColor(0x80010203);
    gc.m_state.texU = 0.25f;
    gc.m_state.texV = 0.75f;
    gc.BeginVertices(0, false, 0);
    gc.AddVertex(CVector3(1, 2, 3));
    ASSERT_EQ(1u, gc.GetVertices().size());
    const CGraphicsVertex& v = gc.GetVertices()[0];
    EXPECT_EQ(11.0f, v.x);
    EXPECT_EQ(22.0f, v.y);
    EXPECT_EQ(33.0f, v.z);
    EXPECT_EQ(0x80010203u, v.color);
    EXPECT_EQ(0.25f, v.u);
    EXPECT_EQ(0.75f, v.v);
    EXPECT_EQ(CVector3(11, 22, 33), gc.m_state.vertexPosition);
}

TEST(GraphicsContext, ClearedStoreForgetsItsVertices)
{
    CRecordingContext gc;
    gc.BeginVertices(0, false, 0);
    gc.AddVertex(CVector3(1, 2, 3));
    gc.AddVertex(CVector3(4, 5, 6));
    gc.ClearVertices();
    gc.BeginVertices(0, false, 0);
    gc.AddVertex(CVector3(4, 5, 6));
    ASSERT_EQ(1u, gc.GetVertices().size());
    EXPECT_EQ(4.0f, gc.GetVertices()[0].x);
}

TEST(GraphicsContext, StripWithoutRowLengthIsReportedAndDrawnAsAStrip)
{
    CRecordingContext gc;
    EXPECT_EQ(1, CountReports([&] { gc.BeginVertices(2, false, 0); }));
    for (int i = 0; i < 4; ++i)
        gc.AddVertex(CVector3(float(i / 2), float(i % 2), 0));
    EXPECT_EQ(6u, gc.GetTriangles().size());
}

TEST(GraphicsContext, BitmapIsATexturedQuadAtFillHeight)
{
    CRecordingContext gc;
    gc.m_state.fillZ = 0.5f;
    gc.SetColor(0xFF112233);
    const CPixelBitmap bitmap(2.0f, 2.0f);
    gc.DrawBitmap(bitmap, CRectF(1, 2, 3, 4));
    EXPECT_EQ("V2,0,2 X", gc.Log());
    ASSERT_EQ(4u, gc.GetVertices().size());
    const float expected[4][4] = {{1, -2, 0, 0}, {3, -2, 1, 0}, {1, -4, 0, 1}, {3, -4, 1, 1}};
    for (int i = 0; i < 4; ++i) {
        const CGraphicsVertex& v = gc.GetVertices()[size_t(i)];
        EXPECT_EQ(expected[i][0], v.x) << i;
        EXPECT_EQ(expected[i][1], v.y) << i;
        EXPECT_EQ(0.5f, v.z) << i;
        EXPECT_EQ(expected[i][2], v.u) << i;
        EXPECT_EQ(expected[i][3], v.v) << i;
        EXPECT_EQ(0xFFFFFFFFu, v.color) << i;
    }
    EXPECT_EQ(&bitmap, gc.calls[0].state.texture);
    EXPECT_EQ(6u, gc.GetTriangles().size());
    EXPECT_EQ(nullptr, gc.m_state.texture);
    EXPECT_EQ(0xFF112233u, gc.m_state.color);
    EXPECT_EQ(0xFF112233u, gc.m_state.shadedColor);
}

TEST(GraphicsContext, LitBitmapIsShadedFacingUpAndLeavesTheLightAsItWas)
{
    CRecordingContext gc;
    gc.m_state.Reset(CVector3(0.0f, 0.0f, -1.0f));
    gc.SetNormal(CVector3(0.0f, 0.0f, -1.0f), true);
    gc.SetColor(0xFF646464);
    const int32_t shade = gc.m_state.shade;
    const CPixelBitmap bitmap(1.0f, 1.0f);
    gc.DrawBitmap(bitmap, CRectF(0, 0, 1, 1));
    // Facing up, away from a light shining from below: shade 0.2.
    EXPECT_EQ(0xFF333333u, gc.GetVertices()[0].color);
    EXPECT_EQ(CVector3(0.0f, 0.0f, -1.0f), gc.m_state.normal);
    EXPECT_EQ(shade, gc.m_state.shade);
    EXPECT_EQ(0xFF646464u, gc.m_state.shadedColor);
}

// ---- 3D primitives ---------------------------------------------------------------

TEST(GraphicsContext, RingWithoutHoleIsAFan)
{
    CRecordingContext gc;
    gc.DrawRing(0.0f, 2.0f, 4, 1.0f, true, 0, 0);
    EXPECT_EQ("V1,1,2 X", gc.Log());
    // Centre and five rim points, the last one repeating the first.
    EXPECT_EQ(5u, gc.GetVertices().size());
    EXPECT_EQ(12u, gc.GetTriangles().size());
    EXPECT_EQ(2.0f, gc.GetVertices()[1].x);
    EXPECT_EQ(1.0f, gc.GetVertices()[1].z);
}

TEST(GraphicsContext, RingIsAStripBetweenOuterAndInner)
{
    CRecordingContext gc;
    gc.DrawRing(1.0f, 2.0f, 4, 0.0f, false, 0, 2);
    EXPECT_EQ("V2,0,2 X", gc.Log());
    EXPECT_EQ(6u, gc.GetVertices().size());
    EXPECT_EQ(12u, gc.GetTriangles().size());
}

TEST(GraphicsContext, FlatBoxDrawsOnlyTopAndBottom)
{
    CRecordingContext gc;
    gc.DrawBox(CBox3(0, 1, 0, 2, 3, 3), 0);
    EXPECT_EQ("V2,0,2 X V2,0,2 X", gc.Log());
    gc.Clear();
    gc.DrawBox(CBox3(0, 1, 0, 2, 3, 3), 48);
    EXPECT_EQ("", gc.Log());
}

TEST(GraphicsContext, WholeBoxHasSixFacesOfTwoTriangles)
{
    CRecordingContext gc;
    gc.DrawBox(CBox3(0, 1, 0, 2, 0, 3), 0);
    EXPECT_EQ(6, gc.Count('V'));
    EXPECT_EQ(36u, gc.GetTriangles().size());
    // Whole-number coordinates all fall into one hash bucket (their float
    // patterns have no low bits), so only a vertex repeated right after the
    // last one is shared: no two faces share here.
    EXPECT_EQ(24u, gc.GetVertices().size());
    gc.Clear();
    gc.DrawBox(CBox3(0, 1, 0, 2, 0, 3), 16);
    EXPECT_EQ(5, gc.Count('V'));
}

TEST(GraphicsContext, BoxFacesAreShadedByTheirNormals)
{
    CRecordingContext gc;
    gc.m_state.Reset(CVector3(0.0f, 0.0f, 1.0f));
    gc.SetColor(0xFF646464);
    gc.DrawBox(CBox3(0, 1, 0, 1, 0, 1), 1 | 2 | 4 | 8);
    // The bottom faces away from the light (shade 0.2), the top towards it.
    ASSERT_EQ(8u, gc.GetVertices().size());
    EXPECT_EQ(0xFF141414u, gc.GetVertices()[0].color);
    EXPECT_EQ(0xFF646464u, gc.GetVertices()[4].color);
}

TEST(GraphicsContext, CylinderWithCapsDrawsSideThenBothDiscs)
{
    CRecordingContext gc;
    gc.DrawCylinder(1.0f, 0.0f, 5.0f, 8, true, true, true, 0, 0);
    EXPECT_EQ("V2,1,2 X V1,1,2 X V1,0,2 X", gc.Log());
}

TEST(GraphicsContext, TorusIsAGridOfTubeRows)
{
    CRecordingContext gc;
    gc.DrawTorus(1.0f, 4, 10.0f, 8, 0, 0);
    EXPECT_EQ("V2,0,5 X", gc.Log());
    // Nine rows of five (the first row and column repeated at the end): 8 by
    // 4 quads of two triangles.
    EXPECT_EQ(8u * 4u * 2u * 3u, gc.GetTriangles().size());
    EXPECT_LE(gc.GetVertices().size(), 45u);
    for (uint32_t index : gc.GetTriangles())
        EXPECT_LT(index, gc.GetVertices().size());
    const CGraphicsVertex& first = gc.GetVertices()[0];
    EXPECT_EQ(11.0f, first.x);
    EXPECT_EQ(0.0f, first.y);
    EXPECT_EQ(0.0f, first.z);
    float maxZ = 0.0f;
    for (const auto& v : gc.GetVertices())
        maxZ = std::max(maxZ, v.z);
    EXPECT_NEAR(1.0f, maxZ, 1e-6f);
}

TEST(GraphicsContext, PartialTorusRunsFromFirstThroughCount)
{
    CRecordingContext gc;
    gc.DrawTorus(1.0f, 4, 10.0f, 8, 2, 2);
    // Ring steps 2, 3 and 4, each a tube row of five vertices.
    EXPECT_EQ(2u * 4u * 2u * 3u, gc.GetTriangles().size());
    EXPECT_NEAR(0.0f, gc.GetVertices()[0].x, 1e-5f);
    EXPECT_NEAR(11.0f, gc.GetVertices()[0].y, 1e-5f);
}

TEST(GraphicsContext, SphereRowsAreOneLongitudeRoundLonger)
{
    CRecordingContext gc;
    gc.DrawSphere(2.0f, 8, 0, 0, 0, 0, false);
    EXPECT_EQ("V2,0,9 X", gc.Log());
    float minZ = 0.0f;
    float maxZ = 0.0f;
    for (const auto& v : gc.GetVertices()) {
        minZ = std::min(minZ, v.z);
        maxZ = std::max(maxZ, v.z);
        EXPECT_NEAR(2.0f, std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 1e-5f);
    }
    EXPECT_EQ(2.0f, maxZ);
    EXPECT_NEAR(-2.0f, minZ, 1e-6f);
}

TEST(GraphicsContext, PrimitivesWithoutSegmentsAreReportedAndDrawNothing)
{
    CRecordingContext gc;
    const int before = ReportCount();
    gc.DrawDisc(1.0f, 0, 0.0f, false, 0, 0);
    gc.DrawTorus(1.0f, -3, 2.0f, 8, 0, 0);
    gc.DrawSphere(1.0f, 0, 0, 0, 0, 0, false);
    EXPECT_EQ(3, ReportCount() - before);
    EXPECT_EQ("", gc.Log());
}

TEST(GraphicsContext, PrimitivesBeyondAnyDrawableSizeAreReportedAndDrawNothing)
{
    // Each of these ran on for ever or for billions of vertices.
    CRecordingContext gc;
    const int before = ReportCount();
    gc.DrawCylinder(1.0f, 0.0f, 1.0f, 16, false, false, false, 1, INT_MAX - 1);
    gc.DrawDisc(1.0f, 16, 0.0f, false, INT_MAX, 1);
    gc.DrawRing(1.0f, 2.0f, 16, 0.0f, false, 0, 1 << 30);
    gc.DrawTorus(1.0f, 65536, 2.0f, 65536, 0, 0);
    gc.DrawSphere(1.0f, 65536, 0, 0, 0, 0, false);
    EXPECT_EQ(5, ReportCount() - before);
    EXPECT_EQ("", gc.Log());
    EXPECT_TRUE(gc.GetVertices().empty());
}

// ---- Item placement --------------------------------------------------------------

namespace {

// A drawable standing on a box from z = -5 to z = 5 that is 2 by 2 wide.
class CPillar : public CDrawable
{
public:
    CPillar() { BeginKey().WriteInt32(4711); }
    void Draw(CGraphicsContext& gc) override { gc.DrawBox(CBox3(-1, 1, -1, 1, -5, 5), 0); }
};

}  // namespace

TEST(GraphicsContext, PlacementModeZeroKeepsTheMatrix)
{
    CRecordingContext gc;
    gc.m_state.matrix.RotateZ(30.0f);
    const CTransform before = gc.m_state.matrix;
    CPillar pillar;
    gc.ComputeItemTransform(0, CCamera(), CTransform(), CTransform(), pillar);
    EXPECT_TRUE(before == gc.m_state.matrix);
}

TEST(GraphicsContext, UnknownPlacementModeIsReportedAndKeepsTheMatrix)
{
    CRecordingContext gc;
    gc.m_state.matrix.SetTranslation(1, 2, 3);
    const CTransform before = gc.m_state.matrix;
    CPillar pillar;
    EXPECT_EQ(1, CountReports([&] { gc.ComputeItemTransform(4, CCamera(), CTransform(), CTransform(), pillar); }));
    EXPECT_TRUE(before == gc.m_state.matrix);
}

TEST(GraphicsContext, UprightPlacementDropsTheTurnAndKeepsPlaceAndScale)
{
    CRecordingContext gc;
    gc.m_state.matrix.RotateZ(30.0f);
    gc.m_state.matrix.RotateX(20.0f);
    gc.m_state.matrix.SetTranslation(5, 6, 7);
    CTransform device;
    device.Scale(2.0f);
    device.SetTranslation(100, 0, 0);
    CPillar pillar;
    gc.ComputeItemTransform(3, CCamera(), device, CTransform(), pillar);
    // Device after the new matrix: upright, scale 2, origin where it was.
    const CTransform effective(device, gc.m_state.matrix);
    const CVector3 origin = effective.TransformPoint(CVector3());
    EXPECT_NEAR(110.0f, origin.x, 1e-4f);
    EXPECT_NEAR(12.0f, origin.y, 1e-4f);
    EXPECT_NEAR(14.0f, origin.z, 1e-4f);
    const CVector3 x = effective.TransformVector(CVector3(1, 0, 0));
    const CVector3 z = effective.TransformVector(CVector3(0, 0, 1));
    EXPECT_NEAR(2.0f, x.x, 1e-5f);
    EXPECT_NEAR(0.0f, x.y, 1e-5f);
    EXPECT_NEAR(0.0f, x.z, 1e-5f);
    EXPECT_NEAR(2.0f, z.z, 1e-5f);
}

TEST(GraphicsContext, StandingPlacementPutsTheLowestPointOnTheGround)
{
    CRecordingContext gc;
    gc.m_state.matrix.RotateZ(30.0f);
    gc.m_state.matrix.SetTranslation(5, 6, 0);
    CPillar pillar;
    gc.ComputeItemTransform(2, CCamera(), CTransform(), CTransform(), pillar);
    const CBox3 placed = gc.m_state.matrix.TransformBox(CBox3(-1, 1, -1, 1, -5, 5));
    EXPECT_NEAR(0.0f, placed.minZ, 1e-4f);
    EXPECT_NEAR(10.0f, placed.maxZ, 1e-4f);
    EXPECT_NEAR(1.0f, gc.m_state.matrix.GetScale(), 1e-6f);
    EXPECT_NEAR(4.0f, placed.minX, 1e-4f);
    EXPECT_NEAR(6.0f, placed.maxX, 1e-4f);
    EXPECT_NEAR(5.0f, placed.minY, 1e-4f);
}

TEST(GraphicsContext, StandingPlacementMeasuresAlongTheItemsOwnUp)
{
    // The item's frame is tipped over: its own z runs along world -y. The
    // lowest point along that axis comes to the item's origin plane.
    CRecordingContext gc;
    gc.m_state.matrix.RotateX(90.0f);
    gc.m_state.matrix.SetTranslation(5, 6, 20);
    const CTransform original = gc.m_state.matrix;
    CPillar pillar;
    gc.ComputeItemTransform(2, CCamera(), CTransform(), CTransform(), pillar);
    const CTransform back(CTransform(original, true), gc.m_state.matrix);
    const CBox3 local = back.TransformBox(CBox3(-1, 1, -1, 1, -5, 5));
    EXPECT_NEAR(0.0f, local.minZ, 1e-4f);
    EXPECT_NEAR(2.0f, local.maxZ, 1e-4f);
}

TEST(GraphicsContext, ScreenSizePlacementTakesTheCameraScaleAtTheDepth)
{
    CCamera camera;
    camera.SetViewport(200.0f, 100.0f);
    camera.SetDepthRange(1.0f, 1000.0f);
    camera.UpdateMatrices();
    CRecordingContext gc;
    gc.m_state.matrix.SetTranslation(0, 0, -50);
    CPillar pillar;
    gc.ComputeItemTransform(1, camera, CTransform(), CTransform(), pillar);
    EXPECT_FLOAT_EQ(camera.ScaleAtDepth(-50.0f), gc.m_state.matrix.GetScale());
    EXPECT_EQ(CVector3(0, 0, -50), gc.m_state.matrix.GetTranslation());
}
