#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/FontMetrics.h"

// The formats of formatted text: character cells with their attributes, and
// the format every paragraph carries.
namespace FmtText {

// One character of a text with its attributes: the UTF-16 unit in the low 16
// bits, the attribute identifier in the high 16.
using Cell = uint32_t;
using Cells = std::vector<Cell>;

const wchar_t kParagraphMark = 10;
const wchar_t kTab = 9;
const wchar_t kSpace = 32;

inline wchar_t CellChar(Cell cell) { return wchar_t(cell & 0xFFFF); }
inline uint16_t CellAttributeId(Cell cell) { return uint16_t(cell >> 16); }

// Gives the cell the identifier of the attributes, entering them in the
// program-wide table when they are new. Equal attributes always get the
// same identifier; the table never shrinks. Once it holds 65536 values a
// new one is reported and gets identifier 0.
void InternAttributes(Cell& cell, const CFontMetrics& attributes);
// The attributes of an identifier; one never handed out is reported and
// answered with the first entry (or a default when there is none).
const CFontMetrics& LookUpAttributes(uint16_t id);
// A cell of the character with the attributes.
Cell MakeCell(wchar_t ch, const CFontMetrics& attributes);
inline const CFontMetrics& CellAttributes(Cell cell) { return LookUpAttributes(CellAttributeId(cell)); }
// The font size's integer part (toward zero), which is what the stream
// stores and what uniformity tests compare.
int32_t WholeSize(const CFontMetrics& attributes);

// A range 0 <= from <= to <= length; any other is reported and cut to it.
void CheckRange(int& from, int& to, int length);

// Blanks end lines: spaces and the paragraph mark. Every other character,
// the tab included, is visible.
inline bool IsBlank(wchar_t ch) { return ch == kSpace || ch == kParagraphMark; }

}  // namespace FmtText

enum EAlignment : int32_t
{
    kAlignLeft = 0,
    kAlignCentre = 1,
    kAlignRight = 2,
};

// A stored alignment code (0-2); anything else is no alignment.
inline bool IsAlignment(int32_t value) { return value >= kAlignLeft && value <= kAlignRight; }

// What every paragraph carries besides its characters.
struct CParagraphFormat
{
    // Everything but the interval 0 or empty; an interval below 1 is
    // reported (and kept: the tab rule then falls back to 1).
    explicit CParagraphFormat(int32_t interval);

    // Where a tab that starts at x ends: the first stop (in list order) that
    // lies beyond x plus the width of a space, else the next multiple of the
    // interval beyond that point.
    float GetTabEnd(float x, float spaceWidth) const;

    EAlignment alignment = kAlignLeft;
    // 0: lines are not wrapped.
    int32_t wrapWidth = 0;
    // The width centred and right-aligned lines are aligned within.
    float layoutWidth = 0.0f;
    int32_t tabInterval;
    // Kept in increasing order by the callers.
    std::vector<int32_t> tabStops;
};
