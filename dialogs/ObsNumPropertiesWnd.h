#pragma once

#include "dialogs/ObsNumPropertiesDlg.h"
#include "dialogs/PropertiesWnd.h"
#include "ui/ComboBox.h"
#include "ui/EditBox.h"
#include "ui/StaticText.h"

// The obstacle numbers' window: the badge style (two entries per style,
// plain and reversed colours), the label, and the automatic numbering of
// the sequence the number will join. Choosing a style offers that
// sequence's next label; typing a label of another kind (a letter) moves to
// that kind's sequence. Numbers whose styles differ show an empty entry and
// keep their own unless the user chooses one; several numbers take a label
// only when the user types one.
class CObsNumPropertiesWnd : public CPropertiesWnd
{
public:
    CObsNumPropertiesWnd(CObsNumPropertiesDlg& dialog, CSessionColors& colors);

    void OnOk() override;

    // Labels and their controls one under the other, then the box.
    CGridLayout mainColumn;
    CGridLayout valueGrid;
    CStaticText styleLabel;
    CComboBox styleList;
    CStaticText textLabel;
    CGridLayout labelRow;
    CEditBox labelEdit;
    CCheckBox autoNumberBox;

protected:
    void InitControls() override;

private:
    void OnStyleChanged(CComboBox* list);
    void OnTextChanged(CEditBox* edit);
    void OnAutoNumberClicked(CCheckBox* box);
    // The half's sequence, label and badge colours shown.
    void ShowSequence();

    CObsNumPropertiesDlg& m_dialog;
    // Set while the window itself puts a label into the edit.
    bool m_showingLabel = false;
};
