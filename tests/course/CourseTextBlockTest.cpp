#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/SpecList.h"
#include "foundation/Base64.h"
#include "foundation/Compression.h"
#include "foundation/Strings.h"
#include "tests/course/ArchiveTestKinds.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"

namespace {

class CourseTextBlock : public archivetest::CArchiveFixture
{
protected:
    static std::unique_ptr<CCourse> MakeCourse()
    {
        auto course = std::make_unique<CCourse>(L"Block", L"");
        course->SetSpecList(1);
        course->SetMetric(false);
        course->SetSize(14400.0f, 12000.0f);
        return course;
    }

    // A course whose settings all differ from those of a new course.
    static std::unique_ptr<CCourse> MakeChangedCourse()
    {
        auto course = MakeCourse();
        course->SetSpecList(2);
        course->SetSize(9720.0f, 8400.0f);
        course->SetLengthValue(CCourse::kMarginLowY, 120.0f);
        course->SetLengthValue(CCourse::kMarginHighY, 240.0f);
        course->SetLengthValue(CCourse::kMarginLowX, 360.0f);
        course->SetLengthValue(CCourse::kMarginHighX, 480.0f);
        course->SetJumpHeight(160.0f);
        course->SetLongJumpLength(320.0f);
        course->SetLongJumpPlanks(3);
        course->SetUKCClass(3);
        course->SetShowUKCFooter(false);
        course->SetShowPaths(false);
        course->SetShowNumbers(false);
        course->SetShowTexts(false);
        course->SetBackground(1);
        course->SetMetricGridSpacing(5);
        course->SetUsGridSpacing(20);
        course->SetDisplayOriginX(2);
        course->SetDisplayOriginY(0);
        course->SetMetric(true);
        course->SetBaselineCoordFirst(false);
        course->SetUSCoordUnitsX(2);
        course->SetUSCoordUnitsY(5);
        course->SetShowGrass(false);
        archivetest::PlaceRecord(*course, 1000.0f, 2000.0f, 90.0f, 42, L"label");
        return course;
    }
};

// The lines of a text, each with its ending.
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end + 1 - start));
        start = end + 1;
    }
    return lines;
}

void ExpectSameSettings(const CCourse& expected, const CCourse& actual)
{
    EXPECT_EQ(expected.GetOrganisationId(), actual.GetOrganisationId());
    EXPECT_EQ(expected.GetWidth(), actual.GetWidth());
    EXPECT_EQ(expected.GetHeight(), actual.GetHeight());
    for (int margin = 0; margin < 4; ++margin)
        EXPECT_EQ(expected.GetMargin(margin), actual.GetMargin(margin)) << margin;
    EXPECT_EQ(expected.GetUKCClass(), actual.GetUKCClass());
    EXPECT_EQ(expected.GetShowUKCFooter(), actual.GetShowUKCFooter());
    EXPECT_EQ(expected.GetShowPaths(), actual.GetShowPaths());
    EXPECT_EQ(expected.GetShowObsCoords(), actual.GetShowObsCoords());
    EXPECT_EQ(expected.GetShowNumbers(), actual.GetShowNumbers());
    EXPECT_EQ(expected.GetShowTexts(), actual.GetShowTexts());
    EXPECT_EQ(expected.GetBackground(), actual.GetBackground());
    EXPECT_EQ(expected.GetMetricGridSpacing(), actual.GetMetricGridSpacing());
    EXPECT_EQ(expected.GetUsGridSpacing(), actual.GetUsGridSpacing());
    EXPECT_EQ(expected.GetDisplayOriginX(), actual.GetDisplayOriginX());
    EXPECT_EQ(expected.GetDisplayOriginY(), actual.GetDisplayOriginY());
    EXPECT_EQ(expected.IsMetric(), actual.IsMetric());
    EXPECT_EQ(expected.GetBaselineCoordFirst(), actual.GetBaselineCoordFirst());
    EXPECT_EQ(expected.GetUSCoordUnitsX(), actual.GetUSCoordUnitsX());
    EXPECT_EQ(expected.GetUSCoordUnitsY(), actual.GetUSCoordUnitsY());
}

}  // namespace

