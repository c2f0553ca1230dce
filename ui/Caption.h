#pragma once

#include <deque>
#include <string>

// The caption of a control or menu item with its access key. The key is shown
// by an "&" before one character of the text; automatic keys are handed out
// once per dialog or menu by AssignAccessKeys so that no two captions share a
// key and each key sits where the eye finds it (word starts, capitals, the part
// of the text that tells the caption apart from its neighbours).
class CCaption
{
public:
    CCaption() = default;
    explicit CCaption(const std::wstring& initialText) : text(initialText) {}

    // Stores the text; a key already chosen is placed again in the new text.
    void SetText(const std::wstring& newText);
    // Whether an automatic key may be given; forbidding drops a chosen key.
    void SetAutoMnemonic(bool allowed);
    // Gives the caption this key (an upper-case letter, a digit, or 0 for
    // none). A letter goes to its best-scoring position, a digit to its first
    // occurrence; a key that does not occur in the text leaves no key.
    void SetMnemonic(wchar_t newKey);

    // The text with "&" before the key character, or the plain text.
    const std::wstring& GetDisplayText() const { return key ? displayText : text; }

    // The score of index i of the text as the place of a key (see the .cpp).
    float GetPositionScore(int i) const;
    // letterScores from the text and sharedPrefix.
    void ComputeLetterScores();

    std::wstring text;
    bool autoKey = true;
    int priority = 0;
    wchar_t key = 0;
    int keyPosition = -1;
    int sharedPrefix = 0;
    float letterScores[26] = {};
    std::wstring displayText;
};

// The letter A-Z a character stands for when choosing access keys (Latin-1
// accented letters count as their base letter), or 0 for any other character.
wchar_t FoldAccessKeyChar(wchar_t c);

// Gives every caption of the list that allows an automatic key and has none
// a key of its own, in the list's order of collection.
void AssignAccessKeys(const std::deque<CCaption*>& captions);
