#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/EditSession.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "dialogs/HintDlg.h"
#include "dialogs/PropertyBinding.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/equipment/Jump.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr int kAkc = 1;
// An organisation whose courses have no tire jump.
constexpr int kWithoutTire = 9;
constexpr int kSingle = 260;
constexpr int kDouble = 150;
constexpr int kLong = 180;
constexpr int kTire = 320;
constexpr int kTypeHint = 2719;
constexpr int kDirectionHint = 2720;

class JumpDialogs : public CCourseSettingsTest
{
protected:
    void SetUp() override
    {
        CCourseSettingsTest::SetUp();
        course.SetSpecList(kAkc);
        // The window's hint would come up over it as soon as something pumps
        // the timers (a message box).
        for (const int hint : {kTypeHint, kDirectionHint})
            CSettings::SetInt(GetNeverShowValueName(hint), 1);
        CDialogWatcher::TakeAnsweredTexts();
    }
    void TearDown() override
    {
        EXPECT_EQ(m_reportsBefore, ReportCount());
        CCourseSettingsTest::TearDown();
    }

    // Nothing selected, nothing stored.
    void StartOver()
    {
        course.DeselectAll(false);
        DeleteTestSettingsKey();
        SetUp();
    }

    // A new jump of the type with its kind's values, selected.
    CJump* Place(int typeId, float x)
    {
        CTransform at;
        at.SetPosition2D(x, 3000.0f);
        std::unique_ptr<CCourseObject> made = FindObjectTypeById(typeId)->CreateNew(&course, at, nullptr);
        CJump* jump = dynamic_cast<CJump*>(made.get());
        course.AddObject(std::move(made));
        jump->SetSelected(true);
        return jump;
    }

    bool EditSelection(const std::function<void(HWND)>& drive)
    {
        course.CommitUndoStep(L"Placed");
        std::unique_ptr<CEditSession> session = course.MakeSelectionSession();
        return session && RunModalDriven([&] { session->DoModal(); }, drive);
    }

    std::wstring TypeName(int typeId) const { return FindObjectTypeById(typeId)->GetDisplayName(course); }

    CCourse course{L"Jumps", L""};

private:
    const int m_reportsBefore = ReportCount();
};

CTireJumpBinding& Tire(CJump* jump) { return dynamic_cast<CTireJumpBinding&>(*jump->GetBinding()); }

// Children of the window a user sees: those of the panel shown.
std::vector<HWND> Visible(const std::vector<HWND>& children)
{
    std::vector<HWND> visible;
    for (HWND child : children)
        if (IsWindowVisible(child))
            visible.push_back(child);
    return visible;
}

std::vector<std::wstring> VisibleRadioCaptions(HWND window)
{
    std::vector<std::wstring> captions;
    for (HWND radio : Visible(FindRadioButtons(window)))
        captions.push_back(GetCaptionText(radio));
    return captions;
}

HWND FindTypeCombo(HWND window)
{
    for (const CDialogChild& child : ListDialogChildren(window))
        if (child.className == L"ComboBox")
            return child.window;
    return nullptr;
}

std::vector<std::wstring> ComboTexts(HWND combo)
{
    std::vector<std::wstring> texts;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        SendMessageW(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(text));
        texts.push_back(text);
    }
    return texts;
}

// The text of the entry shown, or "?" when none is.
std::wstring ComboSelectionText(HWND combo)
{
    const std::vector<std::wstring> texts = ComboTexts(combo);
    const LRESULT position = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return position >= 0 && size_t(position) < texts.size() ? texts[size_t(position)] : L"?";
}

void ChooseComboText(HWND combo, const std::wstring& text)
{
    const std::vector<std::wstring> texts = ComboTexts(combo);
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i] == text)
            ChooseComboItem(combo, int(i));
}

}  // namespace

