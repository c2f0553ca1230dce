#pragma once

#include <string>

// How a length is written: the number of each kind is the one the settings
// and the course file store (the US coordinate units are 2, 3 or 5). The
// unit words are the first spellings of texts 2023 to 2027; a word other
// than the inch and foot marks follows the number after a space.
enum class EUnitKind
{
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
