#pragma once

#include <cstdint>

#include "dialogs/LengthFormat.h"
#include "ui/SpinEdit.h"

// The entry in which every dialog takes a length. It shows lengths in the
// course's unit system, reads typed text with or without a unit word (a
// bare number is read in the unit that fits the range: "14" in a range of 6
// to 16 feet is 14 feet, "100" is 100 inches), keeps the value inside a
// range given in whole inches, steps it with the arrows and explains a bad
// entry in a message box (texts 2681, 2691 and 2688).
//
// On a metric course the bounds move onto whole centimetres, or onto whole
// metric steps when lengths are shown in metres: the minimum up, the
// maximum one granule below a bound that lies on one, so that a value shown
// rounded never reads as outside the range.
class CLengthEdit : public CSpinEdit
{
public:
    // A unit kind of kNone takes the default that suits the range and step.
    // Both steps must be above 0.
    CLengthEdit(int minInches, int maxInches, int usStepInches, int metricStepCm, bool metric,
                EUnitKind usKind = EUnitKind::kNone, EUnitKind metricKind = EUnitKind::kNone);

    // The length typed, in tenths of an inch, when it is one and lies in the
    // range; otherwise false with `tenths` untouched and, with
    // `showMessages`, the user told why and the text selected. A field that
    // holds no value (HoldsNoValue) is out of range.
    bool GetValue(float* tenths, bool showMessages);
    // Shows the length rounded to a whole tenth in the course's units; on a
    // metric course a value inside the range stays inside the metric range.
    void SetValue(float tenths);
    void OnSpin(bool up) override;

    // The bounds in tenths of an inch, for tests and for the dialogs'
    // cross-checks.
    int GetMinimum() const { return m_metric ? m_metricMin : m_usMin; }
    int GetMaximum() const { return m_metric ? m_metricMax : m_usMax; }
    EUnitKind GetDefaultKind() const { return m_metric ? m_metricKind : m_usKind; }

private:
    struct CReading
    {
        int64_t tenths = 0;
        EUnitKind kind = EUnitKind::kNone;
    };

    // Reads the text; a bare number becomes the reading that fits the range.
    // With `checkRange` a reading outside the range fails.
    bool CheckText(CReading* reading, bool showMessages, bool checkRange);
    bool Fail(bool showMessages, const std::wstring& message);
    void Show(int64_t tenths, EUnitKind kind);

    int m_usMin;
    int m_usMax;
    int m_metricMin = 0;
    int m_metricMax = 0;
    int m_usStep;
    int m_metricStep;
    int m_value;
    bool m_metric;
    EUnitKind m_usKind;
    EUnitKind m_metricKind;
};
