#include "objects/equipment/MarkerGlyph.h"

#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"

namespace {

// The outline of a kind's shape, reaching size from the centre.
std::vector<CPoint2> GlyphOutline(int kind, float size)
{
    switch (kind) {
    case 2:
        return {{size, -1.0f}, {1.0f, -size}, {-1.0f, -size}, {-size, -1.0f},
                {-size, 1.0f}, {-1.0f, size}, {1.0f, size}, {size, 1.0f}};
    case 3:
        return {{size, 0.0f}, {0.0f, -size}, {-size, 0.0f}, {0.0f, size}};
    default:
        return {{-size, -size}, {-size, size}, {size, size}, {size, -size}};
    }
}

void FillOutline(CGraphicsContext& context, const std::vector<CPoint2>& outline)
{
    context.BeginPath(false, true, 0);
    context.MoveTo(outline.front());
    for (size_t i = 1; i < outline.size(); ++i)
        context.LineTo(outline[i]);
    context.EndPath();
}

}  // namespace

CMarkerGlyph::CMarkerGlyph(int kind) : m_kind(kind)
{
    BeginKey().WriteInt8(m_kind);
}

void CMarkerGlyph::Draw(CGraphicsContext& context)
{
    TRACE_VALUE(int32_t, m_kind);
    int kind = m_kind;
    if (kind < 1 || kind > 3) {
        ReportFailure();
        kind = 1;
    }
    // Black shape and coloured shape: square 3.5 / 2.5, octagon 4 / 3,
    // diamond 5 / 4.
    static const float outer[3] = {3.5f, 4.0f, 5.0f};
    static const uint32_t colour[3] = {0xFFFF4040, 0xFF00FF00, 0xFF0000FF};
    CGraphicsState& state = context.m_state;
    state.fillColor = 0xFF000000;
    FillOutline(context, GlyphOutline(kind, outer[kind - 1]));
    state.fillZ = 0.01f;
    state.fillColor = colour[kind - 1];
    FillOutline(context, GlyphOutline(kind, outer[kind - 1] - 1.0f));
}

CMarkerGlyph& GetMarkerGlyph(int kind)
{
    static CMarkerGlyph* glyphs[3] = {new CMarkerGlyph(1), new CMarkerGlyph(2), new CMarkerGlyph(3)};
    if (kind < 1 || kind > 3) {
        TRACE_VALUE(int32_t, kind);
        ReportFailure();
        kind = 1;
    }
    return *glyphs[kind - 1];
}
