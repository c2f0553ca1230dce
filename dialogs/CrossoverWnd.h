#pragma once

#include <memory>

#include "dialogs/CrossoverDlg.h"
#include "dialogs/LengthEdit.h"
#include "dialogs/PropertiesWnd.h"
#include "ui/StaticText.h"

// The crossover's window: which planks it has, the standard ramp (9 ft
// planks, 43 in high) or a custom one, and the standard platform width or a
// custom one. A choice where the edited crossovers differ selects no radio
// and keeps each crossover's own value on OK.
class CCrossoverWnd : public CPropertiesWnd
{
public:
    CCrossoverWnd(CCrossoverDlg& dialog, CSessionColors& colors);

    void OnOk() override;

    static constexpr int kPlankChoices = 4;

    CGridLayout mainColumn;
    CGridLayout plankRow;
    CGridLayout rampRow;
    CGridLayout platformRow;
    CGridLayout plankColumn;
    CGridLayout rampColumn;
    CGridLayout platformColumn;
    CGridLayout customRampGrid;
    CGridLayout customPlatformRow;
    CStaticText planksHeading;
    std::unique_ptr<CRadioButton> plankRadios[kPlankChoices];
    CStaticText rampHeading;
    CRadioButton standardRampRadio;
    CRadioButton customRampRadio;
    CStaticText plankLengthLabel;
    CLengthEdit plankLengthEdit;
    CStaticText heightLabel;
    CLengthEdit heightEdit;
    CStaticText platformHeading;
    CRadioButton standardPlatformRadio;
    CRadioButton customPlatformRadio;
    CLengthEdit platformWidthEdit;

protected:
    void InitControls() override;

private:
    void OnRampChoice(CRadioButton* radio);
    void OnPlatformChoice(CRadioButton* radio);

    CCrossoverDlg& m_dialog;
};
