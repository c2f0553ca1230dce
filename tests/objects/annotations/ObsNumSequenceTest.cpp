#include <gtest/gtest.h>

#include <string>

#include "objects/annotations/ObsNumSequence.h"

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
    ExpectLabel(L"10", 1, 9, 0, 0);
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
    ExpectLabel(L"12c", 1, 11, 3, 2);
    ExpectLabel(L"B3", 2, 1, 1, 2);
}

TEST(ObsNumLabel, InvalidLabelsAreAllZero)
{
    ExpectLabel(L"", 0, 0, 0, 0);
    ExpectLabel(L"1A2", 0, 0, 0, 0);
    ExpectLabel(L"1-", 0, 0, 0, 0);
    ExpectLabel(L"Aa1", 0, 0, 0, 0);
    ExpectLabel(L" 1", 0, 0, 0, 0);
    // A run too long for 32 bits is held at the limit, not wrapped.
    EXPECT_GT(ParseObsNumLabel(L"99999999999999999999").firstValue, 0);
}

TEST(ObsNumLabel, FullWidthFormsReadAsAscii)
{
    ExpectLabel(L"\uFF11\uFF12", 1, 11, 0, 0);
    ExpectLabel(L"\uFF21", 2, 0, 0, 0);
    EXPECT_EQ(3, GetObsNumLabelKind(L"\uFF41"));
}

TEST(ObsNumSequence, KindDecidesAutomaticNumbering)
{
    CObsNumSequence digits(nullptr, nullptr, true, 1);
    EXPECT_TRUE(digits.IsAutoNumber());
    EXPECT_TRUE(digits.GetFlag());
    EXPECT_EQ(1, digits.GetKind());
    EXPECT_EQ(0u, digits.GetStamp());
    CObsNumSequence invalid(nullptr, nullptr, false, 0);
    EXPECT_FALSE(invalid.IsAutoNumber());
}
