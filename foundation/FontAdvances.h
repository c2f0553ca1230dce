#pragma once

#include <cstdint>

// The advance widths of the built-in font metrics (FontAdvances.cpp, made by
// tools/make-font-advances.py), in units of 2048 per em. The advance of the
// UTF-16 code unit c is
//     g_fontAdvancePages[pageMap[c >> 6]][c & 63]
// with the regular or the bold page map.
extern const int g_fontAdvancePageCount;
extern const uint8_t g_regularAdvancePageMap[1024];
extern const uint8_t g_boldAdvancePageMap[1024];
extern const uint16_t g_fontAdvancePages[][64];
