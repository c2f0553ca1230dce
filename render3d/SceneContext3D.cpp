#include "render3d/SceneContext3D.h"

#include <algorithm>
#include <cmath>

#include "foundation/CrashLog.h"
#include "graphics/BoundsContext.h"
#include "graphics/Drawable.h"
#include "ui/Scene.h"

namespace {

CVector3 Sub(const CVector3& a, const CVector3& b) { return CVector3(a.x - b.x, a.y - b.y, a.z - b.z); }

CVector3 Cross(const CVector3& a, const CVector3& b)
{
    return CVector3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

float Dot(const CVector3& a, const CVector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

CVector3 Centroid(const std::vector<CVector3>& points)
{
    CVector3 sum;
    for (const CVector3& p : points) {
        sum.x += p.x;
        sum.y += p.y;
        sum.z += p.z;
    }
    const float n = float(std::max<size_t>(points.size(), 1));
    return CVector3(sum.x / n, sum.y / n, sum.z / n);
}

// A run of this many triangles is bounded before its triangles are tested,
// and split into groups from twice as many on.
const size_t kBoundedRun = 5;
const size_t kMaxGroups = 6;

}  // namespace

CSceneContext3D::CSceneContext3D(CScene& scene, const CCamera& camera, float x, float y, float margin)
    : m_scene(scene), m_camera(camera), m_centreX(x + 0.5f), m_centreY(y + 0.5f),
      m_margin(margin > 0.0f ? margin : 0.5f)
{
    m_work.reserve(13);
    Pick();
}

CSceneContext3D::~CSceneContext3D() = default;

void CSceneContext3D::Pick()
{
    TRACE_POINT();
    const CRectF centre(m_centreX, m_centreY, m_centreX, m_centreY);
    m_camera.SetWindowRect(&centre, m_margin);
    m_pickRay = m_scene.transform.TransformPoint(m_camera.UnprojectPoint(m_centreX, m_centreY, 1.0f));

    const CTransform view(m_scene.transform, true);
    for (size_t i = m_scene.items.size(); i-- > 0;) {
        CDrawable* item = m_scene.items[i];
        if (!item)
            continue;
        m_currentItem = int(i);
        m_current3D = i < m_scene.is3D.size() && m_scene.is3D[i];
        m_currentPickId = 0;
        m_itemHit = false;
        m_device = view;
        m_state.Reset(CVector3());
        DrawDrawable(*item, 0, 0);
        ClearVertices();
        if (m_itemHit)
            break;
    }
    m_currentItem = -1;
}

// ---- Geometry -----------------------------------------------------------------------

CVector3 CSceneContext3D::ToView(const CGraphicsVertex& vertex) const
{
    return m_device.TransformPoint(CVector3(vertex.x, vertex.y, vertex.z));
}

CVector3 CSceneContext3D::RayAtDepth(float z) const
{
    const CVector3 p0 = m_camera.UnprojectPoint(m_centreX, m_centreY, 0.0f);
    const CVector3 p1 = m_camera.UnprojectPoint(m_centreX, m_centreY, 1.0f);
    const float dz = p1.z - p0.z;
    const float t = dz != 0.0f ? (z - p0.z) / dz : 0.0f;
    return CVector3(p0.x + (p1.x - p0.x) * t, p0.y + (p1.y - p0.y) * t, z);
}

void CSceneContext3D::RecordHit(const CVector3& viewPoint)
{
    const float distance = -viewPoint.z;
    if (m_itemHit && m_current3D && !(distance < m_hitDistance))
        return;
    m_itemHit = true;
    m_hitDistance = distance;
    m_hitItem = m_currentItem;
    m_hitPickId = m_currentPickId;
    m_hitColor = m_candidateColor;
    m_hitPoint = m_scene.transform.TransformPoint(viewPoint);
}

// ---- Slots --------------------------------------------------------------------------

void CSceneContext3D::DrawDrawable(CDrawable& drawable, int mode, int flag)
{
    TRACE_VALUE(int32_t, flag);
    if (m_nesting >= kMaxNesting) {
        ReportFailure();
        return;
    }
    const CTransform matrix = m_state.matrix;
    ComputeItemTransform(mode, m_camera, m_device, m_scene.transform, drawable);
    const CTransform placement(m_device, m_state.matrix);
    const int pickId = flag != 0 ? flag : m_currentPickId;

    CBoundsContext::MeasureDrawable(drawable);
    const CDrawableBounds& bounds = drawable.GetBounds();
    CBox3 box;
    int where = 0;
    if (!bounds.empty) {
        bounds.AtCamera(box, m_camera, placement);
        where = m_camera.ClassifyBox(box, placement);
    }
    if (where == 2) {
        // Wholly inside the pick window: a hit whatever its triangles.
        const int outerPickId = m_currentPickId;
        m_currentPickId = pickId;
        const CBox3 view = placement.TransformBox(box);
        m_candidateColor = 0;
        RecordHit(RayAtDepth((view.minZ + view.maxZ) * 0.5f));
        m_currentPickId = outerPickId;
    } else if (where == 1) {
        PushState();
        const CTransform device = m_device;
        const int outerPickId = m_currentPickId;
        m_device = placement;
        m_currentPickId = pickId;
        m_state.Reset(CVector3());
        ++m_nesting;
        drawable.Draw(*this);
        --m_nesting;
        m_currentPickId = outerPickId;
        m_device = device;
        PopState();
    }
    m_state.matrix = matrix;
}

void CSceneContext3D::DrawText(const std::wstring& text, float x, float y)
{
    CRectF cell;
    AlignText(text, x, y, &cell, nullptr);
    const float z = m_state.textZ;
    BeginVertices(2, false, 2);
    AddVertex(CVector3(cell.left, -cell.top, z));
    AddVertex(CVector3(cell.right, -cell.top, z));
    AddVertex(CVector3(cell.left, -cell.bottom, z));
    AddVertex(CVector3(cell.right, -cell.bottom, z));
    EndVertices();
}

void CSceneContext3D::EndVertices()
{
    const size_t triangles = GetTriangles().size() / 3;
    if (triangles > 0 && m_currentItem >= 0)
        HitTriangles(0, triangles);
    ClearVertices();
}

// ---- Triangle test ------------------------------------------------------------------

bool CSceneContext3D::HitTriangles(size_t first, size_t last)
{
    const std::vector<CGraphicsVertex>& vertices = GetVertices();
    const std::vector<uint32_t>& triangles = GetTriangles();
    last = std::min(last, triangles.size() / 3);
    if (first >= last)
        return false;
    const size_t count = last - first;

    if (count >= kBoundedRun) {
        CBox3 box;
        for (size_t i = first * 3; i < last * 3; ++i) {
            const CVector3 p = ToView(vertices[triangles[i]]);
            if (i == first * 3)
                box.SetPoint(p);
            else
                box.Include(p);
        }
        const int where = m_camera.ClassifyBox(box, CTransform());
        if (where == 0)
            return false;
        if (where == 2) {
            m_candidateColor = vertices[triangles[first * 3]].color;
            RecordHit(RayAtDepth((box.minZ + box.maxZ) * 0.5f));
            return true;
        }
    }
    if (count >= 2 * kBoundedRun) {
        const size_t groups = std::min(count / kBoundedRun, kMaxGroups);
        for (size_t g = 0; g < groups; ++g)
            if (HitTriangles(first + count * g / groups, first + count * (g + 1) / groups))
                return true;
        return false;
    }

    const CVector3 p0 = m_camera.UnprojectPoint(m_centreX, m_centreY, 0.0f);
    const CVector3 p1 = m_camera.UnprojectPoint(m_centreX, m_centreY, 1.0f);
    for (size_t t = first; t < last; ++t) {
        const CVector3 a = ToView(vertices[triangles[3 * t]]);
        const CVector3 b = ToView(vertices[triangles[3 * t + 1]]);
        const CVector3 c = ToView(vertices[triangles[3 * t + 2]]);
        m_work.assign({a, b, c});
        if (m_camera.ClipPolygon(m_work) == 0)
            continue;
        const float nearZ = m_camera.GetNear();
        const bool inFront =
            std::any_of(m_work.begin(), m_work.end(), [nearZ](const CVector3& p) { return -p.z >= nearZ; });
        if (!inFront)
            continue;
        // Where the ray through the window point meets the triangle's plane;
        // a plane seen edge-on gives the middle of what lies in the window.
        const CVector3 normal = Cross(Sub(b, a), Sub(c, a));
        const CVector3 direction = Sub(p1, p0);
        const float along = Dot(normal, direction);
        CVector3 point = Centroid(m_work);
        if (std::fabs(along) > 1e-6f * normal.Length() * direction.Length()) {
            const float s = Dot(normal, Sub(a, p0)) / along;
            if (std::isfinite(s))
                point = CVector3(p0.x + direction.x * s, p0.y + direction.y * s, p0.z + direction.z * s);
        }
        m_candidateColor = vertices[triangles[3 * t]].color;
        RecordHit(point);
        return true;
    }
    return false;
}
