#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "app/MessageLoop.h"
#include "foundation/CrashLog.h"
#include "foundation/Timer.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"
#include "ui/Command.h"
#include "ui/Menu.h"
#include "ui/Toolbar.h"

namespace {

// A top-level window that records the command messages it gets.
class CCommandWindow
{
public:
    CCommandWindow()
    {
        static const ATOM windowClass = [] {
            WNDCLASSW description = {};
            description.lpfnWndProc = &CCommandWindow::Proc;
            description.hInstance = GetModuleHandleW(nullptr);
            description.lpszClassName = L"MessageLoopTestWindow";
            return RegisterClassW(&description);
        }();
        (void)windowClass;
        hwnd = CreateWindowExW(0, L"MessageLoopTestWindow", L"Loop test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                               200, 120, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(this));
    }
    ~CCommandWindow() { DestroyWindow(hwnd); }

    void MakeActive()
    {
        SetForegroundWindow(hwnd);
        SetActiveWindow(hwnd);
    }

    HWND hwnd;
    std::vector<int> commands;
    std::vector<UINT> keys;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        CCommandWindow* self = reinterpret_cast<CCommandWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_COMMAND)
            self->commands.push_back(LOWORD(wParam));
        if (self && message == WM_KEYDOWN)
            self->keys.push_back(UINT(wParam));
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

void SetModifiers(bool control, bool shift)
{
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_CONTROL] = control ? 0x80 : 0;
    state[VK_LCONTROL] = control ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_LSHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(state);
}

// Posts the key presses, then the quit message, and runs the loop over them.
void RunLoopOver(HWND window, const std::vector<UINT>& keys)
{
    for (UINT key : keys)
        PostMessageW(window, WM_KEYDOWN, key, 1);
    PostQuitMessage(0);
    RunMessageLoop();
}

void StartWithoutAcceleratorTable()
{
    if (!GetPendingAccelerators().empty())
        BuildAcceleratorTable();
    FreeAcceleratorTable();
}

}  // namespace

TEST(Accelerators, KindsMapToTheirModifierFlags)
{
    EXPECT_EQ(0, GetAcceleratorFlags(0));
    EXPECT_EQ(9, GetAcceleratorFlags(1));
    EXPECT_EQ(13, GetAcceleratorFlags(2));
    EXPECT_EQ(1, GetAcceleratorFlags(3));
    EXPECT_EQ(9, GetAcceleratorFlags(4));
    EXPECT_EQ(5, GetAcceleratorFlags(5));
    EXPECT_EQ(13, GetAcceleratorFlags(6));
    EXPECT_EQ(0, GetAcceleratorFlags(7));
}

TEST(Accelerators, TheTableTakesTheListThenTheEightFixedRecords)
{
    StartWithoutAcceleratorTable();
    AddAccelerator(9, 'Q', 2300);
    AddAccelerator(13, 'Q', 2301);
    BuildAcceleratorTable();
    ASSERT_NE(nullptr, GetAcceleratorTable());
    EXPECT_TRUE(GetPendingAccelerators().empty());
    ACCEL built[16];
    ASSERT_EQ(10, CopyAcceleratorTableW(GetAcceleratorTable(), built, 16));
    const ACCEL expected[10] = {
        {9, 'Q', 2300}, {13, 'Q', 2301}, {0x11, VK_BACK, 2104}, {5, VK_DELETE, 2110}, {9, VK_INSERT, 2112},
        {5, VK_INSERT, 2120}, {1, VK_F1, 2221}, {5, VK_F1, 2221}, {0x10, 0x2F, 2227}, {0x10, 0x3F, 2227},
    };
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(expected[i].fVirt, built[i].fVirt & 0x7F) << i;
        EXPECT_EQ(expected[i].key, built[i].key) << i;
        EXPECT_EQ(expected[i].cmd, built[i].cmd) << i;
    }
    // Once built, the table takes no more records.
    AddAccelerator(9, 'R', 2302);
    EXPECT_TRUE(GetPendingAccelerators().empty());
    FreeAcceleratorTable();
    EXPECT_EQ(nullptr, GetAcceleratorTable());
}

TEST(Accelerators, RegistrationCollectsOnlyTableKinds)
{
    StartWithoutAcceleratorTable();
    CMenu bar(2000, 2000, nullptr, CMenu::kMenuBar);
    CMenu* menu = AddCommandMenu(&bar, 2102, 2103, CMenu::kSubMenu);
    ASSERT_NE(nullptr, menu);
    EXPECT_EQ(nullptr, AddCommandMenu(&bar, 2001, 2000, CMenu::kSubMenu));
    EXPECT_EQ(1u, bar.items.size());

    CDelegate<int> execute;
    CDelegate<CCommand*> state;
    RegisterCommand(menu, nullptr, nullptr, 2110, 2111, execute, state, nullptr, kCtrlKey, 'X', 0);
    RegisterCommand(menu, nullptr, nullptr, 2122, 2123, execute, state, nullptr, kSpecialKey, kBackspaceKey, 0);
    RegisterCommand(menu, nullptr, nullptr, 2124, 2125, execute, state, nullptr, kShiftSpecialKey, kBackspaceKey, 0);
    RegisterCommand(menu, nullptr, nullptr, 2126, 2127, execute, state, nullptr, kNoAccelerator, 0, 0);
    const std::vector<ACCEL>& pending = GetPendingAccelerators();
    ASSERT_EQ(3u, pending.size());
    EXPECT_EQ(9, pending[0].fVirt);
    EXPECT_EQ('X', pending[0].key);
    EXPECT_EQ(1, pending[1].fVirt);
    EXPECT_EQ(VK_DELETE, pending[1].key);
    EXPECT_EQ(2122, pending[1].cmd);
    EXPECT_EQ(5, pending[2].fVirt);
    EXPECT_EQ(VK_DELETE, pending[2].key);
    // The menu entry keeps the key it shows.
    CCommand* remove = dynamic_cast<CCommand*>(bar.FindById(2122));
    ASSERT_NE(nullptr, remove);
    EXPECT_EQ(kSpecialKey, remove->shortcutKind);
    EXPECT_EQ(kBackspaceKey, remove->shortcutKey);
    StartWithoutAcceleratorTable();
}

