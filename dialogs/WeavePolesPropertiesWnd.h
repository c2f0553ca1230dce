#pragma once

#include "dialogs/LengthEdit.h"
#include "dialogs/PropertiesWnd.h"
#include "dialogs/WeavePolesPropertiesDlg.h"
#include "ui/SpinEdit.h"
#include "ui/StaticText.h"

// The weave poles' window: the number of poles, their spacing, the channel
// width and whether the weaving guides show. A value that differs among the
// edited weave poles leaves its entry empty; OK takes only the entries the
// user changed, so an entry left alone keeps each object's own value and
// stores no default.
class CWeavePolesPropertiesWnd : public CPropertiesWnd
{
public:
    CWeavePolesPropertiesWnd(CWeavePolesPropertiesDlg& dialog, CSessionColors& colors);

    void OnOk() override;

    CGridLayout mainColumn;
    CGridLayout valueGrid;
    CStaticText polesLabel;
    CRangeSpinEdit polesSpin;
    CStaticText spacingLabel;
    CLengthEdit spacingEdit;
    CStaticText channelLabel;
    CLengthEdit channelEdit;
    CCheckBox guidesBox;

protected:
    void InitControls() override;

private:
    CWeavePolesPropertiesDlg& m_dialog;
};
