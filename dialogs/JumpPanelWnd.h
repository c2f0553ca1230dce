#pragma once

#include <string>

#include "dialogs/LengthEdit.h"
#include "dialogs/PropertyPanel.h"
#include "ui/Button.h"
#include "ui/GridLayout.h"
#include "ui/StaticText.h"

class CCourse;
class CJumpType;

// A length entry's bounds in whole inches and its arrow steps in inches and
// centimetres.
struct CLengthBounds
{
    int minInches;
    int maxInches;
    int usStep;
    int metricStep;
};

// The controls of one property panel of the jump window. The values live in
// the dialog's half (a CPropertyPanel); the panel window shows them, reads
// the user's entries back into them on OK and stores them as defaults. A
// mixed value checks no radio and leaves its entry empty.
class CJumpPanelWnd : public CGridLayout
{
public:
    // The values the panel shows.
    virtual const CPropertyPanel& GetValues() const = 0;
    // Shows the values, again whenever the chosen type changes them.
    virtual void UpdateControls() = 0;
    // Reads the entries into the values; false once the user was told what
    // is wrong (the focus is then on the entry).
    virtual bool Validate() = 0;
    // Stores what is not mixed as the defaults of the type and the course's
    // organisation.
    virtual void SaveDefaults(const CJumpType& type) const = 0;

protected:
    explicit CJumpPanelWnd(const CCourse* course);

    bool IsMetric() const;
    std::wstring ValueName(int typeId, const wchar_t* key) const;

private:
    const CCourse* m_course;
};

// Most bar jumps: the width between the uprights, wings or none, and the
// wings' width. The wing-width entry is open while the jumps have wings (or
// some have), never in the Brisklane display mode, which always draws
// standard wings.
class CWingsPanelWnd : public CJumpPanelWnd
{
public:
    CWingsPanelWnd(CWingsGroup& values, const CCourse* course);

    const CPropertyPanel& GetValues() const override { return m_values; }
    void UpdateControls() override;
    bool Validate() override;
    void SaveDefaults(const CJumpType& type) const override;

    CStaticText postWidthLabel;
    CLengthEdit postWidthEdit;
    CRadioButton winglessRadio;
    CRadioButton wingedRadio;
    CLengthEdit wingWidthEdit;

private:
    void OnWingsChoice(CRadioButton* radio);
    void EnableWingWidth();

    CWingsGroup& m_values;
};

// The long jump: whether its boards rise in the direction it is taken.
class CAscendingPanelWnd : public CJumpPanelWnd
{
public:
    CAscendingPanelWnd(CAscendingPanel& values, const CCourse* course);

    const CPropertyPanel& GetValues() const override { return m_values; }
    void UpdateControls() override;
    bool Validate() override;
    void SaveDefaults(const CJumpType& type) const override;

    CRadioButton ascendingRadio;
    CRadioButton descendingRadio;

private:
    CAscendingPanel& m_values;
};

// The tire jump: the frame's width and the tire's diameter, each the
// standard size or a custom one. The frame must be more than 8 inches wider
// than the tire (text 2690).
class CTirePanelWnd : public CJumpPanelWnd
{
public:
    CTirePanelWnd(CTireJumpPanel& values, const CCourse* course);

    const CPropertyPanel& GetValues() const override { return m_values; }
    void UpdateControls() override;
    bool Validate() override;
    void SaveDefaults(const CJumpType& type) const override;

    // One size: a radio for the standard size (named in its caption), one
    // for a custom size with its entry, open only while it is chosen. The
    // column is the radios' group.
    class CSizeChoice : public CGridLayout
    {
    public:
        CSizeChoice(int standardText, int customText, float standardSize, const CLengthBounds& bounds,
                    bool metric);

        // 0 (mixed) checks neither radio.
        void Show(float size);
        // The standard size, the typed one (false once refused), or, with
        // neither radio checked, `size` as it is.
        bool Read(float* size);

        float standardSize;
        CRadioButton standardRadio;
        CGridLayout customRow;
        CRadioButton customRadio;
        CLengthEdit edit;

    private:
        void OnChoice(CRadioButton* radio);
    };

    CSizeChoice frameChoice;
    CSizeChoice tireChoice;

private:
    CTireJumpPanel& m_values;
};

// The kinds without values of their own, and jumps of kinds with different
// panels edited together: nothing to show.
class COptionsPanelWnd : public CJumpPanelWnd
{
public:
    COptionsPanelWnd(CJumpOptionsGroup& values, const CCourse* course);

    const CPropertyPanel& GetValues() const override { return m_values; }
    void UpdateControls() override {}
    bool Validate() override { return true; }
    void SaveDefaults(const CJumpType&) const override {}

private:
    CJumpOptionsGroup& m_values;
};
