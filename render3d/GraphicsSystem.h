#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "foundation/Geometry.h"
#include "graphics/GdiBitmap.h"
#include "graphics/GraphicsBackEnd.h"

class CGraphicsSystem;
class CPixelBitmap;
class CRenderTarget;
class CScene;

// One row of the graphics-class table: the class id, its system, whether the
// system then draws only scenes with 3D items (flag), and the class it steps
// to once the crash log has spent its memory reserve (level).
struct CGraphicsClassEntry
{
    int id;
    CGraphicsSystem* system;
    bool flag;
    int level;
};

// A graphics back end: "GDI", "Direct3D11", "OpenGL3" or "OpenGL1". Each is
// one descriptor, built on first use and alive until exit. The descriptor
// keeps the back end's failure history and makes its render targets; which
// descriptor draws a view is decided by GetGraphicsSystem below, the one
// place that chooses a back end.
//
// Failure severities: 0 none; 1 a lost or reset device (the back end can
// make it again); 2 out of memory; 3 any other failure, a hang or a fault
// inside a graphics library. The current error only grows during a run; the
// worst error also lives across runs in the setting named by the system's
// name followed by "WorstError", and only the user's explicit choice of a
// graphics class clears it.
//
// GDI is the last resort: it is never restricted, keeps no worst error and
// always qualifies in the choice, so a GDI failure of one run can never
// leave a later run without any system.
class CGraphicsSystem : public CGraphicsBackEnd
{
public:
    // Reads the worst error of earlier runs; the settings must be open.
    explicit CGraphicsSystem(const std::wstring& name);
    virtual ~CGraphicsSystem();
    CGraphicsSystem(const CGraphicsSystem&) = delete;
    CGraphicsSystem& operator=(const CGraphicsSystem&) = delete;

    // ---- Slots, in order --------------------------------------------------------
    // Draws the scene into the bitmap, which holds the tile at (tileX,
    // tileY) of a fullWidth x fullHeight picture; the bitmap's size is the
    // caller's. A descriptor without a renderer reports a failed check.
    virtual void RenderOffscreen(CScene& scene, CPixelBitmap& bitmap, float fullWidth, float fullHeight,
                                 float tileX, float tileY);
    // How scarce the system's window targets are: 2 on Windows Vista or
    // later, else 3 (the course windows limit their 3D views by it).
    virtual int GetRank() const;
    // A new render target of this system for a window; null when none can be
    // made (no memory, or no renderer).
    virtual CRenderTarget* CreateTarget();
    // True when this system will not draw straight into such a window, so
    // that the window gets a CFallbackRenderTarget. The base: wantsBitmap.
    virtual bool Filter(bool wantsBitmap, bool gdiOnly) const;
    // Whether the back end can run on this machine; probed once per run
    // through IsUsable.
    virtual bool IsAvailable();
    // Prepares a window before its first target (pixel formats); the base
    // does nothing.
    virtual void PrepareWindow(HWND window);
    // Whether the choice may take the system before its probe ran: the
    // probe then waits until a window or a picture first needs the system
    // (for a system of 3D views only, a 3D scene), so that choosing a class
    // loads no 3D library and a start that shows no 3D view of such a
    // system loads none at all. The base: false.
    virtual bool DefersProbe() const;

    // ---- Failure bookkeeping ----------------------------------------------------
    // Called by the back ends on every failing library call, and by the hang
    // watchdog and the fault filter on the crash log's failure handler. The
    // program goes on afterwards. The first out-of-memory report gives back
    // the crash log's reserve; a second counts as 3, and so does any report
    // while the system probes its availability. The system becomes
    // restricted; a new worst error is stored (only the first of a run, and
    // not for the system the user picked in this run); a new current error
    // is recorded in a trace point and dumped through the crash log (code 2,
    // no message). The watchdog reports on its own thread while the
    // user-interface thread is held: the report then only marks the system
    // failed, and CompleteHeldReport stores the worst error and writes the
    // dump once the thread runs again.
    void ReportFailure(int severity) override;
    void CompleteHeldReport() override;

    // Probes availability on first use: usable when the guarded probe
    // answered true and no failure was reported meanwhile.
    bool IsUsable();

    // The slots run with this system as the crash log's failure handler and
    // under the fault filter; a fault inside a graphics library marks the
    // system failed and the call returns (IsAvailableGuarded then answers
    // false). PrepareWindowGuarded does nothing for a flat scene on a
    // restricted system: GDI draws it.
    void PrepareWindowGuarded(HWND window, bool sceneIs3D) override;
    bool IsAvailableGuarded();
    void RenderOffscreenGuarded(CScene& scene, CPixelBitmap& bitmap, float fullWidth, float fullHeight,
                                float tileX, float tileY);

