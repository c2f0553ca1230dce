#pragma once

#include <memory>

#include "foundation/Geometry.h"
#include "foundation/Rect.h"

class CCourse;
class CGraphicsContext;

// A coordinate mark as the course makes, lays out and draws it: a label
// giving a spot's coordinates, placed near the spot, with an arrow to the
// spot once the label sits far from it. The marks are the annotations'
// coordinate marks (objects/annotations/CoordinateMark.h), made through the
// maker that the object kinds' registration installs.
class CCourseMark
{
public:
    virtual ~CCourseMark() = default;

    // The spot, rounded to whole units.
    virtual CPoint2 GetSpot() const = 0;
    // Where the layout looks for the label's place from.
    virtual CPoint2 GetLabelAnchor() const = 0;
    // The label's extent about its centre, in course units (y down), and
    // about its position.
    virtual const CRectF& GetLabelExtent() const = 0;
    virtual CRectF GetLabelBounds() const = 0;
    // Places the label. With reset its change starts over; without it the
    // change is how much the label's distance from the spot changed.
    virtual void SetLabelPosition(float x, float y, bool reset) = 0;
    virtual float GetChange() const = 0;

    // The marks are drawn in three passes: every label takes the view's
    // style (2 map, 3 3D) and camera, every arrow is drawn, every label.
    virtual void SetViewStyle(int style) = 0;
    virtual void DrawArrow(CGraphicsContext& context) = 0;
    virtual void DrawLabel(CGraphicsContext& context) = 0;
};

// Makes the mark of a spot of the course.
using CCourseMarkMaker = std::unique_ptr<CCourseMark> (*)(float x, float y, CCourse* course);
void SetCourseMarkMaker(CCourseMarkMaker maker);
// None, after a report, before a maker is installed.
std::unique_ptr<CCourseMark> MakeCourseMark(float x, float y, CCourse* course);
