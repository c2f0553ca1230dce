#include "dialogs/ColorPickerDlg.h"

#include <algorithm>
#include <cmath>

#include "course/ColorPalette.h"
#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "dialogs/HintDlg.h"
#include "dialogs/PartColorMerge.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "render3d/GraphicsSystem.h"
#include "ui/Toolbar.h"

namespace {

constexpr int kTitleText = 2288;
constexpr int kBucketText = 2289;
constexpr int kPickerText = 2290;
constexpr int kHeadingText = 2291;
constexpr int kComponentTexts[3] = {2292, 2293, 2294};
constexpr int kDefaultBoxText = 2295;
constexpr int kPickerTool = 2296;
constexpr int kBucketTool = 2297;
constexpr int kPartsHint = 2714;
constexpr int kSubstituteHint = 2715;
constexpr int kColorsCommand = 2132;
constexpr int kMapView = 2;
constexpr int k3DView = 3;
constexpr int kBlinkInterval = 500;
const wchar_t* const kHelpTopic = L"Color";
const wchar_t* const kSelectedColorValue = L"SelectedColorIndex";

// Cleared once hint 2714 has been due in this run.
bool g_partsHintOnce = true;

bool IsPlainPartList(const CObjectType* type)
{
    if (!type)
        return true;
    for (int part : type->GetPartColors().GetParts()) {
        if (part != 10 && part != 15 && part != 25 && part != 26)
            return false;
    }
    return true;
}

// The selected objects take the colour of every part their objects agree
// on now; a part whose objects still differ keeps each object's own colour
// (the merged set would give them all the first object's main colour).
void ApplyToSelection(CCourse& course, const CPartColorMerge& merge)
{
    for (CCourseObject* object : course.GetObjects()) {
        if (!object->IsSelected())
            continue;
        CPartColorSet& colors = object->GetPartColors();
        for (int i = 0; i < merge.GetEditableCount(); ++i) {
            const int part = merge.GetPart(i);
            if (merge.GetColorCount(i) == 1 && colors.HasPart(part))
                colors.SetColorIndex(part, merge.GetColor(i, 0));
        }
        object->Invalidate();
    }
}

}  // namespace

int SubstituteColor(int paletteIndex)
{
    TRACE_VALUE(int32_t, paletteIndex);
    const CColorPalette& palette = CColorPalette::GetInstance();
    if (paletteIndex < 0 || paletteIndex >= palette.GetCount())
        return paletteIndex;
    const uint32_t color = palette.GetColor(paletteIndex);
    const int r = int(color & 0xFF), g = int((color >> 8) & 0xFF), b = int((color >> 16) & 0xFF);
    if (r + g + b == 0)
        return paletteIndex;
    const auto channel = [](int value, double f) { return uint32_t(std::min(255.0, std::floor(value * f))); };
    for (double f = 512.0 / (r + g + b); f > 0.0; f -= 0.02) {
        const uint32_t scaled = 0xFF000000u | channel(r, f) | channel(g, f) << 8 | channel(b, f) << 16;
        const int nearest = palette.FindNearest(scaled);
        if (!palette.IsPaleChooserIndex(nearest) && palette.IsChooserIndex(nearest))
            return nearest;
    }
    return paletteIndex;
}

bool RunColorPicker(CCourse* course, CPartColorMerge& merge, bool applyToCourse)
{
    CColorPickerDlg dialog(course, &merge, applyToCourse);
    dialog.selfDeleting = false;
    dialog.DoModal();
    return dialog.resultOk;
}

