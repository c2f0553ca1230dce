#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "foundation/Strings.h"
#include "tests/course/EditingTestKinds.h"
#include "tests/support/FailureReports.h"

using namespace coursetest;
using namespace editingtest;

namespace {

class CourseSetup : public CEditingFixture
{
protected:
    void SetUp() override
    {
        CEditingFixture::SetUp();
        ObstacleType().dialogsStay = true;
        ObstacleType().dialogsCancel = false;
        NumberType();
        LineType();
    }
    void TearDown() override
    {
        ObstacleType().dialogsStay = true;
        ObstacleType().dialogsCancel = false;
        CCourseFixture::TearDown();
    }
};

// An object of layer 3 with a first end at its origin (so it has an anchor).
CEditObject* PlaceAnchored(CCourse& course, float x, float y, float angle = 0.0f)
{
    CEditObject* object = PlaceEdit(course, PlainType(), x, y, angle);
    object->AddEnd(1, CPoint2(50.0f, 0.0f), CPoint2(10000.0f, 0.0f));
    object->Invalidate();
    return object;
}

std::wstring PropertiesLabel(const CCourse& course, const CObjectType& type)
{
    std::wstring label = GetStringWithArg(2131, type.GetDisplayName(course));
    label.erase(label.find(L'&'), 1);
    return label.substr(0, label.size() - 3);
}

}  // namespace

TEST_F(CourseSetup, EditingTheSelectionIsOneStepLabelledWithItsTypeName)
{
    CCourse course(L"", L"");
    CEditObject* a = PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f);
    CEditObject* b = PlaceEdit(course, ObstacleType(), 3000.0f, 1000.0f);
    CEditObject* bystander = PlaceEdit(course, ObstacleType(), 5000.0f, 1000.0f);
    a->SetSelected(true);
    b->SetSelected(true);
    course.MarkUnmodified(true);

    EXPECT_TRUE(RunSelectionDialog(course));
    ASSERT_NE(nullptr, ObstacleType().lastDialog);
    EXPECT_EQ(1, a->fromDialogCalls);
    EXPECT_EQ(1, b->fromDialogCalls);
    EXPECT_EQ(0, bystander->fromDialogCalls);
    EXPECT_EQ(1, bystander->reshapedNotices);
    EXPECT_EQ(PropertiesLabel(course, ObstacleType()), course.GetUndoLabel());
    EXPECT_EQ(L"The nearest corner Properties", course.GetUndoLabel());
    EXPECT_EQ(1, course.GetUndoHistory().GetPosition());
}

TEST_F(CourseSetup, EditingTheSelectionLeavesTheToolsDialogAlone)
{
    CCourse course(L"", L"");
    course.SelectToolType(kObstacleNameId);
    auto* toolDialog = static_cast<CEditDialog*>(course.GetPropertiesDialog());
    ASSERT_NE(nullptr, toolDialog);
    CEditObject* a = PlaceAnchored(course, 1000.0f, 1000.0f);
    CEditObject* b = PlaceAnchored(course, 3000.0f, 1000.0f);
    a->SetSelected(true);
    b->SetSelected(true);
    EXPECT_TRUE(RunSelectionDialog(course));
    EXPECT_EQ(1, a->fromDialogCalls);
    EXPECT_EQ(1, b->fromDialogCalls);
    // The selection's dialog (of another kind) is its caller's and gone now;
    // the tool keeps its own.
    EXPECT_EQ(toolDialog, course.GetPropertiesDialog());
    EXPECT_TRUE(toolDialog->pending);
    EXPECT_EQ(&ObstacleType(), course.GetToolType());
    EXPECT_EQ(PropertiesLabel(course, PlainType()), course.GetUndoLabel());
}

TEST_F(CourseSetup, EditingAMixedSelectionIsReported)
{
    CCourse course(L"", L"");
    CEditObject* a = PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f);
    CEditObject* b = PlaceAnchored(course, 3000.0f, 1000.0f);
    a->SetSelected(true);
    b->SetSelected(true);
    ObstacleType().lastDialog = nullptr;
    EXPECT_EQ(1, CountReports([&] { EXPECT_FALSE(RunSelectionDialog(course)); }));
    EXPECT_EQ(nullptr, ObstacleType().lastDialog);
    EXPECT_EQ(0, a->fromDialogCalls);
}

