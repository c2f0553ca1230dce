#include "render3d/GraphicsSystem.h"

#include <new>

#include "foundation/CrashLog.h"
#include "foundation/Files.h"
#include "foundation/Rgba.h"
#include "foundation/GuardedCall.h"
#include "foundation/Settings.h"
#include "graphics/GdiBitmap.h"
#include "graphics/GdiGraphics.h"
#include "graphics/PixelBitmap.h"
#include "render3d/Direct3D11Renderer.h"
#include "render3d/FallbackRenderTarget.h"
#include "render3d/OpenGL1Renderer.h"
#include "render3d/OpenGL3Context.h"
#include "render3d/OpenGL3Renderer.h"
#include "ui/Scene.h"

// The descriptors, their failure bookkeeping, guarded calls and the targets
// of windows. The choice of a system and off-screen rendering are in
// GraphicsSystemChoice.cpp.

int CGraphicsSystem::HighestRank = 0;

CGraphicsSystem::CRunState& CGraphicsSystem::Run()
{
    static CRunState state;
    return state;
}

CGraphicsSystem::CGraphicsSystem(const std::wstring& name) : CGraphicsSystem(name, false) {}

CGraphicsSystem::CGraphicsSystem(const std::wstring& name, bool lastResort)
    : m_name(name), m_lastResort(lastResort)
{
    if (!m_lastResort)
        m_worstError = CSettings::GetInt(name + L"WorstError", 0);
}

CGraphicsSystem::~CGraphicsSystem() = default;

// ---- Base slots -------------------------------------------------------------------

void CGraphicsSystem::RenderOffscreen(CScene&, CPixelBitmap&, float, float, float, float)
{
    TRACE_VALUE(std::wstring, m_name);
    ::ReportFailure();
}

int CGraphicsSystem::GetRank() const { return IsWindowsVersionAtLeast(6, 0, 0) ? 2 : 3; }

CRenderTarget* CGraphicsSystem::CreateTarget() { return nullptr; }

bool CGraphicsSystem::Filter(bool wantsBitmap, bool) const { return wantsBitmap; }

bool CGraphicsSystem::IsAvailable() { return true; }

void CGraphicsSystem::PrepareWindow(HWND) {}

bool CGraphicsSystem::DefersProbe() const { return false; }

// ---- Failures ------------------------------------------------------------------------

void CGraphicsSystem::ReportFailure(int severity)
{
    CCrashLog& crashLog = GetCrashLog();
    if (!crashLog.IsUiThread()) {
        // The watchdog, with the user-interface thread held: plain fields
        // only. The held thread sees the system failed once it runs again;
        // the setting and the dump follow in CompleteHeldReport.
        if (!m_lastResort)
            m_restricted = true;
        if (severity > m_currentError) {
            m_currentError = severity;
            m_heldSeverity = severity;
        }
        return;
    }
    if (severity == 2) {
        // The first out-of-memory report gives back the crash log's reserve;
        // a second one in the same run counts as a plain failure.
        if (crashLog.HoldsReserve())
            crashLog.ReleaseReserve();
        else
            severity = 3;
    }
    if (!m_lastResort)
        m_restricted = true;
    if (m_availability == 1)
        severity = 3;
    RecordWorstError(severity);
    if (severity > m_currentError) {
        m_currentError = severity;
        WriteFailureDump(severity);
    }
}

void CGraphicsSystem::CompleteHeldReport()
{
    const int severity = m_heldSeverity;
    if (severity == 0)
        return;
    m_heldSeverity = 0;
    RecordWorstError(severity);
    WriteFailureDump(severity);
}

void CGraphicsSystem::RecordWorstError(int severity)
{
    if (m_lastResort || severity <= m_worstError)
        return;
    m_worstError = severity;
    CRunState& run = Run();
    if (!run.worstErrorStored && run.userSystem != this) {
        CSettings::SetInt(m_name + L"WorstError", severity);
        run.worstErrorStored = true;
    }
}

