#pragma once

#include "dialogs/LengthChoice.h"
#include "dialogs/PropertiesWnd.h"
#include "dialogs/TunnelPropertiesDlg.h"
#include "ui/SpinEdit.h"
#include "ui/StaticText.h"

// The open tunnel's window: the body style (jointed sections, flexible, or
// rigid and bent by an angle), the number of sections of the last two,
// and the organisation's standard length and diameter or custom ones.
//
// Switching the style offers the sections last stored for it (the edited
// tunnels' own count for their own style) until the user types or steps a
// count. A value where the edited tunnels differ shows no choice or an
// empty field, and OK keeps each tunnel's own unless the user sets one.
class CTunnelPropertiesWnd : public CPropertiesWnd
{
public:
    CTunnelPropertiesWnd(CTunnelPropertiesDlg& dialog, CSessionColors& colors);

    void OnOk() override;

    CGridLayout mainColumn;
    CGridLayout styleRow;
    CGridLayout styleColumn;
    CGridLayout rigidRow;
    CGridLayout sectionsRow;
    CStaticText styleHeading;
    CRadioButton polylineRadio;
    CRadioButton flexibleRadio;
    CRadioButton rigidRadio;
    CRangeSpinEdit angleSpin;
    CStaticText sectionsLabel;
    CRangeSpinEdit sectionsSpin;
    CLengthChoice lengthChoice;
    CDiameterChoice diameterChoice;

protected:
    void InitControls() override;

private:
    void OnStyleChoice(CRadioButton* radio);
    void OnSectionsChanged(CSpinEdit* spin);
    // The angle only for a rigid body, the sections for the others; both
    // while the style is not known.
    void EnableSpins();
    CRadioButton* GetStyleRadio(int style);
    // The count offered for the style while the user has not set one.
    int GetOfferedSections(int style) const;

    CTunnelPropertiesDlg& m_dialog;
    // The style chosen; unknown while the edited tunnels differ and the
    // user has not chosen one.
    int m_style;
    bool m_styleKnown;
    // The sections the spin offers while the user has not set them; 0 while
    // the edited tunnels differ.
    int m_sections;
};
