#pragma once

#include "foundation/Delegate.h"
#include "ui/Control.h"

// An edit field with an up-down control at its right edge. Its text is only
// what the program set or the user typed; `changed` records whether the user
// typed or stepped (the program's own SetText does not set it).
class CSpinEdit : public CControl
{
public:
    CSpinEdit(int minChars, int preferredChars);

    // The edit's current text when it exists, else the stored text.
    std::wstring GetText() const;
    // Stores and shows the text without firing onChange.
    void SetText(const std::wstring& newText);
    void FocusAndSelectAll();
    // Whether the text holds no digit (full-width ones count): such a field
    // holds no value, and every number and length field refuses it as out
    // of range, whether or not 0 would be in it.
    bool HoldsNoValue() const;
    void SetEnabled(bool enable) override;
    void SetOnTextChange(const CDelegate<CSpinEdit*>& handler) { onChange = handler; }
    void SetOnSpin(const CDelegate<CSpinEdit*>& handler) { onSpin = handler; }
    void SetOnFocus(const CDelegate<CSpinEdit*>& handler) { onFocus = handler; }

    void Measure() override;
    void CreateNativeWindow(CNativeWindow& owner) override;
    bool HasNativeWindow() const override;
    void ApplyBounds() override;
    void ApplyVisibility() override;
    void OnCommand(int notifyCode, HWND control) override;
    void OnNotify(NMHDR* header) override;

    void ForgetNativeWindow() override;

    // One step of the up-down control.
    virtual void OnSpin(bool up) = 0;

    int minChars;
    int preferredChars;
    bool changed = false;
    std::wstring text;
    CDelegate<CSpinEdit*> onSpin;
    CDelegate<CSpinEdit*> onChange;
    CDelegate<CSpinEdit*> onFocus;
    HWND editWindow = nullptr;
    HWND upDownWindow = nullptr;
    bool settingText = false;
};

// Parses the integer text of a spin edit: full-width forms count as their
// ASCII letters, blanks are skipped, a "-" before the first non-zero digit
// makes the value negative. False when the text holds anything else or the
// value does not fit an int; an empty text is 0.
bool ParseSpinText(const std::wstring& text, int& value);

// A spin edit for a whole number between min and max, stepping in multiples
// of step.
class CRangeSpinEdit : public CSpinEdit
{
public:
    CRangeSpinEdit(int min, int max, int step);

    // True with the value when the text holds a number in range (see
    // HoldsNoValue). Otherwise false, and with `report` the user is told why
    // and the field is focused.
    bool GetValue(int& out, bool report);
    void SetValue(int v);
    void OnSpin(bool up) override;

    int min;
    int max;
    int step;
    int value;
};
