#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "course/EditSession.h"
#include "dialogs/HintDlg.h"
#include "dialogs/PropertyBinding.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/equipment/Jump.h"
#include "tests/dialogs/PropertiesWndTest.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/FailureReports.h"

namespace {

constexpr int kWithoutTire = 9;  // an organisation without tire jumps
constexpr int kSingle = 260, kDouble = 150, kLong = 180, kTire = 320, kBrush = 40;
constexpr int kTypeHint = 2719, kDirectionHint = 2720;

class JumpDialogs : public CPropertiesWndTest
{
protected:
    void SetUp() override
    {
        CPropertiesWndTest::SetUp();
        for (const int hint : {kTypeHint, kDirectionHint})
            CSettings::SetInt(GetNeverShowValueName(hint), 1);
    }
    void TearDown() override { EXPECT_EQ(m_reportsBefore, ReportCount()), CPropertiesWndTest::TearDown(); }
    void StartOver() { course.DeselectAll(false), DeleteTestSettingsKey(), SetUp(); }
    CJump* Place(int typeId, float x = 2000.0f)
    {
        CJump* jump = equipmenttest::Place<CJump>(course, *FindObjectTypeById(typeId), x, 3000.0f);
        return jump->SetSelected(true), jump;
    }
    std::wstring TypeName(int typeId) const { return FindObjectTypeById(typeId)->GetDisplayName(course); }

private:
    const int m_reportsBefore = ReportCount();
};

CTireJumpBinding& Tire(CJump* jump) { return dynamic_cast<CTireJumpBinding&>(*jump->GetBinding()); }
std::vector<HWND> Visible(std::vector<HWND> all)
{
    all.erase(std::remove_if(all.begin(), all.end(), [](HWND w) { return !IsWindowVisible(w); }), all.end());
    return all;
}
HWND TypeCombo(HWND window) { return FindWindowExW(window, nullptr, L"ComboBox", nullptr); }
// The entries of the type list, then the entry shown.
std::vector<std::wstring> TypeEntries(HWND window)
{
    const HWND combo = TypeCombo(window);
    std::vector<std::wstring> texts;
    wchar_t text[128] = {};
    for (LRESULT i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
        SendMessageW(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(text));
        texts.push_back(text);
    }
    const LRESULT shown = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    texts.push_back(shown >= 0 && size_t(shown) < texts.size() ? texts[size_t(shown)] : L"?");
    return texts;
}
void ChooseType(HWND window, const std::wstring& name)
{
    const std::vector<std::wstring> entries = TypeEntries(window);
    ChooseComboItem(TypeCombo(window), int(std::find(entries.begin(), entries.end() - 1, name) - entries.begin()));
}

}  // namespace

// Mixed types show no type; choosing tire converts both, the empty entry converts none.
TEST_F(JumpDialogs, JumpsOfDifferentTypesShowNoTypeUntilOneIsChosen)
{
    const struct { int secondType; bool backToEmpty; std::vector<std::wstring> panelShown; } cases[] = {{kTire, false, {}}, {kDouble, false, {GetString(2411), GetString(2412)}}, {kTire, true, {}}};
    for (const auto& c : cases) {
        StartOver();
        CJump* single = Place(kSingle);
        CJump* second = Place(c.secondType, 4000.0f);
        if (c.secondType == kTire)
            Tire(second).width = 600.0f;
        std::unique_ptr<CEditSession> session = FindObjectTypeById(kSingle)->CreatePropertiesDialog(&course, CObjectType::kUnnamed);
        for (CJump* jump : {single, second})
            jump->FillPropertiesDialog(*session);
        std::wstring shownType = L"?";
        std::vector<std::wstring> panelBefore;
        size_t radiosAfter = 0;
        ASSERT_TRUE(RunModalDriven([&] { session->DoModal(); }, [&](HWND window) {
            shownType = TypeEntries(window).back();
            for (HWND radio : Visible(FindRadioButtons(window)))
                panelBefore.push_back(GetCaptionText(radio));
            ChooseType(window, TypeName(kTire));
            radiosAfter = Visible(FindRadioButtons(window)).size();
            if (c.backToEmpty)
                ChooseType(window, L"");
            PressDialogButton(window, IDOK);
        }));
        for (CJump* jump : {single, second})
            jump->ApplyDialog(*session);
        EXPECT_EQ(L"", shownType);
        EXPECT_EQ(c.panelShown, panelBefore) << c.secondType;
        EXPECT_EQ(4u, radiosAfter);  // standard and custom frame and tire
        EXPECT_EQ(c.backToEmpty ? kSingle : kTire, single->GetType()->GetTypeId());
        EXPECT_EQ(c.backToEmpty ? c.secondType : kTire, second->GetType()->GetTypeId());
        EXPECT_EQ(c.backToEmpty ? 600.0f : 500.0f, Tire(second).width);
        EXPECT_EQ(!c.backToEmpty, HasTestSettingsValue(L"320AKCWidth"));
    }
}

