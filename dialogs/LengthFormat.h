#pragma once

#include <string>

// Lengths as text. Unit kinds: 1 inches, 2 feet and inches, 3 feet, 4 yards,
// 5 decimal feet, 6 centimetres, 7 metres. The unit words are the first
// spellings of texts 2023 to 2027; a word other than the inch and foot marks
// follows the number after a space.

// A length in tenths of an inch, rounded to the unit's step: whole inches,
// feet and inches (always with the foot word), whole feet, yards and metres
// with one decimal below 100 (whole above), feet with one decimal, whole
// centimetres. The decimal separator is the user's. An unknown kind is
// reported and gives what was written so far.
std::wstring FormatLength(float tenths, int kind, bool withUnit);

// Whether a unit kind is metric (6 and 7). A kind outside 1 to 7 is
// reported and answers false.
bool IsMetricUnitKind(int kind);

// A measured length as the labels of lines and paths show it: metres
// without a word on a metric course; otherwise the US kind given, with its
// word only for feet and inches, feet and decimal feet.
std::wstring FormatMeasuredLength(float tenths, bool metric, int usKind);
