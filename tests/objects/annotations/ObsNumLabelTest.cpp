#include <gtest/gtest.h>

#include <string>

#include "objects/annotations/ObsNumLabel.h"
#include "tests/support/FailureReports.h"

namespace {

void ExpectLabel(const std::wstring& text, int firstKind, int firstValue, int secondKind, int secondValue)
{
    const CObsNumLabel label = ParseObsNumLabel(text);
    EXPECT_EQ(firstKind, label.firstKind) << text.size();
    EXPECT_EQ(firstValue, label.firstValue) << text.size();
    EXPECT_EQ(secondKind, label.secondKind) << text.size();
    EXPECT_EQ(secondValue, label.secondValue) << text.size();
}

}  // namespace

TEST(ObsNumLabel, DigitRunsAreZeroBased)
{
    ExpectLabel(L"1", 1, 0, 0, 0);
    ExpectLabel(L"12", 1, 11, 0, 0);
    ExpectLabel(L"0", 1, -1, 0, 0);
}

TEST(ObsNumLabel, LetterRunsCountInBijectiveBase26)
{
    ExpectLabel(L"A", 2, 0, 0, 0);
    ExpectLabel(L"Z", 2, 25, 0, 0);
    ExpectLabel(L"AA", 2, 26, 0, 0);
    ExpectLabel(L"ZZ", 2, 701, 0, 0);
    ExpectLabel(L"AAA", 2, 702, 0, 0);
    ExpectLabel(L"c", 3, 2, 0, 0);
}

TEST(ObsNumLabel, TwoRuns)
{
    ExpectLabel(L"3B", 1, 2, 2, 1);
    ExpectLabel(L"12a", 1, 11, 3, 0);
    ExpectLabel(L"A1", 2, 0, 1, 0);
    ExpectLabel(L"Ab", 2, 0, 3, 1);
}

TEST(ObsNumLabel, InvalidLabelsAreAllZero)
{
    for (const wchar_t* text : {L"", L"1A2", L"1-", L"-1", L"A b", L"Aa1", L" 1"})
        ExpectLabel(text, 0, 0, 0, 0);
}

TEST(ObsNumLabel, RunsPastTheLargestValueMakeTheLabelInvalid)
{
    ExpectLabel(L"1000000", 1, 999999, 0, 0);
    ExpectLabel(L"1000001", 0, 0, 0, 0);
    ExpectLabel(L"99999999999999999999", 0, 0, 0, 0);
    ExpectLabel(L"2ZZZZZ", 0, 0, 0, 0);
    EXPECT_EQ(0, GetObsNumLabelKind(L"BZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ"));
}

TEST(ObsNumLabel, FullWidthFormsReadAsAscii)
{
    ExpectLabel(L"\uFF13", 1, 2, 0, 0);
    ExpectLabel(L"\uFF21", 2, 0, 0, 0);
    EXPECT_EQ(3, GetObsNumLabelKind(L"\uFF41"));
}

TEST(ObsNumLabel, FormatsWhatItParses)
{
    const struct
    {
        CObsNumLabel label;
        const wchar_t* text;
    } cases[] = {
        {{2, 0, 701, 0}, L"ZZ"}, {{2, 0, 702, 0}, L"AAA"}, {{1, 2, 2, 1}, L"3B"},
        {{3, 0, 27, 0}, L"ab"},  {{1, 0, 9, 0}, L"10"},    {{1, 0, -1, 0}, L"0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, FormatObsNumLabel(c.label));
        EXPECT_EQ(c.label, ParseObsNumLabel(c.text));
    }
}

TEST(ObsNumLabel, FormattingWhatNoLabelHoldsIsReported)
{
    EXPECT_EQ(1, CountReports([] { EXPECT_EQ(L"", FormatObsNumLabel({0, 0, 3, 0})); }));
    EXPECT_EQ(1, CountReports([] { EXPECT_EQ(L"1", FormatObsNumLabel({1, 2, 0, -1})); }));
}
