#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "course/SpecList.h"
#include "dialogs/LengthFormat.h"
#include "foundation/Strings.h"
#include "tests/objects/equipment/TunnelTestSupport.h"
#include "tests/support/CanvasTestHelpers.h"
#include "tests/support/FailureReports.h"
#include "tests/support/GeometryExpectations.h"
#include "tests/support/TestSupport.h"

using namespace tunneltest;

namespace {

const int kKinds[] = {CTunnelGeometry::kFlexible, CTunnelGeometry::kRigid, CTunnelGeometry::kPolyline};

class Tunnel : public CTunnelFixture
{
protected:
    // A tunnel of the kind, bent by 90 degrees at (4000, 4000).
    std::unique_ptr<CTunnel> Bent(int kind)
    {
        auto tunnel = MakeTunnel(course.get(), CTunnelGeometry::kRigid, 90, 1800.0f,
                                 coursetest::MakePlacement(4000.0f, 4000.0f));
        CTunnelPropertiesDlg style(course.get());
        style.MergeStyle(kind);
        style.MergeSections(kind == CTunnelGeometry::kPolyline ? 4 : 2);
        style.MergeAngle(90);
        tunnel->FromDialog(style);
        return tunnel;
    }

    // Reads a listing into the course; its objects as tunnels.
    std::vector<CCourseObject*> ReadListing(const std::string& lines)
    {
        std::istringstream in("Begin Fendrel\r\nVersion 2000\r\nDimensions 100 80\r\n" + lines + "End Fendrel\r\n");
        EXPECT_TRUE(course->ReadTextBlock(in, false));
        return std::vector<CCourseObject*>(course->GetObjects().begin(), course->GetObjects().end());
    }
};

}  // namespace

CHILD_TEST(TunnelRegistry, BothTunnelsAreFoundAtTheFirstLookup)
{
    const CObjectType* tunnel = FindObjectTypeById(340);
    if (tunnel != &CTunnel::GetTunnelType() || FindObjectTypeByKeyName("Tunnel") != tunnel)
        return 1;
    const CObjectType* collapsed = FindObjectTypeByKeyName("CollapsedTunnel");
    return collapsed && collapsed->GetTypeId() == 50 && FindObjectTypeByNameId(2600) == tunnel ? 0 : 2;
}

TEST_F(Tunnel, TypeEndsAndPosition)
{
    const CTunnel::CTunnelType& type = CTunnel::GetTunnelType();
    EXPECT_EQ((std::vector<int>{10, 30, 31}), type.GetPartColors().GetParts());
    EXPECT_TRUE(type.GetEditOnCreateDefault());
    EXPECT_NE(nullptr, dynamic_cast<CTunnelPropertiesDlg*>(type.CreatePropertiesDialog(course.get(), 2600).get()));

    auto tunnel = Bent(CTunnelGeometry::kFlexible);
    EXPECT_EQ(3, tunnel->GetLayer());
    const int kinds[4] = {2, 2, 1, 1};
    CPoint2 farEnd;
    CPoint2 direction;
    tunnel->GetGeometry().GetFarEnd(farEnd, direction);
    const CPoint2 points[4] = {CPoint2(), farEnd, CPoint2(), farEnd};
    const CPoint2 directions[4] = {{-10000.0f, 0.0f}, direction, {10000.0f, 0.0f}, CPoint2() - direction};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(kinds[i], tunnel->GetObstacleEnd(i).GetEndKind());
        EXPECT_EQ(points[i], tunnel->GetObstacleEnd(i).point);
        EXPECT_EQ(directions[i], tunnel->GetObstacleEnd(i).direction);
    }
    // The position is the rounded centre of the bounds, not the start.
    tunnel->RefreshExtents();
    const CPoint2 centre = tunnel->GetBoundingRect().GetCentre();
    EXPECT_EQ(CPoint2(std::floor(centre.x + 0.5f), std::floor(centre.y + 0.5f)), tunnel->GetPosition());
    EXPECT_NE(tunnel->GetPlacement().GetPosition2D(), tunnel->GetPosition());
}

