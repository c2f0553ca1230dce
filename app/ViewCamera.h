#pragma once

#include "foundation/Box.h"
#include "foundation/Geometry.h"
#include "foundation/Rect.h"
#include "foundation/Transform.h"
#include "render3d/Camera.h"

class CFieldStream;

// The camera record of a course view: where the eye stands, which way it
// looks and how it is tied to the course. Lengths are tenths of an inch,
// angles whole degrees; 3D y is the negative of the course's y.
//
// Modes: 0 free (placed by the user), 1 fitted to the course in the current
// viewport, 2 whole course (fitted with a viewport of the course's own
// aspect). The rotation turns about X by the pitch (0 straight down, 90
// horizontal), then about Z by the yaw; the transform's translation is the
// eye. Any yaw, eye or eye-height change, or a pitch change of a free
// camera, makes the camera free; a viewport or pitch change of a fitted one
// re-fits it in mode 1.
class CViewCamera
{
public:
    enum EMode
    {
        kFree = 0,
        kFitted = 1,
        kWholeCourse = 2,
    };

    // Mode 2, yaw 0, pitch 0 (top-down) or 45, a perspective projection of
    // depth range 1 to 10 that serves to turn window points into rays.
    explicit CViewCamera(bool topDown);

    int GetMode() const { return m_mode; }
    int GetYaw() const { return m_yaw; }
    int GetPitch() const { return m_pitch; }
    const CRectF& GetCourseRect() const { return m_courseRect; }
    const CTransform& GetTransform() const { return m_transform; }
    const CCamera& GetCamera() const { return m_camera; }
    float GetViewportWidth() const { return m_camera.GetWindowWidth(); }
    float GetViewportHeight() const { return m_camera.GetWindowHeight(); }

    CVector3 GetEyePosition() const { return m_transform.GetTranslation(); }
    // Where the ray through the middle of the window's bottom edge meets the
    // ground (z = 0). A ray that never comes down gives the point under the
    // eye.
    CVector3 GetViewGroundPoint() const;

    void SetViewportSize(float width, float height);
    // The area to frame, in course coordinates. A change re-fits a fitted or
    // whole-course camera; a free one only keeps it.
    void SetCourseRect(const CRectF& rect);
    void SetFitted(bool topDown);
    void FitWholeCourse(bool topDown);
    // Normalised into (-180, 180].
    void SetYaw(int degrees);
    // 0..90; other values are reported and applied as given. A free camera
    // turns about the ground point at the middle of the window's bottom edge.
    void SetPitch(int degrees);
    // Clamped into the eye box, coordinate by coordinate.
    void SetEyePosition(const CVector3& eye);
    // The dog's (true) or handler's eye height and pitch, keeping the ground
    // point at the middle of the window's bottom edge.
    void SetEyeHeightView(bool dog);
    bool IsEyeHeightView(bool dog) const;

    // The eye height of a top-down whole-course view; computed when not yet
    // known (0).
    float GetWholeCourseDistance();
    // Computes it afresh; the camera itself is left as it was.
    float ComputeWholeCourseDistance();

    // Mode (Int8); viewport width and height (Float16) unless mode 2; pitch
    // (Int8); for mode 0 yaw (Int16), eye x and y (Float24) and eye z - 32000
    // (Float16). Reading resets the course rectangle so that the next
    // SetCourseRect re-fits a fitted camera; damaged values are brought into
    // range.
    void Serialize(CFieldStream& stream);

    // The limits of the eye: x -48000..72000, y -72000..48000, z 240..48000.
    static const CBox3& GetEyeBox();

    static constexpr float kDogEyeHeight = 240.0f;
    static constexpr int kDogPitch = 84;
    static constexpr float kHandlerEyeHeight = 600.0f;
    static constexpr int kHandlerPitch = 75;

private:
    void BuildRotation();
    // The direction (world axes) of the ray through a window point.
    CVector3 GetRayDirection(float x, float y) const;
    // Places the eye so the course rectangle fills the viewport; the result
    // is positive when the width needs the larger distance.
    float Fit(bool topDown);
    void SearchWholeCourse(bool topDown);
    void SetProjectionViewport(float width, float height);

    int m_mode = kWholeCourse;
    int m_yaw = 0;
    int m_pitch = 0;
    CRectF m_courseRect;
    CTransform m_transform;
    float m_wholeCourseDistance = 0.0f;
    CCamera m_camera;
};
