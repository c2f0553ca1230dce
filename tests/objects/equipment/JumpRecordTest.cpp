#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/FieldStream.h"
#include "foundation/Settings.h"
#include "tests/objects/equipment/JumpTestSupport.h"
#include "tests/support/Bytes.h"
#include "tests/support/FailureReports.h"

using namespace jumptest;

namespace {

using JumpRecord = coursetest::CSettingsFixture;

// The jump of the type after it read the record.
std::unique_ptr<CJump> JumpFromRecord(int typeId, const std::string& bytes, int major = 4)
{
    auto jump = MakeJump(typeId);
    CFieldReader reader(bytes);
    reader.m_versionMajor = major;
    reader.m_versionMinor = major == 4 ? 33 : 0;
    jump->Serialize(reader);
    return jump;
}

// What a loaded jump is, to compare with what was saved: type, position,
// angle and record.
struct CJumpState
{
    int typeId;
    CPoint2 position;
    float angle;
    std::string record;

    bool operator==(const CJumpState& other) const
    {
        return typeId == other.typeId && position == other.position && std::fabs(angle - other.angle) < 1e-3f &&
               record == other.record;
    }
};

std::vector<CJumpState> StatesOf(const CCourse& course)
{
    std::vector<CJumpState> states;
    for (CJump* jump : JumpsOf(course))
        states.push_back({jump->GetType()->GetTypeId(), jump->GetPosition(), jump->GetPlacement().GetRotation(),
                          RecordOf(*jump)});
    return states;
}

}  // namespace

TEST_F(JumpRecord, BodiesAreTheBindingsValues)
{
    struct CCase
    {
        int typeId;
        std::string version4;
        std::string version3;
    };
    const CCase cases[] = {
        // Width and wing width as Int16 floats.
        {150, Bytes({0x58, 0x02, 0xF0, 0x00}), Bytes({0x58, 0x02, 0xF0, 0x00})},
        // Frame width and tire diameter.
        {320, Bytes({0xF4, 0x01, 0xF0, 0x00}), Bytes({0xF4, 0x01, 0xF0, 0x00})},
        // Ascending; version 3 adds a Float16 and an Int8 its readers skip.
        {180, Bytes({1}), Bytes({1, 0, 0, 0})},
        // Version 3 takes a hoop jump for a tire jump of 280 and 240.
        {115, "", Bytes({0x18, 0x01, 0xF0, 0x00})},
        {380, "", ""},
        {390, "", ""},
        {360, "", ""},
        {30, "", ""},
    };
    for (const CCase& c : cases) {
        auto jump = MakeJump(c.typeId);
        if (c.typeId == 150)
            SetWings(*jump, 600.0f, 240.0f);
        EXPECT_EQ(c.version4, RecordOf(*jump, 4)) << c.typeId;
        EXPECT_EQ(c.version3, RecordOf(*jump, 3)) << c.typeId;
        // Each reads back as written.
        auto read = JumpFromRecord(c.typeId, c.version3, 3);
        EXPECT_EQ(c.version4, RecordOf(*read, 4)) << c.typeId;
    }
}

TEST_F(JumpRecord, WingsNarrowerThan80AreNone)
{
    CFieldWriter record;
    record.WriteFloat16(600.0f);
    record.WriteFloat16(60.0f);
    auto jump = JumpFromRecord(260, record.m_bytes);
    EXPECT_EQ(600.0f, jump->GetWingsBinding()->width);
    EXPECT_EQ(0.0f, jump->GetWingsBinding()->wingWidth);
    // Written too: a jump given wings of 60 writes none.
    SetWings(*jump, 480.0f, 60.0f);
    EXPECT_EQ(Bytes({0xE0, 0x01, 0, 0}), RecordOf(*jump));
    // In the Brisklane display mode a jump read without wings gets them.
    CSettings::SetInt(L"BrisklaneMode", 1);
    EXPECT_EQ(240.0f, JumpFromRecord(260, record.m_bytes)->GetWingsBinding()->wingWidth);
}

