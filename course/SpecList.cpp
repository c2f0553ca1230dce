#include "course/SpecList.h"

#include <algorithm>
#include <cmath>

#include "course/ObjectType.h"
#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"

// ---- CJumpHeightTable ------------------------------------------------------

int CJumpHeightTable::PlanksForLength(float length)
{
    if (!(length >= 120.0f))
        return 1;
    return int(std::min(1.0f + std::floor(length / 120.0f), 5.0f));
}

float CJumpHeightTable::RoundLength(float length)
{
    if (length <= 80.0f)
        return 60.0f;
    if (length <= 120.0f)
        return 120.0f;
    return std::floor((length + 10.0f) / 20.0f) * 20.0f;
}

void CJumpHeightTable::AddRow(int heightInches, int planks, float length, bool metric)
{
    TRACE_VALUE(int32_t, heightInches);
    if (heightInches % 2 != 0)
        ReportFailure();
    const int key = heightInches * 10;
    if (key < 20 || key > 260) {
        ReportFailure();
        return;
    }
    float given = length != 0.0f ? length : 2.0f * float(heightInches);
    given = std::max(given, 6.0f);

    CRow row;
    row.length = metric ? RoundHalfUp(given / 0.254f) : given * 10.0f;
    if (planks != 0) {
        if (float(planks) * 6.0f > given) {
            TRACE_VALUE(int32_t, planks);
            ReportFailure();
        }
        row.planks = planks;
    } else {
        row.planks = PlanksForLength(row.length);
    }
    m_rows[key] = row;
    if (key <= 240 && float(key) > m_defaultHeight)
        m_defaultHeight = float(key);
}

bool CJumpHeightTable::HasRow(float height) const
{
    if (!std::isfinite(height))
        return false;
    const auto found = m_rows.find(int(std::lround(height)));
    return found != m_rows.end() && float(found->first) == height;
}

void CJumpHeightTable::Lookup(float height, float& length, int& planks) const
{
    TRACE_POINT();
    if (m_rows.empty()) {
        ReportFailure();
        length = 0.0f;
        planks = 1;
        return;
    }
    if (!std::isfinite(height)) {
        TRACE_VALUE(float, height);
        ReportFailure();
        height = m_defaultHeight > 0.0f ? m_defaultHeight : float(m_rows.begin()->first);
    }
    auto next = std::find_if(m_rows.begin(), m_rows.end(),
                             [height](const auto& row) { return float(row.first) >= height; });
    if (next == m_rows.end()) {
        const auto& last = *m_rows.rbegin();
        length = (height - float(last.first)) * 2.0f + last.second.length;
        planks = std::max(last.second.planks, PlanksForLength(length));
        return;
    }
    const float nextKey = float(next->first);
    const CRow& nextRow = next->second;
    if (next == m_rows.begin()) {
        length = RoundLength(nextRow.length * height / nextKey);
        planks = std::min(PlanksForLength(length), nextRow.planks);
        return;
    }
    const auto previous = std::prev(next);
    const float previousKey = float(previous->first);
    const CRow& previousRow = previous->second;
    length = (previousRow.length * (nextKey - height) + nextRow.length * (height - previousKey)) /
             (nextKey - previousKey);
    length = RoundLength(length);
    length = std::max(previousRow.length, std::min(length, nextRow.length));
    planks = std::max(previousRow.planks, std::min(PlanksForLength(length), nextRow.planks));
}

// ---- CSpecList -------------------------------------------------------------

void CSpecList::EnsureTerminology() const
{
    if (m_terminologyFilled)
        return;
    // The rule sets are static instances that are never const; filling them
    // lazily is part of answering the first question.
    CSpecList* self = const_cast<CSpecList*>(this);
    self->m_terminologyFilled = true;
    self->FillTerminology();
}

void CSpecList::EnsureTypeSets() const
{
    if (m_typeSetsFilled)
        return;
    CSpecList* self = const_cast<CSpecList*>(this);
    self->m_typeSetsFilled = true;
    self->FillTypeSets();
}

std::wstring CSpecList::GetTerm(int textId) const
{
    EnsureTerminology();
    const auto found = m_terminology.find(textId);
    return found != m_terminology.end() ? found->second : GetString(textId);
}

void CSpecList::AddTerm(int textId, const std::wstring& word)
{
    m_terminology[textId] = word;
}

const std::map<int, std::wstring>& CSpecList::GetTerminology() const
{
    EnsureTerminology();
    return m_terminology;
}

const std::set<int>& CSpecList::GetExcludedTypes() const
{
    EnsureTypeSets();
    return m_excludedTypes;
}

const std::set<int>& CSpecList::GetAdmittedTypes() const
{
    EnsureTypeSets();
    return m_admittedTypes;
}

const std::set<int>& CSpecList::GetExcludedNames() const
{
    EnsureTypeSets();
    return m_excludedNames;
}

void CSpecList::ExcludeTypes(std::initializer_list<int> typeIds)
{
    m_excludedTypes.insert(typeIds);
}

void CSpecList::AdmitTypes(std::initializer_list<int> typeIds)
{
    m_admittedTypes.insert(typeIds);
}

void CSpecList::ExcludeNames(std::initializer_list<int> nameTextIds)
{
    m_excludedNames.insert(nameTextIds);
}

bool CSpecList::IsTypeAdmitted(int typeId, bool standard) const
{
    EnsureTypeSets();
    if (standard)
        return m_excludedTypes.count(typeId) == 0;
    return m_admittedTypes.count(typeId) != 0;
}

bool CSpecList::IsNameExcluded(int nameTextId) const
{
    EnsureTypeSets();
    return m_excludedNames.count(nameTextId) != 0;
}

bool CSpecList::IsTypeAllowed(int typeId) const
{
    const CObjectType* type = FindObjectTypeById(typeId);
    return type != nullptr && IsTypeAdmitted(typeId, type->IsStandard());
}

bool CSpecList::IsTypeNameAllowed(int nameTextId) const
{
    const CObjectType* type = FindObjectTypeByNameId(nameTextId);
    if (type == nullptr)
        return false;
    return IsTypeAllowed(type->GetId()) && !IsNameExcluded(nameTextId);
}

void CSpecList::GetPreset(const float (*presets)[2], int count, int index, float& length, float& height)
{
    if (index < 0 || index >= count) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        length = 0.0f;
        height = 0.0f;
        return;
    }
    length = presets[index][0];
    height = presets[index][1];
}

// ---- Organisation for the locale ------------------------------------------

int DefaultOrganisation(const CLocaleDefaults& locale)
{
    switch (locale.country) {
    case CLocaleDefaults::kAustralia:
        return 14;
    case CLocaleDefaults::kCanada:
        return 4;
    case CLocaleDefaults::kGreatBritain:
        return 7;
    case CLocaleDefaults::kNewZealand:
        return 12;
    case CLocaleDefaults::kUnitedStates:
        return 1;
    default:
        return 6;
    }
}

int DefaultOrganisation()
{
    return DefaultOrganisation(CLocaleDefaults());
}
