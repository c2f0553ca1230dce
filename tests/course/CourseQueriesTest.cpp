#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "course/CourseFileAccess.h"
#include "course/CourseNumbering.h"
#include "course/EndIndex.h"
#include "objects/annotations/EndLine.h"
#include "objects/equipment/ObstacleEnd.h"
#include "tests/course/EditingTestKinds.h"
#include "tests/support/TestSupport.h"

using namespace coursetest;
using namespace editingtest;

namespace {

using CourseQueries = CEditingFixture;

// A start or finish line of a chosen kind.
class CTestEndLine : public CEndLine
{
public:
    explicit CTestEndLine(int kind) { m_kind = kind; }
    int GetCategory() const override { return 3; }
    int GetLayer() const override { return 2; }
    int GetEndCount() const override { return 0; }
    void GetEnd(CPoint2&, int) const override {}
    void Draw2D(CGraphicsContext&) override {}
};

// Writes down every nested item drawn: the drawable, its pick id and the
// matrix it was placed with.
class CItemContext : public CStateContext
{
public:
    struct CItem
    {
        const CDrawable* drawable;
        int mode;
        int flag;
        CTransform matrix;
    };
    void DrawDrawable(CDrawable& drawable, int mode, int flag) override
    {
        items.push_back({&drawable, mode, flag, m_state.matrix});
    }
    std::vector<CItem> items;
};

// An obstacle with one end of the kind at the local point, pointing along
// the direction.
CEditObject* PlaceWithEnd(CCourse& course, float x, float y, int kind, CPoint2 point = CPoint2(),
                          CPoint2 direction = CPoint2(10000.0f, 0.0f))
{
    CEditObject* object = PlaceEdit(course, PlainType(), x, y);
    object->AddEnd(kind, point, direction);
    object->Invalidate();
    return object;
}

// A line that asks the course for the ends nearest its points as its links are resolved.
struct CNearestEndProbe : CEditObject
{
    CNearestEndProbe() : CEditObject(2, 1) {}
    bool ResolveLinks() override
    {
        for (const CPoint2& p : points)
            found.push_back(GetCourse()->FindNearestEnd(p.x, p.y, 180.0f, 31, 0));
        return false;
    }
    std::vector<CPoint2> points;
    std::vector<CObstacleEnd*> found;
};

}  // namespace

TEST_F(CourseQueries, RingRectGrownByTenWithoutMargins)
{
    CCourse course(L"", L"");
    EXPECT_EQ(CRectF(-10.0f, -10.0f, 14410.0f, 12010.0f), course.GetRingRect(true, false));
}

TEST_F(CourseQueries, ViewCameraFramesTheGrownRing)
{
    CCourse course(L"", L"");
    course.SetLengthValue(CCourse::kMarginHighX, 600.0f);
    EXPECT_EQ(course.GetRingRect(true, true), course.GetViewCamera().GetCourseRect());
    EXPECT_EQ(&course.GetMapCamera(), &course.GetViewCamera());
}

TEST_F(CourseQueries, ObjectsOutsideAreAddedToTheCounters)
{
    CCourse course(L"", L"");
    PlaceEdit(course, ObstacleType(), 1000.0f, -500.0f);
    PlaceEdit(course, ObstacleType(), -500.0f, 13000.0f);
    PlaceEdit(course, ObstacleType(), 15000.0f, 1000.0f);
    // On the edge is not outside.
    PlaceEdit(course, ObstacleType(), 14400.0f, 12000.0f);
    PlaceEdit(course, ObstacleType(), 5000.0f, 5000.0f);
    int belowY = 1;
    int aboveY = 0;
    int belowX = 0;
    int aboveX = 0;
    course.CountObjectsOutside(belowY, aboveY, belowX, aboveX);
    EXPECT_EQ(2, belowY);
    EXPECT_EQ(1, aboveY);
    EXPECT_EQ(1, belowX);
    EXPECT_EQ(1, aboveX);
}

