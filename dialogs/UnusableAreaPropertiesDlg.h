#pragma once

#include "dialogs/ObjectPropertiesDlg.h"

class CCourse;

// The unusable area's properties dialog: how far its outline is rounded, 0
// to 100 percent, -1 when the edited areas differ. It starts from the value
// stored for the kind, "350PercentRounded" (0 when unset).
class CUnusableAreaPropertiesDlg : public CObjectPropertiesDlg
{
public:
    explicit CUnusableAreaPropertiesDlg(CCourse* course);

    // The first edited area sets the value; a later, different one makes
    // it mixed.
    void MergePercentRounded(int percent);
    bool HasPercentRounded() const { return m_percentRounded >= 0; }
    // What the custom percentage's entry starts from: the stored or first
    // edited value, 50 in place of square or fully rounded corners.
    int GetShownPercent() const { return m_shownPercent; }
    // A mixed value is reported and returned as it is.
    int GetPercentRounded() const;
    // The user's choice, limited to 0..100.
    void SetPercentRounded(int percent);
    // Stores the value as the default of the next areas, unless mixed.
    void StoreDefaults() const;

    static constexpr int kMixed = -1;

private:
    void ShowPercent(int percent) { m_shownPercent = percent > 0 && percent < 100 ? percent : 50; }

    int m_percentRounded = 0;
    int m_shownPercent = 50;
};
