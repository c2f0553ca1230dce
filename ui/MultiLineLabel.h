#pragma once

#include <string>
#include <vector>

#include "ui/GridLayout.h"
#include "ui/StaticText.h"

// A text broken into lines of about a given width, one label per line, in a
// one-column grid. Lines break at blanks and after hyphens, the widest line
// fits the width (a word longer than that is cut), and a line feed in the
// text always breaks. The labels take no access keys.
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

// The line breaking of CMultiLineLabel for any measure of text width: each
// line as wide as possible within maxWidth. Blanks at a break are dropped.
template <class MeasureWidth>
std::vector<std::wstring> BreakIntoLines(const std::wstring& text, int maxWidth, MeasureWidth measure);

// The same with the UI font's measure (GetTextWidth).
std::vector<std::wstring> BreakIntoUILines(const std::wstring& text, int maxWidth);

template <class MeasureWidth>
std::vector<std::wstring> BreakIntoLines(const std::wstring& text, int maxWidth, MeasureWidth measure)
{
    std::vector<std::wstring> result;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t feed = text.find(L'\n', start);
        std::wstring paragraph = text.substr(start, feed == std::wstring::npos ? std::wstring::npos : feed - start);
        if (!paragraph.empty() && paragraph.back() == L'\r')
            paragraph.pop_back();
        size_t position = 0;
        do {
            // Grow the line over break opportunities while it fits.
            size_t end = position;
            size_t lastFit = position;
            while (end < paragraph.size()) {
                size_t next = end;
                while (next < paragraph.size() && paragraph[next] != L' ' && paragraph[next] != L'-')
                    ++next;
                if (next < paragraph.size() && paragraph[next] == L'-')
                    ++next;
                if (measure(paragraph.substr(position, next - position)) > maxWidth)
                    break;
                lastFit = next;
                end = next;
                while (end < paragraph.size() && paragraph[end] == L' ')
                    ++end;
            }
            if (lastFit == position && position < paragraph.size()) {
                // One word is wider than the line: cut it where it overflows.
                lastFit = position + 1;
                while (lastFit < paragraph.size() && paragraph[lastFit] != L' ' &&
                       measure(paragraph.substr(position, lastFit + 1 - position)) <= maxWidth)
                    ++lastFit;
            }
            std::wstring line = paragraph.substr(position, lastFit - position);
            while (!line.empty() && line.back() == L' ')
                line.pop_back();
            result.push_back(line);
            position = lastFit;
            while (position < paragraph.size() && paragraph[position] == L' ')
                ++position;
        } while (position < paragraph.size());
        if (feed == std::wstring::npos)
            break;
        start = feed + 1;
    }
    return result;
}
