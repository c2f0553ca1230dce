#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "course/SpecList.h"
#include "dialogs/LengthFormat.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "tests/objects/equipment/TunnelTestSupport.h"
#include "tests/support/FailureReports.h"
#include "tests/support/GeometryExpectations.h"
#include "tests/support/TestSupport.h"

using namespace tunneltest;

namespace {

class Tunnel : public CTunnelFixture
{
protected:
    // A tunnel of each kind, bent the same way.
    std::unique_ptr<CTunnel> Bent(int kind)
    {
        auto tunnel = MakeTunnel(course.get(), CTunnelGeometry::kRigid, 90, 1800.0f,
                                 coursetest::MakePlacement(4000.0f, 4000.0f, 0.0f));
        if (kind == CTunnelGeometry::kRigid)
            return tunnel;
        CTunnelPropertiesDlg style(course.get());
        style.MergeStyle(kind);
        style.MergeSections(kind == CTunnelGeometry::kPolyline ? 4 : 2);
        tunnel->FromDialog(style);
        return tunnel;
    }

};

std::vector<CPoint2> EndsOf(const CTunnel& tunnel)
{
    std::vector<CPoint2> ends;
    for (int i = 0; i < 4; ++i)
        ends.push_back(tunnel.GetObstacleEnd(i).GetCoursePoint());
    return ends;
}

}  // namespace

CHILD_TEST(TunnelRegistry, BothTunnelsAreFoundAtTheFirstLookup)
{
    const CObjectType* tunnel = FindObjectTypeById(340);
    const CObjectType* collapsed = FindObjectTypeByKeyName("CollapsedTunnel");
    if (tunnel != &CTunnel::GetTunnelType() || FindObjectTypeByKeyName("Tunnel") != tunnel)
        return 1;
    return collapsed != nullptr && collapsed->GetTypeId() == 50 && FindObjectTypeByNameId(2600) == tunnel ? 0 : 2;
}

TEST_F(Tunnel, TypeAndTheFourEnds)
{
    const CTunnel::CTunnelType& type = CTunnel::GetTunnelType();
    EXPECT_EQ(2600, type.GetNameTextId());
    EXPECT_EQ(2600, type.GetGroupTextId());
    EXPECT_EQ((std::vector<int>{10, 30, 31}), type.GetPartColors().GetParts());
    EXPECT_TRUE(type.IsStandard());
    EXPECT_TRUE(type.GetEditOnCreateDefault());
    auto dialog = type.CreatePropertiesDialog(course.get(), 2600);
    EXPECT_NE(nullptr, dynamic_cast<CTunnelPropertiesDlg*>(dialog.get()));

    auto tunnel = Bent(CTunnelGeometry::kFlexible);
    EXPECT_EQ(3, tunnel->GetLayer());
    EXPECT_EQ(2, tunnel->GetAnchorCount());
    const int kinds[4] = {2, 2, 1, 1};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(kinds[i], tunnel->GetObstacleEnd(i).GetEndKind());
    EXPECT_EQ(CPoint2(-10000.0f, 0.0f), tunnel->GetObstacleEnd(0).direction);
    EXPECT_EQ(CPoint2(10000.0f, 0.0f), tunnel->GetObstacleEnd(2).direction);
    CPoint2 farEnd;
    CPoint2 direction;
    tunnel->GetGeometry().GetFarEnd(farEnd, direction);
    EXPECT_EQ(farEnd, tunnel->GetObstacleEnd(1).point);
    EXPECT_EQ(direction, tunnel->GetObstacleEnd(1).direction);
    EXPECT_EQ(CPoint2() - direction, tunnel->GetObstacleEnd(3).direction);
    bool reversed = true;
    EXPECT_EQ(&tunnel->GetObstacleEnd(3), tunnel->FindMirroredEnd(&tunnel->GetObstacleEnd(3), reversed));
    EXPECT_FALSE(reversed);
    // The position is the centre of the bounds, not the start.
    tunnel->RefreshExtents();
    const CPoint2 centre = tunnel->GetBoundingRect().GetCentre();
    EXPECT_EQ(CPoint2(std::floor(centre.x + 0.5f), std::floor(centre.y + 0.5f)), tunnel->GetPosition());
    EXPECT_NE(tunnel->GetPlacement().GetPosition2D(), tunnel->GetPosition());
}

