#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "foundation/FieldStream.h"
#include "tests/support/Bytes.h"

namespace {

int32_t ReadInt16From(CFieldReader& reader)
{
    int32_t value = 12345;
    reader.ReadInt16(value);
    return value;
}

}  // namespace

TEST(FieldStream, EmptyReaderYieldsZeros)
{
    CFieldReader reader(std::string{});
    EXPECT_TRUE(reader.IsReading());
    EXPECT_TRUE(reader.AtFieldEnd());
    bool flag = true;
    reader.ReadBool(flag);
    EXPECT_FALSE(flag);
    int32_t value = 7;
    reader.ReadInt8(value);
    EXPECT_EQ(0, value);
    value = 7;
    reader.ReadInt32(value);
    EXPECT_EQ(0, value);
    float f = 3.0f;
    reader.ReadFloat24(f);
    EXPECT_EQ(0.0f, f);
    CPoint2 p(5, 5);
    reader.ReadPoint(p);
    EXPECT_EQ(CPoint2(0, 0), p);
    std::string s = "x";
    reader.ReadString(s);
    EXPECT_EQ("", s);
    std::wstring w = L"x";
    reader.ReadWString(w);
    EXPECT_EQ(L"", w);
    reader.SkipField();
    EXPECT_EQ(0u, reader.GetPosition());
    EXPECT_EQ(0, reader.ReadChar());
}

TEST(FieldStream, EscapesDataBytesOfTheControlRange)
{
    CFieldWriter writer;
    EXPECT_FALSE(writer.IsReading());
    writer.WriteInt16(0x1E1F);
    writer.WriteInt16(0x1F1E);
    EXPECT_EQ(Bytes({0x1E, 0x1F, 0x1E, 0x1E, 0x1E, 0x1E, 0x1E, 0x1F}), writer.m_bytes);
    // 0x1C and 0x1D are plain data outside strings.
    writer.Clear();
    writer.WriteInt16(0x1C1D);
    EXPECT_EQ(Bytes({0x1D, 0x1C}), writer.m_bytes);

    writer.Clear();
    writer.WriteInt16(0x1E1F);
    writer.WriteInt16(0x1F1E);
    CFieldReader reader(writer.m_bytes);
    EXPECT_EQ(0x1E1F, ReadInt16From(reader));
    EXPECT_EQ(0x1F1E, ReadInt16From(reader));
    EXPECT_TRUE(reader.AtFieldEnd());
}

TEST(FieldStream, IntegersAreSignExtendedFromTheirWidth)
{
    CFieldWriter writer;
    writer.WriteInt16(-1);
    writer.WriteInt16(40000);
    writer.WriteInt8(200);
    writer.WriteInt24(-2);
    writer.WriteInt24(0x812345);
    writer.WriteInt32(-123456789);
    EXPECT_EQ(Bytes({0xFF, 0xFF}), writer.m_bytes.substr(0, 2));
    EXPECT_EQ(Bytes({0x40, 0x9C}), writer.m_bytes.substr(2, 2));
    EXPECT_EQ(Bytes({0xC8}), writer.m_bytes.substr(4, 1));
    EXPECT_EQ(Bytes({0xFE, 0xFF, 0xFF}), writer.m_bytes.substr(5, 3));

    CFieldReader reader(writer.m_bytes);
    EXPECT_EQ(-1, ReadInt16From(reader));
    EXPECT_EQ(-25536, ReadInt16From(reader));
    int32_t value = 0;
    reader.ReadInt8(value);
    EXPECT_EQ(-56, value);
    reader.ReadInt24(value);
    EXPECT_EQ(-2, value);
    reader.ReadInt24(value);
    EXPECT_EQ(0x812345 - 0x1000000, value);
    reader.ReadInt32(value);
    EXPECT_EQ(-123456789, value);
}

