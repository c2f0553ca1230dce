#include "dialogs/SeeSawPropertiesWnd.h"

#include "dialogs/PropertiesSession.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kStandardText = 2454;
constexpr int kOtherText = 2455;
constexpr int kFlatText = 2456;

}  // namespace

CSeeSawPropertiesWnd::CSeeSawPropertiesWnd(CSeeSawPropertiesDlg& dialog, CSessionColors& colors)
    : CPropertiesWnd(dialog, colors),
      mainColumn(true),
      otherRow(false),
      standardRadio(&mainColumn, GetStringWithArg(kStandardText,
                                                  FormatLength(CSeeSawPropertiesDlg::kStandardPlankLength,
                                                               GetSizeUnitKind(IsMetric()), true))),
      otherRadio(&mainColumn, GetString(kOtherText)),
      // 6 to 16 ft, by the foot or by 10 cm.
      lengthEdit(72, 192, 12, 10, IsMetric()),
      flatBox(GetString(kFlatText)),
      m_dialog(dialog)
{
    const auto onChoice =
        CMemberDelegate<CRadioButton*, CSeeSawPropertiesWnd>::Make(this, &CSeeSawPropertiesWnd::OnLengthChoice);
    standardRadio.SetOnClick(onChoice);
    otherRadio.SetOnClick(onChoice);
    lengthEdit.SetValue(dialog.GetShownPlankLength());
    FitCheckBox(flatBox, flatBox.caption.text);

    otherRow.Add(&otherRadio);
    otherRow.Add(CSpacer::GapH4());
    otherRow.Add(&lengthEdit);
    // The entry follows its radio; the rest of the row stays empty.
    otherRow.AddEmpty();
    mainColumn.Add(&standardRadio);
    mainColumn.Add(CSpacer::GapV4());
    mainColumn.Add(&otherRow);
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&flatBox);
    SetContent(&mainColumn, 1);
}

void CSeeSawPropertiesWnd::InitControls()
{
    const float length = m_dialog.GetMergedPlankLength();
    bool other = false;
    if (length > 0.0f) {
        other = length != CSeeSawPropertiesDlg::kStandardPlankLength;
        (other ? otherRadio : standardRadio).Select();
    }
    lengthEdit.SetEnabled(other);

    // Flags that differ show the kind's stored flag, indeterminate.
    ShowCheckState(flatBox, m_dialog.GetFlat(), CSettings::GetInt(m_dialog.GetValueName(L"Flat"), 0) != 0);
    CPropertiesWnd::InitControls();
}

void CSeeSawPropertiesWnd::OnLengthChoice(CRadioButton* radio)
{
    lengthEdit.SetEnabled(radio == &otherRadio);
}

void CSeeSawPropertiesWnd::OnOk()
{
    TRACE_POINT();
    // Without a radio checked the edited see-saws differ in length and keep
    // theirs.
    float length = m_dialog.GetMergedPlankLength();
    if (otherRadio.checked) {
        if (!lengthEdit.GetValue(&length, true))
            return;
    } else if (standardRadio.checked) {
        length = CSeeSawPropertiesDlg::kStandardPlankLength;
    }
    const ECheckState flat = GetCheckState(flatBox);

    m_dialog.SetPlankLength(length);
    m_dialog.SetFlat(flat);
    if (length > 0.0f)
        CSettings::SetInt(m_dialog.GetValueName(L"PlankLen"), int(length));
    if (flat != ECheckState::kMixed)
        CSettings::SetInt(m_dialog.GetValueName(L"Flat"), flat == ECheckState::kSet ? 1 : 0);
    CPropertiesWnd::OnOk();
}
