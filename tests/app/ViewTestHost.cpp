#include "tests/app/ViewTestHost.h"

#include "foundation/Strings.h"
#include "graphics/GdiplusSession.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"
#include "ui/TimerPump.h"

namespace {

// The toolbars' pictures come through GDI+, which the program keeps running
// for its whole run.
void StartGdiplus()
{
    static CGdiplusSession session;
    (void)session;
}

}  // namespace

CViewTestHost::CViewTestHost(CMenu* contextMenu)
    : CNativeWindow(false),
      course(L"View test", L""),
      scene((StartGdiplus(), &course)),
      cameraBar(&course),
      view(&scene, contextMenu, &shapes, &cameraBar)
{
    static const ATOM atom = [] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = HostProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"FendrelViewTestHost";
        windowClass.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        return RegisterClassW(&windowClass);
    }();
    (void)atom;
    // Never activated: without a window manager Wine waits for every
    // activated window to be unmapped.
    hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"FendrelViewTestHost",
                           L"View test", WS_POPUP, kHostX, kHostY, kViewX + kViewWidth, kViewHeight + 20, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(this));

    scene.ShowSelection(true);
    scene.SetMapMode(false);
    course.AddListener(this);
    shapes.SetSpecList(course.GetSpecList());
    shapes.onToolChanged = CMemberDelegate<CShapeToolbar*, CViewTestHost>::Make(this, &CViewTestHost::OnToolChanged);

    shapes.CreateNativeWindow(*this);
    cameraBar.CreateNativeWindow(*this);
    view.CreateNativeWindow(*this);
    shapes.Measure();
    shapes.SetBounds(CRectF(0.0f, 0.0f, float(shapes.preferredWidth), float(shapes.preferredHeight)));
    cameraBar.Measure();
    const float cameraTop = float(shapes.preferredHeight + 8);
    cameraBar.SetBounds(CRectF(0.0f, cameraTop, float(cameraBar.preferredWidth),
                               cameraTop + float(cameraBar.preferredHeight)));
    view.MeasureWithin(float(kViewWidth), float(kViewHeight));
    view.SetBounds(CRectF(float(kViewX), 0.0f, float(kViewX + kViewWidth), float(kViewHeight)));
    course.MarkUnmodified(true);

    ShowWindow(hwnd, SW_SHOWNA);
    PumpUntil([this] { return view.renderTarget != nullptr && shapes.renderTarget != nullptr; });
    PumpFor(100);
}

CViewTestHost::~CViewTestHost()
{
    course.RemoveListener(this);
    view.SetDirty();
    shapes.SetDirty();
    cameraBar.SetDirty();
    if (IsWindow(hwnd)) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
    PumpFor(20);
}

void CViewTestHost::OnMapLayerChanged(int layer)
{
    if (view.GetCourseScene() != &scene)
        return;
    scene.UpdateLayer(layer);
    view.Invalidate();
}

void CViewTestHost::On3DLayerChanged(int layer)
{
    if (view.GetCourseScene() == &scene)
        return;
    view.GetCourseScene()->UpdateLayer(layer);
    view.Invalidate();
}

void CViewTestHost::OnCourseSettingsChanged()
{
    ++settingsChanges;
    cameraBar.Refresh3DCamera();
    view.GetCourseScene()->Rebuild();
    view.Invalidate();
}

void CViewTestHost::OnCourseChanged()
{
    ++courseChanges;
    cameraBar.UpdateChecks();
}

void CViewTestHost::OnToolChanged(CShapeToolbar* toolbar)
{
    const int tool = toolbar->GetCurrentTool();
    if (tool == CShapeToolbar::kNoTool)
        return;
    course.DeselectAll(false);
    course.SelectToolType(tool);
    course.OnCourseChanged();
}

POINT CViewTestHost::ViewScreenPoint(float x, float y) const
{
    return POINT{kHostX + kViewX + LONG(x + 0.5f), kHostY + LONG(y + 0.5f)};
}

