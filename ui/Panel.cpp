#include "ui/Panel.h"

#include <deque>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/GuardedCall.h"
#include "foundation/Numeric.h"
#include "graphics/GraphicsBackEnd.h"
#include "graphics/RenderTarget.h"
#include "ui/Cursors.h"
#include "ui/FrameWindowList.h"
#include "ui/ModalState.h"
#include "ui/Scene.h"

CPanel* CPanel::s_pressedPanel = nullptr;
CPanel* CPanel::s_eventPanel = nullptr;

namespace {

const wchar_t kPanelClassName[] = L"CPanel";

// The panels that hold a render target, in the order they made them.
std::deque<CPanel*>& TargetPanels()
{
    static std::deque<CPanel*> panels;
    return panels;
}

// The panel whose native window is being created: WM_CREATE checks its
// creation parameter against it.
CPanel* g_creatingPanel = nullptr;

bool HasFailed(const CGraphicsBackEnd& system) { return system.GetCurrentError() != 0; }

bool SceneHas3DItems(const CScene* scene) { return scene && scene->Has3DItems(); }

void RegisterPanelClass(WNDPROC procedure)
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSW windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kPanelClassName;
    if (RegisterClassW(&windowClass)) {
        registered = true;
    } else {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
}

}  // namespace

CPanel::CPanel(bool gdiOnly_, bool offscreen_)
    : gdiOnly(gdiOnly_), offscreen(offscreen_), cursor(&CCursors::GetArrow())
{
    repaintTimer.interval = 0;
    repaintTimer.repeat = false;
    repaintTimer.SetOnTimer(CMemberDelegate<CTimer*, CPanel>::Make(this, &CPanel::Paint));
}

CPanel::~CPanel()
{
    TRACE_POINT();
    repaintTimer.Stop();
    ReleaseRenderTarget();
    if (s_pressedPanel == this)
        s_pressedPanel = nullptr;
    if (s_eventPanel == this)
        s_eventPanel = nullptr;
    // The tip belongs to the parent window, which may have taken it down
    // already.
    if (tipWindow && IsWindow(tipWindow))
        DestroyWindow(tipWindow);
    tipWindow = nullptr;
    if (hwnd)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
}

void CPanel::Measure()
{
    minWidth = 0;
    preferredWidth = 0;
    maxWidth = 0;
    widthStretch = 1;
    minHeight = 0;
    preferredHeight = 0;
    maxHeight = 0;
    heightStretch = 1;
}

void CPanel::SetVisible(bool newVisible)
{
    const bool wasVisible = visible;
    CWindow::SetVisible(newVisible);
    if (wasVisible && !newVisible)
        repaintTimer.Stop();
    else if (!wasVisible && newVisible && hwnd)
        repaintTimer.Start(false);
    OnShown();
}

void CPanel::CreateNativeWindow(CNativeWindow& owner)
{
    TRACE_POINT();
    RegisterPanelClass(&CPanel::PanelProc);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (takesFocus)
        style |= WS_TABSTOP | WS_GROUP;
    if (visible)
        style |= WS_VISIBLE;
    parentWindow = &owner;
    CPanel* const outer = g_creatingPanel;
    g_creatingPanel = this;
    owner.CreateChildWindow(kPanelClassName, style, bounds, this, std::wstring(), 0);
    g_creatingPanel = outer;
    closed = false;
    if (!tipRect.IsEmpty())
        SetTooltip(tipRect, tipText, statusText, quickTip);
}

void CPanel::SetDirty()
{
    repaintTimer.Stop();
    ReleaseRenderTarget();
    CWindow::SetDirty();
}

// ---- Window procedure ----------------------------------------------------------

LRESULT CALLBACK CPanel::PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWatchedSection watched;
    if (message == WM_CREATE) {
        const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        CWindow* const parameter = create ? static_cast<CWindow*>(create->lpCreateParams) : nullptr;
        CPanel* const panel = g_creatingPanel;
        if (!panel || parameter != static_cast<CWindow*>(panel)) {
            TRACE_VALUE(const void*, parameter);
            ReportFailure();
        } else {
            panel->SetHandle(window);
            SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(panel));
        }
    }
    CPanel* const panel = reinterpret_cast<CPanel*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!panel)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    if (!CallGuarded([&] { result = panel->HandleMessage(window, message, wParam, lParam); }))
        result = 0;
    return result;
}