TEST_F(Tunnel, KindSwitchesConvertTheShapeAndKeepTheEnds)
{
    // A body (flexible or rigid) made into each other kind and back.
    for (int kind : {CTunnelGeometry::kFlexible, CTunnelGeometry::kRigid}) {
        auto tunnel = Bent(kind);
        const std::vector<CPoint2> ends = EndsOf(*tunnel);
        for (int other : {CTunnelGeometry::kFlexible, CTunnelGeometry::kRigid, CTunnelGeometry::kPolyline}) {
            if (other == kind)
                continue;
            auto converted = Bent(kind);
            converted->SetGeometryKind(other, true);
            converted->SetGeometryKind(kind, true);
            const std::vector<CPoint2> back = EndsOf(*converted);
            for (size_t i = 0; i < ends.size(); ++i)
                ExpectNear(ends[i], back[i], 1.0f);
        }
        // The same kind keeps the very body; another kind no tunnel has is
        // reported and keeps it too.
        const CTunnelGeometry* body = &tunnel->GetGeometry();
        tunnel->SetGeometryKind(kind, true);
        EXPECT_EQ(body, &tunnel->GetGeometry());
        EXPECT_EQ(1, CountReports([&] { tunnel->SetGeometryKind(3, true); }));
        EXPECT_EQ(body, &tunnel->GetGeometry());
    }
}

TEST_F(Tunnel, Version4RecordsHoldTheFlexibleBodyFirst)
{
    for (int kind : {CTunnelGeometry::kFlexible, CTunnelGeometry::kRigid, CTunnelGeometry::kPolyline}) {
        auto tunnel = Bent(kind);
        const std::string record = RecordOf(*tunnel);
        CTunnelFlexibleGeometry body(*tunnel);
        body.ConvertFrom(tunnel->GetGeometry());
        CFieldWriter expected;
        expected.m_versionMajor = 4;
        if (kind == CTunnelGeometry::kFlexible)
            Flexible(*tunnel).Serialize(expected);
        else
            body.Serialize(expected);
        expected.WriteInt8(kind);
        if (kind == CTunnelGeometry::kPolyline)
            Polyline(*tunnel).Serialize(expected);
        EXPECT_EQ(expected.m_bytes, record) << kind;

        CTunnel read;
        read.SetPlacement(tunnel->GetPlacement());
        ReadRecord(read, record);
        EXPECT_EQ(kind, read.GetGeometry().GetKind());
        EXPECT_EQ(record, RecordOf(read)) << kind;
    }
}

TEST_F(Tunnel, ToolOnAnAkcCourseMakesAPolylineOfFourSegments)
{
    ASSERT_EQ(L"AKC", course->GetSpecList().GetName());
    auto dialog = CTunnel::GetTunnelType().CreatePropertiesDialog(course.get(), 2600);
    auto object = CTunnel::GetTunnelType().CreateNew(course.get(), coursetest::MakePlacement(2000, 2000), dialog.get());
    CTunnel& tunnel = static_cast<CTunnel&>(*object);
    ASSERT_EQ(CTunnelGeometry::kPolyline, tunnel.GetGeometry().GetKind());
    const std::deque<CPoint2> expected = {{0, 0}, {450, 0}, {900, 0}, {1350, 0}, {1800, 0}};
    EXPECT_EQ(expected, Polyline(tunnel).GetPoints());
    // Its record: the flexible body, 2, the line's points.
    const std::string record = RecordOf(tunnel);
    CFieldReader reader(record);
    float length = 0.0f;
    float diameter = 0.0f;
    reader.ReadFloat16(length);
    reader.ReadFloat16(diameter);
    EXPECT_EQ(1800.0f, length);
    EXPECT_EQ(240.0f, diameter);
    int32_t sections = 0;
    reader.ReadInt8(sections);
    ASSERT_GT(sections, 0);
    for (int32_t i = 0; i < 2 * sections; ++i)
        reader.ReadFloat16(length);
    int32_t kind = -1;
    int32_t count = 0;
    reader.ReadInt8(kind);
    reader.ReadInt8(count);
    EXPECT_EQ(2, kind);
    EXPECT_EQ(5, count);
    CTunnel read;
    read.SetPlacement(tunnel.GetPlacement());
    ReadRecord(read, record);
    EXPECT_EQ(expected, Polyline(read).GetPoints());
    EXPECT_EQ(tunnel.GetPlacement(), read.GetPlacement());
}

