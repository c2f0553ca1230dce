#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "course/Course.h"
#include "dialogs/ObsNumPropertiesDlg.h"
#include "dialogs/TunnelPropertiesDlg.h"
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
#include "tests/course/ArchiveTestKinds.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestSettings.h"

// Undo and redo give back, byte for byte, the state each step stored: the
// records a step reads back are taken as they stand, with no refit, snap,
// tie or label of their own.

namespace {

using coursetest::ArchiveOf;
using Points = std::vector<CPoint2>;

// The straight line tool, by its name's text id.
constexpr int kLineTool = 2588;
// The edges of what a record stores; an object whose bounds come this near
// one stands at it.
constexpr float kLow = CFieldStream::kMinPointCoordinate;
constexpr float kHigh = CFieldStream::kMaxPointCoordinate;
constexpr float kEdgeReach = 3000.0f;
// The margins below 0 of a ring at the edges.
constexpr float kEdgeMargin = 4000.0f;

// A number the user places with the entry of the numbers' list and the label.
CObsNum* PlaceNumber(CCourse& course, int entry, const std::wstring& label, const CPoint2& at)
{
    CObsNumPropertiesDlg dialog(&course);
    dialog.SelectEntry(entry);
    dialog.EditLabel(label);
    dialog.GetSequence()->SetText(label);
    auto* number = equipmenttest::Place<CObsNum>(course, CObsNum::GetObsNumType(), at.x, at.y, 0.0f, &dialog);
    number->Invalidate();
    return number;
}

// A dog path of the connection kind drawn through the points: a press, the
// pointer's way in short steps, a release; then, given a sequence, routed
// along it.
CDogPath* DrawDogPath(CCourse& course, int kind, const Points& through, CCourseNumbering* sequence = nullptr)
{
    auto made = std::make_unique<CDogPath>();
    CDogPath* path = made.get();
    path->Init(&course, &CDogPath::GetDogPathType(), CTransform(), CCourseObject::kNormal);
    path->SetConnection(GetPathConnection(kind));
    path->RequestFit();
    course.AddObject(std::move(made));
    path->SetPlacement(coursetest::MakePlacement(through[0].x, through[0].y));
    path->StartMove(through[0].x, through[0].y);
    for (size_t i = 1; i < through.size(); ++i) {
        for (int step = 1; step <= 10; ++step) {
            const CPoint2 p = through[i - 1] + (through[i] - through[i - 1]) * (float(step) / 10.0f);
            path->Move(p.x, p.y);
        }
    }
    path->EndMove();
    path->Invalidate();
    if (sequence != nullptr) {
        path->ChangeConnection(CPathConnection::kAutoRoute, sequence, true);
        path->Invalidate();
    }
    return path;
}

int CountTied(const CDogPath& path)
{
    return int(std::count_if(path.GetNodes().begin(), path.GetNodes().end(),
                             [](const CDogPathNode& node) { return node.end != nullptr; }));
}

// The state the history holds with nothing selected and no step to undo.
std::string Settle(CCourse& course)
{
    course.DeselectAll(false);
    course.MarkUnmodified(true);
    return course.GetUndoHistory().GetCurrent();
}

class HistoryRestore : public CCourseSettingsTest
{
protected:
    // Every object turned about the selection's centre, one step; objects
    // that leave the ring go once the selection is cleared.
    void TurnAll()
    {
        course->SelectAll();
        course->PrepareRotationSnap();
        course->RotateSelectionBy(30.0f);
        course->CommitSnappedAngle();
        course->DeselectAll(false);
    }
    // Undoes the last step and redoes it: each gives back the state stored.
    void ExpectUndoAndRedo(const std::string& before)
    {
        const std::string after = course->GetUndoHistory().GetCurrent();
        ASSERT_TRUE(course->Undo());
        EXPECT_EQ(before, ArchiveOf(*course));
        ASSERT_TRUE(course->Redo());
        EXPECT_EQ(after, ArchiveOf(*course));
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
    const Points through{barrel + (barrel - well) * 0.3f, barrel, well, well + (well - barrel) * 0.3f};
    ASSERT_GT(CountTied(*DrawDogPath(*course, CPathConnection::kObstacle, through)), 0);
    const std::string before = Settle(*course);
    TurnAll();
    ExpectUndoAndRedo(before);
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
    ASSERT_GT(CountTied(*DrawDogPath(*course, CPathConnection::kPlain, {{6000, 500}, {7000, 600}}, letters)), 0);
    ASSERT_EQ(L"e", letters->GetText());
    const std::string before = Settle(*course);
    const size_t count = course->GetObjectCount();
    TurnAll();
    ASSERT_EQ(count - 1, course->GetObjectCount());
    ASSERT_TRUE(course->Undo());
    EXPECT_EQ(before, ArchiveOf(*course));
    EXPECT_EQ(L"e", letters->GetText());
}

// Lines flipped so that an end lands near a tunnel's end, off it: redoing
// the flip leaves the end where the flip put it.
TEST_F(HistoryRestore, AFlippedLineEndNearAnObstacleStaysWhereTheFlipLeftIt)
{
    std::vector<CStraightLine*> lines;
    for (const float y : {2000.0f, 2900.0f, 3800.0f})
        lines.push_back(equipmenttest::PlaceWithTool<CStraightLine>(*course, kLineTool, {2000, y}, {3500, y + 300}));
    const auto selectLines = [&] {
        for (CStraightLine* line : lines)
            line->SetSelected(true);
    };
    selectLines();
    // Where the first line's first end lands, mirrored about their centre,
    // and a tunnel placed with its mouth just beside that.
    const CPoint2 end = lines[0]->GetCourseEnd(0);
    const CPoint2 landing(RoundHalfUp(2.0f * course->GetSelectionBounds().GetCentre().x - end.x), end.y);
    const CPoint2 beside = landing + CPoint2(70.0f, 20.0f);
    CCourseObject* tunnel = equipmenttest::Place(*course, CTunnel::GetTunnelType(), 8000.0f, 6000.0f);
    tunnel->Invalidate();
    const CPoint2 at = CPoint2(8000.0f, 6000.0f) + beside - tunnel->GetEnds()[0]->GetCoursePoint();
    tunnel->SetPlacement(coursetest::MakePlacement(at.x, at.y, tunnel->GetPlacement().GetRotation()));
    tunnel->Invalidate();
    const std::string before = Settle(*course);
    selectLines();
    course->FlipSelection(true);
    course->CommitUndoStep(L"Flip");
    ASSERT_EQ(nullptr, lines[0]->GetLink(0));
    ASSERT_LT((lines[0]->GetCourseEnd(0) - beside).Length(), 100.0f);
    ExpectUndoAndRedo(before);
}

// A handler path, a start and finish line and an area drawn out to the far
// corner of what a record stores, then moved, turned or flipped so far that
// their points would pass it: each stops at the edge, so that the course
// saved reads back as it was, and undoing and redoing the step give back
// the states stored.
TEST_F(HistoryRestore, EditsByTheEdgeOfTheStoredRangeLeaveWhatARecordReadsBack)
{
    CSettings::SetInt(L"110StartAndFinish", 0);
    const struct
    {
        int tool;
        CPoint2 from;
        CPoint2 to;
    } kinds[] = {
        {CHumanPath::kNameTextId, {21000, 20500}, {32760, 32300}},
        {CEndLine::kNameTextId, {23000, 26000}, {32767, 27000}},
        {CUnusableArea::kNameTextId, {24000, 24000}, {32767, 32767}},
    };
    const std::function<void(CCourse&)> edits[] = {
        [](CCourse& c) { c.MoveSelectionBy(400.0f, 300.0f); },
        [](CCourse& c) {
            c.PrepareRotationSnap();
            c.RotateSelectionBy(20.0f);
            c.CommitSnappedAngle();
        },
        // With a text standing on the edge, whose bounds reach beyond it.
        [](CCourse& c) {
            c.AddText(kHigh, 27000.0f, L"Edge")->SetSelected(true);
            c.FlipSelection(true);
            c.CommitUndoStep(L"Flip");
        },
    };
    for (const auto& kind : kinds) {
        for (size_t edit = 0; edit < std::size(edits); ++edit) {
            course = equipmenttest::MakeCourse(1);
            course->SetSize(CCourse::kMaxRingSize, CCourse::kMaxRingSize);
            CCourseObject* object = equipmenttest::PlaceWithTool(*course, kind.tool, kind.from, kind.to);
            ASSERT_NE(nullptr, object);
            const std::string before = Settle(*course);
            object->SetSelected(true);
            edits[edit](*course);
            course->DeselectAll(false);
            ASSERT_TRUE(course->ContainsObject(object)) << kind.tool << " " << edit;
            for (int i = 0; i < object->GetEndCount(); ++i) {
                CPoint2 end;
                object->GetEnd(end, i);
                const CPoint2 placed = object->GetPlacement().TransformPoint2D(end);
                EXPECT_EQ(CFieldStream::LimitPoint(placed), placed) << kind.tool << " " << edit << " " << i;
            }
            const std::string saved = ArchiveOf(*course);
            CCourse copy(L"Copy", L"");
            ASSERT_TRUE(copy.LoadArchive(saved, false, true));
            EXPECT_EQ(saved, ArchiveOf(copy)) << kind.tool << " " << edit;
            ExpectUndoAndRedo(before);
        }
    }
}

namespace {

// One run: a course of every kind built from the seed, random edits, each a
// step, then every step undone and redone.
class CEditRun
{
public:
    // Runs of odd seeds reach the edges of what a record stores: a ring as
    // large as it goes and objects by its far corner and across it.
    explicit CEditRun(uint32_t seed) : m_random(seed), m_atEdges(seed % 2 != 0) {}

