#include "ui/StaticText.h"

#include "ui/UIFontMetrics.h"

namespace {

// A native label exactly as wide as its text's measured extent loses the
// last character (a colon) under Wine; two pixels more show it whole.
constexpr int kLabelRoom = 2;

}  // namespace

CStaticText::CStaticText(const std::wstring& text) : CCaptionedControl(text) {}

void CStaticText::SetText(const std::wstring& text)
{
    caption.SetText(text);
    PushText(hwnd, caption.GetDisplayText());
}

void CStaticText::Measure()
{
    FitWidthToText(*this, caption.text, kLabelRoom);
    minHeight = GetLineHeight();
    preferredHeight = minHeight;
    maxHeight = minHeight;
    heightStretch = 0;
}

void CStaticText::CreateNativeWindow(CNativeWindow& owner)
{
    CreateControl(owner, L"STATIC", WS_GROUP, 0, caption.GetDisplayText());
}