LRESULT CPanel::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFOCUS:
        hasFocus = true;
        OnSetFocus();
        break;
    case WM_KILLFOCUS:
        hasFocus = false;
        if (!closed)
            OnKillFocus();
        break;
    case WM_PAINT:
        Invalidate();
        PaintIfPending();
        ValidateRect(window, nullptr);
        return 0;
    case WM_SETCURSOR:
        // The panel shows its cursor itself on every mouse message.
        if (LOWORD(lParam) == HTCLIENT)
            return TRUE;
        break;
    case WM_NOTIFY:
        OnNotify(reinterpret_cast<NMHDR*>(lParam));
        break;
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTCHARS;
        const int key = GetPanelKeyCode(unsigned(wParam));
        if (key >= 0 && WantsAllKeys(key))
            code |= DLGC_WANTARROWS;
        return code;
    }
    case WM_KEYDOWN:
        HandleKey(wParam, true);
        break;
    case WM_KEYUP:
        HandleKey(wParam, false);
        break;
    case WM_CHAR:
        if (wParam >= 32 && wParam != 127) {
            OnChar(wchar_t(wParam));
            UpdateCursor();
        }
        break;
    case WM_MOUSEMOVE:
        HandleMouseMove(MakeEvent(wParam, lParam));
        break;
    case WM_LBUTTONDOWN:
        HandlePress(MakeEvent(wParam, lParam));
        break;
    case WM_LBUTTONUP:
        HandleRelease(MakeEvent(wParam, lParam));
        break;
    case WM_RBUTTONDOWN: {
        const CMouseEvent event = MakeEvent(wParam, lParam);
        menuPoint = CPoint2(event.x, event.y);
        HandleRightClick(event);
        break;
    }
    case WM_CAPTURECHANGED:
        HandleLostCapture();
        break;
    case WM_MOUSELEAVE:
        mouseInside = false;
        HandleLeave();
        break;
    case WM_NCDESTROY:
        OnNativeDestroyed();
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The native window is going (with its parent, usually): the panel lets go
// of everything that refers to it, so that it neither paints into nor
// answers for a window handle that may soon name another window, and can
// make a new window later.
void CPanel::OnNativeDestroyed()
{
    TRACE_POINT();
    repaintTimer.Stop();
    ReleaseRenderTarget();
    // The tip belongs to the parent window, which may have taken it down
    // already.
    if (tipWindow && IsWindow(tipWindow))
        DestroyWindow(tipWindow);
    tipWindow = nullptr;
    if (s_pressedPanel == this)
        s_pressedPanel = nullptr;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    hwnd = nullptr;
    pressState = EPressState::kIdle;
    mouseInside = false;
    hasFocus = false;
}

// ---- Scene and repaint ----------------------------------------------------------

void CPanel::SetScene(CScene* newScene)
{
    scene = newScene;
    Invalidate();
}

const CTransform& CPanel::GetSceneTransform() const
{
    static const CTransform identity;
    if (!scene) {
        ReportFailure();
        return identity;
    }
    return scene->transform;
}

void CPanel::SetSceneTransform(const CTransform& transform)
{
    if (!scene) {
        ReportFailure();
        return;
    }
    if (transform == scene->transform)
        return;
    scene->transform = transform;
    CMouseEvent event;
    if (mouseInside && GetMouseEventAtCursor(event)) {
        OnMouseMove(event);
        ShowCursorFor(event);
    }
    Invalidate();
}

void CPanel::Invalidate()
{
    if (hwnd && visible)
        repaintTimer.Start(false);
}

void CPanel::PaintIfPending()
{
    if (hwnd && repaintTimer.IsRunning()) {
        repaintTimer.Stop();
        Paint(&repaintTimer);
    }
}

void CPanel::Paint(CTimer* timer)
{
    TRACE_POINT();
    if (!hwnd)
        return;
    if (m_painting) {
        m_paintAgain = true;
        return;
    }
    m_painting = true;
    PaintNow();
    // The scene covers the whole client area: a WM_PAINT still waiting for
    // part of it would only draw it again.
    if (renderTarget)
        ValidateRect(hwnd, nullptr);
    m_painting = false;
    if (m_paintAgain) {
        m_paintAgain = false;
        Invalidate();
    }
}

