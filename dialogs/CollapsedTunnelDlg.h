#pragma once

#include "dialogs/ObjectPropertiesDlg.h"

class CCourse;

// The properties dialog of the collapsed tunnel: its overall length and its
// barrel diameter (tenths of an inch; 0 when the edited objects differ).
// The length starts from the value stored for the type and the course's
// organisation ("50AKCLen"), else the organisation's first collapsed-tunnel
// length, else 1740; the diameter always starts at the organisation's
// standard diameter.
class CCollapsedTunnelDlg : public CObjectPropertiesDlg
{
public:
    explicit CCollapsedTunnelDlg(CCourse* course);

    // The first edited object sets the value; a later, different one makes
    // it 0 (mixed).
    void MergeLength(float length);
    void MergeDiameter(float diameter);

    bool HasLength() const { return m_length > 0.0f; }
    bool HasDiameter() const { return m_diameter != 0.0f; }
    // A mixed value asked for is reported and returned as it is.
    float GetLength() const;
    float GetDiameter() const;
    float GetStandardDiameter() const { return m_standardDiameter; }
    // The values as the dialog holds them: 0 when mixed.
    float GetMergedLength() const { return m_length; }
    float GetMergedDiameter() const { return m_diameter; }
    // What the entries show: the first edited tunnel's size, or the
    // starting size when none was edited.
    float GetShownLength() const { return m_shownLength; }
    float GetShownDiameter() const { return m_shownDiameter; }
    // The size the dialog confirms; 0 keeps a mixed value.
    void SetSize(float length, float diameter);

    // Stores the length and the diameter that are not mixed as the defaults
    // of the next collapsed tunnels.
    void StoreDefaults() const;

    // The length when neither a stored value nor the organisation gives one.
    static constexpr float kFallbackLength = 1740.0f;

private:
    float m_length = kFallbackLength;
    float m_standardDiameter = 240.0f;
    float m_diameter = 240.0f;
    float m_shownLength = kFallbackLength;
    float m_shownDiameter = 240.0f;
};
