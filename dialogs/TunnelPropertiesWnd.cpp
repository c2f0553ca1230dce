#include "dialogs/TunnelPropertiesWnd.h"

#include "dialogs/HintDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "objects/equipment/TunnelGeometry.h"

namespace {

constexpr int kStyleHeadingText = 2424;
constexpr int kRigidText = 2425;
constexpr int kPolylineText = 2426;
constexpr int kFlexibleText = 2427;
constexpr int kSectionsText = 2428;
constexpr int kStandardLengthText = 2430;
// Flexible sections beyond two are hard to shape: the hint points to the
// jointed ones.
constexpr int kManyFlexibleSectionsHint = 2721;
constexpr int kManyFlexibleSections = 3;
constexpr int kAngleStep = 15;
const wchar_t kHelpTopic[] = L"OpenTunnel";

const CLengthChoice::CDesign kLength = {2429, 2431, 60, 360, 12, 10, true};

// The organisation's standard length as the length choice offers it.
std::vector<CLengthChoice::CStandard> GetStandardLength(float length, bool metric)
{
    return {{length, GetStringWithArg(kStandardLengthText, FormatLength(length, GetSizeUnitKind(metric), true))}};
}

}  // namespace

CTunnelPropertiesWnd::CTunnelPropertiesWnd(CTunnelPropertiesDlg& dialog, CSessionColors& colors)
    : CPropertiesWnd(dialog, colors),
      mainColumn(true),
      styleRow(false),
      styleColumn(true),
      rigidRow(false),
      sectionsRow(false),
      styleHeading(GetString(kStyleHeadingText)),
      polylineRadio(&styleColumn, GetString(kPolylineText)),
      flexibleRadio(&styleColumn, GetString(kFlexibleText)),
      rigidRadio(&styleColumn, GetString(kRigidText)),
      angleSpin(0, CTunnelPropertiesDlg::kMaxAngle, kAngleStep),
      sectionsLabel(GetString(kSectionsText)),
      sectionsSpin(1, CTunnelPropertiesDlg::kMaxSections, 1),
      lengthChoice(kLength, GetStandardLength(dialog.GetStandardLength(), IsMetric()), IsMetric()),
      diameterChoice(dialog.GetStandardDiameter(), IsMetric()),
      m_dialog(dialog),
      m_style(dialog.GetStyle()),
      m_styleKnown(!dialog.IsStyleMixed()),
      m_sections(dialog.HasSections() ? dialog.GetSections() : 0)
{
    helpTopic = kHelpTopic;
    styleHeading.caption.SetAutoMnemonic(false);
    const auto onStyle = CMemberDelegate<CRadioButton*, CTunnelPropertiesWnd>::Make(
        this, &CTunnelPropertiesWnd::OnStyleChoice);
    for (CRadioButton* radio : {&polylineRadio, &flexibleRadio, &rigidRadio})
        radio->SetOnClick(onStyle);
    const auto onSections = CMemberDelegate<CSpinEdit*, CTunnelPropertiesWnd>::Make(
        this, &CTunnelPropertiesWnd::OnSectionsChanged);
    sectionsSpin.SetOnTextChange(onSections);
    sectionsSpin.SetOnSpin(onSections);

    // The rigid body comes last, its angle after it: the radio buttons are
    // made one after the other, so that the arrow keys walk all three.
    rigidRow.Add(&rigidRadio);
    rigidRow.Add(CSpacer::GapH4());
    rigidRow.Add(&angleSpin);
    rigidRow.AddEmpty();
    styleColumn.Add(&polylineRadio);
    styleColumn.Add(CSpacer::GapV4());
    styleColumn.Add(&flexibleRadio);
    styleColumn.Add(CSpacer::GapV4());
    styleColumn.Add(&rigidRow);
    styleRow.Add(CSpacer::GapH7to14());
    styleRow.Add(&styleColumn);
    sectionsRow.Add(&sectionsLabel);
    sectionsRow.Add(CSpacer::GapH4());
    sectionsRow.Add(&sectionsSpin);
    sectionsRow.AddEmpty();

    mainColumn.Add(&styleHeading);
    mainColumn.Add(CSpacer::GapV4());
    mainColumn.Add(&styleRow);
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&sectionsRow);
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&lengthChoice);
    mainColumn.Add(CSpacer::GapV7());
    mainColumn.Add(&diameterChoice);
    SetContent(&mainColumn, 1);
}

