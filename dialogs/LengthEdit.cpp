#include "dialogs/LengthEdit.h"

#include <cmath>

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "ui/MessageBox.h"

namespace {

constexpr int kNotALengthText = 2681;
constexpr int kOutOfRangeText = 2688;
constexpr int kWhichUnitText = 2691;

// A bound in inches moved onto the metric granule (hundredths of a
// millimetre), in tenths of an inch: upward for the minimum, for the
// maximum one granule below a bound that lies on one.
int MetricBound(int inches, int64_t granule, bool minimum)
{
    const int64_t sign = inches < 0 ? -1 : 1;
    const int64_t x = int64_t(inches) * sign * 2540;
    const int64_t onGranule = minimum ? (x + granule - 1) / granule * granule : (x - granule + 1) / granule * granule;
    return int(sign * ((onGranule + 127) / 254));
}

int CheckedStep(int step)
{
    if (step > 0)
        return step;
    TRACE_VALUE(int32_t, step);
    ReportFailure();
    return 1;
}

std::wstring WithUnit(int64_t tenths, EUnitKind kind)
{
    return FormatLength(float(tenths), kind, true);
}

}  // namespace

CLengthEdit::CLengthEdit(int minInches, int maxInches, int usStepInches, int metricStepCm, bool metric,
                         EUnitKind usKind, EUnitKind metricKind)
    : CSpinEdit(6, 9),
      m_usMin(minInches * 10),
      m_usMax(maxInches * 10),
      m_usStep(CheckedStep(usStepInches)),
      m_metricStep(CheckedStep(metricStepCm)),
      m_value(minInches * 10),
      m_metric(metric),
      m_usKind(usKind),
      m_metricKind(metricKind)
{
    if (m_usKind == EUnitKind::kNone) {
        if (m_usStep >= 12 && (maxInches >= 1800 || minInches < -1800))
            m_usKind = EUnitKind::kFeet;
        else if (m_usStep >= 6 || maxInches > 48 || minInches < -48)
            m_usKind = EUnitKind::kFeetAndInches;
        else
            m_usKind = EUnitKind::kInches;
    }
    if (m_metricKind == EUnitKind::kNone) {
        const bool metres = m_metricStep >= 100 && (maxInches >= 600 || minInches < -599);
        m_metricKind = metres ? EUnitKind::kMetres : EUnitKind::kCentimetres;
    }
    // The granule in hundredths of a millimetre: a centimetre, or for metres
    // the step rounded up to whole tens of centimetres.
    const int64_t granule =
        m_metricKind == EUnitKind::kMetres ? 1000 * ((int64_t(m_metricStep) + 9) / 10 * 10) : 1000;
    m_metricMin = MetricBound(minInches, granule, true);
    m_metricMax = MetricBound(maxInches, granule, false);
}

bool CLengthEdit::GetValue(float* tenths, bool showMessages)
{
    CReading reading;
    if (!CheckText(&reading, showMessages, true))
        return false;
    *tenths = float(reading.tenths);
    return true;
}

void CLengthEdit::SetValue(float tenths)
{
    const double rounded = std::floor(double(tenths) + 0.5);
    // Lengths of a course lie far inside an int; anything else shows as 0.
    int64_t v = rounded > -1e9 && rounded < 1e9 ? int64_t(rounded) : 0;
    if (m_metric) {
        if (v >= m_usMin && v <= m_usMax)
            v = v < m_metricMin ? m_metricMin : v > m_metricMax ? m_metricMax : v;
        Show(v, m_metricKind);
    } else {
        Show(v, m_usKind);
    }
    m_value = int(v);
}

