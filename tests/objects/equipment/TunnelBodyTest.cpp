#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "objects/equipment/TunnelRigidGeometry.h"
#include "objects/equipment/TunnelSection.h"
#include "tests/objects/equipment/TunnelTestSupport.h"
#include "tests/support/FailureReports.h"
#include "tests/support/GeometryExpectations.h"

using namespace tunneltest;

namespace {

// A flexible body of the tunnel with sections of the given angles and outer
// lengths, under the nominal length.
std::unique_ptr<CTunnelFlexibleGeometry> Body(CTunnel& owner, std::initializer_list<std::pair<float, float>> sections,
                                              float nominal)
{
    auto body = std::make_unique<CTunnelFlexibleGeometry>(owner);
    for (const auto& section : sections)
        body->AddSection(section.first, section.second);
    body->SetNominalLength(nominal);
    body->RebuildOutline();
    return body;
}

}  // namespace

TEST(TunnelSection, ChordsFramesAndDistances)
{
    CTunnelSection section;
    section.outerLength = 400.0f;
    section.SetAngle(90.0f);
    EXPECT_FLOAT_EQ(120.0f * 3.1415926f / 2.0f, section.allowance);
    EXPECT_FLOAT_EQ(45.0f, section.halfAngle);
    // A quarter circle of centre length c has radius R = c / (pi / 2) and
    // ends at (R, R), turned by 90 degrees towards +y.
    const float r = section.GetCentreLength() / (3.1415926f / 2.0f);
    ExpectNear(CPoint2(r, r), section.GetChord(1.0f), 0.01f);
    EXPECT_EQ(CPoint2(), section.GetChord(0.0f));
    CTransform frame;
    section.Advance(frame, 1.0f);
    ExpectNear(CPoint2(r, r), frame.GetPosition2D(), 0.01f);
    ExpectNear(CPoint2(0.0f, 1.0f), frame.TransformVector2D(1.0f, 0.0f), 1e-5f);
    EXPECT_EQ(section.GetLocalFrame(0.5f).GetPosition2D(), section.GetChord(0.5f));
    // On the arc, at its centre, beside its start and beyond its end.
    const float s = std::sqrt(0.5f);
    EXPECT_NEAR(0.0f, section.GetDistanceTo(r * s, r - r * s), 0.01f);
    EXPECT_NEAR(r, section.GetDistanceTo(0.0f, r), 0.01f);
    EXPECT_NEAR(50.0f, section.GetDistanceTo(-50.0f, 0.0f), 0.01f);
    EXPECT_NEAR(30.0f, section.GetDistanceTo(r, r + 30.0f), 0.01f);
    // A straight section measures the distance from its line.
    CTunnelSection straight;
    EXPECT_NEAR(25.0f, straight.GetDistanceTo(100.0f, -25.0f), 1e-4f);
}

TEST(TunnelBody, DiameterGivesTheFabricMeasures)
{
    CTunnel tunnel;
    CTunnelFlexibleGeometry body(tunnel);
    struct CCase
    {
        float diameter, taken, radius, quarter, seam, bend, inner;
    };
    const CCase cases[] = {
        {240.0f, 240.0f, 120.0f, 60.0f, 10.0f, 288.0f, 168.0f},
        {160.0f, 160.0f, 80.0f, 40.0f, 40.0f / 6.0f, 192.0f, 112.0f},
        // Nothing divides by a diameter of 0 from a damaged file.
        {0.0f, 10.0f, 5.0f, 2.5f, 2.5f / 6.0f, 12.0f, 7.0f},
        {-50.0f, 10.0f, 5.0f, 2.5f, 2.5f / 6.0f, 12.0f, 7.0f},
    };
    for (const CCase& c : cases) {
        body.SetDiameter(c.diameter);
        EXPECT_EQ(c.taken, body.GetDiameter());
        EXPECT_FLOAT_EQ(c.radius, body.GetRadius());
        EXPECT_FLOAT_EQ(c.quarter, body.GetQuarter());
        EXPECT_FLOAT_EQ(c.seam, body.GetSeam());
        EXPECT_FLOAT_EQ(c.bend, body.GetMinBendRadius()) << c.diameter;
        EXPECT_FLOAT_EQ(c.inner, body.GetMinInnerRadius());
    }
}

TEST(TunnelBody, HoopsSpreadTheNominalLength)
{
    CTunnel tunnel;
    struct CCase
    {
        float nominal;
        size_t hoops;
        float spacing;
    };
    // One straight section of 1800: stretched at 1800, partly compressed at
    // 2400; the fabric never lays more than the compressed total (10800).
    const CCase cases[] = {{1800.0f, 31, 60.0f}, {2400.0f, 41, 45.0f}, {20000.0f, 181, 10.0f}, {900.0f, 31, 60.0f}};
    for (const CCase& c : cases) {
        auto body = Body(tunnel, {{0.0f, 1800.0f}}, c.nominal);
        ASSERT_EQ(c.hoops, body->GetLeftHoops().size()) << c.nominal;
        for (size_t i = 0; i < c.hoops; ++i) {
            ExpectNear(CPoint2(float(i) * c.spacing, -120.0f), body->GetLeftHoops()[i], 0.05f);
            ExpectNear(CPoint2(float(i) * c.spacing, 120.0f), body->GetRightHoops()[i], 0.05f);
        }
    }
    // A long thin tunnel has at most 10000 hoops.
    auto thin = Body(tunnel, {{0.0f, 30000.0f}}, 30000.0f);
    thin->SetDiameter(10.0f);
    thin->RebuildOutline();
    EXPECT_EQ(size_t(CTunnelBodyGeometry::kMaxHoops), thin->GetLeftHoops().size());
}

