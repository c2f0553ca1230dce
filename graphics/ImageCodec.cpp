#include "graphics/ImageCodec.h"

#include <objidl.h>

#include <gdiplus.h>

#include <cstring>
#include <vector>

#include "foundation/ColorTable.h"
#include "foundation/CrashLog.h"
#include "foundation/SystemFunctions.h"
#include "graphics/GdiplusBitmap.h"
#include "graphics/GdiplusSession.h"
#include "graphics/ImageEncoder.h"
#include "graphics/PixelBitmap.h"
#include "graphics/PlainPng.h"

namespace
{

// The first two bytes of a BMP file, "BM".
const WORD kBmpFileType = 0x4D42;

// Releases a COM stream.
class CStreamOwner
{
public:
    explicit CStreamOwner(IStream* stream) : m_stream(stream) {}
    ~CStreamOwner()
    {
        if (m_stream)
            m_stream->Release();
    }
    CStreamOwner(const CStreamOwner&) = delete;
    CStreamOwner& operator=(const CStreamOwner&) = delete;
    IStream* Get() const { return m_stream; }

private:
    IStream* m_stream;
};

// The picture of a GDI+ bitmap when it may be held; no report of its own.
std::unique_ptr<CPixelBitmap> ConvertDecoded(const CGdiplusBitmap& decoded)
{
    UINT width = 0;
    UINT height = 0;
    Gdiplus::DllExports::GdipGetImageWidth(decoded.GetImage(), &width);
    Gdiplus::DllExports::GdipGetImageHeight(decoded.GetImage(), &height);
    if (width == 0 || height == 0 || !CPixelBitmap::IsSizeAllowed(width, height)) {
        TRACE_VALUE(int32_t, int32_t(width));
        TRACE_VALUE(int32_t, int32_t(height));
        return nullptr;
    }
    auto bitmap = std::make_unique<CPixelBitmap>(decoded.GetImage());
    if (bitmap->IsEmpty())
        return nullptr;
    return bitmap;
}

// A BITMAP resource holds the picture from its BITMAPINFOHEADER on; GDI+
// decodes only whole .bmp files, so the 14-byte file header is put back in
// front. Empty when the resource is too short to be a bitmap.
std::vector<uint8_t> MakeBmpFileBytes(const uint8_t* data, size_t size)
{
    // Nothing we could hold is larger than its pixels and a header.
    const size_t largest = size_t(CPixelBitmap::kMaxPixels) * 4 + 4096;
    if (size < sizeof(BITMAPCOREHEADER) || size > largest)
        return {};
    DWORD headerSize = 0;
    std::memcpy(&headerSize, data, sizeof(headerSize));
    size_t colorBytes = 0;
    if (headerSize == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core;
        std::memcpy(&core, data, sizeof(core));
        if (core.bcBitCount <= 8)
            colorBytes = (size_t(1) << core.bcBitCount) * sizeof(RGBTRIPLE);
    } else if (headerSize >= sizeof(BITMAPINFOHEADER) && headerSize <= size) {
        BITMAPINFOHEADER info;
        std::memcpy(&info, data, sizeof(info));
        size_t colors = info.biClrUsed;
        if (colors == 0 && info.biBitCount <= 8)
            colors = size_t(1) << info.biBitCount;
        if (colors > 256)
            return {};
        colorBytes = colors * sizeof(RGBQUAD);
        // The three masks follow a plain info header.
        if (info.biCompression == BI_BITFIELDS && headerSize == sizeof(BITMAPINFOHEADER))
            colorBytes += 3 * sizeof(DWORD);
    } else {
        return {};
    }
    if (headerSize + colorBytes > size)
        return {};

    BITMAPFILEHEADER file = {};
    file.bfType = kBmpFileType;
    file.bfSize = DWORD(sizeof(file) + size);
    file.bfOffBits = DWORD(sizeof(file) + headerSize + colorBytes);
    std::vector<uint8_t> bytes(sizeof(file) + size);
    std::memcpy(bytes.data(), &file, sizeof(file));
    std::memcpy(bytes.data() + sizeof(file), data, size);
    return bytes;
}

// Decodes a picture held in memory through a stream on a movable global
// block (the stream frees the block).
std::unique_ptr<CPixelBitmap> DecodeBytes(const uint8_t* data, size_t size)
{
    TRACE_POINT();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) {
        ReportFailure(kFailSystemCall);
        return nullptr;
    }
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        ReportFailure(kFailSystemCall);
        return nullptr;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(block);
    static const auto createStream =
        GetSystemFunction<decltype(CreateStreamOnHGlobal)>(L"ole32.dll", "CreateStreamOnHGlobal");
    IStream* created = nullptr;
    if (!createStream || FAILED(createStream(block, TRUE, &created)) || !created) {
        GlobalFree(block);
        ReportFailure(kFailSystemCall);
        return nullptr;
    }
    CStreamOwner stream(created);
    UseGdiplus();
    // GDI+ reads the stream lazily: the pixels are copied before it goes.
    Gdiplus::GpBitmap* bitmap = nullptr;
    const Gdiplus::Status status = Gdiplus::DllExports::GdipCreateBitmapFromStream(stream.Get(), &bitmap);
    CGdiplusBitmap decoded(bitmap);
    if (status != Gdiplus::Ok || decoded.IsNull()) {
        TRACE_VALUE(int32_t, status);
        ReportFailure(kFailSystemCall);
        return nullptr;
    }
    auto result = ConvertDecoded(decoded);
    if (!result)
        ReportFailure();
    return result;
}

