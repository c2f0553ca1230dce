#include <gtest/gtest.h>

#include <windows.h>

#include "foundation/Rgba.h"
#include "graphics/GdiBitmap.h"
#include "graphics/PixelBitmap.h"
#include "tests/support/FailureReports.h"

namespace
{

// The DIB's 32-bit value at (x, y) from the top: 0x00RRGGBB.
uint32_t DibValue(const CGdiBitmap& dib, int x, int y)
{
    const auto* row = static_cast<const uint8_t*>(dib.GetBits()) + y * dib.GetStride();
    return reinterpret_cast<const uint32_t*>(row)[x];
}

}  // namespace

TEST(GdiBitmap, CreateMakesATopDown32BitDib)
{
    CGdiBitmap dib;
    EXPECT_EQ(nullptr, dib.GetBits());
    ASSERT_TRUE(dib.Create(5.0f, 3.0f));
    EXPECT_EQ(5.0f, dib.GetWidth());
    EXPECT_EQ(3.0f, dib.GetHeight());
    EXPECT_EQ(20, dib.GetStride());
    EXPECT_EQ(5, dib.GetHeader().biWidth);
    EXPECT_EQ(-3, dib.GetHeader().biHeight);
    EXPECT_EQ(32, dib.GetHeader().biBitCount);
    BITMAP info = {};
    ASSERT_EQ(int(sizeof(info)), GetObjectW(dib.GetBitmap(), sizeof(info), &info));
    EXPECT_EQ(5, info.bmWidth);
    EXPECT_EQ(3, info.bmHeight);
    EXPECT_EQ(32, info.bmBitsPixel);
    EXPECT_EQ(dib.GetBitmap(), GetCurrentObject(dib.GetDC(), OBJ_BITMAP));

    // Drawing at the top-left corner lands in memory row 0.
    RECT corner = {0, 0, 1, 1};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dib.GetDC(), &corner, red);
    DeleteObject(red);
    GdiFlush();
    EXPECT_EQ(0x00FF0000u, DibValue(dib, 0, 0) & 0xFFFFFF);
}

TEST(GdiBitmap, CreateWithTheSameSizeKeepsTheDib)
{
    CGdiBitmap dib;
    ASSERT_TRUE(dib.Create(4.0f, 4.0f));
    void* bits = dib.GetBits();
    HBITMAP bitmap = dib.GetBitmap();
    ASSERT_TRUE(dib.Create(4.0f, 4.0f));
    EXPECT_EQ(bits, dib.GetBits());
    EXPECT_EQ(bitmap, dib.GetBitmap());
    ASSERT_TRUE(dib.Create(6.0f, 2.0f));
    EXPECT_EQ(6.0f, dib.GetWidth());
    EXPECT_EQ(24, dib.GetStride());
    EXPECT_EQ(dib.GetBitmap(), GetCurrentObject(dib.GetDC(), OBJ_BITMAP));
}

TEST(GdiBitmap, SizeOfZeroIsReported)
{
    CGdiBitmap dib;
    bool created = true;
    EXPECT_EQ(1, CountReports([&] { created = dib.Create(0.0f, 4.0f); }));
    EXPECT_FALSE(created);
    EXPECT_EQ(1, CountReports([&] { created = dib.Create(4.0f, -2.0f); }));
    EXPECT_FALSE(created);
    EXPECT_EQ(nullptr, dib.GetBits());
    CPixelBitmap pixels;
    EXPECT_EQ(1, CountReports([&] { EXPECT_FALSE(dib.GetPixels(pixels)); }));
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(nullptr, dib.ToDeviceBitmap()); }));
}

TEST(GdiBitmap, PixelsGoInUprightAndComeBackOpaque)
{
    CPixelBitmap picture(3.0f, 2.0f);
    picture.SetPixel(0, 0, 0xFF0000FF);
    picture.SetPixel(2, 0, 0x80FF8040);
    picture.SetPixel(1, 1, 0x00123456);
    CGdiBitmap dib;
    dib.SetPixels(picture);
    ASSERT_NE(nullptr, dib.GetBits());
    // Memory row 0 is the top row: blue, green, red bytes and a zero byte.
    EXPECT_EQ(0x00FF0000u, DibValue(dib, 0, 0));
    EXPECT_EQ(0x004080FFu, DibValue(dib, 2, 0));
    EXPECT_EQ(0x00563412u, DibValue(dib, 1, 1));
    EXPECT_EQ(0x00FFFFFFu, DibValue(dib, 0, 1));
    COLORREF seen = GetPixel(dib.GetDC(), 0, 0);
    EXPECT_EQ(RGB(255, 0, 0), seen);

    CPixelBitmap back;
    ASSERT_TRUE(dib.GetPixels(back));
    ASSERT_EQ(3.0f, back.GetWidth());
    ASSERT_EQ(2.0f, back.GetHeight());
    EXPECT_EQ(0xFF0000FFu, back.GetPixel(0, 0));
    EXPECT_EQ(0xFFFF8040u, back.GetPixel(2, 0));
    EXPECT_EQ(0xFF123456u, back.GetPixel(1, 1));
    EXPECT_EQ(0xFFFFFFFFu, back.GetPixel(2, 1));
}

