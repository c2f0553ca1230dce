#pragma once

#include <windows.h>

#include <memory>
#include <string>

class CColorTable;
class CPixelBitmap;

// The five picture formats (BMP, GIF, JPEG, PNG, TIFF), read and written
// through GDI+, started on first use (UseGdiplus).
//
// Pictures of the program's own file are resources found by the picture's
// name: "Grass.jpg" is the resource GRASS of type "JPG" -- the name without
// its last four characters, a-z upper-cased, and the codec's resource type:
// RT_BITMAP for BMP (so a BITMAP statement of the .rc file, which keeps the
// picture without its 14-byte file header), "GIF", "JPG", "PNG" and "TIF"
// for the others (user-defined resource types holding the file unchanged).
class CImageCodec
{
public:
    virtual ~CImageCodec() = default;

    // Lower-case and upper-case three-letter extension: "png", "PNG".
    virtual std::wstring GetKey() const = 0;
    virtual std::wstring GetExtension() const = 0;
    // "JPEG", "TIFF"...
    virtual std::wstring GetFormatName() const = 0;
    virtual std::wstring GetMimeType() const = 0;
    // 0: always full colour; 1: indexed when the picture has at most 255
    // colours; 2: always indexed (a palette is required).
    virtual int GetPaletteMode() const = 0;
    virtual bool IsExcludedFromSaveList() const = 0;
    virtual bool SupportsAlpha() const = 0;

    // The picture of the named resource (see above); null after a report
    // when there is no such resource or it cannot be decoded. The program's
    // own plain PNG pictures are decoded without GDI+ (DecodePlainPng).
    virtual std::unique_ptr<CPixelBitmap> Load(const std::wstring& name) const;
    // The picture of a file; null when the file cannot be read as a picture
    // (a user's file: not reported).
    virtual std::unique_ptr<CPixelBitmap> LoadFile(const std::wstring& fileName) const;
    // Writes the picture in this format: indexed through the palette when
    // there is one, else full colour, with alpha when keepAlpha. False when
    // the file was not written (a missing encoder is also reported).
    virtual bool Save(const CPixelBitmap& bitmap, const std::wstring& fileName, bool keepAlpha,
                      const CColorTable* palette) const;

    // A string resource type, or RT_BITMAP.
    virtual LPCWSTR GetResourceType() const = 0;

    // "EditCopy.png" -> "EDITCOPY".
    static std::wstring GetResourceName(const std::wstring& name);
};

class CBmpCodec : public CImageCodec
{
public:
    std::wstring GetKey() const override { return L"bmp"; }
    std::wstring GetExtension() const override { return L"BMP"; }
    std::wstring GetFormatName() const override { return L"BMP"; }
    std::wstring GetMimeType() const override { return L"image/bmp"; }
    int GetPaletteMode() const override { return 1; }
    bool IsExcludedFromSaveList() const override { return false; }
    bool SupportsAlpha() const override { return false; }
    LPCWSTR GetResourceType() const override { return RT_BITMAP; }
    // As every codec saves, then the file header's size is made the file's.
    bool Save(const CPixelBitmap& bitmap, const std::wstring& fileName, bool keepAlpha,
              const CColorTable* palette) const override;
};

class CGifCodec : public CImageCodec
{
public:
    std::wstring GetKey() const override { return L"gif"; }
    std::wstring GetExtension() const override { return L"GIF"; }
    std::wstring GetFormatName() const override { return L"GIF"; }
    std::wstring GetMimeType() const override { return L"image/gif"; }
    int GetPaletteMode() const override { return 2; }
    bool IsExcludedFromSaveList() const override { return false; }
    bool SupportsAlpha() const override { return false; }
    LPCWSTR GetResourceType() const override { return L"GIF"; }
};

class CJpegCodec : public CImageCodec
{
public:
    std::wstring GetKey() const override { return L"jpg"; }
    std::wstring GetExtension() const override { return L"JPG"; }
    std::wstring GetFormatName() const override { return L"JPEG"; }
    std::wstring GetMimeType() const override { return L"image/jpeg"; }
    int GetPaletteMode() const override { return 0; }
    bool IsExcludedFromSaveList() const override { return true; }
    bool SupportsAlpha() const override { return false; }
    LPCWSTR GetResourceType() const override { return L"JPG"; }
};

class CPngCodec : public CImageCodec
{
public:
    std::wstring GetKey() const override { return L"png"; }
    std::wstring GetExtension() const override { return L"PNG"; }
    std::wstring GetFormatName() const override { return L"PNG"; }
    std::wstring GetMimeType() const override { return L"image/png"; }
    int GetPaletteMode() const override { return 1; }
    bool IsExcludedFromSaveList() const override { return false; }
    bool SupportsAlpha() const override { return true; }
    LPCWSTR GetResourceType() const override { return L"PNG"; }
};

class CTiffCodec : public CImageCodec
{
public:
    std::wstring GetKey() const override { return L"tif"; }
    std::wstring GetExtension() const override { return L"TIF"; }
    std::wstring GetFormatName() const override { return L"TIFF"; }
    std::wstring GetMimeType() const override { return L"image/tiff"; }
    int GetPaletteMode() const override { return 0; }
    bool IsExcludedFromSaveList() const override { return false; }
    bool SupportsAlpha() const override { return true; }
    LPCWSTR GetResourceType() const override { return L"TIF"; }
};

constexpr int kImageCodecCount = 5;

// The codecs in table order: 0 BMP, 1 GIF, 2 JPEG, 3 PNG, 4 TIFF. Another
// index is reported and gives null.
const CImageCodec* GetImageCodec(int index);

// The first codec (in table order) whose extension, in any mix of case, ends
// the name; no dot is needed. Null when none does ("x.jpeg" matches none).
const CImageCodec* FindCodecForFileName(const std::wstring& name);

// Writes the picture in the format of the file name's extension: with alpha
// when the format keeps it and some pixel is not opaque; indexed when the
// format asks for a palette and the picture has at most 255 colours, or
// through the fallback palette when the format always needs one. False when
// nothing was written.
bool SaveImage(const CPixelBitmap& bitmap, const std::wstring& fileName, const CColorTable* fallbackPalette);
// The same in the codec's format whatever the file is named (a temporary
// file that takes a picture's place once written).
bool SaveImage(const CPixelBitmap& bitmap, const CImageCodec& codec, const std::wstring& fileName,
               const CColorTable* fallbackPalette);
