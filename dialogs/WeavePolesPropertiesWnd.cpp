#include "dialogs/WeavePolesPropertiesWnd.h"

#include <algorithm>

#include "dialogs/PropertiesSession.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kPolesText = 2522;
constexpr int kSpacingText = 2523;
constexpr int kChannelText = 2524;
constexpr int kGuidesText = 2525;

}  // namespace

CWeavePolesPropertiesWnd::CWeavePolesPropertiesWnd(CWeavePolesPropertiesDlg& dialog, CSessionColors& colors)
    : CPropertiesWnd(dialog, colors),
      mainColumn(true),
      valueGrid(4, 5),
      polesLabel(GetString(kPolesText)),
      polesSpin(2, 70, 1),
      spacingLabel(GetString(kSpacingText)),
      // 1 to 3 ft between poles, 0 to 22 in of channel, by the inch or by 5 cm.
      spacingEdit(12, 36, 1, 5, IsMetric()),
      channelLabel(GetString(kChannelText)),
      channelEdit(0, 22, 1, 5, IsMetric()),
      guidesBox(GetString(kGuidesText)),
      m_dialog(dialog)
{
    // The arrows of an empty (mixed) entry start from these.
    polesSpin.SetValue(dialog.GetShownPoles());
    spacingEdit.SetValue(dialog.GetShownSpacing());
    channelEdit.SetValue(std::max(dialog.GetShownChannel(), 0.0f));
    FitCheckBox(guidesBox, guidesBox.caption.text);

    valueGrid.SetCell(0, 0, &polesLabel);
    valueGrid.SetCell(1, 0, CSpacer::GapH4());
    valueGrid.SetCell(2, 0, &polesSpin);
    valueGrid.SetCell(0, 1, CSpacer::GapV4());
    valueGrid.SetCell(0, 2, &spacingLabel);
    valueGrid.SetCell(2, 2, &spacingEdit);
    valueGrid.SetCell(0, 3, CSpacer::GapV4());
    valueGrid.SetCell(0, 4, &channelLabel);
    valueGrid.SetCell(2, 4, &channelEdit);
    mainColumn.Add(&valueGrid);
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&guidesBox);
    SetContent(&mainColumn, 1);
}

void CWeavePolesPropertiesWnd::InitControls()
{
    if (!m_dialog.HasPoles())
        polesSpin.SetText(std::wstring());
    if (!m_dialog.HasSpacing())
        spacingEdit.SetText(std::wstring());
    if (!m_dialog.HasChannel())
        channelEdit.SetText(std::wstring());
    ShowCheckState(guidesBox, m_dialog.GetBoolOption(), false);
    CPropertiesWnd::InitControls();
}

void CWeavePolesPropertiesWnd::OnOk()
{
    TRACE_POINT();
    // An entry the user left alone keeps the merged value, mixed or not.
    int poles = m_dialog.GetMergedPoles();
    float spacing = m_dialog.GetMergedSpacing();
    float channel = m_dialog.GetMergedChannel();
    if ((polesSpin.changed && !polesSpin.GetValue(poles, true)) ||
        (spacingEdit.changed && !spacingEdit.GetValue(&spacing, true)) ||
        (channelEdit.changed && !channelEdit.GetValue(&channel, true)))
        return;

    m_dialog.SetPoles(poles);
    m_dialog.SetSpacing(spacing);
    m_dialog.SetChannel(channel);
    m_dialog.SetBoolOption(GetCheckState(guidesBox));
    if (poles > 0)
        CSettings::SetInt(m_dialog.GetValueName(L"Poles"), poles);
    if (spacing > 0.0f)
        CSettings::SetInt(m_dialog.GetValueName(L"Spacing"), int(spacing));
    // A channel of 0 is a width like any other.
    if (channel >= 0.0f)
        CSettings::SetInt(m_dialog.GetValueName(L"Channel"), int(channel));
    CPropertiesWnd::OnOk();
}
