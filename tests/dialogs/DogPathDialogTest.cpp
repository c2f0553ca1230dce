#include <gtest/gtest.h>

#include <string>
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

constexpr int kDiscriminationText = 2364;
constexpr int kFitNowText = 2358;

bool RouteAlongAny(const CCourse&, const CCourseNumbering*) { return true; }

class DogPathDialog : public CPropertiesWndTest
{
protected:
    // Every sequence can be routed along, so that a course without numbers
    // offers its sequences; the connection's own test comes back after.
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

    CDogPath* PlacePath(float x, int kindEntry)
    {
        return Place<CDogPath, CDogPathDlg>(x, [&](CDogPathDlg& half) { half.ChooseConnectionEntry(kindEntry); });
    }

private:
    CDogPathDlg::CRouteTest m_saved = nullptr;
};

HWND FindBox(HWND window, int textId) { return FindChildByCaption(window, GetString(textId)); }

}  // namespace

TEST_F(DogPathDialog, TheUnitsRowShowsOnlyOnACourseInInchesAndIsStoredOnlyThere)
{
    for (const bool metric : {false, true}) {
        SCOPED_TRACE(metric);
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
        {2, false, 0, true},  // no sequence: the obstacle connection
        {2, true, 0, false},  // the first sequence
        {1, true, 2, true},   {0, true, 3, true}, {0, false, 1, true},
        {7, true, 2, true},  // out of range: the default
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored * 10 + c.withSequences);
        CCourse fresh(L"Fresh", L"");
        int style = 0;
        bool flag = false;
        for (const std::wstring label : {L"1", L"A"})
            if (c.withSequences)
                fresh.GetNumbering(&style, &flag, &label);
        CSettings::SetInt(L"90ConnectionType", c.stored);
        CDogPathDlg half(&fresh);
        EXPECT_EQ(c.entry, half.GetConnectionEntry());
        EXPECT_EQ(c.stays, half.StaysForFurtherObjects());
    }
}

TEST_F(DogPathDialog, SequenceEntriesNameTheFlagAndStyleOnlyWhereTheSequencesDiffer)
{
    const struct
    {
        int style;
        bool flag;
        const wchar_t* label;
        const wchar_t* first;
        const wchar_t* second;
    } cases[] = {
        {0, false, L"A", L"The obstacles in the order of their numbers",
         L"The obstacles in the order of their capital letters"},
        {0, true, L"a", L"The obstacles in the order of their plain numbers",
         L"The obstacles in the order of their reversed-color small letters"},
        {2, false, L"1", L"The obstacles in the order of their round numbers",
         L"The obstacles in the order of their unframed numbers"},
        {1, true, L"1", L"The obstacles in the order of their plain round numbers",
         L"The obstacles in the order of their reversed-color square numbers"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        CCourse fresh(L"Fresh", L"");
        int style = 0;
        bool flag = false;
        const std::wstring one = L"1", label = c.label;
        fresh.GetNumbering(&style, &flag, &one);
        fresh.GetNumbering(&c.style, &c.flag, &label);
        CDogPathDlg half(&fresh);
        ASSERT_EQ(2, half.GetSequenceCount());
        EXPECT_EQ(c.first, half.GetSequenceEntryText(0));
        EXPECT_EQ(c.second, half.GetSequenceEntryText(1));
    }
}

TEST_F(DogPathDialog, TheConnectionSetsTheFitNowAndDiscriminationBoxes)
{
    const int style = 0;
    const bool flag = false;
    const std::wstring label = L"1";
    course.GetNumbering(&style, &flag, &label);
    // Entries: 0 the sequence, 1 obstacle, 2 plain, 3 mixed.
    const struct
    {
        int edited;
        int storedFitNow;
        int entry;
        bool checked, enabled, discrimination;
    } cases[] = {
        {0, 0, 0, true, false, true},  {0, 0, 1, false, true, true}, {0, 1, 1, true, true, true},
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

TEST_F(DogPathDialog, ThePlainConnectionClearsAndDisablesDiscrimination)
{
    CSettings::SetInt(L"90Discrim", 1);
    const int style = 0;
    const bool flags[] = {false, true};
    const std::wstring label = L"1";
    for (const bool& flag : flags)
        course.GetNumbering(&style, &flag, &label);
    CPropertiesSession<CDogPathDlg, CDogPathWnd> session(&course);
    bool before = false, after = true, enabled = true, fitNowEnabled = true;
    ASSERT_TRUE(RunModalDriven([&] { session.DoModal(); }, [&](HWND window) {
        const HWND box = FindBox(window, kDiscriminationText);
        before = IsButtonChecked(box) && IsWindowEnabled(box);
        EXPECT_TRUE(SaveDialogShot(window, L"dog-path"));
        ChooseComboItem(FindWindowExW(window, nullptr, L"COMBOBOX", nullptr), 3);
        after = IsButtonChecked(box);
        enabled = IsWindowEnabled(box);
        fitNowEnabled = IsWindowEnabled(FindBox(window, kFitNowText));
        PressDialogButton(window, IDOK);
    }));
    EXPECT_TRUE(before);
    EXPECT_FALSE(after || enabled || fitNowEnabled);
    EXPECT_EQ(ECheckState::kClear, session.GetDiscriminationState());
    EXPECT_EQ(std::make_pair(0, 1), std::make_pair(CSettings::GetInt(L"90ConnectionType", -1),
                                                   CSettings::GetInt(L"90Discrim", -1)));
    EXPECT_FALSE(HasTestSettingsValue(L"90ManualFitNow"));
}

TEST_F(DogPathDialog, PathsOfTwoKindsShowTheEmptyEntryKeepTheirKindsAndHiddenPathsShow)
{
    CDogPath* plain = PlacePath(2000.0f, 1);
    CDogPath* tied = PlacePath(5000.0f, 0);
    course.SetShowPaths(false);
    bool shown = false;
    LRESULT selection = -1;
    std::wstring text = L"?";
    ASSERT_TRUE(EditSelection([&](HWND window) {
        shown = course.GetShowPaths();
        const HWND list = FindWindowExW(window, nullptr, L"COMBOBOX", nullptr);
        selection = SendMessageW(list, CB_GETCURSEL, 0, 0);
        text = GetWindowTextString(list);
        PressDialogButton(window, IDOK);
    }));
    EXPECT_TRUE(shown);
    EXPECT_EQ(2, selection);
    EXPECT_EQ(L"", text);
    EXPECT_EQ(std::make_pair(0, 1), std::make_pair(plain->GetConnectionKind(), tied->GetConnectionKind()));
    EXPECT_FALSE(HasTestSettingsValue(L"90ConnectionType"));
}
