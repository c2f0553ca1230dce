#include "dialogs/DogPathDlg.h"

#include "course/Course.h"
#include "course/CourseNumbering.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "dialogs/HumanPathDlg.h"
#include "dialogs/StraightLinePropertiesDlg.h"

namespace {

constexpr int kSequenceEntryText = 2346;
constexpr int kFlagOffText = 2350;
constexpr int kFlagOnText = 2351;
constexpr int kFirstStyleNameText = 2352;
constexpr int kFirstLabelKindText = 2355;
constexpr int kStyleCount = 3;
constexpr int kLabelKindCount = 3;
constexpr int kDefaultUnits = 4;

CDogPathDlg::CRouteTest g_routeTest = nullptr;

void Report(int value)
{
    TRACE_VALUE(int32_t, value);
    ReportFailure();
}

}  // namespace

CDogPathDlg::CRouteTest CDogPathDlg::SetRouteTest(CRouteTest test)
{
    const CRouteTest previous = g_routeTest;
    g_routeTest = test;
    return previous;
}

CDogPathDlg::CDogPathDlg(CCourse* course) : CObjectPropertiesDlg(course, kNameTextId)
{
    TRACE_POINT();
    m_metric = course != nullptr && course->IsMetric();
    m_storedShowLength = CSettings::GetInt(CHumanPathDlg::GetShowLengthValueName(*this), 1) != 0;
    m_showLength = m_storedShowLength ? ECheckState::kSet : ECheckState::kClear;
    const int units = CSettings::GetInt(CStraightLinePropertiesDlg::GetUsUnitsSettingName(*this), kDefaultUnits);
    m_units = CStraightLinePropertiesDlg::IsUsUnitKind(units) ? units : kDefaultUnits;
    m_storedDiscrimination = CSettings::GetInt(GetValueName(L"Discrim", false), 0) != 0;
    m_discrimination = m_storedDiscrimination ? ECheckState::kSet : ECheckState::kClear;
    m_storedFitNow = CSettings::GetInt(GetValueName(L"ManualFitNow", false), 1) != 0;
    if (course == nullptr)
        return;
    // The edited paths must be seen.
    if (!course->GetShowPaths())
        course->SetShowPaths(true);

    if (g_routeTest == nullptr)
        ReportFailure();
    for (const auto& sequence : course->GetNumberings()) {
        if (g_routeTest != nullptr && g_routeTest(*course, sequence.get()))
            m_sequences.push_back(sequence.get());
    }
    for (const CCourseNumbering* sequence : m_sequences) {
        m_flagsDiffer = m_flagsDiffer || sequence->GetFlag() != m_sequences.front()->GetFlag();
        m_stylesDiffer = m_stylesDiffer || sequence->GetStyleIndex() != m_sequences.front()->GetStyleIndex();
    }

    // A stored kind out of range (an edited registry) takes the default.
    const int kind = CSettings::GetInt(GetValueName(L"ConnectionType", false), 1);
    if (kind == 2 && !m_sequences.empty())
        m_connectionEntry = 0;
    else
        m_connectionEntry = kind == 0 ? GetPlainEntry() : GetObstacleEntry();
    const int arrows = CSettings::GetInt(GetValueName(L"ArrowFreq", false), 0);
    m_arrowEntry = arrows >= 0 && arrows <= 2 ? arrows : 0;
}

int CDogPathDlg::GetEntryOfKind(int kind, const CCourseNumbering* sequence) const
{
    switch (kind) {
    case 0:
        return GetPlainEntry();
    case 1:
        return GetObstacleEntry();
    case 2:
        for (int i = 0; i < GetSequenceCount(); ++i)
            if (m_sequences[size_t(i)] == sequence)
                return i;
        // A sequence that can no longer be routed along (its numbers were
        // deleted): shown as mixed, so that OK keeps the path's own.
        return GetMixedConnectionEntry();
    default:
        Report(kind);
        return GetMixedConnectionEntry();
    }
}

void CDogPathDlg::SetConnection(int kind, const CCourseNumbering* sequence)
{
    MergeValue(m_connectionEntry, GetEntryOfKind(kind, sequence), GetMixedConnectionEntry());
}

void CDogPathDlg::SetArrowFreq(int frequency)
{
    if (frequency < 0 || frequency > 2) {
        Report(frequency);
        frequency = 0;
    }
    MergeValue(m_arrowEntry, frequency, int(kMixedArrowEntry));
}

void CDogPathDlg::SetShowLength(bool show)
{
    MergeCheck(m_showLength, show);
}

