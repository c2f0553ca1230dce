#include "app/CourseWindowList.h"

#include <algorithm>

#include "app/CourseWindow.h"
#include "ui/FrameWindowList.h"

CCourseWindowList::CCourseWindowList()
{
    int shown = 0;
    for (CFrameListEntry* frame : FindFrameWindows(shown)) {
        if (CCourseWindow* window = dynamic_cast<CCourseWindow*>(frame)) {
            m_windows.push_back(window);
            m_courses.push_back(window->GetCourse());
        }
    }
}

bool CCourseWindowList::Next()
{
    m_current = -1;
    // A closed window's object is gone: only windows still in the frame list
    // may be asked for their course.
    const std::vector<CCourseWindow*> open = CCourseWindow::GetCourseWindows();
    while (m_index < int(m_windows.size())) {
        const int index = m_index++;
        CCourseWindow* window = m_windows[index];
        if (std::find(open.begin(), open.end(), window) != open.end() && window->GetCourse() == m_courses[index]) {
            m_current = index;
            return true;
        }
    }
    return false;
}

CCourseWindow* CCourseWindowList::GetWindow() const { return m_current >= 0 ? m_windows[m_current] : nullptr; }

CCourse* CCourseWindowList::GetCourse() const { return m_current >= 0 ? m_courses[m_current] : nullptr; }
