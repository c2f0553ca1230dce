#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "dialogs/SeeSawPropertiesDlg.h"
#include "dialogs/WeavePolesPropertiesDlg.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/equipment/SeeSaw.h"
#include "objects/equipment/WeavePoles.h"
#include "tests/dialogs/PropertiesWndTest.h"

namespace {

constexpr int kFlatText = 2456, kGuidesText = 2525, kOutOfRangeText = 2688;

ECheckState Check(bool set) { return set ? ECheckState::kSet : ECheckState::kClear; }
LRESULT GetCheck(HWND window, int textId) { return SendMessageW(FindChildByCaption(window, GetString(textId)), BM_GETCHECK, 0, 0); }
// The radio buttons' checks, then whether the length entry is enabled.
std::vector<bool> Seen(HWND window)
{
    std::vector<bool> seen;
    for (HWND radio : FindRadioButtons(window))
        seen.push_back(IsButtonChecked(radio));
    seen.push_back(IsWindowEnabled(FindEditControls(window)[0]) != 0);
    return seen;
}

class SeeSawAndWeavePolesDialogs : public CPropertiesWndTest
{
protected:
    CSeeSaw* PlaceSeeSaw(float x, float length, bool flat)
    {
        return Place<CSeeSaw, CSeeSawPropertiesDlg>(
            x, [&](CSeeSawPropertiesDlg& half) { half.SetPlankLength(length), half.SetFlat(Check(flat)); });
    }
    CWeavePoles* PlaceWeavePoles(float x, int poles, bool guides)
    {
        return Place<CWeavePoles, CWeavePolesPropertiesDlg>(
            x, [&](CWeavePolesPropertiesDlg& half) { half.SetPoles(poles), half.SetChannel(0.0f), half.SetBoolOption(Check(guides)); });
    }
};

}  // namespace

TEST_F(SeeSawAndWeavePolesDialogs, ASeeSawOnTheStandardPlankTakesAnOtherLengthOnlyInRange)
{
    CSeeSaw* seeSaw = PlaceSeeSaw(2000.0f, 1440.0f, false);
    std::vector<bool> seen;
    std::vector<std::wstring> refused;
    ASSERT_TRUE(EditSelection([&](HWND window) {
        seen = Seen(window);
        const HWND edit = FindEditControls(window)[0];
        ClickControl(FindRadioButtons(window)[1]);
        TypeIntoEdit(edit, L"20 ft");
        PressDialogButton(window, IDOK);
        refused = WaitForAnsweredTexts();
        TypeIntoEdit(edit, L"14");
        PressDialogButton(window, IDOK);
    }));
    EXPECT_EQ((std::vector<bool>{true, false, false}), seen);
    EXPECT_EQ(std::vector<std::wstring>{GetStringWith2Args(kOutOfRangeText, L"6 ft", L"16 ft")}, refused);
    EXPECT_EQ(1680.0f, seeSaw->GetPlankLength());
    EXPECT_EQ(std::make_pair(1680, 0), std::make_pair(CSettings::GetInt(L"250AKCPlankLen", 0), CSettings::GetInt(L"250AKCFlat", -1)));
}

TEST_F(SeeSawAndWeavePolesDialogs, SeeSawsThatDifferKeepTheirPlanksAndFlagsUntilTheBoxIsClicked)
{
    using S = CSeeSaw::EStyle;
    const struct { int storedFlat; bool click; LRESULT shown; S first, second; } cases[] = {
        {-1, false, BST_INDETERMINATE, S::kFlat, S::kTipped},   // -1: none stored; a click shows the stored flag
        {-1, true, BST_UNCHECKED, S::kTipped, S::kTipped},
        {1, true, BST_CHECKED, S::kFlat, S::kFlat},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.storedFlat << c.click);
        OpenCourseTestSettings();
        if (c.storedFlat >= 0)
            CSettings::SetInt(L"250AKCFlat", c.storedFlat);
        course.DeleteSelected();
        CSeeSaw* first = PlaceSeeSaw(2000.0f, 1440.0f, true);
        CSeeSaw* second = PlaceSeeSaw(5000.0f, 1200.0f, false);
        std::vector<bool> seen;
        LRESULT shown = -1;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            seen = Seen(window);
            if (c.click)
                ClickControl(FindChildByCaption(window, GetString(kFlatText)));
            shown = GetCheck(window, kFlatText);
            PressDialogButton(window, IDOK);
        }));
        EXPECT_EQ((std::vector<bool>{false, false, false}), seen);
        EXPECT_EQ(c.shown, shown);
        EXPECT_EQ(std::make_pair(1440.0f, c.first), std::make_pair(first->GetPlankLength(), first->GetStyle()));
        EXPECT_EQ(std::make_pair(1200.0f, c.second), std::make_pair(second->GetPlankLength(), second->GetStyle()));
        EXPECT_FALSE(HasTestSettingsValue(L"250AKCPlankLen"));
        EXPECT_EQ(c.click || c.storedFlat >= 0, HasTestSettingsValue(L"250AKCFlat"));
    }
}

