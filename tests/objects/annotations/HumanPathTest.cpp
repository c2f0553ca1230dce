#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "course/Course.h"
#include "foundation/Curve.h"
#include "foundation/FieldStream.h"
#include "objects/annotations/HumanPath.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/CanvasTestHelpers.h"
#include "tests/support/FailureReports.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/RecordingContext.h"
#include "tests/support/TestSettings.h"

using equipmenttest::ReadRecord;
using equipmenttest::RecordOf;

namespace {

using Points = std::vector<CPoint2>;

class HumanPath : public testing::Test
{
protected:
    // The path the tool leaves for a press at `from`, mouse moves through
    // `moves` and a release at the last of them.
    CHumanPath* Draw(const CPoint2& from, const Points& moves)
    {
        course.SelectToolType(CHumanPath::kNameTextId);
        course.StartPlacingObject(from.x, from.y);
        for (const CPoint2& p : moves)
            course.DragPlacedObject(p.x, p.y);
        course.DropPlacedObject(moves.back().x, moves.back().y);
        course.SelectToolType(0);
        for (CCourseObject* object : course.GetObjects())
            if (object->IsSelected())
                return dynamic_cast<CHumanPath*>(object);
        return nullptr;
    }
    // A path at (3000, 3000) read from a record of these points.
    CHumanPath& Read(const Points& points, int penType = 1, int count = -1)
    {
        auto path = std::make_unique<CHumanPath>();
        path->Init(&course, &CHumanPath::GetHumanPathType(), coursetest::MakePlacement(3000.0f, 3000.0f),
                   CCourseObject::kNormal);
        ReadRecord(*path, Record(points, penType, count));
        CHumanPath& raw = *path;
        course.AddObject(std::move(path));
        return raw;
    }
    static std::string Record(const Points& points, int penType = 1, int count = -1)
    {
        CFieldWriter writer;
        writer.WriteBool(true);
        writer.WriteInt8(4);
        writer.WriteInt8(penType);
        writer.WriteInt16(count == -1 ? int(points.size()) : count);
        for (const CPoint2& p : points)
            writer.WritePoint(p);
        return writer.m_bytes;
    }
    static Points PointsOf(const CHumanPath& path) { return {path.GetPoints().begin(), path.GetPoints().end()}; }

    CTestSettingsKey settings;
    CNoticeRecorder notices;
    CCourse course{L"Paths", L""};
};

// A legacy line read as the kind's variant names read it.
std::unique_ptr<CHumanPath> FromLegacy(const std::string& line, const char* key = "HandlerPath")
{
    std::istringstream words(line);
    std::unique_ptr<CCourseObject> made =
        CHumanPath::GetHumanPathType().CreateFromText(nullptr, CTransform(), key, words);
    return std::unique_ptr<CHumanPath>(dynamic_cast<CHumanPath*>(made.release()));
}

}  // namespace

TEST_F(HumanPath, AClickGivesTwoPointsAndTheHintAStrokeItsKeptPoints)
{
    const CObjectType& type = CHumanPath::GetHumanPathType();
    EXPECT_EQ(&type, FindObjectTypeByKeyName("HandlerPath"));
    EXPECT_EQ(&type, FindObjectTypeByKeyName("JudgePath"));

    CHumanPath* clicked = Draw(CPoint2(3000.0f, 3000.0f), {CPoint2(3000.0f, 3000.0f)});
    ASSERT_TRUE(clicked);
    EXPECT_EQ((Points{{0.0f, 0.0f}, {240.0f, 0.0f}}), PointsOf(*clicked));
    EXPECT_EQ(CPoint2(3000.0f, 3000.0f), clicked->GetPlacement().GetPosition2D());
    const std::vector<CNotice> hints = notices.Take();
    EXPECT_TRUE(hints.size() == 1 && hints[0].textId == 2706 && hints[0].helpTopic == L"HumanPath");

    // Half a circle of radius 1200 in 30 moves keeps a few points on it.
    Points arc;
    for (int i = 1; i <= 30; ++i) {
        const float a = 3.14159265f * float(i) / 30.0f;
        arc.emplace_back(6000.0f - 1200.0f * std::cos(a), 6000.0f - 1200.0f * std::sin(a));
    }
    CHumanPath* drawn = Draw(CPoint2(4800.0f, 6000.0f), arc);
    EXPECT_TRUE(notices.Take().empty());
    const Points points = PointsOf(*drawn);
    EXPECT_TRUE(points.size() >= 4 && points.size() < 12) << points.size();
    EXPECT_EQ(std::make_pair(CPoint2(0.0f, 0.0f), CPoint2(2400.0f, 0.0f)), std::make_pair(points.front(), points.back()));
    for (const CPoint2& p : points) {
        EXPECT_EQ(CPoint2(std::round(p.x), std::round(p.y)), p);
        EXPECT_NEAR(1200.0f, (p - CPoint2(1200.0f, 0.0f)).Length(), 40.0f);
    }
    // Half the circumference, within the thinning's tolerance.
    EXPECT_NEAR(3769.9f, drawn->GetLength(), 120.0f);

    // Moved with the selection it moves whole.
    course.MoveSelectionBy(100.0f, -50.0f);
    EXPECT_EQ(CPoint2(4900.0f, 5950.0f), drawn->GetPlacement().GetPosition2D());
    EXPECT_EQ(points, PointsOf(*drawn));
}

