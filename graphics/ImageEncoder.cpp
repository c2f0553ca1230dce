#include "graphics/ImageEncoder.h"

#include <gdiplus.h>

#include <vector>

#include "foundation/CrashLog.h"
#include "graphics/GdiplusSession.h"

bool FindImageEncoder(const std::wstring& mimeType, CLSID& clsid)
{
    TRACE_VALUE(std::wstring, mimeType);
    UseGdiplus();
    UINT count = 0;
    UINT bytes = 0;
    if (Gdiplus::DllExports::GdipGetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || count == 0 || bytes == 0)
        return false;
    // The codec records come first, followed by the strings they point into.
    std::vector<uint8_t> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (bytes < count * sizeof(Gdiplus::ImageCodecInfo) ||
        Gdiplus::DllExports::GdipGetImageEncoders(count, bytes, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && mimeType == codecs[i].MimeType) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}
