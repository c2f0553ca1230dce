#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Helpers for a test thread that drives a dialog running modally on the test's
// main thread, the way a user would: every call goes through the dialog's own
// message queue and returns once the dialog has handled it.

struct CDialogChild
{
    HWND window = nullptr;
    int id = 0;
    std::wstring className;
    std::wstring text;
    DWORD style = 0;
    RECT rect = {};   // in the dialog's client coordinates
};

// The direct children of a dialog in creation (z) order.
std::vector<CDialogChild> ListDialogChildren(HWND dialog);
// The first child whose window text is exactly `text` (access-key marker
// included), or null.
HWND FindChildByText(HWND dialog, const std::wstring& text);

// Replaces the whole text of an edit as typing would (change notification).
void TypeIntoEdit(HWND edit, const std::wstring& text);
// Clicks a button, check box or radio button.
void ClickControl(HWND control);
// Chooses the entry at `position` of a drop-down list and tells its parent.
void ChooseComboItem(HWND combo, int position);
// Presses and releases the up or down arrow of an up-down control.
void ClickUpDown(HWND upDown, bool up);
// Sends a key press (down and up) to a control through the dialog's loop.
void PressKey(HWND control, UINT virtualKey);

// The file name in the folder of the test executable (artefacts to keep).
std::wstring GetTestArtefactPath(const std::wstring& fileName);
// Saves the client area of a window as a PNG picture; false on failure.
bool SaveWindowPicture(HWND window, const std::wstring& path);
