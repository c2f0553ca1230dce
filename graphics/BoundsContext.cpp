#include "graphics/BoundsContext.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

namespace {

struct CCacheSlot
{
    std::string key;
    CDrawableBounds bounds;
};

// Direct-mapped: two keys of one slot evict each other. Built on first use,
// freed at exit; user-interface thread only.
std::vector<CCacheSlot>& GetCache()
{
    static std::vector<CCacheSlot> cache(CBoundsContext::kCacheSlots);
    return cache;
}

}  // namespace

CBoundsContext& CBoundsContext::Instance()
{
    static CBoundsContext instance;
    return instance;
}

unsigned CBoundsContext::GetCacheSlot(const std::string& key)
{
    uint32_t h = 0;
    for (char c : key)
        h = h * 1664525u + 1013904223u + uint32_t(int32_t(static_cast<signed char>(c)));
    return h % kCacheSlots;
}

void CBoundsContext::MeasureDrawable(CDrawable& drawable)
{
    Instance().Measure(drawable);
}

void CBoundsContext::Measure(CDrawable& drawable)
{
    TRACE_POINT();
    const std::string key = drawable.GetKey();
    const unsigned slot = GetCacheSlot(key);
    if (!key.empty() && GetCache()[slot].key == key) {
        drawable.m_bounds = GetCache()[slot].bounds;
        return;
    }
    drawable.m_bounds = CDrawableBounds();
    if (m_nesting >= kMaxNesting) {
        TRACE_VALUE(int32_t, m_nesting);
        ReportFailure();
        return;
    }
    // Measurements nest (a drawable drawing others): the outer one's target
    // and path and batch boxes are kept aside meanwhile.
    CDrawable* const outerTarget = m_target;
    const CRectF pathRect = m_pathRect;
    const bool pathHasPoints = m_pathHasPoints;
    const CBox3 vertexBox = m_vertexBox;
    const bool vertexBatchHasPoints = m_vertexBatchHasPoints;
    ++m_nesting;
    m_target = &drawable;
    const bool pathWasOpen = IsPathOpen();
    const size_t depth = GetStateDepth();
    PushState();
    m_state.Reset(CVector3());
    drawable.Draw(*this);
    // A drawing that leaves its path open or its states pushed would spoil
    // every measurement after it.
    if (!pathWasOpen && IsPathOpen()) {
        ReportFailure();
        EndPath();
    }
    if (GetStateDepth() != depth + 1)
        ReportFailure();
    while (GetStateDepth() > depth + 1)
        PopState();
    if (GetStateDepth() > depth)
        PopState();
    m_target = outerTarget;
    --m_nesting;
    m_pathRect = pathRect;
    m_pathHasPoints = pathHasPoints;
    m_vertexBox = vertexBox;
    m_vertexBatchHasPoints = vertexBatchHasPoints;
    GetCache()[slot] = CCacheSlot{key, drawable.m_bounds};
}

void CBoundsContext::AddBox(const CBox3& box)
{
    if (m_target)
        m_target->m_bounds.IncludeFixedBox(m_state.matrix.TransformBox(box));
}

void CBoundsContext::DrawText(const std::wstring& text, float x, float y)
{
    // An empty text puts nothing on the page.
    if (text.empty())
        return;
    CRectF cell;
    AlignText(text, x, y, &cell, nullptr);
    AddBox(CBox3(cell.left, cell.right, -cell.bottom, -cell.top, m_state.textZ, m_state.textZ));
}

void CBoundsContext::BeginVertices(int kind, bool reverse, int rowLength)
{
    m_vertexBatchHasPoints = false;
}

void CBoundsContext::AddVertex(const CVector3& point)
{
    const CVector3 p = m_state.matrix.TransformPoint(point);
    m_state.vertexPosition = p;
    if (!m_vertexBatchHasPoints) {
        m_vertexBox.SetPoint(p);
        m_vertexBatchHasPoints = true;
    } else {
        m_vertexBox.Include(p);
    }
}

void CBoundsContext::EndVertices()
{
    if (m_vertexBatchHasPoints && m_target)
        m_target->m_bounds.IncludeFixedBox(m_vertexBox);
    m_vertexBatchHasPoints = false;
}

void CBoundsContext::DrawDrawable(CDrawable& drawable, int mode, int flag)
{
    TRACE_VALUE(int32_t, mode);
    MeasureDrawable(drawable);
    if (m_target)
        m_target->m_bounds.AddTransformed(drawable.GetBounds(), CTransform(m_state.matrix), mode);
}

void CBoundsContext::EmitBeginPath(bool stroke, bool fill) { m_pathHasPoints = false; }

void CBoundsContext::IncludePathPoint(float x, float y)
{
    if (!m_pathHasPoints) {
        m_pathRect = CRectF(x, y, x, y);
        m_pathHasPoints = true;
        return;
    }
    m_pathRect.left = std::min(m_pathRect.left, x);
    m_pathRect.top = std::min(m_pathRect.top, y);
    m_pathRect.right = std::max(m_pathRect.right, x);
    m_pathRect.bottom = std::max(m_pathRect.bottom, y);
}

void CBoundsContext::EmitMoveTo(float x, float y) { IncludePathPoint(x, y); }

void CBoundsContext::EmitLineTo(float x, float y)
{
    if (!m_pathHasPoints) {
        TRACE_POINT();
        ReportFailure();
    }
    IncludePathPoint(x, y);
}

void CBoundsContext::EmitBezierTo(const CCurveGeometry& curve)
{
    EmitLineTo(curve.p1.x, curve.p1.y);
    EmitLineTo(curve.p2.x, curve.p2.y);
    EmitLineTo(curve.p3.x, curve.p3.y);
}

void CBoundsContext::EmitCloseFigure() {}

void CBoundsContext::EmitEndPath()
{
    if (!m_pathHasPoints)
        return;
    CRectF r = m_pathRect;
    if (IsPathFilled())
        AddBox(CBox3(r.left, r.right, -r.bottom, -r.top, m_state.fillZ, m_state.fillZ));
    if (IsPathStroked()) {
        // The full pen width on every side: generous for joins and caps.
        const float w = std::max(m_state.penWidth, 0.0f);
        r = CRectF(r.left - w, r.top - w, r.right + w, r.bottom + w);
        AddBox(CBox3(r.left, r.right, -r.bottom, -r.top, m_state.strokeZ, m_state.strokeZ));
    }
    m_pathHasPoints = false;
}
