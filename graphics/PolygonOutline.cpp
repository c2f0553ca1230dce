#include "graphics/PolygonOutline.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "graphics/GraphicsContext.h"

void CPolygonOutline::DrawTo(CGraphicsContext& context) const
{
    // Indexing a deque costs a division per point; its iterators do not.
    auto start = starts.begin();
    for (auto point = points.begin(); point != points.end(); ++point, ++start) {
        if (*start)
            context.MoveTo(*point);
        else
            context.LineTo(*point);
    }
}

namespace {

// Squared distance of p from the segment a-b.
float SquaredDistanceToSegment(const CPoint2& p, const CPoint2& a, const CPoint2& b)
{
    const CPoint2 ab = b - a;
    const CPoint2 ap = p - a;
    const float lengthSquared = ab.x * ab.x + ab.y * ab.y;
    float t = lengthSquared > 0.0f ? (ap.x * ab.x + ap.y * ab.y) / lengthSquared : 0.0f;
    t = std::min(1.0f, std::max(0.0f, t));
    const CPoint2 d = ap - ab * t;
    return d.x * d.x + d.y * d.y;
}

// The point of loop[first + 1, last) farthest from the segment from
// loop[first] to loop[last] (the end n standing for the first point again),
// and its squared distance; first when the span holds no point.
std::pair<size_t, float> FindFarthest(const std::vector<CPoint2>& loop, size_t first, size_t last)
{
    const CPoint2& a = loop[first];
    const CPoint2& b = loop[last % loop.size()];
    std::pair<size_t, float> farthest = {first, -1.0f};
    for (size_t i = first + 1; i < last; ++i) {
        const float squared = SquaredDistanceToSegment(loop[i], a, b);
        if (squared > farthest.second)
            farthest = {i, squared};
    }
    return farthest;
}

// Marks in keep the points of the closed loop to stay: the first one, the
// one farthest from it and, between each two kept neighbours, the farthest
// from their segment while it lies beyond the tolerance.
void MarkKeptPoints(const std::vector<CPoint2>& loop, float toleranceSquared, std::vector<bool>& keep)
{
    const size_t n = loop.size();
    keep.assign(n, n < 4);
    if (n < 4)
        return;
    size_t farIndex = 0;
    float farthest = -1.0f;
    for (size_t i = 1; i < n; ++i) {
        const CPoint2 d = loop[i] - loop[0];
        const float squared = d.x * d.x + d.y * d.y;
        if (squared > farthest) {
            farthest = squared;
            farIndex = i;
        }
    }
    keep[0] = keep[farIndex] = true;
    size_t kept = 2;
    std::vector<std::pair<size_t, size_t>> spans = {{0, farIndex}, {farIndex, n}};
    while (!spans.empty()) {
        const auto [first, last] = spans.back();
        spans.pop_back();
        const auto [worst, squared] = FindFarthest(loop, first, last);
        if (worst == first || squared <= toleranceSquared)
            continue;
        keep[worst] = true;
        ++kept;
        spans.push_back({first, worst});
        spans.push_back({worst, last});
    }
    // Two points left would enclose nothing: the point farthest from their
    // segment stays as well.
    if (kept == 2) {
        const auto before = FindFarthest(loop, 0, farIndex);
        const auto after = FindFarthest(loop, farIndex, n);
        keep[before.second >= after.second ? before.first : after.first] = true;
    }
}

}  // namespace

void CPolygonOutline::Simplify(float tolerance)
{
    const float toleranceSquared = tolerance * tolerance;
    std::deque<CPoint2> keptPoints;
    std::deque<bool> keptStarts;
    std::vector<CPoint2> loop;
    std::vector<bool> keep;
    for (size_t start = 0; start < points.size();) {
        size_t end = start + 1;
        while (end < points.size() && !starts[end])
            ++end;
        loop.assign(points.begin() + std::ptrdiff_t(start), points.begin() + std::ptrdiff_t(end));
        MarkKeptPoints(loop, toleranceSquared, keep);
        for (size_t i = 0; i < loop.size(); ++i) {
            if (!keep[i])
                continue;
            keptPoints.push_back(loop[i]);
            keptStarts.push_back(i == 0);
        }
        start = end;
    }
    points.swap(keptPoints);
    starts.swap(keptStarts);
}

void CPolygonOutline::Clear()
{
    points.clear();
    starts.clear();
}

size_t CPolygonOutline::GetLoopCount() const { return size_t(std::count(starts.begin(), starts.end(), true)); }
