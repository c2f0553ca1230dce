#pragma once

// Walks a large pixel area in tiles no larger than the screen (the largest
// off-screen picture every back end can make), left to right, then row by
// row. The last tile of a row and the tiles of the last row are cut to
// what is left of the area.
//
//     for (CRenderTiles tiles(width, height); tiles.y < tiles.height; tiles.Next())
//         render the tile (tiles.x, tiles.y, tiles.tileWidth, tiles.tileHeight);
//
// An area without pixels (a side below 1) has no tiles.
class CRenderTiles
{
public:
    CRenderTiles(float width, float height);

    void Next();

    // The whole area.
    float width;
    float height;
    // The current tile's size and top-left corner.
    float tileWidth = 0.0f;
    float tileHeight = 0.0f;
    float x = 0.0f;
    float y = 0.0f;

private:
    float m_maxWidth;
    float m_maxHeight;
};
