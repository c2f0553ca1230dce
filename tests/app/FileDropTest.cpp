#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/CourseWindow.h"
#include "app/FileDrop.h"
#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"
#include "ui/FrameWindow.h"
#include "ui/ModalState.h"

using namespace filetest;

namespace {

// A drop handle as the shell makes it: a DROPFILES header followed by the
// wide paths, each ended by a NUL, and a NUL after the last.
HDROP MakeDrop(const std::vector<std::wstring>& paths)
{
    size_t characters = 1;
    for (const std::wstring& path : paths)
        characters += path.size() + 1;
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + characters * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(header) + sizeof(DROPFILES));
    for (const std::wstring& path : paths) {
        std::memcpy(text, path.c_str(), path.size() * sizeof(wchar_t));
        text += path.size() + 1;
    }
    GlobalUnlock(block);
    return HDROP(block);
}

// A block as a forger might make it: a DROPFILES header (as much of it as
// fits) and the rest of the block filled with one byte.
HDROP MakeForgedDrop(SIZE_T size, DWORD pFiles, BOOL wide, BYTE fill)
{
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    auto* bytes = static_cast<BYTE*>(GlobalLock(block));
    std::memset(bytes, fill, size);
    DROPFILES header = {};
    header.pFiles = pFiles;
    header.fWide = wide;
    std::memcpy(bytes, &header, std::min<SIZE_T>(size, sizeof header));
    GlobalUnlock(block);
    return HDROP(block);
}

// A course window that hands its drops to the course files, as the course
// window does.
class CDropCourseWindow : public CCourseWindow
{
public:
    CDropCourseWindow() : CCourseWindow(new CCourse(L"Drop target", L"")) { AcceptDroppedFiles(hwnd); }
    void OnDropFiles(HDROP drop) override { OnFilesDropped(drop, this); }
};

std::wstring WriteCourse(const std::wstring& folder, const std::wstring& name)
{
    const std::wstring path = folder + L"\\" + name;
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(name, path);
    WriteBytes(path, TextBlockOf(*course));
    return path;
}

std::vector<std::wstring> CourseTitles()
{
    std::vector<std::wstring> titles;
    for (CCourseWindow* window : CCourseWindow::GetCourseWindows())
        titles.push_back(window->GetCourse()->GetTitle());
    return titles;
}

}  // namespace