CColorPickerDlg::CColorPickerDlg(CCourse* course, CPartColorMerge* merge, bool applyToCourse)
    : CDialog(GetString(kTitleText)),
      strip(*merge, this),
      preview2D(*merge, kMapView, this),
      instruction(GetString(kBucketText)),
      heading(GetString(kHeadingText)),
      componentLabels{CStaticText(GetString(kComponentTexts[0])), CStaticText(GetString(kComponentTexts[1])),
                      CStaticText(GetString(kComponentTexts[2]))},
      componentValues{CStaticText(L"0"), CStaticText(L"0"), CStaticText(L"0")},
      defaultBox(std::wstring(), false),
      m_course(course),
      m_merge(merge),
      m_applyToCourse(applyToCourse),
      m_grid(true),
      m_swatchRow(false),
      m_componentRow(false),
      m_toolRow(false),
      m_previewRow(false),
      m_stripRow(false)
{
    TRACE_VALUE(bool, applyToCourse);
    swatch.onClick = CMemberDelegate<CColorSwatch*, CColorPickerDlg>::Make(this, &CColorPickerDlg::OnSwatchClicked);
    m_blinkTimer.interval = kBlinkInterval;
    m_blinkTimer.repeat = true;
    m_blinkTimer.SetOnTimer(CMemberDelegate<CTimer*, CColorPickerDlg>::Make(this, &CColorPickerDlg::OnBlink));

    m_bucket = new CToolbarItem(kBucketTool, kBucketTool, L"PaintBucket.png", 0, 0);
    m_picker = new CToolbarItem(kPickerTool, kPickerTool, L"PaintPicker.png", 0, 0);
    m_bucket->onExecute = CMemberDelegate<int, CColorPickerDlg>::Make(this, &CColorPickerDlg::OnBucket);
    m_picker->onExecute = CMemberDelegate<int, CColorPickerDlg>::Make(this, &CColorPickerDlg::OnPicker);
    tools.AddItem(m_bucket);
    tools.AddItem(m_picker);
    tools.standardMargins = false;
    CheckTool(true);
    FitWidthToText(instruction, GetString(kPickerText));
    for (CStaticText& value : componentValues)
        FitWidthToText(value, L"255");
    // The labels lead to no control the keyboard reaches: no access keys.
    for (CStaticText* label : {&heading, &instruction, &componentLabels[0], &componentLabels[1], &componentLabels[2],
                               &componentValues[0], &componentValues[1], &componentValues[2]})
        label->caption.SetAutoMnemonic(false);

    if (CGraphicsSystem::IsViewSystem3D())
        m_preview3D = std::make_unique<CCoursePreview>(*merge, k3DView, this);

    m_grid.Add(&heading);
    m_grid.Add(CSpacer::GapV4());
    m_swatchRow.Add(CSpacer::GapH7());
    m_swatchRow.Add(&swatch);
    m_grid.Add(&m_swatchRow);
    m_grid.Add(CSpacer::GapV4());
    m_componentRow.Add(CSpacer::GapH7());
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            m_componentRow.Add(CSpacer::GapH7to14());
        m_componentRow.Add(&componentLabels[i]);
        m_componentRow.Add(CSpacer::GapH4());
        m_componentRow.Add(&componentValues[i]);
    }
    m_componentRow.AddEmpty();
    m_grid.Add(&m_componentRow);
    m_grid.Add(CSpacer::GapV7());
    m_toolRow.Add(&tools);
    m_toolRow.Add(CSpacer::GapH4());
    m_toolRow.Add(&instruction);
    m_toolRow.AddEmpty();
    m_grid.Add(&m_toolRow);
    m_grid.Add(CSpacer::GapV4());
    m_previewRow.Add(CSpacer::GapH7());
    m_previewRow.Add(&preview2D);
    if (m_preview3D) {
        m_previewRow.Add(CSpacer::GapH7());
        m_previewRow.Add(m_preview3D.get());
    }
    m_grid.Add(&m_previewRow);
    m_grid.Add(CSpacer::GapV7());
    m_stripRow.Add(CSpacer::GapH7());
    m_stripRow.Add(&strip);
    m_stripRow.AddEmpty();
    m_grid.Add(&m_stripRow);
    if (merge->IsSingleType() && merge->GetCurrentType() && course) {
        defaultBox.SetCaption(GetStringWithArg(kDefaultBoxText, merge->GetCurrentType()->GetDisplayName(*course)));
        m_grid.Add(CSpacer::GapV7());
        m_grid.Add(&defaultBox);
    }
    helpTopic = kHelpTopic;
    // The 3D preview draws into its own window, which the dialog's
    // background must not paint over.
    extraStyle |= WS_CLIPCHILDREN;
    SetContent(&m_grid);
    OnBlink(&m_blinkTimer);
    m_blinkTimer.Start(true);
}

CColorPickerDlg::~CColorPickerDlg() { m_blinkTimer.Stop(); }

void CColorPickerDlg::FillControls()
{
    TRACE_POINT();
    int stored = CSettings::GetInt(kSelectedColorValue, 0);
    // A value from elsewhere than this dialog gives the first colour.
    if (stored < 0 || stored >= CColorPalette::GetInstance().GetCount())
        stored = 0;
    swatch.SetSelected(stored);
    SetCurrentColor(stored);
    strip.Refresh();
    const int count = m_merge->GetEditableCount();
    bool mixed = false;
    for (int i = 0; i < count; ++i)
        mixed = mixed || m_merge->GetColorCount(i) > 1;
    if (count > 0 && !mixed) {
        preview2D.SetPartColor(0, m_merge->GetColor(0, 0));
        if (m_preview3D)
            m_preview3D->SetPartColor(0, m_merge->GetColor(0, 0));
    }
}

