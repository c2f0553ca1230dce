#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "foundation/Box.h"
#include "foundation/Geometry.h"
#include "foundation/Rect.h"
#include "foundation/Rgba.h"
#include "foundation/TracePoint.h"
#include "tests/support/FailureReports.h"

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

template <class T>
std::string TraceText(const T& value)
{
    std::ostringstream out;
    WriteTraceValue(out, value);
    return out.str();
}

}  // namespace

TEST(Geometry, PointsAreFiniteOnlyWithBothCoordinatesFinite)
{
    EXPECT_TRUE(IsFinite(CPoint2(-1e30f, 3.0f)));
    EXPECT_FALSE(IsFinite(CPoint2(kNaN, 0.0f)));
    EXPECT_FALSE(IsFinite(CPoint2(0.0f, std::numeric_limits<float>::infinity())));
}

TEST(Geometry, FitSizeKeepingAspect)
{
    EXPECT_EQ(CSize2(100, 75), FitSizeKeepingAspect({4, 3}, 100, 100));
    EXPECT_EQ(CSize2(75, 100), FitSizeKeepingAspect({3, 4}, 100, 100));
    EXPECT_EQ(CSize2(100, 100), FitSizeKeepingAspect({1, 1}, 100, 100));
    EXPECT_EQ(CSize2(40, 80), FitSizeKeepingAspect({1, 2}, 300, 80));
    // A zero-height aspect is a flat line across the whole width.
    EXPECT_EQ(CSize2(300, 0), FitSizeKeepingAspect({5, 0}, 300, 80));
}

TEST(Geometry, LegFromHypotenuse)
{
    EXPECT_FLOAT_EQ(4.0f, LegFromHypotenuse(5, 3));
    EXPECT_EQ(0.0f, LegFromHypotenuse(5, 5));
    // A leg longer than the hypotenuse is no triangle: 0, never NaN.
    EXPECT_EQ(0.0f, LegFromHypotenuse(3, 5));
}

TEST(Geometry, DivideRoundedRoundsHalfUp)
{
    EXPECT_EQ(3, DivideRounded(5, 2));     // 2.5
    EXPECT_EQ(2, DivideRounded(7, 4));     // 1.75
    EXPECT_EQ(0, DivideRounded(-1, 2));    // -0.5 rounds up
    EXPECT_EQ(-1, DivideRounded(-3, 2));   // -1.5 rounds up to -1
    EXPECT_EQ(-1, DivideRounded(-3, 4));   // -0.75, where truncation would give 0
    EXPECT_EQ(-2, DivideRounded(-7, 4));   // -1.75
    EXPECT_EQ(254, DivideRounded(2540, 10));
    EXPECT_EQ(305, DivideRounded(120 * 254, 100));
}

TEST(Geometry, DivideRoundedFloorsAtAndBeyondTheOffsetRange)
{
    EXPECT_EQ(-32766, DivideRounded(-32766 * 3, 3));
    EXPECT_EQ(-32767, DivideRounded(-32766 * 3 - 2, 3));
    EXPECT_EQ(-40000, DivideRounded(-40000 * 7, 7));
    EXPECT_EQ(-40001, DivideRounded(-40000 * 7 - 4, 7));
    // A divisor large enough to overflow 32766 b in 32 bits.
    EXPECT_EQ(1, DivideRounded(1000000, 1000000));
    EXPECT_EQ(-1, DivideRounded(-1000000, 1000000));
}

TEST(Geometry, DivideRoundedByZeroReports)
{
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(0, DivideRounded(17, 0)); }));
}

TEST(Geometry, PointLengthAndComparison)
{
    EXPECT_FLOAT_EQ(5.0f, CPoint2(3, -4).Length());
    EXPECT_TRUE(CPoint2(1, 2) == CPoint2(1, 2));
    EXPECT_TRUE(CPoint2(0.0f, 0.0f) == CPoint2(-0.0f, 0.0f));
    EXPECT_FALSE(CPoint2(kNaN, 2) == CPoint2(kNaN, 2));
}