    // False unless the course holds tied dog paths of both kinds.
    bool Build()
    {
        CCourse& course = *m_course;
        if (m_atEdges) {
            // The ring and its margins as large as they go, 4,000 of it
            // below 0, so that objects reaching across to the near edges
            // keep their centres in it.
            course.SetSize(CCourse::kMaxRingSize - kEdgeMargin, CCourse::kMaxRingSize - kEdgeMargin);
            course.SetLengthValue(CCourse::kMarginLowX, kEdgeMargin);
            course.SetLengthValue(CCourse::kMarginLowY, kEdgeMargin);
        }
        CSettings::SetInt(L"110StartAndFinish", 0);
        equipmenttest::PlaceWithTool(course, CEndLine::kNameTextId, {1200, 1200}, {2400, 1200});
        equipmenttest::PlaceWithTool(course, CEndLine::kNameTextId, {12000, 10800}, {13200, 10800});
        const CObjectType* kinds[] = {&CBarrel::GetBarrelType(),         &CWishingWellJumpType::GetType(),
                                      &CBarJumpType::GetSingleJumpType(), &CTireJumpType::GetType(),
                                      &CTunnel::GetTunnelType(),          &CAFrame::GetAFrameType(),
                                      &CWeavePoles::GetWeavePolesType(),  &CCollapsedTunnel::GetCollapsedTunnelType()};
        Points obstacles;
        for (int i = 0, count = 7 + Below(4); i < count; ++i) {
            const CPoint2 at{2400.0f + float(i % 4) * 3200.0f + Between(-400, 400),
                             2400.0f + float(i / 4) * 3400.0f + Between(-400, 400)};
            const CObjectType& kind = *kinds[Below(int(std::size(kinds)))];
            equipmenttest::Place(course, kind, RoundHalfUp(at.x), RoundHalfUp(at.y), float(Below(24) * 15));
            obstacles.push_back(at);
        }
        // Numbers beside the obstacles in sequences of several styles and
        // label kinds (digits, small letters, capitals), dog paths tied to
        // every other obstacle and one routed along each sequence.
        const CObsNumPropertiesDlg entries(&course);
        int next[3] = {};
        for (const CPoint2& at : obstacles) {
            const int kind = Below(3);
            const std::wstring label(1, wchar_t(L"1aA"[kind] + next[kind]++));
            PlaceNumber(course, kind % int(entries.GetEntries().size()), label, at + CPoint2(-700.0f, -500.0f));
        }
        for (size_t first : {0, 1}) {
            Points through{{1800.0f, 1600.0f + 400.0f * float(first)}};
            for (size_t k = first; k < obstacles.size(); k += 2)
                through.push_back(obstacles[k]);
            DrawDogPath(course, CPathConnection::kObstacle, through);
        }
        for (const auto& sequence : course.GetNumberings())
            DrawDogPath(course, CPathConnection::kPlain, {{6000, 500}, {7000, 600}}, sequence.get());
        // A handler's and a judge's path, texts, lines from obstacle to
        // obstacle, an area and posed figures.
        equipmenttest::PlaceWithTool(course, CHumanPath::kNameTextId, {1500, 9000}, {4500, 9200});
        equipmenttest::PlaceWithTool(course, CHumanPath::kNameTextId, {9000, 600}, {10500, 900});
        course.AddText(7000.0f, 11200.0f, L"Walk the line");
        course.AddText(500.0f, 6000.0f, L"Judge");
        for (int i = 0; i < 3; ++i) {
            const CPoint2 from = Pick(obstacles);
            equipmenttest::PlaceWithTool(course, kLineTool, from, Pick(obstacles) + CPoint2(900.0f, 300.0f));
        }
        equipmenttest::PlaceWithTool(course, CUnusableArea::kNameTextId, {11500, 600}, {13800, 2000});
        equipmenttest::Place(course, CDogShape::GetDogShapeType(), 5200.0f, 11000.0f, 30.0f);
        equipmenttest::Place(course, CHumanShape::GetHumanShapeType(), 9000.0f, 11200.0f, -45.0f);
        int tied[3] = {};
        for (CCourseObject* object : course.GetObjects()) {
            if (const auto* path = dynamic_cast<const CDogPath*>(object))
                tied[path->GetConnectionKind()] += CountTied(*path);
        }
        // Now and then a gate, an obstacle without ends, placed once the
        // paths are routed: objects read back while it stands are told of
        // newcomers.
        if (OneIn(4))
            equipmenttest::Place(course, CGate::GetGateType(), 7000.0f, 9500.0f);
        if (m_atEdges)
            PlaceAtEdges();
        m_states.push_back(Settle(course));
        return tied[CPathConnection::kObstacle] > 0 && tied[CPathConnection::kAutoRoute] > 0;
    }

