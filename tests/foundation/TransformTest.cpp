#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "foundation/Transform.h"
#include "tests/support/FailureReports.h"
#include "tests/support/GeometryExpectations.h"

namespace {

void ExpectMatrixNear(const CTransform& expected, const CTransform& actual,
                      float tolerance = 1e-5f)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(expected.GetMatrix()[i], actual.GetMatrix()[i], tolerance) << i;
}

// Scale 2, 30 degrees about Z, translation (10, 0, 0).
CTransform MakeScaledTurn()
{
    CTransform t;
    t.Scale(2.0f);
    t.RotateZ(30.0f);
    t.SetTranslation(10.0f, 0.0f, 0.0f);
    return t;
}

}  // namespace

TEST(Transform, DefaultIsTheIdentity)
{
    const CTransform t;
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(i % 5 == 0 ? 1.0f : 0.0f, t.GetMatrix()[i]);
    EXPECT_EQ(1.0f, t.GetScale());
    EXPECT_TRUE(t.IsAngleValid());
    EXPECT_EQ(0.0f, t.GetRotation());
}

TEST(Transform, WholeDegreeTurnsMatchTheirCosineAndSine)
{
    // Either side of the range whose values are kept, and fractions.
    for (const float degrees : {-361.0f, -360.0f, -359.0f, -1.0f, 1.0f, 17.0f, 359.0f, 360.5f, 361.0f, 1234.0f,
                                0.5f}) {
        CTransform t;
        t.RotateZ(degrees);
        const double radians = double(degrees) * 3.14159265358979 / 180.0;
        EXPECT_NEAR(std::cos(radians), t.GetMatrix()[0], 1e-6) << degrees;
        EXPECT_NEAR(std::sin(radians), t.GetMatrix()[1], 1e-6) << degrees;
    }
}

TEST(Transform, QuarterTurnsAreExact)
{
    CTransform t;
    t.RotateZ(90.0f);
    const float* m = t.GetMatrix();
    EXPECT_EQ(0.0f, m[0]);
    EXPECT_EQ(1.0f, m[1]);
    EXPECT_EQ(-1.0f, m[4]);
    EXPECT_EQ(0.0f, m[5]);
    EXPECT_EQ(90.0f, t.GetRotation());

    CTransform back;
    back.RotateZ(-90.0f);
    EXPECT_EQ(0.0f, back.GetMatrix()[0]);
    EXPECT_EQ(-1.0f, back.GetMatrix()[1]);
    EXPECT_EQ(1.0f, back.GetMatrix()[4]);
    EXPECT_EQ(-90.0f, back.GetRotation());

    CTransform more;
    more.RotateZ(450.0f);
    EXPECT_TRUE(more == t);
    EXPECT_EQ(90.0f, more.GetRotation());

    CTransform half;
    half.RotateZ(-540.0f);
    EXPECT_EQ(-1.0f, half.GetMatrix()[0]);
    EXPECT_EQ(-1.0f, half.GetMatrix()[5]);
    EXPECT_EQ(180.0f, half.GetRotation());
}

TEST(Transform, QuarterTurnsAtTheEdgesOfTheWholeRangeStayExact)
{
    // The largest float below 2^31 and one above it, both whole turns.
    for (float degrees : {2147483520.0f, -2147483520.0f, 2147489280.0f, -2147489280.0f}) {
        CTransform t;
        t.RotateZ(degrees);
        EXPECT_TRUE(t == CTransform()) << degrees;
    }
    // Beyond 2^24 floats are still whole multiples of 90 that are not of 360.
    CTransform t;
    t.RotateZ(-16777260.0f);
    CTransform half;
    half.RotateZ(180.0f);
    EXPECT_TRUE(t == half);
}

TEST(Transform, AngleWrapsIntoHalfOpenRange)
{
    CTransform t;
    t.RotateZ(170.0f);
    t.RotateZ(170.0f);
    EXPECT_FLOAT_EQ(-20.0f, t.GetRotation());
    t.SetRotationZ(-180.0f);
    EXPECT_EQ(180.0f, t.GetRotation());
}

