#include <gtest/gtest.h>

#include "ui/Scene.h"

namespace {

class CCountingScene : public CScene
{
public:
    CCountingScene() : CScene(false, 3) {}
    bool SetMapMode(bool newMapMode) override
    {
        ++calls;
        return CScene::SetMapMode(newMapMode);
    }
    int calls = 0;
};

}  // namespace

TEST(Scene, NewSceneHasEmptySlotsAndDefaults)
{
    CScene scene(true, 4);
    ASSERT_EQ(4u, scene.items.size());
    ASSERT_EQ(4u, scene.is3D.size());
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(nullptr, scene.items[i]);
        EXPECT_FALSE(scene.is3D[i]);
    }
    EXPECT_TRUE(scene.mapMode);
    EXPECT_FALSE(scene.all3D);
    EXPECT_EQ(CTransform(), scene.transform);
    EXPECT_EQ(-10000.0f, scene.nearDepth);
    EXPECT_EQ(10000.0f, scene.farDepth);
    EXPECT_EQ(0xFFFFFFFFu, scene.background);
    EXPECT_FALSE(CScene(false, 1).mapMode);
}

TEST(Scene, Has3DItemsFollowsTheSlotFlagsAndAll3D)
{
    CScene scene(false, 3);
    EXPECT_FALSE(scene.Has3DItems());
    scene.is3D[2] = true;
    EXPECT_TRUE(scene.Has3DItems());
    scene.is3D[2] = false;
    EXPECT_FALSE(scene.Has3DItems());
    scene.all3D = true;
    EXPECT_TRUE(scene.Has3DItems());
    // all3D changes nothing else: the slot flags stay as they were.
    EXPECT_FALSE(scene.is3D[0] || scene.is3D[1] || scene.is3D[2]);
}

TEST(Scene, AZeroSlotSceneIsTwoDimensional)
{
    CScene scene(true, 0);
    EXPECT_TRUE(scene.items.empty());
    EXPECT_FALSE(scene.Has3DItems());
}

TEST(Scene, SetMapModeStoresTheFlagThroughTheVirtualSlot)
{
    CCountingScene counting;
    CScene& scene = counting;
    EXPECT_TRUE(scene.SetMapMode(true));
    EXPECT_TRUE(scene.mapMode);
    EXPECT_FALSE(scene.SetMapMode(false));
    EXPECT_FALSE(scene.mapMode);
    EXPECT_EQ(2, counting.calls);
}
