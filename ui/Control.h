#pragma once

#include <string>

#include "ui/Caption.h"
#include "ui/Window.h"

// A standard Win32 control wrapped as a window. It keeps its whole state in
// the object, so it can be built, filled and read before its native window
// exists and after it has gone; while the native window exists every change
// is pushed to it at once.
class CControl : public CWindow
{
public:
    // Stores the flag and, with the native window, enables or disables it.
    virtual void SetEnabled(bool enable);
    // The native window is about to go with its top-level window: from now
    // on the control answers from its own state and leaves the handle alone
    // (it may soon name another window).
    void SetDirty() override;

    bool enabled = true;

protected:
    virtual void ForgetNativeWindow();
    // Creates the native control through the owner (next control id, UI
    // font) as a clipped child, visible when the window is, disabled when the
    // control is, and binds it. Null when it could not be made (reported).
    HWND CreateControl(CNativeWindow& owner, const wchar_t* className, DWORD style, DWORD exStyle,
                       const std::wstring& text);
    // Pushes a text to the native window; a failure is reported.
    void PushText(HWND window, const std::wstring& text);
    // The limits of a one-line field: 14 dialog units high, the widths
    // given, no maximum width and no stretch.
    void SetFieldLimits(int minimumWidth, int preferredWidthValue);
    // The width of `chars` average characters of the UI font plus `extra`
    // pixels, rounded.
    static int CharsWidth(int chars, int extra);
};

// A control that shows a caption with an access key (button, check box, radio
// button, label). Its caption joins the owner's list, which hands out the keys.
class CCaptionedControl : public CControl
{
public:
    explicit CCaptionedControl(const std::wstring& text) : caption(text) {}

    void CollectCaptions(CNativeWindow& owner) override;

    CCaption caption;
};

// The width rule of a label, for any window: a text wider than the window's
// minimum width makes that width its minimum and preferred width, with no
// maximum and no stretch. `extra` is added to the text width (the box of a
// check box).
void FitWidthToText(CWindow& window, const std::wstring& text, int extra = 0);
