#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "course/SpecLists.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "tests/support/FailureReports.h"

namespace {

using CPair = std::pair<float, float>;

struct CExpectedSpecList
{
    int id;
    const wchar_t* name;   // null: text nameTextId
    int nameTextId;
    std::vector<CPair> aFrames;
    std::vector<float> tunnelLengths;
    std::vector<CPair> dogWalks;
    float ratio4, measure5, tunnelDiameter, measure12One, measure12Two;
    bool flag13, flag14;
    float measure15, measure16;
    int weavePoles;
    float measure18;
    bool flag19, rulebook, judges, updates;
    std::set<int> excludedTypes, admittedTypes, excludedNames;
};

const std::vector<CExpectedSpecList>& Expected()
{
    static const std::vector<CExpectedSpecList> expected = {
        {0, nullptr, 2636, {{1080, 660}, {960, 540}}, {1080, 1200, 1320, 1440, 1560}, {{1440, 480}, {960, 360}},
         0.75f, 40, 240, 540, 540, false, true, 1800, 240, 12, 240, false, false, false, false,
         {}, {220, 360, 390}, {}},
        {1, L"AKC", 0, {{1080, 660}, {1080, 600}}, {1080}, {{1440, 480}},
         0.75f, 40, 240, 540, 600, false, true, 1800, 240, 12, 240, true, true, true, false,
         {40, 50, 360}, {}, {}},
        {2, L"USDAA", 0, {{1080, 660}, {1080, 600}}, {1620}, {{1440, 510}},
         0.75f, 40, 240, 540, 600, true, true, 1800, 240, 12, 240, false, true, true, true,
         {40, 50, 360}, {}, {}},
        {3, L"NADAC", 0, {{960, 560}, {1080, 600}}, {1200}, {{1440, 480}},
         0.75f, 40, 240, 540, 540, false, true, 1800, 240, 12, 240, false, true, false, false,
         {20, 40, 50, 150, 180, 200, 210, 250, 300, 330, 353, 357, 360}, {25, 115}, {}},
        {4, L"AAC", 0, {{1080, 600}, {1080, 660}}, {1260}, {{1440, 480}},
         0.75f, 40, 240, 540, 540, false, false, 1800, 240, 12, 240, false, true, false, true,
         {20, 50, 360}, {220}, {}},
        {5, L"UKC", 0, {{960, 480}, {800, 420}, {1080, 500}}, {1320}, {{960, 360}, {1440, 480}},
         0.75f, 40, 240, 480, 480, false, false, 1920, 240, 9, 240, false, true, false, false,
         {20, 50, 150, 240, 353, 357, 360, 380}, {25, 120, 170, 220, 230, 280, 290}, {}},
        {6, L"FCI", 0, {{1060, 670}}, {1140}, {{1440, 480}},
         0.75f, 80, 235, 540, 540, false, true, 1417, 240, 12, 240, false, true, true, false,
         {150, 300, 330}, {}, {2562, 2564, 2568}},
        {7, L"Kennel Club", 0, {{1080, 670}}, {1560}, {{1440, 480}},
         0.85f, 80, 240, 540, 540, false, true, 1800, 240, 12, 230, false, true, true, false,
         {150, 330, 353}, {220, 360, 390}, {}},
        {8, L"CKC", 0, {{960, 590}, {1080, 660}}, {1620}, {{1440, 480}, {960, 360}},
         0.75f, 40, 240, 540, 540, false, true, 1800, 240, 12, 240, false, true, true, false,
         {20, 50, 360}, {}, {}},
        {9, nullptr, 2637, {}, {}, {},
         0.75f, 40, 240, 540, 540, false, true, 1800, 240, 12, 240, false, false, false, false,
         {10, 20, 40, 50, 80, 90, 100, 110, 130, 140, 150, 180, 190, 200, 210, 250, 260, 270, 300, 310,
          320, 330, 340, 350, 353, 357, 360, 370},
         {30, 60, 70, 113, 240, 380}, {}},
        {10, L"ASCA", 0, {{1080, 600}}, {1320, 1440}, {{960, 360}, {1440, 500}},
         0.75f, 40, 240, 540, 540, false, true, 1800, 240, 12, 240, false, true, false, true,
         {20, 40, 180, 200, 210, 300, 330, 353, 357, 360}, {}, {}},
        {11, L"CPE", 0, {{1080, 600}}, {1320}, {{960, 360}, {1440, 480}},
         0.5f, 40, 240, 540, 540, false, true, 1800, 240, 12, 220, false, true, true, false,
         {40, 50, 150, 353}, {}, {}},
        {12, L"NZKC", 0, {{1080, 681}, {1141, 720}}, {1380}, {{1180, 430}},
         0.75f, 40, 240, 540, 540, false, false, 1800, 240, 12, 240, false, true, false, true,
         {150, 210, 353, 357, 360}, {70, 390}, {}},
        {13, L"TDAA", 0, {{800, 440}, {840, 470}, {960, 530}, {1080, 600}}, {1200},
         {{960, 330}, {1200, 420}, {1440, 510}},
         0.75f, 40, 160, 300, 300, false, true, 960, 160, 12, 240, false, true, false, false,
         {20, 50, 150, 160, 180, 200, 330, 353, 357}, {}, {}},
        {14, L"ADAA", 0, {{1080, 690}, {1080, 660}, {1080, 630}}, {1440}, {{1440, 520}},
         0.75f, 50, 240, 540, 540, false, true, 1800, 240, 12, 220, false, true, false, true,
         {150, 160, 200, 360}, {}, {}},
        {15, L"UKI", 0, {{1080, 670}, {1080, 630}}, {1620}, {{1440, 510}},
         0.75f, 40, 240, 540, 600, false, true, 1800, 240, 12, 240, false, true, false, false,
         {40, 50, 150, 200, 210, 330, 360}, {}, {}},
    };
    return expected;
}

struct CRowExpectation
{
    int key;
    int planks;
    float length;
};

struct CExpectedJumpTable
{
    int id;
    float defaultHeight;
    std::vector<CRowExpectation> rows;
};

// Lengths in course units; metric rows are whole units of the centimetres.
const std::vector<CExpectedJumpTable>& ExpectedJumpTables()
{
    static const std::vector<CExpectedJumpTable> expected = {
        {0, 240, {{40, 1, 80}, {60, 2, 120}, {80, 2, 160}, {100, 2, 200}, {120, 3, 240}, {140, 3, 280},
                  {160, 3, 320}, {180, 4, 360}, {200, 4, 400}, {220, 4, 440}, {240, 5, 480}, {260, 5, 520}}},
        {1, 240, {{40, 1, 60}, {80, 2, 160}, {120, 3, 240}, {160, 4, 320}, {200, 5, 400}, {240, 5, 480},
                  {260, 5, 520}}},
        {2, 240, {{40, 1, 60}, {80, 2, 160}, {100, 2, 200}, {120, 2, 200}, {140, 2, 240}, {160, 3, 360},
                  {200, 4, 480}, {220, 4, 480}, {240, 5, 600}}},
        {3, 200, {{40, 1, 80}, {80, 2, 160}, {120, 3, 240}, {160, 3, 320}, {200, 4, 400}}},
        {4, 240, {{40, 1, 80}, {80, 2, 160}, {120, 3, 240}, {160, 3, 320}, {200, 4, 400}, {240, 5, 480}}},
        {5, 200, {{40, 1, 80}, {80, 2, 160}, {140, 3, 280}, {200, 4, 400}}},
        {6, 240, {{120, 2, 177}, {160, 4, 315}, {240, 5, 531}}},
        {7, 220, {{100, 2, 177}, {140, 2, 177}, {180, 4, 315}, {220, 5, 531}, {260, 5, 531}}},
        {8, 240, {{40, 1, 80}, {80, 2, 160}, {120, 3, 240}, {160, 4, 320}, {200, 5, 400}, {240, 5, 480}}},
        {9, 240, {{240, 5, 480}}},
        {10, 240, {{40, 1, 80}, {80, 2, 160}, {120, 3, 240}, {160, 3, 320}, {200, 4, 400}, {240, 5, 480}}},
        {11, 240, {{40, 1, 80}, {80, 2, 160}, {120, 4, 240}, {160, 4, 320}, {200, 5, 400}, {240, 5, 480}}},
        {12, 220, {{120, 2, 177}, {160, 3, 276}, {220, 3, 374}, {260, 5, 512}}},
        {13, 20, {{20, 1, 60}}},
        {14, 220, {{60, 2, 120}, {100, 3, 200}, {160, 4, 320}, {220, 4, 440}, {260, 5, 520}}},
        {15, 240, {{40, 1, 60}, {80, 1, 160}, {120, 2, 240}, {160, 3, 320}, {200, 4, 400}, {220, 5, 440},
                   {240, 5, 480}}},
    };
    return expected;
}

struct CExpectedTerms
{
    int id;
    std::vector<std::pair<int, const wchar_t*>> words;
};

// The organisations' words as the rule sets list them.
const std::vector<CExpectedTerms>& ExpectedTerms()
{
    static const std::vector<CExpectedTerms> expected = {
    {1, {
        {2534, L"Closed Tunnel"},
        {2558, L"Broad Jump"},
        {2576, L"Panel Jump"},
        {2584, L"Seesaw"},
        {2598, L"Tire Jump"},
        {2600, L"Open Tunnel"},
        {2594, L"Pause Table"},
        {2566, L"Wingless Double Bar Jump"},
        {2568, L"Wingless Ascending Spread Jump"},
        {2570, L"Wingless Triple Bar Jump"},
        {2618, L"Winged Double Bar Jump"},
        {2620, L"Winged Ascending Spread Jump"},
        {2622, L"Winged Triple Bar Jump"},
        {2628, L"Double Bar Jump"},
        {2629, L"Ascending Spread Jump"},
        {2630, L"Triple Bar Jump"},
    }},
    {2, {
        {2534, L"Collapsed Tunnel"},
        {2558, L"Long Jump"},
        {2584, L"See-Saw"},
        {2598, L"Tire Jump"},
        {2600, L"Pipe Tunnel"},
        {2562, L"Wingless One-Bar Hurdle"},
        {2564, L"Wingless Hurdle"},
        {2566, L"Wingless Parallel Spread Hurdle"},
        {2568, L"Wingless Ascending Spread Hurdle"},
        {2570, L"Wingless Extended Spread Hurdle"},
        {2614, L"Winged One-Bar Hurdle"},
        {2616, L"Winged Hurdle"},
        {2618, L"Winged Parallel Spread Hurdle"},
        {2620, L"Winged Ascending Spread Hurdle"},
        {2622, L"Winged Extended Spread Hurdle"},
        {2626, L"One-Bar Hurdle"},
        {2627, L"Hurdle"},
        {2628, L"Parallel Spread Hurdle"},
        {2629, L"Ascending Spread Hurdle"},
        {2630, L"Extended Spread Hurdle"},
    }},
    {3, {
        {2598, L"Tire Jump"},
        {2600, L"Open Tunnel"},
        {2564, L"Wingless Jump"},
        {2616, L"Winged Jump"},
        {2627, L"Jump"},
    }},
    {4, {
        {2534, L"Collapsible Tunnel"},
        {2558, L"Broad Jump"},
        {2584, L"Teeter"},
        {2598, L"Tire Jump"},
        {2600, L"Flexible Tunnel"},
        {2562, L"Wingless One-Bar Jump"},
        {2564, L"Wingless Bar Jump"},
        {2566, L"Wingless Double Bar Jump"},
        {2570, L"Wingless Ascending Spread Jump"},
        {2614, L"Winged One-Bar Jump"},
        {2616, L"Winged Bar Jump"},
        {2618, L"Winged Double Bar Jump"},
        {2622, L"Winged Ascending Spread Jump"},
        {2626, L"One-Bar Jump"},
        {2627, L"Bar Jump"},
        {2628, L"Double Bar Jump"},
        {2630, L"Ascending Spread Jump"},
    }},
    {5, {
        {2532, L"Bush Fence Hurdle"},
        {2534, L"Closed Tunnel"},
        {2594, L"Pause Table"},
        {2558, L"Long Hurdle"},
        {2576, L"High Hurdle"},
        {2584, L"Teeter-Totter"},
        {2598, L"Tire/Hoop Jump"},
        {2600, L"Open Tunnel"},
        {2608, L"Water Hurdle"},
        {2562, L"Wingless Single Bar Hurdle"},
        {2564, L"Wingless Rail Fence Hurdle"},
        {2570, L"Wingless Spread Hurdle"},
        {2614, L"Winged Single Bar Hurdle"},
        {2616, L"Winged Rail Fence Hurdle"},
        {2622, L"Winged Spread Hurdle"},
        {2626, L"Single Bar Hurdle"},
        {2627, L"Rail Fence Hurdle"},
        {2630, L"Spread Hurdle"},
    }},
    {6, {
        {2584, L"See-saw"},
        {2600, L"Tube Tunnel"},
        {2534, L"Flat Tunnel"},
        {2610, L"Weaving Poles"},
        {2532, L"Brush Hurdle"},
        {2598, L"Tyre"},
        {2558, L"Long Jump"},
        {2604, L"Viaduct"},
        {2606, L"Wall"},
        {2564, L"Wingless Single Jump"},
        {2568, L"Wingless Spread Hurdle"},
        {2570, L"Wingless Triple Jump"},
        {2616, L"Winged Single Jump"},
        {2620, L"Winged Spread Hurdle"},
        {2622, L"Winged Triple Jump"},
        {2629, L"Spread Hurdle"},
        {2626, L"Single Jump"},
        {2630, L"Triple Jump"},
    }},
    {7, {
        {2526, L"\"A\" Ramp"},
        {2534, L"Collapsible Tunnel"},
        {2558, L"Long Jump"},
        {2584, L"See-Saw"},
        {2598, L"Hoop Jump"},
        {2600, L"Pipe Tunnel"},
        {2610, L"Weaving Poles"},
        {2532, L"Brush Fence"},
        {2562, L"Wingless One-Bar Hurdle"},
        {2564, L"Wingless Hurdle"},
        {2568, L"Wingless Rising Spread Jump"},
        {2614, L"Winged One-Bar Hurdle"},
        {2616, L"Winged Hurdle"},
        {2620, L"Winged Rising Spread Jump"},
        {2626, L"One-Bar Hurdle"},
        {2627, L"Hurdle"},
        {2629, L"Rising Spread Jump"},
    }},
    {8, {
        {2534, L"Closed Tunnel"},
        {2576, L"Panel Jump"},
        {2584, L"Teeter"},
        {2594, L"Pause Table"},
        {2598, L"Tire Jump"},
        {2600, L"Open Tunnel"},
        {2562, L"Wingless One Bar Jump"},
        {2564, L"Wingless Bar Jump"},
        {2566, L"Wingless Double Bar Jump"},
        {2570, L"Wingless Ascending Spread Jump or Triple Bar Jump"},
        {2614, L"Winged One Bar Jump"},
        {2616, L"Winged Bar Jump"},
        {2618, L"Winged Double Bar Jump"},
        {2622, L"Winged Ascending Spread Jump or Triple Bar Jump"},
        {2626, L"One Bar Jump"},
        {2627, L"Bar Jump"},
        {2628, L"Double Bar Jump"},
        {2630, L"Ascending Spread Jump or Triple Bar Jump"},
    }},
    {10, {
        {2534, L"Closed Tunnel"},
        {2584, L"Teeter-Totter"},
        {2598, L"Tire Jump"},
        {2600, L"Open Tunnel"},
        {2564, L"Wingless Jump"},
        {2566, L"Wingless Double Bar Jump"},
        {2616, L"Winged Jump"},
        {2618, L"Winged Double Bar Jump"},
        {2627, L"Jump"},
        {2628, L"Double Bar Jump"},
    }},
    {11, {
        {2534, L"Closed Tunnel"},
        {2584, L"Teeter-Totter"},
        {2598, L"Tire Jump"},
        {2594, L"Pause Table"},
        {2600, L"Open Tunnel"},
        {2558, L"Broad Jump"},
        {2626, L"Single Bar Jump"},
        {2564, L"Wingless Vertical Bar Jump"},
        {2568, L"Wingless Double Jump"},
        {2570, L"Wingless Triple Spread Jump"},
        {2616, L"Winged Vertical Bar Jump"},
        {2620, L"Winged Double Jump"},
        {2622, L"Winged Triple Spread Jump"},
        {2627, L"Jump"},
        {2629, L"Double Jump"},
        {2630, L"Triple Spread Jump"},
    }},
    {12, {
        {2534, L"Collapsible Tunnel/Tube"},
        {2584, L"See-Saw"},
        {2598, L"Hoop"},
        {2600, L"Pipe Tunnel"},
        {2610, L"Weaving Poles"},
        {2558, L"Long Jump"},
        {2564, L"Wingless Hurdle"},
        {2568, L"Wingless Asymetrical Spread Jump"},
        {2570, L"Wingless Multiple Bar Ascending Spread Jump"},
        {2616, L"Winged Hurdle"},
        {2620, L"Winged Asymetrical Spread Jump"},
        {2622, L"Winged Multiple Bar Ascending Spread Jump"},
        {2627, L"Hurdle"},
        {2629, L"Asymetrical Spread Jump"},
        {2630, L"Multiple Bar Ascending Spread Jump"},
    }},
    {13, {
        {2534, L"Collapsed Tunnel"},
        {2584, L"Teeter"},
        {2598, L"Tire"},
        {2600, L"Pipe Tunnel"},
        {2564, L"Non-winged Jump"},
        {2616, L"Winged Jump"},
        {2627, L"Jump"},
    }},
    {14, {
        {2534, L"Collapsible Tunnel"},
        {2584, L"See-Saw"},
        {2598, L"Tyre"},
        {2600, L"Pipe Tunnel"},
        {2558, L"Long Jump"},
        {2532, L"Brush Hurdle"},
        {2564, L"Wingless Hurdle"},
        {2568, L"Wingless Double Spread Hurdle"},
        {2570, L"Wingless Triple Spread Hurdle"},
        {2616, L"Wing Hurdle"},
        {2620, L"Winged Double Spread Hurdle"},
        {2622, L"Winged Triple Spread Hurdle"},
        {2627, L"Single Hurdle"},
        {2629, L"Double Spread Hurdle"},
        {2630, L"Triple Spread Hurdle"},
    }},
    {15, {
        {2558, L"Long Jump"},
        {2584, L"Teeter"},
        {2598, L"Tire Jump"},
        {2600, L"Pipe Tunnel"},
        {2564, L"Wingless Jump"},
        {2568, L"Wingless Ascending Spread Jump"},
        {2616, L"Winged Jump"},
        {2620, L"Winged Ascending Spread Jump"},
        {2627, L"Jump"},
        {2629, L"Ascending Spread Jump"},
    }},
    };
    return expected;
}

// The standard flag of every registered kind.
const std::map<int, bool>& StandardKinds()
{
    static const std::map<int, bool> kinds = {
        {10, true},  {20, true},  {25, false}, {30, false}, {40, true},  {50, true},  {60, false},
        {70, false}, {80, true},  {90, true},  {100, true}, {110, true}, {113, false}, {115, false},
        {120, false}, {130, true}, {140, true}, {150, true}, {160, true}, {170, false}, {180, true},
        {190, true}, {200, true}, {210, true}, {220, false}, {230, false}, {240, false}, {250, true},
        {260, true}, {270, true}, {280, false}, {290, false}, {300, true}, {310, true}, {320, true},
        {330, true}, {340, true}, {350, true}, {353, true}, {357, true}, {360, false}, {370, true},
        {380, false}, {390, false},
    };
    return kinds;
}

}  // namespace

