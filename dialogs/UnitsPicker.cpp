#include "dialogs/UnitsPicker.h"

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"

namespace {

// The entries in list order with their texts; yards come last and only
// when asked for.
const struct
{
    EUnitKind kind;
    int textId;
} kEntries[] = {
    {EUnitKind::kFeetAndInches, 2232},
    {EUnitKind::kDecimalFeet, 2233},
    {EUnitKind::kFeet, 2234},
    {EUnitKind::kYards, 2235},
};
constexpr int kLabelText = 2231;

}  // namespace

CUnitsPicker::CUnitsPicker(EUnitKind value, bool withYards, bool withLabel)
    : CGridLayout(withLabel ? 5 : 1, 1), label(GetString(kLabelText))
{
    for (const auto& entry : kEntries) {
        if (entry.kind != EUnitKind::kYards || withYards)
            m_unitCount = list.AddItem(GetString(entry.textId)) + 1;
    }
    if (withLabel) {
        SetCell(0, 0, CSpacer::GapH7());
        SetCell(1, 0, &label);
        SetCell(2, 0, CSpacer::GapH4());
        SetCell(3, 0, &list);
    } else {
        SetCell(0, 0, &list);
    }
    SetValue(value);
}

EUnitKind CUnitsPicker::GetValue() const
{
    const int selection = list.GetSelection();
    if (selection >= 0 && selection < 3)
        return kEntries[selection].kind;
    if (selection == m_mixedEntry || (!list.selectionSet && m_mixedEntry < 0))
        return EUnitKind::kNone;
    return EUnitKind::kYards;
}

void CUnitsPicker::SetValue(EUnitKind value)
{
    for (int i = 0; i < m_unitCount; ++i) {
        if (kEntries[i].kind == value) {
            list.SelectItem(i);
            return;
        }
    }
    if (value != EUnitKind::kNone) {
        TRACE_VALUE(int32_t, int32_t(value));
        ReportFailure();
    }
    if (m_mixedEntry < 0)
        m_mixedEntry = list.AddItem(std::wstring());
    list.SelectItem(m_mixedEntry);
}
