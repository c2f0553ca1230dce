#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/GdiDrawingCache.h"
#include "tests/support/CanvasTestHelpers.h"

namespace {

// Each frame visits the drawables in an order of its own: the cache must
// give every one its own drawing however the order changed since the last
// frame, and nothing for one it has not kept.
TEST(GdiDrawingCache, EveryOrderOfVisitsFindsEachDrawablesOwnDrawing)
{
    std::vector<CFunctionDrawable> drawables(6, CFunctionDrawable([](CGraphicsContext&) {}));
    const CTransform place;
    CGdiDrawingCache cache;
    CGdiDrawingCache::CFrameView view;
    // What each drawable drew: its index as the pen width of one path.
    const auto visit = [&](int index) {
        const CDrawable& drawable = drawables[size_t(index)];
        if (const CGdiDrawingCache::CDrawing* kept = cache.Find(drawable, drawable.GetKey(), place)) {
            EXPECT_EQ(index, kept->parts.at(0).style.penWidth) << "drawable " << index;
            return true;
        }
        CGdiDrawingCache::CDrawing* started = cache.Start(drawable, drawable.GetKey(), place);
        EXPECT_NE(nullptr, started) << "drawable " << index;
        if (started) {
            CGdiDrawingCache::CPathStyle style;
            style.penWidth = index;
            CGdiDrawingCache::AddPath(*started, style, {POINT{index, index}}, {BYTE(PT_MOVETO)});
        }
        return false;
    };

    struct CFrame
    {
        const char* what;
        std::vector<int> order;
        // Which of the visits found a kept drawing.
        std::vector<bool> found;
    };
    const CFrame frames[] = {
        {"first", {0, 1, 2, 3}, {false, false, false, false}},
        {"same order", {0, 1, 2, 3}, {true, true, true, true}},
        {"one left out", {0, 2, 3}, {true, true, true}},
        {"one put back and a new one", {0, 1, 4, 2, 3}, {true, true, false, true, true}},
        {"reversed", {3, 2, 4, 1, 0}, {true, true, true, true, true}},
        {"visited twice", {3, 3, 5, 2}, {true, true, false, true}},
        {"from the middle", {4, 1, 0, 2, 3, 5}, {true, true, true, true, true, true}},
    };
    for (const CFrame& frame : frames) {
        SCOPED_TRACE(frame.what);
        cache.BeginFrame(view);
        for (size_t i = 0; i < frame.order.size(); ++i)
            EXPECT_EQ(frame.found[i], visit(frame.order[i])) << "visit " << i;
        cache.EndFrame();
    }

    // A drawable whose key changed draws anew, and is found in the next frame.
    drawables[2].MakeUniqueKey();
    cache.BeginFrame(view);
    EXPECT_TRUE(visit(1));
    EXPECT_FALSE(visit(2));
    EXPECT_TRUE(visit(3));
    cache.EndFrame();
    cache.BeginFrame(view);
    EXPECT_TRUE(visit(1));
    EXPECT_TRUE(visit(2));
    cache.EndFrame();

    // Another view forgets everything, the order of the last frame with it.
    view.windowWidth = 100.0f;
    cache.BeginFrame(view);
    EXPECT_FALSE(visit(1));
    EXPECT_FALSE(visit(2));
    cache.EndFrame();
}

// Drawings left unused are swept once they outnumber the used ones; the
// frame after the sweep still finds the drawings in use by their order.
TEST(GdiDrawingCache, SweepKeepsTheDrawingsInUseAndTheirOrder)
{
    std::vector<CFunctionDrawable> drawables(200, CFunctionDrawable([](CGraphicsContext&) {}));
    const CTransform place;
    CGdiDrawingCache cache;
    const CGdiDrawingCache::CFrameView view;
    const auto frame = [&](size_t count) {
        size_t found = 0;
        cache.BeginFrame(view);
        for (size_t i = 0; i < count; ++i) {
            if (cache.Find(drawables[i], drawables[i].GetKey(), place))
                ++found;
            else
                cache.Start(drawables[i], drawables[i].GetKey(), place);
        }
        cache.EndFrame();
        return found;
    };
    EXPECT_EQ(0u, frame(200));
    EXPECT_EQ(200u, cache.GetSize());
    EXPECT_EQ(10u, frame(10));
    EXPECT_EQ(10u, cache.GetSize());
    EXPECT_EQ(10u, frame(10));
    EXPECT_EQ(10u, frame(20));
    EXPECT_EQ(20u, cache.GetSize());
}

}  // namespace