TEST(SpecList, NamesIdsAndPresetsOfEveryRuleSet)
{
    ASSERT_EQ(16u, Expected().size());
    for (const CExpectedSpecList& e : Expected()) {
        SCOPED_TRACE(e.id);
        const CSpecList& rules = GetSpecList(e.id);
        EXPECT_EQ(e.id, rules.GetOrgId());
        EXPECT_EQ(e.name ? std::wstring(e.name) : GetString(e.nameTextId), rules.GetName());

        ASSERT_EQ(int(e.aFrames.size()), rules.GetAFrameSizeCount());
        for (size_t i = 0; i < e.aFrames.size(); ++i) {
            float length = -1, height = -1;
            rules.GetAFrameSize(int(i), length, height);
            EXPECT_EQ(e.aFrames[i], CPair(length, height)) << "A-frame " << i;
        }
        ASSERT_EQ(int(e.tunnelLengths.size()), rules.GetCollapsedTunnelLengthCount());
        for (size_t i = 0; i < e.tunnelLengths.size(); ++i) {
            float length = -1;
            rules.GetCollapsedTunnelLength(int(i), length);
            EXPECT_EQ(e.tunnelLengths[i], length) << "collapsed tunnel " << i;
        }
        ASSERT_EQ(int(e.dogWalks.size()), rules.GetDogWalkSizeCount());
        for (size_t i = 0; i < e.dogWalks.size(); ++i) {
            float length = -1, height = -1;
            rules.GetDogWalkSize(int(i), length, height);
            EXPECT_EQ(e.dogWalks[i], CPair(length, height)) << "dog walk " << i;
        }
    }
}

