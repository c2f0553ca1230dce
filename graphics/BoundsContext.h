#pragma once

#include "foundation/Box.h"
#include "foundation/Rect.h"
#include "graphics/Drawable.h"
#include "graphics/GraphicsContext.h"

// A graphics context that draws nothing: it records how far everything drawn
// into it reaches, in the measured drawable's own coordinates, into that
// drawable's bounds. One process-wide instance measures through a
// direct-mapped cache of 10000 slots keyed by the drawables' cache keys, so a
// drawable is drawn once per distinct key.
//
// Paths add the box of their points (curves by their control polygon; a
// stroke widened by the full pen width), text its cell, vertex batches the
// box of their vertices; nested drawables add their own measured bounds
// through the placement mode.
class CBoundsContext : public CGraphicsContext
{
public:
    static CBoundsContext& Instance();

    // Fills the drawable's bounds, from the cache when its key was measured
    // before. Callers then read GetBounds().At(viewScale).
    static void MeasureDrawable(CDrawable& drawable);

    void DrawText(const std::wstring& text, float x, float y) override;
    void BeginVertices(int kind, bool reverse, int rowLength) override;
    void AddVertex(const CVector3& point) override;
    void EndVertices() override;
    void DrawDrawable(CDrawable& drawable, int mode, int flag) override;
    bool IgnoresDashes() const override { return true; }

    static constexpr unsigned kCacheSlots = 10000;
    // The cache slot of a key: a linear congruential hash over the bytes
    // taken as signed values, modulo the slot count.
    static unsigned GetCacheSlot(const std::string& key);

protected:
    void EmitBeginPath(bool stroke, bool fill) override;
    void EmitMoveTo(float x, float y) override;
    void EmitLineTo(float x, float y) override;
    void EmitBezierTo(const CCurveGeometry& curve) override;
    void EmitCloseFigure() override;
    void EmitEndPath() override;

private:
    CBoundsContext() = default;

    void Measure(CDrawable& drawable);
    // Through the current matrix into the target's fixed bounds.
    void AddBox(const CBox3& box);
    void IncludePathPoint(float x, float y);

    CDrawable* m_target = nullptr;
    int m_nesting = 0;
    // minX, minY, maxX, maxY of the current path's points (path coordinates).
    CRectF m_pathRect;
    bool m_pathHasPoints = false;
    // The current vertex batch after the matrix.
    CBox3 m_vertexBox;
    bool m_vertexBatchHasPoints = false;
};
