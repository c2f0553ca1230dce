#include "app/CameraDlg.h"

#include <algorithm>
#include <cmath>

#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "objects/annotations/Alignment.h"

namespace {

constexpr int kTitleText = 2266;
constexpr int kKindLabelText = 2267;
constexpr int kAcrossText = 2268;
constexpr int kAlongText = 2269;
constexpr int kHeightText = 2270;
constexpr int kPitchText = 2271;
constexpr int kYawText = 2272;
constexpr int kPitchUnitText = 2273;
constexpr int kYawUnitText = 2274;
// The kinds in list order.
constexpr int kKindTexts[] = {2275, 2276, 2277, 2279, 2278};
// The eye moves in steps of 5 feet, its height in steps of a foot.
constexpr int kEyeStepInches = 60;
constexpr int kHeightStepInches = 12;
constexpr int kEyeStepCm = 100;
constexpr int kHeightStepCm = 10;

CAlignment GetDisplayAlignment(const CCourse* course)
{
    if (!course)
        return CAlignment(0.0f, 0.0f, 0, 0);
    return CAlignment(course->GetWidth(), course->GetHeight(), course->GetDisplayOriginX(),
                      course->GetDisplayOriginY());
}

// The displayed range of one eye coordinate in whole inches, the bounds of
// the eye box taken into displayed coordinates and sorted.
struct CRange
{
    int min;
    int max;
};

CRange GetDisplayedRange(float worldMin, float worldMax, float offset, float sign)
{
    const float a = (worldMin - offset) * sign / 10.0f;
    const float b = (worldMax - offset) * sign / 10.0f;
    return {int(std::ceil(std::min(a, b))), int(std::floor(std::max(a, b)))};
}

CRange GetAcrossRange(const CCourse* course)
{
    const CAlignment alignment = GetDisplayAlignment(course);
    const CBox3& box = CViewCamera::GetEyeBox();
    return GetDisplayedRange(box.minX, box.maxX, alignment.offsetX, alignment.signX);
}

// Along the ring the course's y is minus the camera's.
CRange GetAlongRange(const CCourse* course)
{
    const CAlignment alignment = GetDisplayAlignment(course);
    const CBox3& box = CViewCamera::GetEyeBox();
    return GetDisplayedRange(-box.maxY, -box.minY, alignment.offsetY, alignment.signY);
}

bool IsMetric(const CCourse* course) { return course && course->IsMetric(); }

CViewCamera CopyCamera(CCourse* course)
{
    if (!course) {
        ReportFailure();
        return CViewCamera(true);
    }
    return course->GetCurrentCamera();
}

}  // namespace

CCameraDlg::CCameraDlg(CCourse* courseValue, float viewWidth, float viewHeight)
    : CDialog(GetString(kTitleText)),
      course(courseValue),
      kindLabel(GetString(kKindLabelText)),
      acrossLabel(GetString(kAcrossText)),
      acrossEdit(GetAcrossRange(courseValue).min, GetAcrossRange(courseValue).max, kEyeStepInches, kEyeStepCm,
                 IsMetric(courseValue)),
      alongLabel(GetString(kAlongText)),
      alongEdit(GetAlongRange(courseValue).min, GetAlongRange(courseValue).max, kEyeStepInches, kEyeStepCm,
                IsMetric(courseValue)),
      heightLabel(GetString(kHeightText)),
      heightEdit(24, 4800, kHeightStepInches, kHeightStepCm, IsMetric(courseValue)),
      pitchLabel(GetString(kPitchText)),
      pitchEdit(0, 90, 5),
      pitchUnit(GetString(kPitchUnitText)),
      yawLabel(GetString(kYawText)),
      yawEdit(-360, 360, 5),
      yawUnit(GetString(kYawUnitText)),
      grid(4, 11),
      m_camera(CopyCamera(courseValue)),
      m_viewWidth(viewWidth),
      m_viewHeight(viewHeight)
{
    helpTopic = L"Camera";
    const CAlignment alignment = GetDisplayAlignment(course);
    m_offsetX = alignment.offsetX;
    m_offsetY = alignment.offsetY;
    m_signX = alignment.signX;
    m_signY = alignment.signY;

    for (int text : kKindTexts)
        kindList.AddItem(GetString(text));
    int kind = kFree;
    if (m_camera.GetMode() == CViewCamera::kWholeCourse)
        kind = kWholeCourse;
    else if (m_camera.GetMode() == CViewCamera::kFitted)
        kind = kFitted;
    else if (m_camera.IsEyeHeightView(false))
        kind = kHandlerEyes;
    else if (m_camera.IsEyeHeightView(true))
        kind = kDogEyes;
    kindList.SelectItem(kind);
    kindList.SetOnSelChange(CMemberDelegate<CComboBox*, CCameraDlg>::Make(this, &CCameraDlg::OnKindChanged));
    const auto onPitch = CMemberDelegate<CSpinEdit*, CCameraDlg>::Make(this, &CCameraDlg::OnPitchChanged);
    pitchEdit.SetOnTextChange(onPitch);
    pitchEdit.SetOnSpin(onPitch);
    pitchEdit.SetValue(m_camera.GetPitch());
    yawEdit.SetValue(m_camera.GetYaw());
    ShowPosition(true);
    UpdateAngles();

    const struct
    {
        CWindow* label;
        CWindow* field;
        CWindow* unit;
    } rows[] = {
        {&kindLabel, &kindList, nullptr},        {&acrossLabel, &acrossEdit, nullptr},
        {&alongLabel, &alongEdit, nullptr},      {&heightLabel, &heightEdit, nullptr},
        {&pitchLabel, &pitchEdit, &pitchUnit},   {&yawLabel, &yawEdit, &yawUnit},
    };
    int row = 0;
    for (const auto& line : rows) {
        if (row > 0)
            grid.SetCell(0, row++, CSpacer::GapV4());
        grid.SetCell(0, row, line.label);
        grid.SetCell(1, row, CSpacer::GapH4());
        grid.SetCell(2, row, line.field);
        if (line.unit)
            grid.SetCell(3, row, line.unit);
        ++row;
    }
    SetContent(&grid);
}