TEST_F(HumanPath, DraggedPointsSplitAndMergeAndStopAtTheStoredEdge)
{
    const struct
    {
        Points before;
        int handle;
        CPoint2 to;  // course point
        int returned;
        size_t count;
        CPoint2 moved;  // the point at the returned index
    } cases[] = {
        {{{0, 0}, {2000, 0}, {2400, 0}}, 1, {5400.4f, 5000.6f}, 2, 4, {2400, 2001}},  // split before
        {{{0, 0}, {1000, 0}, {2000, 0}}, 0, {2000, 5000}, 0, 4, {-1000, 2000}},       // split after
        {{{0, 0}, {1000, 0}, {2000, 0}}, 1, {3100, 3050}, 0, 2, {0, 0}},              // merged into its predecessor
        {{{0, 0}, {1000, 0}, {1100, 0}}, 1, {4000, 3000}, 1, 2, {1000, 0}},           // its successor merged
        {{{0, 0}, {1000, 0}}, 1, {3100, 3000}, 1, 2, {100, 0}},                        // never below two
        {{{0, 0}, {1000, 0}}, 1, {40000, -40000}, 2, 3, {29767, -32768}},             // held at the edge
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.handle << " to " << c.to.x << "," << c.to.y);
        CHumanPath& path = Read(c.before);
        EXPECT_EQ(c.returned, path.MoveHandle(c.handle, c.to.x, c.to.y));
        ASSERT_EQ(c.count, path.GetPoints().size());
        EXPECT_EQ(c.moved, path.GetPoints()[size_t(c.returned)]);
        const std::string written = RecordOf(path);
        CHumanPath again;
        ReadRecord(again, written);
        EXPECT_EQ(PointsOf(path), PointsOf(again));
    }

    // Index checks report and change nothing.
    CHumanPath& path = Read({{0, 0}, {1000, 0}});
    CPoint2 end(7.0f, 7.0f);
    CCurveGeometry curve;
    EXPECT_EQ(1, CountReports([&] { path.GetEnd(end, 2); }));
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(5, path.MoveHandle(5, 0.0f, 0.0f)); }));
    EXPECT_EQ(1, CountReports([&] { EXPECT_FALSE(path.GetSegmentCurve(1, curve)); }));
    EXPECT_EQ(CPoint2(7.0f, 7.0f), end);
    EXPECT_EQ((Points{{0, 0}, {1000, 0}}), PointsOf(path));
}

TEST_F(HumanPath, AnEmptyPathWritesItsNumberAndTheFilesFaultsTakeSafeValues)
{
    // Without points: the count 0 and the path's number, the same at every
    // write and another for another path; read back, no points and the same
    // bytes.
    CHumanPath empty, other;
    const std::string first = RecordOf(empty);
    EXPECT_EQ(std::string("\x01\x04\x01\x00\x00", 5), first.substr(0, 5));
    EXPECT_EQ(first, RecordOf(empty));
    EXPECT_NE(first, RecordOf(other));
    CHumanPath readEmpty, odd;
    EXPECT_EQ(0, CountReports([&] { ReadRecord(readEmpty, first), ReadRecord(odd, Record({{5, 5}}, 9, -3)); }));
    EXPECT_TRUE(readEmpty.GetPoints().empty());
    EXPECT_EQ(first, RecordOf(readEmpty));
    EXPECT_EQ(std::make_pair(1, size_t(0)), std::make_pair(odd.GetPenType(), odd.GetPoints().size()));
}

