#include "app/OpenFileDialog.h"

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "app/CourseFiles.h"
#include "app/CourseWindow.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "foundation/SystemFunctions.h"
#include "ui/ModalState.h"

namespace {

constexpr DWORD kFileBufferSize = 1024;

}  // namespace

void ShowOpenFileDialog(CCourseWindow* window)
{
    TRACE_POINT();
    std::vector<wchar_t> buffer(kFileBufferSize, L'\0');
    // The filter's name and pattern, each ended by a NUL, and a second NUL
    // after the last pattern (the string's own terminator).
    std::wstring filter = GetString(2007) + L"%*.agl%";
    for (wchar_t& c : filter) {
        if (c == L'%')
            c = L'\0';
    }

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window ? window->hwnd : nullptr;
    dialog.hInstance = GetModuleHandleW(nullptr);
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = kFileBufferSize;
    dialog.lpstrInitialDir = L".";
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    dialog.lpstrDefExt = L"agl";

    static const auto getOpenFileName =
        GetSystemFunction<decltype(GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    static const auto extendedError =
        GetSystemFunction<decltype(CommDlgExtendedError)>(L"comdlg32.dll", "CommDlgExtendedError");
    const CHeldCourseWindow held(window);
    BOOL chosen = FALSE;
    // The owner stays enabled for the dialog, which disables it itself and
    // gives it the activation back when it closes.
    EnableFrameWindows(dialog.hwndOwner, false);
    if (getOpenFileName) {
        CModalScope modal;
        chosen = getOpenFileName(&dialog);
    }
    EnableFrameWindows(dialog.hwndOwner, true);

    if (chosen) {
        buffer.back() = L'\0';
        // Without its window, the file opens as a DDE open would.
        OpenCourseFile(buffer.data(), held.Get());
        return;
    }
    // Without the library no dialog could start.
    const DWORD error = getOpenFileName && extendedError ? extendedError() : DWORD(CDERR_INITIALIZATION);
    if (error != 0) {
        TRACE_VALUE(int32_t, int32_t(error));
        ReportFailure(kFailSystemCall);
    }
}
