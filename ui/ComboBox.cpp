#include "ui/ComboBox.h"

#include "foundation/CrashLog.h"
#include "ui/UIFontMetrics.h"

namespace {

// The height of the open list below the selection field.
const int kDropListHeight = 250;

}  // namespace

CComboBox::CComboBox(bool sorted_) : sorted(sorted_) {}

int CComboBox::AddItem(const std::wstring& text)
{
    items.push_back(text);
    const int index = int(items.size()) - 1;
    if (hwnd)
        AddNativeItem(index);
    return index;
}

void CComboBox::AddNativeItem(int index)
{
    const LRESULT position = SendMessageW(hwnd, CB_ADDSTRING, 0, LPARAM(items[size_t(index)].c_str()));
    if (position < 0) {
        TRACE_VALUE(int32_t, index);
        ReportFailure(kFailSystemCall);
        return;
    }
    SendMessageW(hwnd, CB_SETITEMDATA, WPARAM(position), LPARAM(index));
}

int CComboBox::FindPosition(int index) const
{
    const LRESULT count = SendMessageW(hwnd, CB_GETCOUNT, 0, 0);
    for (LRESULT position = 0; position < count; ++position)
        if (SendMessageW(hwnd, CB_GETITEMDATA, WPARAM(position), 0) == index)
            return int(position);
    return -1;
}

void CComboBox::SelectItem(int index)
{
    TRACE_VALUE(int32_t, index);
    if (index < 0 || size_t(index) >= items.size()) {
        ReportFailure();
        return;
    }
    selection = index;
    selectionSet = true;
    if (hwnd)
        SendMessageW(hwnd, CB_SETCURSEL, WPARAM(FindPosition(index)), 0);
}

void CComboBox::SetDropDownHandler(const CDelegate<CComboBox*>& handler)
{
    onDropDown = handler;
    noTabStop = true;
}

void CComboBox::Measure()
{
    int widest = 0;
    for (const std::wstring& item : items) {
        const int width = GetTextWidth(item);
        if (width > widest)
            widest = width;
    }
    const int width = widest + int(GetAverageCharWidth()) + 25;
    SetFieldLimits(width, width);
}

void CComboBox::CreateNativeWindow(CNativeWindow& owner)
{
    TRACE_POINT();
    DWORD style = WS_VSCROLL | CBS_DROPDOWNLIST;
    if (!noTabStop)
        style |= WS_GROUP | WS_TABSTOP;
    if (sorted)
        style |= CBS_SORT;
    if (!CreateControl(owner, L"COMBOBOX", style, WS_EX_CLIENTEDGE, std::wstring()))
        return;
    ApplyBounds();
    for (size_t i = 0; i < items.size(); ++i)
        AddNativeItem(int(i));
    if (selectionSet) {
        SendMessageW(hwnd, CB_SETCURSEL, WPARAM(FindPosition(selection)), 0);
    } else if (!items.empty()) {
        SendMessageW(hwnd, CB_SETCURSEL, 0, 0);
        const LRESULT first = SendMessageW(hwnd, CB_GETITEMDATA, 0, 0);
        if (first >= 0 && size_t(first) < items.size())
            selection = int(first);
    }
}

void CComboBox::ApplyBounds()
{
    if (!hwnd)
        return;
    const int height = int(bounds.bottom - bounds.top);
    if (!MoveWindow(hwnd, int(bounds.left), int(bounds.top), int(bounds.right - bounds.left), kDropListHeight, TRUE)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
    // The selection field is the item height plus the 3-pixel borders above
    // and below.
    if (SendMessageW(hwnd, CB_SETITEMHEIGHT, WPARAM(-1), LPARAM(height - 6)) == CB_ERR) {
        TRACE_VALUE(int32_t, height);
        ReportFailure(kFailSystemCall);
    }
}

void CComboBox::OnCommand(int notifyCode, HWND control)
{
    if (!hwnd)
        return;
    switch (notifyCode) {
    case CBN_SELCHANGE: {
        const LRESULT position = SendMessageW(hwnd, CB_GETCURSEL, 0, 0);
        const LRESULT index = SendMessageW(hwnd, CB_GETITEMDATA, WPARAM(position < 0 ? 0 : position), 0);
        if (index < 0 || size_t(index) >= items.size()) {
            // Not one of ours: keep the selection the object holds.
            TRACE_VALUE(int32_t, int32_t(index));
            ReportFailure();
            return;
        }
        selection = int(index);
        onSelChange(this);
        break;
    }
    case CBN_DROPDOWN:
        onDropDown(this);
        break;
    case CBN_CLOSEUP:
        onCloseUp(this);
        break;
    default:
        break;
    }
}
