#pragma once

#include <string>

#include "foundation/FontMetrics.h"
#include "graphics/Hyphenator.h"

// Cuts a plain text into lines no wider than a maximum width, measured with
// the built-in font metrics. Lines break at white space and after "-"; a
// line that would stay shorter than the minimum fill takes the first part of
// the next word with a hyphen where the word may be hyphenated. A word wider
// than a line is cut, with a hyphen where possible. Every line holds at
// least one character, so the lines always advance.
//
// Use: SetFont, SetText, then while GetLineStart() != GetTextLength(): show
// GetLine(), NextLine().
class CLineBreaker
{
public:
    CLineBreaker();

    // Widths in the font's units. A width below 0 or not a number, or a font
    // size that is not finite, is reported and taken as 0 (a maximum width
    // of 0 gives one character per line). Both line starts go back to 0.
    void SetFont(const CFontMetrics& font, float minimumFill, float maximumWidth);
    // An empty text becomes " ". Computes the first line.
    void SetText(const std::wstring& text);
    // Moves on to the following line; nothing once the text is used up.
    void NextLine();

    const std::wstring& GetLine() const { return m_line; }
    int GetLineStart() const { return m_lineStart; }
    int GetTextLength() const { return int(m_text.size()); }

private:
    // Computes the line from m_lineStart into m_line and m_nextLineStart.
    void ComputeLine();

    CFontMetrics m_font;
    float m_minimumFill = 0.0f;
    float m_maximumWidth = 0.0f;
    std::wstring m_text;
    std::wstring m_line;
    CHyphenator m_hyphenator;
    int m_lineStart = 0;
    int m_nextLineStart = 0;
};
