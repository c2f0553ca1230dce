#pragma once

#include <cmath>
#include <cstdint>

// floor(value + 0.5): the whole number that positions, angles and handle
// points are rounded to.
float RoundHalfUp(float value);

// The value truncated to a 32-bit integer: INT32_MAX or INT32_MIN beyond
// that range, 0 for a value that is not a number.
int32_t SaturateToInt32(float value);

// The value limited to [low, high]: low when below it, else high when above
// it; a value that is not a number stays one.
float Clamp(float value, float low, float high);

// An angle in degrees brought into (-180, 180].
float NormalizeAngleDegrees(float degrees);

// sin(x) / x, exactly 1 for |x| up to 0.0001 (where the quotient loses precision).
float Sinc(float x);

// The length of (x, y), as std::hypot gives it but without its library call
// (a slow one on this target): the squares are exact in double and their sum
// is rounded once. A NaN beside an infinity goes to std::hypot, which says
// infinity.
inline float Hypot(float x, float y)
{
    const float length = float(std::sqrt(double(x) * x + double(y) * y));
    return length == length ? length : std::hypot(x, y);
}
