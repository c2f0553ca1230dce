#include "tests/app/DialogWaiting.h"

#include "tests/support/TestSupport.h"

HWND WaitForDialogTitled(const std::wstring& caption, std::vector<std::wstring>* others, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 10) {
        for (HWND dialog : FindProcessDialogs()) {
            if (GetWindowTextString(dialog) == caption)
                return dialog;
            if (others)
                others->push_back(GetWindowTextString(GetDlgItem(dialog, 0xFFFF)));
            PressDialogButton(dialog, GetDlgItem(dialog, IDOK) ? IDOK : IDCANCEL);
        }
        Sleep(10);
    }
    return nullptr;
}
