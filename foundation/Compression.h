#pragma once

#include <string>

// The compressed record of the course text block and the undo history: the
// uncompressed length as 3 bytes, most significant first, then one complete
// zlib stream, optionally made against a preset dictionary.

// The largest input the 24-bit length can describe.
constexpr size_t kMaxCompressedInput = (size_t(1) << 24) - 1;

// Compresses input into output (replaced). Level 9 with bestCompression,
// else zlib's default level. An empty dictionary gives a plain zlib stream.
// Fails, leaving output unchanged, on any zlib error and for an input longer
// than kMaxCompressedInput, which no reader could restore.
bool ZlibCompressWithLength(const std::string& input, std::string& output, bool bestCompression,
                            const std::string& dictionary);

// Restores a record. True only when the whole stream inflated to exactly the
// recorded length; a record that asks for a dictionary needs the matching
// non-empty one, and a record made without one is refused when a dictionary
// is offered. Output grows with the data actually inflated, so a damaged
// length field never makes a large allocation by itself; on failure output
// holds whatever was inflated.
bool ZlibUncompressWithLength(const std::string& input, std::string& output, const std::string& dictionary);
