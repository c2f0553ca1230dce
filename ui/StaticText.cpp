#include "ui/StaticText.h"

#include "ui/UIFontMetrics.h"

CStaticText::CStaticText(const std::wstring& text) : CCaptionedControl(text) {}

void CStaticText::SetText(const std::wstring& text)
{
    caption.SetText(text);
    PushText(hwnd, caption.GetDisplayText());
}

void CStaticText::Measure()
{
    FitWidthToText(*this, caption.text);
    minHeight = GetLineHeight();
    preferredHeight = minHeight;
    maxHeight = minHeight;
    heightStretch = 0;
}

void CStaticText::CreateNativeWindow(CNativeWindow& owner)
{
    CreateControl(owner, L"STATIC", WS_GROUP, 0, caption.GetDisplayText());
}
