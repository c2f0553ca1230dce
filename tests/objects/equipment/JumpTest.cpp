#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/JumpPropertiesDlg.h"
#include "foundation/Strings.h"
#include "objects/equipment/BarJumpType.h"
#include "tests/objects/equipment/JumpTestSupport.h"
#include "tests/support/FailureReports.h"

using namespace jumptest;

namespace {

using Jump = coursetest::CSettingsFixture;

CPoint2 EndOf(const CJump& jump, int index)
{
    CPoint2 point;
    jump.GetEnd(point, index);
    return point;
}

}  // namespace

TEST_F(Jump, EveryKindIsRegisteredInTheJumpGroup)
{
    struct CCase
    {
        int id;
        int nameId;
        std::vector<int> parts;
        bool standard;
        bool editOnCreate;
        int bindingKind;
    };
    const std::vector<int> bar = {10, 17, 21, 14, 13, 2};
    const CCase cases[] = {
        {20, 2629, bar, true, false, 0},
        {30, 2530, {10, 17, 21, 0}, false, false, 3},
        {40, 2532, bar, true, true, 0},
        {115, 2548, {10, 17, 12}, false, false, 3},
        {150, 2628, bar, true, false, 0},
        {160, 2630, bar, true, false, 0},
        {170, 2556, bar, false, true, 0},
        {180, 2558, {10, 17, 18, 21, 22}, true, false, 1},
        {200, 2626, bar, true, false, 0},
        {210, 2576, bar, true, true, 0},
        {230, 2580, {10, 17, 14, 13, 2, 18}, false, false, 0},
        {260, 2627, bar, true, false, 0},
        {320, 2598, {10, 28, 29, 3, 19, 17}, true, false, 2},
        {330, 2630, bar, true, false, 0},
        {353, 2604, {10, 1}, true, false, 0},
        {357, 2606, {10, 1}, true, false, 0},
        {360, 2608, {10, 17, 18, 21}, false, false, 3},
        {380, 2612, {10, 8, 9, 17}, false, false, 3},
        {390, 2624, {10, 17, 21, 1}, false, false, 3},
    };
    for (const CCase& c : cases) {
        const CJumpType& type = JumpType(c.id);
        EXPECT_EQ(c.nameId, type.GetNameTextId()) << c.id;
        EXPECT_EQ(2631, type.GetGroupTextId()) << c.id;
        EXPECT_EQ(c.parts, type.GetPartColors().GetParts()) << c.id;
        EXPECT_EQ(c.standard, type.IsStandard()) << c.id;
        EXPECT_EQ(c.editOnCreate, type.GetEditOnCreateDefault()) << c.id;
        EXPECT_EQ(c.bindingKind, type.GetBindingKind()) << c.id;
        EXPECT_EQ(c.bindingKind, int(MakeJump(c.id)->GetBinding()->GetKind())) << c.id;
    }
    // The bar jumps are found by their wingless and winged names only.
    const std::pair<int, int> names[] = {{2566, 150}, {2618, 150}, {2568, 20}, {2620, 20}, {2562, 200}, {2614, 200},
                                         {2564, 260}, {2616, 260}, {2570, 330}, {2622, 330}, {2604, 353},
                                         {2606, 357}, {2532, 40}, {2548, 115}, {2612, 380}, {2624, 390}};
    for (const auto& name : names)
        EXPECT_EQ(name.second, FindObjectTypeByNameId(name.first)->GetTypeId()) << name.first;
    for (int display : {2626, 2627, 2628, 2629, 2630})
        EXPECT_EQ(nullptr, FindObjectTypeByNameId(display)) << display;
    const std::pair<const char*, int> keys[] = {
        {"NonWingedDoubleJump", 20}, {"SpreadJump", 20}, {"NonWingedOneJump", 200}, {"WingedOneJump", 200},
        {"NonWingedSingleJump", 260}, {"WingedJump", 260}, {"NonWingedTripleJump", 330},
        {"ExtendedSpreadJump", 330}, {"BrushJump", 40}, {"LogJump", 170}, {"LongJump", 180}, {"PanelJump", 210},
        {"PicketFenceJump", 230}, {"TireJump", 320}, {"Viaduct", 353}, {"WallJump", 357}, {"WaterJump", 360},
        {"WindowJump", 380}, {"WishingWellJump", 390}};
    for (const auto& key : keys)
        EXPECT_EQ(key.second, FindObjectTypeByKeyName(key.first)->GetTypeId()) << key.first;
}

