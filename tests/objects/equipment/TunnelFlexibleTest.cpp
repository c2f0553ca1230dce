#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "tests/objects/equipment/TunnelTestSupport.h"
#include "tests/support/FailureReports.h"
#include "tests/support/GeometryExpectations.h"
#include "tests/support/NoticeRecorder.h"

using namespace tunneltest;

namespace {

std::vector<std::pair<float, float>> SectionsOf(const CTunnelBodyGeometry& body)
{
    std::vector<std::pair<float, float>> sections;
    for (const CTunnelSection& section : body.GetSections())
        sections.emplace_back(section.angle, section.outerLength);
    return sections;
}

using CSections = std::vector<std::pair<float, float>>;

// A flexible tunnel of the course, placed at (3000, 3000), of straight
// sections; its handles are dragged in its own coordinates.
class TunnelFlexible : public CTunnelFixture
{
protected:
    CTunnel& Make(int sections, float length = 1800.0f)
    {
        tunnel = MakeTunnel(course.get(), CTunnelGeometry::kFlexible, sections, length,
                            coursetest::MakePlacement(3000.0f, 3000.0f, 0.0f));
        return *tunnel;
    }

    void Drag(int handle, float x, float y)
    {
        tunnel->StartHandleMove(handle);
        tunnel->MoveHandle(handle, 3000.0f + x, 3000.0f + y);
        tunnel->EndHandleMove();
    }

    std::unique_ptr<CTunnel> tunnel;
};

}  // namespace

TEST_F(TunnelFlexible, RecordOfThreeSectionsHoldsTwoPlusOnePlusThreeTimesTwoFields)
{
    Make(3);
    Flexible(*tunnel).Solve(0, 500.0f, 150.0f);
    const CSections sections = SectionsOf(Flexible(*tunnel));
    CFieldWriter expected;
    expected.WriteFloat16(1800.0f);
    expected.WriteFloat16(240.0f);
    expected.WriteInt8(3);
    for (const auto& section : sections) {
        expected.WriteFloat16(section.first);
        expected.WriteFloat16(section.second);
    }
    CFieldWriter body;
    body.m_versionMajor = 4;
    Flexible(*tunnel).Serialize(body);
    EXPECT_EQ(expected.m_bytes, body.m_bytes);
    EXPECT_EQ(2u * 2u + 1u + 3u * 2u * 2u, body.m_bytes.size());

    CTunnel read;
    read.SetGeometryKind(CTunnelGeometry::kFlexible, false);
    CFieldReader reader(body.m_bytes);
    reader.m_versionMajor = 4;
    Flexible(read).Serialize(reader);
    EXPECT_EQ(sections, SectionsOf(Flexible(read)));
    // Only version 4 and later hold this record.
    CFieldWriter older;
    older.m_versionMajor = 3;
    EXPECT_EQ(1, CountReports([&] { Flexible(*tunnel).Serialize(older); }));
}

TEST_F(TunnelFlexible, DamagedRecordsReadAsTunnelsThatCanBe)
{
    struct CCase
    {
        std::vector<float> values;  // length, diameter, then angle and length per section
        int count;
        float length, diameter;
        CSections sections;
    };
    const CCase cases[] = {
        {{0.0f, 0.0f}, 0, 1800.0f, 10.0f, {{0.0f, 1800.0f}}},
        {{-500.0f, 240.0f}, -3, 1800.0f, 240.0f, {{0.0f, 1800.0f}}},
        {{1200.0f, 240.0f, 90.0f, 0.0f, 400.0f, 600.0f}, 2, 1200.0f, 240.0f, {{0.0f, 1.0f}, {119.0f, 600.0f}}},
        {{1200.0f, 240.0f, -30000.0f, 300.0f}, 1, 1200.0f, 240.0f, {{-59.0f, 300.0f}}},
    };
    for (const CCase& c : cases) {
        CFieldWriter record;
        record.WriteFloat16(c.values[0]);
        record.WriteFloat16(c.values[1]);
        record.WriteInt8(c.count);
        for (size_t i = 2; i < c.values.size(); ++i)
            record.WriteFloat16(c.values[i]);
        CTunnel read;
        const int before = ReportCount();
        ReadRecord(read, record.m_bytes + std::string(1, '\0'));
        EXPECT_EQ(before, ReportCount()) << c.count;
        ASSERT_EQ(CTunnelGeometry::kFlexible, read.GetGeometry().GetKind());
        EXPECT_EQ(c.length, read.GetGeometry().GetNominalLength());
        EXPECT_EQ(c.diameter, read.GetGeometry().GetDiameter());
        EXPECT_EQ(c.sections, SectionsOf(Flexible(read))) << c.count;
    }
}

