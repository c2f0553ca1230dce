#include <climits>

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "graphics/PixelBitmap.h"
#include "render3d/Direct3D11Renderer.h"
#include "render3d/GraphicsSystem.h"
#include "render3d/OpenGL3Context.h"
#include "ui/RenderTiles.h"
#include "ui/Scene.h"

// The choice of the graphics system for views, the stored graphics class
// and off-screen rendering through whichever system qualifies.

namespace {

const wchar_t kGraphicsClassName[] = L"GraphicsClass";
const wchar_t kMenuItemVisibleName[] = L"GraphicsSystemMenuItemVisible";

const int kMaxOffscreenAttempts = 10;
const float kLargeTileSide = 5000.0f;

// Whether the row may be taken now. The probe of availability runs only for
// rows that pass the cheaper tests before it.
bool Qualifies(const CGraphicsClassEntry& row)
{
    CGraphicsSystem& system = *row.system;
    if (system.IsLastResort())
        return true;
    if (!row.flag && system.IsRestricted())
        return false;
    if (system.GetWorstError() > (row.flag ? 2 : 0))
        return false;
    // A system may wait with its probe until it draws.
    if (system.GetAvailability() == 0 && system.DefersProbe())
        return system.GetCurrentError() == 0;
    return system.IsUsable() && system.GetCurrentError() == 0;
}

void RecordRank(const CGraphicsSystem& system)
{
    const int rank = system.GetRank();
    if (rank > CGraphicsSystem::HighestRank)
        CGraphicsSystem::HighestRank = rank;
}

}  // namespace

const std::vector<CGraphicsClassEntry>& GetGraphicsSystemTable()
{
    CGraphicsSystem::CRunState& run = CGraphicsSystem::Run();
    if (!run.tableBuilt) {
        run.tableBuilt = true;
        run.table = {
            {3, &CDirect3D11GraphicsSystem::Instance(), false, 4},
            {4, &CDirect3D11GraphicsSystem::Instance(), true, 4},
            {2, &COpenGL3GraphicsSystem::Instance(), true, 2},
            {1, &COpenGL1GraphicsSystem::Instance(), true, 1},
            {0, &CGdiGraphicsSystem::Instance(), false, 0},
        };
    }
    return run.table;
}

int GetGraphicsClassSetting()
{
    const int stored = CSettings::GetInt(kGraphicsClassName, INT_MIN);
    if (stored != INT_MIN)
        return stored;
    if (CDirect3D11GraphicsSystem::Instance().LoadsLibrary())
        return 3;
    if (IsOpenGL3Usable())
        return 2;
    return 1;
}

CGraphicsSystem& GetGraphicsSystem(bool gdiOnly)
{
    if (gdiOnly) {
        CGraphicsSystem& gdi = CGdiGraphicsSystem::Instance();
        RecordRank(gdi);
        return gdi;
    }
    TRACE_POINT();
    CGraphicsSystem::CRunState& run = CGraphicsSystem::Run();
    if (!run.classRead) {
        run.rememberedClass = GetGraphicsClassSetting();
        run.classRead = true;
    }
    const std::vector<CGraphicsClassEntry>& table = GetGraphicsSystemTable();
    const CGraphicsClassEntry* taken = nullptr;
    for (const CGraphicsClassEntry& row : table) {
        if (row.id == run.rememberedClass && Qualifies(row)) {
            taken = &row;
            break;
        }
    }
    if (!taken) {
        for (const CGraphicsClassEntry& row : table) {
            if (Qualifies(row)) {
                taken = &row;
                break;
            }
        }
    }
    if (!taken) {
        CGraphicsSystem& gdi = CGdiGraphicsSystem::Instance();
        TRACE_VALUE(int32_t, run.rememberedClass);
        ReportFailure();
        RecordRank(gdi);
        return gdi;
    }

    CGraphicsSystem& system = *taken->system;
    if (taken->flag)
        system.m_restricted = true;
    int graphicsClass = taken->id;
    if (taken->id != taken->level && !GetCrashLog().HoldsReserve()) {
        // Memory ran short earlier in this run: the system keeps to 3D views,
        // and unless its windows are cheap the class says so too.
        system.m_restricted = true;
        if (system.GetRank() != 0)
            graphicsClass = taken->level;
    }
    if (graphicsClass != run.rememberedClass) {
        run.rememberedClass = graphicsClass;
        if (run.firstChange) {
            run.firstChange = false;
            CSettings::SetInt(kMenuItemVisibleName, 1);
            if (!run.userSystem)
                CSettings::SetInt(kGraphicsClassName, graphicsClass);
        }
    }
    RecordRank(system);
    return system;
}

