#include <gtest/gtest.h>

#include <windows.h>

#include <gdiplus.h>

#include <vector>

#include "foundation/ColorTable.h"
#include "foundation/Rgba.h"
#include "graphics/GdiplusBitmap.h"
#include "graphics/PixelBitmap.h"
#include "graphics/PixelRange.h"
#include "tests/support/FailureReports.h"

namespace
{

constexpr uint32_t kRed = 0xFF0000FF;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFFFF0000;
constexpr uint32_t kWhite = 0xFFFFFFFF;

// A w x h bitmap whose pixel (x, y) is an opaque colour made of x and y.
CPixelBitmap MakeNumbered(int w, int h)
{
    CPixelBitmap bitmap{float(w), float(h)};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            bitmap.SetPixel(x, y, MakeRgba(x, y, 100, 255));
    }
    return bitmap;
}

uint32_t Numbered(int x, int y) { return MakeRgba(x, y, 100, 255); }

int GetPixelFormat(const CGdiplusBitmap& bitmap)
{
    Gdiplus::PixelFormat format = 0;
    Gdiplus::DllExports::GdipGetImagePixelFormat(bitmap.GetImage(), &format);
    return int(format);
}

// The palette of a GDI+ bitmap as our colours.
std::vector<uint32_t> GetPalette(const CGdiplusBitmap& bitmap, UINT* flags)
{
    INT size = 0;
    Gdiplus::DllExports::GdipGetImagePaletteSize(bitmap.GetImage(), &size);
    std::vector<uint8_t> bytes(size > 0 ? size : sizeof(Gdiplus::ColorPalette));
    auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(bytes.data());
    Gdiplus::DllExports::GdipGetImagePalette(bitmap.GetImage(), palette, size);
    *flags = palette->Flags;
    std::vector<uint32_t> colors;
    for (UINT i = 0; i < palette->Count; ++i)
        colors.push_back(SwapRedBlue(palette->Entries[i]));
    return colors;
}

}  // namespace

TEST(PixelBitmap, EmptyAndSizedBitmaps)
{
    const CPixelBitmap empty;
    EXPECT_EQ(0.0f, empty.GetWidth());
    EXPECT_EQ(0.0f, empty.GetHeight());
    EXPECT_TRUE(empty.IsEmpty());

    const CPixelBitmap sized(3.0f, 2.0f);
    EXPECT_EQ(3.0f, sized.GetWidth());
    EXPECT_EQ(2.0f, sized.GetHeight());
    ASSERT_EQ(6u, sized.GetPixels().size());
    for (uint32_t p : sized.GetPixels())
        EXPECT_EQ(kWhite, p);
}

TEST(PixelBitmap, TopRowIsStoredLast)
{
    CPixelBitmap bitmap(3.0f, 2.0f);
    bitmap.SetPixel(0, 0, kRed);
    bitmap.SetPixel(2, 1, kBlue);
    EXPECT_EQ(kRed, bitmap.GetPixels()[3]);
    EXPECT_EQ(kBlue, bitmap.GetPixels()[2]);
    EXPECT_EQ(kRed, bitmap.GetPixel(0, 0));
}

TEST(PixelBitmap, PixelOutsideIsReported)
{
    CPixelBitmap bitmap(2.0f, 2.0f);
    uint32_t read = 1;
    EXPECT_EQ(1, CountReports([&] { read = bitmap.GetPixel(2, 0); }));
    EXPECT_EQ(0u, read);
    EXPECT_EQ(1, CountReports([&] { bitmap.SetPixel(0, -1, kRed); }));
    for (uint32_t p : bitmap.GetPixels())
        EXPECT_EQ(kWhite, p);
}

TEST(PixelBitmap, ResizeKeepsStoredPixelsAndAddsWhite)
{
    CPixelBitmap bitmap(2.0f, 2.0f);
    bitmap.GetPixels() = {kRed, kGreen, kBlue, 0x00000000};
    bitmap.Resize(2.0f, 2.0f);
    EXPECT_EQ((std::vector<uint32_t>{kRed, kGreen, kBlue, 0x00000000}), bitmap.GetPixels());
    bitmap.Resize(3.0f, 2.0f);
    EXPECT_EQ(3.0f, bitmap.GetWidth());
    EXPECT_EQ((std::vector<uint32_t>{kRed, kGreen, kBlue, 0x00000000, kWhite, kWhite}), bitmap.GetPixels());
    bitmap.Resize(1.9f, 1.0f);
    EXPECT_EQ(1.0f, bitmap.GetWidth());
    EXPECT_EQ((std::vector<uint32_t>{kRed}), bitmap.GetPixels());
}

