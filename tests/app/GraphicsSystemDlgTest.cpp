#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>
#include <set>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/CourseWindow.h"
#include "app/GraphicsSystemDlg.h"
#include "course/Course.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/render3d/GraphicsTestSystems.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "ui/Command.h"

namespace {

// The buttons' captions, top to bottom.
const int kCaptionIds[] = {2388, 2391, 2392, 2389, 2390};
constexpr int kNone = -1;

// Direct3D 11, OpenGL 3 and OpenGL 1 as this test's machine has them, in
// the program's table of classes.
struct CFakeSystems
{
    CFakeSystems(bool direct3D, bool openGL3) : d3d(L"TestD3D", direct3D), gl3(L"TestGL3", openGL3) { Install(); }
    void Install()
    {
        CGraphicsSystemTestAccess::ReplaceTable({{3, &d3d, false, 4},
                                                 {4, &d3d, true, 4},
                                                 {2, &gl3, true, 2},
                                                 {1, &gl1, true, 1},
                                                 {0, &CGdiGraphicsSystem::Instance(), false, 0}});
    }
    CFakeGraphicsSystem d3d;
    CFakeGraphicsSystem gl3;
    CFakeGraphicsSystem gl1{L"TestGL1", true};
};

// What the dialog showed: each button's tick and enabled state.
struct CShown
{
    std::wstring title;
    std::vector<std::wstring> captions;
    std::vector<bool> ticked;
    std::vector<bool> enabled;
    std::vector<LONG> lefts;
    LONG headingLeft = 0;
    std::wstring keys;
};

// The access keys of every caption, upper case.
std::wstring AccessKeys(HWND dialog)
{
    std::wstring keys;
    for (const CDialogChild& child : ListDialogChildren(dialog)) {
        const size_t amp = child.text.find(L'&');
        if (amp != std::wstring::npos && amp + 1 < child.text.size())
            keys += wchar_t(std::towupper(child.text[amp + 1]));
    }
    return keys;
}

// Runs the dialog, reads it, clicks the button at `click` (kNone: none)
// and ends with OK or Cancel.
bool RunAndRead(CShown& shown, int click, bool ok, const wchar_t* shot = nullptr)
{
    CDialogWatcherPause pause;
    return RunModalDriven([] { ShowGraphicsSystemDialog(); }, [&](HWND dialog) {
        shown.title = GetWindowTextString(dialog);
        const std::vector<HWND> radios = FindRadioButtons(dialog);
        for (HWND radio : radios) {
            shown.captions.push_back(GetCaptionText(radio));
            shown.ticked.push_back(IsButtonChecked(radio));
            shown.enabled.push_back(IsWindowEnabled(radio) != FALSE);
        }
        for (const CDialogChild& child : ListDialogChildren(dialog)) {
            if (GetCaptionText(child.window) == GetString(2387))
                shown.headingLeft = child.rect.left;
            for (HWND radio : radios)
                if (child.window == radio)
                    shown.lefts.push_back(child.rect.left);
        }
        shown.keys = AccessKeys(dialog);
        if (shot) {
            SaveDialogShot(dialog, shot, L"shots-3d");
            SaveWindowPicture(dialog, GetTestArtefactPath(std::wstring(shot) + L".png"));
        }
        if (click != kNone && size_t(click) < radios.size())
            ClickControl(radios[size_t(click)]);
        PressDialogButton(dialog, ok ? IDOK : IDCANCEL);
    });
}

class GraphicsSystemDlg : public testing::Test
{
protected:
    void SetUp() override { CGraphicsSystemTestAccess::ResetRun(); }
    void TearDown() override { CGraphicsSystemTestAccess::ResetRun(); }

    CTestSettingsKey settings;
};

}  // namespace