// A winged single jump with a tire jump, or with a double jump: the type is
// empty; the first pair shows no panel, the second keeps the wings panel.
// Choosing the tire jump shows its panel and turns both into tire jumps;
// going back to the empty entry keeps both as they were. The course edits
// only jumps of one type name together, so the session is filled and
// applied here the way the course does it for a selection.
TEST_F(JumpDialogs, JumpsOfDifferentTypesShowNoTypeUntilOneIsChosen)
{
    const std::vector<std::wstring> wings = {GetString(2411), GetString(2412)};
    const struct
    {
        int secondType;
        std::vector<std::wstring> panelShown;
        bool backToEmpty;
        const wchar_t* shot;
    } cases[] = {
        {kTire, {}, false, L"jump-mixed"},
        {kDouble, wings, false, nullptr},
        {kTire, {}, true, nullptr},
    };
    for (const auto& c : cases) {
        CJump* single = Place(kSingle, 2000.0f);
        CJump* second = Place(c.secondType, 4000.0f);
        if (c.secondType == kTire)
            Tire(second).width = 600.0f;
        std::unique_ptr<CEditSession> session =
            FindObjectTypeById(kSingle)->CreatePropertiesDialog(&course, CObjectType::kUnnamed);
        for (CJump* jump : {single, second})
            jump->FillPropertiesDialog(*session);
        std::wstring shownType = L"?";
        std::wstring lastEntry = L"?";
        std::vector<std::wstring> panelBefore;
        std::vector<std::wstring> panelAfter;
        size_t tireEditsOpen = 9;
        ASSERT_TRUE(RunModalDriven([&] { session->DoModal(); }, [&](HWND window) {
            HWND combo = FindTypeCombo(window);
            shownType = ComboSelectionText(combo);
            lastEntry = ComboTexts(combo).back();
            panelBefore = VisibleRadioCaptions(window);
            if (c.shot)
                SaveDialogShot(window, c.shot);
            ChooseComboText(combo, TypeName(kTire));
            panelAfter = VisibleRadioCaptions(window);
            tireEditsOpen = 0;
            for (HWND edit : Visible(FindEditControls(window)))
                tireEditsOpen += IsWindowEnabled(edit) != 0;
            if (c.shot)
                SaveDialogShot(window, std::wstring(c.shot) + L"-tire-chosen");
            if (c.backToEmpty)
                ChooseComboItem(combo, int(ComboTexts(combo).size()) - 1);
            PressDialogButton(window, IDOK);
        }));
        for (CJump* jump : {single, second})
            jump->ApplyDialog(*session);
        EXPECT_EQ(L"", shownType) << c.secondType;
        EXPECT_EQ(L"", lastEntry) << c.secondType;
        EXPECT_EQ(c.panelShown, panelBefore) << c.secondType;
        // Standard and custom frame, standard and custom tire; both standard.
        EXPECT_EQ(4u, panelAfter.size()) << c.secondType;
        EXPECT_EQ(0u, tireEditsOpen) << c.secondType;
        EXPECT_EQ(c.backToEmpty ? kSingle : kTire, single->GetType()->GetTypeId()) << c.secondType;
        EXPECT_EQ(c.backToEmpty ? c.secondType : kTire, second->GetType()->GetTypeId()) << c.secondType;
        if (c.backToEmpty) {
            EXPECT_EQ(240.0f, single->GetWingsBinding()->wingWidth);
            EXPECT_EQ(600.0f, Tire(second).width);
            EXPECT_FALSE(HasTestSettingsValue(L"320AKCWidth"));
        } else {
            EXPECT_EQ(500.0f, Tire(single).width) << c.secondType;
            EXPECT_EQ(500.0f, Tire(second).width) << c.secondType;
            EXPECT_EQ(240.0f, Tire(second).diameter) << c.secondType;
        }
        StartOver();
    }
}

TEST_F(JumpDialogs, ATireMustBeMoreThan8InchesNarrowerThanItsFrame)
{
    CJump* tire = Place(kTire, 2000.0f);
    std::vector<std::wstring> refused;
    ASSERT_TRUE(EditSelection([&](HWND window) {
        SaveDialogShot(window, L"jump-tire");
        ClickControl(FindChildByCaption(window, GetString(2499)));
        HWND frameEdit = Visible(FindEditControls(window))[0];
        TypeIntoEdit(frameEdit, L"32 in");
        PressDialogButton(window, IDOK);
        refused = WaitForAnsweredTexts();
        TypeIntoEdit(frameEdit, L"32.1 in");
        PressDialogButton(window, IDOK);
    }));
    EXPECT_EQ(std::vector<std::wstring>{GetString(2690)}, refused);
    EXPECT_EQ(321.0f, Tire(tire).width);
    EXPECT_EQ(240.0f, Tire(tire).diameter);
    EXPECT_EQ(321, CSettings::GetInt(L"320AKCWidth", 0));
    EXPECT_EQ(240, CSettings::GetInt(L"320AKCTireDiam", 0));
}

