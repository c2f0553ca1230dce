#pragma once

#include "dialogs/DogShapeDlg.h"
#include "dialogs/FigureWnd.h"
#include "dialogs/LengthEdit.h"

// The dog's window: the figure window with the dog's height above the
// ground below the pose row: on the ground, at the jump height (which the
// pose over the bar picks), or a custom height up to 84 inches. Dogs at
// different heights check no radio button, and OK leaves each its own.
class CDogShapeWnd : public CFigureWnd
{
public:
    CDogShapeWnd(CDogShapeDlg& dialog, CSessionColors& colors);

    CGridLayout heightBlock;
    CGridLayout radioGrid;
    CGridLayout customRow;
    CStaticText heightHeading;
    CRadioButton groundRadio;
    CRadioButton jumpHeightRadio;
    CRadioButton customRadio;
    CLengthEdit heightEdit;

protected:
    void InitControls() override;
    void OnPoseChanged() override;
    bool ReadKindValues() override;

private:
    void OnHeightChoice(CRadioButton* radio);

    CDogShapeDlg& m_dialog;
};
