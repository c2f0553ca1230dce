#include <gtest/gtest.h>

#include <memory>

#include "course/Course.h"
#include "course/SpecList.h"
#include "dialogs/CollapsedTunnelDlg.h"
#include "dialogs/TunnelPropertiesDlg.h"
#include "foundation/Settings.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"

namespace {

class TunnelDialogs : public testing::Test
{
protected:
    void SetUp() override
    {
        OpenTestSettingsKey();
        course = std::make_unique<CCourse>(L"Dialogs", L"");
        course->SetSpecList(1);
    }
    void TearDown() override { DeleteTestSettingsKey(); }

    std::unique_ptr<CCourse> course;
};

}  // namespace

TEST_F(TunnelDialogs, TunnelDefaultsComeFromTheStoredValuesOfTheOrganisation)
{
    CTunnelPropertiesDlg fresh(course.get());
    EXPECT_EQ(2, fresh.GetStyle());
    EXPECT_FALSE(fresh.IsStyleMixed());
    EXPECT_EQ(4, fresh.GetSections());
    EXPECT_EQ(0, fresh.GetAngle());
    EXPECT_EQ(course->GetSpecList().GetMeasure15(), fresh.GetLength());
    EXPECT_EQ(course->GetSpecList().GetMeasure16(), fresh.GetDiameter());
    EXPECT_EQ(L"340AKCStyle", fresh.GetValueName(L"Style"));

    CSettings::SetInt(L"340AKCStyle", 0);
    CSettings::SetInt(L"340AKCSections0", 3);
    CSettings::SetInt(L"340AKCAngle", 45);
    CSettings::SetInt(L"340AKCLen", 2400);
    CSettings::SetInt(L"340AKCDiam", 0);
    CTunnelPropertiesDlg stored(course.get());
    EXPECT_EQ(0, stored.GetStyle());
    EXPECT_EQ(3, stored.GetSections());
    EXPECT_EQ(45, stored.GetAngle());
    EXPECT_EQ(2400.0f, stored.GetLength());
    // A stored value the dialog could not have stored gives the default.
    EXPECT_EQ(240.0f, stored.GetDiameter());
    CSettings::SetInt(L"340AKCSections0", 99);
    EXPECT_EQ(2, CTunnelPropertiesDlg(course.get()).GetSections());

    // Another organisation keeps its own values.
    course->SetSpecList(13);
    CTunnelPropertiesDlg other(course.get());
    EXPECT_EQ(2, other.GetStyle());
    EXPECT_EQ(960.0f, other.GetLength());
    EXPECT_EQ(160.0f, other.GetDiameter());

    struct CCase
    {
        int style, sections;
    };
    for (const CCase& c : {CCase{0, 2}, CCase{1, 1}, CCase{2, 4}})
        EXPECT_EQ(c.sections, CTunnelPropertiesDlg::GetDefaultSections(c.style));
    EXPECT_EQ(1, CountReports([] { EXPECT_EQ(2, CTunnelPropertiesDlg::GetDefaultSections(3)); }));
}

TEST_F(TunnelDialogs, TunnelMergesMarkMixedValues)
{
    CTunnelPropertiesDlg dialog(course.get());
    dialog.MergeSections(5);
    dialog.MergeAngle(30);
    EXPECT_EQ(5, dialog.GetSections());
    EXPECT_EQ(30, dialog.GetAngle());
    dialog.MergeSections(5);
    dialog.MergeAngle(60);
    EXPECT_EQ(5, dialog.GetSections());
    EXPECT_FALSE(dialog.HasAngle());
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(-1, dialog.GetAngle()); }));
    dialog.MergeSections(2);
    EXPECT_FALSE(dialog.HasSections());
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(0, dialog.GetSections()); }));
}

TEST_F(TunnelDialogs, StoredDefaultsSkipMixedValues)
{
    CTunnelPropertiesDlg dialog(course.get());
    dialog.MergeSections(6);
    dialog.StoreDefaults(true);
    EXPECT_EQ(2, CSettings::GetInt(L"340AKCStyle", -1));
    EXPECT_EQ(0, CSettings::GetInt(L"340AKCAngle", -1));
    // No more sections than the style's default are kept.
    EXPECT_EQ(4, CSettings::GetInt(L"340AKCSections2", -1));
    EXPECT_EQ(1800, CSettings::GetInt(L"340AKCLen", -1));
    EXPECT_EQ(240, CSettings::GetInt(L"340AKCDiam", -1));

    course->SetSpecList(2);
    CTunnelPropertiesDlg mixed(course.get());
    mixed.MergeSections(3);
    mixed.MergeAngle(10);
    mixed.MergeAngle(20);
    // Two objects of different styles.
    mixed.AddEditedObject(nullptr, 0, CPartColorSet());
    mixed.MergeStyle(1);
    mixed.AddEditedObject(nullptr, 0, CPartColorSet());
    mixed.MergeStyle(0);
    ASSERT_TRUE(mixed.IsStyleMixed());
    mixed.StoreDefaults(true);
    for (const wchar_t* name : {L"340USDAAStyle", L"340USDAAAngle", L"340USDAASections0", L"340USDAASections1"})
        EXPECT_EQ(-1, CSettings::GetInt(name, -1)) << name;
    EXPECT_EQ(1800, CSettings::GetInt(L"340USDAALen", -1));
    // Sections the user did not set are not stored.
    CTunnelPropertiesDlg untouched(course.get());
    untouched.MergeSections(3);
    untouched.StoreDefaults(false);
    EXPECT_EQ(-1, CSettings::GetInt(L"340USDAASections2", -1));
}

TEST_F(TunnelDialogs, CollapsedTunnelLengthFromStoreOrOrganisation)
{
    course->SetSpecList(0);
    CCollapsedTunnelDlg fresh(course.get());
    float first = 0.0f;
    course->GetSpecList().GetCollapsedTunnelLength(0, first);
    EXPECT_EQ(first, fresh.GetLength());
    EXPECT_EQ(course->GetSpecList().GetCollapsedTunnelDiameter(), fresh.GetDiameter());
    CSettings::SetInt(L"50" + course->GetSpecList().GetName() + L"Len", 1500);
    CSettings::SetInt(L"50" + course->GetSpecList().GetName() + L"Diam", 300);
    CCollapsedTunnelDlg stored(course.get());
    EXPECT_EQ(1500.0f, stored.GetLength());
    // The diameter always starts at the organisation's.
    EXPECT_EQ(course->GetSpecList().GetCollapsedTunnelDiameter(), stored.GetDiameter());
    // An organisation without lengths and nothing stored: 1740.
    int organisation = 0;
    while (organisation < 16 && GetSpecList(organisation).GetCollapsedTunnelLengthCount() > 0)
        ++organisation;
    ASSERT_LT(organisation, 16);
    course->SetSpecList(organisation);
    EXPECT_EQ(1740.0f, CCollapsedTunnelDlg(course.get()).GetLength());

    course->SetSpecList(0);
    stored.MergeLength(1200.0f);
    stored.MergeDiameter(0.0f);
    stored.StoreDefaults();
    EXPECT_EQ(1200, CSettings::GetInt(L"50" + GetSpecList(0).GetName() + L"Len", -1));
    EXPECT_EQ(300, CSettings::GetInt(L"50" + GetSpecList(0).GetName() + L"Diam", -1));
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(0.0f, stored.GetDiameter()); }));
}