TEST_F(CourseQueries, EndLinesAreCountedByKind)
{
    CCourse course(L"", L"");
    const int kinds[] = {0, 2, 1, 0, 2, 2};
    for (int kind : kinds) {
        auto line = std::make_unique<CTestEndLine>(kind);
        line->Init(&course, nullptr, CTransform(), CCourseObject::kNormal);
        course.AddObject(std::move(line));
    }
    PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f);
    int kind0 = 0;
    int kind2 = 0;
    int other = 0;
    course.CountEndLines(kind0, kind2, other);
    EXPECT_EQ(2, kind0);
    EXPECT_EQ(3, kind2);
    EXPECT_EQ(1, other);
}

TEST_F(CourseQueries, LooseLayer3Objects)
{
    CCourse course(L"", L"");
    PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f);
    EXPECT_FALSE(course.HasLooseLayer3Object());
    CEditObject* withEnd = PlaceWithEnd(course, 2000.0f, 1000.0f, 1);
    EXPECT_FALSE(course.HasLooseLayer3Object());
    PlaceEdit(course, PlainType(), 3000.0f, 1000.0f);
    EXPECT_TRUE(course.HasLooseLayer3Object());
    (void)withEnd;
}

TEST_F(CourseQueries, NumberingIsFoundOrMade)
{
    CCourse course(L"", L"");
    CCourseNumbering* digits = course.GetNumbering(nullptr);
    ASSERT_NE(nullptr, digits);
    EXPECT_EQ(1, digits->GetKind());
    EXPECT_EQ(0, digits->GetStyleIndex());
    EXPECT_FALSE(digits->GetFlag());
    EXPECT_EQ(digits, course.GetNumbering(nullptr));

    const std::wstring capitals = L"B";
    CCourseNumbering* letters = course.GetNumbering(nullptr, nullptr, &capitals);
    EXPECT_NE(digits, letters);
    EXPECT_EQ(2, letters->GetKind());
    const std::wstring twelve = L"12";
    EXPECT_EQ(digits, course.GetNumbering(nullptr, nullptr, &twelve));

    const bool flagged = true;
    const int boxed = 1;
    CCourseNumbering* badge = course.GetNumbering(&boxed, &flagged, &twelve);
    EXPECT_NE(digits, badge);
    EXPECT_TRUE(badge->GetFlag());
    EXPECT_EQ(1, badge->GetStyleIndex());
    EXPECT_EQ(badge, course.GetNumbering(nullptr, &flagged));
    // Kept in the order of style, flag and kind.
    const auto& all = course.GetNumberings();
    ASSERT_EQ(3u, all.size());
    EXPECT_EQ(digits, all[0].get());
    EXPECT_EQ(letters, all[1].get());
    EXPECT_EQ(badge, all[2].get());
}

TEST_F(CourseQueries, RefreshNumberingTurnsObstaclesAndEndsTheMotion)
{
    CCourse course(L"", L"");
    CEditObject* turned = PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f, 30.0f);
    CEditObject* endless = PlaceEdit(course, PlainType(), 3000.0f, 1000.0f, 30.0f);
    turned->SetSelected(true);
    course.MoveSelectionBy(10.0f, 0.0f);
    course.RefreshNumbering();
    EXPECT_EQ(0, course.GetMotion());
    EXPECT_NEAR(-150.0f, turned->GetPlacement().GetRotation(), 1e-3f);
    EXPECT_NEAR(30.0f, endless->GetPlacement().GetRotation(), 1e-3f);
}

