#pragma once

#include <windows.h>

#include <string>

#include "foundation/Delegate.h"

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
        kYesNo = 5,         // a warning asking Yes or No
    };

    // Shows the text and returns when the user has answered; the answer
    // goes to onResult when it is set. The program's timers are pumped
    // first (not for kFailure), and the box counts as a modal loop.
    static void Show(const std::wstring& text, int kind, CDelegate<Button> onResult = CDelegate<Button>());
    // Show for the code that waits for the answer: returns it.
    static Button Ask(const std::wstring& text, int kind);

    // The MessageBoxW icon and buttons of a kind (an unknown kind is
    // reported and shown as an error).
    static UINT GetStyle(int kind);
    // The answer for a MessageBoxW result; anything unexpected is reported
    // and counts as Cancel.
    static Button GetButton(int answer);
};
