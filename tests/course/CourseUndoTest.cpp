#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "foundation/Compression.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "foundation/UndoHistory.h"
#include "objects/annotations/StraightLine.h"
#include "objects/equipment/AFrame.h"
#include "objects/equipment/ObstacleEnd.h"
#include "tests/course/ArchiveTestKinds.h"
#include "tests/course/CourseTestKinds.h"
#include "tests/support/CrashLogTesting.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"
#include "tests/support/UndoHistoryTestAccess.h"

namespace {

using coursetest::ArchiveOf;
using coursetest::ExpectUndoAndRedoThrough;
using archivetest::PlaceRecord;

class CourseUndo : public coursetest::CCourseFixture
{
protected:
    void SetUp() override
    {
        coursetest::CCourseFixture::SetUp();
        archivetest::RegisterKinds();
    }
};

// Moves an object to a new position (as a drag's step would).
void MoveObject(CCourseObject* object, float x, float y)
{
    CTransform placement = object->GetPlacement();
    placement.SetPosition2D(x, y);
    object->SetPlacement(placement);
}

CUndoHistory& HistoryOf(CCourse& course)
{
    return const_cast<CUndoHistory&>(course.GetUndoHistory());
}

// Calls back into the course while it tells its listeners.
class CCallingListener : public CCourseListener
{
public:
    explicit CCallingListener(CCourse& course) : m_course(course) {}
    void OnMapLayerChanged(ESceneLayer) override
    {
        if (undoOnNotification) {
            undoOnNotification = false;
            undoResult = m_course.Undo() ? 1 : 0;
        }
    }
    void On3DLayerChanged(ESceneLayer) override {}
    void OnCourseSettingsChanged() override {}
    void OnCourseChanged() override {}

    bool undoOnNotification = false;
    int undoResult = -1;

private:
    CCourse& m_course;
};

// An object that stays while others are read anew: each time the course
// tells it of objects going, the course's objects it tells apart as going.
class CWatchingObject : public archivetest::CRecordObject
{
public:
    CWatchingObject() : CRecordObject(4) {}
    bool BeforeObjectsDeleted() override
    {
        going.emplace_back();
        for (const CCourseObject* object : GetCourse()->GetObjects()) {
            if (GetCourse()->IsBeingDeleted(*object))
                going.back().push_back(object);
        }
        return false;
    }
    bool AfterObjectsDeleted() override
    {
        ++afterCount;
        return false;
    }

    std::vector<std::vector<const CCourseObject*>> going;
    int afterCount = 0;
};

}  // namespace

TEST_F(CourseUndo, ANewCourseHoldsItsStateAndNothingToUndo)
{
    CCourse course(L"Undo", L"");
    EXPECT_FALSE(course.CanUndo());
    EXPECT_FALSE(course.CanRedo());
    EXPECT_FALSE(course.IsModified());
    EXPECT_EQ(L"", course.GetUndoLabel());
    EXPECT_EQ(CCourse::kMaxUndoSteps, course.GetUndoHistory().maximum);
    EXPECT_EQ(ArchiveOf(course), course.GetUndoHistory().GetCurrent());
}

TEST_F(CourseUndo, ARunOfOneMotionIsOneStepWhenAnotherOperationEndsIt)
{
    CCourse course(L"Undo", L"");
    CCourseObject* object = PlaceRecord(course, 1200.0f, 1200.0f, 0.0f, 1, L"a");
    object->SetSelected(true);
    course.CommitUndoStepById(2120);
    const size_t steps = course.GetUndoHistory().GetEntryCount();

    for (int i = 1; i <= 3; ++i) {
        course.SetMotion(1);
        MoveObject(object, 1200.0f + 100.0f * float(i), 1200.0f);
    }
    EXPECT_EQ(steps, course.GetUndoHistory().GetEntryCount());
    EXPECT_TRUE(course.IsModified());
    EXPECT_EQ(GetString(2018), course.GetUndoLabel());
    course.DeselectAll(false);
    EXPECT_EQ(0, course.GetMotion());
    EXPECT_EQ(steps + 1, course.GetUndoHistory().GetEntryCount());
    EXPECT_EQ(GetString(2018), course.GetUndoLabel());
    EXPECT_EQ(ArchiveOf(course), course.GetUndoHistory().GetCurrent());
}

TEST_F(CourseUndo, ANewMotionKindCommitsTheOneBefore)
{
    CCourse course(L"Undo", L"");
    course.SetMotion(1);
    course.SetMotion(2);
    EXPECT_EQ(1u, course.GetUndoHistory().GetEntryCount());
    EXPECT_EQ(GetString(2019), course.GetUndoLabel());
    course.SetMotion(2);
    EXPECT_EQ(1u, course.GetUndoHistory().GetEntryCount());
    course.SetMotion(0);
    EXPECT_EQ(2u, course.GetUndoHistory().GetEntryCount());
    EXPECT_EQ(GetString(2019), course.GetUndoLabel());
    std::string restored;
    ASSERT_TRUE(HistoryOf(course).Undo(restored));
    EXPECT_EQ(GetString(2018), course.GetUndoLabel());
}

