#pragma once

#include <cstdint>
#include <deque>

#include "foundation/Geometry.h"

// A sequence of plan points that knows the arc length from its first point
// to each point and picks, among its points, the few that describe its
// shape: the fixed points. Free-hand strokes become path nodes through it,
// and the polyline tunnel thins its outline with it.
//
// Walk the kept points from NextFixed(-1) while the index is below
// GetCount(). Lengths are stale after AddPoint, SetPoint or RemovePoint
// until the next UpdateLengths.
class CPolyline
{
public:
    // Why a point is fixed.
    enum EFixedKind : int32_t
    {
        kFree = 0,
        kFixedByCaller = 1,
        kFixedEnd = 2,
        kKeptByThinning = 3,
    };

    void AddPoint(float x, float y, bool fixed);
    // An index out of range is reported and nothing changes; GetPoint then
    // answers (0, 0) and GetFixedKind kFree.
    void RemovePoint(int index);
    CPoint2 GetPoint(int index) const;
    EFixedKind GetFixedKind(int index) const;
    void SetPoint(int index, float x, float y);
    void SetFixed(int index, bool fixed);
    // The arc length from the first point; 0 out of range (reported).
    float GetLength(int index) const;

    int GetCount() const { return int(m_points.size()); }
    int GetFixedCount() const { return m_fixedCount; }
    // The first fixed index above max(index, -1); the count when none.
    int NextFixed(int index) const;
    // The last fixed index below min(index, count); -1 when none.
    int PrevFixed(int index) const;

    // Measures the arc lengths, fixes both ends and thins: wherever the
    // points between two neighbouring fixed points stray more than the
    // tolerance from the smooth curve through those two, the free point
    // nearest the middle of the span (by length) is kept, until every span
    // fits. With keepBetweenFixed, a span between two caller-fixed points
    // keeps its middle point in the first pass even when it fits. A negative
    // tolerance is reported and used.
    void UpdateLengths(float tolerance, bool keepBetweenFixed);

private:
    struct CPointRecord
    {
        float x = 0.0f;
        float y = 0.0f;
        EFixedKind kind = kFree;
        float length = 0.0f;
    };

    bool IsValidIndex(int index) const;
    void SetKind(CPointRecord& point, EFixedKind kind);
    // One pass over the spans; whether some span failed.
    bool ThinPass(float tolerance, bool keepBetweenFixed);
    // Whether the free points between fixed points a and b lie within the
    // tolerance of the curve from a to b with the direction points before
    // and after (-1 and the count for none); candidate gets the free point
    // nearest the middle.
    bool SpanFits(int before, int a, int b, int after, float tolerance, int& candidate) const;

    std::deque<CPointRecord> m_points;
    int m_fixedCount = 0;
};