TEST(SpecList, MeasuresFlagsAndDocumentsOfEveryRuleSet)
{
    for (const CExpectedSpecList& e : Expected()) {
        SCOPED_TRACE(e.id);
        const CSpecList& rules = GetSpecList(e.id);
        EXPECT_EQ(e.ratio4, rules.GetRatio4());
        EXPECT_EQ(e.measure5, rules.GetMeasure5());
        EXPECT_EQ(e.tunnelDiameter, rules.GetCollapsedTunnelDiameter());
        EXPECT_EQ(e.measure12One, rules.GetMeasure12(0));
        EXPECT_EQ(e.measure12One, rules.GetMeasure12(1));
        EXPECT_EQ(e.measure12Two, rules.GetMeasure12(2));
        EXPECT_EQ(e.measure12Two, rules.GetMeasure12(3));
        EXPECT_EQ(e.flag13, rules.GetFlag13());
        EXPECT_EQ(e.flag14, rules.GetFlag14());
        EXPECT_EQ(e.measure15, rules.GetMeasure15());
        EXPECT_EQ(e.measure16, rules.GetMeasure16());
        EXPECT_EQ(e.weavePoles, rules.GetWeavePoleCount());
        EXPECT_EQ(e.measure18, rules.GetMeasure18());
        EXPECT_EQ(e.flag19, rules.GetFlag19());
        // An address exactly where the rule set says it has one.
        EXPECT_EQ(e.rulebook, rules.HasRulebookUrl());
        EXPECT_EQ(e.judges, rules.HasJudgesUrl());
        EXPECT_EQ(e.updates, rules.HasRuleUpdatesUrl());
        EXPECT_EQ(e.rulebook, rules.GetRulebookUrl().rfind(L"https://", 0) == 0);
        EXPECT_EQ(e.judges, rules.GetJudgesUrl().rfind(L"https://", 0) == 0);
        EXPECT_EQ(e.updates, rules.GetRuleUpdatesUrl().rfind(L"https://", 0) == 0);
    }
}

