#include <gtest/gtest.h>

#include <cmath>

#include "course/CourseObject.h"
#include "foundation/Transform.h"
#include "objects/equipment/ObstacleEnd.h"
#include "tests/support/FailureReports.h"
#include "tests/support/GeometryExpectations.h"

namespace {

// An owner that only has a placement.
class CPlacedOwner : public CCourseObject
{
public:
    explicit CPlacedOwner(float x = 0.0f, float y = 0.0f, float angle = 0.0f)
    {
        CTransform placement;
        placement.SetPosition2D(x, y);
        placement.RotateZ(angle);
        Init(nullptr, nullptr, placement, kNormal);
    }
    int GetCategory() const override { return 1; }
    int GetLayer() const override { return 4; }
    int GetEndCount() const override { return 0; }
    void GetEnd(CPoint2&, int) const override {}
    void Draw2D(CGraphicsContext&) override {}
};

// An owner at (100, 200) turned by 90 degrees: its local +x points up the
// plan (course -y). Its end at local (10, 0) passing along local +x lies at
// course (100, 190) and is passed towards course -y.
class ObstacleEnd : public testing::Test
{
protected:
    CPlacedOwner owner{100.0f, 200.0f, 90.0f};
};

}  // namespace

TEST(ApproachPenalty, QuadraticThenLinearPastTheMargin)
{
    EXPECT_FLOAT_EQ(4.0f, ApproachPenalty(3.0f, 2.0f, 1.0f, 0.0f));
    EXPECT_FLOAT_EQ(1.125f, ApproachPenalty(1.5f, 2.0f, 1.0f, 0.0f));
    EXPECT_FLOAT_EQ(1.125f, ApproachPenalty(-1.5f, 2.0f, 1.0f, 0.0f));
    EXPECT_FLOAT_EQ(0.0f, ApproachPenalty(0.5f, 2.0f, 1.0f, 1.0f));
    // At the switch both parts agree: d = w gives w^2 / 2s either way.
    EXPECT_FLOAT_EQ(2.0f / 4.0f, ApproachPenalty(3.0f, 2.0f, 4.0f, 1.0f));
    EXPECT_FLOAT_EQ(0.0f, ApproachPenalty(0.0f, 2.0f, 1.0f, 0.0f));
}

TEST(ApproachPenalty, BadWidthMarginOrScaleIsReported)
{
    int before = ReportCount();
    EXPECT_FLOAT_EQ(0.0f, ApproachPenalty(0.5f, 0.0f, 1.0f, 1.0f));
    EXPECT_EQ(before + 1, ReportCount());
    before = ReportCount();
    ApproachPenalty(1.0f, 2.0f, 1.0f, -1.0f);
    EXPECT_EQ(before + 1, ReportCount());
    // A scale not above 0 is taken as 1.
    before = ReportCount();
    EXPECT_FLOAT_EQ(4.0f, ApproachPenalty(3.0f, 2.0f, 0.0f, 0.0f));
    EXPECT_EQ(before + 1, ReportCount());
}

TEST(KnotParams, ParametersByIndex)
{
    CKnotParams knot;
    knot.Set(0, 3.0f);
    knot.Set(1, -4.0f);
    EXPECT_EQ(3.0f, knot.Get(0));
    EXPECT_EQ(-4.0f, knot.Get(1));
    EXPECT_EQ(2, CountReports([&] { knot.Set(2, 9.0f); EXPECT_EQ(0.0f, knot.Get(-1)); }));
    EXPECT_EQ(3.0f, knot.params[0]);
    EXPECT_EQ(-4.0f, knot.params[1]);
}

TEST(KnotParams, OuterHandleAtHalfTheChordScalesBothByFourFifths)
{
    CPoint2 inner(20.0f, 5.0f);
    CPoint2 outer(50.0f, 10.0f);
    CKnotParams::LimitPair(CPoint2(0.0f, 0.0f), inner, outer, CPoint2(0.0f, 100.0f));
    // The chord runs along +y here; the outer handle is 10 along it: kept.
    ExpectNear(CPoint2(20.0f, 5.0f), inner);
    ExpectNear(CPoint2(50.0f, 10.0f), outer);

    CKnotParams::LimitPair(CPoint2(0.0f, 0.0f), inner, outer, CPoint2(100.0f, 0.0f));
    ExpectNear(CPoint2(16.0f, 4.0f), inner);
    ExpectNear(CPoint2(40.0f, 8.0f), outer);
}

