#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "course/Course.h"
#include "dialogs/StraightLinePropertiesDlg.h"
#include "foundation/FieldStream.h"
#include "objects/annotations/StraightLine.h"
#include "objects/equipment/ObstacleEnd.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/FailureReports.h"
#include "tests/support/GeometryExpectations.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/RecordingContext.h"
#include "tests/support/TestSettings.h"

using equipmenttest::ReadRecord;
using equipmenttest::RecordOf;

namespace {

class StraightLine : public testing::Test
{
protected:
    CStraightLine* PlaceLine(const CPoint2& from, const CPoint2& to)
    {
        return equipmenttest::PlaceWithTool<CStraightLine>(course, 2588, from, to);
    }
    // A collapsed tunnel's mouth.
    const CObstacleEnd* PlaceTunnel(const CPoint2& at)
    {
        for (const CObstacleEnd* end : equipmenttest::PlaceWithTool(course, 2534, at, at)->GetEnds())
            if (end->GetEndKind() == 1)
                return end;
        return nullptr;
    }
    // The hints shown since the last look, all of the line's topic.
    std::vector<int> TakeHints()
    {
        std::vector<int> ids;
        for (const CNotice& notice : notices.Take()) {
            EXPECT_EQ(L"StraightLine", notice.helpTopic);
            ids.push_back(notice.textId);
        }
        return ids;
    }

    struct CSettingsFirst  // the course reads the settings as it is made
    {
        CSettingsFirst() { OpenCourseTestSettings(); }
        ~CSettingsFirst() { DeleteTestSettingsKey(); }
    } settings;
    CNoticeRecorder notices;
    CCourse course{L"Lines", L""};
};

// A version-4 record: the ends, the choices, and the direction when given.
std::string Record(const CPoint2& a, const CPoint2& b, int pen, int arrows, bool show, int units,
                   const CPoint2* direction = nullptr)
{
    CFieldWriter writer;
    writer.WritePoint(a);
    writer.WritePoint(b);
    writer.WriteInt8(pen);
    writer.WriteInt8(arrows);
    writer.WriteBool(show);
    writer.WriteInt8(units);
    if (direction != nullptr) {
        writer.WriteFloat16(direction->x);
        writer.WriteFloat16(direction->y);
    }
    return writer.m_bytes;
}

// The drawing's log and the open line in it ("M<x>,<y> L<x>,<y>" after "B1,0").
std::string DrawnLine(CStraightLine& line, std::wstring* label = nullptr)
{
    CRecordingContext context;
    line.GetShape2D().Draw(context);
    if (label != nullptr)
        *label = context.texts.empty() ? std::wstring() : context.texts.back();
    const std::string log = context.Log();
    const size_t begin = log.find("B1,0 ");
    return begin == std::string::npos ? log : log.substr(begin + 5, log.find(" E", begin) - begin - 5);
}

}  // namespace

