#include <gtest/gtest.h>

#include <cmath>

#include "tests/objects/equipment/TunnelTestSupport.h"
#include "tests/support/FailureReports.h"
#include "tests/support/GeometryExpectations.h"

using namespace tunneltest;

namespace {

class TunnelRigid : public CTunnelFixture
{
protected:
    // The middle of the tunnel's centre line, in course coordinates.
    static CPoint2 Middle(const CTunnel& tunnel)
    {
        const CTunnelRigidGeometry& body = dynamic_cast<const CTunnelRigidGeometry&>(tunnel.GetGeometry());
        return tunnel.GetPlacement().TransformPoint2D(body.GetSections().front().GetChord(0.5f));
    }
};

}  // namespace

TEST_F(TunnelRigid, BendIsLimitedEitherWayByTheLength)
{
    CTunnel tunnel;
    // 1800 long and 240 thick: at most floor(1800 / 288 x 57.29578) = 358.
    const std::pair<float, float> cases[] = {{90, -90}, {400, -358}, {-400, 358}, {358, -358}, {0, 0}};
    for (const auto& c : cases) {
        Rigid(tunnel).SetBend(c.first, false);
        ASSERT_EQ(1u, Rigid(tunnel).GetSections().size());
        EXPECT_EQ(c.second, Rigid(tunnel).GetSections().front().angle) << c.first;
        EXPECT_EQ(1800.0f, Rigid(tunnel).GetSections().front().outerLength);
    }
}

TEST_F(TunnelRigid, DialogAngleKeepsTheMiddleWhereItWas)
{
    auto tunnel = MakeTunnel(course.get(), CTunnelGeometry::kRigid, 0, 1800.0f,
                             coursetest::MakePlacement(4000.0f, 5000.0f, 20.0f));
    // A new rigid tunnel lies about the point it was placed at.
    ExpectNear(CPoint2(4000.0f, 5000.0f), Middle(*tunnel), 1.0f);
    EXPECT_NEAR(20.0f, tunnel->GetPlacement().GetRotation(), 1e-3f);
    CTunnelPropertiesDlg dialog(course.get());
    dialog.MergeStyle(1);
    dialog.MergeAngle(90);
    tunnel->FromDialog(dialog);
    EXPECT_EQ(-90.0f, Rigid(*tunnel).GetSections().front().angle);
    EXPECT_NEAR(-25.0f, tunnel->GetPlacement().GetRotation(), 1e-3f);
    ExpectNear(CPoint2(4000.0f, 5000.0f), Middle(*tunnel), 1.5f);
    // The tunnel's own angle when the dialog's is mixed; then the length.
    CTunnelPropertiesDlg mixed(course.get());
    mixed.MergeStyle(1);
    mixed.MergeAngle(10);
    mixed.MergeAngle(20);
    mixed.MergeLength(2400.0f);
    tunnel->FromDialog(mixed);
    EXPECT_EQ(-90.0f, Rigid(*tunnel).GetSections().front().angle);
    EXPECT_EQ(2400.0f, Rigid(*tunnel).GetSections().front().outerLength);
    ExpectNear(CPoint2(4000.0f, 5000.0f), Middle(*tunnel), 1.5f);
    // Without a section a mixed angle gives a straight tunnel.
    CTunnel bare;
    bare.FromDialog(mixed);
    EXPECT_EQ(0.0f, Rigid(bare).GetSections().front().angle);
}

TEST_F(TunnelRigid, TakesTheSumOfAFlexibleBodysBends)
{
    CTunnel flexible;
    flexible.SetGeometryKind(CTunnelGeometry::kFlexible, false);
    Flexible(flexible).AddSection(30.0f, 900.0f);
    Flexible(flexible).AddSection(-10.0f, 900.0f);
    flexible.SetGeometryKind(CTunnelGeometry::kRigid, true);
    EXPECT_EQ(-20.0f, Rigid(flexible).GetUserAngle());
    EXPECT_EQ(20.0f, Rigid(flexible).GetSections().front().angle);
    // Handle editing has no place on a rigid tunnel.
    EXPECT_EQ(1, CountReports([&] { flexible.StartHandleMove(1); }));
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(1, flexible.MoveHandle(1, 0.0f, 0.0f)); }));
    EXPECT_EQ(1, CountReports([&] { flexible.EndHandleMove(); }));
}

TEST_F(TunnelRigid, ABendBeyondAHalfTurnReadsBackAsItWasWritten)
{
    // Its record lays such a bend in two sections; read, the tunnel bends as
    // it did, up to the most its length allows, and is written the same.
    for (float diameter : {160.0f, 240.0f, 271.0f, 300.0f}) {
        for (float angle : {-181.0f, -301.0f, -400.0f}) {
            CTunnel tunnel;
            Rigid(tunnel).SetDiameter(diameter);
            Rigid(tunnel).SetBend(angle, false);
            const std::string record = RecordOf(tunnel);
            CTunnel read;
            ReadRecord(read, record);
            EXPECT_EQ(Rigid(tunnel).GetUserAngle(), Rigid(read).GetUserAngle()) << diameter << " " << angle;
            EXPECT_EQ(record, RecordOf(read)) << diameter << " " << angle;
        }
    }
}
