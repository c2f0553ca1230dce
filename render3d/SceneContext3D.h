#pragma once

#include <cstdint>
#include <vector>

#include "foundation/Box.h"
#include "foundation/Geometry.h"
#include "foundation/Transform.h"
#include "render3d/Camera.h"
#include "render3d/GraphicsContext3D.h"

class CScene;

// Picking: which scene item lies under a window point. The pick runs at
// construction: the camera is narrowed to a small square around the point,
// the scene's items are drawn into this context from the last (topmost) to
// the first, and their triangles are tested against that square. The walk
// stops at the first item with a hit.
//
// Every drawable is first tested by its bounds: wholly outside the square it
// is skipped, wholly inside it is a hit without drawing. Runs of triangles
// are likewise bounded first. Text counts by the rectangle of its layout.
//
//     CSceneContext3D pick(scene, panel.camera, x, y, 0.6f);
//     if (pick.HasHit()) ... pick.GetHitPickId(), pick.GetHitPoint() ...
//
// Within one item a later hit replaces an earlier one: on a flat item what
// is drawn later lies on top; on a 3D item only a nearer hit replaces one.
class CSceneContext3D : public CGraphicsContext3D
{
public:
    // camera: the camera the scene was last drawn with (window pixels). The
    // pick window is the square of 2 * margin around the middle of pixel
    // (x, y); a margin that is not above 0 makes it the pixel itself.
    CSceneContext3D(CScene& scene, const CCamera& camera, float x, float y, float margin);
    ~CSceneContext3D() override;

    bool HasHit() const { return m_hitItem >= 0; }
    // The scene slot of the hit, -1 for none.
    int GetHitItem() const { return m_hitItem; }
    // The pick id of the innermost drawable around the hit that was drawn
    // with one (DrawDrawable's flag), 0 for none.
    int GetHitPickId() const { return m_hitPickId; }
    // The colour of the first corner of the triangle hit; 0 when a drawable
    // wholly inside the pick window was taken without drawing it.
    uint32_t GetHitColor() const { return m_hitColor; }
    // Where the ray through the point meets what was hit, in scene
    // coordinates.
    const CVector3& GetHitPoint() const { return m_hitPoint; }
    // The window point unprojected at depth 1, in scene coordinates.
    const CVector3& GetPickRay() const { return m_pickRay; }
    // The camera narrowed to the pick window.
    const CCamera& GetCamera() const { return m_camera; }

    // ---- Slots ------------------------------------------------------------------
    // The text's layout rectangle at textZ goes to the triangle test.
    void DrawText(const std::wstring& text, float x, float y) override;
    // Every batch of triangles is tested, then dropped.
    void EndVertices() override;
    // Bounds first; then the drawable draws itself with lighting off.
    void DrawDrawable(CDrawable& drawable, int mode, int flag) override;

    // Tests the triangles [first, last) of the vertex store: a run of 5 or
    // more by its bounds first, a run of 10 or more in up to 6 groups, the
    // rest one by one, clipped to the pick window and kept when something
    // is left in front of the near plane. True on a hit.
    bool HitTriangles(size_t first, size_t last);

private:
    void Pick();
    CVector3 ToView(const CGraphicsVertex& vertex) const;
    // The point of the ray through the pick window's centre at view depth z.
    CVector3 RayAtDepth(float z) const;
    // Records a hit at a view-space point.
    void RecordHit(const CVector3& viewPoint);

    CScene& m_scene;
    CCamera m_camera;
    float m_centreX;
    float m_centreY;
    float m_margin;
    CVector3 m_pickRay;
    // Drawable coordinates to view space: the view transform (inverse of the
    // scene's) and the placements of the drawables around.
    CTransform m_device;
    int m_currentItem = -1;
    bool m_current3D = false;
    int m_currentPickId = 0;
    int m_nesting = 0;
    int m_hitItem = -1;
    int m_hitPickId = 0;
    uint32_t m_hitColor = 0;
    // The colour of the triangles under test.
    uint32_t m_candidateColor = 0;
    CVector3 m_hitPoint;
    // Distance in front of the eye of the current item's hit.
    float m_hitDistance = 0.0f;
    bool m_itemHit = false;
    std::vector<CVector3> m_work;
};
