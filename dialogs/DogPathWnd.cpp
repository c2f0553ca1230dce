#include "dialogs/DogPathWnd.h"

#include "foundation/Strings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kConnectionText = 2343;
constexpr int kObstacleConnectionText = 2344;
constexpr int kPlainConnectionText = 2345;
constexpr int kFitNowText = 2358;
constexpr int kArrowsText = 2359;
constexpr int kFirstArrowEntryText = 2360;
constexpr int kShowLengthText = 2363;
constexpr int kDiscriminationText = 2364;
const wchar_t kHelpTopic[] = L"DogPath";

}  // namespace

CDogPathWnd::CDogPathWnd(CDogPathDlg& dialog, CSessionColors& colors)
    : CPropertiesWnd(dialog, colors),
      mainColumn(true),
      connectionLabel(GetString(kConnectionText)),
      fitNowBox(GetString(kFitNowText)),
      arrowLabel(GetString(kArrowsText)),
      showLengthBox(GetString(kShowLengthText)),
      unitsPicker(EUnitKind(dialog.GetUnits()), true, true),
      discriminationBox(GetString(kDiscriminationText)),
      m_dialog(dialog)
{
    helpTopic = kHelpTopic;
    for (int i = 0; i < dialog.GetSequenceCount(); ++i)
        connectionList.AddItem(dialog.GetSequenceEntryText(i));
    connectionList.AddItem(GetString(kObstacleConnectionText));
    connectionList.AddItem(GetString(kPlainConnectionText));
    if (dialog.IsConnectionMixed())
        connectionList.AddItem(std::wstring());
    for (int i = 0; i < 3; ++i)
        arrowList.AddItem(GetString(kFirstArrowEntryText + i));
    if (dialog.IsArrowFreqMixed())
        arrowList.AddItem(std::wstring());
    FitCheckBox(fitNowBox, GetString(kFitNowText));
    FitCheckBox(showLengthBox, GetString(kShowLengthText));
    FitCheckBox(discriminationBox, GetString(kDiscriminationText));
    connectionList.SetOnSelChange(
        CMemberDelegate<CComboBox*, CDogPathWnd>::Make(this, &CDogPathWnd::OnConnectionChanged));
    showLengthBox.SetOnChange(
        CMemberDelegate<CCheckBox*, CDogPathWnd>::Make(this, &CDogPathWnd::OnShowLengthChanged));

    mainColumn.Add(&connectionLabel);
    mainColumn.Add(CSpacer::GapV4());
    mainColumn.Add(&connectionList);
    mainColumn.Add(CSpacer::GapV4());
    mainColumn.Add(&fitNowBox);
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&arrowLabel);
    mainColumn.Add(CSpacer::GapV4());
    mainColumn.Add(&arrowList);
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&showLengthBox);
    if (!dialog.IsMetric()) {
        mainColumn.Add(CSpacer::GapV4());
        mainColumn.Add(&unitsPicker);
    }
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&discriminationBox);
    SetContent(&mainColumn, 1);
}

void CDogPathWnd::InitControls()
{
    connectionList.SelectItem(m_dialog.GetConnectionEntry());
    arrowList.SelectItem(m_dialog.GetArrowEntry());
    ShowCheckState(showLengthBox, m_dialog.GetShowLengthState(), m_dialog.GetStoredShowLength());
    ShowCheckState(discriminationBox, m_dialog.GetDiscriminationState(), m_dialog.GetStoredDiscrimination());
    unitsPicker.list.SetEnabled(showLengthBox.checked || showLengthBox.indeterminate);
    UpdateConnectionControls();
    CPropertiesWnd::InitControls();
}

void CDogPathWnd::UpdateConnectionControls()
{
    const CDogPathDlg::CConnectionControls controls =
        m_dialog.GetConnectionControls(connectionList.GetSelection());
    fitNowBox.SetChecked(controls.fitNowChecked);
    fitNowBox.SetEnabled(controls.fitNowEnabled);
    if (!controls.discriminationEnabled) {
        discriminationBox.SetIndeterminate(false);
        discriminationBox.SetChecked(false);
    }
    discriminationBox.SetEnabled(controls.discriminationEnabled);
}

void CDogPathWnd::OnConnectionChanged(CComboBox* list)
{
    UpdateConnectionControls();
}

void CDogPathWnd::OnShowLengthChanged(CCheckBox* box)
{
    unitsPicker.list.SetEnabled(showLengthBox.checked);
}

void CDogPathWnd::OnOk()
{
    TRACE_POINT();
    m_dialog.ChooseConnectionEntry(connectionList.GetSelection());
    m_dialog.ChooseArrowEntry(arrowList.GetSelection());
    m_dialog.ChooseFitNow(fitNowBox.checked);
    m_dialog.ChooseShowLength(GetCheckState(showLengthBox));
    m_dialog.ChooseDiscrimination(GetCheckState(discriminationBox));
    if (!m_dialog.IsMetric())
        m_dialog.ChooseUnits(int(unitsPicker.GetValue()));
    m_dialog.StoreDefaults();
    CPropertiesWnd::OnOk();
}
