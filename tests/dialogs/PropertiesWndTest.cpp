#include <gtest/gtest.h>

#include "course/CourseObject.h"
#include "course/SpecList.h"
#include "dialogs/ObjectPropertiesDlg.h"
#include "dialogs/PropertiesSession.h"
#include "dialogs/PropertiesWnd.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "tests/dialogs/PropertiesWndTest.h"

namespace {

constexpr int kGate = 113;
constexpr int kAFrameName = 2526;
using CPlainSession = CPropertiesSession<CObjectPropertiesDlg, CPropertiesWnd>;

class PropertiesWnd : public CPropertiesWndTest
{
protected:
    void SetUp() override
    {
        CPropertiesWndTest::SetUp();
        CTransform at;
        at.SetPosition2D(3000.0f, 3000.0f);
        std::unique_ptr<CCourseObject> made = FindObjectTypeById(kGate)->CreateNew(&course, at, nullptr);
        made->SetSelected(true);
        course.AddObject(std::move(made));
        course.CommitUndoStep(L"Placed");
    }
};

}  // namespace

TEST_F(PropertiesWnd, WithoutContentItShowsColoursAndTheBoxAndOKAppliesOneStep)
{
    auto session = std::make_unique<CPlainSession>(&course, FindObjectTypeById(kGate)->GetNameTextId());
    for (CCourseObject* object : course.GetObjects())
        object->FillPropertiesDialog(*session);
    const std::wstring kind = course.GetSpecList().GetTerm(FindObjectTypeById(kGate)->GetNameTextId());
    std::wstring title;
    bool colorsEnabled = false, boxChecked = true;
    ASSERT_TRUE(RunModalDriven([&] { EXPECT_TRUE(session->DoModal()); }, [&](HWND window) {
        title = GetWindowTextString(window);
        colorsEnabled = IsWindowEnabled(FindChildByCaption(window, GetString(2236))) != 0;
        const HWND box = FindChildByCaption(window, GetStringWithArg(2230, kind));
        boxChecked = IsButtonChecked(box);
        ClickControl(box);
        PressDialogButton(window, IDOK);
    }));
    EXPECT_EQ(GetStringWithArg(2229, kind), title);
    EXPECT_TRUE(colorsEnabled);
    EXPECT_FALSE(boxChecked);
    EXPECT_EQ(1, CSettings::GetInt(L"113EditOnCreate", 0));
    EXPECT_NE(L"Placed", course.GetUndoLabel());
    ASSERT_TRUE(course.Undo());
    EXPECT_EQ(L"Placed", course.GetUndoLabel());
}

TEST_F(PropertiesWnd, CancellingTheSelectionsDialogLeavesThePlacingToolAlone)
{
    course.SelectToolType(kAFrameName);
    const CEditSession* tool = course.GetPropertiesDialog();
    auto session = std::make_unique<CPlainSession>(&course, FindObjectTypeById(kGate)->GetNameTextId());
    ASSERT_TRUE(RunModalDriven([&] { EXPECT_FALSE(session->DoModal()); },
                               [](HWND window) { PressDialogButton(window, IDCANCEL); }));
    EXPECT_EQ(tool, course.GetPropertiesDialog());
    EXPECT_EQ(FindObjectTypeById(10), course.GetToolType());
    EXPECT_EQ(L"Placed", course.GetUndoLabel());
}
