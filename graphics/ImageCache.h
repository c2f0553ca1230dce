#pragma once

#include <memory>
#include <string>

class CPixelBitmap;

// The pictures the program carries, each loaded once from its resource (see
// graphics/ImageCodec.h for the name rules) and shared for the rest of the
// run. Only the user-interface thread asks for pictures.
class CImage
{
public:
    // The picture of that name, exact case ("Grass.jpg"); null when it could
    // not be loaded. The first request loads it, every later one returns the
    // same bitmap (a failed load is not tried again). The cache owns the
    // bitmap and keeps it until the program ends.
    static const CPixelBitmap* GetCached(const std::wstring& name);
};

// The uncached load: the codec of the name's extension loads the resource.
// A name whose extension no codec knows is reported and gives null.
std::unique_ptr<CPixelBitmap> LoadImageByName(const std::wstring& name);
