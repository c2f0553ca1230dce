#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseNumbering.h"
#include "dialogs/ObsNumPropertiesDlg.h"
#include "foundation/FieldStream.h"
#include "objects/annotations/NumberStyle.h"
#include "objects/annotations/ObsNum.h"
#include "objects/annotations/ObsNumSequence.h"
#include "objects/equipment/AFrame.h"
#include "objects/equipment/BarJumpType.h"
#include "objects/equipment/ObstacleEnd.h"
#include "objects/equipment/PauseSquare.h"
#include "objects/equipment/Barrel.h"
#include "objects/equipment/WeavePoles.h"
#include "tests/support/FailureReports.h"
#include "tests/support/RecordingContext.h"
#include "tests/support/TestSettings.h"

namespace {

using ObsNums = CCourseSettingsTest;

CTransform At(float x, float y)
{
    CTransform placement;
    placement.SetPosition2D(x, y);
    return placement;
}

CObsNum* Add(CCourse& course, std::unique_ptr<CCourseObject> made)
{
    CObsNum* number = dynamic_cast<CObsNum*>(made.get());
    course.AddObject(std::move(made));
    number->Invalidate();
    return number;
}

// A number the user labels, as the tool's dialog places it once confirmed.
CObsNum* Place(CCourse& course, const std::wstring& label, float x = 3000.0f, float y = 3000.0f)
{
    CObsNumPropertiesDlg dialog(&course);
    dialog.EditLabel(label);
    dialog.GetSequence()->SetText(label);
    return Add(course, CObsNum::GetObsNumType().CreateNew(&course, At(x, y), &dialog));
}

// A number record's body: style, flag, label.
std::string Record(int32_t style, bool flag, std::wstring label, int major = 4)
{
    CFieldWriter writer;
    writer.m_versionMajor = major;
    writer.Int8(style);
    writer.Bool(flag);
    writer.WString(label);
    return writer.m_bytes;
}

// A number read from a file, once the file is taken into the course.
CObsNum* Load(CCourse& course, const std::string& record, float x = 3000.0f, float y = 3000.0f, int major = 4)
{
    CFieldReader reader(record);
    reader.m_versionMajor = major;
    CObsNum* number = Add(course, CObsNum::GetObsNumType().CreateFromArchive(&course, At(x, y), reader, false));
    number->ResolveLinks();
    return number;
}

CObsNum* Load(CCourse& course, const std::wstring& label)
{
    return Load(course, Record(0, false, label));
}

// The labels of a sequence in its order, joined by commas.
std::wstring Labels(const CObsNumSequence* sequence)
{
    std::wstring joined;
    for (const CObsNum* member : sequence->GetMembers())
        joined += (joined.empty() ? L"" : L",") + member->GetText();
    return joined;
}

// The labels in the order the course holds the numbers.
std::wstring CourseOrder(const CCourse& course)
{
    std::wstring joined;
    for (const CCourseObject* object : course.GetObjects()) {
        if (const auto* number = dynamic_cast<const CObsNum*>(object))
            joined += (joined.empty() ? L"" : L",") + number->GetText();
    }
    return joined;
}

template <class T = CCourseObject>
T* PlaceObstacle(CCourse& course, const CObjectType& type, float x, float y)
{
    std::unique_ptr<CCourseObject> made = type.CreateNew(&course, At(x, y), nullptr);
    T* object = dynamic_cast<T*>(made.get());
    course.AddObject(std::move(made));
    return object;
}

// A finish post: one finish end (kind 16) across its origin.
class CFinishPost : public CCourseObject
{
public:
    CFinishPost() : m_end(this, false) { m_end.SetFromVector(CPoint2(800.0f, 0.0f)); }
    int GetCategory() const override { return 1; }
    int GetLayer() const override { return 2; }
    int GetEndCount() const override { return 0; }
    void GetEnd(CPoint2&, int) const override {}
    void Draw2D(CGraphicsContext&) override {}

private:
    CEndLineObstacleEnd m_end;
};

void Delete(CCourse& course, CCourseObject* object)
{
    course.DeselectAll(false);
    object->SetSelected(true);
    course.DeleteSelected();
}

}  // namespace