TEST_F(CourseQueries, NearestEndByDistanceKindAndReach)
{
    CCourse course(L"", L"");
    CEditObject* nearer = PlaceWithEnd(course, 1000.0f, 1000.0f, 1);
    CEditObject* farther = PlaceWithEnd(course, 1300.0f, 1000.0f, 2);
    CObstacleEnd* found = course.FindNearestEnd(1050.0f, 1000.0f, -1.0f, 31, -1);
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(nearer, found->owner);
    found = course.FindNearestEnd(1050.0f, 1000.0f, -1.0f, 2, -1);
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(farther, found->owner);
    EXPECT_EQ(nullptr, course.FindNearestEnd(1050.0f, 1000.0f, 200.0f, 2, -1));
    EXPECT_EQ(nullptr, course.FindNearestEnd(1050.0f, 1000.0f, -1.0f, 8, -1));
    EXPECT_EQ(nullptr, course.FindNearestEnd(5000.0f, 5000.0f, 180.0f, 31, -1));
}

TEST_F(CourseQueries, NearestEndWithinTenPrefersTheNearerPositionThenTheSelected)
{
    CCourse course(L"", L"");
    // Ends of entries 0 wide: the distance is the distance to the point.
    CEditObject* a = PlaceWithEnd(course, 1000.0f, 1000.0f, 1);
    CEditObject* b = PlaceWithEnd(course, 1000.0f, 1016.0f, 1);
    CObstacleEnd* found = course.FindNearestEnd(1000.0f, 1006.0f, -1.0f, 31, -1);
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(a, found->owner);
    found = course.FindNearestEnd(1000.0f, 1010.0f, -1.0f, 31, -1);
    EXPECT_EQ(b, found->owner);
    // Equally near: the selected one.
    found = course.FindNearestEnd(1000.0f, 1008.0f, -1.0f, 31, -1);
    EXPECT_EQ(a, found->owner);
    b->SetSelected(true);
    found = course.FindNearestEnd(1000.0f, 1008.0f, -1.0f, 31, -1);
    EXPECT_EQ(b, found->owner);
}

TEST_F(CourseQueries, EndsFiledByPlaceOfferEveryEndWithinReachOnceInOrder)
{
    CCourse course(L"", L"");
    std::mt19937 random(7);
    std::uniform_real_distribution<float> place(-2000.0f, 34000.0f);
    std::uniform_real_distribution<float> width(0.0f, 400.0f);
    for (int i = 0; i < 60; ++i) {
        CEditObject* object = PlaceEdit(course, PlainType(), place(random), place(random), float(i * 37 % 360));
        for (int kind : {1, 2}) {
            const CPoint2 point(place(random) / 20.0f, place(random) / 20.0f);
            object->AddEnd(kind, point, CPoint2(3.0f, 4.0f))->halfWidth = width(random);
        }
        object->Invalidate();
    }
    // One entry wider than the ring is near anywhere.
    PlaceWithEnd(course, 5000.0f, 5000.0f, 1)->GetEnds().front()->halfWidth = 40000.0f;
    const CEndIndex index(course.GetObjects());
    for (int probe = 0; probe < 300; ++probe) {
        const CPoint2 p(place(random), place(random));
        const float reach = 180.0f * float(probe % 4);
        std::vector<CEndIndex::CEntry> found;
        index.Collect(p, reach, found);
        EXPECT_TRUE(std::adjacent_find(found.begin(), found.end(), [](const auto& a, const auto& b) {
                        return a.order >= b.order;
                    }) == found.end());
        for (CCourseObject* object : course.GetObjects()) {
            for (CObstacleEnd* end : object->GetEnds()) {
                if (end->DistanceTo(p.x, p.y) <= reach) {
                    EXPECT_TRUE(std::any_of(found.begin(), found.end(),
                                            [&](const auto& entry) { return entry.end == end; }));
                }
            }
        }
    }
}