TEST_F(CourseUndo, EveryMotionKindHasItsLabel)
{
    CCourse course(L"Undo", L"");
    for (int kind = 1; kind <= 5; ++kind) {
        course.SetMotion(kind);
        EXPECT_EQ(GetString(2017 + kind), course.GetMotionLabel());
    }
    course.SetMotion(0);
    EXPECT_EQ(5u, course.GetUndoHistory().GetEntryCount());

    const int before = ReportCount();
    course.SetMotion(9);
    EXPECT_EQ(L"", course.GetMotionLabel());
    EXPECT_GT(ReportCount(), before);
    course.SetMotion(0);
}

TEST_F(CourseUndo, CommandLabelsLoseTheMnemonicAndTheDots)
{
    CCourse course(L"Undo", L"");
    course.CommitUndoStep(L"&Properties...");
    EXPECT_EQ(L"Properties", course.GetUndoLabel());
    course.CommitUndoStep(L"A&b&c");
    EXPECT_EQ(L"Ab&c", course.GetUndoLabel());
    course.CommitUndoStep(L"...");
    EXPECT_EQ(L"...", course.GetUndoLabel());
    course.CommitUndoStep(L"Go...");
    EXPECT_EQ(L"Go", course.GetUndoLabel());
}

TEST_F(CourseUndo, ACommitDuringAMotionIsReportedAndTakesTheMotionIn)
{
    CCourse course(L"Undo", L"");
    course.SetMotion(1);
    EXPECT_EQ(1, CountReports([&] { course.CommitUndoStep(L"Step"); }));
    EXPECT_EQ(0, course.GetMotion());
    EXPECT_EQ(1u, course.GetUndoHistory().GetEntryCount());
    EXPECT_EQ(L"Step", course.GetUndoLabel());
}

TEST_F(CourseUndo, UndoAndRedoGiveBackTheArchiveOfEachStep)
{
    CCourse course(L"Undo", L"");
    course.SetShowObsCoords(false);
    course.MarkUnmodified(true);
    std::vector<std::string> states{ArchiveOf(course)};

    CCourseObject* first = PlaceRecord(course, 1000.0f, 2000.0f, 30.0f, 7, L"first");
    course.CommitUndoStep(L"Place");
    states.push_back(ArchiveOf(course));
    PlaceRecord(course, 3000.0f, 2000.0f, 0.0f, 8, L"second");
    course.CommitUndoStep(L"Place");
    states.push_back(ArchiveOf(course));
    first->SetSelected(true);
    course.SetMotion(1);
    MoveObject(first, 1500.0f, 2500.0f);
    course.SetMotion(0);
    states.push_back(ArchiveOf(course));
    course.SelectAll();
    course.DeleteSelected();
    course.CommitUndoStep(L"Delete");
    states.push_back(ArchiveOf(course));
    EXPECT_EQ(0u, course.GetObjectCount());

    for (size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(course.Undo());
        EXPECT_EQ(states[i - 1], ArchiveOf(course)) << "undo to state " << i - 1;
    }
    EXPECT_FALSE(course.CanUndo());
    for (size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(course.Redo());
        EXPECT_EQ(states[i], ArchiveOf(course)) << "redo to state " << i;
    }
    EXPECT_FALSE(course.CanRedo());
}

TEST_F(CourseUndo, UndoRightAfterADragTakesBackTheDrag)
{
    CCourse course(L"Undo", L"");
    CCourseObject* object = PlaceRecord(course, 1000.0f, 1000.0f, 0.0f, 1, L"a");
    course.CommitUndoStep(L"Place");
    const std::string placed = ArchiveOf(course);
    object->SetSelected(true);
    course.SetMotion(1);
    MoveObject(object, 2000.0f, 1000.0f);
    EXPECT_TRUE(course.CanUndo());
    EXPECT_FALSE(course.CanRedo());

    const int before = ReportCount();
    ASSERT_TRUE(course.Undo());
    EXPECT_EQ(before, ReportCount());
    EXPECT_EQ(0, course.GetMotion());
    EXPECT_EQ(placed, ArchiveOf(course));
    EXPECT_EQ(GetString(2018), course.GetRedoLabel());
    ASSERT_TRUE(course.Redo());
    ASSERT_EQ(1u, course.GetObjectCount());
    EXPECT_EQ(CPoint2(2000.0f, 1000.0f), (*course.GetObjects().begin())->GetPosition());
}

TEST_F(CourseUndo, AMotionCanBeUndoneWithNoEarlierStep)
{
    CCourse course(L"Undo", L"");
    EXPECT_FALSE(course.CanUndo());
    course.SetViewSize(640.0f, 480.0f);
    EXPECT_TRUE(course.CanUndo());
    EXPECT_EQ(GetString(2021), course.GetUndoLabel());
}