    // ---- Targets of windows -----------------------------------------------------
    // The target for a panel's window (after PrepareWindowGuarded): this
    // system's own, or GDI's when this system is restricted and the scene
    // is flat; a CFallbackRenderTarget over a plain GDI canvas when that
    // system filters the window or has failed in this run. Null only when
    // nothing could be allocated. The caller owns the target.
    CRenderTarget* CreateRenderTarget(bool wantsBitmap, bool gdiOnly, bool sceneIs3D) override;
    // Whether a panel may keep a target that it has: always for an
    // unrestricted system and for fall-back targets; else only a 3D scene on
    // this system's own target or a flat scene on another system's.
    bool SuitsTarget(const CRenderTarget& target, bool sceneIs3D) const override;

    // True when the system chosen for views is not GDI.
    static bool IsViewSystem3D();
    // The largest GetRank of any system GetGraphicsSystem has returned.
    static int HighestRank;

    const std::wstring& GetName() const { return m_name; }
    bool IsRestricted() const { return m_restricted; }
    int GetCurrentError() const override { return m_currentError; }
    int GetWorstError() const { return m_worstError; }
    // 0 not probed yet, 1 probing, 2 unavailable, 3 available.
    int GetAvailability() const { return m_availability; }
    bool IsLastResort() const { return m_lastResort; }

protected:
    // lastResort: the GDI system (see above).
    CGraphicsSystem(const std::wstring& name, bool lastResort);

private:
    friend class CGraphicsSystemTestAccess;
    friend const std::vector<CGraphicsClassEntry>& GetGraphicsSystemTable();
    friend CGraphicsSystem& GetGraphicsSystem(bool gdiOnly);
    friend void SetGraphicsClassSetting(int graphicsClass, bool isExplicit);
    friend CSize2 GetOffscreenTileSize(bool large);

    // What the choice keeps for the run; user-interface thread only.
    struct CRunState
    {
        bool classRead = false;
        // The class taken last, starting from the stored one.
        int rememberedClass = 0;
        bool firstChange = true;
        // Picked by the user in this run through the graphics-system dialog.
        CGraphicsSystem* userSystem = nullptr;
        // Only the first worst error of a run goes to the settings.
        bool worstErrorStored = false;
        // The screen's size once read (0 x 0 before).
        CSize2 screenSize;
        bool tableBuilt = false;
        std::vector<CGraphicsClassEntry> table;
    };
    static CRunState& Run();

    // A new worst error, stored when it is the first of the run and the
    // user did not pick this system in this run.
    void RecordWorstError(int severity);
    // The system's name and the severity as trace values, then the crash
    // log's report.
    void WriteFailureDump(int severity);

    std::wstring m_name;
    bool m_lastResort = false;
    bool m_restricted = false;
    int m_currentError = 0;
    int m_worstError = 0;
    int m_availability = 0;
    // Noted by a report from the watchdog's thread, written out by
    // CompleteHeldReport.
    int m_heldSeverity = 0;
};

// ---- The descriptors ----------------------------------------------------------

// GDI: the canvas of graphics/GdiGraphics.h, for every window, and the off-
// screen rendering of graphics/GdiBitmap.h. Rank 0. It filters every window
// that is not GDI-only, so views drawn through GDI are rendered off screen
// first and copied to the window in one piece.
class CGdiGraphicsSystem : public CGraphicsSystem
{
public:
    static CGdiGraphicsSystem& Instance();

    void RenderOffscreen(CScene& scene, CPixelBitmap& bitmap, float fullWidth, float fullHeight, float tileX,
                         float tileY) override;
    int GetRank() const override { return 0; }
    CRenderTarget* CreateTarget() override;
    bool Filter(bool wantsBitmap, bool gdiOnly) const override { return wantsBitmap || !gdiOnly; }

private:
    CGdiGraphicsSystem() : CGraphicsSystem(L"GDI", true) {}

    // The windows' pictures are drawn into one DIB, made again only when the
    // size changes: a fresh one for every frame costs the system new pages.
    // Other threads draw into DIBs of their own.
    CGdiBitmap m_windowPicture;
};

// Direct3D 11 (render3d/Direct3D11Renderer.h): a device and swap chain per
// window, and one shared device for every off-screen rendering.
class CDirect3D11GraphicsSystem : public CGraphicsSystem
{
public:
    static CDirect3D11GraphicsSystem& Instance();

    void RenderOffscreen(CScene& scene, CPixelBitmap& bitmap, float fullWidth, float fullHeight, float tileX,
                         float tileY) override;
    // 2 before Windows 7; from Windows 7 on 0 when the device reached
    // feature level 11, else 1.
    int GetRank() const override;
    CRenderTarget* CreateTarget() override;
    // The probe of render3d/Direct3D11Renderer.h: the library loaded and a
    // device made at the highest feature level it offers (11 or lower).
    bool IsAvailable() override;
    // Whether d3d11.dll can be loaded: decides the default graphics class.
    // The file is only mapped as data and let go at once, so that the
    // answer costs no start of the library (or of what it stands on); the
    // answer is kept for the run.
    bool LoadsLibrary() const;
    // While the library file is there: the device is made when a window or
    // a picture first needs the system, not when the class is chosen (for
    // the first window of a start, ahead: PrepareViewSystemAhead).
    bool DefersProbe() const override { return LoadsLibrary(); }
    // Set by the probe from the off-screen device.
    void SetFeatureLevel11(bool reached) { m_featureLevel11 = reached; }

protected:
    bool m_featureLevel11 = false;

private:
    friend class CGraphicsSystemTestAccess;
    CDirect3D11GraphicsSystem() : CGraphicsSystem(L"Direct3D11") {}