// Asked for the ends whose entries pass near a point, the ends filed by
// place visit every end whose entry segment passes within the distance, each
// once, at a place in their objects' lists only those at that place; a
// visit that lowers the distance to the nearest so far still meets the
// nearest. In a course of entries wide for its cells, in one whose ends lie
// along a single line, and in a small cluster whose entries reach far
// beyond the ends' points.
TEST_F(CourseQueries, EndsFiledByPlaceVisitEveryEntryPassingNear)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    CCourse scattered(L"", L"");
    CCourse row(L"", L"");
    CCourse cluster(L"", L"");
    for (int i = 0; i < 800; ++i) {
        const bool inRow = i % 4 == 0;
        const bool inCluster = i % 8 == 1;
        CEditObject* object = inRow       ? PlaceEdit(row, PlainType(), 40.0f * float(i), 5000.0f)
                              : inCluster ? PlaceEdit(cluster, PlainType(), 7000.0f + 30.0f * unit(random),
                                                      7000.0f + 30.0f * unit(random), float(i * 37 % 360))
                                          : PlaceEdit(scattered, PlainType(), 4000.0f + 6000.0f * unit(random),
                                                      4000.0f + 6000.0f * unit(random), float(i * 37 % 360));
        for (int kind : {1, 2, 4}) {
            const float angle = 6.2831853f * unit(random);
            const CPoint2 around(600.0f * unit(random) - 300.0f, 600.0f * unit(random) - 300.0f);
            const CPoint2 point = inRow || inCluster ? CPoint2() : around;
            // Most entries narrow, some as wide as an entry filed by place may be.
            const float halfWidth = kind == 4 || inCluster ? 500.0f * unit(random) : 60.0f * unit(random);
            object->AddEnd(kind, point, CPoint2(std::cos(angle), std::sin(angle)) * 3.0f)->halfWidth = halfWidth;
        }
        object->Invalidate();
    }
    for (CCourse* course : {&scattered, &row, &cluster}) {
        const CEndIndex index(course->GetObjects());
        std::vector<std::pair<const CObstacleEnd*, uint32_t>> ends;
        for (CCourseObject* object : course->GetObjects()) {
            for (size_t i = 0; i < object->GetEnds().size(); ++i)
                ends.emplace_back(object->GetEnds()[i], uint32_t(i));
        }
        for (int probe = 0; probe < 600; ++probe) {
            // Most points beside an entry, some anywhere.
            const CObstacleEnd* beside = ends[size_t(probe) * 7 % ends.size()].first;
            const CPoint2 offset(400.0f * unit(random) - 200.0f, 400.0f * unit(random) - 200.0f);
            const CPoint2 p = probe % 4 ? beside->ClosestEntryPoint(beside->GetCoursePoint() + offset) + offset * 0.01f
                                        : CPoint2(14000.0f * unit(random), 14000.0f * unit(random));
            const uint32_t atPlace = probe % 3 == 0 ? CEndIndex::kAnyPlace : uint32_t(probe % 3);
            float distance = 2.0f + 60.0f * float(probe % 4);
            std::vector<const CObstacleEnd*> visited;
            index.VisitEntriesNear(p, distance, atPlace, [&](const CEndIndex::CEntry& entry) {
                visited.push_back(entry.end);
            });
            float nearest = distance;
            float within = distance;
            index.VisitEntriesNear(p, within, atPlace, [&](const CEndIndex::CEntry& entry) {
                within = std::min(within, (entry.end->ClosestEntryPoint(p) - p).Length());
            });
            for (const auto& [end, place] : ends) {
                const auto times = std::count(visited.begin(), visited.end(), end);
                if (atPlace != CEndIndex::kAnyPlace && place != atPlace) {
                    EXPECT_EQ(0, times) << probe;
                    continue;
                }
                // Ends a little further off may be visited as well.
                const float apart = (end->ClosestEntryPoint(p) - p).Length();
                EXPECT_EQ(apart <= distance ? 1 : times, times) << probe;
                EXPECT_LE(times, 1) << probe;
                nearest = std::min(nearest, apart);
            }
            EXPECT_EQ(nearest, within) << probe;
        }
    }
}

