#include "app/Clipboard.h"

#include <cstring>
#include <sstream>

#include "app/Application.h"
#include "app/CourseFiles.h"
#include "app/CourseScene.h"
#include "course/Course.h"
#include "dialogs/HintDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/Rect.h"
#include "foundation/Strings.h"
#include "graphics/ClipboardBytes.h"
#include "graphics/GdiGraphics.h"
#include "ui/MessageBox.h"

namespace {

const wchar_t kBlockedClipboardText[] =
    L"Clipboard access is being blocked by another application. The only application this has been "
    L"reported to be a problem with is WebRoot SecureAnywhere. To avoid this problem:\n\n"
    L"1) Open SecureAnywhere\n"
    L"2) Click Identity & Privacy\n"
    L"3) Click View / Edit Protected Applications\n"
    L"4) Find Brisklane Fendrel and set it to Allow.";

// Opens and empties the clipboard for writing; false, after telling the
// user, while another program holds it.
bool OpenClipboardForWriting(HWND owner)
{
    if (!OpenClipboard(owner)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        CMessageBox::Show(GetString(2671), CMessageBox::kError);
        return false;
    }
    if (!EmptyClipboard()) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
    return true;
}

void CloseClipboardAfterWriting()
{
    if (!CloseClipboard()) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
}

bool PutClipboardText(const std::string& text)
{
    return PutClipboardBytes(CF_TEXT, text.c_str(), text.size() + 1);
}

// The whole ring as a 2D map, one course unit to the pixel.
HENHMETAFILE DrawCourseMetafile(CCourse& course)
{
    TRACE_POINT();
    const HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    if (!dc) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
        return nullptr;
    }
    {
        const CRectF ring = course.GetRingRect(true, true);
        CCourseMapScene scene(&course);
        scene.FitView(ring.Width(), ring.Height(), 0.0f, 0.0f);
        // The canvas puts its objects out of the metafile's context as it goes.
        CGdiGraphics canvas;
        canvas.SetDeviceContext(dc);
        canvas.SetScene(&scene);
        canvas.SetViewport(ring.Width(), ring.Height());
        canvas.RenderScene();
    }
    if (!GdiFlush()) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
    const HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    if (!metafile) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
    return metafile;
}

// The clipboard's CF_TEXT. False when the user was told why nothing could
// be read; true with an empty text when the clipboard holds no text.
// The clipboard's course text; false, with the message the user is to see,
// while another program holds the clipboard or its text cannot be read.
bool ReadClipboardCourseText(std::string& text, std::wstring& message)
{
    TRACE_POINT();
    text.clear();
    if (!IsClipboardFormatAvailable(CF_TEXT))
        return true;
    if (!OpenClipboard(nullptr)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        message = GetString(2671);
        return false;
    }
    const HANDLE data = GetClipboardData(CF_TEXT);
    const char* characters = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (characters) {
        // A block without a terminator ends where the block ends.
        const size_t size = GlobalSize(data);
        text.assign(characters, strnlen(characters, size));
        GlobalUnlock(data);
    }
    CloseClipboard();
    if (!characters) {
        message = kBlockedClipboardText;
        return false;
    }
    return true;
}

}  // namespace

bool CopyCourse(CCourse& course, HWND owner, int commandId)
{
    TRACE_VALUE(int32_t, commandId);
    const bool selectedOnly = course.HasSelection();
    if (!OpenClipboardForWriting(owner))
        return false;
    std::string text;
    bool textPut = false;
    if (WriteCourseText(course, selectedOnly, false, text))
        textPut = PutClipboardText(text);
    if (const HENHMETAFILE metafile = DrawCourseMetafile(course)) {
        if (!SetClipboardData(CF_ENHMETAFILE, metafile)) {
            TRACE_VALUE(int32_t, int32_t(GetLastError()));
            ReportFailure(kFailSystemCall);
            DeleteEnhMetaFile(metafile);
        }
    }
    CloseClipboardAfterWriting();
    if (textPut && commandId == 2112)
        ShowHint(2704, L"Clipboard", 1);
    return textPut;
}

bool CutCourseSelection(CCourse& course, HWND owner)
{
    TRACE_POINT();
    if (!CopyCourse(course, owner, 2110))
        return false;
    course.DeleteSelected();
    course.CommitUndoStepById(2110);
    course.OnCourseChanged();
    return true;
}

bool CopyCourseSummary(CCourse& course, HWND owner)
{
    TRACE_POINT();
    course.DeselectAll(false);
    if (!OpenClipboardForWriting(owner))
        return false;
    std::wostringstream summary;
    course.DescribeCourse(summary, false);
    const std::wstring text = summary.str();
    const bool put = PutClipboardBytes(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    CloseClipboardAfterWriting();
    return put;
}

bool CopyCourseVersion3(CCourse& course, HWND owner)
{
    TRACE_POINT();
    if (!OpenClipboardForWriting(owner))
        return false;
    std::string text;
    const bool put = WriteCourseText(course, false, true, text) && PutClipboardText(text);
    CloseClipboardAfterWriting();
    return put;
}

std::string GetClipboardCourseText()
{
    std::string text;
    std::wstring message;
    if (!ReadClipboardCourseText(text, message))
        CMessageBox::Show(message, CMessageBox::kError);
    return text;
}

bool PasteFromClipboard(CCourse& course, bool madeFromTemplate)
{
    TRACE_POINT();
    std::string text;
    std::wstring refusal;
    CCourseRead read;
    if (ReadClipboardCourseText(text, refusal)) {
        const bool replace = !course.IsModified() && course.GetPath().empty() && !madeFromTemplate;
        std::istringstream block(text);
        const bool had3DCamera = course.Get3DCamera();
        read = course.ReadTextBlock(block, !replace);
        if (replace)
            KeepWithin3DBudget(course, had3DCamera);
    }
    // The messages come last: the window of the course may close while one
    // is up, and the course with it.
    if (!read) {
        course.OnCourseChanged();
        if (!refusal.empty())
            CMessageBox::Show(refusal, CMessageBox::kError);
        else
            TellCourseRead(read);
        return false;
    }
    course.CommitUndoStepById(2120);
    course.OnCourseChanged();
    const bool duplicates = course.SelectionDuplicatesOthers();
    TellCourseRead(read);
    if (duplicates)
        ShowHint(2705, L"Clipboard", 1);
    return true;
}

bool CanPaste() { return IsClipboardFormatAvailable(CF_TEXT) != 0; }