TEST(Geometry, VectorNormalize)
{
    CVector3 v(3, 0, 4);
    v.Normalize();
    EXPECT_FLOAT_EQ(0.6f, v.x);
    EXPECT_EQ(0.0f, v.y);
    EXPECT_FLOAT_EQ(0.8f, v.z);
    EXPECT_FLOAT_EQ(13.0f, CVector3(3, 4, 12).Length());
}

TEST(Geometry, NormalizingTheZeroVectorReportsAndKeepsIt)
{
    const int before = ReportCount();
    CVector3 v;
    v.Normalize();
    EXPECT_EQ(CVector3(0, 0, 0), v);
    EXPECT_EQ(before + 1, ReportCount());
}

TEST(RotationFrame, MapsAlongAnyDirectionLength)
{
    const CRotationFrame frame(10, 20, 3, 4);
    const CPoint2 world = frame.ToWorld(0, 1);
    EXPECT_FLOAT_EQ(10.6f, world.x);
    EXPECT_FLOAT_EQ(20.8f, world.y);
    const CPoint2 local = frame.ToLocal(world);
    EXPECT_NEAR(0.0f, local.x, 1e-5f);
    EXPECT_NEAR(1.0f, local.y, 1e-5f);
    // Local x runs along (direction y, -direction x).
    const CPoint2 across = frame.RotateVector(5, 0);
    EXPECT_FLOAT_EQ(4.0f, across.x);
    EXPECT_FLOAT_EQ(-3.0f, across.y);
    // A point beside the line has its signed distance as local x.
    EXPECT_FLOAT_EQ(-5.0f, frame.ToLocalVector(-4, 3).x);
}

TEST(RotationFrame, DefaultIsTheIdentity)
{
    const CRotationFrame frame;
    EXPECT_EQ(CPoint2(7, -2), frame.ToWorld(7, -2));
    EXPECT_EQ(CPoint2(7, -2), frame.ToLocal(7, -2));
}

TEST(RotationFrame, ZeroDirectionReportsAndKeepsInput)
{
    const int before = ReportCount();
    const CRotationFrame frame(1, 2, 0, 0);
    EXPECT_EQ(CPoint2(5, 6), frame.RotateVector(5, 6));
    EXPECT_EQ(CPoint2(6, 8), frame.ToWorld(5, 6));
    EXPECT_EQ(CPoint2(4, 4), frame.ToLocal(5, 6));
    EXPECT_EQ(before + 3, ReportCount());
}

TEST(Rect, EmptinessOnEitherAxis)
{
    EXPECT_TRUE(CRectF().IsEmpty());
    EXPECT_TRUE(CRectF(0, 0, 10, 0).IsEmpty());
    EXPECT_TRUE(CRectF(0, 0, 0, 10).IsEmpty());
    EXPECT_TRUE(CRectF(5, 0, 1, 10).IsEmpty());
    EXPECT_FALSE(CRectF(0, 0, 1, 1).IsEmpty());
    EXPECT_EQ(4.0f, CRectF(1, 2, 5, 8).Width());
    EXPECT_EQ(6.0f, CRectF(1, 2, 5, 8).Height());
}

TEST(Rect, CentreOfTheEdges)
{
    EXPECT_EQ(CPoint2(3.0f, 5.0f), CRectF(1, 2, 5, 8).GetCentre());
    EXPECT_EQ(CPoint2(-1.5f, 0.0f), CRectF(-4, -3, 1, 3).GetCentre());
}

TEST(Rect, FromRangesFlipY)
{
    EXPECT_EQ(CRectF(1, -4, 2, -3), CRectF::FromRangesFlipY(CBox3(1, 2, 3, 4, 5, 6)));
}

TEST(Rect, IncludeNeverMovesBothEdgesOfAnAxis)
{
    // A reversed rectangle: a point left of it is also right of its right edge.
    CRectF r(10, 10, 0, 0);
    r.Include(-5, -5);
    EXPECT_EQ(CRectF(-5, -5, 0, 0), r);

    CRectF grow(0, 0, 10, 10);
    grow.Include(15, -3);
    EXPECT_EQ(CRectF(0, -3, 15, 10), grow);
    grow.Include(5, 5);
    EXPECT_EQ(CRectF(0, -3, 15, 10), grow);
}

