#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "course/SpecList.h"
#include "foundation/Strings.h"
#include "tests/course/EditingTestKinds.h"
#include "tests/support/FailureReports.h"
#include "tests/support/NoticeRecorder.h"

using namespace coursetest;
using namespace editingtest;

namespace {

class CourseEditing : public CEditingFixture
{
protected:
    void SetUp() override
    {
        CEditingFixture::SetUp();
        // The kinds register themselves when first made.
        ObstacleType().dialogsStay = true;
        ObstacleType().dialogsCancel = false;
        EditOnCreateType();
    }
};

CPoint2 Position(const CCourseObject* object)
{
    return object->GetPlacement().GetPosition2D();
}

float Rotation(const CCourseObject* object)
{
    return object->GetPlacement().GetRotation();
}

// The angle brought into [0, 45).
float Mod45(float degrees)
{
    const float m = std::fmod(degrees, 45.0f);
    return m < 0.0f ? m + 45.0f : m;
}

}  // namespace

TEST_F(CourseEditing, PickIdsOfBodiesAndHandles)
{
    EXPECT_EQ(1u, CCourse::MakeBodyPickId(0));
    EXPECT_EQ(4u * 5 + 1, CCourse::MakeBodyPickId(5));
    EXPECT_EQ(3u * 131072 + 2, CCourse::MakeHandlePickId(0, 3));
    EXPECT_EQ((2u << 17) | (7u << 2) | 2, CCourse::MakeHandlePickId(7, 2));
    // The index field keeps 15 bits.
    EXPECT_EQ(CCourse::MakeBodyPickId(1), CCourse::MakeBodyPickId(0x8001));
}

TEST_F(CourseEditing, PickingNothingClearsTheEditedObjectAndHandle)
{
    CCourse course(L"", L"");
    PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f);
    course.PointerDown(CCourse::MakeHandlePickId(0, 1), nullptr, nullptr);
    ASSERT_NE(nullptr, course.GetEditedObject());
    bool selected = true;
    int category = 7;
    course.PointerDown(0, &selected, &category);
    EXPECT_EQ(nullptr, course.GetEditedObject());
    EXPECT_EQ(-1, course.GetHandleIndex());
    EXPECT_TRUE(selected);
    EXPECT_EQ(7, category);
}

TEST_F(CourseEditing, PickingAHandleTakesItsPlacedRoundedPoint)
{
    CCourse course(L"", L"");
    CEditObject* object = PlaceEdit(course, ObstacleType(), 1000.0f, 2000.0f, 90.0f);
    object->AddEnd(1, CPoint2(40.4f, 0.0f), CPoint2(1.0f, 0.0f));
    object->AddEnd(2, CPoint2(10.0f, 20.6f), CPoint2(1.0f, 0.0f));
    object->Invalidate();
    ASSERT_EQ(4, object->GetEndCount());

    bool selected = true;
    int category = 0;
    const uint32_t id = 3 * 131072 + 2;
    course.PointerDown(id, &selected, &category);
    EXPECT_EQ(object, course.GetEditedObject());
    EXPECT_EQ(3, course.GetHandleIndex());
    EXPECT_FALSE(selected);
    EXPECT_EQ(2, category);
    // Local (10, 20.6) turned by 90 degrees: the placed point, whole units.
    const CPoint2 placed = object->GetPlacement().TransformPoint2D(10.0f, 20.6f);
    EXPECT_EQ(std::floor(placed.x + 0.5f), course.GetHandlePos().x);
    EXPECT_EQ(std::floor(placed.y + 0.5f), course.GetHandlePos().y);
    EXPECT_EQ(course.GetHandlePos().x, std::floor(course.GetHandlePos().x));
}

