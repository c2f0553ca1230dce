#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Box.h"
#include "foundation/Transform.h"
#include "graphics/RenderTarget.h"
#include "render3d/GraphicsContext3D.h"

class CPixelBitmap;

// The common body of the hardware renderers. It is the whole graphics
// context on top of the 3D context base: every drawable of a scene becomes
// triangle meshes of the back end, kept from frame to frame in a cache keyed
// by the drawable's key bytes, and every image a texture, kept until the
// caches are cleared. Text is drawn from the glyph textures of CTextBitmap.
// Flat paths in a plane that faces the camera land on whole pixels. A back
// end supplies only the six operations at the end: frames, the 3D state,
// textures and meshes.
//
// A frame: the back end's BeginFrame; every scene item drawn through its
// cached mesh (built, and drawn as it is built, when absent), lit from
// above when it is a 3D item; the meshes no item used dropped; EndFrame.
// A mesh that pixel alignment shaped depends on the view: it is keyed by
// where it lies on the screen and dropped when the viewport is resized.
//
// A back end must clear the caches (ClearCaches) before its device goes and
// before the renderer is destroyed.
class CRenderer : public CGraphicsContext3D, public CRenderTarget
{
public:
    // A back end's texture of one image; owned by the texture cache.
    class CTexture
    {
    public:
        virtual ~CTexture() = default;
    };

    // A back end's triangles; owned by a cached mesh.
    class CMesh
    {
    public:
        virtual ~CMesh() = default;
        // Draws the triangles placed by the transform into view space.
        virtual void Draw(const CTransform& transform) = 0;
    };

    // A back-end mesh holds at most this many vertices (16-bit indices):
    // a larger drawable goes on in further meshes.
    static constexpr size_t kMaxMeshVertices = 65536;
    // Text whose size on the screen lies within these whole pixels is drawn
    // from glyphs of that size on whole pixels; any other from glyphs of the
    // reference size, scaled.
    static constexpr int kSmallestPixelText = 5;
    static constexpr int kLargestPixelText = 20;
    static constexpr float kReferenceTextSize = 100.0f;

    CRenderer();
    // Reports caches that the back end left filled.
    ~CRenderer() override;

    // Destroys every cached mesh and texture.
    void ClearCaches();

    // The light kind of a direction in a drawable's own frame:
    // (t(x) * 100 + t(y)) * 100 + t(z), t(v) = v * 99 + 0.5 truncated
    // toward zero; 0 for no light.
    static int LightKind(const CVector3& light);

    // ---- Render-target slots ----------------------------------------------------
    // One frame of the scene. A target without pixels draws nothing and
    // calls nothing of the back end.
    void RenderScene() override;

    // ---- Graphics-context slots -------------------------------------------------
    // One textured quad per character from the glyph textures.
    void DrawText(const std::wstring& text, float x, float y) override;
    // Looks up the texture of the state's image (flushing the triangles of
    // the previous one), then starts the batch.
    void BeginVertices(int kind, bool reverse, int rowLength) override;
    // Hatch fills get their texture coordinates from the position. A mesh
    // that is full goes to the back end before the vertex is added.
    void AddVertex(const CVector3& point) override;
    // The drawable through its cached mesh, built when absent.
    void DrawDrawable(CDrawable& drawable, int mode, int flag) override;

    // How many cached meshes and textures there are (top level and nested).
    size_t GetCachedMeshCount() const { return m_meshes.size(); }
    size_t GetTextureCount() const { return m_textures.size(); }
    // What the last frame asked of the library: its draw calls and the
    // triangles they drew.
    size_t GetFrameDrawCount() const { return m_frameDraws; }
    size_t GetFrameTriangleCount() const { return m_frameTriangles; }
    // The back end's meshes count each draw call they make.
    void CountDraw(size_t triangles)
    {
        ++m_frameDraws;
        m_frameTriangles += triangles;
    }

protected:
    // ---- Pixel alignment around the path emission of the 3D base ------------
    void EmitBeginPath(bool stroke, bool fill) override;
    void EmitMoveTo(float x, float y) override;
    void EmitLineTo(float x, float y) override;
    void EmitBezierTo(const CCurveGeometry& curve) override;
    void EmitCloseFigure() override;
    void EmitEndPath() override;

    // ---- The back end -------------------------------------------------------------
    // Makes the surface current, sets viewport and projection from the
    // camera and clears to the scene's background; false when the frame
    // cannot be drawn (the back end failed), and nothing more is asked.
    virtual bool BeginFrame() = 0;
    virtual void EndFrame() = 0;
    // Depth test and back-face culling on, depth cleared; and off again.
    virtual void Begin3D() = 0;
    virtual void End3D() = 0;
    // A texture of GetCurrentImage; null when none can be made.
    virtual CTexture* CreateTexture() = 0;
    // A mesh of the vertex store's vertices and triangles. perVertexColour:
    // the vertices' colours differ; opaque: every alpha is 255; texture:
    // null for untextured triangles. Null when none can be made.
    virtual CMesh* CreateMesh(bool perVertexColour, bool opaque, CTexture* texture) = 0;

