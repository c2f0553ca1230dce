#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/equipment/Barrel.h"
#include "objects/equipment/CrawlTunnel.h"
#include "objects/equipment/Gate.h"
#include "objects/equipment/HoopTunnel.h"
#include "objects/equipment/PauseSquare.h"
#include "objects/equipment/PlatformJump.h"
#include "objects/equipment/SwingPlank.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/FailureReports.h"

using namespace equipmenttest;

using SmallKinds = coursetest::CSettingsFixture;

TEST_F(SmallKinds, PlatformJumpIsTakenFromOnePlatformToTheOther)
{
    CPlatformJump jump;
    ASSERT_EQ(12u, jump.GetEnds().size());
    const CObstacleEnd& end5 = jump.GetObstacleEnd(4);
    const CObstacleEnd& end6 = jump.GetObstacleEnd(5);
    const CObstacleEnd& second5 = jump.GetObstacleEnd(10);
    const CObstacleEnd& second6 = jump.GetObstacleEnd(11);
    EXPECT_EQ(CPoint2(-560.0f, 0.0f), end5.point);
    EXPECT_EQ(120.0f, end5.halfWidth);
    EXPECT_EQ(240.0f, jump.GetObstacleEnd(0).halfWidth);
    EXPECT_EQ(CPoint2(-10000.0f, 0.0f), second6.direction);
    EXPECT_EQ(2, second6.GetEndKind());
    EXPECT_TRUE(jump.IsValidTraversal(&end5, &second6));
    EXPECT_TRUE(jump.IsValidTraversal(&end6, &second5));
    EXPECT_TRUE(jump.IsValidTraversal(&jump.GetObstacleEnd(0), &jump.GetObstacleEnd(9)));
    EXPECT_FALSE(jump.IsValidTraversal(&end5, &second5));
    EXPECT_FALSE(jump.IsValidTraversal(&end5, &jump.GetObstacleEnd(8)));
    EXPECT_FALSE(jump.IsValidTraversal(&end6, &second6));
    EXPECT_FALSE(jump.HasFirstEnd());
    CPlatformJump other;
    EXPECT_EQ(1, CountReports([&] { EXPECT_FALSE(jump.IsValidTraversal(&end5, &other.GetObstacleEnd(11))); }));
}

TEST_F(SmallKinds, PauseSquaresAreTakenFromAnySide)
{
    CTable table;
    CPauseBox box;
    for (CPauseSquare* square : std::vector<CPauseSquare*>{&table, &box}) {
        const float h = square->GetSide() / 2.0f;
        ASSERT_EQ(8u, square->GetEnds().size());
        for (size_t i = 0; i < 8; ++i) {
            const CObstacleEnd* end = square->GetEnds()[i];
            EXPECT_EQ(i < 4 ? 1 : 2, end->GetEndKind());
            EXPECT_EQ(h, end->halfWidth);
            EXPECT_EQ(h, std::fabs(end->point.x) + std::fabs(end->point.y));
            for (const CObstacleEnd* other : square->GetEnds())
                EXPECT_TRUE(square->IsValidTraversal(end, other));
        }
        const CPoint2 corners[4] = {{-h, -h}, {-h, h}, {h, -h}, {h, h}};
        for (int i = 0; i < 4; ++i) {
            CPoint2 corner;
            square->GetEnd(corner, i);
            EXPECT_EQ(corners[i], corner);
        }
        EXPECT_EQ(1, square->GetAnchorCount());
        EXPECT_FALSE(square->HasFirstEnd());
        // The plan: the square and its label.
        auto drawn = DrawBoth(*square);
        EXPECT_EQ(1, drawn->plan.texts);
    }
    EXPECT_EQ(CPoint2(-180.0f, 0.0f), table.GetEnds()[0]->point);
    EXPECT_EQ(CPoint2(0.0f, 240.0f), box.GetEnds()[3]->point);
}

TEST_F(SmallKinds, TableStandsOnLegsOnlyAboveTheirRoom)
{
    auto course = MakeCourse(1);
    CCourseObject* table = Place(*course, CTable::GetTableType(), 4000.0f, 4000.0f);
    for (float height : {240.0f, 41.0f, 40.0f, 0.0f}) {
        course->SetJumpHeight(height);
        auto drawn = DrawBoth(*table);
        // The legs are its only nested parts.
        EXPECT_EQ(height > 40.0f, !drawn->model.items.empty()) << height;
        EXPECT_NEAR(height, drawn->model.vertexBox.maxZ, 0.01f);
    }
}

TEST_F(SmallKinds, OlderFilesGetABarrelAsANumberAndAGateAsAnArea)
{
    CBarrel barrel;
    CGate gate;
    EXPECT_EQ("", RecordOf(barrel));
    EXPECT_EQ("", RecordOf(gate));

    CFieldWriter number;
    number.WriteInt8(1);
    number.WriteBool(false);
    number.WriteWString(L"");
    EXPECT_EQ(number.m_bytes, RecordOf(barrel, 3));
    CFieldWriter area;
    for (const CPoint2& corner : {CPoint2(-240.0f, -60.0f), CPoint2(240.0f, -60.0f), CPoint2(240.0f, 60.0f),
                                  CPoint2(-240.0f, 60.0f)})
        area.WritePoint(corner);
    area.WriteInt8(0);
    EXPECT_EQ(area.m_bytes, RecordOf(gate, 3));
}

TEST_F(SmallKinds, BarrelAndGateEnds)
{
    CBarrel barrel;
    EXPECT_EQ(8u, barrel.GetEnds().size());
    EXPECT_EQ(5, barrel.GetAnchorCount());
    CPoint2 side;
    barrel.GetEnd(side, 2);
    EXPECT_EQ(CPoint2(0.0f, 240.0f), side);
    EXPECT_EQ(CPoint2(-240.0f, 0.0f), barrel.GetEnds()[0]->point);

    CGate gate;
    EXPECT_TRUE(gate.GetEnds().empty());
    EXPECT_EQ(1, gate.GetAnchorCount());
    gate.GetEnd(side, 1);
    EXPECT_EQ(CPoint2(240.0f, 0.0f), side);
}

TEST_F(SmallKinds, StraightKindsRegisterTheirEndsInTheirOrder)
{
    CCrawlTunnel crawl;
    CHoopTunnel hoop;
    CSwingPlank swing;
    const struct {
        CStraightObstacle* object;
        float reach;
        std::vector<CPoint2> points;
    } cases[] = {
        {&crawl, 360.0f, {{-1.0f, -1.0f}, {-1.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, -1.0f}}},
        {&hoop, 525.0f, {{-1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}, {1.0f, -1.0f}}},
        {&swing, 240.0f, {{-1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}, {1.0f, -1.0f}}},
    };
    // Each point as (side, direction) of x.
    for (const auto& c : cases) {
        ASSERT_EQ(4u, c.object->GetEnds().size());
        for (size_t i = 0; i < 4; ++i) {
            const CObstacleEnd* end = c.object->GetEnds()[i];
            EXPECT_EQ(c.points[i].x * c.reach, end->point.x) << c.reach << " " << i;
            EXPECT_EQ(c.points[i].y * 10000.0f, end->direction.x) << c.reach << " " << i;
        }
    }
}
