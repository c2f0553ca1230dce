#include "tests/app/CourseWindowTestSupport.h"

#include <memory>

#include "app/CourseWindow.h"
#include "course/Course.h"
#include "foundation/Settings.h"
#include "graphics/GdiplusSession.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/support/TestSupport.h"

namespace cwtest {

void PrepareWindowTest()
{
    static CGdiplusSession session;
    (void)session;
    filetest::OpenFileTestSettings();
    // The views draw through GDI. Under Wine, Direct3D 11 presents on a
    // thread of its own, and a present that meets the first showing of a
    // modal dialog can leave both waiting for good (Wine's ShowWindow and its
    // buffer swap). A test that is about 3D chooses its class itself.
    CSettings::SetInt(L"GraphicsClass", 0);
}

CCourseWindow* OpenNewCourseWindow(const std::wstring& title)
{
    return new CCourseWindow(new CCourse(title, std::wstring()));
}

namespace {

void SendKey(WORD virtualKey, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

}  // namespace

void KeyPress(WORD virtualKey, bool control)
{
    if (control)
        SendKey(VK_CONTROL, false);
    SendKey(virtualKey, false);
    SendKey(virtualKey, true);
    if (control)
        SendKey(VK_CONTROL, true);
    Sleep(100);
}

void TypeChar(wchar_t ch)
{
    INPUT input[2] = {};
    for (INPUT& one : input) {
        one.type = INPUT_KEYBOARD;
        one.ki.wScan = ch;
        one.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    input[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof input[0]);
    Sleep(100);
}

POINT ToScreen(HWND window, float x, float y)
{
    POINT point{LONG(x + 0.5f), LONG(y + 0.5f)};
    ClientToScreen(window, &point);
    return point;
}

// ---- Message boxes -------------------------------------------------------------------

CBoxAnswers::CBoxAnswers(std::vector<int> answers)
    : m_answers(std::move(answers)), m_answerer([this](HWND dialog) {
          const HWND message = GetDlgItem(dialog, 0xFFFF);
          if (!message)
              return 0;
          CBox box;
          box.text = GetWindowTextString(message);
          box.yes = GetDlgItem(dialog, IDYES) != nullptr;
          box.no = GetDlgItem(dialog, IDNO) != nullptr;
          box.cancel = GetDlgItem(dialog, IDCANCEL) != nullptr;
          {
              std::lock_guard<std::mutex> lock(m_lock);
              m_boxes.push_back(box);
          }
          if (m_next < m_answers.size())
              return m_answers[m_next++];
          return GetDlgItem(dialog, IDOK) ? IDOK : IDCANCEL;
      })
{
}

std::vector<CBoxAnswers::CBox> CBoxAnswers::Take()
{
    std::lock_guard<std::mutex> lock(m_lock);
    std::vector<CBox> boxes;
    boxes.swap(m_boxes);
    return boxes;
}

}  // namespace cwtest
