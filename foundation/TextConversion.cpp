#include "foundation/TextConversion.h"

#include "foundation/CrashLog.h"

std::string WideToUtf8(const std::wstring& text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (wchar_t character : text) {
        const unsigned unit = static_cast<unsigned short>(character);
        if (unit < 0x80) {
            bytes += char(unit);
        } else if (unit < 0x800) {
            bytes += char(0xC0 | (unit >> 6));
            bytes += char(0x80 | (unit & 0x3F));
        } else {
            bytes += char(0xF0 | (unit >> 12));
            bytes += char(0x80 | ((unit >> 6) & 0x3F));
            bytes += char(0x80 | (unit & 0x3F));
        }
    }
    return bytes;
}

std::wstring Utf8ToWide(const std::string& text)
{
    std::wstring units;
    units.reserve(text.size());
    const size_t length = text.size();
    size_t i = 0;
    while (i < length) {
        const unsigned lead = static_cast<unsigned char>(text[i++]);
        if (lead < 0x80) {
            units += wchar_t(lead);
            continue;
        }
        const size_t needed = (lead & 0x20) ? 2 : 1;
        unsigned continuation[2] = {0, 0};
        if (length - i < needed) {
            TRACE_VALUE(std::string, text);
            ReportFailure();
        }
        for (size_t k = 0; k < needed && i < length; ++k)
            continuation[k] = static_cast<unsigned char>(text[i++]);
        if (needed == 1)
            units += wchar_t(((lead & 0x1F) << 6) | (continuation[0] & 0x3F));
        else
            units += wchar_t(((lead & 0x0F) << 12) | ((continuation[0] & 0x3F) << 6) | (continuation[1] & 0x3F));
    }
    return units;
}
