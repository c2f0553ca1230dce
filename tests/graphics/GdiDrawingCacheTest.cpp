#include <gtest/gtest.h>

#include <vector>

#include "graphics/GdiDrawingCache.h"
#include "tests/support/CanvasTestHelpers.h"

namespace {

// The drawings left unused are swept once they outnumber the used ones; the
// frames after the sweep find the ones in use by the order of the last
// frame, and another view forgets them all. (The repaints of RenderScene
// cover frames drawn in other orders.)
TEST(GdiDrawingCache, SweepKeepsTheDrawingsInUseAndTheirOrder)
{
    std::vector<CFunctionDrawable> drawables(200, CFunctionDrawable([](CGraphicsContext&) {}));
    const CTransform place;
    CGdiDrawingCache cache;
    CGdiDrawingCache::CFrameView view;
    // Draws drawables [first, 200); returns how many were kept.
    const auto frame = [&](size_t first) {
        size_t found = 0;
        cache.BeginFrame(view);
        for (size_t i = first; i < drawables.size(); ++i) {
            if (cache.Find(drawables[i], drawables[i].GetKey(), place))
                ++found;
            else
                cache.Start(drawables[i], drawables[i].GetKey(), place);
        }
        cache.EndFrame();
        return found;
    };
    EXPECT_EQ(0u, frame(0));
    EXPECT_EQ(10u, frame(190));
    EXPECT_EQ(10u, cache.GetSize());
    EXPECT_EQ(10u, frame(190));
    EXPECT_EQ(10u, frame(180));
    EXPECT_EQ(20u, cache.GetSize());
    view.windowWidth = 100.0f;
    EXPECT_EQ(0u, frame(190));
}

}  // namespace
