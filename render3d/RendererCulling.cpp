#include <algorithm>
#include <cmath>

#include "render3d/Renderer.h"

// The triangles a view can show. The library would set up every triangle of
// a segment, one by one, only to find that it lies beyond the view, faces
// away or falls between the samples of the pixels; and most triangles of a
// course seen whole are that small. A segment's mesh is given the others,
// chosen again when the view changes, in runs of one texture and blending
// joined where drawing a run earlier changes no pixel.

namespace {

// How far, in pixels, the library may put a corner from where the
// renderer's arithmetic puts it: the projection's rounding (well under a
// thousandth of a pixel) and snapping to the rasteriser's grid
// (half of 1/256 pixel: Direct3D 11 asks for 8 bits below the pixel, and
// Mesa has them), with room to spare. Most triangles of a course seen whole
// are far smaller than a pixel: the tolerance decides how many of them are
// kept.
constexpr float kWindowTolerance = 1.0f / 128.0f;

// A vertex seen through the view: its window point (y down) when it lies in
// front of the near plane, and the clip planes it lies beyond (bits: left,
// right, bottom, top, near, far).
struct CSeenVertex
{
    float x = 0.0f;
    float y = 0.0f;
    unsigned outside = 0;
};
constexpr unsigned kBeyondNear = 16;

// Triangles no larger than this many pixels either way are tested sample
// by sample; any larger one is taken to cover a sample.
constexpr float kSampledSize = 4.0f;

// Whether the triangle (window points) may cover a sample at one of the
// positions within a pixel: a sample inside every edge, or within the
// tolerance of one, whichever way the triangle turns.
bool MayCoverSample(const CSeenVertex& a, const CSeenVertex& b, const CSeenVertex& c,
                    const std::vector<CPoint2>& positions)
{
    const float left = std::min({a.x, b.x, c.x}) - kWindowTolerance;
    const float right = std::max({a.x, b.x, c.x}) + kWindowTolerance;
    const float top = std::min({a.y, b.y, c.y}) - kWindowTolerance;
    const float bottom = std::max({a.y, b.y, c.y}) + kWindowTolerance;
    if (right - left > kSampledSize || bottom - top > kSampledSize)
        return true;
    const CSeenVertex* corners[3] = {&a, &b, &c};
    float dx[3], dy[3], slack[3];
    for (int k = 0; k < 3; ++k) {
        const CSeenVertex& from = *corners[k];
        const CSeenVertex& to = *corners[(k + 1) % 3];
        dx[k] = to.x - from.x;
        dy[k] = to.y - from.y;
        // The tolerance times an edge length no shorter than the edge's.
        slack[k] = kWindowTolerance * (std::fabs(dx[k]) + std::fabs(dy[k]));
    }
    for (const CPoint2& position : positions) {
        for (float x = std::ceil(left - position.x) + position.x; x <= right; x += 1.0f) {
            for (float y = std::ceil(top - position.y) + position.y; y <= bottom; y += 1.0f) {
                bool insideTurningOneWay = true;
                bool insideTurningTheOther = true;
                for (int k = 0; k < 3; ++k) {
                    const float side = dx[k] * (y - corners[k]->y) - dy[k] * (x - corners[k]->x);
                    insideTurningOneWay = insideTurningOneWay && side >= -slack[k];
                    insideTurningTheOther = insideTurningTheOther && side <= slack[k];
                }
                if (insideTurningOneWay || insideTurningTheOther)
                    return true;
            }
        }
    }
    return false;
}

// Every vertex of a segment seen through the camera and the placement.
std::vector<CSeenVertex> SeeVertices(const std::vector<CVector3>& positions, const CCamera& camera,
                                     const CTransform& placement)
{
    float clip[16];
    CRenderer::ToClipSpace(camera.GetProjectionMatrix(), placement, clip);
    const CRectF& window = camera.GetWindowRect();
    const float halfWidth = (window.right - window.left) / 2.0f;
    const float halfHeight = (window.bottom - window.top) / 2.0f;
    std::vector<CSeenVertex> seen(positions.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        const CVector3& p = positions[i];
        float c[4];
        for (int row = 0; row < 4; ++row)
            c[row] = clip[row] * p.x + clip[4 + row] * p.y + clip[8 + row] * p.z + clip[12 + row];
        CSeenVertex& v = seen[i];
        v.outside = (c[0] < -c[3] ? 1 : 0) | (c[0] > c[3] ? 2 : 0) | (c[1] < -c[3] ? 4 : 0) | (c[1] > c[3] ? 8 : 0) |
                    (c[2] < -c[3] || !(c[3] > 0.0f) ? kBeyondNear : 0) | (c[2] > c[3] ? 32 : 0);
        if (!(v.outside & kBeyondNear)) {
            v.x = window.left + (c[0] / c[3] + 1.0f) * halfWidth;
            v.y = window.top + (1.0f - c[1] / c[3]) * halfHeight;
        }
    }
    return seen;
}

// The pixels a run's triangles may touch: a window box, or anywhere.
struct CPixelBox
{
    bool anywhere = false;
    bool empty = true;
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;

