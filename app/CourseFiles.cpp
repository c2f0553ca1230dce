#include "app/CourseFiles.h"

#include <windows.h>

#include <algorithm>
#include <deque>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "app/Application.h"
#include "app/CourseWindow.h"
#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Files.h"
#include "foundation/RecentFiles.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "ui/FrameWindow.h"
#include "ui/MessageBox.h"

namespace {

// Tries this many names before giving up on a file of its own.
constexpr int kMaxTemporaryNames = 100;

void RefreshAllCommandStates()
{
    for (CFrameListEntry* entry : CFrameWindowList::GetFrames()) {
        if (CFrameWindow* frame = dynamic_cast<CFrameWindow*>(entry))
            frame->UpdateCommandStates();
    }
}

CCourseWindow* GetFrontCourseWindow()
{
    const std::deque<CFrameListEntry*>& frames = CFrameWindowList::GetFrames();
    return frames.empty() ? nullptr : dynamic_cast<CCourseWindow*>(frames.front());
}

bool WriteAll(HANDLE file, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = DWORD(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return FlushFileBuffers(file) != 0;
}

}  // namespace

HANDLE CreateTemporaryBeside(const std::wstring& path, std::wstring& temporaryPath)
{
    // CREATE_NEW never takes over a file that is there already.
    for (int n = 1; n <= kMaxTemporaryNames; ++n) {
        temporaryPath = path + L"~" + std::to_wstring(n) + L".tmp";
        const HANDLE file = CreateFileW(temporaryPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return file;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    TRACE_VALUE(int32_t, int32_t(GetLastError()));
    temporaryPath.clear();
    return INVALID_HANDLE_VALUE;
}

namespace {

// Windows refuses to replace a read-only file or a folder; the check makes
// that hold wherever the file system would let the rename pass.
bool MayReplace(const std::wstring& path)
{
    if (path.empty())
        return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        TRACE_VALUE(int32_t, int32_t(attributes));
        return false;
    }
    return true;
}

// The written temporary file takes the path's place; when it cannot, or was
// not written, it goes.
bool MoveTemporaryOver(const std::wstring& temporaryPath, const std::wstring& path, bool written)
{
    if (written &&
        MoveFileExW(temporaryPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    TRACE_VALUE(int32_t, int32_t(GetLastError()));
    DeleteFileW(temporaryPath.c_str());
    return false;
}

}  // namespace

bool ReplaceFileContent(const std::wstring& path, const std::string& bytes)
{
    TRACE_VALUE(std::wstring, path);
    if (!MayReplace(path))
        return false;
    std::wstring temporaryPath;
    const HANDLE file = CreateTemporaryBeside(path, temporaryPath);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool written = WriteAll(file, bytes);
    const bool closed = CloseHandle(file) != 0;
    return MoveTemporaryOver(temporaryPath, path, written && closed);
}

bool ReplaceFileByWriter(const std::wstring& path, const std::function<bool(const std::wstring&)>& write)
{
    TRACE_VALUE(std::wstring, path);
    if (!MayReplace(path))
        return false;
    std::wstring temporaryPath;
    const HANDLE file = CreateTemporaryBeside(path, temporaryPath);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    // A writer that claims success may still have left nothing behind.
    bool written = write(temporaryPath);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (written && (!GetFileAttributesExW(temporaryPath.c_str(), GetFileExInfoStandard, &data) ||
                    (data.nFileSizeLow == 0 && data.nFileSizeHigh == 0)))
        written = false;
    return MoveTemporaryOver(temporaryPath, path, written);
}

bool WriteCourseText(CCourse& course, bool selectedOnly, bool version3, std::string& text)
{
    std::ostringstream block;
    course.WriteTextBlock(block, selectedOnly, version3);
    if (block.fail()) {
        text.clear();
        return false;
    }
    text = block.str();
    return true;
}

bool WriteCourseFile(CCourse& course)
{
    const std::wstring path = course.GetPath();
    TRACE_VALUE(std::wstring, path);
    if (path.empty()) {
        // An untitled course is saved through the save dialog.
        ReportFailure();
        return false;
    }
    course.DeselectAll(false);
    std::string text;
    if (WriteCourseText(course, false, course.GetWriteVersion3(), text) && ReplaceFileContent(path, text))
        return true;
    CMessageBox::Show(GetStringWithArg(2689, path), CMessageBox::kError);
    return false;
}

bool SaveCourseAsTemplate(CCourse& course)
{
    TRACE_POINT();
    std::string text;
    if (!WriteCourseText(course, false, false, text))
        return false;
    CSettings::SetString(L"Template", text);
    return true;
}

bool IsCourseFile(const std::wstring& path)
{
    uint64_t size = 0;
    return IsDiskFile(path, size) && size <= CCourse::kMaxTextBytes;
}

bool TellCourseRead(const CCourseRead& read)
{
    if (read.messageId != 0)
        CMessageBox::Show(GetString(read.messageId), int(read.style));
    return bool(read);
}

std::wstring GetUnopenedFilesMessage(const std::vector<std::wstring>& names)
{
    std::wstring list;
    for (size_t i = 0; i < names.size() && i < kMaxNamedUnopenedFiles; ++i)
        list += (i > 0 ? L", \u201C" : L"\u201C") + names[i] + L"\u201D";
    if (names.size() > kMaxNamedUnopenedFiles)
        list += L" (+" + std::to_wstring(names.size() - kMaxNamedUnopenedFiles) + L")";
    return GetStringWithArg(2670, list);
}

CHeldCourseWindow::CHeldCourseWindow(CCourseWindow* window)
    : m_window(window), m_hwnd(window ? window->hwnd : nullptr)
{
}

CCourseWindow* CHeldCourseWindow::Get() const
{
    if (!m_window || !m_hwnd)
        return nullptr;
    for (CCourseWindow* window : CCourseWindow::GetCourseWindows()) {
        if (window == m_window && window->hwnd == m_hwnd)
            return window;
    }
    return nullptr;
}

CCourseFileOpen OpenCourseFileQuietly(const std::wstring& path, CCourseWindow* requestingWindow)
{
    TRACE_VALUE(std::wstring, path);
    CCourseFileOpen result;
    if (!requestingWindow)
        requestingWindow = GetFrontCourseWindow();

    for (CCourseWindow* window : CCourseWindow::GetCourseWindows()) {
        CCourse* course = window->GetCourse();
        if (!course || !IsSamePath(course->GetPath(), path))
            continue;
        GetRecentFiles().Add(path);
        if (window == requestingWindow) {
            window->Activate();
        } else {
            // The course moves into a window of its own; the old window goes
            // without asking, since nothing of the course is lost.
            window->DestroyWindowAndCourse(false);
            course->SetOpenedFromFile(true);
            new CCourseWindow(course);
        }
        RefreshAllCommandStates();
        result.shown = true;
        return result;
    }

    std::ifstream stream;
    if (IsCourseFile(path))
        OpenInputFileStream(stream, path, false);
    std::unique_ptr<CCourse> course;
    if (stream.is_open()) {
        course = std::make_unique<CCourse>(GetPathPart(path, 1, 2), path);
        course->SetOpenedFromFile(true);
        const CCourseRead read = course->ReadTextBlock(stream, false);
        result.shown = bool(read);
        if (read.messageId != 0) {
            result.message = GetString(read.messageId);
            result.messageKind = int(read.style);
        }
        KeepWithin3DBudget(*course, false);
        // Undo goes back no further than the course as read: the history
        // started from the empty course the reader was made as.
        course->MarkUnmodified(true);
    } else {
        // The reader would only say that no course was found in it.
        result.message = GetUnopenedFilesMessage({path});
        result.messageKind = CMessageBox::kError;
    }
    if (!result.shown) {
        GetRecentFiles().Remove(path);
        if (requestingWindow)
            requestingWindow->UpdateCommandStates();
        return result;
    }
    GetRecentFiles().Add(path);
    new CCourseWindow(course.release());
    RefreshAllCommandStates();
    return result;
}

bool OpenCourseFile(const std::wstring& path, CCourseWindow* requestingWindow)
{
    // The message comes last: nothing of the open touches a window after it.
    const CCourseFileOpen opened = OpenCourseFileQuietly(path, requestingWindow);
    if (!opened.message.empty())
        CMessageBox::Show(opened.message, opened.messageKind);
    return opened.shown;
}
