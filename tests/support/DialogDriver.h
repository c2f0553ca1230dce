#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
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
// The first child whose caption reads `caption` once its access-key markers
// are taken out (the dialog chooses the keys), or null.
HWND FindChildByCaption(HWND dialog, const std::wstring& caption);

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
// Alt and the access key of a control's caption ("&" before it), as the
// user presses them while the focus is in the window.
void PressAccessKey(HWND window, HWND captioned);

// ---- The program's own dialogs ---------------------------------------------------
// A modal dialog of the program runs on the test's thread while a driver
// thread works it; message boxes it shows meanwhile (a refused value) are
// answered by the test program's watcher, whose texts
// WaitForAnsweredTexts collects.

// Runs `run` (which shows a modal dialog); `drive` gets the first dialog
// that comes up once its controls exist and ends it with OK or Cancel.
// True when the dialog came up, was driven and went; one still open ten
// seconds later is cancelled, and so is any dialog left up that long while
// `run` has not returned.
bool RunModalDriven(const std::function<void()>& run, const std::function<void(HWND dialog)>& drive);
// The texts of the message boxes answered since the last call, once there
// are `count` of them (fewer after ten seconds).
std::vector<std::wstring> WaitForAnsweredTexts(size_t count = 1);
// Empties each enabled, visible edit in turn and presses OK, then gives the edit its
// text back: for each, the start (`length` characters) of the one message
// that refused the empty entry, or "no message".
std::vector<std::wstring> EmptyEachEditAndPressOk(HWND dialog, size_t length);
// The edits and the radio buttons among the children, in creation order.
std::vector<HWND> FindEditControls(HWND dialog);
std::vector<HWND> FindRadioButtons(HWND dialog);
// The arrows of the spin edits, in creation order.
std::vector<HWND> FindUpDownControls(HWND dialog);
bool IsButtonChecked(HWND button);
// A child's caption without its access-key marker.
std::wstring GetCaptionText(HWND control);
// The control of the dialog's thread that has the keyboard focus.
HWND GetFocusedControl(HWND dialog);
// Waits until the control has the keyboard focus; false when it has not
// after two seconds.
bool WaitForFocus(HWND dialog, HWND control);
// Saves the dialog's client area as /tmp/<folder>/<name>.png, where
// pictures of the dialogs are kept to be looked at.
bool SaveDialogShot(HWND dialog, const std::wstring& name, const std::wstring& folder = L"shots-dialogs");

// ---- The system's file dialogs ----------------------------------------------------

// Polls the finder until it gives a window (the controls of a dialog exist
// only once the dialog has set itself up); null after the timeout.
HWND WaitForControl(HWND dialog, HWND (*find)(HWND dialog), DWORD timeoutMs = 5000);
// The OK button of a dialog.
HWND FindOkButton(HWND dialog);
// The first visible edit among the dialog's descendants: the file-name field.
HWND FindFileNameEdit(HWND dialog);
// Types the name into the dialog's file-name field and presses its OK button.
bool ChooseFileName(HWND dialog, const std::wstring& name);
// Waits for the dialog to go; false when it stays.
bool WaitUntilGone(HWND dialog, DWORD timeoutMs = 10000);

// ---- Answering dialogs -----------------------------------------------------------

// Answers the dialogs of this process in a thread of its own while it lives.
// `answer` sees every visible dialog and returns the button to press, or 0
// to leave the dialog alone; after a press the thread waits up to three
// seconds for the dialog to go.
class CDialogAnswerer
{
public:
    explicit CDialogAnswerer(std::function<int(HWND dialog)> answer);
    ~CDialogAnswerer();
    CDialogAnswerer(const CDialogAnswerer&) = delete;
    CDialogAnswerer& operator=(const CDialogAnswerer&) = delete;

private:
    std::function<int(HWND dialog)> m_answer;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// ---- Pictures --------------------------------------------------------------------

// The file name in the folder of the test executable (artefacts to keep).
std::wstring GetTestArtefactPath(const std::wstring& fileName);
// Saves the client area of a window as a PNG picture; false on failure.
bool SaveWindowPicture(HWND window, const std::wstring& path);
// Saves the whole window (frame, menu bar and client) as the screen shows
// it as a PNG picture; false on failure.
bool SaveScreenPicture(HWND window, const std::wstring& path);
