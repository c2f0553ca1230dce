#pragma once

#include <string>

#include "dialogs/ObjectPropertiesDlg.h"

class CCourse;

// The straight line's properties dialog: the pen (0 solid, 1 dashed, 2 long
// dashes), the arrow heads (0 none, 1 at the end, 2 at both ends), whether
// the length shows and the US unit kind it shows in (2 feet and inches,
// 3 feet, 4 yards, 5 decimal feet; a metric course shows metres). It starts
// from the values stored for the kind, "270Pen", "270ArrowHeads",
// "270ShowLength" and "270UsUnits" (1, 0, off and 3 when unset or out of
// range). Mixed values: a pen or arrow choice of kMixedChoice, a unit kind
// of kMixedUnits.
class CStraightLinePropertiesDlg : public CObjectPropertiesDlg
{
public:
    explicit CStraightLinePropertiesDlg(CCourse* course);

    // The first edited object sets the value; a later, different one makes
    // it mixed.
    void MergePen(int choice);
    void MergeArrowHeads(int choice);
    void MergeShowLength(bool show);
    void MergeUnits(int kind);

    bool HasPen() const { return m_pen < kMixedChoice; }
    bool HasArrowHeads() const { return m_arrowHeads < kMixedChoice; }
    bool HasShowLength() const { return m_showLength != ECheckState::kMixed; }
    bool HasUnits() const { return m_units != kMixedUnits; }
    // A mixed value asked for is reported and returned as it is (a mixed
    // show-length flag as false).
    int GetPen() const;
    int GetArrowHeads() const;
    bool GetShowLength() const;
    int GetUnits() const;

    // The values as merged, mixed markers included, without reports.
    int GetMergedPen() const { return m_pen; }
    int GetMergedArrowHeads() const { return m_arrowHeads; }
    ECheckState GetShowLengthState() const { return m_showLength; }
    int GetMergedUnits() const { return m_units; }
    // The user's choices; a mixed marker (a choice of kMixedChoice or more,
    // an indeterminate box, units kMixedUnits) keeps what the lines have.
    void Choose(int pen, int arrowHeads, ECheckState showLength, int units);

    // Stores the values that are not mixed as the defaults of the next lines.
    void StoreDefaults() const;

    // The name of the stored unit kind of a kind's length labels, which the
    // path dialogs share: the dialog's type id followed by "UsUnits".
    static std::wstring GetUsUnitsSettingName(const CObjectPropertiesDlg& dialog);
    // Whether a unit kind is one the dialog offers.
    static bool IsUsUnitKind(int kind) { return kind >= 2 && kind <= 5; }

    static constexpr int kMixedChoice = 3;
    static constexpr int kMixedUnits = 0;
    static constexpr int kDefaultUnits = 3;

private:
    int m_pen = 1;
    int m_arrowHeads = 0;
    ECheckState m_showLength = ECheckState::kClear;
    int m_units = kDefaultUnits;
};
