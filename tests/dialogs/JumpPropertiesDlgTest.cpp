#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "course/Course.h"
#include "course/ObjectType.h"
#include "dialogs/JumpPropertiesDlg.h"
#include "dialogs/PropertyBinding.h"
#include "foundation/Settings.h"
#include "objects/equipment/Jump.h"
#include "objects/equipment/JumpType.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

namespace {

class JumpPropertiesDlg : public CCourseSettingsTest
{
protected:
    static std::unique_ptr<CCourse> MakeCourse(int organisation)
    {
        auto course = std::make_unique<CCourse>(L"Jumps", L"");
        course->SetSpecList(organisation);
        course->SetSize(14400.0f, 12000.0f);
        return course;
    }
};

// Places one object with the shape tool named by the text id, as a click in
// the view does, and returns it.
CJump* PlaceWithTool(CCourse& course, int nameTextId)
{
    course.SelectToolType(nameTextId);
    course.StartPlacingObject(3000.0f, 3000.0f);
    course.DropPlacedObject(3000.0f, 3000.0f);
    CJump* placed = nullptr;
    for (CCourseObject* object : course.GetObjects())
        if (object->IsSelected())
            placed = dynamic_cast<CJump*>(object);
    return placed;
}

const CJumpType& JumpType(int typeId)
{
    return *dynamic_cast<const CJumpType*>(FindObjectTypeById(typeId));
}

}  // namespace

TEST_F(JumpPropertiesDlg, ToolbarJumpsTakeTheirKindsDefaults)
{
    struct CCase
    {
        int organisation;
        int tool;
        int typeId;
        float width;
        float wingWidth;
    };
    const CCase cases[] = {
        {1, 2618, 150, 600.0f, 240.0f},  // AKC winged double
        {1, 2564, 260, 540.0f, 0.0f},    // AKC wingless single
        {1, 2616, 260, 540.0f, 240.0f},
        {5, 2564, 260, 480.0f, 0.0f},    // UKC
        {5, 2620, 20, 480.0f, 240.0f},
        {13, 2622, 330, 300.0f, 240.0f}, // TDAA
        {1, 2532, 40, 540.0f, 0.0f},     // brush: edits on creation, no wings by default
        {1, 2556, 170, 480.0f, 0.0f},
        {1, 2606, 357, 540.0f, 120.0f},  // the wall's wings come with it
    };
    for (const CCase& c : cases) {
        auto course = MakeCourse(c.organisation);
        CJump* jump = PlaceWithTool(*course, c.tool);
        ASSERT_NE(nullptr, jump) << c.tool;
        EXPECT_EQ(c.typeId, jump->GetType()->GetTypeId()) << c.tool;
        EXPECT_EQ(c.width, jump->GetWingsBinding()->width) << c.organisation << " " << c.tool;
        EXPECT_EQ(c.wingWidth, jump->GetWingsBinding()->wingWidth) << c.organisation << " " << c.tool;
        EXPECT_EQ(1u, course->GetObjectCount()) << c.tool;
    }
}

TEST_F(JumpPropertiesDlg, StoredDefaultsOfTheKindAndOrganisation)
{
    auto course = MakeCourse(1);
    CSettings::SetInt(L"150AKCPostWidth", 560);
    CSettings::SetInt(L"150AKCWingWidth", 200);
    CSettings::SetInt(L"150AKCWinged", 0);
    CSettings::SetInt(L"320AKCWidth", 600);
    CSettings::SetInt(L"320AKCTireDiam", 300);
    CSettings::SetInt(L"180AKCAscending", 0);
    CJump* doubleJump = PlaceWithTool(*course, 2618);
    EXPECT_EQ(560.0f, doubleJump->GetWingsBinding()->width);
    EXPECT_EQ(200.0f, doubleJump->GetWingsBinding()->wingWidth);
    CJump* tire = PlaceWithTool(*course, 2598);
    EXPECT_EQ(600.0f, dynamic_cast<CTireJumpBinding*>(tire->GetBinding())->width);
    EXPECT_EQ(300.0f, dynamic_cast<CTireJumpBinding*>(tire->GetBinding())->diameter);
    CJump* longJump = PlaceWithTool(*course, 2558);
    EXPECT_FALSE(dynamic_cast<CAscendingBinding*>(longJump->GetBinding())->ascending);
    EXPECT_EQ(2u, longJump->GetEnds().size());
    // Damaged values give the defaults; the Brisklane mode always 240.
    CSettings::SetInt(L"150AKCPostWidth", -5);
    CSettings::SetInt(L"BrisklaneMode", 1);
    CJump* damaged = PlaceWithTool(*course, 2618);
    EXPECT_EQ(600.0f, damaged->GetWingsBinding()->width);
    EXPECT_EQ(240.0f, damaged->GetWingsBinding()->wingWidth);
}

