#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "objects/equipment/TunnelSection.h"
#include "tests/objects/equipment/TunnelTestSupport.h"
#include "tests/support/FailureReports.h"
#include "tests/support/GeometryExpectations.h"

using namespace tunneltest;

namespace {

constexpr float kPi = 3.1415926f;

// A flexible body of sections (angle, outer length) under the nominal length.
std::unique_ptr<CTunnelFlexibleGeometry> Body(CTunnel& owner, std::initializer_list<std::pair<float, float>> sections,
                                              float nominal)
{
    auto body = std::make_unique<CTunnelFlexibleGeometry>(owner);
    for (const auto& section : sections)
        body->AddSection(section.first, section.second);
    body->SetNominalLength(nominal);
    body->InvalidateOutline();
    return body;
}

}  // namespace

TEST(TunnelSection, ChordsFramesAndDistances)
{
    CTunnelSection section;
    section.outerLength = 400.0f;
    section.SetAngle(90.0f);
    EXPECT_FLOAT_EQ(120.0f * kPi / 2.0f, section.allowance);
    // A quarter circle of radius R = centre length / (pi / 2), turned
    // towards +y.
    const float r = section.GetCentreLength() / (kPi / 2.0f);
    ExpectNear(CPoint2(r, r), section.GetChord(1.0f), 0.01f);
    CTransform frame;
    section.Advance(frame, 1.0f);
    ExpectNear(CPoint2(r, r), frame.GetPosition2D(), 0.01f);
    ExpectNear(CPoint2(0.0f, 1.0f), frame.TransformVector2D(1.0f, 0.0f), 1e-5f);
    // On the arc, at its centre, before its start, beyond its end.
    EXPECT_NEAR(0.0f, section.GetDistanceTo(r * std::sqrt(0.5f), r - r * std::sqrt(0.5f)), 0.01f);
    EXPECT_NEAR(r, section.GetDistanceTo(0.0f, r), 0.01f);
    EXPECT_NEAR(50.0f, section.GetDistanceTo(-50.0f, 0.0f), 0.01f);
    EXPECT_NEAR(30.0f, section.GetDistanceTo(r, r + 30.0f), 0.01f);
}

TEST(TunnelBody, DiameterGivesTheFabricMeasures)
{
    CTunnel tunnel;
    CTunnelFlexibleGeometry body(tunnel);
    // Nothing divides by a diameter of 0 from a damaged file: at least 10.
    const float cases[][6] = {{240, 120, 60, 10, 288, 168}, {0, 5, 2.5f, 2.5f / 6, 12, 7}};
    for (const auto& c : cases) {
        body.SetDiameter(c[0]);
        EXPECT_EQ(2.0f * c[1], body.GetDiameter());
        EXPECT_FLOAT_EQ(c[1], body.GetRadius());
        EXPECT_FLOAT_EQ(c[2], body.GetQuarter());
        EXPECT_FLOAT_EQ(c[3], body.GetSeam());
        EXPECT_FLOAT_EQ(c[4], body.GetMinBendRadius());
        EXPECT_FLOAT_EQ(c[5], body.GetMinInnerRadius());
    }
}

TEST(TunnelBody, HoopsSpreadTheNominalLength)
{
    CTunnel tunnel;
    // One straight section of 1800: stretched at 1800, partly compressed at
    // 2400, never more than the compressed total (10800).
    const struct
    {
        float nominal;
        size_t hoops;
        float spacing;
    } cases[] = {{1800.0f, 31, 60.0f}, {2400.0f, 41, 45.0f}, {20000.0f, 181, 10.0f}, {900.0f, 31, 60.0f}};
    for (const auto& c : cases) {
        auto body = Body(tunnel, {{0.0f, 1800.0f}}, c.nominal);
        ASSERT_EQ(c.hoops, body->GetLeftHoops().size()) << c.nominal;
        for (size_t i = 0; i < c.hoops; ++i) {
            ExpectNear(CPoint2(float(i) * c.spacing, -120.0f), body->GetLeftHoops()[i], 0.05f);
            ExpectNear(CPoint2(float(i) * c.spacing, 120.0f), body->GetRightHoops()[i], 0.05f);
        }
    }
    auto thin = Body(tunnel, {{0.0f, 30000.0f}}, 30000.0f);
    thin->SetDiameter(10.0f);
    thin->InvalidateOutline();
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
    CPoint2 farEnd;
    CPoint2 direction;
    body->GetFarEnd(farEnd, direction);
    ExpectNear(CPoint2(7071.07f, 7071.07f), direction, 0.5f);
    body->GetAnchor(point, 1);
    EXPECT_EQ(farEnd, point);
    EXPECT_EQ(1, CountReports([&] { body->GetEnd(point, 4); }));
    EXPECT_NEAR(1800.0f - 120.0f * 0.75f * kPi, body->GetLength(), 0.01f);
}

