#pragma once

#include <memory>
#include <string>

#include "app/CommandTable.h"
#include "course/CourseListener.h"
#include "ui/FrameWindow.h"

class CCourse;
class CRecentFiles;

// The window of one open course: a frame window that owns the course, shows
// its title and carries the commands of the command table. The last course
// window to close stores the recent-file list and ends the program.
class CCourseWindow : public CFrameWindow, public CCourseListener, public CCommandTarget
{
public:
    // Takes ownership of the course, then builds and shows the window. The
    // object deletes itself when its window is destroyed.
    explicit CCourseWindow(CCourse* course);
    ~CCourseWindow() override;

    CCourse* GetCourse() const { return m_course; }

    // The caption: the course title, " (3)" for a course read from an older
    // file, then " - " and the program's name. Set only when it differs.
    void UpdateTitle();
    std::wstring BuildTitle() const;

    // Deletes the course (or, with false, only lets go of it) and destroys
    // the window.
    void DestroyWindowAndCourse(bool deleteCourse);

    // A close request (WM_CLOSE, after the frame window's deferral).
    void Close() override;
    void OnDestroyed() override;
    void GetIcons(HICON& smallIcon, HICON& bigIcon) override;

    CFrameWindow& GetCommandFrame() override;
    std::wstring GetListTitle() override;

    void OnMapLayerChanged(int layer) override;
    void On3DLayerChanged(int layer) override;
    void OnCourseSettingsChanged() override;
    void OnCourseChanged() override;

    // The open course windows, most recently activated first.
    static std::vector<CCourseWindow*> GetCourseWindows();

private:
    CCourse* m_course;
    std::unique_ptr<CWindow> m_view;
};

// Whether one more course window may show its course in 3D; false while no
// 3D graphics system is available.
bool CanShowAnother3DView();

// The recent-file list of the program, loaded by the first course window.
CRecentFiles& GetRecentFiles();