TEST_F(JumpPropertiesDlg, LongJumpDirectionIsTheOrganisations)
{
    for (const auto& c : {std::make_pair(1, true), std::make_pair(5, false)}) {
        auto course = MakeCourse(c.first);
        CJump* jump = PlaceWithTool(*course, 2558);
        EXPECT_EQ(c.second, dynamic_cast<CAscendingBinding*>(jump->GetBinding())->ascending) << c.first;
        EXPECT_EQ(c.second ? 1u : 2u, jump->GetEnds().size()) << c.first;
    }
}

// Jumps edited together: values that differ are mixed and left as they are;
// kinds with different panels show the options group and keep their types.
TEST_F(JumpPropertiesDlg, MergedJumpsKeepWhatDiffers)
{
    auto course = MakeCourse(1);
    auto first = JumpType(150).CreateNew(course.get(), CTransform(), nullptr);
    auto second = JumpType(150).CreateNew(course.get(), CTransform(), nullptr);
    auto* a = dynamic_cast<CJump*>(first.get());
    auto* b = dynamic_cast<CJump*>(second.get());
    a->GetWingsBinding()->wingWidth = 200.0f;
    b->GetWingsBinding()->wingWidth = 300.0f;
    CJumpPropertiesDlg dialog(course.get(), nullptr);
    a->FillPropertiesDialog(dialog);
    b->FillPropertiesDialog(dialog);
    EXPECT_EQ(0.0f, dialog.GetWingsGroup().GetWingWidth());
    EXPECT_EQ(540.0f, dialog.GetWingsGroup().GetPostWidth());
    EXPECT_TRUE(dialog.IsWinged());
    a->FromDialog(dialog);
    b->FromDialog(dialog);
    EXPECT_EQ(200.0f, a->GetWingsBinding()->wingWidth);
    EXPECT_EQ(300.0f, b->GetWingsBinding()->wingWidth);

    auto tire = JumpType(320).CreateNew(course.get(), CTransform(), nullptr);
    CJumpPropertiesDlg mixed(course.get(), nullptr);
    a->FillPropertiesDialog(mixed);
    tire->FillPropertiesDialog(mixed);
    EXPECT_EQ(nullptr, mixed.GetChosenType());
    EXPECT_EQ(3, mixed.GetCurrentPanel().GetPanelKind());
    a->FromDialog(mixed);
    tire->FromDialog(mixed);
    EXPECT_EQ(150, a->GetType()->GetTypeId());
    EXPECT_EQ(320, tire->GetType()->GetTypeId());
    EXPECT_EQ(200.0f, a->GetWingsBinding()->wingWidth);
}

// A jump the dialog turns into another kind takes the kind; made winged, it
// gets the kind's wing width when the dialog has none.
TEST_F(JumpPropertiesDlg, ChosenTypeAndWingsApply)
{
    auto course = MakeCourse(1);
    auto made = JumpType(260).CreateNew(course.get(), CTransform(), nullptr);
    auto* jump = dynamic_cast<CJump*>(made.get());
    jump->GetWingsBinding()->wingWidth = 0.0f;
    CJumpPropertiesDlg dialog(course.get(), nullptr);
    jump->FillPropertiesDialog(dialog);
    dialog.MarkFilled();
    dialog.SetJumpType(&JumpType(357));
    dialog.GetWingsGroup().MergeWingWidth(0.0f);
    dialog.SetWinged(true);
    jump->FromDialog(dialog);
    EXPECT_EQ(357, jump->GetType()->GetTypeId());
    EXPECT_EQ(120.0f, jump->GetWingsBinding()->wingWidth);
    // A type the dialog cannot show is reported.
    EXPECT_EQ(1, CountReports([&] { dialog.SetJumpType(nullptr); }));
}
