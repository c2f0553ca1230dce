#include <gtest/gtest.h>

#include <set>
#include <string>

#include "foundation/FontAdvances.h"
#include "foundation/FontMetrics.h"

namespace {

// Advances in units of 2048 per em: at size 2048 the advance is the unit count.
float Units(wchar_t c, bool bold) { return CFontMetrics(2048.0f, bold).GetCharAdvance(c); }

}  // namespace

TEST(FontMetrics, QuotedAdvances)
{
    struct
    {
        wchar_t c;
        float regular;
        float bold;
    } const cases[] = {
        {L' ', 569, 569},     {L'0', 1139, 1139},    {L'A', 1366, 1479},
        {L'W', 1933, 1933},   {L'i', 455, 569},      {L'm', 1706, 1821},
        {L'.', 569, 569},     {0x00E9, 1139, 1139},  {0x20AC, 1139, 1139},
        {0x2014, 2048, 2048},
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(entry.regular, Units(entry.c, false)) << int(entry.c);
        EXPECT_EQ(entry.bold, Units(entry.c, true)) << int(entry.c);
    }
}

TEST(FontMetrics, AdvanceScalesWithSize)
{
    EXPECT_EQ(8.00390625f, CFontMetrics(12.0f, false).GetCharAdvance(L'A'));
    EXPECT_EQ(0.0f, CFontMetrics(0.0f, true).GetCharAdvance(L'A'));
}

TEST(FontMetrics, BlocksWithoutGlyphsAndCombiningMarks)
{
    EXPECT_EQ(2048.0f, Units(0x4E00, false));
    EXPECT_EQ(2049.0f, Units(0x4E00, true));
    EXPECT_EQ(0.0f, Units(0x0301, false));
    EXPECT_EQ(0.0f, Units(0x0301, true));
    EXPECT_EQ(0.0f, Units(0x0300, true));
    EXPECT_EQ(0.0f, Units(0x033F, false));
}

TEST(FontMetrics, PageLayout)
{
    const int count = g_fontAdvancePageCount;
    ASSERT_LE(count, 256);
    int highestRegular = 0;
    int lowestBoldOnly = 256;
    std::set<int> regularPages;
    for (int block = 0; block < 1024; ++block) {
        ASSERT_LT(g_regularAdvancePageMap[block], count);
        ASSERT_LT(g_boldAdvancePageMap[block], count);
        regularPages.insert(g_regularAdvancePageMap[block]);
        highestRegular = std::max(highestRegular, int(g_regularAdvancePageMap[block]));
    }
    for (int block = 0; block < 1024; ++block) {
        const int page = g_boldAdvancePageMap[block];
        if (!regularPages.count(page))
            lowestBoldOnly = std::min(lowestBoldOnly, page);
    }
    // The regular pages come first, then those of the bold map.
    EXPECT_LT(highestRegular, lowestBoldOnly);
    // Exactly two pages serve both weights: the full-em and the zero page.
    std::set<int> shared;
    for (int block = 0; block < 1024; ++block)
        if (regularPages.count(g_boldAdvancePageMap[block]))
            shared.insert(g_boldAdvancePageMap[block]);
    ASSERT_EQ(2u, shared.size());
    EXPECT_TRUE(shared.count(g_regularAdvancePageMap[0x0300 >> 6]));
    EXPECT_TRUE(shared.count(g_regularAdvancePageMap[0x4E00 >> 6]));
}

TEST(FontMetrics, StringWidthAddsAdvancesInOrder)
{
    const CFontMetrics font(12.0f, false);
    EXPECT_EQ(0.0f, font.GetStringWidth(L""));
    const float expected = font.GetCharAdvance(L'W') + font.GetCharAdvance(L'i') +
                           font.GetCharAdvance(L'm');
    EXPECT_EQ(expected, font.GetStringWidth(L"Wim"));
    EXPECT_EQ((1933.0f + 455 + 1706) * 12 / 2048, font.GetStringWidth(L"Wim"));
    EXPECT_LT(font.GetStringWidth(L"Wim"), CFontMetrics(12.0f, true).GetStringWidth(L"Wim"));
}

TEST(FontMetrics, VerticalMetrics)
{
    const CFontMetrics font(2048.0f, false);
    EXPECT_EQ(2355.0f, font.GetLineSpacing());
    EXPECT_EQ(2288.0f, font.GetHeight());
    EXPECT_EQ(1854.0f, font.GetAscent());
    EXPECT_EQ(434.0f, font.GetDescent());
    EXPECT_EQ(240.0f, font.GetInternalLeading());
    EXPECT_EQ(1614.0f, font.GetEmAscent());
    EXPECT_EQ(font.GetHeight(), font.GetAscent() + font.GetDescent());

    for (float size : {10.0f, 12.0f, 240.0f}) {
        const CFontMetrics f(size, true);
        EXPECT_EQ(size, f.GetHeight() - f.GetInternalLeading()) << size;
        EXPECT_FLOAT_EQ(size * 2355 / 2048, f.GetLineSpacing());
    }
    // The product is taken in double: 0.1 * 2355 / 2048 rounded once.
    EXPECT_EQ(float(double(0.1f) * (2355 * (1.0 / 2048))), CFontMetrics(0.1f, false).GetLineSpacing());
}

TEST(FontMetrics, BoldFlag)
{
    CFontMetrics font(10.0f, false);
    EXPECT_FALSE(font.IsBold());
    font.SetBold(true);
    EXPECT_TRUE(font.IsBold());
    EXPECT_EQ(1479.0f * 10 / 2048, font.GetCharAdvance(L'A'));
    font.SetBold(false);
    EXPECT_EQ(1366.0f * 10 / 2048, font.GetCharAdvance(L'A'));
    EXPECT_EQ(0.0f, CFontMetrics().size);
    EXPECT_FALSE(CFontMetrics().IsBold());
}

TEST(FontMetrics, ComparisonAndOrder)
{
    const CFontMetrics regular(10.0f, false);
    const CFontMetrics bold(10.0f, true);
    EXPECT_FALSE(regular == bold);
    EXPECT_TRUE(regular < bold);
    EXPECT_FALSE(bold < regular);
    EXPECT_FALSE(regular < regular);
    EXPECT_TRUE(regular == CFontMetrics(10.0f, false));
    EXPECT_TRUE(bold < CFontMetrics(11.0f, false));
    EXPECT_FALSE(CFontMetrics(11.0f, false) < bold);
}
