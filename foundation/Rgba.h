#pragma once

#include <cstdint>
#include <ostream>

// Colours are 32-bit values: red in bits 0-7, green 8-15, blue 16-23 and
// alpha 24-31, so the low 24 bits are a Windows COLORREF.

inline uint32_t GetRed(uint32_t color) { return color & 0xFF; }
inline uint32_t GetGreen(uint32_t color) { return (color >> 8) & 0xFF; }
inline uint32_t GetBlue(uint32_t color) { return (color >> 16) & 0xFF; }
inline uint32_t GetAlpha(uint32_t color) { return color >> 24; }
inline uint32_t MakeRgba(uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha)
{
    return (red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16 | (alpha & 0xFF) << 24;
}

// The foreground laid over the background by the foreground's alpha; an
// opaque background gives an opaque result.
uint32_t BlendColorOver(uint32_t foreground, uint32_t background);

// The sum of the squared differences of all four channels.
int ColorDistanceSquared(uint32_t a, uint32_t b);

// A colour as a crash-log value: TRACE_VALUE(CRgba, color) writes
// "RGBA(r,g,b,a)" with each channel in decimal.
struct CRgba
{
    uint32_t value = 0;

    CRgba() = default;
    CRgba(uint32_t value_) : value(value_) {}
};

void WriteTraceValue(std::ostream& out, const CRgba& value);