TEST(Rect, ClampPoint)
{
    const CRectF r(0, 0, 10, 20);
    EXPECT_EQ(CPoint2(0, 20), r.ClampPoint(-3, 25));
    EXPECT_EQ(CPoint2(10, 0), r.ClampPoint(11, -1));
    EXPECT_EQ(CPoint2(4, 5), r.ClampPoint(4, 5));
}

TEST(Rect, RoundOutwardAndNormalize)
{
    CRectF r(0.5f, -0.5f, 9.1f, -0.2f);
    r.RoundOutward();
    EXPECT_EQ(CRectF(0, -1, 10, 0), r);

    CRectF reversed(10, 8, 2, 4);
    reversed.Normalize();
    EXPECT_EQ(CRectF(2, 4, 10, 8), reversed);
}

TEST(Rect, IntersectOfTouchingRectanglesIsTheZeroRectangle)
{
    CRectF r(1, 1, 2, 2);
    EXPECT_FALSE(r.Intersect(CRectF(0, 0, 10, 10), CRectF(10, 0, 20, 10)));
    EXPECT_EQ(CRectF(), r);

    EXPECT_TRUE(r.Intersect(CRectF(0, 0, 10, 10), CRectF(5, -5, 20, 8)));
    EXPECT_EQ(CRectF(5, 0, 10, 8), r);
}

TEST(Rect, IntersectIntoAnOperand)
{
    CRectF a(0, 0, 10, 10);
    EXPECT_TRUE(a.Intersect(a, CRectF(5, 5, 20, 20)));
    EXPECT_EQ(CRectF(5, 5, 10, 10), a);
}

TEST(Rect, UnionTakesTheOtherOfAnEmptyOperand)
{
    CRectF r;
    EXPECT_TRUE(r.Union(CRectF(), CRectF(0, 0, 10, 10)));
    EXPECT_EQ(CRectF(0, 0, 10, 10), r);
    EXPECT_TRUE(r.Union(CRectF(0, 0, 10, 10), CRectF(50, 50, 50, 60)));
    EXPECT_EQ(CRectF(0, 0, 10, 10), r);
    EXPECT_TRUE(r.Union(CRectF(0, 0, 10, 10), CRectF(-5, 2, 3, 30)));
    EXPECT_EQ(CRectF(-5, 0, 10, 30), r);
    EXPECT_FALSE(r.Union(CRectF(3, 3, 3, 9), CRectF(4, 4, 1, 1)));
    EXPECT_EQ(CRectF(), r);
}

TEST(Box, EmptyOnlyWhenAllAxesAreEmpty)
{
    EXPECT_TRUE(CBox3().IsEmpty());
    EXPECT_FALSE(CBox3(0, 10, 0, 10, 5, 5).IsEmpty());
    EXPECT_FALSE(CBox3(0, 0, 0, 0, 0, 1).IsEmpty());
    EXPECT_TRUE(CBox3(3, 1, 2, 2, 9, 0).IsEmpty());
    EXPECT_TRUE(CBox3().IsZero());
    EXPECT_FALSE(CBox3(0, 0, 0, 0, 0, -0.5f).IsZero());
}

TEST(Box, UnionWithAFlatBoxTakesItsExtents)
{
    CBox3 flat(0, 10, -5, 5, 2, 2);
    CBox3 result(1, 2, 3, 4, 5, 6);
    EXPECT_TRUE(result.Union(CBox3(), flat));
    EXPECT_EQ(flat, result);
    EXPECT_TRUE(result.Union(flat, CBox3(4, 4, 4, 4, 4, 4)));
    EXPECT_EQ(flat, result);
    EXPECT_TRUE(result.Union(flat, CBox3(-1, 1, 0, 9, 0, 1)));
    EXPECT_EQ(CBox3(-1, 10, -5, 9, 0, 2), result);
}

