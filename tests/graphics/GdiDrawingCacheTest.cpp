#include <gtest/gtest.h>

#include <vector>

#include "graphics/GdiDrawingCache.h"
#include "tests/support/CanvasTestHelpers.h"

namespace {

// Each frame visits the drawables in an order of its own: every one must get
// its own drawing however the order changed since the last frame, also after
// a sweep, and nothing once its key or the view changed.
TEST(GdiDrawingCache, EveryOrderOfVisitsFindsEachDrawablesOwnDrawing)
{
    std::vector<CFunctionDrawable> drawables(200, CFunctionDrawable([](CGraphicsContext&) {}));
    const CTransform place;
    CGdiDrawingCache cache;
    CGdiDrawingCache::CFrameView view;
    // Each drawable draws one path with its index as the pen width; returns
    // which visits found a kept drawing.
    const auto frame = [&](const std::vector<int>& order) {
        std::vector<bool> found;
        cache.BeginFrame(view);
        for (const int index : order) {
            const CDrawable& drawable = drawables[size_t(index)];
            const CGdiDrawingCache::CDrawing* kept = cache.Find(drawable, drawable.GetKey(), place);
            found.push_back(kept != nullptr);
            if (kept) {
                EXPECT_EQ(index, kept->parts.at(0).style.penWidth) << "drawable " << index;
            } else if (CGdiDrawingCache::CDrawing* started = cache.Start(drawable, drawable.GetKey(), place)) {
                CGdiDrawingCache::CPathStyle style;
                style.penWidth = index;
                CGdiDrawingCache::AddPath(*started, style, {POINT{index, index}}, {BYTE(PT_MOVETO)});
            }
        }
        cache.EndFrame();
        return found;
    };
    using V = std::vector<bool>;
    EXPECT_EQ(V(4, false), frame({0, 1, 2, 3}));
    EXPECT_EQ(V(4, true), frame({0, 1, 2, 3}));
    EXPECT_EQ(V(3, true), frame({0, 2, 3}));
    EXPECT_EQ(V({true, true, false, true, true}), frame({0, 1, 4, 2, 3}));
    EXPECT_EQ(V(5, true), frame({3, 2, 4, 1, 0}));
    EXPECT_EQ(V({true, true, false, true}), frame({3, 3, 5, 2}));
    EXPECT_EQ(V(6, true), frame({4, 1, 0, 2, 3, 5}));

    drawables[2].MakeUniqueKey();
    EXPECT_EQ(V({true, false, true}), frame({1, 2, 3}));
    EXPECT_EQ(V(2, true), frame({1, 2}));

    // 200 drawn, then 10: the unused ones are swept, the frames after find
    // the ten by their order.
    std::vector<int> all(200);
    for (int i = 0; i < 200; ++i)
        all[size_t(i)] = i;
    frame(all);
    const std::vector<int> few(all.begin() + 190, all.end());
    EXPECT_EQ(V(10, true), frame(few));
    EXPECT_EQ(10u, cache.GetSize());
    EXPECT_EQ(V(10, true), frame(few));

    view.windowWidth = 100.0f;
    EXPECT_EQ(V(2, false), frame({190, 191}));
}

}  // namespace
