#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/ObjectType.h"
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
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

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
    // Which of the tunnel window's style radios are checked.
    std::vector<bool> Styles() const { return std::vector<bool>(checked.begin(), checked.begin() + 3); }
};

class TunnelWindows : public CCourseSettingsTest
{
protected:
    void SetUp() override
    {
        CCourseSettingsTest::SetUp();
        course = std::make_unique<CCourse>(L"Tunnels", L"");
        course->SetSpecList(1);
        CDialogWatcher::TakeAnsweredTexts();
    }

    // A new object of the half's kind made through it, selected.
    CCourseObject* Place(float x, CObjectPropertiesDlg& half)
    {
        CTransform at;
        at.SetPosition2D(x, 3000.0f);
        std::unique_ptr<CCourseObject> made =
            FindObjectTypeByNameId(half.GetNameTextId())->CreateNew(course.get(), at, &half);
        made->SetSelected(true);
        CCourseObject* object = made.get();
        course->AddObject(std::move(made));
        return object;
    }
    // A tunnel of the style with its angle (rigid) or its sections.
    CCourseObject* PlaceTunnel(float x, int style, int angleOrSections)
    {
        CTunnelPropertiesDlg half(course.get());
        half.MergeStyle(style);
        style == kRigid ? half.MergeAngle(angleOrSections) : half.MergeSections(angleOrSections);
        return Place(x, half);
    }

    // Runs the window of the kind's placing tool, or with 0 the window of
    // the selection; the dialog's half after the run.
    std::shared_ptr<CEditSession> Run(int toolNameTextId, const std::function<void(HWND)>& drive)
    {
        std::shared_ptr<CEditSession> session;
        if (toolNameTextId != 0) {
            course->SelectToolType(toolNameTextId);
            session = course->GetToolSessionToRun();
        } else {
            course->CommitUndoStep(L"Placed");
            session = course->MakeSelectionSession();
        }
        if (!session || !RunModalDriven([&] { session->DoModal(); }, drive))
            ADD_FAILURE() << "the window did not run";
        return session;
    }
    // A tunnel's values as its dialog merges them.
    std::shared_ptr<CEditSession> Merged(CCourseObject* tunnel)
    {
        course->DeselectAll(false);
        tunnel->SetSelected(true);
        return course->MakeSelectionSession();
    }

    std::unique_ptr<CCourse> course;
};

CTunnelPropertiesDlg& Tunnel(const std::shared_ptr<CEditSession>& session)
{
    return dynamic_cast<CTunnelPropertiesDlg&>(*session);
}

// The first organisation with at least `least` collapsed-tunnel lengths, or
// without any when `least` is 0.
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

