#include "graphics/PlainPng.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/PixelBitmap.h"

namespace {

const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t ReadBigEndian(const uint8_t* bytes)
{
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | bytes[3];
}

bool Inflate(const std::string& compressed, std::vector<uint8_t>& raw)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = uInt(compressed.size());
    stream.next_out = raw.data();
    stream.avail_out = uInt(raw.size());
    const int result = inflate(&stream, Z_FINISH);
    const bool whole = result == Z_STREAM_END && stream.total_out == raw.size();
    inflateEnd(&stream);
    return whole;
}

int Paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

// Undoes the filter of each row in place: raw holds, per row, the filter
// type and stride bytes; stride is what a row holds of pixels.
bool Unfilter(std::vector<uint8_t>& raw, size_t stride, size_t height, size_t pixelBytes)
{
    const uint8_t* previous = nullptr;
    for (size_t y = 0; y < height; ++y) {
        uint8_t* row = &raw[y * (stride + 1)];
        const int filter = row[0];
        uint8_t* line = row + 1;
        for (size_t i = 0; i < stride; ++i) {
            const int left = i >= pixelBytes ? line[i - pixelBytes] : 0;
            const int up = previous ? previous[i] : 0;
            const int upLeft = previous && i >= pixelBytes ? previous[i - pixelBytes] : 0;
            int add;
            switch (filter) {
            case 0:
                add = 0;
                break;
            case 1:
                add = left;
                break;
            case 2:
                add = up;
                break;
            case 3:
                add = (left + up) / 2;
                break;
            case 4:
                add = Paeth(left, up, upLeft);
                break;
            default:
                return false;
            }
            line[i] = uint8_t(line[i] + add);
        }
        previous = line;
    }
    return true;
}

}  // namespace

bool DecodePlainPng(const uint8_t* data, size_t size, CPixelBitmap& bitmap)
{
    if (size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0)
        return false;
    uint32_t width = 0;
    uint32_t height = 0;
    size_t pixelBytes = 0;
    std::string compressed;
    bool ended = false;
    for (size_t at = sizeof kSignature; !ended;) {
        if (size - at < 12)
            return false;
        const uint32_t length = ReadBigEndian(data + at);
        const uint8_t* type = data + at + 4;
        const uint8_t* body = data + at + 8;
        if (length > size - at - 12)
            return false;
        if (std::memcmp(type, "IHDR", 4) == 0) {
            // Eight bits a channel, truecolour (2) or with alpha (6), the
            // one compression and filter method, no interlace.
            if (length != 13 || body[8] != 8 || (body[9] != 2 && body[9] != 6) || body[10] != 0 ||
                body[11] != 0 || body[12] != 0)
                return false;
            width = ReadBigEndian(body);
            height = ReadBigEndian(body + 4);
            pixelBytes = body[9] == 6 ? 4 : 3;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            compressed.append(reinterpret_cast<const char*>(body), length);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            ended = true;
        } else {
            // Anything more (gamma, colour profile, transparency) is GDI+'s.
            return false;
        }
        at += 12 + size_t(length);
    }
    if (pixelBytes == 0 || width == 0 || height == 0 || !CPixelBitmap::IsSizeAllowed(width, height))
        return false;
    const size_t stride = size_t(width) * pixelBytes;
    std::vector<uint8_t> raw((stride + 1) * height);
    if (!Inflate(compressed, raw) || !Unfilter(raw, stride, height, pixelBytes))
        return false;

    bitmap.Resize(float(width), float(height));
    if (bitmap.IsEmpty())
        return false;
    std::vector<uint32_t>& pixels = bitmap.GetPixels();
    for (size_t y = 0; y < height; ++y) {
        const uint8_t* line = &raw[y * (stride + 1) + 1];
        // Stored bottom row first.
        uint32_t* out = &pixels[(height - 1 - y) * width];
        for (size_t x = 0; x < width; ++x, line += pixelBytes) {
            const uint32_t alpha = pixelBytes == 4 ? line[3] : 255;
            out[x] = uint32_t(line[0]) | (uint32_t(line[1]) << 8) | (uint32_t(line[2]) << 16) | (alpha << 24);
        }
    }
    return true;
}
