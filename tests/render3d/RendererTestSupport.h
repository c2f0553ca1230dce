#pragma once

#include <vector>

#include "graphics/GraphicsContext.h"
#include "render3d/GraphicsSystem.h"
#include "render3d/Renderer.h"
#include "tests/support/CanvasTestHelpers.h"
#include "ui/Scene.h"

// Drawings for the renderers' tests: a filled rectangle, a line of one
// segment, a lit box standing on the ground.
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

inline CFunctionDrawable Line(const CPoint2& from, const CPoint2& to, float width, int mode)
{
    return CFunctionDrawable([=](CGraphicsContext& context) {
        context.m_state.penWidth = width;
        context.BeginLine(mode);
        context.MoveTo(from);
        context.LineTo(to);
        context.EndPath();
    });
}

inline CFunctionDrawable Box(const CBox3& box = CBox3(0.0f, 10.0f, 0.0f, 10.0f, 0.0f, 10.0f))
{
    return CFunctionDrawable([=](CGraphicsContext& context) {
        context.SetColor(0xFF2080C0);
        context.DrawBox(box, 16);
    });
}

// A back end for the renderer core that draws nothing and keeps what it was
// asked: every mesh with its vertices, triangles and flags, every texture's
// image, how often meshes were drawn and destroyed.
class CCountingRenderer : public CRenderer
{
public:
    struct CMeshRecord
    {
        std::vector<CGraphicsVertex> vertices;
        size_t triangles = 0;
        bool perVertexColour = false;
        bool opaque = false;
        const CPixelBitmap* image = nullptr;
    };

    ~CCountingRenderer() override
    {
        if (clearOnExit)
            ClearCaches();
    }

    // One frame of the scene at the size.
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
    int frames = 0;
    int draws = 0;
    int destroyed = 0;
    int begin3D = 0;
    // A careless back end leaves its caches to the core.
    bool clearOnExit = true;

protected:
    bool BeginFrame() override
    {
        ++frames;
        return true;
    }
    void EndFrame() override {}
    void Begin3D() override { ++begin3D; }
    void End3D() override {}
    CTexture* CreateTexture() override
    {
        textures.push_back(GetCurrentImage());
        return new CTexture();
    }
    CMesh* CreateMesh(bool perVertexColour, bool opaque, CTexture*) override
    {
        CMeshRecord record;
        record.vertices = GetVertices();
        record.triangles = GetTriangles().size() / 3;
        record.perVertexColour = perVertexColour;
        record.opaque = opaque;
        record.image = GetCurrentImage();
        meshes.push_back(record);
        return new CCountedMesh(*this);
    }

private:
    class CCountedMesh : public CMesh
    {
    public:
        explicit CCountedMesh(CCountingRenderer& owner) : m_owner(owner) {}
        ~CCountedMesh() override { ++m_owner.destroyed; }
        void Draw(const CTransform&) override { ++m_owner.draws; }

    private:
        CCountingRenderer& m_owner;
    };
};