TEST_F(CourseTextBlock, WrittenLines)
{
    auto course = MakeChangedCourse();
    for (int i = 0; i < 40; ++i)
        archivetest::PlaceRecord(*course, 100.0f * float(i), 50.0f * float(i), float(i), i, L"some text");
    const std::string text = archivetest::TextBlockOf(*course);
    const std::vector<std::string> lines = SplitLines(text);
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(" \r\n", lines[0]);
    EXPECT_EQ(" \r\n", lines[1]);
    EXPECT_EQ("Begin Fendrel \r\n", lines[2]);
    EXPECT_EQ("Version 4 \r\n", lines[3]);
    const std::string viewer = lines[4];
    const std::string prefix = "For a free viewer, go to ";
    ASSERT_EQ(prefix, viewer.substr(0, prefix.size()));
    ASSERT_EQ(" \r\n", viewer.substr(viewer.size() - 3));
    const std::string address = viewer.substr(prefix.size(), viewer.size() - 3 - prefix.size());
    EXPECT_LT(address.find('.'), 16u);
    for (size_t i = 1; i < address.size(); ++i)
        EXPECT_FALSE(address[i] >= 'A' && address[i] <= 'Z') << address;
    EXPECT_EQ("End Fendrel \r\n", lines[lines.size() - 2]);
    EXPECT_EQ(" \r\n", lines.back());

    // Base64 lines of 64 characters; only the last ends with " \r\n".
    std::string base64;
    const size_t first = 5;
    const size_t last = lines.size() - 3;
    ASSERT_GT(last, first);
    for (size_t i = first; i <= last; ++i) {
        const std::string& line = lines[i];
        if (i < last) {
            EXPECT_EQ(66u, line.size()) << i;
            EXPECT_EQ("\r\n", line.substr(64));
            base64 += line.substr(0, 64);
        } else {
            EXPECT_LE(line.size(), 67u);
            EXPECT_EQ(" \r\n", line.substr(line.size() - 3));
            base64 += line.substr(0, line.size() - 3);
        }
    }
    // Three zero bytes, then the compressed archive.
    const std::string body = CBase64::Decode(base64);
    ASSERT_GT(body.size(), 6u);
    EXPECT_EQ(std::string(3, '\0'), body.substr(0, 3));
    std::string archive;
    ASSERT_TRUE(ZlibUncompressWithLength(body.substr(3), archive, std::string()));
    std::string expected;
    course->WriteArchive(expected, false, false, false);
    EXPECT_EQ(expected, archive);
}

TEST_F(CourseTextBlock, Version3BodyHasNoZeroBytes)
{
    auto course = MakeChangedCourse();
    const std::vector<std::string> lines = SplitLines(archivetest::TextBlockOf(*course, true));
    ASSERT_GE(lines.size(), 9u);
    EXPECT_EQ("Version 3 \r\n", lines[3]);
    std::string base64;
    for (size_t i = 5; i + 2 < lines.size(); ++i)
        base64 += lines[i];
    std::string archive;
    ASSERT_TRUE(ZlibUncompressWithLength(CBase64::Decode(base64), archive, std::string()));
    std::string expected;
    course->WriteArchive(expected, false, true, false);
    EXPECT_EQ(expected, archive);
}

TEST_F(CourseTextBlock, ChangedSettingsRoundTripInBothVersions)
{
    auto course = MakeChangedCourse();
    for (bool olderFormat : {false, true}) {
        const std::string text = archivetest::TextBlockOf(*course, olderFormat);
        coursetest::OpenTestSettings();
        auto copy = MakeCourse();
        ASSERT_TRUE(archivetest::ReadBlock(*copy, text)) << olderFormat;
        if (olderFormat) {
            // Version 3 carries no jump settings, no 3D and no grass flag.
            EXPECT_EQ(course->GetOrganisationId(), copy->GetOrganisationId());
            EXPECT_EQ(course->GetWidth(), copy->GetWidth());
            EXPECT_EQ(course->GetUSCoordUnitsY(), copy->GetUSCoordUnitsY());
        } else {
            EXPECT_EQ(course->GetJumpHeight(), copy->GetJumpHeight());
            EXPECT_EQ(course->GetLongJumpLength(), copy->GetLongJumpLength());
            EXPECT_EQ(course->GetLongJumpPlanks(), copy->GetLongJumpPlanks());
            EXPECT_EQ(course->GetHideGrass(), copy->GetHideGrass());
        }
        ExpectSameSettings(*course, *copy);
        ASSERT_EQ(1u, copy->GetObjectCount());
        auto* object = dynamic_cast<archivetest::CRecordObject*>(*copy->GetObjects().begin());
        ASSERT_NE(nullptr, object);
        EXPECT_EQ(42, object->value);
        EXPECT_EQ(L"label", object->label);
        EXPECT_EQ(archivetest::TextBlockOf(*course, olderFormat), archivetest::TextBlockOf(*copy, olderFormat));
    }
}

