#include "dialogs/StraightLinePropertiesWnd.h"

#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kPenText = 2471;
constexpr int kPenChoiceTexts[] = {2472, 2473, 2474};
constexpr int kArrowText = 2475;
constexpr int kArrowChoiceTexts[] = {2476, 2477, 2478};
constexpr int kShowLengthText = 2479;
const wchar_t kHelpTopic[] = L"StraightLine";

// The three choices, and an empty fourth entry selected when the lines
// differ.
void FillChoices(CComboBox& list, const int (&texts)[3], int choice)
{
    for (int text : texts)
        list.AddItem(GetString(text));
    if (choice >= CStraightLinePropertiesDlg::kMixedChoice)
        choice = list.AddItem(std::wstring());
    list.SelectItem(choice);
}

}  // namespace

CStraightLinePropertiesWnd::CStraightLinePropertiesWnd(CStraightLinePropertiesDlg& dialog, CSessionColors& colors)
    : CPropertiesWnd(dialog, colors),
      mainColumn(true),
      valueGrid(3, 3),
      penLabel(GetString(kPenText)),
      arrowLabel(GetString(kArrowText)),
      showLengthBox(GetString(kShowLengthText)),
      unitsPicker(EUnitKind(dialog.GetMergedUnits()), true, true),
      m_dialog(dialog)
{
    helpTopic = kHelpTopic;
    FitCheckBox(showLengthBox, showLengthBox.caption.text);
    showLengthBox.SetOnChange(CMemberDelegate<CCheckBox*, CStraightLinePropertiesWnd>::Make(
        this, &CStraightLinePropertiesWnd::OnShowLengthChanged));
    valueGrid.SetCell(0, 0, &penLabel);
    valueGrid.SetCell(1, 0, CSpacer::GapH4());
    valueGrid.SetCell(2, 0, &penList);
    valueGrid.SetCell(0, 1, CSpacer::GapV4());
    valueGrid.SetCell(0, 2, &arrowLabel);
    valueGrid.SetCell(2, 2, &arrowList);
    mainColumn.Add(&valueGrid);
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&showLengthBox);
    if (!IsMetric()) {
        mainColumn.Add(CSpacer::GapV4());
        mainColumn.Add(&unitsPicker);
    }
    SetContent(&mainColumn, 1);
}

void CStraightLinePropertiesWnd::InitControls()
{
    FillChoices(penList, kPenChoiceTexts, m_dialog.GetMergedPen());
    FillChoices(arrowList, kArrowChoiceTexts, m_dialog.GetMergedArrowHeads());
    const bool storedShowLength = CSettings::GetInt(m_dialog.GetValueName(L"ShowLength", false), 0) != 0;
    ShowCheckState(showLengthBox, m_dialog.GetShowLengthState(), storedShowLength);
    OnShowLengthChanged(&showLengthBox);
    CPropertiesWnd::InitControls();
}

// The unit matters while the length shows, or may show on some lines.
void CStraightLinePropertiesWnd::OnShowLengthChanged(CCheckBox* box)
{
    unitsPicker.list.SetEnabled(showLengthBox.checked || showLengthBox.indeterminate);
}

void CStraightLinePropertiesWnd::OnOk()
{
    TRACE_POINT();
    m_dialog.Choose(penList.GetSelection(), arrowList.GetSelection(), GetCheckState(showLengthBox),
                    int(unitsPicker.GetValue()));
    m_dialog.StoreDefaults();
    CPropertiesWnd::OnOk();
}
