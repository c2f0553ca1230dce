#include "render3d/Camera.h"

#include <algorithm>
#include <cmath>

#include "foundation/CrashLog.h"
#include "foundation/PolygonClip.h"
#include "foundation/Transform.h"

namespace {

// Near-plane extent factors: 2 tan 22.5 degrees (45 degrees across) and
// 2 tan 60 degrees (120 degrees across), with the window aspects at which
// 45 degrees across the smaller side would exceed 120 across the larger.
const float kNarrowFactor = 0.82842714f;
const float kWideFactor = 3.4641016f;
const float kTallAspect = 4.1815405f;
const float kFlatAspect = 0.23914632f;

// A non-negative finite value; anything else is reported and gives 0.
float CheckedSize(float value)
{
    if (std::isfinite(value) && value >= 0.0f)
        return value;
    TRACE_VALUE(float, value);
    ReportFailure();
    return 0.0f;
}

struct CPlane
{
    float a, b, c, d;
    float Distance(const CVector3& p) const { return a * p.x + b * p.y + c * p.z + d; }
};

}  // namespace

CCamera::CCamera()
{
    UpdateMatrices();
}

void CCamera::SetViewport(float width, float height, float projectionWidth, float projectionHeight,
                          float offsetX, float offsetY)
{
    TRACE_POINT();
    m_windowWidth = CheckedSize(width);
    m_windowHeight = CheckedSize(height);
    projectionWidth = CheckedSize(projectionWidth);
    projectionHeight = CheckedSize(projectionHeight);
    if (projectionWidth == 0.0f && projectionHeight == 0.0f) {
        projectionWidth = m_windowWidth;
        projectionHeight = m_windowHeight;
    }
    m_projectionWidth = projectionWidth;
    m_projectionHeight = projectionHeight;
    m_offsetX = std::isfinite(offsetX) ? offsetX : 0.0f;
    m_offsetY = std::isfinite(offsetY) ? offsetY : 0.0f;
    m_windowRect = CRectF(0.0f, 0.0f, m_windowWidth, m_windowHeight);
    UpdateMatrices();
}

void CCamera::SetWindowRect(const CRectF* rect, float margin)
{
    CRectF r = rect ? *rect : CRectF(0.0f, 0.0f, m_windowWidth, m_windowHeight);
    if (!std::isfinite(margin))
        margin = 0.0f;
    r.left -= margin;
    r.top -= margin;
    r.right += margin;
    r.bottom += margin;
    if (!std::isfinite(r.left) || !std::isfinite(r.top) || !std::isfinite(r.right) || !std::isfinite(r.bottom)) {
        TRACE_VALUE(CRectF, r);
        ReportFailure();
        r = CRectF(0.0f, 0.0f, m_windowWidth, m_windowHeight);
    }
    m_windowRect = r;
    UpdateMatrices();
}

void CCamera::SetDepthRange(float nearZ, float farZ)
{
    TRACE_POINT();
    if (!std::isfinite(nearZ) || !std::isfinite(farZ)) {
        TRACE_VALUE(float, nearZ);
        TRACE_VALUE(float, farZ);
        ReportFailure();
        return;
    }
    if (!(farZ > nearZ)) {
        TRACE_VALUE(float, nearZ);
        TRACE_VALUE(float, farZ);
        ReportFailure();
    }
    m_near = nearZ;
    m_far = farZ;
    UpdateMatrices();
}

CRectF CCamera::GetEffectiveRect() const
{
    CRectF r = m_windowRect;
    if (r.left >= r.right || r.top >= r.bottom) {
        r.right = r.left + 1.0f;
        r.bottom = r.top + 1.0f;
    }
    return r;
}

