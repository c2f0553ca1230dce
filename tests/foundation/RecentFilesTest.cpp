#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "foundation/RecentFiles.h"
#include "foundation/Settings.h"
#include "tests/support/TestSettings.h"

namespace {


class RecentFiles : public testing::Test
{
protected:
    CTestSettingsKey m_key;
};

std::deque<std::wstring> List(std::initializer_list<const wchar_t*> items)
{
    std::deque<std::wstring> list;
    for (const wchar_t* item : items)
        list.push_back(item);
    return list;
}

}  // namespace

TEST_F(RecentFiles, MostRecentFirstWithNumberedLabels)
{
    CRecentFiles files;
    files.SetMaximum(16);
    files.Add(L"C:\\a.agl");
    files.Add(L"C:\\b.agl");
    files.Add(L"C:\\c.agl");
    EXPECT_EQ(List({L"C:\\c.agl", L"C:\\b.agl", L"C:\\a.agl"}), files.GetPaths());
    EXPECT_EQ(List({L"1 C:\\c.agl", L"2 C:\\b.agl", L"3 C:\\a.agl"}), files.GetLabels());

    // An entry further down moves to the front.
    files.Add(L"C:\\a.agl");
    EXPECT_EQ(List({L"C:\\a.agl", L"C:\\c.agl", L"C:\\b.agl"}), files.GetPaths());
    EXPECT_EQ(L"1 C:\\a.agl", files.GetLabels().front());
}

TEST_F(RecentFiles, AddingTheFirstAgainChangesNothing)
{
    CRecentFiles files;
    files.SetMaximum(4);
    files.Add(L"C:\\b.agl");
    files.Add(L"C:\\A.agl");
    files.Add(L"c:\\a.AGL");
    EXPECT_EQ(List({L"C:\\A.agl", L"C:\\b.agl"}), files.GetPaths());

    // The second entry in another spelling: the new spelling goes to the front.
    files.Add(L"C:\\B.AGL");
    EXPECT_EQ(List({L"C:\\B.AGL", L"C:\\A.agl"}), files.GetPaths());
    EXPECT_EQ(List({L"1 C:\\B.AGL", L"2 C:\\A.agl"}), files.GetLabels());
}

TEST_F(RecentFiles, KeepsAtMostTheMaximum)
{
    CRecentFiles files;
    files.SetMaximum(3);
    for (const wchar_t* path : {L"1.agl", L"2.agl", L"3.agl", L"4.agl"})
        files.Add(path);
    EXPECT_EQ(List({L"4.agl", L"3.agl", L"2.agl"}), files.GetPaths());
    EXPECT_EQ(3u, files.GetLabels().size());

    files.SetMaximum(1);
    EXPECT_EQ(List({L"4.agl"}), files.GetPaths());
    EXPECT_EQ(List({L"1 4.agl"}), files.GetLabels());
}

TEST_F(RecentFiles, RemoveDropsTheMatchingEntry)
{
    CRecentFiles files;
    files.SetMaximum(5);
    files.Add(L"a.agl");
    files.Add(L"b.agl");
    files.Add(L"c.agl");
    files.Remove(L"B.AGL");
    EXPECT_EQ(List({L"c.agl", L"a.agl"}), files.GetPaths());
    EXPECT_EQ(List({L"1 c.agl", L"2 a.agl"}), files.GetLabels());
    files.Remove(L"missing.agl");
    EXPECT_EQ(List({L"c.agl", L"a.agl"}), files.GetPaths());
}

TEST_F(RecentFiles, EntriesFromTheTenthOnHaveNoNumber)
{
    CRecentFiles files;
    files.SetMaximum(12);
    for (int i = 12; i >= 1; --i)
        files.Add(L"f" + std::to_wstring(i));
    ASSERT_EQ(12u, files.GetLabels().size());
    EXPECT_EQ(L"1 f1", files.GetLabels()[0]);
    EXPECT_EQ(L"9 f9", files.GetLabels()[8]);
    EXPECT_EQ(L"f10", files.GetLabels()[9]);
    EXPECT_EQ(L"f12", files.GetLabels()[11]);
}

TEST(RecentFileLabels, LongPathsAreShortened)
{
    // 3 + 48 + 1 + 8 = 60 characters: unchanged.
    const std::wstring sixty = L"C:\\" + std::wstring(48, L'f') + L"\\file.agl";
    ASSERT_EQ(60u, sixty.size());
    EXPECT_EQ(sixty, ShortenPathForMenu(sixty));

    const std::wstring sixtyOne = L"C:\\" + std::wstring(49, L'f') + L"\\file.agl";
    ASSERT_EQ(61u, sixtyOne.size());
    EXPECT_EQ(L"C:\\...\\file.agl", ShortenPathForMenu(sixtyOne));

    const std::wstring deep = L"C:\\Users\\Someone\\Documents\\Agility\\Trials 2024\\Spring\\Saturday\\Jumpers.agl";
    EXPECT_EQ(L"C:\\...\\Jumpers.agl", ShortenPathForMenu(deep));
}

TEST(RecentFileLabels, LongNamesAndNoSeparators)
{
    const std::wstring name(70, L'n');
    // No separator at all: nothing to cut at.
    EXPECT_EQ(name, ShortenPathForMenu(name));
    // The name alone is too long: everything before its separator goes.
    EXPECT_EQ(L"...\\" + name, ShortenPathForMenu(L"C:\\" + name));
    EXPECT_EQ(L"...\\" + name, ShortenPathForMenu(L"ab\\cd\\" + name));
    // A long first folder is kept with its separator.
    const std::wstring first(40, L'A');
    EXPECT_EQ(first + L"\\...\\" + std::wstring(15, L'z'),
              ShortenPathForMenu(first + L"\\" + std::wstring(10, L'B') + L"\\" + std::wstring(15, L'z')));
}

TEST_F(RecentFiles, SaveAndLoadThroughTheSettings)
{
    CSettings::SetWString(L"File4", L"stale.agl");
    CRecentFiles files;
    files.SetMaximum(4);
    files.Add(L"C:\\one.agl");
    files.Add(L"C:\\two \u20AC.agl");
    files.Save();
    EXPECT_EQ(L"C:\\two \u20AC.agl", CSettings::GetWString(L"File1", L"-"));
    EXPECT_EQ(L"C:\\one.agl", CSettings::GetWString(L"File2", L"-"));
    EXPECT_EQ(L"", CSettings::GetWString(L"File3", L"-"));
    EXPECT_EQ(L"", CSettings::GetWString(L"File4", L"-"));

    // Empty values are skipped on loading; values past the maximum are not read.
    CSettings::SetWString(L"File3", L"C:\\three.agl");
    CSettings::SetWString(L"File5", L"C:\\five.agl");
    CRecentFiles loaded;
    loaded.SetMaximum(4);
    loaded.Add(L"C:\\replaced.agl");
    loaded.Load();
    EXPECT_EQ(List({L"C:\\two \u20AC.agl", L"C:\\one.agl", L"C:\\three.agl"}), loaded.GetPaths());
    EXPECT_EQ(L"3 C:\\three.agl", loaded.GetLabels()[2]);
}