    // One edit from nothing selected, committed as a step, or a motion that
    // becomes one when the next edit starts.
    void Edit()
    {
        CCourse& course = *m_course;
        Deselect();
        switch (Below(m_atEdges ? 12 : 10)) {
        case 0:
        case 1: {
            // A drag or a turn of some objects, in two moves.
            SelectSome();
            if (!course.HasSelection())
                return;
            if (OneIn(2)) {
                const CPoint2 by{Between(-450, 450), Between(-450, 450)};
                course.MoveSelectionBy(by.x, by.y);
                course.MoveSelectionBy(by.x, by.y);
            } else {
                course.PrepareRotationSnap();
                course.RotateSelectionBy(Between(-60, 60));
                course.RotateSelectionBy(OneIn(2) ? 30.0f : Between(-40, 40));
                course.CommitSnappedAngle();
            }
            course.SetMotion(0);
            break;
        }
        case 2:
            // A flip of some objects, or of the whole course.
            if (!OneIn(3))
                SelectSome();
            course.FlipSelection(OneIn(2));
            course.CommitUndoStep(L"Flip");
            break;
        case 3:
        case 4: {
            // A delete, or a cut whose objects a later paste puts back.
            SelectSome();
            if (OneIn(2))
                m_clipboard = archivetest::TextBlockOf(course, false, true);
            course.DeleteSelected();
            course.CommitUndoStep(L"Delete");
            break;
        }
        case 5:
            if (!m_clipboard.empty() && archivetest::ReadBlock(course, m_clipboard, true))
                course.CommitUndoStep(L"Paste");
            break;
        case 6: {
            // A handle dragged: a node of a dog path, a line's end, a path's
            // point; at the edges now and then to an edge or beyond it.
            // Nothing selected: objects outside the ring go first.
            CCourseObject* object = m_atEdges && OneIn(2) ? AnyAtEdge() : Any<CCourseObject>();
            if (object == nullptr || object->GetEndCount() == 0)
                return;
            const int handle = Below(object->GetEndCount());
            const auto index = std::distance(course.GetObjects().begin(), course.GetObjects().find(object));
            course.PointerDown(CCourse::MakeHandlePickId(int(index), handle), nullptr, nullptr);
            course.SelectActiveObject(true);
            course.StartActiveHandleMove();
            CPoint2 by{Between(-350, 350), Between(-350, 350)};
            if (m_atEdges && OneIn(2)) {
                CPoint2 end;
                object->GetEnd(end, handle);
                const CPoint2 from = object->GetPlacement().TransformPoint2D(end);
                by = (TowardsEdge(from) - from) * 0.5f;
            }
            course.MoveActiveHandle(by.x, by.y);
            course.MoveActiveHandle(by.x, by.y);
            course.EndActiveHandleMove();
            course.EndSingleObjectEdit();
            course.SetMotion(0);
            break;
        }
        case 7:
            course.RefreshNumbering();
            course.CommitUndoStep(L"Renumber");
            break;
        case 8: {
            // A dog path's connection: routed along a sequence, tied, or plain.
            CDogPath* path = Any<CDogPath>();
            if (path == nullptr)
                return;
            const int kind = Below(3);
            const bool routed = kind == CPathConnection::kAutoRoute && !course.GetNumberings().empty();
            path->ChangeConnection(kind, routed ? Pick(course.GetNumberings()).get() : nullptr, true);
            path->Invalidate();
            course.CommitUndoStep(L"Connection");
            break;
        }
        case 10:
        case 11:
            // Only in runs at the edges.
            PlaceAtAnEdge();
            break;
        default: {
            // A number of a sequence placed by hand.
            CObsNumPropertiesDlg dialog(&course);
            const int entry = Below(int(dialog.GetEntries().size()));
            dialog.SelectEntry(entry);
            if (dialog.GetLabelText().empty())
                return;
            PlaceNumber(course, entry, dialog.GetLabelText(), {Between(1000, 13000), Between(1000, 11000)});
            course.CommitUndoStep(L"Number");
            break;
        }
        }
    }