void CCamera::UpdateMatrices()
{
    const float w = std::max(m_projectionWidth, 1.0f);
    const float h = std::max(m_projectionHeight, 1.0f);
    float nearZ = m_near;
    if (!m_orthographic && nearZ == 0.0f)
        nearZ = 1.0f;
    float farZ = m_far > nearZ ? m_far : nearZ + 1.0f;

    float extentWidth, extentHeight, originX, originY;
    if (m_orthographic) {
        extentWidth = w;
        extentHeight = h;
        originX = 0.0f;
        originY = -h;
    } else {
        const float aspect = h / w;
        if (aspect >= kTallAspect) {
            extentHeight = nearZ * kWideFactor;
            extentWidth = w * extentHeight / h;
        } else if (aspect > kFlatAspect && aspect < 1.0f) {
            extentHeight = nearZ * kNarrowFactor;
            extentWidth = w * extentHeight / h;
        } else if (aspect >= 1.0f) {
            extentWidth = nearZ * kNarrowFactor;
            extentHeight = h * extentWidth / w;
        } else {
            extentWidth = nearZ * kWideFactor;
            extentHeight = h * extentWidth / w;
        }
        originX = -extentWidth / 2.0f;
        originY = -extentHeight / 2.0f;
    }

    const CRectF r = GetEffectiveRect();
    m_left = originX + (m_offsetX + r.left) * extentWidth / w;
    m_right = originX + (m_offsetX + r.right) * extentWidth / w;
    m_bottom = originY + (h - (m_offsetY + r.bottom)) * extentHeight / h;
    m_top = originY + (h - (m_offsetY + r.top)) * extentHeight / h;
    BuildMatrices(m_left, m_right, m_bottom, m_top, nearZ, farZ);

    const bool finite = std::all_of(m_projection, m_projection + 16, [](float v) { return std::isfinite(v); }) &&
                        std::all_of(m_inverse, m_inverse + 16, [](float v) { return std::isfinite(v); });
    if (!finite) {
        // Only sizes beyond the float range get here; a unit projection keeps
        // every later computation finite.
        TRACE_VALUE(float, m_projectionWidth);
        TRACE_VALUE(float, m_projectionHeight);
        ReportFailure();
        const bool orthographic = m_orthographic;
        m_orthographic = true;
        m_left = 0.0f;
        m_right = 1.0f;
        m_bottom = -1.0f;
        m_top = 0.0f;
        BuildMatrices(m_left, m_right, m_bottom, m_top, -1.0f, 1.0f);
        m_orthographic = orthographic;
    }
}

void CCamera::BuildMatrices(float left, float right, float bottom, float top, float nearZ, float farZ)
{
    float* m = m_projection;
    float* inv = m_inverse;
    std::fill(m, m + 16, 0.0f);
    std::fill(inv, inv + 16, 0.0f);
    const float width = right - left;
    const float height = top - bottom;
    const float depth = farZ - nearZ;
    if (m_orthographic) {
        m[0] = 2.0f / width;
        m[5] = 2.0f / height;
        m[10] = -2.0f / depth;
        m[12] = -(right + left) / width;
        m[13] = -(top + bottom) / height;
        m[14] = -(farZ + nearZ) / depth;
        m[15] = 1.0f;
        inv[0] = width / 2.0f;
        inv[5] = height / 2.0f;
        inv[10] = -depth / 2.0f;
        inv[12] = (right + left) / 2.0f;
        inv[13] = (top + bottom) / 2.0f;
        inv[14] = -(farZ + nearZ) / 2.0f;
        inv[15] = 1.0f;
    } else {
        m[0] = 2.0f * nearZ / width;
        m[5] = 2.0f * nearZ / height;
        m[8] = (right + left) / width;
        m[9] = (top + bottom) / height;
        m[10] = -(farZ + nearZ) / depth;
        m[11] = -1.0f;
        m[14] = -2.0f * farZ * nearZ / depth;
        inv[0] = width / (2.0f * nearZ);
        inv[5] = height / (2.0f * nearZ);
        inv[11] = -depth / (2.0f * farZ * nearZ);
        inv[12] = (right + left) / (2.0f * nearZ);
        inv[13] = (top + bottom) / (2.0f * nearZ);
        inv[14] = -1.0f;
        inv[15] = (farZ + nearZ) / (2.0f * farZ * nearZ);
    }
}

