#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "course/Course.h"
#include "course/ObjectType.h"
#include "foundation/FieldStream.h"
#include "objects/equipment/ObstacleEnd.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/FailureReports.h"

using namespace equipmenttest;

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

std::vector<int> KindsOf(const CCourseObject& object)
{
    std::vector<int> kinds;
    for (const CObstacleEnd* end : object.GetEnds())
        kinds.push_back(end->GetEndKind());
    return kinds;
}

// A record body of a kind's values, written as the kind writes them.
std::string Crossover(int layout)
{
    CFieldWriter record;
    record.WriteInt8(layout);
    for (float length : {300.0f, 1200.0f, 400.0f})
        record.WriteFloat16(length);
    return record.m_bytes;
}

std::string SeeSaw(int style)
{
    CFieldWriter record;
    record.WriteFloat16(1200.0f);
    record.WriteInt8(style);
    return record.m_bytes;
}

std::string WeavePoles(int poles, bool guides)
{
    CFieldWriter record;
    record.WriteInt8(poles);
    record.WriteFloat16(240.0f);
    record.WriteBool(guides);
    record.WriteFloat16(0.0f);
    return record.m_bytes;
}

std::string Wings(float width, float wingWidth)
{
    CFieldWriter record;
    record.WriteFloat16(width);
    record.WriteFloat16(wingWidth);
    return record.m_bytes;
}

std::string Ascending(bool ascending)
{
    CFieldWriter record;
    record.WriteBool(ascending);
    return record.m_bytes;
}

// A record read over another, and the same record read by a new object:
// the ends an object keeps registered while it reads are those a new one
// registers. Kinds of fixed size read their empty records.
struct CCase
{
    int typeId;
    std::string before;
    std::string after;
    std::vector<int> kinds;
};

const std::vector<CCase>& Cases()
{
    static const std::vector<CCase> cases = {
        {70, Crossover(0), Crossover(1), {1, 2, 1, 2, 1, 2}},
        {70, Crossover(2), Crossover(0), {1, 2, 1, 2, 1, 2, 1, 2}},
        {250, SeeSaw(0), SeeSaw(1), {1, 2}},
        {250, SeeSaw(1), SeeSaw(2), {1, 1, 2, 2}},
        {370, WeavePoles(12, false), WeavePoles(13, true), {1, 2}},
        {370, WeavePoles(13, true), WeavePoles(12, false), {1, 1, 2, 2}},
        {180, Ascending(false), Ascending(true), {4}},
        {180, Ascending(true), Ascending(false), {4, 4}},
        {260, Wings(600.0f, 240.0f), Wings(300.0f, 0.0f), {4, 4}},
        {25, "", "", {1, 2, 1, 2, 1, 2, 1, 2}},
        {300, "", "", {1, 1, 1, 1, 2, 2, 2, 2}},
        {240, "", "", {1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2}},
    };
    return cases;
}

using ReadEnds = coursetest::CSettingsFixture;

}  // namespace

TEST_F(ReadEnds, ObjectsReadOverOthersKeepTheEndsOfNewOnes)
{
    auto course = MakeCourse();
    const int reports = ReportCount();
    for (const CCase& c : Cases()) {
        const CObjectType& type = *FindObjectTypeById(c.typeId);
        std::unique_ptr<CCourseObject> reread = MakeNew(type, course.get());
        ReadRecord(*reread, c.before);
        ReadRecord(*reread, c.after);
        std::unique_ptr<CCourseObject> fresh = MakeNew(type, course.get());
        ReadRecord(*fresh, c.after);
        EXPECT_EQ(c.kinds, KindsOf(*reread)) << c.typeId;
        EXPECT_EQ(EndsOf(*fresh), EndsOf(*reread)) << c.typeId;
    }
    EXPECT_EQ(reports, ReportCount());
}

TEST_F(ReadEnds, ACourseReadBackHasTheEndsItsObjectsHad)
{
    auto course = MakeCourse();
    float x = 1000.0f;
    for (const CCase& c : Cases()) {
        CCourseObject* object = Place(*course, *FindObjectTypeById(c.typeId), x, 3000.0f, 30.0f);
        ReadRecord(*object, c.after);
        object->Invalidate();
        x += 800.0f;
    }
    std::string bytes;
    course->WriteArchive(bytes, false, false, true);
    auto loaded = MakeCourse();
    ASSERT_TRUE(loaded->LoadArchive(bytes, false, true));
    ASSERT_EQ(course->GetObjectCount(), loaded->GetObjectCount());
    auto original = course->GetObjects().begin();
    for (CCourseObject* object : loaded->GetObjects()) {
        EXPECT_EQ(EndsOf(**original), EndsOf(*object)) << object->GetType()->GetTypeId();
        ++original;
    }
}
