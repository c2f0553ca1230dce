#include "ui/FrameWindow.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>

#include "foundation/CrashLog.h"
#include "foundation/GuardedCall.h"
#include "foundation/Strings.h"
#include "ui/Caption.h"
#include "ui/ModalState.h"
#include "ui/TimerPump.h"

static_assert(sizeof(WINDOWPLACEMENT) == 44, "WINDOWPLACEMENT layout differs");
static_assert(sizeof(INITCOMMONCONTROLSEX) == 8, "INITCOMMONCONTROLSEX layout differs");

namespace {

constexpr DWORD kResizableStyle = 0x06CF0000;   // WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS
constexpr DWORD kFixedStyle = 0x06CA0000;       // the same without sizing border and maximise box
constexpr DWORD kStatusStyle = 0x50000000;      // WS_CHILD | WS_VISIBLE
constexpr DWORD kStatusGripStyle = 0x50000100;  // ... | SBARS_SIZEGRIP
constexpr int kIdleText = 2000;
constexpr int kCascadeStep = 21;
constexpr int kCentreMinimumFree = 105;
constexpr int kCentreOffset = 63;

bool g_toolbarDefault = true;
bool g_statusBarDefault = true;

void ReportSystemFailure()
{
    TRACE_VALUE(int32_t, int32_t(GetLastError()));
    ReportFailure(kFailSystemCall);
}

// The class is registered under the name in force at the first frame.
const std::wstring& RegisterFrameClass(WNDPROC procedure)
{
    static std::wstring registered;
    if (!registered.empty())
        return registered;
    const std::wstring& name = GetFrameWindowClassName();
    WNDCLASSW windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC | CS_BYTEALIGNCLIENT;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name.c_str();
    if (!RegisterClassW(&windowClass)) {
        ReportSystemFailure();
        return name;
    }
    registered = name;
    return registered;
}

// The normal position of a WINDOWPLACEMENT is in workspace coordinates:
// relative to the work area of the window's monitor, not to the screen (the
// frame has no WS_EX_TOOLWINDOW). The two differ when a taskbar stands at the
// top or left.
POINT GetWorkspaceOrigin(HMONITOR monitor)
{
    MONITORINFO info = {sizeof info};
    if (!GetMonitorInfoW(monitor, &info)) {
        ReportSystemFailure();
        return POINT{0, 0};
    }
    return POINT{info.rcWork.left, info.rcWork.top};
}

POINT GetWorkspaceOrigin(HWND window) { return GetWorkspaceOrigin(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY)); }

POINT GetWorkspaceOrigin(const RECT& rect) { return GetWorkspaceOrigin(MonitorFromRect(&rect, MONITOR_DEFAULTTOPRIMARY)); }

RECT ToRect(const CRectF& rect)
{
    return RECT{LONG(rect.left), LONG(rect.top), LONG(rect.right), LONG(rect.bottom)};
}

}  // namespace

bool GetToolbarShownDefault() { return g_toolbarDefault; }

bool GetStatusBarShownDefault() { return g_statusBarDefault; }

CFrameWindow::CFrameWindow(const std::wstring& title_, bool resizable_)
    : CFrameListEntry(resizable_),
      title(title_),
      toolbarShown(g_toolbarDefault),
      menuBar(kIdleText, kIdleText, nullptr, CMenu::kMenuBar),
      statusBarShown(g_statusBarDefault)
{
    TRACE_VALUE(std::wstring, title_);
    closeTimer.interval = 0;
    closeTimer.repeat = false;
    closeTimer.SetOnTimer(CMemberDelegate<CTimer*, CFrameWindow>::Make(this, &CFrameWindow::OnCloseTimer));
}