    // Empty when every undo and redo, each from a selection made at random,
    // gave back the state stored and left nothing selected; otherwise what
    // differed. What the last step left may since have changed without a
    // step (objects outside the ring go once nothing is selected): undoing
    // starts from the stored state.
    std::string UndoAndRedoAll()
    {
        Deselect();
        const size_t steps = m_states.size() - 1;
        for (size_t i = 0; i < 2 * steps; ++i) {
            const bool redo = i >= steps;
            const size_t step = redo ? i + 1 - steps : steps - 1 - i;
            const std::string what = (redo ? "redo to step " : "undo to step ") + std::to_string(step);
            for (CCourseObject* object : m_course->GetObjects())
                object->SetSelected(OneIn(3));
            if (!(redo ? m_course->Redo() : m_course->Undo()))
                return "no " + what;
            if (m_course->HasSelection())
                return what + " left objects selected";
            const std::string now = ArchiveOf(*m_course);
            if (now != m_states[step])
                return what + " of " + std::to_string(steps) + ": differs" +
                       coursetest::ArchiveDifferences(m_states[step], now);
            if (step == 0 && m_course->CanUndo())
                return "undone to the start, yet more to undo";
        }
        return std::string();
    }

private:
    float Between(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(m_random); }
    int Below(int count) { return std::uniform_int_distribution<int>(0, count - 1)(m_random); }
    bool OneIn(int count) { return Below(count) == 0; }
    template <class T>
    const typename T::value_type& Pick(const T& items)
    {
        return items[size_t(Below(int(items.size())))];
    }
    // One of the objects of the kind, at random; none when there is none.
    template <class T>
    T* Any()
    {
        std::vector<T*> found;
        for (CCourseObject* object : m_course->GetObjects()) {
            if (auto* kind = dynamic_cast<T*>(object))
                found.push_back(kind);
        }
        return found.empty() ? nullptr : Pick(found);
    }
    // Nothing selected: a motion under way ends as its own step, and the
    // state of each step since is kept.
    void Deselect()
    {
        m_course->DeselectAll(false);
        while (m_states.size() <= size_t(m_course->GetUndoHistory().GetPosition()))
            m_states.push_back(m_course->GetUndoHistory().GetCurrent());
    }
    // Some objects selected, at least one when the course has any; at the
    // edges now and then only objects standing at one.
    void SelectSome()
    {
        const bool edgesOnly = m_atEdges && OneIn(2);
        CCourseObject* any = edgesOnly ? AnyAtEdge() : Any<CCourseObject>();
        if (any == nullptr)
            return;
        const int chance = OneIn(4) ? 10 : 1 + Below(4);
        for (CCourseObject* object : m_course->GetObjects())
            object->SetSelected((!edgesOnly || IsAtEdge(*object)) && Below(10) < chance);
        any->SetSelected(true);
    }

