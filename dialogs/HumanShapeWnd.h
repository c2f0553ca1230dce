#pragma once

#include "dialogs/FigureWnd.h"
#include "dialogs/HumanShapeDlg.h"

// The handler's window: the figure window with the two hands' choices above
// the pose row. A hand whose choice differs among the edited handlers shows
// an empty fourth entry, which OK leaves as each handler's own.
class CHumanShapeWnd : public CFigureWnd
{
public:
    CHumanShapeWnd(CHumanShapeDlg& dialog, CSessionColors& colors);

    CGridLayout choiceGrid;
    CStaticText labelA;
    CComboBox listA;
    CStaticText labelB;
    CComboBox listB;

protected:
    void InitControls() override;
    void OnPoseChanged() override;
    bool ReadKindValues() override;

private:
    void OnChoiceChanged(CComboBox* list);

    CHumanShapeDlg& m_dialog;
};
