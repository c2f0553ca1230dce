#pragma once

// The scrambled user-interface texts, made at build time from Texts.txt.
// Only the text lookup (Strings.cpp) reads it.

struct CScrambledText
{
    const unsigned short* units;
    int length;
};

constexpr int kFirstTextId = 2000;
constexpr int kLastTextId = 2722;
constexpr int kTextCount = kLastTextId - kFirstTextId + 1;

// index = identifier - kFirstTextId, 0 .. kTextCount - 1 (not checked here).
CScrambledText GetScrambledText(int index);