TEST_F(StraightLine, AClickGivesAHorizontalLineAndTheDragHint)
{
    const CObjectType& type = CStraightLine::GetStraightLineType();
    EXPECT_EQ(&type, FindObjectTypeByKeyName("HandlerArea"));
    EXPECT_EQ((std::vector<int>{10, 15, 25, 26}), type.GetPartColors().GetParts());
    EXPECT_TRUE(type.GetEditOnCreateDefault());

    CStraightLine* clicked = PlaceLine(CPoint2(3000.0f, 3000.0f), CPoint2(3000.0f, 3000.0f));
    ASSERT_NE(nullptr, clicked);
    EXPECT_EQ(CPoint2(2880.0f, 3000.0f), clicked->GetCourseEnd(0));
    EXPECT_EQ(CPoint2(3120.0f, 3000.0f), clicked->GetCourseEnd(1));
    EXPECT_EQ(std::vector<int>{2706}, TakeHints());

    CStraightLine* dragged = PlaceLine(CPoint2(3000.0f, 5000.0f), CPoint2(3600.0f, 5800.0f));
    ASSERT_NE(nullptr, dragged);
    EXPECT_EQ(CPoint2(3000.0f, 5000.0f), dragged->GetCourseEnd(0));
    EXPECT_EQ(CPoint2(3600.0f, 5800.0f), dragged->GetCourseEnd(1));
    EXPECT_EQ(CPoint2(3300.0f, 5400.0f), dragged->GetPlacement().GetPosition2D());
    EXPECT_TRUE(TakeHints().empty());

    // Passing an untied obstacle end close by gives the crossing hint.
    const CPoint2 mouth = PlaceTunnel(CPoint2(6000.0f, 3000.0f))->GetCoursePoint();
    TakeHints();
    PlaceLine(mouth + CPoint2(-300.0f, 60.0f), mouth + CPoint2(300.0f, 60.0f));
    EXPECT_EQ(std::vector<int>{2711}, TakeHints());
    PlaceLine(mouth + CPoint2(-300.0f, 600.0f), mouth + CPoint2(300.0f, 600.0f));
    EXPECT_TRUE(TakeHints().empty());
}

TEST_F(StraightLine, EndsTieToObstacleEndsFollowThemAndLetGo)
{
    const CObstacleEnd* mouth = PlaceTunnel(CPoint2(6000.0f, 3000.0f));
    ASSERT_NE(nullptr, mouth);
    CCourseObject* tunnel = mouth->owner;
    const CPoint2 pressed = mouth->GetCoursePoint() + CPoint2(-60.0f, 40.0f);
    CStraightLine* line = PlaceLine(pressed, CPoint2(3000.0f, 1500.0f));
    ASSERT_NE(nullptr, line);
    EXPECT_EQ(mouth, line->GetLink(0));
    EXPECT_EQ(nullptr, line->GetLink(1));
    EXPECT_NEAR(0.0f, (line->GetCourseEnd(0) - mouth->ClosestEntryPoint(pressed)).Length(), 0.75f);

    std::string archive;
    course.WriteArchive(archive, false, false, true);
    CCourse reread(L"Reread", L"");
    ASSERT_TRUE(reread.LoadArchive(archive, false, true));
    int tied = 0;  // the reread line is tied at the mouth
    for (CCourseObject* object : reread.GetObjects())
        if (auto* again = dynamic_cast<CStraightLine*>(object))
            tied += again->GetLink(0) && again->GetLink(0)->GetCoursePoint() == mouth->GetCoursePoint();
    EXPECT_EQ(1, tied);

    // The tied end moves with the tunnel; deleting it unties the line in place.
    course.DeselectAll(false);
    tunnel->SetSelected(true);
    course.MoveSelectionBy(240.0f, 480.0f);
    EXPECT_EQ(mouth->GetCoursePoint(), line->GetCourseEnd(0));
    EXPECT_EQ(CPoint2(3000.0f, 1500.0f), line->GetCourseEnd(1));
    const CPoint2 kept = line->GetCourseEnd(0);
    course.DeleteSelected();
    EXPECT_EQ(nullptr, line->GetLink(0));
    EXPECT_EQ(kept, line->GetCourseEnd(0));

    // Both ends cannot tie to one spot of one obstacle.
    mouth = PlaceTunnel(CPoint2(10200.0f, 9000.0f));
    const CPoint2 spot = mouth->GetCoursePoint();
    CStraightLine* both = PlaceLine(spot + CPoint2(-100.0f, 0.0f), spot + CPoint2(-30.0f, 150.0f));
    ASSERT_NE(nullptr, both);
    EXPECT_EQ(mouth, both->GetLink(0));
    EXPECT_EQ(nullptr, both->GetLink(1));
}