TEST_F(CourseUndo, ADamagedStepLeavesCourseAndHistoryAsTheyWere)
{
    CCourse course(L"Undo", L"");
    PlaceRecord(course, 1000.0f, 1000.0f, 0.0f, 1, L"a");
    course.CommitUndoStep(L"One");
    PlaceRecord(course, 2000.0f, 1000.0f, 0.0f, 2, L"b");
    course.CommitUndoStep(L"Two");
    const std::string now = ArchiveOf(course);
    const int32_t modified = course.GetModifiedCount();
    std::string& record = CUndoHistoryTestAccess::Record(HistoryOf(course), 1);
    const std::string good = record;
    record[record.size() / 2] ^= 0x5A;

    EXPECT_EQ(1, CountReports([&] { EXPECT_FALSE(course.Undo()); }));
    EXPECT_EQ(2u, course.GetObjectCount());
    EXPECT_EQ(now, ArchiveOf(course));
    EXPECT_EQ(2, course.GetUndoHistory().GetPosition());
    EXPECT_EQ(now, course.GetUndoHistory().GetCurrent());
    EXPECT_EQ(modified, course.GetModifiedCount());
    EXPECT_EQ(L"Two", course.GetUndoLabel());

    record = good;
    ASSERT_TRUE(course.Undo());
    EXPECT_EQ(1u, course.GetObjectCount());
    CUndoHistoryTestAccess::Record(HistoryOf(course), 1)[4] ^= 0x5A;
    const std::string undone = ArchiveOf(course);
    EXPECT_FALSE(course.Redo());
    EXPECT_EQ(undone, ArchiveOf(course));
    EXPECT_TRUE(course.CanRedo());

    // A step that opens but holds no archive: the course and the history
    // come back to where they were.
    CUndoHistoryTestAccess::Record(HistoryOf(course), 1)[4] ^= 0x5A;
    ASSERT_TRUE(course.Redo());
    ASSERT_EQ(now, ArchiveOf(course));
    std::string noArchive;
    ASSERT_TRUE(ZlibCompressWithLength("no archive", noArchive, false, course.GetUndoHistory().GetCurrent()));
    CUndoHistoryTestAccess::Record(HistoryOf(course), 1) = noArchive;
    const int beforeUnreadable = ReportCount();
    EXPECT_FALSE(course.Undo());
    EXPECT_LT(beforeUnreadable, ReportCount());
    EXPECT_EQ(2u, course.GetObjectCount());
    EXPECT_EQ(now, ArchiveOf(course));
    EXPECT_EQ(2, course.GetUndoHistory().GetPosition());
    EXPECT_EQ(now, course.GetUndoHistory().GetCurrent());
    EXPECT_EQ(noArchive, CUndoHistoryTestAccess::Record(HistoryOf(course), 1));
    EXPECT_EQ(modified, course.GetModifiedCount());
    EXPECT_EQ(L"Two", course.GetUndoLabel());
}

TEST_F(CourseUndo, NothingToUndoOrRedoIsReported)
{
    CCourse course(L"Undo", L"");
    PlaceRecord(course, 1000.0f, 1000.0f, 0.0f, 1, L"a");
    const int before = ReportCount();
    EXPECT_FALSE(course.Undo());
    EXPECT_FALSE(course.Redo());
    EXPECT_EQ(L"", course.GetRedoLabel());
    EXPECT_EQ(before + 3, ReportCount());
    EXPECT_EQ(1u, course.GetObjectCount());
}

TEST_F(CourseUndo, UndoWhileTheListenersAreToldIsRefused)
{
    CCourse course(L"Undo", L"");
    course.CommitUndoStep(L"Step");
    course.SetMotion(1);
    CCallingListener listener(course);
    course.AddListener(&listener);
    listener.undoOnNotification = true;
    const int before = ReportCount();
    course.OnMapLayerChanged(ESceneLayer::kObjects);
    EXPECT_EQ(0, listener.undoResult);
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_EQ(1, course.GetMotion());
    EXPECT_EQ(1, course.GetUndoHistory().GetPosition());
    course.RemoveListener(&listener);
    course.SetMotion(0);
}

TEST_F(CourseUndo, UndoReplacesTheMarkedPoints)
{
    CCourse course(L"Undo", L"");
    course.SetShowObsCoords(true);
    course.CommitUndoStep(L"Coordinates");
    course.AddMarkedPoint(CPoint2(100.0f, 200.0f));
    course.CommitUndoStep(L"Mark");
    ASSERT_TRUE(course.Undo());
    EXPECT_TRUE(course.GetMarkedPoints().empty());
    ASSERT_TRUE(course.Redo());
    ASSERT_EQ(1u, course.GetMarkedPoints().size());
    EXPECT_EQ(CPoint2(100.0f, 200.0f), course.GetMarkedPoints()[0]);
    // Undo does not add the step's points to the ones already there.
    ASSERT_TRUE(course.Undo());
    ASSERT_TRUE(course.Redo());
    EXPECT_EQ(1u, course.GetMarkedPoints().size());
}