TEST(Transform, TurnAboutXClearsTheAngleButZeroKeepsIt)
{
    CTransform t;
    t.RotateZ(45.0f);
    t.RotateX(0.0f);
    EXPECT_TRUE(t.IsAngleValid());
    EXPECT_EQ(45.0f, t.GetRotation());

    CTransform x;
    x.RotateX(30.0f);
    EXPECT_FALSE(x.IsAngleValid());
    CVector3 axis;
    EXPECT_NEAR(30.0f, x.GetRotation(&axis), 1e-4f);
    ExpectNear({1, 0, 0}, axis);
    // The turn sends y towards z.
    ExpectNear({0, std::cos(0.5235988f), std::sin(0.5235988f)}, x.TransformVector({0, 1, 0}));
}

TEST(Transform, ExtractedAxisPointsUpAndTheSignGoesIntoTheAngle)
{
    CTransform t;
    t.RotateAboutAxis({0, 0, -2}, 30.0f);
    EXPECT_FALSE(t.IsAngleValid());
    CVector3 axis;
    EXPECT_NEAR(-30.0f, t.GetRotation(&axis), 1e-4f);
    ExpectNear({0, 0, 1}, axis);

    CTransform y;
    y.RotateY(-40.0f);
    EXPECT_NEAR(40.0f, y.GetRotation(&axis), 1e-4f);
    ExpectNear({0, -1, 0}, axis);
}

TEST(Transform, HalfTurnAxisIsAUnitVectorAtAnyScale)
{
    CTransform t;
    t.Scale(4.0f);
    t.RotateX(180.0f);
    CVector3 axis;
    EXPECT_EQ(180.0f, t.GetRotation(&axis));
    ExpectNear({1, 0, 0}, axis);

    CTransform d;
    d.RotateAboutAxis({0, 1, 1}, 180.0f);
    EXPECT_NEAR(180.0f, std::fabs(d.GetRotation(&axis)), 1e-3f);
    ExpectNear({0, 0.70710677f, 0.70710677f}, axis, 1e-3f);
}

TEST(Transform, InverseOfScaledTurn)
{
    const CTransform t = MakeScaledTurn();
    const CTransform inverse(t, true);
    ExpectNear({0, 0, 0}, inverse.TransformPoint({10, 0, 0}));
    EXPECT_FLOAT_EQ(0.5f, inverse.GetScale());
    EXPECT_FLOAT_EQ(-30.0f, inverse.GetRotation());
    EXPECT_TRUE(inverse.IsAngleValid());

    const CVector3 p(3, -7, 2);
    ExpectNear(p, inverse.TransformPoint(t.TransformPoint(p)));
    ExpectNear(inverse.TransformPoint(p), t.InverseTransformPoint(p));
    ExpectNear(inverse.TransformVector(p), t.InverseTransformVector(p));

    const CTransform copy(t, false);
    EXPECT_TRUE(copy == t);
}

TEST(Transform, InverseOfHalfTurnKeeps180)
{
    CTransform t;
    t.RotateZ(180.0f);
    EXPECT_EQ(180.0f, CTransform(t, true).GetRotation());
}

TEST(Transform, ProductAppliesTheSecondFirst)
{
    CTransform move;
    move.SetTranslation(5, 0, 0);
    CTransform turn;
    turn.RotateZ(90.0f);

    const CTransform product(move, turn);
    ExpectNear({5, 1, 0}, product.TransformPoint({1, 0, 0}));
    const CTransform other(turn, move);
    ExpectNear({0, 6, 0}, other.TransformPoint({1, 0, 0}));

    CTransform multiplied = move;
    multiplied.Multiply(turn);
    EXPECT_TRUE(multiplied == product);
    EXPECT_EQ(90.0f, multiplied.GetRotation());
}

TEST(Transform, ProductWithInverseIsIdentity)
{
    CTransform t = MakeScaledTurn();
    t.RotateX(25.0f);
    t.TranslateLocal({1, 2, 3});
    CTransform product(t, CTransform(t, true));
    ExpectMatrixNear(CTransform(), product);
    EXPECT_FLOAT_EQ(1.0f, product.GetScale());
    EXPECT_FALSE(product.IsAngleValid());
    EXPECT_EQ(0.0f, product.GetMatrix()[3]);
    EXPECT_EQ(1.0f, product.GetMatrix()[15]);

    // In place, with this as an operand.
    t.SetProduct(t, CTransform(t, true));
    ExpectMatrixNear(CTransform(), t);
}