TEST_F(GraphicsSystemDlg, TicksTheStoredClassOffersOnlyWhatTheMachineHasAndStoresTheChoice)
{
    const bool T = true, F = false;
    struct CCase
    {
        int stored;
        bool direct3D, openGL3;
        int ticked;
        std::vector<bool> enabled;
        int click;
        bool ok;
        int storedAfter;
    };
    const CCase cases[] = {
        // No Direct3D 11 here, yet the stored class 3 stays ticked and enabled.
        {3, F, F, 0, {T, T, F, F, T}, kNone, T, 3},
        {0, F, T, 1, {F, T, F, T, T}, 3, T, 2},
        {2, F, F, 3, {F, T, F, T, T}, 4, T, 1},
        {1, T, F, 4, {T, T, T, F, T}, 2, T, 4},
        {4, F, F, 2, {F, T, T, F, T}, 1, T, 0},
        // A damaged class ticks nothing; OK takes the first choice.
        {9, F, F, kNone, {F, T, F, F, T}, kNone, T, 3},
        // Cancelled: the class stays.
        {2, F, T, 3, {F, T, F, T, T}, 1, F, 2},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "stored " << c.stored << ", click " << c.click);
        CGraphicsSystemTestAccess::ResetRun();
        CSettings::SetInt(L"GraphicsClass", c.stored);
        CSettings::SetInt(L"GraphicsSystemMenuItemVisible", 0);
        for (const wchar_t* name : {L"TestD3DWorstError", L"TestGL3WorstError", L"TestGL1WorstError"})
            CSettings::SetInt(name, 3);
        CFakeSystems systems(c.direct3D, c.openGL3);
        CShown shown;
        ASSERT_TRUE(RunAndRead(shown, c.click, c.ok, c.stored == 3 ? L"graphics-system-dialog" : nullptr));

        EXPECT_EQ(GetString(2384), shown.title);
        ASSERT_EQ(5u, shown.captions.size());
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(GetString(kCaptionIds[i]), shown.captions[size_t(i)]);
            EXPECT_EQ(i == c.ticked, shown.ticked[size_t(i)]) << i;
        }
        EXPECT_EQ(c.enabled, shown.enabled);
        // Opening it is enough to show the command in later windows.
        EXPECT_EQ(1, CSettings::GetInt(L"GraphicsSystemMenuItemVisible", 0));
        EXPECT_EQ(c.storedAfter, CSettings::GetInt(L"GraphicsClass", -1));
        // The system chosen forgets its stored failures; the others keep them.
        const std::wstring chosen = !c.ok                               ? L""
                                    : c.storedAfter == 3 || c.storedAfter == 4 ? L"TestD3D"
                                    : c.storedAfter == 2                     ? L"TestGL3"
                                    : c.storedAfter == 1                     ? L"TestGL1"
                                                                             : L"";
        for (const wchar_t* name : {L"TestD3D", L"TestGL3", L"TestGL1"})
            EXPECT_EQ(chosen == name ? 0 : 3, CSettings::GetInt(std::wstring(name) + L"WorstError", -1)) << name;
    }
}

TEST_F(GraphicsSystemDlg, TheHeadingStandsAboveAnIndentedGroupAndEveryKeyIsOne)
{
    CSettings::SetInt(L"GraphicsClass", 1);
    CFakeSystems systems(false, false);
    CShown shown;
    ASSERT_TRUE(RunAndRead(shown, kNone, false));
    ASSERT_EQ(5u, shown.lefts.size());
    for (LONG left : shown.lefts)
        EXPECT_EQ(shown.lefts[0], left);
    EXPECT_GT(shown.lefts[0], shown.headingLeft + 4);
    // The heading and the five buttons each have a key, all different.
    EXPECT_EQ(6u, shown.keys.size());
    EXPECT_EQ(shown.keys.size(), std::set<wchar_t>(shown.keys.begin(), shown.keys.end()).size()) << shown.keys;
}

// The view commands follow the graphics class: with a 3D system for the
// views (OpenGL 1 here, which a class never stored gives as well) they are
// enabled and switch the window, with GDI only they stay off.
CHILD_TEST(GraphicsClassViews, ViewCommandsFollowTheChosenClass)
{
    cwtest::PrepareWindowTest();
    CFakeSystems systems(false, false);
    constexpr int kUnset = -1;
    for (int graphicsClass : {kUnset, 0, 1}) {
        CGraphicsSystemTestAccess::ResetRun();
        systems.Install();
        if (graphicsClass != kUnset)
            CSettings::SetInt(L"GraphicsClass", graphicsClass);
        const bool threeD = graphicsClass != 0;
        if (CanShowAnother3DView() != threeD)
            return 1;
        CCourseWindow* window = cwtest::OpenNewCourseWindow();
        CCourse* course = window->GetCourse();
        const auto enabled = [window](int id) {
            window->UpdateCommandStates();
            return dynamic_cast<CCommand*>(window->menuBar.FindById(id))->enabled;
        };
        if (enabled(2148) != threeD || enabled(2152) != threeD || enabled(2170))
            return 2;
        window->RunMenuCommand(2148);
        if (course->Get3D() != threeD || (window->currentScene == &window->scene3D) != threeD)
            return 3;
        if (threeD) {
            const bool hidden = course->GetHideGrass();
            if (!enabled(2170) || !enabled(2150))
                return 4;
            window->RunMenuCommand(2170);
            if (course->GetHideGrass() == hidden)
                return 5;
            window->RunMenuCommand(2152);
            if (course->Get3D() || !course->Get3DCamera() || window->currentScene != &window->mapScene)
                return 6;
            window->RunMenuCommand(2150);
            if (course->Get3DCamera())
                return 7;
        }
    }
    return ReportCount() == 0 ? 0 : 8;
}
