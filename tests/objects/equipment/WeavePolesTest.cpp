#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "course/SpecList.h"
#include "dialogs/LengthFormat.h"
#include "dialogs/WeavePolesPropertiesDlg.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/equipment/WeavePoles.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/FailureReports.h"

using namespace equipmenttest;

namespace {

// Weave poles of a count, spacing, channel and guide option, made through
// the dialog.
std::unique_ptr<CWeavePoles> MakePoles(CCourse* course, int poles, float spacing, float channel, bool guides)
{
    CWeavePolesPropertiesDlg dialog(course);
    dialog.MergePoles(poles);
    dialog.MergeSpacing(spacing);
    dialog.MergeChannel(channel);
    dialog.MergeBoolOption(guides);
    return MakeNew<CWeavePoles>(CWeavePoles::GetWeavePolesType(), course, &dialog);
}

std::string Record(int poles, float spacing, bool guides, float channel, bool withChannel)
{
    CFieldWriter writer;
    writer.WriteInt8(poles);
    writer.WriteFloat16(spacing);
    writer.WriteBool(guides);
    if (withChannel)
        writer.WriteFloat16(channel);
    return writer.m_bytes;
}

using WeavePoles = coursetest::CSettingsFixture;

}  // namespace

// Ends 1 to 6 where the count and the guides have them: even counts 2, 4, 5,
// 6; odd counts 3 and 5, and 1 and 6 without guides.
TEST_F(WeavePoles, EndsFollowTheCountAndTheGuides)
{
    struct CEnd
    {
        int kind;
        CPoint2 direction;
    };
    const CEnd end1 = {1, {-5000.0f, -10000.0f}};
    const CEnd end2 = {1, {-5000.0f, 10000.0f}};
    const CEnd end3 = {1, {5000.0f, 10000.0f}};
    const CEnd end4 = {1, {5000.0f, -10000.0f}};
    const CEnd end5 = {2, {5000.0f, -10000.0f}};
    const CEnd end6 = {2, {-5000.0f, 10000.0f}};
    const struct {
        int poles;
        bool guides;
        std::vector<CEnd> ends;
    } cases[] = {
        {12, false, {end2, end4, end5, end6}},
        {12, true, {end2, end4, end5, end6}},
        {9, true, {end3, end5}},
        {9, false, {end1, end3, end5, end6}},
    };
    for (const auto& c : cases) {
        auto poles = MakePoles(nullptr, c.poles, 240.0f, 0.0f, c.guides);
        ASSERT_EQ(c.ends.size(), poles->GetEnds().size()) << c.poles << c.guides;
        // Halfway between the first two poles, and between the last two.
        const float e = float(c.poles - 2) * 120.0f;
        for (size_t i = 0; i < c.ends.size(); ++i) {
            const CObstacleEnd* end = poles->GetEnds()[i];
            EXPECT_EQ(c.ends[i].kind, end->GetEndKind()) << c.poles << c.guides << i;
            EXPECT_EQ(c.ends[i].direction, end->direction) << c.poles << c.guides << i;
            EXPECT_EQ(0.0f, end->halfWidth);
            EXPECT_EQ(e, std::fabs(end->point.x));
        }
        CPoint2 last;
        poles->GetEnd(last, 1);
        EXPECT_EQ(CPoint2(float(c.poles - 1) * 120.0f, 0.0f), last);
    }
}

TEST_F(WeavePoles, RecordsCarryTheChannelFromVersionFour)
{
    auto poles = MakePoles(nullptr, 12, 240.0f, 60.0f, true);
    EXPECT_EQ(Record(12, 240.0f, true, 60.0f, true), RecordOf(*poles));
    EXPECT_EQ(Record(12, 240.0f, true, 0.0f, false), RecordOf(*poles, 3));

    // An older record keeps the channel; counts are held within 1 to 127.
    ReadRecord(*poles, Record(6, 220.0f, false, 0.0f, false), 3);
    EXPECT_EQ(6, poles->GetPoleCount());
    EXPECT_EQ(220.0f, poles->GetSpacing());
    EXPECT_EQ(60.0f, poles->GetChannel());
    EXPECT_FALSE(poles->HasGuides());
    const struct {
        int written;
        int count;
    } counts[] = {{0, 1}, {-5, 1}, {127, 127}, {128, 1}, {1, 1}};
    for (const auto& c : counts) {
        ReadRecord(*poles, Record(c.written, 0.0f, true, -5.0f, true));
        EXPECT_EQ(c.count, poles->GetPoleCount()) << c.written;
        EXPECT_EQ(220.0f, poles->GetSpacing());
        EXPECT_EQ(60.0f, poles->GetChannel());
        EXPECT_TRUE(EndsAreFinite(*poles));
        DrawBoth(*poles);
    }
    ReadRecord(*poles, Record(11, 240.0f, false, 0.0f, true));
    EXPECT_EQ(0.0f, poles->GetChannel());
}

