#include "ui/Window.h"

#include "foundation/CrashLog.h"
#include "ui/UIFontMetrics.h"

void CWindow::MeasureWithin(float width, float height) { Measure(); }

void CWindow::Measure()
{
    if (!DependsOnAvailableSize())
        ReportFailure();
}

bool CWindow::DependsOnAvailableSize() const { return false; }

void CWindow::SetBounds(const CRectF& rect)
{
    CRectF placed = rect;
    const int wholeHeight = int(rect.bottom - rect.top);
    if (heightStretch == 0 && wholeHeight > preferredHeight) {
        placed.top += float((wholeHeight - preferredHeight) / 2);
        placed.bottom = placed.top + float(preferredHeight);
    }
    // The limits hold for what the window takes, after centring: a label in
    // a row made tall by its neighbour is not too tall itself.
    const float width = placed.right - placed.left;
    const float height = placed.bottom - placed.top;
    if (width < float(minWidth) || (maxWidth > 0 && width > float(maxWidth)) || height < float(minHeight) ||
        (maxHeight > 0 && height > float(maxHeight))) {
        TRACE_VALUE(CRectF, rect);
        TRACE_VALUE(int32_t, minWidth);
        TRACE_VALUE(int32_t, minHeight);
        ReportFailure();
    }
    if (placed == bounds)
        return;
    bounds = placed;
    ApplyBounds();
}

void CWindow::SetVisible(bool newVisible)
{
    if (newVisible == visible)
        return;
    visible = newVisible;
    ApplyVisibility();
}

void CWindow::CollectCaptions(CNativeWindow& owner) {}

bool CWindow::HasNativeWindow() const { return hwnd != nullptr; }

void CWindow::SetDirty() { closed = true; }

void CWindow::ApplyBounds()
{
    if (!hwnd)
        return;
    const int x = int(bounds.left);
    const int y = int(bounds.top);
    if (!MoveWindow(hwnd, x, y, int(bounds.right - bounds.left), int(bounds.bottom - bounds.top), TRUE)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
    if (!InvalidateRect(hwnd, nullptr, TRUE)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
}

void CWindow::ApplyVisibility()
{
    if (hwnd)
        ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
}

void CWindow::OnCommand(int notifyCode, HWND control) {}

void CWindow::OnNotify(NMHDR* header) {}

void CWindow::OnScroll(int code) {}

void CWindow::SetHandle(HWND handle)
{
    TRACE_VALUE(const void*, handle);
    if (!handle || hwnd) {
        TRACE_VALUE(const void*, hwnd);
        ReportFailure();
    }
    // A failed creation must not lose the window already bound.
    if (handle)
        hwnd = handle;
}

CNativeWindow::CNativeWindow(bool resizable_) : resizable(resizable_)
{
    children.reserve(50);
    children.assign(kFirstChildId, nullptr);
}

CNativeWindow::~CNativeWindow() = default;

HWND CNativeWindow::GetStatusBarWindow() { return nullptr; }

HWND CNativeWindow::CreateChildWindow(const wchar_t* className, DWORD style, const CRectF& rect, CWindow* owner,
                                      const std::wstring& text, DWORD exStyle)
{
    TRACE_VALUE(const void*, owner);
    if (!hwnd) {
        ReportFailure();
        return nullptr;
    }
    HWND child = CreateWindowExW(exStyle, className, text.c_str(), style, int(rect.left), int(rect.top),
                                 int(rect.right - rect.left), int(rect.bottom - rect.top), hwnd, nullptr,
                                 GetModuleHandleW(nullptr), owner);
    if (!child) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
        return nullptr;
    }
    SendMessageW(child, WM_SETFONT, WPARAM(GetUIFontMetrics().uiFont), FALSE);
    SetWindowLongW(child, GWL_ID, LONG(children.size()));
    children.push_back(owner);
    return child;
}

void CNativeWindow::DispatchCommand(int notifyCode, int id, HWND control)
{
    TRACE_VALUE(int32_t, id);
    // A menu or accelerator command that this window does not offer (F1
    // where there are no help pages, a shortcut while the splash is active)
    // has nothing to run.
    if (!control && size_t(id) >= children.size())
        return;
    if (id < 0 || size_t(id) >= children.size()) {
        ReportFailure();
        return;
    }
    if (CWindow* child = children[size_t(id)])
        child->OnCommand(notifyCode, control);
}

void CNativeWindow::DispatchNotify(NMHDR* header)
{
    if (!header) {
        ReportFailure();
        return;
    }
    // Some controls put their window handle where the id belongs.
    UINT_PTR id = header->idFrom;
    if (id >= children.size() && IsWindow(HWND(id)))
        id = UINT_PTR(GetWindowLongW(HWND(id), GWL_ID));
    TRACE_VALUE(int32_t, int32_t(id));
    if (id > 0 && id < children.size())
        if (CWindow* child = children[id])
            child->OnNotify(header);
}

void CNativeWindow::DispatchScroll(int code, HWND control)
{
    if (!control || !IsWindow(control))
        return;
    const LONG id = GetWindowLongW(control, GWL_ID);
    TRACE_VALUE(int32_t, int32_t(id));
    if (id <= 0 || size_t(id) >= children.size())
        return;
    CWindow* child = children[size_t(id)];
    if (child && child->visible)
        child->OnScroll(code);
}

uint32_t GetButtonFaceColor()
{
    static const uint32_t color = uint32_t(GetSysColor(COLOR_BTNFACE)) | 0xFF000000u;
    return color;
}