    // Whether the object's bounds come within kEdgeReach of an edge of what
    // a record stores.
    static bool IsAtEdge(const CCourseObject& object)
    {
        const CRectF bounds = object.GetBoundingRect();
        return bounds.left < kLow + kEdgeReach || bounds.top < kLow + kEdgeReach ||
               bounds.right > kHigh - kEdgeReach || bounds.bottom > kHigh - kEdgeReach;
    }
    CCourseObject* AnyAtEdge()
    {
        std::vector<CCourseObject*> found;
        for (CCourseObject* object : m_course->GetObjects()) {
            if (IsAtEdge(*object))
                found.push_back(object);
        }
        return found.empty() ? nullptr : Pick(found);
    }
    // The point taken across to the edge of what a record stores that lies
    // nearest: to within a few units of it, or up to 500 beyond.
    CPoint2 TowardsEdge(const CPoint2& p)
    {
        const float distances[4] = {p.x - kLow, kHigh - p.x, p.y - kLow, kHigh - p.y};
        const auto nearest = std::min_element(std::begin(distances), std::end(distances)) - std::begin(distances);
        const float past = Between(-4, 500);
        CPoint2 q = p;
        (nearest < 2 ? q.x : q.y) = nearest % 2 == 0 ? kLow - past : kHigh + past;
        return q;
    }
    float NearLow() { return kLow + float(Below(4)); }
    float NearHigh() { return kHigh - float(Below(4)); }