TEST_F(ObsNums, TheToolNumbersOnAndKeepsTheCourseInLabelOrder)
{
    CCourse course(L"", L"");
    course.SelectToolType(2574);
    for (float x : {2000.0f, 4000.0f, 6000.0f}) {
        course.StartPlacingObject(x, 3000.0f);
        course.DropPlacedObject(x, 3000.0f);
    }
    const auto* sequence = dynamic_cast<const CObsNumSequence*>(course.GetNumbering(nullptr));
    ASSERT_NE(nullptr, sequence);
    EXPECT_EQ(L"1,2,3", Labels(sequence));
    EXPECT_EQ(L"4", sequence->GetText());
    // A user's 2 makes room; the course then holds the numbers as they run.
    Place(course, L"2");
    EXPECT_EQ(L"1,2,3,4", Labels(sequence));
    EXPECT_EQ(L"1,2,3,4", CourseOrder(course));
    EXPECT_TRUE(sequence->IsAutoNumber());
}

TEST_F(ObsNums, AUsersLabelMakesRoomInItsGroup)
{
    CCourse course(L"", L"");
    Place(course, L"1");
    Place(course, L"2A");
    CObsNum* second = Place(course, L"2B");
    CObsNum* inserted = Place(course, L"2B");
    EXPECT_EQ(L"2C", second->GetText());
    EXPECT_EQ(L"1,2A,2B,2C", Labels(inserted->GetSequence()));
}

TEST_F(ObsNums, RelabellingTheLastNumberTwoRenumbersTheRest)
{
    CCourse course(L"", L"");
    for (const wchar_t* label : {L"1", L"2", L"3"})
        Place(course, label);
    CObsNum* fourth = Place(course, L"4");
    course.DeselectAll(false);
    fourth->SetSelected(true);
    // The dialog's windowless form, filled as Properties fills it.
    CObsNumPropertiesDlg windowless(&course);
    fourth->FillPropertiesDialog(windowless);
    CObsNumPropertiesDlg* dialog = &windowless;
    dialog->EditLabel(L"2");
    dialog->DoModal();
    EXPECT_EQ(L"2", fourth->GetText());
    EXPECT_EQ(L"1,2,3,4", Labels(fourth->GetSequence()));
    EXPECT_EQ(L"1,2,3,4", CourseOrder(course));
    EXPECT_EQ(L"3", fourth->GetSequence()->GetText());
}

TEST_F(ObsNums, LoadingSwitchesAutomaticNumberingOffAtAGapOrARepeat)
{
    // Labels as read, then whether the sequence stays automatic and whether
    // they run in order without and with gaps.
    const struct
    {
        std::vector<const wchar_t*> labels;
        bool automatic;
        bool withoutGaps;
        bool withGaps;
    } cases[] = {
        {{L"1", L"2", L"3"}, true, true, true}, {{L"1", L"2A", L"2B", L"3"}, true, true, true},
        {{L"1", L"2", L"2"}, false, false, false}, {{L"1", L"3"}, false, false, true},
        {{L"2"}, false, false, true}, {{L"1", L"2B"}, false, false, true}, {{L"2A", L"2A"}, false, false, false},
        // A read label relabels nothing read before it.
        {{L"1", L"2A", L"3", L"2B"}, false, true, true}, {{L"1", L"2A", L"2b"}, false, false, false},
    };
    for (const auto& c : cases) {
        CCourse course(L"", L"");
        CObsNum* last = nullptr;
        for (const wchar_t* label : c.labels)
            last = Load(course, label);
        EXPECT_EQ(c.automatic, last->GetSequence()->IsAutoNumber()) << c.labels.size();
        EXPECT_EQ(c.withoutGaps, last->GetSequence()->IsSequential(false)) << c.labels.size();
        EXPECT_EQ(c.withGaps, last->GetSequence()->IsSequential(true)) << c.labels.size();
    }
}

TEST_F(ObsNums, SwitchingOnRenumbersAndKeepsGroups)
{
    CCourse course(L"", L"");
    CObsNum* number = nullptr;
    for (const wchar_t* label : {L"5", L"1", L"2A", L"2B"})
        number = Load(course, label);
    CObsNumSequence* sequence = number->GetSequence();
    ASSERT_FALSE(sequence->IsAutoNumber());
    sequence->SetAutoNumber(true);
    EXPECT_EQ(L"1,2A,2B,3", Labels(sequence));
    EXPECT_EQ(L"1,2A,2B,3", CourseOrder(course));
    EXPECT_EQ(L"4", sequence->GetText());
}

