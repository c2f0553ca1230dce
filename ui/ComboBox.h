#pragma once

#include <string>
#include <vector>

#include "foundation/Delegate.h"
#include "ui/Control.h"

// A drop-down list. Items keep the index they were added with, also when the
// list sorts them; the selection is such an index.
class CComboBox : public CControl
{
public:
    explicit CComboBox(bool sorted = false);

    // Appends an item and returns its index.
    int AddItem(const std::wstring& text);
    void SelectItem(int index);
    int GetSelection() const { return selection; }
    int GetItemCount() const { return int(items.size()); }
    void SetOnSelChange(const CDelegate<CComboBox*>& handler) { onSelChange = handler; }
    void SetOnCloseUp(const CDelegate<CComboBox*>& handler) { onCloseUp = handler; }
    // A combo box that reacts to being opened (fills itself late) is left
    // out of the tab order.
    void SetDropDownHandler(const CDelegate<CComboBox*>& handler);

    void Measure() override;
    void CreateNativeWindow(CNativeWindow& owner) override;
    void ApplyBounds() override;
    void OnCommand(int notifyCode, HWND control) override;

    bool sorted;
    std::vector<std::wstring> items;
    int selection = 0;
    bool selectionSet = false;
    CDelegate<CComboBox*> onSelChange;
    CDelegate<CComboBox*> onDropDown;
    CDelegate<CComboBox*> onCloseUp;
    bool noTabStop = false;

private:
    void AddNativeItem(int index);
    // The list position that shows item `index`, or -1.
    int FindPosition(int index) const;
};
