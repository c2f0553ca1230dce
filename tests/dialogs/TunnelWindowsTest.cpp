#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
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

constexpr int kFlexible = CTunnelGeometry::kFlexible;
constexpr int kRigid = CTunnelGeometry::kRigid;
constexpr int kPolyline = CTunnelGeometry::kPolyline;
constexpr int kManySectionsHint = 2721;

// The tunnel window's radio buttons and entries in creation order.
enum ETunnelRadio { kPolylineRadio, kFlexibleRadio, kRigidRadio, kStandardLengthRadio, kCustomLengthRadio };
enum ETunnelEdit { kAngleEdit, kSectionsEdit, kLengthEdit };

std::wstring Feet(float tenths) { return FormatLength(tenths, EUnitKind::kFeetAndInches, true); }

// What a driver saw of a properties window.
struct CSeenWindow
{
    std::vector<bool> checked;   // the radio buttons
    std::vector<bool> enabled;   // the entries
    std::vector<std::wstring> texts;

    void Look(HWND window)
    {
        for (HWND radio : FindRadioButtons(window))
            checked.push_back(IsButtonChecked(radio));
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
    // A tunnel of the style with its angle (rigid) or its sections.
    CTunnel* PlaceTunnel(float x, int style, int angleOrSections)
    {
        return Place<CTunnel, CTunnelPropertiesDlg>(x, [&](CTunnelPropertiesDlg& half) {
            half.MergeStyle(style);
            style == kRigid ? half.MergeAngle(angleOrSections) : half.MergeSections(angleOrSections);
        });
    }
    // Runs the window of the kind's placing tool; its dialog half after the run.
    std::shared_ptr<CEditSession> RunTool(int toolNameTextId, const std::function<void(HWND)>& drive)
    {
        course.SelectToolType(toolNameTextId);
        std::shared_ptr<CEditSession> session = course.GetToolSessionToRun();
        EXPECT_TRUE(session && RunModalDriven([&] { session->DoModal(); }, drive));
        return session;
    }
    // A tunnel's values as its dialog merges them.
    std::shared_ptr<CEditSession> Merged(CCourseObject* tunnel)
    {
        course.DeselectAll(false);
        tunnel->SetSelected(true);
        return course.MakeSelectionSession();
    }
};

// The first organisation with at least `least` collapsed-tunnel lengths, or without any when 0.
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
            // The arrows walk down the styles and round to the first; the sections key reaches its entry.
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
        // Nothing stored: jointed sections, 4 of them, the standard size.
        EXPECT_EQ((std::vector<bool>{true, false, false, true, false, true, false}), seen.checked);
        EXPECT_EQ((std::vector<bool>{false, true, false, false}), seen.enabled);
        EXPECT_EQ((std::vector<std::wstring>{L"0", L"4", Feet(1800.0f), L"24 in"}), seen.texts);
        EXPECT_EQ(std::vector<bool>(6, true), reached);
        EXPECT_EQ(std::vector<std::wstring>{GetStringWith2Args(2688, L"1", L"8")}, refused);
        EXPECT_EQ(std::stoi(c.typed), Tunnel(*session).GetSections());
        EXPECT_EQ(c.stored, CSettings::GetInt(L"340AKCSections2", 0));
        EXPECT_EQ(kPolyline, CSettings::GetInt(L"340AKCStyle", -1));
        EXPECT_EQ(1800, CSettings::GetInt(L"340AKCLen", 0));
        EXPECT_EQ(240, CSettings::GetInt(L"340AKCDiam", 0));
    }
}

TEST_F(TunnelWindows, SwitchingTheStyleOffersItsStoredSectionsUntilTheUserSetsACount)
{
    CSettings::SetInt(L"340AKCSections0", 3);
    CSettings::SetInt(GetNeverShowValueName(kManySectionsHint), 1);
    const int hintsBefore = GetHintCounts()[kManySectionsHint];
    CTunnel* tunnel = PlaceTunnel(2000.0f, kPolyline, 6);
    CSeenWindow rigid, flexible, back, typed;
    int hintsAtStyle2 = 0;
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
    EXPECT_EQ(L"3", flexible.texts[kSectionsEdit]);
    EXPECT_EQ(L"6", back.texts[kSectionsEdit]);
    EXPECT_EQ(L"3", typed.texts[kSectionsEdit]);   // a typed count survives a style change
    // Only a flexible tunnel of three or more sections hints at jointed ones.
    EXPECT_EQ(hintsBefore, hintsAtStyle2);
    EXPECT_EQ(hintsBefore + 1, GetHintCounts()[kManySectionsHint]);
    const auto after = Merged(tunnel);
    EXPECT_EQ(kFlexible, Tunnel(*after).GetStyle());
    EXPECT_EQ(4, Tunnel(*after).GetSections());
    EXPECT_EQ(kFlexible, CSettings::GetInt(L"340AKCStyle", -1));
    EXPECT_EQ(2, CSettings::GetInt(L"340AKCSections0", 0));
}