    void Include(const CSeenVertex& v)
    {
        left = empty ? v.x : std::min(left, v.x);
        right = empty ? v.x : std::max(right, v.x);
        top = empty ? v.y : std::min(top, v.y);
        bottom = empty ? v.y : std::max(bottom, v.y);
        empty = false;
    }
    void Include(const CPixelBox& box)
    {
        anywhere = anywhere || box.anywhere;
        if (box.empty)
            return;
        left = empty ? box.left : std::min(left, box.left);
        right = empty ? box.right : std::max(right, box.right);
        top = empty ? box.top : std::min(top, box.top);
        bottom = empty ? box.bottom : std::max(bottom, box.bottom);
        empty = false;
    }
    // Whether the boxes may touch one pixel: a pixel's samples lie less than
    // a pixel from a point of it.
    bool Meets(const CPixelBox& other) const
    {
        return anywhere || other.anywhere ||
               (!empty && !other.empty && left < other.right + 1.0f && other.left < right + 1.0f &&
                top < other.bottom + 1.0f && other.top < bottom + 1.0f);
    }
};

// Whether the view may show the triangle: it does not lie wholly beyond one
// side of the view volume, face away (when back faces are culled) or miss
// every sample. The box takes in what it may touch.
bool Shows(const CSeenVertex& a, const CSeenVertex& b, const CSeenVertex& c, bool cullBack,
           const std::vector<CPoint2>& samples, CPixelBox& box)
{
    if (a.outside & b.outside & c.outside)
        return false;
    // A corner behind the eye: the library clips the triangle.
    if ((a.outside | b.outside | c.outside) & kBeyondNear) {
        box.anywhere = true;
        return true;
    }
    const float abx = b.x - a.x, aby = b.y - a.y, acx = c.x - a.x, acy = c.y - a.y;
    // Twice the area; counterclockwise (facing the camera) on the screen
    // when negative, y running down. Only a triangle that faces away by more
    // than the corners' tolerance can give is skipped.
    const float area = abx * acy - acx * aby;
    const float slack = 2.0f * kWindowTolerance * (std::fabs(abx) + std::fabs(aby) + std::fabs(acx) + std::fabs(acy));
    if (cullBack && area > slack)
        return false;
    if (!samples.empty() && !MayCoverSample(a, b, c, samples))
        return false;
    box.Include(a);
    box.Include(b);
    box.Include(c);
    return true;
}

// A run's triangles the view shows, and the boxes of the pixels they may
// touch: one per run joined into it, up to a limit, then one around all.
struct CShownRun
{
    static constexpr size_t kMostBoxes = 32;

    CRenderer::CRun run;
    std::vector<uint16_t> indices;
    std::vector<CPixelBox> boxes;

    bool Meets(const CPixelBox& box) const
    {
        return std::any_of(boxes.begin(), boxes.end(), [&](const CPixelBox& own) { return own.Meets(box); });
    }
    void Join(const CShownRun& later)
    {
        indices.insert(indices.end(), later.indices.begin(), later.indices.end());
        if (boxes.size() < kMostBoxes) {
            boxes.push_back(later.boxes.front());
            return;
        }
        boxes.front().Include(later.boxes.front());
        for (size_t i = 1; i < boxes.size(); ++i)
            boxes.front().Include(boxes[i]);
        boxes.resize(1);
    }
};

// Adds a run (of one box) to the runs so far: to the last one of its
// texture and blending when every run after that one touches none of its
// pixels, so that drawing it earlier changes nothing; else at the end.
void MoveBack(std::vector<CShownRun>& runs, CShownRun&& run)
{
    for (size_t i = runs.size(); i-- > 0;) {
        CShownRun& earlier = runs[i];
        if (earlier.run.texture == run.run.texture && earlier.run.opaque == run.run.opaque) {
            earlier.Join(run);
            return;
        }
        if (earlier.Meets(run.boxes.front()))
            break;
    }
    runs.push_back(std::move(run));
}

}  // namespace

