#pragma once

#include <memory>
#include <string>

#include "ui/Button.h"
#include "ui/DialogLayout.h"
#include "ui/Window.h"

// The base of every dialog. A dialog has no resource: its window comes from
// an in-memory template with no items, and everything in it is framework
// windows: the content set by SetContent inside the standard layout with OK,
// Help and Cancel. Captions get their access keys and the native controls
// are created when the dialog starts.
//
//     CMyDialog* dialog = new CMyDialog(...);   // builds its grid, calls SetContent
//     dialog->DoModal();                        // deletes itself afterwards
class CDialog : public CNativeWindow
{
public:
    explicit CDialog(const std::wstring& title);
    ~CDialog() override;

    HWND GetStatusBarWindow() override;
    // OK: sets resultOk and closes.
    virtual void OnOk();
    // After a modal run that ended with OK: subclasses apply their values.
    virtual void OnResult();
    // Asks the application's help handler for helpTopic.
    virtual void OnHelp();
    virtual void OnCancel();
    // Fills the controls before a modal run.
    virtual void FillControls();
    // At WM_INITDIALOG: true lets the system set the focus.
    virtual bool OnInitDialog();

    // Builds the standard layout around the content with the buttons that
    // showOk, showCancel, helpTopic and buttonPlacement ask for.
    void SetContent(CWindow* newContent);
    // Runs the dialog modally, with the other frame windows disabled; then
    // OnResult when OK was chosen, and deletion when selfDeleting.
    void DoModal();
    // Shows the dialog without a modal loop; it deletes itself when its
    // window is destroyed.
    void ShowModeless(bool framedWindow);
    // Ends the dialog (modal) or destroys its window (modeless).
    void Close();

    bool selfDeleting = true;
    std::wstring title;
    CWindow* content = nullptr;
    bool resultOk = false;
    bool modal = false;
    bool framed = false;
    std::wstring helpTopic;
    // Window styles a dialog adds to those of its template, in force before
    // it is first shown (the splash's thin border and topmost state).
    DWORD extraStyle = 0;
    DWORD extraExStyle = 0;
    // Whether showing the dialog makes it the active, foreground window. A
    // modeless window that only shows something (the splash) leaves the
    // activation to the window that comes after it.
    bool activateWhenShown = true;
    bool showOk = true;
    bool showCancel = true;
    // 1: buttons in a column at the right; 2: in a row below the content.
    int buttonPlacement = 1;
    CPushButton okButton;
    CPushButton helpButton;
    CPushButton cancelButton;
    std::unique_ptr<CDialogLayout> layout;
    HWND defaultButton = nullptr;

    // The rectangle a dialog of this content takes: frame added, clipped to
    // the work area and centred in it. The content is measured and laid out
    // in client coordinates.
    static RECT PlaceContent(CWindow& content, const RECT& workArea, int frameWidth, int frameHeight);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialogMessage();
    void OnOkClicked(CPushButton*) { OnOk(); }
    void OnHelpClicked(CPushButton*) { OnHelp(); }
    void OnCancelClicked(CPushButton*) { OnCancel(); }
};
