#pragma once

#include "course/CourseObject.h"
#include "objects/equipment/ObstacleEnd.h"

// Which sides of a square obstacle are approached (the crossover's planks,
// the barrel's approaches): the stored numbers of the layouts.
enum class ESideLayout
{
    kFour = 0,        // -x, +x, +y and -y
    kThree = 1,       // -x, +x, +y
    kInLine = 2,      // -x, +x
    kRightAngle = 3,  // -x, +y
};

// A stored layout number: one outside 0 to 3 gives the four sides.
ESideLayout SideLayoutFromNumber(int number);

// The ends of an obstacle approached from up to four sides at a reach from
// its centre: per side a first end pointing away and a second end pointing
// back, registered side by side in the order -x, +x, -y, +y where the
// layout has the side. The sides in handle order are -x, then those of +x,
// +y and -y that the layout has.
class CFourWayEnds
{
public:
    explicit CFourWayEnds(CCourseObject* owner);
    CFourWayEnds(const CFourWayEnds&) = delete;
    CFourWayEnds& operator=(const CFourWayEnds&) = delete;

    // Places the ends at the reach and registers those of the layout (when
    // the layout changed: the registered ends stay as they are otherwise).
    void Update(float reach, ESideLayout layout);

    // 4, 3 or 2 handles.
    static int GetSideCount(ESideLayout layout);
    // The side of the i-th handle at the reach.
    static CPoint2 GetSide(int index, float reach, ESideLayout layout);
    // The layout with planks at a right angle mirrors about 90 degrees.
    static float GetMirrorAngle(ESideLayout layout);

private:
    CCourseObject* m_owner;
    CFirstObstacleEnd m_firsts[4];
    CSecondObstacleEnd m_seconds[4];
    // The layout whose ends are registered; none before the first update.
    bool m_registered = false;
    ESideLayout m_registeredLayout = ESideLayout::kFour;
};

// An obstacle approached from up to four sides of a square: category 2,
// one handle per side of its layout at the reach, the centre and the
// handles as anchors. Subclasses give the reach and call UpdateEnds once
// they are built.
class CFourWayObstacle : public CCourseObject
{
public:
    int GetCategory() const override { return 2; }
    int GetEndCount() const override;
    void GetEnd(CPoint2& point, int index) const override;
    int GetAnchorCount() const override;
    void GetAnchor(CPoint2& point, int index) const override;
    float GetMirrorAngle() const override;
    void UpdateEnds() override;

    // How far the sides' ends lie from the centre.
    virtual float GetReach() const = 0;
    ESideLayout GetLayout() const { return m_layout; }

protected:
    CFourWayObstacle() = default;

    ESideLayout m_layout = ESideLayout::kFour;

private:
    CFourWayEnds m_ends{this};
};
