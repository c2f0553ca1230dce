#include <gtest/gtest.h>

#include <windows.h>

#include "foundation/SystemFunctions.h"

TEST(SystemFunctions, BindsWhatTheLibraryExportsAndNothingElse)
{
    const auto length = GetSystemFunction<decltype(lstrlenW)>(L"kernel32.dll", "lstrlenW");
    ASSERT_NE(nullptr, length);
    EXPECT_EQ(3, length(L"abc"));
    EXPECT_EQ(nullptr, FindSystemFunction(L"kernel32.dll", "NoSuchFunctionAnywhere"));
    EXPECT_EQ(nullptr, FindSystemFunction(L"no-such-library.dll", "lstrlenW"));
}
