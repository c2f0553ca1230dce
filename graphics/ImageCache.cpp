#include "graphics/ImageCache.h"

#include <map>

#include "foundation/CrashLog.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"

std::unique_ptr<CPixelBitmap> LoadImageByName(const std::wstring& name)
{
    TRACE_VALUE(std::wstring, name);
    const CImageCodec* codec = FindCodecForFileName(name);
    if (!codec) {
        ReportFailure();
        return nullptr;
    }
    return codec->Load(name);
}

const CPixelBitmap* CImage::GetCached(const std::wstring& name)
{
    // Built on first use and kept until exit, like the other process-wide
    // services.
    static auto* cache = new std::map<std::wstring, std::unique_ptr<CPixelBitmap>>();
    const auto found = cache->find(name);
    if (found != cache->end())
        return found->second.get();
    return cache->emplace(name, LoadImageByName(name)).first->second.get();
}