void SetGraphicsClassSetting(int graphicsClass, bool isExplicit)
{
    TRACE_VALUE(int32_t, graphicsClass);
    CGraphicsSystem::CRunState& run = CGraphicsSystem::Run();
    if (!isExplicit && run.userSystem)
        return;
    CSettings::SetInt(kGraphicsClassName, graphicsClass);
    if (!isExplicit)
        return;
    for (const CGraphicsClassEntry& row : GetGraphicsSystemTable()) {
        if (row.id != graphicsClass)
            continue;
        run.userSystem = row.system;
        // The worst error in memory keeps its value for this run.
        if (!row.system->IsLastResort())
            CSettings::SetInt(row.system->GetName() + L"WorstError", 0);
        break;
    }
}

namespace {

class CGraphicsSystemChoice final : public CGraphicsBackEndChoice
{
public:
    CGraphicsBackEnd& Choose(bool gdiOnly) override { return GetGraphicsSystem(gdiOnly); }
    CSize2 GetOffscreenTileSize(bool large) override { return ::GetOffscreenTileSize(large); }
};

}  // namespace

void InstallGraphicsSystemChoice()
{
    static CGraphicsSystemChoice choice;
    SetGraphicsBackEndChoice(&choice);
}

void PrepareViewSystemAhead()
{
    TRACE_POINT();
    CGraphicsSystem& system = GetGraphicsSystem(false);
    if (&system == &CDirect3D11GraphicsSystem::Instance() && !system.IsRestricted() && system.GetAvailability() == 0)
        MakeDirect3D11DeviceAhead();
}

// ---- Off-screen rendering ---------------------------------------------------------

void RenderSceneOffscreen(CScene& scene, CPixelBitmap& bitmap, float fullWidth, float fullHeight, float tileX,
                          float tileY, bool gdiOnly)
{
    TRACE_POINT();
    if (bitmap.GetPixelWidth() < 1 || bitmap.GetPixelHeight() < 1)
        return;
    for (int attempt = 0; attempt < kMaxOffscreenAttempts; ++attempt) {
        CGraphicsSystem* system = &GetGraphicsSystem(gdiOnly);
        if (system->IsRestricted() && !scene.Has3DItems())
            system = &CGdiGraphicsSystem::Instance();
        system->RenderOffscreenGuarded(scene, bitmap, fullWidth, fullHeight, tileX, tileY);
        // Nothing lies beyond the last resort: once it has failed, trying
        // it again only draws the same picture again.
        if ((system->GetCurrentError() == 0 && system->GetAvailability() != 2) || system->IsLastResort())
            break;
    }
}

void RenderSceneToBitmap(CScene& scene, CPixelBitmap& bitmap, bool gdiOnly)
{
    TRACE_POINT();
    const float width = bitmap.GetWidth();
    const float height = bitmap.GetHeight();
    if (!(width >= 1.0f) || !(height >= 1.0f))
        return;
    const CSize2 tile = GetOffscreenTileSize(gdiOnly);
    if (width <= tile.width && height <= tile.height) {
        RenderSceneOffscreen(scene, bitmap, width, height, 0.0f, 0.0f, gdiOnly);
        return;
    }
    CPixelBitmap piece;
    for (CRenderTiles tiles(width, height); tiles.y < tiles.height; tiles.Next()) {
        piece.Resize(tiles.tileWidth, tiles.tileHeight);
        RenderSceneOffscreen(scene, piece, width, height, tiles.x, tiles.y, gdiOnly);
        bitmap.CopyRect(piece, 0, 0, int(tiles.x), int(tiles.y), piece.GetPixelWidth(), piece.GetPixelHeight());
    }
}

CSize2 GetOffscreenTileSize(bool large)
{
    if (large)
        return CSize2(kLargeTileSide, kLargeTileSide);
    CSize2& screen = CGraphicsSystem::Run().screenSize;
    if (screen.width >= 1.0f && screen.height >= 1.0f)
        return screen;
    int width = 0;
    int height = 0;
    if (HDC dc = GetDC(nullptr)) {
        width = GetDeviceCaps(dc, HORZRES);
        height = GetDeviceCaps(dc, VERTRES);
        ReleaseDC(nullptr, dc);
    }
    if (width < 1 || height < 1) {
        // No screen to go by (a service session): a size every device
        // offers, not kept, so that a later call reads the screen again.
        TRACE_VALUE(int32_t, width);
        TRACE_VALUE(int32_t, height);
        return CSize2(1024.0f, 768.0f);
    }
    screen = CSize2(float(width), float(height));
    return screen;
}
