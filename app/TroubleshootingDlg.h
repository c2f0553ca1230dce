#pragma once

#include "ui/Button.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"

// A dialog for support cases, opened from the course view by typing "t" and
// then "r": it switches formatted text to the simpler drawing path (the
// setting "FmtTextSimpleScene", shown inverted as "Avoid GDI for text") and
// writes a crash log on request.
class CTroubleshootingDlg : public CDialog
{
public:
    CTroubleshootingDlg();

    // Stores the box: "FmtTextSimpleScene" 1 when unticked, 0 when ticked.
    void OnOk() override;

    CCheckBox avoidGdiBox;
    CPushButton crashLogButton;
    CGridLayout column;

private:
    // A failure report (code 0) writes the crash log and tells the user where
    // it is; then the dialog closes.
    void OnCreateCrashLog(CPushButton* button);
};
