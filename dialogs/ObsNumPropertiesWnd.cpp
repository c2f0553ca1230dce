#include "dialogs/ObsNumPropertiesWnd.h"

#include "dialogs/PropertiesSession.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kStyleText = 2416;
constexpr int kLabelText = 2422;
constexpr int kAutoNumberText = 2423;
const wchar_t kHelpTopic[] = L"ObsNum";

}  // namespace

CObsNumPropertiesWnd::CObsNumPropertiesWnd(CObsNumPropertiesDlg& dialog, CSessionColors& colors)
    : CPropertiesWnd(dialog, colors),
      mainColumn(true),
      valueGrid(3, 3),
      styleLabel(GetString(kStyleText)),
      textLabel(GetString(kLabelText)),
      labelRow(false),
      labelEdit(4, 4, int(CObsNumPropertiesDlg::kMaxLabelLength)),
      autoNumberBox(GetString(kAutoNumberText)),
      m_dialog(dialog)
{
    helpTopic = kHelpTopic;
    FitCheckBox(autoNumberBox, autoNumberBox.caption.text);
    styleList.SetOnSelChange(
        CMemberDelegate<CComboBox*, CObsNumPropertiesWnd>::Make(this, &CObsNumPropertiesWnd::OnStyleChanged));
    labelEdit.SetOnChange(
        CMemberDelegate<CEditBox*, CObsNumPropertiesWnd>::Make(this, &CObsNumPropertiesWnd::OnTextChanged));
    autoNumberBox.SetOnChange(
        CMemberDelegate<CCheckBox*, CObsNumPropertiesWnd>::Make(this, &CObsNumPropertiesWnd::OnAutoNumberClicked));

    valueGrid.SetCell(0, 0, &styleLabel);
    valueGrid.SetCell(1, 0, CSpacer::GapH4());
    valueGrid.SetCell(2, 0, &styleList);
    valueGrid.SetCell(0, 1, CSpacer::GapV4());
    valueGrid.SetCell(0, 2, &textLabel);
    // The label is short: its edit keeps its width, the row's rest stays
    // empty.
    labelRow.Add(&labelEdit);
    labelRow.AddEmpty();
    labelRow.SetColumnStretch(1, 1);
    valueGrid.SetCell(2, 2, &labelRow);
    mainColumn.Add(&valueGrid);
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&autoNumberBox);
    SetContent(&mainColumn, 1);
}

void CObsNumPropertiesWnd::InitControls()
{
    // The edited numbers are merged by now: the half settles the sequence
    // and, for numbers of different styles, appends the empty entry.
    m_dialog.InitControls();
    for (const CObsNumPropertiesDlg::CEntry& entry : m_dialog.GetEntries())
        styleList.AddItem(entry.textId != 0 ? GetString(entry.textId) : std::wstring());
    if (m_dialog.GetSelectedEntry() >= 0)
        styleList.SelectItem(m_dialog.GetSelectedEntry());
    ShowSequence();
    CPropertiesWnd::InitControls();
}

void CObsNumPropertiesWnd::ShowSequence()
{
    if (labelEdit.GetText() != m_dialog.GetLabelText()) {
        m_showingLabel = true;
        labelEdit.SetText(m_dialog.GetLabelText());
        m_showingLabel = false;
    }
    autoNumberBox.SetChecked(m_dialog.IsAutoNumberChecked());
    autoNumberBox.SetEnabled(m_dialog.IsAutoNumberEnabled());
    colors.SetVariantOverride(m_dialog.IsStyleMixed() ? -1 : int(m_dialog.GetBadgeFlag()));
}

void CObsNumPropertiesWnd::OnStyleChanged(CComboBox* list)
{
    m_dialog.SelectEntry(styleList.GetSelection());
    ShowSequence();
}

void CObsNumPropertiesWnd::OnTextChanged(CEditBox* edit)
{
    if (m_showingLabel)
        return;
    m_dialog.EditLabel(labelEdit.GetText());
    ShowSequence();
}

void CObsNumPropertiesWnd::OnAutoNumberClicked(CCheckBox* box)
{
    m_dialog.SetAutoNumberChecked(autoNumberBox.checked);
}

void CObsNumPropertiesWnd::OnOk()
{
    TRACE_POINT();
    m_dialog.ConfirmSequence();
    CPropertiesWnd::OnOk();
}