TEST_F(JumpRecord, DamagedRecordsKeepUsableValues)
{
    const int before = ReportCount();
    CFieldWriter negative;
    negative.WriteFloat16(-500.0f);
    negative.WriteFloat16(-300.0f);
    auto wings = JumpFromRecord(150, negative.m_bytes);
    EXPECT_EQ(540.0f, wings->GetWingsBinding()->width);
    EXPECT_EQ(0.0f, wings->GetWingsBinding()->wingWidth);
    auto tire = JumpFromRecord(320, negative.m_bytes);
    EXPECT_EQ(500.0f, dynamic_cast<CTireJumpBinding*>(tire->GetBinding())->width);
    EXPECT_EQ(240.0f, dynamic_cast<CTireJumpBinding*>(tire->GetBinding())->diameter);
    // A short record: zeros, a jump of no width.
    EXPECT_EQ(0.0f, JumpFromRecord(260, "")->GetWingsBinding()->width);
    // A version-3 record of a hoop jump, which version 3 never held.
    JumpFromRecord(115, Bytes({0x18, 0x01, 0xF0, 0x00}), 3);
    EXPECT_EQ(before, ReportCount());
}

TEST_F(JumpRecord, EveryKindRoundTripsThroughTheArchive)
{
    auto course = MakeCourse(1);
    const std::vector<int>& ids = AllJumpTypeIds();
    for (size_t i = 0; i < ids.size(); ++i) {
        CJump* jump = PlaceJump(*course, ids[i], 1000.0f + 600.0f * float(i), 2000.0f + 300.0f * float(i % 3),
                                15.0f * float(i));
        if (jump->GetBinding()->GetKind() == CPropertyBinding::kWings)
            SetWings(*jump, 300.0f + 20.0f * float(i), i % 2 == 0 ? 0.0f : 100.0f + 10.0f * float(i));
    }
    std::string bytes;
    course->WriteArchive(bytes, false, false, true);
    auto loaded = MakeCourse(1);
    ASSERT_TRUE(loaded->LoadArchive(bytes, false, true));
    EXPECT_EQ(StatesOf(*course), StatesOf(*loaded));
    std::string again;
    loaded->WriteArchive(again, false, false, true);
    EXPECT_EQ(bytes, again);
}

// Version 3 knows walls and viaducts as panel jumps and hoop jumps as tire
// jumps; the jumps after a long jump read as they were written.
TEST_F(JumpRecord, Version3ArchiveKeepsTheJumpsItKnows)
{
    auto course = MakeCourse(1);
    CJump* longJump = PlaceJump(*course, 180, 1000.0f, 1000.0f);
    dynamic_cast<CAscendingBinding*>(longJump->GetBinding())->ascending = false;
    SetWings(*PlaceJump(*course, 150, 2000.0f, 1000.0f), 600.0f, 240.0f);
    PlaceJump(*course, 180, 3000.0f, 1000.0f);
    SetWings(*PlaceJump(*course, 357, 4000.0f, 1000.0f), 480.0f, 120.0f);
    SetWings(*PlaceJump(*course, 353, 5000.0f, 1000.0f), 700.0f, 0.0f);
    PlaceJump(*course, 115, 6000.0f, 1000.0f);
    PlaceJump(*course, 320, 7000.0f, 1000.0f);
    std::string bytes;
    course->WriteArchive(bytes, false, true, true);
    auto loaded = MakeCourse(1);
    ASSERT_TRUE(loaded->LoadArchive(bytes, false, true));
    std::vector<CJumpState> expected = StatesOf(*course);
    expected[3].typeId = 210;
    expected[4].typeId = 210;
    expected[5] = {320, expected[5].position, expected[5].angle, Bytes({0x18, 0x01, 0xF0, 0x00})};
    EXPECT_EQ(expected, StatesOf(*loaded));
    EXPECT_FALSE(dynamic_cast<CAscendingBinding*>(JumpsOf(*loaded)[0]->GetBinding())->ascending);
}
