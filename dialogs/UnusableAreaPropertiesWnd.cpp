#include "dialogs/UnusableAreaPropertiesWnd.h"

#include "foundation/Strings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kSquareText = 2517;
constexpr int kRoundText = 2518;
constexpr int kCustomText = 2519;
const wchar_t kHelpTopic[] = L"Unusable";

}  // namespace

CUnusableAreaPropertiesWnd::CUnusableAreaPropertiesWnd(CUnusableAreaPropertiesDlg& dialog, CSessionColors& colors)
    : CPropertiesWnd(dialog, colors),
      mainColumn(true),
      customRow(false),
      squareRadio(&mainColumn, GetString(kSquareText)),
      roundRadio(&mainColumn, GetString(kRoundText)),
      customRadio(&mainColumn, GetString(kCustomText)),
      percentSpin(0, 100, 10),
      m_dialog(dialog)
{
    helpTopic = kHelpTopic;
    const auto onChoice =
        CMemberDelegate<CRadioButton*, CUnusableAreaPropertiesWnd>::Make(this, &CUnusableAreaPropertiesWnd::OnChoice);
    squareRadio.SetOnClick(onChoice);
    roundRadio.SetOnClick(onChoice);
    customRadio.SetOnClick(onChoice);
    percentSpin.SetValue(dialog.GetShownPercent());

    customRow.Add(&customRadio);
    customRow.Add(CSpacer::GapH4());
    customRow.Add(&percentSpin);
    // The entry follows its radio; the rest of the row stays empty.
    customRow.AddEmpty();
    mainColumn.Add(&squareRadio);
    mainColumn.Add(CSpacer::GapV4());
    mainColumn.Add(&roundRadio);
    mainColumn.Add(CSpacer::GapV4());
    mainColumn.Add(&customRow);
    SetContent(&mainColumn, 1);
}

void CUnusableAreaPropertiesWnd::InitControls()
{
    const int percent = m_dialog.HasPercentRounded() ? m_dialog.GetPercentRounded() : -1;
    if (percent == 0)
        squareRadio.Select();
    else if (percent == 100)
        roundRadio.Select();
    else if (percent > 0)
        customRadio.Select();
    percentSpin.SetEnabled(customRadio.checked);
    CPropertiesWnd::InitControls();
}

void CUnusableAreaPropertiesWnd::OnChoice(CRadioButton* radio)
{
    percentSpin.SetEnabled(radio == &customRadio);
}

void CUnusableAreaPropertiesWnd::OnOk()
{
    TRACE_POINT();
    // With no radio checked the areas differ and keep their rounding.
    int percent = CUnusableAreaPropertiesDlg::kMixed;
    if (squareRadio.checked) {
        percent = 0;
    } else if (roundRadio.checked) {
        percent = 100;
    } else if (customRadio.checked && !percentSpin.GetValue(percent, true)) {
        return;
    }
    if (percent >= 0) {
        m_dialog.SetPercentRounded(percent);
        m_dialog.StoreDefaults();
    }
    CPropertiesWnd::OnOk();
}
