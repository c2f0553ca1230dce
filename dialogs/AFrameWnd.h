#pragma once

#include <deque>
#include <memory>

#include "dialogs/AFrameDlg.h"
#include "dialogs/LengthEdit.h"
#include "dialogs/PropertiesWnd.h"
#include "ui/StaticText.h"

// The A-frame's window: one radio button per preset size of the course's
// organisation, and a custom size typed as ramp length and height. Sizes
// that differ among the edited A-frames select no radio and disable the
// entries; OK then keeps each A-frame's size. A custom A-frame must be
// longer than it is high (text 2674).
class CAFrameWnd : public CPropertiesWnd
{
public:
    // What differs between the windows of this design.
    struct CDesign
    {
        int presetText;   // "%1 ramps, %2 high"
        int customText;
        int lengthLabelText;
        int heightLabelText;
        // Entry bounds and arrow steps: whole inches, metric step in cm.
        int lengthMin, lengthMax, lengthStep, lengthMetricStep;
        int heightMin, heightMax, heightStep, heightMetricStep;
        int (CSpecList::*presetCount)() const;
        void (CSpecList::*preset)(int index, float& length, float& height) const;
        // Whether a typed size can be built; else the message shown.
        bool (*fits)(float length, float height);
        int refusedText;
    };

    CAFrameWnd(CAFrameDlg& dialog, CSessionColors& colors);

    void OnOk() override;

    struct CPreset
    {
        float length;
        float height;
        std::unique_ptr<CRadioButton> radio;
    };

    std::deque<CPreset> presets;
    CGridLayout choiceColumn;
    CGridLayout customGrid;
    CRadioButton customRadio;
    CStaticText lengthLabel;
    CLengthEdit lengthEdit;
    CStaticText heightLabel;
    CLengthEdit heightEdit;

protected:
    CAFrameWnd(CAFrameDlg& dialog, CSessionColors& colors, const CDesign& design);
    void InitControls() override;

private:
    void OnSizeChoice(CRadioButton* radio);

    CAFrameDlg& m_dialog;
    const CDesign& m_design;
};

// The dog walk's window, the A-frame's design with its own numbers: the
// planks must be long enough to reach the height at a walkable slope
// (text 2682).
class CDogWalkWnd : public CAFrameWnd
{
public:
    CDogWalkWnd(CDogWalkDlg& dialog, CSessionColors& colors);
};