TEST_F(Tunnel, KindSwitchesConvertTheShape)
{
    // A body (flexible or rigid) made into each other kind and back keeps
    // its ends within a unit.
    for (int kind : {CTunnelGeometry::kFlexible, CTunnelGeometry::kRigid}) {
        const std::vector<CPoint2> ends = EndsOf(*Bent(kind));
        for (int other : kKinds) {
            auto converted = Bent(kind);
            converted->SetGeometryKind(other, true);
            converted->SetGeometryKind(kind, true);
            const std::vector<CPoint2> back = EndsOf(*converted);
            for (size_t i = 0; i < ends.size(); ++i)
                ExpectNear(ends[i], back[i], 1.0f);
        }
        // The same kind keeps the very body, as does a kind no tunnel has.
        auto tunnel = Bent(kind);
        const CTunnelGeometry* body = &tunnel->GetGeometry();
        tunnel->SetGeometryKind(kind, true);
        EXPECT_EQ(1, CountReports([&] { tunnel->SetGeometryKind(3, true); }));
        EXPECT_EQ(body, &tunnel->GetGeometry());
    }
}

TEST_F(Tunnel, Version4RecordsHoldTheFlexibleBodyFirst)
{
    for (int kind : kKinds) {
        auto tunnel = Bent(kind);
        CTunnelFlexibleGeometry body(*tunnel);
        body.ConvertFrom(tunnel->GetGeometry());
        CFieldWriter expected;
        expected.m_versionMajor = 4;
        (kind == CTunnelGeometry::kFlexible ? static_cast<CTunnelGeometry&>(Flexible(*tunnel)) : body)
            .Serialize(expected);
        expected.WriteInt8(kind);
        if (kind == CTunnelGeometry::kPolyline)
            Polyline(*tunnel).Serialize(expected);
        const std::string record = RecordOf(*tunnel);
        EXPECT_EQ(expected.m_bytes, record) << kind;
        CTunnel read;
        read.SetPlacement(tunnel->GetPlacement());
        ReadRecord(read, record);
        EXPECT_EQ(kind, read.GetGeometry().GetKind());
        EXPECT_EQ(record, RecordOf(read)) << kind;
    }
}

TEST_F(Tunnel, ToolOnAnAkcCourseMakesALineOfFourSegments)
{
    auto dialog = CTunnel::GetTunnelType().CreatePropertiesDialog(course.get(), 2600);
    auto object = CTunnel::GetTunnelType().CreateNew(course.get(), coursetest::MakePlacement(2000, 2000), dialog.get());
    CTunnel& tunnel = static_cast<CTunnel&>(*object);
    const std::deque<CPoint2> line = {{0, 0}, {450, 0}, {900, 0}, {1350, 0}, {1800, 0}};
    EXPECT_EQ(line, Polyline(tunnel).GetPoints());
    // Its record: the flexible body of length 1800 and diameter 240, kind 2,
    // the five points.
    const std::string record = RecordOf(tunnel);
    CFieldReader reader(record);
    float value = 0.0f;
    int32_t count = 0;
    for (float expected : {1800.0f, 240.0f}) {
        reader.ReadFloat16(value);
        EXPECT_EQ(expected, value);
    }
    reader.ReadInt8(count);
    for (int32_t i = 0; i < 2 * count; ++i)
        reader.ReadFloat16(value);
    for (int expected : {2, 5}) {
        reader.ReadInt8(count);
        EXPECT_EQ(expected, count);
    }
    CTunnel read;
    read.SetPlacement(tunnel.GetPlacement());
    ReadRecord(read, record);
    EXPECT_EQ(line, Polyline(read).GetPoints());
    EXPECT_EQ(tunnel.GetPlacement(), read.GetPlacement());
}

TEST_F(Tunnel, Version3RecordsArePolylinesOrRigidBends)
{
    auto tunnel = Bent(CTunnelGeometry::kFlexible);
    CTunnelPolylineGeometry line(*tunnel);
    line.ConvertFrom(tunnel->GetGeometry());
    CFieldWriter expected;
    expected.WriteFloat16(1800.0f);
    expected.WriteInt16(-1);
    expected.WriteInt8(5);
    for (const CPoint2& p : line.GetPoints())
        expected.WritePoint(p);
    const std::string record = RecordOf(*tunnel, 3);
    EXPECT_EQ(expected.m_bytes, record);
    // Read, the line stays where the record has it, so it is written as it
    // was: the same placement and bytes, the same ends, diameter 240.
    CTunnel polyline;
    polyline.SetPlacement(tunnel->GetPlacement());
    ReadRecord(polyline, record, 3);
    EXPECT_EQ(240.0f, polyline.GetGeometry().GetDiameter());
    EXPECT_EQ(tunnel->GetPlacement(), polyline.GetPlacement());
    EXPECT_EQ(record, RecordOf(polyline, 3));
    for (size_t i = 0; i < 4; ++i)
        ExpectNear(EndsOf(*tunnel)[i], EndsOf(polyline)[i], 1.0f);
    // A second value of 0 or more is the bend of a rigid tunnel.
    for (int angle : {0, 90}) {
        CFieldWriter rigid;
        rigid.WriteInt16(1500);
        rigid.WriteInt16(angle);
        CTunnel read;
        ReadRecord(read, rigid.m_bytes, 3);
        EXPECT_EQ(float(angle), Rigid(read).GetUserAngle());
        EXPECT_EQ(1500.0f, read.GetGeometry().GetNominalLength());
    }
}