TEST(SpecList, TypeSetsOfEveryRuleSet)
{
    for (const CExpectedSpecList& e : Expected()) {
        SCOPED_TRACE(e.id);
        const CSpecList& rules = GetSpecList(e.id);
        EXPECT_EQ(e.excludedTypes, rules.GetExcludedTypes());
        EXPECT_EQ(e.admittedTypes, rules.GetAdmittedTypes());
        EXPECT_EQ(e.excludedNames, rules.GetExcludedNames());
        for (const auto& kind : StandardKinds()) {
            const bool expected = kind.second ? e.excludedTypes.count(kind.first) == 0
                                              : e.admittedTypes.count(kind.first) != 0;
            EXPECT_EQ(expected, rules.IsTypeAdmitted(kind.first, kind.second)) << "type " << kind.first;
        }
    }
}

TEST(SpecList, AdmissionExamples)
{
    const CSpecList& nadac = GetSpecList(3);
    EXPECT_TRUE(nadac.IsTypeAdmitted(10, true));     // A-frame
    EXPECT_FALSE(nadac.IsTypeAdmitted(20, true));    // spread jump excluded
    EXPECT_TRUE(nadac.IsTypeAdmitted(25, false));    // barrel admitted
    EXPECT_FALSE(nadac.IsTypeAdmitted(30, false));   // barrel jump not admitted
    const CSpecList& org9 = GetSpecList(9);
    EXPECT_FALSE(org9.IsTypeAdmitted(10, true));
    EXPECT_TRUE(org9.IsTypeAdmitted(30, false));
    EXPECT_TRUE(org9.IsTypeAdmitted(160, true));    // the one standard kind it keeps
    const CSpecList& fci = GetSpecList(6);
    EXPECT_TRUE(fci.IsNameExcluded(2562));
    EXPECT_TRUE(fci.IsNameExcluded(2568));
    EXPECT_FALSE(fci.IsNameExcluded(2614));
}

