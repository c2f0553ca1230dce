#pragma once

#include <ostream>

#include "foundation/Box.h"
#include "foundation/Geometry.h"

// A float rectangle of the plan view (y grows downwards). It is empty when
// left is at least right or top at least bottom; the zero rectangle is the
// empty result of Intersect and Union.
struct CRectF
{
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;

    CRectF() = default;
    CRectF(float left_, float top_, float right_, float bottom_)
        : left(left_), top(top_), right(right_), bottom(bottom_)
    {
    }

    // Turns the x and y ranges of a y-up box into a y-down rectangle:
    // {minX, -maxY, maxX, -minY}.
    static CRectF FromRangesFlipY(const CBox3& box);

    float Width() const { return right - left; }
    float Height() const { return bottom - top; }
    CPoint2 GetCentre() const { return {(left + right) * 0.5f, (top + bottom) * 0.5f}; }
    bool IsEmpty() const { return left >= right || top >= bottom; }

    // Moves at most one edge per axis: left when x lies left of it, else
    // right when x lies right of it; likewise top and bottom.
    void Include(float x, float y);
    void Include(const CPoint2& p) { Include(p.x, p.y); }
    CPoint2 ClampPoint(float x, float y) const;
    CPoint2 ClampPoint(const CPoint2& p) const { return ClampPoint(p.x, p.y); }
    // Floors left and top, ceils right and bottom.
    void RoundOutward();
    // Swaps reversed edges.
    void Normalize();

    // Each returns whether the result is not empty; an empty result is the
    // zero rectangle.
    bool Intersect(const CRectF& a, const CRectF& b);
    bool Union(const CRectF& a, const CRectF& b);
};

inline bool operator==(const CRectF& a, const CRectF& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const CRectF& a, const CRectF& b) { return !(a == b); }

// Crash-log value text: "CR(left,top,right,bottom)".
void WriteTraceValue(std::ostream& out, const CRectF& value);