void CGraphicsSystem::WriteFailureDump(int severity)
{
    TRACE_VALUE(std::wstring, m_name);
    TRACE_VALUE(int32_t, severity);
    GetCrashLog().ReportFailure(kFailGraphics);
}

bool CGraphicsSystem::IsUsable()
{
    if (m_availability == 0) {
        TRACE_VALUE(std::wstring, m_name);
        m_availability = 1;
        const bool available = IsAvailableGuarded();
        m_availability = available && m_currentError == 0 ? 3 : 2;
    }
    return m_availability == 3;
}

// ---- Guarded calls -------------------------------------------------------------------

void CGraphicsSystem::PrepareWindowGuarded(HWND window, bool sceneIs3D)
{
    TRACE_POINT();
    if (m_restricted && !sceneIs3D)
        return;
    // A probe the choice left for later runs now.
    if (!m_lastResort && !IsUsable())
        return;
    CallGraphicsGuarded(this, [this, window] { PrepareWindow(window); });
}

bool CGraphicsSystem::IsAvailableGuarded()
{
    TRACE_POINT();
    bool available = false;
    if (!CallGraphicsGuarded(this, [this, &available] { available = IsAvailable(); }))
        return false;
    return available;
}

void CGraphicsSystem::RenderOffscreenGuarded(CScene& scene, CPixelBitmap& bitmap, float fullWidth,
                                             float fullHeight, float tileX, float tileY)
{
    TRACE_POINT();
    if (!m_lastResort && !IsUsable())
        return;
    CallGraphicsGuarded(this, [&] { RenderOffscreen(scene, bitmap, fullWidth, fullHeight, tileX, tileY); });
}

// ---- Targets of windows ----------------------------------------------------------------

CRenderTarget* CGraphicsSystem::CreateRenderTarget(bool wantsBitmap, bool gdiOnly, bool sceneIs3D)
{
    TRACE_POINT();
    CGraphicsSystem& gdi = CGdiGraphicsSystem::Instance();
    CGraphicsSystem& used = m_restricted && !sceneIs3D ? gdi : *this;
    if (!used.Filter(wantsBitmap, gdiOnly) && used.m_currentError == 0 && (used.m_lastResort || used.IsUsable()))
        return used.CreateTarget();
    // The plain canvas comes from GDI's own slot: asking GDI for a window
    // target would make a fall-back again once GDI itself has failed.
    CRenderTarget* canvas = gdi.CreateTarget();
    CRenderTarget* fallback = new (std::nothrow) CFallbackRenderTarget(gdiOnly, canvas);
    if (!fallback)
        delete canvas;
    return fallback;
}

bool CGraphicsSystem::SuitsTarget(const CRenderTarget& target, bool sceneIs3D) const
{
    if (!m_restricted || dynamic_cast<const CFallbackRenderTarget*>(&target))
        return true;
    return sceneIs3D == (&target.GetGraphicsSystem() == this);
}

bool CGraphicsSystem::IsViewSystem3D() { return &GetGraphicsSystem(false) != &GetGraphicsSystem(true); }

// ---- GDI -------------------------------------------------------------------------------

CGdiGraphicsSystem& CGdiGraphicsSystem::Instance()
{
    static CGdiGraphicsSystem system;
    return system;
}

void CGdiGraphicsSystem::RenderOffscreen(CScene& scene, CPixelBitmap& bitmap, float fullWidth, float fullHeight,
                                         float tileX, float tileY)
{
    TRACE_POINT();
    // The scene is drawn over the bitmap's own pixels, as over a window: a
    // scene without a background leaves them where it draws nothing. An
    // opaque background covers them all, so they need not be copied.
    CGdiBitmap ownDib;
    CGdiBitmap& dib = GetCrashLog().IsUiThread() ? m_windowPicture : ownDib;
    if (GetAlpha(scene.background) != 0xFF)
        dib.SetPixels(bitmap);
    if (dib.RenderScene(scene, bitmap.GetWidth(), bitmap.GetHeight(), fullWidth, fullHeight, tileX, tileY))
        dib.GetPixels(bitmap);
}

