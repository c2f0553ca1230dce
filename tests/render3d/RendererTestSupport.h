#pragma once

#include <algorithm>
#include <vector>

#include "graphics/GraphicsContext.h"
#include "foundation/Rgba.h"
#include "graphics/PixelBitmap.h"
#include "render3d/GraphicsSystem.h"
#include "render3d/Renderer.h"
#include "tests/support/CanvasTestHelpers.h"
#include "ui/Scene.h"

inline void FillRect(CGraphicsContext& context, const CRectF& rect, uint32_t color, int mode)
{
    context.m_state.fillColor = color;
    context.BeginPath(false, true, mode);
    context.AddRect(rect);
    context.EndPath();
}

inline CFunctionDrawable FilledRect(const CRectF& rect, uint32_t color, int mode = 0)
{
    return CFunctionDrawable([=](CGraphicsContext& context) { FillRect(context, rect, color, mode); });
}

inline CFunctionDrawable Box(const CBox3& box = CBox3(0.0f, 10.0f, 0.0f, 10.0f, 0.0f, 10.0f))
{
    return CFunctionDrawable([=](CGraphicsContext& context) {
        context.SetColor(0xFF2080C0);
        context.DrawBox(box, 16);
    });
}

// A back end that draws nothing and records every mesh and texture it is asked for: each mesh's vertices and the
// triangles and runs last set for it (its shown triangles), each texture's image.
class CCountingRenderer : public CRenderer
{
public:
    struct CCountedTexture : CTexture
    {
        const CPixelBitmap* image = nullptr;
    };
    struct CMeshRecord
    {
        std::vector<CGraphicsVertex> vertices;
        std::vector<uint16_t> indices;
        std::vector<CRun> runs;

        size_t Triangles() const { return indices.size() / 3; }
        // Whether the vertices' colours differ.
        bool Shaded() const
        {
            return std::any_of(vertices.begin(), vertices.end(),
                               [&](const CGraphicsVertex& v) { return v.color != vertices[0].color; });
        }
        const CPixelBitmap* Image(const CRun& run) const
        {
            return run.texture ? static_cast<CCountedTexture*>(run.texture)->image : nullptr;
        }
    };

    ~CCountingRenderer() override
    {
        if (clearOnExit)
            ClearCaches();
    }
    void Render(CScene& scene, float width, float height)
    {
        SetScene(&scene);
        SetViewport(width, height);
        RenderScene();
    }
    CGraphicsBackEnd& GetGraphicsSystem() const override { return CGdiGraphicsSystem::Instance(); }
    void AttachToWindow(HWND) override {}

    std::vector<CMeshRecord> meshes;
    std::vector<const CPixelBitmap*> textures;
    int frames = 0, draws = 0, destroyed = 0, begin3D = 0;
    bool clearOnExit = true;
    // Direct3D's standard samples in a pixel; none: every triangle in the view is shown, however small.
    int samples = 1;

protected:
    bool BeginFrame() override
    {
        SetSamplePositions(GetStandardSamplePositions(samples));
        return ++frames > 0;
    }
    void EndFrame() override {}
    void Begin3D() override { ++begin3D; }
    void End3D() override {}
    CTexture* CreateTexture() override
    {
        textures.push_back(GetCurrentImage());
        auto* texture = new CCountedTexture();
        texture->image = GetCurrentImage();
        texture->opaque = true;
        return texture;
    }
    CMesh* CreateMesh(const std::vector<CGraphicsVertex>& vertices) override
    {
        meshes.push_back({vertices, {}, {}});
        return new CCountedMesh(*this, meshes.size() - 1);
    }

private:
    struct CCountedMesh : CMesh
    {
        CCountedMesh(CCountingRenderer& owner, size_t index) : m_owner(owner), m_index(index) {}
        ~CCountedMesh() override { ++m_owner.destroyed; }
        void SetTriangles(const std::vector<uint16_t>& indices, const std::vector<CRun>& runs) override
        {
            m_owner.meshes[m_index].indices = indices;
            m_owner.meshes[m_index].runs = runs;
        }
        void Draw(const CTransform&) override { ++m_owner.draws; }
        CCountingRenderer& m_owner;
        size_t m_index;
    };
};

