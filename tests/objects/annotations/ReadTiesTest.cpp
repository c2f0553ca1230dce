#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "course/Course.h"
#include "course/ObjectType.h"
#include "objects/annotations/DogPath.h"
#include "objects/annotations/PathConnection.h"
#include "objects/annotations/StraightLine.h"
#include "objects/equipment/CollapsedTunnel.h"
#include "objects/equipment/ObstacleEnd.h"
#include "tests/course/ArchiveTestKinds.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TestSettings.h"

namespace {

// The line tool, by its name's text id, and kinds by type id.
constexpr int kLineTool = 2588;
constexpr int kAFrameKind = 10;
constexpr int kTableKind = 300;
constexpr int kSingleJumpKind = 260;

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

namespace {

// Whether a course read back ties to the end of the same kind at the same
// place (but for the rounding of its obstacle's place) as the course written.
testing::AssertionResult SameTie(const CObstacleEnd* written, const CObstacleEnd* read)
{
    if (written == nullptr || read == nullptr || written->owner == nullptr || read->owner == nullptr)
        return testing::AssertionFailure() << "an end is missing";
    const int writtenKind = written->owner->GetType()->GetTypeId();
    const int readKind = read->owner->GetType()->GetTypeId();
    const float apart = (written->GetCoursePoint() - read->GetCoursePoint()).Length();
    if (writtenKind != readKind || apart > 1.5f)
        return testing::AssertionFailure() << "kind " << readKind << " instead of " << writtenKind << ", " << apart
                                           << " apart";
    return testing::AssertionSuccess();
}

// Reads what the course writes into the course given, which writes the same
// bytes again; its first object of the kind.
template <class T>
const T* ReadBack(CCourse& written, CCourse& read)
{
    EXPECT_TRUE(archivetest::ReadBlock(read, archivetest::TextBlockOf(written)));
    EXPECT_EQ(coursetest::ArchiveOf(written), coursetest::ArchiveOf(read));
    for (CCourseObject* object : read.GetObjects()) {
        if (auto* found = dynamic_cast<T*>(object))
            return found;
    }
    return nullptr;
}

}  // namespace

// A path node tied to an A-frame's end on its entry, 100 off the end's
// point (where fitting a passage may leave it), beside which a single jump
// is placed afterwards so that the jump's end lies nearer to the node, reads
// back tied to the A-frame's end, and the course writes the same bytes
// again: whether the jump has no end at the node's place in its list (the
// node would be untied and fitted again) or has one.
TEST(ReadTies, APathReadsBackTiedToTheEndItWasWrittenAgainst)
{
    CTestSettingsKey settings;
    CNoticeRecorder notices;
    for (int place : {2, 0}) {
        SCOPED_TRACE(place);
        auto course = equipmenttest::MakeCourse();
        CCourseObject* aFrame = equipmenttest::Place(*course, *FindObjectTypeById(kAFrameKind), 5000.0f, 5000.0f);
        aFrame->Invalidate();
        CObstacleEnd* end = aFrame->GetEnds()[size_t(place)];
        const CPoint2 at = end->GetCoursePoint() + CPoint2(0.0f, 100.0f);
        auto made = std::make_unique<CDogPath>();
        CDogPath& path = *made;
        path.Init(course.get(), &CDogPath::GetDogPathType(), CTransform(), CCourseObject::kNormal);
        path.ChangeConnection(CPathConnection::kObstacle, nullptr, false);
        for (const CPoint2& p : {at - CPoint2(600.0f, 0.0f), at, at + CPoint2(600.0f, 300.0f)})
            path.HitPoint(p.x, p.y);
        std::next(path.EditNodes().begin())->end = end;
        course->AddObject(std::move(made));
        const CDogPathNode& tied = *std::next(path.GetNodes().begin());
        ASSERT_EQ(end, tied.end);
        const CPoint2 jump(tied.x + 8.0f, tied.y + 12.0f);
        equipmenttest::Place(*course, *FindObjectTypeById(kSingleJumpKind), jump.x, jump.y)->Invalidate();
        ASSERT_EQ(end, tied.end);

        CCourse read(L"Read", L"");
        const CDogPath* readPath = ReadBack<CDogPath>(*course, read);
        ASSERT_NE(nullptr, readPath);
        const CPoint2 stored(std::round(tied.x), std::round(tied.y));
        const auto readNode = std::find_if(readPath->GetNodes().begin(), readPath->GetNodes().end(),
                                           [&](const CDogPathNode& node) {
                                               return node.x == stored.x && node.y == stored.y;
                                           });
        EXPECT_TRUE(readNode != readPath->GetNodes().end() && SameTie(end, readNode->end));
    }
}

// A line tied to a table's entry reads back tied to that end where it lies,
// and writes the bytes it was read from: whether the table is turned by a
// few degrees and placed a fraction off whole units, each of which its record
// rounds (the line's end lies on the entry but for the rounding of both), or
// a single jump is placed afterwards beside the line's end, its bar a
// fraction of a unit off that end and its point nearer.
TEST(ReadTies, ALineReadsBackTiedToTheEndItLiesOn)
{
    CTestSettingsKey settings;
    CNoticeRecorder notices;
    // Where the table is placed and turned, and the line's ends from its end.
    const struct
    {
        CPoint2 at;
        float angle;
        CPoint2 from, to;
        bool jump;
    } cases[] = {
        {{5000.5f, 5000.0f}, 35.0f, {-900.0f, -400.0f}, {3.0f, 20.0f}, false},
        {{5000.4f, 5000.2f}, 8.0f, {-900.0f, -400.0f}, {3.0f, 20.0f}, false},
        {{5000.3f, 5000.6f}, 51.0f, {-900.0f, -400.0f}, {3.0f, 20.0f}, false},
        {{5000.0f, 5000.0f}, 0.0f, {-1180.0f, -1000.0f}, {5.0f, 150.0f}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.angle);
        auto course = equipmenttest::MakeCourse();
        CCourseObject* table =
            equipmenttest::Place(*course, *FindObjectTypeById(kTableKind), c.at.x, c.at.y, c.angle);
        table->Invalidate();
        const CPoint2 tableEnd = table->GetEnds()[1]->GetCoursePoint();
        const auto* line =
            equipmenttest::PlaceWithTool<CStraightLine>(*course, kLineTool, tableEnd + c.from, tableEnd + c.to);
        ASSERT_TRUE(line && line->GetLink(1) && line->GetLink(1)->owner == table);
        if (c.jump) {
            const CPoint2 end = line->GetCourseEnd(1);
            CCourseObject* jump =
                equipmenttest::Place(*course, *FindObjectTypeById(kSingleJumpKind), end.x + 20.0f, end.y + 1.0f, -2.0f);
            jump->Invalidate();
            ASSERT_EQ(table, line->GetLink(1)->owner);
            const float barOff = (jump->GetEnds().front()->ClosestEntryPoint(end) - end).Length();
            ASSERT_TRUE(barOff > 0.1f && barOff < 0.75f) << barOff;
        }
        CCourse read(L"Read", L"");
        const CStraightLine* readLine = ReadBack<CStraightLine>(*course, read);
        ASSERT_NE(nullptr, readLine);
        EXPECT_TRUE(SameTie(line->GetLink(1), readLine->GetLink(1)));
    }
}