float CCamera::NormalizedToWindowX(float nx) const
{
    return m_windowRect.left + (nx + 1.0f) / 2.0f * (m_windowRect.right - m_windowRect.left);
}

float CCamera::NormalizedToWindowY(float ny) const
{
    const float centre = (m_windowRect.top + m_windowRect.bottom) / 2.0f;
    return centre - ny / 2.0f * (m_windowRect.bottom - m_windowRect.top);
}

int CCamera::ProjectPoint(const CVector3& point, CPoint2* windowPoint) const
{
    const float* m = m_projection;
    float z = point.z;
    const bool behind = -z < m_near;
    if (behind)
        z = -m_near;
    const float w = z * m[11] + m[15];
    float nx = (point.x * m[0] + z * m[8] + m[12]) / w;
    float ny = (point.y * m[5] + z * m[9] + m[13]) / w;
    int result;
    if (!std::isfinite(nx) || !std::isfinite(ny)) {
        // A point in the eye's own plane has no image.
        nx = ny = 0.0f;
        result = 0;
    } else if (behind || nx < -1.0f || nx > 1.0f || ny < -1.0f || ny > 1.0f || -z > m_far) {
        result = 0;
    } else if (nx > -1.0f && nx < 1.0f && ny > -1.0f && ny < 1.0f && -z < m_far) {
        result = 2;
    } else {
        result = 1;
    }
    if (windowPoint)
        *windowPoint = CPoint2(NormalizedToWindowX(nx), NormalizedToWindowY(ny));
    return result;
}

CVector3 CCamera::UnprojectPoint(float x, float y, float depth) const
{
    const CRectF r = GetEffectiveRect();
    const float nx = (x - (r.left + r.right) / 2.0f) * 2.0f / (r.right - r.left);
    const float ny = ((r.top + r.bottom) / 2.0f - y) * 2.0f / (r.bottom - r.top);
    const float nz = 2.0f * depth - 1.0f;
    const float* inv = m_inverse;
    const float px = nx * inv[0] + ny * inv[4] + nz * inv[8] + inv[12];
    const float py = nx * inv[1] + ny * inv[5] + nz * inv[9] + inv[13];
    const float pz = nx * inv[2] + ny * inv[6] + nz * inv[10] + inv[14];
    const float pw = nx * inv[3] + ny * inv[7] + nz * inv[11] + inv[15];
    if (pw == 0.0f || !std::isfinite(pw))
        return CVector3(px, py, pz);
    return CVector3(px / pw, py / pw, pz / pw);
}

float CCamera::ScaleAtDepth(float z) const
{
    float width = m_windowRect.right - m_windowRect.left;
    if (!(width > 0.0f)) {
        TRACE_VALUE(float, width);
        ReportFailure();
        width = 1.0f;
    }
    return 2.0f * (m_projection[11] * -std::fabs(z) + m_projection[15]) / m_projection[0] / width;
}