// One jump's values become the kind's defaults; a too wide tire is refused; Brisklane keeps standard wings.
TEST_F(JumpDialogs, ConfirmedValuesBecomeTheKindsDefaults)
{
    constexpr int kAbsent = -1;
    const auto singleWithWings = [](HWND window) {
        const std::vector<HWND> edits = Visible(FindEditControls(window));
        TypeIntoEdit(edits[0], L"5 ft");
        ClickControl(FindChildByCaption(window, GetString(2412)));
        if (IsWindowEnabled(edits[1]))
            TypeIntoEdit(edits[1], L"20 in");
    };
    std::vector<std::wstring> refused;
    const struct {
        int typeId; bool brisklane; std::function<void(HWND)> edit; std::map<std::wstring, int> stored;
        std::vector<float> values;  // width and wing width, or frame and tire
    } cases[] = {
        {kSingle, false, singleWithWings,
         {{L"260AKCPostWidth", 600}, {L"260AKCWinged", 1}, {L"260AKCWingWidth", 200}}, {600.0f, 200.0f}},
        {kSingle, true, singleWithWings,
         {{L"260AKCPostWidth", 600}, {L"260AKCWinged", 1}, {L"260AKCWingWidth", kAbsent}}, {600.0f, 240.0f}},
        {kLong, false, [](HWND window) { ClickControl(FindChildByCaption(window, GetString(2415))); },
         {{L"180AKCAscending", 0}}, {}},
        {kTire, false,
         [&](HWND window) {
             ClickControl(FindChildByCaption(window, GetString(2499)));
             TypeIntoEdit(Visible(FindEditControls(window))[0], L"32 in");
             PressDialogButton(window, IDOK);
             refused = WaitForAnsweredTexts();
             TypeIntoEdit(Visible(FindEditControls(window))[0], L"32.1 in");
         },
         {{L"320AKCWidth", 321}, {L"320AKCTireDiam", 240}}, {321.0f, 240.0f}},
    };
    for (const auto& c : cases) {
        StartOver();
        CSettings::SetInt(L"BrisklaneMode", c.brisklane ? 1 : 0);
        CJump* jump = Place(c.typeId);
        refused.clear();
        std::vector<std::wstring> entries;
        std::vector<bool> entriesOpen;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            entries = TypeEntries(window);
            c.edit(window);
            for (HWND edit : Visible(FindEditControls(window)))
                entriesOpen.push_back(IsWindowEnabled(edit) != 0);
            PressDialogButton(window, IDOK);
        }));
        EXPECT_EQ(TypeName(c.typeId), entries.back());
        EXPECT_EQ(entries.end(), std::find(entries.begin(), entries.end(), L""));
        for (const auto& [name, value] : c.stored)
            EXPECT_EQ(value, CSettings::GetInt(name, kAbsent)) << name;
        if (c.typeId == kSingle) {
            const CWingsBinding& wings = *jump->GetWingsBinding();
            EXPECT_EQ((std::vector<bool>{true, !c.brisklane}), entriesOpen);
            EXPECT_EQ(c.values, (std::vector<float>{wings.width, wings.wingWidth}));
        } else if (c.typeId == kTire) {
            EXPECT_EQ(std::vector<std::wstring>{GetString(2690)}, refused);
            EXPECT_EQ(c.values, (std::vector<float>{Tire(jump).width, Tire(jump).diameter}));
        } else {
            EXPECT_FALSE(dynamic_cast<CAscendingBinding&>(*jump->GetBinding()).ascending);
        }
    }
}

