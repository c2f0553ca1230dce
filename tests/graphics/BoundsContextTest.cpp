#include <gtest/gtest.h>

#include <string>

#include "graphics/BoundsContext.h"
#include "graphics/Drawable.h"
#include "graphics/PixelBitmap.h"
#include "tests/support/CanvasTestHelpers.h"
#include "tests/support/FailureReports.h"
#include "tests/support/GeometryExpectations.h"

namespace {

// The bounds cache lives for the whole process, so every test keys its
// drawables with a salt of its own.
class CLine : public CDrawable
{
public:
    CLine(float length, int32_t salt) : m_salt(salt) { SetLength(length); }
    void SetLength(float length)
    {
        m_length = length;
        CFieldWriter& key = BeginKey();
        key.WriteInt32(m_salt);
        key.WriteFloat24(length);
    }
    void Draw(CGraphicsContext& gc) override
    {
        ++draws;
        gc.m_state.penWidth = 2.0f;
        gc.m_state.strokeZ = 0.2f;
        gc.BeginLine(1);
        gc.MoveTo(0, 0);
        gc.LineTo(m_length, 0);
        gc.EndPath();
    }
    int draws = 0;

private:
    int32_t m_salt;
    float m_length = 0.0f;
};

// Draws whatever the test gives it and counts its drawings; a unique key
// unless the test sets one.
class CSketch : public CFunctionDrawable
{
public:
    using CFunctionDrawable::CFunctionDrawable;
    void Draw(CGraphicsContext& gc) override
    {
        ++draws;
        CFunctionDrawable::Draw(gc);
    }
    int draws = 0;
};

CDrawableBounds Measure(CDrawable& drawable)
{
    CBoundsContext::MeasureDrawable(drawable);
    return drawable.GetBounds();
}

}  // namespace

TEST(BoundsContext, StrokeGrowsByTheFullPenWidth)
{
    CLine line(10.0f, 1);
    const CDrawableBounds b = Measure(line);
    EXPECT_FALSE(b.empty);
    EXPECT_EQ(CBox3(-2, 12, -2, 2, 0.2f, 0.2f), b.fixed);
    EXPECT_TRUE(b.scaling.IsZero());
}

TEST(BoundsContext, SameDrawableIsDrawnOnce)
{
    CLine line(10.0f, 2);
    Measure(line);
    Measure(line);
    EXPECT_EQ(1, line.draws);
}

TEST(BoundsContext, EqualKeysShareBoundsWithoutDrawingAgain)
{
    CLine drawn(25.0f, 3);
    CLine twin(25.0f, 3);
    Measure(drawn);
    const CDrawableBounds b = Measure(twin);
    EXPECT_EQ(0, twin.draws);
    EXPECT_EQ(drawn.GetBounds().fixed, b.fixed);
    EXPECT_EQ(CBox3(-2, 27, -2, 2, 0.2f, 0.2f), b.fixed);
}

TEST(BoundsContext, NewKeyIsMeasuredAgainAndOldKeyStillHits)
{
    CLine line(10.0f, 4);
    Measure(line);
    line.SetLength(30.0f);
    EXPECT_EQ(32.0f, Measure(line).fixed.maxX);
    EXPECT_EQ(2, line.draws);
    line.SetLength(10.0f);
    EXPECT_EQ(12.0f, Measure(line).fixed.maxX);
    EXPECT_EQ(2, line.draws);
}

TEST(BoundsContext, UniqueKeyForcesANewMeasurement)
{
    float width = 5.0f;
    CSketch sketch([&width](CGraphicsContext& gc) {
        gc.BeginPath(false, true, 1);
        gc.AddRect(CRectF(0, 0, width, 1));
        gc.EndPath();
    });
    EXPECT_EQ(5.0f, Measure(sketch).fixed.maxX);
    width = 8.0f;
    EXPECT_EQ(5.0f, Measure(sketch).fixed.maxX);  // unchanged key: the cached result
    sketch.MakeUniqueKey();
    EXPECT_EQ(8.0f, Measure(sketch).fixed.maxX);
    EXPECT_EQ(2, sketch.draws);
}

TEST(BoundsContext, KeysOfOneSlotEvictEachOther)
{
    CLine first(1.0f, 5);
    const unsigned slot = CBoundsContext::GetCacheSlot(first.GetKey());
    CLine second(2.0f, 5);
    for (int i = 2; CBoundsContext::GetCacheSlot(second.GetKey()) != slot; ++i)
        second.SetLength(float(i));
    Measure(first);
    Measure(second);
    Measure(first);
    EXPECT_EQ(2, first.draws);
    EXPECT_EQ(1, second.draws);
}

TEST(BoundsContext, KeyBytesHashAsSignedValues)
{
    // 1013904223 - 128 and 1013904223 + 127, modulo 10000.
    EXPECT_EQ(4095u, CBoundsContext::GetCacheSlot(std::string(1, '\x80')));
    EXPECT_EQ(4350u, CBoundsContext::GetCacheSlot(std::string(1, '\x7F')));
    EXPECT_EQ(4222u, CBoundsContext::GetCacheSlot(std::string(1, '\xFF')));
    EXPECT_EQ(0u, CBoundsContext::GetCacheSlot(std::string()));
}

