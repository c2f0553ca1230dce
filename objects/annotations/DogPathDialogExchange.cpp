#include "objects/annotations/DogPath.h"

#include "dialogs/DogPathDlg.h"

// The exchange with the dog path's properties dialog lives apart from the
// path, beside the dialog it reaches.

void CDogPath::ToDialog(CEditSession& dialog)
{
    CDogPathDlg* own = GetKindDialog<CDogPathDlg>(dialog);
    if (own == nullptr)
        return;
    own->SetConnection(GetConnectionKind(), m_sequence);
    own->SetArrowFreq(m_arrowFrequency);
    own->SetShowLength(m_showLength);
    own->SetUnits(m_lengthUnits);
    own->SetDiscrimination(m_discrimination);
}

// What the dialog shows as mixed stays as each path has it.
void CDogPath::FromDialog(CEditSession& dialog)
{
    CDogPathDlg* own = GetKindDialog<CDogPathDlg>(dialog);
    if (own == nullptr)
        return;
    if (!own->IsArrowFreqMixed())
        SetArrowFrequency(own->GetArrowFreq());
    if (own->GetShowLengthState() != ECheckState::kMixed)
        SetShowLength(own->GetShowLengthState() == ECheckState::kSet);
    if (own->GetUnits() != CDogPathDlg::kMixedUnits)
        SetLengthUnits(own->GetUnits());
    if (!own->IsConnectionMixed())
        ChangeConnection(own->GetConnectionKind(), own->GetSequence(), own->GetFitNow());
    if (own->GetFitNow())
        RequestFit();
    if (own->GetDiscriminationState() != ECheckState::kMixed)
        SetDiscrimination(own->GetDiscriminationState() == ECheckState::kSet);
}
