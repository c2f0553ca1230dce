#include "ui/MessageBox.h"

#include <windows.h>

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "ui/ModalState.h"
#include "ui/TimerPump.h"

namespace {

// The box makes its text control as wide as DrawText measures the longest
// line, but a glyph may reach a pixel past its advance (under Wine, the
// message font's "t" at the end of "a line that" loses its bar) and the
// control clips it. The control and the box get this much more room: less
// than a blank and a letter, so the lines still break where the box
// measured them.
constexpr int kTextOverhang = 2;
// The message box's text control.
constexpr int kTextControlId = 0xFFFF;

HHOOK g_widenHook = nullptr;

// Sees each message a window of the thread has handled; a box has laid
// itself out when its WM_INITDIALOG returns, before it first shows.
LRESULT CALLBACK WidenBoxText(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* handled = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && handled->message == WM_INITDIALOG) {
        const HWND box = handled->hwnd;
        const HWND text = GetDlgItem(box, kTextControlId);
        RECT boxRect;
        RECT textRect;
        if (text && GetWindowRect(box, &boxRect) && GetWindowRect(text, &textRect)) {
            const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
            SetWindowPos(text, nullptr, 0, 0, textRect.right - textRect.left + kTextOverhang,
                         textRect.bottom - textRect.top, flags | SWP_NOMOVE);
            SetWindowPos(box, nullptr, boxRect.left - kTextOverhang / 2, boxRect.top,
                         boxRect.right - boxRect.left + kTextOverhang, boxRect.bottom - boxRect.top, flags);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Widens the text of the boxes shown while it lives; a box shown from
// within another's loop is widened by the outer one's hook.
class CBoxTextWidening
{
public:
    CBoxTextWidening()
    {
        if (g_widenHook)
            return;
        g_widenHook = SetWindowsHookExW(WH_CALLWNDPROCRET, WidenBoxText, nullptr, GetCurrentThreadId());
        m_installed = g_widenHook != nullptr;
    }
    ~CBoxTextWidening()
    {
        if (m_installed) {
            UnhookWindowsHookEx(g_widenHook);
            g_widenHook = nullptr;
        }
    }
    CBoxTextWidening(const CBoxTextWidening&) = delete;
    CBoxTextWidening& operator=(const CBoxTextWidening&) = delete;

private:
    bool m_installed = false;
};

// Keeps a box's answer for the code that showed the box.
class CAnswerKeeper : public CDelegate<CMessageBox::Button>::CImpl
{
public:
    explicit CAnswerKeeper(CMessageBox::Button& answer) : m_answer(answer) {}
    void Invoke(CMessageBox::Button answer) override { m_answer = answer; }

private:
    CMessageBox::Button& m_answer;
};

}  // namespace

UINT CMessageBox::GetStyle(int kind)
{
    switch (kind) {
    case kError:
    case kFailure: return MB_ICONHAND;
    case kInformation: return MB_ICONASTERISK;
    case kWarning: return MB_ICONEXCLAMATION;
    case kYesNoCancel: return MB_ICONEXCLAMATION | MB_YESNOCANCEL;
    case kYesNo: return MB_ICONEXCLAMATION | MB_YESNO;
    default:
        TRACE_VALUE(int32_t, kind);
        ReportFailure();
        return MB_ICONHAND;
    }
}

CMessageBox::Button CMessageBox::GetButton(int answer)
{
    switch (answer) {
    case IDOK: return OK;
    case IDCANCEL: return Cancel;
    case IDYES: return Yes;
    case IDNO: return No;
    default:
        // No answer (the box could not be shown): nothing may go ahead as if
        // the user had agreed.
        TRACE_VALUE(int32_t, answer);
        ReportFailure(kFailSystemCall);
        return Cancel;
    }
}

void CMessageBox::Show(const std::wstring& text, int kind, CDelegate<Button> onResult)
{
    TRACE_VALUE(int32_t, kind);
    // The failure report's own box fires no timers: the program is in an
    // unknown state.
    if (kind != kFailure)
        PumpAfterMessage(WM_NULL);
    const UINT style = GetStyle(kind);

    // A task-modal box without an owner enables the thread's windows again
    // only after it has gone, so nothing is left to take the activation when
    // it goes: the window that had it gets it back, or the keys the user
    // types next would reach no window.
    const HWND active = GetActiveWindow();
    int answer;
    {
        CModalScope modalRun;
        CBoxTextWidening widening;
        const std::wstring caption = GetString(2001);
        answer = MessageBoxW(nullptr, text.c_str(), caption.c_str(), style | MB_TASKMODAL | MB_SETFOREGROUND);
    }
    if (active && !GetActiveWindow() && IsWindow(active) && IsWindowVisible(active) && IsWindowEnabled(active))
        SetActiveWindow(active);
    onResult(GetButton(answer));
}

CMessageBox::Button CMessageBox::Ask(const std::wstring& text, int kind)
{
    Button answer = Cancel;
    Show(text, kind, CDelegate<Button>(new CAnswerKeeper(answer)));
    return answer;
}
