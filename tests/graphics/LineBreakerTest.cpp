#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/Hyphenator.h"
#include "graphics/LineBreaker.h"
#include "tests/support/FailureReports.h"

namespace {

// At size 2048 the advances are the font units themselves.
const CFontMetrics kFont(2048.0f, false);

float Width(const std::wstring& text) { return kFont.GetStringWidth(text); }

// Every line of the text; stops after 1000 lines so that a breaker that
// does not advance fails instead of hanging.
std::vector<std::wstring> Lines(const std::wstring& text, float minimumFill, float maximumWidth)
{
    CLineBreaker breaker;
    breaker.SetFont(kFont, minimumFill, maximumWidth);
    breaker.SetText(text);
    std::vector<std::wstring> lines;
    while (breaker.GetLineStart() != breaker.GetTextLength() && lines.size() < 1000) {
        lines.push_back(breaker.GetLine());
        breaker.NextLine();
    }
    return lines;
}

std::vector<std::wstring> Lines(const std::wstring& text, const std::wstring& widest)
{
    return Lines(text, Width(widest) * 0.75f, Width(widest));
}

// The word with a "-" at every point the patterns allow, within TeX's usual
// limits of two letters before and three after, so that the results compare
// with published TeX hyphenations.
std::wstring Hyphenate(const std::wstring& word)
{
    CHyphenator hyphenator;
    std::wstring result;
    for (int k = 0; k < int(word.size()); ++k) {
        int position = 0;
        if (k >= 2 && k <= int(word.size()) - 3 && hyphenator.FindBreak(word, k, k, position)) {
            EXPECT_EQ(k, position);
            result += L'-';
        }
        result += word[k];
    }
    return result;
}

std::string Letters(const char* pattern)
{
    std::string letters;
    for (; *pattern; ++pattern)
        if (*pattern < '0' || *pattern > '9')
            letters += *pattern;
    return letters;
}

}  // namespace

TEST(Hyphenator, PatternTableHoldsTheSortedPatternsAndExceptions)
{
    int count = 0;
    for (; g_hyphenationPatterns[count]; ++count) {
        if (count > 0) {
            EXPECT_LT(Letters(g_hyphenationPatterns[count - 1]), Letters(g_hyphenationPatterns[count])) << count;
        }
    }
    EXPECT_EQ(4447 + 14, count);
}

TEST(Hyphenator, HyphenatesAsTeXDoes)
{
    EXPECT_EQ(L"hy-phen-ation", Hyphenate(L"hyphenation"));
    EXPECT_EQ(L"su-per-cal-ifrag-ilis-tic-ex-pi-ali-do-cious", Hyphenate(L"supercalifragilisticexpialidocious"));
    EXPECT_EQ(L"com-puter", Hyphenate(L"computer"));
    // Exception words.
    EXPECT_EQ(L"ta-ble", Hyphenate(L"table"));
    EXPECT_EQ(L"as-so-ciate", Hyphenate(L"associate"));
    EXPECT_EQ(L"present", Hyphenate(L"present"));
    // Capitals and Latin-1 letters count as their base letters.
    EXPECT_EQ(L"Hy-ph\u00c9n-ation", Hyphenate(L"Hyph\u00c9nation"));
    EXPECT_EQ(L"\u00e0s-so-\u00e7i\u00e2te", Hyphenate(L"\u00e0sso\u00e7i\u00e2te"));
}

TEST(Hyphenator, SearchesFromTheRightAndFallsBackToTheMiddle)
{
    CHyphenator hyphenator;
    int position = -1;
    // The rightmost allowed point up to the limit, in the last word first.
    EXPECT_TRUE(hyphenator.FindBreak(L"see hyphenation", 5, 14, position));
    EXPECT_EQ(10, position);
    EXPECT_TRUE(hyphenator.FindBreak(L"see hyphenation", 5, 9, position));
    EXPECT_EQ(6, position);
    // The word before the limit is searched when the next has no point.
    EXPECT_TRUE(hyphenator.FindBreak(L"hyphenation qqqqqqqq", 1, 18, position));
    EXPECT_EQ(6, position);
    // No point at all: the middle of the word, even if the limit is later.
    EXPECT_FALSE(hyphenator.FindBreak(L"qqqqqqqqqq", 1, 8, position));
    EXPECT_EQ(5, position);
    // Nothing between the bounds: position 0.
    EXPECT_FALSE(hyphenator.FindBreak(L"a b c", 1, 5, position));
    EXPECT_EQ(0, position);
    // U+00D7 (the multiplication sign) is no letter: the word ends before it.
    EXPECT_FALSE(hyphenator.FindBreak(L"qq\u00d7qq", 1, 5, position));
    EXPECT_EQ(4, position);
}