// One jump: its own type is shown without an empty entry, its panel takes
// the typed values, and they become the defaults under the kind's names. In
// the Brisklane display mode the wings are always the standard ones: the
// entry stays closed and its width is not stored.
TEST_F(JumpDialogs, ConfirmedValuesBecomeTheKindsDefaults)
{
    constexpr int kAbsent = -1;
    const auto typeSingle = [](HWND window) {
        const std::vector<HWND> edits = Visible(FindEditControls(window));
        TypeIntoEdit(edits[0], L"5 ft");
        ClickControl(FindChildByCaption(window, GetString(2412)));
        if (IsWindowEnabled(edits[1]))
            TypeIntoEdit(edits[1], L"20 in");
    };
    const auto wings = [](float width, float wingWidth) {
        return [=](CJump* jump) {
            EXPECT_EQ(width, jump->GetWingsBinding()->width);
            EXPECT_EQ(wingWidth, jump->GetWingsBinding()->wingWidth);
        };
    };
    const struct
    {
        int typeId;
        bool brisklane;
        const wchar_t* shot;
        std::function<void(HWND)> edit;
        std::vector<bool> entriesOpen;
        std::map<std::wstring, int> stored;
        std::function<void(CJump*)> check;
    } cases[] = {
        {kSingle, false, L"jump-single", typeSingle, {true, true},
         {{L"260AKCPostWidth", 600}, {L"260AKCWinged", 1}, {L"260AKCWingWidth", 200}}, wings(600.0f, 200.0f)},
        {kSingle, true, nullptr, typeSingle, {true, false},
         {{L"260AKCPostWidth", 600}, {L"260AKCWinged", 1}, {L"260AKCWingWidth", kAbsent}}, wings(600.0f, 240.0f)},
        {kLong, false, L"jump-long", [](HWND window) { ClickControl(FindChildByCaption(window, GetString(2415))); },
         {}, {{L"180AKCAscending", 0}},
         [](CJump* jump) { EXPECT_FALSE(dynamic_cast<CAscendingBinding&>(*jump->GetBinding()).ascending); }},
    };
    for (const auto& c : cases) {
        StartOver();
        CSettings::SetInt(L"BrisklaneMode", c.brisklane ? 1 : 0);
        CJump* jump = Place(c.typeId, 2000.0f);
        std::vector<std::wstring> entries;
        std::wstring shownType;
        std::vector<bool> entriesOpen;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            HWND combo = FindTypeCombo(window);
            entries = ComboTexts(combo);
            shownType = ComboSelectionText(combo);
            if (c.shot)
                SaveDialogShot(window, c.shot);
            for (HWND edit : Visible(FindEditControls(window)))
                entriesOpen.push_back(IsWindowEnabled(edit) != 0);
            c.edit(window);
            PressDialogButton(window, IDOK);
        }));
        EXPECT_EQ(TypeName(c.typeId), shownType);
        EXPECT_EQ(entries.end(), std::find(entries.begin(), entries.end(), L""));
        EXPECT_EQ(c.entriesOpen, entriesOpen) << c.typeId;
        for (const auto& [name, value] : c.stored) {
            EXPECT_EQ(value != kAbsent, HasTestSettingsValue(name)) << name;
            EXPECT_EQ(value, CSettings::GetInt(name, kAbsent)) << name;
        }
        c.check(jump);
    }
}