TEST_F(CourseEditing, HandleCategoryIsTwoWithSeveralSelected)
{
    CCourse course(L"", L"");
    CEditObject* first = PlaceEdit(course, PlainType(), 1000.0f, 1000.0f);
    first->AddEnd(1, CPoint2(), CPoint2(1.0f, 0.0f));
    CEditObject* second = PlaceEdit(course, PlainType(), 3000.0f, 1000.0f);
    first->SetSelected(true);
    int category = -1;
    course.PointerDown(CCourse::MakeHandlePickId(0, 0), nullptr, &category);
    EXPECT_EQ(1, category);
    second->SetSelected(true);
    course.PointerDown(CCourse::MakeHandlePickId(0, 0), nullptr, &category);
    EXPECT_EQ(2, category);
}

TEST_F(CourseEditing, PickingABodyGivesItsCategoryAndSelection)
{
    CCourse course(L"", L"");
    PlaceEdit(course, PlainType(), 1000.0f, 1000.0f);
    CEditObject* second = PlaceEdit(course, PlainType(), 3000.0f, 1000.0f);
    second->SetSelected(true);
    bool selected = false;
    int category = 0;
    // Kind 3 counts as a body as well.
    course.PointerDown(CCourse::MakeBodyPickId(1) | 2, &selected, &category);
    EXPECT_EQ(second, course.GetEditedObject());
    EXPECT_EQ(-1, course.GetHandleIndex());
    EXPECT_TRUE(selected);
    EXPECT_EQ(1, category);
}

TEST_F(CourseEditing, StaleIdsAndHandlesPastTheEndsPickNothing)
{
    CCourse course(L"", L"");
    PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f);
    const int reports = ReportCount();
    bool selected = true;
    course.PointerDown(CCourse::MakeBodyPickId(0), nullptr, nullptr);
    ASSERT_NE(nullptr, course.GetEditedObject());

    course.PointerDown(CCourse::MakeBodyPickId(1), &selected, nullptr);
    EXPECT_EQ(nullptr, course.GetEditedObject());
    EXPECT_EQ(-1, course.GetHandleIndex());

    course.PointerDown(CCourse::MakeHandlePickId(0, 2), &selected, nullptr);
    EXPECT_EQ(nullptr, course.GetEditedObject());
    EXPECT_EQ(-1, course.GetHandleIndex());
    EXPECT_TRUE(selected);
    EXPECT_EQ(reports, ReportCount());
}

TEST_F(CourseEditing, AnIndexSharedByTwoObjectsPicksNothing)
{
    CCourse course(L"", L"");
    for (int i = 0; i < 0x8000 + 2; ++i)
        Place(course, 100.0f + float(i % 100), 100.0f);
    // Index 1 names the second object and the one 32768 places later.
    course.PointerDown(CCourse::MakeBodyPickId(1), nullptr, nullptr);
    EXPECT_EQ(nullptr, course.GetEditedObject());
    // Index 2 has no such twin.
    course.PointerDown(CCourse::MakeBodyPickId(2), nullptr, nullptr);
    EXPECT_EQ(*std::next(course.GetObjects().begin(), 2), course.GetEditedObject());
}

TEST_F(CourseEditing, MovesAccumulateFromTheDragStart)
{
    CCourse course(L"", L"");
    CEditObject* object = PlaceEdit(course, ObstacleType(), 1000.0f, 2000.0f);
    CEditObject* other = PlaceEdit(course, ObstacleType(), 5000.0f, 2000.0f);
    object->SetSelected(true);
    for (int i = 0; i < 3; ++i)
        course.MoveSelectionBy(0.4f, 0.0f);
    EXPECT_EQ(1, course.GetMotion());
    EXPECT_FLOAT_EQ(1.2f, course.GetMoveOffset().x);
    EXPECT_EQ(CPoint2(1001.0f, 2000.0f), Position(object));
    EXPECT_EQ(CPoint2(5000.0f, 2000.0f), Position(other));

    course.MoveSelectionBy(100.0f, -50.0f);
    EXPECT_EQ(CPoint2(1101.0f, 1950.0f), Position(object));
}

