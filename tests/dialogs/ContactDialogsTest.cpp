#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "course/SpecList.h"
#include "dialogs/AFrameDlg.h"
#include "dialogs/CrossoverDlg.h"
#include "dialogs/LengthFormat.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/equipment/AFrame.h"
#include "objects/equipment/Crossover.h"
#include "objects/equipment/DogWalk.h"
#include "tests/dialogs/PropertiesWndTest.h"

namespace {

class ContactDialogs : public CPropertiesWndTest
{
protected:
    CAFrame* PlaceAFrame(float x, float length)
    {
        return Place<CAFrame, CAFrameDlg>(x, [&](CAFrameDlg& half) { half.SetSize(length, 590.0f); });
    }
};

// Custom size, refused on OK; entry `mended` (0 length, 1 height) mended, OK again. The refusals.
std::vector<std::wstring> EnterRefusedSize(HWND window, int customText, const wchar_t* length, const wchar_t* height,
                                           int mended, const wchar_t* mendedText)
{
    ClickControl(FindChildByCaption(window, GetString(customText)));
    const std::vector<HWND> edits = FindEditControls(window);
    TypeIntoEdit(edits[0], length);
    TypeIntoEdit(edits[1], height);
    PressDialogButton(window, IDOK);
    const std::vector<std::wstring> refused = WaitForAnsweredTexts();
    TypeIntoEdit(edits[size_t(mended)], mendedText);
    PressDialogButton(window, IDOK);
    return refused;
}

// Each radio button checked, then each entry enabled.
std::vector<bool> States(HWND window)
{
    std::vector<bool> states;
    for (HWND radio : FindRadioButtons(window))
        states.push_back(IsButtonChecked(radio));
    for (HWND edit : FindEditControls(window))
        states.push_back(IsWindowEnabled(edit) != 0);
    return states;
}

std::wstring Feet(float tenths) { return FormatLength(tenths, EUnitKind::kFeetAndInches, true); }

}  // namespace

TEST_F(ContactDialogs, AnAFrameOffersTheOrganisationsPresetsAndRefusesRampsNoLongerThanHigh)
{
    CAFrame* frame = PlaceAFrame(2000.0f, 1080.0f);
    std::vector<std::wstring> captions, refused;
    std::vector<bool> reached;
    bool customChecked = false;
    ASSERT_TRUE(EditSelection([&](HWND window) {
        for (HWND radio : FindRadioButtons(window))
            captions.push_back(GetCaptionText(radio));
        const HWND custom = FindChildByCaption(window, GetString(2258));
        customChecked = IsButtonChecked(custom);
        // Tab: the entries, the colours button, the box, then OK.
        const std::vector<HWND> edits = FindEditControls(window);
        const HWND box = FindChildByCaption(window, GetStringWithArg(2230, course.GetSpecList().GetTerm(2526)));
        ClickControl(custom);
        reached.push_back(WaitForFocus(window, custom));
        for (HWND next : {edits[0], edits[1], FindChildByCaption(window, GetString(2236)), box,
                          FindChildByCaption(window, GetString(2015))}) {
            PressKey(GetFocusedControl(window), VK_TAB);
            reached.push_back(WaitForFocus(window, next));
        }
        // Alt and the label's access key go to the entry after the label.
        PressAccessKey(window, FindChildByCaption(window, GetString(2259)));
        reached.push_back(WaitForFocus(window, edits[0]));
        refused = EnterRefusedSize(window, 2258, L"96 in", L"96 in", 1, L"95");
    }));
    EXPECT_EQ(std::vector<bool>(7, true), reached);
    // AKC: 9 ft ramps 5 ft 6 in high and 5 ft high, then the custom size.
    const std::vector<std::wstring> expected = {
        GetStringWith2Args(2257, Feet(1080.0f), Feet(660.0f)),
        GetStringWith2Args(2257, Feet(1080.0f), Feet(600.0f)),
        GetString(2258),
    };
    EXPECT_EQ(expected, captions);
    EXPECT_TRUE(customChecked);  // 1080 by 590 is no preset
    EXPECT_EQ(std::vector<std::wstring>{GetString(2674)}, refused);
    EXPECT_EQ(960.0f, frame->GetLength());
    EXPECT_EQ(950.0f, frame->GetHeight());
    EXPECT_EQ(960, CSettings::GetInt(L"10AKCPlankLen", 0));
    EXPECT_EQ(950, CSettings::GetInt(L"10AKCHeight", 0));
    ASSERT_TRUE(course.Undo());
    EXPECT_EQ(L"Placed", course.GetUndoLabel());
}

