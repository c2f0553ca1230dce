#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "foundation/Curve.h"
#include "tests/support/FailureReports.h"
#include "tests/support/GeometryExpectations.h"

namespace {

CCurveGeometry MakeCurve(CPoint2 a, CPoint2 b, CPoint2 c, CPoint2 d)
{
    CCurveGeometry curve;
    curve.p0 = a;
    curve.p1 = b;
    curve.p2 = c;
    curve.p3 = d;
    return curve;
}

// The arch of the quarter-point example: (0,0) (0,1) (1,1) (1,0).
CCurveGeometry MakeArch() { return MakeCurve({0, 0}, {0, 1}, {1, 1}, {1, 0}); }

// The cubic in Bernstein form, in double, to check the float evaluation.
CPoint2 Bernstein(const CCurveGeometry& c, double t)
{
    const double s = 1 - t;
    const double w0 = s * s * s, w1 = 3 * s * s * t, w2 = 3 * s * t * t, w3 = t * t * t;
    return CPoint2(float(w0 * c.p0.x + w1 * c.p1.x + w2 * c.p2.x + w3 * c.p3.x),
                   float(w0 * c.p0.y + w1 * c.p1.y + w2 * c.p2.y + w3 * c.p3.y));
}

CPoint2 BernsteinFirst(const CCurveGeometry& c, double t)
{
    const double s = 1 - t;
    const double w0 = 3 * s * s, w1 = 6 * s * t, w2 = 3 * t * t;
    return CPoint2(float(w0 * (c.p1.x - c.p0.x) + w1 * (c.p2.x - c.p1.x) + w2 * (c.p3.x - c.p2.x)),
                   float(w0 * (c.p1.y - c.p0.y) + w1 * (c.p2.y - c.p1.y) + w2 * (c.p3.y - c.p2.y)));
}

CPoint2 BernsteinSecond(const CCurveGeometry& c, double t)
{
    const double s = 1 - t;
    return CPoint2(float(6 * (s * (c.p0.x - 2 * c.p1.x + c.p2.x) + t * (c.p1.x - 2 * c.p2.x + c.p3.x))),
                   float(6 * (s * (c.p0.y - 2 * c.p1.y + c.p2.y) + t * (c.p1.y - 2 * c.p2.y + c.p3.y))));
}

}  // namespace

TEST(Curve, QuarterPointsComeFromTheTables)
{
    const CCurveGeometry arch = MakeArch();
    EXPECT_EQ(CPoint2(0.5f, 0.75f), arch.GetPoint(0.5f));
    EXPECT_EQ(arch.p0, arch.GetPoint(0.0f));
    EXPECT_EQ(arch.p3, arch.GetPoint(1.0f));
    // (216*0 + 216*0 + 72*1 + 8*1) / 512 and (216*1 + 72*1) / 512.
    EXPECT_EQ(CPoint2(80.0f / 512, 288.0f / 512), arch.GetPoint(0.25f));
    EXPECT_EQ(CPoint2(0, 3), arch.GetTangent(0.0f));
    EXPECT_EQ(CPoint2(0, -3), arch.GetTangent(1.0f));
    EXPECT_EQ(CPoint2(1.5f, 0), arch.GetTangent(0.5f));
}

TEST(Curve, DeCasteljauBetweenQuarterPoints)
{
    const CCurveGeometry c = MakeCurve({1, 2}, {4, 9}, {-3, 5}, {7, -1});
    for (float t : {0.1f, 0.3f, 0.6f, 0.9f}) {
        CPoint2 point, first, second;
        c.Evaluate(t, &point, &first, &second);
        ExpectNear(Bernstein(c, t), point, 1e-4f);
        ExpectNear(BernsteinFirst(c, t), first, 1e-4f);
        ExpectNear(BernsteinSecond(c, t), second, 1e-4f);
    }
    // The table rows agree with the general formulas.
    CPoint2 first, second;
    c.Evaluate(0.75f, nullptr, &first, &second);
    const CPoint2 nearFirst = c.GetTangent(0.7500001f);
    ExpectNear(nearFirst, first, 1e-3f);
    CPoint2 nearSecond;
    c.Evaluate(0.7500001f, nullptr, nullptr, &nearSecond);
    ExpectNear(nearSecond, second, 1e-3f);
}

