#include "render3d/Renderer.h"

#include <cmath>
#include <cstring>

#include "foundation/CrashLog.h"
#include "graphics/Drawable.h"
#include "graphics/PixelBitmap.h"
#include "render3d/TextBitmap.h"
#include "ui/Scene.h"

// The frame, the mesh and texture caches, and text. Pixel alignment of flat
// paths is in RendererAlignment.cpp.

namespace {

// The light of 3D items: from straight above the scene.
const CVector3 kSceneLight(0.0f, 0.0f, 1.0f);

}  // namespace

// ---- Cached meshes and their keys --------------------------------------------------

void CRenderer::CCachedMesh::MarkUsed()
{
    used = true;
    for (CChild& child : children)
        child.mesh->MarkUsed();
}

bool CRenderer::CMeshCacheKey::operator<(const CMeshCacheKey& other) const
{
    if (kind != other.kind)
        return kind < other.kind;
    // Byte strings compare as unsigned bytes, a prefix first.
    const int bytes = drawableKey.compare(other.drawableKey);
    if (bytes != 0)
        return bytes < 0;
    return std::memcmp(placement, other.placement, sizeof placement) < 0;
}

// ---- Life --------------------------------------------------------------------------

CRenderer::CRenderer() = default;

CRenderer::~CRenderer()
{
    if (m_meshes.empty() && m_textures.empty() && m_slots.empty())
        return;
    // The back end is gone already: its meshes and textures cannot be
    // deleted any more, and are left as they are.
    TRACE_VALUE(int32_t, int32_t(m_meshes.size()));
    TRACE_VALUE(int32_t, int32_t(m_textures.size()));
    ReportFailure();
    new std::vector<CSlot>(std::move(m_slots));
    new std::map<CMeshCacheKey, std::shared_ptr<CCachedMesh>>(std::move(m_meshes));
    for (auto& entry : m_textures)
        entry.second.release();
}

void CRenderer::ClearCaches()
{
    TRACE_POINT();
    m_slots.clear();
    m_meshes.clear();
    m_textures.clear();
    m_currentImage = nullptr;
    m_currentTexture = nullptr;
}

int CRenderer::LightKind(const CVector3& light)
{
    const auto t = [](float v) { return int(v * 99.0f + 0.5f); };
    return (t(light.x) * 100 + t(light.y)) * 100 + t(light.z);
}

// ---- The frame -----------------------------------------------------------------------

void CRenderer::RenderScene()
{
    TRACE_POINT();
    if (!m_scene)
        return;
    const float width = m_camera.GetWindowWidth();
    const float height = m_camera.GetWindowHeight();
    // A minimised window or a view not laid out yet: no surface of no
    // pixels is asked of the library.
    if (!(width >= 1.0f) || !(height >= 1.0f))
        return;
    m_frameDraws = 0;
    m_frameTriangles = 0;
    if (!BeginFrame())
        return;
    if (width != m_lastWidth || height != m_lastHeight) {
        m_lastWidth = width;
        m_lastHeight = height;
        DropViewDependentMeshes();
    }
    const float* projection = m_camera.GetProjectionMatrix();
    if (std::memcmp(projection, m_viewProjection, sizeof m_viewProjection) != 0 ||
        m_camera.GetWindowRect() != m_viewWindow) {
        std::memcpy(m_viewProjection, projection, sizeof m_viewProjection);
        m_viewWindow = m_camera.GetWindowRect();
        ++m_view;
    }
    const CTransform view(m_scene->transform, true);
    m_slots.resize(m_scene->items.size());
    for (size_t i = 0; i < m_scene->items.size(); ++i) {
        CDrawable* item = m_scene->items[i];
        if (!item) {
            m_slots[i] = CSlot();
            continue;
        }
        const bool is3D = i < m_scene->is3D.size() && m_scene->is3D[i];
        m_state.Reset(is3D ? kSceneLight : CVector3());
        m_buildTransform = view;
        if (is3D)
            Begin3D();
        if (const std::shared_ptr<CCachedMesh> mesh = DrawCachedItem(*item, 0)) {
            mesh->MarkUsed();
            DrawSlot(m_slots[i], mesh, view, is3D);
        }
        if (is3D)
            End3D();
    }
    DropUnusedMeshes();
    EndFrame();
}