TEST(TunnelBody, EndsAnchorsAndFarEnd)
{
    CTunnel tunnel;
    auto body = Body(tunnel, {{0.0f, 600.0f}, {90.0f, 600.0f}, {-45.0f, 600.0f}}, 1800.0f);
    ASSERT_EQ(4, body->GetEndCount());
    CPoint2 point(1.0f, 1.0f);
    body->GetEnd(point, 0);
    EXPECT_EQ(CPoint2(), point);
    body->GetEnd(point, 1);
    ExpectNear(CPoint2(600.0f, 0.0f), point);
    CPoint2 farEnd;
    CPoint2 direction;
    body->GetFarEnd(farEnd, direction);
    body->GetEnd(point, 3);
    EXPECT_EQ(farEnd, point);
    // The farEnd direction is turned by the sum of the bends, 45 degrees.
    ExpectNear(CPoint2(7071.07f, 7071.07f), direction, 0.5f);
    body->GetAnchor(point, 0);
    EXPECT_EQ(CPoint2(), point);
    body->GetAnchor(point, 1);
    EXPECT_EQ(farEnd, point);
    EXPECT_EQ(1, CountReports([&] { body->GetEnd(point, 4); }));
    EXPECT_EQ(farEnd, point);
    const float allowance = 120.0f * (3.1415926f / 2.0f + 3.1415926f / 4.0f);
    EXPECT_NEAR(1800.0f - allowance, body->GetLength(), 0.01f);
}

TEST(TunnelBody, FlipTwiceRestoresTheShapeAndResetStraightens)
{
    auto course = MakeCourse();
    auto tunnel = MakeTunnel(course.get(), CTunnelGeometry::kFlexible, 2, 1800.0f, coursetest::MakePlacement(3000, 3000, 30));
    CTunnelFlexibleGeometry& body = Flexible(*tunnel);
    body.Solve(0, 700.0f, 300.0f);
    body.RebuildOutline();
    const std::string record = RecordOf(*tunnel);
    const float angle = body.GetSections()[0].angle;
    ASSERT_NE(0.0f, angle);
    tunnel->Flip();
    EXPECT_EQ(-angle, body.GetSections()[0].angle);
    EXPECT_NEAR(-150.0f, tunnel->GetPlacement().GetRotation(), 1e-3f);
    tunnel->Flip();
    EXPECT_EQ(record, RecordOf(*tunnel));
    EXPECT_NEAR(30.0f, tunnel->GetPlacement().GetRotation(), 1e-3f);
    tunnel->ResetShape();
    float outerTotal = 0.0f;
    for (const CTunnelSection& section : body.GetSections()) {
        EXPECT_EQ(0.0f, section.angle);
        outerTotal += section.outerLength;
    }
    ExpectNear(CPoint2(outerTotal, -120.0f), body.GetLeftHoops().back(), 0.01f);
}

TEST(TunnelBody, WithoutSectionsNothingIsDrawnAndNothingIsNaN)
{
    // A new tunnel is rigid without sections until it is shaped.
    CTunnel tunnel;
    ASSERT_EQ(CTunnelGeometry::kRigid, tunnel.GetGeometry().GetKind());
    const int before = ReportCount();
    tunnel.Flip();
    tunnel.ResetShape();
    EXPECT_EQ(before, ReportCount());
    EXPECT_TRUE(Rigid(tunnel).GetLeftHoops().empty());
    EXPECT_EQ(1, tunnel.GetEndCount());
    auto drawn = Draw(tunnel);
    EXPECT_EQ(0, drawn->plan.pathPoints);
    EXPECT_EQ(0, drawn->model.vertices);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(IsFinite(tunnel.GetObstacleEnd(i).point) && IsFinite(tunnel.GetObstacleEnd(i).direction));
}

TEST(TunnelBody, PlanAndModelLieWithinTheTunnel)
{
    CTunnel tunnel;
    tunnel.SetGeometryKind(CTunnelGeometry::kFlexible, false);
    CTunnelFlexibleGeometry& body = Flexible(tunnel);
    body.AddSection(0.0f, 900.0f);
    body.AddSection(-90.0f, 900.0f);
    body.RebuildOutline();
    auto drawn = Draw(tunnel);
    EXPECT_EQ(0, drawn->NotFinite());
    // Quads between the hoops, the two seams, the two mouths.
    EXPECT_GT(drawn->plan.pathPoints, 4 * int(body.GetLeftHoops().size()));
    // Rings of 33 vertices stand on the ground and reach the diameter.
    EXPECT_EQ(0, drawn->model.vertices % 33);
    EXPECT_NEAR(0.0f, drawn->model.vertexBox.minZ, 0.01f);
    EXPECT_NEAR(240.0f, drawn->model.vertexBox.maxZ, 0.01f);
    EXPECT_NEAR(0.0f, drawn->model.vertexBox.minX, 0.01f);
    // The bend turns towards -y of the plan: +y of 3D.
    EXPECT_GT(drawn->model.vertexBox.maxY, 400.0f);
    EXPECT_TRUE(BoxWithin(drawn->model.vertexBox, tunnel.Get3DExtent(), 0.05f));
}
