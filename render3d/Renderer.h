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
// parts (batches of triangles of one texture, kept on this side) cached from
// frame to frame by the drawable's key bytes, and every image a texture,
// kept until the caches are cleared. Text is drawn from the glyph textures
// of CTextBitmap. Flat paths in a plane that faces the camera land on whole
// pixels. A back end supplies only the six operations at the end: frames,
// the 3D state, textures and meshes.
//
// A frame: the back end's BeginFrame; every scene item's cached mesh found
// or built (it records its parts and the meshes of the drawables it drew,
// in drawing order), lit from above when it is a 3D item; the item drawn
// through its segments, back-end meshes that hold its parts placed in the
// item's own frame; the meshes no item used dropped; EndFrame. A segment is
// made when its item's mesh is new and no segment of the item's last mesh
// held the same parts at the same places: an edit remakes the segments of
// the drawables it changed, a move of the camera those of the drawables the
// view places (labels facing it). Of a segment the view is given only the
// triangles it can show, chosen again when the view changes, in a draw call
// per run of one texture and blending. A mesh that pixel alignment shaped
// depends on the view: it is keyed by where it lies on the screen and
// dropped when the viewport is resized.
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

        // Every pixel of the image has alpha 255; set by the back end.
        bool opaque = false;
    };

    // Triangles of a segment that share a texture and blending: the range
    // of the index list one draw call takes. texture: null for untextured
    // triangles; opaque: every vertex and the texture have alpha 255, so
    // that the triangles need no blending.
    struct CRun
    {
        size_t firstIndex = 0;
        size_t indexCount = 0;
        CTexture* texture = nullptr;
        bool opaque = true;
    };
    // The u of every vertex of an untextured triangle in a segment: a back
    // end that draws such triangles in a run of a texture takes no colour
    // from the texture where u lies below kUntexturedLimit.
    static constexpr float kUntexturedU = -1.0e30f;
    static constexpr float kUntexturedLimit = -1.0e29f;
    // The runs as a back end takes them that draws untextured triangles in a
    // run of a texture: neighbours whose textures agree, or where one has
    // none, make one run, blended unless both are opaque. Drawing an opaque
    // triangle blended gives the same pixels.
    static std::vector<CRun> JoinRuns(const std::vector<CRun>& runs);

    // A back end's vertices of one segment, drawn through the triangles
    // last set; owned by the renderer.
    class CMesh
    {
    public:
        virtual ~CMesh() = default;
        // The triangles to draw from now on: indices of the mesh's vertices,
        // in runs drawn in order (at least one, none empty).
        virtual void SetTriangles(const std::vector<uint16_t>& indices, const std::vector<CRun>& runs) = 0;
        // Draws the runs, placed by the transform into view space. Called
        // only inside a frame of a system that has not failed.
        virtual void Draw(const CTransform& transform) = 0;
    };

    // A back-end mesh holds at most this many vertices (16-bit indices): a
    // drawable's part, and a segment, ends there.
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

    // Destroys every cached mesh, segment and texture.
    void ClearCaches();

    // Direct3D's standard positions of 1, 2, 4 or 8 samples in a pixel,
    // from its top-left corner, y down; none for another count.
    static std::vector<CPoint2> GetStandardSamplePositions(int count);
    // The projection times the placement, column-major as the libraries
    // take it: an item's frame to clip space.
    static void ToClipSpace(const float* projection, const CTransform& placement, float matrix[16]);

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
    // The drawable's cached mesh, built when absent, becomes a child of the
    // mesh being built.
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
    // A mesh of the vertices (in the frame of the scene item, at most
    // kMaxMeshVertices), its triangles set before it is drawn; null when
    // none can be made.
    virtual CMesh* CreateMesh(const std::vector<CGraphicsVertex>& vertices) = 0;

    // Where a pixel's samples lie, from its top-left corner (window
    // coordinates, y down); none when the back end cannot tell. Triangles
    // that can cover none of them are not drawn. Every pixel's centre
    // unless the back end sets others.
    void SetSamplePositions(const std::vector<CPoint2>& positions);

    const CPixelBitmap* GetCurrentImage() const { return m_currentImage; }
    const CScene* GetRenderedScene() const { return m_scene; }