TEST_F(ContactDialogs, AFramesOfDifferentSizesKeepThemAndStoreNothing)
{
    CAFrame* first = PlaceAFrame(2000.0f, 1080.0f);
    CAFrame* second = PlaceAFrame(4000.0f, 960.0f);
    std::vector<bool> states;
    ASSERT_TRUE(EditSelection([&](HWND window) {
        states = States(window);
        PressDialogButton(window, IDOK);
    }));
    EXPECT_EQ(std::vector<bool>(5, false), states);  // three radios, two entries
    EXPECT_EQ(1080.0f, first->GetLength());
    EXPECT_EQ(960.0f, second->GetLength());
    EXPECT_FALSE(HasTestSettingsValue(L"10AKCPlankLen"));
    EXPECT_FALSE(HasTestSettingsValue(L"10AKCHeight"));
}

TEST_F(ContactDialogs, ANewAFrameStartsFromTheFirstPresetAndCancelPlacesNothing)
{
    course.SelectToolType(CAFrame::kNameTextId);
    std::shared_ptr<CEditSession> session = course.GetToolSessionToRun();
    ASSERT_TRUE(session);
    std::vector<bool> states;
    ASSERT_TRUE(RunModalDriven([&] { session->DoModal(); }, [&](HWND window) {
        states = States(window);
        PressDialogButton(window, IDCANCEL);
    }));
    EXPECT_EQ((std::vector<bool>{true, false, false, false, false}), states);
    EXPECT_EQ(nullptr, course.GetToolType());
    EXPECT_EQ(nullptr, course.GetPropertiesDialog());
    EXPECT_EQ(0, course.GetObjectCount());
}

TEST_F(ContactDialogs, ADogWalkPlankMustReachItsHeight)
{
    CDogWalk* walk = Place<CDogWalk, CDogWalkDlg>(2000.0f, [](CDogWalkDlg& half) { half.SetSize(1440.0f, 480.0f); });
    std::vector<std::wstring> refused;
    ASSERT_TRUE(EditSelection([&](HWND window) {
        // 48 in high needs 2 x (0.577 x 48 + 4) = 63.39 in.
        refused = EnterRefusedSize(window, 2381, L"63.3 in", L"48 in", 0, L"63.4 in");
    }));
    EXPECT_EQ(std::vector<std::wstring>{GetString(2682)}, refused);
    EXPECT_EQ(634.0f, walk->GetPlankLength());
    EXPECT_EQ(480.0f, walk->GetHeight());
    EXPECT_EQ(634, CSettings::GetInt(L"100AKCPlankLen", 0));
}

TEST_F(ContactDialogs, ACrossoverShowsTheStandardRampOnlyForItsExactSize)
{
    const struct
    {
        float height;
        bool metric;
        bool standard;
    } cases[] = {{430.0f, false, true}, {431.0f, false, false}, {430.0f, true, true}};
    for (const auto& c : cases) {
        course.SetMetric(c.metric);
        course.DeselectAll(false);
        Place<CCrossover, CCrossoverDlg>(2000.0f, [&](CCrossoverDlg& half) { half.SetRamp(1080.0f, c.height); });
        std::vector<bool> checked, enabled;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            checked = {IsButtonChecked(FindRadioButtons(window)[4]),
                       IsButtonChecked(FindChildByCaption(window, GetString(2331)))};
            enabled = States(window);
            enabled.erase(enabled.begin(), enabled.end() - 3);
            PressDialogButton(window, IDCANCEL);
        }));
        EXPECT_EQ((std::vector<bool>{c.standard, !c.standard}), checked) << c.height;  // standard, custom
        EXPECT_EQ((std::vector<bool>{!c.standard, !c.standard, false}), enabled) << c.height;  // length, height, platform
    }
}

TEST_F(ContactDialogs, CrossoversWithDifferentPlanksKeepThem)
{
    CCrossover* crossovers[2];
    for (int planks = 0; planks < 2; ++planks)
        crossovers[planks] = Place<CCrossover, CCrossoverDlg>(
            2000.0f + 2000.0f * float(planks), [&](CCrossoverDlg& half) { half.SetWhichPlanks(planks + 1); });
    std::vector<bool> checked;
    ASSERT_TRUE(EditSelection([&](HWND window) {
        checked = States(window);
        // A custom platform of 3 ft applies to both.
        ClickControl(FindChildByCaption(window, GetString(2336)));
        TypeIntoEdit(FindEditControls(window)[2], L"3 ft");
        PressDialogButton(window, IDOK);
    }));
    EXPECT_EQ(std::vector<bool>(4, false), std::vector<bool>(checked.begin(), checked.begin() + 4));
    EXPECT_FALSE(HasTestSettingsValue(L"70WhichPlanks"));
    EXPECT_EQ(360, CSettings::GetInt(L"70AKCPlatformWidth", 0));
    for (int planks = 0; planks < 2; ++planks) {
        EXPECT_EQ(360.0f, crossovers[planks]->GetPlatformWidth());
        course.DeselectAll(false);
        crossovers[planks]->SetSelected(true);
        std::unique_ptr<CEditSession> session = course.MakeSelectionSession();
        EXPECT_EQ(planks + 1, dynamic_cast<CCrossoverDlg&>(*session).GetMergedWhichPlanks());
    }
}