TEST_F(Jump, EndsFollowTheTypeAndTheValues)
{
    struct CCase
    {
        int id;
        float width, wingWidth;  // for the winged kinds
        float endX;
        float halfWidth, halfDepth;
        bool second;
    };
    const CCase cases[] = {
        {380, 0, 0, 240.0f, 60.0f, 60.0f, true},    // window
        {390, 0, 0, 180.0f, 92.5f, 120.0f, true},   // wishing well
        {150, 480, 240, 487.0f, 180.0f, 120.0f, true},
        {260, 480, 240, 480.0f, 180.0f, 60.0f, true},
        {260, 200, 0, 100.0f, 0.0f, 60.0f, true},   // too narrow for an approach
        {160, 540, 0, 277.0f, 210.0f, 180.0f, true},
        {20, 600, 0, 307.0f, 240.0f, 120.0f, false},
        {330, 600, 240, 547.0f, 240.0f, 180.0f, false},
        {30, 0, 0, 510.0f, 210.0f, 60.0f, true},    // barrel jump
        {115, 0, 0, 170.0f, 110.0f, 60.0f, true},   // hoop jump
        {170, 480, 0, 245.0f, 180.0f, 60.0f, true}, // log
        {357, 540, 120, 390.0f, 210.0f, 60.0f, true},
        {360, 0, 0, 240.0f, 60.0f, 240.0f, true},   // water: the long jump's depth
        {320, 0, 0, 250.0f, 60.0f, 60.0f, true},    // tire: width D = 240, as the window
    };
    auto course = MakeCourse(1);
    course->SetLongJumpLength(480.0f);
    for (const CCase& c : cases) {
        CJump* jump = PlaceJump(*course, c.id, 3000.0f, 3000.0f);
        if (c.width > 0.0f)
            SetWings(*jump, c.width, c.wingWidth);
        EXPECT_EQ(CPoint2(-c.endX, 0.0f), EndOf(*jump, 0)) << c.id;
        EXPECT_EQ(CPoint2(c.endX, 0.0f), EndOf(*jump, 1)) << c.id;
        EXPECT_EQ(c.second ? 2u : 1u, jump->GetEnds().size()) << c.id;
        for (int i = 0; i < 2; ++i) {
            const CJumpEnd& end = jump->GetJumpEnd(i);
            EXPECT_EQ(c.halfWidth, end.halfWidth) << c.id;
            EXPECT_EQ(c.halfDepth, end.halfDepth) << c.id;
            EXPECT_EQ(CPoint2(0.0f, i == 0 ? -10000.0f : 10000.0f), end.direction);
        }
        EXPECT_EQ(&jump->GetJumpEnd(0), jump->GetEnds().front());
    }
    // The long jump's ends reach over its planks: 60 for every 120 of length.
    CJump* longJump = PlaceJump(*course, 180, 6000.0f, 6000.0f);
    for (float length : {480.0f, 720.0f, 50.0f}) {
        course->SetLongJumpLength(length);
        EXPECT_EQ(std::max(60.0f, 0.5f * length), longJump->GetJumpEnd(0).halfDepth) << length;
        EXPECT_EQ(CPoint2(-240.0f, 0.0f), EndOf(*longJump, 0));
    }
}

TEST_F(Jump, ChangingTheTypeKeepsABindingOfTheSameKind)
{
    auto course = MakeCourse(1);
    CJump* jump = PlaceJump(*course, 260, 3000.0f, 3000.0f);
    SetWings(*jump, 480.0f, 240.0f);
    CPropertyBinding* binding = jump->GetBinding();
    jump->SetType(&JumpType(150));
    EXPECT_EQ(binding, jump->GetBinding());
    EXPECT_EQ(480.0f, jump->GetWingsBinding()->width);
    EXPECT_EQ(240.0f, jump->GetWingsBinding()->wingWidth);
    EXPECT_EQ(120.0f, jump->GetJumpEnd(0).halfDepth);

    // A one-way kind loses its second end, and gets it back.
    jump->SetType(&JumpType(20));
    EXPECT_EQ(1u, jump->GetEnds().size());
    jump->SetType(&JumpType(150));
    ASSERT_EQ(2u, jump->GetEnds().size());
    EXPECT_EQ(&jump->GetJumpEnd(1), jump->GetEnds()[1]);

    jump->SetType(&JumpType(320));
    ASSERT_NE(nullptr, dynamic_cast<CTireJumpBinding*>(jump->GetBinding()));
    EXPECT_EQ(500.0f, dynamic_cast<CTireJumpBinding*>(jump->GetBinding())->width);
    // The tire binding is no wings binding.
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(nullptr, jump->GetWingsBinding()); }));
    // Another kind of object is no jump type: the jump stays as it was.
    EXPECT_EQ(1, CountReports([&] { jump->SetType(FindObjectTypeById(10)); }));
    EXPECT_EQ(320, jump->GetType()->GetTypeId());
}

