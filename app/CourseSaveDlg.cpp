#include "app/CourseSaveDlg.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "app/CourseFiles.h"
#include "app/CourseWindow.h"
#include "course/Course.h"
#include "dialogs/HintDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/Files.h"
#include "foundation/RecentFiles.h"
#include "foundation/Strings.h"
#include "graphics/ImageCodec.h"
#include "ui/MessageBox.h"

namespace {

// The older format may not hold everything of a course.
constexpr int kOlderFormatLossHint = 2712;

CImageExportRunner g_imageExportRunner = nullptr;

// UTF-16LE bytes of the text, low byte first.
std::string ToUtf16LeBytes(const std::wstring& text)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const wchar_t unit : text) {
        bytes.push_back(char(unit & 0xFF));
        bytes.push_back(char((unit >> 8) & 0xFF));
    }
    return bytes;
}

std::vector<const CCourseFileWindow*>& GetExistingFileWindows()
{
    static std::vector<const CCourseFileWindow*> windows;
    return windows;
}

}  // namespace

CCourseFileWindow::CCourseFileWindow() { GetExistingFileWindows().push_back(this); }

CCourseFileWindow::~CCourseFileWindow()
{
    std::vector<const CCourseFileWindow*>& windows = GetExistingFileWindows();
    windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
}