TEST(FieldStream, FloatsAreRoundedHalfUp)
{
    CFieldWriter writer;
    writer.WriteFloat16(2.5f);
    writer.WriteFloat16(-2.5f);
    writer.WriteFloat16(2.4999f);
    writer.WriteFloat16(-2.51f);
    EXPECT_EQ(Bytes({3, 0, 0xFE, 0xFF, 2, 0, 0xFD, 0xFF}), writer.m_bytes);

    // The half is added in single precision: 0.49999997 + 0.5 is 1 as a
    // float, and 8388609 + 0.5 is 8388610.
    writer.Clear();
    writer.WriteFloat16(0.49999997f);
    writer.WritePoint(0.49999997f, -0.50000006f);
    EXPECT_EQ(Bytes({1, 0, 1, 0, 0xFF, 0xFF}), writer.m_bytes);
    EXPECT_EQ(8388610, CFieldStream::RoundHalfUp(8388609.0f));

    writer.Clear();
    writer.WriteFloat24(100000.4f);
    writer.WriteFloat16(40000.0f);
    CFieldReader reader(writer.m_bytes);
    float f = 0.0f;
    reader.ReadFloat24(f);
    EXPECT_EQ(100000.0f, f);
    reader.ReadFloat16(f);
    EXPECT_EQ(-25536.0f, f);
}

TEST(FieldStream, RoundingNeverLeavesTheIntegerRange)
{
    EXPECT_EQ(0, CFieldStream::RoundHalfUp(std::nanf("")));
    EXPECT_EQ(INT32_MAX, CFieldStream::RoundHalfUp(1e20f));
    EXPECT_EQ(INT32_MIN, CFieldStream::RoundHalfUp(-1e20f));
    EXPECT_EQ(-2, CFieldStream::RoundHalfUp(-2.5f));
    EXPECT_EQ(0, CFieldStream::RoundHalfUp(-0.5f));
}

