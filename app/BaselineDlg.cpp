#include "app/BaselineDlg.h"

#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Geometry.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "ui/MessageBox.h"

namespace {

constexpr int kTitleText = 2298;
constexpr int kAcrossText = 2299;
constexpr int kAlongText = 2310;
constexpr int kPointsText = 2306;
constexpr int kShowCoordsText = 2311;
constexpr int kBaselineFirstText = 2312;
constexpr int kUnitsXText = 2313;
constexpr int kUnitsYText = 2314;
constexpr int kBackgroundText = 2315;
constexpr int kSpacingText = 2320;
constexpr int kNotWholeFeetText = 2692;
constexpr int kNotWholeMetresText = 2693;
constexpr int kCommand = 2172;
// Point actions.
constexpr int kClearPoints = 1;
constexpr int kClearAndHide = 2;
// Background entries from the fullest: grid with distances, grid, ring
// outline, nothing; the course stores 3 minus the entry.
constexpr int kLastBackground = 3;
constexpr int kLastGridBackground = 1;
// One foot, 100 feet: the spacing's range in inches (a metre lies within).
constexpr int kSpacingMin = 12;
constexpr int kSpacingMax = 1200;

bool IsMetric(const CCourse* course) { return course && course->IsMetric(); }

float GetSpacingTenths(const CCourse* course)
{
    if (!course)
        return 120.0f;
    if (course->IsMetric())
        return float(course->GetMetricGridSpacing()) * 100.0f / 0.254f;
    return float(course->GetUsGridSpacing()) * 120.0f;
}

}  // namespace

CBaselineDlg::CBaselineDlg(CCourse* courseValue)
    : CDialog(GetString(kTitleText)),
      course(courseValue),
      acrossLabel(GetString(kAcrossText)),
      alongLabel(GetString(kAlongText)),
      pointsLabel(GetString(kPointsText)),
      showCoordsBox(GetString(kShowCoordsText), courseValue && courseValue->GetShowObsCoords()),
      baselineFirstBox(GetString(kBaselineFirstText), courseValue && courseValue->GetBaselineCoordFirst()),
      unitsXLabel(GetString(kUnitsXText)),
      unitsXPicker(EUnitKind(courseValue ? courseValue->GetUSCoordUnitsX() : 3), false, false),
      unitsYLabel(GetString(kUnitsYText)),
      unitsYPicker(EUnitKind(courseValue ? courseValue->GetUSCoordUnitsY() : 3), false, false),
      backgroundLabel(GetString(kBackgroundText)),
      spacingLabel(GetString(kSpacingText)),
      spacingEdit(kSpacingMin, kSpacingMax, 12, 100, IsMetric(courseValue), EUnitKind::kFeet, EUnitKind::kMetres),
      grid(3, IsMetric(courseValue) ? 11 : 15)
{
    helpTopic = L"Baseline";
    if (!course)
        ReportFailure();
    for (int text = 2300; text <= 2302; ++text)
        acrossList.AddItem(GetString(text));
    for (int text = 2303; text <= 2305; ++text)
        alongList.AddItem(GetString(text));
    for (int text = 2307; text <= 2309; ++text)
        pointsList.AddItem(GetString(text));
    for (int text = 2316; text <= 2319; ++text)
        backgroundList.AddItem(GetString(text));
    if (course) {
        acrossList.SelectItem(course->GetDisplayOriginX());
        alongList.SelectItem(course->GetDisplayOriginY());
        const int background = kLastBackground - course->GetBackground();
        backgroundList.SelectItem(background >= 0 && background <= kLastBackground ? background : 0);
    }
    pointsList.SelectItem(0);
    // Room for the box and the gap the native control leaves before its caption.
    FitWidthToText(showCoordsBox, showCoordsBox.caption.text, 22);
    FitWidthToText(baselineFirstBox, baselineFirstBox.caption.text, 22);
    acrossList.SetEnabled(!IsBrisklaneMode());
    alongList.SetEnabled(!IsBrisklaneMode());
    spacingEdit.SetValue(GetSpacingTenths(course));

    const auto onList = CMemberDelegate<CComboBox*, CBaselineDlg>::Make(this, &CBaselineDlg::OnListChanged);
    for (CComboBox* list : {&acrossList, &alongList, &pointsList, &backgroundList})
        list->SetOnSelChange(onList);
    showCoordsBox.SetOnChange(CMemberDelegate<CCheckBox*, CBaselineDlg>::Make(this, &CBaselineDlg::OnBoxChanged));

    // Label, gap, control; a check box stands under the lists.
    int row = 0;
    auto addRow = [&](CWindow* label, CWindow* control, bool gapBefore) {
        if (gapBefore)
            grid.SetCell(0, row++, CSpacer::GapV4());
        if (label)
            grid.SetCell(0, row, label);
        grid.SetCell(1, row, CSpacer::GapH4());
        grid.SetCell(2, row, control);
        ++row;
    };
    addRow(&acrossLabel, &acrossList, false);
    addRow(&alongLabel, &alongList, true);
    grid.SetCell(0, row++, CSpacer::GapV7());
    if (HasPoints())
        addRow(&pointsLabel, &pointsList, false);
    else
        addRow(nullptr, &showCoordsBox, false);
    addRow(nullptr, &baselineFirstBox, true);
    if (!IsMetric(course)) {
        addRow(&unitsXLabel, &unitsXPicker, true);
        addRow(&unitsYLabel, &unitsYPicker, true);
    }
    grid.SetCell(0, row++, CSpacer::GapV7());
    addRow(&backgroundLabel, &backgroundList, false);
    addRow(&spacingLabel, &spacingEdit, true);
    UpdateEnabling();
    SetContent(&grid);
}

