#include "objects/annotations/CoordinateMark.h"

#include <cmath>

#include "course/Course.h"
#include "dialogs/LengthFormat.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/TracePoint.h"
#include "graphics/BoundsContext.h"
#include "graphics/GraphicsContext.h"
#include "objects/annotations/Alignment.h"

namespace {


// A coordinate that is no number is reported and counts as 0.
float CheckedCoordinate(float value)
{
    if (std::isfinite(value))
        return value;
    TRACE_VALUE(float, value);
    ReportFailure();
    return 0.0f;
}

}  // namespace

std::wstring CCoordinateMark::FormatCoordinates(const CCourse& course, float x, float y)
{
    const int originX = course.GetDisplayOriginX();
    const int originY = course.GetDisplayOriginY();
    const CAlignment alignment(course.GetWidth(), course.GetHeight(), originX, originY);
    const float dx = (x - alignment.offsetX) * alignment.signX;
    const float dy = (y - alignment.offsetY) * alignment.signY;
    const bool metric = course.IsMetric();
    // Metres, or the course's US units as stored.
    const EUnitKind kindX = metric ? EUnitKind::kMetres : EUnitKind(course.GetUSCoordUnitsX());
    const EUnitKind kindY = metric ? EUnitKind::kMetres : EUnitKind(course.GetUSCoordUnitsY());
    const std::wstring textX = FormatLength(dx, kindX, true);
    const std::wstring textY = FormatLength(dy, kindY, true);
    // With the origin in the middle of a side, the distance from that side
    // (the baseline) may come first.
    const bool yFirst = course.GetBaselineCoordFirst() && originX == 1 && originY != 1;
    const std::wstring& separator = CLocaleDefaults().listSeparator;
    return L"(" + (yFirst ? textY : textX) + separator + (yFirst ? textX : textY) + L")";
}

CCoordinateMark::CCoordinateMark(float x, float y, CCourse* course)
    : m_course(course), m_arrow(CheckedCoordinate(x), CheckedCoordinate(y))
{
    TRACE_POINT();
    // Reported above, when the arrow was made.
    x = std::isfinite(x) ? x : 0.0f;
    y = std::isfinite(y) ? y : 0.0f;
    if (m_course == nullptr) {
        ReportFailure();
    } else {
        m_label.SetText(FormatCoordinates(*m_course, x, y));
        m_label.SetStyle(2);
        m_label.SetCourse(*m_course);
    }
    // Until the layout places it, the label sits where the arrow's tail does.
    m_label.SetOffset(GetSpot());
    CBoundsContext::MeasureDrawable(m_label);
    if (!m_label.GetBounds().empty)
        m_extent = CRectF::FromRangesFlipY(m_label.GetBounds().At(0.0f));
}

CRectF CCoordinateMark::GetLabelBounds() const
{
    if (m_extent.IsEmpty())
        return CRectF();
    const CPoint2 at = GetLabelPosition();
    return CRectF(m_extent.left + at.x, m_extent.top + at.y, m_extent.right + at.x, m_extent.bottom + at.y);
}

void CCoordinateMark::SetLabelPosition(float x, float y, bool reset)
{
    if (!IsFinite(CPoint2(x, y))) {
        TRACE_VALUE(float, x);
        TRACE_VALUE(float, y);
        ReportFailure();
        x = GetLabelPosition().x;
        y = GetLabelPosition().y;
    }
    m_arrow.SetTail(x, y);
    m_label.SetOffset(CPoint2(x, y));
    const float distance = (m_arrow.GetTip() - m_arrow.GetTail()).Length();
    if (reset) {
        m_change = 0.0f;
        m_averageChange = -1.0f;
        m_referenceDistance = distance;
        return;
    }
    const float difference = distance - m_referenceDistance;
    m_change = difference * difference;
    if (m_change > 0.0f)
        m_moved = true;
    if (m_averageChange < 0.0f)
        m_averageChange = m_change;
    else
        m_averageChange = (3.0f * m_averageChange + m_change) / 4.0f;
}

void CCoordinateMark::DrawArrow(CGraphicsContext& context) { context.DrawDrawable(m_arrow, 0, 0); }

void CCoordinateMark::DrawLabel(CGraphicsContext& context) { m_label.DrawAtAnchor(context); }

std::unique_ptr<CCourseMark> CCoordinateMark::Make(float x, float y, CCourse* course)
{
    return std::make_unique<CCoordinateMark>(x, y, course);
}

CTextLabelPart* CCoordinateMark::GetLabel(int style)
{
    if (style != 0) {
        m_label.SetStyle(style);
        if (m_course != nullptr)
            m_label.SetCourse(*m_course);
    }
    return &m_label;
}
