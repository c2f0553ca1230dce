#include "app/CoursePrintJob.h"

#include "app/PrintScene.h"
#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"

namespace {

// The document title of a page of several courses, or of none.
constexpr int kCoursesTitle = 2003;

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

bool CCoursePrintJob::Slot3() { return false; }
bool CCoursePrintJob::Slot4() { return false; }
bool CCoursePrintJob::Slot5() { return false; }