bool CBaselineDlg::HasPoints() const { return course && !course->GetMarkedPoints().empty(); }

void CBaselineDlg::UpdateEnabling()
{
    const bool shown = HasPoints() ? pointsList.GetSelection() != kClearAndHide : showCoordsBox.checked;
    baselineFirstBox.SetEnabled(shown && alongList.GetSelection() != 1 && acrossList.GetSelection() == 1);
    unitsXPicker.list.SetEnabled(shown);
    unitsYPicker.list.SetEnabled(shown);
    spacingEdit.SetEnabled(backgroundList.GetSelection() <= kLastGridBackground);
}

int CBaselineDlg::ReadGridSpacing()
{
    float value = 0.0f;
    if (!spacingEdit.GetValue(&value, true))
        return 0;
    const int tenths = int(value);
    const bool metric = IsMetric(course);
    int spacing = 0;
    if (metric) {
        const int cm = DivideRounded(tenths * 254, 1000);
        if (cm % 100 == 0)
            spacing = cm / 100;
    } else if (tenths % 120 == 0) {
        spacing = tenths / 120;
    }
    // A spacing of 0 would leave the grid without lines to step by.
    if (spacing < 1) {
        CMessageBox::Show(GetString(metric ? kNotWholeMetresText : kNotWholeFeetText), CMessageBox::kError);
        spacingEdit.FocusAndSelectAll();
        return 0;
    }
    return spacing;
}

void CBaselineDlg::OnOk()
{
    TRACE_POINT();
    if (!course) {
        CDialog::OnOk();
        return;
    }
    const int background = backgroundList.GetSelection();
    if (background <= kLastGridBackground) {
        const int spacing = ReadGridSpacing();
        if (spacing < 1)
            return;
        if (course->IsMetric())
            course->SetMetricGridSpacing(spacing);
        else
            course->SetUsGridSpacing(spacing);
    }
    course->SetDisplayOriginX(acrossList.GetSelection());
    course->SetDisplayOriginY(alongList.GetSelection());
    course->SetBackground(kLastBackground - background);
    if (HasPoints()) {
        const int action = pointsList.GetSelection();
        if (action == kClearPoints || action == kClearAndHide)
            course->ClearMarkedPoints();
        if (action == kClearAndHide)
            course->SetShowObsCoords(false);
    } else {
        course->SetShowObsCoords(showCoordsBox.checked);
    }
    course->SetBaselineCoordFirst(baselineFirstBox.checked);
    if (!course->IsMetric()) {
        course->SetUSCoordUnitsX(int32_t(unitsXPicker.GetValue()));
        course->SetUSCoordUnitsY(int32_t(unitsYPicker.GetValue()));
    }
    course->CommitUndoStepById(kCommand);
    course->OnCourseChanged();
    CDialog::OnOk();
}
