#include "objects/annotations/DogPath.h"

// The exchange with the dog path's properties dialog, kept beside the path
// so that the dialog's windowless half (dialogs/DogPathDlg.h) fills it in:
// ToDialog hands over GetConnectionKind with GetSequence, GetArrowFrequency,
// GetShowLength, GetLengthUnits and GetDiscrimination; FromDialog takes back
// what the dialog does not show as mixed, in this order: SetArrowFrequency,
// SetShowLength, SetLengthUnits, ChangeConnection (kind, sequence, fit-now
// box), RequestFit when the fit-now box is set, SetDiscrimination. Until
// then the path keeps its values.

void CDogPath::ToDialog(CEditSession& dialog) {}

void CDogPath::FromDialog(CEditSession& dialog) {}