TEST(SpecList, AdmissionGoesThroughTheRegisteredDescriptors)
{
    for (int org = 0; org < kOrganisationCount; ++org) {
        const CSpecList& rules = GetSpecList(org);
        for (const auto& kind : StandardKinds()) {
            const CObjectType* type = FindObjectTypeById(kind.first);
            if (type == nullptr) {
                EXPECT_FALSE(rules.IsTypeAllowed(kind.first)) << org << " " << kind.first;
                continue;
            }
            EXPECT_EQ(rules.IsTypeAdmitted(kind.first, type->IsStandard()), rules.IsTypeAllowed(kind.first))
                << org << " " << kind.first;
        }
        // Name ids of the wingless and winged bar jumps, and of the plain kinds.
        for (int nameId = 2526; nameId <= 2630; ++nameId) {
            const CObjectType* type = FindObjectTypeByNameId(nameId);
            const bool expected =
                type != nullptr && rules.IsTypeAllowed(type->GetId()) && !rules.IsNameExcluded(nameId);
            EXPECT_EQ(expected, rules.IsTypeNameAllowed(nameId)) << org << " " << nameId;
        }
    }
}

TEST(SpecList, UnknownTypesAndNamesAreNotAllowed)
{
    const int before = ReportCount();
    for (int org = 0; org < kOrganisationCount; ++org) {
        EXPECT_FALSE(GetSpecList(org).IsTypeAllowed(9999));
        EXPECT_FALSE(GetSpecList(org).IsTypeAllowed(0));
        // 2628 is a display name that no descriptor is registered under.
        EXPECT_FALSE(GetSpecList(org).IsTypeNameAllowed(2628));
        EXPECT_FALSE(GetSpecList(org).IsTypeNameAllowed(12345));
    }
    EXPECT_EQ(before, ReportCount());
}

