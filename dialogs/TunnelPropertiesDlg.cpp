#include "dialogs/TunnelPropertiesDlg.h"

#include <algorithm>
#include <string>

#include "course/Course.h"
#include "course/SpecList.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kTunnelNameTextId = 2600;

}  // namespace

CTunnelPropertiesDlg::CTunnelPropertiesDlg(CCourse* course) : CObjectPropertiesDlg(course, kTunnelNameTextId)
{
    if (course != nullptr) {
        m_standardLength = course->GetSpecList().GetMeasure15();
        m_standardDiameter = course->GetSpecList().GetMeasure16();
    }
    // Stored values the dialog could not have stored give the defaults: a
    // style kept as it is would turn the tunnels into a body kind that does
    // not exist.
    m_style = CSettings::GetInt(GetValueName(L"Style"), kDefaultStyle);
    if (m_style < 0 || m_style >= kStyleCount)
        m_style = kDefaultStyle;
    m_angle = CSettings::GetInt(GetValueName(L"Angle"), 0);
    if (m_angle < 0 || m_angle > kMaxAngle)
        m_angle = 0;
    m_sections = GetStoredSections(m_style);
    m_length = float(CSettings::GetInt(GetValueName(L"Len"), int(m_standardLength)));
    m_diameter = float(CSettings::GetInt(GetValueName(L"Diam"), int(m_standardDiameter)));
    if (!(m_length > 0.0f))
        m_length = m_standardLength;
    if (!(m_diameter > 0.0f))
        m_diameter = m_standardDiameter;
    m_shownLength = m_length;
    m_shownDiameter = m_diameter;
}

int CTunnelPropertiesDlg::GetStoredSections(int style) const
{
    const int fallback = GetDefaultSections(style);
    const int stored = CSettings::GetInt(SectionsValueName(style), fallback);
    return stored >= 1 && stored <= kMaxSections ? stored : fallback;
}

std::wstring CTunnelPropertiesDlg::SectionsValueName(int style) const
{
    return GetValueName((L"Sections" + std::to_wstring(style)).c_str());
}

int CTunnelPropertiesDlg::GetDefaultSections(int style)
{
    switch (style) {
    case 0:
        return 2;
    case 1:
        return 1;
    case 2:
        return 4;
    default:
        TRACE_VALUE(int32_t, style);
        ReportFailure();
        return 2;
    }
}

void CTunnelPropertiesDlg::MergeStyle(int style)
{
    if (GetEditedCount() <= 1)
        m_style = style;
    else if (m_style != style)
        m_styleMixed = true;
}

void CTunnelPropertiesDlg::MergeLength(float length)
{
    MergeValue(m_length, length);
    if (GetEditedCount() <= 1)
        m_shownLength = length;
}

void CTunnelPropertiesDlg::MergeDiameter(float diameter)
{
    MergeValue(m_diameter, diameter);
    if (GetEditedCount() <= 1)
        m_shownDiameter = diameter;
}

void CTunnelPropertiesDlg::SetStyle(int style)
{
    m_style = style;
    m_styleMixed = false;
}

void CTunnelPropertiesDlg::SetSize(float length, float diameter)
{
    m_length = length;
    m_diameter = diameter;
}

void CTunnelPropertiesDlg::MergeAngle(int angle)
{
    if (!m_angleSeen)
        m_angle = angle;
    else if (m_angle != angle)
        m_angle = -1;
    m_angleSeen = true;
}

void CTunnelPropertiesDlg::MergeSections(int sections)
{
    if (!m_sectionsSeen)
        m_sections = sections;
    else if (m_sections != sections)
        m_sections = 0;
    m_sectionsSeen = true;
}

int CTunnelPropertiesDlg::GetAngle() const
{
    if (!HasAngle()) {
        TRACE_VALUE(int32_t, m_angle);
        ReportFailure();
    }
    return m_angle;
}

int CTunnelPropertiesDlg::GetSections() const
{
    if (!HasSections())
        ReportFailure();
    return m_sections;
}

float CTunnelPropertiesDlg::GetLength() const
{
    return CheckNotMixed(m_length);
}

float CTunnelPropertiesDlg::GetDiameter() const
{
    return CheckNotMixed(m_diameter);
}

void CTunnelPropertiesDlg::StoreDefaults(bool sectionsSetByUser) const
{
    TRACE_POINT();
    if (!m_styleMixed)
        CSettings::SetInt(GetValueName(L"Style"), m_style);
    if (m_angle >= 0)
        CSettings::SetInt(GetValueName(L"Angle"), m_angle);
    if (m_sections != 0 && sectionsSetByUser && !m_styleMixed)
        CSettings::SetInt(SectionsValueName(m_style), std::min(m_sections, GetDefaultSections(m_style)));
    if (m_length != 0.0f)
        CSettings::SetInt(GetValueName(L"Len"), int(m_length));
    if (m_diameter != 0.0f)
        CSettings::SetInt(GetValueName(L"Diam"), int(m_diameter));
}