TEST_F(CourseUndo, StepsKeepThePresentFormatForAVersion3Course)
{
    CCourse course(L"Undo", L"");
    course.SetShowGrass(false);
    course.SetWriteVersion3(true);
    course.CommitUndoStep(L"Step");
    const std::string& snapshot = course.GetUndoHistory().GetCurrent();
    ASSERT_FALSE(snapshot.empty());
    EXPECT_EQ(4, snapshot[0]);
    EXPECT_TRUE(course.GetWriteVersion3());
    ASSERT_TRUE(course.Undo());
    ASSERT_TRUE(course.Redo());
    // A version-3 archive has no place for the grass switch.
    EXPECT_TRUE(course.GetHideGrass());
}

TEST_F(CourseUndo, AfterSavingUndoThenRedoLeavesTheCourseUnmodified)
{
    CCourse course(L"Undo", L"");
    PlaceRecord(course, 1000.0f, 1000.0f, 0.0f, 1, L"a");
    course.CommitUndoStep(L"Place");
    EXPECT_EQ(1, course.GetModifiedCount());
    course.MarkUnmodified(false);
    EXPECT_FALSE(course.IsModified());
    ASSERT_TRUE(course.Undo());
    EXPECT_TRUE(course.IsModified());
    ASSERT_TRUE(course.Redo());
    EXPECT_FALSE(course.IsModified());
    EXPECT_EQ(0, course.GetModifiedCount());

    // A commit after saving, then Undo: still modified.
    course.CommitUndoStep(L"More");
    ASSERT_TRUE(course.Undo());
    EXPECT_EQ(2, course.GetModifiedCount());
    EXPECT_TRUE(course.IsModified());
}

TEST_F(CourseUndo, ACommitAfterRedoingPastTheSaveCannotBeUndoneToUnmodified)
{
    CCourse course(L"Undo", L"");
    course.CommitUndoStep(L"One");
    ASSERT_TRUE(course.Undo());
    course.MarkUnmodified(false);
    ASSERT_TRUE(course.Redo());
    EXPECT_EQ(-1, course.GetModifiedCount());
    course.CommitUndoStep(L"Two");
    EXPECT_EQ(0x40000000, course.GetModifiedCount());
    ASSERT_TRUE(course.Undo());
    ASSERT_TRUE(course.Undo());
    ASSERT_TRUE(course.Redo());
    ASSERT_TRUE(course.Redo());
    EXPECT_TRUE(course.IsModified());
}

TEST_F(CourseUndo, SavingCommitsTheOpenMotion)
{
    CCourse course(L"Undo", L"");
    course.SetMotion(2);
    EXPECT_TRUE(course.IsModified());
    course.MarkUnmodified(false);
    EXPECT_EQ(0, course.GetMotion());
    EXPECT_FALSE(course.IsModified());
    EXPECT_EQ(GetString(2019), course.GetUndoLabel());
}

TEST_F(CourseUndo, ReadingACourseStartsTheHistoryAgain)
{
    CCourse course(L"Undo", L"");
    course.CommitUndoStep(L"One");
    course.CommitUndoStep(L"Two");
    PlaceRecord(course, 1000.0f, 1000.0f, 0.0f, 1, L"a");
    course.SetMotion(1);
    course.MarkUnmodified(true);
    EXPECT_EQ(0, course.GetMotion());
    EXPECT_FALSE(course.IsModified());
    EXPECT_FALSE(course.CanUndo());
    EXPECT_EQ(0u, course.GetUndoHistory().GetEntryCount());
    EXPECT_EQ(ArchiveOf(course), course.GetUndoHistory().GetCurrent());
}

TEST_F(CourseUndo, ANewCommitDropsTheRedoSteps)
{
    CCourse course(L"Undo", L"");
    course.CommitUndoStep(L"One");
    course.CommitUndoStep(L"Two");
    ASSERT_TRUE(course.Undo());
    EXPECT_TRUE(course.CanRedo());
    EXPECT_EQ(L"Two", course.GetRedoLabel());
    course.CommitUndoStep(L"Three");
    EXPECT_FALSE(course.CanRedo());
    EXPECT_EQ(L"Three", course.GetUndoLabel());
}

