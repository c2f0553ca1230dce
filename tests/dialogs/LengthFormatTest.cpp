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