// Jumps whose widths differ show an empty entry; left alone each jump keeps
// its width and none is stored, typed it applies to all.
TEST_F(JumpDialogs, AWidthThatDiffersStaysEachJumpsOwnUnlessTyped)
{
    const struct
    {
        float firstPostWidth;
        const wchar_t* typedWingWidth;
        float firstWing, secondWing;
        bool postWidthStored;
    } cases[] = {
        {540.0f, nullptr, 200.0f, 300.0f, true},
        {540.0f, L"2 ft", 240.0f, 240.0f, true},
        {480.0f, nullptr, 200.0f, 300.0f, false},
    };
    for (const auto& c : cases) {
        StartOver();
        CJump* first = Place(kDouble, 2000.0f);
        CJump* second = Place(kDouble, 4000.0f);
        first->GetWingsBinding()->width = c.firstPostWidth;
        second->GetWingsBinding()->width = 540.0f;
        first->GetWingsBinding()->wingWidth = 200.0f;
        second->GetWingsBinding()->wingWidth = 300.0f;
        std::wstring postText = L"?";
        std::wstring wingText = L"?";
        bool wingOpen = false;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            const std::vector<HWND> edits = Visible(FindEditControls(window));
            postText = GetCaptionText(edits[0]);
            wingText = GetCaptionText(edits[1]);
            wingOpen = IsWindowEnabled(edits[1]) != 0;
            if (c.typedWingWidth)
                TypeIntoEdit(edits[1], c.typedWingWidth);
            PressDialogButton(window, IDOK);
        }));
        EXPECT_EQ(c.postWidthStored, postText != L"");
        EXPECT_EQ(L"", wingText);
        EXPECT_TRUE(wingOpen);
        EXPECT_EQ(c.firstWing, first->GetWingsBinding()->wingWidth);
        EXPECT_EQ(c.secondWing, second->GetWingsBinding()->wingWidth);
        EXPECT_EQ(c.firstPostWidth, first->GetWingsBinding()->width);
        EXPECT_EQ(540.0f, second->GetWingsBinding()->width);
        EXPECT_EQ(c.typedWingWidth != nullptr, HasTestSettingsValue(L"150AKCWingWidth"));
        EXPECT_EQ(c.postWidthStored, HasTestSettingsValue(L"150AKCPostWidth"));
        EXPECT_EQ(1, CSettings::GetInt(L"150AKCWinged", 0));
    }
}

// The organisation decides which kinds are offered; an edited jump's own
// kind is always there, at the end when the organisation has no such kind.
TEST_F(JumpDialogs, AnEditedJumpsKindIsOfferedEvenWhereTheOrganisationHasNone)
{
    for (const int organisation : {kAkc, kWithoutTire}) {
        course.SetSpecList(organisation);
        course.DeselectAll(false);
        Place(kSingle, 2000.0f);
        bool tireOffered = true;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            const std::vector<std::wstring> texts = ComboTexts(FindTypeCombo(window));
            tireOffered = std::find(texts.begin(), texts.end(), TypeName(kTire)) != texts.end();
            PressDialogButton(window, IDCANCEL);
        }));
        EXPECT_EQ(organisation == kAkc, tireOffered) << organisation;

        course.DeselectAll(false);
        Place(kTire, 4000.0f);
        std::vector<std::wstring> texts;
        std::wstring shownType;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            texts = ComboTexts(FindTypeCombo(window));
            shownType = ComboSelectionText(FindTypeCombo(window));
            PressDialogButton(window, IDCANCEL);
        }));
        EXPECT_EQ(TypeName(kTire), shownType) << organisation;
        EXPECT_EQ(organisation == kWithoutTire, texts.back() == TypeName(kTire)) << organisation;
    }
}

// The brush jump opens its dialog when its tool is chosen: Cancel goes back
// to selecting, OK places the next brush jump with the values typed.
TEST_F(JumpDialogs, ABrushJumpToolRunsTheWindowBeforePlacing)
{
    constexpr int kBrushTool = 2532;
    for (const int button : {IDCANCEL, IDOK}) {
        StartOver();
        course.SelectToolType(kBrushTool);
        std::shared_ptr<CEditSession> session = course.GetToolSessionToRun();
        ASSERT_TRUE(session);
        std::wstring shownType;
        bool editOnCreate = false;
        ASSERT_TRUE(RunModalDriven([&] { session->DoModal(); }, [&](HWND window) {
            shownType = ComboSelectionText(FindTypeCombo(window));
            editOnCreate = IsButtonChecked(FindChildByCaption(window, GetStringWithArg(2230, TypeName(40))));
            const std::vector<HWND> edits = Visible(FindEditControls(window));
            TypeIntoEdit(edits[0], L"4 ft");
            ClickControl(FindChildByCaption(window, GetString(2412)));
            TypeIntoEdit(edits[1], L"18 in");
            PressDialogButton(window, button);
        }));
        EXPECT_EQ(TypeName(40), shownType);
        EXPECT_TRUE(editOnCreate);
        if (button == IDCANCEL) {
            EXPECT_EQ(nullptr, course.GetToolType());
            EXPECT_EQ(nullptr, course.GetPropertiesDialog());
            EXPECT_EQ(0, course.GetObjectCount());
            continue;
        }
        course.StartPlacingObject(3000.0f, 3000.0f);
        course.DropPlacedObject(3000.0f, 3000.0f);
        ASSERT_EQ(1, course.GetObjectCount());
        CJump* placed = dynamic_cast<CJump*>(*course.GetObjects().begin());
        ASSERT_NE(nullptr, placed);
        EXPECT_EQ(40, placed->GetType()->GetTypeId());
        EXPECT_EQ(480.0f, placed->GetWingsBinding()->width);
        EXPECT_EQ(180.0f, placed->GetWingsBinding()->wingWidth);
        EXPECT_EQ(480, CSettings::GetInt(L"40AKCPostWidth", 0));
    }
}