TEST_F(CourseTextBlock, EmptyHeaderReadsAsAnEmptyCourse)
{
    auto course = MakeCourse();
    const std::string before = coursetest::ArchiveOf(*course);
    EXPECT_TRUE(archivetest::ReadBlock(*course, "Begin Fendrel\r\nVersion 4\r\nEmpty\r\nEnd Fendrel\r\n"));
    EXPECT_TRUE(archivetest::ReadBlock(*course, "Begin Fendrel\nVersion Empty\n"));
    const CCourseRead read = archivetest::ReadBlock(*course, "Begin Fendrel Version 4 Empty");
    EXPECT_TRUE(read);
    EXPECT_EQ(0, archivetest::MessageOf(read));
    EXPECT_EQ(0u, course->GetObjectCount());
    EXPECT_EQ(before, coursetest::ArchiveOf(*course));
}

TEST_F(CourseTextBlock, MailQuotedBlockReadsAsTheOriginal)
{
    auto course = MakeChangedCourse();
    const std::string text = archivetest::TextBlockOf(*course);

    // "> " before every line, blanks at the ends, lines split with "*"
    // continuations and the whole thing quoted once more.
    std::string quoted = "Some words before the course.\r\n";
    for (const std::string& line : SplitLines(text)) {
        std::string bare = line.substr(0, line.find_first_of("\r\n"));
        if (bare.size() > 40) {
            quoted += "> > " + bare.substr(0, 30) + "*\r\n";
            quoted += ">   " + bare.substr(30) + "   \r\n";
        } else {
            quoted += "> " + bare + "\t\r\n";
        }
    }
    quoted += "> \r\n-- \r\nA signature with Begin and End words.\r\n";

    coursetest::OpenTestSettings();
    auto copy = MakeCourse();
    ASSERT_TRUE(archivetest::ReadBlock(*copy, quoted));
    EXPECT_EQ(archivetest::TextBlockOf(*course), archivetest::TextBlockOf(*copy));
}

TEST_F(CourseTextBlock, RewrappedBase64ReadsTheSame)
{
    auto course = MakeChangedCourse();
    const std::vector<std::string> lines = SplitLines(archivetest::TextBlockOf(*course));
    std::string base64;
    for (size_t i = 5; i + 2 < lines.size(); ++i)
        base64 += lines[i].substr(0, lines[i].find_first_of(" \r"));
    std::string text = "Begin Fendrel\nVersion 4\nFor a free viewer, go to www.norvane.com/viewer\n";
    for (size_t i = 0; i < base64.size(); i += 37)
        text += base64.substr(i, 37) + "\n";
    text += "End Fendrel\n";
    coursetest::OpenTestSettings();
    auto copy = MakeCourse();
    ASSERT_TRUE(archivetest::ReadBlock(*copy, text));
    EXPECT_EQ(archivetest::TextBlockOf(*course), archivetest::TextBlockOf(*copy));
}

TEST_F(CourseTextBlock, OlderHeaderWordsAreSkipped)
{
    auto course = MakeChangedCourse();
    const std::vector<std::string> lines = SplitLines(archivetest::TextBlockOf(*course, true));
    std::string base64;
    for (size_t i = 5; i + 2 < lines.size(); ++i)
        base64 += lines[i];
    // "3For" has a capital after its first character, like data.
    const std::string text = "Begin Fendrel\r\nFendrelVersion 3For a free viewer, go to www.norvane.com\r\n" +
                             base64 + "End Fendrel\r\n";
    coursetest::OpenTestSettings();
    auto copy = MakeCourse();
    ASSERT_TRUE(archivetest::ReadBlock(*copy, text));
    EXPECT_EQ(archivetest::TextBlockOf(*course, true), archivetest::TextBlockOf(*copy, true));
}