TEST_F(Tunnel, LegacyTunnelsAreFlexibleAndTheSummaryNamesBothLengths)
{
    course->SetSpecList(0);
    for (CCourseObject* object : ReadListing("Tunnel 20 20 0 2 2 180\r\nCollapsedTunnel 50 40 90 96\r\n")) {
        if (CTunnel* tunnel = dynamic_cast<CTunnel*>(object)) {
            EXPECT_EQ(CTunnelGeometry::kFlexible, tunnel->GetGeometry().GetKind());
        }
    }
    for (bool metric : {false, true}) {
        course->SetMetric(metric);
        std::wostringstream summary;
        course->DescribeCourse(summary, false);
        const EUnitKind kind = GetSizeUnitKind(metric);
        const CSpecList& terms = course->GetSpecList();
        for (const std::wstring& line :
             {terms.GetTerm(2600) + L", " + GetStringWithArg(2040, FormatLength(1800.0f, kind, true)),
              terms.GetTerm(2534) + L", " + GetStringWithArg(2038, FormatLength(1260.0f, kind, true)),
              std::wstring(metric ? L"457 cm long" : L"15 ft long"), std::wstring(metric ? L"320 cm" : L"10 ft 6 in")})
            EXPECT_NE(std::wstring::npos, summary.str().find(line)) << metric;
    }
    // A rigid tunnel given a legacy line becomes flexible.
    auto rigid = Bent(CTunnelGeometry::kRigid);
    std::istringstream words("4 4 200");
    rigid->ApplyVariant("Tunnel", words);
    EXPECT_EQ(CTunnelGeometry::kFlexible, rigid->GetGeometry().GetKind());
}

TEST_F(Tunnel, TheSummaryGivesEveryTunnelItsOwnLengthStraightOrBent)
{
    // A 15-foot tunnel of each kind, straight and bent, and a collapsed
    // tunnel as long: bending leaves the length as it is.
    ReadListing("CollapsedTunnel 50 40 90 150\r\n");
    for (int kind : kKinds) {
        course->AddObject(MakeTunnel(course.get(), kind, kind == CTunnelGeometry::kRigid ? 0 : 4, 1800.0f));
        course->AddObject(Bent(kind));
    }
    const CSpecList& terms = course->GetSpecList();
    for (bool metric : {false, true}) {
        course->SetMetric(metric);
        std::wostringstream summary;
        course->DescribeCourse(summary, false);
        const std::wstring length = metric ? L"457 cm long" : L"15 ft long";
        for (const std::wstring& line :
             {L"  6 " + terms.GetTerm(2600) + L", " + length, L"  1 " + terms.GetTerm(2534) + L", " + length})
            EXPECT_NE(std::wstring::npos, summary.str().find(line + L"\r\n")) << summary.str();
    }
}

TEST_F(Tunnel, UndoingEditsBackToTheStartGivesTheFirstBytes)
{
    // Bent tunnels of each kind, flipped (a line then runs the other way),
    // dragged by their last handle and switched to the next kind.
    for (int kind : kKinds)
        course->AddObject(Bent(kind));
    course->SelectAll();
    course->FlipSelection(true);
    course->MarkUnmodified(true);
    std::string first;
    course->WriteArchive(first, false, false, false);
    for (CCourseObject* object : course->GetObjects()) {
        const int handle = object->GetEndCount() - 1;
        if (object->GetCategoryFor(handle) != 3)
            continue;
        CPoint2 end;
        object->GetEnd(end, handle);
        end = object->GetPlacement().TransformPoint2D(end) + CPoint2(150.0f, -90.0f);
        object->StartHandleMove(handle);
        object->MoveHandle(handle, end.x, end.y);
        object->EndHandleMove();
    }
    course->CommitUndoStep(L"Drag");
    for (CCourseObject* object : course->GetObjects()) {
        CTunnelPropertiesDlg style(course.get());
        style.MergeStyle((static_cast<CTunnel*>(object)->GetGeometry().GetKind() + 1) % 3);
        style.MergeSections(3);
        style.MergeAngle(45);
        object->FromDialog(style);
    }
    course->CommitUndoStep(L"Style");
    while (course->CanUndo())
        ASSERT_TRUE(course->Undo());
    std::string undone;
    course->WriteArchive(undone, false, false, false);
    EXPECT_EQ(first, undone);
}

