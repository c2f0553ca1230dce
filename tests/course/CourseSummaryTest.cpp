#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "course/SpecList.h"
#include "dialogs/LengthFormat.h"
#include "foundation/Strings.h"
#include "objects/equipment/AFrame.h"
#include "tests/course/EditingTestKinds.h"

using namespace coursetest;
using namespace editingtest;

namespace {

using CourseSummary = CEditingFixture;

std::vector<std::wstring> SummaryLines(const CCourse& course, bool selectedOnly, std::wstring* whole = nullptr)
{
    std::wostringstream stream;
    course.DescribeCourse(stream, selectedOnly);
    const std::wstring text = stream.str();
    if (whole != nullptr)
        *whole = text;
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end = text.find(L"\r\n"); end != std::wstring::npos; end = text.find(L"\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(text.size(), start) << "text after the last line end";
    return lines;
}

CEditObject* PlaceSized(CCourse& course, const CEditType& type, float x, const std::wstring& size)
{
    CEditObject* object = PlaceEdit(course, type, x, 3000.0f);
    object->sizeText = size;
    return object;
}

}  // namespace

TEST_F(CourseSummary, EmptyCourse)
{
    CCourse course(L"Novice A", L"");
    std::wstring whole;
    const std::vector<std::wstring> lines = SummaryLines(course, false, &whole);
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ(L"Course: Novice A", lines[0]);
    EXPECT_EQ(GetStringWithArg(2034, L"Novice A"), lines[0]);
    EXPECT_EQ(GetStringWith2Args(2035, L"120 ft", L"100 ft"), lines[1]);
    EXPECT_EQ(L"  0 " + GetString(2036), lines[2]);
    EXPECT_EQ(L"", lines[3]);
    EXPECT_EQ(L"\r\n\r\n", whole.substr(whole.size() - 4));
}

TEST_F(CourseSummary, MetricRingInMetres)
{
    CSettings::SetInt(L"Metric", 1);
    CCourse course(L"Metric", L"");
    course.SetSize(11811.0f, 15748.0f);
    const std::vector<std::wstring> lines = SummaryLines(course, false);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(GetStringWith2Args(2035, L"30 m", L"40 m"), lines[1]);
}

TEST_F(CourseSummary, NamesAreCountedSortedAndSplitBySize)
{
    CCourse course(L"Jumpers", L"");
    const std::wstring obstacle = ObstacleType().GetDisplayName(course);
    const std::wstring plain = PlainType().GetDisplayName(course);
    ASSERT_LT(obstacle, plain);
    PlaceSized(course, ObstacleType(), 1000.0f, L"9 ft");
    PlaceSized(course, PlainType(), 2000.0f, L"");
    PlaceSized(course, ObstacleType(), 3000.0f, L"9 ft");
    PlaceSized(course, ObstacleType(), 4000.0f, L"8 ft");
    PlaceSized(course, ObstacleType(), 5000.0f, L"9 ft");
    // Objects of other layers are not obstacles.
    Place(course, 6000.0f, 3000.0f, 2);
    PlaceSized(course, PlainType(), 7000.0f, L"");

    const std::vector<std::wstring> lines = SummaryLines(course, false);
    ASSERT_EQ(7u, lines.size());
    EXPECT_EQ(L"  1 " + obstacle + L", 8 ft", lines[2]);
    EXPECT_EQ(L"  3 " + obstacle + L", 9 ft", lines[3]);
    EXPECT_EQ(L"  2 " + plain, lines[4]);
    EXPECT_EQ(L"  6 " + GetString(2036), lines[5]);
    EXPECT_EQ(L"", lines[6]);
}

TEST_F(CourseSummary, SelectedOnlyListsTheSelection)
{
    CCourse course(L"Part", L"");
    CEditObject* a = PlaceSized(course, ObstacleType(), 1000.0f, L"9 ft");
    PlaceSized(course, ObstacleType(), 2000.0f, L"9 ft");
    CEditObject* c = PlaceSized(course, PlainType(), 3000.0f, L"");
    a->SetSelected(true);
    c->SetSelected(true);
    const std::vector<std::wstring> lines = SummaryLines(course, true);
    ASSERT_EQ(6u, lines.size());
    EXPECT_EQ(L"  1 " + ObstacleType().GetDisplayName(course) + L", 9 ft", lines[2]);
    EXPECT_EQ(L"  1 " + PlainType().GetDisplayName(course), lines[3]);
    EXPECT_EQ(L"  2 " + GetString(2036), lines[4]);
}

TEST_F(CourseSummary, LargeCountsWidenTheField)
{
    CCourse course(L"Many", L"");
    for (int i = 0; i < 1000; ++i)
        PlaceEdit(course, PlainType(), 100.0f + float(i * 10), 3000.0f);
    const std::vector<std::wstring> lines = SummaryLines(course, false);
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ(L"1000 " + PlainType().GetDisplayName(course), lines[2]);
    EXPECT_EQ(L"1000 " + GetString(2036), lines[3]);
}

// A-frames give their ramp length in feet and inches (text 2037): the
// 9.6-foot and 10-foot A-frames of the legacy lines.
TEST_F(CourseSummary, SeveralAFrames)
{
    const CObjectType* type = FindObjectTypeById(CAFrame::kTypeId);
    ASSERT_NE(nullptr, type);
    CCourse course(L"Standard", L"");
    const char* const variants[] = {"", "T", "", ""};
    for (int i = 0; i < 4; ++i) {
        CTransform placement;
        placement.SetPosition2D(2000.0f + 3000.0f * float(i), 4000.0f);
        std::istringstream words(variants[i]);
        std::unique_ptr<CCourseObject> frame = type->CreateFromText(&course, placement, "AFrame", words);
        ASSERT_TRUE(frame);
        course.AddObject(std::move(frame));
    }
    PlaceSized(course, ObstacleType(), 14000.0f, L"");

    const std::wstring name = course.GetSpecList().GetTerm(CAFrame::kNameTextId);
    const std::vector<std::wstring> lines = SummaryLines(course, false);
    const std::vector<std::wstring> expected = {
        GetStringWithArg(2034, L"Standard"),
        GetStringWith2Args(2035, FormatLength(14400.0f, EUnitKind::kFeet, true),
                           FormatLength(12000.0f, EUnitKind::kFeet, true)),
        L"  1 " + name + L", " + GetStringWithArg(2037, FormatLength(1000.0f, EUnitKind::kFeetAndInches, true)),
        L"  3 " + name + L", " + GetStringWithArg(2037, FormatLength(960.0f, EUnitKind::kFeetAndInches, true)),
        L"  1 " + ObstacleType().GetDisplayName(course),
        L"  5 " + GetString(2036),
        L"",
    };
    EXPECT_EQ(expected, lines);
    // The words of this program's texts.
    EXPECT_EQ(L"  1 A-Frame, 8 ft 4 in ramps", lines.at(2));
    EXPECT_EQ(L"  3 A-Frame, 8 ft ramps", lines.at(3));
}
