#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "foundation/Rect.h"
#include "foundation/Timer.h"
#include "ui/FrameWindowList.h"
#include "ui/Menu.h"
#include "ui/Toolbar.h"

// The framework's top-level document window: a menu bar built from
// commands, an optional toolbar across the top, an optional status bar at
// the bottom and one content window filling the rest. Every frame window of
// the process is in the frame list, most recently activated first.
//
// A frame window lives on the heap and deletes itself when its native
// window is destroyed. Closing is deferred: WM_CLOSE only starts closeTimer,
// and Close runs from the timer pump once the queue is empty.
//
//     CFrameWindow* frame = new CFrameWindow(L"Course 1", true);
//     ... fill frame->menuBar and frame->toolbar with commands ...
//     frame->Create(&content, false);
class CFrameWindow : public CFrameListEntry
{
public:
    // Takes the process-wide toolbar and status-bar defaults and joins the
    // front of the frame list.
    CFrameWindow(const std::wstring& title, bool resizable);
    // Leaves the frame list and refreshes the command states of the frames
    // that remain.
    ~CFrameWindow() override;

    // The status bar while it is shown, else null.
    HWND GetStatusBarWindow() override;
    // Run by closeTimer after WM_CLOSE; the default destroys the window.
    virtual void Close();
    // From WM_DESTROY, before the object deletes itself.
    virtual void OnDestroyed();
    // After an activation has moved the frame to the front and refreshed
    // its commands.
    virtual void OnActivated();
    // The rectangle windows are placed in: the desktop work area.
    virtual CRectF GetWorkArea();
    // The window icons; null ones are not set.
    virtual void GetIcons(HICON& smallIcon, HICON& bigIcon);
    // From WM_CREATE.
    virtual void OnCreated();
    // Once the window is placed and its content's windows exist, just before
    // it is first shown.
    virtual void OnPlaced();
    // From WM_DROPFILES.
    virtual void OnDropFiles(HDROP drop);

    // Makes the native window with menu bar, status bar, toolbar and the
    // content's native windows, places it (cascaded off the most recently
    // activated frame, or centred, or at the corner when noCentre) and
    // shows it. The content is not owned.
    void Create(CWindow* newContent, bool noCentre);
    // Destroys the native window (and so this object) at once.
    void Destroy();
    void SetTitle(const std::wstring& text);
    // Show or hide a bar in this frame and in every frame made after it; the
    // window grows or shrinks by the bar's height.
    void SetToolbarShown(bool shown);
    void SetStatusBarShown(bool shown);
    // Restores a minimised window, else makes it the active window.
    void Activate();
    // Runs every command's state delegate: the menu bar's, and the
    // toolbar's while shown.
    void UpdateCommandStates();

    // The frame windows, the ones that are not minimised first (count of
    // them in `count`), each group most recently activated first.
    static std::vector<CFrameWindow*> FindFrameWindows(int& count);
    // Re-place every frame that is not minimised as a new frame would be,
    // the least recently activated first.
    static void CascadeFrameWindows();
    // Arrange the frames that are not minimised in a grid of equal cells,
    // the most recently activated at the top left.
    static void TileFrameWindows();

    // ---- Placement and layout ---------------------------------------------------
    // Window frame with a menu bar, plus the shown toolbar and status bar.
    CSize2 GetNonClientSize();
    // Places the window as a new frame: cascaded, centred or at the corner,
    // its content at the size it had when the frame was new (within the
    // space left from there).
    void Place(bool noCentre, bool showFlag, bool fromStart);
    // Sets the normal position (a screen rectangle) and lays the window out;
    // a maximised window returns to its normal size unless showFlag.
    void SetPlacement(const CRectF& rect, bool showFlag);
    // New outer size for the bars shown: the content keeps its size (or,
    // with fit, takes its preferred size); keepInside keeps the window
    // within the work area.
    void ResizeToFit(bool fit, bool keepInside);
    // Toolbar on top, status bar at the bottom, content between.
    void Layout();

    std::wstring title;
    bool toolbarShown;
    CMenu menuBar;
    CToolbarPanel toolbar;
    CWindow* content = nullptr;
    // Set once the window has been placed; WM_SIZE lays out only then, and
    // only for a client size other than the last layout's (showing the
    // window for the first time reports the size it was laid out at).
    bool laidOut = false;
    POINT layoutSize = {-1, -1};
    // The content's size as the frame's first placement measured it within
    // the work area: the size it has as a new frame.
    CSize2 newContentSize;
    bool statusBarShown;
    HWND statusBar = nullptr;
    CTimer closeTimer;

private:
    static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnActivate(HWND window, WPARAM wParam, LPARAM lParam);
    void OnCommandMessage(WPARAM wParam, LPARAM lParam);
    void OnMenuSelect(WPARAM wParam, LPARAM lParam);
    void OnNativeDestroy();
    void SetStatusText(int textId);
    void OnCloseTimer(CTimer* timer);
};

// The process-wide defaults that new frames take for their bars (the last
// choice made in any frame; both shown at start).
bool GetToolbarShownDefault();
bool GetStatusBarShownDefault();
