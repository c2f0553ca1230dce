#include <gtest/gtest.h>

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"

TEST(Strings, EveryIdentifierHasAText)
{
    for (int id = 2000; id <= 2722; ++id)
        EXPECT_FALSE(GetString(id).empty()) << id;
}

TEST(Strings, OutOfRangeGivesFirstTextAndReports)
{
    const int before = GetCrashLog().GetReportCount();
    EXPECT_EQ(GetString(2000), GetString(1999));
    EXPECT_EQ(GetString(2000), GetString(2723));
    EXPECT_EQ(before + 2, GetCrashLog().GetReportCount());
}

TEST(Strings, AllocatedIdsFollowTheTable)
{
    const int first = AllocateId();
    EXPECT_GE(first, 2723);
    EXPECT_EQ(first + 1, AllocateId());
}
