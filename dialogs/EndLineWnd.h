#pragma once

#include "dialogs/EndLineDlg.h"
#include "dialogs/PropertiesWnd.h"

// The start or finish line's window: start line, finish line or both, as
// three radio buttons. Lines of different kinds select none; OK then keeps
// each line's kind and stores no default.
class CEndLineWnd : public CPropertiesWnd
{
public:
    CEndLineWnd(CEndLineDlg& dialog, CSessionColors& colors);

    void OnOk() override;

    CGridLayout mainColumn;
    CRadioButton startRadio;
    CRadioButton finishRadio;
    CRadioButton bothRadio;

protected:
    void InitControls() override;

private:
    CEndLineDlg& m_dialog;
};