TEST(KnotParams, ZeroChordCollapsesTheHandles)
{
    CPoint2 inner(20.0f, 5.0f);
    CPoint2 outer(50.0f, 10.0f);
    CKnotParams::LimitPair(CPoint2(7.0f, 8.0f), inner, outer, CPoint2(7.0f, 8.0f));
    EXPECT_EQ(CPoint2(7.0f, 8.0f), inner);
    EXPECT_EQ(CPoint2(7.0f, 8.0f), outer);
}

TEST(KnotParams, LimitHandlesWorksFromBothEnds)
{
    CKnotParams a;
    CKnotParams b;
    a.position = CPoint2(0.0f, 0.0f);
    a.innerFront = CPoint2(20.0f, 0.0f);
    a.outerFront = CPoint2(30.0f, 0.0f);
    b.position = CPoint2(100.0f, 0.0f);
    b.innerBack = CPoint2(80.0f, 0.0f);
    b.outerBack = CPoint2(30.0f, 0.0f);
    a.LimitHandles(b);
    // a's front handles lie within 40 of the chord: kept.
    ExpectNear(CPoint2(30.0f, 0.0f), a.outerFront);
    // b's outer back handle was 70 along the chord back: scaled by 40 / 70.
    ExpectNear(CPoint2(60.0f, 0.0f), b.outerBack);
    ExpectNear(CPoint2(100.0f - 20.0f * 40.0f / 70.0f, 0.0f), b.innerBack);
}

TEST_F(ObstacleEnd, FrameFollowsTheOwnersPlacement)
{
    CFirstObstacleEnd end(&owner, CPoint2(10.0f, 0.0f), CPoint2(10000.0f, 0.0f), 50.0f);
    ExpectNear(CPoint2(100.0f, 190.0f), end.GetCoursePoint());
    // Local x runs across the entry, local y against the way of passage.
    ExpectNear(CPoint2(30.0f, 0.0f), end.ToLocal(CPoint2(130.0f, 190.0f)));
    ExpectNear(CPoint2(0.0f, -40.0f), end.ToLocal(CPoint2(100.0f, 150.0f)));
    ExpectNear(CPoint2(100.0f, 150.0f), end.ToCourse(CPoint2(0.0f, -40.0f)));
    EXPECT_NEAR(5.0f, end.GetOutwardComponent(0.0f, -5.0f), 1e-4f);
    EXPECT_NEAR(-5.0f, end.GetOutwardComponent(0.0f, 5.0f), 1e-4f);
    EXPECT_NEAR(0.0f, end.GetOutwardComponent(5.0f, 0.0f), 1e-4f);
}

TEST_F(ObstacleEnd, DistanceIsToTheEntrySegment)
{
    CSecondObstacleEnd end(&owner, CPoint2(10.0f, 0.0f), CPoint2(10000.0f, 0.0f), 50.0f);
    EXPECT_NEAR(0.0f, end.DistanceTo(130.0f, 190.0f), 1e-3f);
    EXPECT_NEAR(50.0f, end.DistanceTo(200.0f, 190.0f), 1e-3f);
    EXPECT_NEAR(40.0f, end.DistanceTo(100.0f, 150.0f), 1e-3f);
    EXPECT_NEAR(std::hypot(30.0f, 40.0f), end.DistanceTo(180.0f, 230.0f), 1e-3f);
}

