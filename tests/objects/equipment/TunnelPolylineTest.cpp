#include <gtest/gtest.h>

#include <cmath>
#include <deque>

#include "tests/objects/equipment/TunnelTestSupport.h"
#include "tests/support/FailureReports.h"
#include "tests/support/GeometryExpectations.h"
#include "tests/support/NoticeRecorder.h"

using namespace tunneltest;

namespace {

std::deque<CPoint2> Points(std::initializer_list<CPoint2> points)
{
    return std::deque<CPoint2>(points);
}

class TunnelPolyline : public CTunnelFixture
{
protected:
    void SetUp() override
    {
        CTunnelFixture::SetUp();
        tunnel = MakeTunnel(course.get(), CTunnelGeometry::kPolyline, 4, 1800.0f,
                            coursetest::MakePlacement(3000.0f, 3000.0f, 10.0f));
    }

    const std::deque<CPoint2>& Line() { return Polyline(*tunnel).GetPoints(); }

    // Drags a point to the course point as the course does.
    void Drag(int handle, const CPoint2& to)
    {
        tunnel->StartHandleMove(handle);
        tunnel->MoveHandle(handle, to.x, to.y);
        tunnel->EndHandleMove();
    }

    // The heading of the start of the line, in degrees.
    float StartHeading()
    {
        CCurveGeometry first;
        CTunnelGeometry::GetSegmentCurve(Line(), 0, first);
        const CPoint2 t = first.GetTangent(0.0f);
        return std::atan2(t.y, t.x) * CTransform::kDegreesPerRadian;
    }

    std::unique_ptr<CTunnel> tunnel;
};

}  // namespace

TEST_F(TunnelPolyline, NewLineIsStraightAndResamplesAlongItsCurve)
{
    EXPECT_EQ(Points({{0, 0}, {450, 0}, {900, 0}, {1350, 0}, {1800, 0}}), Line());
    EXPECT_NEAR(1800.0f, tunnel->GetGeometry().GetLength(), 0.01f);
    CTunnelPropertiesDlg dialog(course.get());
    dialog.MergeStyle(2);
    dialog.MergeSections(2);
    tunnel->FromDialog(dialog);
    EXPECT_EQ(Points({{0, 0}, {900, 0}, {1800, 0}}), Line());
    // The outline lies half the diameter to each side and is thinned.
    const CTunnelPolylineGeometry& line = Polyline(*tunnel);
    EXPECT_EQ(2u, line.GetLeftOutline().size());
    ExpectNear(CPoint2(1800.0f, -120.0f), line.GetLeftOutline().back());
    ExpectNear(CPoint2(0.0f, 120.0f), line.GetRightOutline().front());
    CPoint2 point;
    CPoint2 direction;
    line.GetFarEnd(point, direction);
    EXPECT_EQ(CPoint2(1800.0f, 0.0f), point);
    ExpectNear(CPoint2(10000.0f, 0.0f), direction);
    EXPECT_EQ(1, CountReports([&] { tunnel->GetEnd(point, 3); }));
}

TEST_F(TunnelPolyline, DragsKeepTheStartAtTheOriginHeadingAlongX)
{
    const CTransform placement = tunnel->GetPlacement();
    for (int step = 0; step < 6; ++step) {
        const int handle = step % 5;
        CPoint2 end;
        tunnel->GetEnd(end, handle);
        const CPoint2 at = tunnel->GetPlacement().TransformPoint2D(end);
        Drag(handle, at + CPoint2(float(37 * step - 80), float(150 - 41 * step)));
        EXPECT_EQ(CPoint2(), Line().front()) << step;
        EXPECT_NEAR(0.0f, StartHeading(), 0.5f) << step;
        for (const CPoint2& p : Line())
            EXPECT_EQ(CPoint2(std::floor(p.x), std::floor(p.y)), p);
        EXPECT_EQ(std::floor(tunnel->GetPlacement().GetRotation()), tunnel->GetPlacement().GetRotation());
    }
    EXPECT_NE(placement, tunnel->GetPlacement());
    // Read back, the line and the placement are what they were.
    const std::string record = RecordOf(*tunnel);
    CTunnel read;
    read.SetPlacement(tunnel->GetPlacement());
    ReadRecord(read, record);
    EXPECT_EQ(Line(), Polyline(read).GetPoints());
    EXPECT_EQ(tunnel->GetPlacement(), read.GetPlacement());
    EXPECT_EQ(record, RecordOf(read));
}

TEST_F(TunnelPolyline, PointsKeepApartAndTheOutlineWithinTheLength)
{
    // Onto its neighbour: pushed out again to the neighbours' least distance
    // (the diameter's half).
    Drag(2, tunnel->GetPlacement().TransformPoint2D(460.0f, 0.0f));
    EXPECT_GE((Line()[2] - Line()[1]).Length(), 119.0f);
    // Far out: the others follow in until the longer outline is the length.
    Drag(4, tunnel->GetPlacement().TransformPoint2D(3000.0f, 2000.0f));
    const CTunnelPolylineGeometry& line = Polyline(*tunnel);
    const float longest = std::max(CTunnelPolylineGeometry::CurveLength(line.GetLeftOutline()),
                                   CTunnelPolylineGeometry::CurveLength(line.GetRightOutline()));
    EXPECT_LT(longest, 1800.0f + 10.0f);
    EXPECT_GT(longest, 1700.0f);
    for (size_t i = 1; i < Line().size(); ++i)
        EXPECT_GT((Line()[i] - Line()[i - 1]).Length(), 100.0f) << i;
    EXPECT_EQ(1, CountReports([&] { tunnel->MoveHandle(5, 0.0f, 0.0f); }));
}

