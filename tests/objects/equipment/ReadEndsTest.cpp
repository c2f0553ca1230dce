#include <gtest/gtest.h>

#include "objects/equipment/ObstacleEnd.h"
#include "tests/objects/equipment/TunnelTestSupport.h"
#include "tests/support/FailureReports.h"

using namespace equipmenttest;
using tunneltest::Record;

namespace {

// Each registered end in order: kind, point, direction, half width, reach.
std::vector<std::vector<float>> EndsOf(const CCourseObject& object)
{
    std::vector<std::vector<float>> ends;
    for (const CObstacleEnd* end : object.GetEnds())
        ends.push_back({float(end->GetEndKind()), end->point.x, end->point.y, end->direction.x, end->direction.y,
                        end->halfWidth, end->GetReach()});
    return ends;
}

using ReadEnds = coursetest::CSettingsFixture;

}  // namespace

// A record read over another leaves the ends a new object reading it registers, and the archive keeps them.
TEST_F(ReadEnds, ObjectsReadOverOthersKeepTheEndsOfNewOnesThroughTheArchive)
{
    // Crossovers, see-saws, weave poles, long jumps, wings; kinds of fixed size read empty records.
    const struct
    {
        int typeId;
        std::string before, after;
        std::vector<int> kinds;
    } cases[] = {
        {70, Record({0, 300, 1200, 400}, {0}), Record({1, 300, 1200, 400}, {0}), {1, 2, 1, 2, 1, 2}},
        {70, Record({2, 300, 1200, 400}, {0}), Record({0, 300, 1200, 400}, {0}), {1, 2, 1, 2, 1, 2, 1, 2}},
        {250, Record({1200, 0}, {1}), Record({1200, 1}, {1}), {1, 2}},
        {250, Record({1200, 1}, {1}), Record({1200, 2}, {1}), {1, 1, 2, 2}},
        {370, Record({12, 240, 0, 0}, {0, 2}), Record({13, 240, 1, 0}, {0, 2}), {1, 2}},
        {370, Record({13, 240, 1, 0}, {0, 2}), Record({12, 240, 0, 0}, {0, 2}), {1, 1, 2, 2}},
        {180, Record({0}, {0}), Record({1}, {0}), {4}},
        {180, Record({1}, {0}), Record({0}, {0}), {4, 4}},
        {260, Record({600, 240}), Record({300, 0}), {4, 4}},
        {25, "", "", {1, 2, 1, 2, 1, 2, 1, 2}},
        {300, "", "", {1, 1, 1, 1, 2, 2, 2, 2}},
        {240, "", "", {1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2}},
    };
    auto course = MakeCourse();
    const int reports = ReportCount();
    float x = 200.0f;
    for (const auto& c : cases) {
        const CObjectType& type = *FindObjectTypeById(c.typeId);
        CCourseObject* reread = Place(*course, type, x += 800.0f, 3000.0f, 30.0f);
        ReadRecord(*reread, c.before);
        ReadRecord(*reread, c.after);
        reread->Invalidate();
        std::unique_ptr<CCourseObject> fresh = MakeNew(type, course.get());
        ReadRecord(*fresh, c.after);
        std::vector<int> kinds;
        for (const CObstacleEnd* end : reread->GetEnds())
            kinds.push_back(end->GetEndKind());
        EXPECT_EQ(c.kinds, kinds) << c.typeId;
        EXPECT_EQ(EndsOf(*fresh), EndsOf(*reread)) << c.typeId;
    }
    EXPECT_EQ(reports, ReportCount());
    std::string bytes;
    course->WriteArchive(bytes, false, false, true);
    auto loaded = MakeCourse();
    ASSERT_TRUE(loaded->LoadArchive(bytes, false, true));
    ASSERT_EQ(course->GetObjectCount(), loaded->GetObjectCount());
    auto original = course->GetObjects().begin();
    for (CCourseObject* object : loaded->GetObjects())
        EXPECT_EQ(EndsOf(**original++), EndsOf(*object)) << object->GetType()->GetTypeId();
}
