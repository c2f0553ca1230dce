#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "course/CourseNumbering.h"
#include "dialogs/DogPathDlg.h"
#include "dialogs/DogPathWnd.h"
#include "dialogs/PropertiesSession.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/annotations/DogPath.h"
#include "tests/dialogs/PropertiesWndTest.h"

namespace {

bool RouteAlongAny(const CCourse&, const CCourseNumbering*) { return true; }

// Every sequence can be routed along, so that sequences without numbers
// are offered; the connection's own test comes back after.
class DogPathDialog : public CPropertiesWndTest
{
protected:
    void SetUp() override
    {
        CPropertiesWndTest::SetUp();
        m_saved = CDogPathDlg::SetRouteTest(&RouteAlongAny);
    }
    void TearDown() override
    {
        CDogPathDlg::SetRouteTest(m_saved);
        CPropertiesWndTest::TearDown();
    }
    // Sequences of badge style, flag and first label, made in this order.
    static void AddSequences(CCourse& into, const std::vector<std::tuple<int, bool, std::wstring>>& sequences)
    {
        for (const auto& [style, flag, label] : sequences)
            into.GetNumbering(&style, &flag, &label);
    }

private:
    CDogPathDlg::CRouteTest m_saved = nullptr;
};

}  // namespace

TEST_F(DogPathDialog, TheUnitsRowShowsOnlyOnACourseInInchesAndIsStoredOnlyThere)
{
    for (const bool metric : {false, true}) {
        OpenCourseTestSettings();
        course.SetMetric(metric);
        CDogPathDlg half(&course);
        CSessionColors colors;
        CDogPathWnd window(half, colors);
        EXPECT_EQ(metric ? 13 : 15, window.mainColumn.GetRowCount());
        half.ChooseUnits(5);
        half.StoreDefaults();
        EXPECT_EQ(!metric, HasTestSettingsValue(L"90UsUnits"));
        EXPECT_EQ(1, CSettings::GetInt(L"90ConnectionType", -1));
    }
}

TEST_F(DogPathDialog, TheStoredConnectionChoosesTheEntryAndAnAutoRouteEntryPlacesAtOnce)
{
    const struct
    {
        int stored;
        bool withSequences;
        int entry;
        bool stays;
    } cases[] = {
        {2, false, 0, true}, {2, true, 0, false}, {1, true, 2, true},
        {0, true, 3, true},  {0, false, 1, true}, {7, true, 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored * 10 + c.withSequences);
        CCourse fresh(L"Fresh", L"");
        if (c.withSequences)
            AddSequences(fresh, {{0, false, L"1"}, {0, false, L"A"}});
        CSettings::SetInt(L"90ConnectionType", c.stored);
        CDogPathDlg half(&fresh);
        EXPECT_EQ(c.entry, half.GetConnectionEntry());
        EXPECT_EQ(c.stays, half.StaysForFurtherObjects());
    }
}

TEST_F(DogPathDialog, SequenceEntriesNameTheFlagAndStyleOnlyWhereTheSequencesDiffer)
{
    AddSequences(course, {{0, false, L"1"}, {1, true, L"a"}, {1, false, L"A"}});
    CDogPathDlg half(&course);
    const std::wstring their = L"The obstacles in the order of their ";
    // In the course's order: by style, then flag.
    EXPECT_EQ((std::vector<std::wstring>{their + L"plain round numbers", their + L"plain square capital letters",
                                         their + L"reversed-color square small letters"}),
              (std::vector<std::wstring>{half.GetSequenceEntryText(0), half.GetSequenceEntryText(1),
                                         half.GetSequenceEntryText(2)}));
}

TEST_F(DogPathDialog, TheConnectionSetsTheFitNowAndDiscriminationBoxes)
{
    AddSequences(course, {{0, false, L"1"}});
    // Entries: 0 the sequence, 1 obstacle, 2 plain, 3 mixed.
    const struct
    {
        int edited, storedFitNow, entry;
        bool checked, enabled, discrimination;
    } cases[] = {
        {0, 0, 0, true, false, true},   {0, 0, 1, false, true, true}, {0, 1, 1, true, true, true},
        {0, 1, 2, false, false, false}, {1, 1, 0, false, true, true}, {1, 1, 1, false, true, true},
        {1, 1, 2, false, false, false}, {1, 1, 3, false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edited * 100 + c.storedFitNow * 10 + c.entry);
        CSettings::SetInt(L"90ManualFitNow", c.storedFitNow);
        CDogPathDlg half(&course);
        for (int i = 0; i < c.edited; ++i)
            half.AddEditedObject(nullptr, 0, CPartColorSet());
        const CDogPathDlg::CConnectionControls controls = half.GetConnectionControls(c.entry);
        EXPECT_EQ((std::vector<bool>{c.checked, c.enabled, c.discrimination}),
                  (std::vector<bool>{controls.fitNowChecked, controls.fitNowEnabled, controls.discriminationEnabled}));
    }
}

// Plain then back to the empty entry: the discrimination box is cleared and
// disabled meanwhile, and OK keeps each path's kind.
TEST_F(DogPathDialog, PathsOfTwoKindsShowTheEmptyEntryKeepTheirKindsAndHiddenPathsShow)
{
    CSettings::SetInt(L"90Discrim", 1);
    const auto place = [&](float x, int entry) {
        return Place<CDogPath, CDogPathDlg>(x, [&](CDogPathDlg& half) { half.ChooseConnectionEntry(entry); });
    };
    CDogPath* plain = place(2000.0f, 1);
    CDogPath* tied = place(5000.0f, 0);
    course.SetShowPaths(false);
    bool shown = false, plainDisables = false;
    std::wstring mixedText = L"?";
    ASSERT_TRUE(EditSelection([&](HWND window) {
        shown = course.GetShowPaths();
        const HWND list = FindWindowExW(window, nullptr, L"COMBOBOX", nullptr);
        const HWND box = FindChildByCaption(window, GetString(2364));
        mixedText = SendMessageW(list, CB_GETCURSEL, 0, 0) == 2 ? GetWindowTextString(list) : L"not mixed";
        EXPECT_TRUE(SaveDialogShot(window, L"dog-path"));
        ChooseComboItem(list, 1);
        plainDisables = !IsButtonChecked(box) && !IsWindowEnabled(box);
        ChooseComboItem(list, 2);
        PressDialogButton(window, IDOK);
    }));
    EXPECT_TRUE(shown && plainDisables);
    EXPECT_EQ(L"", mixedText);
    EXPECT_EQ(std::make_pair(0, 1), std::make_pair(plain->GetConnectionKind(), tied->GetConnectionKind()));
    EXPECT_FALSE(HasTestSettingsValue(L"90ConnectionType"));
    EXPECT_EQ(1, CSettings::GetInt(L"90Discrim", -1));
}