TEST_F(StraightLine, DraggedOrTurnedWithTheSelectionTheLineMovesOnce)
{
    // Dragged alone, a line tied at one end stretches to the pointer.
    const CPoint2 mouth = PlaceTunnel(CPoint2(6000.0f, 3000.0f))->GetCoursePoint();
    CStraightLine* tied = PlaceLine(mouth, CPoint2(3000.0f, 6000.0f));
    ASSERT_NE(nullptr, tied);
    for (int step = 0; step < 10; ++step)
        course.MoveSelectionBy(-100.0f, 50.0f);
    EXPECT_EQ(mouth, tied->GetCourseEnd(0));
    EXPECT_EQ(CPoint2(2000.0f, 6500.0f), tied->GetCourseEnd(1));

    CStraightLine* line = PlaceLine(CPoint2(3000.0f, 9000.0f), CPoint2(3600.0f, 9000.0f));
    ASSERT_NE(nullptr, line);
    course.RotateSelectionBy(45.0f);
    course.RotateSelectionBy(45.0f);
    const CPoint2 along = line->GetCourseEnd(1) - line->GetCourseEnd(0);
    EXPECT_NEAR(0.0f, along.x, 1.0f);
    EXPECT_NEAR(600.0f, std::fabs(along.y), 1.0f);
    EXPECT_EQ(0.0f, line->GetPlacement().GetRotation());
}

TEST_F(StraightLine, RecordsLegacyLinesTheArchiveEdgeAndShortLines)
{
    CStraightLine line;
    const std::string full = Record(CPoint2(-300.0f, 0.0f), CPoint2(300.0f, 0.0f), 2, 2, true, 4);
    ReadRecord(line, full);
    EXPECT_EQ(full, RecordOf(line, 4));
    EXPECT_EQ(2, line.GetPen());
    EXPECT_EQ(4, line.GetUnits());
    EXPECT_EQ(full + std::string(1, '\1'), RecordOf(line, 3));  // version 3: along an axis

    // A line of no length keeps its way unless it has none; bad choices take the defaults.
    const CPoint2 up(0.0f, -7.0f);
    const CPoint2 none(0.0f, 0.0f);
    const struct { std::string record; CPoint2 direction; int pen, arrows, units; } cases[] = {
        {Record(CPoint2(), CPoint2(), 0, 1, false, 2, &up), up, 0, 1, 2},
        {Record(CPoint2(), CPoint2(), 7, -1, false, 9, &none), CPoint2(3.0f, 0.0f), 1, 0, 3},
    };
    for (const auto& c : cases) {
        CStraightLine zero;
        EXPECT_EQ(0, CountReports([&] { ReadRecord(zero, c.record); }));
        EXPECT_EQ(c.direction, zero.GetDirection());
        EXPECT_EQ(c.pen, zero.GetPen());
        EXPECT_EQ(c.arrows, zero.GetArrowHeads());
        EXPECT_EQ(c.units, zero.GetUnits());
        EXPECT_EQ(std::string::npos, DrawnLine(zero).find("nan"));
    }

    // Legacy ends in inches; ends beyond the archive's reach stop at its edge.
    const struct { const char* words; CPoint2 from, to; } variants[] = {
        {"10 20 30 40", CPoint2(100.0f, 200.0f), CPoint2(300.0f, 400.0f)},
        {"9000000 0 -9000000 5", CPoint2(32767.0f, 0.0f), CPoint2(-32768.0f, 50.0f)},
    };
    CStraightLine lines[2];
    for (int i = 0; i < 2; ++i) {
        std::istringstream words(variants[i].words);
        lines[i].ApplyVariant("HandlerArea", words);
        EXPECT_EQ(variants[i].from, lines[i].GetCourseEnd(0)) << i;
        EXPECT_EQ(variants[i].to, lines[i].GetCourseEnd(1)) << i;
    }
    EXPECT_EQ(CPoint2(200.0f, 300.0f), lines[0].GetPlacement().GetPosition2D());
    CStraightLine& distant = lines[1];
    distant.StartHandleMove(1);
    distant.MoveHandle(1, -90000.0f, 1e9f);
    EXPECT_EQ(CPoint2(-32768.0f, 32767.0f), distant.GetCourseEnd(1));

    // Short lines draw as long as the pen; arrows take the ends.
    const struct { std::string record; const char* drawn; } drawn[] = {
        {Record(CPoint2(-5.0f, 0.0f), CPoint2(5.0f, 0.0f), 0, 0, false, 3), "M-15,0 L15,0"},  // the pen is 30 wide
        {Record(CPoint2(), CPoint2(), 0, 0, false, 3, &up), "M0,15 L0,-15"},
        {Record(CPoint2(-300.0f, 0.0f), CPoint2(300.0f, 0.0f), 0, 2, false, 3), "M-225,0 L225,0"},
    };
    for (const auto& c : drawn) {
        ReadRecord(line, c.record);
        EXPECT_EQ(c.drawn, DrawnLine(line));
    }

    // The length label in the line's units, metres on a metric course.
    std::wstring label;
    ReadRecord(line, Record(CPoint2(-1200.0f, 0.0f), CPoint2(1200.0f, 0.0f), 0, 0, true, 3));
    DrawnLine(line, &label);
    EXPECT_EQ(L"20 ft", label);
    course.SetMetric(true);
    CStraightLine* metric = PlaceLine(CPoint2(3000.0f, 3000.0f), CPoint2(5400.0f, 3000.0f));
    ASSERT_NE(nullptr, metric);
    CStraightLinePropertiesDlg dialog(&course);
    dialog.MergeShowLength(true);
    metric->FromDialog(dialog);
    DrawnLine(*metric, &label);
    EXPECT_EQ(L"6.1", label);
}

