#include "ui/MultiLineLabel.h"

#include "foundation/CrashLog.h"
#include "ui/UIFontMetrics.h"

std::vector<std::wstring> BreakIntoUILines(const std::wstring& text, int maxWidth)
{
    return BreakIntoLines(text, maxWidth, [](const std::wstring& line) { return GetTextWidth(line); });
}

CMultiLineLabel::CMultiLineLabel(const std::wstring& text, int widthInCharacters) : CGridLayout(true)
{
    TRACE_VALUE(int32_t, widthInCharacters);
    if (widthInCharacters < 1 || text.empty()) {
        ReportFailure();
        if (widthInCharacters < 1)
            widthInCharacters = 1;
    }
    const int lineWidth = int(GetAverageCharWidth() * float(widthInCharacters));
    for (const std::wstring& line : BreakIntoUILines(text, lineWidth)) {
        CStaticText* label = new CStaticText(line);
        label->caption.SetAutoMnemonic(false);
        lines.push_back(label);
        Add(label);
    }
}

CMultiLineLabel::~CMultiLineLabel()
{
    for (CStaticText* line : lines)
        delete line;
}
