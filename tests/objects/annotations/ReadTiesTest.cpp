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
#include "objects/equipment/ObstacleEnd.h"
#include "tests/course/ArchiveTestKinds.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TestSettings.h"

namespace {

// The tools, by their names' text ids.
constexpr int kLineTool = 2588;
constexpr int kCollapsedTunnelTool = 2534;
// Kinds by type id.
constexpr int kAFrameKind = 10;
constexpr int kTableKind = 300;
constexpr int kSingleJumpKind = 260;

// A dog path drawn with its tool through the points.
void DrawPath(CCourse& course, const std::vector<CPoint2>& stroke)
{
    course.SelectToolType(CDogPath::kNameTextId);
    course.StartPlacingObject(stroke.front().x, stroke.front().y);
    for (const CPoint2& p : stroke)
        course.DragPlacedObject(p.x, p.y);
    course.DropPlacedObject(stroke.back().x, stroke.back().y);
    course.SelectToolType(0);
}

// Obstacles of every kind with ends, four about each point of a grid and
// turned every way, so that many ends lie near each point; straight lines
// between the points, placed first so that their ends are free among the
// obstacles' ends; dog paths drawn along the rows, tied to the obstacles
// they pass, some of which are then put elsewhere without the paths
// following (as a file may hold them).
std::unique_ptr<CCourse> MakeInterleavedCourse()
{
    auto course = equipmenttest::MakeCourse();
    const auto gridPoint = [](int column, int row) {
        return CPoint2(1500.0f + 1600.0f * float(column), 1500.0f + 1500.0f * float(row));
    };
    for (int row = 0; row < 6; ++row) {
        for (int column = 0; column < 7; ++column) {
            const CPoint2 to = gridPoint(column + (row + column) % 2, row + 1 - (row + column) % 2);
            equipmenttest::PlaceWithTool(*course, kLineTool, gridPoint(column, row) + CPoint2(40.0f, -30.0f),
                                         to + CPoint2(-25.0f, 35.0f));
        }
    }
    std::vector<const CObjectType*> kinds;
    for (const CObjectType* type : GetObjectTypes()) {
        CCourse probe(L"Probe", L"");
        if (!equipmenttest::MakeNew(*type, &probe)->GetEnds().empty())
            kinds.push_back(type);
    }
    std::vector<CCourseObject*> obstacles;
    const CPoint2 offsets[] = {{-260.0f, 0.0f}, {0.0f, -260.0f}, {260.0f, 0.0f}, {0.0f, 260.0f}};
    for (int row = 0; row < 7; ++row) {
        for (int column = 0; column < 8; ++column) {
            for (int k = 0; k < 4; ++k) {
                const size_t slot = size_t((row * 8 + column) * 4 + k);
                const CPoint2 at = gridPoint(column, row) + offsets[k];
                obstacles.push_back(equipmenttest::Place(*course, *kinds[slot % kinds.size()], at.x, at.y,
                                                         float(slot * 47 % 360)));
            }
        }
    }
    for (int row = 0; row < 7; ++row) {
        std::vector<CPoint2> stroke;
        for (int column = 0; column < 8; ++column) {
            stroke.push_back(gridPoint(column, row) + CPoint2(-120.0f, 70.0f));
            stroke.push_back(gridPoint(column, row) + CPoint2(130.0f, -60.0f));
        }
        DrawPath(*course, stroke);
    }
    for (size_t i = 0; i < obstacles.size(); i += 5) {
        CTransform moved = obstacles[i]->GetPlacement();
        const CPoint2 at = moved.GetPosition2D() + CPoint2(float(i % 7) * 30.0f - 90.0f, 150.0f);
        moved.SetPosition2D(at.x, at.y);
        obstacles[i]->SetPlacement(moved);
    }
    return course;
}

// The points a course's lines and paths ask about, and more about each end:
// every line end, every path node, every obstacle end and points beside it.
std::vector<CPoint2> QuestionPoints(const CCourse& course)
{
    std::vector<CPoint2> points;
    for (CCourseObject* object : course.GetObjects()) {
        if (const auto* line = dynamic_cast<const CStraightLine*>(object)) {
            points.push_back(line->GetCourseEnd(0));
            points.push_back(line->GetCourseEnd(1));
        } else if (const auto* path = dynamic_cast<const CDogPath*>(object)) {
            for (const CDogPathNode& node : path->GetNodes())
                points.emplace_back(node.x, node.y);
        }
        for (const CObstacleEnd* end : object->GetEnds()) {
            for (const CPoint2 offset : {CPoint2(), CPoint2(40.0f, 25.0f), CPoint2(-110.0f, 70.0f)})
                points.push_back(end->GetCoursePoint() + offset);
        }
    }
    return points;
}

// At each of those points the ends filed by place answer as a look at every
// object does, so that a line or a path asking there ties to the same end;
// how many answers found one.
int ExpectTiesAsEveryObject(const CCourse& course, const std::string& when)
{
    int found = 0;
    for (const CPoint2& p : QuestionPoints(course)) {
        for (int tieMode : {0, 1, 2}) {
            for (float reach : {60.0f, 180.0f}) {
                CObstacleEnd* asked = course.FindNearestEnd(p.x, p.y, reach, 31, tieMode, -0.6f, 0.8f);
                EXPECT_EQ(course.FindNearestEndInEveryObject(p.x, p.y, reach, 31, tieMode, -0.6f, 0.8f), asked)
                    << when << " at " << p.x << ", " << p.y << " within " << reach << ", tie mode " << tieMode;
                found += asked != nullptr;
            }
        }
    }
    return found;
}

}  // namespace

