#include <gtest/gtest.h>

#include <string>

#include "foundation/TextConversion.h"
#include "tests/support/FailureReports.h"

TEST(TextConversion, TwoByteUnits)
{
    EXPECT_EQ("\xC3\xA9", WideToUtf8(L"\u00E9"));
    EXPECT_EQ(L"\u00E9", Utf8ToWide("\xC3\xA9"));
    EXPECT_EQ("\xC2\x80", WideToUtf8(L"\u0080"));
    EXPECT_EQ("\xDF\xBF", WideToUtf8(L"\u07FF"));
}

TEST(TextConversion, ThreeByteUnitsUseTheF0Lead)
{
    EXPECT_EQ("\xF2\x82\xAC", WideToUtf8(L"\u20AC"));
    EXPECT_EQ(L"\u20AC", Utf8ToWide("\xF2\x82\xAC"));
    // The standard lead decodes the same.
    EXPECT_EQ(L"\u20AC", Utf8ToWide("\xE2\x82\xAC"));
    EXPECT_EQ("\xF0\xA0\x80", WideToUtf8(L"\u0800"));
    EXPECT_EQ("\xFF\xBF\xBF", WideToUtf8(std::wstring(1, wchar_t(0xFFFF))));
}

TEST(TextConversion, SurrogateHalvesAreEncodedSeparately)
{
    const std::wstring smiley = L"\xD83D\xDE00";
    EXPECT_EQ("\xFD\xA0\xBD\xFD\xB8\x80", WideToUtf8(smiley));
    EXPECT_EQ(smiley, Utf8ToWide(WideToUtf8(smiley)));
    // A lone half survives too.
    const std::wstring lone = L"a\xDC00z";
    EXPECT_EQ(lone, Utf8ToWide(WideToUtf8(lone)));
}

TEST(TextConversion, AsciiIsUnchanged)
{
    std::string ascii;
    std::wstring wide;
    for (int c = 1; c < 0x80; ++c) {
        ascii += char(c);
        wide += wchar_t(c);
    }
    EXPECT_EQ(ascii, WideToUtf8(wide));
    EXPECT_EQ(wide, Utf8ToWide(ascii));
}

TEST(TextConversion, EveryUnitRoundTrips)
{
    std::wstring all;
    for (unsigned unit = 0; unit <= 0xFFFF; ++unit)
        all += wchar_t(unit);
    const int before = ReportCount();
    const std::string bytes = WideToUtf8(all);
    EXPECT_EQ(0x80u + 2u * (0x800u - 0x80u) + 3u * (0x10000u - 0x800u), bytes.size());
    EXPECT_EQ(all, Utf8ToWide(bytes));
    EXPECT_EQ(before, ReportCount());
}

TEST(TextConversion, TruncatedSequencesAreReported)
{
    int before = ReportCount();
    EXPECT_EQ(L"a\u00C0", Utf8ToWide("a\xC3"));
    EXPECT_EQ(before + 1, ReportCount());

    before = ReportCount();
    EXPECT_EQ(std::wstring(1, wchar_t(0x2080)), Utf8ToWide("\xF2\x82"));
    EXPECT_EQ(before + 1, ReportCount());
}
