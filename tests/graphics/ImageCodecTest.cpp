#include <gtest/gtest.h>

#include <windows.h>

#include <zlib.h>

#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/ColorTable.h"
#include "foundation/Rgba.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "tests/graphics/ImageTestHelpers.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"

namespace
{

// Colour i of a set of distinct opaque colours (the pair of low and high
// bits of i is different for each i).
uint32_t DistinctColor(int i)
{
    return MakeRgba(uint32_t(i) & 0xFF, (uint32_t(i) >> 8) * 60 + 30, 255 - (uint32_t(i) & 0xFF), 255);
}

// A 20-pixel-wide picture whose pixels run through `colors` distinct colours
// (each used at least once, in order, then repeating).
CPixelBitmap MakeColorful(int colors, int height)
{
    CPixelBitmap bitmap(20, float(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < 20; ++x)
            bitmap.SetPixel(x, y, DistinctColor((y * 20 + x) % colors));
    }
    return bitmap;
}

void ExpectSamePixels(const CPixelBitmap& expected, const CPixelBitmap& actual)
{
    ASSERT_EQ(expected.GetWidth(), actual.GetWidth());
    ASSERT_EQ(expected.GetHeight(), actual.GetHeight());
    for (int y = 0; y < expected.GetPixelHeight(); ++y) {
        for (int x = 0; x < expected.GetPixelWidth(); ++x)
            ASSERT_EQ(expected.GetPixel(x, y), actual.GetPixel(x, y)) << "at " << x << "," << y;
    }
}

void WriteBytes(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

// The chunks of a PNG file by type (the first of each type); empty when the
// file does not start with the PNG signature.
std::map<std::string, std::string> ReadPngChunks(const std::string& file)
{
    std::map<std::string, std::string> chunks;
    if (file.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0)
        return chunks;
    size_t offset = 8;
    while (offset + 12 <= file.size()) {
        const uint32_t length = ReadBigEndian32(file, offset);
        const std::string type = file.substr(offset + 4, 4);
        if (offset + 12 + length > file.size())
            break;
        chunks.emplace(type, file.substr(offset + 8, length));
        offset += 12 + length;
    }
    return chunks;
}

// One entry of a TIFF file's first directory.
struct CTiffEntry
{
    uint32_t type = 0;
    uint32_t count = 0;
    std::vector<uint32_t> values;
};

std::map<uint32_t, CTiffEntry> ReadTiffDirectory(const std::string& file)
{
    std::map<uint32_t, CTiffEntry> entries;
    const bool little = file.compare(0, 4, std::string("II*\0", 4)) == 0;
    if (!little && file.compare(0, 4, std::string("MM\0*", 4)) != 0)
        return entries;
    const auto u16 = [&](size_t at) { return little ? ReadLittleEndian16(file, at) : ReadBigEndian16(file, at); };
    const auto u32 = [&](size_t at) { return little ? ReadLittleEndian32(file, at) : ReadBigEndian32(file, at); };
    const size_t directory = u32(4);
    const uint32_t count = u16(directory);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t at = directory + 2 + i * 12;
        CTiffEntry entry;
        entry.type = u16(at + 2);
        entry.count = u32(at + 4);
        const size_t itemSize = entry.type == 3 ? 2 : entry.type == 4 ? 4 : 1;
        const size_t valueAt = itemSize * entry.count <= 4 ? at + 8 : u32(at + 8);
        for (uint32_t k = 0; k < entry.count && k < 16; ++k) {
            const size_t item = valueAt + k * itemSize;
            entry.values.push_back(itemSize == 2 ? u16(item) : itemSize == 4 ? u32(item) : uint8_t(file[item]));
        }
        entries[u16(at)] = entry;
    }
    return entries;
}

// Width, height and component count of a JPEG's frame header.
struct CJpegFrame
{
    uint32_t width = 0, height = 0, components = 0;
};

CJpegFrame ReadJpegFrame(const std::string& file)
{
    CJpegFrame frame;
    size_t offset = 2;
    while (offset + 4 <= file.size() && uint8_t(file[offset]) == 0xFF) {
        const uint8_t marker = uint8_t(file[offset + 1]);
        const uint32_t length = ReadBigEndian16(file, offset + 2);
        if (marker >= 0xC0 && marker <= 0xC2) {
            frame.height = ReadBigEndian16(file, offset + 5);
            frame.width = ReadBigEndian16(file, offset + 7);
            frame.components = uint8_t(file[offset + 9]);
            break;
        }
        offset += 2 + length;
    }
    return frame;
}

// A PNG of a 1-bit grey picture of the given size, all black.
std::string MakeGreyPng(uint32_t width, uint32_t height)
{
    std::string raw;
    const size_t rowBytes = (width + 7) / 8;
    for (uint32_t y = 0; y < height; ++y) {
        raw.push_back('\0');
        raw.append(rowBytes, '\0');
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
             uLong(raw.size()));
    packed.resize(packedSize);

    const auto bigEndian = [](uint32_t v) {
        return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    };
    const auto chunk = [&](const std::string& type, const std::string& data) {
        const std::string body = type + data;
        const uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size())));
        return bigEndian(uint32_t(data.size())) + body + bigEndian(crc);
    };
    const std::string header = bigEndian(width) + bigEndian(height) + std::string{1, 0, 0, 0, 0};
    return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", packed) + chunk("IEND", "");
}

