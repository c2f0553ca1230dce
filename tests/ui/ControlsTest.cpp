#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestWindows.h"
#include "tests/ui/UiTestWindows.h"
#include "ui/Button.h"
#include "ui/ComboBox.h"
#include "ui/EditBox.h"
#include "ui/GridLayout.h"
#include "ui/ScrollBar.h"
#include "ui/StaticText.h"
#include "ui/UIFontMetrics.h"

namespace {

template <class T>
class CCounter
{
public:
    void OnEvent(T) { ++count; }
    CDelegate<T> Make() { return CMemberDelegate<T, CCounter>::Make(this, &CCounter::OnEvent); }
    int count = 0;
};

// A click lands at the control's top left corner: it needs a size.
void Place(CWindow& control, int row = 0)
{
    control.bounds = CRectF(0.0f, float(row * 30), 150.0f, float(row * 30 + 24));
}

void Click(CWindow& control) { SendMessageW(control.hwnd, BM_CLICK, 0, 0); }

LRESULT GetCheck(CWindow& control) { return SendMessageW(control.hwnd, BM_GETCHECK, 0, 0); }

}  // namespace

TEST(PushButton, MeasuresAgainstTheStandardCaptions)
{
    CPushButton button(L"Go");
    button.Measure();
    const int own = GetTextWidth(L"Go");
    int standard = 0;
    for (int id : {2013, 2014, 2015})
        standard = std::max(standard, GetTextWidth(GetString(id)));
    const float average = GetAverageCharWidth();
    EXPECT_EQ(own + 10, button.minWidth);
    EXPECT_EQ(std::max(standard + int(8 * average), own + int(5 * average)), button.preferredWidth);
    EXPECT_EQ(0, button.maxWidth);
    EXPECT_EQ(DluToPixelsY(14), button.minHeight);
    EXPECT_EQ(DluToPixelsY(14), button.maxHeight);
}

TEST(PushButton, ClickFiresTheDelegateAndADefaultButtonNeedsADialog)
{
    CTestHost host;
    CPushButton button(L"Go", true);
    CCounter<CPushButton*> clicks;
    button.SetOnClick(clicks.Make());
    Place(button);
    const int before = ReportCount();
    button.CreateNativeWindow(host);
    EXPECT_EQ(before + 1, ReportCount());   // not in a dialog
    EXPECT_TRUE(GetWindowLongW(button.hwnd, GWL_STYLE) & BS_DEFPUSHBUTTON);
    Click(button);
    EXPECT_EQ(1, clicks.count);
    button.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(button.hwnd));
}

TEST(CheckBox, AClickOnAnIndeterminateBoxKeepsTheCheckThenToggles)
{
    CTestHost host;
    CCheckBox box(L"Show numbers", true);
    box.SetIndeterminate(true);
    CCounter<CCheckBox*> clicks;
    box.SetOnChange(clicks.Make());
    Place(box);
    box.CreateNativeWindow(host);
    EXPECT_EQ(BST_INDETERMINATE, GetCheck(box));
    EXPECT_EQ(BS_3STATE, GetWindowLongW(box.hwnd, GWL_STYLE) & 0xF);

    Click(box);
    EXPECT_FALSE(box.indeterminate);
    EXPECT_TRUE(box.checked);
    EXPECT_EQ(BST_CHECKED, GetCheck(box));
    Click(box);
    EXPECT_FALSE(box.checked);
    EXPECT_EQ(BST_UNCHECKED, GetCheck(box));
    EXPECT_EQ(2, clicks.count);

    box.SetChecked(true);
    EXPECT_EQ(BST_CHECKED, GetCheck(box));
    box.SetIndeterminate(true);
    box.SetChecked(false);
    EXPECT_EQ(BST_INDETERMINATE, GetCheck(box));
    box.SetIndeterminate(false);
    EXPECT_EQ(BST_UNCHECKED, GetCheck(box));
}

