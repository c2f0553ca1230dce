#include "ui/RenderTiles.h"

#include <algorithm>

#include "graphics/GraphicsBackEnd.h"

CRenderTiles::CRenderTiles(float width_, float height_) : width(width_), height(height_)
{
    const CSize2 largest = GetLargestOffscreenTile(false);
    m_maxWidth = largest.width;
    m_maxHeight = largest.height;
    if (!(width >= 1.0f) || !(height >= 1.0f)) {
        // Nothing to walk: the caller's loop ends at once.
        width = 0.0f;
        height = 0.0f;
        return;
    }
    tileWidth = std::min(width, m_maxWidth);
    tileHeight = std::min(height, m_maxHeight);
}

void CRenderTiles::Next()
{
    x += tileWidth;
    if (x >= width) {
        x = 0.0f;
        y += tileHeight;
    }
    tileWidth = std::min(width - x, m_maxWidth);
    tileHeight = std::min(height - y, m_maxHeight);
}
