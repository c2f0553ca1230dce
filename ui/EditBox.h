#pragma once

#include "foundation/Delegate.h"
#include "ui/Control.h"

// A one-line edit field. The text in the object follows every change of the
// native edit; onChange fires after it is copied.
class CEditBox : public CControl
{
public:
    // Widths in average characters; maxLength 0 = the system's limit.
    explicit CEditBox(int minChars = 4, int preferredChars = 20, int maxLength = 0);

    const std::wstring& GetText() const { return text; }
    // Stores the text; the native edit's change notification then reads it
    // back and fires onChange.
    void SetText(const std::wstring& newText);
    void SetEditable(bool editable);
    void SetOnChange(const CDelegate<CEditBox*>& handler) { onChange = handler; }

    void Measure() override;
    void CreateNativeWindow(CNativeWindow& owner) override;
    void OnCommand(int notifyCode, HWND control) override;

    int minChars;
    int preferredChars;
    int maxLength;
    std::wstring text;
    bool editable = true;
    CDelegate<CEditBox*> onChange;
    bool settingText = false;
};

// The window text of a native window.
std::wstring ReadWindowText(HWND window);
