#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "course/Course.h"
#include "dialogs/ObsNumPropertiesDlg.h"
#include "foundation/Settings.h"
#include "objects/annotations/DogPath.h"
#include "objects/annotations/EndLine.h"
#include "objects/annotations/ObsNum.h"
#include "objects/annotations/ObsNumSequence.h"
#include "objects/annotations/PathConnection.h"
#include "objects/annotations/StraightLine.h"
#include "objects/equipment/BarJumpType.h"
#include "objects/equipment/Barrel.h"
#include "objects/equipment/Tunnel.h"
#include "objects/equipment/WishingWellJumpType.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TestSettings.h"

// Undo and redo give back, byte for byte, the state each step stored: the
// records a step reads back are taken as they stand, with no refit, snap,
// tie or label of their own.

namespace {

using Points = std::vector<CPoint2>;

// A number the user places with the entry of the numbers' list and the label.
CObsNum* PlaceNumber(CCourse& course, int entry, const std::wstring& label, const CPoint2& at)
{
    CObsNumPropertiesDlg dialog(&course);
    dialog.SelectEntry(entry);
    dialog.EditLabel(label);
    dialog.GetSequence()->SetText(label);
    std::unique_ptr<CCourseObject> made =
        CObsNum::GetObsNumType().CreateNew(&course, coursetest::MakePlacement(at.x, at.y), &dialog);
    auto* number = dynamic_cast<CObsNum*>(made.get());
    course.AddObject(std::move(made));
    number->Invalidate();
    return number;
}

// A dog path of the connection kind drawn through the points: a press, the
// pointer's way in short steps, a release.
CDogPath* DrawDogPath(CCourse& course, int kind, const Points& through)
{
    auto made = std::make_unique<CDogPath>();
    CDogPath* path = made.get();
    path->Init(&course, &CDogPath::GetDogPathType(), CTransform(), CCourseObject::kNormal);
    path->SetConnection(GetPathConnection(kind));
    path->RequestFit();
    course.AddObject(std::move(made));
    const CPoint2 from = through.front();
    path->SetPlacement(coursetest::MakePlacement(from.x, from.y));
    path->StartMove(from.x, from.y);
    for (size_t i = 1; i < through.size(); ++i) {
        const CPoint2 a = through[i - 1];
        const CPoint2 b = through[i];
        for (int step = 1; step <= 10; ++step) {
            const CPoint2 p = a + (b - a) * (float(step) / 10.0f);
            path->Move(p.x, p.y);
        }
    }
    path->EndMove();
    path->Invalidate();
    return path;
}

class HistoryRestore : public CCourseSettingsTest
{
protected:
    // The snapshot the history holds now, and what the course writes.
    std::string Stored() const { return course->GetUndoHistory().GetCurrent(); }
    std::string Written() const
    {
        std::string bytes;
        course->WriteArchive(bytes, false, false, true);
        return bytes;
    }
    // Every object turned about the selection's centre, one step; objects
    // that leave the ring go once the selection is cleared.
    void TurnAll(float angle)
    {
        course->SelectAll();
        course->PrepareRotationSnap();
        course->RotateSelectionBy(angle);
        course->CommitSnappedAngle();
        course->DeselectAll(false);
    }
    // Undoes the last step and redoes it: each gives back the state stored.
    void ExpectUndoAndRedo(const std::string& before, const std::string& after)
    {
        ASSERT_TRUE(course->Undo());
        EXPECT_EQ(before, Written());
        ASSERT_TRUE(course->Redo());
        EXPECT_EQ(after, Written());
    }
    CDogPath* TiedPath(const Points& through)
    {
        return DrawDogPath(*course, CPathConnection::kObstacle, through);
    }
    static int CountTied(const CDogPath& path)
    {
        int tied = 0;
        for (const CDogPathNode& node : path.GetNodes())
            tied += node.end != nullptr ? 1 : 0;
        return tied;
    }

    CNoticeRecorder notices;
    std::unique_ptr<CCourse> course = equipmenttest::MakeCourse(1);
};

}  // namespace

// A path tied to a barrel and a wishing well, turned with them (the well
// leaves the ring): the step keeps the nodes the turn left, not a section
// fitted again.
TEST_F(HistoryRestore, ATurnedTiedPathComesBackWithItsOwnNodes)
{
    const CPoint2 barrel(7686.0f, 8799.0f);
    const CPoint2 well(10610.0f, 11669.0f);
    equipmenttest::Place(*course, CBarrel::GetBarrelType(), barrel.x, barrel.y, 90.0f);
    equipmenttest::Place(*course, CWishingWellJumpType::GetType(), well.x, well.y, 165.0f);
    const CDogPath* path = TiedPath({barrel + (barrel - well) * 0.3f, barrel, well, well + (well - barrel) * 0.3f});
    ASSERT_GT(CountTied(*path), 0);
    course->DeselectAll(false);
    course->MarkUnmodified(true);
    const std::string before = Stored();
    TurnAll(30.0f);
    ExpectUndoAndRedo(before, Stored());
}