TEST_F(CourseUndo, AnAFrameSessionUndoesAndRedoesStepByStep)
{
    const CObjectType& aFrame = CAFrame::GetAFrameType();
    CCourse course(L"", L"");
    std::vector<std::string> states{ArchiveOf(course)};
    std::vector<std::wstring> labels;
    auto record = [&](const std::wstring& label) {
        states.push_back(ArchiveOf(course));
        labels.push_back(label);
    };

    std::unique_ptr<CCourseObject> made =
        aFrame.CreateNew(&course, coursetest::MakePlacement(3000.0f, 3000.0f, 0.0f), nullptr);
    ASSERT_NE(nullptr, made);
    CCourseObject* object = made.get();
    course.AddObject(std::move(made));
    course.CommitUndoStep(aFrame.GetDisplayName(course));
    record(aFrame.GetDisplayName(course));

    for (int i = 1; i <= 3; ++i) {
        course.SelectAll();
        course.SetMotion(1);
        MoveObject(object, 3000.0f + 240.0f * float(i), 3000.0f - 120.0f * float(i));
        course.DeselectAll(false);
        record(GetString(2018));
    }
    course.SelectAll();
    course.SetMotion(2);
    CTransform turned = object->GetPlacement();
    turned.RotateZ(-35.0f);
    object->SetPlacement(turned);
    course.SetMotion(0);
    record(GetString(2019));

    object->Flip();
    course.CommitUndoStep(L"Flip");
    record(L"Flip");

    course.SetMotion(3);
    course.SetMotion(0);
    record(GetString(2020));

    const float length = static_cast<const CAFrame*>(object)->GetLength();
    const float height = static_cast<const CAFrame*>(object)->GetHeight();
    course.DeleteSelected();
    course.CommitUndoStepById(2122);
    record(L"Delete");
    EXPECT_EQ(0u, course.GetObjectCount());

    ExpectUndoAndRedoThrough(course, labels, states);
    EXPECT_FALSE(course.CanRedo());
    ASSERT_EQ(0u, course.GetObjectCount());
    // The undone A-frame comes back whole: ramp length and height included.
    ASSERT_TRUE(course.Undo());
    ASSERT_EQ(1u, course.GetObjectCount());
    const CAFrame* restored = dynamic_cast<const CAFrame*>(*course.GetObjects().begin());
    ASSERT_NE(nullptr, restored);
    EXPECT_EQ(length, restored->GetLength());
    EXPECT_EQ(height, restored->GetHeight());
}

TEST_F(CourseUndo, UndoAndRedoReplaceOnlyTheObjectsWhoseRecordsDiffer)
{
    CCourse course(L"Undo", L"");
    const auto place = [&](float x) {
        std::unique_ptr<CCourseObject> made =
            CAFrame::GetAFrameType().CreateNew(&course, coursetest::MakePlacement(x, 3000.0f, 0.0f), nullptr);
        CCourseObject* object = made.get();
        course.AddObject(std::move(made));
        return object;
    };
    const auto objectsOf = [&] { return std::vector<CCourseObject*>(course.GetObjects().begin(), course.GetObjects().end()); };
    for (float x : {1000.0f, 3000.0f, 5000.0f, 7000.0f})
        place(x);
    course.CommitUndoStep(L"Place");
    const std::string placed = ArchiveOf(course);
    const std::vector<CCourseObject*> four = objectsOf();
    const uint32_t thirdSerial = four[2]->GetSerialNumber();
    MoveObject(four[2], 5000.0f, 6000.0f);
    course.CommitUndoStep(L"Move");
    const std::string moved = ArchiveOf(course);

    // The moved object alone is made again, in its place in the order.
    for (const std::string* expected : {&placed, &moved}) {
        ASSERT_TRUE(expected == &placed ? course.Undo() : course.Redo());
        EXPECT_EQ(*expected, ArchiveOf(course));
        const std::vector<CCourseObject*> now = objectsOf();
        ASSERT_EQ(4u, now.size());
        EXPECT_EQ((std::vector<CCourseObject*>{four[0], four[1], four[3]}),
                  (std::vector<CCourseObject*>{now[0], now[1], now[3]}));
        EXPECT_EQ(thirdSerial, now[2]->GetSerialNumber());
    }

    // A redone placement comes last in its layer, the others stay.
    const std::vector<CCourseObject*> kept = objectsOf();
    place(9000.0f);
    course.CommitUndoStep(L"Place");
    const std::string five = ArchiveOf(course);
    ASSERT_TRUE(course.Undo());
    EXPECT_EQ(moved, ArchiveOf(course));
    EXPECT_EQ(kept, objectsOf());
    ASSERT_TRUE(course.Redo());
    EXPECT_EQ(five, ArchiveOf(course));
    const std::vector<CCourseObject*> now = objectsOf();
    EXPECT_EQ(kept, std::vector<CCourseObject*>(now.begin(), now.begin() + 4));

    // An object deleted from the middle of its layer comes back where it
    // was, by reading the whole snapshot again.
    course.DeselectAll(false);
    now[1]->SetSelected(true);
    course.DeleteSelected();
    course.CommitUndoStep(L"Delete");
    ASSERT_TRUE(course.Undo());
    EXPECT_EQ(five, ArchiveOf(course));
}