TEST(LineBreaker, EmptyAndFittingTexts)
{
    EXPECT_EQ(std::vector<std::wstring>{L" "}, Lines(L"", L"abc"));
    EXPECT_EQ(std::vector<std::wstring>{L"fits in one line"}, Lines(L"fits in one line", L"fits in one line"));
    CLineBreaker fresh;
    EXPECT_EQ(1, fresh.GetTextLength());
}

TEST(LineBreaker, BreaksAtSpacesAndAfterHyphens)
{
    EXPECT_EQ((std::vector<std::wstring>{L"over the", L"jumps"}), Lines(L"over the jumps", L"over the j"));
    // A run of spaces stays inside a line and goes at a break.
    EXPECT_EQ((std::vector<std::wstring>{L"aa  bb", L"cc"}), Lines(L"aa  bb   cc", L"aa  bb  "));
    EXPECT_EQ((std::vector<std::wstring>{L"dog-walk-", L"ramp"}), Lines(L"dog-walk-ramp", L"dog-walk-r"));
    EXPECT_EQ((std::vector<std::wstring>{L"weave-", L"poles"}), Lines(L"weave-poles", 0.0f, Width(L"weave-po")));
}

TEST(LineBreaker, HyphenatesInsideTheNextWordOfAShortLine)
{
    EXPECT_EQ((std::vector<std::wstring>{L"see hyphen-", L"ation here"}), Lines(L"see hyphenation here", L"see hyphena"));
    EXPECT_EQ((std::vector<std::wstring>{L"see hyph\u00e9n-", L"ation here"}),
              Lines(L"see hyph\u00e9nation here", L"see hyph\u00e9na"));
    EXPECT_EQ((std::vector<std::wstring>{L"set the ta-", L"ble"}), Lines(L"set the table", L"set the tab"));
    // Full enough: the space breaks.
    EXPECT_EQ((std::vector<std::wstring>{L"see", L"hyphenation"}),
              Lines(L"see hyphenation", 0.0f, Width(L"see hyphena")));
    // Where the next word has no point the space breaks, however short.
    EXPECT_EQ((std::vector<std::wstring>{L"as", L"present"}), Lines(L"as present", L"as prese"));
}

TEST(LineBreaker, WordsWithoutPointsAreCut)
{
    // In the middle, with a hyphen, when the patterns allow no point.
    EXPECT_EQ((std::vector<std::wstring>{L"qqqqq-", L"qqqqq"}), Lines(L"qqqqqqqqqq", L"qqqqqqq"));
    // Without letters: as many characters as fit, without a hyphen.
    EXPECT_EQ((std::vector<std::wstring>{L"1234", L"5678", L"9"}), Lines(L"123456789", L"1234"));
}

TEST(LineBreaker, AbsurdWidthsStillAdvance)
{
    const std::wstring text = L"set the table";
    std::vector<std::wstring> lines;
    EXPECT_EQ(0, CountReports([&] { lines = Lines(text, 0.0f, 0.0f); }));
    EXPECT_EQ(text.size(), lines.size());
    EXPECT_EQ(1, CountReports([&] { lines = Lines(text, 0.0f, -5.0f); }));
    EXPECT_EQ(text.size(), lines.size());
    EXPECT_EQ(2, CountReports([&] { lines = Lines(text, NAN, NAN); }));
    EXPECT_EQ(text.size(), lines.size());
    // An endless width keeps the text in one line.
    EXPECT_EQ(std::vector<std::wstring>{text}, Lines(text, 0.0f, INFINITY));
    // So does a font of no size, after reporting a size that is no number.
    CLineBreaker breaker;
    EXPECT_EQ(1, CountReports([&] { breaker.SetFont(CFontMetrics(NAN, false), 1.0f, 10.0f); }));
    breaker.SetText(text);
    EXPECT_EQ(text, breaker.GetLine());
    breaker.NextLine();
    EXPECT_EQ(int(text.size()), breaker.GetLineStart());
    breaker.NextLine();
    EXPECT_EQ(int(text.size()), breaker.GetLineStart());
}
