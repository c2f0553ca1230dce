#include "graphics/GdiDrawingCache.h"

#include <cstring>

bool CGdiDrawingCache::CFrameView::IsSameAs(const CFrameView& other) const
{
    return std::memcmp(&clip, &other.clip, sizeof clip) == 0 && device == other.device && scene == other.scene &&
           std::memcmp(projection, other.projection, sizeof projection) == 0 &&
           std::memcmp(&windowWidth, &other.windowWidth, sizeof windowWidth) == 0 &&
           std::memcmp(&windowHeight, &other.windowHeight, sizeof windowHeight) == 0 &&
           orthographic == other.orthographic;
}

void CGdiDrawingCache::BeginFrame(const CFrameView& view)
{
    if (m_viewKnown && !view.IsSameAs(m_view)) {
        m_lastOrder.clear();
        m_drawings.clear();
    }
    m_view = view;
    m_viewKnown = true;
    ++m_frame;
    m_usedInFrame = 0;
    m_order.clear();
    m_cursor = 0;
}

void CGdiDrawingCache::EndFrame()
{
    // This frame's order is the next one's guide. It holds only drawings
    // used in this frame, which the sweep keeps.
    m_lastOrder.swap(m_order);
    m_order.clear();
    m_cursor = 0;
    // Drawables that were deleted or hidden leave their drawings behind;
    // sweeping only once they are the greater part keeps the sweep rare.
    if (m_drawings.size() <= 2 * m_usedInFrame + 64)
        return;
    for (auto it = m_drawings.begin(); it != m_drawings.end();) {
        if (it->second.frame != m_frame)
            it = m_drawings.erase(it);
        else
            ++it;
    }
}

void CGdiDrawingCache::Clear()
{
    m_lastOrder.clear();
    m_order.clear();
    m_cursor = 0;
    m_drawings.clear();
    m_viewKnown = false;
}

void CGdiDrawingCache::Use(const CDrawable& drawable, CDrawing& drawing)
{
    drawing.frame = m_frame;
    drawing.order = uint32_t(m_order.size());
    m_order.push_back({&drawable, &drawing});
    ++m_usedInFrame;
}

const CGdiDrawingCache::CDrawing* CGdiDrawingCache::Find(const CDrawable& drawable, const std::string& key,
                                                   const CTransform& placement)
{
    CDrawing* drawing = nullptr;
    if (m_cursor < m_lastOrder.size() && m_lastOrder[m_cursor].drawable == &drawable) {
        drawing = m_lastOrder[m_cursor].drawing;
        ++m_cursor;
    } else {
        const auto found = m_drawings.find(&drawable);
        if (found == m_drawings.end())
            return nullptr;
        drawing = &found->second;
        // Used in the last frame: the drawables after it are likely to
        // follow as they did then.
        const size_t last = drawing->order;
        if (drawing->frame + 1 == m_frame && last < m_lastOrder.size() && m_lastOrder[last].drawing == drawing)
            m_cursor = last + 1;
    }
    if (!(drawing->placement == placement) || drawing->key != key)
        return nullptr;
    if (drawing->frame != m_frame)
        Use(drawable, *drawing);
    return drawing;
}

CGdiDrawingCache::CDrawing* CGdiDrawingCache::Start(const CDrawable& drawable, const std::string& key,
                                                     const CTransform& placement)
{
    CDrawing& drawing = m_drawings[&drawable];
    if (drawing.frame == m_frame)
        return nullptr;
    drawing.key = key;
    drawing.placement = placement;
    drawing.parts.clear();
    drawing.points.clear();
    drawing.types.clear();
    drawing.texts.clear();
    drawing.drewOther = false;
    Use(drawable, drawing);
    return &drawing;
}

void CGdiDrawingCache::AddPath(CDrawing& drawing, const CPathStyle& style, const std::vector<POINT>& points,
                            const std::vector<BYTE>& types)
{
    CPart path;
    path.style = style;
    path.first = uint32_t(drawing.points.size());
    path.count = uint32_t(points.size());
    drawing.parts.push_back(path);
    drawing.points.insert(drawing.points.end(), points.begin(), points.end());
    drawing.types.insert(drawing.types.end(), types.begin(), types.end());
}

void CGdiDrawingCache::AddText(CDrawing& drawing, const CText& line, const std::wstring& characters,
                            const std::vector<INT>& advances)
{
    CPart part;
    part.text = int32_t(drawing.texts.size());
    drawing.parts.push_back(part);
    drawing.texts.push_back({line, characters, advances});
}