// One map frame of the items (3D where flagged) through a counting renderer.
struct CCountedFrame
{
    CCountedFrame(std::vector<CDrawable*> items, std::vector<bool> is3D = {}, float width = 100.0f,
                  float height = 80.0f, int samples = 1)
        : scene(true, unsigned(items.size()))
    {
        scene.items = items;
        if (!is3D.empty())
            scene.is3D = is3D;
        renderer.samples = samples;
        renderer.Render(scene, width, height);
    }
    CScene scene;
    CCountingRenderer renderer;
};

// Rectangles, a circle and a line in a scene that counts as 3D, so that the
// OpenGL back ends draw it.
struct CShapesScene : CScene
{
    static constexpr uint32_t kBackground = 0xFFE0D0C0;
    static constexpr uint32_t kRed = 0xFF0000FF;
    static constexpr uint32_t kBlue = 0xFFFF0000;

    CShapesScene() : CScene(true, 1)
    {
        items[0] = &shapes;
        all3D = true;
        background = kBackground;
    }
    CFunctionDrawable shapes{[](CGraphicsContext& context) {
        FillRect(context, CRectF(10.0f, 10.0f, 60.0f, 40.0f), kRed, 1);
        FillRect(context, CRectF(100.0f, 60.0f, 150.0f, 110.0f), kBlue, 1);
        context.m_state.fillColor = 0xFF208020;
        context.BeginPath(false, true, 1);
        context.AddCircle(50.0f, 85.0f, 20.0f);
        context.EndPath();
        context.m_state.penWidth = 3.0f;
        context.m_state.penColor = 0xFF000000;
        context.BeginLine(1);
        context.MoveTo(CPoint2(10.0f, 115.0f));
        context.LineTo(CPoint2(150.0f, 115.0f));
        context.EndPath();
    }};
};

// One batch of each kind: a flat one-colour rectangle, a shaded 3D box and
// a 4 x 1 image of opaque white with one translucent pixel.
struct CBatchKindsScene : CScene
{
    CBatchKindsScene() : CScene(true, 3)
    {
        picture.SetPixel(1, 0, 0x80FFFFFF);
        items = {&flat, &box, &image};
        is3D = {false, true, false};
    }
    CPixelBitmap picture{4.0f, 1.0f};
    CFunctionDrawable flat = FilledRect(CRectF(10.0f, 10.0f, 60.0f, 40.0f), CShapesScene::kRed);
    CFunctionDrawable box = Box(CBox3(70.0f, 90.0f, -40.0f, -20.0f, 0.0f, 20.0f));
    CFunctionDrawable image{[this](CGraphicsContext& context) {
        context.DrawBitmap(picture, CRectF(100.0f, 10.0f, 140.0f, 20.0f));
    }};
};

inline CPixelBitmap RenderThrough(CGraphicsSystem& system, CScene& scene, int width = 160, int height = 120)
{
    CPixelBitmap bitmap{float(width), float(height)};
    system.RenderOffscreenGuarded(scene, bitmap, float(width), float(height), 0.0f, 0.0f);
    return bitmap;
}

// Pixels whose colours lie further apart than a small step of each channel, in the columns [left, right) or all.
inline int CountDifferences(const CPixelBitmap& a, const CPixelBitmap& b, int left = 0, int right = -1)
{
    if (right < 0)
        right = a.GetPixelWidth();
    int differences = 0;
    for (int y = 0; y < a.GetPixelHeight(); ++y)
        for (int x = left; x < right; ++x)
            differences += ColorDistanceSquared(a.GetPixel(x, y), b.GetPixel(x, y)) > 3 * 24 * 24 ? 1 : 0;
    return differences;
}
