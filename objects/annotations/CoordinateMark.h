#pragma once

#include <memory>
#include <string>

#include "course/CourseMark.h"
#include "foundation/Geometry.h"
#include "foundation/Rect.h"
#include "objects/annotations/Arrow.h"
#include "objects/equipment/TextLabelPart.h"

class CCourse;

// A marked spot of the course: a label giving the spot's two coordinates,
// in the course's units from its display origin, placed near the spot, and
// an arrow from the label to the spot once the label sits far from it.
//
// The course's layout moves the label round after round; the mark keeps how
// much the label's distance from the spot changed against the distance at
// the first placement, and a running average of that change, from which the
// layout tells when it has settled.
class CCoordinateMark : public CCourseMark
{
public:
    // The label is measured here, once.
    CCoordinateMark(float x, float y, CCourse* course);
    CCoordinateMark(const CCoordinateMark&) = delete;
    CCoordinateMark& operator=(const CCoordinateMark&) = delete;

    // The text of a spot's label on the course: "(x, y)" in the course's
    // units, the values in the course's order, joined by the locale's list
    // separator.
    static std::wstring FormatCoordinates(const CCourse& course, float x, float y);

    // The spot, rounded to whole units.
    CPoint2 GetSpot() const override { return m_arrow.GetTip(); }
    // The spot moved by 3 units in x and y.
    CPoint2 GetLabelAnchor() const override { return {GetSpot().x + 3.0f, GetSpot().y + 3.0f}; }
    CPoint2 GetLabelPosition() const { return m_label.GetOffset(); }
    const std::wstring& GetText() const { return m_label.GetText(); }
    // The label's extent about its centre, in course units (y down).
    const CRectF& GetLabelExtent() const override { return m_extent; }
    // The extent about the label's position.
    CRectF GetLabelBounds() const override;

    // Places the label (its arrow's tail rounded to whole units). With reset
    // the change and its average start over and the label's distance from
    // the spot becomes the reference; without it the change is the squared
    // difference of the distance from that reference. A coordinate that is
    // no number is reported and the label stays where it was.
    void SetLabelPosition(float x, float y, bool reset) override;
    float GetChange() const override { return m_change; }
    // -1 until a move without reset.
    float GetAverageChange() const { return m_averageChange; }
    bool HasMoved() const { return m_moved; }
    float GetReferenceDistance() const { return m_referenceDistance; }

    // The label, its style first set to a non-zero style (2 map, 3 3D) and
    // its view taken from the course again.
    CTextLabelPart* GetLabel(int style);
    void SetViewStyle(int style) override { GetLabel(style); }
    // The arrow as a cached item, the label at its anchor.
    void DrawArrow(CGraphicsContext& context) override;
    void DrawLabel(CGraphicsContext& context) override;

    // The course's maker of its marks.
    static std::unique_ptr<CCourseMark> Make(float x, float y, CCourse* course);
    CArrow* GetArrow() { return &m_arrow; }
    const CArrow* GetArrow() const { return &m_arrow; }

private:
    CCourse* m_course;
    CArrow m_arrow;
    CTextLabelPart m_label{false};
    CRectF m_extent;
    float m_change = 0.0f;
    float m_averageChange = -1.0f;
    bool m_moved = false;
    float m_referenceDistance = 0.0f;
};
