#include <gtest/gtest.h>

#include <vector>

#include "dialogs/HumanPathDlg.h"
#include "dialogs/HumanPathWnd.h"
#include "dialogs/PropertiesSession.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/annotations/HumanPath.h"
#include "tests/dialogs/PropertiesWndTest.h"

namespace {

constexpr int kShowLengthText = 2396;

class HumanPathDialog : public CPropertiesWndTest
{
protected:
    CHumanPath* PlacePath(float x, int penType)
    {
        return Place<CHumanPath, CHumanPathDlg>(x, [&](CHumanPathDlg& half) { half.ChoosePenType(penType); });
    }
};

}  // namespace

TEST_F(HumanPathDialog, TheUnitsShowOnlyOnACourseInInchesAndAreStoredOnlyThere)
{
    for (const bool metric : {false, true}) {
        SCOPED_TRACE(metric);
        OpenCourseTestSettings();
        course.SetMetric(metric);
        {
            CHumanPathDlg half(&course);
            CSessionColors colors;
            CHumanPathWnd window(half, colors);
            EXPECT_EQ(metric ? 5 : 7, window.mainColumn.GetRowCount());
        }
        course.DeleteSelected();
        CHumanPath* path = PlacePath(2000.0f, 1);
        bool enabledBefore = true, enabledAfter = false;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            const HWND combo = FindWindowExW(window, nullptr, L"COMBOBOX", nullptr);
            EXPECT_EQ(!metric, combo != nullptr);
            enabledBefore = combo && IsWindowEnabled(combo);
            ClickControl(FindChildByCaption(window, GetString(kShowLengthText)));
            enabledAfter = combo && IsWindowEnabled(combo);
            ClickControl(FindRadioButtons(window)[1]);
            PressDialogButton(window, IDOK);
        }));
        EXPECT_FALSE(enabledBefore);
        EXPECT_EQ(!metric, enabledAfter);
        EXPECT_EQ(2, path->GetPenType());
        EXPECT_TRUE(path->GetShowLength());
        EXPECT_EQ(std::make_pair(2, 1), std::make_pair(CSettings::GetInt(L"140PenType", 0),
                                                       CSettings::GetInt(L"140ShowLength", 0)));
        EXPECT_EQ(!metric, HasTestSettingsValue(L"140UsUnits"));
    }
}

TEST_F(HumanPathDialog, MixedPenTypesSelectNeitherRadioAndKeepTheirOwnAndHiddenPathsShow)
{
    CHumanPath* first = PlacePath(2000.0f, 1);
    CHumanPath* second = PlacePath(5000.0f, 2);
    course.SetShowPaths(false);
    std::vector<bool> checked;
    bool shown = false;
    ASSERT_TRUE(EditSelection([&](HWND window) {
        shown = course.GetShowPaths();
        for (HWND radio : FindRadioButtons(window))
            checked.push_back(IsButtonChecked(radio));
        PressDialogButton(window, IDOK);
    }));
    EXPECT_TRUE(shown);
    EXPECT_EQ((std::vector<bool>{false, false}), checked);
    EXPECT_EQ(std::make_pair(1, 2), std::make_pair(first->GetPenType(), second->GetPenType()));
    EXPECT_FALSE(HasTestSettingsValue(L"140PenType"));
}