TEST_F(ObstacleEnd, ClosestEntryPointAndEntryLine)
{
    CFirstObstacleEnd end(&owner, CPoint2(10.0f, 0.0f), CPoint2(10000.0f, 0.0f), 50.0f);
    ExpectNear(CPoint2(150.0f, 190.0f), end.ClosestEntryPoint(CPoint2(300.0f, 100.0f)));
    ExpectNear(CPoint2(80.0f, 190.0f), end.ClosestEntryPoint(CPoint2(80.0f, 400.0f)));
    // A line steep to the entry slides along to it ...
    ExpectNear(CPoint2(120.0f, 190.0f), end.IntersectEntryLine(CPoint2(110.0f, 100.0f), CPoint2(10.0f, 90.0f)));
    // ... and is clamped to the entry's ends.
    ExpectNear(CPoint2(150.0f, 190.0f), end.IntersectEntryLine(CPoint2(110.0f, -200.0f), CPoint2(9.0f, 50.0f)));
    // A line nearly parallel to it (|v.y| <= 5 |v.x|) gives the clamped foot.
    ExpectNear(CPoint2(110.0f, 190.0f), end.IntersectEntryLine(CPoint2(110.0f, 100.0f), CPoint2(20.0f, 90.0f)));
}

TEST_F(ObstacleEnd, FirstAndSecondEndsUseOneParameterWhileTheyHaveAnEntry)
{
    CFirstObstacleEnd first(&owner, CPoint2(), CPoint2(10000.0f, 0.0f), 50.0f);
    CSecondObstacleEnd second(&owner, CPoint2(), CPoint2(10000.0f, 0.0f), 50.0f);
    EXPECT_EQ(1, first.GetEndKind());
    EXPECT_EQ(2, second.GetEndKind());
    EXPECT_EQ(1, first.GetParamCount());
    EXPECT_EQ(1, second.GetParamCount());
    first.halfWidth = 0.0f;
    second.halfWidth = 0.0f;
    EXPECT_EQ(0, first.GetParamCount());
    EXPECT_EQ(0, second.GetParamCount());

    // Without an entry nothing is set.
    CKnotParams knot;
    knot.params[0] = 20.0f;
    float localX = -1.0f;
    CPoint2 direction(-2.0f, -3.0f);
    float inner = -4.0f;
    float cost = -5.0f;
    first.ComputeApproach(knot, 28.0f, localX, direction, inner, cost);
    EXPECT_EQ(-1.0f, localX);
    EXPECT_EQ(CPoint2(-2.0f, -3.0f), direction);
    EXPECT_EQ(-4.0f, inner);
    EXPECT_EQ(-5.0f, cost);
}

TEST_F(ObstacleEnd, FirstAndSecondEndsTurnTheApproachOppositeWays)
{
    CFirstObstacleEnd first(&owner, CPoint2(10.0f, 0.0f), CPoint2(10000.0f, 0.0f), 50.0f);
    CSecondObstacleEnd second(&owner, CPoint2(10.0f, 0.0f), CPoint2(10000.0f, 0.0f), 50.0f);
    CKnotParams knot;
    knot.params[0] = 20.0f;
    float localX = 0.0f;
    CPoint2 direction;
    float inner = -4.0f;
    float cost = 0.0f;
    first.ComputeApproach(knot, 28.0f, localX, direction, inner, cost);
    EXPECT_EQ(20.0f, localX);
    EXPECT_EQ(CPoint2(-20.0f, -50.0f), direction);
    EXPECT_EQ(-4.0f, inner);
    // ApproachPenalty(20, 50, 2 * 50 * 50 / (100 + 28), 0) = 400 / (2 * 39.0625).
    EXPECT_FLOAT_EQ(5.12f, cost);
    second.ComputeApproach(knot, 28.0f, localX, direction, inner, cost);
    EXPECT_EQ(CPoint2(20.0f, -50.0f), direction);
    EXPECT_FLOAT_EQ(5.12f, cost);
}

