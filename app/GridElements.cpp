#include "app/GridElements.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>

#include "app/SceneElements.h"
#include "course/Course.h"
#include "foundation/TracePoint.h"
#include "graphics/BoundsContext.h"
#include "graphics/GraphicsContext.h"
#include "objects/annotations/Alignment.h"
#include "objects/equipment/TextLabelPart.h"

namespace {

// The grid indices whose positions lie from the margin to length - margin,
// where index i lies at origin + i * spacing * sign: first > last when there
// is none. A ring too small for both margins has none (the two bounds would
// otherwise swap into a range inside the margins).
void GetIndexRange(float margin, float length, float origin, float sign, float spacing, int& first, int& last)
{
    if (length - margin < margin) {
        first = 1;
        last = 0;
        return;
    }
    const float a = (margin - origin) * sign;
    const float b = (length - margin - origin) * sign;
    const float low = std::min(a, b) / spacing;
    const float high = std::max(a, b) / spacing;
    first = int(std::ceil(low));
    last = int(std::floor(high));
}

// One grid line: a segment from the origin along +x.
class CGridLine : public CDrawable
{
public:
    CGridLine(float length, bool thick, int opacity) : m_length(length), m_thick(thick), m_opacity(opacity)
    {
        CFieldWriter& key = BeginKey();
        key.WriteFloat16(m_length);
        key.WriteInt8(m_thick ? 1 : 0);
        key.WriteInt8(m_opacity);
    }

    void Draw(CGraphicsContext& context) override
    {
        context.SetDashStyle(0);
        context.m_state.penWidth = m_thick ? 30.0f : 10.0f;
        context.m_state.penColor = GetElementColor(m_opacity);
        context.BeginLine(1);
        context.MoveTo(0.0f, 0.0f);
        context.LineTo(m_length, 0.0f);
        context.EndPath();
    }

private:
    float m_length;
    bool m_thick;
    int32_t m_opacity;
};

}  // namespace

// ---- Grid geometry ------------------------------------------------------------------

CGridGeometry::CGridGeometry(float width_, float height_, int originCodeX, int originCodeY, bool metric,
                             int32_t usSpacing, int32_t metricSpacing)
    : width(width_), height(height_)
{
    if (metric) {
        count = metricSpacing > 0 ? metricSpacing : kDefaultMetricSpacing;
        spacing = float(count) * 1000.0f / 2.54f;
    } else {
        count = usSpacing > 0 ? usSpacing : kDefaultUsSpacing;
        spacing = float(count) * 120.0f;
    }
    const int32_t stored = metric ? metricSpacing : usSpacing;
    if (count != stored)
        TRACE_VALUE(int32_t, stored);

    const CAlignment alignment(width, height, originCodeX, originCodeY);
    originX = alignment.offsetX;
    originY = alignment.offsetY;
    signX = alignment.signX;
    signY = alignment.signY;

    GetIndexRange(kMarginX, width, originX, signX, spacing, iMin, iMax);
    GetIndexRange(kMarginY, height, originY, signY, spacing, jMin, jMax);
}

// ---- Shared base ----------------------------------------------------------------------

CSceneTextElement::CSceneTextElement(CCourse& course)
    : m_course(&course),
      m_originCodeX(course.GetDisplayOriginX()),
      m_originCodeY(course.GetDisplayOriginY()),
      m_metric(course.IsMetric()),
      m_grid(course.GetWidth(), course.GetHeight(), m_originCodeX, m_originCodeY, m_metric,
             course.GetUsGridSpacing(), course.GetMetricGridSpacing())
{
}

void CSceneTextElement::WriteBaseKey(CFieldWriter& key) const
{
    key.WriteFloat16(m_grid.width);
    key.WriteFloat16(m_grid.height);
    key.WriteInt8(m_originCodeX);
    key.WriteInt8(m_originCodeY);
    key.WriteInt8(m_metric ? 1 : 0);
    key.WriteInt16(m_grid.count);
}

// ---- Grid lines -----------------------------------------------------------------------

CGridLines::CGridLines(CCourse& course, int opacity) : CSceneTextElement(course), m_opacity(opacity)
{
    CFieldWriter& key = BeginKey();
    WriteBaseKey(key);
    key.WriteInt8(m_opacity);
}

void CGridLines::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    CGridLine across(m_grid.width, false, m_opacity);
    CGridLine acrossThick(m_grid.width, true, m_opacity);
    CGridLine down(m_grid.height, false, m_opacity);
    CGridLine downThick(m_grid.height, true, m_opacity);

    CTransform& matrix = context.m_state.matrix;
    const CTransform saved = matrix;
    for (int j = m_grid.jMin; j <= m_grid.jMax; ++j) {
        CTransform place;
        place.SetPosition2D(0.0f, m_grid.Y(j));
        matrix = CTransform(saved, place);
        context.DrawDrawable(j == 0 ? acrossThick : across, 0, 0);
    }
    for (int i = m_grid.iMin; i <= m_grid.iMax; ++i) {
        CTransform place;
        place.RotateZ(-90.0f);
        place.SetPosition2D(m_grid.X(i), 0.0f);
        matrix = CTransform(saved, place);
        context.DrawDrawable(i == 0 ? downThick : down, 0, 0);
    }
    matrix = saved;
}

// ---- Grid labels ----------------------------------------------------------------------

CTextLabelPart& CGridLabels::GetLabel(int value)
{
    static std::map<int, std::unique_ptr<CTextLabelPart>> labels;
    std::unique_ptr<CTextLabelPart>& label = labels[value];
    if (!label) {
        label = std::make_unique<CTextLabelPart>(false);
        label->SetText(std::to_wstring(value));
    }
    return *label;
}

CGridLabels::CGridLabels(CCourse& course, int viewKind) : CSceneTextElement(course), m_viewKind(viewKind)
{
    CFieldWriter& key = BeginKey();
    WriteBaseKey(key);
    key.WriteInt8(m_viewKind);
}

void CGridLabels::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    const CGridGeometry& g = m_grid;
    const int first = std::min(g.iMin, g.jMin);
    const int last = std::max(g.iMax, g.jMax);
    for (int index = first; index <= last; ++index) {
        CTextLabelPart& label = GetLabel(g.count * index);
        label.SetStyle(m_viewKind);
        label.SetCourse(*m_course);
        CBoundsContext::MeasureDrawable(label);
    }

    auto drawAt = [&context](CTextLabelPart& label, float x, float y) {
        label.SetOffset(CPoint2(x, y));
        label.DrawAtAnchor(context);
    };
    for (int j = g.jMin; j <= g.jMax; ++j) {
        CTextLabelPart& label = GetLabel(g.count * j);
        const CBox3 box = label.GetBounds().At(0.0f);
        const float w = box.maxX - box.minX;
        const float h = box.maxY - box.minY;
        const float y = g.Y(j) + 15.0f + h / 2.0f;
        drawAt(label, w / 2.0f + 15.0f, y);
        drawAt(label, g.width - (w / 2.0f + 15.0f), y);
    }
    for (int i = g.iMin; i <= g.iMax; ++i) {
        CTextLabelPart& label = GetLabel(g.count * i);
        const CBox3 box = label.GetBounds().At(0.0f);
        const float w = box.maxX - box.minX;
        const float h = box.maxY - box.minY;
        const float x = g.X(i) - (w / 2.0f + 15.0f);
        drawAt(label, x, h / 2.0f + 15.0f);
        drawAt(label, x, g.height - (h / 2.0f + 15.0f));
    }
}
