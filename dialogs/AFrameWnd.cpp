#include "dialogs/AFrameWnd.h"

#include <algorithm>

#include "course/Course.h"
#include "course/SpecList.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "ui/MessageBox.h"

namespace {

bool RampsLongerThanHigh(float length, float height)
{
    return length > height;
}

// Each plank climbs at most at the dog walk's steepest slope: it must be
// longer than twice the run of the ramp with 4 inches to spare.
bool PlanksReachHeight(float length, float height)
{
    return length > 2.0f * (0.577f * height + 40.0f);
}

const CAFrameWnd::CDesign kAFrame = {
    2257, 2258, 2259, 2260, 48, 144, 1, 5, 24, 96, 1, 5,
    &CSpecList::GetAFrameSizeCount, &CSpecList::GetAFrameSize, &RampsLongerThanHigh, 2674,
};

const CAFrameWnd::CDesign kDogWalk = {
    2380, 2381, 2382, 2383, 48, 192, 6, 10, 12, 72, 1, 5,
    &CSpecList::GetDogWalkSizeCount, &CSpecList::GetDogWalkSize, &PlanksReachHeight, 2682,
};

}  // namespace

CAFrameWnd::CAFrameWnd(CAFrameDlg& dialog, CSessionColors& colors) : CAFrameWnd(dialog, colors, kAFrame) {}

CAFrameWnd::CAFrameWnd(CAFrameDlg& dialog, CSessionColors& colors, const CDesign& design)
    : CPropertiesWnd(dialog, colors),
      choiceColumn(true),
      customGrid(5, 3),
      customRadio(&choiceColumn, GetString(design.customText)),
      lengthLabel(GetString(design.lengthLabelText)),
      lengthEdit(design.lengthMin, design.lengthMax, design.lengthStep, design.lengthMetricStep,
                 IsMetric()),
      heightLabel(GetString(design.heightLabelText)),
      heightEdit(design.heightMin, design.heightMax, design.heightStep, design.heightMetricStep,
                 IsMetric()),
      m_dialog(dialog),
      m_design(design)
{
    const auto onChoice = CMemberDelegate<CRadioButton*, CAFrameWnd>::Make(this, &CAFrameWnd::OnSizeChoice);
    const EUnitKind unit = GetSizeUnitKind(IsMetric());
    if (const CCourse* course = GetCourse()) {
        const CSpecList& rules = course->GetSpecList();
        for (int i = 0; i < (rules.*design.presetCount)(); ++i) {
            CPreset preset{0.0f, 0.0f, nullptr};
            (rules.*design.preset)(i, preset.length, preset.height);
            preset.radio = std::make_unique<CRadioButton>(
                &choiceColumn, GetStringWith2Args(design.presetText, FormatLength(preset.length, unit, true),
                                                  FormatLength(preset.height, unit, true)));
            preset.radio->caption.SetAutoMnemonic(false);
            preset.radio->SetOnClick(onChoice);
            choiceColumn.Add(preset.radio.get());
            choiceColumn.Add(CSpacer::GapV4());
            presets.push_back(std::move(preset));
        }
    }
    customRadio.SetOnClick(onChoice);
    choiceColumn.Add(&customRadio);
    choiceColumn.Add(CSpacer::GapV4());
    choiceColumn.Add(&customGrid);

    lengthEdit.SetValue(dialog.GetShownLength());
    heightEdit.SetValue(dialog.GetShownHeight());
    LayOutSizeGrid(customGrid, lengthLabel, lengthEdit, heightLabel, heightEdit);
    SetContent(&choiceColumn, 1);
}

void CAFrameWnd::InitControls()
{
    const float length = m_dialog.GetMergedLength();
    const float height = m_dialog.GetMergedHeight();
    bool custom = false;
    if (length > 0.0f && height > 0.0f) {
        CRadioButton* chosen = &customRadio;
        for (const CPreset& preset : presets) {
            if (preset.length == length && preset.height == height) {
                chosen = preset.radio.get();
                break;
            }
        }
        chosen->Select();
        custom = chosen == &customRadio;
    }
    lengthEdit.SetEnabled(custom);
    heightEdit.SetEnabled(custom);
    CPropertiesWnd::InitControls();
}

void CAFrameWnd::OnSizeChoice(CRadioButton* radio)
{
    lengthEdit.SetEnabled(radio == &customRadio);
    heightEdit.SetEnabled(radio == &customRadio);
}

void CAFrameWnd::OnOk()
{
    TRACE_POINT();
    // Without a radio checked the edited A-frames differ in size and keep
    // theirs: nothing is confirmed, nothing stored.
    float length = m_dialog.GetMergedLength();
    float height = m_dialog.GetMergedHeight();
    bool chosen = true;
    if (customRadio.checked) {
        if (!lengthEdit.GetValue(&length, true) || !heightEdit.GetValue(&height, true))
            return;
        if (!m_design.fits(length, height)) {
            CMessageBox::Show(GetString(m_design.refusedText), CMessageBox::kError);
            heightEdit.FocusAndSelectAll();
            return;
        }
    } else {
        const auto checked = std::find_if(presets.begin(), presets.end(),
                                          [](const CPreset& preset) { return preset.radio->checked; });
        chosen = checked != presets.end();
        if (chosen) {
            length = checked->length;
            height = checked->height;
        }
    }
    if (chosen) {
        m_dialog.SetSize(length, height);
        CSettings::SetInt(m_dialog.GetValueName(L"PlankLen"), int(length));
        CSettings::SetInt(m_dialog.GetValueName(L"Height"), int(height));
    }
    CPropertiesWnd::OnOk();
}

CDogWalkWnd::CDogWalkWnd(CDogWalkDlg& dialog, CSessionColors& colors) : CAFrameWnd(dialog, colors, kDogWalk) {}
