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

// Runs the dialog and reads its buttons top to bottom: 'X' ticked, 'o'
// offered, '-' disabled; clicks the button at `click` (kNone: none) and
// ends with OK or Cancel. Checks the layout on the way.
bool RunAndRead(std::string& buttons, int click, bool ok, const wchar_t* shot = nullptr)
{
    CDialogWatcherPause pause;
    return RunModalDriven([] { ShowGraphicsSystemDialog(); }, [&](HWND dialog) {
        EXPECT_EQ(GetString(2384), GetWindowTextString(dialog));
        const std::vector<HWND> radios = FindRadioButtons(dialog);
        std::set<wchar_t> keys;
        LONG headingLeft = 0;
        std::vector<LONG> lefts;
        for (const CDialogChild& child : ListDialogChildren(dialog)) {
            const size_t amp = child.text.find(L'&');
            if (amp != std::wstring::npos) {
                EXPECT_TRUE(keys.insert(wchar_t(std::towupper(child.text.at(amp + 1)))).second) << child.text;
            }
            if (GetCaptionText(child.window) == GetString(2387))
                headingLeft = child.rect.left;
            if ((child.style & BS_TYPEMASK) == BS_RADIOBUTTON && child.className == L"Button") {
                if (lefts.size() < 5) {
                    EXPECT_EQ(GetString(kCaptionIds[lefts.size()]), GetCaptionText(child.window));
                }
                const bool ticked = IsButtonChecked(child.window);
                buttons += ticked ? 'X' : IsWindowEnabled(child.window) ? 'o' : '-';
                lefts.push_back(child.rect.left);
            }
        }
        // Every button has its own key; the group stands indented below the heading.
        EXPECT_EQ(6u, keys.size());
        EXPECT_EQ(5u, lefts.size());
        for (LONG left : lefts)
            EXPECT_EQ(lefts.front(), left);
        EXPECT_GT(lefts.front(), headingLeft + 4);
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

TEST_F(GraphicsSystemDlg, TicksTheStoredClassOffersWhatTheMachineHasAndStoresTheChoice)
{
    struct CCase
    {
        int stored;
        bool direct3D, openGL3;
        const char* buttons;
        int click;
        bool ok;
        int storedAfter;
        // The system whose stored failures the choice forgets.
        std::wstring cleared;
    };
    const CCase cases[] = {
        // No Direct3D 11 here, yet the stored class 3 stays ticked and enabled.
        {3, false, false, "Xo--o", kNone, true, 3, L"TestD3D"},
        {0, false, true, "-X-oo", 3, true, 2, L"TestGL3"},
        {2, false, false, "-o-Xo", 4, true, 1, L"TestGL1"},
        {1, true, false, "ooo-X", 2, true, 4, L"TestD3D"},
        {4, false, false, "-oX-o", 1, true, 0, L""},
        // A damaged class ticks nothing; OK takes the first button's class.
        {9, false, false, "-o--o", kNone, true, 3, L"TestD3D"},
        // Cancelled: only the command's visibility is stored.
        {2, false, true, "-o-Xo", 1, false, 2, L""},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "stored " << c.stored << ", click " << c.click);
        CGraphicsSystemTestAccess::ResetRun();
        CSettings::SetInt(L"GraphicsClass", c.stored);
        CSettings::SetInt(L"GraphicsSystemMenuItemVisible", 0);
        const wchar_t* const names[] = {L"TestD3D", L"TestGL3", L"TestGL1"};
        for (const wchar_t* name : names)
            CSettings::SetInt(std::wstring(name) + L"WorstError", 3);
        CFakeSystems systems(c.direct3D, c.openGL3);
        std::string buttons;
        ASSERT_TRUE(RunAndRead(buttons, c.click, c.ok, c.stored == 3 ? L"graphics-system-dialog" : nullptr));
        EXPECT_EQ(c.buttons, buttons);
        EXPECT_EQ(1, CSettings::GetInt(L"GraphicsSystemMenuItemVisible", 0));
        EXPECT_EQ(c.storedAfter, CSettings::GetInt(L"GraphicsClass", -1));
        for (const wchar_t* name : names)
            EXPECT_EQ(c.cleared == name ? 0 : 3, CSettings::GetInt(std::wstring(name) + L"WorstError", -1)) << name;
    }
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
