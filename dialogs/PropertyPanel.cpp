#include "dialogs/PropertyPanel.h"

#include "course/Course.h"
#include "course/SpecList.h"
#include "dialogs/PropertyBinding.h"
#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "foundation/Settings.h"
#include "foundation/TracePoint.h"
#include "objects/equipment/JumpType.h"

namespace {

constexpr float kBrisklaneWingWidth = 240.0f;

// A stored length, whole tenths of an inch; one not above 0 (damaged) gives
// the default.
float StoredLength(const std::wstring& name, float defaultValue)
{
    const int32_t stored = CSettings::GetInt(name, SaturateToInt32(defaultValue));
    if (stored > 0)
        return float(stored);
    TRACE_VALUE(std::wstring, name);
    return defaultValue;
}

}  // namespace

std::wstring CPropertyPanel::ValueName(int typeId, const CCourse* course, const wchar_t* key)
{
    const CSpecList& specList = course != nullptr ? course->GetSpecList() : GetSpecList(0);
    return std::to_wstring(typeId) + specList.GetName() + key;
}

void CPropertyPanel::MergeLength(float& held, float value) const
{
    if (IsFirstMerge())
        held = value;
    else if (held != value)
        held = 0.0f;
}

void CPropertyPanel::MergeFlag(bool& held, bool& mixed, bool value) const
{
    if (IsFirstMerge()) {
        held = value;
        mixed = false;
    } else if (held != value) {
        mixed = true;
    }
}

void CWingsGroup::LoadDefaults(const CJumpType& type, const CCourse* course)
{
    TRACE_VALUE(int32_t, type.GetTypeId());
    const CWingedJumpType* winged = dynamic_cast<const CWingedJumpType*>(&type);
    if (winged == nullptr) {
        ReportFailure();
        return;
    }
    const int id = type.GetTypeId();
    const CSpecList& specList = course != nullptr ? course->GetSpecList() : GetSpecList(0);
    MergePostWidth(StoredLength(ValueName(id, course, L"PostWidth"), winged->GetDefaultWidth(specList)));
    MergeWinged(CSettings::GetInt(ValueName(id, course, L"Winged"), 0) != 0);
    if (IsBrisklaneMode())
        MergeWingWidth(kBrisklaneWingWidth);
    else
        MergeWingWidth(StoredLength(ValueName(id, course, L"WingWidth"), winged->GetDefaultWingWidth()));
}

void CWingsGroup::SetWinged(bool winged)
{
    m_winged = winged;
    m_wingedMixed = false;
}

void CAscendingPanel::LoadDefaults(const CJumpType& type, const CCourse* course)
{
    const CSpecList& specList = course != nullptr ? course->GetSpecList() : GetSpecList(0);
    const bool byDefault = specList.GetFlag14();
    m_ascending = CSettings::GetInt(ValueName(kDefaultsTypeId, course, L"Ascending"), byDefault ? 1 : 0) != 0;
    m_mixed = false;
}

void CTireJumpPanel::LoadDefaults(const CJumpType& type, const CCourse* course)
{
    MergeWidth(StoredLength(ValueName(kDefaultsTypeId, course, L"Width"), CTireJumpBinding::kStandardWidth));
    MergeDiameter(StoredLength(ValueName(kDefaultsTypeId, course, L"TireDiam"), CTireJumpBinding::kStandardDiameter));
}
