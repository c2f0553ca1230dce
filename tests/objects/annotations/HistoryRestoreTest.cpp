#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseFileAccess.h"
#include "course/CourseNumbering.h"
#include "dialogs/ObsNumPropertiesDlg.h"
#include "foundation/FieldStream.h"
#include "foundation/Settings.h"
#include "objects/annotations/DogPath.h"
#include "objects/annotations/DogShape.h"
#include "objects/annotations/EndLine.h"
#include "objects/annotations/HumanPath.h"
#include "objects/annotations/HumanShape.h"
#include "objects/annotations/ObsNum.h"
#include "objects/annotations/ObsNumSequence.h"
#include "objects/annotations/PathConnection.h"
#include "objects/annotations/StraightLine.h"
#include "objects/annotations/UnusableArea.h"
#include "objects/equipment/AFrame.h"
#include "objects/equipment/BarJumpType.h"
#include "objects/equipment/Barrel.h"
#include "objects/equipment/CollapsedTunnel.h"
#include "objects/equipment/Gate.h"
#include "objects/equipment/TireJumpType.h"
#include "objects/equipment/Tunnel.h"
#include "objects/equipment/WeavePoles.h"
#include "objects/equipment/WishingWellJumpType.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TestSupport.h"
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

// A step that reads a barrel anew (its colour changed) leaves the line and
// the path tied to it as they were: they tie to the barrel read back, keep
// their ties to the other barrel, which the user has selected, and the
// selection is cleared.
TEST_F(HistoryRestore, LinesAndPathsTieToTheObstacleAStepReadsAnew)
{
    CCourseObject* barrels[2];
    const CPoint2 at[] = {{4000, 6000}, {9000, 6000}};
    for (int i = 0; i < 2; ++i) {
        barrels[i] = equipmenttest::Place(*course, CBarrel::GetBarrelType(), at[i].x, at[i].y, 90.0f);
        barrels[i]->Invalidate();
    }
    const auto* line = equipmenttest::PlaceWithTool<CStraightLine>(
        *course, 2588, barrels[0]->GetEnds()[0]->GetCoursePoint(), barrels[1]->GetEnds()[0]->GetCoursePoint());
    const CDogPath* path = TiedPath({at[0] + CPoint2(-800, 0), at[0], at[1], at[1] + CPoint2(800, 0)});
    ASSERT_NE(nullptr, line->GetLink(0));
    ASSERT_NE(nullptr, line->GetLink(1));
    ASSERT_GT(CountTied(*path), 1);
    // Each tie: the kept barrel's end itself, or the other barrel's end number.
    const auto ties = [&](const CCourseObject* other) {
        std::vector<std::pair<const CObstacleEnd*, ptrdiff_t>> found;
        std::vector<const CObstacleEnd*> ends{line->GetLink(0), line->GetLink(1)};
        for (const CDogPathNode& node : path->GetNodes())
            ends.push_back(node.end);
        const CObstacleEndList& otherEnds = other->GetEnds();
        for (const CObstacleEnd* end : ends) {
            const auto index = std::find(otherEnds.begin(), otherEnds.end(), end) - otherEnds.begin();
            found.emplace_back(index < ptrdiff_t(otherEnds.size()) ? nullptr : end, index);
        }
        return found;
    };
    const auto tiesBefore = ties(barrels[1]);
    course->DeselectAll(false);
    course->MarkUnmodified(true);
    const std::string before = Stored();
    CPartColorSet& colors = barrels[1]->GetPartColors();
    const int part = colors.GetParts().front();
    colors.SetColorIndex(part, (colors.GetColorIndex(part) + 1) % 256);
    barrels[1]->Invalidate();
    course->CommitUndoStep(L"Colour");
    const std::string after = Stored();
    for (const std::string* state : {&before, &after}) {
        barrels[0]->SetSelected(true);
        // The barrel read back takes the place of the one it replaces.
        const size_t place = size_t(std::distance(course->GetObjects().begin(), course->GetObjects().find(barrels[1])));
        ASSERT_TRUE(state == &before ? course->Undo() : course->Redo());
        EXPECT_EQ(*state, Written());
        EXPECT_FALSE(course->HasSelection());
        CCourseObject* readBack = *std::next(course->GetObjects().begin(), ptrdiff_t(place));
        ASSERT_NE(barrels[1], readBack);
        ASSERT_TRUE(course->ContainsObject(line) && course->ContainsObject(path));
        barrels[1] = readBack;
        EXPECT_EQ(tiesBefore, ties(barrels[1]));
    }
}