    // Objects of the kinds an edit can take beyond what a record stores: by
    // the far corner, reaching to within a few units of its edges, and
    // across the ring to within a few units of the near edges too. Each
    // keeps the centre of its bounds in the ring and its margins, or it
    // would go once nothing is selected.
    void PlaceAtEdges()
    {
        CCourse& course = *m_course;
        equipmenttest::PlaceWithTool(course, CHumanPath::kNameTextId, {15000, 16000}, {NearHigh(), NearHigh()});
        equipmenttest::PlaceWithTool(course, CEndLine::kNameTextId, {16000, 22000},
                                     {NearHigh(), 22000 + Between(-300, 300)});
        equipmenttest::PlaceWithTool(course, CUnusableArea::kNameTextId, {17000, 17000}, {NearHigh(), NearHigh()});
        equipmenttest::PlaceWithTool(course, kLineTool, {22000, 15000}, {22600, NearHigh()});
        DrawDogPath(course, CPathConnection::kPlain, {{15500, 15200}, {25000, 22000}, {NearHigh(), NearHigh()}});
        auto* tunnel = equipmenttest::Place(course, CTunnel::GetTunnelType(), 20000.0f, 21000.0f,
                                            float(Below(24) * 15));
        CTunnelPropertiesDlg line(&course);
        line.MergeStyle(CTunnelGeometry::kPolyline);
        line.MergeSections(4);
        line.MergeLength(12000.0f);
        tunnel->FromDialog(line);
        tunnel->Invalidate();
        equipmenttest::Place(course, CDogShape::GetDogShapeType(), 25990.0f, 25980.0f, 45.0f);
        equipmenttest::Place(course, CHumanShape::GetHumanShapeType(), 25980.0f, 25990.0f, -30.0f);
        course.AddText(25990.0f, 25995.0f, L"Far corner");
        CObsNumPropertiesDlg dialog(&course);
        dialog.SelectEntry(0);
        PlaceNumber(course, 0, dialog.GetLabelText(), {25995.0f, 25990.0f});
        // Across the ring, each way and corner to corner; handler paths drawn
        // from 0 out to the far edge have their first points dragged to the
        // near one.
        const float low = NearLow();
        const float high = NearHigh();
        equipmenttest::PlaceWithTool(course, kLineTool, {low, 16000}, {high, 17000});
        equipmenttest::PlaceWithTool(course, kLineTool, {16000, low}, {17000, high});
        equipmenttest::PlaceWithTool(course, CUnusableArea::kNameTextId, {low, 20000}, {high, 21500});
        equipmenttest::PlaceWithTool(course, CEndLine::kNameTextId, {low, 8000}, {high, 8000});
        DrawDogPath(course, CPathConnection::kPlain, {{low, 12000}, {0, 13000}, {high, 12500}});
        const CPoint2 starts[] = {{0, 25000}, {25000, 0}, {0, 0}};
        for (const CPoint2& from : starts) {
            const bool acrossX = from.x == 0.0f;
            const bool acrossY = from.y == 0.0f;
            const CPoint2 to(acrossX ? high : from.x + 500.0f, acrossY ? high : from.y + 500.0f);
            auto* path = equipmenttest::PlaceWithTool<CHumanPath>(course, CHumanPath::kNameTextId, from, to);
            path->MoveHandle(0, acrossX ? low : from.x, acrossY ? low : from.y);
            path->Invalidate();
        }
    }

