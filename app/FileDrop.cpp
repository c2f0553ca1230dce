#include "app/FileDrop.h"

#include <shellapi.h>

#include <string>

#include "app/Application.h"
#include "app/CourseFiles.h"
#include "foundation/CrashLog.h"
#include "foundation/SystemFunctions.h"

// What DragAcceptFiles does, without mapping the shell at start-up.
void AcceptDroppedFiles(HWND window)
{
    SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
}

void OnFilesDropped(HDROP drop, CCourseWindow* window)
{
    TRACE_POINT();
    if (!drop) {
        ReportFailure();
        return;
    }
    static const auto dragQueryFile = GetSystemFunction<decltype(DragQueryFileW)>(L"shell32.dll", "DragQueryFileW");
    static const auto dragFinish = GetSystemFunction<decltype(DragFinish)>(L"shell32.dll", "DragFinish");
    if (!dragQueryFile || !dragFinish) {
        ReportFailure(kFailSystemCall);
        return;
    }
    const UINT count = dragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
    TRACE_VALUE(int32_t, int32_t(count));
    for (UINT i = 0; i < count; ++i) {
        // Asked for its length first, so that no long path is cut short.
        const UINT length = dragQueryFile(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        path.resize(dragQueryFile(drop, i, &path[0], length + 1));
        if (path.empty() || !CanOpenAnotherCourseWindow())
            continue;
        OpenCourseFile(path, window);
    }
    dragFinish(drop);
}
