#pragma once

#include "app/CourseSceneLayers.h"
#include "foundation/Geometry.h"
#include "foundation/Rect.h"

class CPanel;

// Slot 5: the rubber band of a selection drag in a view. Its start corner
// stays on the ground point where the drag began, so it follows the ground
// when the camera moves; the other corner follows the pointer.
class CRubberBandLayer : public CSceneLayer
{
public:
    // Starts a band at a window point of the view (not owned).
    void Start(float x, float y, CPanel* view);
    // The pointer's corner, in window pixels.
    void SetCorner(float x, float y);
    // Ends the band: its rectangle is zero and the layer leaves the scene at
    // its next update.
    void Stop();

    // Recomputes the band's window rectangle, then takes a new cache key.
    void Refresh() override;
    void Draw(CGraphicsContext& context) override;

    bool IsActive() const { return m_active; }
    // The band in window pixels (left, top, right, bottom); zero while
    // inactive.
    const CRectF& GetRect() const { return m_rect; }
    const CVector3& GetStartGroundPoint() const { return m_startGround; }
    CPanel* GetView() const { return m_view; }

    // The ground point under a window point of the view: the pick ray cut at
    // height 0, or its middle (depth 0.5) when views are drawn in 3D.
    CVector3 GetGroundPoint(float x, float y) const;

    static constexpr uint32_t kFillColor = 0x55FF0000;
    static constexpr uint32_t kLineColor = 0xFFFF0000;

private:
    CPanel* m_view = nullptr;
    CVector3 m_startGround;
    CPoint2 m_start;
    CPoint2 m_corner;
    CRectF m_rect;
    bool m_active = false;
};