    // A new object by an edge of what a record stores, drawn out to it or
    // beyond it.
    void PlaceAtAnEdge()
    {
        CCourse& course = *m_course;
        const CPoint2 from{Between(15000, 22000), Between(15000, 22000)};
        const CPoint2 to{NearHigh() + Between(-4, 600), NearHigh() + Between(-4, 600)};
        switch (Below(5)) {
        case 0:
            equipmenttest::PlaceWithTool(course, CHumanPath::kNameTextId, from, to);
            break;
        case 1:
            equipmenttest::PlaceWithTool(course, CEndLine::kNameTextId, from, to);
            break;
        case 2:
            equipmenttest::PlaceWithTool(course, CUnusableArea::kNameTextId, from, to);
            break;
        case 3:
            if (OneIn(2))
                equipmenttest::PlaceWithTool(course, kLineTool, {NearLow(), from.y}, {to.x, from.y + 500.0f});
            else
                equipmenttest::PlaceWithTool(course, kLineTool, {from.x, NearLow()}, {from.x + 500.0f, to.y});
            break;
        default:
            DrawDogPath(course, CPathConnection::kPlain, {from, (from + to) * 0.5f + CPoint2(300.0f, -300.0f), to});
            break;
        }
        course.CommitUndoStep(L"New");
    }

    std::mt19937 m_random;
    bool m_atEdges;
    std::unique_ptr<CCourse> m_course = equipmenttest::MakeCourse(1);
    // The state of the start, then of each step.
    std::vector<std::string> m_states;
    std::string m_clipboard;
};

}  // namespace

// Runs of 30 random edits over a course of every kind: each is undone to
// the start and redone to the end, and every step gives back the archive it
// stored with nothing selected. Every other run also places objects at the
// edges of what a record stores and moves, turns, flips, drags, cuts and
// pastes them there. FENDREL_UNDO_RUNS and FENDREL_UNDO_SEED choose how many
// runs from which seed. A process of its own: the edits offer hints that
// show once a run.
CHILD_SCENARIO(HistoryRestoreRandomEdits)
{
    OpenCourseTestSettings();
    CNoticeRecorder notices;
    const int runs = std::max(1, int(GetEnvironmentNumber("FENDREL_UNDO_RUNS", 200)));
    const uint32_t seed = uint32_t(GetEnvironmentNumber("FENDREL_UNDO_SEED", 20240917));
    int failed = 0;
    int leftOut = 0;
    for (int run = 0; run < runs; ++run) {
        CEditRun edits(seed + uint32_t(run));
        // Now and then the obstacles' random kinds and turns leave a path
        // drawn through them nothing to tie to: such a run is left out, and
        // the runs fail when many are.
        if (!edits.Build()) {
            ++leftOut;
            std::printf("seed %lu: no dog path of one connection kind is tied, left out\n",
                        static_cast<unsigned long>(seed + uint32_t(run)));
            notices.Take();
            continue;
        }
        for (int i = 0; i < 30; ++i)
            edits.Edit();
        const std::string difference = edits.UndoAndRedoAll();
        if (!difference.empty()) {
            ++failed;
            std::printf("seed %lu: %s\n", static_cast<unsigned long>(seed + uint32_t(run)), difference.c_str());
        }
        notices.Take();
    }
    std::printf("%d runs of 30 edits from seed %lu: %d differed, %d left out\n", runs,
                static_cast<unsigned long>(seed), failed, leftOut);
    DeleteTestSettingsKey();
    return failed + (leftOut * 10 > runs ? 1 : 0);
}

TEST(HistoryRestoreRuns, RandomEditsOfEveryKindUndoAndRedoToTheStoredBytes)
{
    EXPECT_EQ(0, RunChildScenario("HistoryRestoreRandomEdits", 600000));
}
