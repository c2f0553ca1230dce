#include "ui/Control.h"

#include "foundation/CrashLog.h"
#include "ui/UIFontMetrics.h"

void CControl::SetEnabled(bool enable)
{
    enabled = enable;
    if (hwnd)
        EnableWindow(hwnd, enable);
}

void CControl::SetDirty()
{
    CWindow::SetDirty();
    ForgetNativeWindow();
}

void CControl::ForgetNativeWindow() { hwnd = nullptr; }

HWND CControl::CreateControl(CNativeWindow& owner, const wchar_t* className, DWORD style, DWORD exStyle,
                             const std::wstring& text)
{
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (visible)
        style |= WS_VISIBLE;
    HWND window = owner.CreateChildWindow(className, style, bounds, this, text, exStyle);
    if (!window)
        return nullptr;
    SetHandle(window);
    closed = false;
    if (!enabled)
        EnableWindow(window, FALSE);
    return window;
}

void CControl::PushText(HWND window, const std::wstring& text)
{
    if (window && !SetWindowTextW(window, text.c_str())) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
}

void CControl::SetFieldLimits(int minimumWidth, int preferredWidthValue)
{
    minWidth = minimumWidth;
    preferredWidth = preferredWidthValue;
    maxWidth = 0;
    widthStretch = 0;
    minHeight = DluToPixelsY(14);
    preferredHeight = minHeight;
    maxHeight = minHeight;
    heightStretch = 0;
}

int CControl::CharsWidth(int chars, int extra)
{
    return int(GetAverageCharWidth() * float(chars) + (float(extra) + 0.5f));
}

void CCaptionedControl::CollectCaptions(CNativeWindow& owner) { owner.captions.push_back(&caption); }

void FitWidthToText(CWindow& window, const std::wstring& text, int extra)
{
    const int width = GetTextWidth(text) + extra;
    if (width > window.minWidth) {
        window.minWidth = width;
        window.preferredWidth = width;
    }
    window.maxWidth = 0;
    window.widthStretch = 0;
}
