#pragma once

#include "dialogs/ObjectPropertiesDlg.h"

class CCourse;
class CSpecList;

// The properties dialog of the A-frame: a ramp length and an apex height
// (tenths of an inch; 0 when the edited objects differ). It starts from the
// values stored for the kind and the course's organisation,
// "<type id><organisation>PlankLen" and "...Height"; where either is unset
// (not above 0) from the organisation's first preset size, and without
// presets from the kind's fixed size (960 by 590 for the A-frame).
class CAFrameDlg : public CObjectPropertiesDlg
{
public:
    explicit CAFrameDlg(CCourse* course);

    // The first edited object sets the value; a later, different one makes
    // it 0 (mixed).
    void MergeLength(float length);
    void MergeHeight(float height);

    bool HasLength() const { return m_length > 0.0f; }
    bool HasHeight() const { return m_height > 0.0f; }
    // A value that is not above 0 is reported and returned as it is.
    float GetLength() const;
    float GetHeight() const;
    // The values as the dialog holds them, 0 when mixed.
    float GetMergedLength() const { return m_length; }
    float GetMergedHeight() const { return m_height; }
    // What the entries show: the first edited object's size, or the
    // starting size when none was edited.
    float GetShownLength() const { return m_shownLength; }
    float GetShownHeight() const { return m_shownHeight; }
    // The size the dialog confirms; 0 keeps a mixed value.
    void SetSize(float length, float height);

    // What differs between the dialogs of this design: the kind's name, the
    // organisation's presets and the size without presets.
    struct CSizeChoice
    {
        int nameTextId;
        int (CSpecList::*presetCount)() const;
        void (CSpecList::*preset)(int index, float& length, float& height) const;
        float fixedLength;
        float fixedHeight;
    };

protected:
    CAFrameDlg(CCourse* course, const CSizeChoice& choice);

private:
    float m_length = 0.0f;
    float m_height = 0.0f;
    float m_shownLength = 0.0f;
    float m_shownHeight = 0.0f;
};

// The dog walk's dialog, laid out as the A-frame's: plank length and the
// height of the walk plank; 1440 by 480 without presets.
class CDogWalkDlg : public CAFrameDlg
{
public:
    explicit CDogWalkDlg(CCourse* course);
};
