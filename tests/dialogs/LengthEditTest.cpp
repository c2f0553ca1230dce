#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/LengthEdit.h"
#include "dialogs/UnitsPicker.h"
#include "foundation/Strings.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"
#include "ui/Dialog.h"

namespace {

// A dialog holding one entry; OK closes it only on a valid length.
class CLengthHost : public CDialog
{
public:
    explicit CLengthHost(CLengthEdit& edit) : CDialog(L"Length"), m_edit(edit)
    {
        selfDeleting = false;
        SetContent(&edit);
    }
    void OnOk() override
    {
        if (m_edit.GetValue(&value, true))
            CDialog::OnOk();
    }
    float value = -1.0f;
    CLengthEdit& m_edit;
};

struct CEntered
{
    float value = -1.0f;
    std::vector<std::wstring> messages;
    std::wstring shown;
};

// Types the text and presses OK; a refusal is answered and the dialog cancelled.
CEntered Enter(CLengthEdit& edit, const std::wstring& text)
{
    CLengthHost host(edit);
    CEntered entered;
    CDialogWatcher::TakeAnsweredTexts();
    RunModalDriven([&] { host.DoModal(); }, [&](HWND window) {
        TypeIntoEdit(FindEditControls(window)[0], text);
        PressDialogButton(window, IDOK);
        for (int i = 0; i < 1000 && IsWindow(window) && entered.messages.empty(); ++i) {
            entered.messages = CDialogWatcher::TakeAnsweredTexts();
            Sleep(10);
        }
        if (IsWindow(window)) {
            entered.shown = GetWindowTextString(FindEditControls(window)[0]);
            PressDialogButton(window, IDCANCEL);
        }
    });
    entered.value = host.resultOk ? host.value : -1.0f;
    return entered;
}

std::wstring Range(const wchar_t* min, const wchar_t* max) { return GetStringWith2Args(2688, min, max); }

}  // namespace

TEST(LengthEdit, ABareNumberTakesTheUnitThatFitsTheRange)
{
    const std::wstring forty(40, L'9');
    const std::wstring fortyDecimals = L"14." + std::wstring(39, L'0') + L"1";
    // A refused text stays for the user to mend.
    const struct { int min, max, step; std::wstring text; float value; std::wstring message; } cases[] = {
        // The see-saw plank: 6 to 16 ft.
        {72, 192, 12, L"14", 1680.0f, L""},
        {72, 192, 12, L"100", 1000.0f, L""},
        {72, 192, 12, L"20 ft", -1.0f, Range(L"6 ft", L"16 ft")},
        {72, 192, 12, L"0", -1.0f, Range(L"6 ft", L"16 ft")},
        {72, 192, 12, L"5'6\"", -1.0f, Range(L"6 ft", L"16 ft")},
        {72, 192, 12, L"12 ft 6 in", 1500.0f, L""},
        {72, 192, 12, L"\xFF11\xFF14", 1680.0f, L""},
        {72, 192, 12, fortyDecimals, 1680.0f, L""},
        {72, 192, 12, forty, -1.0f, GetStringWithArg(2681, forty)},
        {72, 192, 12, L"14 furlongs", -1.0f, GetStringWithArg(2681, L"14 furlongs")},
        // Both readings fit: the user must say which.
        {6, 600, 1, L"10", -1.0f, GetStringWith2Args(2691, L"10 in", L"10 ft")},
        {6, 600, 1, L"10 ft", 1200.0f, L""},
        // No digit, no value, even where 0 is in the range.
        {0, 22, 1, L"", -1.0f, Range(L"0 in", L"22 in")},
        {0, 22, 1, L" in", -1.0f, Range(L"0 in", L"22 in")},
        {0, 22, 1, L"0", 0.0f, L""},
    };
    for (const auto& c : cases) {
        CLengthEdit edit(c.min, c.max, c.step, 10, false);
        const CEntered entered = Enter(edit, c.text);
        EXPECT_EQ(c.value, entered.value) << c.text;
        EXPECT_EQ(c.message.empty() ? std::vector<std::wstring>() : std::vector<std::wstring>{c.message},
                  entered.messages) << c.text;
        EXPECT_EQ(c.message.empty() ? L"" : c.text, entered.shown);
    }
}

TEST(LengthEdit, MetricBoundsLieOnWholeCentimetresAndArrowsStepWithinTheRange)
{
    CLengthEdit metric(72, 192, 12, 10, true);
    // 16 ft is 487.68 cm: the largest whole centimetre below it, 486 cm.
    EXPECT_EQ(1913, metric.GetMaximum());
    EXPECT_EQ(720, metric.GetMinimum());
    EXPECT_EQ(EUnitKind::kCentimetres, metric.GetDefaultKind());
    metric.SetValue(1920.0f);  // a US value inside the range moves onto the metric one
    EXPECT_EQ(L"486 cm", metric.GetText());
    EXPECT_EQ(Range(L"183 cm", L"486 cm"), Enter(metric, L"4.87 m").messages.at(0));
    EXPECT_EQ(1500.0f, Enter(metric, L"3,81").value);
    EXPECT_EQ(EUnitKind::kMetres, CLengthEdit(0, 2400, 12, 100, true).GetDefaultKind());  // long ranges, large steps

    CLengthEdit plank(72, 192, 12, 10, false);
    plank.SetValue(1500.0f);
    const struct { std::wstring text; bool up; std::wstring shown; } steps[] = {
        {L"", true, L"12 ft 6 in"},  // an empty entry shows the value set
        {L"ft", false, L"12 ft 6 in"},  // so does a unit word alone
        {L"12 ft 6 in", true, L"13 ft"}, {L"12 ft 6 in", false, L"11 ft"}, {L"16 ft", true, L"16 ft"},
        {L"100 cm", true, L"183 cm"},  // a metric reading steps in centimetres
        {L"10 parsecs", true, L"10 parsecs"},
    };
    for (const auto& step : steps) {
        plank.SetText(step.text);
        plank.OnSpin(step.up);
        EXPECT_EQ(step.shown, plank.GetText()) << step.text;
    }
    EXPECT_EQ(1, CountReports([] { CLengthEdit(0, 10, 0, 1, false); }));
}

TEST(UnitsPicker, MixedValuesAddOneEmptyEntry)
{
    CUnitsPicker picker(EUnitKind::kDecimalFeet, false, true);
    EXPECT_EQ(EUnitKind::kDecimalFeet, picker.GetValue());
    EXPECT_EQ(3, picker.list.GetItemCount());
    picker.SetValue(EUnitKind::kNone);
    picker.SetValue(EUnitKind::kNone);
    EXPECT_EQ(4, picker.list.GetItemCount());
    EXPECT_EQ(EUnitKind::kNone, picker.GetValue());
    EXPECT_EQ(1, CountReports([&] { picker.SetValue(EUnitKind::kYards); }));  // yards only where offered
    EXPECT_EQ(EUnitKind::kNone, picker.GetValue());
    CUnitsPicker withYards(EUnitKind::kYards, true, false);
    EXPECT_EQ(EUnitKind::kYards, withYards.GetValue());
    EXPECT_EQ(1, withYards.GetColumnCount());
}