CFrameWindow::~CFrameWindow()
{
    TRACE_VALUE(std::wstring, title);
    // Deleted while its window still stands (not through WM_DESTROY): the
    // window must not reach this object any more. The content may already be
    // gone with a derived class's members; its native windows go with ours.
    if (hwnd && IsWindow(hwnd)) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        toolbar.SetDirty();
        DestroyWindow(hwnd);
    }
    if (frameIndex >= 0)
        CFrameWindowList::Remove(this);
    int count = 0;
    for (CFrameWindow* frame : FindFrameWindows(count))
        frame->UpdateCommandStates();
    closeTimer.Stop();
}

HWND CFrameWindow::GetStatusBarWindow() { return statusBarShown ? statusBar : nullptr; }

void CFrameWindow::Close() { Destroy(); }

void CFrameWindow::OnDestroyed() {}

void CFrameWindow::OnActivated() {}

CRectF CFrameWindow::GetWorkArea()
{
    RECT work = {0, 0, 0, 0};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        ReportSystemFailure();
    return CRectF(float(work.left), float(work.top), float(work.right), float(work.bottom));
}

void CFrameWindow::GetIcons(HICON& smallIcon, HICON& bigIcon) {}

void CFrameWindow::OnCreated() {}

void CFrameWindow::OnPlaced() {}

void CFrameWindow::OnDropFiles(HDROP drop) {}

void CFrameWindow::OnCloseTimer(CTimer* timer) { Close(); }

// ---- Creation ------------------------------------------------------------------

void CFrameWindow::Create(CWindow* newContent, bool noCentre)
{
    TRACE_VALUE(std::wstring, title);
    if (hwnd) {
        ReportFailure();
        return;
    }
    const HMENU menu = menuBar.BuildNative();
    const std::wstring& className = RegisterFrameClass(&CFrameWindow::FrameProc);
    CreateWindowExW(0, className.c_str(), title.c_str(), resizable ? kResizableStyle : kFixedStyle, 0, 0, 100, 100,
                    nullptr, menu, GetModuleHandleW(nullptr), this);
    if (!hwnd) {
        ReportSystemFailure();
        return;
    }
    menuBar.ownerWindow = hwnd;

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    statusBar = CreateStatusWindowW(resizable ? kStatusGripStyle : kStatusStyle, L"", hwnd, 0);
    if (!statusBar)
        ReportSystemFailure();

    if (content || !newContent) {
        TRACE_VALUE(const void*, content);
        ReportFailure();
    }
    if (!content)
        content = newContent;

    toolbar.Measure();
    toolbar.CreateNativeWindow(*this);

    // Placed while still hidden: the content has no native window yet.
    Place(noCentre, true, true);

    if (content) {
        content->CollectCaptions(*this);
        AssignAccessKeys(captions);
        content->CreateNativeWindow(*this);
    }

    OnPlaced();
    HICON smallIcon = nullptr;
    HICON bigIcon = nullptr;
    GetIcons(smallIcon, bigIcon);
    if (smallIcon)
        SendMessageW(hwnd, WM_SETICON, ICON_SMALL, LPARAM(smallIcon));
    if (bigIcon)
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, LPARAM(bigIcon));
    ShowWindow(hwnd, SW_SHOW);
}

void CFrameWindow::Destroy()
{
    TRACE_VALUE(std::wstring, title);
    if (!hwnd) {
        ReportFailure();
        return;
    }
    // WM_DESTROY deletes this object: nothing of it may be touched after
    // DestroyWindow.
    laidOut = false;
    if (!DestroyWindow(hwnd))
        ReportSystemFailure();
}

void CFrameWindow::SetTitle(const std::wstring& text)
{
    title = text;
    if (hwnd && !SetWindowTextW(hwnd, text.c_str()))
        ReportSystemFailure();
}

void CFrameWindow::SetToolbarShown(bool shown)
{
    toolbarShown = shown;
    g_toolbarDefault = shown;
    if (content)
        ResizeToFit(false, false);
}

void CFrameWindow::SetStatusBarShown(bool shown)
{
    statusBarShown = shown;
    g_statusBarDefault = shown;
    if (content)
        ResizeToFit(false, false);
}