TEST_F(CourseTextBlock, MissingBeginOrEndFails)
{
    auto course = MakeCourse();
    const std::string before = coursetest::ArchiveOf(*course);
    const std::string text = archivetest::TextBlockOf(*MakeChangedCourse());
    const std::string noEnd = text.substr(0, text.find("End Fendrel"));
    const struct
    {
        std::string block;
        int message;
    } cases[] = {
        {"Nothing to see here\r\nVersion 4\r\n", 2687},
        {"", 2687},
        {noEnd, 2677},
        {"Begin Fendrel\r\n", 2677},
    };
    for (const auto& each : cases) {
        const CCourseRead read = archivetest::ReadBlock(*course, each.block);
        EXPECT_FALSE(read) << each.block;
        EXPECT_EQ(each.message, archivetest::MessageOf(read)) << each.block;
    }
    EXPECT_EQ(before, coursetest::ArchiveOf(*course));
}

TEST_F(CourseTextBlock, MergeDeselectsAndAddsSelected)
{
    auto course = MakeCourse();
    auto* own = archivetest::PlaceRecord(*course, 100.0f, 100.0f, 0.0f, 1, L"");
    own->SetSelected(true);
    const std::string text = archivetest::TextBlockOf(*MakeChangedCourse());
    ASSERT_TRUE(archivetest::ReadBlock(*course, text, true));
    EXPECT_EQ(14400.0f, course->GetWidth());
    ASSERT_EQ(2u, course->GetObjectCount());
    for (CCourseObject* each : course->GetObjects())
        EXPECT_EQ(each != own, each->IsSelected());
}

TEST_F(CourseTextBlock, LineReaderTrimsQuotingAndJoinsContinuations)
{
    std::istringstream in(std::string("\r\n\r\n  > > first line >  \n") + ">>>\n" +
                          std::string("second\0 \"quoted\"*\r\n", 19) + "  > third* \n\n  fourth\n" + "\xC1\xE2\n" +
                          "last*");
    std::string line;
    ASSERT_TRUE(CCourse::ReadTextLine(in, line, false));
    EXPECT_EQ("first line", line);
    ASSERT_TRUE(CCourse::ReadTextLine(in, line, false));
    EXPECT_EQ("second  quoted thirdfourth", line);
    ASSERT_TRUE(CCourse::ReadTextLine(in, line, false));
    EXPECT_EQ("Ab", line);
    ASSERT_TRUE(CCourse::ReadTextLine(in, line, false));
    EXPECT_EQ("last", line);
    EXPECT_FALSE(CCourse::ReadTextLine(in, line, false));

    std::istringstream quotes("say \"hi\"\n");
    ASSERT_TRUE(CCourse::ReadTextLine(quotes, line, true));
    EXPECT_EQ("say \"hi\"", line);
}

TEST_F(CourseTextBlock, WordSplitting)
{
    const std::string line = "  ab\tcd=  TQ==x =";
    size_t position = 0;
    std::string word;
    std::vector<std::string> words;
    while (CCourse::NextWord(line, position, word))
        words.push_back(word);
    EXPECT_EQ((std::vector<std::string>{"ab", "cd=", "TQ=", "=", "x", "="}), words);
    EXPECT_EQ(line.size(), position);
}

TEST_F(CourseTextBlock, LegacyListing)
{
    auto course = MakeCourse();
    course->SetLengthValue(CCourse::kMarginLowX, 240.0f);
    course->SetShowObsCoords(true);
    const std::string text =
        "Begin Fendrel\r\n"
        "Version 2000\r\n"
        "Dimensions 100 80 (6 3)\r\n"
        "ArchiveTestKind 10 20 90 7 first\r\n"
        "ArchiveTestVariant 5 5 -45 8 second (6 -6)\r\n"
        "End Fendrel\r\n";
    const CCourseRead read = archivetest::ReadBlock(*course, text);
    ASSERT_TRUE(read);
    EXPECT_EQ(0, archivetest::MessageOf(read));
    EXPECT_EQ(12060.0f, course->GetWidth());
    EXPECT_EQ(9630.0f, course->GetHeight());
    EXPECT_EQ(0.0f, course->GetMargin(CCourse::kMarginLowX));
    EXPECT_FALSE(course->GetShowObsCoords());
    EXPECT_EQ(DefaultOrganisation(), course->GetOrganisationId());
    EXPECT_EQ(0, course->GetDisplayOriginX());
    EXPECT_EQ(2, course->GetDisplayOriginY());
    ASSERT_EQ(2u, course->GetObjectCount());
    auto it = course->GetObjects().begin();
    auto* first = dynamic_cast<archivetest::CRecordObject*>(*it++);
    auto* second = dynamic_cast<archivetest::CRecordObject*>(*it);
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(7, first->value);
    EXPECT_EQ(L"first", first->label);
    EXPECT_EQ("ArchiveTestKind", first->variant);
    EXPECT_EQ(CPoint2(1200.0f, 9630.0f - 2400.0f), first->GetPlacement().GetPosition2D());
    EXPECT_FLOAT_EQ(-90.0f, first->GetPlacement().GetRotation());
    EXPECT_EQ("ArchiveTestVariant", second->variant);
    EXPECT_EQ(CPoint2(660.0f, 9630.0f - 540.0f), second->GetPlacement().GetPosition2D());
    EXPECT_FLOAT_EQ(45.0f, second->GetPlacement().GetRotation());
    EXPECT_FALSE(first->IsSelected());
}

