#pragma once

#include <array>

#include "dialogs/JumpPanelWnd.h"
#include "dialogs/JumpPropertiesDlg.h"
#include "dialogs/PropertiesWnd.h"
#include "foundation/Timer.h"
#include "ui/ComboBox.h"
#include "ui/ContainerControl.h"
#include "ui/StaticText.h"

// The window of every jump kind: the jump type the edited jumps become and
// the panel of that type's kind below it. Jumps of different types show an
// empty type entry; of kinds with different panels, no panel at all. Picking
// a type shows its kind's panel with the type's defaults; the window keeps
// the size of its largest panel, so nothing moves but the panel. A moment
// after it opens, the window explains itself once (hints 2719 and 2720).
class CJumpPropertiesWnd : public CPropertiesWnd
{
public:
    CJumpPropertiesWnd(CJumpPropertiesDlg& dialog, CSessionColors& colors);

    // The panel checks its entries; a chosen type stores them as its
    // defaults.
    void OnOk() override;
    bool OnInitDialog() override;

    CGridLayout mainColumn;
    CGridLayout typeRow;
    CStaticText typeLabel;
    CComboBox typeCombo;
    CContainerControl panels;
    CWingsPanelWnd wingsPanel;
    CAscendingPanelWnd ascendingPanel;
    CTirePanelWnd tirePanel;
    COptionsPanelWnd optionsPanel;

protected:
    void InitControls() override;

private:
    void OnTypeChoice(CComboBox* combo);
    // The half's current panel, shown with its values.
    void ShowCurrentPanel();
    CJumpPanelWnd& GetCurrentPanel();
    std::array<CJumpPanelWnd*, 4> AllPanels();
    void OnHintTimer(CTimer* timer);

    CJumpPropertiesDlg& m_dialog;
    CTimer m_hintTimer;
};
