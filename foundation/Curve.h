#pragma once

#include "foundation/Geometry.h"

// One cubic Bezier segment of the plan: ends p0 and p3, inner control points
// p1 and p2. Parameters run from 0 to 1. At t = 0, 0.25, 0.5, 0.75 and 1 the
// curve is evaluated from fixed weight tables, so a point asked for there is
// the same bit for bit wherever it is asked for.
struct CCurveGeometry
{
    CPoint2 p0;
    CPoint2 p1;
    CPoint2 p2;
    CPoint2 p3;

    CPoint2 GetPoint(float t) const;
    CPoint2 GetTangent(float t) const;
    // Fills the outputs that are not null: B(t), B'(t), B''(t).
    void Evaluate(float t, CPoint2* point, CPoint2* first, CPoint2* second) const;
    // Signed curvature cross(B', B'') / |B'|^3; 0 where |B'| is below 1e-15.
    float GetCurvature(float t) const;
    // Arc length by Boole's rule over the quarter points.
    float GetLength() const;
    // How far the inner control points stray from the chord.
    float GetFlatness() const;
    // The part between t0 and t1, both taken into [0, 1].
    CCurveGeometry GetSubCurve(float t0, float t1) const;
    // Runs the curve backwards: p3, p2, p1, p0.
    void Reverse();
    // Places p1 and p2 so that a chain of segments runs smoothly through its
    // ends: start is the point before p0, end the point after p3, each null
    // when there is none. With neither the segment is straight.
    void SetHandles(const CPoint2* start, const CPoint2* end);
};

// The control point next to anchor a of a segment from a to e, with d the
// neighbouring point on the far side of a; e itself when d or e coincides
// with a.
CPoint2 ComputeHandle(const CPoint2& a, const CPoint2& e, const CPoint2& d);

// p1 moved on by a third of the chord p0-p2; when that lands exactly on p2,
// p1 (or p0 when p1 is p2 too).
CPoint2 ComputeCurveControlPoint(const CPoint2& p0, const CPoint2& p1, const CPoint2& p2);
