#include "foundation/Numeric.h"

#include <cmath>

float RoundHalfUp(float value)
{
    return std::floor(value + 0.5f);
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
