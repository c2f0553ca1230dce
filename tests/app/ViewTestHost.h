#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "app/CameraToolbar.h"
#include "app/CourseScene.h"
#include "app/CourseView.h"
#include "app/ShapeToolbar.h"
#include "course/Course.h"
#include "course/CourseListener.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestWindows.h"

// A course shown in a course view, with its shape and camera toolbars, in a
// visible top-level popup at a fixed screen place (no frame: client and
// screen coordinates differ only by the origin). The host plays the course
// window's part: it listens to the course, rebuilds the layers it is told of
// in the scene the view shows, hands a chosen tool to the course and keeps
// the camera checks.
//
// Shape toolbar at (0, 0), camera toolbar below it, the view at kViewX, 0.
class CViewTestHost : public CPanelTestHost, public CCourseListener
{
public:
    static constexpr int kHostX = 40;
    static constexpr int kHostY = 40;
    static constexpr int kViewX = 150;
    static constexpr int kViewWidth = 600;
    static constexpr int kViewHeight = 450;

    // The test's settings key must be open: the course reads it.
    explicit CViewTestHost(CMenu* contextMenu = nullptr);
    ~CViewTestHost() override;

    void OnMapLayerChanged(ESceneLayer layer) override;
    void On3DLayerChanged(ESceneLayer layer) override;
    void OnCourseSettingsChanged() override;
    void OnCourseChanged() override;
    void OnToolChanged(CShapeToolbar* toolbar);

    // Screen point of a view window point.
    POINT ViewScreenPoint(float x, float y) const;
    // Window point of the view where a course point (at height z) is seen.
    CPoint2 ViewPointOf(float x, float y, float z = 0.0f) const;
    // Screen point of the middle of a toolbar button.
    POINT ButtonScreenPoint(const CToolbarPanel& toolbar, int id) const;

    // Real mouse input: a left click on a toolbar button.
    void ClickButton(CToolbarPanel& toolbar, int id);
    // Keys sent to the view with the given modifier states.
    void KeyDown(WORD virtualKey, bool control = false, bool shift = false);
    void KeyUp(WORD virtualKey, bool control = false, bool shift = false);
    void Char(wchar_t ch);

    CCourse course;
    CCourseMapScene scene;
    CShapeToolbar shapes;
    CCameraToolbar cameraBar;
    CCourseView view;
    int courseChanges = 0;
    int settingsChanges = 0;
};

// Answers the hint dialogs (caption text 2520) of this process with OK while
// it lives, and keeps their message texts; the dialog watcher of the test
// support answers message boxes only.
class CHintAnswerer
{
public:
    CHintAnswerer();
    std::vector<std::wstring> TakeAnswered();

private:
    std::mutex m_lock;
    std::vector<std::wstring> m_answered;
    CDialogAnswerer m_answerer;
};