TEST_F(CourseEditing, ThreeMovesAndADeselectMakeOneStep)
{
    CCourse course(L"", L"");
    CEditObject* object = PlaceEdit(course, ObstacleType(), 1000.0f, 2000.0f);
    course.MarkUnmodified(true);
    object->SetSelected(true);
    course.MoveSelectionBy(10.0f, 0.0f);
    course.MoveSelectionBy(10.0f, 0.0f);
    course.MoveSelectionBy(10.0f, 0.0f);
    course.DeselectAll(false);
    EXPECT_EQ(0, course.GetMotion());
    EXPECT_EQ(GetString(2018), course.GetUndoLabel());
    ASSERT_TRUE(course.Undo());
    EXPECT_FALSE(course.CanUndo());
    ASSERT_EQ(1u, course.GetObjects().size());
    EXPECT_EQ(CPoint2(1000.0f, 2000.0f), Position(*course.GetObjects().begin()));
}

TEST_F(CourseEditing, RotationTurnsPositionsAboutTheCentreOfTheSelection)
{
    CCourse course(L"", L"");
    CEditObject* west = PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f);
    CEditObject* east = PlaceEdit(course, ObstacleType(), 2000.0f, 1000.0f);
    west->SetSelected(true);
    east->SetSelected(true);
    EXPECT_EQ(CPoint2(1500.0f, 1000.0f), course.GetRotationCentre());

    course.RotateSelectionBy(60.0f);
    course.RotateSelectionBy(30.0f);
    EXPECT_EQ(2, course.GetMotion());
    EXPECT_FLOAT_EQ(90.0f, course.GetRotationAngle());
    // A quarter turn in the plan: the west object goes to the top, the east
    // one to the bottom, both turned by -90.
    EXPECT_EQ(CPoint2(1500.0f, 500.0f), Position(west));
    EXPECT_EQ(CPoint2(1500.0f, 1500.0f), Position(east));
    EXPECT_NEAR(-90.0f, Rotation(west), 1e-3f);
    EXPECT_NEAR(-90.0f, Rotation(east), 1e-3f);
    // Local +x still points at the centre from the west object.
    const CPoint2 ahead = west->GetPlacement().TransformPoint2D(100.0f, 0.0f);
    EXPECT_NEAR(1500.0f, ahead.x, 1e-2f);
    EXPECT_NEAR(600.0f, ahead.y, 1e-2f);
    // During the turn the centre stays.
    EXPECT_EQ(CPoint2(1500.0f, 1000.0f), course.GetRotationCentre());
}

TEST_F(CourseEditing, RotationCentreOfOneObjectIsItsPositionAndOfNoneAReport)
{
    CCourse course(L"", L"");
    CEditObject* object = PlaceEdit(course, ObstacleType(), 1234.0f, 567.0f);
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(CPoint2(), course.GetRotationCentre()); }));
    object->SetSelected(true);
    EXPECT_EQ(CPoint2(1234.0f, 567.0f), course.GetRotationCentre());
}

TEST_F(CourseEditing, RotationSnapBringsTheCommonDirectionOntoMultiplesOf45)
{
    CCourse course(L"", L"");
    std::vector<CEditObject*> objects;
    objects.push_back(PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f, 10.0f));
    objects.push_back(PlaceEdit(course, ObstacleType(), 3000.0f, 1000.0f, 10.0f));
    objects.push_back(PlaceEdit(course, ObstacleType(), 1000.0f, 3000.0f, 10.0f));
    objects.push_back(PlaceEdit(course, ObstacleType(), 3000.0f, 3000.0f, 30.0f));
    for (CEditObject* object : objects)
        object->SetSelected(true);
    course.PrepareRotationSnap();
    // Turns of 6 to 14 degrees are held at 10.
    course.RotateSelectionBy(4.0f);
    course.RotateSelectionBy(4.0f);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(0.0f, Rotation(objects[size_t(i)]), 1e-3f) << i;
    EXPECT_NEAR(20.0f, Rotation(objects[3]), 1e-3f);
    // 54 degrees in all lie within the hold of 55.
    course.RotateSelectionBy(46.0f);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(0.0f, Mod45(Rotation(objects[size_t(i)]) + 0.001f), 0.01f) << i;
    EXPECT_NEAR(-45.0f, Rotation(objects[0]), 1e-3f);

    course.CommitSnappedAngle();
    EXPECT_FLOAT_EQ(55.0f, course.GetRotationAngle());
    EXPECT_TRUE(course.GetAngleSnap().GetPositions().empty());
}

