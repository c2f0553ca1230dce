#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "dialogs/CollapsedTunnelDlg.h"
#include "dialogs/LengthFormat.h"
#include "foundation/Strings.h"
#include "objects/equipment/CollapsedTunnel.h"
#include "tests/objects/equipment/TunnelTestSupport.h"
#include "tests/support/FailureReports.h"

using namespace tunneltest;

namespace {

class CollapsedTunnel : public CTunnelFixture
{
protected:
    void SetUp() override
    {
        CTunnelFixture::SetUp();
        course->SetSpecList(0);
    }

    std::unique_ptr<CCollapsedTunnel> Make(float length)
    {
        CCollapsedTunnelDlg dialog(course.get());
        dialog.MergeLength(length);
        auto object = CCollapsedTunnel::GetCollapsedTunnelType().CreateNew(course.get(), CTransform(), &dialog);
        return std::unique_ptr<CCollapsedTunnel>(static_cast<CCollapsedTunnel*>(object.release()));
    }
};

}  // namespace

TEST_F(CollapsedTunnel, TypeEndsAndSizeText)
{
    const CObjectType& type = CCollapsedTunnel::GetCollapsedTunnelType();
    EXPECT_EQ(&type, FindObjectTypeById(50));
    EXPECT_EQ((std::vector<int>{10, 30, 31, 2, 7}), type.GetPartColors().GetParts());
    EXPECT_FALSE(type.GetEditOnCreateDefault());
    auto tunnel = Make(1260.0f);
    CPoint2 end;
    tunnel->GetAnchor(end, 0);
    EXPECT_EQ(CPoint2(-630.0f, 0.0f), end);
    // A second end at the chute's end, a first at the mouth, both along +x.
    EXPECT_EQ(2, tunnel->GetObstacleEnd(0).GetEndKind());
    EXPECT_EQ(CPoint2(630.0f, 0.0f), tunnel->GetObstacleEnd(0).point);
    EXPECT_EQ(CPoint2(-630.0f, 0.0f), tunnel->GetObstacleEnd(1).point);
    EXPECT_EQ(CPoint2(10000.0f, 0.0f), tunnel->GetObstacleEnd(1).direction);
    EXPECT_EQ(GetStringWithArg(2038, FormatLength(1260.0f, EUnitKind::kFeetAndInches, true)), tunnel->GetSizeText());
    course->SetMetric(true);
    EXPECT_EQ(GetStringWithArg(2038, FormatLength(1260.0f, EUnitKind::kCentimetres, true)), tunnel->GetSizeText());
}

TEST_F(CollapsedTunnel, LegacyLengthsAndRecords)
{
    const std::pair<const char*, float> legacy[] = {{"", 1260}, {"10", 900}, {"500", 2100}, {"x", 1260}, {"120 7", 1500}};
    for (const auto& c : legacy) {
        ::CCollapsedTunnel tunnel;
        std::istringstream words(c.first);
        tunnel.ApplyVariant("CollapsedTunnel", words);
        EXPECT_EQ(c.second, tunnel.GetLength()) << c.first;
    }
    // Version 4: length and diameter; version 3 the length alone. A length
    // below 960 reads as 960; a diameter not above 0 keeps the diameter.
    const struct
    {
        int version;
        std::string record;
        float length, diameter;
    } records[] = {
        {4, Record({500, 200}), 960.0f, 200.0f},
        {4, Record({1500, 300}), 1500.0f, 300.0f},
        {3, Record({2000, 300}), 2000.0f, 240.0f},
        {4, Record({0, 0}), 960.0f, 240.0f},
    };
    for (const auto& c : records) {
        ::CCollapsedTunnel tunnel;
        ReadRecord(tunnel, c.record, c.version);
        EXPECT_EQ(c.length, tunnel.GetLength());
        EXPECT_EQ(c.diameter, tunnel.GetDiameter());
        if (c.record == Record({1500, 300})) {
            EXPECT_EQ(c.record, RecordOf(tunnel));
        }
    }
}

TEST_F(CollapsedTunnel, DialogValuesMergeAndApply)
{
    auto a = Make(1260.0f);
    auto b = Make(1500.0f);
    CCollapsedTunnelDlg dialog(course.get());
    a->FillPropertiesDialog(dialog);
    b->FillPropertiesDialog(dialog);
    EXPECT_FALSE(dialog.HasLength());
    EXPECT_EQ(240.0f, dialog.GetDiameter());
    // A mixed length leaves each its own; only its own dialog fits.
    b->FromDialog(dialog);
    EXPECT_EQ(1500.0f, b->GetLength());
    CObjectPropertiesDlg plain(course.get(), 2534);
    EXPECT_EQ(2, CountReports([&] {
                  b->ToDialog(plain);
                  b->FromDialog(plain);
              }));
}

TEST_F(CollapsedTunnel, PlanAndModelLieWithinTheTunnel)
{
    for (float length : {960.0f, 3000.0f}) {
        auto tunnel = Make(length);
        auto drawn = DrawBoth(*tunnel);
        EXPECT_TRUE(BoxWithin(drawn->model.vertexBox, tunnel->Get3DExtent(), 0.05f));
        // The barrel at -length/2 on the ground, its rim on top; in plan the
        // chute ends at +length/2, twice the diameter wide.
        EXPECT_NEAR(-0.5f * length, drawn->model.vertexBox.minX, 1.01f);
        EXPECT_NEAR(0.0f, drawn->model.vertexBox.minZ, 0.01f);
        EXPECT_NEAR(248.0f, drawn->model.vertexBox.maxZ, 0.5f);
        EXPECT_NEAR(0.5f * length, drawn->plan.pathRect.right, 0.5f);
        EXPECT_NEAR(-240.0f, drawn->plan.pathRect.top, 0.5f);
    }
    // Shorter than a stored one may be: written, and so drawn, as 960.
    auto tunnel = Make(300.0f);
    EXPECT_EQ(300.0f, tunnel->GetLength());
    EXPECT_NEAR(480.0f, DrawBoth(*tunnel)->plan.pathRect.right, 0.5f);
    EXPECT_EQ(960.0f, tunnel->GetLength());
}
