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

TEST_F(TunnelDialogs, TunnelDefaultsAreStoredPerOrganisation)
{
    CTunnelPropertiesDlg fresh(course.get());
    EXPECT_EQ(2, fresh.GetStyle());
    EXPECT_EQ(4, fresh.GetSections());
    EXPECT_EQ(0, fresh.GetAngle());
    EXPECT_EQ(1800.0f, fresh.GetLength());
    EXPECT_EQ(240.0f, fresh.GetDiameter());

    for (const auto& value : {std::make_pair(L"340AKCStyle", 0), std::make_pair(L"340AKCSections0", 3),
                              std::make_pair(L"340AKCAngle", 45), std::make_pair(L"340AKCLen", 2400),
                              std::make_pair(L"340AKCDiam", 0)})
        CSettings::SetInt(value.first, value.second);
    CTunnelPropertiesDlg stored(course.get());
    EXPECT_EQ(0, stored.GetStyle());
    EXPECT_EQ(3, stored.GetSections());
    EXPECT_EQ(45, stored.GetAngle());
    EXPECT_EQ(2400.0f, stored.GetLength());
    // A value the dialog could not have stored gives the default.
    EXPECT_EQ(240.0f, stored.GetDiameter());
    CSettings::SetInt(L"340AKCSections0", 99);
    EXPECT_EQ(2, CTunnelPropertiesDlg(course.get()).GetSections());
    // A damaged style is no fault of the program: the default style with
    // its stored sections, written back as it; an angle beyond the largest
    // bend is 0.
    CSettings::SetInt(L"340AKCSections2", 3);
    CSettings::SetInt(L"340AKCAngle", 400);
    for (int damaged : {-1, 3, 7}) {
        CSettings::SetInt(L"340AKCStyle", damaged);
        EXPECT_EQ(0, CountReports([&] {
                      CTunnelPropertiesDlg dialog(course.get());
                      EXPECT_EQ(2, dialog.GetStyle()) << damaged;
                      EXPECT_EQ(3, dialog.GetSections()) << damaged;
                      EXPECT_EQ(0, dialog.GetAngle()) << damaged;
                      dialog.StoreDefaults(false);
                  }));
        EXPECT_EQ(2, CSettings::GetInt(L"340AKCStyle", -1));
    }
    // Another organisation has its own values and standard sizes.
    course->SetSpecList(13);
    CTunnelPropertiesDlg other(course.get());
    EXPECT_EQ(2, other.GetStyle());
    EXPECT_EQ(960.0f, other.GetLength());
    EXPECT_EQ(160.0f, other.GetDiameter());
    EXPECT_EQ(1, CountReports([] { EXPECT_EQ(2, CTunnelPropertiesDlg::GetDefaultSections(3)); }));
}

TEST_F(TunnelDialogs, TunnelMergesAndStoresOnlyWhatIsNotMixed)
{
    CTunnelPropertiesDlg dialog(course.get());
    dialog.MergeSections(6);
    dialog.MergeAngle(30);
    dialog.MergeSections(6);
    dialog.MergeAngle(60);
    EXPECT_EQ(6, dialog.GetSections());
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(-1, dialog.GetAngle()); }));
    dialog.StoreDefaults(true);
    EXPECT_EQ(2, CSettings::GetInt(L"340AKCStyle", -1));
    EXPECT_EQ(-1, CSettings::GetInt(L"340AKCAngle", -1));
    // No more sections than the style's default are kept.
    EXPECT_EQ(4, CSettings::GetInt(L"340AKCSections2", -1));
    EXPECT_EQ(1800, CSettings::GetInt(L"340AKCLen", -1));

    // Two objects of different styles: neither the style nor a count.
    course->SetSpecList(2);
    CTunnelPropertiesDlg mixed(course.get());
    for (int style : {1, 0}) {
        mixed.AddEditedObject(nullptr, 0, CPartColorSet());
        mixed.MergeStyle(style);
    }
    mixed.MergeSections(2);
    mixed.MergeSections(3);
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(0, mixed.GetSections()); }));
    mixed.StoreDefaults(true);
    for (const wchar_t* name : {L"340USDAAStyle", L"340USDAASections0", L"340USDAASections1"})
        EXPECT_EQ(-1, CSettings::GetInt(name, -1)) << name;
    // Sections the user did not set are not stored.
    CTunnelPropertiesDlg untouched(course.get());
    untouched.StoreDefaults(false);
    EXPECT_EQ(-1, CSettings::GetInt(L"340USDAASections2", -1));
}

TEST_F(TunnelDialogs, CollapsedTunnelLengthFromStoreOrOrganisation)
{
    course->SetSpecList(0);
    const std::wstring prefix = L"50" + course->GetSpecList().GetName();
    float first = 0.0f;
    course->GetSpecList().GetCollapsedTunnelLength(0, first);
    EXPECT_EQ(first, CCollapsedTunnelDlg(course.get()).GetLength());
    CSettings::SetInt(prefix + L"Len", 1500);
    CSettings::SetInt(prefix + L"Diam", 300);
    CCollapsedTunnelDlg stored(course.get());
    EXPECT_EQ(1500.0f, stored.GetLength());
    // The diameter always starts at the organisation's.
    EXPECT_EQ(course->GetSpecList().GetCollapsedTunnelDiameter(), stored.GetDiameter());
    stored.MergeLength(1200.0f);
    stored.MergeDiameter(0.0f);
    stored.StoreDefaults();
    EXPECT_EQ(1200, CSettings::GetInt(prefix + L"Len", -1));
    EXPECT_EQ(300, CSettings::GetInt(prefix + L"Diam", -1));
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(0.0f, stored.GetDiameter()); }));

    // An organisation without lengths and nothing stored: 1740.
    int organisation = 0;
    while (organisation < 16 && GetSpecList(organisation).GetCollapsedTunnelLengthCount() > 0)
        ++organisation;
    ASSERT_LT(organisation, 16);
    course->SetSpecList(organisation);
    EXPECT_EQ(1740.0f, CCollapsedTunnelDlg(course.get()).GetLength());
}
