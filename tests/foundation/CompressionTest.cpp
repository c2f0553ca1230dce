#include <gtest/gtest.h>

#include <zlib.h>

#include <string>

#include "foundation/Compression.h"

namespace {

std::string SampleText(size_t size)
{
    std::string text;
    uint32_t seed = 12345;
    while (text.size() < size) {
        seed = seed * 1103515245u + 12345u;
        text += "course ";
        text += char('a' + (seed >> 16) % 26);
    }
    text.resize(size);
    return text;
}

std::string Compress(const std::string& input, bool best = true, const std::string& dictionary = {})
{
    std::string output;
    EXPECT_TRUE(ZlibCompressWithLength(input, output, best, dictionary));
    return output;
}

}  // namespace

TEST(Compression, EmptyInputHasAZeroLengthAndAValidStream)
{
    const std::string record = Compress("");
    ASSERT_GE(record.size(), 3u + 6u);
    EXPECT_EQ(std::string(3, '\0'), record.substr(0, 3));
    // A zlib header: deflate method, check bits make it a multiple of 31.
    EXPECT_EQ(8, record[3] & 0x0F);
    EXPECT_EQ(0, ((static_cast<unsigned char>(record[3]) << 8) | static_cast<unsigned char>(record[4])) % 31);
    std::string restored = "not empty";
    EXPECT_TRUE(ZlibUncompressWithLength(record, restored, ""));
    EXPECT_EQ("", restored);
}

TEST(Compression, RoundTripRecordsTheLengthBigEndian)
{
    const std::string input = SampleText(70000);
    for (bool best : {true, false}) {
        const std::string record = Compress(input, best);
        EXPECT_EQ(0x01, record[0]);
        EXPECT_EQ(0x11, static_cast<unsigned char>(record[1]));
        EXPECT_EQ(0x70, static_cast<unsigned char>(record[2]));
        EXPECT_LT(record.size(), input.size() / 2);
        // The rest is exactly one plain zlib stream.
        std::string plain(input.size(), '\0');
        uLongf plainSize = uLongf(plain.size());
        ASSERT_EQ(Z_OK, uncompress(reinterpret_cast<Bytef*>(&plain[0]), &plainSize,
                                   reinterpret_cast<const Bytef*>(record.data() + 3), uLong(record.size() - 3)));
        EXPECT_EQ(input, plain);
        std::string restored;
        EXPECT_TRUE(ZlibUncompressWithLength(record, restored, ""));
        EXPECT_EQ(input, restored);
    }
}

TEST(Compression, BestCompressionIsLevelNine)
{
    const std::string input = SampleText(5000);
    // The level shows in the header's FLEVEL bits: 3 for level 9, 2 for the default.
    EXPECT_EQ(3, (static_cast<unsigned char>(Compress(input, true)[4]) >> 6));
    EXPECT_EQ(2, (static_cast<unsigned char>(Compress(input, false)[4]) >> 6));
}

TEST(Compression, DictionaryMustMatch)
{
    const std::string dictionary = SampleText(3000);
    const std::string input = SampleText(3100);
    const std::string record = Compress(input, false, dictionary);
    EXPECT_TRUE(record[4] & 0x20) << "FDICT bit";
    // The dictionary makes the neighbouring snapshot nearly free.
    EXPECT_LT(record.size(), Compress(input, false).size() / 4);

    std::string restored;
    EXPECT_TRUE(ZlibUncompressWithLength(record, restored, dictionary));
    EXPECT_EQ(input, restored);
    EXPECT_FALSE(ZlibUncompressWithLength(record, restored, ""));
    EXPECT_FALSE(ZlibUncompressWithLength(record, restored, dictionary + "x"));
    // A record made without a dictionary is refused where one is offered.
    EXPECT_FALSE(ZlibUncompressWithLength(Compress(input, false), restored, dictionary));
}

TEST(Compression, LengthFieldMustMatchTheInflatedSize)
{
    const std::string input = SampleText(1000);
    std::string record = Compress(input);
    std::string restored;
    record[2] = char(static_cast<unsigned char>(record[2]) + 1);
    EXPECT_FALSE(ZlibUncompressWithLength(record, restored, ""));
    record[2] = char(static_cast<unsigned char>(record[2]) - 2);
    EXPECT_FALSE(ZlibUncompressWithLength(record, restored, ""));
    // A claimed length near the 24-bit limit inflates only what is there.
    record[0] = char(0xFF);
    EXPECT_FALSE(ZlibUncompressWithLength(record, restored, ""));
    EXPECT_LE(restored.size(), input.size());
}

TEST(Compression, DamagedRecordsFail)
{
    const std::string record = Compress(SampleText(2000));
    std::string restored;
    EXPECT_FALSE(ZlibUncompressWithLength("", restored, ""));
    EXPECT_FALSE(ZlibUncompressWithLength(std::string(2, '\0'), restored, ""));
    EXPECT_FALSE(ZlibUncompressWithLength(std::string(3, '\0'), restored, ""));
    EXPECT_FALSE(ZlibUncompressWithLength(record.substr(0, record.size() - 1), restored, ""));
    EXPECT_FALSE(ZlibUncompressWithLength(record.substr(0, record.size() / 2), restored, ""));
    std::string flipped = record;
    flipped[flipped.size() / 2] ^= 0x10;
    EXPECT_FALSE(ZlibUncompressWithLength(flipped, restored, ""));
}

TEST(Compression, RefusesInputsTheLengthFieldCannotHold)
{
    std::string output = "kept";
    const std::string huge(kMaxCompressedInput + 1, 'a');
    EXPECT_FALSE(ZlibCompressWithLength(huge, output, false, ""));
    EXPECT_EQ("kept", output);

    const std::string largest(kMaxCompressedInput, 'a');
    ASSERT_TRUE(ZlibCompressWithLength(largest, output, false, ""));
    EXPECT_EQ(std::string(3, char(0xFF)), output.substr(0, 3));
    std::string restored;
    EXPECT_TRUE(ZlibUncompressWithLength(output, restored, ""));
    EXPECT_EQ(largest.size(), restored.size());
}

TEST(Compression, ARecordIsTheSameWhateverWasCompressedBefore)
{
    // The compressor is kept between calls and only reset.
    const std::string dictionary = SampleText(3000);
    const std::string inputs[] = {SampleText(100), SampleText(5000), SampleText(70000)};
    std::string first[3];
    for (int i = 0; i < 3; ++i)
        first[i] = Compress(inputs[i], false, dictionary);
    for (int i = 0; i < 3; ++i) {
        Compress(inputs[(i + 1) % 3], true);
        Compress(inputs[(i + 2) % 3], false, inputs[i]);
        EXPECT_EQ(first[i], Compress(inputs[i], false, dictionary)) << i;
    }
}