class ImageCodecFiles : public testing::Test
{
protected:
    static void SetUpTestSuite() { s_folder = new std::wstring(MakeTempFolder(L"codecs")); }
    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }
    static std::wstring Path(const std::wstring& name) { return *s_folder + L"\\" + name; }

    static std::wstring* s_folder;
};

std::wstring* ImageCodecFiles::s_folder = nullptr;

}  // namespace

TEST(ImageCodec, TableHoldsTheFiveFormatsInOrder)
{
    const wchar_t* keys[] = {L"bmp", L"gif", L"jpg", L"png", L"tif"};
    const wchar_t* extensions[] = {L"BMP", L"GIF", L"JPG", L"PNG", L"TIF"};
    const wchar_t* names[] = {L"BMP", L"GIF", L"JPEG", L"PNG", L"TIFF"};
    const wchar_t* mimeTypes[] = {L"image/bmp", L"image/gif", L"image/jpeg", L"image/png", L"image/tiff"};
    const int paletteModes[] = {1, 2, 0, 1, 0};
    const bool excluded[] = {false, false, true, false, false};
    const bool alpha[] = {false, false, false, true, true};
    for (int i = 0; i < kImageCodecCount; ++i) {
        const CImageCodec* codec = GetImageCodec(i);
        ASSERT_NE(nullptr, codec);
        EXPECT_EQ(keys[i], codec->GetKey());
        EXPECT_EQ(extensions[i], codec->GetExtension());
        EXPECT_EQ(names[i], codec->GetFormatName());
        EXPECT_EQ(mimeTypes[i], codec->GetMimeType());
        EXPECT_EQ(paletteModes[i], codec->GetPaletteMode());
        EXPECT_EQ(excluded[i], codec->IsExcludedFromSaveList());
        EXPECT_EQ(alpha[i], codec->SupportsAlpha());
        EXPECT_EQ(codec, GetImageCodec(i));
    }
    EXPECT_EQ(RT_BITMAP, GetImageCodec(0)->GetResourceType());
    EXPECT_STREQ(L"GIF", GetImageCodec(1)->GetResourceType());
    EXPECT_STREQ(L"JPG", GetImageCodec(2)->GetResourceType());
    EXPECT_STREQ(L"PNG", GetImageCodec(3)->GetResourceType());
    EXPECT_STREQ(L"TIF", GetImageCodec(4)->GetResourceType());
}

TEST(ImageCodec, IndexOutsideTheTableIsReported)
{
    const CImageCodec* codec = reinterpret_cast<const CImageCodec*>(1);
    EXPECT_EQ(1, CountReports([&] { codec = GetImageCodec(5); }));
    EXPECT_EQ(nullptr, codec);
    EXPECT_EQ(1, CountReports([&] { codec = GetImageCodec(-1); }));
    EXPECT_EQ(nullptr, codec);
}