CRenderTarget* CGdiGraphicsSystem::CreateTarget() { return new (std::nothrow) CGdiGraphics(); }

// ---- The 3D back ends ----------------------------------------------------------------

CDirect3D11GraphicsSystem& CDirect3D11GraphicsSystem::Instance()
{
    static CDirect3D11GraphicsSystem system;
    return system;
}

int CDirect3D11GraphicsSystem::GetRank() const
{
    if (!IsWindowsVersionAtLeast(6, 1, 0))
        return 2;
    return m_featureLevel11 ? 0 : 1;
}

void CDirect3D11GraphicsSystem::RenderOffscreen(CScene& scene, CPixelBitmap& bitmap, float fullWidth,
                                                float fullHeight, float tileX, float tileY)
{
    CDirect3D11Renderer::GetOffscreenRenderer().RenderToBitmap(scene, bitmap, fullWidth, fullHeight, tileX, tileY);
}

CRenderTarget* CDirect3D11GraphicsSystem::CreateTarget() { return new (std::nothrow) CDirect3D11Renderer(); }

bool CDirect3D11GraphicsSystem::IsAvailable() { return ProbeDirect3D11(); }

bool CDirect3D11GraphicsSystem::LoadsLibrary() const
{
    if (m_libraryFound == 0) {
        // As data only: no code of the library runs and nothing it imports
        // is loaded.
        HMODULE image =
            LoadLibraryExW(L"d3d11.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        m_libraryFound = image ? 1 : 2;
        TRACE_VALUE(int32_t, m_libraryFound);
        if (image)
            FreeLibrary(image);
    }
    return m_libraryFound == 1;
}

COpenGL3GraphicsSystem& COpenGL3GraphicsSystem::Instance()
{
    static COpenGL3GraphicsSystem system;
    return system;
}

void COpenGL3GraphicsSystem::RenderOffscreen(CScene& scene, CPixelBitmap& bitmap, float fullWidth,
                                             float fullHeight, float tileX, float tileY)
{
    COpenGL3Renderer::GetOffscreenRenderer().RenderToBitmap(scene, bitmap, fullWidth, fullHeight, tileX, tileY);
}

CRenderTarget* COpenGL3GraphicsSystem::CreateTarget() { return new (std::nothrow) COpenGL3Renderer(); }

bool COpenGL3GraphicsSystem::IsAvailable() { return ProbeOpenGL3(); }

bool COpenGL3GraphicsSystem::DefersProbe() const { return IsOpenGL3Usable(); }

void COpenGL3GraphicsSystem::PrepareWindow(HWND window)
{
    TRACE_POINT();
    HDC dc = GetDC(window);
    if (dc && GetPixelFormat(dc) != 0)
        return;
    if (!dc || !ChooseOpenGL3PixelFormat(dc))
        ReportFailure(3);
}

COpenGL1GraphicsSystem& COpenGL1GraphicsSystem::Instance()
{
    static COpenGL1GraphicsSystem system;
    return system;
}

void COpenGL1GraphicsSystem::RenderOffscreen(CScene& scene, CPixelBitmap& bitmap, float fullWidth,
                                             float fullHeight, float tileX, float tileY)
{
    COpenGL1Renderer::RenderOffscreen(scene, bitmap, fullWidth, fullHeight, tileX, tileY);
}

CRenderTarget* COpenGL1GraphicsSystem::CreateTarget() { return new (std::nothrow) COpenGL1Renderer(); }

void COpenGL1GraphicsSystem::PrepareWindow(HWND window)
{
    TRACE_POINT();
    HDC dc = GetDC(window);
    if (dc && GetPixelFormat(dc) != 0)
        return;
    SetOpenGL1PixelFormat(dc, true);
}
