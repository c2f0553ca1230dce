// CPanel: mouse, keyboard, cursor, focus, tool tip and context menu.
#include "ui/Panel.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "foundation/CrashLog.h"
#include "ui/Command.h"
#include "ui/Cursors.h"
#include "ui/Menu.h"
#include "ui/Scene.h"
#include "ui/TimerPump.h"

static_assert(sizeof(TOOLINFOW) == (sizeof(void*) == 8 ? 72 : 48), "TOOLINFOW must have its Windows layout");

namespace {

const double kQuickSeconds = 0.5;
// Characters of a tip text; the notification's own buffer holds 80 with the
// terminating zero.
const size_t kTipTextLength = 79;

bool IsKeyDown(int virtualKey) { return GetKeyState(virtualKey) < 0; }

}  // namespace

// ---- Events ---------------------------------------------------------------------

CMouseEvent CPanel::MakeEvent(WPARAM wParam, LPARAM lParam) const
{
    CMouseEvent event;
    event.x = float(int16_t(LOWORD(lParam)));
    event.y = float(int32_t(lParam) >> 16);
    CompleteEvent(event);
    event.left = (wParam & MK_LBUTTON) != 0;
    event.right = (wParam & MK_RBUTTON) != 0;
    event.control = (wParam & MK_CONTROL) != 0;
    event.shift = (wParam & MK_SHIFT) != 0;
    return event;
}

void CPanel::CompleteEvent(CMouseEvent& event) const
{
    if (scene) {
        CompleteMouseEvent(event, camera, scene->transform);
    } else {
        ReportFailure();
        CompleteMouseEvent(event, camera, CTransform());
    }
    event.quick = recentPress && pressClock.GetElapsedSeconds() < kQuickSeconds;
}

