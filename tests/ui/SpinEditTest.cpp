#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestWindows.h"
#include "tests/ui/UiTestWindows.h"
#include "ui/SpinEdit.h"

namespace {

int Parse(const std::wstring& text, bool* valid = nullptr)
{
    int value = -999;
    const bool ok = ParseSpinText(text, value);
    if (valid)
        *valid = ok;
    return ok ? value : -999;
}

int Step(int min, int max, int step, const std::wstring& text, bool up)
{
    CRangeSpinEdit spin(min, max, step);
    spin.SetText(text);
    spin.OnSpin(up);
    return Parse(spin.GetText());
}

class CCounter
{
public:
    void OnEvent(CSpinEdit*) { ++count; }
    int count = 0;
};

}  // namespace

TEST(SpinEdit, ParsesDigitsBlanksAndSign)
{
    EXPECT_EQ(12, Parse(L"12"));
    EXPECT_EQ(12, Parse(L"1 2"));
    EXPECT_EQ(-7, Parse(L"-7"));
    EXPECT_EQ(-7, Parse(L" - 7 "));
    EXPECT_EQ(-5, Parse(L"0-5"));   // still zero so far: the sign may come
    EXPECT_EQ(0, Parse(L""));
    bool valid = true;
    Parse(L"5-", &valid);
    EXPECT_FALSE(valid);   // a minus after a non-zero digit
    Parse(L"12a", &valid);
    EXPECT_FALSE(valid);
    Parse(L"1.5", &valid);
    EXPECT_FALSE(valid);
}

TEST(SpinEdit, FullWidthDigitsCountAsAscii)
{
    const std::wstring fullWidth = {wchar_t(0xFF11), wchar_t(0xFF12)};   // "１２"
    EXPECT_EQ(12, Parse(fullWidth));
    const std::wstring minus = {wchar_t(0xFF0D), wchar_t(0xFF13)};   // "－３"
    EXPECT_EQ(-3, Parse(minus));
}

TEST(SpinEdit, NumbersBeyondTheIntRangeAreInvalid)
{
    // Accumulating in 32 bits would wrap 4294967301 round to 5.
    bool valid = true;
    Parse(L"4294967301", &valid);
    EXPECT_FALSE(valid);
    Parse(L"99999999999999999999", &valid);
    EXPECT_FALSE(valid);
    EXPECT_EQ(2147483647, Parse(L"2147483647"));
}

TEST(RangeSpinEdit, StepsToMultiplesOfTheStepWithinTheRange)
{
    EXPECT_EQ(15, Step(0, 100, 5, L"12", true));
    EXPECT_EQ(5, Step(0, 100, 5, L"12", false));
    EXPECT_EQ(100, Step(0, 100, 5, L"100", true));
    EXPECT_EQ(95, Step(0, 100, 5, L"100", false));
    EXPECT_EQ(100, Step(0, 100, 5, L"150", true));
    EXPECT_EQ(100, Step(0, 100, 5, L"150", false));
    EXPECT_EQ(0, Step(0, 100, 5, L"-3", true));
    EXPECT_EQ(0, Step(0, 100, 5, L"-3", false));
    EXPECT_EQ(0, Step(0, 100, 5, L"3", false));
    // Truncation toward zero for negative values.
    EXPECT_EQ(-5, Step(-20, 20, 5, L"-3", false));
    EXPECT_EQ(-10, Step(-20, 20, 5, L"-7", false));
    EXPECT_EQ(0, Step(-20, 20, 5, L"-7", true));
    // No overflow at the ends of the int range.
    EXPECT_EQ(2147483647, Step(0, 2147483647, 1000, L"2147483647", true));
}

TEST(RangeSpinEdit, AnEmptyTextShowsTheStoredValueAndAnInvalidOneStays)
{
    CRangeSpinEdit spin(0, 100, 5);
    spin.SetValue(40);
    spin.SetText(L"");
    spin.OnSpin(true);
    EXPECT_EQ(L"40", spin.GetText());
    spin.SetText(L"abc");
    spin.OnSpin(true);
    EXPECT_EQ(L"abc", spin.GetText());
}

TEST(RangeSpinEdit, GetValueChecksTheRange)
{
    CRangeSpinEdit spin(10, 20, 1);
    EXPECT_EQ(10, spin.value);
    int value = 0;
    spin.SetText(L"15");
    EXPECT_TRUE(spin.GetValue(value, false));
    EXPECT_EQ(15, value);
    spin.SetText(L"25");
    value = 0;
    EXPECT_FALSE(spin.GetValue(value, false));
    EXPECT_EQ(0, value);
    spin.SetText(L"x");
    EXPECT_FALSE(spin.GetValue(value, false));
    // A field without a digit holds no value, though 0 is in range here.
    CRangeSpinEdit fromZero(0, 90, 15);
    for (const wchar_t* text : {L"", L" ", L"-"}) {
        fromZero.SetText(text);
        EXPECT_FALSE(fromZero.GetValue(value, false)) << "\"" << text << "\"";
    }
}