TEST(SpecList, OrganisationIdsOutsideTheRangeAreReportedAndGiveNoOrganisation)
{
    int before = ReportCount();
    EXPECT_EQ(5, GetSpecList(5).GetOrgId());
    EXPECT_EQ(15, GetSpecList(15).GetOrgId());
    EXPECT_EQ(before, ReportCount());
    EXPECT_EQ(&GetSpecList(0), &GetSpecList(16));
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_EQ(&GetSpecList(0), &GetSpecList(-1));
    EXPECT_EQ(&GetSpecList(0), &GetSpecList(1000));
    EXPECT_EQ(before + 3, ReportCount());
}

TEST(SpecList, PresetIndexBeyondTheCountIsReported)
{
    const int before = ReportCount();
    float length = 7, height = 7;
    GetSpecList(1).GetAFrameSize(2, length, height);
    EXPECT_EQ(CPair(0, 0), CPair(length, height));
    GetSpecList(1).GetDogWalkSize(-1, length, height);
    GetSpecList(1).GetCollapsedTunnelLength(1, length);
    EXPECT_EQ(before + 3, ReportCount());
    // Rule set 9 has no presets at all.
    GetSpecList(9).GetAFrameSize(0, length, height);
    GetSpecList(9).GetCollapsedTunnelLength(0, length);
    GetSpecList(9).GetDogWalkSize(0, length, height);
    EXPECT_EQ(before + 6, ReportCount());
}

TEST(SpecList, DefaultOrganisationFollowsTheLocaleCountry)
{
    EXPECT_EQ(1, DefaultOrganisation(CLocaleDefaults(0x0409)));    // United States
    EXPECT_EQ(7, DefaultOrganisation(CLocaleDefaults(0x0809)));    // United Kingdom
    EXPECT_EQ(14, DefaultOrganisation(CLocaleDefaults(0x0C09)));   // Australia
    EXPECT_EQ(4, DefaultOrganisation(CLocaleDefaults(0x1009)));    // Canada
    EXPECT_EQ(12, DefaultOrganisation(CLocaleDefaults(0x1409)));   // New Zealand
    EXPECT_EQ(6, DefaultOrganisation(CLocaleDefaults(0x0407)));    // Germany
    EXPECT_EQ(6, DefaultOrganisation(CLocaleDefaults(0x040C)));    // France
    EXPECT_EQ(DefaultOrganisation(CLocaleDefaults()), DefaultOrganisation());
}