// A listing whose header carries the version line of the archive blocks
// is read as a listing all the same.
TEST_F(CourseTextBlock, LegacyListingWithAVersionLine)
{
    auto course = MakeCourse();
    const std::string text =
        "Begin Fendrel\r\nVersion 3\r\nDimensions 100 80\r\nArchiveTestKind 10 20 90 7 first\r\nEnd Fendrel\r\n";
    const CCourseRead read = archivetest::ReadBlock(*course, text);
    ASSERT_TRUE(read);
    EXPECT_EQ(0, archivetest::MessageOf(read));
    EXPECT_EQ(9600.0f, course->GetHeight());
    ASSERT_EQ(1u, course->GetObjectCount());
    auto* first = dynamic_cast<archivetest::CRecordObject*>(*course->GetObjects().begin());
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(7, first->value);
    EXPECT_EQ(CPoint2(1200.0f, 9600.0f - 2400.0f), first->GetPlacement().GetPosition2D());
}

TEST_F(CourseTextBlock, LegacyRingSizeIsClamped)
{
    auto course = MakeCourse();
    ASSERT_TRUE(archivetest::ReadBlock(*course, "Begin Fendrel\nVersion 2000\nDimensions 5 300\nEnd Fendrel\n"));
    EXPECT_EQ(1200.0f, course->GetWidth());
    EXPECT_EQ(30000.0f, course->GetHeight());
    ASSERT_TRUE(archivetest::ReadBlock(*course, "Begin Fendrel\nVersion 2000\nDimensions -4 99999999999999\nEnd Fendrel\n"));
    EXPECT_EQ(1200.0f, course->GetWidth());
    EXPECT_EQ(30000.0f, course->GetHeight());
    ASSERT_TRUE(archivetest::ReadBlock(*course, "Begin Fendrel\nVersion 2000\nDimensions\nEnd Fendrel\n"));
    EXPECT_EQ(1200.0f, course->GetWidth());
    EXPECT_EQ(1200.0f, course->GetHeight());
}

TEST_F(CourseTextBlock, IncompleteLegacyListingKeepsWhatWasRead)
{
    auto course = MakeCourse();
    const std::string text =
        "Begin Fendrel\nVersion 2000\nDimensions 100 80\n"
        "NoSuchKind 10 20 0 1\n"
        "archivetestkind 10 20 0 1\n"
        "ArchiveTestKind 10 20\n"
        "ArchiveTestKind 10 20 -1000 1\n"
        "ArchiveTestKind 10 20 abc 1\n"
        "ArchiveTestKind 30 20 0 3 kept\n"
        "End Fendrel\n";
    const CCourseRead read = archivetest::ReadBlock(*course, text);
    ASSERT_TRUE(read);
    EXPECT_EQ(-2695, archivetest::MessageOf(read));
    ASSERT_EQ(1u, course->GetObjectCount());
    EXPECT_EQ(3, static_cast<archivetest::CRecordObject*>(*course->GetObjects().begin())->value);

    // Without its end line the listing is incomplete as well.
    auto other = MakeCourse();
    const CCourseRead unended = archivetest::ReadBlock(*other, "Begin\nVersion 2000\nDimensions 50 50\nArchiveTestKind 1 1 0 4\n");
    ASSERT_TRUE(unended);
    EXPECT_EQ(-2695, archivetest::MessageOf(unended));
    EXPECT_EQ(1u, other->GetObjectCount());
}