TEST(PixelBitmap, SizesThatCannotBeHeldAreReportedAndGiveAnEmptyBitmap)
{
    CPixelBitmap bitmap(4.0f, 4.0f);
    EXPECT_EQ(1, CountReports([&] { bitmap.Resize(-1.0f, 5.0f); }));
    EXPECT_TRUE(bitmap.IsEmpty());
    EXPECT_EQ(0.0f, bitmap.GetWidth());
    EXPECT_EQ(1, CountReports([&] { bitmap.Resize(70000.0f, 1.0f); }));
    EXPECT_TRUE(bitmap.IsEmpty());
    EXPECT_EQ(1, CountReports([&] { bitmap.Resize(20000.0f, 20000.0f); }));
    EXPECT_TRUE(bitmap.IsEmpty());
    EXPECT_TRUE(CPixelBitmap::IsSizeAllowed(8192, 8192));
    EXPECT_FALSE(CPixelBitmap::IsSizeAllowed(8193, 8192));
}

TEST(PixelBitmap, CopyRectCopiesRowsInPlace)
{
    const CPixelBitmap source = MakeNumbered(5, 4);
    CPixelBitmap target(6.0f, 6.0f);
    target.CopyRect(source, 1, 2, 3, 1, 2, 2);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 3 && x < 5 && y >= 1 && y < 3;
            EXPECT_EQ(inside ? Numbered(x - 2, y + 1) : kWhite, target.GetPixel(x, y)) << x << "," << y;
        }
    }
}

TEST(PixelBitmap, CopyRectWithoutSizeTakesAllThatFits)
{
    const CPixelBitmap source = MakeNumbered(5, 4);
    CPixelBitmap target(3.0f, 6.0f);
    target.CopyRect(source, 1, 1, 0, 0, 0, 7);
    // min(5 - 1, 3 - 0) columns and min(4 - 1, 6 - 0) rows.
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(y < 3 ? Numbered(x + 1, y + 1) : kWhite, target.GetPixel(x, y)) << x << "," << y;
    }
}

TEST(PixelBitmap, CopyRectBeyondTheTargetCopiesNothing)
{
    const CPixelBitmap source = MakeNumbered(4, 4);
    CPixelBitmap target(3.0f, 3.0f);
    target.CopyRect(source, 0, 0, 3, 0, 2, 2);
    target.CopyRect(source, 0, 0, 7, 1, 0, 0);
    target.CopyRect(source, 4, 0, 0, 0, 2, 2);
    for (uint32_t p : target.GetPixels())
        EXPECT_EQ(kWhite, p);
}

TEST(PixelBitmap, CopyRectClipsToBothBitmaps)
{
    const CPixelBitmap source = MakeNumbered(4, 4);
    CPixelBitmap target(3.0f, 3.0f);
    // Starting left of and above the target: only the part inside lands.
    target.CopyRect(source, 0, 0, -2, -1, 4, 4);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(x < 2 && y < 3 ? Numbered(x + 2, y + 1) : kWhite, target.GetPixel(x, y)) << x << "," << y;
    }
    // Starting left of the source: the missing source columns are skipped.
    CPixelBitmap second(3.0f, 3.0f);
    second.CopyRect(source, -1, 2, 0, 0, 3, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            const bool inside = x >= 1 && y < 2;
            EXPECT_EQ(inside ? Numbered(x - 1, y + 2) : kWhite, second.GetPixel(x, y)) << x << "," << y;
        }
    }
    // A size larger than both bitmaps.
    CPixelBitmap third(2.0f, 2.0f);
    third.CopyRect(source, 3, 3, 1, 1, 100, 100);
    EXPECT_EQ(Numbered(3, 3), third.GetPixel(1, 1));
    EXPECT_EQ(kWhite, third.GetPixel(0, 0));
    EXPECT_EQ(kWhite, third.GetPixel(1, 0));
}

