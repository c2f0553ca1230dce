#include "tests/app/CourseWindowTestSupport.h"

#include <gdiplus.h>

#include <memory>

#include "app/CourseWindow.h"
#include "course/Course.h"
#include "graphics/GdiplusSession.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/support/TestSupport.h"
#include "ui/ImageEncoder.h"
#include "ui/TimerPump.h"

namespace cwtest {

void PrepareWindowTest()
{
    static CGdiplusSession session;
    (void)session;
    filetest::OpenFileTestSettings();
}

CCourseWindow* OpenNewCourseWindow(const std::wstring& title)
{
    return new CCourseWindow(new CCourse(title, std::wstring()));
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
            PumpAfterMessage(message.message);
        }
        PumpTimers();
        if (condition())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void PumpFor(DWORD milliseconds)
{
    PumpUntil([] { return false; }, milliseconds);
}

void MouseAt(POINT screen, DWORD buttons, bool pump)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = LONG((screen.x * 65536 + width / 2) / width);
    input.mi.dy = LONG((screen.y * 65536 + height / 2) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &input, sizeof input);
    if (pump)
        PumpFor(60);
    else
        Sleep(60);
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

bool SaveScreenPicture(HWND window, const std::wstring& path)
{
    static CGdiplusSession session;
    RECT rect;
    if (!session.IsRunning() || !GetWindowRect(window, &rect))
        return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    bool saved = false;
    CLSID png;
    Gdiplus::GpBitmap* image = nullptr;
    if (copied && FindImageEncoder(L"image/png", png) &&
        Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) == Gdiplus::Ok) {
        saved = Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &png, nullptr) == Gdiplus::Ok;
        Gdiplus::DllExports::GdipDisposeImage(image);
    }
    DeleteObject(bitmap);
    return saved;
}

// ---- Message boxes -------------------------------------------------------------------

CBoxAnswers::CBoxAnswers(std::vector<int> answers)
    : m_answers(std::move(answers)), m_thread([this] {
          size_t next = 0;
          while (!m_stop) {
              Sleep(10);
              for (HWND dialog : FindProcessDialogs()) {
                  const HWND message = GetDlgItem(dialog, 0xFFFF);
                  if (!message)
                      continue;
                  CBox box;
                  box.text = GetWindowTextString(message);
                  box.yes = GetDlgItem(dialog, IDYES) != nullptr;
                  box.no = GetDlgItem(dialog, IDNO) != nullptr;
                  box.cancel = GetDlgItem(dialog, IDCANCEL) != nullptr;
                  {
                      std::lock_guard<std::mutex> lock(m_lock);
                      m_boxes.push_back(box);
                  }
                  int answer = GetDlgItem(dialog, IDOK) ? IDOK : IDCANCEL;
                  if (next < m_answers.size())
                      answer = m_answers[next++];
                  PressDialogButton(dialog, answer);
                  for (int i = 0; i < 300 && IsWindow(dialog) && IsWindowVisible(dialog); ++i)
                      Sleep(10);
              }
          }
      })
{
}

CBoxAnswers::~CBoxAnswers()
{
    m_stop = true;
    m_thread.join();
}

std::vector<CBoxAnswers::CBox> CBoxAnswers::Take()
{
    std::lock_guard<std::mutex> lock(m_lock);
    std::vector<CBox> boxes;
    boxes.swap(m_boxes);
    return boxes;
}

}  // namespace cwtest
