#include "app/FooterDlg.h"

#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"

namespace {

// Class 1 to 12 in this order.
const int kClassTextIds[CUKCFooterDlg::kClassCount] = {2504, 2505, 2506, 2508, 2509, 2510,
                                                       2511, 2512, 2513, 2514, 2515, 2516};

}  // namespace

CUKCFooterDlg::CUKCFooterDlg(CCourse* courseValue)
    : CDialog(GetString(2502)),
      course(courseValue),
      showBox(GetString(2503), course && course->GetShowUKCFooter()),
      classLabel(GetString(2507)),
      classRow(3, 1),
      column(true),
      outer(3, 3)
{
    helpTopic = L"UKC";
    for (int i = 0; i < kClassCount; ++i)
        classList.AddItem(GetString(kClassTextIds[i]));
    if (!course) {
        ReportFailure();
    } else {
        const int ukcClass = course->GetUKCClass();
        if (ukcClass >= 1 && ukcClass <= kClassCount) {
            classList.SelectItem(ukcClass - 1);
            m_classShown = true;
        }
    }
    classList.SetEnabled(showBox.checked);
    showBox.SetOnChange(CMemberDelegate<CCheckBox*, CUKCFooterDlg>::Make(this, &CUKCFooterDlg::OnShowClicked));
    classList.SetOnSelChange(CMemberDelegate<CComboBox*, CUKCFooterDlg>::Make(this, &CUKCFooterDlg::OnClassChosen));

    classRow.SetCell(0, 0, &classLabel);
    classRow.SetCell(1, 0, CSpacer::GapH4());
    classRow.SetCell(2, 0, &classList);
    column.Add(&showBox);
    column.Add(CSpacer::GapV7());
    column.Add(&classRow);
    column.Add(CSpacer::GapV7());
    outer.SetCell(0, 0, CSpacer::GapH7());
    outer.SetCell(1, 0, CSpacer::GapV7());
    outer.SetCell(2, 0, CSpacer::GapH7());
    outer.SetCell(0, 1, CSpacer::GapH7());
    outer.SetCell(1, 1, &column);
    outer.SetCell(2, 1, CSpacer::GapH7());
    outer.SetCell(1, 2, CSpacer::GapV7());
    SetContent(&outer);
}

void CUKCFooterDlg::OnShowClicked(CCheckBox* box) { classList.SetEnabled(box->checked); }

void CUKCFooterDlg::OnClassChosen(CComboBox* list) { m_classShown = true; }

void CUKCFooterDlg::OnOk()
{
    TRACE_POINT();
    if (course) {
        const bool listClass = m_classShown || showBox.checked;
        course->SetUKCClass(listClass ? classList.GetSelection() + 1 : course->GetUKCClass());
        course->SetShowUKCFooter(showBox.checked);
        course->DeselectAll(false);
        course->CommitUndoStepById(2164);
        course->OnCourseChanged();
    }
    CDialog::OnOk();
}
