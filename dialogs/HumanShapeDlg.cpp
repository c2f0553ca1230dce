#include "dialogs/HumanShapeDlg.h"

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kHandlerNameTextId = 2552;
// The hair's material on the handler's skin.
constexpr int kHairMaterial = 11;

bool IsChoice(int choice)
{
    return choice >= 0 && choice < CHumanShapeDlg::kChoiceCount;
}

// The empty entry keeps what the handlers have; any other value the lists
// do not offer is the program's own fault.
bool TakesChoice(int choice)
{
    if (choice == CHumanShapeDlg::kMixedChoice)
        return false;
    if (!IsChoice(choice)) {
        TRACE_VALUE(int32_t, choice);
        ReportFailure();
        return false;
    }
    return true;
}

}  // namespace

CHumanShapeDlg::CHumanShapeDlg(CCourse* course)
    : CFigureDlg(course, kHandlerNameTextId), m_figure(&m_skin)
{
    m_skin.SetTextureName(kHairMaterial, L"WomanHair.png");
    AttachModel(m_figure);
}

void CHumanShapeDlg::MergeFigure(const CHumanFigure& figure)
{
    const CHumanFigure fresh(nullptr);
    MergePose(figure, fresh);
    if (GetEditedCount() <= 1) {
        m_figure.SetPoseChoiceA(figure.GetPoseChoiceA());
        m_figure.SetPoseChoiceB(figure.GetPoseChoiceB());
        m_mixedA = m_mixedB = false;
        return;
    }
    if (!m_mixedA && figure.GetPoseChoiceA() != m_figure.GetPoseChoiceA()) {
        m_mixedA = true;
        m_figure.SetPoseChoiceA(0);
    }
    if (!m_mixedB && figure.GetPoseChoiceB() != m_figure.GetPoseChoiceB()) {
        m_mixedB = true;
        m_figure.SetPoseChoiceB(0);
    }
}

void CHumanShapeDlg::ChooseA(int choice)
{
    if (!TakesChoice(choice))
        return;
    m_figure.SetPoseChoiceA(choice);
    m_mixedA = false;
}

void CHumanShapeDlg::ChooseB(int choice)
{
    if (!TakesChoice(choice))
        return;
    m_figure.SetPoseChoiceB(choice);
    m_mixedB = false;
}
