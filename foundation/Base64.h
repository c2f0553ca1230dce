#pragma once

#include <cstddef>
#include <string>

// Base64 of RFC 4648 (standard alphabet, "=" padding) with optional CR LF
// line breaks.
class CBase64
{
public:
    // Breaks come after every lineLength characters and never at the very
    // end; the padding is appended without a break check, so a last line can
    // be one or two characters longer. lineLength 0 gives one line; a length
    // that is not a multiple of 4 is reported, and the text still returned.
    static std::string Encode(const void* bytes, size_t count, int lineLength);
    static std::string Encode(const std::string& bytes, int lineLength)
    {
        return Encode(bytes.data(), bytes.size(), lineLength);
    }

    // Never fails: each character is looked up by its low seven bits, and
    // anything outside the alphabet (padding, line breaks, blanks) is skipped.
    // Bits left over at the end that make no whole byte are dropped.
    static std::string Decode(const std::string& text);
};
