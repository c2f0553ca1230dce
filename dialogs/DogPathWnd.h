#pragma once

#include "dialogs/DogPathDlg.h"
#include "dialogs/PropertiesWnd.h"
#include "dialogs/UnitsPicker.h"
#include "ui/ComboBox.h"
#include "ui/StaticText.h"

// The dog path's window: the connection (one entry per numbering sequence
// the path can be routed along, then the obstacle and the plain
// connection) with the fit-now box under it, the arrows, the show-length
// box with, on a course in inches, the units, and the discrimination box.
// Values where the edited paths differ show an empty entry or an
// indeterminate box and keep each path's own unless the user chooses one.
class CDogPathWnd : public CPropertiesWnd
{
public:
    CDogPathWnd(CDogPathDlg& dialog, CSessionColors& colors);

    void OnOk() override;

    // One column of 15 rows (13 on a metric course, without the units).
    CGridLayout mainColumn;
    CStaticText connectionLabel;
    CComboBox connectionList;
    CCheckBox fitNowBox;
    CStaticText arrowLabel;
    CComboBox arrowList;
    CCheckBox showLengthBox;
    CUnitsPicker unitsPicker;
    CCheckBox discriminationBox;

protected:
    void InitControls() override;

private:
    void OnConnectionChanged(CComboBox* list);
    void OnShowLengthChanged(CCheckBox* box);
    void UpdateConnectionControls();

    CDogPathDlg& m_dialog;
};
