#pragma once

#include <vector>

class CCourse;
class CCourseWindow;

// A snapshot of the open course windows (not minimised ones first, each
// group most recently activated first) with the course each showed. A walk
// over it skips windows that have closed, or show another course, since:
//
//     for (CCourseWindowList list; list.Next();)
//         use list.GetCourse();
class CCourseWindowList
{
public:
    CCourseWindowList();

    // Moves to the next entry (the first on the first call) whose window is
    // still open and still shows its course; false once the walk has ended.
    bool Next();
    // The current entry's window and course; null before the walk and after
    // its end.
    CCourseWindow* GetWindow() const;
    CCourse* GetCourse() const;
    int GetCount() const { return int(m_windows.size()); }

private:
    std::vector<CCourseWindow*> m_windows;
    std::vector<CCourse*> m_courses;
    // The entry Next looks at first.
    int m_index = 0;
    int m_current = -1;
};