TEST_F(CourseEditing, RotationSnapOfNegativeDirectionsUsesTheirRemainderIn45)
{
    CCourse course(L"", L"");
    CEditObject* a = PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f, -170.0f);
    CEditObject* b = PlaceEdit(course, ObstacleType(), 3000.0f, 1000.0f, -170.0f);
    a->SetSelected(true);
    b->SetSelected(true);
    course.PrepareRotationSnap();
    const std::set<float>& positions = course.GetAngleSnap().GetPositions();
    ASSERT_EQ(17u, positions.size());
    EXPECT_EQ(10.0f - 360.0f, *positions.begin());
    EXPECT_EQ(10.0f + 360.0f, *positions.rbegin());
    // Objects that are not obstacles (category 1) do not vote.
    CCourse plain(L"", L"");
    CEditObject* c = PlaceEdit(plain, PlainType(), 1000.0f, 1000.0f, 20.0f);
    c->SetSelected(true);
    plain.PrepareRotationSnap();
    EXPECT_EQ(-360.0f, *plain.GetAngleSnap().GetPositions().begin());
}

TEST_F(CourseEditing, HandleDragFollowsAccumulatedPositionAndHandOver)
{
    CCourse course(L"", L"");
    CEditObject* object = PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f);
    CEditObject* bystander = PlaceEdit(course, ObstacleType(), 4000.0f, 1000.0f);
    course.PointerDown(CCourse::MakeHandlePickId(0, 1), nullptr, nullptr);
    course.StartActiveHandleMove();
    EXPECT_EQ(std::vector<int>{1}, object->startedHandles);
    course.MoveActiveHandle(0.3f, 0.0f);
    course.MoveActiveHandle(0.3f, 10.0f);
    EXPECT_EQ(3, course.GetMotion());
    EXPECT_EQ((std::vector<int>{1, 1}), object->movedHandles);
    CPoint2 end;
    object->GetEnd(end, 1);
    EXPECT_NEAR(100.6f, end.x, 1e-3f);
    EXPECT_NEAR(10.0f, end.y, 1e-3f);
    EXPECT_EQ(2, bystander->handleNotices);

    object->handOver = true;
    course.MoveActiveHandle(1.0f, 0.0f);
    EXPECT_EQ(0, course.GetHandleIndex());
    course.EndActiveHandleMove();
    EXPECT_EQ(1, object->endHandleMoves);
}

TEST_F(CourseEditing, HandleCallsWithoutAnEditedObjectAreReported)
{
    CCourse course(L"", L"");
    PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f);
    course.PointerDown(0, nullptr, nullptr);
    const int reports = ReportCount();
    course.StartActiveHandleMove();
    course.MoveActiveHandle(5.0f, 5.0f);
    course.EndActiveHandleMove();
    EXPECT_EQ(reports + 3, ReportCount());
    // A body pick has no handle to drag.
    course.PointerDown(CCourse::MakeBodyPickId(0), nullptr, nullptr);
    course.MoveActiveHandle(5.0f, 5.0f);
    EXPECT_EQ(reports + 4, ReportCount());
}

TEST_F(CourseEditing, StepsThatAreNoNumbersAreReportedAndChangeNothing)
{
    CCourse course(L"", L"");
    CEditObject* object = PlaceEdit(course, ObstacleType(), 1000.0f, 2000.0f);
    object->SetSelected(true);
    const float nan = std::nanf("");
    const float inf = INFINITY;
    const int reports = ReportCount();
    course.MoveSelectionBy(nan, 0.0f);
    course.MoveSelectionBy(10.0f, inf);
    course.RotateSelectionBy(nan);
    EXPECT_EQ(reports + 3, ReportCount());
    EXPECT_EQ(0, course.GetMotion());
    EXPECT_EQ(CPoint2(1000.0f, 2000.0f), Position(object));
    EXPECT_FLOAT_EQ(0.0f, Rotation(object));
    // The drag goes on from where it was.
    course.MoveSelectionBy(10.0f, 0.0f);
    course.MoveSelectionBy(-inf, 0.0f);
    course.MoveSelectionBy(10.0f, 0.0f);
    EXPECT_EQ(CPoint2(1020.0f, 2000.0f), Position(object));

    object->Move(nan, 5.0f);
    EXPECT_EQ(reports + 5, ReportCount());
    EXPECT_EQ(CPoint2(1020.0f, 2000.0f), Position(object));

    course.PointerDown(CCourse::MakeHandlePickId(0, 1), nullptr, nullptr);
    course.MoveActiveHandle(nan, nan);
    EXPECT_EQ(reports + 6, ReportCount());
    EXPECT_TRUE(object->movedHandles.empty());
    EXPECT_TRUE(IsFinite(course.GetHandlePos()));
}