CHILD_TEST(FileDrop, DroppedFilesOpenEachInItsOwnWindow)
{
    OpenFileTestSettings();
    const std::wstring folder = MakeTempFolder(L"drop-files");
    const std::wstring first = WriteCourse(folder, L"First dropped.agl");
    const std::wstring second = WriteCourse(folder, L"Second dropped.agl");
    CDropCourseWindow* frame = new CDropCourseWindow;
    if ((GetWindowLongW(frame->hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) == 0)
        return 1;
    SendMessageW(frame->hwnd, WM_DROPFILES, WPARAM(MakeDrop({first, second})), 0);
    const std::vector<std::wstring> expected{L"Second dropped.agl", L"First dropped.agl", L"Drop target"};
    if (CourseTitles() != expected)
        return 2;
    if (CCourseWindow::GetCourseWindows().front()->GetCourse()->GetObjectCount() != 3)
        return 3;
    return CDialogWatcher::TakeAnsweredTexts().empty() && ReportCount() == 0 ? 0 : 4;
}

CHILD_TEST(FileDrop, DroppedFilesStopAtTheWindowLimit)
{
    OpenFileTestSettings();
    const std::wstring folder = MakeTempFolder(L"drop-limit");
    std::vector<std::wstring> paths;
    for (int i = 0; i < 3; ++i)
        paths.push_back(WriteCourse(folder, L"Limit " + std::to_wstring(i) + L".agl"));
    CDropCourseWindow* frame = new CDropCourseWindow;
    // One place left below the limit of 40 frame windows.
    while (CFrameWindowList::GetFrames().size() < size_t(kMaxCourseWindows - 1))
        new CCourseWindow(new CCourse(L"", L""));
    OnFilesDropped(MakeDrop(paths), nullptr);
    if (CFrameWindowList::GetFrames().size() != size_t(kMaxCourseWindows))
        return 1;
    if (CCourseWindow::GetCourseWindows().front()->GetCourse()->GetTitle() != L"Limit 0.agl")
        return 2;
    if (CanOpenAnotherCourseWindow())
        return 3;
    (void)frame;
    return CDialogWatcher::TakeAnsweredTexts().empty() && ReportCount() == 0 ? 0 : 4;
}

CHILD_TEST(FileDrop, ADroppedFileThatIsNoCourseOpensNothing)
{
    OpenFileTestSettings();
    const std::wstring folder = MakeTempFolder(L"drop-no-course");
    const std::wstring path = folder + L"\\notes.txt";
    WriteBytes(path, "shopping list\r\n");
    new CDropCourseWindow;
    OnFilesDropped(MakeDrop({path}), nullptr);
    if (CCourseWindow::GetCourseWindows().size() != 1)
        return 1;
    // The reader says that no course was found in it.
    const std::vector<std::wstring> said{GetString(2687)};
    return CDialogWatcher::TakeAnsweredTexts() == said && ReportCount() == 0 ? 0 : 2;
}

CHILD_TEST(FileDrop, AForgedDropOrOneWhileAMessageIsUpOpensNothing)
{
    OpenFileTestSettings();
    const std::wstring course = WriteCourse(MakeTempFolder(L"drop-forged"), L"Real.agl");
    CDropCourseWindow* frame = new CDropCourseWindow;
    const struct
    {
        SIZE_T size;
        DWORD pFiles;
        BOOL wide;
        BYTE fill;
    } kForged[] = {
        {64, 0x7FFFFFF0, TRUE, 0},            // the list far past the block's end
        {64, 64, TRUE, 0},                    // the list starting at the block's end
        {64, 4, TRUE, 0},                     // the list inside the header
        {64, sizeof(DROPFILES), TRUE, 'A'},   // no terminator, wide
        {64, sizeof(DROPFILES), FALSE, 'A'},  // no terminator, narrow
        {8, sizeof(DROPFILES), TRUE, 0},      // a block smaller than the header
    };
    for (const auto& forged : kForged) {
        const HDROP drop = MakeForgedDrop(forged.size, forged.pFiles, forged.wide, forged.fill);
        SendMessageW(frame->hwnd, WM_DROPFILES, WPARAM(drop), 0);
    }
    SendMessageW(frame->hwnd, WM_DROPFILES, 0, 0);
    if (ReportCount() != 0)
        return 1;
    {
        CModalScope modal;
        SendMessageW(frame->hwnd, WM_DROPFILES, WPARAM(MakeDrop({course})), 0);
    }
    if (CCourseWindow::GetCourseWindows().size() != 1)
        return 2;
    return CDialogWatcher::TakeAnsweredTexts().empty() && ReportCount() == 0 ? 0 : 3;
}

CHILD_TEST(FileDrop, ManyFilesThatCannotBeOpenedGiveOneMessage)
{
    OpenFileTestSettings();
    const std::wstring folder = MakeTempFolder(L"drop-many");
    const std::wstring notes = folder + L"\\notes.txt";
    WriteBytes(notes, "shopping list\r\n");
    std::vector<std::wstring> paths{notes, WriteCourse(folder, L"Good.agl")};
    for (int i = 0; i < 12; ++i)
        paths.push_back(folder + L"\\Missing " + std::to_wstring(i) + L".agl");
    CDropCourseWindow* frame = new CDropCourseWindow;
    SendMessageW(frame->hwnd, WM_DROPFILES, WPARAM(MakeDrop(paths)), 0);
    if (CourseTitles() != std::vector<std::wstring>{L"Good.agl", L"Drop target"})
        return 1;
    // The first files are named, the rest only counted.
    const std::vector<std::wstring> said = CDialogWatcher::TakeAnsweredTexts();
    if (said.size() != 1 || said[0].find(L"notes.txt") == std::wstring::npos ||
        said[0].find(L"Missing 11.agl") != std::wstring::npos)
        return 2;
    return ReportCount() == 0 ? 0 : 3;
}
