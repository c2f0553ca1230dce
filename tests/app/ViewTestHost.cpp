#include "tests/app/ViewTestHost.h"

#include <memory>

#include "course/EditSession.h"
#include "course/ObjectType.h"
#include "foundation/Strings.h"
#include "graphics/GdiplusSession.h"
#include "tests/support/TestSupport.h"

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
    : CPanelTestHost(kHostX, kHostY, kViewX + kViewWidth, kViewHeight + 20),
      course(L"View test", L""),
      scene((StartGdiplus(), &course)),
      cameraBar(&course),
      view(&scene, contextMenu, &shapes, &cameraBar)
{
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

    PumpUntil([this] { return view.renderTarget != nullptr && shapes.renderTarget != nullptr; });
    PumpFor(100);
}

CViewTestHost::~CViewTestHost()
{
    course.RemoveListener(this);
    view.SetDirty();
    shapes.SetDirty();
    cameraBar.SetDirty();
    Destroy();
    PumpFor(20);
}

void CViewTestHost::OnMapLayerChanged(ESceneLayer layer)
{
    if (view.GetCourseScene() != &scene)
        return;
    scene.UpdateLayer(layer);
    view.Invalidate();
}

void CViewTestHost::On3DLayerChanged(ESceneLayer layer)
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
    if (course.GetToolType() != nullptr && course.GetToolType()->IsEditOnCreate()) {
        if (std::shared_ptr<CEditSession> session = course.GetToolSessionToRun())
            session->DoModal();
    }
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

// ---- Hints ----------------------------------------------------------------------------

CHintAnswerer::CHintAnswerer()
    : m_answerer([this](HWND dialog) {
          if (GetWindowTextString(dialog) != GetString(2520))
              return 0;
          std::wstring message;
          for (const CDialogChild& child : ListDialogChildren(dialog))
              if (child.className == L"Static")
                  message += (message.empty() ? L"" : L" ") + child.text;
          std::lock_guard<std::mutex> lock(m_lock);
          m_answered.push_back(message);
          return IDOK;
      })
{
}

std::vector<std::wstring> CHintAnswerer::TakeAnswered()
{
    std::lock_guard<std::mutex> lock(m_lock);
    std::vector<std::wstring> answered;
    answered.swap(m_answered);
    return answered;
}
