#pragma once

#include "foundation/Clock.h"
#include "foundation/Timer.h"
#include "ui/Toolbar.h"

class CCourse;

// The button bar beside a course view that drives the course's view camera:
// zoom, whole-course views, turning, moving, raising and lowering the eye,
// tilting, and the dog's and handler's eye heights. Movement buttons act
// while they are held, and so do their keys, which the course view forwards;
// each step is scaled by the time it stands for. Every change is made on a
// copy of the current view camera and handed back to the course as a camera
// motion, which makes it undoable and tells the windows.
class CCameraToolbar : public CToolbarPanel
{
public:
    enum ECommand
    {
        kForward = 2638,
        kBackward = 2640,
        kRotateLeft = 2642,
        kRotateRight = 2644,
        kMoveLeft = 2646,
        kMoveRight = 2648,
        kZoomIn = 2650,
        kZoomOut = 2652,
        kRaise = 2654,
        kLower = 2656,
        kTiltUp = 2658,
        kTiltDown = 2660,
        kWholeCourseDown = 2662,
        kWholeCourseAngled = 2664,
        kDogEyeHeight = 2666,
        kHumanEyeHeight = 2668,
    };

    // The course is not owned and must outlive the toolbar.
    explicit CCameraToolbar(CCourse* course);
    ~CCameraToolbar() override;

    // A key press or release forwarded by the course view (panel key codes).
    // Ctrl and Shift themselves are ignored; their states come with every
    // other key. Without a running repeat, one step is made at once.
    void OnKey(int key, bool pressed, bool control, bool shift);
    // Forgets every key held: their releases go to whatever window has the
    // focus, so a view that loses it lets go of them.
    void ReleaseKeys();
    // The check marks of the whole-course and eye-height buttons from the
    // current camera.
    void UpdateChecks();
    // Shows or hides the 3D-camera buttons when the course's "3DCamera"
    // setting changed since last seen.
    void Refresh3DCamera();

    // One step standing for ms milliseconds, applied to the course when any
    // control is active; true when one was.
    bool Step(float ms);
    // Whether the button (by command id) acts now: held with the mouse, or
    // its key held with the right Ctrl state (any, with ignoreControl).
    // While Shift is held only the Plus key counts.
    bool IsActive(int command, bool ignoreControl) const;

    CCourse* GetCourse() const { return m_course; }

    // ---- State --------------------------------------------------------------
    // One flag per panel key code; the Ctrl and Shift entries hold the
    // modifier states that came with the last key.
    bool keys[16] = {};
    // The button held down with the mouse, or null.
    CToolbarItem* pressedItem = nullptr;
    // 33 ms, repeating: runs from the first step that moved until a step
    // moves nothing.
    CTimer repeatTimer;
    // The "3DCamera" setting as last applied to the buttons.
    bool shows3DCamera = false;

    static constexpr int kRepeatMs = 33;
    // A stalled loop makes at most this long a step.
    static constexpr float kLongestStepMs = 500.0f;
    // Course units per millisecond near the ground.
    static constexpr float kSpeed = 0.704f;
    // Degrees per 33 ms.
    static constexpr int kTurnStep = 3;

private:
    void AddHeldButton(int id, const wchar_t* icon, int key, int pattern, bool only3D);
    void AddClickButton(int id, const wchar_t* icon, bool only3D, void (CCameraToolbar::*handler)(int));
    void OnButtonDown(CToolbarItem* item);
    void OnButtonUp(CToolbarItem* item);
    void OnTimer(CTimer* timer);
    void OnWholeCourse(int id);
    void OnEyeHeight(int id);
    void Update3DCameraButton(CCommand* command);
    // A step right after a key or button went down or up, unless the repeat
    // is running already.
    void StepNow();

    CCourse* m_course;
    // Quick releases of one button in a row.
    int m_lastReleasedId = 0;
    int m_quickReleases = 0;
    CStopwatch m_releaseClock;
};
