#pragma once

#include <algorithm>
#include <cmath>

#include "course/CourseObject.h"
#include "foundation/Geometry.h"
#include "foundation/Transform.h"

// The penalty of an approach that lies x away from its ideal: 0 within the
// free margin m, then quadratic for w past it, then linear with the slope
// the quadratic part reached (a Huber function scaled by 1 / s). A width not
// above 0 or a negative margin is reported and the computation goes on; a
// scale not above 0 is reported and taken as 1.
float ApproachPenalty(float x, float w, float s, float m);

// One knot of a fitted path: its two free parameters, its scale, five points
// on its tangent line in course coordinates (position is where the path
// passes, the others are the Bezier handles before and after it) and the
// approach penalty of the knot.
struct CKnotParams
{
    float params[2] = {0.0f, 0.0f};
    float size = 0.0f;
    CPoint2 outerBack;
    CPoint2 innerBack;
    CPoint2 position;
    CPoint2 innerFront;
    CPoint2 outerFront;
    float cost = 0.0f;

    // Parameter 0 or 1; any other index is reported: Get gives 0 and Set
    // writes nothing.
    float Get(int index) const;
    void Set(int index, float value);

    // Keeps the front handles of this knot and the back handles of the next
    // within 40% of the chord between the two positions.
    void LimitHandles(CKnotParams& next);

    // Scales inner and outer about from, in the frame of the chord from -> to,
    // so that the outer handle reaches no further along the chord than 40% of
    // it; a chord of length 0 collapses both handles onto from.
    static void LimitPair(const CPoint2& from, CPoint2& inner, CPoint2& outer, const CPoint2& to);
};

// Where and how a path may enter or leave an obstacle: a short entry segment
// across the obstacle's mouth (half width halfWidth about point, across
// direction), the direction in which a path passes through it, and the rule
// that scores how well a path's knot is placed there. An end is a member of
// its owner object and registered with it (CCourseObject::RegisterEnd).
// Point and direction are in the owner's own coordinates.
//
// The end's frame (GetFrame) has its origin at the placed point and its
// local y axis against the placed direction of passage, so local y < 0 lies
// on the side a passing path moves towards; local x runs across the entry.
//
// The course reaches ends through this header alone: its virtual members
// and the inline geometry below.
class CObstacleEnd
{
public:
    // Kind bits: 1 first end, 2 second end, 4 jump end, 8 and 16 start and
    // finish line ends.
    virtual int GetEndKind() const = 0;
    // The distance from a course point to the entry segment.
    virtual float DistanceTo(float x, float y) const;
    // How far the entry reaches from the point.
    virtual float GetReach() const { return std::fabs(halfWidth); }
    // How many of a knot's free parameters the end uses; none here.
    virtual int GetParamCount() const;
    // Where on the entry a path passes (local x), the approach direction in
    // the end's frame, the distance of the inner handles from the passing
    // point and the penalty, from the knot's parameters. Outputs a kind does
    // not set keep what the caller put there; this base sets none.
    virtual void ComputeApproach(const CKnotParams& knot, float approachLength, float& localX,
                                 CPoint2& localDirection, float& innerDistance, float& cost) const;
    virtual ~CObstacleEnd() = default;

    // The owner's placement applied to point (the point itself without an
    // owner).
    CPoint2 GetCoursePoint() const
    {
        return owner != nullptr ? owner->GetPlacement().TransformPoint2D(point) : point;
    }
    CRotationFrame GetFrame() const
    {
        const CPoint2 origin = GetCoursePoint();
        const CPoint2 placed = owner != nullptr ? owner->GetPlacement().TransformVector2D(direction) : direction;
        return CRotationFrame(origin.x, origin.y, -placed.x, -placed.y);
    }
    CPoint2 ToLocal(const CPoint2& coursePoint) const;
    CPoint2 ToCourse(const CPoint2& localPoint) const;
    // The point of the entry segment nearest to p.
    CPoint2 ClosestEntryPoint(const CPoint2& p) const
    {
        const CRotationFrame frame = GetFrame();
        const CPoint2 local = frame.ToLocal(p);
        return frame.ToWorld(ClampAcross(local.x), 0.0f);
    }
    // Where the line through p along v meets the entry segment; a line
    // nearly parallel to the entry (|v.y| <= 5 |v.x| locally) gives the
    // clamped foot of p instead.
    CPoint2 IntersectEntryLine(const CPoint2& p, const CPoint2& v) const;
    // The component of the course vector (x, y) along the placed direction
    // of passage; positive when it points the way a path passes.
    float GetOutwardComponent(float x, float y) const { return -GetFrame().ToLocalVector(x, y).y; }
    // Places a path knot at this end: its cost and its five points. A knot
    // size not above 0 is reported and replaced by kMinKnotSize, in the knot
    // as well, so no point of the knot can become a NaN.
    void SetUpKnot(CKnotParams& knot) const;

