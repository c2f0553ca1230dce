#include <gtest/gtest.h>

#include <vector>

#include "dialogs/EndLineDlg.h"
#include "dialogs/EndLineWnd.h"
#include "dialogs/PropertiesSession.h"
#include "dialogs/StraightLinePropertiesDlg.h"
#include "dialogs/UnusableAreaPropertiesDlg.h"
#include "foundation/Settings.h"
#include "objects/annotations/EndLine.h"
#include "objects/annotations/StraightLine.h"
#include "objects/annotations/UnusableArea.h"
#include "tests/dialogs/PropertiesWndTest.h"

// The windows of start and finish lines, unusable areas and straight lines,
// each run on the objects a case places: what they show, what OK gives the
// objects and stores. A stored value of -1 means none is stored.

namespace {

class AnnotationWindows : public CPropertiesWndTest
{
protected:
    // A fresh course of objects made by the half as `set` leaves it for
    // each value, all selected unless `select` is false.
    template <class TObject, class THalf, class TSet>
    std::vector<TObject*> PlaceAll(const std::vector<int>& values, TSet set, bool select = true)
    {
        OpenCourseTestSettings();
        course.SelectAll();
        course.DeleteSelected();
        std::vector<TObject*> placed;
        for (int value : values)
            placed.push_back(Place<TObject, THalf>(2000.0f * float(placed.size() + 1), [&](THalf& h) { set(h, value); }));
        if (!select)
            course.DeselectAll(false);
        return placed;
    }
};

std::vector<bool> CheckedRadios(HWND window)
{
    std::vector<bool> checked;
    for (HWND radio : FindRadioButtons(window))
        checked.push_back(IsButtonChecked(radio));
    return checked;
}

}  // namespace

TEST_F(AnnotationWindows, StartAndFinishLines)
{
    // "110StartAndFinish" before, the lines, whether they are edited (else a
    // new line's window opens), the radios checked (start, finish, both),
    // the radio clicked, the kinds and the value stored after.
    const struct
    {
        int stored;
        std::vector<int> kinds;
        bool edit;
        std::vector<bool> checked;
        int click;
        std::vector<int> after;
        int storedAfter;
    } cases[] = {
        {0, {0, 0, 2}, false, {false, true, false}, -1, {0, 0, 2}, 0},
        {0, {0, 2}, false, {true, false, false}, -1, {0, 2}, 0},
        {-1, {0, 2}, false, {false, false, true}, 0, {0, 2}, 0},
        {0, {0, 1, 1}, false, {false, false, true}, -1, {0, 1, 1}, 1},
        {-1, {0, 2}, true, {false, false, false}, -1, {0, 2}, -1},
        {-1, {0, 2}, true, {false, false, false}, 2, {1, 1}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored << " " << c.kinds.size() << " " << c.edit << " " << c.click);
        const auto lines = PlaceAll<CEndLine, CEndLineDlg>(
            c.kinds, [](CEndLineDlg& half, int kind) { half.SetStartAndFinish(kind); }, c.edit);
        if (c.stored >= 0)
            CSettings::SetInt(L"110StartAndFinish", c.stored);
        std::vector<bool> checked;
        const auto drive = [&](HWND window) {
            checked = CheckedRadios(window);
            if (c.click >= 0)
                ClickControl(FindRadioButtons(window).at(size_t(c.click)));
            PressDialogButton(window, IDOK);
        };
        CPropertiesSession<CEndLineDlg, CEndLineWnd> newLine(&course);
        ASSERT_TRUE(c.edit ? EditSelection(drive) : RunModalDriven([&] { newLine.DoModal(); }, drive));
        EXPECT_EQ(c.checked, checked);
        std::vector<int> after;
        for (const CEndLine* line : lines)
            after.push_back(line->GetKind());
        EXPECT_EQ(c.after, after);
        EXPECT_EQ(c.storedAfter, CSettings::GetInt(L"110StartAndFinish", -1));
    }
}

