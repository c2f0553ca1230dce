#pragma once

#include "dialogs/LengthEdit.h"
#include "dialogs/PropertiesWnd.h"
#include "dialogs/SeeSawPropertiesDlg.h"

// The see-saw's window: the standard 12 ft plank or another length typed
// in, and whether the plank lies flat. Lengths that differ among the edited
// see-saws select no radio and disable the entry; flat flags that differ
// leave the box indeterminate. OK then keeps each see-saw's own value and
// stores no default for it.
class CSeeSawPropertiesWnd : public CPropertiesWnd
{
public:
    CSeeSawPropertiesWnd(CSeeSawPropertiesDlg& dialog, CSessionColors& colors);

    void OnOk() override;

    CGridLayout mainColumn;
    CGridLayout otherRow;
    CRadioButton standardRadio;
    CRadioButton otherRadio;
    CLengthEdit lengthEdit;
    CCheckBox flatBox;

protected:
    void InitControls() override;

private:
    void OnLengthChoice(CRadioButton* radio);

    CSeeSawPropertiesDlg& m_dialog;
};