TEST_F(ObsNums, ANumberThatLeavesClosesTheGapOnlyWhenAutomatic)
{
    for (bool automatic : {true, false}) {
        CCourse course(L"", L"");
        Place(course, L"1");
        CObsNum* second = Place(course, L"2");
        CObsNum* third = Place(course, L"3");
        CObsNumSequence* sequence = third->GetSequence();
        sequence->SetAutoNumber(automatic);
        Delete(course, second);
        EXPECT_EQ(automatic ? L"1,2" : L"1,3", Labels(sequence));
        EXPECT_EQ(automatic ? L"3" : L"2", sequence->GetText());
    }
}

TEST_F(ObsNums, ReversingThroughJumpsRunsTheLabelsBackwards)
{
    CCourse course(L"", L"");
    std::vector<CObsNum*> numbers;
    const wchar_t* labels[] = {L"1", L"2A", L"2B", L"3"};
    for (int i = 0; i < 4; ++i) {
        const float x = 2000.0f + 2500.0f * float(i);
        PlaceObstacle(course, CBarJumpType::GetSingleJumpType(), x, 5000.0f);
        numbers.push_back(Place(course, labels[i], x + 100.0f, 5300.0f));
    }
    course.RefreshNumbering();
    std::wstring reversed;
    for (int i = 0; i < 4; ++i) {
        reversed += numbers[size_t(i)]->GetText();
        // Through the jump's centre.
        EXPECT_EQ(CPoint2(2000.0f + 2500.0f * float(i) - 100.0f, 4700.0f), numbers[size_t(i)]->GetPosition());
    }
    EXPECT_EQ(L"32B2A1", reversed);
    EXPECT_EQ(L"1,2A,2B,3", CourseOrder(course));
}

TEST_F(ObsNums, ReversingMovesANumberToItsExitOrLeavesItWithoutOne)
{
    CCourse course(L"", L"");
    const float reach = PlaceObstacle<CAFrame>(course, CAFrame::GetAFrameType(), 4000.0f, 4000.0f)->GetReach();
    auto* weaves = PlaceObstacle<CWeavePoles>(course, CWeavePoles::GetWeavePolesType(), 9000.0f, 4000.0f);
    // Two poles: every end at one point, no way through.
    weaves->SetPoleCount(2);
    weaves->Invalidate();
    CObsNum* first = Place(course, L"1", 4000.0f - reach - 300.0f, 4200.0f);
    CObsNum* second = Place(course, L"2", 9000.0f, 4300.0f);
    EXPECT_EQ(0, CountReports([&] { course.RefreshNumbering(); }));
    // Turned about the A-frame's centre to its other end.
    EXPECT_EQ(CPoint2(4000.0f + reach + 300.0f, 3800.0f), first->GetPosition());
    EXPECT_EQ(CPoint2(9000.0f, 4300.0f), second->GetPosition());
    EXPECT_EQ(L"2", first->GetText());
    EXPECT_EQ(L"1", second->GetText());
}

TEST_F(ObsNums, TheLastNumberTurnsTowardsTheFinish)
{
    for (bool finish : {false, true}) {
        CCourse course(L"", L"");
        PlaceObstacle(course, CPauseBox::GetPauseBoxType(), 6000.0f, 6000.0f);
        if (finish) {
            auto post = std::make_unique<CFinishPost>();
            post->Init(&course, nullptr, At(6000.0f, 1000.0f), CCourseObject::kNormal);
            course.AddObject(std::move(post));
        }
        CObsNum* number = Place(course, L"1", 5200.0f, 6000.0f);
        course.RefreshNumbering();
        // Turned about the box to the side towards the finish, else to the
        // far side.
        const CPoint2 expected = finish ? CPoint2(6000.0f, 5200.0f) : CPoint2(6800.0f, 6000.0f);
        EXPECT_NEAR(expected.x, number->GetPosition().x, 0.5f) << finish;
        EXPECT_NEAR(expected.y, number->GetPosition().y, 0.5f) << finish;
    }
}

TEST_F(ObsNums, AReversedNumberStaysInsideTheRing)
{
    CCourse course(L"", L"");
    PlaceObstacle(course, CBarJumpType::GetSingleJumpType(), 3000.0f, 600.0f);
    CObsNum* number = Place(course, L"1", 3000.0f, 1000.0f);
    course.RefreshNumbering();
    // Through the jump it would lie at 200, partly beyond the ring.
    const CRectF bounds = number->GetBoundingRect();
    EXPECT_LT(number->GetPosition().y, 600.0f);
    EXPECT_GT(number->GetPosition().y, 200.0f);
    EXPECT_NEAR(course.GetRingRect(false, true).top, bounds.top, 0.5f);
}

