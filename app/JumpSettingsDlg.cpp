#include "app/JumpSettingsDlg.h"

#include <cmath>

#include "course/Course.h"
#include "course/SpecList.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "ui/MessageBox.h"

namespace {

constexpr int kTitleText = 2406;
constexpr int kExplanationText = 2407;
constexpr int kLengthText = 2408;
constexpr int kPlanksText = 2409;
constexpr int kTooShortText = 2685;
constexpr int kExplanationWidth = 50;
// A plank takes 6 inches of the long jump's length.
constexpr int kPlankLength = 60;
// Inches to centimetres and back, so that the metric entries read whole
// steps of 5 cm.
constexpr float kMetricHeightScale = 0.98425198f;

float EntryHeight(int entry) { return float((entry + 1) * CJumpSettingsDlg::kHeightStep); }

}  // namespace

CJumpSettingsDlg::CJumpSettingsDlg(CCourse* courseValue)
    : CDialog(GetString(kTitleText)),
      course(courseValue),
      explanation(GetString(kExplanationText), kExplanationWidth),
      lengthLabel(GetString(kLengthText)),
      lengthEdit(6, 72, 4, 10, courseValue && courseValue->IsMetric()),
      planksLabel(GetString(kPlanksText)),
      planksEdit(1, 5, 1)
{
    TRACE_POINT();
    const bool metric = course && course->IsMetric();
    for (int entry = 0; entry < kHeightCount; ++entry) {
        const float height = EntryHeight(entry);
        std::wstring text = metric ? FormatLength(height * kMetricHeightScale, EUnitKind::kCentimetres, true)
                                   : FormatLength(height, EUnitKind::kInches, true);
        if (course && course->GetSpecList().GetLongJumpTable().HasRow(height))
            text += L"  *";
        heightList.AddItem(text);
    }
    if (course) {
        heightList.SelectItem(FindNearestEntry(course->GetJumpHeight()));
        lengthEdit.SetValue(course->GetLongJumpLength());
        planksEdit.SetValue(course->GetLongJumpPlanks());
    } else {
        ReportFailure();
        heightList.SelectItem(0);
    }
    heightList.SetOnSelChange(CMemberDelegate<CComboBox*, CJumpSettingsDlg>::Make(this, &CJumpSettingsDlg::OnHeightChosen));

    fields.SetCell(0, 0, &lengthLabel);
    fields.SetCell(1, 0, CSpacer::GapH4());
    fields.SetCell(2, 0, &lengthEdit);
    fields.SetCell(0, 1, CSpacer::NullCell());
    fields.SetCell(1, 1, CSpacer::NullCell());
    fields.SetCell(2, 1, CSpacer::GapV4());
    fields.SetCell(0, 2, &planksLabel);
    fields.SetCell(1, 2, CSpacer::GapH4());
    fields.SetCell(2, 2, &planksEdit);
    column.Add(&explanation);
    column.Add(CSpacer::GapV7());
    column.Add(&heightList);
    column.Add(CSpacer::GapV7());
    column.Add(&fields);
    SetContent(&column);
}

int CJumpSettingsDlg::FindNearestEntry(float height)
{
    if (!std::isfinite(height))
        return kHeightCount - 2;
    const float entry = std::round(height / float(kHeightStep)) - 1.0f;
    return entry < 0.0f ? 0 : entry > float(kHeightCount - 1) ? kHeightCount - 1 : int(entry);
}

void CJumpSettingsDlg::OnHeightChosen(CComboBox* list)
{
    const int entry = list->GetSelection();
    if (!course || entry < 0 || entry >= kHeightCount)
        return;
    const CJumpHeightTable& table = course->GetSpecList().GetLongJumpTable();
    if (table.GetRows().empty())
        return;
    float length = 0.0f;
    int planks = 1;
    table.Lookup(EntryHeight(entry), length, planks);
    lengthEdit.SetValue(length);
    planksEdit.SetValue(planks);
}

void CJumpSettingsDlg::OnOk()
{
    TRACE_POINT();
    if (!course) {
        CDialog::OnOk();
        return;
    }
    float length = 0.0f;
    int planks = 0;
    if (!lengthEdit.GetValue(&length, true) || !planksEdit.GetValue(planks, true))
        return;
    if (float(planks * kPlankLength - 1) > length) {
        CMessageBox::Show(GetString(kTooShortText), CMessageBox::kError);
        return;
    }
    const int entry = heightList.GetSelection();
    if (entry >= 0 && entry < kHeightCount)
        course->SetJumpHeight(EntryHeight(entry));
    course->SetLongJumpLength(length);
    course->SetLongJumpPlanks(planks);
    course->CommitUndoStepById(2138);
    course->OnCourseChanged();
    CDialog::OnOk();
}
