#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/EndLineDlg.h"
#include "dialogs/EndLineWnd.h"
#include "dialogs/PropertiesSession.h"
#include "dialogs/StraightLinePropertiesDlg.h"
#include "dialogs/StraightLinePropertiesWnd.h"
#include "dialogs/UnusableAreaPropertiesDlg.h"
#include "dialogs/UnusableAreaPropertiesWnd.h"
#include "foundation/Settings.h"
#include "objects/annotations/EndLine.h"
#include "objects/annotations/StraightLine.h"
#include "objects/annotations/UnusableArea.h"
#include "tests/dialogs/PropertiesWndTest.h"

// The windows of start and finish lines, unusable areas and straight lines
// run on the objects each case places. A window reads as its visible
// radios "(*)" or "( )", edits "[text]" and lists "{selection/entries}",
// each with "~" when disabled; the objects' values after OK as a list; a
// stored value of -1 means none.

namespace {

class AnnotationWindows : public CPropertiesWndTest
{
protected:
    // Objects made by the half as `set` leaves it for each value, selected
    // unless `select` is false; then the window, whose radio (or else list
    // entry) `choice` is chosen before OK. What the window showed.
    template <class TObject, class THalf, class TWnd, class TSet>
    std::wstring Run(const std::vector<int>& values, TSet set, int choice, std::vector<TObject*>& placed,
                     bool select = true)
    {
        course.SelectAll();
        course.DeleteSelected();
        for (int value : values)
            placed.push_back(Place<TObject, THalf>(2000.0f * float(placed.size() + 1), [&](THalf& h) { set(h, value); }));
        std::wstring shown;
        const auto drive = [&](HWND window) {
            std::vector<HWND> radios, lists;
            for (const CDialogChild& child : ListDialogChildren(window)) {
                if (!IsWindowVisible(child.window) || child.id == IDOK || child.id == IDCANCEL)
                    continue;
                const bool radio = (child.style & BS_TYPEMASK) == BS_RADIOBUTTON && child.className == L"Button";
                const std::wstring state = IsWindowEnabled(child.window) ? L"" : L"~";
                if (radio) {
                    radios.push_back(child.window);
                    shown += (IsButtonChecked(child.window) ? L"(*)" : L"( )") + state;
                } else if (child.className == L"ComboBox") {
                    lists.push_back(child.window);
                    shown += L"{" + std::to_wstring(SendMessageW(child.window, CB_GETCURSEL, 0, 0)) + L"/" +
                             std::to_wstring(SendMessageW(child.window, CB_GETCOUNT, 0, 0)) + L"}" + state;
                } else if (child.className == L"Edit") {
                    shown += L"[" + GetWindowTextString(child.window) + L"]" + state;
                }
            }
            if (choice >= 0 && !radios.empty())
                ClickControl(radios.at(size_t(choice)));
            else if (choice >= 0)
                ChooseComboItem(lists.at(1), choice);
            PressDialogButton(window, IDOK);
        };
        if (!select)
            course.DeselectAll(false);
        CPropertiesSession<THalf, TWnd> newObject(&course);
        EXPECT_TRUE(select ? EditSelection(drive) : RunModalDriven([&] { newObject.DoModal(); }, drive));
        return shown;
    }

    template <class TObject, class TGet>
    static std::vector<int> Values(const std::vector<TObject*>& objects, TGet get)
    {
        std::vector<int> values;
        for (const TObject* object : objects)
            values.push_back((object->*get)());
        return values;
    }
};

}  // namespace

