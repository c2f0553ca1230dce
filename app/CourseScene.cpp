#include "app/CourseScene.h"

#include <cmath>
#include <cstdint>
#include <memory>

#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Geometry.h"
#include "foundation/TracePoint.h"
#include "graphics/PixelBitmap.h"
#include "render3d/GraphicsSystem.h"

// ---- Base ---------------------------------------------------------------------------

CCourseScene::CCourseScene(CCourse* course, int viewKind)
    : CScene(true, kSlotCount), m_course(course), m_coordinates(viewKind)
{
    UpdateCamera();
}

CCourseScene::~CCourseScene() = default;

bool CCourseScene::SetMapMode(bool map)
{
    TRACE_VALUE(bool, map);
    nearDepth = map ? kMapNear : k3DNear;
    farDepth = map ? kMapFar : k3DFar;
    if (map != mapMode) {
        mapMode = map;
        Rebuild();
    }
    return mapMode;
}

void CCourseScene::Rebuild()
{
    TRACE_POINT();
    if (!mapMode)
        UpdateCamera();
    for (int index = 0; index < kSlotCount; ++index)
        UpdateLayer(ESceneLayer(index));
}

CSceneLayer* CCourseScene::GetLayer(ESceneLayer layer)
{
    if (!m_course)
        return nullptr;
    switch (layer) {
    case ESceneLayer::kObjects:
        return &GetObjectsLayer();
    case ESceneLayer::kCoordinateMarks:
        return m_course->GetShowObsCoords() ? &m_coordinates : nullptr;
    case ESceneLayer::kSelection:
        return m_showSelection && m_course->HasSelection() ? &m_selection : nullptr;
    case ESceneLayer::kRubberBand:
        return m_rubberBand.IsActive() ? &m_rubberBand : nullptr;
    default:
        return nullptr;
    }
}

void CCourseScene::UpdateLayer(ESceneLayer slot)
{
    const int index = int(slot);
    if (index < 0 || index >= kSlotCount) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        return;
    }
    CSceneLayer* layer = GetLayer(slot);
    items[index] = layer;
    if (layer) {
        layer->SetCourse(m_course);
        layer->Refresh();
    }
    // The selection marks stand at the objects' ends: an object that moves,
    // turns or changes its shape takes them along, so they are measured and
    // picked afresh with the objects.
    if (slot == ESceneLayer::kObjects && items[int(ESceneLayer::kSelection)] != nullptr)
        m_selection.Refresh();
}

void CCourseScene::UpdateCamera()
{
    TRACE_POINT();
    if (mapMode || !m_course) {
        transform.SetIdentity();
        all3D = false;
        return;
    }
    m_camera = m_course->GetViewCamera();
    transform = m_camera.GetTransform();
    all3D = m_camera.GetPitch() > 0;
}

void CCourseScene::ShowSelection(bool show)
{
    m_showSelection = show;
    UpdateLayer(ESceneLayer::kSelection);
}

void CCourseScene::FitView(float width, float height, float x0, float y0)
{
    TRACE_POINT();
    if (!m_course) {
        ReportFailure();
        return;
    }
    if (mapMode) {
        const CRectF ring = m_course->GetRingRect(true, true);
        const CSize2 fitted = FitSizeKeepingAspect(CSize2(ring.Width(), ring.Height()), width, height);
        const float scale = ring.Width() / fitted.width;
        if (!(scale > 0.0f) || !std::isfinite(scale)) {
            // No picture area: nothing can be fitted into it.
            TRACE_VALUE(float, scale);
            ReportFailure();
            return;
        }
        transform.SetIdentity();
        transform.SetPosition2D(ring.left - x0 * scale, ring.top - y0 * scale);
        transform.Scale(scale);
        all3D = false;
        return;
    }
    m_camera = m_course->GetViewCamera();
    m_camera.SetViewportSize(width, height);
    transform = m_camera.GetTransform();
    all3D = m_camera.GetPitch() > 0;
}

// ---- Map ----------------------------------------------------------------------------

CCourseMapScene::CCourseMapScene(CCourse* course) : CCourseScene(course, 2)
{
    SetMapMode(true);
    Rebuild();
}

CSceneLayer* CCourseMapScene::GetLayer(ESceneLayer layer)
{
    if (layer == ESceneLayer::kBase && m_course)
        return m_course->GetBackground() != 0 || m_course->GetShowUKCFooter() ? &m_base : nullptr;
    return CCourseScene::GetLayer(layer);
}

// ---- 3D -----------------------------------------------------------------------------

CCourse3DScene::CCourse3DScene(CCourse* course) : CCourseScene(course, 3)
{
    background = GetGroundColor(m_course && !m_course->GetHideGrass());
    is3D[int(ESceneLayer::kObjects)] = true;
    SetMapMode(false);
}

void CCourse3DScene::Rebuild()
{
    background = GetGroundColor(m_course && !m_course->GetHideGrass());
    CCourseScene::Rebuild();
}

CSceneLayer* CCourse3DScene::GetLayer(ESceneLayer layer)
{
    if (layer == ESceneLayer::kBase && m_course)
        return &m_base;
    return CCourseScene::GetLayer(layer);
}

bool RenderCourseImage(CCourse& course, CPixelBitmap& bitmap, bool mapView, float fullWidth, float fullHeight,
                       float offsetX, float offsetY)
{
    TRACE_VALUE(bool, mapView);
    if (bitmap.GetPixelWidth() < 1 || bitmap.GetPixelHeight() < 1)
        return false;
    const bool whole = fullWidth == 0.0f && fullHeight == 0.0f;
    if (whole) {
        fullWidth = bitmap.GetWidth();
        fullHeight = bitmap.GetHeight();
    } else if (!(fullWidth >= 1.0f) || !(fullHeight >= 1.0f)) {
        TRACE_VALUE(CSize2, CSize2(fullWidth, fullHeight));
        ReportFailure();
        return false;
    }
    std::unique_ptr<CCourseScene> scene;
    if (!mapView && course.Get3D())
        scene = std::make_unique<CCourse3DScene>(&course);
    else
        scene = std::make_unique<CCourseMapScene>(&course);
    scene->SetMapMode(mapView);
    scene->FitView(fullWidth, fullHeight, 0.0f, 0.0f);
    if (whole)
        RenderSceneToBitmap(*scene, bitmap, false);
    else
        RenderSceneOffscreen(*scene, bitmap, fullWidth, fullHeight, offsetX, offsetY, false);
    return true;
}
