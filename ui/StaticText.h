#pragma once

#include "ui/Control.h"

// A one-line label. Its access key, when it gets one, moves the focus to the
// control that follows it.
class CStaticText : public CCaptionedControl
{
public:
    explicit CStaticText(const std::wstring& text);

    void SetText(const std::wstring& text);

    void Measure() override;
    void CreateNativeWindow(CNativeWindow& owner) override;
};
