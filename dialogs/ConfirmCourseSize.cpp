#include "dialogs/ConfirmCourseSize.h"

#include "course/Course.h"
#include "dialogs/LengthFormat.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "ui/MessageBox.h"

namespace {

constexpr int kTooWideText = 2679;
constexpr int kTooLongText = 2678;
// 76 m: the whole metres below the limit, which a metric user reads.
constexpr float kMetricLimitShown = 29921.0f;

}  // namespace

bool ConfirmCourseSize(bool metric, float width, float height)
{
    TRACE_VALUE(float, width);
    TRACE_VALUE(float, height);
    const float limit = CCourse::kMaxRingSize;
    int refusedText = 0;
    if (!(width <= limit))
        refusedText = kTooWideText;
    else if (!(height <= limit))
        refusedText = kTooLongText;
    if (refusedText == 0)
        return true;
    const std::wstring limitText = metric ? FormatLength(kMetricLimitShown, EUnitKind::kMetres, true)
                                          : FormatLength(limit, EUnitKind::kFeet, true);
    CMessageBox::Show(GetStringWithArg(refusedText, limitText), CMessageBox::kError);
    return false;
}
