#include "foundation/CrashLog.h"
#include "graphics/GraphicsBackEnd.h"
#include "render3d/Renderer.h"

// Segments: a scene item's parts, placed in the item's own frame, drawn
// through a few back-end meshes instead of one call per part and placement.
// The parts are cut where the drawables placed by the view (or shaped by
// it) begin and end, so that a move of the camera remakes only their
// segments, and before a drawable that no longer fits into the segment, so
// that a segment mostly holds whole drawables and an edit of one leaves the
// others' segments as they were.

namespace {

// The parts of one drawable of an item, or of the item's own triangles
// between two drawables: kept together in a segment where they fit.
struct CUnit
{
    size_t first = 0;
    size_t last = 0;
    // Remade with every new mesh of the item: placed or shaped by the view,
    // or the item's own triangles.
    bool changing = false;
};

}  // namespace

void CRenderer::DrawSlot(CSlot& slot, const std::shared_ptr<CCachedMesh>& mesh, const CTransform& placement,
                         bool is3D)
{
    if (slot.mesh != mesh) {
        MakeSegments(slot, mesh);
        slot.mesh = mesh;
    }
    // Drawing is asked of a system that has not failed: one look per item
    // instead of one per draw call.
    if (GetGraphicsSystem().GetCurrentError() != 0)
        return;
    for (const std::unique_ptr<CSegment>& segment : slot.segments) {
        if (!segment->mesh || m_camera.ClassifyBox(segment->bounds, placement) == 0)
            continue;
        if (segment->shownView != m_view || segment->shownPlacement != placement)
            ChooseTriangles(*segment, placement, is3D);
        if (segment->showsTriangles)
            segment->mesh->Draw(placement);
    }
}

void CRenderer::MakeSegments(CSlot& slot, const std::shared_ptr<CCachedMesh>& mesh)
{
    TRACE_POINT();
    // Every part in drawing order, placed in the item's frame, and the units
    // they make.
    std::vector<CPlacedPart> parts;
    std::vector<CUnit> units;
    const auto addOwnParts = [&](const CCachedMesh& own, size_t from, size_t to, const CTransform& placement) {
        for (size_t i = from; i < to; ++i)
            parts.push_back({own.parts[i], placement});
    };
    // Depth first: a mesh's parts before each child as they were drawn.
    const auto addTree = [&](const auto& self, const CCachedMesh& node, const CTransform& placement) -> void {
        size_t done = 0;
        for (const CCachedMesh::CChild& child : node.children) {
            addOwnParts(node, done, child.partsBefore, placement);
            done = child.partsBefore;
            self(self, *child.mesh, CTransform(placement, child.placement));
        }
        addOwnParts(node, done, node.parts.size(), placement);
    };
    const CTransform identity;
    size_t done = 0;
    for (const CCachedMesh::CChild& child : mesh->children) {
        units.push_back({parts.size(), 0, true});
        addOwnParts(*mesh, done, child.partsBefore, identity);
        units.back().last = parts.size();
        done = child.partsBefore;
        units.push_back({parts.size(), 0, child.viewDependent});
        addTree(addTree, *child.mesh, child.placement);
        units.back().last = parts.size();
    }
    units.push_back({parts.size(), 0, true});
    addOwnParts(*mesh, done, mesh->parts.size(), identity);
    units.back().last = parts.size();

    // Segments of whole units where they fit, cut between parts where not.
    std::vector<std::unique_ptr<CSegment>> old = std::move(slot.segments);
    slot.segments.clear();
    std::vector<CPlacedPart> current;
    size_t vertices = 0;
    bool changing = false;
    const auto close = [&] {
        if (current.empty())
            return;
        std::unique_ptr<CSegment> segment;
        for (std::unique_ptr<CSegment>& kept : old) {
            if (kept && kept->parts == current) {
                segment = std::move(kept);
                break;
            }
        }
        if (!segment) {
            segment = std::make_unique<CSegment>();
            segment->parts = std::move(current);
            MakeSegmentMesh(*segment);
        }
        slot.segments.push_back(std::move(segment));
        current.clear();
        vertices = 0;
    };
    for (const CUnit& unit : units) {
        if (unit.first == unit.last)
            continue;
        size_t unitVertices = 0;
        for (size_t i = unit.first; i < unit.last; ++i)
            unitVertices += parts[i].part->vertices.size();
        if (unit.changing != changing || vertices + unitVertices > kMaxMeshVertices)
            close();
        changing = unit.changing;
        for (size_t i = unit.first; i < unit.last; ++i) {
            const size_t count = parts[i].part->vertices.size();
            if (vertices + count > kMaxMeshVertices)
                close();
            current.push_back(std::move(parts[i]));
            vertices += count;
        }
    }
    close();
}

void CRenderer::MakeSegmentMesh(CSegment& segment)
{
    std::vector<CGraphicsVertex> vertices;
    for (const CPlacedPart& placed : segment.parts) {
        const CPart& part = *placed.part;
        const size_t base = vertices.size();
        const bool moved = placed.placement != CTransform();
        for (CGraphicsVertex v : part.vertices) {
            if (moved) {
                const CVector3 p = placed.placement.TransformPoint(CVector3(v.x, v.y, v.z));
                v.x = p.x;
                v.y = p.y;
                v.z = p.z;
            }
            if (!part.texture)
                v.u = kUntexturedU;
            vertices.push_back(v);
            segment.positions.emplace_back(v.x, v.y, v.z);
        }
        std::vector<CRun>& runs = segment.runs;
        const bool opaque = part.opaque && (!part.texture || part.texture->opaque);
        if (runs.empty() || runs.back().texture != part.texture || runs.back().opaque != opaque)
            runs.push_back({segment.indices.size(), 0, part.texture, opaque});
        for (uint16_t index : part.triangles)
            segment.indices.push_back(uint16_t(base + index));
        runs.back().indexCount += part.triangles.size();
        segment.bounds.Union(segment.bounds, moved ? placed.placement.TransformBox(part.bounds) : part.bounds);
    }
    if (vertices.size() > kMaxMeshVertices) {
        TRACE_VALUE(int32_t, int32_t(vertices.size()));
        ReportFailure();
        return;
    }
    if (!segment.runs.empty())
        segment.mesh.reset(CreateMesh(vertices));
}