TEST(PixelBitmap, CopyRectWithinOneBitmapMovesTheBlockWhole)
{
    CPixelBitmap bitmap = MakeNumbered(4, 4);
    bitmap.CopyRect(bitmap, 0, 0, 1, 1, 3, 3);
    for (int y = 1; y < 4; ++y) {
        for (int x = 1; x < 4; ++x)
            EXPECT_EQ(Numbered(x - 1, y - 1), bitmap.GetPixel(x, y)) << x << "," << y;
    }
    CPixelBitmap other = MakeNumbered(4, 4);
    other.CopyRect(other, 1, 1, 0, 0, 3, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Numbered(x + 1, y + 1), other.GetPixel(x, y)) << x << "," << y;
    }
}

TEST(PixelBitmap, CompositeOverBlendsEveryPixel)
{
    CPixelBitmap bitmap(2.0f, 1.0f);
    bitmap.GetPixels() = {0x800000FF, 0x00123456};
    bitmap.CompositeOver(0xFFFF0000);
    // Red at alpha 128 over opaque blue: (255 * 128) / 255 red, (255 * 127) / 255 blue.
    EXPECT_EQ(MakeRgba(128, 0, 127, 255), bitmap.GetPixels()[0]);
    EXPECT_EQ(0xFFFF0000u, bitmap.GetPixels()[1]);
}

TEST(PixelBitmap, OpaqueAndWhiteTests)
{
    CPixelBitmap bitmap(3.0f, 3.0f);
    bool opaque = false;
    bool white = false;
    bitmap.TestOpaqueAndWhite(&opaque, &white);
    EXPECT_TRUE(opaque);
    EXPECT_TRUE(white);

    bitmap.SetPixel(2, 2, 0xFEFFFFFF);
    bitmap.TestOpaqueAndWhite(&opaque, &white);
    EXPECT_FALSE(opaque);
    EXPECT_TRUE(white);

    bitmap.SetPixel(1, 1, 0xFFFFFEFF);
    bitmap.TestOpaqueAndWhite(&opaque, nullptr);
    EXPECT_FALSE(opaque);
    bitmap.TestOpaqueAndWhite(nullptr, &white);
    EXPECT_FALSE(white);
    bitmap.TestOpaqueAndWhite(nullptr, nullptr);
}

TEST(PixelBitmap, MipOfOnePixelStaysOnePixel)
{
    CPixelBitmap source(1.0f, 1.0f);
    source.SetPixel(0, 0, 0xFF336699);
    CPixelBitmap level;
    level.MakeMipLevel(source, 2);
    ASSERT_EQ(1.0f, level.GetWidth());
    ASSERT_EQ(1.0f, level.GetHeight());
    EXPECT_EQ(0xFF336699u, level.GetPixel(0, 0));
}

TEST(PixelBitmap, MipWeightsColoursByAlpha)
{
    CPixelBitmap source(2.0f, 2.0f);
    source.GetPixels() = {kRed, 0x00FF0000, 0x0000FF00, 0x00FFFFFF};
    CPixelBitmap level;
    level.MakeMipLevel(source, 2);
    ASSERT_EQ(1.0f, level.GetWidth());
    EXPECT_EQ(MakeRgba(255, 0, 0, 64), level.GetPixel(0, 0));
}

TEST(PixelBitmap, MipAveragesBlocksWithRounding)
{
    CPixelBitmap source(4.0f, 2.0f);
    // Storage order: the left block holds 10, 20, 30, 41 in red.
    source.GetPixels() = {MakeRgba(10, 0, 0, 255), MakeRgba(20, 0, 0, 255), kBlue, kBlue,
                          MakeRgba(30, 0, 0, 255), MakeRgba(41, 0, 0, 255), kGreen, kGreen};
    CPixelBitmap level;
    level.MakeMipLevel(source, 2);
    ASSERT_EQ(2.0f, level.GetWidth());
    ASSERT_EQ(1.0f, level.GetHeight());
    // (101 + 2) / 4 = 25.
    EXPECT_EQ(MakeRgba(25, 0, 0, 255), level.GetPixels()[0]);
    // Half blue, half green.
    EXPECT_EQ(MakeRgba(0, 128, 128, 255), level.GetPixels()[1]);
}

