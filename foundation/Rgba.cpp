#include "foundation/Rgba.h"

uint32_t BlendColorOver(uint32_t foreground, uint32_t background)
{
    const uint32_t a = GetAlpha(foreground);
    const auto mix = [a](uint32_t fg, uint32_t bg) { return (fg * a + bg * (255 - a)) / 255; };
    const uint32_t alpha = 255 - ((255 - GetAlpha(background)) * (255 - a)) / 255;
    return MakeRgba(mix(GetRed(foreground), GetRed(background)),
                    mix(GetGreen(foreground), GetGreen(background)),
                    mix(GetBlue(foreground), GetBlue(background)), alpha);
}

int ColorDistanceSquared(uint32_t a, uint32_t b)
{
    int sum = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        sum += d * d;
    }
    return sum;
}

void WriteTraceValue(std::ostream& out, const CRgba& value)
{
    out << "RGBA(" << GetRed(value.value) << "," << GetGreen(value.value) << ","
        << GetBlue(value.value) << "," << GetAlpha(value.value) << ")";
}
