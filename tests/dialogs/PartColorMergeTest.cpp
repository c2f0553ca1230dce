#include <gtest/gtest.h>

#include "course/ObjectType.h"
#include "dialogs/PartColorMerge.h"
#include "dialogs/PropertiesSession.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"

namespace {

CPartColorSet Primary(int index)
{
    CPartColorSet colors;
    colors.SetColorIndex(CPartColorSet::kPrimaryPart, index);
    return colors;
}

class PartColorMerge : public testing::Test
{
protected:
    CTestSettingsKey settings;
    const CObjectType* aFrame = FindObjectTypeById(10);
    const CObjectType* dogWalk = FindObjectTypeById(100);
};

}  // namespace

TEST_F(PartColorMerge, ObjectsThatDisagreeOfferThePartWithEveryColour)
{
    CPartColorMerge merge;
    merge.Add(aFrame, 0, Primary(5));
    merge.Add(aFrame, 1, Primary(9));
    merge.Add(aFrame, 1, Primary(5));
    ASSERT_EQ(1, merge.GetEditableCount());
    EXPECT_EQ(CPartColorSet::kPrimaryPart, merge.GetPart(0));
    EXPECT_EQ(2, merge.GetColorCount(0));
    EXPECT_EQ(9, merge.GetColor(0, 1));
    // The variants differ: none previewed, unless set.
    EXPECT_EQ(0, merge.GetVariant());
    merge.SetVariantOverride(1);
    EXPECT_EQ(1, merge.GetVariant());

    // A picked colour, taken back, then kept.
    merge.SetPartColor(0, 40);
    EXPECT_EQ(1, merge.GetColorCount(0));
    EXPECT_EQ(40, merge.GetEditedColors().GetColorIndex(CPartColorSet::kPrimaryPart));
    merge.Revert();
    EXPECT_EQ(2, merge.GetColorCount(0));
    EXPECT_EQ(5, merge.GetEditedColors().GetColorIndex(CPartColorSet::kPrimaryPart));
    merge.SetPartColor(0, 40);
    merge.Commit();
    EXPECT_EQ(1, merge.GetColorCount(0));
    EXPECT_EQ(40, merge.GetColor(0, 0));

    // One kind only: its default follows.
    merge.SaveAsTypeDefault();
    CPartColorSet stored = aFrame->GetPartColors();
    stored.LoadFromSettings(L"10");
    EXPECT_EQ(40, stored.GetColorIndex(CPartColorSet::kPrimaryPart));
    EXPECT_EQ(1, CountReports([&] { merge.GetColor(3, 0); }));
}

TEST_F(PartColorMerge, SeveralKindsStoreNoDefaultAndClearForgetsAll)
{
    CPartColorMerge merge;
    merge.Add(aFrame, 0, Primary(5));
    merge.Add(dogWalk, 0, Primary(5));
    EXPECT_EQ(1, merge.GetColorCount(0));
    merge.SetPartColor(0, 33);
    merge.SaveAsTypeDefault();
    EXPECT_FALSE(HasTestSettingsValue(L"10Color"));
    EXPECT_FALSE(HasTestSettingsValue(L"100Color"));
    merge.Clear();
    EXPECT_EQ(0, merge.GetEditableCount());
    EXPECT_EQ(nullptr, merge.GetCurrentType());
    EXPECT_EQ(0, merge.GetMergedCount());
}

TEST_F(PartColorMerge, ASessionGivesTheKindsColoursUntilAnObjectIsEdited)
{
    CPartColorSet stored = aFrame->GetPartColors();
    stored.SetColorIndex(CPartColorSet::kPrimaryPart, 77);
    stored.SaveToSettings(L"10");
    CSessionColors colors;
    colors.SetType(aFrame, true);
    EXPECT_EQ(77, colors.GetEdited().GetColorIndex(CPartColorSet::kPrimaryPart));
    colors.Add(aFrame, 0, Primary(12));
    EXPECT_EQ(12, colors.GetEdited().GetColorIndex(CPartColorSet::kPrimaryPart));
    colors.SetType(nullptr, true);
    EXPECT_EQ(12, colors.GetEdited().GetColorIndex(CPartColorSet::kPrimaryPart));
}