TEST(Transform, ProductAnglesAddAndWrap)
{
    CTransform a;
    a.RotateZ(170.0f);
    CTransform b;
    b.RotateZ(100.0f);
    b.Scale(3.0f);
    const CTransform p(a, b);
    EXPECT_FLOAT_EQ(-90.0f, p.GetRotation());
    EXPECT_FLOAT_EQ(3.0f, p.GetScale());
}

TEST(Transform, PlanOperationsNegateY)
{
    CTransform t;
    t.SetPosition2D(5, 3);
    EXPECT_EQ(CVector3(5, -3, 0), t.GetTranslation());
    EXPECT_EQ(CPoint2(5, 3), t.GetPosition2D());
    EXPECT_EQ(CPoint2(5, 13), t.TransformPoint2D(0, 10));
    EXPECT_EQ(CPoint2(0, 10), t.InverseTransformPoint2D(5, 13));
    EXPECT_EQ(CPoint2(0, 10), t.TransformVector2D(0, 10));

    // A positive angle turns the plan's x axis towards -y (up on screen).
    CTransform turn;
    turn.RotateZ(90.0f);
    EXPECT_EQ(CPoint2(0, -1), turn.TransformVector2D(1, 0));
    EXPECT_EQ(CPoint2(1, 0), turn.InverseTransformVector2D(0, -1));
}

TEST(Transform, EqualityIsBitwise)
{
    CTransform a;
    CTransform b;
    EXPECT_TRUE(a == b);
    b.SetTranslation(-0.0f, 0.0f, 0.0f);
    EXPECT_FALSE(a == b);
    // The angle is not compared.
    CTransform c;
    c.RotateX(360.0f);
    EXPECT_TRUE(a == c);
}

TEST(Transform, ScaleByZeroReportsAndStillScales)
{
    const int before = ReportCount();
    CTransform t;
    t.RotateZ(30.0f);
    t.SetTranslation(1, 2, 3);
    t.Scale(0.0f);
    EXPECT_EQ(before + 1, ReportCount());
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(0.0f, std::fabs(t.GetMatrix()[i])) << i;
    EXPECT_EQ(CVector3(1, 2, 3), t.GetTranslation());
    EXPECT_EQ(0.0f, t.GetScale());
}

TEST(Transform, InverseOfScaleZeroUndoesTheTranslationOnly)
{
    CTransform t;
    t.SetTranslation(3, 4, 5);
    t.Scale(0.0f);
    const int before = ReportCount();
    const CTransform inverse(t, true);
    EXPECT_EQ(before + 1, ReportCount());
    CTransform expected;
    expected.SetTranslation(-3, -4, -5);
    EXPECT_TRUE(inverse == expected);
    EXPECT_EQ(1.0f, inverse.GetScale());
    EXPECT_EQ(CVector3(1, 1, 1), t.InverseTransformPoint({4, 5, 6}));
    EXPECT_EQ(CPoint2(2, -7), t.InverseTransformVector2D(2, -7));
    EXPECT_EQ(before + 3, ReportCount());
}

TEST(Transform, BoxIsTheExactBoundOfTheCorners)
{
    CTransform quarter;
    quarter.RotateZ(90.0f);
    quarter.SetTranslation(10, 20, 30);
    EXPECT_EQ(CBox3(9, 10, 20, 22, 30, 33), quarter.TransformBox(CBox3(0, 2, 0, 1, 0, 3)));

    CTransform t;
    t.Scale(1.5f);
    t.RotateAboutAxis({1, 2, 3}, 37.0f);
    t.SetTranslation(-4, 5, 6);
    const CBox3 box(-1, 2, 0.5f, 3, -2, -1);
    CBox3 corners;
    corners.SetPoint(t.TransformPoint({box.minX, box.minY, box.minZ}));
    for (int i = 1; i < 8; ++i) {
        const CVector3 c((i & 1) ? box.maxX : box.minX, (i & 2) ? box.maxY : box.minY,
                         (i & 4) ? box.maxZ : box.minZ);
        corners.Include(t.TransformPoint(c));
    }
    const CBox3 result = t.TransformBox(box);
    EXPECT_NEAR(corners.minX, result.minX, 1e-4f);
    EXPECT_NEAR(corners.maxX, result.maxX, 1e-4f);
    EXPECT_NEAR(corners.minY, result.minY, 1e-4f);
    EXPECT_NEAR(corners.maxY, result.maxY, 1e-4f);
    EXPECT_NEAR(corners.minZ, result.minZ, 1e-4f);
    EXPECT_NEAR(corners.maxZ, result.maxZ, 1e-4f);
}