TEST_F(CourseEditing, SingleObjectEditBuildsAndResetsTheSnapGrid)
{
    CCourse course(L"", L"");
    CEditObject* object = PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f);
    CEditObject* other = PlaceEdit(course, ObstacleType(), 4000.0f, 1000.0f);
    object->SetSelected(true);
    course.BeginSingleObjectEdit();
    EXPECT_FALSE(object->GetSnapAxisX().GetPositions().empty());
    EXPECT_EQ(object->GetPlacement(), object->GetDragStartPlacement());
    course.EndSingleObjectEdit();
    EXPECT_TRUE(object->GetSnapAxisX().GetPositions().empty());

    other->SetSelected(true);
    course.BeginSingleObjectEdit();
    EXPECT_TRUE(object->GetSnapAxisX().GetPositions().empty());
    EXPECT_TRUE(other->GetSnapAxisX().GetPositions().empty());
}

TEST_F(CourseEditing, PlacingCreatesDragsAndDropsTheToolsObject)
{
    CCourse course(L"", L"");
    CEditObject* earlier = PlaceEdit(course, ObstacleType(), 8000.0f, 8000.0f);
    earlier->SetSelected(true);

    course.SelectToolType(kObstacleNameId);
    ASSERT_EQ(&ObstacleType(), course.GetToolType());
    ASSERT_NE(nullptr, course.GetPropertiesDialog());
    EXPECT_EQ(course.GetSpecList().GetTerm(kObstacleNameId), course.GetToolLabel());

    // A new object starts on the grid (every 120 units) near the press.
    course.StartPlacingObject(495.0f, 600.0f);
    CCourseObject* placed = course.GetPlacedObject();
    ASSERT_NE(nullptr, placed);
    EXPECT_TRUE(course.GetToolLabel().empty());
    EXPECT_FALSE(earlier->IsSelected());
    EXPECT_EQ(CPoint2(480.0f, 600.0f), Position(placed));
    // The drag snaps to the one-foot grid near its lines.
    course.DragPlacedObject(650.4f, 700.6f);
    EXPECT_NEAR(650.0f, Position(placed).x, 40.0f);
    EXPECT_NEAR(701.0f, Position(placed).y, 40.0f);
    EXPECT_EQ(Position(placed).x, std::floor(Position(placed).x));
    course.DropPlacedObject(720.0f, 840.0f);
    EXPECT_EQ(nullptr, course.GetPlacedObject());
    EXPECT_EQ(CPoint2(720.0f, 840.0f), Position(placed));
    EXPECT_TRUE(placed->IsSelected());
    EXPECT_EQ(1, course.CountSelected());
    EXPECT_EQ(2u, course.GetObjects().size());

    course.CommitUndoStep(placed->GetType()->GetDisplayName(course));
    EXPECT_EQ(ObstacleType().GetDisplayName(course), course.GetUndoLabel());
}

TEST_F(CourseEditing, APlacedObjectOutsideTheAreaIsKeptWhileDragged)
{
    CCourse course(L"", L"");
    course.SelectToolType(kObstacleNameId);
    course.StartPlacingObject(-5000.0f, -5000.0f);
    ASSERT_NE(nullptr, course.GetPlacedObject());
    EXPECT_EQ(1u, course.GetObjects().size());
    course.DropPlacedObject(1000.0f, 1000.0f);
    EXPECT_EQ(1u, course.GetObjects().size());
}

