#include "app/CameraToolbar.h"

#include <algorithm>

#include "app/ViewCamera.h"
#include "course/Course.h"
#include "dialogs/HintDlg.h"
#include "foundation/CrashLog.h"
#include "ui/MouseEvent.h"

namespace {

// Shortcut patterns of the held buttons: the key alone, or with Ctrl.
constexpr int kWithoutControl = 3;
constexpr int kWithControl = 4;
// Releases of one button closer together than this count as quick.
constexpr double kQuickReleaseSeconds = 5.0;
constexpr int kQuickReleasesForHint = 10;
// Above this eye height movements speed up in proportion.
constexpr float kSlowHeight = 600.0f;

}  // namespace

CCameraToolbar::CCameraToolbar(CCourse* course) : m_course(course)
{
    TRACE_POINT();
    if (!m_course)
        ReportFailure();
    AddHeldButton(kZoomIn, L"CamZoomIn.png", kPanelKeyPlus, kWithoutControl, false);
    AddHeldButton(kZoomOut, L"CamZoomOut.png", kPanelKeyMinus, kWithoutControl, false);
    AddSeparator();
    AddClickButton(kWholeCourseDown, L"CamWholeCourseDown.png", false, &CCameraToolbar::OnWholeCourse);
    AddClickButton(kWholeCourseAngled, L"CamWholeCourseAngled.png", true, &CCameraToolbar::OnWholeCourse);
    AddSeparator();
    AddHeldButton(kRotateLeft, L"CamRotateLeft.png", kPanelKeyLeft, kWithoutControl, true);
    AddHeldButton(kForward, L"CamForward.png", kPanelKeyUp, kWithoutControl, true);
    AddHeldButton(kRotateRight, L"CamRotateRight.png", kPanelKeyRight, kWithoutControl, true);
    AddSeparator();
    AddHeldButton(kMoveLeft, L"CamMoveLeft.png", kPanelKeyLeft, kWithControl, true);
    AddHeldButton(kBackward, L"CamBackward.png", kPanelKeyDown, kWithoutControl, true);
    AddHeldButton(kMoveRight, L"CamMoveRight.png", kPanelKeyRight, kWithControl, true);
    AddSeparator();
    AddSeparator();
    AddClickButton(kHumanEyeHeight, L"CamHumanEyeHeight.png", true, &CCameraToolbar::OnEyeHeight);
    AddHeldButton(kRaise, L"CamUp.png", kPanelKeyPageUp, kWithoutControl, true);
    AddHeldButton(kTiltUp, L"CamTiltUp.png", kPanelKeyPageUp, kWithControl, true);
    AddSeparator();
    AddClickButton(kDogEyeHeight, L"CamDogEyeHeight.png", true, &CCameraToolbar::OnEyeHeight);
    AddHeldButton(kLower, L"CamDown.png", kPanelKeyPageDown, kWithoutControl, true);
    AddHeldButton(kTiltDown, L"CamTiltDown.png", kPanelKeyPageDown, kWithControl, true);
    AddSeparator();
    SetLayoutParams(3, 1, true, true);

    repeatTimer.interval = kRepeatMs;
    repeatTimer.repeat = true;
    repeatTimer.SetOnTimer(CMemberDelegate<CTimer*, CCameraToolbar>::Make(this, &CCameraToolbar::OnTimer));

    // The opposite of the setting, so that the first refresh applies it.
    shows3DCamera = !(m_course && m_course->Get3DCamera());
    UpdateChecks();
    Refresh3DCamera();
}

CCameraToolbar::~CCameraToolbar() { repeatTimer.Stop(); }

void CCameraToolbar::AddHeldButton(int id, const wchar_t* icon, int key, int pattern, bool only3D)
{
    CToolbarItem* item = new CToolbarItem(id, id + 1, icon, pattern, key);
    item->onPress = CMemberDelegate<CToolbarItem*, CCameraToolbar>::Make(this, &CCameraToolbar::OnButtonDown);
    item->onRelease = CMemberDelegate<CToolbarItem*, CCameraToolbar>::Make(this, &CCameraToolbar::OnButtonUp);
    if (only3D)
        item->onUpdateState =
            CMemberDelegate<CCommand*, CCameraToolbar>::Make(this, &CCameraToolbar::Update3DCameraButton);
    AddItem(item);
}