TEST(CheckBox, SetOnChangeSharesTheDelegate)
{
    CCounter<CCheckBox*> clicks;
    CDelegate<CCheckBox*> handler = clicks.Make();
    {
        CCheckBox box(L"A");
        box.SetOnChange(handler);
        EXPECT_EQ(2, handler.GetReferenceCount());
        box.SetOnChange(handler);   // the same delegate again changes nothing
        EXPECT_EQ(2, handler.GetReferenceCount());
        box.SetOnChange(CDelegate<CCheckBox*>());
        EXPECT_EQ(1, handler.GetReferenceCount());
        box.SetOnChange(handler);
    }
    EXPECT_EQ(1, handler.GetReferenceCount());
}

TEST(CheckBox, MeasureAndCaption)
{
    CTestHost host;
    CCheckBox box(L"Short");
    box.Measure();
    EXPECT_EQ(GetTextWidth(L"Short") + 18, box.minWidth);
    EXPECT_EQ(GetLineHeight(), box.preferredHeight);
    box.WidenForText(L"A much longer caption");
    EXPECT_EQ(GetTextWidth(L"A much longer caption") + 18, box.preferredWidth);
    box.Measure();   // the wider minimum stays
    EXPECT_EQ(GetTextWidth(L"A much longer caption") + 18, box.minWidth);

    box.CreateNativeWindow(host);
    box.caption.SetMnemonic(L'S');
    box.SetCaption(L"Second");
    wchar_t text[32] = {};
    GetWindowTextW(box.hwnd, text, 32);
    EXPECT_STREQ(L"&Second", text);
}

TEST(RadioButton, SelectingClearsTheGroupIncludingNestedGrids)
{
    CTestHost host;
    CGridLayout group(2, 1);
    CGridLayout nested(true);
    CRadioButton a(&group, L"A", true);
    CRadioButton b(&group, L"B");
    CRadioButton c(&group, L"C");
    nested.Add(&b);
    nested.Add(&c);
    group.SetCell(0, 0, &a);
    group.SetCell(1, 0, &nested);
    EXPECT_EQ(&a, CRadioButton::FindFirstInGroup(&group));
    EXPECT_EQ(&b, CRadioButton::FindFirstInGroup(&nested));
    CCounter<CRadioButton*> clicks;
    c.SetOnClick(clicks.Make());
    Place(a, 0);
    Place(b, 1);
    Place(c, 2);
    group.CreateNativeWindow(host);

    EXPECT_TRUE(GetWindowLongW(a.hwnd, GWL_STYLE) & WS_GROUP);
    EXPECT_FALSE(GetWindowLongW(b.hwnd, GWL_STYLE) & WS_GROUP);
    EXPECT_EQ(BST_CHECKED, GetCheck(a));
    EXPECT_EQ(BST_UNCHECKED, GetCheck(c));

    Click(c);
    EXPECT_EQ(1, clicks.count);
    EXPECT_TRUE(c.checked);
    EXPECT_FALSE(a.checked);
    EXPECT_EQ(BST_UNCHECKED, GetCheck(a));
    EXPECT_EQ(BST_CHECKED, GetCheck(c));
    b.Select();
    EXPECT_FALSE(c.checked);
    EXPECT_EQ(BST_UNCHECKED, GetCheck(c));
}

TEST(RadioButton, TheFirstButtonCreatedCheckedClearsTheOthers)
{
    CTestHost host;
    CGridLayout group(true);
    CRadioButton a(&group, L"A", true);
    CRadioButton b(&group, L"B", true);
    b.SetEnabled(false);
    group.Add(&a);
    group.Add(&b);
    Place(a, 0);
    Place(b, 1);
    group.CreateNativeWindow(host);
    EXPECT_TRUE(a.checked);
    EXPECT_FALSE(b.checked);
    EXPECT_EQ(BST_UNCHECKED, GetCheck(b));
    EXPECT_FALSE(IsWindowEnabled(b.hwnd));
}

TEST(StaticText, MeasureAndText)
{
    CTestHost host;
    CStaticText label(L"Name");
    label.Measure();
    // Two pixels beyond the text, which the native label needs.
    EXPECT_EQ(GetTextWidth(L"Name") + 2, label.preferredWidth);
    EXPECT_EQ(GetLineHeight(), label.maxHeight);
    label.CreateNativeWindow(host);
    label.SetText(L"Other");
    wchar_t text[32] = {};
    GetWindowTextW(label.hwnd, text, 32);
    EXPECT_STREQ(L"Other", text);
    CFixedWindow any(1, 1);
    FitWidthToText(any, L"Wide text");
    EXPECT_EQ(GetTextWidth(L"Wide text"), any.minWidth);
}