TEST(BoundsContext, FillAndStrokeAddTwoBoxesAtTheirHeights)
{
    CSketch sketch([](CGraphicsContext& gc) {
        gc.m_state.fillZ = -3.0f;
        gc.m_state.strokeZ = 0.5f;
        gc.BeginPath(true, true, 1);
        gc.AddRect(CRectF(0, 0, 10, 5));
        gc.EndPath();
    });
    const CDrawableBounds b = Measure(sketch);
    EXPECT_EQ(CBox3(-1, 11, -6, 1, -3, 0.5f), b.fixed);
}

TEST(BoundsContext, FilledPathIsNotWidened)
{
    CSketch sketch([](CGraphicsContext& gc) {
        gc.m_state.penWidth = 4.0f;
        gc.m_state.fillZ = 1.0f;
        gc.BeginPath(false, true, 1);
        gc.AddRect(CRectF(2, 3, 4, 7));
        gc.EndPath();
    });
    EXPECT_EQ(CBox3(2, 4, -7, -3, 1, 1), Measure(sketch).fixed);
}

TEST(BoundsContext, SingleVertexAddsNothing)
{
    CSketch sketch([](CGraphicsContext& gc) {
        gc.BeginVertices(0, false, 0);
        gc.AddVertex(CVector3(5, 6, 7));
        gc.EndVertices();
    });
    const CDrawableBounds b = Measure(sketch);
    EXPECT_TRUE(b.empty);
}

TEST(BoundsContext, VertexBatchesAddTheBoxOfTheirVertices)
{
    CSketch sketch([](CGraphicsContext& gc) {
        gc.m_state.matrix.SetTranslation(10, 0, 0);
        gc.DrawBox(CBox3(0, 1, 0, 2, 0, 3), 0);
        gc.m_state.matrix.SetTranslation(0, 0, 0);
        gc.DrawCylinder(1.0f, -1.0f, 0.0f, 8, true, false, false, 0, 0);
    });
    ExpectNear(CBox3(-1, 11, -1, 2, -1, 3), Measure(sketch).fixed);
}

TEST(BoundsContext, DrawingNothingGivesEmptyBoundsThatAreCachedToo)
{
    CSketch sketch([](CGraphicsContext& gc) {
        gc.BeginPath(false, true, 1);
        gc.MoveTo(3, 3);
        gc.EndPath();
    });
    sketch.BeginKey().WriteInt32(6);
    EXPECT_TRUE(Measure(sketch).empty);
    EXPECT_TRUE(Measure(sketch).empty);
    EXPECT_EQ(1, sketch.draws);
}

TEST(BoundsContext, TextAddsItsCellAtTextHeight)
{
    CSketch sketch([](CGraphicsContext& gc) {
        gc.m_state.font = CFontMetrics(10.0f, false);
        gc.m_state.textZ = 1.5f;
        gc.m_state.textAlignV = 5;
        gc.DrawText(L"Table", 5.0f, 20.0f);
    });
    const CDrawableBounds b = Measure(sketch);
    CFontMetrics font(10.0f, false);
    const float top = 20.0f - font.GetAscent();
    EXPECT_FLOAT_EQ(5.0f, b.fixed.minX);
    EXPECT_FLOAT_EQ(5.0f + font.GetStringWidth(L"Table"), b.fixed.maxX);
    EXPECT_FLOAT_EQ(-(top + font.GetHeight()), b.fixed.minY);
    EXPECT_FLOAT_EQ(-top, b.fixed.maxY);
    EXPECT_EQ(1.5f, b.fixed.minZ);
    EXPECT_EQ(1.5f, b.fixed.maxZ);
}

TEST(BoundsContext, EmptyTextAddsNothing)
{
    CSketch sketch([](CGraphicsContext& gc) {
        gc.m_state.font = CFontMetrics(10.0f, false);
        gc.DrawText(L"", 100.0f, 100.0f);
    });
    EXPECT_TRUE(Measure(sketch).empty);
}

TEST(BoundsContext, DashedAndCurvedStrokesArriveWhole)
{
    CSketch sketch([](CGraphicsContext& gc) {
        gc.m_state.penWidth = 0.5f;
        gc.SetDashStyle(2);
        gc.BeginLine(1);
        gc.MoveTo(0, 0);
        gc.LineTo(3.5f, 0);
        gc.AddBezier(CPoint2(3.5f, -10), CPoint2(10, -10), CPoint2(10, 0));
        gc.EndPath();
    });
    // Control polygon x 0..10, y -10..0 (up is +y), widened by 0.5.
    EXPECT_EQ(CBox3(-0.5f, 10.5f, -0.5f, 10.5f, 0, 0), Measure(sketch).fixed);
}

