#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "dialogs/AFrameDlg.h"
#include "dialogs/CrossoverDlg.h"
#include "dialogs/LengthFormat.h"
#include "dialogs/SeeSawPropertiesDlg.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/equipment/CollapsedTunnel.h"
#include "objects/equipment/Crossover.h"
#include "objects/equipment/DogWalk.h"
#include "objects/equipment/SeeSaw.h"
#include "objects/equipment/SwayBridge.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/FailureReports.h"

using namespace equipmenttest;

namespace {

std::vector<float> Sizes(const CDogWalk& walk)
{
    return {walk.GetPlankLength(), walk.GetHeight()};
}

std::vector<float> Sizes(const CCrossover& crossover)
{
    return {crossover.GetPlatformWidth(), crossover.GetPlankLength(), crossover.GetHeight(),
            float(crossover.GetLayout())};
}

std::string Float16s(std::initializer_list<float> values, int layout = -1)
{
    CFieldWriter writer;
    if (layout >= 0)
        writer.WriteInt8(layout);
    for (float value : values)
        writer.WriteFloat16(value);
    return writer.m_bytes;
}

using ContactEquipment = coursetest::CSettingsFixture;

}  // namespace

TEST_F(ContactEquipment, DogWalkLegacySizes)
{
    const struct {
        const char* key;
        const char* words;
        float plank, height;
    } cases[] = {
        {"DogWalk", "416", 1440.0f, 480.0f},
        {"DogWalk36Feet", "274", 960.0f, 360.0f},
        // Without the number, the standard sizes of the key.
        {"DogWalk", "", 1440.0f, 480.0f},
        {"DogWalk24Feet", "x", 960.0f, 360.0f},
        {"DogWalk36Feet", "", 1440.0f, 480.0f},
        // Sizes that are no sizes keep the object's; a huge one is held at
        // what a record holds.
        {"DogWalk", "-10", 200.0f, 120.0f},
        {"DogWalk", "-200", 200.0f, 100.0f},
        {"DogWalk", "2147483647", 32767.0f, 32767.0f},
        {"DogWalk", "99999999999999999999", 1440.0f, 480.0f},
    };
    for (const auto& c : cases) {
        CDogWalk walk;
        std::istringstream words(c.words);
        walk.ApplyVariant(c.key, words);
        EXPECT_FLOAT_EQ(c.plank, walk.GetPlankLength()) << c.key << " " << c.words;
        EXPECT_FLOAT_EQ(c.height, walk.GetHeight()) << c.key << " " << c.words;
        EXPECT_TRUE(EndsAreFinite(walk));
    }
}

TEST_F(ContactEquipment, DogWalkEndsRecordAndSizeText)
{
    auto course = MakeCourse(1);
    CDogWalk* walk = Place<CDogWalk>(*course, CDogWalk::GetDogWalkType(), 6000.0f, 5000.0f);
    // AKC's one preset.
    EXPECT_EQ((std::vector<float>{1440.0f, 480.0f}), Sizes(*walk));
    const float reach = 720.0f + std::sqrt(1440.0f * 1440.0f - 480.0f * 480.0f);
    EXPECT_FLOAT_EQ(reach, walk->GetReach());
    const float xs[4] = {-reach, -reach, reach, reach};
    const int kinds[4] = {1, 2, 1, 2};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(xs[i], walk->GetObstacleEnd(i).point.x);
        EXPECT_EQ(kinds[i], walk->GetObstacleEnd(i).GetEndKind());
        EXPECT_EQ(0.0f, walk->GetObstacleEnd(i).halfWidth);
    }

    EXPECT_EQ(Float16s({1440.0f, 480.0f}), RecordOf(*walk));
    CDogWalk read;
    ReadRecord(read, Float16s({960.0f, 360.0f}));
    EXPECT_EQ((std::vector<float>{960.0f, 360.0f}), Sizes(read));
    ReadRecord(read, Float16s({0.0f, -40.0f}));
    EXPECT_EQ((std::vector<float>{960.0f, 360.0f}), Sizes(read));
    // A height reaching the plank leaves no run: the ramps stand upright.
    ReadRecord(read, Float16s({300.0f, 900.0f}));
    EXPECT_EQ(150.0f, read.GetReach());
    DrawBoth(read);

    EXPECT_EQ(GetStringWithArg(2039, FormatLength(1440.0f, EUnitKind::kFeetAndInches, true)), walk->GetSizeText());
    course->SetMetric(true);
    EXPECT_EQ(GetStringWithArg(2039, FormatLength(1440.0f, EUnitKind::kCentimetres, true)), walk->GetSizeText());
}

