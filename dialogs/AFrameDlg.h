#pragma once

#include "dialogs/ObjectPropertiesDlg.h"

class CCourse;

// The properties dialog of the A-frame: a ramp length and an apex height
// (tenths of an inch; 0 when the edited objects differ). It starts from the
// values stored for the A-frame type and the course's organisation,
// "10<organisation>PlankLen" and "10<organisation>Height", or 960 and 590
// when either is not above 0.
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

    static constexpr float kDefaultLength = 960.0f;
    static constexpr float kDefaultHeight = 590.0f;

private:
    float m_length;
    float m_height;
};
