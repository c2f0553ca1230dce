#include <gtest/gtest.h>

#include <cwctype>
#include <map>
#include <string>

#include "foundation/Strings.h"
#include "foundation/TextTable.h"
#include "tests/support/FailureReports.h"

namespace {

// How many arguments the callers pass to each text that takes any; every
// other text must hold no placeholder at all, or the user would read "%1".
const std::map<int, int>& GetCallerArgumentCounts()
{
    static const std::map<int, int> counts = {
        {2004, 1}, {2005, 1}, {2010, 2}, {2011, 2}, {2034, 1}, {2035, 2}, {2037, 1}, {2038, 1},
        {2039, 1}, {2040, 1}, {2041, 2}, {2044, 1}, {2045, 1}, {2046, 1}, {2105, 1}, {2108, 1},
        {2131, 1}, {2229, 1}, {2230, 1}, {2238, 1}, {2257, 2}, {2286, 1}, {2295, 1}, {2330, 2},
        {2335, 1}, {2346, 1}, {2347, 2}, {2348, 3}, {2380, 2}, {2430, 1}, {2433, 1}, {2454, 1},
        {2498, 1}, {2500, 1}, {2670, 1}, {2675, 1}, {2678, 1}, {2679, 1}, {2681, 1}, {2683, 2},
        {2684, 1}, {2688, 2}, {2689, 1}, {2691, 2}, {2698, 1}, {2699, 2}, {2700, 1},
    };
    return counts;
}

int CountPlaceholder(const std::wstring& text, int n)
{
    const wchar_t placeholder[] = {L'%', wchar_t(L'0' + n), 0};
    int count = 0;
    for (size_t at = text.find(placeholder); at != std::wstring::npos; at = text.find(placeholder, at + 2))
        ++count;
    return count;
}

}  // namespace

TEST(Strings, EveryIdentifierHasAText)
{
    for (int id = 2000; id <= 2722; ++id)
        EXPECT_FALSE(GetString(id).empty()) << id;
}

TEST(Strings, OutOfRangeGivesFirstTextAndReports)
{
    const int before = ReportCount();
    EXPECT_EQ(GetString(2000), GetString(1999));
    EXPECT_EQ(GetString(2000), GetString(2723));
    EXPECT_EQ(GetString(2000), GetStringWithArg(-5, L"x"));
    EXPECT_EQ(before + 3, ReportCount());
}

TEST(Strings, AllocatedIdsFollowTheTable)
{
    const int first = AllocateId();
    EXPECT_GE(first, 2723);
    EXPECT_EQ(first + 1, AllocateId());
}

TEST(Strings, ProgramNameLanguageAndIdleText)
{
    EXPECT_EQ(L"Fendrel 4", GetString(2001));
    // Callers compare the language code whole.
    EXPECT_EQ(L"en", GetString(2006));
    EXPECT_EQ(L"Ready", GetString(2000));
}

TEST(Strings, TableIsStoredScrambled)
{
    const std::wstring plain = GetString(2001);
    const CScrambledText raw = GetScrambledText(2001 - kFirstTextId);
    ASSERT_EQ(int(plain.size()), raw.length);
    int same = 0;
    for (int i = 0; i < raw.length; ++i)
        same += raw.units[i] == plain[i];
    EXPECT_LT(same, 2);

    // The same text under another identifier is scrambled differently.
    EXPECT_EQ(GetString(2627), GetString(2631));
    const CScrambledText other = GetScrambledText(2631 - kFirstTextId);
    const CScrambledText jump = GetScrambledText(2627 - kFirstTextId);
    ASSERT_EQ(other.length, jump.length);
    EXPECT_NE(std::wstring(other.units, other.units + other.length),
              std::wstring(jump.units, jump.units + jump.length));
}

TEST(Strings, EscapesAreDecoded)
{
    const std::wstring report = GetString(2675);
    EXPECT_NE(std::wstring::npos, report.find(L"\n\n"));
    EXPECT_EQ(std::wstring::npos, report.find(L"\\n"));
}