void CFrameWindow::Activate()
{
    if (!hwnd) {
        ReportFailure();
        return;
    }
    if (IsIconic(hwnd))
        ShowWindow(hwnd, SW_RESTORE);
    else
        SetActiveWindow(hwnd);
}

void CFrameWindow::UpdateCommandStates()
{
    if (!content)
        return;
    menuBar.UpdateState();
    if (toolbarShown)
        toolbar.UpdateItems();
}

std::vector<CFrameWindow*> CFrameWindow::FindFrameWindows(int& count)
{
    int shown = 0;
    const std::vector<CFrameListEntry*> entries = ::FindFrameWindows(shown);
    std::vector<CFrameWindow*> frames;
    count = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        CFrameWindow* frame = dynamic_cast<CFrameWindow*>(entries[i]);
        if (!frame)
            continue;
        frames.push_back(frame);
        if (int(i) < shown)
            ++count;
    }
    return frames;
}

// ---- Placement -----------------------------------------------------------------

CSize2 CFrameWindow::GetNonClientSize()
{
    RECT frame = {0, 0, 0, 0};
    if (!AdjustWindowRect(&frame, kResizableStyle, TRUE))
        ReportSystemFailure();
    float width = float(frame.right - frame.left);
    float height = float(frame.bottom - frame.top);
    if (toolbarShown) {
        toolbar.Measure();
        height += float(toolbar.preferredHeight);
    }
    if (statusBarShown && statusBar) {
        RECT bar;
        if (GetWindowRect(statusBar, &bar))
            height += float(bar.bottom - bar.top);
        else
            ReportSystemFailure();
    }
    return CSize2(width, height);
}

void CFrameWindow::Place(bool noCentre, bool showFlag, bool fromStart)
{
    TRACE_VALUE(bool, fromStart);
    if (!hwnd || !content) {
        ReportFailure();
        return;
    }
    const CRectF work = GetWorkArea();
    const float W = work.Width();
    const float H = work.Height();
    const CSize2 frame = GetNonClientSize();

    // The first placement is the frame's as a new frame. Placed again, the
    // frame takes the content size it had then, whatever it was given since:
    // a content that wants the size it was last given (a view keeping its
    // picture) would otherwise keep the narrow cells of a tiling.
    const bool placedBefore = laidOut;
    content->MeasureWithin(W - frame.width, H - frame.height);
    if (!placedBefore)
        newContentSize = content->ClampSize(W - frame.width, H - frame.height, false);
    const float freeWidth = W - (newContentSize.width + frame.width);
    const float freeHeight = H - (newContentSize.height + frame.height);

    // Cascade off the next frame in activation order that is on screen.
    const CFrameListEntry* previous = nullptr;
    const std::deque<CFrameListEntry*>& frames = CFrameWindowList::GetFrames();
    const size_t start = fromStart || frameIndex < 0 ? 0 : size_t(frameIndex) + 1;
    for (size_t i = start; i < frames.size() && !previous; ++i) {
        const CFrameListEntry* other = frames[i];
        if (other != this && other->hwnd && !IsIconic(other->hwnd))
            previous = other;
    }

    float x = 0.0f;
    float y = 0.0f;
    if (previous) {
        WINDOWPLACEMENT placement = {sizeof placement};
        if (!GetWindowPlacement(previous->hwnd, &placement))
            ReportSystemFailure();
        const POINT origin = GetWorkspaceOrigin(previous->hwnd);
        const float left = float(placement.rcNormalPosition.left + origin.x) - work.left;
        const float top = float(placement.rcNormalPosition.top + origin.y) - work.top;
        x = std::max(left, 0.0f) + float(kCascadeStep);
        y = std::max(top, 0.0f) + float(kCascadeStep);
        if (x > std::max(W / 3.0f, freeWidth) || y > std::max(H / 3.0f, freeHeight)) {
            x = 0.0f;
            y = 0.0f;
        }
    } else if (!noCentre && freeWidth >= float(kCentreMinimumFree) && freeHeight >= float(kCentreMinimumFree)) {
        x = float((int(freeWidth) - kCentreOffset) / 2);
        y = float((int(freeHeight) - kCentreOffset) / 2);
    }

    const float roomWidth = W - x - frame.width;
    const float roomHeight = H - y - frame.height;
    content->MeasureWithin(roomWidth, roomHeight);
    const CSize2 size = placedBefore ? content->ClampSize(std::min(newContentSize.width, roomWidth),
                                                          std::min(newContentSize.height, roomHeight), true)
                                     : content->ClampSize(roomWidth, roomHeight, false);
    const float left = work.left + x;
    const float top = work.top + y;
    SetPlacement(CRectF(left, top, left + size.width + frame.width, top + size.height + frame.height), showFlag);
}