TEST(RangeSpinEdit, ANonPositiveStepIsReported)
{
    const int before = ReportCount();
    CRangeSpinEdit spin(0, 10, 0);
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_EQ(1, spin.step);
}

TEST(RangeSpinEdit, GetValueTellsTheUserAndFocusesTheField)
{
    CTestHost host;
    CRangeSpinEdit spin(10, 20, 1);
    spin.bounds = CRectF(0.0f, 0.0f, 100.0f, 24.0f);
    spin.CreateNativeWindow(host);
    ShowWindow(host.hwnd, SW_SHOW);
    spin.SetText(L"25");
    int value = 0;
    CDialogWatcher::TakeAnswered();
    EXPECT_FALSE(spin.GetValue(value, true));
    std::vector<CSeenDialog> seen = CDialogWatcher::TakeAnswered();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(GetStringWith2Args(2688, L"10", L"20"), seen[0].text);
    EXPECT_EQ(spin.editWindow, GetFocus());

    spin.SetText(L"2x");
    EXPECT_FALSE(spin.GetValue(value, true));
    seen = CDialogWatcher::TakeAnswered();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(GetStringWithArg(2684, L"2x"), seen[0].text);
}

TEST(SpinEdit, ProgramTextFiresNothingTypingFiresChange)
{
    CTestHost host;
    CRangeSpinEdit spin(0, 100, 5);
    CCounter changes;
    spin.SetOnTextChange(CMemberDelegate<CSpinEdit*, CCounter>::Make(&changes, &CCounter::OnEvent));
    spin.SetValue(10);
    spin.bounds = CRectF(0.0f, 0.0f, 100.0f, 24.0f);
    spin.CreateNativeWindow(host);
    ASSERT_NE(nullptr, spin.editWindow);
    ASSERT_NE(nullptr, spin.upDownWindow);
    EXPECT_EQ(L"10", spin.GetText());
    spin.SetValue(20);
    EXPECT_EQ(0, changes.count);
    EXPECT_FALSE(spin.changed);

    // Typing: the edit replaces its selection.
    SendMessageW(spin.editWindow, EM_SETSEL, 0, -1);
    SendMessageW(spin.editWindow, EM_REPLACESEL, TRUE, LPARAM(L"35"));
    EXPECT_EQ(1, changes.count);
    EXPECT_TRUE(spin.changed);
    EXPECT_EQ(L"35", spin.text);
}

TEST(SpinEdit, TheUpDownSitsAtTheEditsRightEdgeAndSteps)
{
    CTestHost host;
    CRangeSpinEdit spin(0, 100, 5);
    CCounter spins;
    spin.SetOnSpin(CMemberDelegate<CSpinEdit*, CCounter>::Make(&spins, &CCounter::OnEvent));
    spin.SetValue(12);
    spin.Measure();
    spin.CreateNativeWindow(host);
    spin.SetBounds(CRectF(10.0f, 10.0f, 110.0f, 10.0f + float(spin.preferredHeight)));
    RECT edit;
    RECT upDown;
    GetWindowRect(spin.editWindow, &edit);
    GetWindowRect(spin.upDownWindow, &upDown);
    MapWindowPoints(nullptr, host.hwnd, reinterpret_cast<POINT*>(&edit), 2);
    MapWindowPoints(nullptr, host.hwnd, reinterpret_cast<POINT*>(&upDown), 2);
    // The up-down takes the right end of the bounds and overlaps the edit's
    // client edge; the edit keeps the rest.
    EXPECT_LE(std::abs(110 - int(upDown.right)), 2);
    EXPECT_EQ(10, edit.left);
    EXPECT_LE(upDown.left, edit.right);
    EXPECT_LE(edit.right - upDown.left, 2);

    // The up-down's default range runs from 100 down to 0: its up arrow
    // reports a negative delta.
    NMUPDOWN notify = {};
    notify.hdr.hwndFrom = spin.upDownWindow;
    notify.hdr.idFrom = UINT_PTR(GetDlgCtrlID(spin.upDownWindow));
    notify.hdr.code = UDN_DELTAPOS;
    notify.iDelta = -1;
    SendMessageW(host.hwnd, WM_NOTIFY, notify.hdr.idFrom, LPARAM(&notify));
    EXPECT_EQ(L"15", spin.GetText());
    EXPECT_TRUE(spin.changed);
    EXPECT_EQ(1, spins.count);
    notify.iDelta = 1;
    SendMessageW(host.hwnd, WM_NOTIFY, notify.hdr.idFrom, LPARAM(&notify));
    EXPECT_EQ(L"10", spin.GetText());

    spin.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(spin.editWindow));
    EXPECT_FALSE(IsWindowEnabled(spin.upDownWindow));
    spin.SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(spin.upDownWindow));
}
