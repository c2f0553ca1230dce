#include "foundation/Numeric.h"

#include <cmath>

float RoundHalfUp(float value)
{
    const float half = value + 0.5f;
    // Below 2^23 the floor comes from a conversion to an integer, which the
    // processor does directly (floor is a library call on this target);
    // larger values are whole already, and NaN and infinities go to floor.
    if (!(std::fabs(half) < 8388608.0f))
        return std::floor(half);
    const float whole = float(int32_t(half));
    return whole > half ? whole - 1.0f : whole;
}

int32_t SaturateToInt32(float value)
{
    if (value >= 2147483648.0f)
        return INT32_MAX;
    if (value < -2147483648.0f)
        return INT32_MIN;
    return value == value ? int32_t(value) : 0;
}

float Clamp(float value, float low, float high)
{
    if (value < low)
        return low;
    return value > high ? high : value;
}

float NormalizeAngleDegrees(float degrees)
{
    // Most angles are in range already, and for them the sum below gives
    // them back as they are; every product of two transforms asks.
    if (degrees > -180.0f && degrees <= 180.0f)
        return degrees;
    const float turns = std::trunc(degrees / 360.0f);
    const float rest = degrees - turns * 360.0f;
    if (rest > 180.0f)
        return rest - 360.0f;
    if (rest <= -180.0f)
        return rest + 360.0f;
    return rest;
}

float Sinc(float x)
{
    if (x >= -0.0001f && x <= 0.0001f)
        return 1.0f;
    return float(std::sin(double(x))) / x;
}
