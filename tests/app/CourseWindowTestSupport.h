#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestWindows.h"

class CCourse;
class CCourseWindow;

// Helpers of the course window, view frame and whole-program tests.
namespace cwtest {

// The test's own settings (imperial, rule set 1, saving and clipboard hints
// off, the views through GDI) and GDI+ for the toolbar pictures, as start-up
// provides them.
void PrepareWindowTest();

// A course window for a new course; the window owns it.
CCourseWindow* OpenNewCourseWindow(const std::wstring& title = std::wstring());

// A real key press and release (virtual key), with Ctrl held when asked.
void KeyPress(WORD virtualKey, bool control = false);
// A typed character.
void TypeChar(wchar_t ch);

// The client point of a window on the screen.
POINT ToScreen(HWND window, float x, float y);

// Answers the message boxes of this process in a thread of its own while it
// lives: the first with the first answer (IDYES, IDNO, IDCANCEL, IDOK), the
// next with the next; once the answers are used up, OK or Cancel. Keeps the
// texts and the button ids each box offered. The dialog watcher is paused.
class CBoxAnswers
{
public:
    explicit CBoxAnswers(std::vector<int> answers);

    struct CBox
    {
        std::wstring text;
        bool yes = false;
        bool no = false;
        bool cancel = false;
    };
    std::vector<CBox> Take();

private:
    CDialogWatcherPause m_pause;
    std::vector<int> m_answers;
    size_t m_next = 0;
    std::mutex m_lock;
    std::vector<CBox> m_boxes;
    CDialogAnswerer m_answerer;
};

// How many message boxes the code showed, answered in turn as above.
template <class F>
size_t CountBoxes(std::vector<int> answers, F&& code)
{
    CBoxAnswers boxes(std::move(answers));
    code();
    return boxes.Take().size();
}

}  // namespace cwtest
