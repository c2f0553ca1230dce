#pragma once

#include <iosfwd>
#include <vector>

#include "course/CourseObject.h"
#include "foundation/BlockPool.h"
#include "foundation/Geometry.h"

class CGraphicsContext;
struct CCurveGeometry;

// The points of a path, in the block pool (courses hold paths by the
// thousand).
using CPathPoints = std::vector<CPoint2, CPoolAllocator<CPoint2>>;

// The base of the measured paths (the dog path and the handler or judge
// path): objects the user places by drawing. The press creates the path at
// the press point; every mouse move while placing adds a point to a
// free-hand stroke about the placement; the release thins the stroke
// (CPolyline, GetDefaultSpacing) and hands the kept points to the subclass
// through HitPoint, which makes its nodes of them.
//
// The base also draws a stroke still being drawn, draws the arrowed last
// segment both paths end in, and reads the curve form of the legacy course
// text both paths share.
class CCoursePath : public CCourseObject
{
public:
    CCoursePath() = default;

    int GetCategory() const override { return 3; }
    // The centre of the bounds (GetBoundsCentre), as for the tunnel.
    CPoint2 GetPosition() const override { return GetBoundsCentre(); }
    int GetLayer() const override { return 5; }
    bool IsHidable() const override { return true; }
    // Placing begins: the stroke restarts at the placement (the press).
    void StartMove(float x, float y) override;
    // While placing, appends the course point (x, y) to the stroke, taken
    // about the placement, unless it repeats the last one; otherwise the
    // path moves as a whole.
    void Move(float x, float y) override;
    // Placing ends: a stroke of one point gets a second kClickLength to its
    // right; a stroke that never left kDragDistance of its start offers the
    // drawing hint; the stroke is thinned and its kept points become nodes
    // through HitPoint, in stroke order, and the stroke is emptied.
    void EndMove() override;
    // The stroke as an open line (a one-point stroke as a line of 1.0 so
    // that the click point shows), in the colours the caller set.
    void Draw2D(CGraphicsContext& context) override;

    // The tolerance with which a stroke is thinned into nodes.
    virtual float GetDefaultSpacing() const = 0;
    // Appends one node at (x, y) of the path's local frame.
    virtual void HitPoint(float x, float y) = 0;

    // One cubic segment ending in an arrowhead of kArrowLength at p3 along
    // the end tangent: the line stops kArrowInset short of the tip when the
    // tangent is longer than kMinInsetTangent, and is appended to the open
    // path, which is then ended; no head when the tangent has no length.
    static void DrawArrowSegment(CGraphicsContext& context, const CCurveGeometry& curve);
    // Reads the legacy curve form of `count` points (whole inches in pairs):
    // the first point, then per cubic segment its two control points and its
    // end, of which the points at t = 1/3 and 2/3 and the end become nodes.
    // Reads at most the pairs the count states and stops where the line
    // ends; a count below 2 reads the first pair only. Whether some point
    // was read.
    bool ReadLegacyCurve(int count, std::istream& words);

    // The stroke's points; the origin alone while not placing.
    std::vector<CPoint2> GetStroke() const;
    bool IsPlacing() const { return m_placing; }

    // A click without a drag leaves a path this long, along the placement's
    // x axis; a stroke that stays within kDragDistance of its start offers
    // the drawing hint kDrawHint, named after the kind ("DogPath" for type
    // 90, "HumanPath" for 140).
    static constexpr float kClickLength = 240.0f;
    static constexpr float kDragDistance = 120.0f;
    static constexpr int kDrawHint = 2706;
    static constexpr float kArrowLength = 150.0f;
    static constexpr float kArrowInset = 75.0f;
    static constexpr float kMinInsetTangent = 80.0f;
    // The most points a legacy line may give.
    static constexpr int kMaxLegacyPoints = 1000;

protected:
    // Placing ends without a stroke, for a kind that takes none: nothing
    // becomes a node and no hint is offered.
    void EndPlacingWithoutStroke();

private:
    // The stroke while placing; empty otherwise, which stands for the
    // placement's point alone (a path read from a file has no stroke).
    std::vector<CPoint2> m_stroke;
    bool m_movedFar = false;
    bool m_placing = false;
};