// A differing width shows empty and stays each jump's own unless typed.
TEST_F(JumpDialogs, AWidthThatDiffersStaysEachJumpsOwnUnlessTyped)
{
    const struct { float firstPostWidth; const wchar_t* typedWingWidth; float firstWing, secondWing; } cases[] = {
        {540.0f, nullptr, 200.0f, 300.0f}, {540.0f, L"2 ft", 240.0f, 240.0f}, {480.0f, nullptr, 200.0f, 300.0f}};
    for (const auto& c : cases) {
        StartOver();
        CWingsBinding& first = *Place(kDouble)->GetWingsBinding();
        CWingsBinding& second = *Place(kDouble, 4000.0f)->GetWingsBinding();
        first.width = c.firstPostWidth, second.width = 540.0f;
        first.wingWidth = 200.0f, second.wingWidth = 300.0f;
        std::vector<std::wstring> texts;
        bool wingOpen = false;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            const std::vector<HWND> edits = Visible(FindEditControls(window));
            for (HWND edit : edits)
                texts.push_back(GetCaptionText(edit));
            wingOpen = IsWindowEnabled(edits[1]) != 0;
            if (c.typedWingWidth)
                TypeIntoEdit(edits[1], c.typedWingWidth);
            PressDialogButton(window, IDOK);
        }));
        const bool samePostWidth = c.firstPostWidth == 540.0f;
        ASSERT_EQ(2u, texts.size());
        EXPECT_EQ(samePostWidth, texts[0] != L"") << texts[0];
        EXPECT_TRUE(texts[1].empty() && wingOpen);
        EXPECT_EQ((std::vector<float>{c.firstPostWidth, 540.0f, c.firstWing, c.secondWing}),
                  (std::vector<float>{first.width, second.width, first.wingWidth, second.wingWidth}));
        EXPECT_EQ(c.typedWingWidth != nullptr, HasTestSettingsValue(L"150AKCWingWidth"));
        EXPECT_EQ(samePostWidth, HasTestSettingsValue(L"150AKCPostWidth"));
        EXPECT_EQ(1, CSettings::GetInt(L"150AKCWinged", 0));
    }
}

TEST_F(JumpDialogs, AnEditedJumpsKindIsOfferedEvenWhereTheOrganisationHasNone)
{
    for (const int organisation : {kAkc, kWithoutTire}) {
        course.SetSpecList(organisation), course.DeselectAll(false), Place(kTire);
        std::vector<std::wstring> entries;
        ASSERT_TRUE(EditSelection([&](HWND window) { entries = TypeEntries(window), PressDialogButton(window, IDCANCEL); }));
        ASSERT_LE(2u, entries.size());
        EXPECT_EQ(TypeName(kTire), entries.back()) << organisation;
        EXPECT_EQ(organisation == kWithoutTire, entries[entries.size() - 2] == TypeName(kTire)) << organisation;
    }
}