bool EndsWithExtension(const std::wstring& name, const CImageCodec& codec)
{
    const std::wstring lower = codec.GetKey();
    const std::wstring upper = codec.GetExtension();
    const size_t offset = name.size() - 3;
    for (size_t i = 0; i < 3; ++i) {
        const wchar_t c = name[offset + i];
        if (c != lower[i] && c != upper[i])
            return false;
    }
    return true;
}

}  // namespace

std::wstring CImageCodec::GetResourceName(const std::wstring& name)
{
    std::wstring result = name.size() > 4 ? name.substr(0, name.size() - 4) : std::wstring();
    for (wchar_t& c : result) {
        if (c >= L'a' && c <= L'z')
            c = wchar_t(c - L'a' + L'A');
    }
    return result;
}

std::unique_ptr<CPixelBitmap> CImageCodec::Load(const std::wstring& name) const
{
    TRACE_VALUE(std::wstring, name);
    const std::wstring resourceName = GetResourceName(name);
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = resourceName.empty() ? nullptr : FindResourceW(module, resourceName.c_str(), GetResourceType());
    if (!resource) {
        TRACE_VALUE(std::wstring, resourceName);
        ReportFailure();
        return nullptr;
    }
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    const auto* data = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    if (!data || size == 0) {
        TRACE_VALUE(int32_t, int32_t(size));
        ReportFailure(kFailSystemCall);
        return nullptr;
    }
    if (GetResourceType() == RT_BITMAP) {
        const std::vector<uint8_t> file = MakeBmpFileBytes(data, size);
        if (file.empty()) {
            TRACE_VALUE(int32_t, int32_t(size));
            ReportFailure();
            return nullptr;
        }
        return DecodeBytes(file.data(), file.size());
    }
    auto plain = std::make_unique<CPixelBitmap>();
    if (DecodePlainPng(data, size, *plain))
        return plain;
    return DecodeBytes(data, size);
}

std::unique_ptr<CPixelBitmap> CImageCodec::LoadFile(const std::wstring& fileName) const
{
    TRACE_VALUE(std::wstring, fileName);
    UseGdiplus();
    Gdiplus::GpBitmap* bitmap = nullptr;
    const Gdiplus::Status status = Gdiplus::DllExports::GdipCreateBitmapFromFile(fileName.c_str(), &bitmap);
    CGdiplusBitmap decoded(bitmap);
    if (status != Gdiplus::Ok || decoded.IsNull()) {
        TRACE_VALUE(int32_t, status);
        return nullptr;
    }
    return ConvertDecoded(decoded);
}

