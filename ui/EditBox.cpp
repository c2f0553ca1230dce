#include "ui/EditBox.h"

#include "foundation/CrashLog.h"
#include "ui/WideBuffer.h"

std::wstring ReadWindowText(HWND window)
{
    if (!window)
        return std::wstring();
    const int length = GetWindowTextLengthW(window);
    CWideBuffer buffer(length);
    const int copied = GetWindowTextW(window, buffer.Get(), buffer.GetCapacity());
    return std::wstring(buffer.Get(), size_t(copied > 0 ? copied : 0));
}

CEditBox::CEditBox(int minChars_, int preferredChars_, int maxLength_)
    : minChars(minChars_), preferredChars(preferredChars_), maxLength(maxLength_)
{
}

void CEditBox::SetText(const std::wstring& newText)
{
    text = newText;
    PushText(hwnd, text);
}

void CEditBox::SetEditable(bool editable_)
{
    editable = editable_;
    if (hwnd && !SendMessageW(hwnd, EM_SETREADONLY, !editable, 0))
        ReportFailure(kFailSystemCall);
}

void CEditBox::Measure()
{
    SetFieldLimits(CharsWidth(minChars, 6), CharsWidth(preferredChars, 6));
}

void CEditBox::CreateNativeWindow(CNativeWindow& owner)
{
    const DWORD style = WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL | (editable ? 0 : ES_READONLY);
    settingText = true;
    HWND window = CreateControl(owner, L"EDIT", style, WS_EX_CLIENTEDGE, text);
    settingText = false;
    if (window && maxLength > 0)
        SendMessageW(window, EM_SETLIMITTEXT, WPARAM(maxLength), 0);
}

void CEditBox::OnCommand(int notifyCode, HWND control)
{
    if (notifyCode != EN_CHANGE || settingText || !hwnd)
        return;
    text = ReadWindowText(hwnd);
    onChange(this);
}