void CCameraToolbar::AddClickButton(int id, const wchar_t* icon, bool only3D, void (CCameraToolbar::*handler)(int))
{
    CToolbarItem* item = new CToolbarItem(id, id + 1, icon, 0, 0);
    item->onExecute = CMemberDelegate<int, CCameraToolbar>::Make(this, handler);
    if (only3D)
        item->onUpdateState =
            CMemberDelegate<CCommand*, CCameraToolbar>::Make(this, &CCameraToolbar::Update3DCameraButton);
    AddItem(item);
}

void CCameraToolbar::Update3DCameraButton(CCommand* command)
{
    command->SetVisible(m_course && m_course->Get3DCamera());
}

void CCameraToolbar::Refresh3DCamera()
{
    const bool on = m_course && m_course->Get3DCamera();
    if (on == shows3DCamera)
        return;
    TRACE_VALUE(bool, on);
    shows3DCamera = on;
    UpdateItems();
}

void CCameraToolbar::UpdateChecks()
{
    if (!m_course)
        return;
    const CViewCamera& camera = m_course->GetViewCamera();
    const bool fitted = camera.GetMode() != CViewCamera::kFree;
    const bool free = !fitted;
    FindItem(kWholeCourseDown)->SetChecked(fitted && camera.GetPitch() == 0);
    FindItem(kWholeCourseAngled)->SetChecked(fitted && camera.GetPitch() != 0);
    FindItem(kDogEyeHeight)->SetChecked(free && camera.IsEyeHeightView(true));
    FindItem(kHumanEyeHeight)->SetChecked(free && camera.IsEyeHeightView(false));
}

// ---- Keys and held buttons -------------------------------------------------------

void CCameraToolbar::OnKey(int key, bool pressed, bool control, bool shift)
{
    if (key < 0 || key >= 16) {
        TRACE_VALUE(int32_t, key);
        ReportFailure();
        return;
    }
    if (key == kPanelKeyControl || key == kPanelKeyShift)
        return;
    keys[key] = pressed;
    keys[kPanelKeyControl] = control;
    keys[kPanelKeyShift] = shift;
    StepNow();
}

void CCameraToolbar::ReleaseKeys()
{
    std::fill(std::begin(keys), std::end(keys), false);
}

void CCameraToolbar::OnButtonDown(CToolbarItem* item)
{
    TRACE_VALUE(int32_t, item->id);
    pressedItem = item;
    StepNow();
}

void CCameraToolbar::OnButtonUp(CToolbarItem* item)
{
    pressedItem = nullptr;
    const double sincePrevious = m_releaseClock.Lap();
    if (item->id == m_lastReleasedId && sincePrevious < kQuickReleaseSeconds) {
        ++m_quickReleases;
    } else {
        m_quickReleases = 1;
        m_lastReleasedId = item->id;
    }
    if (m_quickReleases >= kQuickReleasesForHint)
        ShowHint(2716, L"Camera", 1);
}

void CCameraToolbar::StepNow()
{
    if (repeatTimer.IsRunning() || !m_course)
        return;
    const bool moved = Step(float(kRepeatMs));
    m_course->OnCourseChanged();
    if (moved)
        repeatTimer.Start(true);
}

void CCameraToolbar::OnTimer(CTimer* timer)
{
    const bool moved = Step(std::min(timer->lastDelay, kLongestStepMs));
    if (!moved)
        repeatTimer.Stop();
    else if (m_course)
        m_course->OnCourseChanged();
}

bool CCameraToolbar::IsActive(int command, bool ignoreControl) const
{
    CToolbarItem* item = nullptr;
    for (CToolbarItem* candidate : items) {
        if (candidate && candidate->id == command) {
            item = candidate;
            break;
        }
    }
    if (!item) {
        TRACE_VALUE(int32_t, command);
        ReportFailure();
        return false;
    }
    // The toolbar clears the item's pressed flag on every release, also of a
    // button that was hidden or disabled meanwhile and so got no release call.
    if (item == pressedItem && item->pressed)
        return true;
    if (item->shortcutKind == 0)
        return false;
    const int key = item->shortcutKey;
    if (key >= 16 || !keys[key])
        return false;
    // Shift with the arrows nudges the selection in the view.
    if (keys[kPanelKeyShift] && key != kPanelKeyPlus)
        return false;
    if (ignoreControl)
        return true;
    return item->shortcutKind == kWithControl ? keys[kPanelKeyControl] : !keys[kPanelKeyControl];
}

