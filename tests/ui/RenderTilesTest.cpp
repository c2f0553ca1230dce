#include <gtest/gtest.h>

#include <vector>

#include "tests/render3d/GraphicsTestSystems.h"
#include "ui/RenderTiles.h"

namespace {

struct CTile
{
    float x, y, width, height;
};

bool operator==(const CTile& a, const CTile& b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

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
    EXPECT_EQ((std::vector<CTile>{{0, 0, 60, 80}}), Walk(60.0f, 80.0f));
}

TEST_F(RenderTiles, TwoAndAHalfTileWidthsGiveThreeTilesPerRowTheLastHalfAsWide)
{
    const std::vector<CTile> expected = {{0, 0, 100, 80},  {100, 0, 100, 80},  {200, 0, 50, 80},
                                         {0, 80, 100, 40}, {100, 80, 100, 40}, {200, 80, 50, 40}};
    EXPECT_EQ(expected, Walk(250.0f, 120.0f));
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
