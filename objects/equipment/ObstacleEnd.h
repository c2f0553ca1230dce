#pragma once

#include "foundation/Geometry.h"

class CCourseObject;

// Where a path may enter or leave an obstacle: a member of its owner object,
// registered with it (CCourseObject::RegisterEnd). Point and direction are in
// the owner's own coordinates.
class CObstacleEnd
{
public:
    // Kind bits: 1 first end, 2 second end, 4 jump end, 8 and 16 start and
    // finish line ends.
    virtual int GetEndKind() const = 0;

    CCourseObject* owner = nullptr;
    CPoint2 point;
    CPoint2 direction;
    float halfWidth = 0.0f;

protected:
    ~CObstacleEnd() = default;
};