std::vector<CPoint2> CRenderer::GetStandardSamplePositions(int count)
{
    // Offsets from the pixel's centre in sixteenths, y down.
    static const int kTwo[][2] = {{4, 4}, {-4, -4}};
    static const int kFour[][2] = {{-2, -6}, {6, -2}, {-6, 2}, {2, 6}};
    static const int kEight[][2] = {{1, -3}, {-1, 3}, {5, 1}, {-3, -5}, {-5, 5}, {-7, -1}, {3, 7}, {7, -7}};
    const int (*offsets)[2] = nullptr;
    switch (count) {
    case 1:
        return {CPoint2(0.5f, 0.5f)};
    case 2:
        offsets = kTwo;
        break;
    case 4:
        offsets = kFour;
        break;
    case 8:
        offsets = kEight;
        break;
    default:
        return {};
    }
    std::vector<CPoint2> positions;
    for (int i = 0; i < count; ++i)
        positions.emplace_back(0.5f + offsets[i][0] / 16.0f, 0.5f + offsets[i][1] / 16.0f);
    return positions;
}

void CRenderer::ToClipSpace(const float* projection, const CTransform& placement, float matrix[16])
{
    const float* m = placement.GetMatrix();
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += projection[k * 4 + row] * m[column * 4 + k];
            matrix[column * 4 + row] = sum;
        }
}

void CRenderer::SetSamplePositions(const std::vector<CPoint2>& positions)
{
    const auto same = [](const CPoint2& a, const CPoint2& b) { return a.x == b.x && a.y == b.y; };
    if (positions.size() == m_samplePositions.size() &&
        std::equal(positions.begin(), positions.end(), m_samplePositions.begin(), same))
        return;
    m_samplePositions = positions;
    ++m_view;
}

std::vector<CRenderer::CRun> CRenderer::JoinRuns(const std::vector<CRun>& runs)
{
    std::vector<CRun> joined;
    for (const CRun& run : runs) {
        CRun* last = joined.empty() ? nullptr : &joined.back();
        if (last && (!last->texture || !run.texture || last->texture == run.texture) &&
            last->firstIndex + last->indexCount == run.firstIndex) {
            last->indexCount += run.indexCount;
            last->texture = last->texture ? last->texture : run.texture;
            last->opaque = last->opaque && run.opaque;
        } else {
            joined.push_back(run);
        }
    }
    return joined;
}

void CRenderer::ChooseTriangles(CSegment& segment, const CTransform& placement, bool is3D)
{
    const std::vector<CSeenVertex> seen = SeeVertices(segment.positions, m_camera, placement);
    // Each run's triangles the view shows, then moved back to the last run
    // of its texture and blending where the pixels of the runs it passes
    // are none of its own: fewer library calls, the same pixels.
    std::vector<CShownRun> shown;
    for (const CRun& run : segment.runs) {
        CShownRun kept;
        kept.run = run;
        kept.boxes.resize(1);
        for (size_t i = run.firstIndex; i + 2 < run.firstIndex + run.indexCount; i += 3) {
            const uint16_t* corner = &segment.indices[i];
            if (Shows(seen[corner[0]], seen[corner[1]], seen[corner[2]], is3D, m_samplePositions, kept.boxes[0]))
                kept.indices.insert(kept.indices.end(), corner, corner + 3);
        }
        if (!kept.indices.empty())
            MoveBack(shown, std::move(kept));
    }
    std::vector<uint16_t> indices;
    std::vector<CRun> runs;
    for (const CShownRun& group : shown) {
        runs.push_back({indices.size(), group.indices.size(), group.run.texture, group.run.opaque});
        indices.insert(indices.end(), group.indices.begin(), group.indices.end());
    }
    segment.shownPlacement = placement;
    segment.shownView = m_view;
    segment.showsTriangles = !runs.empty();
    if (segment.showsTriangles)
        segment.mesh->SetTriangles(indices, runs);
}
