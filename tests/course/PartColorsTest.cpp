#include <gtest/gtest.h>

#include <string>

#include "course/PartColors.h"
#include "foundation/FieldStream.h"
#include "foundation/Settings.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"

namespace {

CFieldWriter Writer(int major, int minor)
{
    CFieldWriter writer;
    writer.m_versionMajor = major;
    writer.m_versionMinor = minor;
    return writer;
}

CFieldReader Reader(const std::string& bytes, int major, int minor)
{
    CFieldReader reader(bytes);
    reader.m_versionMajor = major;
    reader.m_versionMinor = minor;
    return reader;
}

// A set with the parts of the A-frame kind: 10, 16, 2, 6, 4.
CPartColorSet AFrameColors()
{
    CPartColorSet set;
    for (int part : {16, 2, 6, 4})
        set.AddPart(part);
    return set;
}


}  // namespace

TEST(PartColorSet, DefaultColourOfEveryPart)
{
    // The nearest palette entry of each part's RGB default.
    const int expected[CPartColorSet::kPartIdCount] = {
        100, 81, 131, 31, 131, 255, 120, 31,    // 0-7
        4, 255, 0, 100, 4, 100, 255, 0,         // 8-15
        4, 255, 255, 131, 100, 4, 100, 20,      // 16-23
        120, 255, 0, 111, 100, 120, 4, 90,      // 24-31
    };
    for (int part = 0; part < CPartColorSet::kPartIdCount; ++part)
        EXPECT_EQ(expected[part], CPartColorSet::GetDefaultIndex(part)) << part;
}

TEST(PartColorSet, NewSetHoldsThePrimaryPart)
{
    CPartColorSet set;
    EXPECT_EQ(std::vector<int>{10}, set.GetParts());
    EXPECT_TRUE(set.HasPart(10));
    EXPECT_FALSE(set.HasPart(2));
    EXPECT_EQ(0, set.GetColorIndex(10));
    set.AddPart(2);
    EXPECT_EQ((std::vector<int>{10, 2}), set.GetParts());
    EXPECT_EQ(131, set.GetColorIndex(2));
}

TEST(PartColorSet, FaultyPartsAndIndicesAreReportedAndChangeNothing)
{
    CPartColorSet set = AFrameColors();
    const int before = ReportCount();
    set.AddPart(2);     // already there
    set.AddPart(32);    // no such part
    set.AddPart(-1);
    EXPECT_EQ(before + 3, ReportCount());
    EXPECT_EQ((std::vector<int>{10, 16, 2, 6, 4}), set.GetParts());
    set.AddPart(0);
    set.AddPart(1);
    set.AddPart(3);
    EXPECT_EQ(8u, set.GetParts().size());
    set.AddPart(5);     // a ninth part would not fit the stored mask
    EXPECT_EQ(8u, set.GetParts().size());
    EXPECT_FALSE(set.HasPart(5));
    EXPECT_EQ(before + 4, ReportCount());

    set.SetColorIndex(2, 256);
    set.SetColorIndex(2, -1);
    set.SetColorIndex(7, 12);
    EXPECT_EQ(131, set.GetColorIndex(2));
    EXPECT_EQ(31, set.GetColorIndex(7));   // absent: the default, reported
    EXPECT_EQ(before + 8, ReportCount());
    set.SetColorIndex(2, 255);
    EXPECT_EQ(255, set.GetColorIndex(2));
    EXPECT_EQ(before + 8, ReportCount());
}

TEST(PartColorSet, CopyAndTakeOver)
{
    CPartColorSet a = AFrameColors();
    a.SetColorIndex(6, 17);
    CPartColorSet b;
    b.AddPart(6);
    b.AddPart(21);
    b.SetColorIndex(10, 77);
    b.SetColorIndex(21, 88);
    a.TakeOver(b);
    EXPECT_EQ(77, a.GetColorIndex(10));
    EXPECT_EQ(CPartColorSet::GetDefaultIndex(6), a.GetColorIndex(6));   // b's default
    EXPECT_FALSE(a.HasPart(21));
    CPartColorSet c;
    c = a;
    EXPECT_EQ(a.GetParts(), c.GetParts());
    EXPECT_EQ(77, c.GetColorIndex(10));
}

TEST(PartColorSet, Version4RecordOnlyHoldsTheChangedParts)
{
    CPartColorSet set;
    set.AddPart(2);
    CFieldWriter writer = Writer(4, 33);
    set.Write(writer);
    EXPECT_EQ(std::string("\x00", 1), writer.m_bytes);

    set.SetColorIndex(2, 60);
    writer = Writer(4, 33);
    set.Write(writer);
    EXPECT_EQ(std::string("\x02\x3C", 2), writer.m_bytes);

    set.SetColorIndex(10, 200);
    writer = Writer(4, 33);
    set.Serialize(writer);
    EXPECT_EQ(std::string("\x03\xC8\x3C", 3), writer.m_bytes);

    CPartColorSet read;
    read.AddPart(2);
    CFieldReader reader = Reader(writer.m_bytes, 4, 33);
    read.Serialize(reader);
    EXPECT_EQ(200, read.GetColorIndex(10));
    EXPECT_EQ(60, read.GetColorIndex(2));
}