TEST_F(CourseTextBlock, LegacyPositionsTheArchiveCannotHoldAreDropped)
{
    // 273 feet is 32760 units, within the archive's 16-bit positions; 274
    // feet (32880) is beyond them, and so is a y of 9600 - 42480.
    auto course = MakeCourse();
    const std::string text =
        "Begin Fendrel\nVersion 2000\nDimensions 100 80\n"
        "ArchiveTestKind 273 0 0 1\n"
        "ArchiveTestKind 274 0 0 2\n"
        "ArchiveTestKind 10 354 0 3\n"
        "ArchiveTestKind 1e38 0 0 4\n"
        "ArchiveTestKind 10 20 0 5 (0 -393216)\n"
        "End Fendrel\n";
    const CCourseRead read = archivetest::ReadBlock(*course, text);
    ASSERT_TRUE(read);
    EXPECT_EQ(-2695, archivetest::MessageOf(read));
    ASSERT_EQ(1u, course->GetObjectCount());
    EXPECT_EQ(1, static_cast<archivetest::CRecordObject*>(*course->GetObjects().begin())->value);

    // What was kept is saved and read back where it stood.
    auto reread = MakeCourse();
    ASSERT_TRUE(archivetest::ReadBlock(*reread, archivetest::TextBlockOf(*course)));
    ASSERT_EQ(1u, reread->GetObjectCount());
    EXPECT_EQ(CPoint2(32760.0f, 9600.0f), (*reread->GetObjects().begin())->GetPlacement().GetPosition2D());
}

TEST_F(CourseTextBlock, LegacyMergeKeepsTheRing)
{
    auto course = MakeCourse();
    course->SetLengthValue(CCourse::kMarginLowX, 240.0f);
    auto* own = archivetest::PlaceRecord(*course, 100.0f, 100.0f, 0.0f, 1, L"");
    own->SetSelected(true);
    ASSERT_TRUE(archivetest::ReadBlock(
        *course, "Begin\nVersion 2000\nDimensions 50 50\nArchiveTestKind 1 1 0 4\nEnd Fendrel\n", true));
    EXPECT_EQ(14400.0f, course->GetWidth());
    EXPECT_EQ(240.0f, course->GetMargin(CCourse::kMarginLowX));
    ASSERT_EQ(2u, course->GetObjectCount());
    for (CCourseObject* each : course->GetObjects())
        EXPECT_EQ(each != own, each->IsSelected());
}

TEST_F(CourseTextBlock, ArchiveBeyondTheLengthFieldIsNotWritten)
{
    auto course = MakeCourse();
    archivetest::PlaceRecord(*course, 100.0f, 100.0f, 0.0f, 1, std::wstring(kMaxCompressedInput / 3 + 10, L'\u20AC'));
    const int reports = ReportCount();
    std::ostringstream out;
    course->WriteTextBlock(out, false, false);
    EXPECT_TRUE(out.fail());
    EXPECT_TRUE(out.str().empty());
    EXPECT_EQ(reports + 1, ReportCount());
}

TEST_F(CourseTextBlock, OverlongLinesAndBodiesAreCutAndRefused)
{
    // A line is cut at the longest body, the rest reads as the next line;
    // a continued line stops growing there too.
    const size_t longest = 23u << 20;
    std::istringstream in(std::string(longest + 5, 'A') + "\n" + std::string(longest - 1, 'B') + "*\nCC*\nDD\n");
    std::string line;
    ASSERT_TRUE(CCourse::ReadTextLine(in, line, false));
    EXPECT_EQ(longest, line.size());
    ASSERT_TRUE(CCourse::ReadTextLine(in, line, false));
    EXPECT_EQ("AAAAA", line);
    ASSERT_TRUE(CCourse::ReadTextLine(in, line, false));
    EXPECT_EQ(longest, line.size());
    ASSERT_TRUE(CCourse::ReadTextLine(in, line, false));
    EXPECT_EQ("CCDD", line);

    auto course = MakeCourse();
    const std::string before = coursetest::ArchiveOf(*course);
    std::string words;
    for (size_t i = 0; i < longest / 64 + 2; ++i)
        words += std::string(63, 'Q') + "Z\n";
    EXPECT_FALSE(archivetest::ReadBlock(*course, "Begin Fendrel\r\nVersion 4\r\n" + words + "End Fendrel\r\n"));
    EXPECT_EQ(before, coursetest::ArchiveOf(*course));
}
