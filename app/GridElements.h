#pragma once

#include <cstdint>

#include "graphics/Drawable.h"

class CCourse;
class CFieldWriter;
class CGraphicsContext;
class CTextLabelPart;

// Where the grid of a ring lies: its spacing, its origin and the index range
// of its lines. Grid index i lies at x(i) = i * spacing * signX + originX
// across and j at y(j) = j * spacing * signY + originY down the ring, so
// index 0 passes through the display origin; only positions from 390 to
// width - 390 across and 350 to height - 350 down carry a line.
struct CGridGeometry
{
    // A grid count not above 0 (a damaged value) uses the default spacing:
    // 10 feet, or 3 metres for a metric ring. An origin code other than 0,
    // 1 or 2 is reported and counts as 0.
    CGridGeometry(float width, float height, int originX, int originY, bool metric,
                  int32_t usSpacing, int32_t metricSpacing);

    float X(int i) const { return float(i) * spacing * signX + originX; }
    float Y(int j) const { return float(j) * spacing * signY + originY; }

    float width;
    float height;
    // Feet or metres between lines, and the same in course units.
    int32_t count;
    float spacing;
    float originX;
    float originY;
    float signX;
    float signY;
    int iMin;
    int iMax;
    int jMin;
    int jMax;

    static constexpr float kMarginX = 390.0f;
    static constexpr float kMarginY = 350.0f;
    static constexpr int32_t kDefaultUsSpacing = 10;
    static constexpr int32_t kDefaultMetricSpacing = 3;
};

// The base of the grid elements: the course's grid, and the key fields they
// share (size, origin codes, metric flag, grid count).
class CSceneTextElement : public CDrawable
{
public:
    const CGridGeometry& GetGrid() const { return m_grid; }

protected:
    explicit CSceneTextElement(CCourse& course);
    void WriteBaseKey(CFieldWriter& key) const;

    CCourse* m_course;
    int32_t m_originCodeX;
    int32_t m_originCodeY;
    bool m_metric;
    CGridGeometry m_grid;
};

// The grid lines across and down the ring; the pair through the display
// origin is drawn three times as thick (30 against 10).
class CGridLines : public CSceneTextElement
{
public:
    CGridLines(CCourse& course, int opacity);

    void Draw(CGraphicsContext& context) override;

private:
    int32_t m_opacity;
};

// The grid's numbers along the four edges of the ring: each line's value
// (grid count times index) beside both ends of the line. View kind 2 draws
// map labels, 3 upright labels on the 3D ground.
class CGridLabels : public CSceneTextElement
{
public:
    CGridLabels(CCourse& course, int viewKind);

    void Draw(CGraphicsContext& context) override;

    // The shared label of a value, made on first need and kept for the run.
    static CTextLabelPart& GetLabel(int value);

private:
    int32_t m_viewKind;
};
