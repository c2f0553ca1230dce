#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "foundation/Numeric.h"

TEST(RoundHalfUp, HalvesGoUpOnBothSidesOfZero)
{
    EXPECT_EQ(3.0f, RoundHalfUp(2.5f));
    EXPECT_EQ(-2.0f, RoundHalfUp(-2.5f));
    EXPECT_EQ(-3.0f, RoundHalfUp(-2.6f));
    EXPECT_EQ(2.0f, RoundHalfUp(2.4999f));
    EXPECT_EQ(0.0f, RoundHalfUp(-0.5f));
    EXPECT_EQ(16777216.0f, RoundHalfUp(16777216.0f));
}

TEST(RoundHalfUp, EdgesOfTheIntegerShortcut)
{
    const float inf = std::numeric_limits<float>::infinity();
    const struct
    {
        float value;
        float rounded;
    } cases[] = {
        {0.49999997f, 1.0f},           // the half added in single precision
        {-0.49999997f, 0.0f},
        {-1.5f, -1.0f},
        {-1.50000012f, -2.0f},
        {8388607.0f, 8388607.0f},      // below 2^23
        {8388607.5f, 8388608.0f},      // the sum reaches 2^23
        {-8388607.5f, -8388607.0f},
        {-8388608.0f, -8388608.0f},
        {3.0e9f, 3.0e9f},              // beyond the 32-bit range
        {-3.0e9f, -3.0e9f},
        {inf, inf},
        {-inf, -inf},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.rounded, RoundHalfUp(c.value)) << c.value;
    EXPECT_TRUE(std::isnan(RoundHalfUp(std::nanf(""))));
}

TEST(Hypot, GivesWhatTheLibraryGives)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::nanf("");
    const float values[] = {0.0f, -0.0f, 1.0f, -3.0f, 4.0f, 0.1f, 1e-20f, 1e-45f, 123456.7f, -98765.43f,
                            1e19f, 3e38f, -3.4e38f, inf, -inf, nan};
    for (float x : values) {
        for (float y : values) {
            const float expected = std::hypot(x, y);
            const float length = Hypot(x, y);
            if (std::isnan(expected))
                EXPECT_TRUE(std::isnan(length)) << x << ", " << y;
            else
                EXPECT_EQ(expected, length) << x << ", " << y;
        }
    }
    // Lengths as the program meets them: whole and quarter units of a course.
    uint32_t state = 12345;
    for (int i = 0; i < 100000; ++i) {
        state = state * 1664525u + 1013904223u;
        const float x = float(int32_t(state >> 8) % 400000) / 4.0f;
        state = state * 1664525u + 1013904223u;
        const float y = float(int32_t(state >> 8) % 400000) / 4.0f - 50000.0f;
        ASSERT_EQ(std::hypot(x, y), Hypot(x, y)) << x << ", " << y;
    }
}

TEST(Clamp, LowBelowHighAboveAndNotANumberStays)
{
    EXPECT_EQ(0.0f, Clamp(-0.5f, 0.0f, 1.0f));
    EXPECT_EQ(1.0f, Clamp(7.0f, 0.0f, 1.0f));
    EXPECT_EQ(0.25f, Clamp(0.25f, 0.0f, 1.0f));
    EXPECT_TRUE(std::isnan(Clamp(std::nanf(""), 0.0f, 1.0f)));
    // Reversed bounds: the low one wins below it, the high one above.
    EXPECT_EQ(5.0f, Clamp(3.0f, 5.0f, 1.0f));
    EXPECT_EQ(5.0f, Clamp(0.0f, 5.0f, 1.0f));
    EXPECT_EQ(1.0f, Clamp(9.0f, 5.0f, 1.0f));
}

TEST(NormalizeAngleDegrees, EdgesOfTheHalfOpenRange)
{
    EXPECT_EQ(180.0f, NormalizeAngleDegrees(180.0f));
    EXPECT_EQ(180.0f, NormalizeAngleDegrees(-180.0f));
    EXPECT_EQ(180.0f, NormalizeAngleDegrees(540.0f));
    EXPECT_EQ(-170.0f, NormalizeAngleDegrees(190.0f));
}

TEST(NormalizeAngleDegrees, WholeTurnsAreRemoved)
{
    EXPECT_EQ(0.0f, NormalizeAngleDegrees(0.0f));
    EXPECT_EQ(0.0f, NormalizeAngleDegrees(720.0f));
    EXPECT_EQ(90.0f, NormalizeAngleDegrees(-270.0f));
    EXPECT_EQ(-90.0f, NormalizeAngleDegrees(270.0f));
    EXPECT_EQ(-179.0f, NormalizeAngleDegrees(-179.0f));
    EXPECT_EQ(-179.0f, NormalizeAngleDegrees(-179.0f - 3600.0f));
    EXPECT_EQ(45.0f, NormalizeAngleDegrees(45.0f + 3600.0f));
}

TEST(Sinc, ExactlyOneNearZero)
{
    EXPECT_EQ(1.0f, Sinc(0.0f));
    EXPECT_EQ(1.0f, Sinc(0.0001f));
    EXPECT_EQ(1.0f, Sinc(-0.0001f));
}

TEST(Sinc, QuotientElsewhere)
{
    EXPECT_FLOAT_EQ(float(std::sin(0.5)) / 0.5f, Sinc(0.5f));
    EXPECT_NEAR(2.0f / 3.14159265f, Sinc(3.14159265f / 2.0f), 1e-6f);
    EXPECT_NEAR(0.0f, Sinc(3.14159265f), 1e-6f);
    EXPECT_EQ(Sinc(1.25f), Sinc(-1.25f));
    EXPECT_LT(Sinc(0.001f), 1.0f);
}
