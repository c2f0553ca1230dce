#include "app/CourseSizeDlg.h"

#include "course/Course.h"
#include "dialogs/ConfirmCourseSize.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kSimpleTitleText = 2321;
constexpr int kWidthText = 2322;
constexpr int kHeightText = 2323;
constexpr int kSurroundTitleText = 2261;
constexpr int kSimpleCommand = 2134;
constexpr int kSurroundCommand = 2136;
const wchar_t kHelpTopic[] = L"CourseSize";

bool IsMetric(const CCourse* course) { return course && course->IsMetric(); }

}  // namespace

// ---- Ring size ---------------------------------------------------------------------

CCourseSizeSimpleDlg::CCourseSizeSimpleDlg(CCourse* courseValue)
    : CDialog(GetString(kSimpleTitleText)),
      course(courseValue),
      widthLabel(GetString(kWidthText)),
      widthEdit(120, 3000, 120, 100, IsMetric(courseValue)),
      heightLabel(GetString(kHeightText)),
      heightEdit(120, 3000, 120, 100, IsMetric(courseValue)),
      grid(3, 3)
{
    helpTopic = kHelpTopic;
    if (course) {
        widthEdit.SetValue(course->GetWidth());
        heightEdit.SetValue(course->GetHeight());
    } else {
        ReportFailure();
    }
    grid.SetCell(0, 0, &widthLabel);
    grid.SetCell(1, 0, CSpacer::GapH4());
    grid.SetCell(2, 0, &widthEdit);
    grid.SetCell(0, 1, CSpacer::GapV4());
    grid.SetCell(0, 2, &heightLabel);
    grid.SetCell(2, 2, &heightEdit);
    SetContent(&grid);
}

void CCourseSizeSimpleDlg::OnOk()
{
    TRACE_POINT();
    float width = 0.0f;
    float height = 0.0f;
    if (!widthEdit.GetValue(&width, true) || !heightEdit.GetValue(&height, true))
        return;
    if (course) {
        const float across = width + course->GetMargin(CCourse::kMarginLowX) + course->GetMargin(CCourse::kMarginHighX);
        const float along = height + course->GetMargin(CCourse::kMarginLowY) + course->GetMargin(CCourse::kMarginHighY);
        if (!ConfirmCourseSize(course->IsMetric(), across, along))
            return;
        course->SetSize(width, height);
        course->DeselectAll(false);
        course->CommitUndoStepById(kSimpleCommand);
        course->OnCourseChanged();
    }
    CDialog::OnOk();
}

// ---- Space around the ring ----------------------------------------------------------

CCourseSizeDlg::CSide::CSide(int labelText, bool metric)
    : label(GetString(labelText)), edit(0, 2400, 12, 100, metric, EUnitKind::kFeetAndInches), row(3, 1)
{
    row.SetCell(0, 0, &label);
    row.SetCell(1, 0, CSpacer::GapH4());
    row.SetCell(2, 0, &edit);
}

CCourseSizeDlg::CCourseSizeDlg(CCourse* courseValue)
    : CDialog(GetString(kSurroundTitleText)),
      course(courseValue),
      sides{{2262, IsMetric(courseValue)},
            {2263, IsMetric(courseValue)},
            {2264, IsMetric(courseValue)},
            {2265, IsMetric(courseValue)}},
      grid(5, 5)
{
    helpTopic = kHelpTopic;
    for (int margin = 0; margin < 4; ++margin)
        sides[margin].edit.SetValue(course ? course->GetMargin(margin) : 0.0f);
    if (!course)
        ReportFailure();
    // Rows are made in order: above, then left and right, then below.
    grid.SetCell(2, 0, &sides[CCourse::kMarginLowY].row);
    grid.SetCell(0, 1, CSpacer::GapV7());
    grid.SetCell(0, 2, &sides[CCourse::kMarginLowX].row);
    grid.SetCell(1, 2, CSpacer::GapH7to14());
    grid.SetCell(3, 2, CSpacer::GapH7to14());
    grid.SetCell(4, 2, &sides[CCourse::kMarginHighX].row);
    grid.SetCell(0, 3, CSpacer::GapV7());
    grid.SetCell(2, 4, &sides[CCourse::kMarginHighY].row);
    SetContent(&grid);
}

void CCourseSizeDlg::OnOk()
{
    TRACE_POINT();
    float margins[4] = {};
    for (int margin = 0; margin < 4; ++margin) {
        if (!sides[margin].edit.GetValue(&margins[margin], true))
            return;
    }
    if (course) {
        const float across = course->GetWidth() + margins[CCourse::kMarginLowX] + margins[CCourse::kMarginHighX];
        const float along = course->GetHeight() + margins[CCourse::kMarginLowY] + margins[CCourse::kMarginHighY];
        if (!ConfirmCourseSize(course->IsMetric(), across, along))
            return;
        // Each margin gives way to the one across from it: those that shrink
        // go first, so that the others find their room.
        for (const bool growing : {false, true}) {
            for (int margin = 0; margin < 4; ++margin) {
                if ((margins[margin] > course->GetMargin(margin)) == growing)
                    course->SetLengthValue(margin, margins[margin]);
            }
        }
        course->DeselectAll(false);
        course->CommitUndoStepById(kSurroundCommand);
        course->OnCourseChanged();
    }
    CDialog::OnOk();
}
