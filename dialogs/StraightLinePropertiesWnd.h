#pragma once

#include "dialogs/PropertiesWnd.h"
#include "dialogs/StraightLinePropertiesDlg.h"
#include "dialogs/UnitsPicker.h"
#include "ui/ComboBox.h"
#include "ui/StaticText.h"

// The straight line's window: the pen and the arrowheads as lists, whether
// the length shows and, on a course in inches, the US unit it shows in.
// A value that differs among the edited lines shows as an empty entry (an
// indeterminate box showing the stored default) and keeps each line's own
// unless the user chooses one; it is not stored as a default.
class CStraightLinePropertiesWnd : public CPropertiesWnd
{
public:
    CStraightLinePropertiesWnd(CStraightLinePropertiesDlg& dialog, CSessionColors& colors);

    void OnOk() override;

    CGridLayout mainColumn;
    CGridLayout valueGrid;
    CStaticText penLabel;
    CComboBox penList;
    CStaticText arrowLabel;
    CComboBox arrowList;
    CCheckBox showLengthBox;
    // Built on a metric course too, holding the merged kind, but not shown.
    CUnitsPicker unitsPicker;

protected:
    void InitControls() override;

private:
    void OnShowLengthChanged(CCheckBox* box);

    CStraightLinePropertiesDlg& m_dialog;
};