TEST_F(Tunnel, Version3RecordsArePolylinesOrRigidBends)
{
    auto tunnel = Bent(CTunnelGeometry::kFlexible);
    const std::string record = RecordOf(*tunnel, 3);
    CTunnelPolylineGeometry line(*tunnel);
    line.ConvertFrom(tunnel->GetGeometry());
    CFieldWriter expected;
    expected.m_versionMajor = 3;
    expected.WriteFloat16(1800.0f);
    expected.WriteInt16(-1);
    expected.WriteInt8(5);
    for (const CPoint2& p : line.GetPoints())
        expected.WritePoint(p);
    EXPECT_EQ(expected.m_bytes, record);

    CTunnel polyline;
    polyline.SetPlacement(tunnel->GetPlacement());
    ReadRecord(polyline, record, 3);
    ASSERT_EQ(CTunnelGeometry::kPolyline, polyline.GetGeometry().GetKind());
    EXPECT_EQ(240.0f, polyline.GetGeometry().GetDiameter());
    // Read, the line is anchored at its start: written and read again, it
    // stays as it is.
    const std::string again = RecordOf(polyline, 3);
    CTunnel second;
    second.SetPlacement(polyline.GetPlacement());
    ReadRecord(second, again, 3);
    EXPECT_EQ(again, RecordOf(second, 3));
    EXPECT_EQ(polyline.GetPlacement(), second.GetPlacement());
    const std::vector<CPoint2> ends = EndsOf(*tunnel);
    for (int i = 0; i < 4; ++i)
        ExpectNear(ends[size_t(i)], polyline.GetObstacleEnd(i).GetCoursePoint(), 1.0f);

    // A second value of 0 or more is the bend of a rigid tunnel, about its
    // middle.
    for (int angle : {0, 90}) {
        CFieldWriter rigid;
        rigid.WriteInt16(1500);
        rigid.WriteInt16(angle);
        CTunnel read;
        ReadRecord(read, rigid.m_bytes, 3);
        ASSERT_EQ(CTunnelGeometry::kRigid, read.GetGeometry().GetKind());
        EXPECT_EQ(float(angle), Rigid(read).GetUserAngle());
        EXPECT_EQ(1500.0f, read.GetGeometry().GetNominalLength());
    }
}

TEST_F(Tunnel, LegacyListingTunnelsAreFlexible)
{
    const std::string text =
        "Begin Fendrel\r\nVersion 2000\r\nDimensions 100 80\r\n"
        "Tunnel 20 20 0 0 0 180\r\nTunnel 50 40 90 2 2 150\r\nEnd Fendrel\r\n";
    std::istringstream in(text);
    ASSERT_TRUE(course->ReadTextBlock(in, false, false));
    ASSERT_EQ(2u, course->GetObjectCount());
    for (CCourseObject* object : course->GetObjects()) {
        CTunnel& tunnel = dynamic_cast<CTunnel&>(*object);
        EXPECT_EQ(CTunnelGeometry::kFlexible, tunnel.GetGeometry().GetKind());
    }
    // A rigid tunnel given legacy parameters becomes flexible.
    auto rigid = Bent(CTunnelGeometry::kRigid);
    std::istringstream words("4 4 200");
    rigid->ApplyVariant("Tunnel", words);
    EXPECT_EQ(CTunnelGeometry::kFlexible, rigid->GetGeometry().GetKind());
    EXPECT_EQ(2000.0f, rigid->GetGeometry().GetNominalLength());
}

