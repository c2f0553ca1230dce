#include <gtest/gtest.h>

#include <string>

#include "foundation/Base64.h"
#include "tests/support/FailureReports.h"

TEST(Base64, PaddingFollowsTheByteCount)
{
    EXPECT_EQ("", CBase64::Encode("", 0));
    EXPECT_EQ("TWFu", CBase64::Encode("Man", 0));
    EXPECT_EQ("TQ==", CBase64::Encode("M", 0));
    EXPECT_EQ("TWE=", CBase64::Encode("Ma", 0));
    EXPECT_EQ("AAAA", CBase64::Encode(std::string(3, '\0'), 0));
    EXPECT_EQ("+/+/", CBase64::Encode(std::string("\xFB\xFF\xBF"), 0));
}

TEST(Base64, LinesBreakAfterEveryLineLength)
{
    const std::string bytes48(48, '\x5A');
    const std::string one = CBase64::Encode(bytes48, 64);
    EXPECT_EQ(64u, one.size());
    EXPECT_EQ(std::string::npos, one.find('\r'));

    const std::string two = CBase64::Encode(std::string(49, '\x5A'), 64);
    ASSERT_EQ(64u + 2u + 4u, two.size());
    EXPECT_EQ("\r\n", two.substr(64, 2));
    EXPECT_EQ("==", two.substr(68));

    // The padding stays on the last line.
    const std::string padded = CBase64::Encode(std::string(94, '\x01'), 64);
    EXPECT_EQ(64u + 2u + 64u, padded.size());
    EXPECT_EQ(std::string::npos, padded.find('\r', 66));
    EXPECT_EQ("==", padded.substr(128));
}

TEST(Base64, DecodeSkipsEverythingOutsideTheAlphabet)
{
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes.push_back(char(i));
    const std::string text = CBase64::Encode(bytes, 64);
    EXPECT_EQ(bytes, CBase64::Decode(text));

    std::string noisy;
    for (char c : text) {
        noisy += c;
        if (c == 'A')
            noisy += " \t>=\r\n*";
    }
    EXPECT_EQ(bytes, CBase64::Decode(noisy));
    // The top bit is ignored: 0xC1 reads as 'A'.
    EXPECT_EQ(CBase64::Decode("QUJD"), CBase64::Decode(std::string("\xD1UJD")));
}

TEST(Base64, DroppedTrailingCharacterYieldsOnlyWholeBytes)
{
    const std::string text = CBase64::Encode("abcdef", 0);
    EXPECT_EQ("abcde", CBase64::Decode(text.substr(0, text.size() - 1)));
    EXPECT_EQ("abc", CBase64::Decode(text.substr(0, 5)));
    EXPECT_EQ("", CBase64::Decode("Q"));
}

TEST(Base64, BadLineLengthIsReportedAndStillEncodes)
{
    const int before = ReportCount();
    const std::string text = CBase64::Encode(std::string(30, 'x'), 10);
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_EQ(std::string(30, 'x'), CBase64::Decode(text));
    EXPECT_EQ("\r\n", text.substr(10, 2));
    // Padding after a full line is appended without a break.
    const std::string overlong = CBase64::Encode(std::string(7, 'y'), 10);
    EXPECT_EQ(12u, overlong.size());
    EXPECT_EQ("==", overlong.substr(10));
}