    // The size a knot of no size gets.
    static constexpr float kMinKnotSize = 1.0f;

    CCourseObject* owner = nullptr;
    CPoint2 point;
    CPoint2 direction;
    // 0: the end offers no approach.
    float halfWidth = 0.0f;

protected:
    CObstacleEnd() = default;
    CObstacleEnd(CCourseObject* owner_, const CPoint2& point_, const CPoint2& direction_, float halfWidth_)
        : owner(owner_), point(point_), direction(direction_), halfWidth(halfWidth_)
    {
    }
    CObstacleEnd(const CObstacleEnd&) = default;
    CObstacleEnd& operator=(const CObstacleEnd&) = default;

    // The entry's local x limits, clamped.
    float ClampAcross(float localX) const { return std::min(std::max(localX, -halfWidth), halfWidth); }
};

// The entry end of a traversal (kind 1). It uses the knot's first parameter
// while it has an entry (half width above 0).
class CFirstObstacleEnd : public CObstacleEnd
{
public:
    CFirstObstacleEnd() = default;
    CFirstObstacleEnd(CCourseObject* owner_, const CPoint2& point_, const CPoint2& direction_, float halfWidth_)
        : CObstacleEnd(owner_, point_, direction_, halfWidth_)
    {
    }
    int GetEndKind() const override { return 1; }
    int GetParamCount() const override;
    void ComputeApproach(const CKnotParams& knot, float approachLength, float& localX, CPoint2& localDirection,
                         float& innerDistance, float& cost) const override;
};

// The exit end of a traversal (kind 2); like the first end, with the
// approach turned the other way across the entry.
class CSecondObstacleEnd : public CObstacleEnd
{
public:
    CSecondObstacleEnd() = default;
    CSecondObstacleEnd(CCourseObject* owner_, const CPoint2& point_, const CPoint2& direction_, float halfWidth_)
        : CObstacleEnd(owner_, point_, direction_, halfWidth_)
    {
    }
    int GetEndKind() const override { return 2; }
    int GetParamCount() const override;
    void ComputeApproach(const CKnotParams& knot, float approachLength, float& localX, CPoint2& localDirection,
                         float& innerDistance, float& cost) const override;
};

// One of a jump's two ends (kind 4): a rectangle of half width by half depth
// about the bar, crossed in the end's direction; it uses both parameters.
class CJumpEnd : public CObstacleEnd
{
public:
    CJumpEnd() = default;
    CJumpEnd(CCourseObject* owner_, const CPoint2& point_, const CPoint2& direction_, float halfWidth_,
             float halfDepth_)
        : CObstacleEnd(owner_, point_, direction_, halfWidth_), halfDepth(halfDepth_)
    {
    }
    int GetEndKind() const override { return 4; }
    // 0 inside the rectangle, else the distance to it.
    float DistanceTo(float x, float y) const override;
    // To the rectangle's corners (the square root rather than hypot, a
    // library call each of the many ends a course read files pays for).
    float GetReach() const override { return std::sqrt(halfWidth * halfWidth + halfDepth * halfDepth); }
    int GetParamCount() const override;
    void ComputeApproach(const CKnotParams& knot, float approachLength, float& localX, CPoint2& localDirection,
                         float& innerDistance, float& cost) const override;

    float halfDepth = 0.0f;
};

// An end of a start or finish line (kind 8 with the flag set, else 16). It
// registers itself with its owner; SetFromVector gives it its entry before
// it is used.
class CEndLineObstacleEnd : public CObstacleEnd
{
public:
    CEndLineObstacleEnd(CCourseObject* owner_, bool flag_);
    int GetEndKind() const override { return flag ? 8 : 16; }
    int GetParamCount() const override;
    void ComputeApproach(const CKnotParams& knot, float approachLength, float& localX, CPoint2& localDirection,
                         float& innerDistance, float& cost) const override;

    // From one of the line's half vectors: half width |v| - 400 (0 when not
    // above 0) and the direction v turned a quarter turn ((1, 0) for a
    // vector shorter than 1).
    void SetFromVector(const CPoint2& v);

    // Below this half width the end offers no approach.
    static constexpr float kMinApproachHalfWidth = 160.0f;

    bool flag = false;
};
