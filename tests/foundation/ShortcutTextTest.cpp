#include <gtest/gtest.h>

#include "foundation/ShortcutText.h"
#include "tests/support/FailureReports.h"

TEST(ShortcutText, NoShortcutGivesAnEmptyText)
{
    EXPECT_EQ(L"", GetShortcutText(0, 'N'));
    EXPECT_EQ(L"", GetShortcutText(0, 99));
}

TEST(ShortcutText, CharacterKeysWithControlAndShift)
{
    EXPECT_EQ(L"Ctrl+N", GetShortcutText(1, 'N'));
    EXPECT_EQ(L"Ctrl+?", GetShortcutText(1, '?'));
    EXPECT_EQ(L"Ctrl+Shift+S", GetShortcutText(2, 'S'));
}

TEST(ShortcutText, SpecialKeysAlone)
{
    EXPECT_EQ(L"Up Arrow", GetShortcutText(3, 0));
    EXPECT_EQ(L"Down Arrow", GetShortcutText(3, 1));
    EXPECT_EQ(L"Left Arrow", GetShortcutText(3, 2));
    EXPECT_EQ(L"Right Arrow", GetShortcutText(3, 3));
    EXPECT_EQ(L"Del", GetShortcutText(3, 8));
    EXPECT_EQ(L"Page Up", GetShortcutText(3, 12));
    EXPECT_EQ(L"Page Down", GetShortcutText(3, 13));
    EXPECT_EQ(L"+", GetShortcutText(3, 14));
    EXPECT_EQ(L"-", GetShortcutText(3, 15));
}

TEST(ShortcutText, SpecialKeysWithModifiers)
{
    EXPECT_EQ(L"Ctrl+Page Up", GetShortcutText(4, 12));
    EXPECT_EQ(L"Shift+Del", GetShortcutText(5, 8));
    EXPECT_EQ(L"Ctrl+Shift+-", GetShortcutText(6, 15));
    EXPECT_EQ(L"Ctrl++", GetShortcutText(4, 14));
}

TEST(ShortcutText, UnknownSpecialKeyIsReportedAndLeavesTheKeyOut)
{
    const int before = ReportCount();
    EXPECT_EQ(L"Ctrl+", GetShortcutText(4, 9));
    EXPECT_EQ(1, ReportCount() - before);
    EXPECT_EQ(L"", GetShortcutText(3, 4));
    EXPECT_EQ(2, ReportCount() - before);
}

TEST(ShortcutText, UnknownModifierIsReportedAndGivesTheKeyAlone)
{
    const int before = ReportCount();
    EXPECT_EQ(L"Page Down", GetShortcutText(7, 13));
    EXPECT_EQ(1, ReportCount() - before);
    EXPECT_EQ(L"Del", GetShortcutText(-1, 8));
    EXPECT_EQ(2, ReportCount() - before);
}