// ---- Terminology -----------------------------------------------------------

TEST(SpecListTerms, EveryOrganisationWordAndTheDefaultsElsewhere)
{
    std::map<int, const CExpectedTerms*> byOrg;
    for (const CExpectedTerms& e : ExpectedTerms())
        byOrg[e.id] = &e;
    ASSERT_EQ(14u, byOrg.size());
    for (int org = 0; org < kOrganisationCount; ++org) {
        SCOPED_TRACE(org);
        const CSpecList& rules = GetSpecList(org);
        std::map<int, std::wstring> expected;
        if (byOrg.count(org)) {
            for (const auto& word : byOrg[org]->words)
                expected[word.first] = word.second;
        }
        EXPECT_EQ(expected, rules.GetTerminology());
        for (int id = 2526; id <= 2631; ++id) {
            const auto found = expected.find(id);
            EXPECT_EQ(found != expected.end() ? found->second : GetString(id), rules.GetTerm(id)) << id;
        }
    }
}

TEST(SpecListTerms, WordsAreAddedInTheirListedOrder)
{
    for (const CExpectedTerms& e : ExpectedTerms()) {
        const std::vector<CTermData>& terms = GetOrganisationTerms(e.id);
        ASSERT_EQ(e.words.size(), terms.size()) << e.id;
        for (size_t i = 0; i < terms.size(); ++i) {
            EXPECT_EQ(e.words[i].first, terms[i].textId) << e.id << " " << i;
            EXPECT_EQ(std::wstring(e.words[i].second), terms[i].word) << e.id << " " << i;
        }
    }
    EXPECT_TRUE(GetOrganisationTerms(0).empty());
    EXPECT_TRUE(GetOrganisationTerms(9).empty());
}

TEST(SpecListTerms, SeeSawAcrossOrganisations)
{
    EXPECT_EQ(L"Seesaw", GetSpecList(1).GetTerm(2584));
    EXPECT_EQ(L"See-Saw", GetSpecList(2).GetTerm(2584));
    EXPECT_EQ(L"Teeter-Totter", GetSpecList(5).GetTerm(2584));
    EXPECT_EQ(GetString(2584), GetSpecList(3).GetTerm(2584));
    EXPECT_EQ(GetString(2526), GetSpecList(1).GetTerm(2526));
    EXPECT_EQ(L"\"A\" Ramp", GetSpecList(7).GetTerm(2526));
}

TEST(SpecListTerms, AddTermInsertsOneEntry)
{
    CNADACSpecList rules;
    EXPECT_EQ(L"Jump", rules.GetTerm(2627));
    rules.AddTerm(2584, L"Teeter");
    EXPECT_EQ(L"Teeter", rules.GetTerm(2584));
    EXPECT_EQ(6u, rules.GetTerminology().size());
}

// ---- Jump-height tables ----------------------------------------------------

TEST(JumpHeightTable, RowsOfEveryRuleSet)
{
    ASSERT_EQ(16u, ExpectedJumpTables().size());
    const int before = ReportCount();
    for (const CExpectedJumpTable& e : ExpectedJumpTables()) {
        SCOPED_TRACE(e.id);
        const CJumpHeightTable& table = GetSpecList(e.id).GetLongJumpTable();
        EXPECT_EQ(e.defaultHeight, table.GetDefaultHeight());
        ASSERT_EQ(e.rows.size(), table.GetRows().size());
        auto row = table.GetRows().begin();
        for (const CRowExpectation& r : e.rows) {
            EXPECT_EQ(r.key, row->first);
            EXPECT_EQ(r.planks, row->second.planks) << r.key;
            EXPECT_EQ(r.length, row->second.length) << r.key;
            ++row;
        }
    }
    // Every row the rule sets add is valid.
    EXPECT_EQ(before, ReportCount());
}