TEST_F(TunnelPolyline, FlipResetAndConversionFromABody)
{
    Drag(2, tunnel->GetPlacement().TransformPoint2D(900.0f, 300.0f));
    const std::deque<CPoint2> bent = Line();
    tunnel->Flip();
    for (size_t i = 0; i < bent.size(); ++i)
        EXPECT_EQ(CPoint2(-bent[i].x, bent[i].y), Line()[i]);
    tunnel->ResetShape();
    EXPECT_EQ(Points({{0, 0}, {450, 0}, {900, 0}, {1350, 0}, {1800, 0}}), Line());

    // From a body: five points from the start to the far end.
    CTunnel rigid;
    Rigid(rigid).SetBend(180.0f, false);
    CTunnelPolylineGeometry converted(rigid);
    converted.ConvertFrom(rigid.GetGeometry());
    ASSERT_EQ(5u, converted.GetPoints().size());
    EXPECT_EQ(CPoint2(), converted.GetPoints().front());
    CPoint2 farEnd;
    CPoint2 direction;
    rigid.GetGeometry().GetFarEnd(farEnd, direction);
    ExpectNear(farEnd, converted.GetPoints().back(), 0.71f);
    // A section of no centre length adds nothing and divides by nothing.
    CTunnel flexible;
    flexible.SetGeometryKind(CTunnelGeometry::kFlexible, false);
    Flexible(flexible).AddSection(0.0f, 900.0f);
    Flexible(flexible).AddSection(20.0f, 0.0f);
    CTunnelPolylineGeometry line(flexible);
    line.ConvertFrom(flexible.GetGeometry());
    for (const CPoint2& p : line.GetPoints())
        EXPECT_TRUE(IsFinite(p));
    EXPECT_EQ(CPoint2(900.0f, 0.0f), line.GetPoints().back());
}

TEST_F(TunnelPolyline, MapViewHintWhenDraggedIn3D)
{
    CNoticeRecorder notices;
    Drag(1, tunnel->GetPlacement().TransformPoint2D(450.0f, 200.0f));
    EXPECT_TRUE(notices.Take().empty());
    course->Set3D(true);
    Drag(1, tunnel->GetPlacement().TransformPoint2D(450.0f, 300.0f));
    const std::vector<CNotice> shown = notices.Take();
    ASSERT_EQ(1u, shown.size());
    EXPECT_TRUE(shown[0].textId == 2722 && shown[0].style == ENoticeStyle::kHint && shown[0].helpTopic == L"OpenTunnel");
    // A curve between points that are not there is reported and left alone.
    CCurveGeometry curve;
    curve.p0 = CPoint2(7.0f, 7.0f);
    for (int index : {-1, 4})
        EXPECT_EQ(1, CountReports([&] { CTunnelGeometry::GetSegmentCurve(Line(), index, curve); })) << index;
    EXPECT_EQ(CPoint2(7.0f, 7.0f), curve.p0);
}

TEST_F(TunnelPolyline, AFlippedLineTurnsIntoTheBodyOfTheLineMirrored)
{
    // The body a record stores first, and the one the line becomes in the
    // flexible style, are those of the unflipped line mirrored, straight or
    // bent; switched, the body lies where the line did.
    for (bool bent : {false, true}) {
        auto flipped = MakeTunnel(course.get(), CTunnelGeometry::kPolyline, 4, 1800.0f, tunnel->GetPlacement());
        for (CTunnel* line : {tunnel.get(), flipped.get()}) {
            if (bent) {
                line->StartHandleMove(2);
                line->MoveHandle(2, 3500.0f, 3600.0f);
                line->EndHandleMove();
            }
        }
        flipped->Flip();
        const CTunnelFlexibleGeometry& unflipped = Polyline(*tunnel).GetFittedBody();
        CTunnelFlexibleGeometry stored(*flipped);
        CFieldReader record(RecordOf(*flipped));
        record.m_versionMajor = 4;
        stored.Serialize(record);
        ASSERT_EQ(unflipped.GetSections().size(), stored.GetSections().size()) << bent;
        for (size_t i = 0; i < stored.GetSections().size(); ++i) {
            EXPECT_EQ(-unflipped.GetSections()[i].angle, stored.GetSections()[i].angle) << bent;
            EXPECT_EQ(unflipped.GetSections()[i].outerLength, stored.GetSections()[i].outerLength) << bent;
        }
        const std::vector<CPoint2> ends = EndsOf(*flipped);
        flipped->SetGeometryKind(CTunnelGeometry::kFlexible, true);
        EXPECT_NEAR(unflipped.GetLength(), flipped->GetGeometry().GetLength(), 1.0f) << bent;
        for (int i : {0, 1})
            ExpectNear(ends[size_t(i)], EndsOf(*flipped)[size_t(i)], 2.0f);
    }
}