TEST(GdiBitmap, StretchToScalesIntoTheRectangle)
{
    CPixelBitmap picture(2.0f, 2.0f);
    picture.GetPixels() = {0xFF00FF00, 0xFFFF0000, 0xFF0000FF, 0xFF000000};
    CGdiBitmap source;
    source.SetPixels(picture);
    CGdiBitmap target;
    ASSERT_TRUE(target.Create(8.0f, 8.0f));
    RECT white = {0, 0, 8, 8};
    FillRect(target.GetDC(), &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const RECT rect = {2, 2, 6, 6};
    ASSERT_TRUE(source.StretchTo(target.GetDC(), rect));
    CPixelBitmap result;
    ASSERT_TRUE(target.GetPixels(result));
    EXPECT_EQ(0xFFFFFFFFu, result.GetPixel(1, 1));
    EXPECT_EQ(0xFF0000FFu, result.GetPixel(2, 2));   // top-left: red
    EXPECT_EQ(0xFF0000FFu, result.GetPixel(3, 3));
    EXPECT_EQ(0xFF000000u, result.GetPixel(5, 2));   // top-right: black
    EXPECT_EQ(0xFF00FF00u, result.GetPixel(2, 5));   // bottom-left: green
    EXPECT_EQ(0xFFFF0000u, result.GetPixel(5, 5));   // bottom-right: blue
    EXPECT_EQ(0xFFFFFFFFu, result.GetPixel(6, 6));

    const RECT empty = {4, 4, 4, 6};
    EXPECT_EQ(1, CountReports([&] { EXPECT_FALSE(source.StretchTo(target.GetDC(), empty)); }));
    EXPECT_EQ(1, CountReports([&] { EXPECT_FALSE(source.StretchTo(nullptr, rect)); }));
}

TEST(GdiBitmap, PixelsStretchedStraightMatchTheDibOfTheirColours)
{
    // Every pixel different, alpha of every kind, a width that pads nothing.
    CPixelBitmap picture(5.0f, 3.0f);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            picture.SetPixel(x, y, uint32_t(0x11 * x) | uint32_t(0x40 * y) << 8 | uint32_t(0x2B * (x + y)) << 16 |
                                       uint32_t(0x3F * (x % 4)) << 24);
    CGdiBitmap dib;
    dib.SetPixels(picture);
    const RECT rects[] = {
        {0, 0, 5, 3},     // as it is
        {1, 2, 16, 11},   // enlarged three times
        {3, 1, 6, 3},     // shrunk, rows and columns dropped
        {0, 0, 20, 1},    // one row, wide
    };
    for (const RECT& rect : rects) {
        CGdiBitmap viaDib;
        CGdiBitmap straight;
        for (CGdiBitmap* target : {&viaDib, &straight}) {
            ASSERT_TRUE(target->Create(24.0f, 16.0f));
            RECT all = {0, 0, 24, 16};
            FillRect(target->GetDC(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        }
        ASSERT_TRUE(dib.StretchTo(viaDib.GetDC(), rect));
        ASSERT_TRUE(CGdiBitmap::StretchPixelsTo(picture, straight.GetDC(), rect));
        GdiFlush();
        int differing = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 24; ++x)
                differing += (DibValue(viaDib, x, y) & 0xFFFFFF) != (DibValue(straight, x, y) & 0xFFFFFF) ? 1 : 0;
        EXPECT_EQ(0, differing) << rect.left << "," << rect.top << " - " << rect.right << "," << rect.bottom;
    }
    CPixelBitmap empty;
    CGdiBitmap target;
    ASSERT_TRUE(target.Create(5.0f, 3.0f));
    EXPECT_EQ(1, CountReports([&] { EXPECT_FALSE(CGdiBitmap::StretchPixelsTo(empty, target.GetDC(), rects[0])); }));
}

TEST(GdiBitmap, DeviceBitmapCopiesThePixels)
{
    CPixelBitmap picture(3.0f, 2.0f);
    picture.SetPixel(0, 0, 0xFF0000FF);
    picture.SetPixel(2, 1, 0xFF00FF00);
    CGdiBitmap dib;
    dib.SetPixels(picture);
    HBITMAP device = dib.ToDeviceBitmap();
    ASSERT_NE(nullptr, device);
    BITMAP info = {};
    ASSERT_EQ(int(sizeof(info)), GetObjectW(device, sizeof(info), &info));
    EXPECT_EQ(3, info.bmWidth);
    EXPECT_EQ(2, info.bmHeight);
    // A screen-compatible bitmap is not a DIB section.
    DIBSECTION section = {};
    EXPECT_NE(int(sizeof(section)), GetObjectW(device, sizeof(section), &section));

    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, device);
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(memory, 0, 0));
    EXPECT_EQ(RGB(0, 255, 0), GetPixel(memory, 2, 1));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(memory, 1, 0));
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(device);
}
