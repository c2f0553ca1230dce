#include "graphics/Hyphenator.h"

#include <algorithm>

#include "foundation/TracePoint.h"

namespace {

// The Latin-1 letters from 192 to 255 by their base letters; "." marks the
// two that are no letters (multiplication and division signs).
const char kLatin1Folding[] = "aaaaaaaceeeeiiiidnooooo.ouuuuytsaaaaaaaceeeeiiiitnooooo.ouuuuyty";
static_assert(sizeof(kLatin1Folding) == 64 + 1, "one letter for each of 192-255");

int PatternCount()
{
    static const int count = [] {
        int n = 0;
        while (g_hyphenationPatterns[n])
            ++n;
        return n;
    }();
    return count;
}

// Compares the letters of a pattern with length letters of a word: negative
// when the pattern sorts first, 0 when the two are equal and the pattern
// ends there.
int ComparePattern(const char* pattern, const char* letters, int length)
{
    int i = 0;
    for (;; ++pattern) {
        const signed char p = static_cast<signed char>(*pattern);
        if (p >= '0' && p <= '9')
            continue;
        if (i == length)
            return p == 0 ? 0 : 1;
        const signed char w = static_cast<signed char>(letters[i]);
        if (p != w)
            return p < w ? -1 : 1;
        ++i;
    }
}

const char* FindPattern(const char* letters, int length)
{
    int low = 0;
    int high = PatternCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const int order = ComparePattern(g_hyphenationPatterns[middle], letters, length);
        if (order == 0)
            return g_hyphenationPatterns[middle];
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return nullptr;
}

// The base letter of a text character, in lower case, or 0 when it is no
// letter.
char FoldLetter(wchar_t c)
{
    if (c >= L'a' && c <= L'z')
        return char(c);
    if (c >= L'A' && c <= L'Z')
        return char(c - L'A' + 'a');
    if (c >= 192 && c <= 255) {
        const char folded = kLatin1Folding[c - 192];
        return folded == '.' ? 0 : folded;
    }
    return 0;
}

}  // namespace

CHyphenator::CHyphenator()
{
    m_word.reserve(50);
    m_values.reserve(50);
}

void CHyphenator::ComputeValues()
{
    const int length = int(m_word.size());
    m_values.assign(length, 0);
    for (int i = 0; i < length; ++i)
        m_values[i] = -2 * std::min(i, length - i);
    for (int start = 0; start + 2 <= length; ++start) {
        for (int end = start + 2; end <= length; ++end) {
            const char* pattern = FindPattern(m_word.data() + start, end - start);
            if (!pattern)
                continue;
            int letters = 0;
            for (const char* p = pattern; *p; ++p) {
                if (*p < '0' || *p > '9') {
                    ++letters;
                    continue;
                }
                const int at = start + letters;
                if (at < length)
                    m_values[at] = std::max(m_values[at], int32_t(*p - '0'));
            }
        }
    }
}

bool CHyphenator::FindBreak(const std::wstring& text, int minIndex, int maxIndex, int& position)
{
    TRACE_VALUE(int32_t, maxIndex);
    position = 0;
    int bestValue = 1000;
    const int textLength = int(text.size());
    int i = std::min(maxIndex, textLength) - 1;
    for (;;) {
        while (i >= 0 && !FoldLetter(text[i]))
            --i;
        if (i <= 0)
            return false;
        int wordStart = i;
        while (wordStart > 0 && FoldLetter(text[wordStart - 1]))
            --wordStart;
        int wordEnd = i + 1;
        while (wordEnd < textLength && FoldLetter(text[wordEnd]))
            ++wordEnd;
        if (wordEnd <= minIndex)
            return false;

        m_word.assign(1, '.');
        for (int k = wordStart; k < wordEnd; ++k)
            m_word += FoldLetter(text[k]);
        m_word += '.';
        ComputeValues();

        const int last = std::min(wordEnd - 1, maxIndex);
        const int first = std::max(wordStart + 1, minIndex);
        for (int k = last; k >= first; --k) {
            const int value = m_values[k - wordStart + 1];
            if (value % 2 != 0) {
                position = k;
                return true;
            }
            if (value < bestValue) {
                position = k;
                bestValue = value;
            }
        }
        i = wordStart - 1;
    }
}
