#pragma once

#include <cstddef>
#include <cstdint>

class CPixelBitmap;

// The pictures the program carries are PNG files of one plain kind: eight
// bits a channel, truecolour with or without alpha, not interlaced, nothing
// but their header, data and end chunks. Those are decoded here with zlib,
// without GDI+'s cost for every picture (the toolbars alone show dozens at
// start-up); the pixels are the ones GDI+ gives. False, with nothing
// reported, for anything else (another kind of PNG, another format, damaged
// data): GDI+ decodes that.
bool DecodePlainPng(const uint8_t* data, size_t size, CPixelBitmap& bitmap);
