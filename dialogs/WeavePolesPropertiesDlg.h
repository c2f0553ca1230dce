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
    // The values as the dialog holds them, mixed or not.
    int GetMergedPoles() const { return m_poles; }
    float GetMergedSpacing() const { return m_spacing; }
    float GetMergedChannel() const { return m_channel; }
    // What the entries hold behind a mixed value, for the arrows to start
    // from: the first edited object's values, or the starting ones when none
    // was edited.
    int GetShownPoles() const { return m_shownPoles; }
    float GetShownSpacing() const { return m_shownSpacing; }
    float GetShownChannel() const { return m_shownChannel; }

    // The values the dialog confirms; the mixed markers keep each object's
    // own.
    void SetPoles(int poles) { m_poles = poles; }
    void SetSpacing(float spacing) { m_spacing = spacing; }
    void SetChannel(float channel) { m_channel = channel; }
    void SetBoolOption(ECheckState on) { m_option = on; }

private:
    int m_poles = 0;
    float m_spacing = 0.0f;
    float m_channel = 0.0f;
    ECheckState m_option = ECheckState::kClear;
    int m_shownPoles = 0;
    float m_shownSpacing = 0.0f;
    float m_shownChannel = 0.0f;
};