TEST(FieldStream, RoundingTableOfEdgeValues)
{
    const float inf = std::numeric_limits<float>::infinity();
    const struct
    {
        float value;
        int32_t rounded;
    } cases[] = {
        {0.0f, 0}, {-0.0f, 0}, {1e-45f, 0}, {-1e-45f, 0}, {0.5f, 1}, {-0.5f, 0}, {1.5f, 2}, {-1.5f, -1},
        {-0.75f, -1}, {-0.25f, 0}, {-1.0f, -1}, {-1.25f, -1}, {0.49999997f, 1}, {-0.49999997f, 0},
        {-0.50000006f, -1}, {32767.5f, 32768}, {-32768.5f, -32768}, {-32768.6f, -32769},
        // From 2^23 on the half itself is rounded to an even whole number.
        {8388607.5f, 8388608}, {8388609.0f, 8388610}, {-8388609.0f, -8388608}, {-8388607.5f, -8388607},
        {16777215.0f, 16777216}, {2147483520.0f, 2147483520}, {-2147483648.0f, INT32_MIN},
        {2147483648.0f, INT32_MAX}, {-2147483904.0f, INT32_MIN}, {3e9f, INT32_MAX}, {-3e9f, INT32_MIN},
        {inf, INT32_MAX}, {-inf, INT32_MIN}, {std::nanf(""), 0}, {-std::nanf(""), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.rounded, CFieldStream::RoundHalfUp(c.value)) << c.value;
}

TEST(FieldStream, PointsAreDeltasAgainstTheRunningPoint)
{
    CFieldWriter writer;
    writer.WritePoint(10, 20);
    writer.WritePoint(12.6f, 17.6f);
    writer.EndField();
    writer.WritePoint(5, 6);
    EXPECT_EQ(Bytes({10, 0, 20, 0, 3, 0, 0xFE, 0xFF, 0x1F, 5, 0, 6, 0}), writer.m_bytes);

    CFieldReader reader(writer.m_bytes);
    CPoint2 p;
    reader.ReadPoint(p);
    EXPECT_EQ(CPoint2(10, 20), p);
    reader.ReadPoint(p);
    EXPECT_EQ(CPoint2(13, 18), p);
    reader.SkipField();
    reader.ReadPoint(p);
    EXPECT_EQ(CPoint2(5, 6), p);
}

TEST(FieldStream, KeptRunningPointCarriesAcrossFields)
{
    CFieldWriter writer;
    writer.m_keepPointAcrossFields = true;
    writer.WritePoint(10, 20);
    writer.EndField();
    writer.WritePoint(13, 18);
    EXPECT_EQ(Bytes({10, 0, 20, 0, 0x1F, 3, 0, 0xFE, 0xFF}), writer.m_bytes);

    CFieldReader reader(writer.m_bytes);
    reader.m_keepPointAcrossFields = true;
    CPoint2 p;
    reader.ReadPoint(p);
    reader.SkipField();
    reader.ReadPoint(p);
    EXPECT_EQ(CPoint2(13, 18), p);
}

TEST(FieldStream, PointsOutsideTheRangeWrapWithoutDisturbingTheRest)
{
    CFieldWriter writer;
    writer.WritePoint(40000, -5);
    writer.WritePoint(40010, 7);
    writer.WriteInt16(99);
    CFieldReader reader(writer.m_bytes);
    CPoint2 p;
    reader.ReadPoint(p);
    EXPECT_EQ(CPoint2(40000 - 65536, -5), p);
    reader.ReadPoint(p);
    EXPECT_EQ(CPoint2(40010 - 65536, 7), p);
    EXPECT_EQ(99, ReadInt16From(reader));
}

TEST(FieldStream, PointsAtTheEdgesOfTheRangeComeBackAcrossManyRecords)
{
    // Points going round the range in one direction: every third delta
    // wraps, and the running point must not drift with them.
    const float cycle[] = {-32768.0f, -20000.0f, 0.0f, 20000.0f, 32767.0f};
    CFieldWriter writer;
    writer.m_keepPointAcrossFields = true;
    for (int i = 0; i < 20000; ++i) {
        writer.WritePoint(cycle[i % 5], cycle[(i + 2) % 5]);
        writer.EndField();
    }
    CFieldReader reader(writer.m_bytes);
    reader.m_keepPointAcrossFields = true;
    for (int i = 0; i < 20000; ++i) {
        CPoint2 p;
        reader.ReadPoint(p);
        reader.SkipField();
        ASSERT_EQ(CPoint2(cycle[i % 5], cycle[(i + 2) % 5]), p) << i;
    }
}

TEST(FieldStream, LimitPointKeepsPointsInTheCarriedRange)
{
    struct
    {
        CPoint2 point;
        CPoint2 limited;
    } const cases[] = {
        {{12.5f, -7.0f}, {12.5f, -7.0f}},
        {{32767.0f, -32768.0f}, {32767.0f, -32768.0f}},
        {{32767.4f, -32768.6f}, {32767.0f, -32768.0f}},
        {{45000.0f, 50000.0f}, {32767.0f, 32767.0f}},
        {{-1e30f, NAN}, {-32768.0f, 0.0f}},
    };
    for (const auto& c : cases) {
        const CPoint2 limited = CFieldStream::LimitPoint(c.point);
        EXPECT_EQ(c.limited, limited) << c.point.x << ", " << c.point.y;
        CFieldWriter writer;
        writer.WritePoint(limited);
        CFieldReader reader(writer.m_bytes);
        CPoint2 back;
        reader.ReadPoint(back);
        EXPECT_EQ(CPoint2(float(CFieldStream::RoundHalfUp(limited.x)), float(CFieldStream::RoundHalfUp(limited.y))),
                  back);
    }
}

TEST(FieldStream, WideCharactersUseTheProgramsEightBitForm)
{
    CFieldWriter writer;
    writer.WriteWideChar(L'\u00E9');
    EXPECT_EQ(Bytes({0xC3, 0xA9}), writer.m_bytes);
    writer.Clear();
    writer.WriteWideChar(L'\u20AC');
    EXPECT_EQ(Bytes({0xF2, 0x82, 0xAC}), writer.m_bytes);
    writer.Clear();
    writer.WriteWideChar(wchar_t(0x1F));
    EXPECT_EQ(Bytes({0x1E, 0x1F}), writer.m_bytes);

    writer.Clear();
    for (unsigned unit : {0x00u, 0x1Fu, 0x41u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xD83Du, 0xFFFFu})
        writer.WriteWideChar(wchar_t(unit));
    CFieldReader reader(writer.m_bytes);
    for (unsigned unit : {0x00u, 0x1Fu, 0x41u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xD83Du, 0xFFFFu}) {
        wchar_t c = 0;
        reader.ReadWideChar(c);
        EXPECT_EQ(unit, unsigned(c));
    }
    // The standard three-byte lead decodes the same.
    CFieldReader standard(Bytes({0xE2, 0x82, 0xAC}));
    wchar_t c = 0;
    standard.ReadWideChar(c);
    EXPECT_EQ(0x20ACu, unsigned(c));
}

TEST(FieldStream, NarrowStringsEscapeTheirControlCharacters)
{
    CFieldWriter writer;
    writer.WriteString(std::string("a\x1D" "b"));
    EXPECT_EQ(Bytes({0x61, 0x1C, 0x1D, 0x62, 0x1D}), writer.m_bytes);
    writer.Clear();
    writer.WriteString("");
    EXPECT_EQ(Bytes({0x1D}), writer.m_bytes);
    writer.Clear();
    writer.WriteString(Bytes({0x1F, 0x1E, 0x1C}));
    EXPECT_EQ(Bytes({0x1E, 0x1F, 0x1E, 0x1E, 0x1C, 0x1C, 0x1D}), writer.m_bytes);

    const std::string awkward = Bytes({0, 0x1C, 0x1D, 0x1E, 0x1F, 0x20, 0xFF, 0x1D});
    writer.Clear();
    writer.WriteString(awkward);
    writer.WriteString("next");
    writer.EndField();
    CFieldReader reader(writer.m_bytes);
    std::string s;
    reader.ReadString(s);
    EXPECT_EQ(awkward, s);
    reader.ReadString(s);
    EXPECT_EQ("next", s);
    EXPECT_TRUE(reader.AtFieldEnd());
}

TEST(FieldStream, WideStringsRoundTrip)
{
    std::wstring text = L"Caf\u00E9 \u20AC ";
    text += wchar_t(0x1C);
    text += wchar_t(0x1D);
    text += wchar_t(0x1F);
    text += wchar_t(0xD83D);
    CFieldWriter writer;
    writer.WriteWString(text);
    writer.WriteWString(L"");
    CFieldReader reader(writer.m_bytes);
    std::wstring w;
    reader.ReadWString(w);
    EXPECT_EQ(text, w);
    reader.ReadWString(w);
    EXPECT_EQ(L"", w);
    EXPECT_TRUE(reader.AtEnd());
}

TEST(FieldStream, UnterminatedStringsStopAtTheFieldEnd)
{
    // No string end before the field end: the string keeps what it read and
    // the next field is read intact.
    CFieldReader reader(Bytes({'a', 'b', 0x1F, 'c', 0x1D}));
    std::string s;
    reader.ReadString(s);
    EXPECT_EQ("ab", s);
    reader.SkipField();
    reader.ReadString(s);
    EXPECT_EQ("c", s);

    CFieldReader atEnd(Bytes({'x', 'y', 0x1C}));
    atEnd.ReadString(s);
    EXPECT_EQ("xy", s);
    EXPECT_TRUE(atEnd.AtFieldEnd());

    CFieldReader wide(Bytes({'a', 0xC3, 0xA9, 0x1F, 'z'}));
    std::wstring w;
    wide.ReadWString(w);
    EXPECT_EQ(L"a\u00E9", w);
    wide.SkipField();
    wide.ReadWString(w);
    EXPECT_EQ(L"z", w);
}

TEST(FieldStream, SkipFieldPassesOverUnreadValues)
{
    CFieldWriter writer;
    writer.WriteInt16(1);
    writer.WriteInt16(0x1F1F);
    writer.WriteInt16(3);
    writer.EndField();
    writer.WriteInt16(4);
    writer.EndField();

    // Reads only two of three.
    CFieldReader reader(writer.m_bytes);
    EXPECT_EQ(1, ReadInt16From(reader));
    EXPECT_EQ(0x1F1F, ReadInt16From(reader));
    reader.SkipField();
    EXPECT_EQ(4, ReadInt16From(reader));

    // Skipping a whole field steps over escaped field-end bytes.
    CFieldReader skipper(writer.m_bytes);
    skipper.SkipField();
    EXPECT_EQ(4, ReadInt16From(skipper));
}

TEST(FieldStream, ShortFieldsReadAsZeros)
{
    CFieldWriter writer;
    writer.WriteInt16(1);
    writer.WriteInt16(2);
    writer.EndField();
    writer.WriteInt16(7);
    writer.EndField();

    CFieldReader reader(writer.m_bytes);
    EXPECT_EQ(1, ReadInt16From(reader));
    EXPECT_EQ(2, ReadInt16From(reader));
    EXPECT_TRUE(reader.AtFieldEnd());
    EXPECT_EQ(0, ReadInt16From(reader));
    reader.SkipField();
    EXPECT_EQ(7, ReadInt16From(reader));
    reader.SkipField();
    EXPECT_TRUE(reader.AtEnd());
}

TEST(FieldStream, ReadCharHandlesEscapesAndTheEnd)
{
    CFieldReader reader(Bytes({0x1E, 0x1F, 0x1F, 0x41, 0x1E}));
    EXPECT_EQ(0x1F, reader.ReadChar());
    EXPECT_TRUE(reader.AtFieldEnd());
    EXPECT_EQ(0, reader.ReadChar());
    EXPECT_EQ(2u, reader.GetPosition());
    reader.SkipField();
    EXPECT_EQ(0x41, reader.ReadChar());
    // A lone escape at the very end yields 0 and stays at the end.
    EXPECT_EQ(0, reader.ReadChar());
    EXPECT_TRUE(reader.AtEnd());
}

TEST(FieldStream, OneRoutineServesBothDirections)
{
    struct CRecord
    {
        int32_t count = 0;
        float length = 0;
        bool flag = false;
        std::wstring name;
        CPoint2 corner;

        void Serialize(CFieldStream& stream)
        {
            stream.Int8(count);
            stream.Float16(length);
            stream.Bool(flag);
            stream.WString(name);
            stream.Point(corner);
            stream.EndField();
        }
    };
    CRecord original;
    original.count = -3;
    original.length = 1234.4f;
    original.flag = true;
    original.name = L"A\u00E9";
    original.corner = CPoint2(-7, 9);
    CFieldWriter writer;
    original.Serialize(writer);
    original.Serialize(writer);

    CFieldReader reader(writer.m_bytes);
    CRecord first;
    CRecord second;
    first.Serialize(reader);
    second.Serialize(reader);
    for (const CRecord* copy : {&first, &second}) {
        EXPECT_EQ(-3, copy->count);
        EXPECT_EQ(1234.0f, copy->length);
        EXPECT_TRUE(copy->flag);
        EXPECT_EQ(L"A\u00E9", copy->name);
        EXPECT_EQ(CPoint2(-7, 9), copy->corner);
    }
    EXPECT_TRUE(reader.AtEnd());
}

TEST(FieldStream, VersionPairComparesLexicographically)
{
    CFieldWriter writer;
    writer.m_versionMajor = 4;
    writer.m_versionMinor = 33;
    EXPECT_TRUE(writer.IsVersionAtLeast(4, 33));
    EXPECT_TRUE(writer.IsVersionAtLeast(3, 90));
    EXPECT_FALSE(writer.IsVersionAtLeast(4, 34));
    EXPECT_FALSE(writer.IsVersionAtLeast(5, 0));
}