TEST_F(Tunnel, DialogsMergeStyleLengthAndDiameter)
{
    auto flexible = MakeTunnel(course.get(), CTunnelGeometry::kFlexible, 3, 2400.0f);
    auto rigid = Bent(CTunnelGeometry::kRigid);
    CTunnelPropertiesDlg dialog(course.get());
    flexible->FillPropertiesDialog(dialog);
    rigid->FillPropertiesDialog(dialog);
    EXPECT_TRUE(dialog.IsStyleMixed());
    EXPECT_EQ(3, dialog.GetSections());
    EXPECT_EQ(90, dialog.GetAngle());
    EXPECT_FALSE(dialog.HasLength());
    // A mixed style keeps each tunnel's kind.
    flexible->FromDialog(dialog);
    rigid->FromDialog(dialog);
    EXPECT_EQ(3u, Flexible(*flexible).GetSections().size());
    EXPECT_EQ(90.0f, Rigid(*rigid).GetUserAngle());
    CObjectPropertiesDlg plain(course.get(), 2600);
    EXPECT_EQ(2, CountReports([&] {
                  flexible->ToDialog(plain);
                  flexible->FromDialog(plain);
              }));
}

TEST_F(Tunnel, MirroringACourseMirrorsEveryKind)
{
    const CPoint2 centre(course->GetWidth() * 0.5f, course->GetHeight() * 0.5f);
    for (int kind : kKinds) {
        for (bool acrossVertical : {true, false}) {
            auto made = Bent(kind);
            CTunnel& tunnel = *made;
            course->AddObject(std::move(made));
            tunnel.Invalidate();
            const std::vector<CPoint2> before = EndsOf(tunnel);
            course->SelectAll();
            course->FlipSelection(acrossVertical);
            for (size_t i = 0; i < before.size(); ++i) {
                const CPoint2 mirrored = acrossVertical ? CPoint2(2.0f * centre.x - before[i].x, before[i].y)
                                                        : CPoint2(before[i].x, 2.0f * centre.y - before[i].y);
                ExpectNear(mirrored, EndsOf(tunnel)[i], 1.0f);
            }
            course->DeleteSelected();
        }
    }
}

// Each case ends within the test's time limit: sample and hoop counts are
// capped, however long or thin a damaged tunnel is.
TEST_F(Tunnel, DamagedRecordsLoadEditDrawAndBuildFinitely)
{
    const struct
    {
        std::string flexible;
        int kind;
        int points;
    } cases[] = {
        {Record({1800, 0, 1, 90, 1800}, {2}), 0, 0},
        {Record({1800, 240, 0}, {2}), 0, 0},
        {Record({32767, 240, 2, 127, 32767, -127, 32767}, {2}), 0, 0},
        {Record({-32768, 240, 1, 0, -500}, {2}), 1, 0},
        {Record({1800, 240, 1, 0, 1800}, {2}), 2, 0},
        {Record({1800, 240, 1, 0, 1800}, {2}), 2, 1},
        {Record({1800, 240, 1, 0, 1800}, {2}), 2, -3},
        {Record({1800, 0, 1, 0, 1800}, {2}), 2, 40},
        {Record({1800, 240, 1, 0, 1800}, {2}), 9, 0},
    };
    int index = 0;
    for (const auto& c : cases) {
        CFieldWriter record;
        record.m_bytes = c.flexible;
        record.WriteInt8(c.kind);
        record.WriteInt8(c.points);
        for (int i = 0; i < c.points; ++i)
            record.WritePoint(float((i * 7919) % 30000 - 15000), float((i * 104729) % 30000 - 15000));
        CTunnel tunnel;
        EXPECT_EQ(0, CountReports([&] { ReadRecord(tunnel, record.m_bytes); })) << index;
        tunnel.Flip();
        tunnel.ResetShape();
        for (int handle = 0; handle < tunnel.GetEndCount(); ++handle) {
            if (tunnel.GetCategoryFor(handle) == 3) {
                tunnel.StartHandleMove(handle);
                tunnel.MoveHandle(handle, 700.0f, -300.0f);
                tunnel.EndHandleMove();
            }
        }
        auto drawn = DrawBoth(tunnel);
        EXPECT_GT(drawn->plan.pathPoints, 0) << index;
        for (const CPoint2& end : EndsOf(tunnel))
            EXPECT_TRUE(IsFinite(end)) << index;
        EXPECT_TRUE(std::isfinite(tunnel.GetGeometry().GetLength())) << index++;
    }
}

