#include "dialogs/JumpPropertiesWnd.h"

#include <algorithm>
#include <vector>

#include "course/Course.h"
#include "dialogs/HintDlg.h"
#include "dialogs/PropertiesSession.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "objects/equipment/JumpType.h"

namespace {

constexpr int kTypeLabelText = 2410;
constexpr int kTypeHint = 2719;
constexpr int kDirectionHint = 2720;
constexpr int32_t kHintDelayMs = 100;

}  // namespace

CJumpPropertiesWnd::CJumpPropertiesWnd(CJumpPropertiesDlg& dialog, CSessionColors& colors)
    : CPropertiesWnd(dialog, colors),
      mainColumn(true),
      typeRow(false),
      typeLabel(GetString(kTypeLabelText)),
      panels(true),
      wingsPanel(dialog.GetWingsGroup(), dialog.GetCourse()),
      ascendingPanel(dialog.GetAscendingPanel(), dialog.GetCourse()),
      tirePanel(dialog.GetTireJumpPanel(), dialog.GetCourse()),
      optionsPanel(dialog.GetOptionsGroup(), dialog.GetCourse()),
      m_dialog(dialog)
{
    for (const CJumpType* type : dialog.GetOfferedTypes()) {
        typeCombo.AddItem(GetTerm(type->GetNameTextId()));
        ReserveEditOnCreateCaption(type->GetNameTextId());
    }
    typeCombo.SetOnSelChange(
        CMemberDelegate<CComboBox*, CJumpPropertiesWnd>::Make(this, &CJumpPropertiesWnd::OnTypeChoice));
    // A dialog for the jumps a tool places next starts from the type's
    // colours, as every kind's does; edited jumps keep their own.
    SetObjectType(dialog.GetChosenType(), dialog.GetEditedCount() == 0);

    typeRow.Add(&typeLabel);
    typeRow.Add(CSpacer::GapH4());
    typeRow.Add(&typeCombo);
    typeRow.AddEmpty();
    for (CJumpPanelWnd* panel : AllPanels())
        panels.AddChild(panel);
    mainColumn.Add(&typeRow);
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&panels);
    SetContent(&mainColumn, 1);
}

void CJumpPropertiesWnd::InitControls()
{
    const std::vector<const CJumpType*>& offered = m_dialog.GetOfferedTypes();
    const auto chosen = std::find(offered.begin(), offered.end(), m_dialog.GetChosenType());
    if (chosen != offered.end())
        typeCombo.SelectItem(int(chosen - offered.begin()));
    else
        typeCombo.SelectItem(typeCombo.AddItem(std::wstring()));
    ShowCurrentPanel();
    m_dialog.MarkFilled();
    CPropertiesWnd::InitControls();
}

bool CJumpPropertiesWnd::OnInitDialog()
{
    m_hintTimer.interval = kHintDelayMs;
    m_hintTimer.SetOnTimer(
        CMemberDelegate<CTimer*, CJumpPropertiesWnd>::Make(this, &CJumpPropertiesWnd::OnHintTimer));
    m_hintTimer.Start(true);
    return CPropertiesWnd::OnInitDialog();
}

void CJumpPropertiesWnd::OnHintTimer(CTimer*)
{
    ShowHint(&GetCurrentPanel() == &ascendingPanel ? kDirectionHint : kTypeHint, std::wstring(), 1);
}

void CJumpPropertiesWnd::OnTypeChoice(CComboBox* combo)
{
    const std::vector<const CJumpType*>& offered = m_dialog.GetOfferedTypes();
    const int index = combo->GetSelection();
    TRACE_VALUE(int32_t, index);
    // The empty entry: the jumps keep their own types and values.
    if (index < 0 || size_t(index) >= offered.size()) {
        m_dialog.RevertToMerged();
        SetObjectType(nullptr, false);
        ShowCurrentPanel();
        return;
    }
    const CJumpType* type = offered[size_t(index)];
    if (type == m_dialog.GetChosenType())
        return;
    m_dialog.SetJumpType(type);
    SetObjectType(type, true);
    ShowCurrentPanel();
}

void CJumpPropertiesWnd::ShowCurrentPanel()
{
    CJumpPanelWnd& panel = GetCurrentPanel();
    panels.SetCurrent(&panel);
    panel.UpdateControls();
}

CJumpPanelWnd& CJumpPropertiesWnd::GetCurrentPanel()
{
    const CPropertyPanel* values = &m_dialog.GetCurrentPanel();
    for (CJumpPanelWnd* panel : AllPanels()) {
        if (&panel->GetValues() == values)
            return *panel;
    }
    ReportFailure();
    return optionsPanel;
}

std::array<CJumpPanelWnd*, 4> CJumpPropertiesWnd::AllPanels()
{
    return {&wingsPanel, &ascendingPanel, &tirePanel, &optionsPanel};
}

void CJumpPropertiesWnd::OnOk()
{
    TRACE_POINT();
    CJumpPanelWnd& panel = GetCurrentPanel();
    if (!panel.Validate())
        return;
    if (const CJumpType* type = m_dialog.GetChosenType())
        panel.SaveDefaults(*type);
    CPropertiesWnd::OnOk();
}
