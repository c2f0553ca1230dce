#include "dialogs/PartColorMerge.h"

#include <algorithm>

#include "course/ObjectType.h"
#include "foundation/CrashLog.h"
#include "render3d/GraphicsSystem.h"

namespace {

int CountParts(const CObjectType* type)
{
    return type ? int(type->GetPartColors().GetParts().size()) : 0;
}

}  // namespace

void CPartColorMerge::Clear()
{
    m_smallest = CTypeChoice();
    m_largest = CTypeChoice();
    m_variantOverride = -1;
    m_currentType = nullptr;
    m_edited = CPartColorSet();
    m_baseline = CPartColorSet();
    m_singleType = true;
    m_editable.clear();
    m_entries.clear();
    m_mergedCount = 0;
}

void CPartColorMerge::Add(const CObjectType* type, int variant, const CPartColorSet& colors)
{
    ++m_mergedCount;
    const std::vector<int> parts = colors.GetParts();
    const int count = int(parts.size());
    for (int part : parts) {
        std::unique_ptr<CEntry>& entry = m_entries[part];
        if (!entry) {
            entry = std::make_unique<CEntry>();
            entry->part = part;
        }
        ++entry->objectCount;
        const int index = colors.GetColorIndex(part);
        if (std::find(entry->distinct.begin(), entry->distinct.end(), index) == entry->distinct.end())
            entry->distinct.push_back(index);
    }
    // The kinds with the fewest and the most parts, each with the variant
    // of its objects (0 where they differ).
    if (!m_smallest.type || count < CountParts(m_smallest.type))
        m_smallest = {type, variant};
    else if (type == m_smallest.type && variant != m_smallest.variant)
        m_smallest.variant = 0;
    if (!m_largest.type || count > CountParts(m_largest.type))
        m_largest = {type, variant};
    else if (type == m_largest.type && variant != m_largest.variant)
        m_largest.variant = 0;
    if (m_currentType && type != m_currentType)
        m_singleType = false;
    Rebuild();
}

void CPartColorMerge::Rebuild()
{
    m_edited = CPartColorSet();
    m_editable.clear();
    // All parts seen belong to the largest kind: its parts are offered where
    // any object has them. Otherwise only those of the smallest kind that
    // every object has.
    int threshold = 1;
    m_currentType = m_largest.type;
    if (CountParts(m_largest.type) != int(m_entries.size())) {
        m_currentType = m_smallest.type;
        threshold = m_mergedCount;
    }
    if (m_currentType) {
        const bool view3D = CGraphicsSystem::IsViewSystem3D();
        for (int part : m_currentType->GetPartColors().GetParts()) {
            if (part != CPartColorSet::kPrimaryPart && !view3D)
                continue;
            const auto found = m_entries.find(part);
            if (found == m_entries.end() || found->second->objectCount < threshold)
                continue;
            CEntry& entry = *found->second;
            m_editable.push_back(&entry);
            const bool agreed = entry.distinct.size() == 1;
            if (!agreed && part != CPartColorSet::kPrimaryPart)
                continue;
            if (!m_edited.HasPart(part))
                m_edited.AddPart(part);
            m_edited.SetColorIndex(part, entry.distinct.front());
        }
    }
    m_baseline = m_edited;
}

int CPartColorMerge::GetVariant() const
{
    if (m_variantOverride >= 0)
        return m_variantOverride;
    return m_currentType != m_largest.type ? m_smallest.variant : m_largest.variant;
}

CPartColorMerge::CEntry* CPartColorMerge::GetEntry(int i) const
{
    if (i < 0 || i >= int(m_editable.size())) {
        TRACE_VALUE(int32_t, i);
        ReportFailure();
        return nullptr;
    }
    return m_editable[size_t(i)];
}

int CPartColorMerge::GetPart(int i) const
{
    const CEntry* entry = GetEntry(i);
    return entry ? entry->part : CPartColorSet::kPrimaryPart;
}

int CPartColorMerge::GetColorCount(int i) const
{
    const CEntry* entry = GetEntry(i);
    if (!entry)
        return 0;
    return entry->chosen >= 0 ? 1 : int(entry->distinct.size());
}

int CPartColorMerge::GetColor(int i, int j) const
{
    const CEntry* entry = GetEntry(i);
    if (!entry)
        return 0;
    if (entry->chosen >= 0)
        return entry->chosen;
    if (j < 0 || j >= int(entry->distinct.size())) {
        TRACE_VALUE(int32_t, j);
        ReportFailure();
        return 0;
    }
    return entry->distinct[size_t(j)];
}

void CPartColorMerge::SetPartColor(int i, int paletteIndex)
{
    CEntry* entry = GetEntry(i);
    if (!entry)
        return;
    if (!m_edited.HasPart(entry->part))
        m_edited.AddPart(entry->part);
    m_edited.SetColorIndex(entry->part, paletteIndex);
    entry->chosen = paletteIndex;
}

void CPartColorMerge::Revert()
{
    m_edited = m_baseline;
    for (auto& entry : m_entries)
        entry.second->chosen = -1;
}

void CPartColorMerge::Commit()
{
    m_baseline = m_edited;
    for (auto& entry : m_entries) {
        if (entry.second->chosen >= 0) {
            entry.second->distinct.assign(1, entry.second->chosen);
            entry.second->chosen = -1;
        }
    }
}

void CPartColorMerge::SaveAsTypeDefault() const
{
    if (!m_singleType || !m_currentType)
        return;
    CPartColorSet stored = m_currentType->GetPartColors();
    stored.LoadFromSettings(m_currentType->GetIdString());
    for (int part : m_edited.GetParts()) {
        if (stored.HasPart(part))
            stored.SetColorIndex(part, m_edited.GetColorIndex(part));
    }
    stored.SaveToSettings(m_currentType->GetIdString());
}