TEST_F(AnnotationWindows, UnusableAreas)
{
    // The areas' rounding; the radios checked (square, fully rounded,
    // custom), the percentage's entry enabled with its text, the radio
    // clicked, the entry enabled then; the areas after OK; the value stored.
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
        {{0, 30}, {false, false, false}, false, L"50", -1, false, {0, 30}, -1},
        {{0, 30}, {false, false, false}, false, L"50", 1, false, {100, 100}, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.percents.size() << " " << c.percents[0] << " " << c.click);
        const auto areas = PlaceAll<CUnusableArea, CUnusableAreaPropertiesDlg>(
            c.percents, [](CUnusableAreaPropertiesDlg& half, int percent) { half.SetPercentRounded(percent); });
        std::vector<bool> checked;
        std::vector<bool> enabled;
        std::wstring spinText;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            checked = CheckedRadios(window);
            const HWND spin = FindEditControls(window).at(0);
            enabled.push_back(IsWindowEnabled(spin));
            spinText = GetWindowTextString(spin);
            if (c.click >= 0)
                ClickControl(FindRadioButtons(window).at(size_t(c.click)));
            enabled.push_back(IsWindowEnabled(spin));
            PressDialogButton(window, IDOK);
        }));
        EXPECT_EQ(c.checked, checked);
        EXPECT_EQ((std::vector<bool>{c.spinEnabled, c.spinEnabledAfter}), enabled);
        EXPECT_EQ(c.spinText, spinText);
        std::vector<int> after;
        for (const CUnusableArea* area : areas)
            after.push_back(area->GetPercentRounded());
        EXPECT_EQ(c.after, after);
        EXPECT_EQ(c.stored, CSettings::GetInt(L"350PercentRounded", -1));
    }
}

TEST_F(AnnotationWindows, StraightLines)
{
    // The lines' pens (each in feet, without length), metric or not; the
    // lists shown, the pen list's entries and selection; the pens after
    // OK with the arrowheads at both ends; "270Pen" stored.
    const struct
    {
        std::vector<int> pens;
        bool metric;
        size_t lists;
        int penEntries;
        int penSelection;
        int storedPen;
    } cases[] = {
        {{0, 2}, false, 3, 4, 3, -1},
        {{0, 1, 2}, false, 3, 4, 3, -1},
        {{2, 2}, false, 3, 3, 2, 2},
        // Not shown on a metric course, the units picker still holds the
        // lines' unit kind, which OK stores.
        {{1}, true, 2, 3, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pens.size() << " " << c.metric);
        const auto lines = PlaceAll<CStraightLine, CStraightLinePropertiesDlg>(
            c.pens, [](CStraightLinePropertiesDlg& half, int pen) { half.Choose(pen, 0, ECheckState::kClear, 3); });
        course.SetMetric(c.metric);
        std::vector<HWND> lists;
        LRESULT penEntries = 0, penSelection = -1;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            for (const CDialogChild& child : ListDialogChildren(window))
                if (child.className == L"ComboBox" && IsWindowVisible(child.window))
                    lists.push_back(child.window);
            penEntries = SendMessageW(lists.at(0), CB_GETCOUNT, 0, 0);
            penSelection = SendMessageW(lists.at(0), CB_GETCURSEL, 0, 0);
            ChooseComboItem(lists.at(1), 2);
            PressDialogButton(window, IDOK);
        }));
        EXPECT_EQ(c.lists, lists.size());
        EXPECT_EQ(std::make_pair(LRESULT(c.penEntries), LRESULT(c.penSelection)), std::make_pair(penEntries, penSelection));
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ((std::vector<int>{c.pens[i], 2, 3}),
                      (std::vector<int>{lines[i]->GetPen(), lines[i]->GetArrowHeads(), lines[i]->GetUnits()}));
        EXPECT_EQ(c.storedPen, CSettings::GetInt(L"270Pen", -1));
        EXPECT_EQ(std::make_pair(2, 3), std::make_pair(CSettings::GetInt(L"270ArrowHeads", -1),
                                                       CSettings::GetInt(L"270UsUnits", -1)));
    }
}
