#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "graphics/PixelBitmap.h"
#include "graphics/RenderTarget.h"
#include "render3d/GraphicsSystem.h"

// Test seams of the graphics-system choice: a table of our own, the screen
// size, and a fresh start of the run's values. Used by the tests of
// render3d and ui (the tile walker).
class CGraphicsSystemTestAccess
{
public:
    // Forgets everything the run kept (class, first change, user's system,
    // stored flag, screen size, table, highest rank).
    static void ResetRun()
    {
        CGraphicsSystem::Run() = CGraphicsSystem::CRunState();
        CGraphicsSystem::HighestRank = 0;
    }
    static void ReplaceTable(const std::vector<CGraphicsClassEntry>& rows)
    {
        CGraphicsSystem::CRunState& run = CGraphicsSystem::Run();
        run.table = rows;
        run.tableBuilt = true;
    }
    static void SetScreenSize(float width, float height)
    {
        CGraphicsSystem::Run().screenSize = CSize2(width, height);
    }
    static CGraphicsSystem* GetUserSystem() { return CGraphicsSystem::Run().userSystem; }
    // What Direct3D 11's LoadsLibrary answers from now on.
    static void SetDirect3D11LibraryFound(bool found)
    {
        CDirect3D11GraphicsSystem::Instance().m_libraryFound = found ? 1 : 2;
    }
    // Marks a system probed with that answer (3 available, 2 not).
    static void SetAvailability(CGraphicsSystem& system, int state) { system.m_availability = state; }
};

class CFakeGraphicsSystem;

// A target that draws nothing and names its system.
class CFakeRenderTarget : public CRenderTarget
{
public:
    explicit CFakeRenderTarget(CGraphicsSystem& system) : m_system(system) {}
    void RenderScene() override { ++renders; }
    CGraphicsSystem& GetGraphicsSystem() const override { return m_system; }
    void AttachToWindow(HWND window) override { attached = window; }

    int renders = 0;
    HWND attached = nullptr;

private:
    CGraphicsSystem& m_system;
};

// One off-screen call as the fake saw it.
struct COffscreenCall
{
    float width, height, fullWidth, fullHeight, tileX, tileY;
};

// A back end for tests: available or not, of a chosen rank; its off-screen
// rendering records the call and fills the bitmap (or fails).
class CFakeGraphicsSystem : public CGraphicsSystem
{
public:
    CFakeGraphicsSystem(const std::wstring& name, bool available_, int rank_ = 2)
        : CGraphicsSystem(name), available(available_), rank(rank_)
    {
    }

    bool IsAvailable() override
    {
        ++probes;
        if (failWhileProbing)
            ReportFailure(1);
        return available;
    }
    int GetRank() const override { return rank; }
    bool DefersProbe() const override { return defersProbe; }
    CRenderTarget* CreateTarget() override { return new CFakeRenderTarget(*this); }
    void PrepareWindow(HWND window) override { prepared = window; }
    void RenderOffscreen(CScene& scene, CPixelBitmap& bitmap, float fullWidth, float fullHeight, float tileX,
                         float tileY) override
    {
        calls.push_back({bitmap.GetWidth(), bitmap.GetHeight(), fullWidth, fullHeight, tileX, tileY});
        if (fill)
            fill(bitmap, tileX, tileY);
        if (failRender)
            ReportFailure(failRender);
    }

    bool available;
    int rank;
    bool failWhileProbing = false;
    bool defersProbe = false;
    int failRender = 0;
    int probes = 0;
    HWND prepared = nullptr;
    std::vector<COffscreenCall> calls;
    // Paints the tile; the offsets are those of the tile in the picture.
    std::function<void(CPixelBitmap&, float, float)> fill;
};

// Every pixel of the bitmap gets the position of its pixel in the whole
// picture, x in the low and y in the high half, where the tile lies at
// (tileX, tileY).
inline void FillByPosition(CPixelBitmap& bitmap, float tileX, float tileY)
{
    for (int y = 0; y < bitmap.GetPixelHeight(); ++y)
        for (int x = 0; x < bitmap.GetPixelWidth(); ++x) {
            const uint32_t px = uint32_t(x + int(tileX));
            const uint32_t py = uint32_t(y + int(tileY));
            bitmap.SetPixel(x, y, px | (py << 16));
        }
}