void CDogPathDlg::SetUnits(int units)
{
    MergeValue(m_units, units, int(kMixedUnits));
}

void CDogPathDlg::SetDiscrimination(bool on)
{
    MergeCheck(m_discrimination, on);
}

int CDogPathDlg::GetConnectionKind() const
{
    const int offset = m_connectionEntry - GetObstacleEntry();
    if (offset < 0)
        return 2;
    if (offset == 1)
        return 0;
    if (offset != 0)
        Report(m_connectionEntry);
    return 1;
}

CCourseNumbering* CDogPathDlg::GetSequence() const
{
    return m_connectionEntry >= 0 && m_connectionEntry < GetSequenceCount() ? m_sequences[size_t(m_connectionEntry)]
                                                                            : nullptr;
}

int CDogPathDlg::GetArrowFreq() const
{
    if (m_arrowEntry >= 0 && m_arrowEntry <= 2)
        return m_arrowEntry;
    Report(m_arrowEntry);
    return 0;
}

std::wstring CDogPathDlg::GetSequenceEntryText(int index) const
{
    if (index < 0 || index >= GetSequenceCount()) {
        Report(index);
        return std::wstring();
    }
    const CCourseNumbering& sequence = *m_sequences[size_t(index)];
    std::wstring parts[3];
    int count = 0;
    if (m_flagsDiffer)
        parts[count++] = GetString(sequence.GetFlag() ? kFlagOnText : kFlagOffText);
    if (m_stylesDiffer) {
        const int style = sequence.GetStyleIndex();
        parts[count++] = GetString(kFirstStyleNameText + (style >= 0 && style < kStyleCount ? style : 0));
    }
    const int kind = sequence.GetKind();
    parts[count] = GetString(kFirstLabelKindText + (kind >= 1 && kind <= kLabelKindCount ? kind - 1 : 0));
    switch (count) {
    case 0:
        return GetStringWithArg(kSequenceEntryText, parts[0]);
    case 1:
        return GetStringWith2Args(kSequenceEntryText + 1, parts[0], parts[1]);
    default:
        return GetStringWith3Args(kSequenceEntryText + 2, parts[0], parts[1], parts[2]);
    }
}

CDogPathDlg::CConnectionControls CDogPathDlg::GetConnectionControls(int entry) const
{
    const int offset = entry - GetObstacleEntry();
    const bool plain = offset == 1;
    CConnectionControls controls{false, !plain, !plain};
    if (offset == 2)
        return controls;
    if (GetEditedCount() == 0) {
        controls.fitNowChecked = offset < 0 || (offset == 0 && m_storedFitNow);
        controls.fitNowEnabled = offset == 0;
    }
    return controls;
}

void CDogPathDlg::ChooseConnectionEntry(int entry)
{
    // The empty entry is there only while the paths differ.
    const int last = IsConnectionMixed() ? GetMixedConnectionEntry() : GetPlainEntry();
    if (entry < 0 || entry > last) {
        Report(entry);
        return;
    }
    m_connectionEntry = entry;
}

void CDogPathDlg::ChooseArrowEntry(int entry)
{
    const int last = IsArrowFreqMixed() ? int(kMixedArrowEntry) : 2;
    if (entry < 0 || entry > last) {
        Report(entry);
        return;
    }
    m_arrowEntry = entry;
}

void CDogPathDlg::ChooseUnits(int units)
{
    if (units == kMixedUnits || CStraightLinePropertiesDlg::IsUsUnitKind(units))
        m_units = units;
    else
        Report(units);
}

void CDogPathDlg::StoreDefaults() const
{
    TRACE_POINT();
    if (!IsConnectionMixed())
        CSettings::SetInt(GetValueName(L"ConnectionType", false), GetConnectionKind());
    if (!IsArrowFreqMixed())
        CSettings::SetInt(GetValueName(L"ArrowFreq", false), m_arrowEntry);
    if (m_showLength != ECheckState::kMixed)
        CSettings::SetInt(CHumanPathDlg::GetShowLengthValueName(*this), m_showLength == ECheckState::kSet ? 1 : 0);
    if (!m_metric && m_units != kMixedUnits)
        CSettings::SetInt(CStraightLinePropertiesDlg::GetUsUnitsSettingName(*this), m_units);
    if (GetEditedCount() == 0 && m_connectionEntry == GetObstacleEntry())
        CSettings::SetInt(GetValueName(L"ManualFitNow", false), m_fitNow ? 1 : 0);
}

bool CDogPathDlg::StaysForFurtherObjects() const
{
    return m_connectionEntry >= GetSequenceCount();
}
