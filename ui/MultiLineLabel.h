#pragma once

#include <string>
#include <vector>

#include "ui/GridLayout.h"
#include "ui/StaticText.h"

// A text broken into lines of a given width, one label per line, in a
// one-column grid. The lines come from CLineBreaker with the built-in font
// metrics at the height of the UI font: they break at white space and after
// hyphens, and a line that would fill less than three quarters of the width
// takes a hyphenated part of the next word. The labels take no access keys.
class CMultiLineLabel : public CGridLayout
{
public:
    // widthInCharacters: the line width in average characters of the UI
    // font; at least 1, and the text not empty (else reported).
    CMultiLineLabel(const std::wstring& text, int widthInCharacters);
    // Deletes the line labels.
    ~CMultiLineLabel() override;

    std::vector<CStaticText*> lines;
};
