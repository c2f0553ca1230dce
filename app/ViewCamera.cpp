#include "app/ViewCamera.h"

#include <algorithm>
#include <cmath>

#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/Numeric.h"

namespace {

// Height of the tallest equipment that fitting keeps in view at the edges.
const float kEquipmentHeight = 360.0f;
// The eye height stored in a file is offset to fit a 16-bit value.
const float kStoredEyeHeightOffset = 32000.0f;

int NormalizeYaw(int degrees)
{
    degrees %= 360;
    if (degrees > 180)
        degrees -= 360;
    else if (degrees <= -180)
        degrees += 360;
    return degrees;
}

}  // namespace

CViewCamera::CViewCamera(bool topDown) : m_pitch(topDown ? 0 : 45)
{
    m_camera.SetDepthRange(1.0f, 10.0f);
    BuildRotation();
}

const CBox3& CViewCamera::GetEyeBox()
{
    static const CBox3 box(-48000.0f, 72000.0f, -72000.0f, 48000.0f, 240.0f, 48000.0f);
    return box;
}

void CViewCamera::BuildRotation()
{
    m_transform.SetRotationZ(float(m_yaw));
    m_transform.RotateX(float(m_pitch));
}

void CViewCamera::SetProjectionViewport(float width, float height)
{
    m_camera.SetViewport(width, height);
}

CVector3 CViewCamera::GetRayDirection(float x, float y) const
{
    return m_transform.TransformVector(m_camera.UnprojectPoint(x, y, 0.0f));
}

CVector3 CViewCamera::GetViewGroundPoint() const
{
    const CVector3 eye = GetEyePosition();
    const CVector3 d = GetRayDirection(GetViewportWidth() / 2.0f, GetViewportHeight());
    if (!(d.z < 0.0f))
        return CVector3(eye.x, eye.y, 0.0f);
    const float f = eye.z / d.z;
    return CVector3(eye.x - d.x * f, eye.y - d.y * f, 0.0f);
}

void CViewCamera::SetViewportSize(float width, float height)
{
    TRACE_POINT();
    SetProjectionViewport(width, height);
    if (m_mode != kFree) {
        Fit(m_pitch == 0);
        m_mode = kFitted;
    }
}

void CViewCamera::SetCourseRect(const CRectF& rect)
{
    if (rect == m_courseRect)
        return;
    m_courseRect = rect;
    if (m_mode == kWholeCourse)
        SearchWholeCourse(m_pitch == 0);
    else if (m_mode == kFitted)
        Fit(m_pitch == 0);
}

void CViewCamera::SetFitted(bool topDown)
{
    Fit(topDown);
    m_mode = kFitted;
}

void CViewCamera::FitWholeCourse(bool topDown)
{
    SearchWholeCourse(topDown);
}

void CViewCamera::SetYaw(int degrees)
{
    const int yaw = NormalizeYaw(degrees);
    if (yaw == m_yaw)
        return;
    m_yaw = yaw;
    BuildRotation();
    m_mode = kFree;
}

void CViewCamera::SetPitch(int degrees)
{
    TRACE_VALUE(int32_t, degrees);
    if (degrees < 0 || degrees > 90) {
        // A pitch beyond straight down or below the horizon would put the eye
        // at infinity and be saved with the course.
        ReportFailure();
        degrees = std::clamp(degrees, 0, 90);
    }
    if (degrees == m_pitch)
        return;
    if (m_mode != kFree) {
        m_pitch = degrees;
        BuildRotation();
        Fit(degrees == 0);
        m_mode = kFitted;
        return;
    }
    const float x = GetViewportWidth() / 2.0f;
    const float y = GetViewportHeight();
    const CVector3 eye = GetEyePosition();
    const bool seesGround = GetRayDirection(x, y).z < 0.0f;
    const CVector3 ground = GetViewGroundPoint();
    m_pitch = degrees;
    BuildRotation();
    if (seesGround) {
        const float distance =
            CVector3(eye.x - ground.x, eye.y - ground.y, eye.z - ground.z).Length();
        const CVector3 r = GetRayDirection(x, y);
        const float f = distance / r.Length();
        const CVector3 moved(ground.x - r.x * f, ground.y - r.y * f, ground.z - r.z * f);
        if (IsFinite(moved))
            m_transform.SetTranslationVector(GetEyeBox().ClampPoint(moved));
    }
    m_mode = kFree;
}