// A course of every kind interleaved reads back tying its lines and paths as
// a look at every object ties them, and goes on doing so while obstacles
// move, leave and join and the lines tie again.
TEST(ReadTies, InterleavedCoursesTieAsALookAtEveryObject)
{
    CTestSettingsKey settings;
    CNoticeRecorder notices;
    auto read = std::make_unique<CCourse>(L"Read", L"");
    ASSERT_TRUE(archivetest::ReadBlock(*read, archivetest::TextBlockOf(*MakeInterleavedCourse())));
    EXPECT_GT(ExpectTiesAsEveryObject(*read, "read"), 1000);

    std::vector<CCourseObject*> obstacles;
    for (CCourseObject* object : read->GetObjects()) {
        if (!object->GetEnds().empty())
            obstacles.push_back(object);
    }
    ASSERT_GT(obstacles.size(), 100u);
    // Every ninth obstacle, from the first given.
    const auto select = [&](size_t first) {
        for (CCourseObject* object : read->GetObjects())
            object->SetSelected(false);
        for (size_t i = first; i < obstacles.size(); i += 9)
            obstacles[i]->SetSelected(true);
    };
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"obstacles dragged", [&] {
             select(0);
             read->MoveSelectionBy(170.0f, -40.0f);
             read->SetMotion(0);
         }},
        {"obstacles deleted", [&] {
             select(4);
             read->DeleteSelected();
         }},
        // Each drop ties the lines' free ends again, to the ends there now.
        {"obstacles placed", [&] {
             for (int i = 0; i < 6; ++i) {
                 const CPoint2 at(1500.0f + 1600.0f * float(i), 1530.0f);
                 equipmenttest::PlaceWithTool(*read, kCollapsedTunnelTool, at, at);
             }
         }},
    };
    for (const auto& [name, change] : changes) {
        change();
        EXPECT_GT(ExpectTiesAsEveryObject(*read, name), 1000) << name;
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

template <class T>
T* FindFirst(const CCourse& course)
{
    for (CCourseObject* object : course.GetObjects()) {
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

        const std::string written = coursetest::ArchiveOf(*course);
        CCourse read(L"Read", L"");
        ASSERT_TRUE(archivetest::ReadBlock(read, archivetest::TextBlockOf(*course)));
        EXPECT_EQ(written, coursetest::ArchiveOf(read));
        const CDogPath* readPath = FindFirst<CDogPath>(read);
        ASSERT_NE(nullptr, readPath);
        const CPoint2 stored(std::round(tied.x), std::round(tied.y));
        const auto readNode = std::find_if(readPath->GetNodes().begin(), readPath->GetNodes().end(),
                                           [&](const CDogPathNode& node) {
                                               return node.x == stored.x && node.y == stored.y;
                                           });
        EXPECT_TRUE(readNode != readPath->GetNodes().end() && SameTie(end, readNode->end));
    }
}

// A line tied to a table turned by a few degrees and placed a fraction off
// whole units, each of which its record rounds, reads back where it was
// written: its end lies on the entry but for the rounding of both.
TEST(ReadTies, ALineTiedToAnObstacleAFractionOffReadsBackAsWritten)
{
    CTestSettingsKey settings;
    CNoticeRecorder notices;
    const struct
    {
        CPoint2 at;
        float angle;
    } tables[] = {{{5000.5f, 5000.0f}, 35.0f}, {{5000.4f, 5000.2f}, 8.0f}, {{5000.3f, 5000.6f}, 51.0f}};
    for (const auto& table : tables) {
        SCOPED_TRACE(table.angle);
        auto course = equipmenttest::MakeCourse();
        CCourseObject* placed =
            equipmenttest::Place(*course, *FindObjectTypeById(kTableKind), table.at.x, table.at.y, table.angle);
        placed->Invalidate();
        const CPoint2 end = placed->GetEnds()[1]->GetCoursePoint();
        const auto* line = equipmenttest::PlaceWithTool<CStraightLine>(*course, kLineTool, end - CPoint2(900.0f, 400.0f),
                                                                       end + CPoint2(3.0f, 20.0f));
        ASSERT_NE(nullptr, line);
        ASSERT_NE(nullptr, line->GetLink(1));

        const std::string written = coursetest::ArchiveOf(*course);
        CCourse read(L"Read", L"");
        ASSERT_TRUE(archivetest::ReadBlock(read, archivetest::TextBlockOf(*course)));
        EXPECT_TRUE(SameTie(line->GetLink(1), FindFirst<CStraightLine>(read)->GetLink(1)));
        EXPECT_EQ(written, coursetest::ArchiveOf(read));
    }
}

// A line dragged onto a table's entry, beside whose end a single jump is
// placed afterwards, its bar a fraction of a unit off the line's end and its
// point nearer, reads back tied to the table's end where it lies.
TEST(ReadTies, ALineReadsBackTiedToTheEndItLiesOn)
{
    CTestSettingsKey settings;
    CNoticeRecorder notices;
    auto course = equipmenttest::MakeCourse();
    CCourseObject* table = equipmenttest::Place(*course, *FindObjectTypeById(kTableKind), 5000.0f, 5000.0f);
    table->Invalidate();
    const auto* line = equipmenttest::PlaceWithTool<CStraightLine>(*course, kLineTool, CPoint2(4000.0f, 4000.0f),
                                                                   CPoint2(5185.0f, 5150.0f));
    ASSERT_NE(nullptr, line);
    ASSERT_NE(nullptr, line->GetLink(1));
    ASSERT_EQ(table, line->GetLink(1)->owner);
    const CPoint2 end = line->GetCourseEnd(1);
    CCourseObject* jump =
        equipmenttest::Place(*course, *FindObjectTypeById(kSingleJumpKind), end.x + 20.0f, end.y + 1.0f, -2.0f);
    jump->Invalidate();
    ASSERT_EQ(table, line->GetLink(1)->owner);
    const float barOff = (jump->GetEnds().front()->ClosestEntryPoint(end) - end).Length();
    ASSERT_GT(barOff, 0.1f);
    ASSERT_LT(barOff, 0.75f);

    const std::string written = coursetest::ArchiveOf(*course);
    CCourse read(L"Read", L"");
    ASSERT_TRUE(archivetest::ReadBlock(read, archivetest::TextBlockOf(*course)));
    EXPECT_TRUE(SameTie(line->GetLink(1), FindFirst<CStraightLine>(read)->GetLink(1)));
    EXPECT_EQ(written, coursetest::ArchiveOf(read));
}
