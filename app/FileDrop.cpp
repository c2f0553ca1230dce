#include "app/FileDrop.h"

#include <shellapi.h>

#include <string>

#include "app/Application.h"
#include "app/CourseFiles.h"
#include "foundation/CrashLog.h"

void AcceptDroppedFiles(HWND window) { DragAcceptFiles(window, TRUE); }

void OnFilesDropped(HDROP drop, CCourseWindow* window)
{
    TRACE_POINT();
    if (!drop) {
        ReportFailure();
        return;
    }
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    TRACE_VALUE(int32_t, int32_t(count));
    for (UINT i = 0; i < count; ++i) {
        // Asked for its length first, so that no long path is cut short.
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        path.resize(DragQueryFileW(drop, i, &path[0], length + 1));
        if (path.empty() || !CanOpenAnotherCourseWindow())
            continue;
        OpenCourseFile(path, window);
    }
    DragFinish(drop);
}