TEST_F(Tunnel, SizeTextAndDialogValues)
{
    auto tunnel = MakeTunnel(course.get(), CTunnelGeometry::kFlexible, 3, 2400.0f);
    EXPECT_EQ(GetStringWithArg(2040, FormatLength(2400.0f, 2, true)), tunnel->GetSizeText());
    EXPECT_NE(std::wstring::npos, tunnel->GetSizeText().find(L"20"));
    course->SetMetric(true);
    EXPECT_EQ(GetStringWithArg(2040, FormatLength(2400.0f, 6, true)), tunnel->GetSizeText());

    auto rigid = Bent(CTunnelGeometry::kRigid);
    CTunnelPropertiesDlg dialog(course.get());
    tunnel->FillPropertiesDialog(dialog);
    rigid->FillPropertiesDialog(dialog);
    EXPECT_TRUE(dialog.IsStyleMixed());
    EXPECT_EQ(3, dialog.GetSections());
    EXPECT_EQ(90, dialog.GetAngle());
    EXPECT_FALSE(dialog.HasLength());
    EXPECT_EQ(240.0f, dialog.GetDiameter());
    // A mixed style keeps each tunnel's kind.
    tunnel->FromDialog(dialog);
    rigid->FromDialog(dialog);
    EXPECT_EQ(CTunnelGeometry::kFlexible, tunnel->GetGeometry().GetKind());
    EXPECT_EQ(CTunnelGeometry::kRigid, rigid->GetGeometry().GetKind());
    EXPECT_EQ(90.0f, Rigid(*rigid).GetUserAngle());
    EXPECT_EQ(3u, Flexible(*tunnel).GetSections().size());
    // Only the tunnel dialog fits.
    CObjectPropertiesDlg plain(course.get(), 2600);
    EXPECT_EQ(2, CountReports([&] {
                  tunnel->ToDialog(plain);
                  tunnel->FromDialog(plain);
              }));
}

// Each case ends within the test's time limit: sample and hoop counts are
// capped, however long or thin a damaged tunnel is.
TEST_F(Tunnel, DamagedRecordsLoadEditDrawAndBuildFinitely)
{
    struct CCase
    {
        const char* name;
        std::vector<float> flexible;  // length, diameter, count, angle and length per section
        int kind;
        int points;
    };
    const CCase cases[] = {
        {"diameter 0", {1800, 0, 1, 90, 1800}, 0, 0},
        {"no sections", {1800, 240, 0}, 0, 0},
        {"huge", {32767, 240, 2, 127, 32767, -127, 32767}, 0, 0},
        {"negative length", {-32768, 240, 1, 0, -500}, 1, 0},
        {"polyline of no points", {1800, 240, 1, 0, 1800}, 2, 0},
        {"polyline of one point", {1800, 240, 1, 0, 1800}, 2, 1},
        {"polyline of -3 points", {1800, 240, 1, 0, 1800}, 2, -3},
        {"polyline of far points", {1800, 0, 1, 0, 1800}, 2, 40},
        {"unknown kind", {1800, 240, 1, 0, 1800}, 9, 0},
    };
    for (const CCase& c : cases) {
        CFieldWriter record;
        record.WriteFloat16(c.flexible[0]);
        record.WriteFloat16(c.flexible[1]);
        record.WriteInt8(int(c.flexible[2]));
        for (size_t i = 3; i < c.flexible.size(); ++i)
            record.WriteFloat16(c.flexible[i]);
        record.WriteInt8(c.kind);
        if (c.kind == 2) {
            record.WriteInt8(c.points);
            for (int i = 0; i < c.points; ++i)
                record.WritePoint(float((i * 7919) % 30000 - 15000), float((i * 104729) % 30000 - 15000));
        }
        CTunnel tunnel;
        const int before = ReportCount();
        ReadRecord(tunnel, record.m_bytes);
        EXPECT_EQ(before, ReportCount()) << c.name;
        tunnel.Flip();
        tunnel.ResetShape();
        for (int handle = 0; handle < tunnel.GetEndCount(); ++handle) {
            if (tunnel.GetCategoryFor(handle) != 3)
                continue;
            tunnel.StartHandleMove(handle);
            tunnel.MoveHandle(handle, 700.0f, -300.0f);
            tunnel.EndHandleMove();
        }
        auto drawn = Draw(tunnel);
        EXPECT_EQ(0, drawn->NotFinite()) << c.name;
        EXPECT_GT(drawn->plan.pathPoints, 0) << c.name;
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(IsFinite(tunnel.GetObstacleEnd(i).GetCoursePoint())) << c.name;
        EXPECT_TRUE(std::isfinite(tunnel.GetGeometry().GetLength())) << c.name;
    }
}