void CCameraDlg::OnKindChanged(CComboBox* list)
{
    TRACE_VALUE(int32_t, GetKind());
    switch (GetKind()) {
    case kWholeCourse:
        m_camera.FitWholeCourse(m_camera.GetPitch() == 0);
        break;
    case kFitted:
        m_camera.SetViewportSize(m_viewWidth, m_viewHeight);
        m_camera.SetFitted(m_camera.GetPitch() == 0);
        break;
    case kHandlerEyes:
    case kDogEyes:
        m_camera.SetEyeHeightView(GetKind() == kDogEyes);
        break;
    default:
        break;
    }
    ShowPosition(false);
    UpdateAngles();
}

void CCameraDlg::UpdateAngles()
{
    const int kind = GetKind();
    pitchEdit.SetEnabled(kind == kFree || kind == kWholeCourse || kind == kFitted);
    if (kind != kFree)
        pitchEdit.SetValue(m_camera.GetPitch());
    yawEdit.SetEnabled(kind == kFree || kind == kHandlerEyes || kind == kDogEyes);
    if (kind == kWholeCourse || kind == kFitted)
        yawEdit.SetValue(m_camera.GetYaw());
}

void CCameraDlg::OnPitchChanged(CSpinEdit*)
{
    const int kind = GetKind();
    if (kind != kFree && kind != kWholeCourse && kind != kFitted)
        return;
    int pitch = 0;
    if (!pitchEdit.GetValue(pitch, false))
        return;
    m_camera.SetPitch(pitch);
    if (kind == kWholeCourse && pitch == 0)
        m_camera.FitWholeCourse(true);
    ShowPosition(false);
}

void CCameraDlg::ShowPosition(bool force)
{
    const int kind = GetKind();
    const bool fitted = kind == kWholeCourse || kind == kFitted;
    const CVector3 eye = m_camera.GetEyePosition();
    acrossEdit.SetEnabled(!fitted);
    alongEdit.SetEnabled(!fitted);
    if (force || fitted) {
        acrossEdit.SetValue((eye.x - m_offsetX) * m_signX);
        alongEdit.SetValue((-eye.y - m_offsetY) * m_signY);
    }
    heightEdit.SetEnabled(kind == kFree);
    if (force || kind != kFree)
        heightEdit.SetValue(eye.z);
}

void CCameraDlg::OnOk()
{
    TRACE_POINT();
    const int kind = GetKind();
    const bool typedEye = kind == kFree || kind == kHandlerEyes || kind == kDogEyes;
    // Only the kinds whose eye the user types set it: the camera's own fit
    // keeps its mode.
    if (typedEye) {
        float across = 0.0f;
        float along = 0.0f;
        if (!acrossEdit.GetValue(&across, true) || !alongEdit.GetValue(&along, true))
            return;
        CVector3 eye = m_camera.GetEyePosition();
        if (kind == kFree && !heightEdit.GetValue(&eye.z, true))
            return;
        eye.x = across / m_signX + m_offsetX;
        eye.y = -(along / m_signY + m_offsetY);
        m_camera.SetEyePosition(eye);
    }
    if (kind == kFree || kind == kWholeCourse || kind == kFitted) {
        int pitch = 0;
        if (!pitchEdit.GetValue(pitch, true))
            return;
        m_camera.SetPitch(pitch);
    }
    if (typedEye) {
        int yaw = 0;
        if (!yawEdit.GetValue(yaw, true))
            return;
        m_camera.SetYaw(yaw);
    }
    if (course) {
        course->SetViewCamera(m_camera);
        course->OnCourseChanged();
    }
    CDialog::OnOk();
}