TEST(JumpHeightTable, LookupAtRowsBetweenAndBeyond)
{
    const CJumpHeightTable& akc = GetSpecList(1).GetLongJumpTable();
    float length = 0;
    int planks = 0;
    akc.Lookup(260, length, planks);
    EXPECT_EQ(520, length);
    EXPECT_EQ(5, planks);
    akc.Lookup(280, length, planks);   // beyond: 520 + 2 x 20
    EXPECT_EQ(560, length);
    EXPECT_EQ(5, planks);
    akc.Lookup(220, length, planks);   // between 400 and 480
    EXPECT_EQ(440, length);
    EXPECT_EQ(5, planks);
    akc.Lookup(30, length, planks);    // below the first row: 45 is lifted to 60
    EXPECT_EQ(60, length);
    EXPECT_EQ(1, planks);
    akc.Lookup(40, length, planks);
    EXPECT_EQ(60, length);
    EXPECT_EQ(1, planks);

    const CJumpHeightTable& kennelClub = GetSpecList(7).GetLongJumpTable();
    EXPECT_EQ(177, kennelClub.GetRows().at(100).length);
    kennelClub.Lookup(100, length, planks);   // the first row, rounded to 20
    EXPECT_EQ(180, length);
    EXPECT_EQ(2, planks);
    kennelClub.Lookup(120, length, planks);   // kept within 177..177
    EXPECT_EQ(177, length);
    EXPECT_EQ(2, planks);

    const CJumpHeightTable& usdaa = GetSpecList(2).GetLongJumpTable();
    usdaa.Lookup(180, length, planks);   // (360 + 480) / 2 = 420
    EXPECT_EQ(420, length);
    EXPECT_EQ(4, planks);
    usdaa.Lookup(150, length, planks);   // (240 + 360) / 2 = 300
    EXPECT_EQ(300, length);
    EXPECT_EQ(3, planks);

    const CJumpHeightTable& uki = GetSpecList(15).GetLongJumpTable();
    uki.Lookup(60, length, planks);   // 110 becomes 120; the planks stay 1
    EXPECT_EQ(120, length);
    EXPECT_EQ(1, planks);
    uki.Lookup(70, length, planks);   // 135 rounds to 140
    EXPECT_EQ(140, length);
    EXPECT_EQ(1, planks);

    const CJumpHeightTable& tdaa = GetSpecList(13).GetLongJumpTable();
    tdaa.Lookup(100, length, planks);   // 60 + 2 x 80
    EXPECT_EQ(220, length);
    EXPECT_EQ(2, planks);
    tdaa.Lookup(10, length, planks);
    EXPECT_EQ(60, length);
    EXPECT_EQ(1, planks);
}

TEST(JumpHeightTable, RowsAndDefaultHeight)
{
    const CJumpHeightTable& akc = GetSpecList(1).GetLongJumpTable();
    EXPECT_TRUE(akc.HasRow(260));
    EXPECT_TRUE(akc.HasRow(40));
    EXPECT_FALSE(akc.HasRow(220));
    EXPECT_FALSE(akc.HasRow(259.5f));
    EXPECT_EQ(240, akc.GetDefaultHeight());

    CJumpHeightTable table;
    table.AddRow(26, 0, 0, false);
    EXPECT_EQ(0, table.GetDefaultHeight());   // above 240: not a default
    table.AddRow(8, 0, 0, false);
    EXPECT_EQ(80, table.GetDefaultHeight());
    table.AddRow(4, 0, 0, false);
    EXPECT_EQ(80, table.GetDefaultHeight());
}

TEST(JumpHeightTable, PlankAndLengthRules)
{
    EXPECT_EQ(1, CJumpHeightTable::PlanksForLength(119));
    EXPECT_EQ(2, CJumpHeightTable::PlanksForLength(120));
    EXPECT_EQ(4, CJumpHeightTable::PlanksForLength(479));
    EXPECT_EQ(5, CJumpHeightTable::PlanksForLength(480));
    EXPECT_EQ(5, CJumpHeightTable::PlanksForLength(5000));
    EXPECT_EQ(60, CJumpHeightTable::RoundLength(80));
    EXPECT_EQ(120, CJumpHeightTable::RoundLength(80.5f));
    EXPECT_EQ(120, CJumpHeightTable::RoundLength(120));
    EXPECT_EQ(120, CJumpHeightTable::RoundLength(129.9f));
    EXPECT_EQ(140, CJumpHeightTable::RoundLength(130));
}

TEST(JumpHeightTable, InvalidRowsAreReported)
{
    CJumpHeightTable table;
    int before = ReportCount();
    table.AddRow(28, 0, 0, false);   // beyond 26 inches: no row
    table.AddRow(0, 0, 0, false);
    EXPECT_EQ(before + 2, ReportCount());
    EXPECT_TRUE(table.GetRows().empty());
    table.AddRow(5, 0, 0, false);    // odd: reported, kept
    EXPECT_EQ(before + 3, ReportCount());
    EXPECT_EQ(1u, table.GetRows().size());
    table.AddRow(10, 4, 20, false);  // four planks need 24 inches
    EXPECT_EQ(before + 4, ReportCount());
    EXPECT_EQ(4, table.GetRows().at(100).planks);
    table.AddRow(10, 1, 2, false);   // a length below 6 inches becomes 6
    EXPECT_EQ(60, table.GetRows().at(100).length);
    EXPECT_EQ(before + 4, ReportCount());
}

TEST(JumpHeightTable, LookupInAnEmptyTableOrForNoHeight)
{
    CJumpHeightTable empty;
    float length = 5;
    int planks = 5;
    const int before = ReportCount();
    empty.Lookup(100, length, planks);
    EXPECT_EQ(0, length);
    EXPECT_EQ(1, planks);
    GetSpecList(1).GetLongJumpTable().Lookup(std::numeric_limits<float>::quiet_NaN(), length, planks);
    EXPECT_EQ(480, length);   // the default height's row
    EXPECT_EQ(5, planks);
    EXPECT_EQ(before + 2, ReportCount());
}