TEST_F(WeavePoles, LegacyLineAndEvenCountShift)
{
    auto course = MakeCourse(1);
    const std::string text =
        "Begin Fendrel\r\nVersion 2000\r\nDimensions 100 80\r\n"
        "WeavePoles 50 40 0 12 24\r\n"
        "WeavePoles 50 20 90 9 20\r\n"
        "WeavePoles 20 20 0 0 -3\r\n"
        "WeavePoles 20 60 0 1000000000 24\r\n"
        "WeavePoles 80 60 0 -5\r\n"
        "End Fendrel\r\n";
    std::istringstream in(text);
    ASSERT_TRUE(course->ReadTextBlock(in, false));
    std::vector<CWeavePoles*> rows;
    for (CCourseObject* object : course->GetObjects())
        rows.push_back(dynamic_cast<CWeavePoles*>(object));
    ASSERT_EQ(5u, rows.size());
    EXPECT_EQ(12, rows[0]->GetPoleCount());
    EXPECT_EQ(240.0f, rows[0]->GetSpacing());
    // An even row moves half a spacing along itself, whole units.
    EXPECT_EQ(CPoint2(6000.0f + 120.0f, 9600.0f - 4800.0f), rows[0]->GetPosition());
    EXPECT_EQ(9, rows[1]->GetPoleCount());
    EXPECT_EQ(200.0f, rows[1]->GetSpacing());
    EXPECT_EQ(CPoint2(6000.0f, 9600.0f - 2400.0f), rows[1]->GetPosition());
    EXPECT_EQ(1, rows[2]->GetPoleCount());
    EXPECT_EQ(127, rows[3]->GetPoleCount());
    EXPECT_EQ(1, rows[4]->GetPoleCount());
    for (CWeavePoles* row : rows) {
        EXPECT_TRUE(EndsAreFinite(*row));
        DrawBoth(*row);
    }
}

TEST_F(WeavePoles, DialogDefaultsMergesAndSizeText)
{
    auto course = MakeCourse(10);
    auto poles = MakeNew<CWeavePoles>(CWeavePoles::GetWeavePolesType(), course.get());
    // The rule set's count and spacing, no channel, no guides.
    EXPECT_EQ(course->GetSpecList().GetWeavePoleCount(), poles->GetPoleCount());
    EXPECT_EQ(course->GetSpecList().GetMeasure18(), poles->GetSpacing());
    EXPECT_EQ(0.0f, poles->GetChannel());
    EXPECT_FALSE(poles->HasGuides());
    const auto sizeText = [&](EUnitKind kind) {
        return GetStringWith2Args(2041, std::to_wstring(poles->GetPoleCount()),
                                  FormatLength(poles->GetSpacing(), kind, true));
    };
    EXPECT_EQ(sizeText(EUnitKind::kInches), poles->GetSizeText());
    course->SetMetric(true);
    EXPECT_EQ(sizeText(EUnitKind::kCentimetres), poles->GetSizeText());

    CSettings::SetInt(L"370ASCAPoles", 6);
    CSettings::SetInt(L"370ASCASpacing", 200);
    CSettings::SetInt(L"370ASCAChannel", 30);
    auto stored = MakeNew<CWeavePoles>(CWeavePoles::GetWeavePolesType(), course.get());
    EXPECT_EQ(6, stored->GetPoleCount());
    EXPECT_EQ(200.0f, stored->GetSpacing());
    EXPECT_EQ(30.0f, stored->GetChannel());

    // Two rows that differ: every field mixed, and nothing changes.
    auto guided = MakePoles(course.get(), 12, 240.0f, 0.0f, true);
    CWeavePolesPropertiesDlg both(course.get());
    stored->FillPropertiesDialog(both);
    guided->FillPropertiesDialog(both);
    EXPECT_FALSE(both.HasPoles());
    EXPECT_FALSE(both.HasSpacing());
    EXPECT_FALSE(both.HasChannel());
    EXPECT_EQ(ECheckState::kMixed, both.GetBoolOption());
    EXPECT_EQ(0, CountReports([&] { guided->FromDialog(both); }));
    EXPECT_EQ(12, guided->GetPoleCount());
    EXPECT_TRUE(guided->HasGuides());
    // A channel of 0 is a channel; a count beyond a record's reach is held.
    CWeavePolesPropertiesDlg set(course.get());
    set.MergePoles(500);
    set.MergeChannel(0.0f);
    stored->FromDialog(set);
    EXPECT_EQ(127, stored->GetPoleCount());
    EXPECT_EQ(0.0f, stored->GetChannel());
}

TEST_F(WeavePoles, PlanDrawsTheWeaveOnlyWithGuidesAndThreePoles)
{
    for (int count : {2, 3, 12, 13}) {
        for (bool guides : {false, true}) {
            auto poles = MakePoles(nullptr, count, 240.0f, 40.0f, guides);
            auto drawn = DrawBoth(*poles);
            const float h = float(count - 1) * 120.0f;
            // The base reaches 30 beyond the end poles; the weave's arches
            // bulge out by 3/4 of their 4/3 of a spacing.
            const float depth = guides && count >= 3 ? 20.0f + 240.0f : 80.0f;
            const CRectF& drawnRect = drawn->plan.pathRect;
            EXPECT_NEAR(h + 30.0f, drawnRect.right, 16.0f) << count << guides;
            EXPECT_NEAR(depth, std::max(-drawnRect.top, drawnRect.bottom), 16.0f) << count << guides;
        }
    }
}
