#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/annotations/EndLine.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/FailureReports.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/RecordingContext.h"

using namespace equipmenttest;

namespace {

using EndLine = coursetest::CSettingsFixture;

CEndLine* PlaceByDragging(CCourse& course, const CPoint2& a, const CPoint2& b)
{
    return PlaceWithTool<CEndLine>(course, CEndLine::kNameTextId, a, b);
}

CPoint2 CourseEnd(const CEndLine& line, int index)
{
    return line.GetPlacement().TransformPoint2D(line.GetLineEnd(index));
}

std::vector<int> EndKinds(const CCourseObject& object)
{
    std::vector<int> kinds;
    for (const CObstacleEnd* end : object.GetEnds())
        kinds.push_back(end->GetEndKind());
    return kinds;
}

}  // namespace

TEST_F(EndLine, TheToolPlacesAStartLineThenAFinishLine)
{
    CSettings::SetInt(L"110StartAndFinish", 0);
    auto course = MakeCourse();
    CNoticeRecorder notices;
    // A click: a line of 400 whose circles both lie at the press point.
    const CEndLine* start = PlaceByDragging(*course, {3000, 3000}, {3000, 3000});
    ASSERT_NE(nullptr, start);
    EXPECT_EQ(CEndLine::kStartLine, start->GetKind());
    EXPECT_EQ(CPoint2(2800.0f, 3000.0f), CourseEnd(*start, 0));
    EXPECT_EQ(CPoint2(3200.0f, 3000.0f), CourseEnd(*start, 1));
    EXPECT_EQ(CPoint2(3000.0f, 3000.0f), start->GetPosition());
    EXPECT_EQ(0.0f, start->GetObstacleEnd(0).halfWidth);
    const std::vector<CNotice> shown = notices.Take();
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(2706, shown[0].textId);
    EXPECT_EQ(L"StartFinish", shown[0].helpTopic);
    // A drag, nearly upright, snaps upright; the circles lie at the press
    // and the release, the line reaching a radius beyond them.
    const CEndLine* finish = PlaceByDragging(*course, {6000, 3000}, {6050, 5000});
    ASSERT_NE(nullptr, finish);
    EXPECT_EQ(CEndLine::kFinishLine, finish->GetKind());
    EXPECT_EQ(CPoint2(6000.0f, 2800.0f), CourseEnd(*finish, 0));
    EXPECT_EQ(CPoint2(6000.0f, 5200.0f), CourseEnd(*finish, 1));
    EXPECT_FALSE(finish->IsCreating());
    EXPECT_EQ(800.0f, finish->GetObstacleEnd(1).halfWidth);
    EXPECT_TRUE(notices.Take().empty());
}

TEST_F(EndLine, EachKindOffersItsEndsShowsItsLettersAndReverses)
{
    auto course = MakeCourse();
    const std::wstring s = GetString(2632);
    const std::wstring f = GetString(2633);
    const struct
    {
        const char* words;
        int kind;
        std::vector<int> ends;
        std::vector<std::wstring> letters;
        int reversed;
    } cases[] = {
        {"S S", CEndLine::kStartLine, {8, 8}, {s, s}, CEndLine::kFinishLine},
        {"F F", CEndLine::kFinishLine, {16, 16}, {f, f}, CEndLine::kStartLine},
        {"S F", CEndLine::kStartAndFinishLine, {8, 8, 16, 16}, {s, f}, CEndLine::kStartAndFinishLine},
        {"", CEndLine::kStartAndFinishLine, {8, 8, 16, 16}, {s, f}, CEndLine::kStartAndFinishLine},
    };
    const int reports = ReportCount();
    for (const auto& c : cases) {
        std::istringstream words(c.words);
        const std::unique_ptr<CCourseObject> line =
            CEndLine::GetEndLineType().CreateFromText(course.get(), CTransform(), "StartLine", words);
        auto* endLine = dynamic_cast<CEndLine*>(line.get());
        ASSERT_NE(nullptr, endLine);
        EXPECT_EQ(c.kind, endLine->GetEndLineKind()) << c.words;
        EXPECT_EQ(c.ends, EndKinds(*endLine)) << c.words;
        CRecordingContext context;
        endLine->GetShape2D().Draw(context);
        EXPECT_EQ(c.letters, context.texts) << c.words;
        endLine->Reverse();
        EXPECT_EQ(c.reversed, endLine->GetKind()) << c.words;
        // The two ends of a kind are each other's partners.
        bool reversed = true;
        EXPECT_EQ(&endLine->GetObstacleEnd(3), endLine->FindMirroredEnd(&endLine->GetObstacleEnd(2), reversed));
        EXPECT_FALSE(reversed);
    }
    EXPECT_EQ(reports, ReportCount());
}

