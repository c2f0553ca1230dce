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

class CollapsedTunnel : public coursetest::CSettingsFixture
{
protected:
    std::unique_ptr<CCollapsedTunnel> Make(CCourse* course, float length, float diameter)
    {
        CCollapsedTunnelDlg dialog(course);
        dialog.MergeLength(length);
        dialog.MergeDiameter(diameter);
        auto object = CCollapsedTunnel::GetCollapsedTunnelType().CreateNew(course, CTransform(), &dialog);
        return std::unique_ptr<CCollapsedTunnel>(static_cast<CCollapsedTunnel*>(object.release()));
    }
};

}  // namespace

TEST_F(CollapsedTunnel, TypeEndsAndSizeText)
{
    const CObjectType& type = CCollapsedTunnel::GetCollapsedTunnelType();
    EXPECT_EQ(&type, FindObjectTypeById(50));
    EXPECT_EQ(2534, type.GetNameTextId());
    EXPECT_EQ((std::vector<int>{10, 30, 31, 2, 7}), type.GetPartColors().GetParts());
    EXPECT_FALSE(type.GetEditOnCreateDefault());
    EXPECT_TRUE(type.IsStandard());

    auto course = MakeCourse(0);
    auto tunnel = Make(course.get(), 1260.0f, 240.0f);
    EXPECT_EQ(3, tunnel->GetLayer());
    CPoint2 end;
    tunnel->GetEnd(end, 0);
    EXPECT_EQ(CPoint2(-630.0f, 0.0f), end);
    tunnel->GetAnchor(end, 1);
    EXPECT_EQ(CPoint2(630.0f, 0.0f), end);
    EXPECT_EQ(2, tunnel->GetObstacleEnd(0).GetEndKind());
    EXPECT_EQ(CPoint2(630.0f, 0.0f), tunnel->GetObstacleEnd(0).point);
    EXPECT_EQ(1, tunnel->GetObstacleEnd(1).GetEndKind());
    EXPECT_EQ(CPoint2(-630.0f, 0.0f), tunnel->GetObstacleEnd(1).point);
    EXPECT_EQ(CPoint2(10000.0f, 0.0f), tunnel->GetObstacleEnd(1).direction);
    EXPECT_EQ(GetStringWithArg(2038, FormatLength(1260.0f, 2, true)), tunnel->GetSizeText());
    course->SetMetric(true);
    EXPECT_EQ(GetStringWithArg(2038, FormatLength(1260.0f, 6, true)), tunnel->GetSizeText());
}

TEST_F(CollapsedTunnel, LegacyLengthsAndRecords)
{
    struct CLegacy
    {
        const char* words;
        float length;
    };
    for (const CLegacy& c : {CLegacy{"", 1260.0f}, CLegacy{"10", 900.0f}, CLegacy{"500", 2100.0f},
                             CLegacy{"x", 1260.0f}, CLegacy{"120 7", 1500.0f}}) {
        ::CCollapsedTunnel tunnel;
        std::istringstream words(c.words);
        tunnel.ApplyVariant("CollapsedTunnel", words);
        EXPECT_EQ(c.length, tunnel.GetLength()) << c.words;
        EXPECT_EQ(CPoint2(c.length * 0.5f, 0.0f), tunnel.GetObstacleEnd(0).point);
    }

    // Version 4: length and diameter; version 3 the length alone. A stored
    // length below 960 reads as 960.
    struct CRecord
    {
        int version;
        std::vector<float> values;
        float length, diameter;
    };
    const CRecord records[] = {
        {4, {500.0f, 200.0f}, 960.0f, 200.0f},
        {4, {1500.0f, 300.0f}, 1500.0f, 300.0f},
        {3, {2000.0f, 300.0f}, 2000.0f, 240.0f},
        {4, {}, 960.0f, 240.0f},
    };
    for (const CRecord& c : records) {
        CFieldWriter record;
        for (float value : c.values)
            record.WriteFloat16(value);
        ::CCollapsedTunnel tunnel;
        ReadRecord(tunnel, record.m_bytes, c.version);
        EXPECT_EQ(c.length, tunnel.GetLength());
        EXPECT_EQ(c.diameter, tunnel.GetDiameter());
        if (c.values.size() == 2 && c.values[0] >= 960.0f) {
            EXPECT_EQ(record.m_bytes.substr(0, c.version == 4 ? 4 : 2), RecordOf(tunnel, c.version));
        }
    }
}

TEST_F(CollapsedTunnel, DialogValuesMergeAndApply)
{
    auto course = MakeCourse(0);
    auto a = Make(course.get(), 1260.0f, 240.0f);
    auto b = Make(course.get(), 1500.0f, 240.0f);
    CCollapsedTunnelDlg dialog(course.get());
    a->FillPropertiesDialog(dialog);
    b->FillPropertiesDialog(dialog);
    EXPECT_FALSE(dialog.HasLength());
    EXPECT_EQ(240.0f, dialog.GetDiameter());
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(0.0f, dialog.GetLength()); }));
    // A mixed length leaves each its own.
    b->FromDialog(dialog);
    EXPECT_EQ(1500.0f, b->GetLength());
    CObjectPropertiesDlg plain(course.get(), 2534);
    EXPECT_EQ(2, CountReports([&] {
                  b->ToDialog(plain);
                  b->FromDialog(plain);
              }));
}

TEST_F(CollapsedTunnel, PlanAndModelAreFiniteAndWithinTheBounds)
{
    auto course = MakeCourse(0);
    for (float length : {960.0f, 1800.0f, 3000.0f}) {
        auto tunnel = Make(course.get(), length, 240.0f);
        auto drawn = Draw(*tunnel);
        EXPECT_EQ(0, drawn->NotFinite()) << length;
        EXPECT_TRUE(BoxWithin(drawn->model.vertexBox, tunnel->Get3DExtent(), 0.05f));
        // The barrel's mouth at -length/2 with its rim on top, standing on
        // the ground.
        EXPECT_NEAR(-0.5f * length, drawn->model.vertexBox.minX, 1.01f) << length;
        EXPECT_NEAR(0.0f, drawn->model.vertexBox.minZ, 0.01f);
        EXPECT_NEAR(240.0f + 4.0f + 4.0f, drawn->model.vertexBox.maxZ, 0.5f);
        // In plan the chute ends at +length/2, twice the diameter wide.
        EXPECT_NEAR(0.5f * length, drawn->plan.pathRect.right, 0.5f) << length;
        EXPECT_NEAR(-240.0f, drawn->plan.pathRect.top, 0.5f);
    }
    // Shorter than any stored one: written, and so drawn, as 960.
    auto tunnel = Make(course.get(), 300.0f, 240.0f);
    EXPECT_EQ(300.0f, tunnel->GetLength());
    auto drawn = Draw(*tunnel);
    EXPECT_EQ(960.0f, tunnel->GetLength());
    EXPECT_NEAR(480.0f, drawn->plan.pathRect.right, 0.5f);
    // A damaged record of diameter 0 keeps the diameter.
    ::CCollapsedTunnel flat;
    ReadRecord(flat, std::string(4, '\0'));
    EXPECT_EQ(240.0f, flat.GetDiameter());
    EXPECT_EQ(0, Draw(flat)->NotFinite());
}
