#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "foundation/Rect.h"
#include "ui/Object.h"

class CCaption;
class CNativeWindow;

// A layout item with bounds, visibility and, once created, a native child
// window. A tree of windows is built in memory, then its captions collected,
// its native windows created, and it is measured (size limits) and given its
// bounds from the top. Windows never destroy their native windows: those go
// with their top-level window, before which SetDirty runs over the tree.
class CWindow : public CObject
{
public:
    CWindow() = default;
    ~CWindow() override = default;
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    // Sets the size limits knowing the space offered; the base measures
    // without it.
    virtual void MeasureWithin(float width, float height);
    // Sets the size limits. Every window whose limits do not depend on the
    // space offered overrides it.
    virtual void Measure();
    // True for a window whose limits depend on the space it is offered.
    virtual bool DependsOnAvailableSize() const;
    // Checks the rectangle against the limits, centres a window that does not
    // stretch vertically within extra height, and moves the native window
    // when the bounds change.
    virtual void SetBounds(const CRectF& rect);
    virtual void SetVisible(bool visible);
    // A captioned control adds its caption to the owner's list; layouts
    // forward to their children.
    virtual void CollectCaptions(CNativeWindow& owner);
    virtual void CreateNativeWindow(CNativeWindow& owner) = 0;
    virtual bool HasNativeWindow() const;
    // Marks the window as being taken down before its native window goes.
    virtual void SetDirty();
    virtual void ApplyBounds();
    virtual void ApplyVisibility();
    // WM_COMMAND, WM_NOTIFY and WM_HSCROLL/WM_VSCROLL from this window's
    // native control, routed by the owner.
    virtual void OnCommand(int notifyCode, HWND control);
    virtual void OnNotify(NMHDR* header);
    virtual void OnScroll(int code);

    // Binds a newly created native window to the object.
    void SetHandle(HWND handle);

    CRectF bounds;
    bool visible = true;
    bool closed = false;
    HWND hwnd = nullptr;
};

// A top-level native window (dialog, frame window): creates the native child
// windows of its controls, numbers them from 10 and routes their command,
// notification and scroll messages back to the owning CWindow.
class CNativeWindow
{
public:
    explicit CNativeWindow(bool resizable);
    virtual ~CNativeWindow();
    CNativeWindow(const CNativeWindow&) = delete;
    CNativeWindow& operator=(const CNativeWindow&) = delete;

    // The status bar the panels show their texts in, or null.
    virtual HWND GetStatusBarWindow();

    // Creates a child control of this window for `owner` with the UI font;
    // the control's id is its index in `children`. Null on failure.
    HWND CreateChildWindow(const wchar_t* className, DWORD style, const CRectF& rect, CWindow* owner,
                           const std::wstring& text, DWORD exStyle);
    void DispatchCommand(int notifyCode, int id, HWND control);
    void DispatchNotify(NMHDR* header);
    void DispatchScroll(int code, HWND control);

    // The id the next child control gets.
    int GetNextChildId() const { return int(children.size()); }

    // Ids 0 to 9 are the standard button ids (IDOK 1, IDCANCEL 2 ... IDHELP
    // 9); the first control gets 10.
    static constexpr int kFirstChildId = 10;

    bool resizable;
    std::deque<CCaption*> captions;
    HWND hwnd = nullptr;
    std::vector<CWindow*> children;
};

// The button face colour, opaque, read once.
uint32_t GetButtonFaceColor();
