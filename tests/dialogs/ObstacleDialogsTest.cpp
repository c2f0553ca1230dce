#include <gtest/gtest.h>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "dialogs/AFrameDlg.h"
#include "dialogs/CrossoverDlg.h"
#include "dialogs/EndLineDlg.h"
#include "dialogs/JumpPropertiesDlg.h"
#include "dialogs/SeeSawPropertiesDlg.h"
#include "dialogs/StraightLinePropertiesDlg.h"
#include "dialogs/UnusableAreaPropertiesDlg.h"
#include "dialogs/WeavePolesPropertiesDlg.h"
#include "foundation/Settings.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"

namespace {

class ObstacleDialogs : public testing::Test
{
protected:
    void SetUp() override
    {
        OpenTestSettingsKey();
        course.SetSpecList(1);
    }
    void TearDown() override { DeleteTestSettingsKey(); }

    CCourse course{L"Dialogs", L""};
};

}  // namespace

TEST_F(ObstacleDialogs, ValueNamesComposeTypeOrganisationAndKey)
{
    EXPECT_EQ(L"10AKCHeight", CAFrameDlg(&course).GetValueName(L"Height", true));
    EXPECT_EQ(L"100AKCPlankLen", CDogWalkDlg(&course).GetValueName(L"PlankLen", true));
    EXPECT_EQ(L"70WhichPlanks", CCrossoverDlg(&course).GetValueName(L"WhichPlanks", false));
    EXPECT_EQ(L"250Flat", CSeeSawPropertiesDlg(nullptr).GetValueName(L"Flat", true));
    // A name of no kind has no settings of its own.
    CObjectPropertiesDlg nameless(&course, 2001);
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(L"AKCKey", nameless.GetValueName(L"Key")); }));
}

TEST_F(ObstacleDialogs, StoredDefaultsAndTheirFallbacks)
{
    CCrossoverDlg crossover(&course);
    EXPECT_EQ(1080.0f, crossover.GetPlankLength());
    EXPECT_EQ(430.0f, crossover.GetHeight());
    EXPECT_EQ(303.0f, crossover.GetPlatformWidth());
    EXPECT_EQ(0, crossover.GetWhichPlanks());
    CSeeSawPropertiesDlg seeSaw(&course);
    EXPECT_EQ(1440.0f, seeSaw.GetPlankLength());
    EXPECT_EQ(ECheckState::kClear, seeSaw.GetFlat());
    // Without a course the weave poles take the rules of no organisation.
    CWeavePolesPropertiesDlg loose(nullptr);
    EXPECT_EQ(GetSpecList(0).GetWeavePoleCount(), loose.GetPoles());
    EXPECT_EQ(0.0f, loose.GetChannel());
    EXPECT_EQ(ECheckState::kClear, loose.GetBoolOption());

    CSettings::SetInt(L"370AKCChannel", -3);
    CSettings::SetInt(L"370AKCSpacing", 210);
    CWeavePolesPropertiesDlg stored(&course);
    EXPECT_EQ(210.0f, stored.GetSpacing());
    // A stored channel below 0 is none.
    EXPECT_FALSE(stored.HasChannel());
}

TEST_F(ObstacleDialogs, MixedValuesAreReportedWhenAskedFor)
{
    CWeavePolesPropertiesDlg weave(&course);
    CSeeSawPropertiesDlg seeSaw(&course);
    CCrossoverDlg crossover(&course);
    for (int object = 0; object < 2; ++object) {
        for (CObjectPropertiesDlg* dialog : std::initializer_list<CObjectPropertiesDlg*>{&weave, &seeSaw, &crossover})
            dialog->AddEditedObject(nullptr, 0, CPartColorSet());
        weave.MergePoles(10 + object);
        weave.MergeChannel(0.0f);
        weave.MergeBoolOption(object == 0);
        seeSaw.MergePlankLength(1440.0f);
        seeSaw.MergeFlat(false);
        crossover.MergeHeight(400.0f + float(object));
        crossover.MergeWhichPlanks(object);
    }
    EXPECT_FALSE(weave.HasPoles());
    EXPECT_TRUE(weave.HasChannel());
    EXPECT_EQ(ECheckState::kMixed, weave.GetBoolOption());
    EXPECT_TRUE(seeSaw.HasPlankLength());
    EXPECT_EQ(ECheckState::kClear, seeSaw.GetFlat());
    EXPECT_FALSE(crossover.HasHeight());
    EXPECT_FALSE(crossover.HasWhichPlanks());
    EXPECT_EQ(3, CountReports([&] {
        weave.GetPoles();
        crossover.GetHeight();
        crossover.GetWhichPlanks();
    }));
    EXPECT_EQ(0, CountReports([&] { weave.GetChannel(); }));
}