TEST(ImageCodec, FindsTheCodecByTheLastThreeCharacters)
{
    EXPECT_EQ(GetImageCodec(3), FindCodecForFileName(L"EditCopy.png"));
    EXPECT_EQ(GetImageCodec(3), FindCodecForFileName(L"EDITCOPY.PNG"));
    EXPECT_EQ(GetImageCodec(3), FindCodecForFileName(L"EditCopy.pNg"));
    EXPECT_EQ(GetImageCodec(2), FindCodecForFileName(L"C:\\Pictures\\Course.JPG"));
    EXPECT_EQ(GetImageCodec(0), FindCodecForFileName(L"bmp"));
    EXPECT_EQ(GetImageCodec(1), FindCodecForFileName(L"nodotgif"));
    EXPECT_EQ(GetImageCodec(4), FindCodecForFileName(L"scan.tif"));
    EXPECT_EQ(nullptr, FindCodecForFileName(L"photo.jpeg"));
    EXPECT_EQ(nullptr, FindCodecForFileName(L"scan.tiff"));
    EXPECT_EQ(nullptr, FindCodecForFileName(L"pg"));
    EXPECT_EQ(nullptr, FindCodecForFileName(L""));
    EXPECT_EQ(nullptr, FindCodecForFileName(L"picture.pcx"));
}

TEST(ImageCodec, ResourceNameDropsTheExtensionAndUpperCasesLetters)
{
    EXPECT_EQ(L"GRASS", CImageCodec::GetResourceName(L"Grass.jpg"));
    EXPECT_EQ(L"EDITCOPY", CImageCodec::GetResourceName(L"EditCopy.png"));
    EXPECT_EQ(L"CAM_ZOOM-1\u00e9", CImageCodec::GetResourceName(L"Cam_zoom-1\u00e9.png"));
    EXPECT_EQ(L"", CImageCodec::GetResourceName(L".png"));
    EXPECT_EQ(L"", CImageCodec::GetResourceName(L"png"));
}

TEST(ImageCodec, LoadsPngResourceWithItsAlpha)
{
    const std::unique_ptr<CPixelBitmap> picture = GetImageCodec(3)->Load(L"TestPattern.png");
    ASSERT_NE(nullptr, picture);
    ASSERT_EQ(4.0f, picture->GetWidth());
    ASSERT_EQ(3.0f, picture->GetHeight());
    EXPECT_EQ(0xFF0000FFu, picture->GetPixel(0, 0));
    EXPECT_EQ(0xFF00FF00u, picture->GetPixel(1, 0));
    EXPECT_EQ(0xFFFF0000u, picture->GetPixel(2, 0));
    EXPECT_EQ(0xFF204080u, picture->GetPixel(1, 1));
    EXPECT_EQ(0xFFFF00FFu, picture->GetPixel(0, 2));
    EXPECT_EQ(0x80FF0000u, picture->GetPixel(2, 2));
    EXPECT_EQ(0u, GetAlpha(picture->GetPixel(3, 2)));
    // The top row is stored last.
    EXPECT_EQ(0xFF0000FFu, picture->GetPixels()[8]);
}

TEST(ImageCodec, LoadsGifTiffAndBitmapResources)
{
    for (int index : {0, 1, 4}) {
        SCOPED_TRACE(index);
        const CImageCodec* codec = GetImageCodec(index);
        const std::unique_ptr<CPixelBitmap> picture = codec->Load(L"TestPattern." + codec->GetKey());
        ASSERT_NE(nullptr, picture);
        ASSERT_EQ(4.0f, picture->GetWidth());
        ASSERT_EQ(3.0f, picture->GetHeight());
        EXPECT_EQ(0xFF0000FFu, picture->GetPixel(0, 0));
        EXPECT_EQ(0xFFFFFFFFu, picture->GetPixel(3, 0));
        EXPECT_EQ(0xFF000000u, picture->GetPixel(0, 1));
        EXPECT_EQ(0xFF204080u, picture->GetPixel(1, 1));
        EXPECT_EQ(0xFF1E140Au, picture->GetPixel(2, 2));
        EXPECT_EQ(0xFFE6F0FAu, picture->GetPixel(3, 2));
    }
}

