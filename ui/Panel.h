#pragma once

#include <windows.h>

#include <string>

#include "foundation/Clock.h"
#include "foundation/Rect.h"
#include "foundation/Timer.h"
#include "render3d/Camera.h"
#include "ui/MouseEvent.h"
#include "ui/Window.h"

class CCursors;
class CGraphicsBackEnd;
class CMenu;
class CRenderTarget;
class CScene;

// The one custom-drawn window of the framework: a native child window of
// the class "CPanel" that shows a scene through a render target and turns
// its mouse, keyboard, focus and tool-tip messages into the virtual
// operations below, which subclasses override (views, toolbars, dividers,
// lists, swatches).
//
// Painting never happens inside the caller: Invalidate starts a zero-delay
// timer, and the timer pump paints once the message queue is empty, so any
// number of Invalidate calls in a row give one paint. WM_PAINT and mouse
// moves paint a pending repaint at once.
//
//     CScene scene(true, 1);
//     scene.items[0] = &picture;
//     CPanel panel(true, false);
//     panel.SetScene(&scene);
//     panel.CreateNativeWindow(owner);   // then measure and SetBounds
class CPanel : public CWindow
{
public:
    // gdiOnly: always draws through the GDI system. offscreen: asks the
    // graphics system for a target that renders into a bitmap first.
    CPanel(bool gdiOnly, bool offscreen);
    ~CPanel() override;

    // Freely stretchable: minimum and preferred 0, no maximum, stretch 1.
    void Measure() override;
    // Hiding stops a pending repaint, showing schedules one; OnShown follows.
    void SetVisible(bool newVisible) override;
    void CreateNativeWindow(CNativeWindow& owner) override;
    // Stops the repaint timer and drops the render target before the native
    // window goes; focus loss is no longer reported from then on.
    void SetDirty() override;
    // The tool-tip notifications.
    void OnNotify(NMHDR* header) override;

    // ---- Operations for subclasses, in slot order ---------------------------
    // The cursor for this mouse state; the base answers `cursor`.
    virtual CCursors* GetCursorAt(const CMouseEvent& event);
    // Whether a navigation key (panel key code) should reach the panel rather
    // than the dialog manager.
    virtual bool WantsAllKeys(int key);
    virtual void OnKeyDown(int key, bool control, bool shift);
    virtual void OnKeyUp(int key, bool control, bool shift);
    // A letter key 'A' to 'Z' pressed with Ctrl and without Shift.
    virtual void OnControlLetter(int virtualKey);
    // Printable characters only (never 0-31 or 127).
    virtual void OnChar(wchar_t ch);
    virtual void OnSetFocus();
    virtual void OnKillFocus();
    // After every SetVisible.
    virtual void OnShown();
    virtual void OnMouseDown(const CMouseEvent& event);
    virtual void OnMouseUp(const CMouseEvent& event);
    // Not called while the left button is held.
    virtual void OnRightClick(const CMouseEvent& event);
    virtual void OnMouseMove(const CMouseEvent& event);
    virtual void OnMouseEnter(const CMouseEvent& event);
    virtual void OnMouseLeave();