TEST_F(AnnotationWindows, StartAndFinishLines)
{
    // "110StartAndFinish" before; the lines, edited or else joined by a new
    // one; the radio clicked (start, finish, both); shown, after, stored.
    const struct
    {
        int stored;
        std::vector<int> kinds;
        bool edit;
        int click;
        const wchar_t* shown;
        std::vector<int> after;
        int storedAfter;
    } cases[] = {
        {0, {0, 0, 2}, false, -1, L"( )(*)( )", {0, 0, 2}, 0},
        {0, {0, 2}, false, -1, L"(*)( )( )", {0, 2}, 0},
        {-1, {0, 2}, false, 0, L"( )( )(*)", {0, 2}, 0},
        {0, {0, 1, 1}, false, -1, L"( )( )(*)", {0, 1, 1}, 1},
        {-1, {0, 2}, true, -1, L"( )( )( )", {0, 2}, -1},
        {-1, {0, 2}, true, 2, L"( )( )( )", {1, 1}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored << " " << c.kinds.size() << " " << c.edit << " " << c.click);
        OpenCourseTestSettings();
        if (c.stored >= 0)
            CSettings::SetInt(L"110StartAndFinish", c.stored);
        std::vector<CEndLine*> lines;
        EXPECT_EQ(c.shown, (Run<CEndLine, CEndLineDlg, CEndLineWnd>(
                               c.kinds, [](CEndLineDlg& h, int kind) { h.SetStartAndFinish(kind); }, c.click, lines,
                               c.edit)));
        EXPECT_EQ(c.after, Values(lines, &CEndLine::GetKind));
        EXPECT_EQ(c.storedAfter, CSettings::GetInt(L"110StartAndFinish", -1));
    }
}

TEST_F(AnnotationWindows, UnusableAreas)
{
    // The areas' rounding; the radio clicked (square, round, by the
    // percentage); shown, after, "350PercentRounded".
    const struct
    {
        std::vector<int> percents;
        int click;
        const wchar_t* shown;
        std::vector<int> after;
        int stored;
    } cases[] = {
        {{100}, 2, L"( )(*)( )[50]~", {50}, 50},
        {{30}, 0, L"( )( )(*)[30]", {0}, 0},
        {{0, 30}, -1, L"( )( )( )[50]~", {0, 30}, -1},
        {{0, 30}, 1, L"( )( )( )[50]~", {100, 100}, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.percents[0] << " " << c.click);
        OpenCourseTestSettings();
        std::vector<CUnusableArea*> areas;
        EXPECT_EQ(c.shown, (Run<CUnusableArea, CUnusableAreaPropertiesDlg, CUnusableAreaPropertiesWnd>(
                               c.percents, [](CUnusableAreaPropertiesDlg& h, int p) { h.SetPercentRounded(p); },
                               c.click, areas)));
        EXPECT_EQ(c.after, Values(areas, &CUnusableArea::GetPercentRounded));
        EXPECT_EQ(c.stored, CSettings::GetInt(L"350PercentRounded", -1));
    }
}

TEST_F(AnnotationWindows, StraightLines)
{
    // The lines' pens (in feet, length hidden), metric or not: shown, with
    // the pen list first, the arrowheads, the units in feet unless metric;
    // "270Pen" after both ends get arrowheads. A metric course's picker is
    // not shown but keeps the lines' unit, which OK stores.
    const struct
    {
        std::vector<int> pens;
        bool metric;
        const wchar_t* shown;
        int stored;
    } cases[] = {
        {{0, 2}, false, L"{3/4}{0/3}{2/4}~", -1},
        {{0, 1, 2}, false, L"{3/4}{0/3}{2/4}~", -1},
        {{1}, true, L"{1/3}{0/3}", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pens.size() << " " << c.metric);
        OpenCourseTestSettings();
        course.SetMetric(c.metric);
        std::vector<CStraightLine*> lines;
        EXPECT_EQ(c.shown, (Run<CStraightLine, CStraightLinePropertiesDlg, CStraightLinePropertiesWnd>(
                               c.pens, [](CStraightLinePropertiesDlg& h, int pen) { h.Choose(pen, 0, ECheckState::kClear, 3); },
                               2, lines)));
        EXPECT_EQ(c.pens, Values(lines, &CStraightLine::GetPen));
        EXPECT_EQ(std::vector<int>(c.pens.size(), 2), Values(lines, &CStraightLine::GetArrowHeads));
        EXPECT_EQ(std::vector<int>(c.pens.size(), 3), Values(lines, &CStraightLine::GetUnits));
        EXPECT_EQ((std::vector<int>{c.stored, 2, 3}),
                  (std::vector<int>{CSettings::GetInt(L"270Pen", -1), CSettings::GetInt(L"270ArrowHeads", -1),
                                    CSettings::GetInt(L"270UsUnits", -1)}));
    }
}
