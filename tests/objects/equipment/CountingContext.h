#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "foundation/Box.h"
#include "foundation/Rect.h"
#include "foundation/Transform.h"
#include "graphics/Drawable.h"
#include "graphics/GraphicsContext.h"

// A graphics context for tests of things that draw: it counts vertices,
// triangles, path points and nested items, keeps the box of everything drawn
// in the outermost drawable's coordinates (nested items placed through the
// matrix in force when they were drawn), counts coordinates that are not
// finite, and keeps each nested item's key with its placement there.
class CCountingContext : public CGraphicsContext
{
public:
    struct CItem
    {
        std::string key;
        // Where the item's own frame lies in the outermost coordinates.
        CTransform placement;
        // The vertex colour in force when the item was drawn.
        uint32_t color = 0;
    };

    explicit CCountingContext(const CVector3& light = CVector3(0.3f, 0.4f, 0.866f)) : m_light(light)
    {
        m_state.Reset(m_light);
    }

    // Draws a drawable as the outermost item, in its own coordinates.
    void DrawTop(CDrawable& drawable)
    {
        m_state.Reset(m_light);
        drawable.Draw(*this);
    }

    void DrawText(const std::wstring& text, float x, float y) override
    {
        ++texts;
        IncludePathPoint(x, y);
    }
    void AddVertex(const CVector3& point) override
    {
        const CVector3 p = m_device.TransformPoint(m_state.matrix.TransformPoint(point));
        ++vertices;
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
            ++notFinite;
        } else if (!m_hasVertexBox) {
            vertexBox.SetPoint(p);
            m_hasVertexBox = true;
        } else {
            vertexBox.Include(p);
        }
        CGraphicsContext::AddVertex(point);
    }
    void EndVertices() override
    {
        triangles += int(GetTriangles().size() / 3);
        ++batches;
        ClearVertices();
    }
    void DrawDrawable(CDrawable& drawable, int mode, int flag) override
    {
        const CTransform placement(m_device, m_state.matrix);
        items.push_back({drawable.GetKey(), placement, m_state.color});
        const CTransform outer = m_device;
        m_device = placement;
        PushState();
        m_state.Reset(m_light);
        drawable.Draw(*this);
        PopState();
        m_device = outer;
    }

    // The items whose key equals the drawable's.
    std::vector<CItem> ItemsLike(const CDrawable& drawable) const
    {
        std::vector<CItem> found;
        for (const CItem& item : items)
            if (item.key == drawable.GetKey())
                found.push_back(item);
        return found;
    }

    int vertices = 0;
    int triangles = 0;
    int batches = 0;
    int pathPoints = 0;
    int texts = 0;
    int notFinite = 0;
    CBox3 vertexBox;
    CRectF pathRect;
    std::vector<CItem> items;

protected:
    void EmitMoveTo(float x, float y) override { IncludePathPoint(x, y); }
    void EmitLineTo(float x, float y) override { IncludePathPoint(x, y); }
    void EmitCloseFigure() override {}

private:
    void IncludePathPoint(float x, float y)
    {
        const CPoint2 p = m_device.TransformPoint2D(m_state.matrix.TransformPoint2D(x, y));
        ++pathPoints;
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            ++notFinite;
        } else if (!m_hasPathRect) {
            pathRect = CRectF(p.x, p.y, p.x, p.y);
            m_hasPathRect = true;
        } else {
            pathRect.Include(p);
        }
    }

    CVector3 m_light;
    CTransform m_device;
    bool m_hasVertexBox = false;
    bool m_hasPathRect = false;
};

// Whether the inner box lies within the outer one, with a small tolerance.
inline bool BoxWithin(const CBox3& inner, const CBox3& outer, float tolerance = 0.01f)
{
    return inner.minX >= outer.minX - tolerance && inner.maxX <= outer.maxX + tolerance &&
           inner.minY >= outer.minY - tolerance && inner.maxY <= outer.maxY + tolerance &&
           inner.minZ >= outer.minZ - tolerance && inner.maxZ <= outer.maxZ + tolerance;
}