TEST_F(ObstacleEnd, KnotAtAFirstEnd)
{
    CFirstObstacleEnd end(&owner, CPoint2(10.0f, 0.0f), CPoint2(10000.0f, 0.0f), 50.0f);
    CKnotParams knot;
    knot.size = 10.0f;
    end.SetUpKnot(knot);
    // Straight through the centre along the way of passage (course -y);
    // approach 2.8 x size, no inner handles.
    EXPECT_EQ(0.0f, knot.cost);
    ExpectNear(CPoint2(100.0f, 190.0f), knot.position);
    ExpectNear(CPoint2(100.0f, 190.0f), knot.innerFront);
    ExpectNear(CPoint2(100.0f, 190.0f), knot.innerBack);
    ExpectNear(CPoint2(100.0f, 162.0f), knot.outerFront);
    ExpectNear(CPoint2(100.0f, 218.0f), knot.outerBack);

    knot.params[0] = 20.0f;
    end.SetUpKnot(knot);
    EXPECT_FLOAT_EQ(5.12f, knot.cost);
    // Local x = 20 lies at course +x here; the path comes in turned by
    // (-20, -50) in the end's frame.
    ExpectNear(CPoint2(120.0f, 190.0f), knot.position);
    const float n = std::hypot(20.0f, 50.0f);
    ExpectNear(CPoint2(120.0f - 28.0f * 20.0f / n, 190.0f - 28.0f * 50.0f / n), knot.outerFront);
    ExpectNear(CPoint2(120.0f + 28.0f * 20.0f / n, 190.0f + 28.0f * 50.0f / n), knot.outerBack);
}

TEST_F(ObstacleEnd, KnotOfNoSizeIsReportedAndGetsASmallSize)
{
    CSecondObstacleEnd end(&owner, CPoint2(10.0f, 0.0f), CPoint2(10000.0f, 0.0f), 50.0f);
    CJumpEnd jump(&owner, CPoint2(10.0f, 0.0f), CPoint2(10000.0f, 0.0f), 100.0f, 60.0f);
    for (float size : {0.0f, -3.0f, std::nanf("")}) {
        for (const CObstacleEnd* e : {static_cast<const CObstacleEnd*>(&end), static_cast<const CObstacleEnd*>(&jump)}) {
            CKnotParams knot;
            knot.size = size;
            EXPECT_EQ(1, CountReports([&] { e->SetUpKnot(knot); }));
            EXPECT_EQ(CObstacleEnd::kMinKnotSize, knot.size);
            for (const CPoint2& p : {knot.outerBack, knot.innerBack, knot.position, knot.innerFront, knot.outerFront})
                EXPECT_TRUE(IsFinite(p)) << size;
            EXPECT_TRUE(std::isfinite(knot.cost));
            // The size is that of a knot made with it.
            CKnotParams small;
            small.size = CObstacleEnd::kMinKnotSize;
            e->SetUpKnot(small);
            EXPECT_EQ(small.outerFront, knot.outerFront);
        }
    }
}

TEST_F(ObstacleEnd, JumpEndWithoutWidthSetsOnlyTheInnerDistance)
{
    CJumpEnd end(&owner, CPoint2(10.0f, 0.0f), CPoint2(10000.0f, 0.0f), 0.0f, 60.0f);
    EXPECT_EQ(4, end.GetEndKind());
    EXPECT_EQ(0, end.GetParamCount());
    CKnotParams knot;
    knot.size = 10.0f;
    knot.params[0] = 30.0f;
    knot.params[1] = 5.0f;
    float localX = -1.0f;
    CPoint2 direction(-2.0f, -3.0f);
    float inner = 0.0f;
    float cost = -5.0f;
    end.ComputeApproach(knot, 28.0f, localX, direction, inner, cost);
    EXPECT_EQ(-1.0f, localX);
    EXPECT_EQ(CPoint2(-2.0f, -3.0f), direction);
    EXPECT_FLOAT_EQ(16.0f, inner);
    EXPECT_EQ(-5.0f, cost);

    end.SetUpKnot(knot);
    ExpectNear(CPoint2(100.0f, 190.0f), knot.position);
    ExpectNear(CPoint2(100.0f, 174.0f), knot.innerFront);
    ExpectNear(CPoint2(100.0f, 206.0f), knot.innerBack);
    ExpectNear(CPoint2(100.0f, 146.0f), knot.outerFront);
    ExpectNear(CPoint2(100.0f, 234.0f), knot.outerBack);
}