TEST(ImageCodec, LoadsJpegResource)
{
    const std::unique_ptr<CPixelBitmap> grass = GetImageCodec(2)->Load(L"Grass.jpg");
    ASSERT_NE(nullptr, grass);
    EXPECT_EQ(128.0f, grass->GetWidth());
    EXPECT_EQ(128.0f, grass->GetHeight());
    uint64_t red = 0, green = 0, blue = 0;
    for (uint32_t p : grass->GetPixels()) {
        EXPECT_EQ(255u, GetAlpha(p));
        red += GetRed(p);
        green += GetGreen(p);
        blue += GetBlue(p);
    }
    EXPECT_GT(green, red);
    EXPECT_GT(green, blue);
}

TEST(ImageCodec, MissingResourceIsReportedAndGivesNoPicture)
{
    std::unique_ptr<CPixelBitmap> picture;
    EXPECT_EQ(1, CountReports([&] { picture = GetImageCodec(3)->Load(L"NoSuchPicture.png"); }));
    EXPECT_EQ(nullptr, picture);
    // The JPEG codec looks for type "JPG", not for the PNG of that name.
    EXPECT_EQ(1, CountReports([&] { picture = GetImageCodec(2)->Load(L"EditCopy.jpg"); }));
    EXPECT_EQ(nullptr, picture);
}

TEST_F(ImageCodecFiles, DamagedOrMissingFilesGiveNoPicture)
{
    const std::string png = ReadWholeFile(Path(L"..\\does-not-exist.png"));
    EXPECT_TRUE(png.empty());
    WriteBytes(Path(L"garbage.png"), std::string("\x89PNG\r\n\x1a\nthis is not a picture", 28));
    const std::string good = MakeGreyPng(8, 8);
    WriteBytes(Path(L"short.png"), good.substr(0, good.size() / 2));
    std::unique_ptr<CPixelBitmap> picture;
    EXPECT_EQ(0, CountReports([&] {
        for (const wchar_t* name : {L"garbage.png", L"short.png", L"missing.png"}) {
            picture = GetImageCodec(3)->LoadFile(Path(name));
            EXPECT_EQ(nullptr, picture) << name;
        }
    }));
    WriteBytes(Path(L"good.png"), good);
    picture = GetImageCodec(3)->LoadFile(Path(L"good.png"));
    ASSERT_NE(nullptr, picture);
    EXPECT_EQ(8.0f, picture->GetWidth());
    EXPECT_EQ(0xFF000000u, picture->GetPixel(7, 7));
}

TEST_F(ImageCodecFiles, PictureTooWideToHoldGivesNoPicture)
{
    WriteBytes(Path(L"wide.png"), MakeGreyPng(70000, 1));
    std::unique_ptr<CPixelBitmap> picture;
    EXPECT_EQ(0, CountReports([&] { picture = GetImageCodec(3)->LoadFile(Path(L"wide.png")); }));
    EXPECT_EQ(nullptr, picture);
}

TEST_F(ImageCodecFiles, PngWithFewColoursIsIndexedWithoutAlpha)
{
    const CPixelBitmap picture = MakeColorful(200, 10);
    ASSERT_TRUE(SaveImage(picture, Path(L"few.png"), nullptr));
    const std::string file = ReadWholeFile(Path(L"few.png"));
    const auto chunks = ReadPngChunks(file);
    ASSERT_EQ(1u, chunks.count("IHDR"));
    const std::string& header = chunks.at("IHDR");
    EXPECT_EQ(20u, ReadBigEndian32(header, 0));
    EXPECT_EQ(10u, ReadBigEndian32(header, 4));
    EXPECT_EQ(8, header[8]);   // bit depth
    EXPECT_EQ(3, header[9]);   // palette colour
    ASSERT_EQ(1u, chunks.count("PLTE"));
    EXPECT_GE(chunks.at("PLTE").size(), 200u * 3);
    EXPECT_EQ(0u, chunks.count("tRNS"));

    const std::unique_ptr<CPixelBitmap> back = GetImageCodec(3)->LoadFile(Path(L"few.png"));
    ASSERT_NE(nullptr, back);
    ExpectSamePixels(picture, *back);
}

