#include "dialogs/LengthChoice.h"

#include "foundation/Strings.h"

namespace {

constexpr int kStandardDiameterText = 2433;

const CLengthChoice::CDesign kDiameter = {2432, 2434, 12, 36, 1, 5, true};

}  // namespace

CLengthChoice::CLengthChoice(const CDesign& design, const std::vector<CStandard>& standardValues, bool metric)
    : CGridLayout(true),
      heading(GetString(design.headingText)),
      indentRow(false),
      column(true),
      customRow(false),
      customRadio(&column, GetString(design.customText)),
      edit(design.minInches, design.maxInches, design.usStep, design.metricStep, metric)
{
    heading.caption.SetAutoMnemonic(false);
    const auto onChoice = CMemberDelegate<CRadioButton*, CLengthChoice>::Make(this, &CLengthChoice::OnChoice);
    for (const CStandard& value : standardValues) {
        CStandardRadio standard{value.length, std::make_unique<CRadioButton>(&column, value.caption)};
        standard.radio->caption.SetAutoMnemonic(design.keyedStandards);
        standard.radio->SetOnClick(onChoice);
        column.Add(standard.radio.get());
        column.Add(CSpacer::GapV4());
        standards.push_back(std::move(standard));
    }
    customRadio.SetOnClick(onChoice);
    customRow.Add(&customRadio);
    customRow.Add(CSpacer::GapH4());
    customRow.Add(&edit);
    // The entry follows its radio; the rest of the row stays empty.
    customRow.AddEmpty();
    column.Add(&customRow);

    indentRow.Add(CSpacer::GapH7to14());
    indentRow.Add(&column);
    Add(&heading);
    Add(CSpacer::GapV4());
    Add(&indentRow);
}

void CLengthChoice::Show(float merged, float shown)
{
    edit.SetValue(shown);
    bool custom = false;
    if (merged > 0.0f) {
        CRadioButton* chosen = &customRadio;
        for (const CStandardRadio& standard : standards) {
            if (standard.length == merged) {
                chosen = standard.radio.get();
                break;
            }
        }
        chosen->Select();
        custom = chosen == &customRadio;
    }
    edit.SetEnabled(custom);
}

bool CLengthChoice::Read(float& length)
{
    if (customRadio.checked)
        return edit.GetValue(&length, true);
    for (const CStandardRadio& standard : standards) {
        if (standard.radio->checked)
            length = standard.length;
    }
    return true;
}

void CLengthChoice::OnChoice(CRadioButton* radio)
{
    edit.SetEnabled(radio == &customRadio);
}

CDiameterChoice::CDiameterChoice(float standardDiameter, bool metric)
    : CLengthChoice(kDiameter,
                    {{standardDiameter,
                      GetStringWithArg(kStandardDiameterText,
                                       FormatLength(standardDiameter,
                                                    metric ? EUnitKind::kCentimetres : EUnitKind::kInches, true))}},
                    metric)
{
}