void CLengthEdit::OnSpin(bool up)
{
    if (HoldsNoValue()) {
        Show(m_value, GetDefaultKind());
        return;
    }
    CReading reading;
    if (!CheckText(&reading, false, false))
        return;
    const int64_t t = reading.tenths;
    const int64_t sign = t < 0 ? -1 : 1;
    int64_t next = 0;
    int64_t min = m_usMin;
    int64_t max = m_usMax;
    EUnitKind kind = m_usKind;
    if (IsMetricUnitKind(reading.kind)) {
        // In whole centimetres, onto a multiple of the step towards zero.
        int64_t cm = (t * 254 + 500 * sign) / 1000;
        cm += up ? m_metricStep : -m_metricStep;
        cm = (cm * sign / m_metricStep) * m_metricStep * sign;
        next = (cm * 1000 + 127 * sign) / 254;
        min = m_metricMin;
        max = m_metricMax;
        kind = m_metricKind;
    } else {
        const int64_t step = 10 * int64_t(m_usStep);
        next = t + (up ? step : -step);
        next = next < 0 ? -(-next / step * step) : next / step * step;
    }
    Show(next < min ? min : next > max ? max : next, kind);
}

bool CLengthEdit::CheckText(CReading* reading, bool showMessages, bool checkRange)
{
    // An empty field (or a unit word alone) would read as 0.
    if (HoldsNoValue()) {
        const EUnitKind kind = GetDefaultKind();
        return Fail(showMessages,
                    GetStringWith2Args(kOutOfRangeText, WithUnit(GetMinimum(), kind), WithUnit(GetMaximum(), kind)));
    }
    const std::wstring text = GetText();
    const CParsedLength parsed = ParseLength(text);
    CReading read;
    if (parsed.result == ELengthText::kNotALength)
        return Fail(showMessages, GetStringWithArg(kNotALengthText, text));
    if (parsed.result == ELengthText::kLength) {
        read = {parsed.value, parsed.kind};
    } else {
        // A bare number: in the small unit or the large one, whichever fits.
        const int64_t hundredths = parsed.result == ELengthText::kWholeNumber ? parsed.value * 100 : parsed.value;
        const int64_t sign = hundredths < 0 ? -1 : 1;
        CReading small;
        CReading large;
        if (m_metric) {
            small = {(hundredths * 10 + 127 * sign) / 254, EUnitKind::kCentimetres};
            large = {(hundredths * 1000 + 127 * sign) / 254, EUnitKind::kMetres};
        } else {
            small = {(hundredths + 5 * sign) / 10, EUnitKind::kInches};
            large = {(hundredths * 12 + 5 * sign) / 10, EUnitKind::kFeet};
        }
        const bool smallFits = small.tenths >= GetMinimum();
        const bool largeFits = large.tenths <= GetMaximum();
        if (smallFits && !largeFits)
            read = small;
        else if (largeFits && !smallFits)
            read = large;
        else if (hundredths == 0)
            read = {0, GetDefaultKind()};
        else if (checkRange && !smallFits && !largeFits)
            read = small;
        else
            return Fail(showMessages, GetStringWith2Args(kWhichUnitText, WithUnit(small.tenths, small.kind),
                                                         WithUnit(large.tenths, large.kind)));
    }
    if (checkRange) {
        const bool metric = IsMetricUnitKind(read.kind);
        const int64_t min = metric ? m_metricMin : m_usMin;
        const int64_t max = metric ? m_metricMax : m_usMax;
        if (read.tenths < min || read.tenths > max) {
            const EUnitKind kind = metric ? m_metricKind : m_usKind;
            return Fail(showMessages, GetStringWith2Args(kOutOfRangeText, WithUnit(min, kind), WithUnit(max, kind)));
        }
    }
    *reading = read;
    return true;
}

bool CLengthEdit::Fail(bool showMessages, const std::wstring& message)
{
    if (!showMessages)
        return false;
    CMessageBox::Show(message, CMessageBox::kError);
    if (HasNativeWindow())
        FocusAndSelectAll();
    return false;
}

void CLengthEdit::Show(int64_t tenths, EUnitKind kind)
{
    SetText(WithUnit(tenths, kind));
}
