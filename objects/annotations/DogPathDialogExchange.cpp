#include "objects/annotations/DogPath.h"

#include "dialogs/DogPathDlg.h"

// The exchange with the dog path's properties dialog, kept beside the path
// and filled in by the dialog's windowless half (dialogs/DogPathDlg.h).

void CDogPath::ToDialog(CEditSession& dialog)
{
    CDogPathDlg* own = GetKindDialog<CDogPathDlg>(dialog);
    if (own == nullptr)
        return;
    own->SetConnection(GetConnectionKind(), GetSequence());
    own->SetArrowFreq(GetArrowFrequency());
    own->SetShowLength(GetShowLength());
    own->SetUnits(GetLengthUnits());
    own->SetDiscrimination(GetDiscrimination());
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