TEST_F(ContactEquipment, DogWalkDialogPresetsStoredSizesAndMixedValues)
{
    auto course = MakeCourse(5);
    // UKC's first preset, then the stored size.
    CDogWalkDlg fresh(course.get());
    EXPECT_EQ(960.0f, fresh.GetLength());
    EXPECT_EQ(360.0f, fresh.GetHeight());
    CSettings::SetInt(L"100UKCPlankLen", 1200);
    CSettings::SetInt(L"100UKCHeight", 420);
    auto walk = MakeNew<CDogWalk>(CDogWalk::GetDogWalkType(), course.get());
    EXPECT_EQ((std::vector<float>{1200.0f, 420.0f}), Sizes(*walk));
    // Without presets, the fixed size.
    course->SetSpecList(9);
    CDogWalkDlg none(course.get());
    EXPECT_EQ(1440.0f, none.GetLength());
    EXPECT_EQ(480.0f, none.GetHeight());

    auto other = MakeNew<CDogWalk>(CDogWalk::GetDogWalkType(), course.get());
    CDogWalkDlg both(course.get());
    walk->FillPropertiesDialog(both);
    other->FillPropertiesDialog(both);
    EXPECT_FALSE(both.HasLength());
    EXPECT_FALSE(both.HasHeight());
    EXPECT_EQ(0, CountReports([&] { other->FromDialog(both); }));
    EXPECT_EQ((std::vector<float>{1440.0f, 480.0f}), Sizes(*other));
    // Only its own dialog fits.
    CCrossoverDlg foreign(course.get());
    EXPECT_EQ(2, CountReports([&] {
        walk->ToDialog(foreign);
        walk->FromDialog(foreign);
    }));
}

TEST_F(ContactEquipment, CrossoverLayoutsEndsAndHandles)
{
    const float w = 160.0f;
    const float run = std::sqrt(1440.0f * 1440.0f - 480.0f * 480.0f);
    const float x = w + run;
    const struct {
        int layout;
        size_t ends;
        std::vector<CPoint2> handles;
        float mirror;
    } cases[] = {
        {0, 8, {{-x, 0.0f}, {x, 0.0f}, {0.0f, x}, {0.0f, -x}}, 0.0f},
        {1, 6, {{-x, 0.0f}, {x, 0.0f}, {0.0f, x}}, 0.0f},
        {2, 4, {{-x, 0.0f}, {x, 0.0f}}, 0.0f},
        {3, 4, {{-x, 0.0f}, {0.0f, x}}, 90.0f},
        {7, 8, {{-x, 0.0f}, {x, 0.0f}, {0.0f, x}, {0.0f, -x}}, 0.0f},
        {-1, 8, {{-x, 0.0f}, {x, 0.0f}, {0.0f, x}, {0.0f, -x}}, 0.0f},
    };
    for (const auto& c : cases) {
        CCrossover crossover;
        ReadRecord(crossover, Float16s({0.0f, 0.0f, 0.0f}, c.layout));
        EXPECT_EQ(c.ends, crossover.GetEnds().size()) << c.layout;
        ASSERT_EQ(int(c.handles.size()), crossover.GetEndCount()) << c.layout;
        EXPECT_EQ(int(c.handles.size()) + 1, crossover.GetAnchorCount());
        for (int i = 0; i < crossover.GetEndCount(); ++i) {
            CPoint2 handle;
            crossover.GetEnd(handle, i);
            EXPECT_NEAR(c.handles[size_t(i)].x, handle.x, 0.01f) << c.layout << " " << i;
            EXPECT_NEAR(c.handles[size_t(i)].y, handle.y, 0.01f) << c.layout << " " << i;
            CPoint2 anchor;
            crossover.GetAnchor(anchor, i + 1);
            EXPECT_EQ(handle, anchor);
        }
        // Every registered end lies at a handle, first and second in pairs.
        for (size_t i = 0; i < crossover.GetEnds().size(); ++i) {
            const CObstacleEnd* end = crossover.GetEnds()[i];
            EXPECT_EQ(i % 2 == 0 ? 1 : 2, end->GetEndKind());
            EXPECT_NEAR(x, std::hypot(end->point.x, end->point.y), 0.01f);
        }
        EXPECT_EQ(c.mirror, crossover.GetMirrorAngle());
        DrawBoth(crossover);
    }
}