void CFrameWindow::SetPlacement(const CRectF& rect, bool showFlag)
{
    TRACE_VALUE(CRectF, rect);
    if (!hwnd) {
        ReportFailure();
        return;
    }
    WINDOWPLACEMENT placement = {sizeof placement};
    if (!GetWindowPlacement(hwnd, &placement))
        ReportSystemFailure();
    placement.rcNormalPosition = ToRect(rect);
    const POINT origin = GetWorkspaceOrigin(placement.rcNormalPosition);
    OffsetRect(&placement.rcNormalPosition, -origin.x, -origin.y);
    if (!content || !content->HasNativeWindow())
        placement.showCmd = SW_HIDE;
    else if (IsZoomed(hwnd) && !showFlag)
        placement.showCmd = SW_SHOWNOACTIVATE;
    else
        placement.showCmd = SW_SHOWNA;
    if (!SetWindowPlacement(hwnd, &placement))
        ReportSystemFailure();
    laidOut = true;
    Layout();
}

void CFrameWindow::ResizeToFit(bool fit, bool keepInside)
{
    if (!hwnd || !content) {
        ReportFailure();
        return;
    }
    WINDOWPLACEMENT placement = {sizeof placement};
    if (!GetWindowPlacement(hwnd, &placement))
        ReportSystemFailure();
    const POINT origin = GetWorkspaceOrigin(hwnd);
    const float left = float(placement.rcNormalPosition.left + origin.x);
    const float top = float(placement.rcNormalPosition.top + origin.y);

    const CRectF work = GetWorkArea();
    const CSize2 frame = GetNonClientSize();
    CSize2 size(content->bounds.Width(), content->bounds.Height());
    if (fit) {
        content->MeasureWithin(work.Width() - frame.width, work.Height() - frame.height);
        size = CSize2(float(content->preferredWidth), float(content->preferredHeight));
    }
    CRectF rect(left, top, left + size.width + frame.width, top + size.height + frame.height);
    if (keepInside) {
        const float right = std::max(rect.right - work.right, 0.0f);
        const float below = std::max(rect.bottom - work.bottom, 0.0f);
        rect = CRectF(rect.left - right, rect.top - below, rect.right - right, rect.bottom - below);
    }
    SetPlacement(rect, true);
}

void CFrameWindow::Layout()
{
    if (!hwnd || IsIconic(hwnd))
        return;
    RECT client = {0, 0, 0, 0};
    if (!GetClientRect(hwnd, &client))
        ReportSystemFailure();
    layoutSize = {client.right, client.bottom};
    float top = 0.0f;
    float bottom = float(client.bottom);
    if (toolbarShown) {
        toolbar.Measure();
        const float width = std::max(float(client.right), float(toolbar.minWidth));
        toolbar.SetBounds(CRectF(0.0f, 0.0f, width, float(toolbar.preferredHeight)));
        toolbar.SetVisible(true);
        top = float(toolbar.preferredHeight);
    } else {
        toolbar.SetVisible(false);
    }
    if (statusBar) {
        if (statusBarShown) {
            SendMessageW(statusBar, WM_SIZE, 0, 0);
            ShowWindow(statusBar, SW_SHOW);
            RECT bar = {0, 0, 0, 0};
            if (!GetWindowRect(statusBar, &bar))
                ReportSystemFailure();
            bottom -= float(bar.bottom - bar.top);
        } else {
            ShowWindow(statusBar, SW_HIDE);
        }
    }
    if (!content)
        return;
    const float width = std::max(float(client.right), 0.0f);
    const float height = std::max(bottom - top, 0.0f);
    content->MeasureWithin(width, height);
    const CSize2 size = content->ClampSize(width, height, true);
    content->SetBounds(CRectF(0.0f, top, size.width, top + size.height));
}