void CRenderer::DropViewDependentMeshes()
{
    for (auto i = m_meshes.begin(); i != m_meshes.end();)
        i = i->second->viewDependent ? m_meshes.erase(i) : std::next(i);
}

void CRenderer::DropUnusedMeshes()
{
    for (auto i = m_meshes.begin(); i != m_meshes.end();) {
        if (!i->second->used) {
            i = m_meshes.erase(i);
        } else {
            i->second->used = false;
            ++i;
        }
    }
}

// ---- Drawing through the cache ---------------------------------------------------

void CRenderer::DrawDrawable(CDrawable& drawable, int mode, int flag) { DrawCachedItem(drawable, mode); }

std::shared_ptr<CRenderer::CCachedMesh> CRenderer::DrawCachedItem(CDrawable& drawable, int mode)
{
    TRACE_VALUE(int32_t, mode);
    if (m_nesting >= kMaxNesting) {
        ReportFailure();
        return nullptr;
    }
    const CTransform matrix = m_state.matrix;
    if (mode != 0) {
        static const CTransform identity;
        ComputeItemTransform(mode, m_camera, m_buildTransform, m_scene ? m_scene->transform : identity, drawable);
    }
    const CTransform placement(m_buildTransform, m_state.matrix);

    // The light in the drawable's own frame.
    CVector3 light;
    if (m_state.lighting && mode == 0) {
        light = m_state.matrix.InverseTransformVector(m_state.lightDirection);
        const float length = light.Length();
        light = length > 0.0f ? CVector3(light.x / length, light.y / length, light.z / length) : CVector3();
    }
    CMeshCacheKey key;
    key.kind = LightKind(light);
    key.drawableKey = drawable.GetKey();
    auto found = m_meshes.find(key);
    if (found == m_meshes.end()) {
        std::memcpy(key.placement, placement.GetMatrix(), sizeof key.placement);
        found = m_meshes.find(key);
    }

    // The parent's triangles drawn so far come before the child.
    FlushTriangles();
    std::shared_ptr<CCachedMesh> mesh;
    if (found != m_meshes.end()) {
        mesh = found->second;
    } else {
        CCachedMesh* const outer = m_building;
        const CTransform outerTransform = m_buildTransform;
        const CAlignment outerAlignment = m_align;
        PushState();
        m_state.Reset(light);
        mesh = std::make_shared<CCachedMesh>();
        m_building = mesh.get();
        m_buildTransform = placement;
        ++m_nesting;
        drawable.Draw(*this);
        --m_nesting;
        FlushTriangles();
        PopState();
        m_building = outer;
        m_buildTransform = outerTransform;
        m_align = outerAlignment;
        // A mesh that does not depend on the view serves every placement.
        if (!mesh->viewDependent)
            std::memset(key.placement, 0, sizeof key.placement);
        m_meshes.emplace(std::move(key), mesh);
    }

    if (m_building) {
        const bool viewDependent = mesh->viewDependent || mode != 0;
        m_building->children.push_back({m_state.matrix, mesh, m_building->parts.size(), viewDependent});
        if (viewDependent)
            m_building->viewDependent = true;
    }
    m_state.matrix = matrix;
    return mesh;
}

// ---- Batches -------------------------------------------------------------------------

void CRenderer::FlushTriangles(bool keepBatch)
{
    const std::vector<CGraphicsVertex>& vertices = GetVertices();
    if (vertices.empty())
        return;
    if (!m_building) {
        TRACE_VALUE(int32_t, int32_t(vertices.size()));
        ReportFailure();
    } else if (!GetTriangles().empty()) {
        auto part = std::make_shared<CPart>();
        part->vertices = vertices;
        // A part holds at most kMaxMeshVertices vertices (AddVertex).
        part->triangles.assign(GetTriangles().begin(), GetTriangles().end());
        part->texture = m_currentTexture;
        uint32_t all = 0xFFFFFFFF;
        part->bounds.SetPoint(CVector3(vertices[0].x, vertices[0].y, vertices[0].z));
        for (const CGraphicsVertex& v : vertices) {
            all &= v.color;
            part->bounds.Include(CVector3(v.x, v.y, v.z));
        }
        part->opaque = (all >> 24) == 0xFF;
        m_building->parts.push_back(std::move(part));
    }
    if (keepBatch)
        RestartVertexStore();
    else
        ClearVertices();
}