TEST(Box, UnionOfEmptyBoxesIsTheZeroBox)
{
    CBox3 result(1, 2, 3, 4, 5, 6);
    EXPECT_FALSE(result.Union(CBox3(5, 5, 6, 6, 7, 7), CBox3(9, 1, 9, 1, 9, 1)));
    EXPECT_TRUE(result.IsZero());
}

TEST(Box, IntersectMakesNoEmptinessTest)
{
    CBox3 result;
    result.Intersect(CBox3(0, 10, 0, 10, 0, 10), CBox3(20, 30, 5, 6, -1, 1));
    EXPECT_EQ(CBox3(20, 10, 5, 6, 0, 1), result);
}

TEST(Box, IncludeSetPointClampAndAdd)
{
    CBox3 box;
    box.SetPoint({1, 2, 3});
    EXPECT_EQ(CBox3(1, 1, 2, 2, 3, 3), box);
    box.Include({-1, 5, 3});
    EXPECT_EQ(CBox3(-1, 1, 2, 5, 3, 3), box);
    // A reversed axis moves only its min for a point below it.
    CBox3 reversed(5, 0, 0, 0, 0, 0);
    reversed.Include({-2, 0, 0});
    EXPECT_EQ(CBox3(-2, 0, 0, 0, 0, 0), reversed);

    EXPECT_EQ(CVector3(-1, 5, 3), box.ClampPoint(-9, 9, 0));
    box.Add(CBox3(1, 1, 1, 1, 1, 1));
    EXPECT_EQ(CBox3(0, 2, 3, 6, 4, 4), box);
    box.Clear();
    EXPECT_TRUE(box.IsZero());
}

TEST(Rgba, BlendOverByForegroundAlpha)
{
    const uint32_t background = 0x80102030;
    EXPECT_EQ(background, BlendColorOver(0x00FFFFFF, background));
    EXPECT_EQ(0xFF445566u, BlendColorOver(0xFF445566, background));
    // Half-covering white over opaque black: (255 * 128) / 255 = 128.
    EXPECT_EQ(0xFF808080u, BlendColorOver(0x80FFFFFF, 0xFF000000));
    // Alpha: 255 - (255 - 0) * (255 - 128) / 255 = 128 over transparent.
    EXPECT_EQ(0x80u, GetAlpha(BlendColorOver(0x80FFFFFF, 0x00000000)));
    EXPECT_EQ(0x0000FFu, BlendColorOver(0x800000FF, 0x000000FF) & 0xFFFFFF);
}

TEST(Rgba, DistanceCountsAllFourChannels)
{
    EXPECT_EQ(0, ColorDistanceSquared(0x12345678, 0x12345678));
    EXPECT_EQ(1 + 4 + 9 + 16, ColorDistanceSquared(0x04030201, 0x00000000));
    EXPECT_EQ(4 * 255 * 255, ColorDistanceSquared(0xFFFFFFFF, 0));
    EXPECT_EQ(255 * 255, ColorDistanceSquared(0xFF000000, 0));
}

TEST(Geometry, TraceValueTexts)
{
    EXPECT_EQ("CP(1.5,-2)", TraceText(CPoint2(1.5f, -2)));
    EXPECT_EQ("CS(640,480)", TraceText(CSize2(640, 480)));
    EXPECT_EQ("CR(0,0.25,1e+07,-3)", TraceText(CRectF(0, 0.25f, 1e7f, -3)));
    EXPECT_EQ("RGBA(1,2,3,255)", TraceText(CRgba(0xFF030201)));
}

TEST(Geometry, TraceValuePointsKeepTheseTypes)
{
    static CTraceValue<CRgba> colour("GeometryTest", 1);
    static CTraceValue<CRectF> rect("GeometryTest", 2);
    colour.Pass(0x80FF0010);
    rect.Pass(CRectF(1, 2, 3, 4));
    std::ostringstream out;
    colour.WriteValue(out);
    out << " ";
    rect.WriteValue(out);
    EXPECT_EQ("RGBA(16,0,255,128) CR(1,2,3,4)", out.str());
}