TEST_F(TunnelWindows, TunnelsThatDifferKeepTheirOwnValuesUnlessTheUserSetsOne)
{
    const struct
    {
        const char* name;
        int styles[2], values[2];      // angles (rigid) or sections, placed
        const wchar_t* typedAngle;     // null: the angle is left alone
        std::vector<bool> checked;     // the style radios
        const wchar_t *angleShown, *sectionsShown;
        int after[2];
        int storedStyle, storedAngle;  // -1: none
    } cases[] = {
        {"two angles", {kRigid, kRigid}, {30, 60}, nullptr, {false, false, true}, L"", L"4", {30, 60}, kRigid, -1},
        {"45 typed", {kRigid, kRigid}, {30, 60}, L"45", {false, false, true}, L"", L"4", {45, 45}, kRigid, 45},
        // Only a rigid tunnel has an angle: the stored one stays.
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
        EXPECT_EQ(c.angleShown, seen.texts[kAngleEdit]);
        EXPECT_EQ(c.sectionsShown, seen.texts[kSectionsEdit]);
        for (int i = 0; i < 2; ++i) {
            const auto after = Merged(tunnels[i]);
            EXPECT_EQ(c.styles[i], Tunnel(*after).GetStyle());
            EXPECT_EQ(c.after[i], c.styles[i] == kRigid ? Tunnel(*after).GetAngle() : Tunnel(*after).GetSections());
        }
        EXPECT_EQ(c.storedStyle, CSettings::GetInt(L"340AKCStyle", -1));
        EXPECT_EQ(c.storedAngle, CSettings::GetInt(L"340AKCAngle", -1));
        for (const wchar_t* name : {L"340AKCSections0", L"340AKCSections1", L"340AKCSections2"})
            EXPECT_FALSE(HasTestSettingsValue(name));   // no count typed: none stored
    }
}

TEST_F(TunnelWindows, CollapsedTunnelsOfferTheOrganisationsLengthsAndKeepTheirOwn)
{
    course.SetSpecList(FindOrganisation(0));
    ASSERT_EQ(0, course.GetSpecList().GetCollapsedTunnelLengthCount());
    CSeenWindow fresh;
    RunTool(CCollapsedTunnel::kNameTextId, [&](HWND window) {
        fresh.Look(window);
        PressDialogButton(window, IDOK);
    });
    // Without organisation lengths: only the custom one, then the standard and custom diameters.
    EXPECT_EQ((std::vector<bool>{true, true, false}), fresh.checked);
    EXPECT_EQ((std::vector<bool>{true, false}), fresh.enabled);
    EXPECT_EQ(Feet(1740.0f), fresh.texts[0]);
    EXPECT_EQ(1740, CSettings::GetInt(L"50" + course.GetSpecList().GetName() + L"Len", 0));
    EXPECT_EQ(int(course.GetSpecList().GetCollapsedTunnelDiameter()),
              CSettings::GetInt(L"50" + course.GetSpecList().GetName() + L"Diam", 0));

    // With two or more lengths, tunnels that differ keep theirs.
    course.SetSpecList(FindOrganisation(2));
    const CSpecList& rules = course.GetSpecList();
    std::vector<float> lengths(size_t(rules.GetCollapsedTunnelLengthCount()));
    ASSERT_GE(lengths.size(), 2u);
    for (size_t i = 0; i < lengths.size(); ++i)
        rules.GetCollapsedTunnelLength(int(i), lengths[i]);
    CCollapsedTunnel* tunnels[2];
    for (size_t i = 0; i < 2; ++i)
        tunnels[i] = Place<CCollapsedTunnel, CCollapsedTunnelDlg>(2000.0f + 3000.0f * float(i), [&](CCollapsedTunnelDlg& half) {
            half.SetSize(lengths[i], half.GetStandardDiameter());
        });
    std::vector<std::wstring> captions;
    CSeenWindow seen;
    ASSERT_TRUE(EditSelection([&](HWND window) {
        seen.Look(window);
        for (HWND radio : FindRadioButtons(window))
            captions.push_back(GetCaptionText(radio));
        ClickControl(FindRadioButtons(window).back());   // a custom diameter of 30 inches
        TypeIntoEdit(FindEditControls(window)[1], L"30");
        PressDialogButton(window, IDOK);
    }));
    // The organisation's lengths, none checked, the custom one; the standard diameter checked.
    ASSERT_EQ(lengths.size() + 3, captions.size());
    EXPECT_EQ(Feet(lengths[1]), captions[1]);
    std::vector<bool> checked(captions.size(), false);
    checked[lengths.size() + 1] = true;
    EXPECT_EQ(checked, seen.checked);
    EXPECT_EQ((std::vector<bool>{false, false}), seen.enabled);
    EXPECT_EQ(Feet(lengths[0]), seen.texts[0]);   // the first tunnel's length
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(lengths[i], tunnels[i]->GetLength());
        EXPECT_EQ(300.0f, tunnels[i]->GetDiameter());
    }
    const std::wstring prefix = L"50" + rules.GetName();
    EXPECT_FALSE(HasTestSettingsValue(prefix + L"Len"));
    EXPECT_EQ(300, CSettings::GetInt(prefix + L"Diam", 0));
}
