#pragma once

#include <vector>

#include "foundation/Rect.h"
#include "objects/equipment/TunnelGeometry.h"
#include "objects/equipment/TunnelSection.h"

// The shared base of the flexible and the rigid tunnel: the tunnel as a chain
// of bent sections from the origin, and the hoops of its fabric laid over
// them. The fabric of the nominal length is spread over the sections: its
// hoops lie a quarter of the diameter apart along the outside of the bends
// when stretched and close up to a sixth of that (one seam) when compressed.
// Every change of the sections, the length or the diameter ends with
// InvalidateOutline; the hoops are laid when first asked for (drawn,
// measured, built in 3D), so a tunnel read from a file lays none until it
// is shown.
class CTunnelBodyGeometry : public CTunnelGeometry
{
public:
    explicit CTunnelBodyGeometry(CCourseObject& owner);

    // Turns the tunnel by 180 degrees and negates every bend.
    void Flip() override;
    // Straightens every section.
    void ResetShape() override;
    // The fabric between the hoops, the two seams along the sides and the
    // two mouths; nothing without hoops. A body that the context can tell
    // lies wholly outside its clip box is passed over before any hoop is
    // laid.
    void Draw2D(CGraphicsContext& context) override;
    // The outer skin in the fabric colour (part 30) with a band in the hoop
    // colour (part 31) around each inner hoop, and the inner skin, lit
    // brightest at the mouths; nothing with fewer than two hoops.
    void Build3D(CGraphicsContext& context) override;
    // The start, each joint and the far end.
    int GetEndCount() const override { return int(m_sections.size()) + 1; }
    void GetEnd(CPoint2& point, int index) const override;
    void GetAnchor(CPoint2& point, int index) const override;
    void GetFarEnd(CPoint2& point, CPoint2& direction) const override;
    // The sum of the sections' centre lengths.
    float GetLength() const override;

    // The diameter and the measures that follow from it: radius, hoop
    // spacing (quarter), seam, and the tightest bend the fabric allows.
    void SetDiameter(float diameter) override;
    // The hoops are laid again from the sections when next asked for.
    void InvalidateOutline()
    {
        m_hoopsValid = false;
        m_reachValid = false;
    }
    bool IsShapeBuilt() const override { return m_hoopsValid; }

    float GetRadius() const { return m_radius; }
    float GetQuarter() const { return m_quarter; }
    float GetSeam() const { return m_seam; }
    float GetMinBendRadius() const { return m_minBendRadius; }
    float GetMinInnerRadius() const { return m_minInnerRadius; }
    // The largest bend, in degrees, that a section of the outer length can
    // take without pressing its inside tighter than the seams allow.
    float GetLargestAngle(float outerLength) const;
    const CTunnelSections& GetSections() const { return m_sections; }
    // The hoops, laid first when the shape changed since.
    const std::vector<CPoint2>& GetLeftHoops() const;
    const std::vector<CPoint2>& GetRightHoops() const;

    // No tunnel has more hoops than this, however long or thin: the work of
    // laying, drawing and building one body stays bounded. A tunnel of the
    // usual diameter keeps its spacing up to some 15000 long.
    static constexpr int kMaxHoops = 256;
    // The quads between the hoops are asked about in stretches of this many
    // (and the boxes of the sections likewise): a stretch of which the
    // context can tell that none reaches its clip box is not drawn.
    static constexpr int kStretchQuads = 16;

protected:
    // A section of the geometry's radius.
    CTunnelSection MakeSection(float angle, float outerLength) const;

    CTunnelSections m_sections;

private:
    // Lays the hoops over the sections unless they already lie there.
    void LayHoops() const;
    // Whether the context can tell that nothing of the body, drawn with its
    // pen, reaches a pixel it keeps.
    bool MissesClip(const CGraphicsContext& context) const;
    // For each stretch of kStretchQuads quads, whether the context may keep
    // a pixel of it (always, for a context that cannot tell).
    void FindDrawnStretches(const CGraphicsContext& context, bool* drawn) const;
    // The seam from hoop i to hoop i + 1 of one side: straight, its inner
    // points half a seam from each hoop.
    CCurveGeometry GetSeamCurve(const std::vector<CPoint2>& hoops, int index) const;
    // One ring of 33 vertices across a hoop, standing on the ground.
    void AddRing(CGraphicsContext& context, const CPoint2& left, const CPoint2& right, uint32_t color,
                 bool inside) const;

    float m_radius = 120.0f;
    float m_quarter = 60.0f;
    float m_seam = 10.0f;
    float m_minBendRadius = 288.0f;
    float m_minInnerRadius = 168.0f;
    // Laid on first demand (drawing and measuring are const for the shape).
    mutable std::vector<CPoint2> m_leftHoops;
    mutable std::vector<CPoint2> m_rightHoops;
    mutable bool m_hoopsValid = false;
    // Where the body is drawn (its pen aside), a box for each section around
    // its chord, widened by what is drawn beside the centre line. Made when
    // first asked for, from the sections alone.
    mutable std::vector<CRectF> m_reach;
    mutable bool m_reachValid = false;
};
