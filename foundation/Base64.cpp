#include "foundation/Base64.h"

#include <cstdint>

#include "foundation/CrashLog.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Six-bit value of each seven-bit character, -1 outside the alphabet.
struct CDecodeTable
{
    CDecodeTable()
    {
        for (int& v : values)
            v = -1;
        for (int i = 0; i < 64; ++i)
            values[static_cast<unsigned char>(kAlphabet[i])] = i;
    }
    int values[128];
};

}  // namespace

std::string CBase64::Encode(const void* bytes, size_t count, int lineLength)
{
    const unsigned char* data = static_cast<const unsigned char*>(bytes);
    const size_t characters = 4 * ((count + 2) / 3);
    std::string text;
    text.reserve(characters + (lineLength > 0 ? 2 * (characters / size_t(lineLength)) : 0));

    int sinceBreak = 0;
    auto put = [&](char c) {
        if (lineLength > 0 && sinceBreak == lineLength) {
            text += "\r\n";
            sinceBreak = 0;
        }
        text += c;
        ++sinceBreak;
    };
    uint32_t bits = 0;
    int pending = 0;
    for (size_t i = 0; i < count; ++i) {
        bits = (bits << 8) | data[i];
        pending += 8;
        while (pending >= 6) {
            pending -= 6;
            put(kAlphabet[(bits >> pending) & 0x3F]);
        }
    }
    if (pending > 0)
        put(kAlphabet[(bits << (6 - pending)) & 0x3F]);
    if (count % 3 == 1)
        text += "==";
    else if (count % 3 == 2)
        text += "=";

    if (lineLength % 4 != 0 || lineLength < 0) {
        TRACE_VALUE(int32_t, lineLength);
        ReportFailure();
    }
    return text;
}

std::string CBase64::Decode(const std::string& text)
{
    static const CDecodeTable table;
    std::string bytes;
    bytes.reserve(3 * ((text.size() + 3) / 4));
    uint32_t bits = 0;
    int pending = 0;
    for (char c : text) {
        const int value = table.values[static_cast<unsigned char>(c) & 0x7F];
        if (value < 0)
            continue;
        bits = (bits << 6) | uint32_t(value);
        pending += 6;
        if (pending >= 8) {
            pending -= 8;
            bytes.push_back(char((bits >> pending) & 0xFF));
        }
    }
    return bytes;
}