TEST(PixelBitmap, MipOfSizesTheFactorDoesNotDivideStaysInsideTheRows)
{
    // 5 x 3 by 2 gives 2 x 1: the fifth column and the third row fold into
    // the last column and row instead of spilling into the next row.
    CPixelBitmap source(5.0f, 3.0f);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x)
            source.SetPixel(x, y, x < 2 ? kRed : kBlue);
    }
    CPixelBitmap level;
    int reports = CountReports([&] { level.MakeMipLevel(source, 2); });
    EXPECT_EQ(0, reports);
    ASSERT_EQ(2.0f, level.GetWidth());
    ASSERT_EQ(1.0f, level.GetHeight());
    EXPECT_EQ(kRed, level.GetPixel(0, 0));
    EXPECT_EQ(kBlue, level.GetPixel(1, 0));

    // 7 x 7 by 2: 3 x 3, every value stays a plain average.
    CPixelBitmap uniform(7.0f, 7.0f);
    for (uint32_t& p : uniform.GetPixels())
        p = 0xC0406080;
    reports = CountReports([&] { level.MakeMipLevel(uniform, 2); });
    EXPECT_EQ(0, reports);
    ASSERT_EQ(3.0f, level.GetWidth());
    ASSERT_EQ(3.0f, level.GetHeight());
    for (uint32_t p : level.GetPixels()) {
        EXPECT_EQ(0xC0u, GetAlpha(p));
        EXPECT_NEAR(0x80, int(GetRed(p)), 1);
        EXPECT_NEAR(0x60, int(GetGreen(p)), 1);
        EXPECT_NEAR(0x40, int(GetBlue(p)), 1);
    }
}

TEST(PixelBitmap, MipChainDownToOnePixelFromItself)
{
    CPixelBitmap level = MakeNumbered(6, 3);
    while (level.GetWidth() > 1 || level.GetHeight() > 1)
        level.MakeMipLevel(level, 2);
    ASSERT_EQ(1.0f, level.GetWidth());
    EXPECT_EQ(255u, GetAlpha(level.GetPixel(0, 0)));
    EXPECT_EQ(100u, GetBlue(level.GetPixel(0, 0)));
}

TEST(PixelBitmap, MipOfEmptySourceOrBadFactorIsReported)
{
    CPixelBitmap level(2.0f, 2.0f);
    EXPECT_EQ(1, CountReports([&] { level.MakeMipLevel(CPixelBitmap(), 2); }));
    EXPECT_TRUE(level.IsEmpty());
    const CPixelBitmap source = MakeNumbered(2, 2);
    EXPECT_EQ(1, CountReports([&] { level.MakeMipLevel(source, 0); }));
    ASSERT_EQ(2.0f, level.GetWidth());
    EXPECT_EQ(source.GetPixels(), level.GetPixels());
}

TEST(PixelBitmap, GdiplusRoundTripKeepsThePictureUpright)
{
    CPixelBitmap bitmap = MakeNumbered(3, 2);
    bitmap.SetPixel(1, 0, 0x80102030);
    const CGdiplusBitmap withAlpha = bitmap.ToGdiplusBitmap(true);
    ASSERT_FALSE(withAlpha.IsNull());
    EXPECT_EQ(PixelFormat32bppARGB, GetPixelFormat(withAlpha));
    // GDI+ sees the top row first.
    Gdiplus::ARGB topLeft = 0;
    Gdiplus::DllExports::GdipBitmapGetPixel(withAlpha.Get(), 0, 0, &topLeft);
    EXPECT_EQ(SwapRedBlue(Numbered(0, 0)), topLeft);
    const CPixelBitmap back(withAlpha.GetImage());
    EXPECT_EQ(bitmap.GetPixels(), back.GetPixels());

    const CGdiplusBitmap opaque = bitmap.ToGdiplusBitmap(false);
    ASSERT_FALSE(opaque.IsNull());
    EXPECT_EQ(PixelFormat24bppRGB, GetPixelFormat(opaque));
    const CPixelBitmap opaqueBack(opaque.GetImage());
    EXPECT_EQ(Numbered(2, 1), opaqueBack.GetPixel(2, 1));
    EXPECT_EQ(255u, GetAlpha(opaqueBack.GetPixel(1, 0)));
}