bool CCameraToolbar::Step(float ms)
{
    if (!m_course)
        return false;
    CViewCamera camera = m_course->GetViewCamera();
    bool active = false;
    auto acts = [&](int command, bool ignoreControl) {
        const bool on = IsActive(command, ignoreControl);
        active = active || on;
        return on;
    };

    CVector3 d;
    const CVector3 back = camera.GetTransform().TransformVector(CVector3(0.0f, 0.0f, 1.0f));
    if (acts(kZoomIn, false))
        d = CVector3(d.x - back.x, d.y - back.y, d.z - back.z);
    if (acts(kZoomOut, false))
        d = CVector3(d.x + back.x, d.y + back.y, d.z + back.z);
    CTransform heading;
    heading.SetRotationZ(float(camera.GetYaw()));
    const CVector3 right = heading.TransformVector(CVector3(1.0f, 0.0f, 0.0f));
    const CVector3 ahead = heading.TransformVector(CVector3(0.0f, 1.0f, 0.0f));
    if (acts(kMoveLeft, false))
        d = CVector3(d.x - right.x, d.y - right.y, d.z - right.z);
    if (acts(kMoveRight, false))
        d = CVector3(d.x + right.x, d.y + right.y, d.z + right.z);
    if (acts(kForward, true))
        d = CVector3(d.x + ahead.x, d.y + ahead.y, d.z + ahead.z);
    if (acts(kBackward, true))
        d = CVector3(d.x - ahead.x, d.y - ahead.y, d.z - ahead.z);
    if (acts(kRaise, false))
        d.z += 1.0f;
    if (acts(kLower, false))
        d.z -= 1.0f;
    if (d.x != 0.0f || d.y != 0.0f || d.z != 0.0f) {
        const CVector3 eye = camera.GetEyePosition();
        const float f = ms * kSpeed * std::max(1.0f, eye.z / kSlowHeight);
        camera.SetEyePosition(CVector3(eye.x + d.x * f, eye.y + d.y * f, eye.z + d.z * f));
    }

    const int n = std::max(1, int(ms / float(kRepeatMs)));
    int yaw = camera.GetYaw();
    if (acts(kRotateLeft, false))
        yaw += kTurnStep * n;
    if (acts(kRotateRight, false))
        yaw -= kTurnStep * n;
    if (yaw != camera.GetYaw())
        camera.SetYaw(yaw);

    // Kept within 0..90 whatever the camera held before: a pitch beyond it
    // would put the eye at infinity.
    int pitch = camera.GetPitch();
    if (acts(kTiltUp, false))
        pitch -= kTurnStep * n;
    if (acts(kTiltDown, false))
        pitch += kTurnStep * n;
    pitch = std::min(90, std::max(0, pitch));
    if (pitch != camera.GetPitch())
        camera.SetPitch(pitch);

    if (active)
        m_course->SetViewCamera(camera);
    return active;
}

// ---- Click buttons ---------------------------------------------------------------

void CCameraToolbar::OnWholeCourse(int id)
{
    TRACE_VALUE(int32_t, id);
    if (!m_course)
        return;
    CViewCamera camera = m_course->GetViewCamera();
    camera.FitWholeCourse(id == kWholeCourseDown);
    m_course->SetViewCamera(camera);
    m_course->OnCourseChanged();
}

void CCameraToolbar::OnEyeHeight(int id)
{
    TRACE_VALUE(int32_t, id);
    if (!m_course)
        return;
    CViewCamera camera = m_course->GetViewCamera();
    camera.SetEyeHeightView(id == kDogEyeHeight);
    m_course->SetViewCamera(camera);
    m_course->OnCourseChanged();
}