TEST_F(CourseSetup, AToolDialogThatDoesNotStayPlacesOneObjectInOneStep)
{
    CCourse course(L"", L"");
    CRecordingListener listener;
    course.AddListener(&listener);
    course.MarkUnmodified(true);
    ObstacleType().dialogsStay = false;
    course.SelectToolType(kObstacleNameId);
    const std::wstring label = course.GetToolLabel();
    EXPECT_TRUE(RunToolDialog(course));

    ASSERT_EQ(1u, course.GetObjects().size());
    CCourseObject* placed = *course.GetObjects().begin();
    EXPECT_EQ(CPoint2(), placed->GetPlacement().GetPosition2D());
    EXPECT_TRUE(placed->IsSelected());
    EXPECT_EQ(1, static_cast<CEditObject*>(placed)->fromDialogCalls);
    EXPECT_EQ(nullptr, course.GetToolType());
    EXPECT_EQ(nullptr, course.GetPropertiesDialog());
    EXPECT_EQ(label, course.GetUndoLabel());
    EXPECT_EQ(1, course.GetUndoHistory().GetPosition());
    EXPECT_EQ(1, listener.courseChanges);
    course.RemoveListener(&listener);
}

TEST_F(CourseSetup, AToolDialogThatStaysWaitsForThePointer)
{
    CCourse course(L"", L"");
    CRecordingListener listener;
    course.AddListener(&listener);
    course.MarkUnmodified(true);
    course.SelectToolType(kObstacleNameId);
    auto* dialog = static_cast<CEditDialog*>(course.GetPropertiesDialog());
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(dialog->pending);
    EXPECT_TRUE(RunToolDialog(course));
    EXPECT_EQ(dialog, course.GetPropertiesDialog());
    EXPECT_FALSE(dialog->pending);
    EXPECT_TRUE(course.GetObjects().empty());
    EXPECT_EQ(&ObstacleType(), course.GetToolType());
    EXPECT_FALSE(course.CanUndo());
    EXPECT_EQ(1, listener.courseChanges);

    // The object placed next takes the dialog's values.
    course.StartPlacingObject(1200.0f, 1200.0f);
    course.DropPlacedObject(1200.0f, 1200.0f);
    ASSERT_EQ(1u, course.GetObjects().size());
    EXPECT_EQ(1, static_cast<CEditObject*>(*course.GetObjects().begin())->fromDialogCalls);
    course.RemoveListener(&listener);
}

TEST_F(CourseSetup, ACancelledToolDialogReturnsToTheSelectTool)
{
    CCourse course(L"", L"");
    CRecordingListener listener;
    course.AddListener(&listener);
    ObstacleType().dialogsCancel = true;
    course.SelectToolType(kObstacleNameId);
    EXPECT_FALSE(RunToolDialog(course));
    EXPECT_EQ(nullptr, course.GetToolType());
    EXPECT_EQ(nullptr, course.GetPropertiesDialog());
    EXPECT_TRUE(course.GetToolLabel().empty());
    EXPECT_EQ(1, listener.courseChanges);
    course.RemoveListener(&listener);
}

TEST_F(CourseSetup, ReleasingAnotherDialogDestroysTheCoursesOwn)
{
    CCourse course(L"", L"");
    course.SelectToolType(kObstacleNameId);
    ASSERT_NE(nullptr, course.GetPropertiesDialog());
    CEditDialog other(&course);
    course.ReleasePropertiesDialog(&other);
    EXPECT_EQ(nullptr, course.GetPropertiesDialog());
    EXPECT_EQ(nullptr, course.GetToolType());
}

TEST_F(CourseSetup, SetUpMarksTheObstaclesAndDropsHidableObjects)
{
    CCourse course(L"", L"");
    CEditObject* a = PlaceAnchored(course, 2000.0f, 3000.0f, 30.0f);
    CEditObject* b = PlaceAnchored(course, 6000.0f, 3000.0f);
    CEditObject* hidable = PlaceEdit(course, ObstacleType(), 9000.0f, 3000.0f);
    hidable->hidable = true;
    CEditObject* fixed = PlaceEdit(course, ObstacleType(), 9000.0f, 6000.0f, 20.0f);
    const CPoint2 anchorA = a->GetPlacement().TransformPoint2D(50.0f, 0.0f);

    course.ApplyNewCourseSetUp(false);
    EXPECT_TRUE(course.GetShowObsCoords());
    // The hidable object is gone (destroyed).
    EXPECT_EQ(3u, course.GetObjects().size());
    EXPECT_TRUE(course.ContainsObject(a) && course.ContainsObject(b) && course.ContainsObject(fixed));
    ASSERT_EQ(2u, course.GetMarkedPoints().size());
    EXPECT_EQ(CPoint2(std::floor(anchorA.x + 0.5f), std::floor(anchorA.y + 0.5f)), course.GetMarkedPoints()[0]);
    EXPECT_EQ(CPoint2(6050.0f, 3000.0f), course.GetMarkedPoints()[1]);
    EXPECT_EQ(1, a->resetShapes);
    EXPECT_EQ(1, b->resetShapes);
    EXPECT_EQ(0, fixed->resetShapes);
    EXPECT_EQ(0.0f, a->GetPlacement().GetRotation());
    EXPECT_NEAR(20.0f, fixed->GetPlacement().GetRotation(), 1e-3f);
    ASSERT_NE(nullptr, course.GetCoordinateMarks());
    EXPECT_FALSE(course.GetCoordinateMarks()->empty());
}