TEST_F(TunnelFlexible, LegacyLinesMakeSectionsAndMoveToTheStart)
{
    struct CCase
    {
        const char* words;
        float length;
        CSections sections;
    };
    const float q = std::floor(std::sqrt(2.0f) * 450.0f + 0.5f);
    const CCase cases[] = {
        {"2 2 200", 2000.0f, {{0.0f, 2000.0f}}},
        {"", 1800.0f, {{0.0f, 1800.0f}}},
        {"0 0 180", 1800.0f, {{-180.0f, 1800.0f}}},
        {"1 1 180", 1800.0f, {{0.0f, q}, {-90.0f, 900.0f}, {0.0f, q}}},
        {"3 4 180", 1800.0f, {{0.0f, q}, {135.0f, 1350.0f}}},
        {"4 0 10", 600.0f, {{90.0f, 300.0f}, {-90.0f, 300.0f}}},
        {"5 5 500", 3000.0f, {{0.0f, 3000.0f}}},
    };
    for (const CCase& c : cases) {
        CTunnel legacy;
        legacy.SetPlacement(coursetest::MakePlacement(5000.0f, 4000.0f, 0.0f));
        std::istringstream words(c.words);
        legacy.ApplyVariant("Tunnel", words);
        ASSERT_EQ(CTunnelGeometry::kFlexible, legacy.GetGeometry().GetKind()) << c.words;
        EXPECT_EQ(c.length, legacy.GetGeometry().GetNominalLength()) << c.words;
        EXPECT_EQ(240.0f, legacy.GetGeometry().GetDiameter());
        EXPECT_EQ(c.sections, SectionsOf(Flexible(legacy))) << c.words;
    }
    // A straight tunnel's middle stays where the listing put the tunnel.
    CTunnel straight;
    straight.SetPlacement(coursetest::MakePlacement(5000.0f, 4000.0f, 30.0f));
    std::istringstream words("2 2 200");
    straight.ApplyVariant("Tunnel", words);
    const CPoint2 middle = (straight.GetPlacement().GetPosition2D() + FarEnd(straight)) * 0.5f;
    ExpectNear(CPoint2(5000.0f, 4000.0f), middle, 1.0f);
    // A U-turn starts turned by a quarter.
    CTunnel turn;
    std::istringstream uTurn("0 0 180");
    turn.ApplyVariant("Tunnel", uTurn);
    EXPECT_NEAR(-90.0f, turn.GetPlacement().GetRotation(), 1e-3f);
}

TEST_F(TunnelFlexible, NewTunnelTakesEvenStraightSectionsFromTheDialog)
{
    Make(3, 1000.0f);
    EXPECT_EQ((CSections{{0.0f, 333.0f}, {0.0f, 333.0f}, {0.0f, 334.0f}}), SectionsOf(Flexible(*tunnel)));
    // Without a count for it, a tunnel without sections stays so.
    CTunnel bare;
    bare.SetGeometryKind(CTunnelGeometry::kFlexible, false);
    CTunnelPropertiesDlg mixed(course.get());
    mixed.MergeStyle(0);
    mixed.MergeSections(2);
    mixed.MergeSections(3);
    EXPECT_EQ(1, CountReports([&] { bare.FromDialog(mixed); }));
    EXPECT_TRUE(Flexible(bare).GetSections().empty());
}

TEST_F(TunnelFlexible, DialogRefitsForANewCountOrAShorterLength)
{
    Make(2);
    const CPoint2 farBefore = FarEnd(*tunnel);
    CTunnelPropertiesDlg merged(course.get());
    tunnel->FillPropertiesDialog(merged);
    EXPECT_EQ(2, merged.GetSections());
    CTunnelPropertiesDlg dialog(course.get());
    dialog.MergeStyle(0);
    dialog.MergeSections(4);
    tunnel->FromDialog(dialog);
    ASSERT_EQ(4u, Flexible(*tunnel).GetSections().size());
    ExpectNear(farBefore, FarEnd(*tunnel), 2.0f);
    // A thicker tube straight keeps its sections and takes the new radius.
    CTunnelPropertiesDlg thicker(course.get());
    thicker.MergeStyle(0);
    thicker.MergeDiameter(360.0f);
    tunnel->FromDialog(thicker);
    EXPECT_EQ(4u, Flexible(*tunnel).GetSections().size());
    EXPECT_EQ(180.0f, Flexible(*tunnel).GetSections()[0].radius);
}

