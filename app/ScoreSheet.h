#pragma once

// The score-sheet footer drawn under the ring of organisation 5.
class CScoreSheet
{
public:
    // The sheet's height for a width: six lines of a font 0.018 x width
    // high, less one ascent, rounded up.
    static float GetHeight(float width);
};