void CTunnelPropertiesWnd::InitControls()
{
    if (m_styleKnown) {
        if (CRadioButton* radio = GetStyleRadio(m_style))
            radio->Select();
    }
    // A value where the edited tunnels differ leaves its field empty.
    if (m_dialog.HasAngle())
        angleSpin.SetValue(m_dialog.GetAngle());
    if (m_sections != 0)
        sectionsSpin.SetValue(m_sections);
    EnableSpins();
    lengthChoice.Show(m_dialog.GetMergedLength(), m_dialog.GetShownLength());
    diameterChoice.Show(m_dialog.GetMergedDiameter(), m_dialog.GetShownDiameter());
    CPropertiesWnd::InitControls();
}

CRadioButton* CTunnelPropertiesWnd::GetStyleRadio(int style)
{
    switch (style) {
    case CTunnelGeometry::kFlexible:
        return &flexibleRadio;
    case CTunnelGeometry::kRigid:
        return &rigidRadio;
    case CTunnelGeometry::kPolyline:
        return &polylineRadio;
    default:
        TRACE_VALUE(int32_t, style);
        ReportFailure();
        return nullptr;
    }
}

void CTunnelPropertiesWnd::EnableSpins()
{
    angleSpin.SetEnabled(!m_styleKnown || m_style == CTunnelGeometry::kRigid);
    sectionsSpin.SetEnabled(!m_styleKnown || m_style != CTunnelGeometry::kRigid);
}

int CTunnelPropertiesWnd::GetOfferedSections(int style) const
{
    if (!m_dialog.IsStyleMixed() && style == m_dialog.GetStyle() && m_dialog.HasSections())
        return m_dialog.GetSections();
    return m_dialog.GetStoredSections(style);
}

void CTunnelPropertiesWnd::OnStyleChoice(CRadioButton* radio)
{
    int style = CTunnelGeometry::kFlexible;
    if (radio == &rigidRadio)
        style = CTunnelGeometry::kRigid;
    else if (radio == &polylineRadio)
        style = CTunnelGeometry::kPolyline;
    const bool switched = !m_styleKnown || style != m_style;
    m_style = style;
    m_styleKnown = true;
    if (switched && m_sections != 0 && !sectionsSpin.changed) {
        m_sections = GetOfferedSections(style);
        sectionsSpin.SetValue(m_sections);
    }
    EnableSpins();
}

void CTunnelPropertiesWnd::OnSectionsChanged(CSpinEdit*)
{
    // Half-typed text is refused on OK, not while the user types.
    int sections = 0;
    if (sectionsSpin.GetValue(sections, false) && m_styleKnown && m_style == CTunnelGeometry::kFlexible &&
        sections >= kManyFlexibleSections)
        ShowHint(kManyFlexibleSectionsHint, kHelpTopic, 1);
}

void CTunnelPropertiesWnd::OnOk()
{
    TRACE_POINT();
    // A field the user did not touch keeps what the edited tunnels have.
    int angle = m_dialog.HasAngle() ? m_dialog.GetAngle() : -1;
    if (angleSpin.changed && (!m_styleKnown || m_style == CTunnelGeometry::kRigid) &&
        !angleSpin.GetValue(angle, true))
        return;
    int sections = m_sections;
    if (sectionsSpin.changed && (!m_styleKnown || m_style != CTunnelGeometry::kRigid) &&
        !sectionsSpin.GetValue(sections, true))
        return;
    float length = m_dialog.GetMergedLength();
    float diameter = m_dialog.GetMergedDiameter();
    if (!lengthChoice.Read(length) || !diameterChoice.Read(diameter))
        return;

    if (m_styleKnown)
        m_dialog.SetStyle(m_style);
    m_dialog.SetAngle(angle);
    m_dialog.SetSections(sections);
    m_dialog.SetSize(length, diameter);
    m_dialog.StoreDefaults(sectionsSpin.changed);
    CPropertiesWnd::OnOk();
}