TEST(TunnelBody, FlipTwiceRestoresAndResetStraightens)
{
    auto course = MakeCourse();
    auto tunnel = MakeTunnel(course.get(), 0, 2, 1800.0f, coursetest::MakePlacement(3000, 3000, 30));
    Flexible(*tunnel).Solve(0, 700.0f, 300.0f);
    const std::string record = RecordOf(*tunnel);
    tunnel->Flip();
    EXPECT_NEAR(-150.0f, tunnel->GetPlacement().GetRotation(), 1e-3f);
    tunnel->Flip();
    EXPECT_EQ(record, RecordOf(*tunnel));
    EXPECT_NEAR(30.0f, tunnel->GetPlacement().GetRotation(), 1e-3f);
    tunnel->ResetShape();
    for (const CTunnelSection& section : Flexible(*tunnel).GetSections())
        EXPECT_EQ(0.0f, section.angle);
}

TEST(TunnelBody, NewTunnelWithoutSectionsDrawsNothingAndFlipsWithoutANaN)
{
    CTunnel tunnel;
    ASSERT_EQ(CTunnelGeometry::kRigid, tunnel.GetGeometry().GetKind());
    EXPECT_EQ(0, CountReports([&] {
                  tunnel.Flip();
                  tunnel.ResetShape();
              }));
    EXPECT_TRUE(Rigid(tunnel).GetLeftHoops().empty());
    auto drawn = DrawBoth(tunnel);
    EXPECT_EQ(0, drawn->plan.pathPoints + drawn->model.vertices);
    for (const CPoint2& end : EndsOf(tunnel))
        EXPECT_TRUE(IsFinite(end));
}

TEST(TunnelBody, PlanAndModelLieWithinTheTunnel)
{
    CTunnel tunnel;
    tunnel.SetGeometryKind(CTunnelGeometry::kFlexible, false);
    Flexible(tunnel).AddSection(0.0f, 900.0f);
    Flexible(tunnel).AddSection(-90.0f, 900.0f);
    Flexible(tunnel).InvalidateOutline();
    auto drawn = DrawBoth(tunnel);
    EXPECT_GT(drawn->plan.pathPoints, 4 * int(Flexible(tunnel).GetLeftHoops().size()));
    // Rings of 33 vertices across the hoops stand on the ground; the bend
    // turns towards -y of the plan, +y of 3D.
    EXPECT_EQ(0, drawn->model.vertices % 33);
    EXPECT_NEAR(0.0f, drawn->model.vertexBox.minZ, 0.01f);
    EXPECT_NEAR(240.0f, drawn->model.vertexBox.maxZ, 0.01f);
    EXPECT_NEAR(0.0f, drawn->model.vertexBox.minX, 0.01f);
    // The far mouth lies across the end of the second section's centre arc,
    // of radius (900 - 60 pi) / (pi / 2).
    EXPECT_NEAR((900.0f - 60.0f * kPi) / (kPi / 2.0f), drawn->model.vertexBox.maxY, 0.5f);
    EXPECT_TRUE(BoxWithin(drawn->model.vertexBox, tunnel.Get3DExtent(), 0.05f));
}
