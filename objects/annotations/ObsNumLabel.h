#pragma once

#include <cstdint>
#include <string>

// An obstacle-number label taken apart: a first run and an optional second
// run of one kind each (0 invalid, 1 digits, 2 capital letters, 3 small
// letters) with zero-based values ("1" is 0, "A" is 0, "AA" is 26). A label
// that is not one or two such runs is invalid: all zero.
struct CObsNumLabel
{
    int32_t firstKind = 0;
    int32_t secondKind = 0;
    int32_t firstValue = 0;
    int32_t secondValue = 0;

    bool operator==(const CObsNumLabel& other) const
    {
        return firstKind == other.firstKind && secondKind == other.secondKind && firstValue == other.firstValue &&
               secondValue == other.secondValue;
    }
    bool operator!=(const CObsNumLabel& other) const { return !(*this == other); }
};

// The largest value of a run: a label with a longer run is invalid, so that
// every value and the value after it stay far inside 32 bits.
constexpr int32_t kMaxObsNumRunValue = 999999;

// Full-width forms read as their ASCII characters.
CObsNumLabel ParseObsNumLabel(const std::wstring& text);
// The kind of the label's first run; 0 for an invalid label.
int GetObsNumLabelKind(const std::wstring& text);

// Puts the text of one run in front of text: digits give the decimal number
// of value + 1 (so -1 gives "0"), letters count in bijective base 26. A kind
// outside 1..3, or a value below what the kind can show, is reported and
// adds nothing.
void FormatLabelRun(std::wstring& text, int kind, int32_t value);
// The first run followed by the second, when there is one. An invalid label
// (first kind 0) is reported and gives an empty text.
std::wstring FormatObsNumLabel(const CObsNumLabel& label);