TEST(EditBox, SetTextComesBackThroughTheChangeNotification)
{
    CTestHost host;
    CEditBox edit(4, 10);
    edit.SetText(L"before");
    CCounter<CEditBox*> changes;
    edit.SetOnChange(changes.Make());
    edit.CreateNativeWindow(host);
    EXPECT_EQ(0, changes.count);   // creation fires nothing
    EXPECT_EQ(L"before", ReadWindowText(edit.hwnd));
    edit.SetText(L"after");
    EXPECT_EQ(1, changes.count);
    SendMessageW(edit.hwnd, EM_SETSEL, 0, -1);
    SendMessageW(edit.hwnd, EM_REPLACESEL, TRUE, LPARAM(L"typed"));
    EXPECT_EQ(L"typed", edit.GetText());
    EXPECT_EQ(2, changes.count);

    edit.SetEditable(false);
    EXPECT_TRUE(GetWindowLongW(edit.hwnd, GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(GetWindowLongW(edit.hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

    edit.Measure();
    EXPECT_EQ(int(GetAverageCharWidth() * 4 + 6.5f), edit.minWidth);
    EXPECT_EQ(int(GetAverageCharWidth() * 10 + 6.5f), edit.preferredWidth);
    EXPECT_EQ(DluToPixelsY(14), edit.preferredHeight);
}

TEST(ComboBox, SortedItemsKeepTheirIndices)
{
    CTestHost host;
    CComboBox combo(true);
    EXPECT_EQ(0, combo.AddItem(L"b"));
    EXPECT_EQ(1, combo.AddItem(L"a"));
    combo.Measure();
    combo.SetBounds(CRectF(0.0f, 0.0f, float(combo.preferredWidth), float(combo.preferredHeight)));
    combo.CreateNativeWindow(host);
    EXPECT_EQ(1, combo.GetSelection());
    EXPECT_EQ(0, SendMessageW(combo.hwnd, CB_GETCURSEL, 0, 0));
    // The selection field is as tall as the bounds.
    RECT rect;
    GetWindowRect(combo.hwnd, &rect);
    EXPECT_EQ(combo.preferredHeight, rect.bottom - rect.top);

    CCounter<CComboBox*> changes;
    combo.SetOnSelChange(changes.Make());
    SendMessageW(combo.hwnd, CB_SETCURSEL, 1, 0);
    SendMessageW(host.hwnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo.hwnd), CBN_SELCHANGE), LPARAM(combo.hwnd));
    EXPECT_EQ(0, combo.GetSelection());   // "b", added first
    EXPECT_EQ(1, changes.count);

    combo.SelectItem(1);
    EXPECT_EQ(0, SendMessageW(combo.hwnd, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(2, combo.AddItem(L"0"));
    EXPECT_EQ(2, SendMessageW(combo.hwnd, CB_GETITEMDATA, 0, 0));
}

TEST(ComboBox, IndicesOutsideTheListAreReportedAndChangeNothing)
{
    CTestHost host;
    CComboBox combo(false);
    combo.AddItem(L"one");
    combo.AddItem(L"two");
    combo.SelectItem(1);
    const int before = ReportCount();
    combo.SelectItem(2);
    combo.SelectItem(-1);
    EXPECT_EQ(before + 2, ReportCount());
    EXPECT_EQ(1, combo.GetSelection());

    combo.CreateNativeWindow(host);
    EXPECT_EQ(1, SendMessageW(combo.hwnd, CB_GETCURSEL, 0, 0));
    // An entry the object did not make (its item data is not one of ours).
    CCounter<CComboBox*> changes;
    combo.SetOnSelChange(changes.Make());
    const LRESULT stranger = SendMessageW(combo.hwnd, CB_ADDSTRING, 0, LPARAM(L"stranger"));
    SendMessageW(combo.hwnd, CB_SETITEMDATA, WPARAM(stranger), 7);
    SendMessageW(combo.hwnd, CB_SETCURSEL, WPARAM(stranger), 0);
    SendMessageW(host.hwnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo.hwnd), CBN_SELCHANGE), LPARAM(combo.hwnd));
    EXPECT_EQ(before + 3, ReportCount());
    EXPECT_EQ(1, combo.GetSelection());
    EXPECT_EQ(0, changes.count);
}

TEST(ComboBox, DropDownHandlerLeavesTheTabOrder)
{
    CTestHost host;
    CComboBox combo;
    CCounter<CComboBox*> drops;
    combo.SetDropDownHandler(drops.Make());
    combo.CreateNativeWindow(host);
    EXPECT_FALSE(GetWindowLongW(combo.hwnd, GWL_STYLE) & WS_TABSTOP);
    SendMessageW(host.hwnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo.hwnd), CBN_DROPDOWN), LPARAM(combo.hwnd));
    EXPECT_EQ(1, drops.count);
}