TEST_F(Jump, DialogShowsTheTypeAndTheTripleJumpAsTheExtendedSpread)
{
    auto course = MakeCourse(1);
    for (const auto& ids : {std::make_pair(160, 330), std::make_pair(150, 150), std::make_pair(180, 180)}) {
        CJump* jump = PlaceJump(*course, ids.first, 3000.0f, 3000.0f);
        CJumpPropertiesDlg dialog(course.get(), nullptr);
        jump->FillPropertiesDialog(dialog);
        ASSERT_NE(nullptr, dialog.GetChosenType());
        EXPECT_EQ(ids.second, dialog.GetChosenType()->GetTypeId());
        EXPECT_EQ(dialog.GetChosenType()->GetBindingKind(), dialog.GetCurrentPanel().GetPanelKind());
    }
    // Only the jump dialog fits.
    CObjectPropertiesDlg plain(course.get(), 2631);
    CJump* jump = PlaceJump(*course, 150, 3000.0f, 3000.0f);
    EXPECT_EQ(2, CountReports([&] {
                  jump->ToDialog(plain);
                  jump->FromDialog(plain);
              }));
}

TEST_F(Jump, LookFollowsTheCoursesJumpSettings)
{
    auto course = MakeCourse(1);
    CJump* jump = PlaceJump(*course, 150, 3000.0f, 3000.0f);
    CJump* longJump = PlaceJump(*course, 180, 6000.0f, 3000.0f);
    longJump->RefreshExtents();
    const float depth = longJump->Get2DExtent().maxY - longJump->Get2DExtent().minY;
    for (CJump* each : {jump, longJump})
        each->GetShape3D().UpdateKey();
    const std::string before = jump->GetShape3D().GetKey();
    course->SetJumpHeight(course->GetJumpHeight() + 40.0f);
    jump->GetShape3D().UpdateKey();
    EXPECT_NE(before, jump->GetShape3D().GetKey());
    // The extra key: height, long-jump length, planks, organisation.
    CFieldWriter extra;
    jump->SerializeExtra(extra);
    CFieldWriter expected;
    expected.WriteFloat16(course->GetJumpHeight());
    expected.WriteFloat16(course->GetLongJumpLength());
    expected.WriteInt8(course->GetLongJumpPlanks());
    expected.WriteInt8(1);
    EXPECT_EQ(expected.m_bytes, extra.m_bytes);
    // A longer long jump takes more room at once.
    course->SetLongJumpLength(course->GetLongJumpLength() + 240.0f);
    EXPECT_NEAR(depth + 240.0f, longJump->Get2DExtent().maxY - longJump->Get2DExtent().minY, 1.0f);
}

TEST_F(Jump, SizeTextSaysWhetherTheJumpHasWings)
{
    auto jump = MakeJump(260);
    EXPECT_EQ(GetString(2043), jump->GetSizeText());
    SetWings(*jump, 540.0f, 0.0f);
    EXPECT_EQ(GetString(2042), jump->GetSizeText());
    EXPECT_EQ(L"", MakeJump(320)->GetSizeText());
    EXPECT_EQ(L"", MakeJump(380)->GetSizeText());
}

TEST_F(Jump, WingsByTheNameTheKindWasChosenBy)
{
    const auto& winged = dynamic_cast<const CWingedJumpType&>(JumpType(150));
    EXPECT_EQ(1, winged.IsWinglessNameId(2566));
    EXPECT_EQ(0, winged.IsWinglessNameId(2618));
    EXPECT_EQ(2, winged.IsWinglessNameId(2628));
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(0, winged.IsWinglessNameId(2620)); }));
    EXPECT_EQ(2, dynamic_cast<const CWingedJumpType&>(JumpType(40)).IsWinglessNameId(2532));
    EXPECT_EQ(0, dynamic_cast<const CWingedJumpType&>(JumpType(353)).IsWinglessNameId(2604));
    auto course = MakeCourse(1);
    for (const auto& c : {std::make_pair(2566, false), std::make_pair(2618, true)}) {
        auto dialog = JumpType(150).CreatePropertiesDialog(course.get(), c.first);
        EXPECT_EQ(c.second, dynamic_cast<CJumpPropertiesDlg&>(*dialog).IsWinged()) << c.first;
    }
}