TEST_F(ImageCodecFiles, PngWithManyColoursIsFullColour)
{
    const CPixelBitmap picture = MakeColorful(300, 15);
    ASSERT_TRUE(SaveImage(picture, Path(L"many.png"), nullptr));
    const auto chunks = ReadPngChunks(ReadWholeFile(Path(L"many.png")));
    ASSERT_EQ(1u, chunks.count("IHDR"));
    EXPECT_EQ(15u, ReadBigEndian32(chunks.at("IHDR"), 4));
    EXPECT_EQ(2, chunks.at("IHDR")[9]);   // RGB, no alpha
    const std::unique_ptr<CPixelBitmap> back = GetImageCodec(3)->LoadFile(Path(L"many.png"));
    ASSERT_NE(nullptr, back);
    ExpectSamePixels(picture, *back);
}

TEST_F(ImageCodecFiles, PngKeepsTransparency)
{
    CPixelBitmap picture = MakeColorful(300, 15);
    picture.SetPixel(0, 0, 0x00000000);
    picture.SetPixel(5, 3, 0x804080C0);
    ASSERT_TRUE(SaveImage(picture, Path(L"alpha.png"), nullptr));
    const auto chunks = ReadPngChunks(ReadWholeFile(Path(L"alpha.png")));
    ASSERT_EQ(1u, chunks.count("IHDR"));
    EXPECT_EQ(6, chunks.at("IHDR")[9]);   // RGB with alpha
    const std::unique_ptr<CPixelBitmap> back = GetImageCodec(3)->LoadFile(Path(L"alpha.png"));
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(0u, GetAlpha(back->GetPixel(0, 0)));
    EXPECT_EQ(0x804080C0u, back->GetPixel(5, 3));
    EXPECT_EQ(picture.GetPixel(19, 14), back->GetPixel(19, 14));
}

TEST_F(ImageCodecFiles, GifWithManyColoursUsesTheFallbackPalette)
{
    CColorTable fallback;
    for (int i = 0; i < 8; ++i)
        fallback.Add(MakeRgba(i * 32, 255 - i * 32, 128, 255));
    const CPixelBitmap picture = MakeColorful(300, 15);
    ASSERT_TRUE(SaveImage(picture, Path(L"many.gif"), &fallback));
    const std::string file = ReadWholeFile(Path(L"many.gif"));
    ASSERT_GE(file.size(), 13u);
    EXPECT_EQ("GIF8", file.substr(0, 4));
    EXPECT_EQ(20u, ReadLittleEndian16(file, 6));
    EXPECT_EQ(15u, ReadLittleEndian16(file, 8));

    const std::unique_ptr<CPixelBitmap> back = GetImageCodec(1)->LoadFile(Path(L"many.gif"));
    ASSERT_NE(nullptr, back);
    ASSERT_EQ(20.0f, back->GetWidth());
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 20; ++x) {
            const uint32_t expected = fallback.GetColor(fallback.FindNearest(picture.GetPixel(x, y)));
            ASSERT_EQ(expected, back->GetPixel(x, y)) << x << "," << y;
        }
    }
}

TEST_F(ImageCodecFiles, GifWithoutAnyPaletteIsReported)
{
    const CPixelBitmap picture = MakeColorful(300, 15);
    EXPECT_EQ(1, CountReports([&] { SaveImage(picture, Path(L"nopalette.gif"), nullptr); }));
}

TEST_F(ImageCodecFiles, GifWithFewColoursKeepsThem)
{
    for (int colors : {40, 12}) {
        SCOPED_TRACE(colors);
        const CPixelBitmap picture = MakeColorful(colors, 6);
        const std::wstring path = Path(L"few" + std::to_wstring(colors) + L".gif");
        ASSERT_TRUE(SaveImage(picture, path, nullptr));
        const std::string file = ReadWholeFile(path);
        ASSERT_GE(file.size(), 13u);
        EXPECT_EQ("GIF8", file.substr(0, 4));
        EXPECT_EQ(20u, ReadLittleEndian16(file, 6));
        EXPECT_EQ(6u, ReadLittleEndian16(file, 8));
        const std::unique_ptr<CPixelBitmap> back = GetImageCodec(1)->LoadFile(path);
        ASSERT_NE(nullptr, back);
        ExpectSamePixels(picture, *back);
    }
}

