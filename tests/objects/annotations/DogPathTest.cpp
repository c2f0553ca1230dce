#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "course/Course.h"
#include "dialogs/ObsNumPropertiesDlg.h"
#include "foundation/FieldStream.h"
#include "foundation/Settings.h"
#include "objects/annotations/DogPath.h"
#include "objects/annotations/DogPathDrawable.h"
#include "objects/annotations/EndLine.h"
#include "objects/annotations/ObsNum.h"
#include "objects/annotations/ObsNumSequence.h"
#include "objects/annotations/PathColorPalette.h"
#include "objects/annotations/PathConnection.h"
#include "objects/annotations/Polyline.h"
#include "objects/equipment/Barrel.h"
#include "objects/equipment/CrawlTunnel.h"
#include "objects/equipment/Crossover.h"
#include "objects/equipment/ObstacleEnd.h"
#include "objects/equipment/SeeSaw.h"
#include "tests/objects/equipment/JumpTestSupport.h"
#include "tests/support/CanvasTestHelpers.h"
#include "tests/support/FailureReports.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/RecordingContext.h"
#include "tests/support/TestSettings.h"

using equipmenttest::ReadRecord;
using equipmenttest::RecordOf;

namespace {

using Points = std::vector<CPoint2>;

class DogPath : public testing::Test
{
protected:
    // A path of free nodes at these course points, of the connection kind.
    CDogPath& MakePath(const Points& points, int kind = CPathConnection::kPlain)
    {
        auto path = std::make_unique<CDogPath>();
        path->Init(course.get(), &CDogPath::GetDogPathType(), CTransform(), CCourseObject::kNormal);
        for (const CPoint2& p : points)
            path->HitPoint(p.x, p.y);
        path->SetConnection(GetPathConnection(kind));
        CDogPath& raw = *path;
        course->AddObject(std::move(path));
        return raw;
    }
    // A path drawn with the connection: a press, mouse moves, a release.
    CDogPath& Draw(int kind, const CPoint2& from, const Points& moves)
    {
        CDogPath& path = MakePath({}, kind);
        // As the dialog's fit-now box asks by default.
        path.RequestFit();
        path.SetPlacement(coursetest::MakePlacement(from.x, from.y));
        path.StartMove(from.x, from.y);
        for (const CPoint2& p : moves)
            path.Move(p.x, p.y);
        path.EndMove();
        return path;
    }
    // A path read from a record body on the course, its ties resolved.
    CDogPath& Read(const std::string& record, int major = 4, bool resolve = true)
    {
        CDogPath& path = MakePath({});
        ReadRecord(path, record, major);
        if (resolve)
            path.ResolveLinks();
        return path;
    }
    static Points PointsOf(const CDogPath& path)
    {
        Points points;
        for (const CDogPathNode& node : path.GetNodes())
            points.emplace_back(node.x, node.y);
        return points;
    }
    static std::vector<const CDogPathNode*> NodesOf(const CDogPath& path)
    {
        std::vector<const CDogPathNode*> nodes;
        for (const CDogPathNode& node : path.GetNodes())
            nodes.push_back(&node);
        return nodes;
    }
    static std::set<const CCourseObject*> TiedOwners(const CDogPath& path)
    {
        std::set<const CCourseObject*> owners;
        for (const CDogPathNode& node : path.GetNodes())
            if (node.end != nullptr)
                owners.insert(node.end->owner);
        return owners;
    }
    static CDogPathNode& NodeAt(CDogPath& path, int index) { return *std::next(path.EditNodes().begin(), index); }
    CJump* PlaceJump(float x, float y, int typeId = 260) { return jumptest::PlaceJump(*course, typeId, x, y); }
    // The first end of the object of that kind.
    static CObstacleEnd* EndOfKind(const CCourseObject& object, int kind, const CObstacleEnd* notAt = nullptr)
    {
        for (CObstacleEnd* end : object.GetEnds())
            if (end->GetEndKind() == kind && (notAt == nullptr || end->point != notAt->point))
                return end;
        return nullptr;
    }
    static void Tie(CDogPathNode& node, CObstacleEnd* end)
    {
        node.end = end;
        const CPoint2 p = end->GetCoursePoint();
        node.x = p.x;
        node.y = p.y;
    }

    CTestSettingsKey settings;
    CNoticeRecorder notices;
    std::unique_ptr<CCourse> course = equipmenttest::MakeCourse(1);
};

// A legacy line read as the course text reads it.
std::unique_ptr<CDogPath> FromLegacy(CCourse* course, const std::string& line)
{
    std::istringstream words(line);
    std::unique_ptr<CCourseObject> made =
        CDogPath::GetDogPathType().CreateFromText(course, CTransform(), "DogPath", words);
    return std::unique_ptr<CDogPath>(dynamic_cast<CDogPath*>(made.release()));
}

}  // namespace

