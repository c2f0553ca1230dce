#pragma once

#include <memory>
#include <vector>

#include "ui/Button.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"
#include "ui/MultiLineLabel.h"
#include "ui/StaticText.h"

// Graphics System (command 2225, or "g" then "r" typed in a view): which
// graphics class draws the views (render3d/GraphicsSystem.h), one radio
// button per class, the stored class ticked. OK stores the ticked class as
// the user's own choice, which also forgets that system's stored failures;
// the choice of a run is made once, so it applies from the next start.
// Just opening the dialog puts the command into every course window made
// from then on.
class CGraphicsSystemDlg : public CDialog
{
public:
    // Made on the stack: it does not delete itself.
    CGraphicsSystemDlg();

    // Stores the ticked class; with none ticked (a damaged stored class)
    // Direct3D 11 for every view, the first choice.
    void OnOk() override;

    CStaticText heading;
    // The radio group: the buttons with the gaps between their pairs.
    CGridLayout choices;
    // Indents the group.
    CGridLayout choicesRow;
    CMultiLineLabel note;
    CGridLayout column;
    // Top to bottom: Direct3D 11 for every view, GDI only, Direct3D 11,
    // OpenGL 3 and OpenGL 1 for 3D views only.
    std::vector<std::unique_ptr<CRadioButton>> buttons;
};

// Runs the graphics-system dialog modally.
void ShowGraphicsSystemDialog();
