#include "ui/MultiLineLabel.h"

#include "foundation/CrashLog.h"
#include "foundation/FontMetrics.h"
#include "graphics/LineBreaker.h"
#include "ui/UIFontMetrics.h"

CMultiLineLabel::CMultiLineLabel(const std::wstring& text, int widthInCharacters) : CGridLayout(true)
{
    TRACE_VALUE(int32_t, widthInCharacters);
    if (widthInCharacters < 1 || text.empty()) {
        ReportFailure();
        if (widthInCharacters < 1)
            widthInCharacters = 1;
    }
    const float lineWidth = GetAverageCharWidth() * float(widthInCharacters);
    // The built-in metrics at the size whose text cell is one UI line high.
    const CFontMetrics font(float(GetLineHeight()) / CFontMetrics(1.0f, false).GetHeight(), false);
    CLineBreaker breaker;
    breaker.SetFont(font, lineWidth * 0.75f, lineWidth);
    breaker.SetText(text);
    while (breaker.GetLineStart() != breaker.GetTextLength()) {
        CStaticText* label = new CStaticText(breaker.GetLine());
        label->caption.SetAutoMnemonic(false);
        lines.push_back(label);
        Add(label);
        breaker.NextLine();
    }
}

CMultiLineLabel::~CMultiLineLabel()
{
    for (CStaticText* line : lines)
        delete line;
}
