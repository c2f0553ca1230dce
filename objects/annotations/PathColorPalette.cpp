#include "objects/annotations/PathColorPalette.h"

#include <algorithm>
#include <deque>

#include "course/ColorPalette.h"
#include "foundation/Rgba.h"
#include "foundation/TracePoint.h"

CPathColorPalette::CPathColorPalette() : CColorTable(256)
{
    TRACE_POINT();
    const CColorPalette& palette = CColorPalette::GetInstance();
    std::deque<int> candidates;
    for (int i = 0; i < palette.GetCount(); ++i) {
        const uint32_t c = palette[i];
        const uint32_t r = GetRed(c), g = GetGreen(c), b = GetBlue(c);
        const uint32_t s = (r + g + b) % 128;
        if (!palette.IsPaleChooserIndex(i) && palette.IsChooserIndex(i) && r >= 128 && (b != r || g != r) &&
            (s <= 2 || s >= 126))
            candidates.push_back(i);
    }
    while (!candidates.empty()) {
        auto best = candidates.begin();
        int bestScore = 0;
        for (auto it = candidates.begin(); it != candidates.end(); ++it) {
            const int score = MinDistance(palette[*it]);
            if (score > bestScore) {
                bestScore = score;
                best = it;
            }
        }
        Add(palette[*best]);
        candidates.erase(best);
    }
}

const CPathColorPalette& CPathColorPalette::GetInstance()
{
    static const CPathColorPalette palette;
    return palette;
}

int CPathColorPalette::MinDistance(uint32_t color) const
{
    int nearest = ColorDistanceSquared(color, kBlack);
    for (uint32_t reference : {kBlue, kGreen, kGrass})
        nearest = std::min(nearest, ColorDistanceSquared(color, reference));
    for (uint32_t chosen : GetColors())
        nearest = std::min(nearest, ColorDistanceSquared(color, chosen));
    return nearest;
}

int CPathColorPalette::NextIndex(int index) const
{
    return index >= 0 && index < GetCount() - 1 ? index + 1 : 0;
}