namespace {

// A drawn object (a handler's or judge's path) placed by its tool along the
// points.
void DrawWithTool(CCourse& course, int nameTextId, const Points& through)
{
    course.SelectToolType(nameTextId);
    course.StartPlacingObject(through.front().x, through.front().y);
    for (const CPoint2& p : through)
        course.DragPlacedObject(p.x, p.y);
    course.DropPlacedObject(through.back().x, through.back().y);
    course.SelectToolType(0);
}

// One run: a course of every kind built from the seed, random edits, each
// a step, then every step undone and redone.
class CEditRun
{
public:
    explicit CEditRun(uint32_t seed) : m_random(seed) {}

    // False unless the course holds tied dog paths of both kinds.
    bool Build();
    void Edit();
    // Empty when every undo and redo gave back the stored state and left
    // nothing selected; otherwise which step differed, and how.
    std::string UndoAndRedoAll();

private:
    float Between(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(m_random); }
    int Below(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }
    bool OneIn(int count) { return Below(count) == 0; }
    CCourseObject* ObjectAt(size_t index) const { return *std::next(m_course->GetObjects().begin(), ptrdiff_t(index)); }
    CCourseObject* AnyObject();
    // Some objects selected, at least one when the course has any.
    void SelectSome();
    void Commit(const std::wstring& label);
    // The step a motion became, once something else ended it.
    void NoteMotion();
    std::vector<CDogPath*> DogPaths() const;
    std::string Describe(const char* what, size_t step, const std::string& expected);
    // Undoes or redoes to the step with some objects selected, as a user may
    // have left them: empty when it gives back the state stored and leaves
    // nothing selected.
    std::string StepTo(bool redo, size_t step);