TEST_F(ContactEquipment, CrossoverRecordLegacyAndDialog)
{
    auto course = MakeCourse(12);
    auto crossover = MakeNew<CCrossover>(CCrossover::GetCrossoverType(), course.get());
    // The dialog's standard sizes.
    EXPECT_EQ((std::vector<float>{303.0f, 1080.0f, 430.0f, 0.0f}), Sizes(*crossover));
    EXPECT_EQ(Float16s({303.0f, 1080.0f, 430.0f}, 0), RecordOf(*crossover));

    // A height of 0 keeps the sizes but takes the layout.
    ReadRecord(*crossover, Float16s({400.0f, 1200.0f, 0.0f}, 2));
    EXPECT_EQ((std::vector<float>{303.0f, 1080.0f, 430.0f, 2.0f}), Sizes(*crossover));
    ReadRecord(*crossover, Float16s({-5.0f, 1200.0f, 500.0f}, 1));
    EXPECT_EQ((std::vector<float>{303.0f, 1200.0f, 500.0f, 1.0f}), Sizes(*crossover));

    const struct {
        const char* key;
        const char* words;
        int layout;
    } lines[] = {
        {"Crossover", "", 0}, {"Crossover3Planks", "", 1}, {"Crossover4Planks", "", 0},
        {"Crossover", "3", 3}, {"Crossover", "7", 0},      {"Crossover3Planks", "-2", 0},
    };
    for (const auto& line : lines) {
        CCrossover legacy;
        std::istringstream words(line.words);
        legacy.ApplyVariant(line.key, words);
        EXPECT_EQ(line.layout, int(legacy.GetLayout())) << line.key << " " << line.words;
    }

    CSettings::SetInt(L"70WhichPlanks", 3);
    CSettings::SetInt(L"70NZKCPlatformWidth", 400);
    auto stored = MakeNew<CCrossover>(CCrossover::GetCrossoverType(), course.get());
    EXPECT_EQ((std::vector<float>{400.0f, 1080.0f, 430.0f, 3.0f}), Sizes(*stored));
    CCrossoverDlg both(course.get());
    crossover->FillPropertiesDialog(both);
    stored->FillPropertiesDialog(both);
    EXPECT_FALSE(both.HasWhichPlanks());
    EXPECT_FALSE(both.HasPlatformWidth());
    EXPECT_FALSE(both.HasPlankLength());
    EXPECT_TRUE(both.HasHeight() == (crossover->GetHeight() == stored->GetHeight()));
    stored->FromDialog(both);
    EXPECT_EQ(3, int(stored->GetLayout()));
    EXPECT_EQ(400.0f, stored->GetPlatformWidth());
    EXPECT_EQ(1, CountReports([&] { both.GetWhichPlanks(); }));
}

