#include "app/CourseSceneLayers.h"

#include <cstdint>

#include "app/GridElements.h"
#include "app/RingFence.h"
#include "app/SceneElements.h"
#include "app/ScoreSheet.h"
#include "course/Course.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"

namespace {

constexpr int kMapView = 2;
constexpr int k3DView = 3;
constexpr int kFooterOrganisation = 5;

// Draws an element as a nested item at a translation (3D coordinates).
void DrawAt(CGraphicsContext& context, CDrawable& element, float x, float y, float z)
{
    CTransform& matrix = context.m_state.matrix;
    const CTransform saved = matrix;
    CTransform place;
    place.SetTranslation(x, y, z);
    matrix = CTransform(saved, place);
    context.DrawDrawable(element, 0, 0);
    matrix = saved;
}

void DrawElement(CGraphicsContext& context, CDrawable& element)
{
    DrawAt(context, element, 0.0f, 0.0f, 0.0f);
}

// The ring with its margins, without the footer.
CRectF GetSurround(const CCourse& course)
{
    return course.GetRingRect(false, false);
}

bool HasMargins(const CCourse& course)
{
    return GetSurround(course) != CRectF(0.0f, 0.0f, course.GetWidth(), course.GetHeight());
}

bool ShowsFooter(const CCourse& course)
{
    return course.GetOrganisationId() == kFooterOrganisation && course.GetShowUKCFooter();
}

// The footer's top-left corner lies at the bottom-left corner of the
// surround.
void DrawFooter(CGraphicsContext& context, const CCourse& course)
{
    const CRectF surround = GetSurround(course);
    CScoreSheet footer(surround.Width(), course.GetUKCClass());
    DrawAt(context, footer, surround.left, -surround.bottom, 0.0f);
}

}  // namespace

uint32_t GetGroundColor(bool grass)
{
    return grass ? 0xFFFDA889 : 0xFFFFFFFF;
}

void CSceneLayer::Refresh()
{
    MakeUniqueKey();
}

void CMapBaseLayer::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    if (!m_course)
        return;
    CCourse& course = *m_course;
    const int background = course.GetBackground();
    const float width = course.GetWidth();
    const float height = course.GetHeight();

    CSurroundOutline surround(width, height, GetSurround(course), 255);
    CRingOutline ring(width, height, 255);
    CGridLines grid(course, 255);
    CGridLabels labels(course, kMapView);
    course.AddObjectsToScene(context, true, kMapView, true);

    if (background != 0 && HasMargins(course))
        DrawElement(context, surround);
    // The grid numbers go under the ring's border and the grid lines: at a
    // small scale their boxes reach the lines, which must stay whole.
    if (background == 3)
        DrawElement(context, labels);
    if (background != 0)
        DrawElement(context, ring);
    if (background > 1)
        DrawElement(context, grid);
    if (ShowsFooter(course))
        DrawFooter(context, course);

    course.AddObjectsToScene(context, false, kMapView, true);
}

void CMapObjectsLayer::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    if (!m_course)
        return;
    m_course->AddObjectsToScene(context, true, kMapView, false);
    m_course->AddObjectsToScene(context, false, kMapView, false);
}

void C3DBaseLayer::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    if (!m_course)
        return;
    CCourse& course = *m_course;
    const int background = course.GetBackground();
    const float width = course.GetWidth();
    const float height = course.GetHeight();

    if (!course.GetHideGrass())
        DrawAt(context, CGrassGround::Instance(), width / 2.0f, -height / 2.0f, -1.0f);
    if (background != 0 && HasMargins(course)) {
        CSurroundOutline surround(width, height, GetSurround(course), 64);
        DrawElement(context, surround);
    }
    if (background > 1) {
        CGridLines grid(course, 64);
        DrawElement(context, grid);
        CRingOutline ring(width, height, 64);
        DrawElement(context, ring);
    }
    if (ShowsFooter(course))
        DrawFooter(context, course);
}

void C3DObjectsLayer::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    if (!m_course)
        return;
    CCourse& course = *m_course;
    course.AddObjectsToScene(context, true, k3DView, true);
    course.AddObjectsToScene(context, true, k3DView, false);
    const int background = course.GetBackground();
    if (background != 0) {
        CRingFence fence(course);
        DrawElement(context, fence);
    }
    if (background == 3) {
        CGridLabels labels(course, k3DView);
        DrawElement(context, labels);
    }
    course.AddObjectsToScene(context, false, k3DView, true);
    course.AddObjectsToScene(context, false, k3DView, false);
}

void CCoordinatesLayer::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    if (m_course)
        m_course->DrawCoordinateMarks(context, m_viewKind);
}

void CSelectionLayer::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    if (m_course)
        m_course->DrawSelection(context);
}
