#include "ui/MessageBox.h"

#include <windows.h>

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"

void CMessageBox::Show(const std::wstring& text, int kind, CDelegate<Button> onResult)
{
    TRACE_VALUE(int32_t, kind);
    UINT style = MB_ICONHAND;
    switch (kind) {
    case kError:
    case kFailure: style = MB_ICONHAND; break;
    case kInformation: style = MB_ICONASTERISK; break;
    case kWarning: style = MB_ICONEXCLAMATION; break;
    case kYesNoCancel: style = MB_ICONEXCLAMATION | MB_YESNOCANCEL; break;
    default: ReportFailure(); break;
    }

    int answer;
    {
        // The user may take as long as they like: no hang while the box is up.
        CUnwatchedSection unwatched;
        const std::wstring caption = GetString(2001);
        answer = MessageBoxW(nullptr, text.c_str(), caption.c_str(), style | MB_TASKMODAL | MB_SETFOREGROUND);
    }

    Button result = OK;
    switch (answer) {
    case IDOK: result = OK; break;
    case IDCANCEL: result = Cancel; break;
    case IDYES: result = Yes; break;
    case IDNO: result = No; break;
    default:
        TRACE_VALUE(int32_t, answer);
        ReportFailure();
        break;
    }
    onResult(result);
}
