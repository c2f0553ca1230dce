#include <gtest/gtest.h>

#include "graphics/PackedModel.h"
#include "tests/support/FailureReports.h"
#include "tests/support/RecordingContext.h"

namespace {

// Two unit-box corners and one vertex shared by two parts; a second part one
// unit up that turns.
const uint16_t kPacked[] = {
    0, 0, 0, 0xFFFF,           // (-1, 0, 2), normal (1, 1, 1)
    65535, 65535, 65535, 0,    // (1, 4, 6), normal (-1, -1, -1)
    65535, 0, 0, 0xFFFF,       // (1, 0, 2)
};
const float kBox[6] = {-1.0f, 1.0f, 0.0f, 4.0f, 2.0f, 6.0f};
const uint16_t kWeights[] = {0, 65535, 2, 65535 / 2 + 1, /* part 1 */ 1, 65535, 2, 65535 / 2};
const uint16_t kTexture[] = {0, 0, 65535, 65535, 0, 65535};
// Material 0: one triangle; material 1: the same corners, other coordinates.
const uint16_t kCorners[] = {0, 0, 1, 1, 2, 2, 0, 2, 1, 2, 2, 1};

struct PackedModelFixture : ::testing::Test
{
    PackedModelFixture() : vertices(3), model((UnpackVertices(kPacked, kBox, vertices), vertices), kWeights,
                                              kTexture, kCorners)
    {
        model.AddPackedPart(-1, 2, {}, {}, "ZYX");
        model.AddPackedPart(0, 2, {0.0f, 1.0f, 0.0f}, {}, "ZYX");
        model.AddMaterial(L"Grass.jpg", 3);
        model.AddMaterial(L"Grass.jpg", 3);
    }
    std::vector<CModelVertex> vertices;
    CPackedModel model;
};

}  // namespace

TEST_F(PackedModelFixture, UnpacksTheBoxEndsAndNormalFields)
{
    EXPECT_EQ(CVector3(-1.0f, 0.0f, 2.0f), vertices[0].position);
    EXPECT_EQ(CVector3(1.0f, 4.0f, 6.0f), vertices[1].position);
    EXPECT_EQ(CVector3(1.0f, 1.0f, 1.0f), vertices[0].normal);
    EXPECT_EQ(CVector3(-1.0f, -1.0f, -1.0f), vertices[1].normal);
    EXPECT_EQ(CVector3(1.0f, 4.0f, 6.0f), model.GetRestVertex(2));
    EXPECT_EQ(1, CountReports([&] { model.GetRestVertex(4); }));
}

TEST_F(PackedModelFixture, SkinsOnceAfterTwoPlacementsAndBlendsSharedVertices)
{
    CTransform placement;
    placement.SetTranslation(5.0f, 0.0f, 0.0f);
    model.SetTransform(placement);
    placement.SetTranslation(10.0f, 0.0f, 0.0f);
    model.SetTransform(placement);
    // Part 1 turns 90 degrees about Z at its origin (0, 1, 0).
    model.GetPart(1).SetRotation(0.0f, 0.0f, 90.0f, CGroupNode::kFromRest);
    CRecordingContext context;
    const int skinsBefore = model.GetSkinCount();
    model.Draw(context);
    model.Draw(context);
    EXPECT_EQ(skinsBefore + 1, model.GetSkinCount());
    model.ReleaseSkin();
    model.Draw(context);
    EXPECT_EQ(skinsBefore + 2, model.GetSkinCount());
    const std::vector<CModelVertex>& skinned = model.GetSkinnedVertices();
    EXPECT_NEAR(9.0f, skinned[0].position.x, 1e-4f);
    // (1, 4) about (0, 1) by 90 degrees: (-3, 2); placed 10 to the right.
    EXPECT_NEAR(7.0f, skinned[1].position.x, 1e-4f);
    EXPECT_NEAR(2.0f, skinned[1].position.y, 1e-4f);
    // (1, 0) half on each part: (11, 0) and, turned, (11, 2) averaged.
    EXPECT_NEAR(11.0f, skinned[2].position.x, 1e-3f);
    EXPECT_NEAR(1.0f, skinned[2].position.y, 1e-3f);
}

TEST_F(PackedModelFixture, TransparentMaterialDrawsNothingAndTheNextKeepsItsCorners)
{
    model.SetMaterialColor(0xFFFFFFFF);
    model.SetMaterialColor(0, 0x00FFFFFF);
    CRecordingContext context;
    model.Draw(context);
    EXPECT_EQ("V0,0,2 X", context.Log());
    ASSERT_EQ(3u, context.GetVertices().size());
    EXPECT_EQ(0.0f, context.GetVertices()[0].u);
    EXPECT_EQ(1.0f, context.GetVertices()[0].v);
    EXPECT_EQ(1.0f, context.GetVertices()[2].u);
}
