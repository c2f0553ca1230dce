#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "dialogs/LengthFormat.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "tests/support/FailureReports.h"

namespace {

std::wstring Decimal(const wchar_t* whole, const wchar_t* tenth)
{
    return std::wstring(whole) + CLocaleDefaults().decimalSeparator + tenth;
}

}  // namespace

TEST(LengthFormat, FeetAndInches)
{
    EXPECT_EQ(L"12 ft", FormatLength(1440.0f, EUnitKind::kFeetAndInches, true));
    // 6.6 inches round to 7; no feet part.
    EXPECT_EQ(L"7 in", FormatLength(66.0f, EUnitKind::kFeetAndInches, true));
    EXPECT_EQ(L"8 ft 4 in", FormatLength(1000.0f, EUnitKind::kFeetAndInches, true));
    EXPECT_EQ(L"0 ft", FormatLength(0.0f, EUnitKind::kFeetAndInches, false));
    EXPECT_EQ(L"-8 ft 4 in", FormatLength(-1000.0f, EUnitKind::kFeetAndInches, true));
}

TEST(LengthFormat, InchesFeetAndCentimetres)
{
    EXPECT_EQ(L"-1 in", FormatLength(-5.0f, EUnitKind::kInches, true));
    EXPECT_EQ(L"120 ft", FormatLength(14400.0f, EUnitKind::kFeet, true));
    EXPECT_EQ(L"120", FormatLength(14400.0f, EUnitKind::kFeet, false));
    // Whole feet round half up: 114 inches are 9.5 feet.
    EXPECT_EQ(L"10 ft", FormatLength(1140.0f, EUnitKind::kFeet, true));
    EXPECT_EQ(L"100 cm", FormatLength(393.7f, EUnitKind::kCentimetres, true));
    EXPECT_EQ(L"100", FormatLength(393.7f, EUnitKind::kCentimetres, false));
}

TEST(LengthFormat, DecimalsBelowAHundred)
{
    EXPECT_EQ(L"100 yd", FormatLength(36000.0f, EUnitKind::kYards, true));
    EXPECT_EQ(Decimal(L"99", L"9 yd"), FormatLength(35964.0f, EUnitKind::kYards, true));
    EXPECT_EQ(L"100 m", FormatLength(39370.0f, EUnitKind::kMetres, true));
    EXPECT_EQ(Decimal(L"9", L"9 m"), FormatLength(3900.0f, EUnitKind::kMetres, true));
    EXPECT_EQ(L"30 m", FormatLength(11811.0f, EUnitKind::kMetres, true));
    EXPECT_EQ(Decimal(L"12", L"1 ft"), FormatLength(1446.0f, EUnitKind::kDecimalFeet, true));
    EXPECT_EQ(L"12", FormatLength(1440.0f, EUnitKind::kDecimalFeet, false));
}

TEST(LengthFormat, UnknownKindIsReportedAndGivesWhatWasWritten)
{
    const int reports = ReportCount();
    EXPECT_EQ(L"", FormatLength(100.0f, EUnitKind(8), true));
    EXPECT_EQ(L"-", FormatLength(-100.0f, EUnitKind(0), true));
    EXPECT_EQ(reports + 2, ReportCount());
}

TEST(LengthFormat, AbsurdValuesGiveText)
{
    EXPECT_FALSE(FormatLength(1e30f, EUnitKind::kMetres, true).empty());
    EXPECT_FALSE(FormatLength(-1e30f, EUnitKind::kFeetAndInches, true).empty());
    EXPECT_EQ(L"0 ft", FormatLength(std::nanf(""), EUnitKind::kFeet, true));
}

TEST(LengthFormat, MetricKinds)
{
    for (int kind = 1; kind <= 7; ++kind)
        EXPECT_EQ(kind >= 6, IsMetricUnitKind(EUnitKind(kind))) << kind;
    EXPECT_EQ(2, CountReports([] {
        EXPECT_FALSE(IsMetricUnitKind(EUnitKind(0)));
        EXPECT_FALSE(IsMetricUnitKind(EUnitKind(8)));
    }));
}

TEST(LengthFormat, MeasuredLengthsTakeMetresOrTheUSKind)
{
    const struct {
        float tenths;
        bool metric;
        int usKind;
        std::wstring text;
    } cases[] = {
        {39370.0f, true, 2, L"100"},
        {3900.0f, true, 1, Decimal(L"9", L"9")},
        {1000.0f, false, 2, L"8 ft 4 in"},
        {1140.0f, false, 3, L"10 ft"},
        {1446.0f, false, 5, Decimal(L"12", L"1 ft")},
        {1000.0f, false, 1, L"100"},
        {36000.0f, false, 4, L"100"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, FormatMeasuredLength(c.tenths, c.metric, EUnitKind(c.usKind))) << c.tenths << " " << c.usKind;
}

TEST(LengthFormat, TypedTextReadsAsANumberOrALength)
{
    using R = ELengthText;
    const EUnitKind none = EUnitKind::kNone;
    const struct {
        const wchar_t* text;
        R result;
        int64_t value;
        EUnitKind kind;
    } cases[] = {
        {L"12", R::kWholeNumber, 12, none},
        {L"12.5", R::kDecimalNumber, 1250, none},
        {L"12,5", R::kDecimalNumber, 1250, none},
        {L"", R::kWholeNumber, 0, none},
        {L"  -7 ", R::kWholeNumber, -7, none},
        // Whatever follows a number without a unit is ignored.
        {L"12 3", R::kWholeNumber, 12, none},
        {L"1.2.3", R::kDecimalNumber, 120, none},
        {L"5'6\"", R::kLength, 660, EUnitKind::kFeetAndInches},
        {L"5' 6", R::kLength, 660, EUnitKind::kFeetAndInches},
        {L"5 FT 6 In.", R::kLength, 660, EUnitKind::kFeetAndInches},
        {L"-5 ft 6 in", R::kLength, -660, EUnitKind::kFeetAndInches},
        {L"5 ft 6 ft", R::kNotALength, 0, none},
        {L"14 ft", R::kLength, 1680, EUnitKind::kFeet},
        {L"2.5 in", R::kLength, 25, EUnitKind::kInches},
        {L"1 yd", R::kLength, 360, EUnitKind::kYards},
        {L"100 cm", R::kLength, 394, EUnitKind::kCentimetres},
        {L"2 m", R::kLength, 787, EUnitKind::kMetres},
        {L"2 m more", R::kNotALength, 0, none},
        {L"twelve", R::kNotALength, 0, none},
        // Full-width digits, letters and marks read as their ASCII forms.
        {L"\xFF11\xFF12 \xFF46\xFF54", R::kLength, 1440, EUnitKind::kFeet},
        // More than nine whole digits is no length; leading zeros do not
        // count; decimals past the sixth are dropped.
        {L"1234567890", R::kNotALength, 0, none},
        {L"0000000000123456789", R::kWholeNumber, 123456789, none},
        {L"42950 m", R::kLength, 16909449, EUnitKind::kMetres},
        {L"999999999.9999999999999999999999999999999 m", R::kLength, 393700787402, EUnitKind::kMetres},
        {L"1.0000000000000000000000000000000000000001", R::kDecimalNumber, 100, none},
        {L"0.0000004 in", R::kLength, 0, EUnitKind::kInches},
    };
    for (const auto& c : cases) {
        const CParsedLength parsed = ParseLength(c.text);
        EXPECT_EQ(c.result, parsed.result) << c.text;
        EXPECT_EQ(c.value, parsed.value) << c.text;
        EXPECT_EQ(c.kind, parsed.kind) << c.text;
    }
}
