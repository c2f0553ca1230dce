#pragma once

#include <string>

#include "ui/Delegate.h"

// The program's one modal message box: task-modal, brought to the front,
// captioned with the program's name (text 2001).
class CMessageBox
{
public:
    enum Button
    {
        OK = 0,
        Cancel = 1,
        Yes = 2,
        No = 3,
    };

    enum Kind
    {
        kError = 0,
        kFailure = 1,       // an error shown by the failure report itself
        kInformation = 2,
        kWarning = 3,
        kYesNoCancel = 4,   // a warning asking Yes, No or Cancel
    };

    static void Show(const std::wstring& text, int kind, CDelegate<Button> onResult = CDelegate<Button>());
};
