#pragma once

#include "foundation/Box.h"
#include "foundation/Geometry.h"
#include "foundation/Rect.h"

// A placement: a 4x4 float matrix restricted to a rotation times a uniform
// scale plus a translation. Points are row vectors, so rows 0 to 2 are the
// images of the X, Y and Z unit vectors and elements 12, 13, 14 hold the
// translation; elements 3, 7, 11 stay 0 and element 15 stays 1. Rows 0 to 2
// remain orthogonal and each as long as the scale, which lets the inverse be
// the transpose divided by the scale squared.
//
// Beside the matrix it keeps the scale and the angle about Z in degrees, in
// (-180, 180]; the angle is exact while the matrix turns about Z only.
//
// The plan has y pointing down and the matrix works y-up, so every 2D
// operation maps (x, y) as the 3D point (x, -y, 0) and gives back (x', -y').
class CTransform
{
public:
    CTransform() { SetIdentity(); }
    // A copy, or with invert set the inverse.
    CTransform(const CTransform& t, bool invert);
    // Applies b first, then a.
    CTransform(const CTransform& a, const CTransform& b) { SetProduct(a, b); }
    CTransform(const CTransform&) = default;
    CTransform& operator=(const CTransform&) = default;

    void SetIdentity();
    // This := the transform that applies b first, then a.
    void SetProduct(const CTransform& a, const CTransform& b);
    // Applies other first, then this.
    void Multiply(const CTransform& other) { SetProduct(*this, other); }

    // The 16 elements compared bit for bit (so 0 and -0 differ); the scale
    // and the angle are not compared.
    bool operator==(const CTransform& other) const;
    bool operator!=(const CTransform& other) const { return !(*this == other); }

    const float* GetMatrix() const { return m; }
    float GetScale() const { return m_scale; }
    bool IsAngleValid() const { return m_angleValid; }

    CVector3 GetTranslation() const { return {m[12], m[13], m[14]}; }
    CPoint2 GetPosition2D() const { return {m[12], -m[13]}; }
    // The rotation angle in degrees and, when asked for, its unit axis, which
    // always points into the upper half-space (z >= 0).
    float GetRotation(CVector3* axis = nullptr) const;

    // Inline: every point of every drawing and every object read comes
    // through them.
    CVector3 TransformPoint(const CVector3& p) const
    {
        const CVector3 v = TransformVector(p);
        return {v.x + m[12], v.y + m[13], v.z + m[14]};
    }
    CVector3 TransformVector(const CVector3& v) const
    {
        return {v.x * m[0] + v.y * m[4] + v.z * m[8], v.x * m[1] + v.y * m[5] + v.z * m[9],
                v.x * m[2] + v.y * m[6] + v.z * m[10]};
    }
    CPoint2 TransformPoint2D(float x, float y) const
    {
        const CVector3 p = TransformPoint({x, -y, 0.0f});
        return {p.x, -p.y};
    }
    CPoint2 TransformVector2D(float x, float y) const
    {
        const CVector3 v = TransformVector({x, -y, 0.0f});
        return {v.x, -v.y};
    }
    CPoint2 TransformPoint2D(const CPoint2& p) const { return TransformPoint2D(p.x, p.y); }
    CPoint2 TransformVector2D(const CPoint2& v) const { return TransformVector2D(v.x, v.y); }

    CVector3 InverseTransformPoint(const CVector3& p) const;
    CVector3 InverseTransformVector(const CVector3& v) const;
    CPoint2 InverseTransformPoint2D(float x, float y) const;
    CPoint2 InverseTransformVector2D(float x, float y) const;
    CPoint2 InverseTransformPoint2D(const CPoint2& p) const
    {
        return InverseTransformPoint2D(p.x, p.y);
    }
    CPoint2 InverseTransformVector2D(const CPoint2& v) const
    {
        return InverseTransformVector2D(v.x, v.y);
    }

    // The axis-aligned box (rectangle) that bounds the image of the box
    // (rectangle).
    CBox3 TransformBox(const CBox3& box) const;
    CRectF TransformRect2D(const CRectF& rect) const;

    void SetTranslation(float x, float y, float z);
    void SetTranslationVector(const CVector3& v) { SetTranslation(v.x, v.y, v.z); }
    void SetPosition2D(float x, float y) { SetTranslation(x, -y, 0.0f); }
    void ClearTranslation() { SetTranslation(0.0f, 0.0f, 0.0f); }
    // Moves in the transform's own axes.
    void TranslateLocal(const CVector3& v);

    // Multiplies rows 0 to 2 and the scale by f; a factor not above 0 is
    // reported and applied all the same.
    void Scale(float f);

    // Turns about a principal axis in the transform's own frame; whole
    // multiples of 90 degrees are exact.
    void RotateX(float degrees) { RotateAxis(0, degrees); }
    void RotateY(float degrees) { RotateAxis(1, degrees); }
    void RotateZ(float degrees) { RotateAxis(2, degrees); }
    void RotateYRadians(float radians) { RotateY(radians * kDegreesPerRadian); }
    void RotateZRadians(float radians) { RotateZ(radians * kDegreesPerRadian); }
    void RotateAboutAxis(const CVector3& axis, float degrees);

    // Rows 0 to 2 := scale times identity, translation kept, angle 0.
    void ResetRotation();
    void SetRotationX(float degrees);
    void SetRotationY(float degrees);
    void SetRotationZ(float degrees);
    void SetRotationXRadians(float radians) { SetRotationX(radians * kDegreesPerRadian); }
    void SetRotationYRadians(float radians) { SetRotationY(radians * kDegreesPerRadian); }
    void SetRotationZRadians(float radians) { SetRotationZ(radians * kDegreesPerRadian); }

    static constexpr float kDegreesPerRadian = 57.29578f;

private:
    void RotateAxis(int axis, float degrees);
    // The scale squared, or 0 after reporting a scale that cannot be divided
    // by; the inverse mappings then undo the translation only.
    float GetInverseDivisor() const;

    float m[16];
    float m_scale;
    float m_angle;
    bool m_angleValid;
};
