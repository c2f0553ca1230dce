#include "dialogs/HumanPathWnd.h"

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kPenType1Text = 2394;
constexpr int kPenType2Text = 2395;
constexpr int kShowLengthText = 2396;
const wchar_t kHelpTopic[] = L"HumanPath";

}  // namespace

CHumanPathWnd::CHumanPathWnd(CHumanPathDlg& dialog, CSessionColors& colors)
    : CPropertiesWnd(dialog, colors),
      mainColumn(true),
      penType1Radio(&mainColumn, GetString(kPenType1Text)),
      penType2Radio(&mainColumn, GetString(kPenType2Text)),
      showLengthBox(GetString(kShowLengthText)),
      unitsPicker(EUnitKind(dialog.GetMergedUnits()), true, true),
      m_dialog(dialog)
{
    helpTopic = kHelpTopic;
    FitCheckBox(showLengthBox, GetString(kShowLengthText));
    showLengthBox.SetOnChange(
        CMemberDelegate<CCheckBox*, CHumanPathWnd>::Make(this, &CHumanPathWnd::OnShowLengthChanged));
    mainColumn.Add(&penType1Radio);
    mainColumn.Add(CSpacer::GapV4());
    mainColumn.Add(&penType2Radio);
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&showLengthBox);
    if (!dialog.IsMetric()) {
        mainColumn.Add(CSpacer::GapV4());
        mainColumn.Add(&unitsPicker);
    }
    SetContent(&mainColumn, 1);
}

void CHumanPathWnd::InitControls()
{
    if (!m_dialog.IsPenMixed()) {
        const int penType = m_dialog.GetPenType();
        if (!CHumanPathDlg::IsPenType(penType)) {
            TRACE_VALUE(int32_t, penType);
            ReportFailure();
        }
        (penType == 2 ? penType2Radio : penType1Radio).Select();
    }
    ShowCheckState(showLengthBox, m_dialog.GetShowLengthState(), m_dialog.GetStoredShowLength());
    unitsPicker.list.SetEnabled(showLengthBox.checked || showLengthBox.indeterminate);
    CPropertiesWnd::InitControls();
}

void CHumanPathWnd::OnShowLengthChanged(CCheckBox* box)
{
    unitsPicker.list.SetEnabled(showLengthBox.checked);
}

void CHumanPathWnd::OnOk()
{
    TRACE_POINT();
    m_dialog.ChoosePenType(penType2Radio.checked ? 2 : penType1Radio.checked ? 1 : 0);
    m_dialog.ChooseShowLength(GetCheckState(showLengthBox));
    if (!m_dialog.IsMetric())
        m_dialog.ChooseLengthUnits(int(unitsPicker.GetValue()));
    m_dialog.StoreDefaults();
    CPropertiesWnd::OnOk();
}
