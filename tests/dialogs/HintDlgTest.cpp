#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

#include "dialogs/HintDlg.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"
#include "ui/FrameWindow.h"
#include "ui/Panel.h"
#include "ui/UIFontMetrics.h"

namespace {

// What the driver saw of a hint dialog.
struct CSeenHint
{
    bool shown = false;
    std::wstring caption;
    std::wstring message;
    bool hasHelp = false;
    // Texts of any other dialog that came up (a failure report's box).
    std::vector<std::wstring> others;
};

// Calls ShowHint while a driver thread answers a hint dialog, should one
// come, with `drive`. The driver gives up after a short wait.
CSeenHint TriggerHint(int id, const std::wstring& topic, int threshold,
                      const std::function<void(HWND)>& drive = [](HWND dialog) { PressDialogButton(dialog, IDOK); })
{
    CDialogWatcherPause pause;
    CSeenHint seen;
    std::atomic<bool> done{false};
    std::thread driver([&] {
        for (int i = 0; i < 300 && !done; ++i) {
            std::vector<HWND> dialogs = FindProcessDialogs();
            if (dialogs.empty()) {
                Sleep(10);
                continue;
            }
            HWND dialog = dialogs.front();
            if (GetWindowTextString(dialog) != GetString(2520)) {
                seen.others.push_back(GetWindowTextString(GetDlgItem(dialog, 0xFFFF)));
                PressDialogButton(dialog, GetDlgItem(dialog, IDOK) ? IDOK : IDCANCEL);
                Sleep(50);
                continue;
            }
            seen.shown = true;
            seen.caption = GetWindowTextString(dialog);
            for (const CDialogChild& child : ListDialogChildren(dialog)) {
                if (child.className == L"Static")
                    seen.message += (seen.message.empty() ? L"" : L" ") + child.text;
                if (child.id == IDHELP)
                    seen.hasHelp = true;
            }
            drive(dialog);
            return;
        }
    });
    ShowHint(id, topic, threshold);
    done = true;
    driver.join();
    for (const std::wstring& other : seen.others)
        ADD_FAILURE() << "unexpected dialog: " << std::string(other.begin(), other.end());
    return seen;
}

class HintDlg : public testing::Test
{
protected:
    CTestSettingsKey settings;
};

}  // namespace

TEST_F(HintDlg, AThresholdHintShowsAtItsCountAndOnlyOnce)
{
    for (int placement = 1; placement <= 3; ++placement) {
        EXPECT_FALSE(TriggerHint(2707, L"CreateShapes", 4).shown) << placement;
        EXPECT_EQ(placement, GetHintCounts()[2707]);
    }
    const CSeenHint fourth = TriggerHint(2707, L"CreateShapes", 4);
    EXPECT_TRUE(fourth.shown);
    EXPECT_EQ(GetString(2520), fourth.caption);
    // The message is the hint's text, broken into lines, then the box.
    EXPECT_EQ(0u, fourth.message.find(GetString(2707)));
    EXPECT_EQ(1u, GetShownHints().count(2707));
    EXPECT_FALSE(TriggerHint(2707, L"CreateShapes", 4).shown);
    EXPECT_EQ(5, GetHintCounts()[2707]);
    // OK without the box switches nothing off.
    EXPECT_EQ(0, CSettings::GetInt(L"NeverShow2707", 0));
}

TEST_F(HintDlg, TickingTheBoxSwitchesTheHintOff)
{
    const CSeenHint seen = TriggerHint(2716, L"Camera", 1, [](HWND dialog) {
        SaveWindowPicture(dialog, GetTestArtefactPath(L"hint-dialog.png"));
        ClickControl(FindChildByCaption(dialog, GetString(2521)));
        PressDialogButton(dialog, IDOK);
    });
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(1, CSettings::GetInt(L"NeverShow2716", 0));
    EXPECT_EQ(L"NeverShow2716", GetNeverShowValueName(2716));
}

TEST_F(HintDlg, CancelStoresNothing)
{
    const CSeenHint seen = TriggerHint(2714, L"Color", 1, [](HWND dialog) {
        ClickControl(FindChildByCaption(dialog, GetString(2521)));
        PressDialogButton(dialog, IDCANCEL);
    });
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(0, CSettings::GetInt(L"NeverShow2714", 0));
}

TEST_F(HintDlg, ASwitchedOffHintIsCountedButNotShown)
{
    CSettings::SetInt(L"NeverShow2709", 1);
    EXPECT_FALSE(TriggerHint(2709, std::wstring(), 1).shown);
    EXPECT_EQ(1, GetHintCounts()[2709]);
    EXPECT_EQ(0u, GetShownHints().count(2709));
}

TEST_F(HintDlg, AHintWithATopicOffersHelp)
{
    CHintDlg dialog(2704, L"Clipboard");
    dialog.selfDeleting = false;
    EXPECT_EQ(L"Clipboard", dialog.helpTopic);
    EXPECT_EQ(1u, GetShownHints().count(2704));
    EXPECT_FALSE(dialog.neverShowBox.checked);
    // The lines are about 50 average characters wide and keep every word.
    std::wstring joined;
    for (CStaticText* line : dialog.message.lines) {
        EXPECT_LE(GetTextWidth(line->caption.text), int(GetAverageCharWidth() * 50));
        joined += (joined.empty() ? L"" : L" ") + line->caption.text;
    }
    EXPECT_EQ(GetString(2704), joined);
    EXPECT_GT(dialog.message.lines.size(), 1u);
}

namespace {

// A frame window whose content is a panel, to hold the mouse button down in.
class CPressPanel : public CPanel
{
public:
    CPressPanel() : CPanel(true, false) {}
    void Measure() override
    {
        CPanel::Measure();
        preferredWidth = 200;
        preferredHeight = 150;
    }
};

}  // namespace

TEST_F(HintDlg, NothingHappensWhileTheMouseButtonIsHeldOnAPanel)
{
    CPressPanel panel;
    CFrameWindow* frame = new CFrameWindow(L"Hint test", true);
    frame->Create(&panel, false);
    ASSERT_NE(nullptr, panel.hwnd);
    SendMessageW(panel.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    ASSERT_EQ(&panel, CPanel::GetPressedPanel());

    EXPECT_FALSE(TriggerHint(2710, L"DogPath", 1).shown);
    EXPECT_EQ(0u, GetHintCounts().count(2710));

    SendMessageW(panel.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(nullptr, CPanel::GetPressedPanel());
    EXPECT_TRUE(TriggerHint(2710, L"DogPath", 1).shown);
    frame->Destroy();
}