    // ---- Interface ----------------------------------------------------------
    // Shows the scene (not owned) from the next paint on.
    void SetScene(CScene* newScene);
    CScene* GetScene() const { return scene; }
    // The scene's transform; without a scene, reported, and the identity.
    const CTransform& GetSceneTransform() const;
    // Takes the transform into the scene when its matrix differs; a mouse
    // over the panel then gets a fresh OnMouseMove (the scene moved under
    // it), and the panel repaints.
    void SetSceneTransform(const CTransform& transform);
    // Schedules a repaint when the panel has a native window and is visible.
    void Invalidate();
    // Paints now when a repaint is scheduled.
    void PaintIfPending();
    // Each coordinate rounded half up to a whole unit.
    static CPoint2 RoundPoint(const CPoint2& point);
    // Stores the cursor and shows it when the mouse is over the panel.
    void SetCursor(CCursors* newCursor);
    // Asks GetCursorAt again for the mouse where it is now.
    void UpdateCursor();
    // Gives the native window the keyboard focus.
    void SetFocus();
    // The panel's single tool-tip area (window pixels): its tip text (cut
    // to 79 characters), the text the parent's status bar shows while the
    // tip is up, and whether the tip comes up quickly (100 ms, else 500).
    void SetTooltip(const CRectF& rect, const std::wstring& newTipText, const std::wstring& newStatusText,
                    bool quick);
    void ClearTooltip();
    // Pops the menu up where the right button last went down, after
    // refreshing its commands' states, and runs the command chosen.
    void ShowContextMenu(CMenu& menu);
    // The event of the mouse where it is now; false when there is none (no
    // native window, or the mouse is outside and no button is held here).
    bool GetMouseEventAtCursor(CMouseEvent& event);

    // The panel in which the left button went down and is still held.
    static CPanel* GetPressedPanel();

    // ---- State --------------------------------------------------------------
    const bool gdiOnly;
    const bool offscreen;
    // The render target's camera as of the last paint: window points to
    // scene points.
    CCamera camera;
    CScene* scene = nullptr;
    // Tab stop, and the focus on a left click. Set before the native window
    // is made.
    bool takesFocus = false;
    CCursors* cursor;
    bool hasFocus = false;
    // The left button: held after a press here (captured), or its release
    // being handled.
    enum class EPressState
    {
        kIdle = 0,
        kHeld = 1,
        kReleasing = 2,
    };
    EPressState pressState = EPressState::kIdle;
    // The mouse is over the panel and leave tracking is armed.
    bool mouseInside = false;
    // Chosen at the first paint; never owned.
    CGraphicsBackEnd* graphicsSystem = nullptr;
    // Owned; made at a paint, dropped when it no longer suits.
    CRenderTarget* renderTarget = nullptr;
    bool recentPress = false;
    CStopwatch pressClock;
    CRectF tipRect;
    std::wstring tipText;
    std::wstring statusText;
    bool quickTip = false;
    CTimer repaintTimer;
    // The window the panel was created in: parent of its native window,
    // owner of the tool tip, holder of the status bar.
    CNativeWindow* parentWindow = nullptr;
    HWND tipWindow = nullptr;
    // Where the right button last went down.
    CPoint2 menuPoint;

private:
    static LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // `window` is passed along because the panel may be gone after a handler.
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnNativeDestroyed();

    void Paint(CTimer* timer);
    void PaintNow();
    void ReleaseRenderTarget();
    static void ReleaseSurplusTargets(CPanel* painting);

    CMouseEvent MakeEvent(WPARAM wParam, LPARAM lParam) const;
    void CompleteEvent(CMouseEvent& event) const;
    bool IsInsideClient(const CMouseEvent& event) const;
    void ShowCursorFor(const CMouseEvent& event);
    void ArmLeaveTracking(DWORD flags);
    bool IsLeaveTrackingActive();

    void HandleKey(WPARAM virtualKey, bool down);
    void HandlePress(const CMouseEvent& event);
    // False when a handler destroyed the panel.
    bool HandleRelease(const CMouseEvent& event);
    void HandleLostCapture();
    void HandleMouseMove(const CMouseEvent& event);
    void HandleLeave();
    void HandleRightClick(const CMouseEvent& event);

    void ShowStatusText(const std::wstring& text);

    // A paint that runs into a modal loop (a failure report's message box)
    // must not start the same paint again from that loop's messages: the
    // inner request is kept and done once the outer paint has finished.
    bool m_painting = false;
    bool m_paintAgain = false;

    // The panel in which the left button is held, and the one whose mouse-up
    // is being handled; a panel's destructor clears them when they point at
    // it, which tells the handling code that the panel is gone.
    static CPanel* s_pressedPanel;
    static CPanel* s_eventPanel;
};