void CRenderer::BeginVertices(int kind, bool reverse, int rowLength)
{
    const CPixelBitmap* image = m_state.texture;
    if (image != m_currentImage) {
        FlushTriangles();
        m_currentImage = image;
        m_currentTexture = nullptr;
        if (image) {
            auto found = m_textures.find(image);
            if (found == m_textures.end())
                found = m_textures.emplace(image, std::unique_ptr<CTexture>(CreateTexture())).first;
            m_currentTexture = found->second.get();
        }
    }
    CGraphicsContext3D::BeginVertices(kind, reverse, rowLength);
}

void CRenderer::AddVertex(const CVector3& point)
{
    if (GetVertices().size() >= kMaxMeshVertices && m_building)
        FlushTriangles(true);
    if (m_align.hatch && m_state.texture == &GetHatchTexture()) {
        // The hatch turned by 45 degrees, its lines centred on the texels.
        const float c = 0.70710678f * m_align.hatchScale;
        m_state.texU = (point.x - point.y) * c - 1.0f / 16.0f;
        m_state.texV = (point.x + point.y) * c + 1.0f / 16.0f;
    }
    CGraphicsContext3D::AddVertex(point);
}

// ---- Text ----------------------------------------------------------------------------

void CRenderer::DrawText(const std::wstring& text, float x, float y)
{
    TRACE_POINT();
    if (text.empty())
        return;
    CRectF cell;
    std::vector<float> advances;
    const CPoint2 baseline = AlignText(text, x, y, &cell, &advances);
    if (!(m_state.font.size > 0.0f))
        return;
    CPoint2 start = baseline;
    const int pixelSize = PixelTextSize(baseline, cell.right - cell.left, start);
    const CFontMetrics glyphFont(pixelSize ? float(pixelSize) : kReferenceTextSize, m_state.font.IsBold());
    // Drawing units per glyph pixel.
    const float unit = pixelSize ? m_align.pixelScale : m_state.font.size / kReferenceTextSize;
    const bool colourMode = m_state.textColor == 0xFF000000 && m_state.fillColor == 0xFFFFFFFF;
    CTextBitmap& atlas = CTextBitmap::Instance();
    atlas.AddGlyphs(glyphFont, text, colourMode);

    CGraphicsState& s = m_state;
    const CGraphicsState saved = s;
    if (s.lighting)
        SetNormal(CVector3(0.0f, 0.0f, 1.0f), true);
    SetColor(colourMode ? 0xFFFFFFFF : s.textColor);
    const float z = s.textZ;
    float penX = start.x;
    for (size_t i = 0; i < text.size(); ++i) {
        CTextBitmap::CGlyph glyph;
        if (atlas.GetGlyph(glyphFont, text[i], colourMode, glyph)) {
            const float w = glyph.bitmap->GetWidth();
            const float h = glyph.bitmap->GetHeight();
            const float left = penX + (glyph.cell.left - glyph.x) * unit;
            const float right = penX + (glyph.cell.right - glyph.x) * unit;
            const float top = start.y + (glyph.cell.top - glyph.y) * unit;
            const float bottom = start.y + (glyph.cell.bottom - glyph.y) * unit;
            s.texture = glyph.bitmap;
            BeginVertices(2, false, 2);
            const float u0 = glyph.cell.left / w, u1 = glyph.cell.right / w;
            const float v0 = glyph.cell.top / h, v1 = glyph.cell.bottom / h;
            s.texU = u0;
            s.texV = v0;
            AddVertex(CVector3(left, -top, z));
            s.texU = u1;
            AddVertex(CVector3(right, -top, z));
            s.texU = u0;
            s.texV = v1;
            AddVertex(CVector3(left, -bottom, z));
            s.texU = u1;
            AddVertex(CVector3(right, -bottom, z));
            EndVertices();
        }
        penX += pixelSize ? std::round(glyphFont.GetCharAdvance(text[i])) * unit : advances[i];
    }
    s = saved;
}