// A moment after the window opens it explains the type list, or for a long
// jump the direction.
TEST_F(JumpDialogs, TheWindowShowsItsHintOnce)
{
    for (const auto& [typeId, hint] : {std::make_pair(kSingle, kTypeHint), std::make_pair(kLong, kDirectionHint)}) {
        CSettings::SetInt(GetNeverShowValueName(hint), 0);
        GetShownHints().erase(hint);
        course.DeselectAll(false);
        Place(typeId, 2000.0f);
        bool hintShown = false;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            // The course window keeps the timers going while a dialog waits;
            // here the test does.
            HWND hintWindow = nullptr;
            for (int i = 0; i < 500 && !hintWindow; ++i) {
                PostMessageW(window, WM_ENTERIDLE, MSGF_DIALOGBOX, 0);
                hintWindow = WaitForDialogTitled(GetString(2520), 10);
            }
            hintShown = hintWindow != nullptr;
            if (hintWindow) {
                PressDialogButton(hintWindow, IDCANCEL);
                WaitUntilGone(hintWindow);
            }
            PressDialogButton(window, IDCANCEL);
        }));
        EXPECT_TRUE(hintShown) << typeId;
        EXPECT_EQ(1u, GetShownHints().count(hint)) << typeId;
        EXPECT_EQ(0u, GetShownHints().count(hint == kTypeHint ? kDirectionHint : kTypeHint)) << typeId;
        GetShownHints().erase(hint);
    }
}

// Once the type changes, Tab walks the new panel's controls alone, and the
// access keys reach the type and the new panel's controls.
TEST_F(JumpDialogs, TabAndAccessKeysFollowThePanelShown)
{
    Place(kSingle, 2000.0f);
    std::vector<bool> reached;
    bool frameEntryOpen = false;
    ASSERT_TRUE(EditSelection([&](HWND window) {
        const HWND combo = FindTypeCombo(window);
        ChooseComboText(combo, TypeName(kTire));
        PressAccessKey(window, FindChildByCaption(window, GetString(2410)));
        reached.push_back(WaitForFocus(window, combo));
        // The standard frame and tire (checked, their entries closed), the
        // box (the colours button is disabled), OK.
        const std::vector<HWND> radios = Visible(FindRadioButtons(window));
        const HWND box = FindChildByCaption(window, GetStringWithArg(2230, TypeName(kTire)));
        for (HWND next : {radios[0], radios[2], box, FindChildByCaption(window, GetString(2015))}) {
            PressKey(GetFocusOf(window), VK_TAB);
            reached.push_back(WaitForFocus(window, next));
        }
        PressAccessKey(window, radios[1]);
        reached.push_back(WaitForFocus(window, radios[1]));
        // The key clicks the radio, which opens its entry.
        const HWND frameEntry = Visible(FindEditControls(window))[0];
        for (int i = 0; i < 200 && !IsWindowEnabled(frameEntry); ++i)
            Sleep(10);
        frameEntryOpen = IsWindowEnabled(frameEntry) != 0;
        PressDialogButton(window, IDCANCEL);
    }));
    EXPECT_EQ(std::vector<bool>(6, true), reached);
    EXPECT_TRUE(frameEntryOpen);
}
