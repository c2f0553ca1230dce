#pragma once

#include <gtest/gtest.h>

#include "foundation/Box.h"
#include "foundation/Geometry.h"

// Expectations that every coordinate lies within the tolerance of the
// expected one. Plan points are compared to a thousandth of a unit unless
// the test asks for more.

inline void ExpectNear(const CPoint2& expected, const CPoint2& actual, float tolerance = 1e-3f)
{
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
}

inline void ExpectNear(const CVector3& expected, const CVector3& actual, float tolerance = 1e-4f)
{
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}

inline void ExpectNear(const CBox3& expected, const CBox3& actual, float tolerance = 1e-4f)
{
    EXPECT_NEAR(expected.minX, actual.minX, tolerance);
    EXPECT_NEAR(expected.maxX, actual.maxX, tolerance);
    EXPECT_NEAR(expected.minY, actual.minY, tolerance);
    EXPECT_NEAR(expected.maxY, actual.maxY, tolerance);
    EXPECT_NEAR(expected.minZ, actual.minZ, tolerance);
    EXPECT_NEAR(expected.maxZ, actual.maxZ, tolerance);
}