TEST_F(SeeSawAndWeavePolesDialogs, WeavePolesThatDifferKeepTheirCountsAndGuidesUnlessChanged)
{
    // mixed: a second set of 6 poles without guides; typed: poles (null: left); stored: poles, 0 for none.
    const struct { bool mixed; const wchar_t* typed; std::wstring shown; LRESULT guides; int first, second, stored; } cases[] = {
        {false, nullptr, L"12", BST_CHECKED, 12, 12, 12},
        {true, nullptr, L"", BST_INDETERMINATE, 12, 6, 0},
        {true, L"10", L"", BST_INDETERMINATE, 10, 10, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mixed << (c.typed != nullptr));
        OpenCourseTestSettings();
        course.DeleteSelected();
        CWeavePoles* first = PlaceWeavePoles(2000.0f, 12, true);
        CWeavePoles* second = c.mixed ? PlaceWeavePoles(6000.0f, 6, false) : first;
        std::vector<std::wstring> entries;
        LRESULT guides = -1;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            for (HWND edit : FindEditControls(window))
                entries.push_back(GetCaptionText(edit));
            guides = GetCheck(window, kGuidesText);
            if (c.typed)
                TypeIntoEdit(FindEditControls(window)[0], c.typed);
            PressDialogButton(window, IDOK);
        }));
        EXPECT_EQ((std::vector<std::wstring>{c.shown, L"24 in", L"0 in"}), entries);
        EXPECT_EQ(c.guides, guides);
        EXPECT_EQ(std::make_pair(c.first, c.second), std::make_pair(first->GetPoleCount(), second->GetPoleCount()));
        EXPECT_EQ(c.stored != 0, HasTestSettingsValue(L"370AKCPoles"));
        EXPECT_EQ(c.stored, CSettings::GetInt(L"370AKCPoles", 0));
        EXPECT_EQ(0, CSettings::GetInt(L"370AKCChannel", -1));   // a channel of 0 is a width
        EXPECT_EQ(std::make_pair(true, !c.mixed), std::make_pair(first->HasGuides(), second->HasGuides()));
    }
}

TEST_F(SeeSawAndWeavePolesDialogs, PlacingWeavePolesOpensTheirDialogAndPlacesWhatItSays)
{
    EXPECT_TRUE(FindObjectTypeById(CWeavePoles::kTypeId)->IsEditOnCreate());
    CSettings::SetInt(L"370AKCChannel", 40);
    // Cancel: back to selecting. OK: the typed values, a channel of 0 among them; nothing placed either way.
    for (const bool ok : {false, true}) {
        course.SelectToolType(2610);
        const std::shared_ptr<CEditSession> session = course.GetToolSessionToRun();
        std::vector<std::wstring> refused;
        ASSERT_TRUE(session && RunModalDriven([&] { session->DoModal(); }, [&](HWND window) {
            if (!ok)
                return PressDialogButton(window, IDCANCEL);
            const std::vector<HWND> edits = FindEditControls(window);
            TypeIntoEdit(edits[0], L"71");
            TypeIntoEdit(edits[1], L"20 in");
            TypeIntoEdit(edits[2], L"0");
            ClickControl(FindChildByCaption(window, GetString(kGuidesText)));
            PressDialogButton(window, IDOK);
            refused = WaitForAnsweredTexts();
            TypeIntoEdit(edits[0], L"8");
            PressDialogButton(window, IDOK);
        }));
        EXPECT_EQ(ok, course.GetToolType() != nullptr);
        EXPECT_EQ(0, course.GetObjectCount());
        EXPECT_EQ(ok ? std::vector<std::wstring>{GetStringWith2Args(kOutOfRangeText, L"2", L"70")}
                     : std::vector<std::wstring>{}, refused);
    }
    for (const auto& [name, value] : {std::pair{L"370AKCPoles", 8}, {L"370AKCSpacing", 200}, {L"370AKCChannel", 0}})
        EXPECT_EQ(value, CSettings::GetInt(name, -1)) << name;

    course.StartPlacingObject(3000.0f, 3000.0f);
    course.DropPlacedObject(3000.0f, 3000.0f);
    ASSERT_EQ(1, course.GetObjectCount());
    const auto* placed = dynamic_cast<const CWeavePoles*>(*course.GetObjects().begin());
    ASSERT_TRUE(placed);
    EXPECT_EQ(std::make_tuple(8, 200.0f, 0.0f, true),
              std::make_tuple(placed->GetPoleCount(), placed->GetSpacing(), placed->GetChannel(), placed->HasGuides()));
}
