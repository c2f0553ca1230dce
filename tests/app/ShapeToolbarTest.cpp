#include <gtest/gtest.h>

#include <vector>

#include "app/ShapeToolbar.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "foundation/CrashLog.h"
#include "graphics/GdiplusSession.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"

namespace {

constexpr int kAFrame = 2526;
constexpr int kSeeSaw = 2584;
// Organisation 9 does not admit the A-frame.
constexpr int kWithoutAFrame = 9;

class ShapeToolbar : public testing::Test
{
protected:
    void SetUp() override
    {
        reportsBefore = ReportCount();
        OpenCourseTestSettings();
        toolbar = std::make_unique<CShapeToolbar>();
        toolbar->onToolChanged =
            CMemberDelegate<CShapeToolbar*, ShapeToolbar>::Make(this, &ShapeToolbar::OnToolChanged);
    }
    void TearDown() override
    {
        toolbar.reset();
        DeleteTestSettingsKey();
    }

    void OnToolChanged(CShapeToolbar* changed)
    {
        EXPECT_EQ(toolbar.get(), changed);
        told.push_back(changed->GetCurrentTool());
    }

    CToolbarItem& Item(int id) { return *toolbar->FindItem(id); }

    // Loads the pictures through GDI+, as the program does.
    CGdiplusSession gdiplus;
    std::unique_ptr<CShapeToolbar> toolbar;
    std::vector<int> told;
    // Failure reports of this process before the test.
    int reportsBefore = 0;
};

}  // namespace

TEST_F(ShapeToolbar, TheLockThenEveryKindInOrderEachWithItsPicture)
{
    ASSERT_FALSE(toolbar->items.empty());
    EXPECT_EQ(CShapeToolbar::kLockId, toolbar->items[0]->id);
    EXPECT_EQ(CShapeToolbar::kLockId + 1, toolbar->items[0]->helpTextId);
    std::vector<int> ids;
    int separators = 0;
    for (size_t i = 1; i < toolbar->items.size(); ++i) {
        const CToolbarItem* item = toolbar->items[i];
        if (!item) {
            ++separators;
            continue;
        }
        ids.push_back(item->id);
        EXPECT_EQ(item->id + 1, item->helpTextId);
        EXPECT_NE(nullptr, item->icon) << item->id;
        EXPECT_EQ(0, item->shortcutKind);
    }
    EXPECT_NE(nullptr, toolbar->items[0]->icon);
    EXPECT_EQ(std::vector<int>(CShapeToolbar::kShapeIds, CShapeToolbar::kShapeIds + CShapeToolbar::kShapeCount), ids);
    EXPECT_EQ(11, separators);
    EXPECT_EQ(5, toolbar->rowLength);
    EXPECT_EQ(0, toolbar->rowExtra);
    EXPECT_EQ(CShapeToolbar::kNoTool, toolbar->GetCurrentTool());
    EXPECT_EQ(reportsBefore, ReportCount());
}

TEST_F(ShapeToolbar, OnlyAdmittedKindsAreShownInTheOrganisationsWords)
{
    for (int organisation = 0; organisation < kOrganisationCount; ++organisation) {
        const CSpecList& rules = GetSpecList(organisation);
        toolbar->SetSpecList(rules);
        for (int i = 0; i < CShapeToolbar::kShapeCount; ++i) {
            const int id = CShapeToolbar::kShapeIds[i];
            EXPECT_EQ(rules.IsTypeNameAllowed(id), Item(id).visible) << organisation << " " << id;
        }
        EXPECT_EQ(organisation != kWithoutAFrame, Item(kAFrame).visible) << organisation;
        if (Item(kAFrame).visible) {
            EXPECT_EQ(rules.GetTerm(kAFrame), Item(kAFrame).GetText());
        }
        // Kinds whose types are not registered are never offered.
        for (int i = 0; i < CShapeToolbar::kShapeCount; ++i) {
            const int id = CShapeToolbar::kShapeIds[i];
            if (FindObjectTypeByNameId(id) == nullptr) {
                EXPECT_FALSE(Item(id).visible) << id;
            }
        }
        EXPECT_TRUE(Item(CShapeToolbar::kLockId).visible);
    }
}

TEST_F(ShapeToolbar, ChoosingTheChosenKindAgainClearsTheTool)
{
    toolbar->OnButton(kAFrame);
    EXPECT_EQ(kAFrame, toolbar->GetCurrentTool());
    EXPECT_TRUE(Item(kAFrame).checked);
    toolbar->OnButton(kAFrame);
    EXPECT_EQ(CShapeToolbar::kNoTool, toolbar->GetCurrentTool());
    EXPECT_FALSE(Item(kAFrame).checked);
    EXPECT_EQ((std::vector<int>{kAFrame, CShapeToolbar::kNoTool}), told);
}

TEST_F(ShapeToolbar, TheLockStaysForTheFirstKindAndGoesWhenTheKindChanges)
{
    toolbar->OnLockButton(CShapeToolbar::kLockId);
    EXPECT_TRUE(toolbar->IsLocked());
    EXPECT_TRUE(told.empty());
    toolbar->OnButton(kAFrame);
    EXPECT_TRUE(toolbar->IsLocked());
    toolbar->OnButton(kSeeSaw);
    EXPECT_FALSE(toolbar->IsLocked());
    EXPECT_EQ(kSeeSaw, toolbar->GetCurrentTool());
    EXPECT_FALSE(Item(kAFrame).checked);
    EXPECT_TRUE(Item(kSeeSaw).checked);
}

TEST_F(ShapeToolbar, TheLockAgainClearsLockAndTool)
{
    toolbar->OnButton(kAFrame);
    toolbar->OnLockButton(CShapeToolbar::kLockId);
    told.clear();
    toolbar->OnLockButton(CShapeToolbar::kLockId);
    EXPECT_FALSE(toolbar->IsLocked());
    EXPECT_EQ(CShapeToolbar::kNoTool, toolbar->GetCurrentTool());
    EXPECT_FALSE(Item(kAFrame).checked);
    EXPECT_EQ(std::vector<int>{CShapeToolbar::kNoTool}, told);
}

TEST_F(ShapeToolbar, SelectNoneTellsNobody)
{
    toolbar->OnButton(kAFrame);
    toolbar->OnLockButton(CShapeToolbar::kLockId);
    told.clear();
    toolbar->SelectNone();
    EXPECT_EQ(CShapeToolbar::kNoTool, toolbar->GetCurrentTool());
    EXPECT_FALSE(toolbar->IsLocked());
    EXPECT_TRUE(told.empty());
}

TEST_F(ShapeToolbar, ChangingTheOrganisationClearsTheToolAndHidesWhatItDoesNotAdmit)
{
    toolbar->OnButton(kAFrame);
    toolbar->OnLockButton(CShapeToolbar::kLockId);
    toolbar->SetSpecList(GetSpecList(kWithoutAFrame));
    EXPECT_EQ(CShapeToolbar::kNoTool, toolbar->GetCurrentTool());
    EXPECT_FALSE(toolbar->IsLocked());
    EXPECT_FALSE(Item(kAFrame).visible);
    EXPECT_FALSE(Item(kAFrame).checked);
    EXPECT_EQ(&GetSpecList(kWithoutAFrame), &toolbar->GetSpecList());
}