TEST_F(CourseQueries, EndsAtOnePointAreToldApartByDirection)
{
    CCourse course(L"", L"");
    CEditObject* object = PlaceEdit(course, PlainType(), 1000.0f, 1000.0f);
    CObstacleEnd* east = object->AddEnd(1, CPoint2(), CPoint2(10000.0f, 0.0f));
    CObstacleEnd* west = object->AddEnd(2, CPoint2(), CPoint2(-10000.0f, 0.0f));
    object->Invalidate();
    // A point east of the ends: point - end points east.
    EXPECT_EQ(east, course.FindNearestEnd(1100.0f, 1000.0f, -1.0f, 31, 0));
    EXPECT_EQ(west, course.FindNearestEnd(1100.0f, 1000.0f, -1.0f, 31, 1));
    EXPECT_EQ(west, course.FindNearestEnd(1100.0f, 1000.0f, -1.0f, 31, 2, -1.0f, 0.2f));
    EXPECT_EQ(east, course.FindNearestEnd(900.0f, 1000.0f, -1.0f, 31, 2, 1.0f, 0.0f));
}

// Asked with a reach, the ends near the point are offered in the course's
// order as a look at every object offers them: an end at the best one's
// point is told apart by direction however far its own entry lies, and an
// object's bounds meet the area as it was at the first of its ends. Each
// case asks from (1150, 1000) within 180 and finds the object's second end.
TEST_F(CourseQueries, EndsNearThePointAreEachOfferedTheirTurn)
{
    struct CEnd
    {
        CPoint2 point, direction;
        float halfWidth;
    };
    const struct
    {
        const char* name;
        CPoint2 at;
        float halfSize;
        CEnd ends[2];
    } cases[] = {
        // The first end's entry passes the point, the second's lies 150 off,
        // but along the direction from the ends the second points out.
        {"at one point", {1000.0f, 1000.0f}, 100.0f, {{{}, {0.0f, 1.0f}, 150.0f}, {{}, {1.0f, 0.0f}, 0.0f}}},
        // Taking the first end narrows the area past the bounds of its
        // object, whose nearer second end still counts.
        {"bounds left behind",
         {1270.0f, 1000.0f},
         0.0f,
         {{{-120.0f, 50.0f}, {1.0f, 0.0f}, 0.0f}, {{-120.0f, -20.0f}, {1.0f, 0.0f}, 0.0f}}},
    };
    for (const auto& c : cases) {
        CCourse course(L"", L"");
        CEditObject* object = PlaceEdit(course, PlainType(), c.at.x, c.at.y);
        object->halfSize = c.halfSize;
        for (const CEnd& end : c.ends)
            object->AddEnd(1, end.point, end.direction)->halfWidth = end.halfWidth;
        object->Invalidate();
        EXPECT_EQ(object->GetEnds()[1], course.FindNearestEnd(1150.0f, 1000.0f, 180.0f, 31, 0)) << c.name;
        EXPECT_EQ(object->GetEnds()[1], course.FindNearestEndInEveryObject(1150.0f, 1000.0f, 180.0f, 31, 0))
            << c.name;
    }
}

TEST_F(CourseQueries, EndCrossingLooksAheadWithinTheCone)
{
    CCourse course(L"", L"");
    CEditObject* source = PlaceWithEnd(course, 1000.0f, 5000.0f, 2);
    CEditObject* ahead = PlaceWithEnd(course, 3600.0f, 5000.0f, 1);
    // Heading east from (1000, 5000): the first end 2600 ahead.
    EXPECT_TRUE(course.FindEndCrossing(1000.0f, 5000.0f, 1.0f, 0.0f, source, nullptr, false));
    EXPECT_FALSE(course.FindEndCrossing(1000.0f, 5000.0f, 1.0f, 0.0f, source, nullptr, true));
    EXPECT_FALSE(course.FindEndCrossing(1000.0f, 5000.0f, 1.0f, 0.0f, source, ahead, false));
    EXPECT_FALSE(course.FindEndCrossing(1000.0f, 5000.0f, -1.0f, 0.0f, nullptr, nullptr, false));
    // 45 degrees off is outside; a little less is inside.
    EXPECT_FALSE(course.FindEndCrossing(1000.0f, 5000.0f, 1.0f, 1.0f, source, nullptr, false));
    EXPECT_TRUE(course.FindEndCrossing(1000.0f, 5000.0f, 1.0f, 0.98f, source, nullptr, false));
    // A second end is no entry to cross.
    CCourse other(L"", L"");
    PlaceWithEnd(other, 2000.0f, 5000.0f, 2);
    EXPECT_FALSE(other.FindEndCrossing(1000.0f, 5000.0f, 1.0f, 0.0f, nullptr, nullptr, true));
}