TEST_F(ObsNums, UndoGivesBackTheLabelsAndTheAutomaticNumbering)
{
    CCourse course(L"", L"");
    Place(course, L"1", 2000.0f);
    Place(course, L"2", 4000.0f);
    Place(course, L"3", 6000.0f);
    course.CommitUndoStep(L"Place");
    // A moved number is read back from its record; a deleted one renumbers
    // the rest, and all come back.
    const auto second = [&course] {
        auto it = course.GetObjects().begin();
        return *std::next(it);
    };
    CTransform moved = second()->GetPlacement();
    moved.SetPosition2D(5000.0f, 6000.0f);
    second()->SetPlacement(moved);
    course.CommitUndoStep(L"Move");
    Delete(course, *course.GetObjects().begin());
    course.CommitUndoStep(L"Delete");
    for (const wchar_t* expected : {L"1,2,3", L"1,2,3"}) {
        ASSERT_TRUE(course.Undo());
        EXPECT_EQ(expected, CourseOrder(course));
        const auto* sequence = dynamic_cast<const CObsNumSequence*>(course.GetNumbering(nullptr));
        EXPECT_EQ(expected, Labels(sequence));
        EXPECT_TRUE(sequence->IsAutoNumber());
    }
    EXPECT_EQ(CPoint2(4000.0f, 3000.0f), second()->GetPosition());
}

TEST_F(ObsNums, PastedNumbersJoinTheTargetsSequences)
{
    CCourse source(L"", L"");
    Load(source, L"4");
    Load(source, L"5");
    std::string copied;
    source.WriteArchive(copied, false, false, false);
    CCourse target(L"", L"");
    for (const wchar_t* label : {L"1", L"2", L"3"})
        Place(target, label);
    ASSERT_TRUE(target.LoadArchive(copied, true, false));
    const auto* sequence = dynamic_cast<const CObsNumSequence*>(target.GetNumbering(nullptr));
    EXPECT_EQ(L"1,2,3,4,5", Labels(sequence));
    EXPECT_TRUE(sequence->IsAutoNumber());
    EXPECT_EQ(1u, target.GetNumberings().size());
}

TEST_F(ObsNums, RecordsOfBothVersions)
{
    CCourse course(L"", L"");
    // Version 3 knows two styles, stored as 1 and 2.
    const struct
    {
        int style;
        char stored;
        int readBack;
    } cases[] = {{0, 1, 0}, {1, 2, 1}, {2, 2, 1}};
    for (const auto& c : cases) {
        CObsNum* number = Load(course, Record(c.style, true, L"7"));
        CFieldWriter writer;
        writer.m_versionMajor = 3;
        number->Serialize(writer);
        EXPECT_EQ(c.stored, writer.m_bytes[0]);
        CObsNum* copy = Load(course, writer.m_bytes, 3000.0f, 3000.0f, 3);
        EXPECT_EQ(c.readBack, copy->GetBadgeStyle().GetIndex());
        EXPECT_TRUE(copy->GetBadgeFlag());
        EXPECT_EQ(L"7", copy->GetText());
    }
    // A damaged record's style is the file's fault: style 0, no report.
    EXPECT_EQ(0, CountReports([&] {
        Load(course, Record(0, false, L"99999999999"));
        Load(course, Record(1, false, std::wstring(5000, L'x')));
        CObsNum* damaged = Load(course, Record(7, false, L"1"));
        EXPECT_EQ(0, damaged->GetBadgeStyle().GetIndex());
        CRecordingContext context;
        damaged->Draw2D(context);
        course.RefreshNumbering();
    }));
    EXPECT_EQ(1, CountReports([] { EXPECT_EQ(0, GetNumberStyle(7).GetIndex()); }));
}

TEST_F(ObsNums, LegacyListings)
{
    CCourse course(L"", L"");
    std::istringstream listing("Begin Fendrel\r\nVersion 3\r\nDimensions 100 80\r\n"
                               "ObstacleNumber 30 20 0 x F 3\r\nObstacleNumber 10 20 0 x F 1\r\n"
                               "CircledText 20 20 0 x F 2\r\nObstacleNumber 10 40 0 x T 12345\r\nEnd Fendrel\r\n");
    ASSERT_TRUE(course.ReadTextBlock(listing, false));
    // Out of order as listed, in order once read: numbered automatically.
    const bool plain = false;
    const auto* digits = dynamic_cast<const CObsNumSequence*>(course.GetNumbering(nullptr, &plain));
    EXPECT_EQ(L"1,2,3", Labels(digits));
    EXPECT_TRUE(digits->IsAutoNumber());
    EXPECT_EQ(L"1,2,12,3", CourseOrder(course));
    const bool flagged = true;
    EXPECT_EQ(L"12", Labels(dynamic_cast<const CObsNumSequence*>(course.GetNumbering(nullptr, &flagged))));
    // A line's bytes are Latin-1 characters.
    std::istringstream words("x F \xE9\xE8\xE7");
    CObsNum* latin =
        Add(course, CObsNum::GetObsNumType().CreateFromText(&course, At(0.0f, 0.0f), "ObstacleNumber", words));
    EXPECT_EQ(L"\u00E9\u00E8", latin->GetText());
}

