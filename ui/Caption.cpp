#include "ui/Caption.h"

#include <climits>
#include <vector>

#include "foundation/CrashLog.h"

namespace {

// Base letters of the Latin-1 characters 192 to 255; "." for characters that
// are no letter (Æ, Ð, ×, Ø, Þ, ß and their lower-case partners, ÷).
const char kLatin1Fold[] = "AAAAAA.CEEEEIIII.NOOOOO..UUUUY.."
                           "AAAAAA.CEEEEIIII.NOOOOO..UUUUY.Y";

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Whether position i of a compared caption agrees with the other caption's
// character: the same letter after folding, two characters that are no
// letters, but a digit only with the same digit.
bool CharactersAgree(wchar_t mine, wchar_t other)
{
    const wchar_t folded = FoldAccessKeyChar(mine);
    if (folded)
        return folded == FoldAccessKeyChar(other);
    if (IsDigit(mine))
        return mine == other;
    return FoldAccessKeyChar(other) == 0;
}

bool IsCandidate(const CCaption* caption) { return caption->autoKey && caption->key == 0; }

// The length of the leading part of `caption` that it shares with `other`,
// cut back to whole words.
int SharedPrefixLength(const CCaption& caption, const CCaption& other)
{
    const std::wstring& a = caption.text;
    const std::wstring& b = other.text;
    size_t k = 0;
    while (k < a.size() && k < b.size() && CharactersAgree(a[k], b[k]))
        ++k;
    while (k > 0 && FoldAccessKeyChar(a[k - 1]) != 0)
        --k;
    return int(k);
}

void ComputeSharedPrefixes(const std::deque<CCaption*>& captions)
{
    for (CCaption* caption : captions) {
        if (!IsCandidate(caption))
            continue;
        int longest = 0;
        for (CCaption* other : captions) {
            if (other == caption || !other->autoKey || other->priority > caption->priority)
                continue;
            const int k = SharedPrefixLength(*caption, *other);
            if (k > longest)
                longest = k;
        }
        caption->sharedPrefix = longest;
        caption->ComputeLetterScores();
    }
}

void AssignDigits(const std::deque<CCaption*>& captions)
{
    bool taken[10] = {};
    for (const CCaption* caption : captions)
        if (IsDigit(caption->key))
            taken[caption->key - L'0'] = true;
    for (;;) {
        CCaption* winner = nullptr;
        for (CCaption* caption : captions) {
            if (!IsCandidate(caption) || caption->sharedPrefix >= int(caption->text.size()))
                continue;
            const wchar_t c = caption->text[size_t(caption->sharedPrefix)];
            if (!IsDigit(c) || taken[c - L'0'])
                continue;
            // On equal priority the later caption of the list wins.
            if (!winner || caption->priority >= winner->priority)
                winner = caption;
        }
        if (!winner)
            return;
        const wchar_t digit = winner->text[size_t(winner->sharedPrefix)];
        taken[digit - L'0'] = true;
        winner->SetMnemonic(digit);
    }
}

void AssignLetters(const std::deque<CCaption*>& captions)
{
    bool taken[26] = {};
    for (const CCaption* caption : captions)
        if (caption->key >= L'A' && caption->key <= L'Z')
            taken[caption->key - L'A'] = true;

    std::vector<float> normalised(captions.size() * 26);
    for (;;) {
        // Each candidate's scores, without the taken letters, scaled to a sum
        // that falls with its place in the list; and their totals per letter.
        float totals[26] = {};
        for (size_t n = 0; n < captions.size(); ++n) {
            const CCaption* caption = captions[n];
            if (!IsCandidate(caption))
                continue;
            float sum = 0.0f;
            for (int letter = 0; letter < 26; ++letter)
                sum += taken[letter] ? 0.0f : caption->letterScores[letter];
            const float scale = sum > 0.0f ? 8.0f / ((float(n) + 8.0f) * sum) : 1.0f;
            for (int letter = 0; letter < 26; ++letter) {
                const float s = taken[letter] ? 0.0f : caption->letterScores[letter] * scale;
                normalised[n * 26 + size_t(letter)] = s;
                totals[letter] += s;
            }
        }

        CCaption* winner = nullptr;
        int winningLetter = -1;
        int bestPriority = INT_MIN;
        float bestValue = 0.0f;
        for (size_t n = 0; n < captions.size(); ++n) {
            CCaption* caption = captions[n];
            if (!IsCandidate(caption) || (winner && caption->priority < bestPriority))
                continue;
            for (int letter = 0; letter < 26; ++letter) {
                const float s = normalised[n * 26 + size_t(letter)];
                if (s <= 0.0f)
                    continue;
                const float value = s * s / totals[letter];
                if (!winner || caption->priority > bestPriority || value > bestValue) {
                    winner = caption;
                    winningLetter = letter;
                    bestPriority = caption->priority;
                    bestValue = value;
                }
            }
        }
        if (!winner)
            return;
        taken[winningLetter] = true;
        winner->SetMnemonic(wchar_t(L'A' + winningLetter));
    }
}

}  // namespace

wchar_t FoldAccessKeyChar(wchar_t c)
{
    if (c >= L'a' && c <= L'z')
        return wchar_t(c - L'a' + L'A');
    if (c >= L'A' && c <= L'Z')
        return c;
    if (c >= 192 && c <= 255) {
        const char folded = kLatin1Fold[c - 192];
        return folded == '.' ? 0 : wchar_t(folded);
    }
    return 0;
}

void CCaption::SetText(const std::wstring& newText)
{
    text = newText;
    if (key)
        SetMnemonic(key);
}

void CCaption::SetAutoMnemonic(bool allowed)
{
    autoKey = allowed;
    if (!allowed && key)
        SetMnemonic(0);
}

float CCaption::GetPositionScore(int i) const
{
    float d = float(i);
    float w = 1.0f;
    if (i >= sharedPrefix) {
        d = float(i - sharedPrefix);
        w = 25.0f;
    }
    if (i == 0 || FoldAccessKeyChar(text[size_t(i) - 1]) == 0) {
        const wchar_t c = text[size_t(i)];
        w *= (c >= L'A' && c <= L'Z') ? 10.0f : 4.0f;
    }
    return 3.0f / (d + 3.0f) * w;
}

void CCaption::ComputeLetterScores()
{
    for (float& score : letterScores)
        score = 0.0f;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t folded = FoldAccessKeyChar(text[i]);
        if (!folded)
            continue;
        const float score = GetPositionScore(int(i));
        float& best = letterScores[folded - L'A'];
        if (score > best)
            best = score;
    }
}

void CCaption::SetMnemonic(wchar_t newKey)
{
    TRACE_VALUE(int32_t, newKey);
    key = newKey;
    keyPosition = -1;
    if (IsDigit(newKey)) {
        const size_t at = text.find(newKey);
        if (at != std::wstring::npos)
            keyPosition = int(at);
    } else if (newKey) {
        float best = -1.0f;
        for (size_t i = 0; i < text.size(); ++i) {
            if (FoldAccessKeyChar(text[i]) != newKey)
                continue;
            const float score = GetPositionScore(int(i));
            if (score > best) {
                best = score;
                keyPosition = int(i);
            }
        }
    }
    if (keyPosition < 0) {
        key = 0;
        displayText.clear();
        return;
    }
    displayText = text;
    displayText.insert(size_t(keyPosition), 1, L'&');
}

void AssignAccessKeys(const std::deque<CCaption*>& captions)
{
    TRACE_VALUE(int32_t, int32_t(captions.size()));
    ComputeSharedPrefixes(captions);
    AssignDigits(captions);
    AssignLetters(captions);
}