TEST_F(ObstacleDialogs, StraightLineChoicesStoreAndMerge)
{
    // Values out of range in the settings give the defaults; the names are
    // the kind's alone, the unit kind's shared with the path dialogs.
    CSettings::SetInt(L"270Pen", 7);
    CSettings::SetInt(L"270ArrowHeads", 2);
    CSettings::SetInt(L"270UsUnits", 9);
    CStraightLinePropertiesDlg stored(&course);
    EXPECT_EQ(1, stored.GetPen());
    EXPECT_EQ(2, stored.GetArrowHeads());
    EXPECT_FALSE(stored.GetShowLength());
    EXPECT_EQ(3, stored.GetUnits());
    EXPECT_EQ(L"270UsUnits", CStraightLinePropertiesDlg::GetUsUnitsSettingName(stored));

    // A third line like the first stays mixed; only what is not mixed is
    // stored, and asking for a mixed value is reported.
    const int pens[] = {0, 2, 0};
    for (int pen : pens) {
        stored.AddEditedObject(nullptr, 0, CPartColorSet());
        stored.MergePen(pen);
        stored.MergeArrowHeads(1);
        stored.MergeShowLength(pen == 2);
        stored.MergeUnits(pen + 3);
    }
    EXPECT_FALSE(stored.HasPen());
    EXPECT_FALSE(stored.HasShowLength());
    EXPECT_FALSE(stored.HasUnits());
    EXPECT_EQ(3, CountReports([&] {
        EXPECT_EQ(CStraightLinePropertiesDlg::kMixedChoice, stored.GetPen());
        stored.GetShowLength();
        stored.GetUnits();
    }));
    stored.StoreDefaults();
    EXPECT_EQ(1, CSettings::GetInt(L"270ArrowHeads", 0));
    EXPECT_EQ(7, CSettings::GetInt(L"270Pen", 0));
    EXPECT_FALSE(HasTestSettingsValue(L"270ShowLength"));
}

TEST_F(ObstacleDialogs, EachKindMakesItsOwnDialogAndTheRestThePlainOneOfTheirGroup)
{
    const auto dialogOf = [&](int typeId) {
        return FindObjectTypeById(typeId)->CreatePropertiesDialog(&course, CObjectType::kUnnamed);
    };
    EXPECT_NE(nullptr, dynamic_cast<CDogWalkDlg*>(dialogOf(100).get()));
    EXPECT_NE(nullptr, dynamic_cast<CCrossoverDlg*>(dialogOf(70).get()));
    EXPECT_NE(nullptr, dynamic_cast<CJumpPropertiesDlg*>(dialogOf(330).get()));
    EXPECT_NE(nullptr, dynamic_cast<CStraightLinePropertiesDlg*>(dialogOf(270).get()));
    // The gate has no dialog of its own: the plain one, titled by its name.
    const std::unique_ptr<CEditSession> gate = dialogOf(113);
    ASSERT_TRUE(gate);
    EXPECT_EQ(typeid(CObjectPropertiesDlg), typeid(*gate));
    EXPECT_EQ(2546, static_cast<const CObjectPropertiesDlg&>(*gate).GetNameTextId());
    EXPECT_EQ(&course, static_cast<const CObjectPropertiesDlg&>(*gate).GetCourse());
}

TEST_F(ObstacleDialogs, EndLineDialogProposesTheLineTheCourseLacks)
{
    // Until the user chooses otherwise, new lines start and finish.
    EXPECT_EQ(1, CEndLineDlg(&course).GetStartAndFinish());
    CSettings::SetInt(L"110StartAndFinish", 0);
    EXPECT_EQ(0, CEndLineDlg(&course).GetStartAndFinish());
    // Each line added (start 0, both 1, finish 2) and the kind then proposed.
    const struct
    {
        int added;
        int proposed;
    } steps[] = {{0, 2}, {2, 0}, {0, 2}, {1, 2}, {1, 2}, {1, 1}};
    for (const auto& step : steps) {
        CEndLineDlg chosen(&course);
        chosen.SetStartAndFinish(step.added);
        course.AddObject(FindObjectTypeById(110)->CreateNew(&course, CTransform(), &chosen));
        EXPECT_EQ(step.proposed, CEndLineDlg(&course).GetStartAndFinish()) << step.added;
    }
    // The combined line chosen is stored; a mixed choice stores nothing.
    CEndLineDlg mixed(&course);
    for (int kind : {1, 2}) {
        mixed.AddEditedObject(nullptr, 0, CPartColorSet());
        mixed.MergeStartAndFinish(kind);
    }
    EXPECT_TRUE(mixed.IsKindMixed());
    EXPECT_EQ(1, CountReports([&] { mixed.GetStartAndFinish(); }));
    mixed.StoreDefaults();
    EXPECT_EQ(0, CSettings::GetInt(L"110StartAndFinish", -1));
    mixed.SetStartAndFinish(1);
    mixed.StoreDefaults();
    EXPECT_EQ(1, CSettings::GetInt(L"110StartAndFinish", -1));
    EXPECT_EQ(1, CountReports([&] { mixed.SetStartAndFinish(5); }));
    EXPECT_EQ(1, mixed.GetStartAndFinish());
}

TEST_F(ObstacleDialogs, UnusableAreaDialogKeepsTheRoundingWithinItsRange)
{
    EXPECT_EQ(0, CUnusableAreaPropertiesDlg(&course).GetPercentRounded());
    CSettings::SetInt(L"350PercentRounded", 250);
    EXPECT_EQ(100, CUnusableAreaPropertiesDlg(&course).GetPercentRounded());
    // Areas of 0 and 30 percent: mixed, and nothing is stored.
    CUnusableAreaPropertiesDlg dialog(&course);
    for (int percent : {0, 30}) {
        dialog.AddEditedObject(nullptr, 0, CPartColorSet());
        dialog.MergePercentRounded(percent);
    }
    EXPECT_FALSE(dialog.HasPercentRounded());
    EXPECT_EQ(1, CountReports([&] { dialog.GetPercentRounded(); }));
    dialog.StoreDefaults();
    EXPECT_EQ(250, CSettings::GetInt(L"350PercentRounded", -1));
    dialog.SetPercentRounded(-20);
    dialog.StoreDefaults();
    EXPECT_EQ(0, CSettings::GetInt(L"350PercentRounded", -1));
}
