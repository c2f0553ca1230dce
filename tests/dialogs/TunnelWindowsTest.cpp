#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "course/SpecList.h"
#include "dialogs/CollapsedTunnelDlg.h"
#include "dialogs/HintDlg.h"
#include "dialogs/LengthFormat.h"
#include "dialogs/TunnelPropertiesDlg.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/equipment/CollapsedTunnel.h"
#include "objects/equipment/Tunnel.h"
#include "objects/equipment/TunnelGeometry.h"
#include "tests/dialogs/PropertiesWndTest.h"

namespace {

constexpr int kFlexible = CTunnelGeometry::kFlexible, kRigid = CTunnelGeometry::kRigid, kPolyline = CTunnelGeometry::kPolyline;
constexpr int kManySectionsHint = 2721;
enum ETunnelRadio { kPolylineRadio, kFlexibleRadio, kRigidRadio, kStandardLengthRadio, kCustomLengthRadio };
enum ETunnelEdit { kAngleEdit, kSectionsEdit, kLengthEdit };

std::wstring Feet(float tenths) { return FormatLength(tenths, EUnitKind::kFeetAndInches, true); }

// What a driver saw: radio checks, entry states and texts.
struct CSeenWindow
{
    std::vector<bool> checked, enabled;
    std::vector<std::wstring> texts, captions;   // entries, radio buttons
    void Look(HWND window)
    {
        for (HWND radio : FindRadioButtons(window)) {
            checked.push_back(IsButtonChecked(radio));
            captions.push_back(GetCaptionText(radio));
        }
        for (HWND edit : FindEditControls(window)) {
            enabled.push_back(IsWindowEnabled(edit) != 0);
            texts.push_back(GetCaptionText(edit));
        }
    }
};

CTunnelPropertiesDlg& Tunnel(CEditSession& session) { return dynamic_cast<CTunnelPropertiesDlg&>(session); }

class TunnelWindows : public CPropertiesWndTest
{
protected:
    CTunnel* PlaceTunnel(float x, int style, int angleOrSections)
    {
        return Place<CTunnel, CTunnelPropertiesDlg>(x, [&](CTunnelPropertiesDlg& half) {
            half.MergeStyle(style);
            style == kRigid ? half.MergeAngle(angleOrSections) : half.MergeSections(angleOrSections);
        });
    }
    std::shared_ptr<CEditSession> RunTool(int toolNameTextId, const std::function<void(HWND)>& drive)
    {
        course.SelectToolType(toolNameTextId);
        std::shared_ptr<CEditSession> session = course.GetToolSessionToRun();
        EXPECT_TRUE(session && RunModalDriven([&] { session->DoModal(); }, drive));
        return session;
    }
    std::shared_ptr<CEditSession> Merged(CCourseObject* tunnel)
    {
        course.DeselectAll(false), tunnel->SetSelected(true);
        return course.MakeSelectionSession();
    }
};

// The first organisation with at least `least` collapsed-tunnel lengths, or none when 0.
int FindOrganisation(int least)
{
    for (int organisation = 0; organisation < 16; ++organisation) {
        const int count = GetSpecList(organisation).GetCollapsedTunnelLengthCount();
        if (least == 0 ? count == 0 : count >= least)
            return organisation;
    }
    return 0;
}

}  // namespace

TEST_F(TunnelWindows, ANewTunnelStoresNoMoreSectionsThanItsStylesDefaultAndItsKeysWalkIt)
{
    const struct { const wchar_t* typed; int stored; } cases[] = {{L"6", 4}, {L"3", 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.typed);
        CSeenWindow seen;
        std::vector<std::wstring> refused;
        std::vector<bool> reached;
        std::shared_ptr<CEditSession> session = RunTool(CTunnel::kNameTextId, [&](HWND window) {
            seen.Look(window);
            const std::vector<HWND> radios = FindRadioButtons(window);
            const HWND sections = FindEditControls(window)[kSectionsEdit];
            ClickControl(radios[kPolylineRadio]);
            reached.push_back(WaitForFocus(window, radios[kPolylineRadio]));
            for (HWND next : {radios[kFlexibleRadio], radios[kRigidRadio], radios[kPolylineRadio]}) {
                PressKey(GetFocusedControl(window), VK_DOWN);
                reached.push_back(WaitForFocus(window, next));
            }
            PressAccessKey(window, FindChildByCaption(window, GetString(2428)));
            reached.push_back(WaitForFocus(window, sections));
            PressKey(sections, VK_TAB);
            reached.push_back(WaitForFocus(window, radios[kStandardLengthRadio]));
            TypeIntoEdit(sections, L"9");
            PressDialogButton(window, IDOK);
            refused = WaitForAnsweredTexts();
            TypeIntoEdit(sections, c.typed);
            PressDialogButton(window, IDOK);
        });
        EXPECT_EQ((std::vector<bool>{true, false, false, true, false, true, false}), seen.checked);
        EXPECT_EQ((std::vector<bool>{false, true, false, false}), seen.enabled);
        EXPECT_EQ((std::vector<std::wstring>{L"0", L"4", Feet(1800.0f), L"24 in"}), seen.texts);
        EXPECT_EQ(std::vector<bool>(6, true), reached);
        EXPECT_EQ(std::vector<std::wstring>{GetStringWith2Args(2688, L"1", L"8")}, refused);
        EXPECT_EQ(std::stoi(c.typed), Tunnel(*session).GetSections());
        EXPECT_EQ(c.stored, CSettings::GetInt(L"340AKCSections2", 0));
        for (const auto& [name, value] : {std::pair{L"340AKCStyle", kPolyline}, {L"340AKCLen", 1800}, {L"340AKCDiam", 240}})
            EXPECT_EQ(value, CSettings::GetInt(name, -1)) << name;
    }
}