// A line tied at both ends to obstacle ends a fraction apart has no length
// once rounded, and keeps the way between them: a record carries that way
// as it stands, scaled to whole numbers, and reads back as it was written.
TEST_F(StraightLine, ALineTiedToEndsAFractionApartKeepsItsWayThroughARecord)
{
    for (const CPoint2 apart : {CPoint2(0.3f, 0.0f), CPoint2(0.2f, 0.1f), CPoint2(0.4f, -0.3f)}) {
        SCOPED_TRACE(testing::Message() << apart.x << "," << apart.y);
        const CObstacleEnd* mouth = PlaceTunnel(CPoint2(6000.0f, 3000.0f));
        const CObstacleEnd* moved = PlaceTunnel(CPoint2(6000.0f, 3000.0f));
        CTransform placement = moved->owner->GetPlacement();
        placement.SetPosition2D(6000.0f + apart.x, 3000.0f + apart.y);
        moved->owner->SetPlacement(placement);
        // Each end dropped nearer one of the two mouths, without snapping.
        const CPoint2 spot = mouth->GetCoursePoint();
        auto* line = equipmenttest::Place<CStraightLine>(course, CStraightLine::GetStraightLineType(), 0.0f, 0.0f);
        line->MoveHandle(0, spot.x - 50.0f, spot.y);
        line->MoveHandle(1, spot.x + 50.0f + 2.0f * apart.x, spot.y + 2.0f * apart.y);
        ASSERT_EQ(mouth, line->GetLink(0));
        ASSERT_EQ(moved, line->GetLink(1));
        // The ends follow their obstacle ends to where they lie.
        line->OnMoveStarted();
        line->OnMoveStarted();
        ASSERT_EQ(line->GetCourseEnd(0), line->GetCourseEnd(1));
        const std::string written = RecordOf(*line);
        CStraightLine read;
        ReadRecord(read, written);
        EXPECT_EQ(written, RecordOf(read));
        ExpectNear(line->GetDirection() / line->GetDirection().Length(),
                   read.GetDirection() / read.GetDirection().Length());
        course.SelectAll();
        course.DeleteSelected();
    }
}