CHILD_TEST(Accelerators, SpecialKeyOtherThanBackspaceIsReported)
{
    CMenu bar(2000, 2000, nullptr, CMenu::kMenuBar);
    CMenu* menu = AddCommandMenu(&bar, 2102, 2103, CMenu::kSubMenu);
    RegisterCommand(menu, nullptr, nullptr, 2126, 2127, CDelegate<int>(), CDelegate<CCommand*>(), nullptr,
                    kSpecialKey, 12, 0);
    const bool noRecord = GetPendingAccelerators().empty();
    const bool reported = ReportCount() == 1;
    // A toolbar button without an icon is refused.
    CToolbarPanel toolbar;
    RegisterCommand(nullptr, nullptr, &toolbar, 2127, 2127, CDelegate<int>(), CDelegate<CCommand*>(), nullptr,
                    kNoAccelerator, 0, 0);
    const bool noButton = toolbar.items.empty() && ReportCount() == 2;
    return noRecord && reported && noButton ? 0 : 1;
}

TEST(MessageLoop, AcceleratorsGoToTheActiveWindow)
{
    StartWithoutAcceleratorTable();
    AddAccelerator(9, 'N', 2060);
    AddAccelerator(1, VK_DELETE, 2122);

    CCommandWindow course;
    course.MakeActive();
    ASSERT_EQ(course.hwnd, GetActiveWindow());

    SetModifiers(true, false);
    RunLoopOver(course.hwnd, {'N'});
    // The loop built the table at its first message with an active window.
    EXPECT_NE(nullptr, GetAcceleratorTable());
    EXPECT_EQ(std::vector<int>{2060}, course.commands);
    EXPECT_TRUE(course.keys.empty());

    // Without Ctrl the key is an ordinary key press.
    course.commands.clear();
    SetModifiers(false, false);
    RunLoopOver(course.hwnd, {'N', VK_DELETE, VK_F1});
    EXPECT_EQ((std::vector<int>{2122, 2221}), course.commands);
    EXPECT_EQ(std::vector<UINT>{'N'}, course.keys);

    // Shift+F1 and Shift+Delete come from the fixed records.
    course.commands.clear();
    SetModifiers(false, true);
    RunLoopOver(course.hwnd, {VK_F1, VK_DELETE, VK_INSERT});
    EXPECT_EQ((std::vector<int>{2221, 2110, 2120}), course.commands);

    // Another active window (a modeless dialog, the splash) gets the command,
    // whichever window the key was posted to.
    CCommandWindow splash;
    splash.MakeActive();
    ASSERT_EQ(splash.hwnd, GetActiveWindow());
    course.commands.clear();
    SetModifiers(true, false);
    RunLoopOver(course.hwnd, {'N'});
    EXPECT_EQ(std::vector<int>{2060}, splash.commands);
    EXPECT_TRUE(course.commands.empty());
    SetModifiers(false, false);
    EXPECT_EQ(0, GetMessageNesting());
    FreeAcceleratorTable();
}

CHILD_TEST(MessageLoop, NoTableWithoutAnActiveWindow)
{
    AddAccelerator(9, 'N', 2060);
    // A run with no window at all ("/dde"): messages are dispatched plainly.
    PostThreadMessageW(GetCurrentThreadId(), WM_USER + 5, 0, 0);
    PostQuitMessage(0);
    RunMessageLoop();
    const bool noTable = GetAcceleratorTable() == nullptr && GetPendingAccelerators().size() == 1;
    return noTable && GetActiveWindow() == nullptr ? 0 : 1;
}

CHILD_TEST(MessageLoop, BuildingTwiceOrEmptyIsReported)
{
    BuildAcceleratorTable();
    const bool emptyReported = ReportCount() == 1 && GetAcceleratorTable() != nullptr;
    // A table that exists is reported, and so is the list that is empty again.
    BuildAcceleratorTable();
    const bool twiceReported = ReportCount() == 3 && GetAcceleratorTable() != nullptr;
    return emptyReported && twiceReported ? 0 : 1;
}

TEST(MessageLoop, TimersStartedBeforeTheLoopFireWithoutAnyMessage)
{
    // The pump runs after messages; a timer started before the loop (the
    // splash's) must fire even when no message ever comes.
    struct CQuit
    {
        static void OnTimer(CTimer*) { PostQuitMessage(0); }
    };
    CTimer timer;
    timer.interval = 50;
    timer.SetOnTimer(CDelegate<CTimer*>::FromFunction(&CQuit::OnTimer));
    timer.Start(true);
    MSG drained;
    while (PeekMessageW(&drained, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&drained);

    const DWORD loopThread = GetCurrentThreadId();
    std::atomic<bool> finished{false};
    std::atomic<bool> rescued{false};
    std::thread guard([&] {
        for (int i = 0; i < 300 && !finished; ++i)
            Sleep(10);
        if (!finished) {
            rescued = true;
            PostThreadMessageW(loopThread, WM_QUIT, 0, 0);
        }
    });
    RunMessageLoop();
    finished = true;
    guard.join();
    EXPECT_FALSE(rescued);
    EXPECT_FALSE(timer.IsRunning());
}
