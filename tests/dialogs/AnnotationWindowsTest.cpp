#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "dialogs/EndLineDlg.h"
#include "dialogs/EndLineWnd.h"
#include "dialogs/PropertiesSession.h"
#include "dialogs/StraightLinePropertiesDlg.h"
#include "dialogs/UnusableAreaPropertiesDlg.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/annotations/EndLine.h"
#include "objects/annotations/StraightLine.h"
#include "objects/annotations/UnusableArea.h"
#include "tests/dialogs/PropertiesWndTest.h"

// The windows of the start and finish line, the unusable area and the
// straight line, driven as a user drives them.

namespace {

using AnnotationWindows = CPropertiesWndTest;

std::vector<bool> CheckedRadios(HWND window)
{
    std::vector<bool> checked;
    for (HWND radio : FindRadioButtons(window))
        checked.push_back(IsButtonChecked(radio));
    return checked;
}

std::vector<HWND> FindCombos(HWND window)
{
    std::vector<HWND> combos;
    for (const CDialogChild& child : ListDialogChildren(window))
        if (child.className == L"ComboBox" && IsWindowVisible(child.window))
            combos.push_back(child.window);
    return combos;
}

int Selection(HWND combo) { return int(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }
int Count(HWND combo) { return int(SendMessageW(combo, CB_GETCOUNT, 0, 0)); }

}  // namespace

TEST_F(AnnotationWindows, ANewStartOrFinishLineIsProposedFromTheCourseAndTheStoredChoice)
{
    // "110StartAndFinish" (-1: unset), the course's lines, the radio checked
    // (start, finish, both), the radio clicked and the value then stored.
    const struct
    {
        int stored;
        std::vector<int> kinds;
        std::vector<bool> checked;
        int click;
        int storedAfter;
    } cases[] = {
        {0, {0, 0, 2}, {false, true, false}, -1, 0},
        {0, {0, 2}, {true, false, false}, -1, 0},
        {-1, {0, 2}, {false, false, true}, 0, 0},
        {0, {0, 1, 1}, {false, false, true}, -1, 1},
        {0, {}, {true, false, false}, 2, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored << " " << c.kinds.size());
        OpenCourseTestSettings();
        if (c.stored >= 0)
            CSettings::SetInt(L"110StartAndFinish", c.stored);
        course.SelectAll();
        course.DeleteSelected();
        float x = 1000.0f;
        for (int kind : c.kinds)
            Place<CEndLine, CEndLineDlg>(x += 1500.0f, [&](CEndLineDlg& half) { half.SetStartAndFinish(kind); });
        course.DeselectAll(false);
        CPropertiesSession<CEndLineDlg, CEndLineWnd> newLine(&course);
        std::vector<bool> checked;
        ASSERT_TRUE(RunModalDriven([&] { newLine.DoModal(); }, [&](HWND window) {
            checked = CheckedRadios(window);
            if (c.click >= 0)
                ClickControl(FindRadioButtons(window).at(size_t(c.click)));
            PressDialogButton(window, IDOK);
        }));
        EXPECT_EQ(c.checked, checked);
        EXPECT_EQ(c.storedAfter, CSettings::GetInt(L"110StartAndFinish", -1));
    }
}

TEST_F(AnnotationWindows, StartAndFinishLinesOfDifferentKindsCheckNoRadioAndKeepTheirKinds)
{
    CEndLine* start = Place<CEndLine, CEndLineDlg>(2000.0f, [](CEndLineDlg& half) { half.SetStartAndFinish(0); });
    CEndLine* finish = Place<CEndLine, CEndLineDlg>(5000.0f, [](CEndLineDlg& half) { half.SetStartAndFinish(2); });
    std::vector<bool> checked;
    ASSERT_TRUE(EditSelection([&](HWND window) {
        checked = CheckedRadios(window);
        PressDialogButton(window, IDOK);
    }));
    EXPECT_EQ((std::vector<bool>{false, false, false}), checked);
    EXPECT_EQ(std::make_pair(0, 2), std::make_pair(start->GetKind(), finish->GetKind()));
    EXPECT_FALSE(HasTestSettingsValue(L"110StartAndFinish"));
}

TEST_F(AnnotationWindows, UnusableAreasRoundTheirCornersByTheChoiceMade)
{
    // The areas' rounding, what the window shows (radios, the entry's state
    // and text), the radio clicked, the entry then, the areas after OK and
    // "350PercentRounded" (-1: not stored).
    const struct
    {
        std::vector<int> percents;
        std::vector<bool> checked;
        bool spinEnabled;
        const wchar_t* spinText;
        int click;
        bool spinEnabledAfter;
        std::vector<int> after;
        int stored;
    } cases[] = {
        {{100}, {false, true, false}, false, L"50", 2, true, {50}, 50},
        {{30}, {false, false, true}, true, L"30", 0, false, {0}, 0},
        {{0}, {true, false, false}, false, L"50", -1, false, {0}, 0},
        {{0, 30}, {false, false, false}, false, L"50", -1, false, {0, 30}, -1},
        {{0, 30}, {false, false, false}, false, L"50", 1, false, {100, 100}, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.percents.size() << " " << c.percents[0] << " click " << c.click);
        OpenCourseTestSettings();
        course.SelectAll();
        course.DeleteSelected();
        std::vector<CUnusableArea*> areas;
        float x = 1000.0f;
        for (int percent : c.percents)
            areas.push_back(Place<CUnusableArea, CUnusableAreaPropertiesDlg>(
                x += 3000.0f, [&](CUnusableAreaPropertiesDlg& half) { half.SetPercentRounded(percent); }));
        std::vector<bool> checked;
        bool spinEnabled = false, spinEnabledAfter = false;
        std::wstring spinText;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            checked = CheckedRadios(window);
            const HWND spin = FindEditControls(window).at(0);
            spinEnabled = IsWindowEnabled(spin) != FALSE;
            spinText = GetWindowTextString(spin);
            if (c.click >= 0)
                ClickControl(FindRadioButtons(window).at(size_t(c.click)));
            spinEnabledAfter = IsWindowEnabled(spin) != FALSE;
            PressDialogButton(window, IDOK);
        }));
        EXPECT_EQ(c.checked, checked);
        EXPECT_EQ(std::make_pair(c.spinEnabled, std::wstring(c.spinText)), std::make_pair(spinEnabled, spinText));
        EXPECT_EQ(c.spinEnabledAfter, spinEnabledAfter);
        std::vector<int> after;
        for (const CUnusableArea* area : areas)
            after.push_back(area->GetPercentRounded());
        EXPECT_EQ(c.after, after);
        EXPECT_EQ(c.stored, CSettings::GetInt(L"350PercentRounded", -1));
    }
}

