#pragma once

#include "dialogs/PropertiesWnd.h"
#include "dialogs/UnusableAreaPropertiesDlg.h"
#include "ui/SpinEdit.h"

// The unusable area's window: square corners, fully rounded corners, or
// rounded by a percentage typed beside its radio, enabled with it. Areas
// rounded differently select no radio; OK then keeps each area's rounding
// and stores no default.
class CUnusableAreaPropertiesWnd : public CPropertiesWnd
{
public:
    CUnusableAreaPropertiesWnd(CUnusableAreaPropertiesDlg& dialog, CSessionColors& colors);

    void OnOk() override;

    CGridLayout mainColumn;
    CGridLayout customRow;
    CRadioButton squareRadio;
    CRadioButton roundRadio;
    CRadioButton customRadio;
    CRangeSpinEdit percentSpin;

protected:
    void InitControls() override;

private:
    void OnChoice(CRadioButton* radio);

    CUnusableAreaPropertiesDlg& m_dialog;
};
