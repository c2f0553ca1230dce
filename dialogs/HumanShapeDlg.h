#pragma once

#include "dialogs/FigureDlg.h"
#include "objects/annotations/HumanFigure.h"

class CCourse;

// The handler figure's dialog: the pose, the scale and the two hands'
// choices (0 relaxed, 1 fist, 2 pointing). A hand whose choice differs
// among the edited handlers is kMixedChoice, which the window shows as an
// empty fourth entry and OK keeps as each handler's own; the pose is then
// not stored, since the stored one could not say that hand's choice.
class CHumanShapeDlg : public CFigureDlg
{
public:
    explicit CHumanShapeDlg(CCourse* course);

    // The merge of the handlers' ToDialog: the pose and both choices.
    void MergeFigure(const CHumanFigure& figure);

    // 0 to 2, or kMixedChoice.
    int GetChoiceA() const { return m_mixedA ? kMixedChoice : m_figure.GetPoseChoiceA(); }
    int GetChoiceB() const { return m_mixedB ? kMixedChoice : m_figure.GetPoseChoiceB(); }
    // A choice of 0 to 2 becomes the dialog figure's; kMixedChoice keeps
    // each handler's.
    void ChooseA(int choice);
    void ChooseB(int choice);
    bool CanStorePose() const override { return !m_mixedA && !m_mixedB; }

    static constexpr int kChoiceCount = 3;
    static constexpr int kMixedChoice = 3;

private:
    CHumanFigureSkin m_skin;
    CHumanFigure m_figure;
    bool m_mixedA = false;
    bool m_mixedB = false;
};