bool CPanel::GetMouseEventAtCursor(CMouseEvent& event)
{
    if (!hwnd)
        return false;
    POINT point;
    if (!GetCursorPos(&point))
        return false;
    if (!ScreenToClient(hwnd, &point)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
    CMouseEvent fresh;
    fresh.x = float(point.x);
    fresh.y = float(point.y);
    if (pressState == EPressState::kIdle && !IsInsideClient(fresh))
        return false;
    CompleteEvent(fresh);
    fresh.left = IsKeyDown(VK_LBUTTON);
    fresh.right = IsKeyDown(VK_RBUTTON);
    fresh.control = IsKeyDown(VK_CONTROL);
    fresh.shift = IsKeyDown(VK_SHIFT);
    event = fresh;
    return true;
}

bool CPanel::IsInsideClient(const CMouseEvent& event) const
{
    return event.x >= 0.0f && event.x < bounds.Width() && event.y >= 0.0f && event.y < bounds.Height();
}

void CPanel::ShowCursorFor(const CMouseEvent& event)
{
    cursor = GetCursorAt(event);
    if (cursor)
        cursor->Apply();
    else
        CCursors::GetArrow().Apply();
}

void CPanel::ArmLeaveTracking(DWORD flags)
{
    TRACKMOUSEEVENT track = {sizeof track};
    track.dwFlags = flags;
    track.hwndTrack = hwnd;
    if (!TrackMouseEvent(&track)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
}

bool CPanel::IsLeaveTrackingActive()
{
    TRACKMOUSEEVENT track = {sizeof track};
    track.dwFlags = TME_QUERY;
    if (!TrackMouseEvent(&track)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
        return false;
    }
    return (track.dwFlags & TME_LEAVE) != 0 && track.hwndTrack == hwnd;
}

// ---- Keys -----------------------------------------------------------------------

void CPanel::HandleKey(WPARAM virtualKey, bool down)
{
    const bool control = IsKeyDown(VK_CONTROL);
    const bool shift = IsKeyDown(VK_SHIFT);
    recentPress = false;
    const int key = GetPanelKeyCode(unsigned(virtualKey));
    if (key >= 0) {
        if (down)
            OnKeyDown(key, control, shift);
        else
            OnKeyUp(key, control, shift);
        UpdateCursor();
    } else if (down && virtualKey >= 'A' && virtualKey <= 'Z' && control && !shift) {
        OnControlLetter(int(virtualKey));
    }
}

// ---- Mouse ----------------------------------------------------------------------

void CPanel::HandlePress(const CMouseEvent& event)
{
    if (pressState == EPressState::kHeld)
        return;
    ArmLeaveTracking(TME_CANCEL | TME_LEAVE);
    pressState = EPressState::kHeld;
    s_pressedPanel = this;
    OnMouseDown(event);
    ShowCursorFor(event);
    recentPress = true;
    pressClock.Lap();
    if (pressState == EPressState::kHeld) {
        SetCapture(hwnd);
        if (takesFocus)
            ::SetFocus(hwnd);
    }
}

bool CPanel::HandleRelease(const CMouseEvent& event)
{
    if (pressState == EPressState::kHeld)
        pressState = EPressState::kReleasing;
    if (hwnd && GetCapture() == hwnd && !ReleaseCapture()) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
    CPanel* const outerEventPanel = s_eventPanel;
    s_eventPanel = this;
    if (s_pressedPanel == this)
        s_pressedPanel = nullptr;
    OnMouseUp(event);
    // The destructor clears the event panel: a handler that destroyed the
    // panel leaves nothing here to touch.
    const bool survived = s_eventPanel != nullptr;
    if (survived) {
        pressState = EPressState::kIdle;
        ShowCursorFor(event);
        // The handler may have run a modal loop (the dialog a toolbar button
        // opens) while the mouse went elsewhere. Leave tracking armed for a
        // window the mouse is no longer over never reports the leave, so
        // the panel would stay as if the mouse were on it (a button left
        // lit): where the mouse is now decides.
        CMouseEvent now;
        const bool inside = IsInsideClient(event) && GetMouseEventAtCursor(now);
        const bool wasInside = mouseInside;
        mouseInside = inside;
        if (inside && !wasInside)
            OnMouseEnter(event);
        if (inside)
            ArmLeaveTracking(TME_LEAVE);
        else if (wasInside)
            HandleLeave();
    }
    s_eventPanel = outerEventPanel;
    return survived;
}

void CPanel::HandleLostCapture()
{
    if (pressState != EPressState::kHeld)
        return;
    CMouseEvent event;
    if (!GetMouseEventAtCursor(event))
        CompleteEvent(event);
    event.left = false;
    event.right = false;
    event.control = false;
    event.shift = false;
    if (HandleRelease(event) && mouseInside)
        ArmLeaveTracking(TME_LEAVE);
}

void CPanel::HandleMouseMove(const CMouseEvent& event)
{
    if (pressState == EPressState::kHeld) {
        const bool inside = IsInsideClient(event);
        const bool wasInside = mouseInside;
        mouseInside = inside;
        if (inside && !wasInside)
            OnMouseEnter(event);
        else if (!inside && wasInside)
            HandleLeave();
    } else if (!IsLeaveTrackingActive()) {
        mouseInside = true;
        OnMouseEnter(event);
        ArmLeaveTracking(TME_LEAVE);
    }
    OnMouseMove(event);
    PaintIfPending();
    ShowCursorFor(event);
    // Mouse moves keep the queue busy; timers fire between them too.
    PumpTimers();
}

void CPanel::HandleLeave()
{
    OnMouseLeave();
    PaintIfPending();
    CMouseEvent event;
    if (GetMouseEventAtCursor(event))
        ShowCursorFor(event);
}

void CPanel::HandleRightClick(const CMouseEvent& event)
{
    if (!event.left)
        OnRightClick(event);
    ShowCursorFor(event);
}

// ---- Cursor and focus -------------------------------------------------------------

void CPanel::SetCursor(CCursors* newCursor)
{
    cursor = newCursor;
    if (mouseInside)
        (cursor ? *cursor : CCursors::GetArrow()).Apply();
}

void CPanel::UpdateCursor()
{
    CMouseEvent event;
    if (mouseInside && GetMouseEventAtCursor(event))
        ShowCursorFor(event);
}

void CPanel::SetFocus()
{
    if (!hwnd) {
        ReportFailure();
        return;
    }
    ::SetFocus(hwnd);
}

// ---- Tool tip ----------------------------------------------------------------------

void CPanel::SetTooltip(const CRectF& rect, const std::wstring& newTipText, const std::wstring& newStatusText,
                        bool quick)
{
    if (hwnd) {
        TOOLINFOW info = {};
        info.cbSize = sizeof info;
        info.uFlags = TTF_SUBCLASS;
        info.hwnd = hwnd;
        info.uId = UINT_PTR(GetWindowLongW(hwnd, GWL_ID));
        info.rect = RECT{LONG(rect.left), LONG(rect.top), LONG(rect.right), LONG(rect.bottom)};
        info.lpszText = LPSTR_TEXTCALLBACKW;
        bool created = false;
        if (tipWindow) {
            if (rect != tipRect) {
                SendMessageW(tipWindow, TTM_POP, 0, 0);
                SendMessageW(tipWindow, TTM_NEWTOOLRECTW, 0, LPARAM(&info));
            }
        } else if (!rect.IsEmpty()) {
            static const bool classesReady = [] {
                INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
                return InitCommonControlsEx(&controls) != FALSE;
            }();
            (void)classesReady;
            HWND owner = parentWindow ? parentWindow->hwnd : nullptr;
            tipWindow = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, L"", WS_POPUP | WS_CLIPSIBLINGS | TTS_ALWAYSTIP,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
            if (tipWindow) {
                SendMessageW(tipWindow, TTM_ADDTOOLW, 0, LPARAM(&info));
                created = true;
            } else {
                TRACE_VALUE(int32_t, int32_t(GetLastError()));
                ReportFailure(kFailSystemCall);
            }
        }
        // A tip made again for a new native window needs its delay set too,
        // not only when the delay changes.
        if (tipWindow && (created || quick != quickTip))
            SendMessageW(tipWindow, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(quick ? 100 : 500, 0));
    }
    tipRect = rect;
    tipText = newTipText;
    statusText = newStatusText;
    quickTip = quick;
}

void CPanel::ClearTooltip() { SetTooltip(CRectF(), std::wstring(), std::wstring(), quickTip); }

void CPanel::OnNotify(NMHDR* header)
{
    if (!header || !tipWindow || header->hwndFrom != tipWindow)
        return;
    switch (header->code) {
    case TTN_GETDISPINFOW: {
        NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        const NMHDR keptHeader = info->hdr;
        std::memset(info, 0, sizeof *info);
        info->hdr = keptHeader;
        info->lpszText = info->szText;
        const size_t length = std::min(tipText.size(), kTipTextLength);
        tipText.copy(info->szText, length);
        info->szText[length] = L'\0';
        break;
    }
    case TTN_SHOW:
        if (!statusText.empty())
            ShowStatusText(statusText);
        break;
    case TTN_POP:
        ShowStatusText(std::wstring());
        break;
    default:
        break;
    }
}

void CPanel::ShowStatusText(const std::wstring& text)
{
    const HWND statusBar = parentWindow ? parentWindow->GetStatusBarWindow() : nullptr;
    if (statusBar && !SetWindowTextW(statusBar, text.c_str())) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
}

// ---- Context menu ---------------------------------------------------------------

void CPanel::ShowContextMenu(CMenu& menu)
{
    TRACE_POINT();
    menu.UpdateState();
    CCursors::GetArrow().Apply();
    if (!hwnd) {
        ReportFailure();
        return;
    }
    POINT point = {LONG(menuPoint.x), LONG(menuPoint.y)};
    if (!ClientToScreen(hwnd, &point)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
    SetFocus();
    const HMENU handle = menu.BuildNative();
    int chosen = 0;
    if (handle) {
        // The menu waits for the user.
        CUnwatchedSection unwatched;
        chosen = int(TrackPopupMenu(handle, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, point.x, point.y, 0,
                                    hwnd, nullptr));
    }
    TRACE_VALUE(int32_t, chosen);
    CCommand* command = chosen != 0 ? dynamic_cast<CCommand*>(menu.FindById(chosen)) : nullptr;
    // The native menu goes first: the command may close the window that owns
    // the menu.
    menu.DestroyNative();
    if (command)
        command->Execute();
}