TEST(ScrollBar, RangeWithPageGivesTheNativeMaximum)
{
    CTestHost host;
    CScrollBar bar(true);
    bar.SetRange(0, 100, 20, 10);
    bar.Measure();
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), bar.preferredWidth);
    EXPECT_EQ(1, bar.heightStretch);
    bar.SetBounds(CRectF(0.0f, 0.0f, float(bar.preferredWidth), 200.0f));
    bar.CreateNativeWindow(host);
    SCROLLINFO info = {sizeof info, SIF_ALL};
    ASSERT_TRUE(GetScrollInfo(bar.hwnd, SB_CTL, &info));
    EXPECT_EQ(0, info.nMin);
    EXPECT_EQ(109, info.nMax);
    EXPECT_EQ(10u, info.nPage);
    EXPECT_EQ(20, info.nPos);

    bar.SetPosition(100);
    EXPECT_EQ(100, GetScrollPos(bar.hwnd, SB_CTL));
    bar.SetRange(0, 50, 0, 0);
    EXPECT_EQ(1, bar.page);
}

TEST(ScrollBar, PositionsOutsideTheRangeAreReportedAndIgnored)
{
    CScrollBar bar(false);
    bar.SetRange(0, 100, 20, 10);
    const int before = ReportCount();
    bar.SetRange(0, 100, 101, 10);
    bar.SetRange(0, 100, 5, -1);
    bar.SetPosition(-1);
    bar.SetPosition(101);
    EXPECT_EQ(before + 4, ReportCount());
    EXPECT_EQ(20, bar.GetPosition());
    EXPECT_EQ(10, bar.page);
}

TEST(ScrollBar, ScrollCodesFireTheirDelegates)
{
    CTestHost host;
    CScrollBar bar(true);
    bar.SetRange(0, 100, 50, 10);
    bar.SetBounds(CRectF(0.0f, 0.0f, 20.0f, 200.0f));
    bar.CreateNativeWindow(host);
    CCounter<CScrollBar*> lineUp;
    CCounter<CScrollBar*> pageDown;
    CCounter<CScrollBar*> moved;
    bar.SetOnLineUp(lineUp.Make());
    bar.SetOnPageDown(pageDown.Make());
    bar.SetOnPositionChanged(moved.Make());
    SendMessageW(host.hwnd, WM_VSCROLL, SB_LINEUP, LPARAM(bar.hwnd));
    SendMessageW(host.hwnd, WM_VSCROLL, SB_PAGEDOWN, LPARAM(bar.hwnd));
    SendMessageW(host.hwnd, WM_VSCROLL, SB_TOP, LPARAM(bar.hwnd));
    EXPECT_EQ(0, bar.GetPosition());
    SendMessageW(host.hwnd, WM_VSCROLL, SB_BOTTOM, LPARAM(bar.hwnd));
    EXPECT_EQ(100, bar.GetPosition());
    EXPECT_EQ(1, lineUp.count);
    EXPECT_EQ(1, pageDown.count);
    EXPECT_EQ(2, moved.count);
}
