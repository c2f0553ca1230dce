#pragma once

#include <cmath>
#include <ostream>

#include "foundation/Numeric.h"

// Small float value types of the plan view (y grows downwards) and of 3D
// (y grows upwards), and the scalar helpers computed with them. Rectangles
// are in Rect.h, boxes in Box.h, colours in Rgba.h.

// A 2D point or vector.
struct CPoint2
{
    float x = 0.0f;
    float y = 0.0f;

    CPoint2() = default;
    CPoint2(float x_, float y_) : x(x_), y(y_) {}

    float Length() const { return Hypot(x, y); }

    CPoint2 operator+(const CPoint2& o) const { return {x + o.x, y + o.y}; }
    CPoint2 operator-(const CPoint2& o) const { return {x - o.x, y - o.y}; }
    CPoint2 operator*(float f) const { return {x * f, y * f}; }
    CPoint2 operator/(float f) const { return {x / f, y / f}; }
};

// Float comparison of both coordinates: a NaN coordinate never matches.
inline bool operator==(const CPoint2& a, const CPoint2& b) { return a.x == b.x && a.y == b.y; }
inline bool operator!=(const CPoint2& a, const CPoint2& b) { return !(a == b); }

inline bool IsFinite(const CPoint2& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// A 2D extent.
struct CSize2
{
    float width = 0.0f;
    float height = 0.0f;

    CSize2() = default;
    CSize2(float width_, float height_) : width(width_), height(height_) {}
};

inline bool operator==(const CSize2& a, const CSize2& b)
{
    return a.width == b.width && a.height == b.height;
}

// A 3D point or vector.
struct CVector3
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    CVector3() = default;
    CVector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    float Length() const { return Hypot(x, Hypot(y, z)); }
    // Makes the vector one unit long; a zero (or not finite) length is
    // reported and leaves the vector as it was.
    void Normalize();
};

inline bool operator==(const CVector3& a, const CVector3& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

inline bool IsFinite(const CVector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The largest size of the aspect's proportions that fits into width x height.
CSize2 FitSizeKeepingAspect(const CSize2& aspect, float width, float height);

// The other leg of a right triangle: sqrt(a^2 - b^2); 0 when b is longer than
// the hypotenuse a.
float LegFromHypotenuse(float a, float b);

// a / b rounded half up: floor((a + b/2) / b), for b > 0. A zero divisor is
// reported and gives 0.
int DivideRounded(int a, int b);

// A local frame in the plan: local y runs along the direction, local x along
// (direction y, -direction x), so local x is the signed distance from the line
// through the origin. The direction need not be a unit vector; its length is
// divided out. A zero direction is reported by every mapping, which then
// gives its input back unchanged.
class CRotationFrame
{
public:
    CRotationFrame() = default;
    CRotationFrame(float originX, float originY, float directionX, float directionY);

    CPoint2 RotateVector(float x, float y) const;
    CPoint2 ToWorld(float x, float y) const;
    CPoint2 ToLocalVector(float x, float y) const;
    CPoint2 ToLocal(float x, float y) const;

    CPoint2 RotateVector(const CPoint2& v) const { return RotateVector(v.x, v.y); }
    CPoint2 ToWorld(const CPoint2& p) const { return ToWorld(p.x, p.y); }
    CPoint2 ToLocalVector(const CPoint2& v) const { return ToLocalVector(v.x, v.y); }
    CPoint2 ToLocal(const CPoint2& p) const { return ToLocal(p.x, p.y); }

    CPoint2 GetDirection() const { return {m_dx, m_dy}; }
    float GetLength() const { return m_length; }
    CPoint2 GetOrigin() const { return {m_originX, m_originY}; }

private:
    bool HasLength() const;

    float m_dx = 0.0f;
    float m_dy = 1.0f;
    float m_length = 1.0f;
    float m_originX = 0.0f;
    float m_originY = 0.0f;
};

// Crash-log value texts: "CP(x,y)" and "CS(w,h)".
void WriteTraceValue(std::ostream& out, const CPoint2& value);
void WriteTraceValue(std::ostream& out, const CSize2& value);