TEST_F(TunnelWindows, SwitchingTheStyleOffersItsStoredSectionsUntilTheUserSetsACount)
{
    CSettings::SetInt(L"340AKCSections0", 3);
    CSettings::SetInt(GetNeverShowValueName(kManySectionsHint), 1);
    const int hintsBefore = GetHintCounts()[kManySectionsHint];
    CTunnel* tunnel = PlaceTunnel(2000.0f, kPolyline, 6);
    CSeenWindow rigid, flexible, back, typed;
    int hintsAtStyle2 = 0;   // only a flexible tunnel of 3+ sections hints
    ASSERT_TRUE(EditSelection([&](HWND window) {
        const std::vector<HWND> radios = FindRadioButtons(window);
        ClickControl(radios[kRigidRadio]);
        rigid.Look(window);
        ClickControl(radios[kFlexibleRadio]);
        flexible.Look(window);
        ClickControl(radios[kPolylineRadio]);
        back.Look(window);
        TypeIntoEdit(FindEditControls(window)[kSectionsEdit], L"3");
        hintsAtStyle2 = GetHintCounts()[kManySectionsHint];
        ClickControl(radios[kFlexibleRadio]);
        typed.Look(window);
        ClickUpDown(FindUpDownControls(window)[kSectionsEdit], true);
        PressDialogButton(window, IDOK);
    }));
    EXPECT_EQ((std::vector<bool>{true, false, false, false}), rigid.enabled);
    EXPECT_EQ((std::vector<bool>{false, true, false, false}), flexible.enabled);
    // Flexible's stored count, back to the tunnel's own, then a typed count survives a style change.
    EXPECT_EQ((std::vector<std::wstring>{L"3", L"6", L"3"}),
              (std::vector<std::wstring>{flexible.texts[kSectionsEdit], back.texts[kSectionsEdit], typed.texts[kSectionsEdit]}));
    EXPECT_EQ(std::make_pair(hintsBefore, hintsBefore + 1), std::make_pair(hintsAtStyle2, GetHintCounts()[kManySectionsHint]));
    const auto after = Merged(tunnel);
    EXPECT_EQ(std::make_pair(kFlexible, 4), std::make_pair(Tunnel(*after).GetStyle(), Tunnel(*after).GetSections()));
    EXPECT_EQ(std::make_pair(kFlexible, 2), std::make_pair(CSettings::GetInt(L"340AKCStyle", -1), CSettings::GetInt(L"340AKCSections0", 0)));
}

TEST_F(TunnelWindows, TunnelsThatDifferKeepTheirOwnValuesUnlessTheUserSetsOne)
{
    // Placed styles and angles/sections, the angle typed, style radios and texts shown, values after, stored (-1: none).
    const struct {
        const char* name; int styles[2], values[2]; const wchar_t* typedAngle; std::vector<bool> checked;
        const wchar_t *angleShown, *sectionsShown; int after[2], storedStyle, storedAngle;
    } cases[] = {
        {"two angles", {kRigid, kRigid}, {30, 60}, nullptr, {false, false, true}, L"", L"4", {30, 60}, kRigid, -1},
        {"45 typed", {kRigid, kRigid}, {30, 60}, L"45", {false, false, true}, L"", L"4", {45, 45}, kRigid, 45},
        {"two counts", {kPolyline, kPolyline}, {4, 6}, nullptr, {true, false, false}, L"0", L"", {4, 6}, kPolyline, 0},
        {"two styles", {kRigid, kFlexible}, {30, 3}, nullptr, {false, false, false}, L"30", L"3", {30, 3}, -1, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenCourseTestSettings();
        course.SelectAll();
        course.DeleteSelected();
        CTunnel* tunnels[] = {PlaceTunnel(2000.0f, c.styles[0], c.values[0]), PlaceTunnel(5000.0f, c.styles[1], c.values[1])};
        CSeenWindow seen;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            seen.Look(window);
            if (c.typedAngle)
                TypeIntoEdit(FindEditControls(window)[kAngleEdit], c.typedAngle);
            PressDialogButton(window, IDOK);
        }));
        EXPECT_EQ(c.checked, std::vector<bool>(seen.checked.begin(), seen.checked.begin() + 3));
        EXPECT_EQ((std::vector<std::wstring>{c.angleShown, c.sectionsShown}), std::vector<std::wstring>(seen.texts.begin(), seen.texts.begin() + 2));
        for (int i = 0; i < 2; ++i) {
            const auto after = Merged(tunnels[i]);
            EXPECT_EQ(c.styles[i], Tunnel(*after).GetStyle());
            EXPECT_EQ(c.after[i], c.styles[i] == kRigid ? Tunnel(*after).GetAngle() : Tunnel(*after).GetSections());
        }
        EXPECT_EQ(std::make_pair(c.storedStyle, c.storedAngle),
                  std::make_pair(CSettings::GetInt(L"340AKCStyle", -1), CSettings::GetInt(L"340AKCAngle", -1)));
        for (const wchar_t* name : {L"340AKCSections0", L"340AKCSections1", L"340AKCSections2"})
            EXPECT_FALSE(HasTestSettingsValue(name));   // no count typed: none stored
    }
}