    std::mt19937 m_random;
    std::unique_ptr<CCourse> m_course = equipmenttest::MakeCourse(1);
    std::vector<CPoint2> m_obstacles;
    std::vector<std::string> m_states;
    std::vector<std::wstring> m_labels;
    std::string m_clipboard;
};

bool CEditRun::Build()
{
    CCourse& course = *m_course;
    CSettings::SetInt(L"110StartAndFinish", 0);
    equipmenttest::PlaceWithTool(course, CEndLine::kNameTextId, {1200, 1200}, {2400, 1200});
    equipmenttest::PlaceWithTool(course, CEndLine::kNameTextId, {12000, 10800}, {13200, 10800});

    const CObjectType* kinds[] = {&CBarrel::GetBarrelType(),         &CWishingWellJumpType::GetType(),
                                  &CBarJumpType::GetSingleJumpType(), &CTireJumpType::GetType(),
                                  &CTunnel::GetTunnelType(),          &CAFrame::GetAFrameType(),
                                  &CWeavePoles::GetWeavePolesType(),  &CCollapsedTunnel::GetCollapsedTunnelType()};
    const int count = 7 + Below(4);
    for (int i = 0; i < count; ++i) {
        const CPoint2 at(2400.0f + float(i % 4) * 3200.0f + Between(-400, 400),
                         2400.0f + float(i / 4) * 3400.0f + Between(-400, 400));
        const CObjectType& kind = *kinds[Below(int(std::size(kinds)))];
        equipmenttest::Place(course, kind, RoundHalfUp(at.x), RoundHalfUp(at.y), float(Below(24) * 15));
        m_obstacles.push_back(at);
    }
    // Numbers beside the obstacles in sequences of several styles and label
    // kinds: digits, small letters, capitals.
    const wchar_t* firsts[] = {L"1", L"a", L"A"};
    int next[3] = {0, 0, 0};
    CObsNumPropertiesDlg entries(&course);
    const int entryCount = int(entries.GetEntries().size());
    for (size_t i = 0; i < m_obstacles.size(); ++i) {
        const int kind = Below(3);
        std::wstring label(1, wchar_t(firsts[kind][0] + next[kind]++));
        PlaceNumber(course, kind % entryCount, label, m_obstacles[i] + CPoint2(-700.0f, -500.0f));
    }
    // Dog paths tied to the obstacles they are drawn through, and one routed
    // along each sequence.
    for (int i = 0; i < 2; ++i) {
        Points through{{1800.0f, 1600.0f + 400.0f * float(i)}};
        for (size_t k = size_t(i); k < m_obstacles.size(); k += 2)
            through.push_back(m_obstacles[k]);
        DrawDogPath(course, CPathConnection::kObstacle, through);
    }
    for (const auto& sequence : course.GetNumberings()) {
        CDogPath* routed = DrawDogPath(course, CPathConnection::kPlain, {{6000, 500}, {7000, 600}});
        routed->ChangeConnection(CPathConnection::kAutoRoute, sequence.get(), true);
        routed->Invalidate();
    }
    // A handler's and a judge's path, texts, lines from obstacle to
    // obstacle, an area and posed figures.
    DrawWithTool(course, CHumanPath::kNameTextId, {{1500, 9000}, {3000, 9800}, {4500, 9200}});
    DrawWithTool(course, CHumanPath::kNameTextId, {{9000, 600}, {10500, 900}});
    course.AddText(7000.0f, 11200.0f, L"Walk the line");
    course.AddText(500.0f, 6000.0f, L"Judge");
    for (int i = 0; i < 3; ++i) {
        const CPoint2 a = m_obstacles[size_t(Below(int(m_obstacles.size())))];
        const CPoint2 b = m_obstacles[size_t(Below(int(m_obstacles.size())))] + CPoint2(900.0f, 300.0f);
        equipmenttest::PlaceWithTool(course, 2588, a, b);
    }
    equipmenttest::PlaceWithTool(course, CUnusableArea::kNameTextId, {11500, 600}, {13800, 2000});
    equipmenttest::Place(course, CDogShape::GetDogShapeType(), 5200.0f, 11000.0f, 30.0f);
    equipmenttest::Place(course, CHumanShape::GetHumanShapeType(), 9000.0f, 11200.0f, -45.0f);

    // The course holds tied paths of both kinds.
    int tied[3] = {0, 0, 0};
    for (CDogPath* path : DogPaths()) {
        for (const CDogPathNode& node : path->GetNodes())
            tied[path->GetConnectionKind()] += node.end != nullptr ? 1 : 0;
    }
    // Now and then a gate, an obstacle without ends, placed once the paths
    // are routed: objects read back while it stands are told of newcomers.
    if (OneIn(4))
        equipmenttest::Place(course, CGate::GetGateType(), 7000.0f, 9500.0f);
    course.DeselectAll(false);
    course.MarkUnmodified(true);
    m_states.push_back(course.GetUndoHistory().GetCurrent());
    return tied[CPathConnection::kObstacle] > 0 && tied[CPathConnection::kAutoRoute] > 0;
}

CCourseObject* CEditRun::AnyObject()
{
    const int count = int(m_course->GetObjectCount());
    return count == 0 ? nullptr : ObjectAt(size_t(Below(count)));
}

void CEditRun::SelectSome()
{
    CCourse& course = *m_course;
    course.DeselectAll(false);
    NoteMotion();
    if (course.GetObjectCount() == 0)
        return;
    if (OneIn(4)) {
        course.SelectAll();
        return;
    }
    const int chance = 1 + Below(4);
    for (CCourseObject* object : course.GetObjects())
        object->SetSelected(Below(10) < chance);
    AnyObject()->SetSelected(true);
}

void CEditRun::Commit(const std::wstring& label)
{
    m_course->CommitUndoStep(label);
    m_states.push_back(m_course->GetUndoHistory().GetCurrent());
    m_labels.push_back(label);
}

void CEditRun::NoteMotion()
{
    // A motion ends as its own step once anything else happens.
    while (m_labels.size() < size_t(m_course->GetUndoHistory().GetPosition())) {
        m_states.push_back(m_course->GetUndoHistory().GetCurrent());
        m_labels.push_back(L"motion");
    }
}

std::vector<CDogPath*> CEditRun::DogPaths() const
{
    std::vector<CDogPath*> paths;
    for (CCourseObject* object : m_course->GetObjects()) {
        if (auto* path = dynamic_cast<CDogPath*>(object))
            paths.push_back(path);
    }
    return paths;
}

void CEditRun::Edit()
{
    CCourse& course = *m_course;
    switch (Below(11)) {
    case 0: {
        SelectSome();
        const CPoint2 by(Between(-900, 900), Between(-900, 900));
        course.MoveSelectionBy(by.x * 0.5f, by.y * 0.5f);
        course.MoveSelectionBy(by.x * 0.5f, by.y * 0.5f);
        course.SetMotion(0);
        break;
    }
    case 1:
        SelectSome();
        if (!course.HasSelection())
            return;
        course.PrepareRotationSnap();
        course.RotateSelectionBy(Between(-60, 60));
        course.RotateSelectionBy(OneIn(2) ? 30.0f : Between(-40, 40));
        course.CommitSnappedAngle();
        course.SetMotion(0);
        break;
    case 2:
        SelectSome();
        if (OneIn(3))
            course.DeselectAll(false);
        course.FlipSelection(OneIn(2));
        Commit(L"Flip");
        break;
    case 3:
        SelectSome();
        course.DeleteSelected();
        Commit(L"Delete");
        break;
    case 4: {
        SelectSome();
        std::ostringstream copied;
        course.WriteTextBlock(copied, true, false);
        m_clipboard = copied.str();
        course.DeleteSelected();
        Commit(L"Cut");
        break;
    }
    case 5: {
        if (m_clipboard.empty())
            return;
        course.DeselectAll(false);
        NoteMotion();
        std::istringstream pasted(m_clipboard);
        if (!course.ReadTextBlock(pasted, true))
            return;
        Commit(L"Paste");
        break;
    }
    case 6: {
        // Handle drags: a node of a dog path, a line's end, a path's point.
        // Nothing selected: objects outside the ring go first.
        course.DeselectAll(false);
        NoteMotion();
        CCourseObject* object = AnyObject();
        if (object == nullptr || object->GetEndCount() == 0)
            return;
        size_t index = 0;
        for (CCourseObject* other : course.GetObjects()) {
            if (other == object)
                break;
            ++index;
        }
        const int handle = Below(object->GetEndCount());
        course.PointerDown(CCourse::MakeHandlePickId(int(index), handle), nullptr, nullptr);
        course.SelectActiveObject(true);
        course.StartActiveHandleMove();
        const CPoint2 by(Between(-700, 700), Between(-700, 700));
        course.MoveActiveHandle(by.x * 0.5f, by.y * 0.5f);
        course.MoveActiveHandle(by.x * 0.5f, by.y * 0.5f);
        course.EndActiveHandleMove();
        course.EndSingleObjectEdit();
        course.SetMotion(0);
        break;
    }
    case 7:
        course.DeselectAll(false);
        NoteMotion();
        course.RefreshNumbering();
        Commit(L"Renumber");
        break;
    case 8: {
        // A number's properties: another list entry, or another label.
        course.DeselectAll(false);
        NoteMotion();
        std::vector<CCourseObject*> numbers;
        for (CCourseObject* object : course.GetObjects()) {
            if (dynamic_cast<CObsNum*>(object) != nullptr)
                numbers.push_back(object);
        }
        if (numbers.empty())
            return;
        numbers[size_t(Below(int(numbers.size())))]->SetSelected(true);
        std::unique_ptr<CEditSession> session = course.MakeSelectionSession();
        auto* dialog = dynamic_cast<CObsNumPropertiesDlg*>(session.get());
        if (dialog == nullptr)
            return;
        dialog->InitControls();
        if (OneIn(2))
            dialog->SelectEntry(Below(int(dialog->GetEntries().size())));
        else
            dialog->EditLabel(dialog->GetLabelText().substr(0, 1) == L"a" ? L"b" : L"2");
        dialog->ConfirmSequence();
        course.ApplyPropertiesDialog(*session);
        m_states.push_back(course.GetUndoHistory().GetCurrent());
        m_labels.push_back(L"properties");
        break;
    }
    case 9: {
        // A dog path's connection: routed along a sequence, tied, or plain.
        course.DeselectAll(false);
        NoteMotion();
        std::vector<CDogPath*> paths = DogPaths();
        if (paths.empty())
            return;
        CDogPath* path = paths[size_t(Below(int(paths.size())))];
        const auto& sequences = course.GetNumberings();
        const int kind = Below(3);
        CCourseNumbering* sequence = nullptr;
        if (kind == CPathConnection::kAutoRoute && !sequences.empty())
            sequence = sequences[size_t(Below(int(sequences.size())))].get();
        path->ChangeConnection(kind, sequence, true);
        path->Invalidate();
        Commit(L"Connection");
        break;
    }
    default: {
        // A number of a sequence placed by hand.
        course.DeselectAll(false);
        NoteMotion();
        CObsNumPropertiesDlg dialog(&course);
        const int entry = Below(int(dialog.GetEntries().size()));
        dialog.SelectEntry(entry);
        const std::wstring label = dialog.GetLabelText();
        if (label.empty())
            return;
        PlaceNumber(course, entry, label, {Between(1000, 13000), Between(1000, 11000)});
        Commit(L"Number");
        break;
    }
    }
    NoteMotion();
}

// The kinds of the records that differ between two archives of one course,
// in record order; "head" when the settings differ.
std::string DifferingKinds(const std::string& now, const std::string& expected)
{
    CCourseFileAccess::CArchiveLayout a;
    CCourseFileAccess::CArchiveLayout b;
    if (!CCourseFileAccess::SplitArchive(now, a) || !CCourseFileAccess::SplitArchive(expected, b))
        return "unreadable";
    std::string kinds;
    if (now.compare(0, a.headEnd, expected, 0, b.headEnd) != 0)
        kinds += " head";
    if (a.records.size() != b.records.size())
        return kinds + " records " + std::to_string(a.records.size()) + " for " + std::to_string(b.records.size());
    for (size_t i = 0; i < a.records.size(); ++i) {
        const auto& x = a.records[i];
        const auto& y = b.records[i];
        if (now.compare(x.first, x.second - x.first, expected, y.first, y.second - y.first) == 0)
            continue;
        CFieldReader reader(expected.data() + y.first, y.second - y.first);
        int32_t typeId = 0;
        reader.ReadInt16(typeId);
        kinds += " " + std::to_string(typeId);
    }
    return kinds;
}

std::string CEditRun::Describe(const char* what, size_t step, const std::string& expected)
{
    std::string now;
    m_course->WriteArchive(now, false, false, true);
    if (now == expected)
        return std::string();
    return std::string(what) + " to step " + std::to_string(step) + " of " + std::to_string(m_labels.size()) +
           " (" + (step < m_labels.size() ? std::string(m_labels[step].begin(), m_labels[step].end()) : "") +
           "): records of kinds" + DifferingKinds(now, expected) + " differ";
}

std::string CEditRun::UndoAndRedoAll()
{
    CCourse& course = *m_course;
    course.DeselectAll(false);
    NoteMotion();
    // What the last step left may since have changed without a step (objects
    // outside the ring go once nothing is selected): undoing starts from the
    // stored state.
    for (size_t step = m_labels.size(); step > 0; --step) {
        const std::string difference = StepTo(false, step - 1);
        if (!difference.empty())
            return difference;
    }
    if (course.CanUndo())
        return "undone to the start, yet more to undo";
    for (size_t step = 1; step <= m_labels.size(); ++step) {
        const std::string difference = StepTo(true, step);
        if (!difference.empty())
            return difference;
    }
    return std::string();
}

std::string CEditRun::StepTo(bool redo, size_t step)
{
    CCourse& course = *m_course;
    for (CCourseObject* object : course.GetObjects())
        object->SetSelected(OneIn(3));
    const std::string what = redo ? "redo" : "undo";
    if (!(redo ? course.Redo() : course.Undo()))
        return "no " + what + " to step " + std::to_string(step);
    if (course.HasSelection())
        return what + " to step " + std::to_string(step) + " left objects selected";
    return Describe(what.c_str(), step, m_states[step]);
}

int GetUndoRuns()
{
    const char* runs = std::getenv("FENDREL_UNDO_RUNS");
    return runs ? std::max(1, std::atoi(runs)) : 200;
}

uint32_t GetUndoSeed()
{
    const char* seed = std::getenv("FENDREL_UNDO_SEED");
    return seed ? uint32_t(std::strtoul(seed, nullptr, 10)) : 20240917u;
}

}  // namespace