TEST_F(ObsNums, TheOlderFormatsBarrelReopensAsANumberWithoutLabel)
{
    CCourse course(L"", L"");
    PlaceObstacle(course, CBarrel::GetBarrelType(), 5000.0f, 5000.0f);
    std::string older;
    course.WriteArchive(older, false, true, false);
    CCourse reopened(L"", L"");
    ASSERT_TRUE(reopened.LoadArchive(older, false, false));
    ASSERT_EQ(1u, reopened.GetObjectCount());
    const auto* number = dynamic_cast<const CObsNum*>(*reopened.GetObjects().begin());
    ASSERT_NE(nullptr, number);
    EXPECT_EQ(L"", number->GetText());
    ASSERT_NE(nullptr, number->GetSequence());
    EXPECT_EQ(0, number->GetSequence()->GetKind());
    EXPECT_FALSE(number->GetSequence()->IsAutoNumber());
    EXPECT_EQ(0, CountReports([&] {
        reopened.RefreshNumbering();
        CRecordingContext context;
        const_cast<CObsNum*>(number)->Draw2D(context);
        std::string again;
        reopened.WriteArchive(again, false, true, false);
        EXPECT_EQ(older, again);
    }));
}

TEST_F(ObsNums, BadgeSizes)
{
    const struct
    {
        int style;
        float width;
        CPoint2 half;
    } cases[] = {
        {0, 400.0f, {250.0f, 200.0f}}, {1, 400.0f, {215.0f, 160.0f}}, {2, 400.0f, {250.0f, 200.0f}},
        {0, 100.0f, {200.0f, 200.0f}}, {1, 100.0f, {160.0f, 160.0f}},
    };
    for (const auto& c : cases) {
        const CPoint2 half = GetNumberStyle(c.style).GetHalfSize(c.width);
        EXPECT_NEAR(c.half.x, half.x, 1e-3f) << c.style;
        EXPECT_EQ(c.half.y, half.y) << c.style;
    }
    CCourse course(L"", L"");
    CObsNum* number = Place(course, L"1");
    const CPoint2 anchors[] = {{-200.0f, 0.0f}, {200.0f, 0.0f}, {0.0f, -200.0f}, {0.0f, 200.0f}};
    for (int i = 0; i < 4; ++i) {
        CPoint2 point;
        number->GetEnd(point, i);
        EXPECT_NEAR(anchors[i].x, point.x, 1e-3f);
        EXPECT_NEAR(anchors[i].y, point.y, 1e-3f);
    }
}

TEST_F(ObsNums, ALabelInItsBadgesColourShowsOnlyGreyed)
{
    CCourse course(L"", L"");
    CObsNum* number = Place(course, L"1");
    const auto texts = [number](int colorMode) {
        CRecordingContext context;
        number->SetColorMode(colorMode);
        number->Draw2D(context);
        return context.texts.size();
    };
    EXPECT_EQ(1u, texts(CCourseObject::kColorMode3D));
    number->GetPartColors().SetColorIndex(26, number->GetPartColors().GetColorIndex(25));
    EXPECT_EQ(0u, texts(CCourseObject::kColorMode3D));
    // Grey on the map: text and badge alike, yet drawn.
    number->SetDisplayState(CCourseObject::kGrey);
    EXPECT_EQ(1u, texts(CCourseObject::kColorMode2D));
}

TEST_F(ObsNums, TheArchiveTellsOlderReadersOfUnframedNumbers)
{
    const auto showsAll = [](int style) {
        CCourse course(L"", L"");
        Load(course, Record(style, false, L"1"));
        std::string archive;
        course.WriteArchive(archive, false, false, false);
        CFieldReader reader(archive);
        int32_t value = 0;
        for (int i = 0; i < 6; ++i)
            reader.ReadInt8(value);
        return value;
    };
    EXPECT_EQ(31, showsAll(2));
    EXPECT_EQ(0, showsAll(1));
}