TEST_F(Tunnel, ACourseOfTunnelsAsLongAsRecordsMakeThemReadsWithBoundedWork)
{
    // The work a tunnel takes: the samples its body is fitted to (a line's,
    // or a flexible body's own when refitted), the hoops and the sections of
    // its body (for a line, of the body fitted to it).
    const auto work = [](CTunnel& tunnel) {
        size_t samples = 0;
        const CTunnelBodyGeometry* body = dynamic_cast<const CTunnelBodyGeometry*>(&tunnel.GetGeometry());
        if (tunnel.GetGeometry().GetKind() == CTunnelGeometry::kPolyline) {
            samples = CTunnelFlexibleGeometry::SampleLine(Polyline(tunnel)).size();
            body = &Polyline(tunnel).GetFittedBody();
        } else if (tunnel.GetGeometry().GetKind() == CTunnelGeometry::kFlexible) {
            samples = Flexible(tunnel).SampleCentreLine().size();
        }
        return samples + body->GetLeftHoops().size() + body->GetSections().size();
    };
    size_t standard = 0;
    for (int kind : kKinds)
        standard = std::max(standard, work(*Bent(kind)));

    // A line zigzagging across the whole stored range, and bodies of the
    // most sections, each of the longest length, and of the least diameter;
    // in version 3 the line and a rigid bend of the longest length.
    const auto record = [](const std::string& fields) {
        CFieldWriter writer;
        writer.WriteInt16(CTunnel::kTypeId);
        CTunnel().GetPartColors().Write(writer);
        writer.WriteFloat16(0.0f);
        writer.WritePoint(5000.0f, 5000.0f);
        writer.m_bytes += fields;
        writer.EndField();
        return writer.m_bytes;
    };
    CFieldWriter line;
    line.WriteInt8(127);
    for (int i = 0; i < 127; ++i)
        line.WritePoint(i % 2 ? 32000.0f : -32000.0f, float(i * 500 - 31000));
    CFieldWriter body;
    body.WriteFloat16(32767.0f);
    body.WriteFloat16(10.0f);
    body.WriteInt8(127);
    for (int i = 0; i < 127; ++i) {
        body.WriteFloat16(i % 2 ? 100.0f : -100.0f);
        body.WriteFloat16(32767.0f);
    }
    const std::string tunnels[2] = {
        record(Record({1800, 240, 1, 0, 1800, CTunnelGeometry::kPolyline}, {2, 5}) + line.m_bytes) +
            record(body.m_bytes + Record({CTunnelGeometry::kFlexible}, {0})) +
            record(body.m_bytes + Record({CTunnelGeometry::kRigid}, {0})),
        record(Record({32767, -1}) + line.m_bytes) + record(Record({32767, 90}))};
    const size_t kinds[2] = {3, 2};
    for (int older = 0; older < 2; ++older) {
        std::string archive;
        MakeCourse()->WriteArchive(archive, false, older == 1, false);
        for (int copy = 0; copy < 100; ++copy)
            archive.insert(archive.size() - (older == 1 ? 0 : 3), tunnels[older]);
        course = MakeCourse();
        ASSERT_TRUE(course->LoadArchive(archive, false, false));
        ASSERT_EQ(100 * kinds[older], course->GetObjectCount());
        // Read, no tunnel has laid hoops, traced an outline or fitted a body
        // to its line; drawn, one of each kind builds what it draws, and no
        // more.
        size_t index = 0;
        for (CCourseObject* object : course->GetObjects()) {
            CTunnel& tunnel = static_cast<CTunnel&>(*object);
            EXPECT_FALSE(tunnel.GetGeometry().IsShapeBuilt());
            if (index++ < kinds[older]) {
                DrawBoth(tunnel);
                EXPECT_TRUE(tunnel.GetGeometry().IsShapeBuilt());
                EXPECT_LE(work(tunnel), 10 * standard);
            }
        }
    }
}