TEST(Transform, RectangleBoundInThePlan)
{
    CTransform t;
    t.RotateZ(90.0f);
    EXPECT_EQ(CRectF(0, -2, 1, 0), t.TransformRect2D(CRectF(0, 0, 2, 1)));
    t.SetPosition2D(5, 3);
    EXPECT_EQ(CRectF(5, 1, 6, 3), t.TransformRect2D(CRectF(0, 0, 2, 1)));

    CTransform scaled;
    scaled.Scale(2.0f);
    scaled.SetPosition2D(1, 1);
    EXPECT_EQ(CRectF(-1, 3, 5, 9), scaled.TransformRect2D(CRectF(-1, 1, 2, 4)));
}

TEST(Transform, ArbitraryAxisAboutZMatchesRotateZ)
{
    CTransform a;
    a.RotateAboutAxis({0, 0, 5}, 30.0f);
    CTransform b;
    b.RotateZ(30.0f);
    ExpectMatrixNear(b, a);
    EXPECT_FALSE(a.IsAngleValid());
    EXPECT_NEAR(30.0f, a.GetRotation(), 1e-4f);
}

TEST(Transform, TurnAboutZeroAxisReportsAndChangesNothing)
{
    CTransform t = MakeScaledTurn();
    EXPECT_EQ(1, CountReports([&] { t.RotateAboutAxis({0, 0, 0}, 45.0f); }));
    EXPECT_TRUE(t == MakeScaledTurn());
    EXPECT_TRUE(t.IsAngleValid());
}

TEST(Transform, TranslateLocalMovesInOwnAxes)
{
    CTransform t;
    t.RotateZ(90.0f);
    t.Scale(2.0f);
    t.SetTranslation(1, 1, 1);
    t.TranslateLocal({1, 0, 0});
    EXPECT_EQ(CVector3(1, 3, 1), t.GetTranslation());
    t.ClearTranslation();
    EXPECT_EQ(CVector3(0, 0, 0), t.GetTranslation());
    t.SetTranslationVector({7, 8, 9});
    EXPECT_EQ(CVector3(7, 8, 9), t.GetTranslation());
}

TEST(Transform, ResetAndSetRotationKeepScaleAndTranslation)
{
    CTransform t = MakeScaledTurn();
    t.RotateY(20.0f);
    t.ResetRotation();
    EXPECT_TRUE(t.IsAngleValid());
    EXPECT_EQ(0.0f, t.GetRotation());
    EXPECT_EQ(2.0f, t.GetMatrix()[0]);
    EXPECT_EQ(0.0f, t.GetMatrix()[1]);
    EXPECT_EQ(2.0f, t.GetMatrix()[10]);
    EXPECT_EQ(CVector3(10, 0, 0), t.GetTranslation());

    t.SetRotationZ(-90.0f);
    EXPECT_EQ(-90.0f, t.GetRotation());
    EXPECT_EQ(-2.0f, t.GetMatrix()[1]);
    t.SetRotationX(90.0f);
    EXPECT_FALSE(t.IsAngleValid());
    EXPECT_EQ(2.0f, t.GetMatrix()[6]);
    EXPECT_EQ(-2.0f, t.GetMatrix()[9]);
}

TEST(Transform, RadianVariantsConvertWithTheFloatFactor)
{
    CTransform r;
    r.RotateZRadians(0.5f);
    EXPECT_FLOAT_EQ(0.5f * 57.29578f, r.GetRotation());
    CTransform d;
    d.RotateZ(0.5f * 57.29578f);
    EXPECT_TRUE(r == d);
    r.SetRotationYRadians(0.25f);
    d.SetRotationY(0.25f * 57.29578f);
    EXPECT_TRUE(r == d);
}

TEST(Transform, TurnByAnAngleThatIsNoNumberReportsAndChangesNothing)
{
    CTransform t = MakeScaledTurn();
    const int before = ReportCount();
    t.RotateZ(std::nanf(""));
    t.RotateX(INFINITY);
    t.RotateAboutAxis({1, 0, 0}, std::nanf(""));
    EXPECT_EQ(before + 3, ReportCount());
    EXPECT_TRUE(t == MakeScaledTurn());
    EXPECT_FLOAT_EQ(30.0f, t.GetRotation());
}