private:
    // One batch of triangles of a drawable, in its own frame, with its
    // texture and whether every alpha is 255.
    struct CPart
    {
        std::vector<CGraphicsVertex> vertices;
        std::vector<uint16_t> triangles;
        CTexture* texture = nullptr;
        bool opaque = true;
        CBox3 bounds;
    };

    // What one drawable drew: its parts and the meshes of the drawables it
    // drew, each with its placement, in drawing order.
    struct CCachedMesh
    {
        struct CChild
        {
            CTransform placement;
            std::shared_ptr<CCachedMesh> mesh;
            // How many of the parent's parts were drawn before it.
            size_t partsBefore = 0;
            // Placed by the view (a placement mode) or shaped by it.
            bool viewDependent = false;
        };
        std::vector<std::shared_ptr<const CPart>> parts;
        std::vector<CChild> children;
        // Shaped by pixel alignment, here or in a child.
        bool viewDependent = false;
        bool used = false;

        // Marks this mesh and every mesh below it used.
        void MarkUsed();
    };

    // A part as a scene item draws it: placed in the item's frame.
    struct CPlacedPart
    {
        std::shared_ptr<const CPart> part;
        CTransform placement;

        bool operator==(const CPlacedPart& other) const
        {
            return part == other.part && placement == other.placement;
        }
    };
    // Consecutive parts of a scene item in one back-end mesh: their
    // positions in the item's frame, bounds, triangles and runs, and the
    // view the mesh's triangles were last chosen for.
    struct CSegment
    {
        std::vector<CPlacedPart> parts;
        std::unique_ptr<CMesh> mesh;
        CBox3 bounds;
        std::vector<CVector3> positions;
        std::vector<uint16_t> indices;
        std::vector<CRun> runs;
        CTransform shownPlacement;
        unsigned shownView = 0;
        bool showsTriangles = false;
    };
    // A scene slot's item as last drawn: its mesh and the segments made of it.
    struct CSlot
    {
        std::shared_ptr<CCachedMesh> mesh;
        std::vector<std::unique_ptr<CSegment>> segments;
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

    // Finds the drawable's mesh in the cache or builds it, and adds it to
    // the mesh being built; the mesh, or null when the drawable could not
    // be drawn.
    std::shared_ptr<CCachedMesh> DrawCachedItem(CDrawable& drawable, int mode);
    // The pending triangles become a part of the mesh under construction.
    // keepBatch: the batch goes on afterwards.
    void FlushTriangles(bool keepBatch = false);
    void DropViewDependentMeshes();
    void DropUnusedMeshes();

    // ---- Segments (RendererSegments.cpp) -------------------------------------------
    // Draws the slot's item, whose mesh is given, through the view placement;
    // a new mesh first gets its segments. is3D: back faces are culled.
    void DrawSlot(CSlot& slot, const std::shared_ptr<CCachedMesh>& mesh, const CTransform& placement, bool is3D);
    // The mesh's parts placed in its frame, in drawing order, cut into
    // segments; a segment of the slot's old ones that holds the same parts
    // is taken over, any other made.
    void MakeSegments(CSlot& slot, const std::shared_ptr<CCachedMesh>& mesh);
    // The segment's back-end mesh, positions, bounds, triangles and runs.
    void MakeSegmentMesh(CSegment& segment);

    // ---- The triangles a view shows (RendererCulling.cpp) --------------------------
    // Gives the segment's mesh the triangles the view can show: none that
    // lies wholly outside the view volume, faces away (is3D) or covers no
    // sample of any pixel.
    void ChooseTriangles(CSegment& segment, const CTransform& placement, bool is3D);

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
    // One per scene slot.
    std::vector<CSlot> m_slots;
    // The view segments choose their triangles for: counted up whenever the
    // projection, the window or the sample positions change.
    unsigned m_view = 1;
    float m_viewProjection[16] = {};
    CRectF m_viewWindow;
    std::vector<CPoint2> m_samplePositions{CPoint2(0.5f, 0.5f)};
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
