#include "graphics/LineBreaker.h"

#include <cmath>
#include <cwctype>

#include "foundation/CrashLog.h"

namespace {

// A width below 0 or not a number, or a font size that is not finite, is
// reported and taken as 0.
float Checked(float value, bool finite)
{
    if (value >= 0.0f && (!finite || std::isfinite(value)))
        return value;
    TRACE_VALUE(float, value);
    ReportFailure();
    return 0.0f;
}

}  // namespace

CLineBreaker::CLineBreaker() : m_font(0.0f, false), m_text(L" ")
{
    m_text.reserve(1000);
    m_line.reserve(200);
}

void CLineBreaker::SetFont(const CFontMetrics& font, float minimumFill, float maximumWidth)
{
    TRACE_VALUE(float, maximumWidth);
    m_font = font;
    m_font.size = Checked(font.size, true);
    m_minimumFill = Checked(minimumFill, false);
    m_maximumWidth = Checked(maximumWidth, false);
    m_lineStart = 0;
    m_nextLineStart = 0;
}

void CLineBreaker::SetText(const std::wstring& text)
{
    TRACE_VALUE(std::wstring, text);
    m_text = text.empty() ? std::wstring(L" ") : text;
    m_lineStart = 0;
    m_nextLineStart = 0;
    ComputeLine();
}

void CLineBreaker::NextLine()
{
    TRACE_VALUE(int32_t, m_nextLineStart);
    if (m_lineStart >= GetTextLength())
        return;
    m_lineStart = m_nextLineStart;
    if (m_lineStart < GetTextLength())
        ComputeLine();
    else
        m_line.clear();
}

void CLineBreaker::ComputeLine()
{
    TRACE_VALUE(int32_t, m_lineStart);
    const int start = m_lineStart;
    const int length = GetTextLength();
    const float maxWidth = m_maximumWidth;
    const float hyphenWidth = m_font.GetCharAdvance(L'-');

    int lastFit = start + 1;
    int hyphenLimit = start;
    int breakPosition = start;
    int breakNext = start;
    float breakWidth = -1.0f;
    bool inSpace = false;
    float width = 0.0f;
    for (int i = start;; ++i) {
        if (width + hyphenWidth <= maxWidth)
            hyphenLimit = i;
        const bool atEnd = i == length;
        if (!atEnd && std::iswspace(m_text[i])) {
            if (!inSpace) {
                if (width > maxWidth)
                    break;
                // A break before leading white space would leave the line
                // empty.
                if (i > start) {
                    breakPosition = i;
                    breakWidth = width;
                }
                inSpace = true;
            }
        } else {
            const bool afterSpace = inSpace;
            if (inSpace) {
                breakNext = i;
                inSpace = false;
            }
            if ((atEnd || !afterSpace) && i > lastFit && width <= maxWidth)
                lastFit = i;
            if (atEnd || width >= maxWidth)
                break;
        }
        width += m_font.GetCharAdvance(m_text[i]);
        if (m_text[i] == L'-' && width <= maxWidth) {
            breakPosition = i + 1;
            breakNext = i + 1;
            breakWidth = width;
        }
    }

    if (lastFit == length) {
        m_line.assign(m_text, start, length - start);
        m_nextLineStart = length;
        return;
    }
    if (breakWidth > 0.0f && breakWidth >= m_minimumFill) {
        m_line.assign(m_text, start, breakPosition - start);
        m_nextLineStart = breakNext;
        return;
    }
    int hyphenAt = 0;
    const bool found = m_hyphenator.FindBreak(m_text, breakPosition + 1, hyphenLimit, hyphenAt);
    if (found || (hyphenAt != 0 && breakWidth <= 0.0f)) {
        m_line.assign(m_text, start, hyphenAt - start);
        m_line += L'-';
        m_nextLineStart = hyphenAt;
    } else if (breakWidth > 0.0f) {
        m_line.assign(m_text, start, breakPosition - start);
        m_nextLineStart = breakNext;
    } else {
        m_line.assign(m_text, start, lastFit - start);
        m_nextLineStart = lastFit;
    }
}
