#pragma once

#include "dialogs/ObjectPropertiesDlg.h"

class CCourse;

// The see-saw's properties dialog: the plank length (0 when the edited
// objects differ) and whether the plank lies flat on the ground. It starts
// from the values stored for the kind and the course's organisation,
// "250<organisation>PlankLen" (1440 when unset) and "...Flat".
class CSeeSawPropertiesDlg : public CObjectPropertiesDlg
{
public:
    explicit CSeeSawPropertiesDlg(CCourse* course);

    // The first edited object sets the value; a later, different one makes
    // it mixed.
    void MergePlankLength(float length);
    void MergeFlat(bool flat);

    bool HasPlankLength() const { return m_plankLength > 0.0f; }
    // A mixed length is reported and returned as it is.
    float GetPlankLength() const;
    ECheckState GetFlat() const { return m_flat; }
    // The length as the dialog holds it, 0 when mixed.
    float GetMergedPlankLength() const { return m_plankLength; }
    // What the entry shows: the first edited object's length, or the
    // starting length when none was edited.
    float GetShownPlankLength() const { return m_shownPlankLength; }

    // The values the dialog confirms; 0 and kMixed keep each object's own.
    void SetPlankLength(float length) { m_plankLength = length; }
    void SetFlat(ECheckState flat) { m_flat = flat; }

    static constexpr float kStandardPlankLength = 1440.0f;

private:
    float m_plankLength = kStandardPlankLength;
    float m_shownPlankLength = kStandardPlankLength;
    ECheckState m_flat = ECheckState::kClear;
};