CPoint2 CViewTestHost::ViewPointOf(float x, float y, float z) const
{
    CPoint2 window;
    view.camera.ProjectPoint(view.GetCourseScene()->transform.InverseTransformPoint(CVector3(x, -y, z)), &window);
    return window;
}

POINT CViewTestHost::ButtonScreenPoint(const CToolbarPanel& toolbar, int id) const
{
    const CToolbarItem* item = toolbar.FindItem(id);
    const CRectF& r = item->rect;
    return POINT{kHostX + LONG(toolbar.bounds.left + (r.left + r.right) / 2),
                 kHostY + LONG(toolbar.bounds.top + (r.top + r.bottom) / 2)};
}

void CViewTestHost::ClickButton(CToolbarPanel& toolbar, int id)
{
    const POINT point = ButtonScreenPoint(toolbar, id);
    MouseInput(point);
    MouseInput(point, MOUSEEVENTF_LEFTDOWN);
    MouseInput(point, MOUSEEVENTF_LEFTUP);
}

void CViewTestHost::KeyDown(WORD virtualKey, bool control, bool shift)
{
    SetModifierKeys(control, shift);
    SendMessageW(view.hwnd, WM_KEYDOWN, virtualKey, 1);
    PumpFor(10);
}

void CViewTestHost::KeyUp(WORD virtualKey, bool control, bool shift)
{
    SetModifierKeys(control, shift);
    SendMessageW(view.hwnd, WM_KEYUP, virtualKey, 0xC0000001);
    PumpFor(10);
}

void CViewTestHost::Char(wchar_t ch)
{
    SendMessageW(view.hwnd, WM_CHAR, WPARAM(ch), 1);
}

LRESULT CALLBACK CViewTestHost::HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* host = reinterpret_cast<CViewTestHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (host) {
        switch (message) {
        case WM_COMMAND:
            host->DispatchCommand(HIWORD(wParam), LOWORD(wParam), HWND(lParam));
            return 0;
        case WM_NOTIFY:
            host->DispatchNotify(reinterpret_cast<NMHDR*>(lParam));
            return 0;
        default:
            break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// ---- Hints ----------------------------------------------------------------------------

CHintAnswerer::CHintAnswerer()
    : m_thread([this] {
          const std::wstring caption = GetString(2520);
          while (!m_stop) {
              Sleep(10);
              for (HWND dialog : FindProcessDialogs()) {
                  if (GetWindowTextString(dialog) != caption)
                      continue;
                  std::wstring message;
                  for (const CDialogChild& child : ListDialogChildren(dialog))
                      if (child.className == L"Static")
                          message += (message.empty() ? L"" : L" ") + child.text;
                  {
                      std::lock_guard<std::mutex> lock(m_lock);
                      m_answered.push_back(message);
                  }
                  PressDialogButton(dialog, IDOK);
                  for (int i = 0; i < 100 && IsWindow(dialog) && IsWindowVisible(dialog); ++i)
                      Sleep(10);
              }
          }
      })
{
}

CHintAnswerer::~CHintAnswerer()
{
    m_stop = true;
    m_thread.join();
}

std::vector<std::wstring> CHintAnswerer::TakeAnswered()
{
    std::lock_guard<std::mutex> lock(m_lock);
    std::vector<std::wstring> answered;
    answered.swap(m_answered);
    return answered;
}

// ---- Input and pumping -------------------------------------------------------------

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        PumpTimers();
        if (condition())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(5);
    }
}

void PumpFor(DWORD milliseconds)
{
    PumpUntil([] { return false; }, milliseconds);
}

void MouseInput(POINT screen, DWORD buttons)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = LONG((screen.x * 65536 + width / 2) / width);
    input.mi.dy = LONG((screen.y * 65536 + height / 2) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &input, sizeof input);
    PumpFor(60);
}

void ParkMouse()
{
    MouseInput(POINT{1000, 900});
}

void SetModifierKeys(bool control, bool shift)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
}

COLORREF ReadClientPixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    const COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}
