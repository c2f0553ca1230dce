#include "course/CourseNumbering.h"

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

namespace {

CCourseNumberingMaker g_maker = nullptr;

}  // namespace

void SetCourseNumberingMaker(CCourseNumberingMaker maker) { g_maker = maker; }

std::unique_ptr<CCourseNumbering> MakeCourseNumbering(CCourse* course, int styleIndex, bool flag, int kind)
{
    if (g_maker)
        return g_maker(course, styleIndex, flag, kind);
    TRACE_POINT();
    ReportFailure();
    return nullptr;
}
