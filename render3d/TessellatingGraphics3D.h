#pragma once

#include <vector>

#include "foundation/Geometry.h"
#include "graphics/TessellatingContext.h"

class CGraphicsContext3D;

// The one tessellator of the 3D contexts: fills an outline of any shape
// through the GLU tessellator (odd winding rule) and hands every output
// polygon to the 3D context as a flat polygon. Its buffers are reused from
// one outline to the next.
class CTessellatingGraphics3D : public CTessellatingContext
{
public:
    static CTessellatingGraphics3D& Instance();

    // The outline (path coordinates) as one contour; the output polygons
    // cover it without overlap, each running anticlockwise on the plan, at
    // height z in the target. A call from inside a call (a target that
    // tessellates while receiving) is reported and fills nothing.
    void Tessellate(const std::vector<CPoint2>& outline, CGraphicsContext3D& target, float z);

protected:
    void StartPolygonAt(const CPoint2& point) override;
    void ContinuePolygonTo(const CPoint2& point) override;

private:
    CTessellatingGraphics3D() : CTessellatingContext(false) {}

    void EmitGroup();

    CGraphicsContext3D* m_target = nullptr;
    float m_z = 0.0f;
    std::vector<CPoint2> m_group;
};
