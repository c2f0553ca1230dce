#include "app/FileDrop.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/CourseFiles.h"
#include "foundation/CrashLog.h"
#include "foundation/Files.h"
#include "foundation/SystemFunctions.h"
#include "ui/MessageBox.h"
#include "ui/ModalState.h"

namespace {

// Each name of the list ends with a zero unit; an empty name ends the list.
bool IsListEndedWithin(const BYTE* bytes, size_t start, size_t size, size_t unit)
{
    bool nameStart = true;
    for (size_t at = start; at + unit <= size; at += unit) {
        const bool zero = bytes[at] == 0 && (unit == 1 || bytes[at + 1] == 0);
        if (zero && nameStart)
            return true;
        nameStart = zero;
    }
    return false;
}

// The shell's DragQueryFileW reads wherever the block's header points and on
// until it meets an empty name. A drop from the shell holds a DROPFILES
// header, then its list inside the block; anything else was forged.
bool IsReadableDrop(HDROP drop)
{
    const SIZE_T size = drop ? GlobalSize(drop) : 0;
    if (size < sizeof(DROPFILES))
        return false;
    const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(drop));
    if (!bytes)
        return false;
    DROPFILES header;
    std::memcpy(&header, bytes, sizeof header);
    const bool readable = header.pFiles >= sizeof(DROPFILES) && header.pFiles < size &&
                          IsListEndedWithin(bytes, header.pFiles, size, header.fWide ? sizeof(wchar_t) : 1);
    GlobalUnlock(drop);
    return readable;
}

// The dropped names, in order; empty for a block that is no drop.
std::vector<std::wstring> ReadDroppedPaths(HDROP drop)
{
    std::vector<std::wstring> paths;
    static const auto dragQueryFile = GetSystemFunction<decltype(DragQueryFileW)>(L"shell32.dll", "DragQueryFileW");
    if (!dragQueryFile) {
        ReportFailure(kFailSystemCall);
        return paths;
    }
    if (!IsReadableDrop(drop)) {
        TRACE_VALUE(const void*, drop);
        return paths;
    }
    const UINT count = dragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
    TRACE_VALUE(int32_t, int32_t(count));
    for (UINT i = 0; i < count; ++i) {
        // Asked for its length first, so that no long path is cut short.
        const UINT length = dragQueryFile(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        path.resize(dragQueryFile(drop, i, &path[0], length + 1));
        paths.push_back(path);
    }
    return paths;
}

// DragFinish frees the block; a handle that is no memory block is left alone.
void FinishDrop(HDROP drop)
{
    static const auto dragFinish = GetSystemFunction<decltype(DragFinish)>(L"shell32.dll", "DragFinish");
    if (!drop || GlobalSize(drop) == 0)
        return;
    if (dragFinish)
        dragFinish(drop);
    else
        ReportFailure(kFailSystemCall);
}

}  // namespace

// What DragAcceptFiles does, without mapping the shell at start-up.
void AcceptDroppedFiles(HWND window)
{
    SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
}

void OnFilesDropped(HDROP drop, CCourseWindow* window)
{
    TRACE_POINT();
    // A drop while a message or dialog is up could close the window it
    // belongs to; it is dropped, as a DDE command then is refused.
    const std::vector<std::wstring> paths = GetModalCount() == 0 ? ReadDroppedPaths(drop) : std::vector<std::wstring>();
    FinishDrop(drop);
    if (paths.size() == 1) {
        if (!paths[0].empty() && CanOpenAnotherCourseWindow())
            OpenCourseFile(paths[0], window);
        return;
    }

    // Several files: one message at the end at most, for the files that
    // could not be opened, or else the first thing a read left out.
    const CHeldCourseWindow held(window);
    std::vector<std::wstring> unopened;
    CCourseFileOpen firstNote;
    for (const std::wstring& path : paths) {
        if (path.empty() || !CanOpenAnotherCourseWindow())
            continue;
        const CCourseFileOpen opened = OpenCourseFileQuietly(path, held.Get());
        if (!opened.shown) {
            const std::wstring name = GetPathPart(path, 1, 2);
            unopened.push_back(name.empty() ? path : name);
        } else if (firstNote.message.empty()) {
            firstNote = opened;
        }
    }
    if (!unopened.empty())
        CMessageBox::Show(GetUnopenedFilesMessage(unopened), CMessageBox::kError);
    else if (!firstNote.message.empty())
        CMessageBox::Show(firstNote.message, firstNote.messageKind);
}
