#pragma once

#include "dialogs/HumanPathDlg.h"
#include "dialogs/PropertiesWnd.h"
#include "dialogs/UnitsPicker.h"

// The handler and judge path's window: the pen type as two radio buttons,
// the show-length box and, on a course in inches, the units of the length,
// enabled while the box is checked or mixed. A pen type or length shown
// where the edited paths differ (no radio selected, an indeterminate box, an
// empty units entry) keeps each path's own unless the user chooses one.
class CHumanPathWnd : public CPropertiesWnd
{
public:
    CHumanPathWnd(CHumanPathDlg& dialog, CSessionColors& colors);

    void OnOk() override;

    // One column: pen type 1, gap, pen type 2, gap, the box, and on a
    // course in inches a gap and the units.
    CGridLayout mainColumn;
    CRadioButton penType1Radio;
    CRadioButton penType2Radio;
    CCheckBox showLengthBox;
    CUnitsPicker unitsPicker;

protected:
    void InitControls() override;

private:
    void OnShowLengthChanged(CCheckBox* box);

    CHumanPathDlg& m_dialog;
};
