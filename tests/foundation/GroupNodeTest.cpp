#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "foundation/GroupNode.h"
#include "foundation/PolygonClip.h"

namespace {

struct CFakeOwner : CGroupNodeOwner
{
    const CTransform& GetBaseTransform() const override { return base; }
    void InvalidateGeometry() override { ++invalidations; }
    CTransform base;
    int invalidations = 0;
};

void ExpectVectorNear(const CVector3& expected, const CVector3& actual)
{
    EXPECT_NEAR(expected.x, actual.x, 1e-5f);
    EXPECT_NEAR(expected.y, actual.y, 1e-5f);
    EXPECT_NEAR(expected.z, actual.z, 1e-5f);
}

}  // namespace

TEST(GroupNode, RootIsTheBaseFollowedByItsPosition)
{
    CFakeOwner owner;
    owner.base.Scale(2.0f);
    owner.base.SetTranslation(0.0f, 5.0f, 0.0f);
    CGroupNode root(owner, nullptr, 0, {1.0f, 0.0f, 0.0f}, {}, "XYZ");
    ExpectVectorNear({2.0f, 5.0f, 0.0f}, root.GetWorldTransform().GetTranslation());
}

TEST(GroupNode, RotationModesAndTheirStartingFrames)
{
    CFakeOwner owner;
    CGroupNode node(owner, nullptr, 0, {}, {0.0f, 0.0f, 30.0f}, "ZYX");
    const float half = 0.5f, root3 = 0.8660254f;
    struct
    {
        int mode;
        CVector3 xImage;
    } cases[] = {
        {CGroupNode::kFromRest, {0.0f, 1.0f, 0.0f}},           // 90
        {CGroupNode::kAddedToRest, {-half, root3, 0.0f}},      // 30 + 90
        {CGroupNode::kAfterRest, {-half, root3, 0.0f}},        // 30, then 90
    };
    for (const auto& c : cases) {
        node.SetRotation(0.0f, 0.0f, 90.0f, c.mode);
        ExpectVectorNear(c.xImage, node.GetLocalTransform().TransformVector({1.0f, 0.0f, 0.0f}));
    }
    // Mode 3 turns about the world X axis of the first placement, whatever
    // the rest rotation made of the node's own X.
    node.SetRotation(30.0f, 0.0f, 0.0f, CGroupNode::kInitialAxes);
    const CVector3 y = node.GetLocalTransform().TransformVector({1.0f, 0.0f, 0.0f});
    ExpectVectorNear({root3, half * root3, half * half}, {y.x, y.y, std::fabs(y.z)});
    EXPECT_EQ(4, owner.invalidations - 1);
}

TEST(GroupNode, OrderZThenXSkipsTheUnlistedAxis)
{
    CFakeOwner owner;
    CGroupNode node(owner, nullptr, 0, {}, {}, "XYZ");
    node.SetRotation(10.0f, 45.0f, 20.0f, CGroupNode::kFromRest, "ZX");
    CTransform zThenX;
    zThenX.RotateZ(20.0f);
    zThenX.RotateX(10.0f);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(zThenX.GetMatrix()[i], node.GetLocalTransform().GetMatrix()[i], 1e-6f) << i;
    CTransform xThenZ;
    xThenZ.RotateX(10.0f);
    xThenZ.RotateZ(20.0f);
    EXPECT_GT(std::fabs(xThenZ.GetMatrix()[2] - zThenX.GetMatrix()[2]), 1e-3f);
}

TEST(GroupNode, ParentChangeReachesEveryDescendant)
{
    CFakeOwner owner;
    CGroupNode root(owner, nullptr, 0, {}, {}, "XYZ");
    CGroupNode child(owner, &root, 1, {1.0f, 0.0f, 0.0f}, {}, "XYZ");
    CGroupNode grandChild(owner, &child, 2, {1.0f, 0.0f, 0.0f}, {}, "XYZ");
    ASSERT_EQ(1u, root.GetChildren().size());
    ExpectVectorNear({2.0f, 0.0f, 0.0f}, grandChild.GetWorldTransform().GetTranslation());
    CTransform moved;
    moved.SetTranslation(0.0f, 0.0f, 3.0f);
    root.SetLocalTransform(moved);
    ExpectVectorNear({2.0f, 0.0f, 3.0f}, grandChild.GetWorldTransform().GetTranslation());
    ExpectVectorNear({2.0f, 0.0f, 0.0f}, grandChild.GetInitialWorldTransform().GetTranslation());
}

TEST(PolygonClip, InsideOutsideAndOneCornerCut)
{
    const float plane[4] = {1.0f, 0.0f, 0.0f, 0.0f};  // keeps x >= 0
    std::vector<CVector3> out{{9.0f, 9.0f, 9.0f}};
    ClipPolygonToPlane(plane, {}, out);
    EXPECT_TRUE(out.empty());
    const std::vector<CVector3> inside{{0.0f, 0.0f, 0.0f}, {2.0f, 0.0f, 0.0f}, {2.0f, 2.0f, 1.0f}};
    ClipPolygonToPlane(plane, inside, out);
    EXPECT_EQ(inside, out);
    ClipPolygonToPlane(plane, {{-1.0f, 0.0f, 0.0f}, {-2.0f, 1.0f, 0.0f}, {-1.0f, 1.0f, 0.0f}}, out);
    EXPECT_TRUE(out.empty());
    ClipPolygonToPlane(plane, {{-2.0f, 0.0f, 0.0f}, {2.0f, 0.0f, 4.0f}, {2.0f, 4.0f, 0.0f}}, out);
    const std::vector<CVector3> quad{{0.0f, 0.0f, 2.0f}, {2.0f, 0.0f, 4.0f}, {2.0f, 4.0f, 0.0f}, {0.0f, 2.0f, 0.0f}};
    EXPECT_EQ(quad, out);
}
