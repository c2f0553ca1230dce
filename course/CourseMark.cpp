#include "course/CourseMark.h"

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

namespace {

CCourseMarkMaker g_maker = nullptr;

}  // namespace

void SetCourseMarkMaker(CCourseMarkMaker maker) { g_maker = maker; }

std::unique_ptr<CCourseMark> MakeCourseMark(float x, float y, CCourse* course)
{
    if (g_maker)
        return g_maker(x, y, course);
    TRACE_POINT();
    ReportFailure();
    return nullptr;
}