TEST(BoundsContext, MatrixPlacesWhatIsDrawn)
{
    CSketch sketch([](CGraphicsContext& gc) {
        gc.m_state.matrix.RotateZ(90.0f);
        gc.m_state.matrix.SetPosition2D(100, 50);
        gc.BeginPath(false, true, 1);
        gc.AddRect(CRectF(0, 0, 10, 2));
        gc.EndPath();
    });
    // Turned a quarter: the rectangle's length runs along y, its width along
    // x, about the point (100, -50) of the y-up frame.
    ExpectNear(CBox3(100, 102, -50, -40, 0, 0), Measure(sketch).fixed);
}

TEST(BoundsContext, BitmapReachesItsRectangleAtFillHeight)
{
    const CPixelBitmap bitmap(4.0f, 6.0f);
    CSketch sketch([&bitmap](CGraphicsContext& gc) {
        gc.m_state.fillZ = 0.25f;
        gc.DrawBitmap(bitmap, CRectF(1, 2, 5, 8));
    });
    EXPECT_EQ(CBox3(1, 5, -8, -2, 0.25f, 0.25f), Measure(sketch).fixed);
}

TEST(BoundsContext, NestedDrawableIsMeasuredOnceAndPlacedByTheMatrix)
{
    CLine child(10.0f, 7);
    CSketch parent([&child](CGraphicsContext& gc) {
        gc.m_state.matrix.SetPosition2D(100, 0);
        gc.DrawDrawable(child, 0, 0);
        gc.m_state.matrix.SetPosition2D(200, 0);
        gc.DrawDrawable(child, 0, 0);
    });
    const CDrawableBounds b = Measure(parent);
    EXPECT_EQ(1, child.draws);
    EXPECT_EQ(CBox3(98, 212, -2, 2, 0.2f, 0.2f), b.fixed);
    EXPECT_TRUE(b.scaling.IsZero());
    // The child's own bounds are in its own coordinates.
    EXPECT_EQ(CBox3(-2, 12, -2, 2, 0.2f, 0.2f), child.GetBounds().fixed);
}

TEST(BoundsContext, ScreenSizeChildGoesIntoTheScalingPart)
{
    CLine child(3.0f, 8);  // reaches (-2..5, -2..2): radius hypot(5, 2)
    CSketch parent([&child](CGraphicsContext& gc) {
        gc.BeginPath(false, true, 1);
        gc.AddRect(CRectF(0, 0, 10, 10));
        gc.EndPath();
        gc.m_state.matrix.SetPosition2D(50, 0);
        gc.DrawDrawable(child, 1, 0);
    });
    const CDrawableBounds b = Measure(parent);
    const float r = std::hypot(std::hypot(5.0f, 2.0f), 0.2f);
    EXPECT_EQ(CBox3(0, 50, -10, 0, 0, 0), b.fixed);
    ExpectNear(CBox3(-r, r, -r, r, -r, r), b.scaling);
}

TEST(BoundsContext, StateAfterMeasuringIsThatOfBefore)
{
    CLine child(4.0f, 9);
    float penAfter = 0.0f;
    CSketch parent([&](CGraphicsContext& gc) {
        gc.m_state.penWidth = 7.0f;
        gc.DrawDrawable(child, 0, 0);
        penAfter = gc.m_state.penWidth;
    });
    Measure(parent);
    EXPECT_EQ(7.0f, penAfter);
    EXPECT_EQ(0u, CBoundsContext::Instance().GetStateDepth());
}

TEST(BoundsContext, DrawableThatDrawsItselfIsStoppedAndReported)
{
    const int before = ReportCount();
    CSketch* self = nullptr;
    CSketch sketch([&self](CGraphicsContext& gc) {
        gc.BeginPath(false, true, 1);
        gc.AddRect(CRectF(0, 0, 1, 1));
        gc.EndPath();
        self->MakeUniqueKey();  // every level a new key: the cache never hits
        gc.DrawDrawable(*self, 0, 0);
    });
    self = &sketch;
    Measure(sketch);
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_EQ(CBoundsContext::kMaxNesting, sketch.draws);
    EXPECT_EQ(0u, CBoundsContext::Instance().GetStateDepth());
    // Measuring goes on normally afterwards.
    CLine line(10.0f, 10);
    EXPECT_EQ(12.0f, Measure(line).fixed.maxX);
}

TEST(BoundsContext, PathLeftOpenIsEndedIntoItsOwnDrawable)
{
    CSketch careless([](CGraphicsContext& gc) {
        gc.PushState();
        gc.BeginPath(false, true, 1);
        gc.AddRect(CRectF(0, 0, 3, 3));
    });
    EXPECT_EQ(2, CountReports([&] { EXPECT_EQ(CBox3(0, 3, -3, 0, 0, 0), Measure(careless).fixed); }));
    EXPECT_FALSE(CBoundsContext::Instance().IsPathOpen());
    EXPECT_EQ(0u, CBoundsContext::Instance().GetStateDepth());
    CLine line(10.0f, 11);
    EXPECT_EQ(CBox3(-2, 12, -2, 2, 0.2f, 0.2f), Measure(line).fixed);
}
