#include "app/CourseDiffDlg.h"

#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"

namespace {

constexpr int kTitleText = 2337;
constexpr int kExplanationText = 2338;
constexpr int kOffText = 2339;
constexpr int kKeepText = 2340;
constexpr int kNumbersText = 2341;
constexpr int kLinesText = 2342;
constexpr int kExplanationWidth = 50;
const wchar_t kNumbersSetting[] = L"DiffObsNums";
const wchar_t kLinesSetting[] = L"DiffLines";

bool ShowsDifferences(const CCourse* course) { return course && !course->GetOverlayObjects().empty(); }

}  // namespace

CCourseDiffDlg::CCourseDiffDlg(CCourse* courseValue, const std::vector<CCourse*>& otherCourses)
    : CDialog(GetString(kTitleText)),
      course(courseValue),
      others(otherCourses),
      explanation(GetString(kExplanationText), kExplanationWidth),
      offButton(&radioGrid, GetString(kOffText), !ShowsDifferences(courseValue)),
      keepButton(&radioGrid, GetString(kKeepText), ShowsDifferences(courseValue)),
      compareButton(&radioGrid, std::wstring()),
      numbersBox(GetString(kNumbersText), CSettings::GetInt(kNumbersSetting, 0) != 0),
      linesBox(GetString(kLinesText), CSettings::GetInt(kLinesSetting, 0) != 0)
{
    TRACE_POINT();
    helpTopic = L"Diff";
    if (!course)
        ReportFailure();
    for (CCourse* other : others)
        courseList.AddItem(other ? other->GetTitle() : std::wstring());
    // The list names a course from the start: compare always has one.
    if (!others.empty())
        courseList.SelectItem(0);
    courseList.SetEnabled(false);
    for (CRadioButton* button : {&offButton, &keepButton, &compareButton})
        button->SetOnClick(CMemberDelegate<CRadioButton*, CCourseDiffDlg>::Make(this, &CCourseDiffDlg::OnRadioClicked));

    radioGrid.SetCell(0, 0, CSpacer::GapH7to14());
    radioGrid.SetCell(1, 0, &offButton);
    int row = 1;
    if (ShowsDifferences(course)) {
        radioGrid.SetCell(1, row++, CSpacer::GapV4());
        radioGrid.SetCell(1, row++, &keepButton);
    }
    if (!others.empty()) {
        compareRow.SetCell(0, 0, &compareButton);
        compareRow.SetCell(1, 0, CSpacer::GapH4());
        compareRow.SetCell(2, 0, &courseList);
        radioGrid.SetCell(1, row++, CSpacer::GapV4());
        radioGrid.SetCell(1, row++, &compareRow);
    }
    for (int r = 1; r < 5; ++r) {
        radioGrid.SetCell(0, r, CSpacer::NullCell());
        if (r >= row)
            radioGrid.SetCell(1, r, CSpacer::NullCell());
    }
    column.Add(&explanation);
    column.Add(CSpacer::GapV7());
    column.Add(&radioGrid);
    column.Add(CSpacer::GapV7());
    column.Add(&numbersBox);
    column.Add(CSpacer::GapV4());
    column.Add(&linesBox);
    SetContent(&column);
}

void CCourseDiffDlg::OnRadioClicked(CRadioButton* button) { courseList.SetEnabled(button == &compareButton); }

void CCourseDiffDlg::OnOk()
{
    TRACE_POINT();
    const bool numbers = numbersBox.checked;
    const bool lines = linesBox.checked;
    CSettings::SetInt(kNumbersSetting, numbers ? 1 : 0);
    CSettings::SetInt(kLinesSetting, lines ? 1 : 0);
    if (course) {
        const int chosen = courseList.GetSelection();
        if (compareButton.checked && chosen >= 0 && size_t(chosen) < others.size() && others[size_t(chosen)]) {
            course->BuildDifferenceOverlay(*others[size_t(chosen)], numbers, lines);
        } else if (keepButton.checked) {
            course->FilterDifferenceOverlay(true, numbers, lines);
        } else {
            if (!offButton.checked)
                ReportFailure();
            course->FilterDifferenceOverlay(false, false, false);
        }
        course->CommitUndoStepById(2174);
        course->OnCourseChanged();
    }
    CDialog::OnOk();
}
