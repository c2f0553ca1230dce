#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Finds where a word of a label may be hyphenated, by Liang's pattern method
// over the US English patterns (HyphenationPatterns.cpp). Letters are a-z,
// A-Z and the Latin-1 letters, which count as their base letters.
class CHyphenator
{
public:
    CHyphenator();

    // Looks for a hyphen before a text character k with minIndex <= k <=
    // maxIndex, at least one letter of the word on either side, searching
    // the words from the right. Answers true with the rightmost position the
    // patterns allow. Otherwise answers false with a fallback position: the
    // one the patterns advise against least, near the middle of a word (ties
    // to the right), or 0 when no word offers any position.
    bool FindBreak(const std::wstring& text, int minIndex, int maxIndex, int& position);

private:
    // Fills m_values for the dotted word in m_word: an odd value allows a
    // hyphen before that character of the dotted word.
    void ComputeValues();

    std::string m_word;
    std::vector<int32_t> m_values;
};

// The pattern table: letters with "." at a word edge and a digit between
// them, sorted by the letters (digits ignored); a null pointer ends it.
extern const char* const g_hyphenationPatterns[];
