#include <gtest/gtest.h>

#include <cmath>

#include "graphics/PixelBitmap.h"
#include "render3d/TextBitmap.h"
#include "tests/support/FailureReports.h"

// The glyph atlas is one for the process: each test uses font sizes of its
// own, so that what others added does not count.

namespace {

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

CTextBitmap::CGlyph Glyph(const CFontMetrics& font, wchar_t c, bool colourMode)
{
    CTextBitmap::CGlyph glyph;
    EXPECT_TRUE(CTextBitmap::Instance().GetGlyph(font, c, colourMode, glyph)) << int(c);
    return glyph;
}

}  // namespace

TEST(TextBitmap, ARegularFontGetsThePrintableSetFirstSoLaterTextNeedsNothing)
{
    CTextBitmap& atlas = CTextBitmap::Instance();
    const CFontMetrics font(31.0f, false);
    const size_t before = atlas.GetBitmapCount();
    atlas.AddGlyphs(font, L"abc", false);
    EXPECT_EQ(before + 1, atlas.GetBitmapCount());
    atlas.AddGlyphs(font, L"abd", false);
    EXPECT_EQ(before + 1, atlas.GetBitmapCount());
    const CPixelBitmap* bitmap = Glyph(font, L'c', false).bitmap;
    EXPECT_EQ(bitmap, Glyph(font, L'd', false).bitmap);
    EXPECT_EQ(bitmap, Glyph(font, L' ', false).bitmap);
    EXPECT_EQ(bitmap, Glyph(font, wchar_t(127), false).bitmap);
    EXPECT_TRUE(IsPowerOfTwo(bitmap->GetPixelWidth()));
    EXPECT_TRUE(IsPowerOfTwo(bitmap->GetPixelHeight()));
    // The other colour mode is a set of its own.
    EXPECT_FALSE(atlas.HasGlyph(font, L'a', true));

    // A character beyond the set: a small bitmap of its own.
    atlas.AddGlyphs(font, L"a\u00e9", false);
    EXPECT_EQ(before + 2, atlas.GetBitmapCount());
    const CTextBitmap::CGlyph accented = Glyph(font, L'\u00e9', false);
    EXPECT_NE(bitmap, accented.bitmap);
    EXPECT_EQ(0.0f, accented.cell.left);
    EXPECT_EQ(0.0f, accented.cell.top);
    EXPECT_GE(64, accented.bitmap->GetPixelWidth());

    // A bold font draws only what it is asked for.
    atlas.AddGlyphs(CFontMetrics(31.0f, true), L"x", false);
    EXPECT_EQ(before + 3, atlas.GetBitmapCount());
    EXPECT_FALSE(atlas.HasGlyph(CFontMetrics(31.0f, true), L'a', false));

    // Unknown glyphs are reported.
    CTextBitmap::CGlyph missing;
    EXPECT_EQ(1, CountReports([&] { atlas.GetGlyph(CFontMetrics(31.0f, true), L'y', false, missing); }));
}

TEST(TextBitmap, AFontWiderThanARowWrapsIntoRowsOfAPowerOfTwoHeight)
{
    const CFontMetrics font(64.0f, false);
    CTextBitmap::Instance().AddGlyphs(font, L"W", false);
    const CTextBitmap::CGlyph first = Glyph(font, L' ', false);
    const float rowHeight = first.cell.bottom - first.cell.top;
    EXPECT_EQ(std::ceil(font.GetAscent()) + 2.0f + std::ceil(font.GetDescent()) + 2.0f, rowHeight);
    float lowest = 0.0f;
    for (wchar_t c = 32; c <= 127; ++c) {
        const CTextBitmap::CGlyph glyph = Glyph(font, c, false);
        EXPECT_LE(glyph.cell.right, float(CTextBitmap::kMaxRowWidth)) << int(c);
        EXPECT_EQ(first.bitmap, glyph.bitmap);
        lowest = std::max(lowest, glyph.cell.bottom);
    }
    EXPECT_GE(lowest, 2.0f * rowHeight);
    int height = 1;
    while (height < int(lowest))
        height *= 2;
    EXPECT_EQ(height, first.bitmap->GetPixelHeight());
}

TEST(TextBitmap, GlyphsBecomeAnAlphaMaskOrKeepTheirColour)
{
    // The letter l: a bar from the baseline up.
    const CFontMetrics font(40.0f, false);
    struct CCase
    {
        bool colourMode;
        uint32_t ink;
    } cases[] = {{false, 0x00FFFFFF}, {true, 0x00000000}};
    for (const CCase& c : cases) {
        CTextBitmap::Instance().AddGlyphs(font, L"l", c.colourMode);
        const CTextBitmap::CGlyph glyph = Glyph(font, L'l', c.colourMode);
        const CPixelBitmap& bitmap = *glyph.bitmap;
        // Along the row just above the baseline: background, then ink.
        uint32_t darkest = 0;
        for (int x = int(glyph.cell.left); x < int(glyph.cell.right); ++x) {
            const uint32_t pixel = bitmap.GetPixel(x, int(glyph.y) - 2);
            if ((pixel >> 24) > (darkest >> 24))
                darkest = pixel;
        }
        // Paper is transparent white in either mode.
        EXPECT_EQ(0x00FFFFFFu, bitmap.GetPixel(int(glyph.cell.left), int(glyph.cell.top))) << c.colourMode;
        EXPECT_EQ(0xFFu, darkest >> 24) << c.colourMode;
        EXPECT_EQ(c.ink, darkest & 0x00FFFFFF) << c.colourMode;
    }
}
