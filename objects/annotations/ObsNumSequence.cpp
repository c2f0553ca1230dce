#include "objects/annotations/ObsNumSequence.h"

#include <climits>

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

// Values beyond 32 bits are held at the largest one.
int64_t Limit(int64_t value)
{
    return value > INT32_MAX ? INT32_MAX : value;
}

// The run's digits as read, made zero-based: a digit run less one, a letter
// run of n letters in bijective base 26 (adding 1 + 26 + ... + 26^(n-1)).
int32_t RunValue(int64_t value, int kind, int letters)
{
    if (kind != 1) {
        int64_t place = 1;
        for (int i = 0; i < letters; ++i) {
            value = Limit(value + place);
            place = Limit(place * 26);
        }
    }
    return int32_t(Limit(value) - 1);
}

}  // namespace

CObsNumLabel ParseObsNumLabel(const std::wstring& text)
{
    CObsNumLabel label;
    int runs = 0;
    int64_t values[2] = {0, 0};
    int lengths[2] = {0, 0};
    for (wchar_t c : text) {
        if (c >= 0xFF01 && c <= 0xFF5E)
            c = wchar_t(c - 0xFEE0);
        const CLabelChar kind = ClassifyLabelChar(c);
        if (kind.kind == 0)
            return CObsNumLabel();
        const int current = runs == 0 ? 0 : (runs == 1 ? label.firstKind : label.secondKind);
        if (runs > 0 && kind.kind == current) {
            values[runs - 1] = Limit(values[runs - 1] * kind.radix + (c - kind.base));
            ++lengths[runs - 1];
            continue;
        }
        if (runs == 2)
            return CObsNumLabel();
        ++runs;
        (runs == 1 ? label.firstKind : label.secondKind) = kind.kind;
        values[runs - 1] = c - kind.base;
        lengths[runs - 1] = 1;
    }
    if (runs == 0)
        return CObsNumLabel();
    label.firstValue = RunValue(values[0], label.firstKind, lengths[0]);
    if (runs == 2)
        label.secondValue = RunValue(values[1], label.secondKind, lengths[1]);
    return label;
}

int GetObsNumLabelKind(const std::wstring& text)
{
    return ParseObsNumLabel(text).firstKind;
}

CObsNumSequence::CObsNumSequence(CCourse* course, const CNumberStyle* style, bool flag, int kind)
    : m_course(course), m_style(style), m_flag(flag), m_kind(kind), m_autoNumber(kind != 0)
{
}

void CObsNumSequence::Reverse()
{
}