TEST(PixelBitmap, IndexedBitmapOf16ColoursHas4BitsAndOf17Has8)
{
    CColorTable sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen.Add(MakeRgba(i * 16, 0, 0, 255));
    CColorTable seventeen = sixteen;
    seventeen.Add(kBlue);
    CPixelBitmap bitmap(5.0f, 2.0f);
    for (int x = 0; x < 5; ++x) {
        bitmap.SetPixel(x, 0, MakeRgba(x * 16 + 3, 0, 0, 255));
        bitmap.SetPixel(x, 1, MakeRgba(255 - x * 16, 2, 2, 255));
    }
    bitmap.SetPixel(4, 1, 0xFFF00000);

    const CGdiplusBitmap small = bitmap.ToIndexedGdiplusBitmap(sixteen);
    ASSERT_FALSE(small.IsNull());
    EXPECT_EQ(PixelFormat4bppIndexed, GetPixelFormat(small));
    UINT flags = 0;
    EXPECT_EQ(sixteen.GetColors(), GetPalette(small, &flags));
    EXPECT_EQ(0u, flags & Gdiplus::PaletteFlagsHasAlpha);
    const CPixelBitmap smallBack(small.GetImage());
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(sixteen.GetColor(sixteen.FindNearest(bitmap.GetPixel(x, y))), smallBack.GetPixel(x, y));
    }

    const CGdiplusBitmap large = bitmap.ToIndexedGdiplusBitmap(seventeen);
    ASSERT_FALSE(large.IsNull());
    EXPECT_EQ(PixelFormat8bppIndexed, GetPixelFormat(large));
    const CPixelBitmap largeBack(large.GetImage());
    EXPECT_EQ(kBlue, largeBack.GetPixel(4, 1));
    EXPECT_EQ(MakeRgba(0, 0, 0, 255), largeBack.GetPixel(0, 0));

    const CGdiplusBitmap forced = bitmap.ToIndexedGdiplusBitmap(sixteen, true);
    EXPECT_EQ(PixelFormat8bppIndexed, GetPixelFormat(forced));
}

TEST(PixelBitmap, IndexedPaletteWithAlphaIsFlagged)
{
    CColorTable palette;
    palette.Add(0x00000000);
    palette.Add(kRed);
    CPixelBitmap bitmap(2.0f, 1.0f);
    bitmap.GetPixels() = {0x00000000, kRed};
    const CGdiplusBitmap indexed = bitmap.ToIndexedGdiplusBitmap(palette);
    ASSERT_FALSE(indexed.IsNull());
    UINT flags = 0;
    EXPECT_EQ(palette.GetColors(), GetPalette(indexed, &flags));
    EXPECT_NE(0u, flags & Gdiplus::PaletteFlagsHasAlpha);
}

TEST(PixelBitmap, PaletteOfMoreThan256ColoursGivesFullColour)
{
    CColorTable palette;
    for (int i = 0; i < 257; ++i)
        palette.Add(MakeRgba(i & 0xFF, i >> 8, 0, 255));
    CPixelBitmap bitmap = MakeNumbered(3, 3);
    CGdiplusBitmap result;
    EXPECT_EQ(1, CountReports([&] { result = bitmap.ToIndexedGdiplusBitmap(palette); }));
    ASSERT_FALSE(result.IsNull());
    EXPECT_EQ(PixelFormat24bppRGB, GetPixelFormat(result));
    EXPECT_EQ(bitmap.GetPixels(), CPixelBitmap(result.GetImage()).GetPixels());

    bitmap.SetPixel(0, 0, 0x10203040);
    EXPECT_EQ(1, CountReports([&] { result = bitmap.ToIndexedGdiplusBitmap(palette); }));
    EXPECT_EQ(PixelFormat32bppARGB, GetPixelFormat(result));
    EXPECT_EQ(bitmap.GetPixels(), CPixelBitmap(result.GetImage()).GetPixels());
}

