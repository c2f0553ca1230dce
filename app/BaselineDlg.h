#pragma once

#include "dialogs/LengthEdit.h"
#include "dialogs/UnitsPicker.h"
#include "ui/Button.h"
#include "ui/ComboBox.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"
#include "ui/StaticText.h"

class CCourse;

// Grid and Coordinates (command 2172): where the displayed coordinates
// start across and along the ring, what becomes of the recorded baseline
// points, whether obstacles show their coordinates and in which order and
// US units, the background and the grid spacing. The spacing is whole feet
// (at least 1) on a course in inches and whole metres (at least 1) on a
// metric one.
class CBaselineDlg : public CDialog
{
public:
    explicit CBaselineDlg(CCourse* course);

    void OnOk() override;

    // The grid spacing the field holds in the course's units (feet or
    // metres); 0 with the user told (texts 2692, 2693, or the field's own
    // messages) when it is not a whole number of them.
    int ReadGridSpacing();

    CCourse* course;
    CStaticText acrossLabel;
    CComboBox acrossList;
    CStaticText alongLabel;
    CComboBox alongList;
    CStaticText pointsLabel;
    CComboBox pointsList;
    CCheckBox showCoordsBox;
    CCheckBox baselineFirstBox;
    CStaticText unitsXLabel;
    CUnitsPicker unitsXPicker;
    CStaticText unitsYLabel;
    CUnitsPicker unitsYPicker;
    CStaticText backgroundLabel;
    CComboBox backgroundList;
    CStaticText spacingLabel;
    CLengthEdit spacingEdit;
    CGridLayout grid;

private:
    void UpdateEnabling();
    void OnListChanged(CComboBox*) { UpdateEnabling(); }
    void OnBoxChanged(CCheckBox*) { UpdateEnabling(); }
    bool HasPoints() const;
};
