#include <gtest/gtest.h>

#include "foundation/CrashLog.h"
#include "tests/support/FailureReports.h"
#include "tests/ui/UiTestWindows.h"
#include "ui/FrameWindowList.h"

namespace {

std::vector<CFrameListEntry*> Listed()
{
    const std::deque<CFrameListEntry*>& frames = CFrameWindowList::GetFrames();
    return std::vector<CFrameListEntry*>(frames.begin(), frames.end());
}

void ExpectIndicesMatchPlaces()
{
    const std::deque<CFrameListEntry*>& frames = CFrameWindowList::GetFrames();
    for (size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(int(i), frames[i]->frameIndex);
}

}  // namespace

TEST(FrameWindowList, EmptyListFindsNothing)
{
    int count = -1;
    EXPECT_TRUE(FindFrameWindows(count).empty());
    EXPECT_EQ(0, count);
}

TEST(FrameWindowList, MostRecentlyActivatedFirst)
{
    CTestFrame a;
    CTestFrame b;
    CTestFrame c;
    EXPECT_EQ((std::vector<CFrameListEntry*>{&c, &b, &a}), Listed());
    ExpectIndicesMatchPlaces();

    CFrameWindowList::Activate(&a);
    EXPECT_EQ((std::vector<CFrameListEntry*>{&a, &c, &b}), Listed());
    ExpectIndicesMatchPlaces();

    ShowWindow(c.hwnd, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(c.hwnd));
    int count = 0;
    EXPECT_EQ((std::vector<CFrameListEntry*>{&a, &b, &c}), FindFrameWindows(count));
    EXPECT_EQ(2, count);

    CFrameWindowList::Remove(&a);
    EXPECT_EQ(-1, a.frameIndex);
    EXPECT_EQ((std::vector<CFrameListEntry*>{&c, &b}), Listed());
    ExpectIndicesMatchPlaces();
}

TEST(FrameWindowList, AFrameLeavesTheListWithItsObject)
{
    CTestFrame a;
    {
        CTestFrame b;
        EXPECT_EQ(2u, CFrameWindowList::GetFrames().size());
    }
    EXPECT_EQ((std::vector<CFrameListEntry*>{&a}), Listed());
    EXPECT_EQ(0, a.frameIndex);
}

TEST(FrameWindowList, ClassNameMayBeReplacedBeforeTheFirstFrame)
{
    EXPECT_EQ(L"CDocWindow", GetFrameWindowClassName());
    SetFrameWindowClassName(L"Other");
    EXPECT_EQ(L"Other", GetFrameWindowClassName());
    SetFrameWindowClassName(L"CDocWindow");
}

TEST(FrameWindowList, UnlistedFramesAreReported)
{
    CTestFrame a;
    CFrameWindowList::Remove(&a);
    EXPECT_EQ(2, CountReports([&] { CFrameWindowList::Activate(&a); CFrameWindowList::Remove(&a); }));
    EXPECT_TRUE(CFrameWindowList::GetFrames().empty());
}
