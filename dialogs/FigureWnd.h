#pragma once

#include <array>
#include <vector>

#include "dialogs/FigureDlg.h"
#include "dialogs/FigurePreview.h"
#include "dialogs/PropertiesWnd.h"
#include "ui/ComboBox.h"
#include "ui/SpinEdit.h"
#include "ui/StaticText.h"

// The window the dog and handler dialogs share: while a 3D graphics system
// draws the views, four thumbnails from fixed directions (above, right,
// front, left) and a large preview in which the user drags the figure's
// limbs; beside them the kind's own controls, the named poses and the
// scale. Picking a named pose or releasing a dragged limb gives every
// edited figure the dialog's pose; while the edited figures' poses differ
// and the user does neither, OK leaves each its own.
class CFigureWnd : public CPropertiesWnd
{
public:
    void OnOk() override;

    // The main row: thumbnails, large preview, control column.
    CGridLayout mainRow;
    CGridLayout thumbnailColumn;
    CGridLayout controlColumn;
    CGridLayout poseRow;
    CGridLayout scaleRow;
    CFigureMainPreview mainPreview;
    std::array<CFigureThumbnail, 4> thumbnails;
    CStaticText poseLabel;
    CComboBox poseList;
    CStaticText scaleLabel;
    CRangeSpinEdit scaleSpin;

    // Whether the previews are part of the window.
    bool HasPreviews() const { return m_previews; }

protected:
    CFigureWnd(CFigureDlg& dialog, CSessionColors& colors);
    // From the kind's constructor: the thumbnails' cameras (the dog's or the
    // handler's eye height, the side distance and the height above), the
    // kind's blocks above and below the pose row (either may be null), the
    // layout. The kind's labels beside entries line their entries up with
    // the pose list and the scale.
    void BuildLayout(bool dogEye, float sideDistance, float topHeight, CWindow* above, CWindow* below,
                     std::vector<CStaticText*> labels = {});
    void InitControls() override;
    // The pose list follows the dialog's pose; with `dragged` the dragged
    // pose has become every figure's, else the previews show it afresh.
    void UpdatePoseSelection(bool dragged);
    // After the user picked a named pose.
    virtual void OnPoseChanged() {}
    // The kind's own values read and given to the dialog; false keeps the
    // window open (the user was told why).
    virtual bool ReadKindValues() { return true; }

private:
    void OnPoseSelected(CComboBox* list);
    void OnPoseDragged(CFigureMainPreview* preview);

    CFigureDlg& m_dialog;
    bool m_previews;
};