void CColorPickerDlg::SetCurrentColor(int paletteIndex)
{
    m_currentColor = paletteIndex;
    const uint32_t color = CColorPalette::GetInstance().GetColor(paletteIndex);
    for (int i = 0; i < 3; ++i)
        componentValues[i].SetText(std::to_wstring((color >> (8 * i)) & 0xFF));
}

void CColorPickerDlg::CheckTool(bool bucket)
{
    m_bucket->SetChecked(bucket);
    m_picker->SetChecked(!bucket);
    instruction.SetText(GetString(bucket ? kBucketText : kPickerText));
}

bool CColorPickerDlg::IsBucketChecked() const { return m_bucket->checked; }

void CColorPickerDlg::OnBucket(int) { CheckTool(true); }

void CColorPickerDlg::OnPicker(int) { CheckTool(false); }

void CColorPickerDlg::OnSwatchClicked(CColorSwatch*)
{
    SetCurrentColor(swatch.GetSelected());
    CheckTool(true);
    m_blinkPhase = 0;
    OnBlink(&m_blinkTimer);
    m_blinkTimer.Start(true);
}

void CColorPickerDlg::OnPartClicked(int entry, int paletteIndex)
{
    TRACE_VALUE(int32_t, entry);
    // No part, or a part without a colour to show (nothing chosen yet).
    if (entry < 0 || entry >= m_merge->GetEditableCount() || paletteIndex < 0 ||
        paletteIndex >= CColorPalette::GetInstance().GetCount())
        return;
    if (!IsBucketChecked()) {
        swatch.SetSelected(paletteIndex);
        OnSwatchClicked(&swatch);
        return;
    }
    Paint(entry);
}

void CColorPickerDlg::Paint(int entry)
{
    TRACE_VALUE(int32_t, entry);
    int color = m_currentColor;
    if (entry == 0 && CColorPalette::GetInstance().IsPaleChooserIndex(color)) {
        color = SubstituteColor(color);
        swatch.SetSelected(color);
        SetCurrentColor(color);
        CheckTool(true);
        m_hint2715Pending = true;
    }
    m_merge->SetPartColor(entry, color);
    preview2D.SetPartColor(entry, color);
    if (m_preview3D)
        m_preview3D->SetPartColor(entry, color);
    strip.Refresh();
    if (g_partsHintOnce && IsPlainPartList(m_merge->GetCurrentType()) && CGraphicsSystem::IsViewSystem3D() &&
        m_merge->GetEditableCount() >= 2) {
        m_hint2714Pending = true;
        g_partsHintOnce = false;
    }
}

void CColorPickerDlg::OnBlink(CTimer*)
{
    const int count = m_merge->GetEditableCount();
    for (int i = 0; i < count; ++i) {
        const int colors = m_merge->GetColorCount(i);
        if (colors <= 1)
            continue;
        const int color = m_merge->GetColor(i, int(m_blinkPhase % unsigned(colors)));
        preview2D.SetPartColor(i, color);
        if (m_preview3D)
            m_preview3D->SetPartColor(i, color);
    }
    ++m_blinkPhase;
}

void CColorPickerDlg::ShowPendingHints()
{
    const bool parts = m_hint2714Pending;
    const bool substitute = m_hint2715Pending;
    m_hint2714Pending = false;
    m_hint2715Pending = false;
    if (parts)
        ShowHint(kPartsHint, kHelpTopic, 1);
    if (substitute)
        ShowHint(kSubstituteHint, kHelpTopic, 1);
}

void CColorPickerDlg::OnOk()
{
    TRACE_POINT();
    m_blinkTimer.Stop();
    m_merge->Commit();
    if (defaultBox.checked)
        m_merge->SaveAsTypeDefault();
    CSettings::SetInt(kSelectedColorValue, m_currentColor);
    if (m_applyToCourse && m_course) {
        ApplyToSelection(*m_course, *m_merge);
        m_course->CommitUndoStepById(kColorsCommand);
        m_course->OnCourseChanged();
    }
    CDialog::OnOk();
}

void CColorPickerDlg::OnCancel()
{
    TRACE_POINT();
    m_blinkTimer.Stop();
    m_merge->Revert();
    CDialog::OnCancel();
}