TEST(PixelBitmap, CopyToClipboardPutsABitmapThere)
{
    CPixelBitmap bitmap(3.0f, 2.0f);
    bitmap.SetPixel(0, 0, kRed);
    bitmap.SetPixel(2, 1, 0x80FF0000);
    ASSERT_TRUE(bitmap.CopyToClipboard());

    ASSERT_TRUE(OpenClipboard(nullptr));
    HBITMAP held = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    ASSERT_NE(nullptr, held);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 3;
    info.bmiHeader.biHeight = -2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    uint32_t bits[6] = {};
    HDC screen = GetDC(nullptr);
    const int lines = GetDIBits(screen, held, 0, 2, bits, &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    CloseClipboard();
    ASSERT_EQ(2, lines);
    // DIB pixels are 0x00RRGGBB; the alpha is gone.
    EXPECT_EQ(0x00FF0000u, bits[0] & 0xFFFFFF);
    EXPECT_EQ(0x00FFFFFFu, bits[1] & 0xFFFFFF);
    EXPECT_EQ(0x000000FFu, bits[5] & 0xFFFFFF);
}

TEST(PixelBitmap, EmptyBitmapIsNotCopiedToTheClipboard)
{
    bool copied = true;
    EXPECT_EQ(1, CountReports([&] { copied = CPixelBitmap().CopyToClipboard(); }));
    EXPECT_FALSE(copied);
}

TEST(PixelBitmap, EmptyPaletteGivesFullColour)
{
    const CColorTable none;
    const CPixelBitmap bitmap = MakeNumbered(2, 2);
    CGdiplusBitmap result;
    EXPECT_EQ(1, CountReports([&] { result = bitmap.ToIndexedGdiplusBitmap(none); }));
    ASSERT_FALSE(result.IsNull());
    EXPECT_EQ(PixelFormat24bppRGB, GetPixelFormat(result));
}

TEST(PixelBitmap, MissingGdiplusImageIsReported)
{
    EXPECT_EQ(1, CountReports([&] { EXPECT_TRUE(CPixelBitmap(static_cast<Gdiplus::GpImage*>(nullptr)).IsEmpty()); }));
    EXPECT_EQ(1, CountReports([&] { EXPECT_TRUE(CPixelBitmap().ToGdiplusBitmap(true).IsNull()); }));
}

TEST(PixelRange, AllPixelsRowsAndOneRow)
{
    const CPixelRange all = CPixelRange::AllPixels(4.9f, 3.0f);
    EXPECT_EQ(0, all.start);
    EXPECT_EQ(1, all.step);
    EXPECT_EQ(12, all.end);
    EXPECT_EQ(4, all.width);
    EXPECT_EQ(2, all.lastRow);

    const CPixelRange down = CPixelRange::Rows(4.0f, 3.0f, false);
    EXPECT_EQ(0, down.start);
    EXPECT_EQ(4, down.step);
    EXPECT_EQ(12, down.end);

    const CPixelRange up = CPixelRange::Rows(4.0f, 3.0f, true);
    std::vector<int> starts;
    for (int i = up.start; i != up.end; i += up.step)
        starts.push_back(i);
    EXPECT_EQ((std::vector<int>{8, 4, 0}), starts);

    const CPixelRange bottom = CPixelRange::Row(4.0f, 3.0f, 0);
    EXPECT_EQ(8, bottom.start);
    EXPECT_EQ(12, bottom.end);
    const CPixelRange top = CPixelRange::Row(4.0f, 3.0f, 2);
    EXPECT_EQ(0, top.start);
    EXPECT_EQ(4, top.end);
}

TEST(PixelRange, NeverLeavesTheBitmap)
{
    const CPixelRange outside = CPixelRange::Row(4.0f, 3.0f, 3);
    EXPECT_EQ(outside.start, outside.end);
    const CPixelRange negative = CPixelRange::Row(4.0f, 3.0f, -1);
    EXPECT_EQ(negative.start, negative.end);
    const CPixelRange mirrored = CPixelRange::AllPixels(-2.0f, -3.0f);
    EXPECT_EQ(0, mirrored.end);
    const CPixelRange empty = CPixelRange::Rows(0.0f, 5.0f, true);
    EXPECT_EQ(empty.start, empty.end);
}

TEST(PixelBitmap, ColorTableTakesThePixelsInStorageOrder)
{
    const auto tableOf = [](const CPixelBitmap& bitmap) {
        return CColorTable::FromPixels(bitmap.GetPixels().data(), bitmap.GetPixels().size());
    };
    CPixelBitmap bitmap(2, 2);
    bitmap.SetPixel(0, 0, MakeRgba(10, 0, 0, 255));   // top row: stored last
    bitmap.SetPixel(1, 1, MakeRgba(0, 0, 20, 255));   // bottom row: stored first
    auto table = tableOf(bitmap);
    ASSERT_TRUE(table);
    EXPECT_EQ((std::vector<uint32_t>{0xFFFFFFFF, MakeRgba(0, 0, 20, 255), MakeRgba(10, 0, 0, 255)}), table->GetColors());

    CPixelBitmap full(16, 16);
    for (int i = 0; i < 256; ++i)
        full.SetPixel(i % 16, i / 16, MakeRgba(uint32_t(i), 0, 0, 255));
    EXPECT_FALSE(tableOf(full));
    full.SetPixel(15, 15, MakeRgba(0, 0, 0, 255));
    table = tableOf(full);
    ASSERT_TRUE(table);
    EXPECT_EQ(255, table->GetCount());
}