TEST_F(ObstacleEnd, JumpEndApproach)
{
    CJumpEnd end(&owner, CPoint2(10.0f, 0.0f), CPoint2(10000.0f, 0.0f), 100.0f, 60.0f);
    EXPECT_EQ(2, end.GetParamCount());
    CKnotParams knot;
    knot.size = 10.0f;
    knot.params[0] = 30.0f;
    knot.params[1] = 5.0f;
    float localX = 0.0f;
    CPoint2 direction;
    float inner = 0.0f;
    float cost = 0.0f;
    end.ComputeApproach(knot, 28.0f, localX, direction, inner, cost);
    EXPECT_EQ(30.0f, localX);
    EXPECT_EQ(CPoint2(5.0f, -44.0f), direction);
    // 30^2 / (2 x 25) + (60 x 5 / 44)^2 / (2 x 60 x 100 / 88).
    const float second = 60.0f * 5.0f / 44.0f;
    EXPECT_NEAR(18.0f + second * second / (2.0f * 6000.0f / 88.0f), cost, 1e-4f);
}

TEST_F(ObstacleEnd, JumpEndDistanceIsToItsRectangle)
{
    CJumpEnd end(&owner, CPoint2(10.0f, 0.0f), CPoint2(10000.0f, 0.0f), 100.0f, 60.0f);
    // Local (x, y) is course (100 + x, 190 + y) turned: local x along +x,
    // local y along +y of the plan here.
    EXPECT_EQ(0.0f, end.DistanceTo(100.0f, 190.0f));
    EXPECT_EQ(0.0f, end.DistanceTo(199.0f, 249.0f));
    EXPECT_NEAR(30.0f, end.DistanceTo(230.0f, 190.0f), 1e-3f);
    EXPECT_NEAR(5.0f, end.DistanceTo(100.0f, 255.0f), 1e-3f);
    EXPECT_NEAR(std::hypot(3.0f, 4.0f), end.DistanceTo(-3.0f, 126.0f), 1e-3f);
}

TEST(EndLineObstacleEnd, EntryFromTheLineVector)
{
    CPlacedOwner owner;
    CEndLineObstacleEnd start(&owner, true);
    CEndLineObstacleEnd finish(&owner, false);
    EXPECT_EQ(8, start.GetEndKind());
    EXPECT_EQ(16, finish.GetEndKind());
    ASSERT_EQ(2u, owner.GetEnds().size());
    EXPECT_EQ(&start, owner.GetEnds()[0]);
    EXPECT_EQ(&finish, owner.GetEnds()[1]);

    start.SetFromVector(CPoint2(500.0f, 0.0f));
    EXPECT_FLOAT_EQ(100.0f, start.halfWidth);
    EXPECT_EQ(CPoint2(0.0f, -500.0f), start.direction);
    EXPECT_EQ(0, start.GetParamCount());

    start.SetFromVector(CPoint2(0.0f, 700.0f));
    EXPECT_FLOAT_EQ(300.0f, start.halfWidth);
    EXPECT_EQ(CPoint2(700.0f, 0.0f), start.direction);
    EXPECT_EQ(2, start.GetParamCount());

    start.SetFromVector(CPoint2(0.5f, 0.5f));
    EXPECT_EQ(0.0f, start.halfWidth);
    EXPECT_EQ(CPoint2(1.0f, 0.0f), start.direction);
}

TEST(EndLineObstacleEnd, EntryIsFreeWithinTheMargin)
{
    CPlacedOwner owner;
    CEndLineObstacleEnd end(&owner, false);
    end.SetFromVector(CPoint2(700.0f, 0.0f));
    CKnotParams knot;
    float localX = 0.0f;
    CPoint2 direction;
    float inner = -4.0f;
    float cost = -1.0f;
    for (float p0 : {0.0f, 140.0f, -140.0f}) {
        knot.params[0] = p0;
        end.ComputeApproach(knot, 28.0f, localX, direction, inner, cost);
        EXPECT_EQ(0.0f, cost) << p0;
        EXPECT_EQ(p0, localX);
    }
    knot.params[0] = 150.0f;
    knot.params[1] = 7.0f;
    end.ComputeApproach(knot, 28.0f, localX, direction, inner, cost);
    EXPECT_EQ(CPoint2(7.0f, -28.0f), direction);
    EXPECT_EQ(-4.0f, inner);
    // 7^2 / (2 x 14) + 10^2 / (2 x 80).
    EXPECT_FLOAT_EQ(49.0f / 28.0f + 100.0f / 160.0f, cost);
}