void CPanel::PaintNow()
{
    if (!graphicsSystem)
        graphicsSystem = &ChooseGraphicsBackEnd(gdiOnly);
    ReleaseSurplusTargets(this);
    if (!renderTarget) {
        // The target is made as for a flat scene, whatever the scene holds:
        // a system that draws only 3D scenes then leaves the window to GDI's
        // target, which shows that system's off-screen pictures of a 3D
        // scene as well, and no 3D library draws straight into the window.
        // Under Wine on a display without compositing, a picture drawn
        // straight into a child window never reaches the screen, and once a
        // 3D library has drawn there neither does what GDI draws after it:
        // a view whose first picture was 3D stayed black, also in the map.
        // A system that draws every view still draws into its windows.
        graphicsSystem->PrepareWindowGuarded(hwnd, false);
        renderTarget = graphicsSystem->CreateRenderTarget(offscreen, gdiOnly, false);
        if (!renderTarget)
            return;
        TargetPanels().push_back(this);
        CRenderTarget* const target = renderTarget;
        const HWND window = hwnd;
        CallGraphicsGuarded(&target->GetGraphicsSystem(), [target, window] { target->AttachToWindow(window); });
    }
    CRenderTarget* const target = renderTarget;
    target->SetScene(scene);
    const float width = bounds.Width();
    const float height = bounds.Height();
    target->SetViewport(width, height, width, height, 0.0f, 0.0f);
    camera = target->GetCamera();
    CallGraphicsGuarded(&target->GetGraphicsSystem(), [target] { target->RenderScene(); });
    const CGraphicsBackEnd& system = target->GetGraphicsSystem();
    if (HasFailed(system)) {
        ReleaseRenderTarget();
        // The picture may not have come (a swap chain or a first frame
        // refused): the next paint, asked for now, goes through the fall-back
        // the failed system gives. A failed GDI would give the same target
        // again and asks for none.
        if (&system != &ChooseGraphicsBackEnd(true))
            Invalidate();
    }
    if (!GetCrashLog().HoldsReserve())
        ReleaseSurplusTargets(this);
}

void CPanel::ReleaseRenderTarget()
{
    if (!renderTarget)
        return;
    std::deque<CPanel*>& panels = TargetPanels();
    for (size_t i = 0; i < panels.size(); ++i) {
        if (panels[i] == this) {
            panels[i] = panels.back();
            panels.pop_back();
            break;
        }
    }
    CRenderTarget* const target = renderTarget;
    renderTarget = nullptr;
    CallGraphicsGuarded(&target->GetGraphicsSystem(), [target] { delete target; });
}

// Render targets (3D contexts) are scarce: only the panels of the frontmost
// frame windows, of the painting panel's own window and of windows under a
// modal loop keep theirs. A released panel makes a new one at its next paint.
void CPanel::ReleaseSurplusTargets(CPanel* painting)
{
    int shown = 0;
    const std::vector<CFrameListEntry*> frames = FindFrameWindows(shown);
    const size_t keptFrames = GetCrashLog().HoldsReserve() ? 2 : 1;
    std::deque<CPanel*>& panels = TargetPanels();
    size_t i = 0;
    while (i < panels.size()) {
        CPanel* const panel = panels[i];
        bool keep = false;
        const CRenderTarget& target = *panel->renderTarget;
        if (panel->graphicsSystem->SuitsTarget(target, SceneHas3DItems(panel->scene)) &&
            !HasFailed(target.GetGraphicsSystem())) {
            if (GetModalCount() > 0 || panel->parentWindow == painting->parentWindow || frames.size() < keptFrames) {
                keep = true;
            } else {
                for (size_t f = 0; f < keptFrames; ++f)
                    if (frames[f] == panel->parentWindow)
                        keep = true;
            }
        }
        if (keep)
            ++i;
        else
            panel->ReleaseRenderTarget();  // the last entry moves into place i
    }
}

CPoint2 CPanel::RoundPoint(const CPoint2& point)
{
    return CPoint2(RoundHalfUp(point.x), RoundHalfUp(point.y));
}

CPanel* CPanel::GetPressedPanel() { return s_pressedPanel; }

// ---- Default operations -----------------------------------------------------------

CCursors* CPanel::GetCursorAt(const CMouseEvent& event) { return cursor; }
bool CPanel::WantsAllKeys(int key) { return false; }
void CPanel::OnKeyDown(int key, bool control, bool shift) {}
void CPanel::OnKeyUp(int key, bool control, bool shift) {}
void CPanel::OnControlLetter(int virtualKey) {}
void CPanel::OnChar(wchar_t ch) {}
void CPanel::OnSetFocus() {}
void CPanel::OnKillFocus() {}
void CPanel::OnShown() {}
void CPanel::OnMouseDown(const CMouseEvent& event) {}
void CPanel::OnMouseUp(const CMouseEvent& event) {}
void CPanel::OnRightClick(const CMouseEvent& event) {}
void CPanel::OnMouseMove(const CMouseEvent& event) {}
void CPanel::OnMouseEnter(const CMouseEvent& event) {}
void CPanel::OnMouseLeave() {}