TEST(Strings, TextsHoldThePlaceholdersTheirCallersFill)
{
    const std::map<int, int>& counts = GetCallerArgumentCounts();
    for (int id = 2000; id <= 2722; ++id) {
        const std::wstring text = GetString(id);
        const auto found = counts.find(id);
        const int arguments = found == counts.end() ? 0 : found->second;
        for (int n = 1; n <= 9; ++n)
            EXPECT_EQ(n <= arguments ? 1 : 0, CountPlaceholder(text, n)) << id << " %" << n;
    }
}

TEST(Strings, CaptionsHoldAtMostOneAccessKeyMarker)
{
    for (int id = 2000; id <= 2722; ++id) {
        const std::wstring text = GetString(id);
        const size_t first = text.find(L'&');
        if (first != std::wstring::npos) {
            EXPECT_EQ(std::wstring::npos, text.find(L'&', first + 1)) << id;
            ASSERT_LT(first + 1, text.size()) << id;
            EXPECT_TRUE(iswalnum(text[first + 1])) << id;
        }
    }
}

TEST(Strings, FailureReportCarriesItsDetails)
{
    const std::wstring text = GetStringWithArg(2675, L"CrashLog.cpp:120:5");
    EXPECT_NE(std::wstring::npos, text.find(L"(CrashLog.cpp:120:5)"));
    EXPECT_EQ(std::wstring::npos, text.find(L"%1"));
}

TEST(Strings, ArgumentsFillTheirPlaceholders)
{
    EXPECT_EQ(L"Ctrl+N", GetStringWithArg(2044, L"N"));
    EXPECT_EQ(L"Ctrl+Shift+Page Up", GetStringWithArg(2046, GetString(2052)));
    const std::wstring page = GetStringWith2Args(2683, L"http://example.invalid/", L"2");
    EXPECT_NE(std::wstring::npos, page.find(L"http://example.invalid/"));
    EXPECT_NE(std::wstring::npos, page.find(L"2"));
    EXPECT_EQ(std::wstring::npos, page.find(L'%'));
}

TEST(Strings, TextWithoutPlaceholderIsUnchanged)
{
    EXPECT_EQ(GetString(2000), GetStringWithArg(2000, L"ignored"));
    EXPECT_EQ(GetString(2013), GetStringWith4Args(2013, L"a", L"b", L"c", L"d"));
}

TEST(Strings, MissingArgumentLeavesItsPlaceholder)
{
    const std::wstring text = GetStringWithArg(2683, L"page");
    EXPECT_EQ(0, CountPlaceholder(text, 1));
    EXPECT_EQ(1, CountPlaceholder(text, 2));
}

TEST(Strings, ArgumentHoldingALaterPlaceholderIsFilledByTheLaterArgument)
{
    // The first argument brings a "%2" in front of the text's own "%2"; the
    // second argument fills the first "%2" it finds, the one just inserted.
    const std::wstring plain = GetStringWith2Args(2683, L"<A>", L"<B>");
    const std::wstring nested = GetStringWith2Args(2683, L"[%2]", L"<B>");
    std::wstring expected = plain;
    expected.replace(expected.find(L"<A>"), 3, L"[<B>]");
    expected.replace(expected.rfind(L"<B>"), 3, L"%2");
    EXPECT_EQ(expected, nested);
}

TEST(Strings, FillReplacesOnlyTheFirstOccurrence)
{
    const std::wstring one = L"X";
    const std::wstring* args[] = {&one, nullptr};
    std::wstring text = L"%1 and %1";
    FillPlaceholders(text, args);
    EXPECT_EQ(L"X and %1", text);
}

TEST(Strings, FillSearchesTheTextAsFilledSoFar)
{
    const std::wstring a = L"<%2>";
    const std::wstring b = L"B";
    const std::wstring c = L"C";
    const std::wstring d = L"D";
    const std::wstring* args[] = {&a, &b, &c, &d, nullptr};
    std::wstring text = L"%1 %2 %3 %4 %5";
    FillPlaceholders(text, args);
    EXPECT_EQ(L"<B> %2 C D %5", text);
}

TEST(Strings, FillWithoutArgumentsChangesNothing)
{
    const std::wstring* args[] = {nullptr};
    std::wstring text = L"100% %1";
    FillPlaceholders(text, args);
    EXPECT_EQ(L"100% %1", text);
}