TEST_F(DogPath, AClickLeavesTwoNodesAndTheHint)
{
    EXPECT_EQ(&CDogPath::GetDogPathType(), FindObjectTypeById(90));
    EXPECT_EQ(&CDogPath::GetDogPathType(), FindObjectTypeByKeyName("DogPath"));
    CDogPath* clicked = equipmenttest::PlaceWithTool<CDogPath>(*course, CDogPath::kNameTextId, {3000, 3000}, {3000, 3000});
    ASSERT_NE(nullptr, clicked);
    EXPECT_EQ((Points{{3000, 3000}, {3240, 3000}}), PointsOf(*clicked));
    EXPECT_EQ(CTransform(), clicked->GetPlacement());
    const std::vector<CNotice> hints = notices.Take();
    ASSERT_EQ(1u, hints.size());
    EXPECT_EQ(2706, hints[0].textId);
    EXPECT_EQ(L"DogPath", hints[0].helpTopic);
}

TEST_F(DogPath, DraggedNodesSplitMergeAndStopAtTheStoredEdge)
{
    const struct
    {
        Points points;
        int handle;
        CPoint2 to;
        int index;
        Points after;
    } cases[] = {
        // Farther than 2400 from its predecessor: a node halfway between.
        {{{2000, 2000}, {2600, 2000}, {3200, 2000}}, 2, {5600, 2000}, 3,
         {{2000, 2000}, {2600, 2000}, {4100, 2000}, {5600, 2000}}},
        // Within 180 of a free predecessor: they merge.
        {{{2000, 2000}, {2600, 2000}, {3200, 2000}}, 1, {2100, 2000}, 0, {{2100, 2000}, {3200, 2000}}},
        // Never below two nodes.
        {{{2000, 2000}, {2600, 2000}}, 1, {2050, 2000}, 1, {{2000, 2000}, {2050, 2000}}},
        // Beyond the stored range: at its edge.
        {{{32000, 2000}, {32600, 2000}}, 1, {40000, 2000}, 1, {{32000, 2000}, {32767, 2000}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.handle);
        CDogPath& path = MakePath(c.points);
        EXPECT_EQ(c.index, path.MoveHandle(c.handle, c.to.x, c.to.y));
        const Points after = PointsOf(path);
        ASSERT_EQ(c.after.size(), after.size());
        for (size_t i = 0; i < after.size(); ++i)
            EXPECT_NEAR(0.0f, (after[i] - c.after[i]).Length(), 1.0f) << i;
        // The cursor never steps from a node that left the list.
        for (int i = 0; i < path.GetEndCount(); ++i) {
            CPoint2 point;
            path.GetEnd(point, i);
            EXPECT_EQ(after[size_t(i)], point) << i;
        }
    }
}

TEST_F(DogPath, TheForwardConeExcludesItsEdges)
{
    const struct
    {
        CPoint2 point;
        bool shortRange;
        bool inside;
    } cases[] = {
        {{100, 100}, false, false},    // exactly 45 degrees off
        {{100, 99}, false, true},      // just inside
        {{2760, 0}, false, true},      // straight ahead at the long reach
        {{2760, 0}, true, false},      // beyond the short one
        {{2520, 0}, true, true},
        {{0, 0}, false, false},        // the origin itself
        {{-500, 0}, false, false},     // behind
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.inside, IsWithinForwardCone(0.0f, 0.0f, 2.0f, 0.0f, c.point, c.shortRange))
            << c.point.x << "," << c.point.y << " " << c.shortRange;
}

TEST_F(DogPath, RecordsHoldTheFieldsInOrderWithTheTieRuns)
{
    CJump* jump = PlaceJump(3000.0f, 3000.0f);
    ASSERT_GE(jump->GetEnds().size(), 2u);
    CDogPath& path = MakePath({{3000, 1500}, {0, 0}, {3100, 3600}, {3200, 4200}, {0, 0}, {3000, 5000}},
                              CPathConnection::kObstacle);
    Tie(NodeAt(path, 1), jump->GetEnds()[1]);
    Tie(NodeAt(path, 4), jump->GetEnds()[0]);
    path.SetArrowFrequency(1);
    path.SetShowLength(false);
    path.SetLengthUnits(5);
    path.SetDiscrimination(true);
    const Points points = PointsOf(path);

    CFieldWriter expected;
    expected.WriteInt8(1);      // arrows
    expected.WriteBool(false);  // show length
    expected.WriteInt8(5);      // units
    expected.WriteInt8(1);      // discrimination
    expected.WriteInt8(1);      // connection kind
    expected.WriteInt16(6);
    for (const CPoint2& p : points)
        expected.WritePoint(p);
    // One free node, then end 1; two free, end 0; one free at the end.
    for (int value : {1, -2, 2, -1, 1})
        value >= 0 ? expected.WriteInt16(value) : expected.WriteInt8(-value - 1);
    const std::string record = RecordOf(path);
    EXPECT_EQ(expected.m_bytes, record);

    CDogPath& reread = Read(record, 4, false);
    std::vector<int> indexes;
    for (const CDogPathNode* node : NodesOf(reread))
        indexes.push_back(node->endIndex);
    EXPECT_EQ((std::vector<int>{-1, 1, -1, -1, 0, -1}), indexes);
    reread.ResolveLinks();
    std::vector<const CObstacleEnd*> ends;
    for (const CDogPathNode* node : NodesOf(reread))
        ends.push_back(node->end);
    EXPECT_EQ((std::vector<const CObstacleEnd*>{nullptr, jump->GetEnds()[1], nullptr, nullptr, jump->GetEnds()[0],
                                                nullptr}),
              ends);
    EXPECT_EQ(1, reread.GetArrowFrequency());
    EXPECT_FALSE(reread.GetShowLength());
    EXPECT_EQ(5, reread.GetLengthUnits());
    EXPECT_TRUE(reread.GetDiscrimination());
    EXPECT_EQ(CPathConnection::kObstacle, reread.GetConnectionKind());

    // A stored end index beyond the object's ends leaves the node untied and
    // dirty: the refit takes the middle of a section without ties away.
    CFieldWriter beyond;
    beyond.WriteInt8(0);
    beyond.WriteBool(true);
    beyond.WriteInt8(3);
    beyond.WriteInt8(1);
    beyond.WriteInt8(1);
    beyond.WriteInt16(3);
    beyond.WritePoint(CPoint2(3000.0f, 1000.0f));
    beyond.WritePoint(jump->GetEnds()[0]->GetCoursePoint());
    beyond.WritePoint(CPoint2(3000.0f, 6000.0f));
    beyond.WriteInt16(1);
    beyond.WriteInt8(9);
    beyond.WriteInt16(1);
    CDogPath& loose = Read(beyond.m_bytes, 4, false);
    EXPECT_EQ(9, NodeAt(loose, 1).endIndex);
    loose.ResolveLinks();
    EXPECT_EQ((Points{{3000, 1000}, {3000, 6000}}), PointsOf(loose));
    EXPECT_TRUE(TiedOwners(loose).empty());
}

TEST_F(DogPath, OlderJumpHeightsRoutedSequencesAndEmptyPaths)
{
    // A version-3 record carries the course's jump height, in steps of 20
    // from 20 to 260.
    for (const auto& c : {std::make_pair(255.0f, 240.0f), std::make_pair(10.0f, 20.0f),
                          std::make_pair(300.0f, 260.0f)}) {
        CFieldWriter older;
        older.WriteFloat16(c.first);
        older.WriteInt8(0);
        older.WriteBool(true);
        older.WriteInt8(3);
        older.WriteInt8(1);  // no discrimination in version 3: the kind
        older.WriteInt16(0);
        older.WriteInt32(7);
        CDogPath& path = Read(older.m_bytes, 3);
        EXPECT_EQ(c.second, course->GetLoadedJumpHeight()) << c.first;
        // Written in the older format again, the path carries that height.
        CFieldReader written(RecordOf(path, 3));
        float height = 0.0f;
        written.ReadFloat16(height);
        EXPECT_EQ(c.second, height) << c.first;
        EXPECT_EQ(CPathConnection::kObstacle, path.GetConnectionKind());
        EXPECT_EQ(0, path.GetEndCount());
    }

    // A routed path names its sequence by badge style, flag and next label;
    // one without nodes writes the count 0 and a number instead.
    const int style = 1;
    const bool flag = true;
    const std::wstring label = L"A";
    CCourseNumbering* sequence = course->GetNumbering(&style, &flag, &label);
    ASSERT_NE(nullptr, sequence);
    CDogPath& routed = MakePath({});
    routed.ChangeConnection(CPathConnection::kAutoRoute, sequence, false);
    CFieldWriter expected;
    expected.WriteInt8(0);
    expected.WriteBool(true);
    expected.WriteInt8(3);
    expected.WriteInt8(0);
    expected.WriteInt8(2);
    expected.WriteInt8(1);
    expected.WriteBool(true);
    expected.WriteWString(sequence->GetText());
    expected.WriteInt16(0);
    const std::string record = RecordOf(routed);
    ASSERT_EQ(expected.m_bytes.size() + 4, record.size());
    EXPECT_EQ(expected.m_bytes, record.substr(0, expected.m_bytes.size()));
    EXPECT_EQ(record, RecordOf(routed));
    // Another path without nodes writes another number.
    EXPECT_NE(RecordOf(MakePath({})).substr(6), RecordOf(MakePath({})).substr(6));
    CDogPath& reread = Read(record);
    EXPECT_EQ(sequence, reread.GetSequence());
    EXPECT_EQ(0, reread.GetEndCount());
    EXPECT_EQ(record, RecordOf(reread));
}

TEST_F(DogPath, DrawnThroughAJumpAndAStandardTireItTiesToBoth)
{
    CJump* jump = PlaceJump(3000.0f, 3000.0f);
    CJump* tire = PlaceJump(3000.0f, 6000.0f, 320);
    Points stroke;
    for (float y = 1600.0f; y <= 7400.0f; y += 100.0f)
        stroke.emplace_back(3000.0f + 0.02f * (y - 1600.0f), y);
    CDogPath& path = Draw(CPathConnection::kObstacle, {3000, 1500}, stroke);
    EXPECT_EQ((std::set<const CCourseObject*>{jump, tire}), TiedOwners(path));
    // Fitted, the path runs from near the press to near the release.
    CPoint2 first;
    CPoint2 last;
    path.GetEnd(first, 0);
    path.GetEnd(last, path.GetEndCount() - 1);
    EXPECT_LT(first.y, 2500.0f);
    EXPECT_GT(last.y, 6500.0f);

    // Dragging the jump refits the path, which follows it; the path takes
    // part in a drag only of what it is tied to.
    course->DeselectAll(false);
    EXPECT_FALSE(path.IsActive());
    jump->SetSelected(true);
    EXPECT_TRUE(path.IsActive());
    course->MoveSelectionBy(600.0f, 0.0f);
    EXPECT_EQ(CTransform(), path.GetPlacement());
    bool follows = false;
    for (int i = 0; i < path.GetEndCount(); ++i) {
        CPoint2 p;
        path.GetEnd(p, i);
        follows = follows || (std::fabs(p.y - 3000.0f) < 200.0f && std::fabs(p.x - 3600.0f) < 300.0f);
    }
    EXPECT_TRUE(follows);
    EXPECT_EQ((std::set<const CCourseObject*>{jump, tire}), TiedOwners(path));
}

TEST_F(DogPath, FlippingKeepsTiesThroughPartnerEndsAndReversingTwiceRestores)
{
    CJump* jump = PlaceJump(3000.0f, 3000.0f);
    auto* tunnel = equipmenttest::Place<CCrawlTunnel>(*course, CCrawlTunnel::GetCrawlTunnelType(), 6000.0f, 6000.0f);
    tunnel->Invalidate();
    CObstacleEnd* entry = EndOfKind(*tunnel, 1);
    ASSERT_NE(nullptr, entry);
    CObstacleEnd* exit = EndOfKind(*tunnel, 2, entry);
    ASSERT_NE(nullptr, exit);
    CDogPath& path = MakePath({{3000, 1500}, {0, 0}, {0, 0}, {0, 0}, {9000, 6000}}, CPathConnection::kObstacle);
    Tie(NodeAt(path, 1), jump->GetEnds()[0]);
    Tie(NodeAt(path, 2), entry);
    Tie(NodeAt(path, 3), exit);
    const Points points = PointsOf(path);
    const std::vector<const CDogPathNode*> nodes = NodesOf(path);
    std::vector<const CObstacleEnd*> ends;
    for (const CDogPathNode* node : nodes)
        ends.push_back(node->end);

    // Reversed twice, the path is what it was; once, it runs backwards and
    // the jump's node stays clean.
    course->RefreshNumbering();
    Points reversed = PointsOf(path);
    EXPECT_EQ(Points(points.rbegin(), points.rend()), reversed);
    EXPECT_FALSE(NodeAt(path, 3).dirty);
    EXPECT_TRUE(IsPassage(NodeAt(path, 1), NodeAt(path, 2)));
    course->RefreshNumbering();
    EXPECT_EQ(points, PointsOf(path));
    std::vector<const CObstacleEnd*> again;
    for (const CDogPathNode* node : NodesOf(path))
        again.push_back(node->end);
    EXPECT_EQ(ends, again);

    // The whole course mirrored: every tie holds, at its end's partner.
    course->FlipSelection(true);
    EXPECT_EQ((std::set<const CCourseObject*>{jump, tunnel}), TiedOwners(path));
    int tied = 0;
    for (const CDogPathNode* node : NodesOf(path)) {
        if (node->end == nullptr)
            continue;
        ++tied;
        EXPECT_TRUE(node->end->owner->HasEnd(node->end));
        EXPECT_LT((CPoint2(node->x, node->y) - node->end->GetCoursePoint()).Length(), 400.0f);
    }
    EXPECT_EQ(3, tied);
    EXPECT_TRUE(IsPassage(NodeAt(path, 2), NodeAt(path, 3)));
    EXPECT_EQ(course->GetWidth() - 3000.0f, NodeAt(path, 0).x);
}

// A path tied to an end of an object of any kind that has ends stays tied
// to an end of it through a flip either way, of the two selected or of the
// whole course, with no failure report: the end it follows lies where the
// node's mirror does. Every kind as its tool places it, and the shapes whose
// ends lie otherwise as their listing lines give them.
TEST_F(DogPath, FlipsKeepTiesToTheEndsOfEveryKind)
{
    std::vector<std::pair<int, const char*>> shapes;
    for (const CObjectType* type : GetObjectTypes())
        shapes.emplace_back(type->GetTypeId(), "");
    for (const char* variant : {"1", "2", "3"}) {
        shapes.emplace_back(CCrossover::kTypeId, variant);
        shapes.emplace_back(CBarrel::kTypeId, variant);
    }
    shapes.emplace_back(CSeeSaw::kTypeId, "T");
    shapes.emplace_back(CSeeSaw::kTypeId, "L");
    size_t tied = 0;
    for (const auto& [typeId, variant] : shapes) {
        // Across the vertical or not, of the two selected or of the course.
        for (int flip = 0; flip < 4; ++flip) {
            for (size_t i = 0;; ++i) {
                course = equipmenttest::MakeCourse(1);
                CCourseObject* object =
                    equipmenttest::Place(*course, *FindObjectTypeById(typeId), 6000.0f, 5000.0f, 30.0f);
                ASSERT_NE(nullptr, object) << typeId;
                std::istringstream words(variant);
                if (*variant != '\0')
                    object->ApplyVariant(std::string(), words);
                object->Invalidate();
                if (i >= object->GetEnds().size())
                    break;
                SCOPED_TRACE(testing::Message() << typeId << " " << variant << " end " << i << ", flip " << flip);
                CDogPath& path = MakePath({{2000, 2000}, {0, 0}, {11000, 9000}});
                Tie(NodeAt(path, 1), object->GetEnds()[i]);
                object->SetSelected(flip < 2);
                path.SetSelected(flip < 2);
                EXPECT_EQ(0, CountReports([&] { course->FlipSelection(flip % 2 == 0); }));
                const CDogPathNode& node = NodeAt(path, 1);
                ASSERT_NE(nullptr, node.end);
                EXPECT_TRUE(object->HasEnd(node.end));
                EXPECT_LT((CPoint2(node.x, node.y) - node.end->GetCoursePoint()).Length(), 2.0f);
                ++tied;
            }
        }
    }
    EXPECT_GT(tied, 100u);
}

TEST_F(DogPath, RoutedAlongTheNumbersFromStartToFinish)
{
    CSettings::SetInt(L"110StartAndFinish", 0);
    const CEndLine* start = equipmenttest::PlaceWithTool<CEndLine>(*course, CEndLine::kNameTextId, {2000, 1200},
                                                                   {4000, 1200});
    std::vector<CJump*> jumps;
    CObsNumSequence* sequence = nullptr;
    for (int i = 0; i < 3; ++i) {
        jumps.push_back(PlaceJump(3000.0f, 3000.0f + 2400.0f * float(i)));
        CObsNumPropertiesDlg dialog(course.get());
        const std::wstring label = std::to_wstring(i + 1);
        dialog.EditLabel(label);
        dialog.GetSequence()->SetText(label);
        std::unique_ptr<CCourseObject> made =
            CObsNum::GetObsNumType().CreateNew(course.get(), coursetest::MakePlacement(3500.0f, 2900.0f + 2400.0f * float(i)), &dialog);
        auto* number = dynamic_cast<CObsNum*>(made.get());
        course->AddObject(std::move(made));
        number->Invalidate();
        sequence = number->GetSequence();
    }
    const CEndLine* finish = equipmenttest::PlaceWithTool<CEndLine>(*course, CEndLine::kNameTextId, {2000, 9600},
                                                                    {4000, 9600});
    ASSERT_TRUE(start && finish && sequence);
    ASSERT_TRUE(CanAutoRoute(*course, sequence));

    CDogPath& path = MakePath({});
    path.ChangeConnection(CPathConnection::kAutoRoute, sequence, false);
    path.StartMove(0.0f, 0.0f);
    path.EndMove();
    std::vector<const CCourseObject*> owners;
    for (const CDogPathNode& node : path.GetNodes())
        if (node.end != nullptr)
            owners.push_back(node.end->owner);
    EXPECT_EQ((std::vector<const CCourseObject*>{start, jumps[0], jumps[1], jumps[2], finish}), owners);
    // Each number stands on its jump's take-off side: the dog passes every
    // jump away from it, on towards the finish.
    for (const CDogPathNode& node : path.GetNodes()) {
        if (node.end != nullptr && node.end->GetEndKind() == 4) {
            EXPECT_GT(node.end->GetOutwardComponent(0.0f, 1.0f), 0.0f);
        }
    }
    float total = 0.0f;
    for (const CDogPath::CLeg& leg : path.GetLegs())
        total += leg.length;
    EXPECT_TRUE(std::isfinite(total));
    EXPECT_GE(total, 9600.0f - 1200.0f - 200.0f);

    // Routed again with nothing changed, the fitted runs come back as they
    // were; the obstacle connection keeps every tie, the plain one none.
    const Points fitted = PointsOf(path);
    EXPECT_FALSE(path.GetConnection().UpdateRoute(path));
    EXPECT_EQ(fitted, PointsOf(path));
    path.ChangeConnection(CPathConnection::kObstacle, nullptr, false);
    EXPECT_EQ(nullptr, path.GetSequence());
    EXPECT_EQ(5u, TiedOwners(path).size());
    EXPECT_EQ(fitted, PointsOf(path));
    path.ChangeConnection(CPathConnection::kPlain, nullptr, false);
    EXPECT_TRUE(TiedOwners(path).empty());
}

TEST_F(DogPath, LegsEndAtTheArrowsAndOnlyLegsOfTwoNodesAreLabelled)
{
    CJump* jump = PlaceJump(3000.0f, 3000.0f);
    const struct
    {
        int arrows;
        size_t legs;
    } cases[] = {{0, 1}, {1, 2}, {2, 1}};
    for (const auto& c : cases) {
        CDogPath& path = MakePath({{3000, 1000}, {0, 0}, {3000, 5000}});
        Tie(NodeAt(path, 1), jump->GetEnds()[0]);
        path.SetArrowFrequency(c.arrows);
        const std::vector<CDogPath::CLeg> legs = path.GetLegs();
        EXPECT_EQ(c.legs, legs.size()) << c.arrows;
        for (const CDogPath::CLeg& leg : legs)
            EXPECT_TRUE(leg.labelled && leg.length > 1000.0f && IsFinite(leg.labelPoint)) << c.arrows;
    }
    // A path of one node has no leg, and no label.
    EXPECT_TRUE(MakePath({{1000, 1000}}).GetLegs().empty());
}

TEST_F(DogPath, WarningsMarkAnotherEntryAheadInItsPaletteColours)
{
    CJump* from = PlaceJump(3000.0f, 3000.0f);
    CJump* to = PlaceJump(3000.0f, 9000.0f);
    CDogPath& path = MakePath({{0, 0}, {0, 0}});
    Tie(NodeAt(path, 0), EndOfKind(*from, 4));
    Tie(NodeAt(path, 1), EndOfKind(*to, 4));
    path.SetDiscrimination(true);
    EXPECT_FALSE(path.GetNodes().front().warning);
    CJump* ahead = PlaceJump(3000.0f, 4800.0f);
    path.SetDiscrimination(true);
    EXPECT_TRUE(path.GetNodes().front().warning);
    // The marker stands at the node, its cone turned down the path.
    CRecordingContext drawn;
    path.Draw2D(drawn);
    const CPoint2 node(path.GetNodes().front().x, path.GetNodes().front().y);
    int markers = 0;
    for (const auto& call : drawn.calls) {
        if (call.op != 'D' || !(call.state.matrix.GetPosition2D() == node))
            continue;
        ++markers;
        const CPoint2 ahead100 = call.state.matrix.TransformPoint2D(100.0f, 0.0f) - node;
        EXPECT_NEAR(0.0f, ahead100.x, 0.01f);
        EXPECT_NEAR(100.0f, ahead100.y, 0.01f);
    }
    EXPECT_EQ(1, markers);
    ahead->SetSelected(true);
    course->DeleteSelected();
    EXPECT_FALSE(path.GetNodes().front().warning);

    // Markers take the palette's colours in turn, from the first; one whose
    // colour was never chosen draws in the first, never before it.
    const CPathColorPalette& palette = CPathColorPalette::GetInstance();
    CDogPathDrawable marker;
    CRecordingContext fresh;
    marker.Draw(fresh);
    ASSERT_FALSE(fresh.calls.empty());
    EXPECT_EQ(palette.GetColor(0), fresh.calls.back().state.penColor);
    std::vector<int> indexes;
    for (int i = 0; i <= palette.GetCount(); ++i) {
        marker.ChooseNextColor();
        indexes.push_back(marker.GetColorIndex());
    }
    EXPECT_EQ(0, indexes.front());
    EXPECT_EQ(1, indexes[1]);
    EXPECT_EQ(0, indexes.back());
}

TEST_F(DogPath, AlignmentTakesCoincidingSamplesAlongAndStopsWithTheShorterList)
{
    CPolyline line;
    for (const CPoint2& p : Points{{0, 0}, {50, 0}, {100, 0}, {100, 0}, {200, 0}})
        line.AddPoint(p.x, p.y, p.x == 100.0f);
    CDogPathNodes nodes(1);
    nodes.front().x = 100.0f;
    nodes.front().y = 60.0f;
    CObstacleConnection::AlignPolylineToNodes(nodes, line);
    // Fixed point 2 pairs with the node; fixed point 3 has none and stays.
    EXPECT_EQ(CPoint2(100.0f, 60.0f), line.GetPoint(2));
    EXPECT_EQ(CPoint2(100.0f, 0.0f), line.GetPoint(3));
    EXPECT_EQ(CPoint2(0.0f, 0.0f), line.GetPoint(0));
    EXPECT_EQ(CPoint2(50.0f, 30.0f), line.GetPoint(1));
    EXPECT_EQ(CPoint2(200.0f, 0.0f), line.GetPoint(4));

    // Samples that coincide with their fixed point take the whole offset.
    CPolyline same;
    for (int i = 0; i < 3; ++i)
        same.AddPoint(50.0f, 50.0f, i == 2);
    CDogPathNodes one(1);
    one.front().x = 80.0f;
    one.front().y = 50.0f;
    CObstacleConnection::AlignPolylineToNodes(one, same);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(CPoint2(80.0f, 50.0f), same.GetPoint(i)) << i;
}

TEST_F(DogPath, DamagedPathsLoadRefitDrawRouteAndSaveFinite)
{
    CJump* jump = PlaceJump(3000.0f, 3000.0f);
    const CPoint2 tie = jump->GetEnds()[0]->GetCoursePoint();
    course->SetJumpHeight(0.0f);
    const auto record = [&](const Points& points, int count, bool tied) {
        CFieldWriter writer;
        writer.WriteInt8(0);
        writer.WriteBool(true);
        for (int value : {3, 0, 1})
            writer.WriteInt8(value);
        writer.WriteInt16(count);
        for (const CPoint2& p : points)
            writer.WritePoint(p);
        if (tied) {
            writer.WriteInt16(0);
            writer.WriteInt8(0);
            writer.WriteInt16(int(points.size()) - 1);
        }
        return writer.m_bytes;
    };
    std::vector<CDogPath*> paths = {
        &Read(record({tie}, 1, true)),                                   // one node
        &Read(record({tie, tie, {3000, 4000}, {3000, 4000}}, 4, true)),  // duplicates
        &Read(record({{200, 200}, {200, 200}, {200, 200}}, 3, false)),   // coinciding
        &Read(record({tie, {0, 0}, {9000, 9000}}, 32767, true)),         // a count beyond the record
        &Read(record({{-32768, -32768}, {32767, 32767}}, 2, false)),     // the whole stored range
    };
    for (const char* line : {"1001 0 0 300 300", "3 0 0 10 10 nan 5", "4 0 0 10 10 20 20 30 30"}) {
        std::unique_ptr<CDogPath> legacy = FromLegacy(course.get(), line);
        ASSERT_TRUE(legacy) << line;
        paths.push_back(legacy.get());
        course->AddObject(std::move(legacy));
    }
    ASSERT_EQ(1, paths[5]->GetEndCount());
    EXPECT_EQ(CPoint2(3000.0f, 3000.0f), PointsOf(*paths[5]).front());
    CCourseNumbering* sequence = course->GetNumbering(nullptr);
    int reports = 0;
    for (CDogPath* path : paths) {
        SCOPED_TRACE(path->GetEndCount());
        reports += CountReports([&] {
            path->SetDiscrimination(true);
            path->MarkLinkedNodesDirty();
            path->SetChanged();
            EXPECT_TRUE(equipmenttest::EndsAreFinite(*path));
            equipmenttest::DrawBoth(*path);
            CDibCanvas target(64, 64);
            target.canvas.m_state.matrix.SetPosition2D(32.0f, 32.0f);
            target.canvas.m_state.matrix.Scale(0.005f);
            target.canvas.DrawDrawable(path->GetShape2D(), 0, 0);
            for (int kind : {CPathConnection::kObstacle, CPathConnection::kPlain, CPathConnection::kObstacle})
                path->ChangeConnection(kind, nullptr, true);
            path->ChangeConnection(CPathConnection::kAutoRoute, sequence, true);
            EXPECT_TRUE(equipmenttest::EndsAreFinite(*path));
            CDogPath again;
            ReadRecord(again, RecordOf(*path));
            Points stored;
            for (const CPoint2& p : PointsOf(*path))
                stored.emplace_back(float(CFieldStream::RoundHalfUp(p.x)), float(CFieldStream::RoundHalfUp(p.y)));
            EXPECT_EQ(stored, PointsOf(again));
        });
        EXPECT_LE(path->GetEndCount(), CDogPath::kMaxNodes);
        for (const CDogPath::CLeg& leg : path->GetLegs())
            EXPECT_TRUE(std::isfinite(leg.length) && IsFinite(leg.labelPoint));
    }
    EXPECT_EQ(0, reports);
    // A point that is no number makes no node.
    CDogPath& nan = MakePath({{500, 500}});
    nan.HitPoint(std::nanf(""), 0.0f);
    EXPECT_EQ(1, nan.GetEndCount());
    // The obstacle connection keeps a one-node path's node, untied.
    CDogPath& single = MakePath({{500, 500}});
    single.ChangeConnection(CPathConnection::kObstacle, nullptr, false);
    EXPECT_EQ((Points{{500, 500}}), PointsOf(single));
}

TEST_F(DogPath, ANearMissOffersItsHintOncePerRun)
{
    CJump* jump = PlaceJump(3000.0f, 3000.0f);
    PlaceJump(3300.0f, 6000.0f);
    CDogPath& path = MakePath({{3000, 1000}, {0, 0}, {3600, 9000}}, CPathConnection::kObstacle);
    Tie(NodeAt(path, 1), jump->GetEnds()[0]);
    notices.Take();
    // The free segment after the jump passes the second jump untied.
    for (int i = 0; i < 2; ++i)
        path.EndHandleMove();
    std::vector<int> hints;
    for (const CNotice& notice : notices.Take())
        hints.push_back(notice.textId);
    EXPECT_EQ(std::vector<int>{2711}, hints);
}

// The course reads a record into a path just made, at the record's turn of
// 0 degrees, and makes its drawing's keys later: the path holds, draws and
// writes what the same record read by its fields gives, a tie that no
// longer holds refitted during the read.
TEST_F(DogPath, ReadByTheCourseItMatchesTheRecordReadByItsFields)
{
    PlaceJump(3000.0f, 4000.0f);
    Points stroke;
    for (float y = 1600.0f; y <= 6400.0f; y += 100.0f)
        stroke.emplace_back(3000.0f + 0.02f * (y - 1600.0f), y);
    const std::string drawn = RecordOf(Draw(CPathConnection::kObstacle, {3000, 1500}, stroke));
    // Free nodes, then one tied to end `index` of the jump near (3000, 4000).
    const auto record = [](int index) {
        CFieldWriter writer;
        writer.WriteInt8(0);
        writer.WriteBool(true);
        for (int value : {3, 0, 1})
            writer.WriteInt8(value);
        writer.WriteInt16(3);
        for (const CPoint2& p : {CPoint2(1000, 1000), CPoint2(2000, 3000), CPoint2(3000, 4000)})
            writer.WritePoint(p);
        writer.WriteInt16(2);
        writer.WriteInt8(index);
        return writer.m_bytes;
    };
    for (const std::string& bytes : {drawn, record(0), record(9)}) {
        CDogPath& byFields = Read(bytes);
        CFieldReader reader(bytes);
        reader.m_versionMajor = 4;
        reader.m_versionMinor = 33;
        CTransform turn;
        turn.RotateZ(-0.0f);
        std::unique_ptr<CCourseObject> made =
            CDogPath::GetDogPathType().CreateFromArchive(course.get(), turn, reader, false);
        ASSERT_TRUE(made);
        CDogPath& byCourse = static_cast<CDogPath&>(*made);
        course->AddObject(std::move(made));
        byCourse.ResolveLinks();

        EXPECT_FALSE(byCourse.IsChanged());
        EXPECT_EQ(PointsOf(byFields), PointsOf(byCourse));
        EXPECT_EQ(TiedOwners(byFields), TiedOwners(byCourse));
        EXPECT_EQ(RecordOf(byFields), RecordOf(byCourse));
        CRecordingContext expected;
        CRecordingContext got;
        byFields.RefreshExtents();
        byCourse.RefreshExtents();
        expected.DrawDrawable(byFields.GetShape2D(), 0, 0);
        got.DrawDrawable(byCourse.GetShape2D(), 0, 0);
        EXPECT_EQ(expected.Log(), got.Log());
        EXPECT_EQ(expected.texts, got.texts);
    }
}