TEST_F(ContactEquipment, SeeSawStylesEndsAndLegacy)
{
    const struct {
        const char* words;
        float plank;
        CSeeSaw::EStyle style;
        size_t ends;
    } lines[] = {
        {"T 30", 300.0f, CSeeSaw::EStyle::kTipped, 2},
        {"L 144", 1440.0f, CSeeSaw::EStyle::kLevel, 4},
        {"T 0", 1440.0f, CSeeSaw::EStyle::kTipped, 2},
        {"x -12", 1440.0f, CSeeSaw::EStyle::kLevel, 4},
        {"", 1440.0f, CSeeSaw::EStyle::kLevel, 4},
        {"T 999999", 32767.0f, CSeeSaw::EStyle::kTipped, 2},
    };
    for (const auto& line : lines) {
        CSeeSaw seeSaw;
        std::istringstream words(line.words);
        seeSaw.ApplyVariant("SeeSaw", words);
        EXPECT_EQ(line.plank, seeSaw.GetPlankLength()) << line.words;
        EXPECT_EQ(line.style, seeSaw.GetStyle()) << line.words;
        ASSERT_EQ(line.ends, seeSaw.GetEnds().size()) << line.words;
        EXPECT_TRUE(EndsAreFinite(seeSaw));
        DrawBoth(seeSaw);
    }
    // A tipped see-saw offers the first end at +f and the second at -f.
    CSeeSaw tipped;
    const float f = 0.4714f * 200.0f;
    EXPECT_EQ(&tipped.GetObstacleEnd(1), tipped.GetEnds()[0]);
    EXPECT_EQ(&tipped.GetObstacleEnd(2), tipped.GetEnds()[1]);
    EXPECT_FLOAT_EQ(f, tipped.GetEnds()[0]->point.x);
    EXPECT_EQ(CPoint2(10000.0f, 0.0f), tipped.GetEnds()[0]->direction);
    EXPECT_FLOAT_EQ(-f, tipped.GetEnds()[1]->point.x);
    EXPECT_EQ(180.0f, tipped.GetMirrorAngle());
}

TEST_F(ContactEquipment, SeeSawRecordAndDialog)
{
    auto course = MakeCourse(1);
    auto seeSaw = MakeNew<CSeeSaw>(CSeeSaw::GetSeeSawType(), course.get());
    EXPECT_EQ(1440.0f, seeSaw->GetPlankLength());
    EXPECT_EQ(CSeeSaw::EStyle::kTipped, seeSaw->GetStyle());
    CFieldWriter expected;
    expected.WriteFloat16(1440.0f);
    expected.WriteInt8(1);
    EXPECT_EQ(expected.m_bytes, RecordOf(*seeSaw));

    // Styles outside 0 to 2 read as level; a length that is none keeps.
    for (int style : {2, 5, -1}) {
        CFieldWriter record;
        record.WriteFloat16(-100.0f);
        record.WriteInt8(style);
        ReadRecord(*seeSaw, record.m_bytes);
        EXPECT_EQ(style == 2 ? CSeeSaw::EStyle::kFlat : CSeeSaw::EStyle::kLevel, seeSaw->GetStyle()) << style;
        EXPECT_EQ(1440.0f, seeSaw->GetPlankLength());
    }
    EXPECT_EQ(4u, seeSaw->GetEnds().size());

    CSettings::SetInt(L"250AKCFlat", 1);
    CSettings::SetInt(L"250AKCPlankLen", 1200);
    auto flat = MakeNew<CSeeSaw>(CSeeSaw::GetSeeSawType(), course.get());
    EXPECT_EQ(CSeeSaw::EStyle::kFlat, flat->GetStyle());
    EXPECT_EQ(1200.0f, flat->GetPlankLength());
    // A flat plank has no pivot and spans its whole length in the plan.
    auto drawn = DrawBoth(*flat);
    EXPECT_NEAR(600.0f, drawn->plan.pathRect.right, 20.0f);
    EXPECT_LT(drawn->model.vertexBox.maxZ, 20.0f);

    auto level = MakeNew<CSeeSaw>(CSeeSaw::GetSeeSawType(), course.get());
    CSeeSawPropertiesDlg mixed(course.get());
    seeSaw->FillPropertiesDialog(mixed);
    flat->FillPropertiesDialog(mixed);
    EXPECT_EQ(ECheckState::kMixed, mixed.GetFlat());
    EXPECT_FALSE(mixed.HasPlankLength());
    level->FromDialog(mixed);
    EXPECT_EQ(CSeeSaw::EStyle::kFlat, level->GetStyle());
}

