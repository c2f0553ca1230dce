#include "app/SceneElements.h"

#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"

namespace {

constexpr float kOutlineWidth = 20.0f;

void SetOutlineStyle(CGraphicsContext& context, int opacity)
{
    context.SetDashStyle(0);
    context.m_state.penWidth = kOutlineWidth;
    context.m_state.penColor = GetElementColor(opacity);
}

}  // namespace

uint32_t GetElementColor(int opacity)
{
    return uint32_t(opacity & 0xFF) << 24;
}

// ---- Ring outline -------------------------------------------------------------------

CRingOutline::CRingOutline(float width, float height, int opacity)
    : m_width(width), m_height(height), m_opacity(opacity)
{
    CFieldWriter& key = BeginKey();
    key.WriteFloat16(m_width);
    key.WriteFloat16(m_height);
    key.WriteInt8(m_opacity);
}

void CRingOutline::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    SetOutlineStyle(context, m_opacity);
    context.BeginPath(true, false, 1);
    context.AddRect(CRectF(0.0f, 0.0f, m_width, m_height));
    context.EndPath();
}

// ---- Surround outline ---------------------------------------------------------------

CSurroundOutline::CSurroundOutline(float width, float height, const CRectF& surround, int opacity)
    : m_width(width), m_height(height), m_surround(surround), m_opacity(opacity)
{
    CFieldWriter& key = BeginKey();
    key.WriteFloat16(m_width);
    key.WriteFloat16(m_height);
    key.WriteFloat16(m_surround.left);
    key.WriteFloat16(m_surround.top);
    key.WriteFloat16(m_surround.right);
    key.WriteFloat16(m_surround.bottom);
    key.WriteInt8(m_opacity);
}

void CSurroundOutline::AddPath(CGraphicsContext& context) const
{
    // Walks the surround rectangle clockwise from the middle of its right
    // side. Where a margin is 0 its outer edge lies on the ring's edge: the
    // pen is lifted there (lifted = a move is pending) and put down again at
    // the next corner that leaves the ring.
    const float w = m_width;
    const float h = m_height;
    const float x0 = m_surround.left;
    const float y0 = m_surround.top;
    const float x1 = m_surround.right;
    const float y1 = m_surround.bottom;
    bool lifted = false;
    if (x1 != w) {
        context.MoveTo(x1, h / 2.0f);
        lifted = true;
    }
    if (!lifted && y1 != h) {
        context.MoveTo(x1, h);
        lifted = true;
    }
    if (x1 != w || y1 != h)
        context.LineTo(x1, y1);
    if (lifted && y1 == h) {
        context.LineTo(w, y1);
        lifted = false;
    }
    if (!lifted && x0 != 0.0f) {
        context.MoveTo(0.0f, y1);
        lifted = true;
    }
    if (x0 != 0.0f || y1 != h)
        context.LineTo(x0, y1);
    if (lifted && x0 == 0.0f) {
        context.LineTo(x0, h);
        lifted = false;
    }
    if (!lifted && y0 != 0.0f) {
        context.MoveTo(x0, 0.0f);
        lifted = true;
    }
    if (x0 != 0.0f || y0 != 0.0f)
        context.LineTo(x0, y0);
    if (lifted && y0 == 0.0f) {
        context.LineTo(0.0f, y0);
        lifted = false;
    }
    if (!lifted && x1 != w) {
        context.MoveTo(w, y0);
        lifted = true;
    }
    if (x1 != w || y0 != 0.0f)
        context.LineTo(x1, y0);
    if (lifted && x1 == w) {
        context.LineTo(x1, 0.0f);
        lifted = false;
    }
    if (x1 != w)
        context.LineTo(x1, h / 2.0f);
}

void CSurroundOutline::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    SetOutlineStyle(context, m_opacity);
    context.BeginLine(1);
    AddPath(context);
    context.EndPath();
}