void CViewCamera::SetEyePosition(const CVector3& eye)
{
    CVector3 p = eye;
    if (!IsFinite(p)) {
        TRACE_VALUE(float, p.x);
        TRACE_VALUE(float, p.y);
        TRACE_VALUE(float, p.z);
        ReportFailure();
        p = GetEyePosition();
    }
    m_transform.SetTranslationVector(GetEyeBox().ClampPoint(p));
    m_mode = kFree;
}

void CViewCamera::SetEyeHeightView(bool dog)
{
    const float height = dog ? kDogEyeHeight : kHandlerEyeHeight;
    const int pitch = dog ? kDogPitch : kHandlerPitch;
    const float x = GetViewportWidth() / 2.0f;
    const float y = GetViewportHeight();
    m_mode = kFree;
    const CVector3 ground = GetViewGroundPoint();
    m_pitch = pitch;
    BuildRotation();
    const CVector3 r = GetRayDirection(x, y);
    CVector3 eye(ground.x, ground.y, height);
    if (r.z < 0.0f) {
        const float f = height / r.z;
        eye.x = ground.x + r.x * f;
        eye.y = ground.y + r.y * f;
    }
    m_transform.SetTranslationVector(GetEyeBox().ClampPoint(eye));
}

bool CViewCamera::IsEyeHeightView(bool dog) const
{
    const float height = dog ? kDogEyeHeight : kHandlerEyeHeight;
    const int pitch = dog ? kDogPitch : kHandlerPitch;
    return m_pitch == pitch && GetEyePosition().z == height;
}

float CViewCamera::Fit(bool topDown)
{
    m_yaw = 0;
    if (topDown)
        m_pitch = 0;
    else if (m_pitch == 0 || m_mode == kFree)
        m_pitch = 45;
    BuildRotation();

    const float w = GetViewportWidth();
    const float h = GetViewportHeight();
    // View-space points on the near plane: the middle of the bottom edge,
    // the middle of the right edge.
    const CVector3 bottomView = m_camera.UnprojectPoint(w / 2.0f, h, 0.0f);
    const CVector3 rightView = m_camera.UnprojectPoint(w, h / 2.0f, 0.0f);
    const CVector3 a = m_transform.TransformVector(bottomView);
    // Outward normals of the right and top planes of the view; the view is
    // symmetric, so the top edge lies as far above the axis as the bottom
    // edge lies below it.
    const CVector3 rightNormal = m_transform.TransformVector({-rightView.z, 0.0f, rightView.x});
    const CVector3 topNormal = m_transform.TransformVector({0.0f, -bottomView.z, -bottomView.y});

    // Looking down steeply, the near edge is framed at equipment height and
    // the far and side edges on the ground; looking across, the other way.
    const float nearHeight = a.y < 0.0f ? kEquipmentHeight : 0.0f;
    const float edgeHeight = kEquipmentHeight - nearHeight;
    const CRectF& r = m_courseRect;
    const CVector3 p0((r.left + r.right) / 2.0f, -r.bottom, nearHeight);

    // The eye is p0 - a t. A point x is inside a plane of normal n once
    // n.(x - p0) + t n.a <= 0; a lies inside, so n.a < 0 and larger t take
    // more in. The edges are segments: their ends bound them.
    const auto distanceFor = [&](const CVector3& n, const CVector3& x) {
        const float along = n.x * a.x + n.y * a.y + n.z * a.z;
        const float t = (n.x * (x.x - p0.x) + n.y * (x.y - p0.y) + n.z * (x.z - p0.z)) / -along;
        return std::isfinite(t) ? t : 0.0f;
    };
    const float tH = std::max(distanceFor(rightNormal, {r.right, -r.bottom, edgeHeight}),
                              distanceFor(rightNormal, {r.right, -r.top, edgeHeight}));
    const float tV = std::max(distanceFor(topNormal, {r.left, -r.top, edgeHeight}),
                              distanceFor(topNormal, {r.right, -r.top, edgeHeight}));
    float t = std::max(tV, tH);
    // Straight down into a pane taller than wide (windows tiled side by
    // side), the course is shown as a window opened at the course's own
    // shape shows it: in the middle of the spare height instead of at the
    // foot of the pane, and with a pixel of paper beyond each side, so that
    // the ring's border does not round away at a small scale.
    const bool tallPane = m_pitch == 0 && tH > tV && h > w && w > 2.0f;
    if (tallPane) {
        const float height = p0.z - a.z * t;
        t = (p0.z - height * w / (w - 2.0f)) / a.z;
    }
    CVector3 eye(p0.x - a.x * t, p0.y - a.y * t, p0.z - a.z * t);
    if (tallPane) {
        // How far the eye could move towards the near edge before the far
        // edge met the top of the view: it moves half of that.
        const float inward = -(topNormal.x * a.x + topNormal.y * a.y + topNormal.z * a.z);
        const float room = (t - tV) * inward / topNormal.y;
        if (std::isfinite(room) && room > 0.0f)
            eye.y -= room / 2.0f;
    }
    if (IsFinite(eye)) {
        m_transform.SetTranslationVector(eye);
        if (m_mode == kWholeCourse && topDown)
            m_wholeCourseDistance = eye.z;
    }
    return tH - tV;
}

