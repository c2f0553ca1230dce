#include "dialogs/PropertyBinding.h"

#include "dialogs/JumpPropertiesDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "objects/equipment/JumpType.h"

namespace {

constexpr int kNoWingsTextId = 2042;
constexpr int kWithWingsTextId = 2043;
constexpr float kBrisklaneWingWidth = 240.0f;

// Reads or writes a length; a value read that the check refuses keeps the
// one held.
template <class Accept>
void SerializeLength(CFieldStream& stream, float& held, Accept accept)
{
    float value = held;
    stream.Float16(value);
    if (!stream.IsReading())
        return;
    if (accept(value))
        held = value;
    else
        TRACE_VALUE(float, value);
}

}  // namespace

std::wstring CPropertyBinding::GetDescription() const
{
    return std::wstring();
}

// ---- Wings ---------------------------------------------------------------------------

void CWingsBinding::ApplyTo(CJumpPropertiesDlg& dialog) const
{
    CWingsGroup& panel = dialog.GetWingsGroup();
    panel.MergePostWidth(width);
    const bool winged = wingWidth != 0.0f;
    panel.MergeWinged(winged);
    if (winged)
        panel.MergeWingWidth(wingWidth);
}

void CWingsBinding::LoadFrom(const CJumpPropertiesDlg& dialog, const CJumpType& type)
{
    const CWingsGroup& panel = dialog.GetWingsGroup();
    if (panel.GetPostWidth() > 0.0f)
        width = panel.GetPostWidth();
    if (!panel.IsWingedMixed() && !panel.IsWinged()) {
        wingWidth = 0.0f;
        return;
    }
    if (panel.GetWingWidth() > 0.0f) {
        wingWidth = panel.GetWingWidth();
    } else if (!panel.IsWingedMixed() && wingWidth == 0.0f) {
        if (const CWingedJumpType* winged = dynamic_cast<const CWingedJumpType*>(&type))
            wingWidth = winged->GetDefaultWingWidth();
    }
}

std::wstring CWingsBinding::GetDescription() const
{
    return GetString(wingWidth == 0.0f ? kNoWingsTextId : kWithWingsTextId);
}

void CWingsBinding::Serialize(CFieldStream& stream)
{
    SerializeLength(stream, width, [](float value) { return value >= 0.0f; });
    // Before writing as after reading, so that what is written is what the
    // jump holds.
    if (wingWidth < kMinWingWidth)
        wingWidth = 0.0f;
    stream.Float16(wingWidth);
    if (wingWidth < kMinWingWidth)
        wingWidth = 0.0f;
    if (stream.IsReading() && wingWidth == 0.0f && IsBrisklaneMode())
        wingWidth = kBrisklaneWingWidth;
}

// ---- Ascending -----------------------------------------------------------------------

void CAscendingBinding::ApplyTo(CJumpPropertiesDlg& dialog) const
{
    dialog.GetAscendingPanel().MergeAscending(ascending);
}

void CAscendingBinding::LoadFrom(const CJumpPropertiesDlg& dialog, const CJumpType& type)
{
    const CAscendingPanel& panel = dialog.GetAscendingPanel();
    if (!panel.IsMixed())
        ascending = panel.IsAscending();
}

void CAscendingBinding::Serialize(CFieldStream& stream)
{
    stream.Bool(ascending);
    if (stream.m_versionMajor != 3)
        return;
    // What version 3 kept here is not used; written as zeros so that the
    // records after this one stay in step.
    float unusedLength = 0.0f;
    int32_t unusedCount = 0;
    stream.Float16(unusedLength);
    stream.Int8(unusedCount);
}

// ---- Tire jump -----------------------------------------------------------------------

void CTireJumpBinding::ApplyTo(CJumpPropertiesDlg& dialog) const
{
    CTireJumpPanel& panel = dialog.GetTireJumpPanel();
    panel.MergeWidth(width);
    panel.MergeDiameter(diameter);
}

void CTireJumpBinding::LoadFrom(const CJumpPropertiesDlg& dialog, const CJumpType& type)
{
    const CTireJumpPanel& panel = dialog.GetTireJumpPanel();
    if (panel.GetWidth() > 0.0f)
        width = panel.GetWidth();
    if (panel.GetDiameter() > 0.0f)
        diameter = panel.GetDiameter();
}

void CTireJumpBinding::Serialize(CFieldStream& stream)
{
    const auto positive = [](float value) { return value > 0.0f; };
    SerializeLength(stream, width, positive);
    SerializeLength(stream, diameter, positive);
}

// ---- Plain ---------------------------------------------------------------------------

void CJumpDataBinding::ApplyTo(CJumpPropertiesDlg& dialog) const {}

void CJumpDataBinding::LoadFrom(const CJumpPropertiesDlg& dialog, const CJumpType& type) {}

void CJumpDataBinding::Serialize(CFieldStream& stream) {}

std::unique_ptr<CPropertyBinding> CreateJumpBinding(int kind)
{
    switch (kind) {
    case CPropertyBinding::kWings:
        return std::make_unique<CWingsBinding>();
    case CPropertyBinding::kAscending:
        return std::make_unique<CAscendingBinding>();
    case CPropertyBinding::kTireJump:
        return std::make_unique<CTireJumpBinding>();
    case CPropertyBinding::kPlain:
        return std::make_unique<CJumpDataBinding>();
    default:
        TRACE_VALUE(int32_t, kind);
        ReportFailure();
        return std::make_unique<CJumpDataBinding>();
    }
}