// The objects an undo or redo reads anew go as deleted ones do: every object
// that stays hears of them once before and once after, tells them apart
// from the rest (not from the objects the user selected), and nothing stays
// selected.
TEST_F(CourseUndo, AStepTellsTheObjectsThatStayWhichOnesItReadsAnew)
{
    CCourse course(L"Undo", L"");
    auto made = std::make_unique<CWatchingObject>();
    CWatchingObject* watcher = made.get();
    watcher->Init(&course, &archivetest::GetKind(), coursetest::MakePlacement(1000.0f, 1000.0f), CCourseObject::kNormal);
    course.AddObject(std::move(made));
    CCourseObject* kept = PlaceRecord(course, 2000.0f, 1000.0f, 0.0f, 1, L"kept");
    archivetest::CRecordObject* changed = PlaceRecord(course, 3000.0f, 1000.0f, 0.0f, 2, L"changed");
    course.CommitUndoStep(L"Place");
    changed->value = 3;
    course.CommitUndoStep(L"Change");
    for (bool redo : {false, true}) {
        const CCourseObject* going = *std::prev(course.GetObjects().end());
        kept->SetSelected(true);
        watcher->going.clear();
        watcher->afterCount = 0;
        ASSERT_TRUE(redo ? course.Redo() : course.Undo());
        ASSERT_TRUE(course.ContainsObject(watcher) && course.ContainsObject(kept)) << redo;
        EXPECT_EQ(std::vector<std::vector<const CCourseObject*>>{{going}}, watcher->going) << redo;
        EXPECT_EQ(1, watcher->afterCount) << redo;
        EXPECT_FALSE(course.HasSelection()) << redo;
    }
}

// Few objects keep whole records in the history, many keep patches.
TEST_F(CourseUndo, ManyStepsUndoAndRedoToTheSameBytesAndLabels)
{
    for (int count : {3, 700}) {
        CCourse course(L"Undo", L"");
        std::vector<CCourseObject*> frames;
        for (int i = 0; i < count; ++i) {
            std::unique_ptr<CCourseObject> made = CAFrame::GetAFrameType().CreateNew(
                &course, coursetest::MakePlacement(float(1000 + i % 30 * 600), float(1000 + i / 30 * 900), 0.0f),
                nullptr);
            frames.push_back(made.get());
            course.AddObject(std::move(made));
        }
        course.MarkUnmodified(true);
        std::vector<std::string> states{ArchiveOf(course)};
        std::vector<std::wstring> labels;
        const auto commit = [&](const wchar_t* label) {
            course.CommitUndoStep(label);
            labels.push_back(label);
            states.push_back(ArchiveOf(course));
            EXPECT_NE(states[states.size() - 2], states.back()) << count << " " << labels.size();
        };
        auto* record = PlaceRecord(course, 2000.0f, 2000.0f, 0.0f, 1, L"a");
        commit(L"Place");
        for (int step = 0; step < 12; ++step) {
            MoveObject(frames[size_t(step * 7) % frames.size()], 500.0f + 100.0f * float(step), 700.0f);
            commit(L"Move");
        }
        MoveObject(frames.front(), 300.0f, 300.0f);
        MoveObject(frames.back(), 400.0f, 400.0f);
        commit(L"Move both");
        record->label = L"a longer label";
        commit(L"Rename");
        auto* echo = PlaceRecord(course, 100.0f, 100.0f, 0.0f, 1, L"a");
        commit(L"Place");
        // New bytes ending with the whole old record (kind 4107, colours, turn, place, value, label).
        echo->label = std::wstring{L'z', 0x0B, 0x10, 0, 0, 0, L'd', 0, L'd', 0, 1, 0, L'a'};
        commit(L"Rename");
        course.SetShowTexts(!course.GetShowTexts());
        commit(L"Show texts");
        course.DeselectAll(false);
        frames[1]->SetSelected(true);
        course.DeleteSelected();
        commit(L"Delete");
        ExpectUndoAndRedoThrough(course, labels, states);
    }
}

// Each line end as the place of the object it is tied to and of the end in
// that object's ends; "-" when free.
std::vector<std::string> LinksOf(CCourse& course)
{
    const std::vector<CCourseObject*> objects(course.GetObjects().begin(), course.GetObjects().end());
    std::vector<std::string> links;
    for (CCourseObject* object : objects) {
        const auto* line = dynamic_cast<const CStraightLine*>(object);
        for (int i = 0; line != nullptr && i < 2; ++i) {
            const CObstacleEnd* end = line->GetLink(i);
            if (end == nullptr) {
                links.push_back("-");
                continue;
            }
            const auto owner = std::find(objects.begin(), objects.end(), end->owner);
            const auto& ends = end->owner->GetEnds();
            links.push_back(std::to_string(owner - objects.begin()) + "." +
                            std::to_string(std::find(ends.begin(), ends.end(), end) - ends.begin()));
        }
    }
    return links;
}