TEST_F(CourseEditing, AFullCoursePlacesNothingAndSaysSo)
{
    CCourse course(L"", L"");
    for (size_t i = 0; i + 1 < CCourse::kMaxObjects; ++i)
        coursetest::Place(course, float(i % 1000) * 10.0f, float(i / 1000) * 10.0f);
    course.SelectToolType(kObstacleNameId);
    CNoticeRecorder notices;
    course.StartPlacingObject(1000.0f, 1000.0f);
    course.DropPlacedObject(1000.0f, 1000.0f);
    EXPECT_EQ(CCourse::kMaxObjects, course.GetObjectCount());
    EXPECT_TRUE(notices.Take().empty());

    const int reports = ReportCount();
    course.StartPlacingObject(2000.0f, 1000.0f);
    EXPECT_EQ(nullptr, course.GetPlacedObject());
    EXPECT_EQ(nullptr, course.AddText(100.0f, 100.0f, L"more"));
    EXPECT_EQ(CCourse::kMaxObjects, course.GetObjectCount());
    EXPECT_EQ(reports, ReportCount());
    const std::vector<CNotice> told = notices.Take();
    ASSERT_EQ(2u, told.size());
    EXPECT_EQ(CCourse::kTooManyObjectsText, told[0].textId);
    EXPECT_EQ(CCourse::kTooManyObjectsText, told[1].textId);
}

TEST_F(CourseEditing, PlacingWithoutToolOrTwiceIsReported)
{
    CCourse course(L"", L"");
    const int reports = ReportCount();
    course.StartPlacingObject(100.0f, 100.0f);
    course.DragPlacedObject(100.0f, 100.0f);
    course.DropPlacedObject(100.0f, 100.0f);
    EXPECT_EQ(reports + 3, ReportCount());
    EXPECT_TRUE(course.GetObjects().empty());

    course.SelectToolType(kObstacleNameId);
    course.StartPlacingObject(1000.0f, 1000.0f);
    course.StartPlacingObject(2000.0f, 1000.0f);
    EXPECT_EQ(reports + 4, ReportCount());
    EXPECT_EQ(1u, course.GetObjects().size());
}

TEST_F(CourseEditing, SelectToolZeroReturnsToTheSelectTool)
{
    CCourse course(L"", L"");
    course.SelectToolType(kObstacleNameId);
    course.SelectToolType(0);
    EXPECT_EQ(nullptr, course.GetToolType());
    EXPECT_EQ(nullptr, course.GetPropertiesDialog());
    EXPECT_TRUE(course.GetToolLabel().empty());
}

TEST_F(CourseEditing, EditOnCreateLeavesTheToolsDialogToTheWindowToRun)
{
    CCourse course(L"", L"");
    // A selected object of another kind is not what the tool's dialog edits.
    CEditObject* selected = PlaceEdit(course, PlainType(), 3000.0f, 3000.0f);
    selected->SetSelected(true);
    course.MarkUnmodified(true);

    course.SelectToolType(kEditOnCreateNameId);
    ASSERT_NE(nullptr, EditOnCreateType().lastDialog);
    EXPECT_EQ(course.GetPropertiesDialog(), EditOnCreateType().lastDialog);
    EXPECT_EQ(0, EditOnCreateType().lastDialog->runs);
    EXPECT_TRUE(EditOnCreateType().GetEditOnCreateDefault());
    EXPECT_TRUE(RunToolDialog(course));
    EXPECT_EQ(1, EditOnCreateType().lastDialog->runs);
    EXPECT_FALSE(EditOnCreateType().lastDialog->pending);
    EXPECT_EQ(0, selected->fromDialogCalls);
    EXPECT_FALSE(course.CanUndo());
    EXPECT_EQ(&EditOnCreateType(), course.GetToolType());
}

