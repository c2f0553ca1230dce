#pragma once

#include "foundation/Geometry.h"
#include "foundation/Rect.h"

class CCourse;
class CDrawable;

// A marked spot of the course with a label giving its coordinates, placed
// near the spot.
class CCoordinateMark
{
public:
    CCoordinateMark(float x, float y, CCourse* course);
    CCoordinateMark(const CCoordinateMark&) = delete;
    CCoordinateMark& operator=(const CCoordinateMark&) = delete;

    CPoint2 GetSpot() const { return m_tip; }
    // The spot moved by 3 units in x and y.
    CPoint2 GetLabelAnchor() const { return {m_tip.x + 3.0f, m_tip.y + 3.0f}; }
    // The label's extent around its position; empty while it has no text.
    CRectF GetLabelBounds() const { return CRectF(); }
    CPoint2 GetLabelPosition() const { return m_labelPosition; }

    // Places the label. With reset the change restarts at 0 and the label's
    // distance from the spot becomes the reference; without it the change is
    // the squared difference of the distance from that reference.
    void SetLabelPosition(float x, float y, bool reset);
    float GetChange() const { return m_change; }
    bool HasMoved() const { return m_moved; }

    // The label's drawable, its style first set to a non-zero style (2 map,
    // 3 3D), and the arrow's; none while the mark has no drawables.
    CDrawable* GetLabel(int style) { return nullptr; }
    CDrawable* GetArrow() { return nullptr; }

private:
    CCourse* m_course;
    CPoint2 m_tip;
    CPoint2 m_tail;
    CPoint2 m_labelPosition;
    float m_change = 0.0f;
    bool m_moved = false;
    float m_referenceDistance = 0.0f;
};