TEST_F(TunnelFlexible, DraggedJointsSnapBendAndKeepTheLength)
{
    Make(2);
    // Onto the straight continuation: no bend, the even share.
    Drag(1, 905.0f, 3.0f);
    EXPECT_EQ((CSections{{0.0f, 900.0f}, {0.0f, 900.0f}}), SectionsOf(Flexible(*tunnel)));
    // Behind the start: the joint bends the first section round by 180.
    Drag(1, -10.0f, 700.0f);
    const CSections bent = SectionsOf(Flexible(*tunnel));
    EXPECT_EQ(180.0f, bent[0].first);
    EXPECT_LE(bent[0].second + bent[1].second, 1800.0f);
    // Far away: the first section takes what the others leave it, and no
    // section is cut below its floor of 180.
    Make(8);
    Drag(1, 20000.0f, 0.0f);
    const CSections stretched = SectionsOf(Flexible(*tunnel));
    EXPECT_EQ(1800.0f - 7.0f * 180.0f, stretched[0].second);
    for (size_t i = 1; i < stretched.size(); ++i)
        EXPECT_EQ(180.0f, stretched[i].second) << i;
    // A drag above the tunnel bends towards -y.
    Make(2);
    Drag(2, 1500.0f, -600.0f);
    EXPECT_LT(SectionsOf(Flexible(*tunnel))[1].first, 0.0f);
    ExpectNear(CPoint2(), tunnel->GetObstacleEnd(0).point);
    ExpectNear(FarEnd(*tunnel), tunnel->GetObstacleEnd(1).GetCoursePoint(), 0.01f);
}

TEST_F(TunnelFlexible, HandlesOutOfRangeOrWithoutSectionsChangeNothing)
{
    Make(2);
    const std::string record = RecordOf(*tunnel);
    for (int handle : {0, 3, -1}) {
        EXPECT_EQ(1, CountReports([&] { tunnel->StartHandleMove(handle); })) << handle;
        EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(handle, tunnel->MoveHandle(handle, 0.0f, 0.0f)); }));
    }
    for (int section : {-1, 2})
        EXPECT_EQ(1, CountReports([&] { Flexible(*tunnel).Solve(section, 0.0f, 0.0f); })) << section;
    EXPECT_EQ(record, RecordOf(*tunnel));
    CTunnel bare;
    bare.SetGeometryKind(CTunnelGeometry::kFlexible, false);
    EXPECT_EQ(1, CountReports([&] { bare.StartHandleMove(1); }));
    EXPECT_EQ(1, CountReports([&] { bare.MoveHandle(1, 100.0f, 100.0f); }));
    EXPECT_TRUE(Flexible(bare).GetSections().empty());
}

TEST_F(TunnelFlexible, RigidBendsBeyond180LieInTwoSections)
{
    struct CCase
    {
        float stored;
        CSections sections;
    };
    const CCase cases[] = {
        {270.0f, {{135.0f, 900.0f}, {135.0f, 900.0f}}},
        {-270.0f, {{-270.0f, 1800.0f}}},
        {271.0f, {{136.0f, 900.0f}, {135.0f, 900.0f}}},
        {90.0f, {{90.0f, 1800.0f}}},
    };
    for (const CCase& c : cases) {
        CTunnel rigid;
        Rigid(rigid).SetBend(-c.stored, false);
        CTunnelFlexibleGeometry converted(rigid);
        converted.ConvertFrom(rigid.GetGeometry());
        EXPECT_EQ(c.sections, SectionsOf(converted)) << c.stored;
    }
}

TEST_F(TunnelFlexible, HintsForEvenBendsAndJointsTakenBackwards)
{
    CNoticeRecorder notices;
    const auto hints = [&notices] {
        std::vector<int> ids;
        for (const CNotice& notice : notices.Take())
            ids.push_back(notice.style == ENoticeStyle::kHint ? notice.textId : -notice.textId);
        return ids;
    };
    // Two sections bent alike: one 90-degree bend, better made with one.
    CFieldWriter record;
    for (float value : {1800.0f, 240.0f})
        record.WriteFloat16(value);
    record.WriteInt8(2);
    for (float value : {45.0f, 900.0f, 45.0f, 900.0f})
        record.WriteFloat16(value);
    record.WriteInt8(0);
    CTunnel even;
    ReadRecord(even, record.m_bytes);
    even.StartHandleMove(2);
    even.EndHandleMove();
    EXPECT_EQ(std::vector<int>{2717}, hints());
    // Bent unevenly: no hint.
    Make(2);
    Drag(2, 1500.0f, -600.0f);
    EXPECT_EQ(std::vector<int>{}, hints());
    // The joint before the first one grabbed, at once.
    even.StartHandleMove(1);
    even.EndHandleMove();
    EXPECT_TRUE(Flexible(even).IsHintPending());
    EXPECT_EQ((std::vector<int>{2718, 2717}), hints());
}