// A flip takes each end of a see-saw or a collapsed tunnel, which mirror
// onto themselves turned half round, to the mirror of its place: the tipped
// plank's arrow, from its first end to its second, turns round with a flip
// left to right and keeps its way when a plank lying left to right is
// flipped top to bottom. The selection flips about the object itself, the
// whole course about the ring's centre.
TEST_F(ContactEquipment, FlipsTakeSeeSawAndCollapsedTunnelEndsToTheMirrorOfTheirPlaces)
{
    const struct {
        float angle;
        bool acrossVertical;
        bool wholeCourse;
    } flips[] = {{0.0f, true, false}, {90.0f, true, false}, {0.0f, false, true}, {90.0f, false, true}};
    for (const CObjectType* type : {static_cast<const CObjectType*>(&CSeeSaw::GetSeeSawType()),
                                    static_cast<const CObjectType*>(&CCollapsedTunnel::GetCollapsedTunnelType())}) {
        for (const auto& flip : flips) {
            SCOPED_TRACE(testing::Message() << type->GetTypeId() << " at " << flip.angle << ", across vertical "
                                            << flip.acrossVertical);
            auto course = MakeCourse(1);
            CCourseObject* object = Place(*course, *type, 4000.0f, 5000.0f, flip.angle);
            Place(*course, CSeeSaw::GetSeeSawType(), 9000.0f, 7000.0f);
            object->SetSelected(!flip.wholeCourse);
            const CPoint2 centre = flip.wholeCourse ? CPoint2(7200.0f, 6000.0f) : object->GetPosition();
            const auto ends = [&] {
                std::vector<CPoint2> points;
                for (int i = 0; i < object->GetEndCount(); ++i) {
                    CPoint2 point;
                    object->GetEnd(point, i);
                    points.push_back(object->GetPlacement().TransformPoint2D(point));
                }
                return points;
            };
            const std::vector<CPoint2> before = ends();
            course->FlipSelection(flip.acrossVertical);
            const std::vector<CPoint2> after = ends();
            for (size_t i = 0; i < before.size(); ++i) {
                const CPoint2 mirrored = flip.acrossVertical ? CPoint2(2.0f * centre.x - before[i].x, before[i].y)
                                                             : CPoint2(before[i].x, 2.0f * centre.y - before[i].y);
                EXPECT_NEAR(mirrored.x, after[i].x, 1.0f) << i;
                EXPECT_NEAR(mirrored.y, after[i].y, 1.0f) << i;
            }
        }
    }
}

// A tipped plank's arcsine meets the pivot height above the half plank:
// the construction size and the short legacy plank stay numbers.
TEST_F(ContactEquipment, ShortTippedPlanksStayNumbers)
{
    for (const char* words : {"T 20", "T 30", "T 1", "T 45"}) {
        CSeeSaw seeSaw;
        std::istringstream line(words);
        seeSaw.ApplyVariant("SeeSaw", line);
        auto drawn = DrawBoth(seeSaw);
        EXPECT_GT(drawn->model.triangles, 20) << words;
        EXPECT_TRUE(BoxWithin(drawn->model.vertexBox, seeSaw.Get3DExtent(), 0.05f));
    }
    CSeeSaw construction;
    DrawBoth(construction);
}

TEST_F(ContactEquipment, SwayBridgeDeckHasItsSlats)
{
    EXPECT_EQ(21, CSwayBridge::GetSlatsPerHalf());
    EXPECT_NEAR(834.97f, CSwayBridge().GetReach(), 0.01f);
}
