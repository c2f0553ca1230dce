#include "dialogs/JumpPanelWnd.h"

#include "course/Course.h"
#include "dialogs/PropertyBinding.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/equipment/JumpType.h"
#include "ui/MessageBox.h"

namespace {

constexpr int kWidthLabelText = 2413;
constexpr int kWinglessText = 2411;
constexpr int kWingedText = 2412;
constexpr int kAscendingText = 2414;
constexpr int kDescendingText = 2415;
constexpr int kStandardFrameText = 2498;
constexpr int kCustomFrameText = 2499;
constexpr int kStandardTireText = 2500;
constexpr int kCustomTireText = 2501;
constexpr int kTireTooWideText = 2690;

// From a toy-dog jump of 2 feet to a 10-foot spread.
constexpr CLengthBounds kPostWidthBounds = {24, 120, 6, 10};
// Wings narrower than 8 inches are no wings (CWingsBinding::kMinWingWidth).
constexpr CLengthBounds kWingWidthBounds = {8, 60, 2, 5};
constexpr CLengthBounds kFrameWidthBounds = {24, 96, 2, 5};
constexpr CLengthBounds kTireDiameterBounds = {12, 48, 1, 2};
// The frame must be wider than the tire by more than this, in tenths.
constexpr float kFrameMargin = 80.0f;

void ShowLength(CLengthEdit& edit, float tenths)
{
    if (tenths > 0.0f)
        edit.SetValue(tenths);
    else
        edit.SetText(std::wstring());
    // What the program shows is no entry of the user's.
    edit.changed = false;
}

// An entry whose value differs among the edited jumps is read only once the
// user typed in it: left alone it stays mixed and every jump keeps its own.
bool ReadLength(CLengthEdit& edit, float* tenths)
{
    if (*tenths <= 0.0f && !edit.changed)
        return true;
    return edit.GetValue(tenths, true);
}

void StoreLength(const std::wstring& name, float tenths)
{
    if (tenths > 0.0f)
        CSettings::SetInt(name, int(tenths));
}

CLengthEdit MakeLengthEdit(const CLengthBounds& bounds, bool metric)
{
    return CLengthEdit(bounds.minInches, bounds.maxInches, bounds.usStep, bounds.metricStep, metric);
}

}  // namespace

// ---- Base ----------------------------------------------------------------------------

CJumpPanelWnd::CJumpPanelWnd(const CCourse* course) : CGridLayout(true), m_course(course) {}

bool CJumpPanelWnd::IsMetric() const
{
    return m_course != nullptr && m_course->IsMetric();
}

std::wstring CJumpPanelWnd::ValueName(int typeId, const wchar_t* key) const
{
    return CPropertyPanel::ValueName(typeId, m_course, key);
}

// ---- Wings ---------------------------------------------------------------------------

CWingsPanelWnd::CWingsPanelWnd(CWingsGroup& values, const CCourse* course)
    : CJumpPanelWnd(course),
      postWidthLabel(GetString(kWidthLabelText)),
      postWidthEdit(MakeLengthEdit(kPostWidthBounds, IsMetric())),
      winglessRadio(this, GetString(kWinglessText)),
      wingedRadio(this, GetString(kWingedText)),
      wingWidthEdit(MakeLengthEdit(kWingWidthBounds, IsMetric())),
      m_values(values)
{
    const auto onChoice = CMemberDelegate<CRadioButton*, CWingsPanelWnd>::Make(this, &CWingsPanelWnd::OnWingsChoice);
    winglessRadio.SetOnClick(onChoice);
    wingedRadio.SetOnClick(onChoice);
    // The entries line up in the third column; the last row and column
    // take whatever room the panel has beyond its own.
    SetSize(4, 6);
    SetCell(0, 0, &postWidthLabel);
    SetCell(1, 0, CSpacer::GapH4());
    SetCell(2, 0, &postWidthEdit);
    SetCell(0, 1, CSpacer::GapV7());
    SetCell(0, 2, &winglessRadio);
    SetCell(0, 3, CSpacer::GapV4());
    SetCell(0, 4, &wingedRadio);
    SetCell(1, 4, CSpacer::GapH4());
    SetCell(2, 4, &wingWidthEdit);
}

void CWingsPanelWnd::UpdateControls()
{
    ShowLength(postWidthEdit, m_values.GetPostWidth());
    ShowLength(wingWidthEdit, m_values.GetWingWidth());
    if (m_values.IsWingedMixed()) {
        winglessRadio.Deselect();
        wingedRadio.Deselect();
    } else {
        (m_values.IsWinged() ? wingedRadio : winglessRadio).Select();
    }
    EnableWingWidth();
}

void CWingsPanelWnd::OnWingsChoice(CRadioButton* radio)
{
    m_values.SetWinged(radio == &wingedRadio);
    EnableWingWidth();
}

void CWingsPanelWnd::EnableWingWidth()
{
    wingWidthEdit.SetEnabled((m_values.IsWinged() || m_values.IsWingedMixed()) && !IsBrisklaneMode());
}

bool CWingsPanelWnd::Validate()
{
    float postWidth = m_values.GetPostWidth();
    float wingWidth = m_values.GetWingWidth();
    if (!ReadLength(postWidthEdit, &postWidth))
        return false;
    if (wingWidthEdit.enabled && !ReadLength(wingWidthEdit, &wingWidth))
        return false;
    m_values.SetPostWidth(postWidth);
    m_values.SetWingWidth(wingWidth);
    return true;
}

