#pragma once

#include <string>

// The program's 8-bit form of wide text, used for registry value names given
// as narrow text and in field streams. Each 16-bit unit is encoded on its own:
// below 0x80 one byte; below 0x800 two bytes as in UTF-8; from 0x800 up three
// bytes whose lead byte is 0xF0 plus the top four bits (not the 0xE0 of
// standard UTF-8). Surrogate halves are encoded separately. ASCII text is
// identical to UTF-8, and every sequence of 16-bit units round-trips.
std::string WideToUtf8(const std::wstring& text);

// The inverse; a lead byte with bit 5 set takes two continuation bytes, so the
// standard 0xE0 leads decode the same as the program's 0xF0 ones. Continuation
// bytes are not checked; a text that ends inside a sequence is reported and
// the missing bytes count as 0.
std::wstring Utf8ToWide(const std::string& text);
