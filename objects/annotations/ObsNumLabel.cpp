#include "objects/annotations/ObsNumLabel.h"

#include <iterator>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

namespace {

// Kind, first character and radix of a label character.
struct CLabelChar
{
    int kind;
    wchar_t base;
    int64_t radix;
};

CLabelChar ClassifyLabelChar(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return {1, L'0', 10};
    if (c >= L'A' && c <= L'Z')
        return {2, L'A', 26};
    if (c >= L'a' && c <= L'z')
        return {3, L'a', 26};
    return {0, 0, 1};
}

// The run's digits as read, made zero-based: a digit run less one, a letter
// run of n letters in bijective base 26 (adding 1 + 26 + ... + 26^(n-1)).
// Past kMaxObsNumRunValue the run is too long: -2.
int64_t RunValue(int64_t value, int kind, int letters)
{
    if (kind != 1) {
        int64_t place = 1;
        for (int i = 0; i < letters && value <= kMaxObsNumRunValue; ++i) {
            value += place;
            place *= 26;
        }
    }
    return value - 1 > kMaxObsNumRunValue ? -2 : value - 1;
}

}  // namespace

CObsNumLabel ParseObsNumLabel(const std::wstring& text)
{
    CObsNumLabel label;
    int runs = 0;
    int64_t values[2] = {0, 0};
    int lengths[2] = {0, 0};
    int kinds[2] = {0, 0};
    for (wchar_t c : text) {
        if (c >= 0xFF01 && c <= 0xFF5E)
            c = wchar_t(c - 0xFEE0);
        const CLabelChar kind = ClassifyLabelChar(c);
        if (kind.kind == 0)
            return CObsNumLabel();
        if (runs > 0 && kind.kind == kinds[runs - 1]) {
            // Once past the limit the run only has to stay past it.
            if (values[runs - 1] <= kMaxObsNumRunValue + 1)
                values[runs - 1] = values[runs - 1] * kind.radix + (c - kind.base);
            ++lengths[runs - 1];
            continue;
        }
        if (runs == 2)
            return CObsNumLabel();
        kinds[runs] = kind.kind;
        values[runs] = c - kind.base;
        lengths[runs] = 1;
        ++runs;
    }
    if (runs == 0)
        return CObsNumLabel();
    int64_t first = RunValue(values[0], kinds[0], lengths[0]);
    int64_t second = runs == 2 ? RunValue(values[1], kinds[1], lengths[1]) : 0;
    if (first < -1 || second < -1)
        return CObsNumLabel();
    label.firstKind = kinds[0];
    label.secondKind = kinds[1];
    label.firstValue = int32_t(first);
    label.secondValue = int32_t(second);
    return label;
}

int GetObsNumLabelKind(const std::wstring& text)
{
    return ParseObsNumLabel(text).firstKind;
}

void FormatLabelRun(std::wstring& text, int kind, int32_t value)
{
    // Digits show -1 as "0"; letters start at "A" for 0.
    if (kind < 1 || kind > 3 || value < (kind == 1 ? -1 : 0)) {
        TRACE_VALUE(int32_t, kind);
        TRACE_VALUE(int32_t, value);
        ReportFailure();
        return;
    }
    // The characters come last first: filled from the end of the buffer,
    // which holds the longest run of a 32-bit value.
    wchar_t run[16];
    wchar_t* start = std::end(run);
    int64_t n = int64_t(value) + 1;
    do {
        if (kind == 1) {
            *--start = wchar_t(L'0' + n % 10);
            n /= 10;
        } else {
            const int64_t m = n - 1;
            *--start = wchar_t((kind == 2 ? L'A' : L'a') + m % 26);
            n = m / 26;
        }
    } while (n != 0);
    text.insert(text.begin(), start, std::end(run));
}

std::wstring FormatObsNumLabel(const CObsNumLabel& label)
{
    std::wstring text;
    if (label.firstKind == 0) {
        TRACE_POINT();
        ReportFailure();
        return text;
    }
    if (label.secondKind != 0)
        FormatLabelRun(text, label.secondKind, label.secondValue);
    FormatLabelRun(text, label.firstKind, label.firstValue);
    return text;
}
