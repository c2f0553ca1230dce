#include <gtest/gtest.h>

#include <vector>

#include "tests/render3d/GraphicsTestSystems.h"
#include "ui/RenderTiles.h"

namespace {

struct CTile
{
    float x, y, width, height;
};

std::vector<CTile> Walk(float width, float height)
{
    std::vector<CTile> tiles;
    for (CRenderTiles walker(width, height); walker.y < walker.height && tiles.size() < 1000; walker.Next())
        tiles.push_back({walker.x, walker.y, walker.tileWidth, walker.tileHeight});
    return tiles;
}

class RenderTiles : public testing::Test
{
protected:
    void SetUp() override
    {
        CGraphicsSystemTestAccess::ResetRun();
        CGraphicsSystemTestAccess::SetScreenSize(100.0f, 80.0f);
    }
    void TearDown() override { CGraphicsSystemTestAccess::ResetRun(); }
};

}  // namespace

TEST_F(RenderTiles, AnAreaSmallerThanTheScreenIsOneTile)
{
    const std::vector<CTile> tiles = Walk(60.0f, 80.0f);
    ASSERT_EQ(1u, tiles.size());
    EXPECT_EQ(0.0f, tiles[0].x);
    EXPECT_EQ(0.0f, tiles[0].y);
    EXPECT_EQ(60.0f, tiles[0].width);
    EXPECT_EQ(80.0f, tiles[0].height);
}

TEST_F(RenderTiles, TwoAndAHalfTileWidthsGiveThreeTilesPerRowTheLastHalfAsWide)
{
    const std::vector<CTile> tiles = Walk(250.0f, 120.0f);
    ASSERT_EQ(6u, tiles.size());
    const float xs[] = {0, 100, 200, 0, 100, 200};
    const float ys[] = {0, 0, 0, 80, 80, 80};
    const float widths[] = {100, 100, 50, 100, 100, 50};
    const float heights[] = {80, 80, 80, 40, 40, 40};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(xs[i], tiles[i].x) << i;
        EXPECT_EQ(ys[i], tiles[i].y) << i;
        EXPECT_EQ(widths[i], tiles[i].width) << i;
        EXPECT_EQ(heights[i], tiles[i].height) << i;
    }
}

TEST_F(RenderTiles, TilesFollowTheScreenNotTheFixedLimit)
{
    CGraphicsSystemTestAccess::SetScreenSize(1920.0f, 1080.0f);
    const std::vector<CTile> tiles = Walk(12000.0f, 3000.0f);
    ASSERT_EQ(21u, tiles.size());
    EXPECT_EQ(480.0f, tiles[6].width);
    EXPECT_EQ(11520.0f, tiles[6].x);
    EXPECT_EQ(840.0f, tiles[20].height);
    EXPECT_EQ(2160.0f, tiles[20].y);
}

TEST_F(RenderTiles, AnAreaWithoutPixelsHasNoTiles)
{
    EXPECT_TRUE(Walk(0.0f, 50.0f).empty());
    EXPECT_TRUE(Walk(50.0f, 0.0f).empty());
    EXPECT_TRUE(Walk(-5.0f, 50.0f).empty());
    EXPECT_TRUE(Walk(0.5f, 0.5f).empty());
}