void CFrameWindow::CascadeFrameWindows()
{
    CUnwatchedSection unwatched;
    int count = 0;
    const std::vector<CFrameWindow*> frames = FindFrameWindows(count);
    for (int i = count - 1; i >= 0; --i) {
        CWatchedSection watched;
        frames[size_t(i)]->Place(true, false, false);
    }
}

void CFrameWindow::TileFrameWindows()
{
    CUnwatchedSection unwatched;
    int n = 0;
    const std::vector<CFrameWindow*> frames = FindFrameWindows(n);
    if (n == 0)
        return;
    const CRectF work = frames.front()->GetWorkArea();
    const float W = work.Width();
    const float H = work.Height();
    float frameWidth = 0.0f;
    float frameHeight = 0.0f;
    for (int i = 0; i < n; ++i) {
        const CSize2 frame = frames[size_t(i)]->GetNonClientSize();
        frameWidth = std::max(frameWidth, frame.width);
        frameHeight = std::max(frameHeight, frame.height);
    }

    int columns = 1;
    float best = 0.0f;
    for (int c = 1; c <= n; ++c) {
        const int r = (n + c - 1) / c;
        const float fw = std::max(W / float(c) - frameWidth, 0.0f);
        const float fh = std::max(H / float(r) - frameHeight, 0.0f);
        const float score = std::max(fw, fh) / 50.0f + std::min(fw, fh);
        // Ties go to more columns.
        if (c == 1 || score >= best) {
            best = score;
            columns = c;
        }
    }
    const int rows = (n + columns - 1) / columns;
    const float cellWidth = std::floor(W / float(columns));
    const float cellHeight = std::floor(H / float(rows));
    for (int i = 0; i < n; ++i) {
        CWatchedSection watched;
        const float left = work.left + float(i % columns) * cellWidth;
        const float top = work.top + float(i / columns) * cellHeight;
        frames[size_t(i)]->SetPlacement(CRectF(left, top, left + cellWidth, top + cellHeight), false);
    }
}

// ---- Window procedure ----------------------------------------------------------

LRESULT CALLBACK CFrameWindow::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWatchedSection watched;
    LRESULT result = 0;
    const bool completed = CallGuarded([&] {
        if (message == WM_CREATE) {
            const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            CFrameWindow* frame = create ? static_cast<CFrameWindow*>(create->lpCreateParams) : nullptr;
            if (!frame) {
                ReportFailure();
            } else {
                frame->hwnd = window;
                SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(frame));
                frame->OnCreated();
            }
            result = DefWindowProcW(window, message, wParam, lParam);
            return;
        }
        CFrameWindow* frame = reinterpret_cast<CFrameWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!frame) {
            result = DefWindowProcW(window, message, wParam, lParam);
            return;
        }
        result = frame->HandleMessage(window, message, wParam, lParam);
    });
    return completed ? result : 0;
}

