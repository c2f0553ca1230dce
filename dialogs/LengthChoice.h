#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/LengthEdit.h"
#include "ui/Button.h"
#include "ui/GridLayout.h"
#include "ui/StaticText.h"

// A length taken from a few standard values or typed: a heading, then,
// indented, one radio button per standard value and a custom radio followed
// by its entry, which is enabled only while the custom radio is checked.
// The tunnel windows choose their lengths and diameters in it.
class CLengthChoice : public CGridLayout
{
public:
    struct CDesign
    {
        int headingText;
        int customText;
        // Entry bounds and arrow steps: whole inches, metric step in cm.
        int minInches, maxInches, usStep, metricStep;
        // Whether the standard values' radios get access keys: not where
        // their captions are bare lengths.
        bool keyedStandards;
    };
    struct CStandard
    {
        float length;
        std::wstring caption;
    };

    CLengthChoice(const CDesign& design, const std::vector<CStandard>& standardValues, bool metric);

    // Selects the first standard value equal to `merged`, else the custom
    // radio; a mixed (0) value selects nothing. The entry shows `shown`.
    void Show(float merged, float shown);
    // The chosen length into `length`: a standard value, the typed one, or
    // unchanged while no radio is checked. False, after the entry's message,
    // when the typed text is not a length in range.
    bool Read(float& length);

    struct CStandardRadio
    {
        float length;
        std::unique_ptr<CRadioButton> radio;
    };

    CStaticText heading;
    CGridLayout indentRow;
    CGridLayout column;
    std::deque<CStandardRadio> standards;
    CGridLayout customRow;
    CRadioButton customRadio;
    CLengthEdit edit;

private:
    void OnChoice(CRadioButton* radio);
};

// The diameter both tunnels take: the organisation's standard one, shown in
// inches (centimetres on a metric course), or a custom one.
class CDiameterChoice : public CLengthChoice
{
public:
    CDiameterChoice(float standardDiameter, bool metric);
};