void CViewCamera::SearchWholeCourse(bool topDown)
{
    TRACE_POINT();
    // The pitch the first fit would choose, so that it stays over the search.
    if (topDown)
        m_pitch = 0;
    else if (m_pitch == 0 || m_mode == kFree)
        m_pitch = 45;
    m_mode = kWholeCourse;

    SetProjectionViewport(2500.0f, 10000.0f);
    float fLow = Fit(topDown);
    if (fLow > 0.0f) {
        SetProjectionViewport(10000.0f, 2500.0f);
        if (Fit(topDown) < 0.0f) {
            float low = 0.25f;
            float high = 4.0f;
            while (high - low > 0.00001f) {
                const float mid = (low + high) / 2.0f;
                if (mid <= 1.0f)
                    SetProjectionViewport(mid * 10000.0f, 10000.0f);
                else
                    SetProjectionViewport(10000.0f, 10000.0f / mid);
                const float f = Fit(topDown);
                if (f * fLow < 0.0f) {
                    high = mid;
                } else {
                    low = mid;
                    fLow = f;
                }
            }
            const float mid = (low + high) / 2.0f;
            if (mid <= 1.0f)
                SetProjectionViewport(RoundHalfUp(mid * 10000.0f), 10000.0f);
            else
                SetProjectionViewport(10000.0f, RoundHalfUp(10000.0f / mid));
            Fit(topDown);
        }
    }
    m_mode = kWholeCourse;
}

float CViewCamera::GetWholeCourseDistance()
{
    if (m_wholeCourseDistance == 0.0f)
        ComputeWholeCourseDistance();
    return m_wholeCourseDistance;
}

float CViewCamera::ComputeWholeCourseDistance()
{
    TRACE_POINT();
    const int mode = m_mode;
    const int yaw = m_yaw;
    const int pitch = m_pitch;
    const CVector3 eye = GetEyePosition();
    const float width = GetViewportWidth();
    const float height = GetViewportHeight();

    SearchWholeCourse(true);

    m_mode = mode;
    m_pitch = pitch;
    m_yaw = yaw;
    BuildRotation();
    m_transform.SetTranslationVector(eye);
    SetProjectionViewport(width, height);
    return m_wholeCourseDistance;
}

void CViewCamera::Serialize(CFieldStream& stream)
{
    TRACE_POINT();
    int32_t mode = m_mode;
    stream.Int8(mode);
    if (stream.IsReading() && (mode < kFree || mode > kWholeCourse)) {
        TRACE_VALUE(int32_t, mode);
        mode = kWholeCourse;
    }
    float width = GetViewportWidth();
    float height = GetViewportHeight();
    if (mode != kWholeCourse) {
        stream.Float16(width);
        stream.Float16(height);
    }
    int32_t pitch = m_pitch;
    stream.Int8(pitch);
    int32_t yaw = m_yaw;
    CVector3 eye = GetEyePosition();
    float storedZ = eye.z - kStoredEyeHeightOffset;
    if (mode == kFree) {
        stream.Int16(yaw);
        stream.Float24(eye.x);
        stream.Float24(eye.y);
        stream.Float16(storedZ);
    }
    if (!stream.IsReading())
        return;

    m_mode = mode;
    m_pitch = std::clamp(int(pitch), 0, 90);
    if (mode != kWholeCourse)
        SetProjectionViewport(std::max(width, 1.0f), std::max(height, 1.0f));
    if (mode == kFree) {
        m_yaw = NormalizeYaw(yaw);
        eye.z = storedZ + kStoredEyeHeightOffset;
        m_transform.SetTranslationVector(GetEyeBox().ClampPoint(eye));
    } else {
        m_yaw = 0;
    }
    BuildRotation();
    m_courseRect = CRectF();
}
