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

using CSections = std::vector<std::pair<float, float>>;

CSections SectionsOf(const CTunnelBodyGeometry& body)
{
    CSections sections;
    for (const CTunnelSection& section : body.GetSections())
        sections.emplace_back(section.angle, section.outerLength);
    return sections;
}

// A flexible tunnel at (3000, 3000) of straight sections; its handles are
// dragged in its own coordinates.
class TunnelFlexible : public CTunnelFixture
{
protected:
    CTunnel& Make(int sections, float length = 1800.0f)
    {
        tunnel = MakeTunnel(course.get(), CTunnelGeometry::kFlexible, sections, length,
                            coursetest::MakePlacement(3000.0f, 3000.0f));
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

TEST_F(TunnelFlexible, RecordsAreLengthDiameterCountAndTheSections)
{
    Make(3);
    Flexible(*tunnel).Solve(0, 500.0f, 150.0f);
    const CSections sections = SectionsOf(Flexible(*tunnel));
    // Three sections: 2 + 1 + 3 x 2 fields.
    const std::string expected = Record({1800, 240, 3, sections[0].first, sections[0].second, sections[1].first,
                                         sections[1].second, sections[2].first, sections[2].second},
                                        {2});
    EXPECT_EQ(expected + std::string(1, '\0'), RecordOf(*tunnel));
    // Only version 4 and later hold this record.
    CFieldWriter older;
    older.m_versionMajor = 3;
    EXPECT_EQ(1, CountReports([&] { Flexible(*tunnel).Serialize(older); }));
}

TEST_F(TunnelFlexible, DamagedRecordsReadAsTunnelsThatCanBe)
{
    const struct
    {
        std::string record;
        float length, diameter;
        CSections sections;
    } cases[] = {
        {Record({0, 0, 0}, {2}), 1800.0f, 10.0f, {{0.0f, 1800.0f}}},
        {Record({-500, 240, -3}, {2}), 1800.0f, 240.0f, {{0.0f, 1800.0f}}},
        {Record({1200, 240, 2, 90, 0, 400, 600}, {2}), 1200.0f, 240.0f, {{0.0f, 1.0f}, {119.0f, 600.0f}}},
        {Record({1200, 240, 1, -30000, 300}, {2}), 1200.0f, 240.0f, {{-59.0f, 300.0f}}},
    };
    for (const auto& c : cases) {
        CTunnel read;
        EXPECT_EQ(0, CountReports([&] { ReadRecord(read, c.record + std::string(1, '\0')); }));
        EXPECT_EQ(c.length, read.GetGeometry().GetNominalLength());
        EXPECT_EQ(c.diameter, read.GetGeometry().GetDiameter());
        EXPECT_EQ(c.sections, SectionsOf(Flexible(read)));
    }
}

TEST_F(TunnelFlexible, LegacyLinesMakeSectionsAndMoveToTheStart)
{
    const float q = std::floor(std::sqrt(2.0f) * 450.0f + 0.5f);
    const struct
    {
        const char* words;
        float length;
        CSections sections;
    } cases[] = {
        {"2 2 200", 2000.0f, {{0.0f, 2000.0f}}},
        {"", 1800.0f, {{0.0f, 1800.0f}}},
        {"0 0 180", 1800.0f, {{-180.0f, 1800.0f}}},
        {"1 1 180", 1800.0f, {{0.0f, q}, {-90.0f, 900.0f}, {0.0f, q}}},
        {"3 4 180", 1800.0f, {{0.0f, q}, {135.0f, 1350.0f}}},
        // Bends sharper than their lengths allow are held as a record holds
        // them.
        {"4 0 10", 600.0f, {{59.0f, 300.0f}, {-59.0f, 300.0f}}},
        {"1 0 10", 600.0f, {{0.0f, 212.0f}, {-89.0f, 450.0f}}},
        {"5 5 500", 3000.0f, {{0.0f, 3000.0f}}},
    };
    for (const auto& c : cases) {
        CTunnel legacy;
        legacy.SetPlacement(coursetest::MakePlacement(5000.0f, 4000.0f, 30.0f));
        std::istringstream words(c.words);
        legacy.ApplyVariant("Tunnel", words);
        EXPECT_EQ(c.length, legacy.GetGeometry().GetNominalLength()) << c.words;
        EXPECT_EQ(c.sections, SectionsOf(Flexible(legacy))) << c.words;
        // The listing placed the tunnel's middle: a straight one's middle
        // stays there; a U-turn starts turned by a quarter more.
        const std::vector<CPoint2> ends = EndsOf(legacy);
        if (c.sections.size() == 1 && c.sections[0].first == 0.0f) {
            ExpectNear(CPoint2(5000.0f, 4000.0f), (ends[0] + ends[1]) * 0.5f, 1.0f);
        }
        if (c.sections.size() == 1 && c.sections[0].first == -180.0f) {
            EXPECT_NEAR(-60.0f, legacy.GetPlacement().GetRotation(), 1e-3f);
        }
    }
}

TEST_F(TunnelFlexible, DialogMakesEvenSectionsOrRefitsForANewCount)
{
    EXPECT_EQ((CSections{{0, 333}, {0, 333}, {0, 334}}), SectionsOf(Flexible(Make(3, 1000.0f))));
    Make(2);
    const std::vector<CPoint2> ends = EndsOf(*tunnel);
    CTunnelPropertiesDlg four(course.get());
    four.MergeStyle(0);
    four.MergeSections(4);
    four.MergeDiameter(360.0f);
    tunnel->FromDialog(four);
    ASSERT_EQ(4u, Flexible(*tunnel).GetSections().size());
    EXPECT_EQ(180.0f, Flexible(*tunnel).GetSections()[0].radius);
    ExpectNear(ends[1], EndsOf(*tunnel)[1], 2.0f);
    // Without a count for it, a tunnel without sections stays so.
    CTunnel bare;
    bare.SetGeometryKind(CTunnelGeometry::kFlexible, false);
    four.MergeSections(3);
    EXPECT_EQ(1, CountReports([&] { bare.FromDialog(four); }));
    EXPECT_TRUE(Flexible(bare).GetSections().empty());
}

TEST_F(TunnelFlexible, DraggedJointsSnapBendAndKeepTheLength)
{
    Make(2);
    // Onto the straight continuation: no bend, the even share.
    Drag(1, 905.0f, 3.0f);
    EXPECT_EQ((CSections{{0, 900}, {0, 900}}), SectionsOf(Flexible(*tunnel)));
    // Behind the start: the first section bends round by 180.
    Drag(1, -10.0f, 700.0f);
    const CSections bent = SectionsOf(Flexible(*tunnel));
    EXPECT_EQ(180.0f, bent[0].first);
    EXPECT_LE(bent[0].second + bent[1].second, 1800.0f);
    // Far away: the first takes what the others leave, none below 180.
    Make(8);
    Drag(1, 20000.0f, 0.0f);
    const CSections stretched = SectionsOf(Flexible(*tunnel));
    EXPECT_EQ(1800.0f - 7.0f * 180.0f, stretched[0].second);
    for (size_t i = 1; i < stretched.size(); ++i)
        EXPECT_EQ(180.0f, stretched[i].second) << i;
    // Handles out of range, or a tunnel without sections: nothing changes.
    const std::string record = RecordOf(*tunnel);
    for (int handle : {0, 9, -1}) {
        EXPECT_EQ(1, CountReports([&] { tunnel->StartHandleMove(handle); })) << handle;
        EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(handle, tunnel->MoveHandle(handle, 0.0f, 0.0f)); }));
    }
    EXPECT_EQ(record, RecordOf(*tunnel));
    CTunnel bare;
    bare.SetGeometryKind(CTunnelGeometry::kFlexible, false);
    EXPECT_EQ(2, CountReports([&] {
                  bare.StartHandleMove(1);
                  bare.MoveHandle(1, 100.0f, 100.0f);
              }));
}

TEST_F(TunnelFlexible, RigidBendsBeyond180LieInTwoSections)
{
    const struct
    {
        float stored;
        CSections sections;
    } cases[] = {
        {270.0f, {{135, 900}, {135, 900}}},
        {-270.0f, {{-270, 1800}}},
        {271.0f, {{136, 900}, {135, 900}}},
    };
    for (const auto& c : cases) {
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
    // Two sections bent alike, better made as one; bent unevenly, no hint.
    CTunnel even;
    ReadRecord(even, Record({1800, 240, 2, 45, 900, 45, 900, 0}, {2, 7}));
    even.StartHandleMove(2);
    even.EndHandleMove();
    EXPECT_EQ(std::vector<int>{2717}, hints());
    Make(2);
    Drag(2, 1500.0f, -600.0f);
    EXPECT_EQ(std::vector<int>{}, hints());
    // The joint before the first one grabbed, at once.
    even.StartHandleMove(1);
    even.EndHandleMove();
    EXPECT_EQ((std::vector<int>{2718, 2717}), hints());
}