// The undo steps keep the ends filed by place from step to step: the lines
// tie as they would in the same course read afresh, whose ends are filed anew.
TEST_F(CourseUndo, LinesTieAfterEachStepAsInTheSameCourseReadAfresh)
{
    CCourse made(L"Made", L"");
    CCourse course(L"Undo", L"");
    const auto placeFrame = [](CCourse& course, float x, float y) {
        course.AddObject(CAFrame::GetAFrameType().CreateNew(&course, coursetest::MakePlacement(x, y, 0.0f), nullptr));
    };
    const auto placeLine = [&made](CPoint2 from, CPoint2 to) {
        std::unique_ptr<CCourseObject> line =
            CStraightLine::GetStraightLineType().CreateNew(&made, coursetest::MakePlacement(0.0f, 0.0f), nullptr);
        std::istringstream inches(std::to_string(int(from.x / 10)) + " " + std::to_string(int(from.y / 10)) + " " +
                                  std::to_string(int(to.x / 10)) + " " + std::to_string(int(to.y / 10)));
        line->ApplyVariant("line", inches);
        made.AddObject(std::move(line));
    };
    for (int i = 0; i < 8; ++i)
        placeFrame(made, 2000.0f + 2500.0f * float(i % 4), 3000.0f + 4000.0f * float(i / 4));
    // Lines from beside each frame's first end; two end where frames come.
    std::vector<CPoint2> firstEnds;
    for (CCourseObject* frame : made.GetObjects())
        firstEnds.push_back(frame->GetEnds().front()->GetCoursePoint());
    for (size_t i = 0; i < firstEnds.size(); ++i)
        placeLine(firstEnds[i] + CPoint2(40.0f, 0.0f), CPoint2(1000.0f + 900.0f * float(i), 12000.0f));
    placeLine(CPoint2(1000.0f, 15000.0f), CPoint2(16000.0f, 15000.0f));
    // Read, the lines tie to the frames.
    ASSERT_TRUE(course.LoadArchive(ArchiveOf(made), false, true).read);
    course.MarkUnmodified(true);
    ASSERT_EQ("9.1", LinksOf(course).front());

    std::vector<std::string> states{ArchiveOf(course)};
    // The frames come after the lines.
    const auto frameAt = [&](size_t index) { return *std::next(course.GetObjects().begin(), ptrdiff_t(9 + index)); };
    const auto commit = [&] {
        course.CommitUndoStep(L"Step");
        states.push_back(ArchiveOf(course));
    };
    MoveObject(frameAt(1), 2000.0f, 15000.0f);
    commit();
    course.DeselectAll(false);
    frameAt(2)->SetSelected(true);
    course.DeleteSelected();
    commit();
    placeFrame(course, 16000.0f, 15000.0f);
    commit();
    MoveObject(frameAt(4), firstEnds[2].x, firstEnds[2].y);
    commit();

    const auto expectAsReadAfresh = [&](size_t step) {
        CCourse fresh(L"Fresh", L"");
        ASSERT_TRUE(fresh.LoadArchive(states[step], false, true).read) << step;
        EXPECT_EQ(ArchiveOf(fresh), ArchiveOf(course)) << step;
        EXPECT_EQ(LinksOf(fresh), LinksOf(course)) << step;
    };
    for (size_t step = states.size() - 1; step > 0; --step) {
        ASSERT_TRUE(course.Undo()) << step;
        EXPECT_EQ(states[step - 1], ArchiveOf(course)) << step;
        expectAsReadAfresh(step - 1);
    }
    for (size_t step = 1; step < states.size(); ++step) {
        ASSERT_TRUE(course.Redo()) << step;
        EXPECT_EQ(states[step], ArchiveOf(course)) << step;
        expectAsReadAfresh(step);
    }
}

