#pragma once

#include "dialogs/ObjectPropertiesDlg.h"

class CCourse;

// The weave poles' properties dialog: the number of poles, their spacing,
// the channel width and whether the weaving guides show. It starts from the
// values stored for the kind and the course's organisation,
// "370<organisation>Poles", "...Spacing" and "...Channel" (the
// organisation's pole count and spacing, and 0, when unset); the guides
// start off. Mixed values: no poles (0), no spacing (0), a channel of -1
// (0 is a channel).
class CWeavePolesPropertiesDlg : public CObjectPropertiesDlg
{
public:
    explicit CWeavePolesPropertiesDlg(CCourse* course);

    // The first edited object sets the value; a later, different one makes
    // it mixed.
    void MergePoles(int poles);
    void MergeSpacing(float spacing);
    void MergeChannel(float channel);
    void MergeBoolOption(bool on);

    bool HasPoles() const { return m_poles > 0; }
    bool HasSpacing() const { return m_spacing > 0.0f; }
    bool HasChannel() const { return m_channel >= 0.0f; }
    // A mixed value is reported and returned as it is.
    int GetPoles() const;
    float GetSpacing() const;
    float GetChannel() const;
    ECheckState GetBoolOption() const { return m_option; }

private:
    int m_poles = 0;
    float m_spacing = 0.0f;
    float m_channel = 0.0f;
    ECheckState m_option = ECheckState::kClear;
};