TEST(Curve, StraightSegmentLengthAndFlatness)
{
    const CCurveGeometry line = MakeCurve({0, 0}, {1, 2}, {2, 4}, {3, 6});
    EXPECT_FLOAT_EQ(std::sqrt(45.0f), line.GetLength());
    EXPECT_EQ(0.0f, line.GetFlatness());
    EXPECT_EQ(0.0f, line.GetCurvature(0.3f));
    EXPECT_EQ(0.0f, line.GetCurvature(0.5f));
}

TEST(Curve, LengthOfAQuarterCircle)
{
    // The usual four-point approximation of a unit quarter circle.
    const float k = 0.5522847f;
    const CCurveGeometry arc = MakeCurve({1, 0}, {1, k}, {k, 1}, {0, 1});
    EXPECT_NEAR(1.5707963f, arc.GetLength(), 1e-3f);
    // The approximation bends a little less than the circle at its middle.
    EXPECT_NEAR(1.0f, arc.GetCurvature(0.5f), 1e-2f);
    EXPECT_NEAR(1.0f, arc.GetCurvature(0.3f), 1e-2f);
    // Turning the other way flips the sign.
    CCurveGeometry back = arc;
    back.Reverse();
    EXPECT_NEAR(-arc.GetCurvature(0.5f), back.GetCurvature(0.5f), 1e-6f);
}

TEST(Curve, CurvatureIsZeroWhereTheTangentVanishes)
{
    const CCurveGeometry c = MakeCurve({0, 0}, {0, 0}, {1, 1}, {2, 0});
    EXPECT_EQ(0.0f, c.GetCurvature(0.0f));
    EXPECT_NE(0.0f, c.GetCurvature(0.5f));
}

TEST(Curve, LengthOfInvalidCoordinatesReportsAndIsZero)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const CCurveGeometry c = MakeCurve({0, 0}, {nan, 0}, {1, 1}, {2, 0});
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(0.0f, c.GetLength()); }));
}

TEST(Curve, FlatnessOfAClosedLoopUsesTheDistancesFromTheStart)
{
    const CCurveGeometry loop = MakeCurve({1, 1}, {4, 5}, {1, 3}, {1, 1});
    EXPECT_FLOAT_EQ(5.0f + 2.0f, loop.GetFlatness());
    EXPECT_FLOAT_EQ(1.0f + 1.0f, MakeArch().GetFlatness());
}

TEST(Curve, SubCurves)
{
    const CCurveGeometry c = MakeCurve({1, 2}, {4, 9}, {-3, 5}, {7, -1});
    const CCurveGeometry whole = c.GetSubCurve(0.0f, 1.0f);
    EXPECT_EQ(c.p0, whole.p0);
    EXPECT_EQ(c.p1, whole.p1);
    EXPECT_EQ(c.p2, whole.p2);
    EXPECT_EQ(c.p3, whole.p3);

    const CCurveGeometry first = c.GetSubCurve(0.0f, 0.5f);
    EXPECT_EQ(c.p0, first.p0);
    EXPECT_EQ(c.GetPoint(0.5f), first.p3);
    const CCurveGeometry second = c.GetSubCurve(0.5f, 1.0f);
    EXPECT_EQ(c.GetPoint(0.5f), second.p0);
    EXPECT_EQ(c.p3, second.p3);
    // Each half runs along the curve at half speed.
    for (float u : {0.2f, 0.4f, 0.8f}) {
        ExpectNear(c.GetPoint(u / 2), first.GetPoint(u), 1e-4f);
        ExpectNear(c.GetPoint(0.5f + u / 2), second.GetPoint(u), 1e-4f);
    }

    const CCurveGeometry middle = c.GetSubCurve(0.3f, 0.7f);
    ExpectNear(c.GetPoint(0.3f), middle.p0, 1e-5f);
    ExpectNear(c.GetPoint(0.7f), middle.p3, 1e-5f);
    ExpectNear(c.GetPoint(0.5f), middle.GetPoint(0.5f), 1e-4f);
}

TEST(Curve, SubCurveParametersAreKeptOnTheCurve)
{
    const CCurveGeometry c = MakeCurve({1, 2}, {4, 9}, {-3, 5}, {7, -1});
    const CCurveGeometry outside = c.GetSubCurve(-0.5f, 1.5f);
    EXPECT_EQ(c.p0, outside.p0);
    EXPECT_EQ(c.p1, outside.p1);
    EXPECT_EQ(c.p2, outside.p2);
    EXPECT_EQ(c.p3, outside.p3);
    const CCurveGeometry before = c.GetSubCurve(-1.0f, 0.5f);
    const CCurveGeometry half = c.GetSubCurve(0.0f, 0.5f);
    EXPECT_EQ(half.p1, before.p1);
    EXPECT_EQ(half.p2, before.p2);
}