// A step compares against the snapshot the last commit, undo or redo left,
// unless the course changed since: back and forth through moves, additions,
// deletions and longer records of several kinds, with a new commit halfway
// and changes left uncommitted, the course writes each state's bytes, and so
// does the history's current snapshot.
TEST_F(CourseUndo, StepsFromTheSnapshotLeftGiveEachStateAsAWrite)
{
    CCourse made(L"Made", L"");
    for (int i = 0; i < 30; ++i) {
        made.AddObject(CAFrame::GetAFrameType().CreateNew(
            &made, coursetest::MakePlacement(float(1500 + i % 6 * 2200), float(1500 + i / 6 * 2000), 0.0f), nullptr));
    }
    for (int i = 0; i < 6; ++i) {
        const CPoint2 end = (*std::next(made.GetObjects().begin(), i))->GetEnds().front()->GetCoursePoint();
        std::unique_ptr<CCourseObject> line =
            CStraightLine::GetStraightLineType().CreateNew(&made, coursetest::MakePlacement(0.0f, 0.0f), nullptr);
        std::istringstream inches(std::to_string(int(end.x / 10) + 4) + " " + std::to_string(int(end.y / 10)) +
                                  " 100 " + std::to_string(1000 + 20 * i));
        line->ApplyVariant("line", inches);
        made.AddObject(std::move(line));
    }
    CCourse course(L"Undo", L"");
    ASSERT_TRUE(course.LoadArchive(ArchiveOf(made), false, true).read);
    std::vector<archivetest::CRecordObject*> records;
    for (float x : {500.0f, 900.0f, 1300.0f})
        records.push_back(PlaceRecord(course, x, 300.0f, 0.0f, 1, L"r"));
    course.MarkUnmodified(true);
    const auto frameAt = [&](size_t index) {
        std::vector<CCourseObject*> frames;
        for (CCourseObject* object : course.GetObjects()) {
            if (dynamic_cast<CAFrame*>(object) != nullptr)
                frames.push_back(object);
        }
        return frames.at(index);
    };

    std::vector<std::string> states{ArchiveOf(course)};
    size_t at = 0;
    const auto expectState = [&](const char* what) {
        EXPECT_EQ(states[at], ArchiveOf(course)) << what << " " << at;
        EXPECT_EQ(states[at], course.GetUndoHistory().GetCurrent()) << what << " " << at;
    };
    const auto commit = [&] {
        course.CommitUndoStep(L"Step");
        states.resize(++at);
        states.push_back(ArchiveOf(course));
        expectState("commit");
    };
    const auto stepThrough = [&](const char* steps) {
        for (const char* step = steps; *step != '\0'; ++step) {
            const bool forward = *step == 'r';
            ASSERT_TRUE(forward ? course.Redo() : course.Undo()) << steps << " " << step - steps;
            at = forward ? at + 1 : at - 1;
            expectState(steps);
        }
    };

    MoveObject(frameAt(5), 2000.0f, 11000.0f);
    commit();
    records.push_back(PlaceRecord(course, 1700.0f, 300.0f, 0.0f, 2, L"added"));
    commit();
    course.DeselectAll(false);
    frameAt(10)->SetSelected(true);
    course.DeleteSelected();
    commit();
    records[1]->label = L"a label longer than before";
    commit();
    MoveObject(frameAt(0), frameAt(1)->GetPlacement().GetPosition2D().x, 2400.0f);
    MoveObject(frameAt(28), 300.0f, 9000.0f);
    commit();
    stepThrough("uurruuuurrrruuu");
    // A new step from halfway drops the steps undone; it is committed while
    // the course's file keeps the older format, which its crash-log trace
    // is then written in.
    course.SetWriteVersion3(true);
    MoveObject(frameAt(3), 4000.0f, 11500.0f);
    course.CommitUndoStep(L"Step");
    course.SetWriteVersion3(false);
    states.resize(++at);
    states.push_back(ArchiveOf(course));
    stepThrough("uururr");
    ASSERT_FALSE(course.CanRedo());

    // Changes not committed are taken back by the undo as before: a move,
    // and a camera that changes without telling.
    MoveObject(frameAt(7), 100.0f, 100.0f);
    stepThrough("ur");
    course.Get3DViewCamera().SetEyePosition(CVector3(100.0f, -200.0f, 900.0f));
    stepThrough("uuurr");
}

CHILD_TEST(CourseUndoChild, TheCrashLogHoldsTheCourseAsItsTextBlock)
{
    OpenCourseTestSettings();
    GetCrashLog().fileName = kTestCrashLogName;
    DeleteFileW(GetTestCrashLogPath().c_str());
    const auto escapedBlock = [](CCourse& course) {
        std::ostringstream block;
        course.WriteTextBlock(block, false, false);
        std::ostringstream escaped;
        WriteTraceValue(escaped, block.str());
        return " " + escaped.str() + "\r\n";
    };
    // The state a course starts from, here kept for older readers, and the
    // last step committed of another.
    CCourse older(L"Older", L"");
    CCourse course(L"Crash", L"");
    archivetest::PlaceRecord(older, 1000.0f, 1000.0f, 0.0f, 1, L"a");
    older.SetWriteVersion3(true);
    older.MarkUnmodified(true);
    for (float x : {1000.0f, 4000.0f}) {
        course.AddObject(
            CAFrame::GetAFrameType().CreateNew(&course, coursetest::MakePlacement(x, 2000.0f, 30.0f), nullptr));
    }
    course.Get3DViewCamera().SetEyePosition(CVector3(100.0f, -200.0f, 900.0f));
    course.CommitUndoStep(L"Place");
    const std::string expected[] = {escapedBlock(older), escapedBlock(course)};

    ReportFailure();
    CDialogWatcher::TakeAnswered();
    const std::string log = ReadWholeFile(GetTestCrashLogPath());
    for (const std::string& block : expected) {
        if (log.find(block) == std::string::npos)
            return 10;
    }
    return 0;
}
