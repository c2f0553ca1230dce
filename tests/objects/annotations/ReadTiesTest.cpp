#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "course/Course.h"
#include "course/ObjectType.h"
#include "objects/equipment/CollapsedTunnel.h"
#include "objects/equipment/ObstacleEnd.h"
#include "tests/course/ArchiveTestKinds.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TestSettings.h"

namespace {

// At every obstacle end and beside it, the ends filed by place answer as a
// look at every object does, so that a line or a path read there ties to
// the same end; how many answers found one.
int ExpectTiesAsEveryObject(const CCourse& course, const std::string& when)
{
    int found = 0;
    for (const CCourseObject* object : course.GetObjects()) {
        for (const CObstacleEnd* end : object->GetEnds()) {
            for (const CPoint2 offset : {CPoint2(), CPoint2(40.0f, 25.0f), CPoint2(-110.0f, 70.0f)}) {
                const CPoint2 p = end->GetCoursePoint() + offset;
                for (int tieMode : {0, 1, 2}) {
                    for (float reach : {60.0f, 180.0f}) {
                        CObstacleEnd* asked = course.FindNearestEnd(p.x, p.y, reach, 31, tieMode, -0.6f, 0.8f);
                        EXPECT_EQ(course.FindNearestEndInEveryObject(p.x, p.y, reach, 31, tieMode, -0.6f, 0.8f), asked)
                            << when << " at " << p.x << ", " << p.y << " within " << reach << ", tie mode " << tieMode;
                        found += asked != nullptr;
                    }
                }
            }
        }
    }
    return found;
}

}  // namespace

// A course of obstacles of every kind with ends, four about each point of a
// grid and turned every way so that many ends lie near each point, reads
// back tying as a look at every object ties, and goes on doing so while
// obstacles move, leave and join.
TEST(ReadTies, InterleavedCoursesTieAsALookAtEveryObject)
{
    CTestSettingsKey settings;
    CNoticeRecorder notices;
    std::vector<const CObjectType*> kinds;
    for (const CObjectType* type : GetObjectTypes()) {
        CCourse probe(L"Probe", L"");
        if (!equipmenttest::MakeNew(*type, &probe)->GetEnds().empty())
            kinds.push_back(type);
    }
    auto made = equipmenttest::MakeCourse();
    const CPoint2 offsets[] = {{-260.0f, 0.0f}, {0.0f, -260.0f}, {260.0f, 0.0f}, {0.0f, 260.0f}};
    for (size_t slot = 0; slot < 7 * 8 * 4; ++slot) {
        const CPoint2 at =
            CPoint2(1500.0f + 1600.0f * float(slot / 4 % 8), 1500.0f + 1500.0f * float(slot / 32)) + offsets[slot % 4];
        equipmenttest::Place(*made, *kinds[slot % kinds.size()], at.x, at.y, float(slot * 47 % 360));
    }
    CCourse read(L"Read", L"");
    ASSERT_TRUE(archivetest::ReadBlock(read, archivetest::TextBlockOf(*made)));
    EXPECT_GT(ExpectTiesAsEveryObject(read, "read"), 1000);

    const std::vector<CCourseObject*> obstacles(read.GetObjects().begin(), read.GetObjects().end());
    // Every ninth obstacle, from the first given.
    const auto select = [&](size_t first) {
        for (size_t i = 0; i < obstacles.size(); ++i)
            obstacles[i]->SetSelected(i % 9 == first);
    };
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"obstacles dragged", [&] {
             select(0);
             read.MoveSelectionBy(170.0f, -40.0f);
             read.SetMotion(0);
         }},
        {"obstacles deleted", [&] {
             select(4);
             read.DeleteSelected();
         }},
        {"obstacles placed", [&] {
             for (int i = 0; i < 6; ++i) {
                 const CPoint2 at(1500.0f + 1600.0f * float(i), 1530.0f);
                 equipmenttest::PlaceWithTool(read, CCollapsedTunnel::kNameTextId, at, at);
             }
         }},
    };
    for (const auto& [name, change] : changes) {
        change();
        EXPECT_GT(ExpectTiesAsEveryObject(read, name), 1000) << name;
    }
}
