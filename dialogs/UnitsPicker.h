#pragma once

#include "dialogs/LengthFormat.h"
#include "ui/ComboBox.h"
#include "ui/GridLayout.h"
#include "ui/StaticText.h"

// The choice of the US unit in which a line's or a path's length is
// labelled: feet and inches, decimal feet, feet and, when asked for, yards.
// Its value is a unit kind; kNone means the edited objects differ and shows
// as an empty entry.
class CUnitsPicker : public CGridLayout
{
public:
    CUnitsPicker(EUnitKind value, bool withYards, bool withLabel);

    EUnitKind GetValue() const;
    // A kind the list does not offer is reported and shown as mixed.
    void SetValue(EUnitKind value);

    CStaticText label;
    CComboBox list;

private:
    // The entry added for mixed values, -1 while there is none.
    int m_mixedEntry = -1;
    // The entries naming a unit.
    int m_unitCount = 0;
};
