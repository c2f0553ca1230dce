#pragma once

#include <deque>
#include <map>
#include <memory>

#include "course/PartColors.h"

class CObjectType;

// The part colours of several objects merged for one edit: which parts the
// colour picker offers, and which colour each shows. A part whose objects
// agree gets their colour in the edited set; one where they disagree is
// offered without a colour, and the objects keep their own unless one is
// picked. When the objects are of several kinds, only the parts every
// object has are offered, unless all parts seen belong to the kind with the
// most parts. Parts other than the primary colour are offered only while
// the view is drawn in 3D.
//
// A colour set always holds the primary part (10): where the objects'
// primary colours differ, the edited set holds the first object's.
class CPartColorMerge
{
public:
    CPartColorMerge() = default;
    CPartColorMerge(const CPartColorMerge&) = delete;
    CPartColorMerge& operator=(const CPartColorMerge&) = delete;

    void Clear();
    void Add(const CObjectType* type, int variant, const CPartColorSet& colors);

    // The colour variant the picker previews: the override when set, else
    // the variant of the kind whose parts are edited (0 where its objects
    // differ).
    int GetVariant() const;
    void SetVariantOverride(int variant) { m_variantOverride = variant; }

    // The parts offered, in the edited kind's order.
    int GetEditableCount() const { return int(m_editable.size()); }
    int GetPart(int i) const;
    // 1 when a colour was picked, else the number of distinct colours the
    // objects use for the part (2 or more: mixed).
    int GetColorCount(int i) const;
    // The picked colour, else the j-th distinct colour.
    int GetColor(int i, int j) const;
    void SetPartColor(int i, int paletteIndex);
    // Forgets the colours picked since the last Commit.
    void Revert();
    // Makes the picked colours the merged ones.
    void Commit();
    // Stores the edited colours as the kind's defaults ("<id>Color"), when
    // every merged object is of one kind.
    void SaveAsTypeDefault() const;

    const CObjectType* GetCurrentType() const { return m_currentType; }
    // Every merged object is of one kind.
    bool IsSingleType() const { return m_singleType; }
    const CPartColorSet& GetEditedColors() const { return m_edited; }
    int GetMergedCount() const { return m_mergedCount; }

private:
    struct CEntry
    {
        int part = 0;
        // Objects that have the part.
        int objectCount = 0;
        // The palette indices they use, in first-seen order.
        std::deque<int> distinct;
        // Picked in the colour picker; -1 for none.
        int chosen = -1;
    };
    struct CTypeChoice
    {
        const CObjectType* type = nullptr;
        int variant = 0;
    };

    void Rebuild();
    // The entry i of the editable list, or null after a report.
    CEntry* GetEntry(int i) const;

    CTypeChoice m_smallest;
    CTypeChoice m_largest;
    int m_variantOverride = -1;
    const CObjectType* m_currentType = nullptr;
    CPartColorSet m_edited;
    CPartColorSet m_baseline;
    bool m_singleType = true;
    std::map<int, std::unique_ptr<CEntry>> m_entries;
    std::deque<CEntry*> m_editable;
    int m_mergedCount = 0;
};
