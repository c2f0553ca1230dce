#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "course/Course.h"
#include "tests/objects/equipment/JumpTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"
#include "tests/support/FailureReports.h"

using namespace jumptest;

namespace {

using JumpLegacy = coursetest::CSettingsFixture;

struct CLine
{
    const char* words;
    int typeId;
    float width;      // -1: no wings binding
    float wingWidth;
    float movedBack;  // along the jump's own -y
    size_t ends;
};

const CLine kLines[] = {
    {"SpreadJump 48 24", 20, 480.0f, 240.0f, 0.0f, 1},
    {"SpreadJump", 20, 540.0f, 300.0f, 0.0f, 1},
    {"WingedJump 48", 260, 480.0f, 0.0f, 0.0f, 2},
    {"WingedJump", 260, 540.0f, 300.0f, 0.0f, 2},
    {"WingedJump 48 -10", 260, 480.0f, 0.0f, 0.0f, 2},
    {"NonWingedSingleJump 48", 260, 480.0f, 0.0f, 0.0f, 2},
    {"NonWingedDoubleJump T 60", 150, 600.0f, 0.0f, 0.0f, 2},
    {"NonWingedDoubleJump X 60", 20, 600.0f, 0.0f, 60.0f, 1},
    {"NonWingedDoubleJump 60", 20, 600.0f, 0.0f, 60.0f, 1},
    {"NonWingedDoubleJump", 20, 540.0f, 0.0f, 60.0f, 1},
    {"NonWingedTripleJump T 50", 160, 500.0f, 0.0f, 0.0f, 2},
    {"NonWingedTripleJump X", 330, 540.0f, 0.0f, 120.0f, 1},
    {"ExtendedSpreadJump 60 30", 330, 600.0f, 300.0f, 120.0f, 1},
    {"WingedOneJump 50 20", 200, 500.0f, 200.0f, 0.0f, 2},
    {"NonWingedOneJump 36", 200, 360.0f, 0.0f, 0.0f, 2},
    {"LongJump T", 180, -1.0f, 0.0f, 0.0f, 1},
    {"LongJump F", 180, -1.0f, 0.0f, 0.0f, 2},
    {"LogJump 10 10", 170, 480.0f, 0.0f, 0.0f, 2},
    {"BrushJump", 40, 540.0f, 300.0f, 0.0f, 2},
    {"PanelJump", 210, 540.0f, 300.0f, 0.0f, 2},
    {"PicketFenceJump", 230, 540.0f, 0.0f, 0.0f, 2},
    {"TireJump", 320, -1.0f, 0.0f, 0.0f, 2},
    {"WaterJump", 360, -1.0f, 0.0f, 0.0f, 2},
    {"WindowJump", 380, -1.0f, 0.0f, 0.0f, 2},
    {"WishingWellJump", 390, -1.0f, 0.0f, 0.0f, 2},
};

// A listing of every line above, one jump a row 10 feet apart, each at 5
// feet across; with a "Version 3" header line or the older one.
std::string Listing(const char* version)
{
    std::ostringstream text;
    text << "Begin Fendrel\r\n" << version << "\r\nDimensions 100 300\r\n";
    for (size_t i = 0; i < std::size(kLines); ++i) {
        std::istringstream words(kLines[i].words);
        std::string key;
        words >> key;
        std::string rest;
        std::getline(words, rest);
        text << key << " 5 " << 10 * (i + 1) << " 0" << rest << "\r\n";
    }
    text << "End Fendrel\r\n";
    return text.str();
}

}  // namespace

TEST_F(JumpLegacy, LinesOfEveryKind)
{
    for (const char* version : {"Version 2000", "Version 3"}) {
        SCOPED_TRACE(version);
        auto course = MakeCourse(1);
        std::istringstream in(Listing(version));
        const int before = ReportCount();
        const CCourseRead read = course->ReadTextBlock(in, false);
        ASSERT_TRUE(read);
        EXPECT_EQ(before, ReportCount());
        EXPECT_EQ(0, read.messageId);
        const std::vector<CJump*> jumps = JumpsOf(*course);
        ASSERT_EQ(std::size(kLines), jumps.size());
        for (size_t i = 0; i < jumps.size(); ++i) {
            const CLine& line = kLines[i];
            const CJump& jump = *jumps[i];
            EXPECT_EQ(line.typeId, jump.GetType()->GetTypeId()) << line.words;
            if (line.width >= 0.0f) {
                EXPECT_EQ(line.width, jump.GetWingsBinding()->width) << line.words;
                EXPECT_EQ(line.wingWidth, jump.GetWingsBinding()->wingWidth) << line.words;
            }
            const float y = course->GetHeight() - 1200.0f * float(i + 1);
            EXPECT_EQ(CPoint2(600.0f, y - line.movedBack), jump.GetPosition()) << line.words;
            EXPECT_EQ(line.ends, jump.GetEnds().size()) << line.words;
        }
    }
}

// A key that is neither of the type's is reported and read as its winged
// key; a wall has no legacy line but a listing naming one is read.
TEST_F(JumpLegacy, ForeignKeys)
{
    auto jump = MakeJump(150);
    std::istringstream words("48 12");
    EXPECT_EQ(1, CountReports([&] { jump->ApplyVariant("SpreadJump", words); }));
    EXPECT_EQ(480.0f, jump->GetWingsBinding()->width);
    EXPECT_EQ(120.0f, jump->GetWingsBinding()->wingWidth);
    auto wall = MakeJump(357);
    std::istringstream none("");
    EXPECT_EQ(0, CountReports([&] { wall->ApplyVariant("WallJump", none); }));
    EXPECT_EQ(540.0f, wall->GetWingsBinding()->width);
}
