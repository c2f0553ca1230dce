#include <gtest/gtest.h>

#include <algorithm>

#include "graphics/PixelBitmap.h"
#include "render3d/TextBitmap.h"
#include "tests/support/FailureReports.h"

// The glyph atlas is one for the process: each test uses font sizes of its own.

namespace {

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

CTextBitmap::CGlyph Glyph(const CFontMetrics& font, wchar_t c, bool colourMode = false)
{
    CTextBitmap::CGlyph glyph;
    EXPECT_TRUE(CTextBitmap::Instance().GetGlyph(font, c, colourMode, glyph)) << int(c);
    return glyph;
}

}  // namespace

TEST(TextBitmap, ARegularFontGetsThePrintableSetFirstSoLaterTextNeedsNothing)
{
    CTextBitmap& atlas = CTextBitmap::Instance();
    const CFontMetrics font(31.0f, false), bold(31.0f, true);
    const size_t before = atlas.GetBitmapCount();
    atlas.AddGlyphs(font, L"abc", false);
    EXPECT_EQ(before + 1, atlas.GetBitmapCount());
    atlas.AddGlyphs(font, L"abd", false);
    EXPECT_EQ(before + 1, atlas.GetBitmapCount());
    const CPixelBitmap* bitmap = Glyph(font, L'c').bitmap;
    for (wchar_t c : {L'd', L' ', wchar_t(127)})
        EXPECT_EQ(bitmap, Glyph(font, c).bitmap) << int(c);
    EXPECT_TRUE(IsPowerOfTwo(bitmap->GetPixelWidth()) && IsPowerOfTwo(bitmap->GetPixelHeight()));
    // The other colour mode is a set of its own.
    EXPECT_FALSE(atlas.HasGlyph(font, L'a', true));
    // A character beyond the set: a small bitmap of its own.
    atlas.AddGlyphs(font, L"a\u00e9", false);
    const CTextBitmap::CGlyph accented = Glyph(font, L'\u00e9');
    EXPECT_NE(bitmap, accented.bitmap);
    EXPECT_TRUE(accented.cell.left == 0.0f && accented.cell.top == 0.0f);
    EXPECT_GE(64, accented.bitmap->GetPixelWidth());
    // A bold font draws only what it is asked for; unknown glyphs are reported.
    atlas.AddGlyphs(bold, L"x", false);
    EXPECT_EQ(before + 3, atlas.GetBitmapCount());
    EXPECT_FALSE(atlas.HasGlyph(bold, L'a', false));
    CTextBitmap::CGlyph missing;
    EXPECT_EQ(1, CountReports([&] { atlas.GetGlyph(bold, L'y', false, missing); }));
}

TEST(TextBitmap, AFontWiderThanARowWrapsIntoRowsOfAPowerOfTwoHeight)
{
    const CFontMetrics font(64.0f, false);
    CTextBitmap::Instance().AddGlyphs(font, L"W", false);
    const CTextBitmap::CGlyph first = Glyph(font, L' ');
    float lowest = 0.0f;
    for (wchar_t c = 32; c <= 127; ++c) {
        const CTextBitmap::CGlyph glyph = Glyph(font, c);
        EXPECT_LE(glyph.cell.right, float(CTextBitmap::kMaxRowWidth)) << int(c);
        EXPECT_EQ(first.bitmap, glyph.bitmap) << int(c);
        lowest = std::max(lowest, glyph.cell.bottom);
    }
    EXPECT_GE(lowest, 2.0f * (first.cell.bottom - first.cell.top));
    const int height = first.bitmap->GetPixelHeight();
    EXPECT_TRUE(IsPowerOfTwo(height) && height >= lowest && height < 2.0f * lowest) << height << " " << lowest;
}

TEST(TextBitmap, GlyphsBecomeAnAlphaMaskOrKeepTheirColour)
{
    // The letter l, a bar from the baseline up: white ink as a mask, black kept in colour mode.
    const CFontMetrics font(40.0f, false);
    for (bool colourMode : {false, true}) {
        CTextBitmap::Instance().AddGlyphs(font, L"l", colourMode);
        const CTextBitmap::CGlyph glyph = Glyph(font, L'l', colourMode);
        const CPixelBitmap& bitmap = *glyph.bitmap;
        uint32_t darkest = 0;
        for (int x = int(glyph.cell.left); x < int(glyph.cell.right); ++x) {
            const uint32_t pixel = bitmap.GetPixel(x, int(glyph.y) - 2);
            if ((pixel >> 24) > (darkest >> 24))
                darkest = pixel;
        }
        // Paper is transparent white in either mode.
        EXPECT_EQ(0x00FFFFFFu, bitmap.GetPixel(int(glyph.cell.left), int(glyph.cell.top))) << colourMode;
        EXPECT_EQ(colourMode ? 0xFF000000u : 0xFFFFFFFFu, darkest) << colourMode;
    }
}