// Some handlers may end with this object deleted (a command that closes the
// window, WM_DESTROY): each case reads what it needs first and touches the
// object no more afterwards.
LRESULT CFrameWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TRACE_VALUE(int32_t, int32_t(message));
    switch (message) {
    case WM_DESTROY:
        OnNativeDestroy();
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED && laidOut &&
            (LOWORD(lParam) != layoutSize.x || HIWORD(lParam) != layoutSize.y))
            Layout();
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            OnActivate(window, wParam, lParam);
            return 0;
        }
        break;
    case WM_PAINT: {
        RECT update;
        if (GetUpdateRect(window, &update, FALSE)) {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
        }
        break;
    }
    case WM_CLOSE:
        closeTimer.Start(true);
        return 0;
    case WM_NOTIFY:
        DispatchNotify(reinterpret_cast<NMHDR*>(lParam));
        break;
    case WM_COMMAND:
        OnCommandMessage(wParam, lParam);
        PumpTimers();
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_HSCROLL:
    case WM_VSCROLL:
        DispatchScroll(LOWORD(wParam), HWND(lParam));
        break;
    case WM_MENUSELECT:
        OnMenuSelect(wParam, lParam);
        break;
    case WM_ENTERIDLE:
        PumpAfterMessage(WM_ENTERIDLE);
        // The pump may have run a handler that destroyed this window.
        return IsWindow(window) ? DefWindowProcW(window, message, wParam, lParam) : 0;
    case WM_EXITMENULOOP:
        SetStatusText(kIdleText);
        break;
    case WM_DROPFILES:
        OnDropFiles(HDROP(wParam));
        return IsWindow(window) ? DefWindowProcW(window, message, wParam, lParam) : 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CFrameWindow::OnNativeDestroy()
{
    TRACE_VALUE(std::wstring, title);
    OnDestroyed();
    toolbar.SetDirty();
    if (content)
        content->SetDirty();
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    // The window is going: the destructor must not destroy it again.
    hwnd = nullptr;
    delete this;
}

void CFrameWindow::OnActivate(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (!IsWindowEnabled(window)) {
        // A modal dialog runs: it takes the activation instead.
        const HWND owner = GetModalOwnerWindow();
        if (owner && owner != window)
            SetActiveWindow(owner);
        return;
    }
    DefWindowProcW(window, WM_ACTIVATE, wParam, lParam);
    CFrameWindowList::Activate(this);
    UpdateCommandStates();
    OnActivated();
}

void CFrameWindow::OnCommandMessage(WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    TRACE_VALUE(int32_t, id);
    CCommand* command = dynamic_cast<CCommand*>(menuBar.FindById(id));
    if (!command) {
        DispatchCommand(HIWORD(wParam), id, HWND(lParam));
        return;
    }
    SetStatusText(kIdleText);
    SetLastCommandCaption(command->GetText());
    // May destroy this window and this object.
    command->Execute();
}

void CFrameWindow::OnMenuSelect(WPARAM wParam, LPARAM lParam)
{
    const UINT item = LOWORD(wParam);
    const UINT flags = HIWORD(wParam);
    const HMENU menu = HMENU(lParam);
    int textId = kIdleText;
    // Flags 0xFFFF with no menu: the menu has closed.
    const bool closed = flags == 0xFFFF && !menu;
    if (!closed && !(flags & MF_SYSMENU)) {
        if (flags & MF_POPUP) {
            CMenu* holder = menuBar.FindMenuByHandle(menu);
            if (!holder) {
                TRACE_VALUE(const void*, menu);
                ReportFailure();
            } else if (holder != &menuBar) {
                CMenu* subMenu = menuBar.FindMenuByHandle(GetSubMenu(menu, int(item)));
                if (subMenu)
                    textId = subMenu->helpTextId;
                else
                    ReportFailure();
            }
        } else if (CCommandMenuItem* command = dynamic_cast<CCommandMenuItem*>(menuBar.FindById(int(item)))) {
            textId = command->helpTextId;
        }
    }
    SetStatusText(textId);
}

void CFrameWindow::SetStatusText(int textId)
{
    if (!statusBarShown || !statusBar)
        return;
    if (!SetWindowTextW(statusBar, GetString(textId).c_str()))
        ReportSystemFailure();
}