bool CImageCodec::Save(const CPixelBitmap& bitmap, const std::wstring& fileName, bool keepAlpha,
                       const CColorTable* palette) const
{
    TRACE_VALUE(std::wstring, fileName);
    // Indexed pictures are written 8 bits a pixel whatever the palette's size:
    // every encoder takes those (Wine's GIF encoder refuses 4-bit ones).
    CGdiplusBitmap image =
        palette ? bitmap.ToIndexedGdiplusBitmap(*palette, true) : bitmap.ToGdiplusBitmap(keepAlpha);
    if (image.IsNull())
        return false;
    CLSID encoder;
    if (!FindImageEncoder(GetMimeType(), encoder)) {
        TRACE_VALUE(std::wstring, GetMimeType());
        ReportFailure();
        return false;
    }
    const int status =
        image.SetStatus(Gdiplus::DllExports::GdipSaveImageToFile(image.Get(), fileName.c_str(), &encoder, nullptr));
    TRACE_VALUE(int32_t, status);
    return status == Gdiplus::Ok && image.GetLastStatus() == Gdiplus::Ok;
}

bool CBmpCodec::Save(const CPixelBitmap& bitmap, const std::wstring& fileName, bool keepAlpha,
                     const CColorTable* palette) const
{
    if (!CImageCodec::Save(bitmap, fileName, keepAlpha, palette))
        return false;
    // An encoder may leave the colour table of an indexed picture out of the
    // size in the file header while the offset of the pixels counts it
    // (Wine's does), and readers then warn that the two differ. A file that
    // cannot be opened again keeps what the encoder wrote.
    const HANDLE file = CreateFileW(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return true;
    BITMAPFILEHEADER header = {};
    DWORD done = 0;
    LARGE_INTEGER size = {};
    if (ReadFile(file, &header, sizeof header, &done, nullptr) && done == sizeof header &&
        header.bfType == kBmpFileType && GetFileSizeEx(file, &size) && size.QuadPart <= LONGLONG(MAXDWORD) &&
        header.bfSize != DWORD(size.QuadPart)) {
        header.bfSize = DWORD(size.QuadPart);
        if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0)
            WriteFile(file, &header, sizeof header, &done, nullptr);
    }
    CloseHandle(file);
    return true;
}

const CImageCodec* GetImageCodec(int index)
{
    static const CBmpCodec bmp;
    static const CGifCodec gif;
    static const CJpegCodec jpeg;
    static const CPngCodec png;
    static const CTiffCodec tiff;
    static const CImageCodec* const codecs[kImageCodecCount] = {&bmp, &gif, &jpeg, &png, &tiff};
    if (index < 0 || index >= kImageCodecCount) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        return nullptr;
    }
    return codecs[index];
}

const CImageCodec* FindCodecForFileName(const std::wstring& name)
{
    if (name.size() < 3)
        return nullptr;
    for (int i = 0; i < kImageCodecCount; ++i) {
        const CImageCodec* codec = GetImageCodec(i);
        if (EndsWithExtension(name, *codec))
            return codec;
    }
    return nullptr;
}

bool SaveImage(const CPixelBitmap& bitmap, const std::wstring& fileName, const CColorTable* fallbackPalette)
{
    TRACE_VALUE(std::wstring, fileName);
    const CImageCodec* codec = FindCodecForFileName(fileName);
    if (!codec) {
        ReportFailure();
        return false;
    }
    return SaveImage(bitmap, *codec, fileName, fallbackPalette);
}

bool SaveImage(const CPixelBitmap& bitmap, const CImageCodec& codec, const std::wstring& fileName,
               const CColorTable* fallbackPalette)
{
    bool opaque = true;
    if (codec.SupportsAlpha())
        bitmap.TestOpaqueAndWhite(&opaque, nullptr);

    std::unique_ptr<CColorTable> table;
    const CColorTable* palette = nullptr;
    const int mode = codec.GetPaletteMode();
    if (mode == 1 || mode == 2) {
        table = CColorTable::FromPixels(bitmap.GetPixels().data(), bitmap.GetPixels().size());
        palette = table.get();
        if (!palette && mode == 2) {
            palette = fallbackPalette;
            if (!palette)
                ReportFailure();
        }
    }
    return codec.Save(bitmap, fileName, !opaque, palette);
}
