#include "ui/MessageBox.h"

#include <windows.h>

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "ui/ModalState.h"
#include "ui/TimerPump.h"

UINT CMessageBox::GetStyle(int kind)
{
    switch (kind) {
    case kError:
    case kFailure: return MB_ICONHAND;
    case kInformation: return MB_ICONASTERISK;
    case kWarning: return MB_ICONEXCLAMATION;
    case kYesNoCancel: return MB_ICONEXCLAMATION | MB_YESNOCANCEL;
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
        const std::wstring caption = GetString(2001);
        answer = MessageBoxW(nullptr, text.c_str(), caption.c_str(), style | MB_TASKMODAL | MB_SETFOREGROUND);
    }
    if (active && !GetActiveWindow() && IsWindow(active) && IsWindowVisible(active) && IsWindowEnabled(active))
        SetActiveWindow(active);
    onResult(GetButton(answer));
}