TEST_F(TunnelWindows, ANewTunnelStoresNoMoreSectionsThanItsStylesDefault)
{
    const struct
    {
        const wchar_t* typed;
        int stored;
    } cases[] = {{L"6", 4}, {L"3", 3}};
    for (const auto& c : cases) {
        CSeenWindow seen;
        std::vector<std::wstring> refused;
        std::shared_ptr<CEditSession> session = Run(CTunnel::kNameTextId, [&](HWND window) {
            seen.Look(window);
            SaveDialogShot(window, L"tunnel");
            const HWND sections = FindEditControls(window)[kSectionsEdit];
            TypeIntoEdit(sections, L"9");
            PressDialogButton(window, IDOK);
            refused = WaitForAnsweredTexts();
            TypeIntoEdit(sections, c.typed);
            PressDialogButton(window, IDOK);
        });
        // Nothing stored: jointed sections, 4 of them, the standard size.
        EXPECT_EQ((std::vector<bool>{true, false, false, true, false, true, false}), seen.checked) << c.typed;
        EXPECT_EQ((std::vector<bool>{false, true, false, false}), seen.enabled) << c.typed;
        EXPECT_EQ((std::vector<std::wstring>{L"0", L"4", Feet(1800.0f), L"24 in"}), seen.texts) << c.typed;
        EXPECT_EQ(std::vector<std::wstring>{GetStringWith2Args(2688, L"1", L"8")}, refused);
        // The tunnels placed next take the count typed.
        EXPECT_EQ(std::stoi(c.typed), Tunnel(session).GetSections());
        EXPECT_EQ(c.stored, CSettings::GetInt(L"340AKCSections2", 0)) << c.typed;
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
    CCourseObject* tunnel = PlaceTunnel(2000.0f, kPolyline, 6);
    CSeenWindow rigid, flexible, back, typed;
    int hintsAtStyle2 = 0;
    Run(0, [&](HWND window) {
        const std::vector<HWND> radios = FindRadioButtons(window);
        const HWND sections = FindEditControls(window)[kSectionsEdit];
        ClickControl(radios[kRigidRadio]);
        rigid.Look(window);
        ClickControl(radios[kFlexibleRadio]);
        flexible.Look(window);
        // Back at the tunnel's own style: its own count.
        ClickControl(radios[kPolylineRadio]);
        back.Look(window);
        TypeIntoEdit(sections, L"3");
        hintsAtStyle2 = GetHintCounts()[kManySectionsHint];
        ClickControl(radios[kFlexibleRadio]);
        typed.Look(window);
        // Stepped up to 4 with the sections' arrows.
        ClickUpDown(FindUpDownControls(window)[kSectionsEdit], true);
        PressDialogButton(window, IDOK);
    });
    EXPECT_EQ((std::vector<bool>{true, false, false, false}), rigid.enabled);
    EXPECT_EQ((std::vector<bool>{false, true, false, false}), flexible.enabled);
    EXPECT_EQ(L"3", flexible.texts[kSectionsEdit]);
    EXPECT_EQ(L"6", back.texts[kSectionsEdit]);
    // A count the user typed stays when the style changes.
    EXPECT_EQ(L"3", typed.texts[kSectionsEdit]);
    // Only a flexible tunnel of three or more sections hints at jointed ones.
    EXPECT_EQ(hintsBefore, hintsAtStyle2);
    EXPECT_EQ(hintsBefore + 1, GetHintCounts()[kManySectionsHint]);
    const std::shared_ptr<CEditSession> after = Merged(tunnel);
    EXPECT_EQ(kFlexible, Tunnel(after).GetStyle());
    EXPECT_EQ(4, Tunnel(after).GetSections());
    EXPECT_EQ(kFlexible, CSettings::GetInt(L"340AKCStyle", -1));
    EXPECT_EQ(2, CSettings::GetInt(L"340AKCSections0", 0));
}

TEST_F(TunnelWindows, TunnelsThatDifferKeepTheirOwnValuesUnlessTheUserSetsOne)
{
    const struct
    {
        const char* name;
        int firstStyle, first, secondStyle, second;
        const wchar_t* typedAngle;   // null: the angle is left alone
        std::vector<bool> styles;
        const wchar_t* angleShown;
        const wchar_t* sectionsShown;
        int firstAfter, secondAfter;     // angles, or sections
        int storedStyle, storedAngle;    // -1: none
    } cases[] = {
        {"two angles", kRigid, 30, kRigid, 60, nullptr, {false, false, true}, L"", L"4", 30, 60, kRigid, -1},
        {"45 typed", kRigid, 30, kRigid, 60, L"45", {false, false, true}, L"", L"4", 45, 45, kRigid, 45},
        // Only a rigid tunnel has an angle: the stored one stays.
        {"two counts", kPolyline, 4, kPolyline, 6, nullptr, {true, false, false}, L"0", L"", 4, 6, kPolyline, 0},
        {"two styles", kRigid, 30, kFlexible, 3, nullptr, {false, false, false}, L"30", L"3", 30, 3, -1, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenCourseTestSettings();
        course->SelectAll();
        course->DeleteSelected();
        CCourseObject* tunnels[] = {PlaceTunnel(2000.0f, c.firstStyle, c.first), PlaceTunnel(5000.0f, c.secondStyle, c.second)};
        CSeenWindow seen;
        Run(0, [&](HWND window) {
            seen.Look(window);
            if (c.firstStyle != c.secondStyle)
                SaveDialogShot(window, L"tunnel-mixed");
            if (c.typedAngle)
                TypeIntoEdit(FindEditControls(window)[kAngleEdit], c.typedAngle);
            PressDialogButton(window, IDOK);
        });
        EXPECT_EQ(c.styles, seen.Styles());
        EXPECT_EQ(c.angleShown, seen.texts[kAngleEdit]);
        EXPECT_EQ(c.sectionsShown, seen.texts[kSectionsEdit]);
        const int styles[] = {c.firstStyle, c.secondStyle};
        const int values[] = {c.firstAfter, c.secondAfter};
        for (int i = 0; i < 2; ++i) {
            const std::shared_ptr<CEditSession> after = Merged(tunnels[i]);
            EXPECT_EQ(styles[i], Tunnel(after).GetStyle());
            EXPECT_EQ(values[i], styles[i] == kRigid ? Tunnel(after).GetAngle() : Tunnel(after).GetSections());
        }
        EXPECT_EQ(c.storedStyle, CSettings::GetInt(L"340AKCStyle", -1));
        EXPECT_EQ(c.storedAngle, CSettings::GetInt(L"340AKCAngle", -1));
        // No count typed: none stored.
        for (const wchar_t* name : {L"340AKCSections0", L"340AKCSections1", L"340AKCSections2"})
            EXPECT_FALSE(HasTestSettingsValue(name));
    }
}

TEST_F(TunnelWindows, TheArrowKeysWalkTheStylesAndTheSectionsKeyReachesItsEntry)
{
    std::vector<bool> reached;
    Run(CTunnel::kNameTextId, [&](HWND window) {
        const std::vector<HWND> radios = FindRadioButtons(window);
        const HWND sections = FindEditControls(window)[kSectionsEdit];
        ClickControl(radios[kPolylineRadio]);
        reached.push_back(WaitForFocus(window, radios[kPolylineRadio]));
        // Down to the last style, then round to the first again.
        for (HWND next : {radios[kFlexibleRadio], radios[kRigidRadio], radios[kPolylineRadio]}) {
            PressKey(GetFocusedControl(window), VK_DOWN);
            reached.push_back(WaitForFocus(window, next));
        }
        // Alt and the label's access key go to the entry after the label.
        const std::wstring label = GetWindowTextString(FindChildByCaption(window, GetString(2428)));
        PostMessageW(GetFocusedControl(window), WM_SYSCHAR, WPARAM(label[label.find(L'&') + 1]), 1 << 29);
        reached.push_back(WaitForFocus(window, sections));
        PressKey(sections, VK_TAB);
        reached.push_back(WaitForFocus(window, radios[kStandardLengthRadio]));
        PressDialogButton(window, IDCANCEL);
    });
    EXPECT_EQ(std::vector<bool>(6, true), reached);
}

TEST_F(TunnelWindows, ACollapsedTunnelWithoutOrganisationLengthsOffers1740)
{
    course->SetSpecList(FindOrganisation(0));
    ASSERT_EQ(0, course->GetSpecList().GetCollapsedTunnelLengthCount());
    const std::wstring prefix = L"50" + course->GetSpecList().GetName();
    CSeenWindow seen;
    Run(CCollapsedTunnel::kNameTextId, [&](HWND window) {
        seen.Look(window);
        SaveDialogShot(window, L"collapsed-tunnel");
        PressDialogButton(window, IDOK);
    });
    // Only the custom length, then the standard and custom diameters.
    EXPECT_EQ((std::vector<bool>{true, true, false}), seen.checked);
    EXPECT_EQ((std::vector<bool>{true, false}), seen.enabled);
    EXPECT_EQ(Feet(1740.0f), seen.texts[0]);
    EXPECT_EQ(1740, CSettings::GetInt(prefix + L"Len", 0));
    EXPECT_EQ(int(course->GetSpecList().GetCollapsedTunnelDiameter()), CSettings::GetInt(prefix + L"Diam", 0));
}

TEST_F(TunnelWindows, CollapsedTunnelsOfDifferentLengthsKeepThem)
{
    course->SetSpecList(FindOrganisation(2));
    const CSpecList& rules = course->GetSpecList();
    std::vector<float> lengths(size_t(rules.GetCollapsedTunnelLengthCount()));
    ASSERT_GE(lengths.size(), 2u);
    for (size_t i = 0; i < lengths.size(); ++i)
        rules.GetCollapsedTunnelLength(int(i), lengths[i]);
    CCollapsedTunnel* tunnels[2];
    for (size_t i = 0; i < 2; ++i) {
        CCollapsedTunnelDlg half(course.get());
        half.SetSize(lengths[i], half.GetStandardDiameter());
        tunnels[i] = static_cast<CCollapsedTunnel*>(Place(2000.0f + 3000.0f * float(i), half));
    }
    std::vector<std::wstring> captions;
    CSeenWindow seen;
    Run(0, [&](HWND window) {
        seen.Look(window);
        for (HWND radio : FindRadioButtons(window))
            captions.push_back(GetCaptionText(radio));
        SaveDialogShot(window, L"collapsed-tunnel-mixed");
        // A custom diameter of 30 inches for both.
        ClickControl(FindRadioButtons(window).back());
        TypeIntoEdit(FindEditControls(window)[1], L"30");
        PressDialogButton(window, IDOK);
    });
    // The organisation's lengths, none checked, then the custom one; the
    // standard diameter checked.
    ASSERT_EQ(lengths.size() + 3, captions.size());
    EXPECT_EQ(Feet(lengths[1]), captions[1]);
    std::vector<bool> checked(captions.size(), false);
    checked[lengths.size() + 1] = true;
    EXPECT_EQ(checked, seen.checked);
    // Both entries disabled, the length's showing the first tunnel's.
    EXPECT_EQ((std::vector<bool>{false, false}), seen.enabled);
    EXPECT_EQ(Feet(lengths[0]), seen.texts[0]);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(lengths[i], tunnels[i]->GetLength());
        EXPECT_EQ(300.0f, tunnels[i]->GetDiameter());
    }
    const std::wstring prefix = L"50" + rules.GetName();
    EXPECT_FALSE(HasTestSettingsValue(prefix + L"Len"));
    EXPECT_EQ(300, CSettings::GetInt(prefix + L"Diam", 0));
}