TEST_F(CourseQueries, TheDrawingPassRebuildsAKeyGoneStaleAfterTheSuppressingPass)
{
    CCourse course(L"", L"");
    CEditObject* a = PlaceEdit(course, ObstacleType(), 1000.0f, 2000.0f);
    CEditObject* b = PlaceEdit(course, ObstacleType(), 3000.0f, 4000.0f);
    CItemContext suppressed;
    course.AddObjectsToScene(suppressed, true, 2, false);
    const std::string keyA = a->GetShape2D().GetKey();
    const std::string keyB = b->GetShape2D().GetKey();
    // Changed between the passes: the drawing pass builds its key again.
    a->halfSize = 70.0f;
    a->GetShape2D().MarkStale();
    CItemContext context;
    course.AddObjectsToScene(context, false, 2, false);
    ASSERT_EQ(2u, context.items.size());
    EXPECT_TRUE(a->GetShape2D().IsKeyValid());
    EXPECT_NE(keyA, a->GetShape2D().GetKey());
    EXPECT_EQ(keyB, b->GetShape2D().GetKey());
    // The same object drawn from scratch has the same key.
    CCourse fresh(L"", L"");
    CEditObject* c = PlaceEdit(fresh, ObstacleType(), 1000.0f, 2000.0f);
    c->halfSize = 70.0f;
    c->GetShape2D().MarkStale();
    EXPECT_EQ(c->GetShape2D().GetKey(), a->GetShape2D().GetKey());
}

TEST_F(CourseQueries, ObjectsGoToTheSceneWithTheirPickIds)
{
    CCourse course(L"", L"");
    CEditObject* a = PlaceEdit(course, ObstacleType(), 1000.0f, 2000.0f);
    CEditObject* b = PlaceEdit(course, ObstacleType(), 3000.0f, 4000.0f, 90.0f);
    a->GetShape2D().MarkStale();
    CItemContext suppressed;
    course.AddObjectsToScene(suppressed, true, 2, false);
    EXPECT_TRUE(suppressed.items.empty());
    EXPECT_TRUE(a->GetShape2D().IsKeyValid());

    CItemContext context;
    course.AddObjectsToScene(context, false, 2, false);
    ASSERT_EQ(2u, context.items.size());
    EXPECT_EQ(&a->GetShape2D(), context.items[0].drawable);
    EXPECT_EQ(1, context.items[0].flag);
    EXPECT_EQ(0, context.items[0].mode);
    EXPECT_EQ(a->GetPlacement().GetPosition2D(), context.items[0].matrix.GetPosition2D());
    EXPECT_EQ(&b->GetShape2D(), context.items[1].drawable);
    EXPECT_EQ(5, context.items[1].flag);
    EXPECT_EQ(b->GetPlacement().GetPosition2D(), context.items[1].matrix.GetPosition2D());
    EXPECT_NEAR(90.0f, context.items[1].matrix.GetRotation(), 1e-3f);
    // The context's own matrix is left as it was.
    EXPECT_EQ(CPoint2(), context.m_state.matrix.GetPosition2D());
    EXPECT_EQ(0.0f, context.m_state.matrix.GetRotation());

    CItemContext context3D;
    course.AddObjectsToScene(context3D, false, 3, false);
    ASSERT_EQ(2u, context3D.items.size());
    EXPECT_EQ(&b->GetShape3D(), context3D.items[1].drawable);
}