int CCamera::ClassifyBox(const CBox3& box, const CTransform& transform, CRectF* windowRect) const
{
    const int cornerCount = box.minZ == box.maxZ ? 4 : 8;
    CBox3 view;
    for (int i = 0; i < cornerCount; ++i) {
        const CVector3 corner(i & 1 ? box.maxX : box.minX, i & 2 ? box.maxY : box.minY,
                              i & 4 ? box.maxZ : box.minZ);
        const CVector3 p = transform.TransformPoint(corner);
        if (i == 0)
            view.SetPoint(p);
        else
            view.Include(p);
    }
    // Distances along the viewing direction: -z.
    const float nearest = -view.maxZ;
    const float farthest = -view.minZ;
    if (farthest < m_near || nearest > m_far) {
        if (windowRect)
            *windowRect = CRectF();
        return 0;
    }

    const float* m = m_projection;
    bool first = true;
    float minX = 0, maxX = 0, minY = 0, maxY = 0;
    const auto add = [&](float x, float y, float z) {
        const float w = z * m[11] + m[15];
        const float nx = (x * m[0] + z * m[8] + m[12]) / w;
        const float ny = (y * m[5] + z * m[9] + m[13]) / w;
        if (first) {
            minX = maxX = nx;
            minY = maxY = ny;
            first = false;
        } else {
            minX = std::min(minX, nx);
            maxX = std::max(maxX, nx);
            minY = std::min(minY, ny);
            maxY = std::max(maxY, ny);
        }
    };
    if (m_orthographic) {
        add(view.minX, view.minY, view.minZ);
        add(view.maxX, view.maxY, view.maxZ);
    } else {
        // Corners in front of the near plane; those behind it are moved onto it.
        const float zNear = -m_near;
        for (int i = 0; i < 8; ++i) {
            const float z = std::min(i & 4 ? view.maxZ : view.minZ, zNear);
            add(i & 1 ? view.maxX : view.minX, i & 2 ? view.maxY : view.minY, z);
        }
    }
    if (!std::isfinite(minX) || !std::isfinite(maxX) || !std::isfinite(minY) || !std::isfinite(maxY)) {
        if (windowRect)
            *windowRect = CRectF();
        return 0;
    }
    if (windowRect)
        *windowRect = CRectF(NormalizedToWindowX(minX), NormalizedToWindowY(maxY), NormalizedToWindowX(maxX),
                             NormalizedToWindowY(minY));
    if (maxX < -1.0f || minX > 1.0f || maxY < -1.0f || minY > 1.0f)
        return 0;
    if (minX >= -1.0f && maxX <= 1.0f && minY >= -1.0f && maxY <= 1.0f && nearest >= m_near && farthest <= m_far)
        return 2;
    return 1;
}

int CCamera::ClipPolygon(std::vector<CVector3>& points) const
{
    if (points.empty())
        return 0;
    const float* m = m_projection;
    // Column j of the row-vector matrix gives clip coordinate j; inside a
    // side plane means -w <= x <= w and -w <= y <= w.
    const auto column = [m](int j) { return CPlane{m[j], m[4 + j], m[8 + j], m[12 + j]}; };
    const CPlane cx = column(0), cy = column(1), cw = column(3);
    const CPlane planes[4] = {
        {cw.a + cx.a, cw.b + cx.b, cw.c + cx.c, cw.d + cx.d},   // left
        {cw.a - cx.a, cw.b - cx.b, cw.c - cx.c, cw.d - cx.d},   // right
        {cw.a + cy.a, cw.b + cy.b, cw.c + cy.c, cw.d + cy.d},   // bottom
        {cw.a - cy.a, cw.b - cy.b, cw.c - cy.c, cw.d - cy.d},   // top
    };
    bool allInside = true;
    bool crosses[4] = {};
    for (int i = 0; i < 4; ++i) {
        size_t outside = 0;
        for (const CVector3& p : points)
            outside += planes[i].Distance(p) < 0.0f ? 1 : 0;
        if (outside == points.size()) {
            points.clear();
            return 0;
        }
        crosses[i] = outside != 0;
        allInside = allInside && outside == 0;
    }
    if (allInside)
        return 2;
    std::vector<CVector3> clipped;
    for (int i = 0; i < 4 && !points.empty(); ++i) {
        if (!crosses[i])
            continue;
        const float plane[4] = {planes[i].a, planes[i].b, planes[i].c, planes[i].d};
        ClipPolygonToPlane(plane, points, clipped);
        points.swap(clipped);
    }
    return points.empty() ? 0 : 1;
}