// Cancel goes back to selecting; OK places the next brush jump with the values typed.
TEST_F(JumpDialogs, ABrushJumpToolRunsTheWindowBeforePlacing)
{
    for (const int button : {IDCANCEL, IDOK}) {
        StartOver();
        course.SelectToolType(FindObjectTypeById(kBrush)->GetNameTextId());
        std::shared_ptr<CEditSession> session = course.GetToolSessionToRun();
        std::wstring shownType;
        bool editOnCreate = false;
        ASSERT_TRUE(session && RunModalDriven([&] { session->DoModal(); }, [&](HWND window) {
            shownType = TypeEntries(window).back();
            editOnCreate = IsButtonChecked(FindChildByCaption(window, GetStringWithArg(2230, TypeName(kBrush))));
            const std::vector<HWND> edits = Visible(FindEditControls(window));
            TypeIntoEdit(edits[0], L"4 ft");
            ClickControl(FindChildByCaption(window, GetString(2412)));
            TypeIntoEdit(edits[1], L"18 in");
            PressDialogButton(window, button);
        }));
        EXPECT_TRUE(TypeName(kBrush) == shownType && editOnCreate);
        EXPECT_EQ(0, course.GetObjectCount());
        EXPECT_EQ(button == IDCANCEL, course.GetToolType() == nullptr);
        if (button == IDCANCEL)
            continue;
        course.StartPlacingObject(3000.0f, 3000.0f), course.DropPlacedObject(3000.0f, 3000.0f);
        ASSERT_EQ(1, course.GetObjectCount());
        CJump* placed = dynamic_cast<CJump*>(*course.GetObjects().begin());
        ASSERT_TRUE(placed && placed->GetType()->GetTypeId() == kBrush);
        EXPECT_EQ((std::vector<float>{480.0f, 180.0f}),
                  (std::vector<float>{placed->GetWingsBinding()->width, placed->GetWingsBinding()->wingWidth}));
    }
}

// The direction hint shows once; after a type change Tab and access keys reach the new panel.
TEST_F(JumpDialogs, HintThenTabAndAccessKeysFollowThePanelShown)
{
    CSettings::SetInt(GetNeverShowValueName(kDirectionHint), 0);
    GetShownHints().erase(kDirectionHint);
    Place(kLong);
    std::vector<bool> reached;
    bool frameEntryOpen = false;
    ASSERT_TRUE(EditSelection([&](HWND window) {
        HWND hint = nullptr;  // the test keeps the timers going
        for (int i = 0; i < 500 && !hint; ++i) {
            PostMessageW(window, WM_ENTERIDLE, MSGF_DIALOGBOX, 0);
            hint = WaitForDialogTitled(GetString(2520), 10);
        }
        if (hint) PressDialogButton(hint, IDCANCEL), WaitUntilGone(hint);
        ChooseType(window, TypeName(kTire));
        PressAccessKey(window, FindChildByCaption(window, GetString(2410)));
        reached.push_back(WaitForFocus(window, TypeCombo(window)));
        const std::vector<HWND> radios = Visible(FindRadioButtons(window));
        const HWND box = FindChildByCaption(window, GetStringWithArg(2230, TypeName(kTire)));
        for (HWND next : {radios[0], radios[2], FindChildByCaption(window, GetString(2236)), box,
                          FindChildByCaption(window, GetString(2015))}) {
            PressKey(GetFocusedControl(window), VK_TAB);
            reached.push_back(WaitForFocus(window, next));
        }
        PressAccessKey(window, radios[1]);  // the custom frame opens its entry
        reached.push_back(WaitForFocus(window, radios[1]));
        const HWND frameEntry = Visible(FindEditControls(window))[0];
        for (int i = 0; i < 200 && !IsWindowEnabled(frameEntry); ++i)
            Sleep(10);
        frameEntryOpen = IsWindowEnabled(frameEntry) != 0;
        PressDialogButton(window, IDCANCEL);
    }));
    EXPECT_EQ((std::vector<size_t>{1, 0}), (std::vector<size_t>{GetShownHints().count(kDirectionHint), GetShownHints().count(kTypeHint)}));
    GetShownHints().erase(kDirectionHint);
    EXPECT_EQ(std::vector<bool>(7, true), reached);
    EXPECT_TRUE(frameEntryOpen);
}
