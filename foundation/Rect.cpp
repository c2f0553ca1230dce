#include "foundation/Rect.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "foundation/Numeric.h"

CRectF CRectF::FromRangesFlipY(const CBox3& box)
{
    return {box.minX, -box.maxY, box.maxX, -box.minY};
}

void CRectF::Include(float x, float y)
{
    if (x < left)
        left = x;
    else if (x > right)
        right = x;
    if (y < top)
        top = y;
    else if (y > bottom)
        bottom = y;
}

CPoint2 CRectF::ClampPoint(float x, float y) const
{
    return {Clamp(x, left, right), Clamp(y, top, bottom)};
}

void CRectF::RoundOutward()
{
    left = std::floor(left);
    top = std::floor(top);
    right = std::ceil(right);
    bottom = std::ceil(bottom);
}

void CRectF::Normalize()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

bool CRectF::Intersect(const CRectF& a, const CRectF& b)
{
    CRectF result(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom));
    if (result.IsEmpty())
        result = CRectF();
    *this = result;
    return !result.IsEmpty();
}

bool CRectF::Union(const CRectF& a, const CRectF& b)
{
    CRectF result;
    if (a.IsEmpty())
        result = b;
    else if (b.IsEmpty())
        result = a;
    else
        result = CRectF(std::min(a.left, b.left), std::min(a.top, b.top),
                        std::max(a.right, b.right), std::max(a.bottom, b.bottom));
    if (result.IsEmpty())
        result = CRectF();
    *this = result;
    return !result.IsEmpty();
}

void WriteTraceValue(std::ostream& out, const CRectF& value)
{
    out << "CR(" << value.left << "," << value.top << "," << value.right << "," << value.bottom
        << ")";
}
