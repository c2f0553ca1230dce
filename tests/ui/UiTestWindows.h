#pragma once

#include <windows.h>

#include <cstdint>

#include "graphics/Drawable.h"
#include "graphics/GraphicsContext.h"
#include "ui/FrameWindowList.h"
#include "ui/Window.h"

// A listed frame with a real hidden top-level window (for IsIconic and the
// owner and enabling rules).
class CTestFrame : public CFrameListEntry
{
public:
    CTestFrame() : CFrameListEntry(true)
    {
        hwnd = CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }
    ~CTestFrame() override { DestroyWindow(hwnd); }
};

// A window with limits of its own and no native window; counts how often its
// bounds were pushed.
class CFixedWindow : public CWindow
{
public:
    CFixedWindow(int minW, int prefW, int maxW, int stretchW, int minH, int prefH, int maxH, int stretchH);
    // Fixed in both directions.
    CFixedWindow(int width, int height) : CFixedWindow(width, width, width, 0, height, height, height, 0) {}

    void Measure() override;
    void CreateNativeWindow(CNativeWindow& owner) override { ++createCount; }
    void ApplyBounds() override { ++applyCount; }

    int limits[8];
    int applyCount = 0;
    int createCount = 0;
};

// A window whose limits depend on the space offered: as wide as offered,
// with a height that grows as the width shrinks (a wrapping text).
class CWrappingWindow : public CWindow
{
public:
    explicit CWrappingWindow(int area) : m_area(area) {}

    bool DependsOnAvailableSize() const override { return true; }
    void MeasureWithin(float width, float height) override;
    void CreateNativeWindow(CNativeWindow& owner) override {}

    float offeredWidth = -1.0f;
    float offeredHeight = -1.0f;

private:
    int m_area;
};

// Fills its rectangle in one colour and counts how often it was drawn.
class CCountingDrawable : public CDrawable
{
public:
    CCountingDrawable(const CRectF& rect_, uint32_t color_) : rect(rect_), color(color_) {}
    void Draw(CGraphicsContext& context) override;

    CRectF rect;
    uint32_t color;
    int draws = 0;
};