TEST_F(CourseEditing, FlipWithoutSelectionMirrorsTheRingAboutItsCentre)
{
    CCourse course(L"", L"");
    CEditObject* a = PlaceEdit(course, ObstacleType(), 1000.0f, 2000.0f, 30.0f);
    CEditObject* b = PlaceEdit(course, ObstacleType(), 5000.0f, 9000.0f);
    CEditObject* outside = PlaceEdit(course, ObstacleType(), 15000.0f, 2000.0f);
    course.AddMarkedPoint(CPoint2(100.0f, 200.0f));

    course.FlipSelection(true);
    EXPECT_FALSE(course.IsFlipSelectionOnly());
    EXPECT_EQ(CPoint2(13400.0f, 2000.0f), Position(a));
    EXPECT_EQ(CPoint2(9400.0f, 9000.0f), Position(b));
    EXPECT_NEAR(-30.0f, Rotation(a), 1e-3f);
    EXPECT_EQ(1, a->flips);
    EXPECT_EQ(0, outside->flips);
    EXPECT_EQ(CPoint2(15000.0f, 2000.0f), Position(outside));
    EXPECT_EQ(CPoint2(14300.0f, 200.0f), course.GetMarkedPoints().at(0));

    course.FlipSelection(false);
    EXPECT_EQ(CPoint2(13400.0f, 10000.0f), Position(a));
    EXPECT_NEAR(-150.0f, Rotation(a), 1e-3f);
    EXPECT_EQ(CPoint2(14300.0f, 11800.0f), course.GetMarkedPoints().at(0));
}

TEST_F(CourseEditing, FlipWithEverythingSelectedMirrorsTheWholeRing)
{
    CCourse course(L"", L"");
    CEditObject* a = PlaceEdit(course, ObstacleType(), 1000.0f, 2000.0f);
    CEditObject* b = PlaceEdit(course, ObstacleType(), 2000.0f, 2000.0f);
    a->SetSelected(true);
    b->SetSelected(true);
    course.AddMarkedPoint(CPoint2(100.0f, 200.0f));
    course.FlipSelection(true);
    EXPECT_FALSE(course.IsFlipSelectionOnly());
    EXPECT_EQ(CPoint2(13400.0f, 2000.0f), Position(a));
    EXPECT_EQ(CPoint2(12400.0f, 2000.0f), Position(b));
    EXPECT_EQ(CPoint2(14300.0f, 200.0f), course.GetMarkedPoints().at(0));
}

TEST_F(CourseEditing, FlipOfPartOfTheRingMirrorsOnlyThatAboutItsBounds)
{
    CCourse course(L"", L"");
    CEditObject* a = PlaceEdit(course, ObstacleType(), 1000.0f, 2000.0f, 30.0f);
    CEditObject* b = PlaceEdit(course, ObstacleType(), 2000.0f, 2000.0f);
    CEditObject* c = PlaceEdit(course, ObstacleType(), 7000.0f, 2000.0f);
    course.AddMarkedPoint(CPoint2(100.0f, 200.0f));

    // One selected: mirrored about its own position.
    a->SetSelected(true);
    course.FlipSelection(true);
    EXPECT_TRUE(course.IsFlipSelectionOnly());
    EXPECT_EQ(CPoint2(1000.0f, 2000.0f), Position(a));
    EXPECT_NEAR(-30.0f, Rotation(a), 1e-3f);
    EXPECT_EQ(0, b->flips);
    EXPECT_EQ(0, c->flips);
    EXPECT_EQ(CPoint2(100.0f, 200.0f), course.GetMarkedPoints().at(0));

    // Two selected: about the centre of their common bounds.
    b->SetSelected(true);
    const CRectF bounds = [&] {
        CRectF r;
        r.Union(a->GetBoundingRect(), b->GetBoundingRect());
        return r;
    }();
    const float cx = (bounds.left + bounds.right) * 0.5f;
    course.FlipSelection(true);
    EXPECT_EQ(std::floor(2.0f * cx - 1000.0f + 0.5f), Position(a).x);
    EXPECT_EQ(std::floor(2.0f * cx - 2000.0f + 0.5f), Position(b).x);
    EXPECT_EQ(CPoint2(7000.0f, 2000.0f), Position(c));
}