TEST_F(Tunnel, SummaryNamesTheLengthsOfBothTunnels)
{
    course->SetSpecList(0);
    const std::string text =
        "Begin Fendrel\r\nVersion 2000\r\nDimensions 100 80\r\n"
        "Tunnel 20 20 0 2 2 180\r\nCollapsedTunnel 50 40 90 96\r\nEnd Fendrel\r\n";
    std::istringstream in(text);
    ASSERT_TRUE(course->ReadTextBlock(in, false, false));
    const std::wstring tunnel = course->GetSpecList().GetTerm(2600) + L", ";
    const std::wstring collapsed = course->GetSpecList().GetTerm(2534) + L", ";
    for (bool metric : {false, true}) {
        course->SetMetric(metric);
        std::wostringstream summary;
        course->DescribeCourse(summary, false);
        const int kind = metric ? 6 : 2;
        const std::wstring lines = summary.str();
        EXPECT_NE(std::wstring::npos, lines.find(tunnel + GetStringWithArg(2040, FormatLength(1800.0f, kind, true))));
        EXPECT_NE(std::wstring::npos,
                  lines.find(collapsed + GetStringWithArg(2038, FormatLength(1260.0f, kind, true))));
        EXPECT_NE(std::wstring::npos, lines.find(metric ? L"457 cm long" : L"15 ft long")) << metric;
        EXPECT_NE(std::wstring::npos, lines.find(metric ? L"320 cm long" : L"10 ft 6 in long")) << metric;
    }
}

TEST_F(Tunnel, MirroringACourseMirrorsEveryKindOfTunnel)
{
    const CPoint2 centre(course->GetWidth() * 0.5f, course->GetHeight() * 0.5f);
    for (int kind : {CTunnelGeometry::kFlexible, CTunnelGeometry::kRigid, CTunnelGeometry::kPolyline}) {
        for (bool acrossVertical : {true, false}) {
            auto made = Bent(kind);
            CTunnel& tunnel = *made;
            course->AddObject(std::move(made));
            tunnel.Invalidate();
            const std::vector<CPoint2> before = EndsOf(tunnel);
            course->SelectAll();
            course->FlipSelection(acrossVertical);
            const std::vector<CPoint2> after = EndsOf(tunnel);
            for (size_t i = 0; i < before.size(); ++i) {
                const CPoint2 mirrored = acrossVertical ? CPoint2(2.0f * centre.x - before[i].x, before[i].y)
                                                        : CPoint2(before[i].x, 2.0f * centre.y - before[i].y);
                ExpectNear(mirrored, after[i], 1.0f);
            }
            course->SelectAll();
            course->DeleteSelected();
        }
    }
}