TEST_F(Tunnel, ALineReadBackKeepsTheBodyItsRecordHoldsWhereItFits)
{
    CFieldWriter line;
    line.WriteInt8(CTunnelGeometry::kPolyline);
    line.WriteInt8(3);
    for (float x : {0.0f, 900.0f, 1800.0f})
        line.WritePoint(x, 0.0f);
    // Two sections where the fit would make one: they end where the line
    // does and stand; half the length does not, and the line is fitted.
    const std::string fits = Record({1800, 240, 2, 0, 900, 0, 900}, {2}) + line.m_bytes;
    const std::string short_ = Record({1800, 240, 1, 0, 900}, {2}) + line.m_bytes;
    for (const std::string& record : {fits, short_}) {
        CTunnel read;
        ReadRecord(read, record);
        EXPECT_EQ(record == fits, record == RecordOf(read));
        EXPECT_NEAR(1800.0f, DrawBoth(read)->model.vertexBox.maxX, 1.0f);
    }
}

TEST_F(Tunnel, ALineReachingBeyondTheStoredRangeStopsAtItsEdgeWhenAnchoredAndReadsBackTheSame)
{
    // Anchored at its first point, this line would reach 60000 units along.
    CFieldWriter line;
    line.WriteInt8(CTunnelGeometry::kPolyline);
    line.WriteInt8(3);
    const std::deque<CPoint2> points = {{-30000.0f, 0.0f}, {0.0f, 0.0f}, {30000.0f, 0.0f}};
    for (const CPoint2& p : points)
        line.WritePoint(p);
    CTunnel read;
    ReadRecord(read, Record({1800, 240, 1, 0, 900}, {2}) + line.m_bytes);
    // Read, it stays as its record has it; anchored, as an edit anchors it,
    // it stops at the edge.
    EXPECT_EQ(points, Polyline(read).GetPoints());
    EXPECT_EQ(CPoint2(), read.GetPlacement().GetPosition2D());
    Polyline(read).Reanchor();
    for (const CPoint2& p : Polyline(read).GetPoints())
        EXPECT_EQ(p, CFieldStream::LimitPoint(p));
    EXPECT_EQ(CPoint2(-30000.0f, 0.0f), read.GetPlacement().GetPosition2D());
    const std::string written = RecordOf(read);
    CTunnel again;
    ReadRecord(again, written);
    EXPECT_EQ(written, RecordOf(again));
    EXPECT_EQ(Polyline(read).GetPoints(), Polyline(again).GetPoints());
}

TEST_F(Tunnel, ABodyWhollyOutsideABitmapLaysNoHoopsWhileOneReachingInPaintsThere)
{
    // 1800 long and 240 wide at a fiftieth: 36 pixels by about 5, the
    // bitmap 64 square. The first body ends 24 pixels left of it; the
    // second one 6 pixels into it. A metafile takes every body.
    for (const float left : {-60.0f, -30.0f}) {
        auto tunnel = MakeTunnel(course.get(), CTunnelGeometry::kFlexible, 2, 1800.0f);
        tunnel->ResetShape();
        ASSERT_FALSE(tunnel->GetGeometry().IsShapeBuilt());
        CDibCanvas target(64, 64);
        target.canvas.m_state.matrix.SetPosition2D(left, 32.0f);
        target.canvas.m_state.matrix.Scale(0.02f);
        target.canvas.DrawDrawable(tunnel->GetShape2D(), 0, 0);
        const bool reaches = left > -36.0f;
        EXPECT_EQ(reaches, tunnel->GetGeometry().IsShapeBuilt()) << left;
        EXPECT_EQ(reaches, target.CountColor(0, 0, 64, 64, 0xFFFFFFFF) < 64 * 64) << left;
        if (reaches)
            continue;
        CMetafileRecords emf([&](CGdiGraphics& gc) { gc.DrawDrawable(tunnel->GetShape2D(), 0, 0); });
        EXPECT_TRUE(tunnel->GetGeometry().IsShapeBuilt());
        EXPECT_FALSE(emf.OfType(EMR_FILLPATH).empty());
    }
}