// Runs of 30 random edits over a course of every kind: each is undone to
// the start and redone to the end, from a selection made at random, and
// every step gives back the archive it stored with nothing selected.
// FENDREL_UNDO_RUNS and FENDREL_UNDO_SEED choose how many runs from
// which seed. A process of its own: the edits offer hints that show once a
// run.
CHILD_SCENARIO(HistoryRestoreRandomEdits)
{
    OpenCourseTestSettings();
    CNoticeRecorder notices;
    const int runs = GetUndoRuns();
    const uint32_t seed = GetUndoSeed();
    int failed = 0;
    for (int run = 0; run < runs; ++run) {
        CEditRun edits(seed + uint32_t(run));
        std::string difference = edits.Build() ? std::string() : "no dog path of one connection kind is tied";
        for (int i = 0; i < 30 && difference.empty(); ++i)
            edits.Edit();
        if (difference.empty())
            difference = edits.UndoAndRedoAll();
        if (!difference.empty()) {
            ++failed;
            std::printf("seed %lu: %s\n", static_cast<unsigned long>(seed + uint32_t(run)), difference.c_str());
        }
        notices.Take();
    }
    std::printf("%d runs of 30 edits from seed %lu: %d differed\n", runs, static_cast<unsigned long>(seed), failed);
    DeleteTestSettingsKey();
    return failed;
}

TEST(HistoryRestoreRuns, RandomEditsOfEveryKindUndoAndRedoToTheStoredBytes)
{
    EXPECT_EQ(0, RunChildScenario("HistoryRestoreRandomEdits", 600000));
}
