#pragma once

#include <memory>

#include "dialogs/ColorPickerPanels.h"
#include "dialogs/CoursePreview.h"
#include "foundation/Timer.h"
#include "ui/Button.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"
#include "ui/StaticText.h"
#include "ui/Toolbar.h"

class CCourse;
class CPartColorMerge;
class CToolbarItem;

// The colour picker: paints the parts of the edited objects with palette
// colours. The strip shows each offered part with its colour (several
// stripes where the objects disagree), the swatch the palette with the
// current colour, and the previews the sample course with only objects of
// the edited kind; parts whose objects disagree blink through their colours
// there every 500 ms. The bucket paints the clicked part with the current
// colour, the picker takes the clicked part's colour.
//
// From a properties dialog the changes stay in the merge until that
// dialog's OK; from the course window (applyToCourse) OK paints the
// selection at once, as one undo step.
class CColorPickerDlg : public CDialog
{
public:
    CColorPickerDlg(CCourse* course, CPartColorMerge* merge, bool applyToCourse);
    ~CColorPickerDlg() override;

    void OnOk() override;
    void OnCancel() override;
    // Takes up the stored current colour and shows the merged colours.
    void FillControls() override;

    // A part clicked in the strip or a preview, with the colour shown there;
    // an entry or a colour below 0 is ignored.
    void OnPartClicked(int entry, int paletteIndex);
    void SetCurrentColor(int paletteIndex);
    // The hints a paint made due, at the mouse release.
    void ShowPendingHints();
    // One step of the mixed parts' blinking.
    void OnBlink(CTimer* timer);

    bool IsBucketChecked() const;
    int GetCurrentColor() const { return m_currentColor; }
    unsigned GetBlinkPhase() const { return m_blinkPhase; }
    CPartColorMerge& GetMerge() { return *m_merge; }
    // Null while the views are not drawn in 3D.
    CCoursePreview* GetPreview3D() { return m_preview3D.get(); }

    CColorStrip strip;
    CCoursePreview preview2D;
    CColorSwatch swatch;
    CToolbarPanel tools;
    CStaticText instruction;
    CStaticText heading;
    CStaticText componentLabels[3];
    CStaticText componentValues[3];
    CCheckBox defaultBox;

private:
    void OnSwatchClicked(CColorSwatch* swatch);
    void OnBucket(int id);
    void OnPicker(int id);
    void CheckTool(bool bucket);
    void Paint(int entry);

    CCourse* m_course;
    CPartColorMerge* m_merge;
    bool m_applyToCourse;
    CTimer m_blinkTimer;
    unsigned m_blinkPhase = 0;
    bool m_hint2714Pending = false;
    bool m_hint2715Pending = false;
    int m_currentColor = 0;
    CToolbarItem* m_picker = nullptr;
    CToolbarItem* m_bucket = nullptr;
    std::unique_ptr<CCoursePreview> m_preview3D;
    CGridLayout m_grid;
    CGridLayout m_swatchRow;
    CGridLayout m_componentRow;
    CGridLayout m_toolRow;
    CGridLayout m_previewRow;
    CGridLayout m_stripRow;
};

// The entry that stands for a palette colour too pale to be an object's
// main colour: from the colour scaled to a component sum of 512, ever
// darker, the first nearest entry that is a plain chooser colour. An entry
// without any colour (black) or with no such entry keeps its own index.
int SubstituteColor(int paletteIndex);

// Runs the picker modally on the merge; true after OK.
bool RunColorPicker(CCourse* course, CPartColorMerge& merge, bool applyToCourse);
