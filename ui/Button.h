#pragma once

#include "foundation/Delegate.h"
#include "ui/Control.h"

class CGridLayout;

// A push button. The default button of a dialog (Enter presses it) must live
// in a CDialog.
class CPushButton : public CCaptionedControl
{
public:
    explicit CPushButton(const std::wstring& text, bool isDefault = false);

    void SetOnClick(const CDelegate<CPushButton*>& handler) { onClick = handler; }

    void Measure() override;
    void CreateNativeWindow(CNativeWindow& owner) override;
    void OnCommand(int notifyCode, HWND control) override;

    bool isDefault;
    CDelegate<CPushButton*> onClick;
};

// A check box with a third, indeterminate state (the value is mixed); a
// click on an indeterminate box makes it determinate with its check kept.
class CCheckBox : public CCaptionedControl
{
public:
    explicit CCheckBox(const std::wstring& text, bool checked = false);

    void SetChecked(bool check);
    void SetIndeterminate(bool indeterminateState);
    void SetCaption(const std::wstring& text);
    // Makes the box wide enough for another text too.
    void WidenForText(const std::wstring& text);
    // Replaces the click delegate (the previous one loses a reference).
    void SetOnChange(CDelegate<CCheckBox*> handler);

    void Measure() override;
    void CreateNativeWindow(CNativeWindow& owner) override;
    void OnCommand(int notifyCode, HWND control) override;

    bool checked;
    bool indeterminate = false;
    CDelegate<CCheckBox*> onClick;

private:
    void PushCheck();
};

// A radio button; its group is the grid that holds the group's buttons
// (nested grids included). Selecting one clears the others of the group.
class CRadioButton : public CCaptionedControl
{
public:
    CRadioButton(CGridLayout* group, const std::wstring& text, bool checked = false);

    void Select();
    // Unchecks the button alone: a group whose value is mixed shows none.
    void Deselect() { SetCheckState(false); }
    void SetOnClick(const CDelegate<CRadioButton*>& handler) { onClick = handler; }
    // The first radio button of the group grid, column by column, each
    // column row by row, nested grids depth first; null when there is none.
    static CRadioButton* FindFirstInGroup(CGridLayout* group);

    void Measure() override;
    void CreateNativeWindow(CNativeWindow& owner) override;
    void OnCommand(int notifyCode, HWND control) override;

    CGridLayout* group;
    bool checked;
    CDelegate<CRadioButton*> onClick;

private:
    void SetCheckState(bool check);
};