TEST(Curve, Reverse)
{
    CCurveGeometry c = MakeCurve({1, 2}, {3, 4}, {5, 6}, {7, 8});
    c.Reverse();
    EXPECT_EQ(CPoint2(7, 8), c.p0);
    EXPECT_EQ(CPoint2(5, 6), c.p1);
    EXPECT_EQ(CPoint2(3, 4), c.p2);
    EXPECT_EQ(CPoint2(1, 2), c.p3);
}

TEST(Curve, HandleFromNeighbours)
{
    // Equal distances: the Catmull-Rom point a + (e - d) / 6.
    ExpectNear(CPoint2(10, 0) + (CPoint2(13, 4) - CPoint2(5, 0)) / 6.0f,
               ComputeHandle({10, 0}, {13, 4}, {5, 0}), 1e-5f);
    // Unequal distances weigh the tangent by the segment lengths:
    // a = (30, 0), b = (-10, 0): a - ((900/40)(-10,0) - (100/40)(30,0)) / 30.
    ExpectNear({10 + 10, 0}, ComputeHandle({10, 0}, {40, 0}, {0, 0}), 1e-5f);
    // A neighbour on the anchor gives the other end.
    EXPECT_EQ(CPoint2(20, 10), ComputeHandle({10, 0}, {20, 10}, {10, 0}));
}

TEST(Curve, ControlPointByAThirdOfTheChord)
{
    EXPECT_EQ(CPoint2(4, 3), ComputeCurveControlPoint({0, 0}, {1, 0}, {9, 9}));
    // Landing on p2 gives p1, or p0 when p1 is p2 as well.
    EXPECT_EQ(CPoint2(7, 0), ComputeCurveControlPoint({0, 0}, {6, 0}, {3, 0}));
    EXPECT_EQ(CPoint2(2, 0), ComputeCurveControlPoint({0, 0}, {2, 0}, {3, 0}));
    EXPECT_EQ(CPoint2(-0.0f, 5), ComputeCurveControlPoint({-0.0f, 5}, {0, 5}, {0, 5}));
    EXPECT_TRUE(std::signbit(ComputeCurveControlPoint({-0.0f, 5}, {0, 5}, {0, 5}).x));
}

TEST(Curve, SetHandlesWithNeitherIsStraight)
{
    CCurveGeometry c = MakeCurve({0, 0}, {5, 5}, {6, 6}, {9, 0});
    c.SetHandles(nullptr, nullptr);
    EXPECT_EQ(CPoint2(9, 0), c.p1);
    EXPECT_EQ(CPoint2(0, 0), c.p2);
    EXPECT_EQ(0.0f, c.GetFlatness());
    EXPECT_EQ(0.0f, c.GetPoint(0.3f).y);
}

TEST(Curve, SetHandlesFromOneSide)
{
    const CPoint2 before(-10, 0);
    CCurveGeometry c = MakeCurve({0, 0}, {}, {}, {10, 10});
    c.SetHandles(&before, nullptr);
    EXPECT_EQ(ComputeHandle({0, 0}, {10, 10}, before), c.p1);
    EXPECT_EQ(ComputeCurveControlPoint({0, 0}, c.p1, {10, 10}), c.p2);

    const CPoint2 after(20, 10);
    CCurveGeometry d = MakeCurve({0, 0}, {}, {}, {10, 10});
    d.SetHandles(nullptr, &after);
    EXPECT_EQ(ComputeHandle({10, 10}, {0, 0}, after), d.p2);
    EXPECT_EQ(ComputeCurveControlPoint({10, 10}, d.p2, {0, 0}), d.p1);
}

TEST(Curve, SetHandlesChainIsSmoothAtTheJoint)
{
    const CPoint2 points[4] = {{0, 0}, {10, 5}, {20, 0}, {30, 8}};
    CCurveGeometry left = MakeCurve(points[0], {}, {}, points[1]);
    left.SetHandles(nullptr, &points[2]);
    CCurveGeometry right = MakeCurve(points[1], {}, {}, points[2]);
    right.SetHandles(&points[0], &points[3]);
    // Both tangents at the shared point run the same way.
    const CPoint2 in = left.GetTangent(1.0f);
    const CPoint2 out = right.GetTangent(0.0f);
    EXPECT_NEAR(0.0f, in.x * out.y - in.y * out.x, 1e-3f * in.Length() * out.Length());
    EXPECT_GT(in.x * out.x + in.y * out.y, 0.0f);
}