TEST_F(CourseQueries, OverlayObjectsAreNotPickable)
{
    CCourse other(L"", L"");
    PlaceEdit(other, ObstacleType(), 1000.0f, 2000.0f);
    PlaceEdit(other, ObstacleType(), 3000.0f, 2000.0f);
    CCourse course(L"", L"");
    course.BuildDifferenceOverlay(other, false, false);
    CItemContext context;
    course.AddObjectsToScene(context, false, 2, true);
    ASSERT_EQ(2u, context.items.size());
    EXPECT_EQ(0, context.items[0].flag);
    EXPECT_EQ(0, context.items[1].flag);
}

// The probe asks while the course files its ends by place, as a read course does.
TEST_F(CourseQueries, EndsFiledByPlaceFindWhatTheWholeCourseFinds)
{
    CCourse course(L"", L"");
    std::mt19937 random(11);
    std::uniform_real_distribution<float> place(2000.0f, 5000.0f), local(-300.0f, 300.0f), width(0.0f, 400.0f);
    auto probe = std::make_unique<CNearestEndProbe>();
    CNearestEndProbe* asked = probe.get();
    for (int i = 0; i < 80; ++i) {
        CEditObject* object = PlaceEdit(course, PlainType(), place(random), place(random), float(i * 37 % 360));
        for (int kind : {1, 2, 4})
            object->AddEnd(kind, CPoint2(local(random), local(random)), CPoint2(3.0f, -4.0f))->halfWidth = width(random);
        object->Invalidate();
        asked->points.push_back(object->GetPosition() + CPoint2(local(random), local(random)));
    }
    probe->Init(&course, &LineType(), MakePlacement(0.0f, 0.0f), CCourseObject::kNormal);
    course.AddObject(std::move(probe));
    CCourseFileAccess::FinishLoading(course);
    ASSERT_EQ(asked->points.size(), asked->found.size());
    int found = 0;
    for (size_t i = 0; i < asked->points.size(); ++i) {
        EXPECT_EQ(course.FindNearestEnd(asked->points[i].x, asked->points[i].y, 180.0f, 31, 0), asked->found[i]) << i;
        found += asked->found[i] != nullptr;
    }
    EXPECT_GT(found, 20);
}