TEST_F(ImageCodecFiles, BmpIsIndexedUpTo255ColoursAndFullColourBeyond)
{
    const CPixelBitmap few = MakeColorful(200, 10);
    ASSERT_TRUE(SaveImage(few, Path(L"few.bmp"), nullptr));
    std::string file = ReadWholeFile(Path(L"few.bmp"));
    ASSERT_GE(file.size(), 54u);
    EXPECT_EQ("BM", file.substr(0, 2));
    EXPECT_EQ(20u, ReadLittleEndian32(file, 18));
    EXPECT_EQ(10u, ReadLittleEndian32(file, 22) & 0x7FFFFFFF);
    EXPECT_EQ(8u, ReadLittleEndian16(file, 28));
    std::unique_ptr<CPixelBitmap> back = GetImageCodec(0)->LoadFile(Path(L"few.bmp"));
    ASSERT_NE(nullptr, back);
    ExpectSamePixels(few, *back);

    const CPixelBitmap sixteen = MakeColorful(16, 4);
    ASSERT_TRUE(SaveImage(sixteen, Path(L"sixteen.bmp"), nullptr));
    file = ReadWholeFile(Path(L"sixteen.bmp"));
    ASSERT_GE(file.size(), 54u);
    EXPECT_EQ(8u, ReadLittleEndian16(file, 28));
    back = GetImageCodec(0)->LoadFile(Path(L"sixteen.bmp"));
    ASSERT_NE(nullptr, back);
    ExpectSamePixels(sixteen, *back);

    const CPixelBitmap many = MakeColorful(300, 15);
    ASSERT_TRUE(SaveImage(many, Path(L"many.bmp"), nullptr));
    file = ReadWholeFile(Path(L"many.bmp"));
    ASSERT_GE(file.size(), 54u);
    EXPECT_EQ("BM", file.substr(0, 2));
    EXPECT_EQ(15u, ReadLittleEndian32(file, 22) & 0x7FFFFFFF);
    EXPECT_EQ(24u, ReadLittleEndian16(file, 28));
    back = GetImageCodec(0)->LoadFile(Path(L"many.bmp"));
    ASSERT_NE(nullptr, back);
    ExpectSamePixels(many, *back);
}

// The file header of a BMP at every depth the program writes: its size field
// is the file's size, which the rows of the picture fill from where the
// header says its pixels start.
TEST_F(ImageCodecFiles, BmpHeaderGivesTheFileSizeAndWhereThePixelsStart)
{
    const struct
    {
        int colors;
        uint32_t bits;
    } cases[] = {{2, 8}, {200, 8}, {255, 8}, {300, 24}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.colors);
        const std::wstring path = Path(L"size" + std::to_wstring(c.colors) + L".bmp");
        ASSERT_TRUE(SaveImage(MakeColorful(c.colors, 15), path, nullptr));
        const std::string file = ReadWholeFile(path);
        ASSERT_GE(file.size(), 54u);
        EXPECT_EQ("BM", file.substr(0, 2));
        EXPECT_EQ(file.size(), ReadLittleEndian32(file, 2));
        EXPECT_EQ(c.bits, ReadLittleEndian16(file, 28));
        const uint32_t stride = (20 * c.bits + 31) / 32 * 4;
        EXPECT_EQ(file.size(), ReadLittleEndian32(file, 10) + stride * 15);
    }
}

TEST_F(ImageCodecFiles, JpegIsFullColourWhateverThePicture)
{
    CPixelBitmap picture(32, 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 32; ++x)
            picture.SetPixel(x, y, x < 16 ? 0xFF2040E0 : 0x00FFFFFF);
    }
    ASSERT_TRUE(SaveImage(picture, Path(L"picture.jpg"), nullptr));
    const std::string file = ReadWholeFile(Path(L"picture.jpg"));
    ASSERT_GE(file.size(), 4u);
    EXPECT_EQ(0xFFD8u, ReadBigEndian16(file, 0));
    const CJpegFrame frame = ReadJpegFrame(file);
    EXPECT_EQ(32u, frame.width);
    EXPECT_EQ(16u, frame.height);
    EXPECT_EQ(3u, frame.components);
    const std::unique_ptr<CPixelBitmap> back = GetImageCodec(2)->LoadFile(Path(L"picture.jpg"));
    ASSERT_NE(nullptr, back);
    const uint32_t left = back->GetPixel(4, 8);
    EXPECT_NEAR(0xE0, int(GetRed(left)), 12);
    EXPECT_NEAR(0x40, int(GetGreen(left)), 12);
    EXPECT_NEAR(0x20, int(GetBlue(left)), 12);
    EXPECT_EQ(255u, GetAlpha(back->GetPixel(28, 8)));
}