TEST_F(CourseSetup, SetUpThatKeepsTheLayoutMovesNothing)
{
    CCourse course(L"", L"");
    CEditObject* a = PlaceAnchored(course, 2000.0f, 3000.0f, 30.0f);
    course.ApplyNewCourseSetUp(true);
    EXPECT_TRUE(course.GetShowObsCoords());
    EXPECT_TRUE(course.GetMarkedPoints().empty());
    EXPECT_EQ(0, a->resetShapes);
    EXPECT_NEAR(30.0f, a->GetPlacement().GetRotation(), 1e-3f);
}

TEST_F(CourseSetup, OverlayHoldsTheOtherCoursesObstaclesGrey)
{
    CCourse other(L"Other", L"");
    PlaceEdit(other, ObstacleType(), 1000.0f, 1000.0f);
    PlaceAnchored(other, 3000.0f, 1000.0f);
    PlaceEdit(other, NumberType(), 5000.0f, 1000.0f);
    PlaceEdit(other, LineType(), 7000.0f, 1000.0f);
    Place(other, 9000.0f, 1000.0f, 5);

    CCourse course(L"", L"");
    CRecordingListener listener;
    course.AddListener(&listener);
    course.BuildDifferenceOverlay(other, false, false);
    ASSERT_EQ(2u, course.GetOverlayObjects().size());
    for (CCourseObject* copy : course.GetOverlayObjects()) {
        EXPECT_EQ(CCourseObject::kGrey, copy->GetDisplayState());
        EXPECT_EQ(&course, copy->GetCourse());
        EXPECT_TRUE(copy->GetLayer() == 3 || copy->GetLayer() == 4);
    }
    EXPECT_EQ(1, listener.settingsChanges);

    course.BuildDifferenceOverlay(other, true, true);
    EXPECT_EQ(4u, course.GetOverlayObjects().size());
    course.FilterDifferenceOverlay(false, true, false);
    ASSERT_EQ(1u, course.GetOverlayObjects().size());
    EXPECT_EQ(6, (*course.GetOverlayObjects().begin())->GetLayer());
    EXPECT_EQ(3, listener.settingsChanges);
    course.RemoveListener(&listener);
}

TEST_F(CourseSetup, UntouchedObjectsArePaleAndMovedOnesNormal)
{
    CCourse other(L"Other", L"");
    PlaceEdit(other, ObstacleType(), 1000.0f, 1000.0f);
    PlaceEdit(other, ObstacleType(), 3000.0f, 1000.0f);
    CCourse course(L"", L"");
    CEditObject* same = PlaceEdit(course, ObstacleType(), 1000.0f, 1000.0f);
    CEditObject* moved = PlaceEdit(course, ObstacleType(), 3001.0f, 1000.0f);
    CEditObject* reshaped = PlaceEdit(course, ObstacleType(), 3000.0f, 1000.0f);
    reshaped->halfSize = 50.0f;
    course.BuildDifferenceOverlay(other, false, false);
    EXPECT_EQ(CCourseObject::kPale, same->GetDisplayState());
    EXPECT_EQ(CCourseObject::kNormal, moved->GetDisplayState());
    EXPECT_EQ(CCourseObject::kNormal, reshaped->GetDisplayState());

    // Without an overlay every object is normal again.
    course.FilterDifferenceOverlay(false, false, false);
    EXPECT_TRUE(course.GetOverlayObjects().empty());
    EXPECT_EQ(CCourseObject::kNormal, same->GetDisplayState());
}