// A routed path writes the label its sequence gives the next number: undoing
// a turn that took the sequence's one number out of the ring gives the
// sequence that label back, for the path's record and the next number.
TEST_F(HistoryRestore, ARoutedPathKeepsItsSequencesNextLabel)
{
    CSettings::SetInt(L"110StartAndFinish", 0);
    equipmenttest::PlaceWithTool(*course, CEndLine::kNameTextId, {2000, 1200}, {4000, 1200});
    equipmenttest::Place(*course, CBarJumpType::GetSingleJumpType(), 6000.0f, 6000.0f);
    CObsNumSequence* letters = PlaceNumber(*course, 0, L"d", {9000, 1000})->GetSequence();
    equipmenttest::PlaceWithTool(*course, CEndLine::kNameTextId, {9000, 11000}, {10600, 11000});
    CDogPath* routed = DrawDogPath(*course, CPathConnection::kPlain, {{6000, 500}, {7000, 600}});
    routed->ChangeConnection(CPathConnection::kAutoRoute, letters, true);
    ASSERT_GT(CountTied(*routed), 0);
    ASSERT_EQ(L"e", letters->GetText());
    course->DeselectAll(false);
    course->MarkUnmodified(true);
    const std::string before = Stored();
    const size_t count = course->GetObjectCount();
    TurnAll(30.0f);
    ASSERT_EQ(count - 1, course->GetObjectCount());
    ASSERT_TRUE(course->Undo());
    EXPECT_EQ(before, Written());
    EXPECT_EQ(L"e", letters->GetText());
}

// Lines flipped so that an end lands near a tunnel's end, off it: redoing
// the flip leaves the end where the flip put it.
TEST_F(HistoryRestore, AFlippedLineEndNearAnObstacleStaysWhereTheFlipLeftIt)
{
    std::vector<CStraightLine*> lines;
    for (int i = 0; i < 3; ++i) {
        const float y = 2000.0f + 900.0f * float(i);
        lines.push_back(equipmenttest::PlaceWithTool<CStraightLine>(*course, 2588, {2000, y}, {3500, y + 300}));
    }
    for (CStraightLine* line : lines)
        line->SetSelected(true);
    const float centreX = course->GetSelectionBounds().GetCentre().x;
    // Where the first line's first end lands, mirrored about that centre.
    const CPoint2 end = lines[0]->GetCourseEnd(0);
    const CPoint2 landing(RoundHalfUp(2.0f * centreX - end.x), end.y);
    CCourseObject* tunnel = equipmenttest::Place(*course, CTunnel::GetTunnelType(), 8000.0f, 6000.0f);
    tunnel->Invalidate();
    const CPoint2 mouth = tunnel->GetEnds()[0]->GetCoursePoint();
    const CPoint2 shift = landing + CPoint2(70.0f, 20.0f) - mouth;
    tunnel->SetPlacement(coursetest::MakePlacement(8000.0f + shift.x, 6000.0f + shift.y,
                                                   tunnel->GetPlacement().GetRotation()));
    tunnel->Invalidate();
    course->DeselectAll(false);
    course->MarkUnmodified(true);
    const std::string before = Stored();
    for (CStraightLine* line : lines)
        line->SetSelected(true);
    course->FlipSelection(true);
    course->CommitUndoStep(L"Flip");
    ASSERT_EQ(nullptr, lines[0]->GetLink(0));
    ASSERT_LT((lines[0]->GetCourseEnd(0) - (landing + CPoint2(70.0f, 20.0f))).Length(), 100.0f);
    ExpectUndoAndRedo(before, Stored());
}

// Deleting a barrel a path runs through refits the path past where it
// stood; undoing gives the barrel and the route back, and redoing the
// refitted path.
TEST_F(HistoryRestore, UndoingTheDeletionOfAnObstacleOnAPathGivesTheRouteBack)
{
    const CPoint2 at[] = {{10921, 6160}, {3867, 3755}, {5401, 3326}};
    const float angles[] = {90.0f, 315.0f, 120.0f};
    CCourseObject* barrels[3];
    for (int i = 0; i < 3; ++i)
        barrels[i] = equipmenttest::Place(*course, CBarrel::GetBarrelType(), at[i].x, at[i].y, angles[i]);
    const CDogPath* path = TiedPath({at[0] + CPoint2(-800, 0), at[0], at[1], at[2], at[2] + CPoint2(800, 0)});
    ASSERT_GT(CountTied(*path), 2);
    course->DeselectAll(false);
    course->MarkUnmodified(true);
    const std::string before = Stored();
    barrels[1]->SetSelected(true);
    course->DeleteSelected();
    course->CommitUndoStep(L"Delete");
    ExpectUndoAndRedo(before, Stored());
}