    // 0 not asked yet, 1 the library loads, 2 it does not.
    mutable int m_libraryFound = 0;
};

// OpenGL 3 (render3d/OpenGL3Renderer.h): a renderer per window, and one
// shared renderer on the probe's context for every off-screen rendering.
class COpenGL3GraphicsSystem : public CGraphicsSystem
{
public:
    static COpenGL3GraphicsSystem& Instance();

    void RenderOffscreen(CScene& scene, CPixelBitmap& bitmap, float fullWidth, float fullHeight, float tileX,
                         float tileY) override;
    CRenderTarget* CreateTarget() override;
    // The probe of render3d/OpenGL3Context.h.
    bool IsAvailable() override;
    // Chooses and sets the window's pixel format unless it has one.
    void PrepareWindow(HWND window) override;
    // While the settings say OpenGL 3 may be usable (IsOpenGL3Usable).
    bool DefersProbe() const override;

private:
    COpenGL3GraphicsSystem() : CGraphicsSystem(L"OpenGL3") {}
};

// OpenGL 1 (render3d/OpenGL1Renderer.h): a renderer per window and one for
// each off-screen rendering. Available wherever Windows runs: the library
// is loaded only when a window or a picture first needs it.
class COpenGL1GraphicsSystem : public CGraphicsSystem
{
public:
    static COpenGL1GraphicsSystem& Instance();

    void RenderOffscreen(CScene& scene, CPixelBitmap& bitmap, float fullWidth, float fullHeight, float tileX,
                         float tileY) override;
    CRenderTarget* CreateTarget() override;
    // Sets the window's pixel format unless it has one: a window keeps the
    // format it was given first.
    void PrepareWindow(HWND window) override;

private:
    COpenGL1GraphicsSystem() : CGraphicsSystem(L"OpenGL1") {}
};

// ---- The choice ---------------------------------------------------------------

// The table, built once: 3 Direct3D 11 for every view, 4 Direct3D 11 for 3D
// views only, 2 OpenGL 3 for 3D views only, 1 OpenGL 1 for 3D views only,
// 0 GDI only.
const std::vector<CGraphicsClassEntry>& GetGraphicsSystemTable();

// The stored "GraphicsClass"; when there is none, 3 when the Direct3D 11
// library loads, else 2 when OpenGL 3 is usable, else 1.
int GetGraphicsClassSetting();

// With gdiOnly the GDI system; otherwise the system for views. The stored
// class is tried first, then every class in table order; a class qualifies
// when its system is usable and has not failed in this run, and its stored
// worst error is at most 2 for a 3D-only class and 0 otherwise; GDI always
// qualifies. The first change of the class in a run shows the graphics-
// system menu item from then on and, unless the user picked a class in this
// run, stores the class taken.
CGraphicsSystem& GetGraphicsSystem(bool gdiOnly);

// Stores "GraphicsClass". With isExplicit (the graphics-system dialog) the
// class's system becomes the user's system of this run and its stored worst
// error is cleared; without it nothing is stored once the user has picked.
void SetGraphicsClassSetting(int graphicsClass, bool isExplicit);

// Gives the canvas and the panels (graphics/GraphicsBackEnd.h) this choice
// and the off-screen tile size; start-up does it once.
void InstallGraphicsSystemChoice();

// For a start that opens a course window, once the settings are open: when
// the system chosen for views draws every view and waits with its probe for
// the first window (Direct3D 11), that probe's device is made meanwhile on a
// thread of its own (MakeDirect3D11DeviceAhead).
void PrepareViewSystemAhead();

// ---- Off-screen rendering -------------------------------------------------------

// Renders one piece: the bitmap receives the tile at (tileX, tileY) of a
// fullWidth x fullHeight picture. Each attempt asks GetGraphicsSystem again
// (a restricted system leaves flat scenes to GDI), so a system that fails
// gives way to the next one in the table; at most 10 attempts. A bitmap
// without pixels is left alone.
void RenderSceneOffscreen(CScene& scene, CPixelBitmap& bitmap, float fullWidth, float fullHeight, float tileX,
                          float tileY, bool gdiOnly);

// Renders the whole picture at the bitmap's size (set by the caller): in
// one piece when it fits GetOffscreenTileSize(gdiOnly), else in tiles of at
// most the screen's size.
void RenderSceneToBitmap(CScene& scene, CPixelBitmap& bitmap, bool gdiOnly);

// 5000 x 5000 when large; else the screen's size in pixels, read on first
// use. A screen that reports no size gives 1024 x 768 for that call.
CSize2 GetOffscreenTileSize(bool large);