TEST(PartColorSet, Version4IndicesBeyondThePartListAreDropped)
{
    // Mask bits 0, 2 and 7 for a set of two parts, then an Int16 that must
    // still read intact.
    CFieldWriter writer = Writer(4, 33);
    writer.WriteInt8(0x85);
    writer.WriteInt8(9);
    writer.WriteInt8(30);
    writer.WriteInt8(31);
    writer.WriteInt16(1234);
    CPartColorSet set;
    set.AddPart(2);
    CFieldReader reader = Reader(writer.m_bytes, 4, 33);
    set.Serialize(reader);
    EXPECT_EQ(9, set.GetColorIndex(10));
    EXPECT_EQ(131, set.GetColorIndex(2));
    int32_t next = 0;
    reader.ReadInt16(next);
    EXPECT_EQ(1234, next);
}

TEST(PartColorSet, Version3RecordHoldsThePrimaryColour)
{
    CPartColorSet set = AFrameColors();
    set.SetColorIndex(10, 170);
    set.SetColorIndex(2, 5);
    CFieldWriter writer = Writer(3, 83);
    set.Serialize(writer);
    EXPECT_EQ(std::string("\xAA", 1), writer.m_bytes);

    CPartColorSet read = AFrameColors();
    CFieldReader reader = Reader(writer.m_bytes, 3, 83);
    read.Serialize(reader);
    EXPECT_EQ(170, read.GetColorIndex(10));
    EXPECT_EQ(131, read.GetColorIndex(2));
}

TEST(PartColorSet, OldestStreamsHoldOldColourNumbers)
{
    const int table[7] = {0, 100, 20, 4, 55, 112, 120};
    for (int number = 0; number < 7; ++number) {
        CPartColorSet set;
        CFieldReader reader = Reader(std::string(1, char(number)), 3, 1);
        set.Serialize(reader);
        EXPECT_EQ(table[number], set.GetColorIndex(10)) << number;
    }
    // From (3, 2) on the byte is a palette index.
    CPartColorSet set;
    CFieldReader reader = Reader(std::string(1, char(4)), 3, 2);
    set.Serialize(reader);
    EXPECT_EQ(4, set.GetColorIndex(10));
}

TEST(PartColorSet, OldColourNumbersOutsideTheTableGiveTheDefault)
{
    const int before = ReportCount();
    for (int number : {7, 100, 0x7F, 0xFF}) {
        CPartColorSet set;
        set.SetColorIndex(10, 50);
        CFieldReader reader = Reader(std::string(1, char(number)), 3, 1);
        set.Serialize(reader);
        EXPECT_EQ(CPartColorSet::GetDefaultIndex(10), set.GetColorIndex(10)) << number;
    }
    EXPECT_EQ(100, CPartColorSet::TranslateOldColorNumber(7, 0));
    EXPECT_EQ(100, CPartColorSet::TranslateOldColorNumber(-1, 13));
    EXPECT_EQ(55, CPartColorSet::TranslateOldColorNumber(4, 13));
    EXPECT_EQ(before, ReportCount());   // damaged files are not program faults
}

TEST(PartColorSet, WriteNeedsAWritingStream)
{
    CPartColorSet set;
    CFieldReader reader = Reader(std::string("\x05", 1), 4, 33);
    EXPECT_EQ(1, CountReports([&] { set.Write(reader); }));
    EXPECT_EQ(0u, reader.GetPosition());
}

TEST(PartColorSet, ShortRecordsReadAsDefaults)
{
    CPartColorSet set = AFrameColors();
    CFieldReader reader = Reader(std::string(), 4, 33);
    set.Serialize(reader);
    for (int part : set.GetParts())
        EXPECT_EQ(CPartColorSet::GetDefaultIndex(part), set.GetColorIndex(part));
    // A mask whose indices are cut off by the field end.
    CFieldReader cut = Reader(std::string("\x06\x07\x1F\x09", 4), 4, 33);
    set.Serialize(cut);
    EXPECT_EQ(7, set.GetColorIndex(16));
    EXPECT_EQ(0, set.GetColorIndex(2));
}

class PartColorSettings : public testing::Test
{
protected:
    CTestSettingsKey m_key;
};

TEST_F(PartColorSettings, StoredAsTheVersion4RecordUnderTheKindsPrefix)
{
    CPartColorSet set = AFrameColors();
    set.SetColorIndex(6, 30);
    set.SetColorIndex(4, 31);
    set.SaveToSettings(L"10");
    EXPECT_EQ(std::string("\x18\x1E\x1E\x1E\x1F", 5), CSettings::GetString(L"10Color", std::string()));

    CPartColorSet loaded = AFrameColors();
    loaded.LoadFromSettings(L"10");
    EXPECT_EQ(30, loaded.GetColorIndex(6));
    EXPECT_EQ(31, loaded.GetColorIndex(4));
    EXPECT_EQ(131, loaded.GetColorIndex(2));

    // Unchanged colours are stored as a mask of 0.
    CPartColorSet plain;
    plain.SaveToSettings(L"20");
    EXPECT_EQ(std::string(1, '\0'), CSettings::GetString(L"20Color", std::string("x")));
}

TEST_F(PartColorSettings, AbsentValueKeepsTheColours)
{
    CPartColorSet set = AFrameColors();
    set.SetColorIndex(16, 99);
    set.LoadFromSettings(L"340");
    EXPECT_EQ(99, set.GetColorIndex(16));
}
