#include "app/CoursePrintJob.h"

#include "app/CourseWindow.h"
#include "app/PrintScene.h"
#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Files.h"
#include "foundation/Strings.h"
#include "ui/MessageBox.h"

namespace {

// The document title of a page of several courses, or of none.
constexpr int kCoursesTitle = 2003;
// "This file is open in another course window ...", as when saving over it.
constexpr int kFileOpenText = 2702;

}  // namespace

CCoursePrintJob::CCoursePrintJob(CPrintScene* pageValue) : page(pageValue) {}

void CCoursePrintJob::GetTitle(std::wstring& title)
{
    CCourse* course = page ? page->GetFirstCourse() : nullptr;
    title = page && page->GetCourseCount() == 1 && course ? course->GetTitle() : GetString(kCoursesTitle);
}

int CCoursePrintJob::PrintPages()
{
    TRACE_POINT();
    if (!page) {
        ReportFailure();
        return 0;
    }
    page->LayoutForPrinting();
    return 1;
}

CScene* CCoursePrintJob::GetPrintContext(int) { return page; }

void CCoursePrintJob::GetOutputName(std::wstring& name)
{
    const CCourse* course = page && page->GetCourseCount() == 1 ? page->GetFirstCourse() : nullptr;
    if (!course) {
        GetTitle(name);
        return;
    }
    // A course's title is its file's name, extension and all.
    name = GetPathPart(course->GetPath().empty() ? course->GetTitle() : course->GetPath(), 0, 1);
}

bool CCoursePrintJob::TakeOutputFile(const std::wstring& path)
{
    TRACE_VALUE(std::wstring, path);
    // Printer output never goes into the file of a course open here; the
    // save dialog has already given a typed course file's name the
    // printer's extension.
    if (!IsOpenCourseFile(path))
        return true;
    CMessageBox::Show(GetString(kFileOpenText), CMessageBox::kError);
    return false;
}

bool CCoursePrintJob::IsOpenCourseFile(const std::wstring& path) const
{
    if (CCourseWindow::FindByCoursePath(path))
        return true;
    if (page) {
        for (const CPrintScene::CItem& item : page->items)
            if (item.course && IsSamePath(item.course->GetPath(), path))
                return true;
    }
    return false;
}

bool CCoursePrintJob::Slot3() { return false; }
bool CCoursePrintJob::Slot4() { return false; }
bool CCoursePrintJob::Slot5() { return false; }