TEST_F(HumanPath, LegacyLinesReadThePairsTheirCountStates)
{
    const struct
    {
        const char* line;
        size_t nodes;
        int penType;
        CPoint2 last;
    } cases[] = {
        {"4 0 2  0 0  10 0  20 10  30 10", 4, 2, {300, 100}},
        {"7 0 0  0 0  10 0  20 10  30 10  40 10  50 0  60 0", 7, 0, {600, 0}},
        {"0 0 1  5 5  10 0  20 10  30 10", 1, 1, {50, 50}},
        {"1 0 1  5 5  10 0  20 10  30 10", 1, 1, {50, 50}},
        {"1001 0 1  5 5  10 0  20 10  30 10", 1, 1, {50, 50}},
        {"4 0 3  0 0  10 0  20 10  30 10", 4, 1, {300, 100}},   // pen type 3: the file's fault
        {"2 0 2  0 0  10 0  20 10  30 10", 2, 2, {100, 0}},     // a count not of the form 1 + 3k
        {"7 0 1  0 0  10 0  20 10  30 10  40", 4, 1, {300, 100}},  // the line ends early
        {"4", 0, 1, {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        std::unique_ptr<CHumanPath> path;
        EXPECT_EQ(0, CountReports([&] { path = FromLegacy(c.line, c.nodes % 2 ? "JudgePath" : "HandlerPath"); }));
        ASSERT_TRUE(path);
        ASSERT_EQ(c.nodes, path->GetPoints().size());
        EXPECT_EQ(c.penType, path->GetPenType());
        EXPECT_FALSE(path->GetShowLength());
        if (c.nodes > 0) {
            EXPECT_EQ(c.last, path->GetPoints().back());
        }
    }
}

TEST_F(HumanPath, DamagedPathsDrawAndSaveFinite)
{
    const struct
    {
        Points points;
        int count;
        size_t kept;
    } cases[] = {
        {{{500, 500}}, -1, 1},                                  // one point: a dot of length 0
        {{{0, 0}, {300, 0}, {300, 300}}, 32767, 3},             // a count beyond the record
        {{{200, 200}, {200, 200}, {200, 200}}, -1, 3},          // coinciding points
        {{{0, 0}, {0, 0}, {900, 0}, {900, 0}, {0, 0}}, -1, 5},  // duplicates turning back
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.points.size());
        CHumanPath& path = Read(c.points, 1, c.count);
        ASSERT_EQ(c.kept, path.GetPoints().size());
        EXPECT_TRUE(std::isfinite(path.GetLength()));
        EXPECT_TRUE(IsFinite(path.GetLabelPosition()));
        int reports = CountReports([&] { equipmenttest::DrawBoth(path); });
        CDibCanvas target(64, 64);
        target.canvas.m_state.matrix.SetPosition2D(32.0f, 32.0f);
        target.canvas.m_state.matrix.Scale(0.05f);
        reports += CountReports([&] { target.canvas.DrawDrawable(path.GetShape2D(), 0, 0); });
        EXPECT_EQ(0, reports);
        EXPECT_LT(target.CountColor(0, 0, 64, 64, 0xFFFFFFFF), 64 * 64);
        CHumanPath again;
        ReadRecord(again, RecordOf(path));
        EXPECT_EQ(PointsOf(path), PointsOf(again));
    }
    // The dot: a line of 1.0 from the point, and the length 0.
    CHumanPath& dot = Read({{500, 500}});
    CRecordingContext context;
    dot.GetShape2D().Draw(context);
    EXPECT_NE(std::string::npos, context.Log().find("M500,500 L501,500")) << context.Log();
    EXPECT_EQ(0.0f, dot.GetLength());
}

TEST_F(HumanPath, DrawnInItsPenWithTheArrowAndTheLabelFlippedAndReversed)
{
    // The line in long dashes, the head at the tip and the label.
    CHumanPath& path = Read({{0, 0}, {2400, 0}}, 2);
    CRecordingContext context;
    path.GetShape2D().Draw(context);
    bool dashed = false;
    for (const auto& call : context.calls)
        dashed = dashed || (call.op == 'L' && call.state.dashStyle == 2);
    EXPECT_TRUE(dashed) << context.Log();
    EXPECT_NE(std::string::npos, context.Log().find("M2400,0")) << context.Log();
    ASSERT_EQ(1u, context.texts.size());
    EXPECT_EQ(L"6.7", context.texts[0]);  // yards, without a word
    EXPECT_EQ(2400.0f, path.GetLength());
    EXPECT_EQ(CPoint2(1200.0f, 0.0f), path.GetLabelPosition());

    // Flipped twice as it was; reversed, the other way.
    CHumanPath& curved = Read({{0, 0}, {1000, 400}, {2000, -300}, {2600, 900}});
    const CPoint2 label = curved.GetLabelPosition();
    curved.Flip(), curved.Flip();
    EXPECT_EQ(label, curved.GetLabelPosition());
    curved.Reverse();
    EXPECT_EQ((Points{{2600, 900}, {2000, -300}, {1000, 400}, {0, 0}}), PointsOf(curved));
}
