#pragma once

#include <cmath>
#include <string>
#include <typeinfo>
#include <vector>

#include "foundation/Geometry.h"
#include "foundation/Transform.h"
#include "graphics/Drawable.h"
#include "graphics/GraphicsContext.h"

// A graphics context that follows nested items like a back end does (each
// item drawn through the matrix in force, its own state reset) and writes
// down, in world coordinates (3D, y up):
//   every item drawn, with its class, world transform, mode and flag;
//   every vertex; every path point at the stroke height; every text.
class CWorldRecorder : public CGraphicsContext
{
public:
    struct CItem
    {
        const CDrawable* drawable;
        const std::type_info* type;
        CTransform world;
        int mode;
        int flag;
        int depth;
    };
    struct CPathPoint
    {
        CVector3 world;
        CPoint2 local;
        bool move;
        float penWidth;
        uint32_t penColor;
    };
    struct CText
    {
        std::wstring text;
        CVector3 world;
        CGraphicsState state;
    };

    void DrawText(const std::wstring& text, float x, float y) override
    {
        texts.push_back({text, World(CVector3(x, -y, m_state.textZ)), m_state});
    }
    void AddVertex(const CVector3& point) override
    {
        vertices.push_back(World(point));
        CGraphicsContext::AddVertex(point);
    }
    void EndVertices() override { ClearVertices(); }
    void DrawDrawable(CDrawable& drawable, int mode, int flag) override
    {
        const CTransform outer = m_world;
        m_world = CTransform(outer, m_state.matrix);
        items.push_back({&drawable, &typeid(drawable), m_world, mode, flag, m_depth});
        PushState();
        m_state.Reset(CVector3());
        ++m_depth;
        drawable.Draw(*this);
        --m_depth;
        PopState();
        m_world = outer;
    }

    template <class T>
    std::vector<CItem> ItemsOf() const
    {
        std::vector<CItem> out;
        for (const CItem& item : items)
            if (*item.type == typeid(T))
                out.push_back(item);
        return out;
    }

    // Whether every recorded coordinate is a finite number.
    bool AllFinite() const
    {
        for (const CVector3& v : vertices)
            if (!IsFinite(v))
                return false;
        for (const CPathPoint& p : points)
            if (!IsFinite(p.world))
                return false;
        for (const CText& t : texts)
            if (!IsFinite(t.world))
                return false;
        for (const CItem& item : items)
            if (!IsFinite(item.world.GetTranslation()) || !std::isfinite(item.world.GetScale()))
                return false;
        return true;
    }

    std::vector<CItem> items;
    std::vector<CVector3> vertices;
    std::vector<CPathPoint> points;
    std::vector<CText> texts;

protected:
    void EmitMoveTo(float x, float y) override { AddPoint(x, y, true); }
    void EmitLineTo(float x, float y) override { AddPoint(x, y, false); }
    void EmitCloseFigure() override {}

private:
    CVector3 World(const CVector3& local) const
    {
        return CTransform(m_world, m_state.matrix).TransformPoint(local);
    }
    void AddPoint(float x, float y, bool move)
    {
        points.push_back({World(CVector3(x, -y, m_state.strokeZ)), CPoint2(x, y), move, m_state.penWidth,
                          m_state.penColor});
    }

    CTransform m_world;
    int m_depth = 0;
};
