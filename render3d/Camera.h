#pragma once

#include <vector>

#include "foundation/Box.h"
#include "foundation/Geometry.h"
#include "foundation/Rect.h"

class CTransform;

// The projection of a render target, scene or 3D context: maps view
// coordinates to window pixels and back. The viewer looks along -z; a view
// point is in front when -z >= near. Perspective projections see 45 degrees
// across the smaller side of the window and at most 120 across the larger;
// orthographic ones map one view unit to one pixel of the projection size.
//
// Matrices are for row vectors (a point times the matrix): the frustum or
// orthographic matrix of the projection bounds, transposed, and its exact
// inverse. A plain value type; copying copies everything.
//
// Sizes of zero (a minimised window) and degenerate depth ranges never give
// matrices that are not finite: the projection is then computed as if the
// size were one pixel and the range one unit deep.
class CCamera
{
public:
    CCamera();

    // The window is (0, 0)-(width, height) and the projection size the
    // window size when both projection values are 0. A window may show one
    // tile of a larger picture: the projection size is then the picture's
    // and the offset the tile's origin in it. Negative or non-finite values
    // are reported and taken as 0.
    void SetViewport(float width, float height, float projectionWidth = 0.0f,
                     float projectionHeight = 0.0f, float offsetX = 0.0f, float offsetY = 0.0f);
    // Narrows the projection to a rectangle of the window (none: the whole
    // window), grown by margin on every side. Picking uses a small window
    // around the mouse.
    void SetWindowRect(const CRectF* rect, float margin);
    // far must exceed near: otherwise reported; the values are stored all the
    // same and the matrices use a range one unit deep.
    void SetDepthRange(float nearZ, float farZ);
    // Set by the owner before UpdateMatrices.
    void SetOrthographic(bool orthographic) { m_orthographic = orthographic; }
    void UpdateMatrices();

    // 2 strictly inside the view volume, 1 in front of the near plane and on
    // the edge of the view square, 0 behind the near plane (projected as if
    // on it), outside the square or beyond far. The window point (y down) is
    // stored when asked for.
    int ProjectPoint(const CVector3& point, CPoint2* windowPoint = nullptr) const;
    // The view point under a window point at a depth from 0 (near plane) to
    // 1 (far plane).
    CVector3 UnprojectPoint(float x, float y, float depth) const;
    // The size of one window pixel in view units at distance |z|. A window
    // rectangle that is not wider than 0 is reported and counts as 1 pixel.
    float ScaleAtDepth(float z) const;
    // Where a box, placed by the transform into view space, lies: 0 outside
    // the view (the rectangle zeroed), 2 wholly inside, 1 partly. The
    // rectangle receives its projected extent in window pixels.
    int ClassifyBox(const CBox3& box, const CTransform& transform, CRectF* windowRect = nullptr) const;
    // Clips a view-space polygon to the four side planes of the view: 0 when
    // nothing is left (the list emptied), 2 when it lay wholly inside
    // (untouched), 1 when clipped.
    int ClipPolygon(std::vector<CVector3>& points) const;

    float GetWindowWidth() const { return m_windowWidth; }
    float GetWindowHeight() const { return m_windowHeight; }
    float GetProjectionWidth() const { return m_projectionWidth; }
    float GetProjectionHeight() const { return m_projectionHeight; }
    float GetOffsetX() const { return m_offsetX; }
    float GetOffsetY() const { return m_offsetY; }
    bool IsOrthographic() const { return m_orthographic; }
    float GetNear() const { return m_near; }
    float GetFar() const { return m_far; }
    const CRectF& GetWindowRect() const { return m_windowRect; }
    // Element (row r, column c) is [4 r + c].
    const float* GetProjectionMatrix() const { return m_projection; }
    const float* GetInverseProjectionMatrix() const { return m_inverse; }

    // The projection bounds on the near plane (perspective) or in view units
    // (orthographic), as last computed.
    float GetLeft() const { return m_left; }
    float GetRight() const { return m_right; }
    float GetBottom() const { return m_bottom; }
    float GetTop() const { return m_top; }

private:
    // The window rectangle with a degenerate one counted as one pixel.
    CRectF GetEffectiveRect() const;
    float NormalizedToWindowX(float nx) const;
    float NormalizedToWindowY(float ny) const;
    void BuildMatrices(float left, float right, float bottom, float top, float nearZ, float farZ);

    float m_windowWidth = 100.0f;
    float m_windowHeight = 100.0f;
    float m_projectionWidth = 100.0f;
    float m_projectionHeight = 100.0f;
    float m_offsetX = 0.0f;
    float m_offsetY = 0.0f;
    bool m_orthographic = false;
    float m_near = -10000.0f;
    float m_far = 10000.0f;
    CRectF m_windowRect{0.0f, 0.0f, 100.0f, 100.0f};
    float m_projection[16];
    float m_inverse[16];
    float m_left = 0.0f;
    float m_right = 0.0f;
    float m_bottom = 0.0f;
    float m_top = 0.0f;
};
