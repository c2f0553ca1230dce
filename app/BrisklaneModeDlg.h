#pragma once

#include "ui/Button.h"
#include "ui/Dialog.h"

// The display-mode dialog ("c" then "r" typed in a view): one box that
// switches the Brisklane display mode (IsBrisklaneMode, foundation/
// Settings.h), which the course, several object kinds and their dialogs
// follow from then on.
class CBrisklaneModeDlg : public CDialog
{
public:
    // Made on the stack: it does not delete itself.
    CBrisklaneModeDlg();

    // Stores "BrisklaneMode" as the box shows it, 1 or 0.
    void OnOk() override;

    CCheckBox modeBox;
};
