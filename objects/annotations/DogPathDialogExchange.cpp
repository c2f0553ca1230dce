#include "objects/annotations/DogPath.h"

// The exchange with the dog path's properties dialog lives apart from the
// path, beside the dialog it reaches.

void CDogPath::ToDialog(CEditSession& dialog) {}

void CDogPath::FromDialog(CEditSession& dialog) {}
