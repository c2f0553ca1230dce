#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TestSupport.h"

class CCourse;
class CCourseWindow;

// Helpers of the course window, view frame and whole-program tests.
namespace cwtest {

// The test's own settings (imperial, rule set 1, saving and clipboard hints
// off) and GDI+ for the toolbar pictures, as start-up provides them.
void PrepareWindowTest();

// A course window for a new course; the window owns it.
CCourseWindow* OpenNewCourseWindow(const std::wstring& title = std::wstring());

// Dispatches messages and fires due timers until the condition holds or the
// time is up; returns the condition.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
void PumpFor(DWORD milliseconds);

// Real mouse input at a screen point (an absolute move, with the buttons
// given), then a short pump when asked.
void MouseAt(POINT screen, DWORD buttons = 0, bool pump = true);
// A real key press and release (virtual key), with Ctrl held when asked.
void KeyPress(WORD virtualKey, bool control = false);
// A typed character.
void TypeChar(wchar_t ch);

// The client point of a window on the screen.
POINT ToScreen(HWND window, float x, float y);

// The whole window (frame, menu bar and client) as the screen shows it,
// saved as a PNG picture; false on failure.
bool SaveScreenPicture(HWND window, const std::wstring& path);

// Answers the message boxes of this process in a thread of its own while it
// lives: the first with the first answer (IDYES, IDNO, IDCANCEL, IDOK), the
// next with the next; once the answers are used up, OK or Cancel. Keeps the
// texts and the button ids each box offered. The dialog watcher is paused.
class CBoxAnswers
{
public:
    explicit CBoxAnswers(std::vector<int> answers);
    ~CBoxAnswers();

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
    std::atomic<bool> m_stop{false};
    std::mutex m_lock;
    std::vector<CBox> m_boxes;
    std::thread m_thread;
};

}  // namespace cwtest
