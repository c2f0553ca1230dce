#include <gtest/gtest.h>

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <cstring>
#include <string>
#include <vector>

#include "graphics/GdiplusBitmap.h"
#include "graphics/PixelBitmap.h"
#include "graphics/PlainPng.h"

namespace {

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names)
{
    reinterpret_cast<std::vector<std::wstring>*>(names)->push_back(IS_INTRESOURCE(name) ? L"" : name);
    return TRUE;
}

std::string ResourceBytes(const std::wstring& name)
{
    HRSRC resource = FindResourceW(nullptr, name.c_str(), L"PNG");
    HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
    const char* data = static_cast<const char*>(loaded ? LockResource(loaded) : nullptr);
    return data ? std::string(data, SizeofResource(nullptr, resource)) : std::string();
}

// The picture as GDI+ decodes it.
CPixelBitmap DecodeWithGdiplus(const std::string& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(block, TRUE, &stream);
    Gdiplus::GpBitmap* bitmap = nullptr;
    Gdiplus::DllExports::GdipCreateBitmapFromStream(stream, &bitmap);
    CGdiplusBitmap decoded(bitmap);
    CPixelBitmap pixels(decoded.GetImage());
    stream->Release();
    return pixels;
}

bool DecodesPlain(const std::string& bytes)
{
    CPixelBitmap bitmap;
    return DecodePlainPng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), bitmap);
}

}  // namespace

TEST(PlainPng, TheProgramsPicturesDecodeAsThroughGdiplus)
{
    std::vector<std::wstring> names;
    EnumResourceNamesW(nullptr, L"PNG", &CollectName, LONG_PTR(&names));
    ASSERT_GT(names.size(), 50u);
    for (const std::wstring& name : names) {
        const std::string bytes = ResourceBytes(name);
        CPixelBitmap plain;
        ASSERT_TRUE(DecodePlainPng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), plain));
        const CPixelBitmap reference = DecodeWithGdiplus(bytes);
        EXPECT_EQ(reference.GetPixelWidth(), plain.GetPixelWidth());
        EXPECT_EQ(reference.GetPixelHeight(), plain.GetPixelHeight());
        EXPECT_TRUE(reference.GetPixels() == plain.GetPixels());
    }
}

TEST(PlainPng, OtherKindsAndDamageAreLeftToGdiplus)
{
    std::vector<std::wstring> names;
    EnumResourceNamesW(nullptr, L"PNG", &CollectName, LONG_PTR(&names));
    ASSERT_FALSE(names.empty());
    const std::string good = ResourceBytes(names.front());
    ASSERT_TRUE(DecodesPlain(good));
    // Header bytes past the 8-byte signature and the chunk's length and type.
    const size_t depth = 8 + 8 + 8;
    std::string palette = good, sixteenBits = good, interlaced = good, gamma = good;
    palette[depth + 1] = 3;
    sixteenBits[depth] = 16;
    interlaced[depth + 4] = 1;
    // A gamma chunk after the header (25 bytes): GDI+ may correct colours.
    gamma.insert(8 + 25, std::string("\0\0\0\x04gAMA\0\0\xB1\x8F\0\0\0\0", 16));
    const std::string cases[] = {palette, sixteenBits, interlaced, gamma, good.substr(0, good.size() / 2),
                                 "not a picture", std::string()};
    for (const std::string& bytes : cases)
        EXPECT_FALSE(DecodesPlain(bytes));
}
