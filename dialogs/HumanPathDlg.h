#pragma once

#include <string>

#include "dialogs/ObjectPropertiesDlg.h"

class CCourse;

// The handler and judge path's properties dialog: the pen type (1 short
// dashes, 2 long dashes), whether the length shows and, on a course in
// inches, the US unit kind it shows in. It starts from the values stored
// for the kind: "140PenType" (1), "140ShowLength" (off) and "140UsUnits"
// (yards). Paths that differ make a value mixed: no pen type, an
// indeterminate box (shown checked as stored), units 0. Making the dialog
// shows the course's paths, so that the edited ones can be seen.
class CHumanPathDlg : public CObjectPropertiesDlg
{
public:
    explicit CHumanPathDlg(CCourse* course);

    // The first edited path sets the value; a later, different one makes it
    // mixed.
    void SetPenType(int penType);
    void SetShowLength(bool show);
    void SetLengthUnits(int units);

    bool IsMetric() const { return m_metric; }
    bool IsPenMixed() const { return m_penMixed; }
    ECheckState GetShowLengthState() const { return m_showLength; }
    // The units as merged: kMixedUnits when the edited paths differ.
    int GetMergedUnits() const { return m_units; }
    // The stored default, which a mixed box shows.
    bool GetStoredShowLength() const { return m_storedShowLength; }
    // A mixed value asked for is reported and returned as it is (a mixed
    // show-length flag as false).
    int GetPenType() const;
    bool GetShowLength() const;
    int GetLengthUnits() const;

    // The user's choices: a pen type of 1 or 2 (0 keeps what there is), the
    // box's state and a unit kind (0 keeps what there is).
    void ChoosePenType(int penType);
    void ChooseShowLength(ECheckState state);
    void ChooseLengthUnits(int units);
    // Stores the values that are not mixed as the defaults of the next
    // paths; the units only on a course in inches.
    void StoreDefaults() const;

    // The name of a kind's stored show-length value, which the path dialogs
    // share.
    static std::wstring GetShowLengthValueName(const CObjectPropertiesDlg& dialog);
    static bool IsPenType(int penType) { return penType == 1 || penType == 2; }

    static constexpr int kMixedUnits = 0;

private:
    bool m_metric = false;
    int m_penType = 1;
    bool m_penMixed = false;
    bool m_storedShowLength = false;
    ECheckState m_showLength = ECheckState::kClear;
    int m_units = 4;
};
