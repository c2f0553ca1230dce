#pragma once

#include "app/CourseSceneLayers.h"
#include "app/RubberBandLayer.h"
#include "app/ViewCamera.h"
#include "course/CourseListener.h"
#include "ui/Scene.h"

class CCourse;
class CPixelBitmap;

// A course as a scene of six layer slots: 0 base (ground, outlines, grid,
// footer), 1 empty, 2 objects, 3 coordinate marks, 4 selection marks, 5 the
// rubber band. The scene decides which layers are present, rebuilds them on
// request and keeps its camera, depth range and background; the layers read
// the course afresh whenever they draw.
//
// In map mode the scene is a flat plan whose transform FitView sets for an
// off-screen picture; otherwise it looks through a copy of the course's
// current view camera (course windows use their scenes that way).
class CCourseScene : public CScene
{
public:
    static constexpr int kSlotCount = kSceneLayerCount;
    // Depth ranges in course units.
    static constexpr float kMapNear = -1200.0f;
    static constexpr float kMapFar = 120.0f;
    static constexpr float k3DNear = 120.0f;
    static constexpr float k3DFar = 120000.0f;

    ~CCourseScene() override;

    // ---- Operations, in slot order -------------------------------------------
    // Sets the depth range for the mode and, when the mode changes, rebuilds.
    bool SetMapMode(bool map) override;
    // Outside map mode the camera first; then every slot.
    virtual void Rebuild();
    // The layer that belongs in a slot now, or null.
    virtual CSceneLayer* GetLayer(ESceneLayer layer);

    // Puts the slot's layer in place and refreshes it; the objects' slot
    // refreshes the selection marks, which stand on the objects, as well.
    // The course window calls it for the layers its course's notifications
    // name.
    void UpdateLayer(ESceneLayer layer);
    // Map mode: identity transform, flat. Otherwise the course's current view
    // camera is copied; its transform becomes the scene's and the scene is 3D
    // when the camera looks anything but straight down.
    void UpdateCamera();
    // Course windows show their selection; pictures do not.
    void ShowSelection(bool show);
    // Sets the view for an off-screen picture of width x height pixels: in
    // map mode the ring with its margins and footer, grown by 10, is fitted
    // into that size with its aspect kept and its top-left corner at pixel
    // (x0, y0); otherwise the course's view camera is fitted to that
    // viewport.
    void FitView(float width, float height, float x0, float y0);

    CCourse* GetCourse() const { return m_course; }
    bool IsShowingSelection() const { return m_showSelection; }
    // The camera as last taken from the course (UpdateCamera, FitView).
    const CViewCamera& GetCamera() const { return m_camera; }
    CRubberBandLayer& GetRubberBand() { return m_rubberBand; }
    CSelectionLayer& GetSelectionLayer() { return m_selection; }

protected:
    // The coordinate marks are drawn for the view kind (2 map, 3 3D).
    CCourseScene(CCourse* course, int viewKind);
    // The scene's own objects layer (slot 2).
    virtual CSceneLayer& GetObjectsLayer() = 0;

    CCourse* m_course;
    bool m_showSelection = false;
    CCoordinatesLayer m_coordinates;
    CSelectionLayer m_selection;
    CRubberBandLayer m_rubberBand;
    CViewCamera m_camera{true};
};

// The top-down map; white behind it.
class CCourseMapScene : public CCourseScene
{
public:
    // The course is not owned; null makes an empty scene.
    explicit CCourseMapScene(CCourse* course);

    CSceneLayer* GetLayer(ESceneLayer layer) override;

protected:
    CSceneLayer& GetObjectsLayer() override { return m_objects; }

private:
    CMapBaseLayer m_base;
    CMapObjectsLayer m_objects;
};

// The 3D picture: the ground colour behind it and its objects layer drawn
// as a 3D item.
class CCourse3DScene : public CCourseScene
{
public:
    // The course is not owned; null makes an empty scene.
    explicit CCourse3DScene(CCourse* course);

    void Rebuild() override;
    CSceneLayer* GetLayer(ESceneLayer layer) override;

protected:
    CSceneLayer& GetObjectsLayer() override { return m_objects; }

private:
    C3DBaseLayer m_base;
    C3DObjectsLayer m_objects;
};

// Draws the course into the bitmap, off screen: the whole map, or the
// current view (3D when the course shows 3D). With a full size of 0 x 0 the
// picture is the bitmap's own size; otherwise the bitmap receives the tile
// at the offset of a picture of the full size. False for a bitmap without
// pixels, and after a report for a full size below one pixel. Export and
// printing draw courses through it.
bool RenderCourseImage(CCourse& course, CPixelBitmap& bitmap, bool mapView, float fullWidth, float fullHeight,
                       float offsetX = 0.0f, float offsetY = 0.0f);