TEST_F(AnnotationWindows, StraightLinesKeepWhatDiffersAndTakeWhatIsChosen)
{
    // Pens of the lines, metric or not; the lists shown (pen entries and
    // selection), the arrowheads chosen; the pens after, "270Pen" stored.
    const struct
    {
        std::vector<int> pens;
        bool metric;
        size_t lists;
        int penEntries;
        int penSelection;
        std::vector<int> pensAfter;
        int storedPen;
    } cases[] = {
        {{0, 2}, false, 3, 4, 3, {0, 2}, -1},
        {{0, 1, 2}, false, 3, 4, 3, {0, 1, 2}, -1},
        {{2, 2}, false, 3, 3, 2, {2, 2}, 2},
        // The units picker is not shown on a metric course, but still holds
        // the lines' unit kind, which OK stores.
        {{1}, true, 2, 3, 1, {1}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pens.size() << " metric " << c.metric);
        OpenCourseTestSettings();
        course.SetMetric(c.metric);
        course.SelectAll();
        course.DeleteSelected();
        std::vector<CStraightLine*> lines;
        float x = 1000.0f;
        for (int pen : c.pens)
            lines.push_back(Place<CStraightLine, CStraightLinePropertiesDlg>(
                x += 2000.0f, [&](CStraightLinePropertiesDlg& half) { half.Choose(pen, 0, ECheckState::kClear, 4); }));
        std::vector<HWND> combos;
        int penEntries = 0, penSelection = -1;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            combos = FindCombos(window);
            ASSERT_GE(combos.size(), 2u);
            penEntries = Count(combos[0]);
            penSelection = Selection(combos[0]);
            ChooseComboItem(combos[1], 2);
            PressDialogButton(window, IDOK);
        }));
        EXPECT_EQ(c.lists, combos.size());
        EXPECT_EQ(std::make_pair(c.penEntries, c.penSelection), std::make_pair(penEntries, penSelection));
        std::vector<int> pensAfter;
        for (const CStraightLine* line : lines) {
            pensAfter.push_back(line->GetPen());
            EXPECT_EQ(std::make_pair(2, 4), std::make_pair(line->GetArrowHeads(), line->GetUnits()));
        }
        EXPECT_EQ(c.pensAfter, pensAfter);
        EXPECT_EQ(c.storedPen, CSettings::GetInt(L"270Pen", -1));
        EXPECT_EQ(std::make_pair(2, 4),
                  std::make_pair(CSettings::GetInt(L"270ArrowHeads", -1), CSettings::GetInt(L"270UsUnits", -1)));
    }
}

TEST_F(AnnotationWindows, StraightLinesShowingAndHidingTheirLengthShowTheStoredDefaultIndeterminate)
{
    CSettings::SetInt(L"270ShowLength", 1);
    CStraightLine* shown = Place<CStraightLine, CStraightLinePropertiesDlg>(
        2000.0f, [](CStraightLinePropertiesDlg& half) { half.Choose(1, 0, ECheckState::kSet, 3); });
    CStraightLine* hidden = Place<CStraightLine, CStraightLinePropertiesDlg>(
        5000.0f, [](CStraightLinePropertiesDlg& half) { half.Choose(1, 0, ECheckState::kClear, 3); });
    LRESULT state = -1;
    ASSERT_TRUE(EditSelection([&](HWND window) {
        state = SendMessageW(FindChildByCaption(window, GetString(2479)), BM_GETCHECK, 0, 0);
        PressDialogButton(window, IDOK);
    }));
    EXPECT_EQ(BST_INDETERMINATE, state);
    EXPECT_EQ(std::make_pair(true, false), std::make_pair(shown->GetShowLength(), hidden->GetShowLength()));
}
