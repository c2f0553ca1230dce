#pragma once

#include <cstdint>
#include <string>

// How a length is written: the number of each kind is the one the settings
// and the course file store (the US coordinate units are 2, 3 or 5). The
// unit words are the first spellings of texts 2023 to 2027; a word other
// than the inch and foot marks follows the number after a space.
enum class EUnitKind
{
    // No unit: a bare number, or values that differ.
    kNone = 0,
    kInches = 1,
    kFeetAndInches = 2,
    kFeet = 3,
    kYards = 4,
    kDecimalFeet = 5,
    kCentimetres = 6,
    kMetres = 7,
};

// A length in tenths of an inch, rounded to the unit's step: whole inches,
// feet and inches (always with the foot word), whole feet, yards and metres
// with one decimal below 100 (whole above), feet with one decimal, whole
// centimetres. The decimal separator is the user's. An unknown kind is
// reported and gives what was written so far.
std::wstring FormatLength(float tenths, EUnitKind kind, bool withUnit);

// The kind an obstacle's size text is written in: centimetres on a metric
// course, feet and inches otherwise.
inline EUnitKind GetSizeUnitKind(bool metric)
{
    return metric ? EUnitKind::kCentimetres : EUnitKind::kFeetAndInches;
}

// Whether a unit kind is metric (centimetres and metres). An unknown kind is
// reported and answers false.
bool IsMetricUnitKind(EUnitKind kind);

// A measured length as the labels of lines and paths show it: metres
// without a word on a metric course; otherwise the US kind given, with its
// word only for feet and inches, feet and decimal feet.
std::wstring FormatMeasuredLength(float tenths, bool metric, EUnitKind usKind);

// What a typed length reads as.
enum class ELengthText
{
    kNotALength = 0,
    kWholeNumber = 1,
    kDecimalNumber = 2,
    kLength = 3,
};

struct CParsedLength
{
    ELengthText result = ELengthText::kNotALength;
    // A whole number as it is, a decimal number in hundredths, a length in
    // tenths of an inch; 0 for no length.
    int64_t value = 0;
    // The unit of a length (kFeetAndInches for feet followed by inches);
    // kNone otherwise.
    EUnitKind kind = EUnitKind::kNone;
};

// Reads what a user typed: an optional "-", a number with at most one
// decimal separator ("." or ","), then an optional unit word, any spelling
// of texts 2023 to 2027 in any case, with or without a final ".". Feet may
// be followed by inches or a bare number of inches ("5' 6"", "5 ft 6").
// Full-width forms read as their ASCII letters. Without a unit word the
// number is the answer, whatever follows it ("12 3" is 12). Not a length:
// an unknown word, text after a unit other than feet, more than 9 digits
// before the separator. Digits after the sixth decimal are ignored.
CParsedLength ParseLength(const std::wstring& text);