    const CPixelBitmap* GetCurrentImage() const { return m_currentImage; }
    const CScene* GetRenderedScene() const { return m_scene; }

private:
    // The triangles of one drawable: its own batches and the meshes of the
    // drawables it drew, each with its placement.
    struct CCachedMesh
    {
        struct CChild
        {
            CTransform placement;
            std::shared_ptr<CCachedMesh> mesh;
        };
        std::vector<std::unique_ptr<CMesh>> meshes;
        std::vector<CChild> children;
        // Shaped by pixel alignment, here or in a child.
        bool viewDependent = false;
        bool used = false;
        bool hasBounds = false;
        CBox3 bounds;

        void IncludeBox(const CBox3& box);
        // Marks this mesh and every mesh below it used.
        void MarkUsed();
    };

    // What a cached mesh is found by: the light (kind), the drawable's key
    // bytes (equal keys share meshes) and, for a mesh that depends on the
    // view, its placement; 64 zero bytes otherwise.
    struct CMeshCacheKey
    {
        int kind = 0;
        std::string drawableKey;
        uint8_t placement[64] = {};

        bool operator<(const CMeshCacheKey& other) const;
    };

    // The pixel-alignment state of the path in hand.
    enum class EAlign
    {
        kNoPoint = 0,
        kMovePending = 1,
        kLinePending = 2,
        kAligned = 3,
        kGivenUp = 4,
        kOff = 5,
    };
    struct CAlignment
    {
        EAlign state = EAlign::kOff;
        // Which segments qualify: 0 none, 1 straight across the screen, 2 all.
        int mode = 0;
        // The plane of the flat drawing and the size of a pixel on it.
        float z = 0.0f;
        float pixelScale = 1.0f;
        // 0, or 0.5 while an odd number of pixels wide is stroked.
        float pixelOffset = 0.0f;
        // The point last given and the pending snapped point.
        CPoint2 last;
        CPoint2 pending;
        // The pen width of the path before it was set to whole pixels.
        bool penWidthChanged = false;
        float penWidth = 1.0f;
        // Texture coordinates of a hatch fill: a turn by 45 degrees and a
        // scale, then the offset.
        bool hatch = false;
        float hatchScale = 1.0f;
    };

    // Draws the drawable from the cache or builds its mesh; the mesh, or
    // null when the drawable could not be drawn.
    std::shared_ptr<CCachedMesh> DrawCachedItem(CDrawable& drawable, int mode);
    void DrawMesh(const CCachedMesh& mesh, const CTransform& transform, bool inside);
    // The pending triangles become a back-end mesh of the mesh under
    // construction, drawn at once. keepBatch: the batch goes on afterwards.
    void FlushTriangles(bool keepBatch = false);
    void DropViewDependentMeshes();
    void DropUnusedMeshes();

    // ---- Pixel alignment (RendererAlignment.cpp) ----------------------------------
    // Drawing coordinates of the plane at z to view space.
    CTransform PlaneToView() const;
    // The window point of a drawing point on the plane; false behind the eye.
    bool ToWindow(const CPoint2& point, CPoint2& window) const;
    // The drawing point on the plane under a window point; false when the
    // ray through it misses the plane in front of the eye.
    bool FromWindow(const CPoint2& window, CPoint2& point) const;
    // The nearest pixel point (plus the offset) of a point, taken back onto
    // the plane; marks the mesh view-dependent.
    bool Snap(const CPoint2& point, CPoint2& snapped);
    // Whether a segment between two window points may be aligned.
    bool Qualifies(const CPoint2& windowA, const CPoint2& windowB) const;
    bool QualifiesDrawn(const CPoint2& a, const CPoint2& b) const;
    // The plane faces the camera, so that pixels on it are squares.
    bool FacesCamera() const;
    float PixelScaleAt(float z) const;
    // Emits the point as the move or line the held point stands for; false
    // when no point is held.
    bool EmitHeldPoint(const CPoint2& point);
    // Emits the pending point, snapped, and forgets it.
    void EmitPending();
    // Gives alignment up for this figure: the pending point goes out as it
    // was given.
    void GiveUp();
    // Whole-pixel glyphs: the size in pixels, 0 when the text is scaled.
    int PixelTextSize(const CPoint2& baselineStart, float width, CPoint2& snappedStart);

    std::map<CMeshCacheKey, std::shared_ptr<CCachedMesh>> m_meshes;
    std::map<const CPixelBitmap*, std::unique_ptr<CTexture>> m_textures;
    const CPixelBitmap* m_currentImage = nullptr;
    CTexture* m_currentTexture = nullptr;
    CCachedMesh* m_building = nullptr;
    // Drawing coordinates of the mesh under construction to view space.
    CTransform m_buildTransform;
    size_t m_frameDraws = 0;
    size_t m_frameTriangles = 0;
    float m_lastWidth = -1.0f;
    float m_lastHeight = -1.0f;
    int m_nesting = 0;
    CAlignment m_align;
    // Set while the base flattens a curve: its inner points are not aligned
    // and its last one is held back.
    bool m_flattening = false;
    bool m_heldPointSet = false;
    CPoint2 m_heldPoint;
};