TEST_F(EndLine, DamagedRecordsGiveALineThatCanBeSaved)
{
    auto course = MakeCourse();
    CEndLine* line = Place<CEndLine>(*course, CEndLine::GetEndLineType(), 30000.0f, 2000.0f);
    const int reports = ReportCount();
    CFieldWriter record;
    record.WriteInt8(7);
    record.WritePoint(-100.0f, 0.0f);
    record.WritePoint(5000.0f, 0.0f);
    ReadRecord(*line, record.m_bytes);
    EXPECT_EQ(CEndLine::kStartAndFinishLine, line->GetKind());
    EXPECT_EQ(CPoint2(29900.0f, 2000.0f), CourseEnd(*line, 0));
    EXPECT_EQ(CPoint2(32767.0f, 2000.0f), CourseEnd(*line, 1));
    // What was read is written back as it reads.
    const std::string saved = RecordOf(*line);
    ReadRecord(*line, saved);
    EXPECT_EQ(saved, RecordOf(*line));
    EXPECT_EQ(reports, ReportCount());
    CEndLine other;
    bool reversed = false;
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(nullptr, line->FindMirroredEnd(&other.GetObstacleEnd(0), reversed)); }));
}

TEST_F(EndLine, ADraggedEndSnapsToTheOtherAndTheLineRecentres)
{
    auto course = MakeCourse();
    CEndLine* line = PlaceByDragging(*course, {2000, 2000}, {4000, 2000});
    ASSERT_NE(nullptr, line);
    line->StartHandleMove(1);
    line->MoveHandle(1, 1900.0f, 6000.0f);
    line->EndHandleMove();
    EXPECT_EQ(CPoint2(1800.0f, 2000.0f), CourseEnd(*line, 0));
    EXPECT_EQ(CPoint2(1800.0f, 6000.0f), CourseEnd(*line, 1));
    EXPECT_EQ(CPoint2(1800.0f, 4000.0f), line->GetPosition());
    // Selected, it moves as a whole.
    course->BeginSingleObjectEdit();
    course->MoveSelectionBy(100.0f, 0.0f);
    EXPECT_EQ(CPoint2(1900.0f, 6000.0f), CourseEnd(*line, 1));
    // Beyond the archive's range the end stops at its edge.
    line->StartHandleMove(0);
    line->MoveHandle(0, 1900.0f, -50000.0f);
    EXPECT_EQ(CPoint2(1900.0f, -32768.0f), CourseEnd(*line, 0));
}

// Each kind read after the one before, the same kind twice among them: the ends stay in place.
TEST_F(EndLine, ALineReadAgainOffersItsKindsEndsInOrder)
{
    auto course = MakeCourse();
    CEndLine* line = Place<CEndLine>(*course, CEndLine::GetEndLineType(), 3000.0f, 3000.0f);
    const CObstacleEnd* ends[] = {&line->GetObstacleEnd(0), &line->GetObstacleEnd(1), &line->GetObstacleEnd(2),
                                  &line->GetObstacleEnd(3)};
    const int startOnly = CEndLine::kStartLine, both = CEndLine::kStartAndFinishLine;
    for (const int kind : {startOnly, startOnly, both, both, int(CEndLine::kFinishLine), startOnly}) {
        CFieldWriter record;
        record.WriteInt8(kind);
        record.WritePoint(-1000.0f, 0.0f);
        record.WritePoint(1000.0f, 0.0f);
        ReadRecord(*line, record.m_bytes);
        line->InvalidateKeysLater();
        const size_t first = kind == CEndLine::kFinishLine ? 2 : 0, last = kind == startOnly ? 2 : 4;
        EXPECT_EQ(std::vector<const CObstacleEnd*>(ends + first, ends + last),
                  std::vector<const CObstacleEnd*>(line->GetEnds().begin(), line->GetEnds().end())) << kind;
        EXPECT_EQ(600.0f, line->GetObstacleEnd(int(first) + 1).halfWidth);
    }
}

// A listing gives a line no ends: the circles it keeps, about a place by an
// edge of what a record stores, come within that range, so that the course
// saved reads back as it was.
TEST_F(EndLine, AListedLineByAnEdgeKeepsItsEndsWithinTheStoredRange)
{
    // Whole inches across and down from the far side of a ring of 250 feet.
    const char* const places[] = {"(3276 1500)", "(-3276 1500)", "(1500 -276)", "(1500 6276)", "(3276 -276)"};
    for (const char* place : places) {
        for (int angle : {0, 30, 200}) {
            auto course = MakeCourse();
            std::istringstream in("Begin Fendrel\r\nVersion 2000\r\nDimensions 250 250\r\nStartFinishLine 0 0 " +
                                  std::to_string(angle) + " S F " + place + "\r\nEnd Fendrel\r\n");
            ASSERT_TRUE(course->ReadTextBlock(in, false)) << place << " " << angle;
            ASSERT_EQ(1u, course->GetObjectCount());
            const auto* line = dynamic_cast<const CEndLine*>(*course->GetObjects().begin());
            ASSERT_NE(nullptr, line);
            for (int i : {0, 1})
                EXPECT_EQ(CFieldStream::LimitPoint(CourseEnd(*line, i)), CourseEnd(*line, i)) << place << " " << angle;
            const std::string saved = coursetest::ArchiveOf(*course);
            auto copy = MakeCourse();
            ASSERT_TRUE(copy->LoadArchive(saved, false, true));
            EXPECT_EQ(saved, coursetest::ArchiveOf(*copy)) << place << " " << angle;
        }
    }
}