// A placing tool asks for the ends near every sample of its stroke while the
// course changes between strokes: the ends filed by place, kept across the
// changes, answer as a look at every object does.
TEST_F(CourseQueries, EndsFiledByPlaceAnswerAsEveryObjectAcrossChanges)
{
    CCourse course(L"", L"");
    std::mt19937 random(23);
    std::uniform_real_distribution<float> place(3000.0f, 4200.0f), local(-150.0f, 150.0f), width(0.0f, 300.0f);
    std::vector<CEditObject*> objects;
    const auto add = [&](float x, float y) {
        CEditObject* object = PlaceEdit(course, PlainType(), x, y, float(objects.size() * 53 % 360));
        for (int kind : {1, 2, 4})
            object->AddEnd(kind, CPoint2(local(random), local(random)), CPoint2(3.0f, -4.0f))->halfWidth = width(random);
        // A first and a second end at one point, told apart by direction.
        object->AddEnd(1, CPoint2(0.0f, 90.0f), CPoint2(0.0f, 1.0f));
        object->AddEnd(2, CPoint2(0.0f, 90.0f), CPoint2(0.0f, -1.0f));
        object->Invalidate();
        objects.push_back(object);
        return object;
    };
    for (int i = 0; i < 40; ++i)
        add(place(random), place(random));
    // Two objects at one place, whose ends tie; one end far from the rest,
    // one whose entry reaches further than the filing grid's cells.
    CEditObject* twin = PlaceEdit(course, PlainType(), 3300.0f, 3300.0f);
    PlaceWithEnd(course, 3300.0f, 3300.0f, 1);
    twin->AddEnd(1, CPoint2(), CPoint2(10000.0f, 0.0f));
    twin->Invalidate();
    PlaceWithEnd(course, 9000.0f, 9000.0f, 2);
    PlaceWithEnd(course, 3800.0f, 3000.0f, 4)->GetEnds().front()->halfWidth = 2000.0f;

    CEditObject* bare = nullptr;
    const auto erase = [&](size_t i) {
        course.EraseObject(objects[i]);
        delete objects[i];
        objects.erase(objects.begin() + std::ptrdiff_t(i));
    };
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"as placed", [] {}},
        {"one moved", [&] { objects[3]->MoveTo(3500.0f, 3600.0f); }},
        {"one turned", [&] { objects[4]->SetPlacement(MakePlacement(3400.0f, 3900.0f, 77.0f)); }},
        {"one deleted", [&] { erase(5); }},
        {"one added", [&] { add(3650.0f, 3650.0f); }},
        {"one deleted and one added", [&] {
             erase(0);
             add(3300.0f, 3300.0f);
         }},
        {"one made and changed but never added", [&] {
             std::unique_ptr<CCourseObject> made = PlainType().CreateNew(&course, MakePlacement(3500.0f, 3500.0f), nullptr);
             static_cast<CEditObject*>(made.get())->AddEnd(1, CPoint2(), CPoint2(1.0f, 0.0f));
             made->Invalidate();
         }},
        {"one without ends added", [&] { bare = PlaceEdit(course, PlainType(), 3600.0f, 3700.0f); }},
        {"that one given an end", [&] {
             bare->AddEnd(2, CPoint2(20.0f, 0.0f), CPoint2(1.0f, 1.0f));
             bare->Invalidate();
         }},
        {"an entry widened", [&] {
             objects[7]->GetEnds().front()->halfWidth = 700.0f;
             objects[7]->Invalidate();
         }},
        {"the later twin selected", [&] { twin->SetSelected(true); }},
        {"every object moved", [&] {
             for (CEditObject* object : objects)
                 object->MoveTo(object->GetPosition().x + 45.0f, object->GetPosition().y - 30.0f);
         }},
        {"one moved after the filing anew", [&] { objects[9]->MoveTo(3300.0f, 3300.0f); }},
    };
    for (const auto& [name, change] : changes) {
        change();
        int found = 0;
        // On every end, near it and far from it, each way of telling apart
        // ends at one point, with reaches from none to a wide one.
        for (CCourseObject* object : course.GetObjects()) {
            for (CObstacleEnd* end : object->GetEnds()) {
                for (const CPoint2 offset : {CPoint2(), CPoint2(40.0f, 25.0f), CPoint2(-2500.0f, 0.0f)}) {
                    const CPoint2 p = end->GetCoursePoint() + offset;
                    for (int tieMode : {0, 1, 2}) {
                        for (float reach : {0.0f, 60.0f, 180.0f, 900.0f}) {
                            CObstacleEnd* asked = course.FindNearestEnd(p.x, p.y, reach, 31, tieMode, 0.6f, -0.8f);
                            ASSERT_EQ(course.FindNearestEndInEveryObject(p.x, p.y, reach, 31, tieMode, 0.6f, -0.8f),
                                      asked)
                                << name << " at " << p.x << ", " << p.y << " within " << reach << ", tie mode "
                                << tieMode;
                            found += asked != nullptr;
                            ASSERT_EQ(course.FindNearestEndInEveryObject(p.x, p.y, reach, 2, tieMode),
                                      course.FindNearestEnd(p.x, p.y, reach, 2, tieMode))
                                << name;
                        }
                    }
                }
            }
        }
        EXPECT_GT(found, 1000) << name;
    }
}