TEST_F(ImageCodecFiles, TiffIsFullColourWithAlphaOnlyWhenNeeded)
{
    const CPixelBitmap opaque = MakeColorful(200, 10);
    ASSERT_TRUE(SaveImage(opaque, Path(L"opaque.tif"), nullptr));
    auto entries = ReadTiffDirectory(ReadWholeFile(Path(L"opaque.tif")));
    ASSERT_EQ(1u, entries.count(256));
    EXPECT_EQ(20u, entries[256].values.at(0));
    EXPECT_EQ(10u, entries[257].values.at(0));
    EXPECT_EQ(2u, entries[262].values.at(0));   // RGB, not a palette
    EXPECT_EQ(3u, entries[277].values.at(0));
    EXPECT_EQ(0u, entries.count(338));
    std::unique_ptr<CPixelBitmap> back = GetImageCodec(4)->LoadFile(Path(L"opaque.tif"));
    ASSERT_NE(nullptr, back);
    ExpectSamePixels(opaque, *back);

    CPixelBitmap translucent = MakeColorful(200, 10);
    translucent.SetPixel(3, 4, 0x00000000);
    ASSERT_TRUE(SaveImage(translucent, Path(L"alpha.tif"), nullptr));
    entries = ReadTiffDirectory(ReadWholeFile(Path(L"alpha.tif")));
    ASSERT_EQ(1u, entries.count(277));
    EXPECT_EQ(4u, entries[277].values.at(0));
    EXPECT_EQ(1u, entries.count(338));
    back = GetImageCodec(4)->LoadFile(Path(L"alpha.tif"));
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(0u, GetAlpha(back->GetPixel(3, 4)));
    EXPECT_EQ(translucent.GetPixel(4, 4), back->GetPixel(4, 4));
}

TEST_F(ImageCodecFiles, PaletteOfMoreThan256ColoursIsReportedAndSavedInFullColour)
{
    CColorTable tooMany;
    for (int i = 0; i < 300; ++i)
        tooMany.Add(DistinctColor(i));
    const CPixelBitmap picture = MakeColorful(300, 15);
    bool saved = false;
    EXPECT_EQ(1, CountReports([&] { saved = GetImageCodec(3)->Save(picture, Path(L"big.png"), false, &tooMany); }));
    EXPECT_TRUE(saved);
    const auto chunks = ReadPngChunks(ReadWholeFile(Path(L"big.png")));
    ASSERT_EQ(1u, chunks.count("IHDR"));
    EXPECT_EQ(2, chunks.at("IHDR")[9]);
    const std::unique_ptr<CPixelBitmap> back = GetImageCodec(3)->LoadFile(Path(L"big.png"));
    ASSERT_NE(nullptr, back);
    ExpectSamePixels(picture, *back);
}

TEST_F(ImageCodecFiles, SaveThatCannotWriteSaysSo)
{
    const CPixelBitmap picture = MakeColorful(10, 2);
    EXPECT_FALSE(SaveImage(picture, Path(L"no-such-folder\\picture.png"), nullptr));
    EXPECT_FALSE(FileExists(Path(L"no-such-folder\\picture.png")));
}

TEST_F(ImageCodecFiles, UnknownExtensionIsReportedAndWritesNothing)
{
    const CPixelBitmap picture = MakeColorful(10, 2);
    bool saved = true;
    EXPECT_EQ(1, CountReports([&] { saved = SaveImage(picture, Path(L"picture.pcx"), nullptr); }));
    EXPECT_FALSE(saved);
    EXPECT_FALSE(FileExists(Path(L"picture.pcx")));
}