TEST_F(CourseEditing, FlipOfAnEmptyCourseDoesNothingAndLeavesTheFlag)
{
    CCourse course(L"", L"");
    course.FlipSelection(true);
    EXPECT_FALSE(course.IsFlipSelectionOnly());
}

TEST_F(CourseEditing, NotifyOthersAsksEveryOtherObject)
{
    CCourse course(L"", L"");
    CEditObject* source = PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f);
    CEditObject* b = PlaceEdit(course, ObstacleType(), 2000.0f, 3000.0f);
    CEditObject* c = PlaceEdit(course, ObstacleType(), 4000.0f, 5000.0f);
    CSnapAxis x(40.0f);
    CSnapAxis y(40.0f);
    course.NotifyOthers(x, y, source);
    EXPECT_EQ(0, source->snapRequests);
    EXPECT_EQ(1, b->snapRequests);
    EXPECT_EQ(1, c->snapRequests);
    EXPECT_EQ((std::set<float>{2000.0f, 4000.0f}), x.GetPositions());
}

TEST_F(CourseEditing, AddTextWithoutTheTextKindIsReported)
{
    if (FindObjectTypeById(310) != nullptr)
        GTEST_SKIP() << "the text kind exists";
    CCourse course(L"", L"");
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(nullptr, course.AddText(100.0f, 100.0f, L"Judge")); }));
    EXPECT_TRUE(course.GetObjects().empty());
}

// Only a record being read makes objects besides its own: one handed over
// at any other time is a fault, and goes.
TEST_F(CourseEditing, AnObjectOfARecordOutsideAReadIsReportedAndDropped)
{
    CCourse course(L"", L"");
    EXPECT_EQ(1, CountReports([&] { course.AddObjectOfRecord(std::make_unique<CTestObject>()); }));
    EXPECT_TRUE(course.GetObjects().empty());
}

TEST_F(CourseEditing, ScriptedSessionUndoesAndRedoesStepByStep)
{
    CCourse course(L"", L"");
    course.MarkUnmodified(true);
    std::vector<std::string> states{ArchiveOf(course)};
    std::vector<std::wstring> labels;
    auto commit = [&](const std::wstring& label) {
        course.CommitUndoStep(label);
        states.push_back(ArchiveOf(course));
        labels.push_back(label);
    };

    course.SelectToolType(kObstacleNameId);
    course.StartPlacingObject(3000.0f, 3000.0f);
    course.DragPlacedObject(3100.0f, 3000.0f);
    course.DropPlacedObject(3200.0f, 3000.0f);
    commit(ObstacleType().GetDisplayName(course));

    course.PointerDown(CCourse::MakeBodyPickId(0), nullptr, nullptr);
    for (int i = 0; i < 3; ++i) {
        course.BeginSingleObjectEdit();
        course.MoveSelectionBy(40.0f, 10.0f);
        course.MoveSelectionBy(40.0f, 10.0f);
        course.EndSingleObjectEdit();
        course.SetMotion(0);
        states.push_back(ArchiveOf(course));
        labels.push_back(GetString(2018));
    }
    course.PrepareRotationSnap();
    course.RotateSelectionBy(20.0f);
    course.RotateSelectionBy(50.0f);
    course.CommitSnappedAngle();
    course.SetMotion(0);
    states.push_back(ArchiveOf(course));
    labels.push_back(GetString(2019));

    course.FlipSelection(true);
    commit(L"Flip");

    course.PointerDown(CCourse::MakeHandlePickId(0, 1), nullptr, nullptr);
    course.StartActiveHandleMove();
    course.MoveActiveHandle(30.0f, 0.0f);
    course.MoveActiveHandle(30.0f, 20.0f);
    course.EndActiveHandleMove();
    course.SetMotion(0);
    states.push_back(ArchiveOf(course));
    labels.push_back(GetString(2020));

    course.DeleteSelected();
    commit(L"Delete");
    EXPECT_TRUE(course.GetObjects().empty());

    ExpectUndoAndRedoThrough(course, labels, states);
}