TEST_F(TunnelWindows, AnEmptyFieldIsRefusedAndTheTunnelKeepsItsValue)
{
    // The bend's range starts at 0, which an empty field must not pass for.
    const struct { int style, value, edit; const wchar_t* range[2]; } cases[] = {
        {kRigid, 30, kAngleEdit, {L"0", L"270"}}, {kPolyline, 4, kSectionsEdit, {L"1", L"8"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        course.SelectAll();
        course.DeleteSelected();
        CTunnel* tunnel = PlaceTunnel(2000.0f, c.style, c.value);
        std::vector<std::wstring> refused;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            TypeIntoEdit(FindEditControls(window)[c.edit], L"");
            PressDialogButton(window, IDOK);
            refused = WaitForAnsweredTexts();
            PressDialogButton(window, IDCANCEL);
        }));
        EXPECT_EQ(std::vector<std::wstring>{GetStringWith2Args(2688, c.range[0], c.range[1])}, refused);
        const auto after = Merged(tunnel);
        EXPECT_EQ(c.value, c.style == kRigid ? Tunnel(*after).GetAngle() : Tunnel(*after).GetSections());
    }
}

TEST_F(TunnelWindows, CollapsedTunnelsOfferTheOrganisationsLengthsAndKeepTheirOwn)
{
    course.SetSpecList(FindOrganisation(0));
    ASSERT_EQ(0, course.GetSpecList().GetCollapsedTunnelLengthCount());
    CSeenWindow fresh;
    RunTool(CCollapsedTunnel::kNameTextId, [&](HWND window) { fresh.Look(window); PressDialogButton(window, IDOK); });
    EXPECT_EQ((std::vector<bool>{true, true, false}), fresh.checked);
    EXPECT_EQ((std::vector<bool>{true, false}), fresh.enabled);
    EXPECT_EQ(Feet(1740.0f), fresh.texts[0]);
    EXPECT_EQ(1740, CSettings::GetInt(L"50" + course.GetSpecList().GetName() + L"Len", 0));

    course.SetSpecList(FindOrganisation(2));
    const CSpecList& rules = course.GetSpecList();
    std::vector<float> lengths(size_t(rules.GetCollapsedTunnelLengthCount()));
    ASSERT_GE(lengths.size(), 2u);
    for (size_t i = 0; i < lengths.size(); ++i)
        rules.GetCollapsedTunnelLength(int(i), lengths[i]);
    CCollapsedTunnel* tunnels[2];
    for (size_t i = 0; i < 2; ++i)
        tunnels[i] = Place<CCollapsedTunnel, CCollapsedTunnelDlg>(
            2000.0f + 3000.0f * float(i), [&](CCollapsedTunnelDlg& half) { half.SetSize(lengths[i], half.GetStandardDiameter()); });
    CSeenWindow seen;
    ASSERT_TRUE(EditSelection([&](HWND window) {
        seen.Look(window);
        ClickControl(FindRadioButtons(window).back());   // a custom diameter of 30 inches
        TypeIntoEdit(FindEditControls(window)[1], L"30");
        PressDialogButton(window, IDOK);
    }));
    ASSERT_EQ(lengths.size() + 3, seen.captions.size());
    EXPECT_EQ(Feet(lengths[1]), seen.captions[1]);
    std::vector<bool> checked(seen.captions.size(), false);
    checked[lengths.size() + 1] = true;   // the standard diameter
    EXPECT_EQ(checked, seen.checked);
    EXPECT_EQ((std::vector<bool>{false, false}), seen.enabled);
    EXPECT_EQ(Feet(lengths[0]), seen.texts[0]);   // the first tunnel's length
    for (size_t i = 0; i < 2; ++i)
        EXPECT_EQ(std::make_pair(lengths[i], 300.0f), std::make_pair(tunnels[i]->GetLength(), tunnels[i]->GetDiameter()));
    EXPECT_FALSE(HasTestSettingsValue(L"50" + rules.GetName() + L"Len"));
    EXPECT_EQ(300, CSettings::GetInt(L"50" + rules.GetName() + L"Diam", 0));
}
