#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>
#include <set>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/BrisklaneModeDlg.h"
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

constexpr int kNone = -1;

// Direct3D 11, OpenGL 3 and OpenGL 1 as this test's machine has them.
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

// Runs the dialog and reads its buttons top to bottom ('X' ticked, 'o'
// offered, '-' disabled), checking captions, keys and indent; clicks the
// button at `click` and ends with OK or Cancel.
bool RunAndRead(std::string& buttons, int click, bool ok)
{
    CDialogWatcherPause pause;
    return RunModalDriven([] { ShowGraphicsSystemDialog(); }, [&](HWND dialog) {
        const int captionIds[] = {2388, 2391, 2392, 2389, 2390};
        std::vector<HWND> radios;
        std::set<wchar_t> keys;
        LONG headingLeft = 1 << 20;
        for (const CDialogChild& child : ListDialogChildren(dialog)) {
            const size_t amp = child.text.find(L'&');
            if (amp != std::wstring::npos) {
                EXPECT_TRUE(keys.insert(wchar_t(std::towupper(child.text.at(amp + 1)))).second) << child.text;
            }
            if (GetCaptionText(child.window) == GetString(2387))
                headingLeft = child.rect.left;
            if ((child.style & BS_TYPEMASK) == BS_RADIOBUTTON && child.className == L"Button" && radios.size() < 5) {
                EXPECT_EQ(GetString(captionIds[radios.size()]), GetCaptionText(child.window));
                EXPECT_GT(child.rect.left, headingLeft + 4) << "indented below the heading";
                buttons += IsButtonChecked(child.window) ? 'X' : IsWindowEnabled(child.window) ? 'o' : '-';
                radios.push_back(child.window);
            }
        }
        EXPECT_EQ(6u, keys.size());
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

TEST_F(GraphicsSystemDlg, TicksTheStoredClassOffersWhatTheMachineHasAndStoresTheChoice)
{
    // `cleared`: the system whose stored worst error the choice forgets.
    const struct
    {
        int stored;
        bool direct3D, openGL3;
        const char* buttons;
        int click;
        bool ok;
        int storedAfter;
        std::wstring cleared;
    } cases[] = {
        {3, false, false, "Xo--o", kNone, true, 3, L"TestD3D"},  // stored, so offered though missing
        {0, false, true, "-X-oo", 3, true, 2, L"TestGL3"},
        {2, false, false, "-o-Xo", 4, true, 1, L"TestGL1"},
        {1, true, false, "ooo-X", 2, true, 4, L"TestD3D"},
        {4, false, false, "-oX-o", 1, true, 0, L""},
        {9, false, false, "-o--o", kNone, true, 3, L"TestD3D"},  // damaged: OK takes the first
        {2, false, true, "-o-Xo", 1, false, 2, L""},             // cancelled
    };
    const wchar_t* const names[] = {L"TestD3D", L"TestGL3", L"TestGL1"};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "stored " << c.stored << ", click " << c.click);
        CGraphicsSystemTestAccess::ResetRun();
        CSettings::SetInt(L"GraphicsClass", c.stored);
        CSettings::SetInt(L"GraphicsSystemMenuItemVisible", 0);
        for (const wchar_t* name : names)
            CSettings::SetInt(std::wstring(name) + L"WorstError", 3);
        CFakeSystems systems(c.direct3D, c.openGL3);
        std::string buttons;
        ASSERT_TRUE(RunAndRead(buttons, c.click, c.ok));
        EXPECT_EQ(c.buttons, buttons);
        EXPECT_EQ(1, CSettings::GetInt(L"GraphicsSystemMenuItemVisible", 0));
        EXPECT_EQ(c.storedAfter, CSettings::GetInt(L"GraphicsClass", -1));
        for (const wchar_t* name : names)
            EXPECT_EQ(c.cleared == name ? 0 : 3, CSettings::GetInt(std::wstring(name) + L"WorstError", -1)) << name;
    }
}

// Each run: whether the box showed ticked, clicked, OK, what is stored after (-1: nothing).
TEST_F(GraphicsSystemDlg, TheDisplayModeBoxShowsAndStoresTheMode)
{
    const struct
    {
        bool shownTicked, click, ok;
        int stored;
    } steps[] = {{false, false, false, -1}, {false, false, true, 0}, {false, true, true, 1}, {true, true, false, 1},
                 {true, true, true, 0}};
    for (const auto& step : steps) {
        bool shownTicked = !step.shownTicked;
        CDialogWatcherPause pause;
        EXPECT_TRUE(RunModalDriven([] { CBrisklaneModeDlg().DoModal(); }, [&](HWND dialog) {
            const HWND box = FindChildByCaption(dialog, L"Brisklane mode");
            shownTicked = IsButtonChecked(box);
            if (step.click)
                ClickControl(box);
            PressDialogButton(dialog, step.ok ? IDOK : IDCANCEL);
        }));
        EXPECT_EQ(step.shownTicked, shownTicked);
        EXPECT_EQ(step.stored, CSettings::GetInt(L"BrisklaneMode", -1));
        EXPECT_EQ(step.stored == 1, IsBrisklaneMode());
    }
}

// With a 3D system for the views (OpenGL 1, also for a class never stored)
// the view commands are enabled and work; with GDI only they stay off.
CHILD_TEST(GraphicsClassViews, ViewCommandsFollowTheChosenClass)
{
    cwtest::PrepareWindowTest();
    CFakeSystems systems(false, false);
    constexpr int kUnset = -1;
    for (int graphicsClass : {kUnset, 0, 1}) {
        CGraphicsSystemTestAccess::ResetRun();
        systems.Install();
        if (graphicsClass == kUnset)
            DeleteTestSettingsValue(L"GraphicsClass");
        else
            CSettings::SetInt(L"GraphicsClass", graphicsClass);
        const bool threeD = graphicsClass != 0;
        CCourseWindow* window = cwtest::OpenNewCourseWindow();
        CCourse* course = window->GetCourse();
        const auto enabled = [window](int id) {
            window->UpdateCommandStates();
            return dynamic_cast<CCommand*>(window->menuBar.FindById(id))->enabled;
        };
        if (CanShowAnother3DView() != threeD || enabled(2148) != threeD || enabled(2152) != threeD || enabled(2170))
            return 1;
        window->RunMenuCommand(2148);
        if (course->Get3D() != threeD || (window->currentScene == &window->scene3D) != threeD)
            return 2;
        if (!threeD)
            continue;
        const bool hidden = course->GetHideGrass();
        if (!enabled(2170) || !enabled(2150))
            return 3;
        window->RunMenuCommand(2170);
        window->RunMenuCommand(2152);
        if (course->GetHideGrass() == hidden || course->Get3D() || !course->Get3DCamera() ||
            window->currentScene != &window->mapScene)
            return 4;
        window->RunMenuCommand(2150);
        if (course->Get3DCamera())
            return 5;
    }
    return ReportCount() == 0 ? 0 : 6;
}