void CWingsPanelWnd::SaveDefaults(const CJumpType& type) const
{
    const int id = type.GetTypeId();
    StoreLength(ValueName(id, L"PostWidth"), m_values.GetPostWidth());
    if (!m_values.IsWingedMixed())
        CSettings::SetInt(ValueName(id, L"Winged"), m_values.IsWinged() ? 1 : 0);
    // The Brisklane mode's standard wings are not the user's choice.
    if (wingWidthEdit.enabled)
        StoreLength(ValueName(id, L"WingWidth"), m_values.GetWingWidth());
}

// ---- Ascending -----------------------------------------------------------------------

CAscendingPanelWnd::CAscendingPanelWnd(CAscendingPanel& values, const CCourse* course)
    : CJumpPanelWnd(course),
      ascendingRadio(this, GetString(kAscendingText)),
      descendingRadio(this, GetString(kDescendingText)),
      m_values(values)
{
    Add(&ascendingRadio);
    Add(CSpacer::GapV4());
    Add(&descendingRadio);
    AddEmpty();
}

void CAscendingPanelWnd::UpdateControls()
{
    if (m_values.IsMixed()) {
        ascendingRadio.Deselect();
        descendingRadio.Deselect();
    } else {
        (m_values.IsAscending() ? ascendingRadio : descendingRadio).Select();
    }
}

bool CAscendingPanelWnd::Validate()
{
    if (ascendingRadio.checked || descendingRadio.checked)
        m_values.SetAscending(ascendingRadio.checked);
    return true;
}

void CAscendingPanelWnd::SaveDefaults(const CJumpType&) const
{
    if (!m_values.IsMixed())
        CSettings::SetInt(ValueName(CAscendingPanel::kDefaultsTypeId, L"Ascending"), m_values.IsAscending() ? 1 : 0);
}

// ---- Tire jump -----------------------------------------------------------------------

CTirePanelWnd::CSizeChoice::CSizeChoice(int standardText, int customText, float standardSizeValue,
                                        const CLengthBounds& bounds, bool metric)
    : CGridLayout(true),
      standardSize(standardSizeValue),
      standardRadio(this, std::wstring()),
      customRow(false),
      customRadio(this, GetString(customText)),
      edit(MakeLengthEdit(bounds, metric))
{
    standardRadio.caption.SetText(
        GetStringWithArg(standardText, FormatLength(standardSize, edit.GetDefaultKind(), true)));
    const auto onChoice = CMemberDelegate<CRadioButton*, CSizeChoice>::Make(this, &CSizeChoice::OnChoice);
    standardRadio.SetOnClick(onChoice);
    customRadio.SetOnClick(onChoice);
    customRow.Add(&customRadio);
    customRow.Add(CSpacer::GapH4());
    customRow.Add(&edit);
    // The entry follows its radio; the rest of the row stays empty.
    customRow.AddEmpty();
    Add(&standardRadio);
    Add(CSpacer::GapV4());
    Add(&customRow);
}

void CTirePanelWnd::CSizeChoice::Show(float size)
{
    ShowLength(edit, size);
    if (size > 0.0f) {
        (size == standardSize ? standardRadio : customRadio).Select();
    } else {
        standardRadio.Deselect();
        customRadio.Deselect();
    }
    edit.SetEnabled(customRadio.checked);
}

bool CTirePanelWnd::CSizeChoice::Read(float* size)
{
    if (standardRadio.checked)
        *size = standardSize;
    else if (customRadio.checked)
        return edit.GetValue(size, true);
    return true;
}

void CTirePanelWnd::CSizeChoice::OnChoice(CRadioButton* radio)
{
    edit.SetEnabled(radio == &customRadio);
}

CTirePanelWnd::CTirePanelWnd(CTireJumpPanel& values, const CCourse* course)
    : CJumpPanelWnd(course),
      frameChoice(kStandardFrameText, kCustomFrameText, CTireJumpBinding::kStandardWidth, kFrameWidthBounds,
                  IsMetric()),
      tireChoice(kStandardTireText, kCustomTireText, CTireJumpBinding::kStandardDiameter, kTireDiameterBounds,
                 IsMetric()),
      m_values(values)
{
    Add(&frameChoice);
    Add(CSpacer::GapV7());
    Add(&tireChoice);
    AddEmpty();
}

void CTirePanelWnd::UpdateControls()
{
    frameChoice.Show(m_values.GetWidth());
    tireChoice.Show(m_values.GetDiameter());
}

bool CTirePanelWnd::Validate()
{
    float width = m_values.GetWidth();
    float diameter = m_values.GetDiameter();
    if (!frameChoice.Read(&width) || !tireChoice.Read(&diameter))
        return false;
    if (width > 0.0f && diameter > 0.0f && diameter + kFrameMargin >= width) {
        CMessageBox::Show(GetString(kTireTooWideText), CMessageBox::kError);
        if (frameChoice.customRadio.checked)
            frameChoice.edit.FocusAndSelectAll();
        else if (tireChoice.customRadio.checked)
            tireChoice.edit.FocusAndSelectAll();
        return false;
    }
    m_values.SetWidth(width);
    m_values.SetDiameter(diameter);
    return true;
}

void CTirePanelWnd::SaveDefaults(const CJumpType&) const
{
    StoreLength(ValueName(CTireJumpPanel::kDefaultsTypeId, L"Width"), m_values.GetWidth());
    StoreLength(ValueName(CTireJumpPanel::kDefaultsTypeId, L"TireDiam"), m_values.GetDiameter());
}

// ---- No options ----------------------------------------------------------------------

COptionsPanelWnd::COptionsPanelWnd(CJumpOptionsGroup& values, const CCourse* course)
    : CJumpPanelWnd(course), m_values(values)
{
    AddEmpty();
}