bool CCourseFileWindow::Exists(const CCourseFileWindow* window)
{
    const std::vector<const CCourseFileWindow*>& windows = GetExistingFileWindows();
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

void SetImageExportRunner(CImageExportRunner runner) { g_imageExportRunner = runner; }

CCourseSaveDlg::CCourseSaveDlg(CCourseFileWindow& courseWindow, float viewWidthValue, float viewHeightValue)
    : CSaveDlg(courseWindow.GetDialogOwner(), std::wstring()),
      window(courseWindow),
      viewWidth(viewWidthValue),
      viewHeight(viewHeightValue),
      course(courseWindow.GetCourse())
{
    TRACE_POINT();
    if (!course) {
        ReportFailure();
        return;
    }
    path = course->GetPath().empty() ? course->GetTitle() : course->GetPath();
    const bool olderFirst = course->GetWriteVersion3();
    if (olderFirst)
        olderFormatIndex = AddFormat(L"agl", GetString(2009));
    else
        currentFormatIndex = AddFormat(L"agl", GetString(2008));
    if (g_imageExportRunner) {
        for (int i = 0; i < kImageCodecCount; ++i) {
            const CImageCodec* codec = GetImageCodec(i);
            if (!codec || codec->IsExcludedFromSaveList())
                continue;
            AddFormat(codec->GetKey(), GetStringWith2Args(codec->GetPaletteMode() == 2 ? 2011 : 2010,
                                                          codec->GetFormatName(), codec->GetKey()));
        }
        epsIndex = AddFormat(L"eps", GetStringWith2Args(2011, L"EPS", L"eps"));
    }
    textIndex = AddFormat(L"txt", GetString(2012));
    if (olderFirst)
        currentFormatIndex = AddFormat(L"agl", GetString(2008));
    else
        olderFormatIndex = AddFormat(L"agl", GetString(2009));
}

void CCourseSaveDlg::OnFileChosen(const std::wstring& path, int format)
{
    TRACE_VALUE(int32_t, format);
    chosenPath = path;
    if (!course) {
        Finish(kSaveFailed);
        return;
    }
    if (format == currentFormatIndex) {
        SaveCourseAs(false, false);
    } else if (format == olderFormatIndex) {
        // A course kept in the older format takes the file as its own.
        SaveCourseAs(true, course->GetWriteVersion3());
    } else if (format == textIndex) {
        SaveSummary();
    } else if (format == epsIndex) {
        RunImageExport(L"FileEPS");
    } else if (const CImageCodec* codec = FindCodecForFileName(path)) {
        RunImageExport(L"File" + codec->GetExtension());
    } else {
        TRACE_VALUE(std::wstring, path);
        ReportFailure();
        Finish(kSavedOtherOutput);
    }
}

void CCourseSaveDlg::OnCancelled() { Finish(kSaveCancelled); }

void CCourseSaveDlg::OnError() { Finish(kSavedOtherOutput); }

void CCourseSaveDlg::Finish(int result)
{
    if (CCourseFileWindow::Exists(&window))
        OnSaveFinished(window, result);
}

void CCourseSaveDlg::RunImageExport(const std::wstring& settingsName)
{
    if (!g_imageExportRunner) {
        ReportFailure();
        Finish(kSavedOtherOutput);
        return;
    }
    g_imageExportRunner(*this, settingsName);
}

void CCourseSaveDlg::SaveCourseAs(bool version3, bool adoptPath)
{
    TRACE_VALUE(bool, version3);
    // Nothing about the course changes before its file is safely written.
    if (!window.IsPathFreeForSave(chosenPath)) {
        Finish(kSaveFailed);
        return;
    }
    std::string text;
    const bool written = WriteCourseText(*course, false, version3, text) && ReplaceFileContent(chosenPath, text);
    TRACE_VALUE(std::string, text);
    if (!written) {
        CMessageBox::Show(GetStringWithArg(2689, chosenPath), CMessageBox::kError);
        Finish(kSaveFailed);
        return;
    }

    const std::wstring fileName = GetPathPart(chosenPath, 1, 2);
    if (!version3) {
        course->ClearReadFromVersion3();
        course->SetTitle(fileName, chosenPath);
        Finish(kSavedCurrentFormat);
        return;
    }

    if (adoptPath)
        course->SetTitle(fileName, chosenPath);
    int result = kSavedOtherOutput;
    // A course read from the older format, or kept in it, counts as saved.
    // Any other may have lost details in the file: it is modified until it
    // is saved in the current format (also when it was not, and when the
    // file is its own), and the user learns why.
    const bool olderFormatsOwn = course->IsReadFromVersion3() || course->GetWriteVersion3();
    if (!olderFormatsOwn) {
        course->MarkModifiedUntilSaved();
        course->OnCourseChanged();
    } else if (course->IsModified() || !IsSamePath(chosenPath, course->GetPath())) {
        // A course read from the older format keeps its history.
        course->MarkUnmodified(!course->IsReadFromVersion3());
        course->OnCourseChanged();
    }
    if (course->GetPath().empty()) {
        course->SetTitle(fileName, std::wstring());
        result = kSavedUntitledOlderFormat;
    }
    // The course is not touched after the hint.
    if (!olderFormatsOwn)
        ShowHint(kOlderFormatLossHint, L"QX3", 1);
    Finish(result);
}

void CCourseSaveDlg::SaveSummary()
{
    TRACE_POINT();
    std::wostringstream summary;
    summary << wchar_t(0xFEFF);
    course->DescribeCourse(summary, false);
    int result = kSavedOtherOutput;
    if (!ReplaceFileContent(chosenPath, ToUtf16LeBytes(summary.str()))) {
        CMessageBox::Show(GetStringWithArg(2689, chosenPath), CMessageBox::kError);
        result = kSaveFailed;
    }
    Finish(result);
}

void OnSaveFinished(CCourseFileWindow& window, int result)
{
    TRACE_VALUE(int32_t, result);
    CCourse* course = window.GetCourse();
    if (!course) {
        ReportFailure();
        window.StopClosing();
        return;
    }
    switch (result) {
    case kSavedCurrentFormat:
        GetRecentFiles().Add(course->GetPath());
        if (window.IsClosing()) {
            window.DestroyWindowAndCourse(true);
        } else {
            course->MarkUnmodified(false);
            course->OnCourseChanged();
        }
        return;
    case kSavedUntitledOlderFormat:
        course->OnCourseChanged();
        break;
    case kSavedOtherOutput:
        break;
    case kSaveCancelled:
    case kSaveFailed:
        window.StopClosing();
        return;
    default:
        ReportFailure();
        break;
    }
    if (window.IsClosing())
        window.RequestClose();
    else
        window.StopClosing();
}

void ShowSaveDialog(CCourseFileWindow& window, float viewWidth, float viewHeight)
{
    TRACE_POINT();
    (new CCourseSaveDlg(window, viewWidth, viewHeight))->Run();
}
