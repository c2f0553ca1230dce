#pragma once

#include <cstdint>

#include "foundation/ColorTable.h"

// The strong, mutually distinct colours the dog path's markers are drawn
// in, one after another: chosen once from the program's palette
// (CColorPalette) among the strong reddish chooser colours (red at least 128,
// no grey, no pale entry, a channel sum near a multiple of 128), each the
// one farthest from black, blue, green, the grass and every colour chosen
// before it (greedy max-min, the earliest on a tie). The table's order is
// the order they are handed out in.
class CPathColorPalette : public CColorTable
{
public:
    static const CPathColorPalette& GetInstance();

    // The index after i, back to 0 after the last (and from any index out
    // of range).
    int NextIndex(int index) const;

    // The colours the choice keeps away from (red in bits 0-7).
    static constexpr uint32_t kBlack = 0xFF000000u;
    static constexpr uint32_t kBlue = 0xFFFF0000u;
    static constexpr uint32_t kGreen = 0xFF00FF00u;
    static constexpr uint32_t kGrass = 0xFF1C7D28u;

private:
    CPathColorPalette();
    // The nearest, in squared colour distance, of the references and the
    // colours chosen so far.
    int MinDistance(uint32_t color) const;
};
