#include "ui/SpinEdit.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "ui/EditBox.h"
#include "ui/MessageBox.h"

static_assert(sizeof(NMUPDOWN) == (sizeof(void*) == 8 ? 32 : 20), "NMUPDOWN layout differs");

namespace {

// Full-width forms count as their ASCII letters.
wchar_t ToAscii(wchar_t c) { return c >= 0xFF01 && c <= 0xFF5E ? wchar_t(c - 0xFF01 + 0x21) : c; }

bool IsDigit(wchar_t c) { return ToAscii(c) >= L'0' && ToAscii(c) <= L'9'; }

}  // namespace

CSpinEdit::CSpinEdit(int minChars_, int preferredChars_) : minChars(minChars_), preferredChars(preferredChars_) {}

std::wstring CSpinEdit::GetText() const { return editWindow ? ReadWindowText(editWindow) : text; }

void CSpinEdit::SetText(const std::wstring& newText)
{
    text = newText;
    if (!editWindow)
        return;
    settingText = true;
    PushText(editWindow, text);
    settingText = false;
}

void CSpinEdit::FocusAndSelectAll()
{
    if (!editWindow) {
        ReportFailure();
        return;
    }
    SetFocus(editWindow);
    SendMessageW(editWindow, EM_SETSEL, 0, -1);
}

bool CSpinEdit::HoldsNoValue() const
{
    const std::wstring current = GetText();
    return std::none_of(current.begin(), current.end(), IsDigit);
}

void CSpinEdit::SetEnabled(bool enable)
{
    enabled = enable;
    if (editWindow)
        EnableWindow(editWindow, enable);
    if (upDownWindow)
        EnableWindow(upDownWindow, enable);
}

void CSpinEdit::Measure()
{
    SetFieldLimits(CharsWidth(minChars, 22), CharsWidth(preferredChars, 22));
}

void CSpinEdit::CreateNativeWindow(CNativeWindow& owner)
{
    TRACE_POINT();
    DWORD common = WS_CHILD | WS_CLIPSIBLINGS | (visible ? WS_VISIBLE : 0) | (enabled ? 0 : WS_DISABLED);
    settingText = true;
    editWindow = owner.CreateChildWindow(L"EDIT", common | WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL, bounds, this,
                                         text, WS_EX_CLIENTEDGE);
    settingText = false;
    upDownWindow = owner.CreateChildWindow(UPDOWN_CLASSW, common | UDS_ARROWKEYS | UDS_ALIGNRIGHT | UDS_WRAP,
                                           bounds, this, std::wstring(), WS_EX_CLIENTEDGE);
    if (editWindow) {
        SetHandle(editWindow);
        closed = false;
    }
    if (editWindow && upDownWindow)
        SendMessageW(upDownWindow, UDM_SETBUDDY, WPARAM(editWindow), 0);
}

void CSpinEdit::ForgetNativeWindow()
{
    CControl::ForgetNativeWindow();
    editWindow = nullptr;
    upDownWindow = nullptr;
}

bool CSpinEdit::HasNativeWindow() const { return editWindow != nullptr; }

void CSpinEdit::ApplyBounds()
{
    const int x = int(bounds.left);
    const int y = int(bounds.top);
    const int width = int(bounds.right - bounds.left);
    const int height = int(bounds.bottom - bounds.top);
    for (HWND window : {editWindow, upDownWindow}) {
        if (window && !MoveWindow(window, x, y, width, height, TRUE)) {
            TRACE_VALUE(int32_t, int32_t(GetLastError()));
            ReportFailure(kFailSystemCall);
        }
    }
    // Buddying again makes the up-down take its place at the edit's right
    // edge and narrows the edit by its width.
    if (editWindow && upDownWindow)
        SendMessageW(upDownWindow, UDM_SETBUDDY, WPARAM(editWindow), 0);
}

void CSpinEdit::ApplyVisibility()
{
    for (HWND window : {editWindow, upDownWindow})
        if (window)
            ShowWindow(window, visible ? SW_SHOW : SW_HIDE);
}

void CSpinEdit::OnCommand(int notifyCode, HWND control)
{
    if (notifyCode == EN_SETFOCUS) {
        onFocus(this);
    } else if (notifyCode == EN_CHANGE && !settingText && editWindow) {
        text = ReadWindowText(editWindow);
        changed = true;
        onChange(this);
    }
}

void CSpinEdit::OnNotify(NMHDR* header)
{
    if (header->code != UDN_DELTAPOS)
        return;
    const NMUPDOWN* upDown = reinterpret_cast<const NMUPDOWN*>(header);
    changed = true;
    // With the up-down's default range (100 down to 0) the up arrow gives a
    // negative delta.
    OnSpin(upDown->iDelta < 0);
    onSpin(this);
}

bool ParseSpinText(const std::wstring& text, int& value)
{
    int64_t magnitude = 0;
    bool negative = false;
    for (wchar_t c : text) {
        c = ToAscii(c);
        if (c == L' ')
            continue;
        if (c >= L'0' && c <= L'9') {
            magnitude = magnitude * 10 + (c - L'0');
            // A value beyond the int range would wrap into a plausible one.
            if (magnitude > INT32_MAX) {
                value = 0;
                return false;
            }
            continue;
        }
        if (c == L'-' && magnitude == 0) {
            negative = true;
            continue;
        }
        value = 0;
        return false;
    }
    value = int(negative ? -magnitude : magnitude);
    return true;
}

CRangeSpinEdit::CRangeSpinEdit(int min_, int max_, int step_)
    : CSpinEdit(4, 9), min(min_), max(max_), step(step_), value(min_)
{
    if (step <= 0) {
        TRACE_VALUE(int32_t, step);
        ReportFailure();
        step = 1;
    }
}

bool CRangeSpinEdit::GetValue(int& out, bool report)
{
    const std::wstring current = GetText();
    int parsed = 0;
    const bool valid = ParseSpinText(current, parsed);
    if (valid && !HoldsNoValue() && parsed >= min && parsed <= max) {
        out = parsed;
        return true;
    }
    if (report) {
        if (valid)
            CMessageBox::Show(GetStringWith2Args(2688, std::to_wstring(min), std::to_wstring(max)), 0);
        else
            CMessageBox::Show(GetStringWithArg(2684, current), 0);
        FocusAndSelectAll();
    }
    return false;
}

void CRangeSpinEdit::SetValue(int v)
{
    SetText(std::to_wstring(v));
    value = v;
}

void CRangeSpinEdit::OnSpin(bool up)
{
    const std::wstring current = GetText();
    if (current.empty()) {
        SetValue(value);
        return;
    }
    int parsed = 0;
    if (!ParseSpinText(current, parsed))
        return;
    int result;
    if (parsed > max) {
        result = max;
    } else if (parsed < min) {
        result = min;
    } else {
        int64_t next = int64_t(parsed) + (up ? step : -step);
        const int64_t magnitude = (next < 0 ? -next : next) / step * step;
        next = next < 0 ? -magnitude : magnitude;
        result = next > max ? max : next < min ? min : int(next);
    }
    SetValue(result);
}
