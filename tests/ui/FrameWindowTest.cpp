#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <dde.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>
#include <vector>

#include "foundation/Clock.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/ShortcutText.h"
#include "foundation/Strings.h"
#include "graphics/PixelBitmap.h"
#include "graphics/ToolbarButtonFace.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"
#include "ui/Dialog.h"
#include "ui/FrameWindow.h"
#include "ui/ModalState.h"
#include "ui/TimerPump.h"

namespace {

const wchar_t kIcon[] = L"EditCopy.png";

// A content window: a multi-line edit that likes a given size and stretches.
class CTestContent : public CWindow
{
public:
    CTestContent(int width, int height) : m_width(width), m_height(height) {}

    void Measure() override
    {
        minWidth = 100;
        preferredWidth = m_width;
        maxWidth = 0;
        widthStretch = 1;
        minHeight = 60;
        preferredHeight = m_height;
        maxHeight = 0;
        heightStretch = 1;
    }

    void CreateNativeWindow(CNativeWindow& owner) override
    {
        SetHandle(owner.CreateChildWindow(L"EDIT", WS_CHILD | WS_VISIBLE | ES_MULTILINE, bounds, this,
                                          L"Course notes\r\nThe client window of the frame.", WS_EX_CLIENTEDGE));
    }

    // A view keeping its picture likes the size it was last given.
    void SetBounds(const CRectF& rect) override
    {
        CWindow::SetBounds(rect);
        if (keepsGivenSize) {
            m_width = int(rect.Width());
            m_height = int(rect.Height());
        }
    }

    bool keepsGivenSize = false;

private:
    int m_width;
    int m_height;
};

// What the frames and their commands did, kept beyond the frames' life.
struct CRecord
{
    int closes = 0;
    int destroyed = 0;
    int activated = 0;
    int stateCalls = 0;
    std::vector<int> executed;
    // The document state the commands' state rules read.
    bool canPaste = true;
    bool selection = false;
    bool view3D = true;

    void Execute(int id) { executed.push_back(id); }
    void UpdateAlways(CCommand* command)
    {
        ++stateCalls;
        command->SetEnabled(true);
    }
    void UpdatePaste(CCommand* command)
    {
        ++stateCalls;
        command->SetEnabled(canPaste);
    }
    void UpdateSelection(CCommand* command)
    {
        ++stateCalls;
        command->SetEnabled(selection);
    }
    void UpdateView(CCommand* command)
    {
        ++stateCalls;
        command->SetChecked((command->id == 2148) == view3D);
    }
};

// A menu entry that counts the enabled changes reaching its native entry.
class CCountingMenuItem : public CCommandMenuItem
{
public:
    using CCommandMenuItem::CCommandMenuItem;
    void OnEnabledChanged() override
    {
        ++changes;
        CCommandMenuItem::OnEnabledChanged();
    }
    int changes = 0;
};

using Rule = void (CRecord::*)(CCommand*);

class CTestFrame : public CFrameWindow
{
public:
    CTestFrame(const std::wstring& title, CRecord& record, const CRectF& work, int width = 400, int height = 300,
               bool resizable = true)
        : CFrameWindow(title, resizable), content(width, height), m_record(record), m_work(work)
    {
    }

    void GetIcons(HICON& smallIcon, HICON& bigIcon) override
    {
        smallIcon = icons[0];
        bigIcon = icons[1];
    }
    void OnCreated() override { created = hwnd != nullptr; }
    void OnDropFiles(HDROP drop) override { dropped = drop; }

    CRectF GetWorkArea() override { return m_work; }
    void Close() override
    {
        ++m_record.closes;
        CFrameWindow::Close();
    }
    void OnDestroyed() override { ++m_record.destroyed; }
    void OnActivated() override { ++m_record.activated; }

    // The commands as an application's command table registers them: a menu
    // entry and, for some, a toolbar button, bound to the same delegates.
    void AddCommand(CMenu* menu, int id, int kind, int key, Rule rule, bool onToolbar, bool radio = false)
    {
        const CDelegate<int> execute = CMemberDelegate<int, CRecord>::Make(&m_record, &CRecord::Execute);
        const CDelegate<CCommand*> update = CMemberDelegate<CCommand*, CRecord>::Make(&m_record, rule);
        CCountingMenuItem* item = new CCountingMenuItem(id, id + 1, menu, kind, key, radio);
        item->onExecute = execute;
        item->onUpdateState = update;
        menu->AddItem(item);
        if (onToolbar) {
            CToolbarItem* button = new CToolbarItem(id, id + 1, kIcon, kind, key);
            button->onExecute = execute;
            button->onUpdateState = update;
            toolbar.AddItem(button);
        }
    }

    void BuildCommands()
    {
        CMenu* file = new CMenu(2058, 2059, &menuBar, CMenu::kSubMenu);
        menuBar.AddItem(file);
        AddCommand(file, 2060, 1, 'N', &CRecord::UpdateAlways, true);
        AddCommand(file, 2066, 1, 'O', &CRecord::UpdateAlways, true);
        recent = new CMenu(2068, 2069, file, CMenu::kSharedSubMenu);
        file->AddItem(recent);
        AddCommand(recent, 2085, 0, 0, &CRecord::UpdateAlways, false);
        file->AddSeparator();
        AddCommand(file, 2073, 1, 'S', &CRecord::UpdateAlways, true);
        toolbar.AddSeparator();

        CMenu* edit = new CMenu(2102, 2103, &menuBar, CMenu::kSubMenu);
        menuBar.AddItem(edit);
        AddCommand(edit, 2110, 1, 'X', &CRecord::UpdateSelection, true);
        AddCommand(edit, 2112, 1, 'C', &CRecord::UpdateAlways, true);
        AddCommand(edit, 2120, 1, 'V', &CRecord::UpdatePaste, true);
        toolbar.AddSeparator();

        CMenu* view = new CMenu(2146, 2147, &menuBar, CMenu::kSubMenu);
        menuBar.AddItem(view);
        AddCommand(view, 2148, 0, 0, &CRecord::UpdateView, true, true);
        AddCommand(view, 2150, 0, 0, &CRecord::UpdateView, true, true);
    }

    CCountingMenuItem* MenuItem(int id) { return static_cast<CCountingMenuItem*>(menuBar.FindById(id)); }

    CTestContent content;
    CMenu* recent = nullptr;
    HICON icons[2] = {nullptr, nullptr};
    bool created = false;
    HDROP dropped = nullptr;

private:
    CRecord& m_record;
    CRectF m_work;
};

// A square work area away from the screen's corner.
const CRectF kWork(20.0f, 10.0f, 820.0f, 810.0f);

CTestFrame* OpenFrame(const std::wstring& title, CRecord& record, bool noCentre = false, int width = 400,
                      int height = 300)
{
    CTestFrame* frame = new CTestFrame(title, record, kWork, width, height);
    frame->BuildCommands();
    frame->Create(&frame->content, noCentre);
    return frame;
}

// Runs the message loop the way the application does until the condition
// holds or the time is up.
template <class Condition>
bool RunLoopUntil(Condition condition, DWORD timeoutMs = 3000)
{
    const double end = GetClockSeconds() + timeoutMs / 1000.0;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
            PumpAfterMessage(message.message);
        }
        PumpAfterMessage(WM_NULL);
        if (condition())
            return true;
        if (GetClockSeconds() > end)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void RunLoopFor(DWORD ms)
{
    RunLoopUntil([] { return false; }, ms);
}

// Destroys every frame window still open (they delete themselves).
void CloseAllFrames()
{
    int count = 0;
    for (CFrameWindow* frame : CFrameWindow::FindFrameWindows(count)) {
        if (frame->hwnd)
            frame->Destroy();
        else
            delete frame;
    }
    RunLoopFor(20);
}

RECT WindowRect(const CFrameWindow* frame)
{
    RECT rect = {};
    GetWindowRect(frame->hwnd, &rect);
    return rect;
}

RECT MakeRect(float left, float top, float right, float bottom)
{
    return RECT{LONG(left), LONG(top), LONG(right), LONG(bottom)};
}

::testing::AssertionResult SameRect(const RECT& expected, const RECT& actual)
{
    if (EqualRect(&expected, &actual))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected (" << expected.left << "," << expected.top << ","
                                         << expected.right << "," << expected.bottom << ") got (" << actual.left
                                         << "," << actual.top << "," << actual.right << "," << actual.bottom << ")";
}

std::vector<CFrameListEntry*> ListOrder()
{
    const std::deque<CFrameListEntry*>& frames = CFrameWindowList::GetFrames();
    return std::vector<CFrameListEntry*>(frames.begin(), frames.end());
}

std::wstring StatusText(const CFrameWindow* frame) { return GetWindowTextString(frame->statusBar); }

// The panels of a frame paint through a graphics system, which reads its
// history from the settings.
class FrameWindow : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { OpenTestSettingsKey(); }
    static void TearDownTestSuite() { DeleteTestSettingsKey(); }
    void SetUp() override { RunLoopFor(10); }
    void TearDown() override { CloseAllFrames(); }

    // Outlives the frames, which report into it until they are gone.
    CRecord record;
};

}  // namespace

TEST_F(FrameWindow, OpensWithMenuBarToolbarStatusBarAndContent)
{
    CTestFrame* frame = OpenFrame(L"Course 1", record);
    ASSERT_NE(nullptr, frame->hwnd);
    RunLoopFor(50);

    wchar_t className[64] = {};
    GetClassNameW(frame->hwnd, className, 64);
    EXPECT_EQ(GetFrameWindowClassName(), className);
    EXPECT_EQ(L"Course 1", GetWindowTextString(frame->hwnd));
    EXPECT_EQ(0x06CF0000u, DWORD(GetWindowLongW(frame->hwnd, GWL_STYLE)) & 0x06CF0000u);
    EXPECT_TRUE(IsWindowVisible(frame->hwnd));

    // The menu bar: three pop-ups built from the commands.
    const HMENU bar = GetMenu(frame->hwnd);
    ASSERT_EQ(frame->menuBar.menuHandle, bar);
    ASSERT_EQ(3, GetMenuItemCount(bar));
    wchar_t text[100] = {};
    GetMenuStringW(GetSubMenu(bar, 0), 0, text, 100, MF_BYPOSITION);
    EXPECT_EQ(GetString(2060) + L"\t" + GetShortcutText(1, 'N'), text);

    // The toolbar across the top, the status bar at the bottom, the content
    // between them.
    RECT client;
    GetClientRect(frame->hwnd, &client);
    ASSERT_NE(nullptr, frame->toolbar.hwnd);
    EXPECT_TRUE(IsWindowVisible(frame->toolbar.hwnd));
    EXPECT_EQ(CRectF(0, 0, float(client.right), float(frame->toolbar.preferredHeight)), frame->toolbar.bounds);
    ASSERT_NE(nullptr, frame->statusBar);
    EXPECT_TRUE(IsWindowVisible(frame->statusBar));
    EXPECT_EQ(frame->statusBar, frame->GetStatusBarWindow());
    RECT status;
    GetWindowRect(frame->statusBar, &status);
    EXPECT_EQ(CRectF(0, float(frame->toolbar.preferredHeight), float(client.right),
                     float(client.bottom - (status.bottom - status.top))),
              frame->content.bounds);
    ASSERT_NE(nullptr, frame->content.hwnd);
    EXPECT_EQ(frame->hwnd, GetParent(frame->content.hwnd));
    // The content's window size is what the layout gave it.
    RECT contentRect;
    GetClientRect(frame->content.hwnd, &contentRect);
    EXPECT_GT(contentRect.right, 300);

    // The toolbar holds seven buttons in one row, in three groups.
    EXPECT_EQ(10u, frame->toolbar.items.size());
    EXPECT_EQ(frame->toolbar.items[0]->rect.top, frame->toolbar.items[9]->rect.top);
    EXPECT_TRUE(frame->laidOut);
}

TEST_F(FrameWindow, ActivationPullsCommandStatesAndOnlyChangesReachTheMenu)
{
    record.selection = false;
    CTestFrame* frame = OpenFrame(L"States", record);
    RunLoopFor(50);
    // Shown and activated: every command was asked.
    EXPECT_GE(record.activated, 1);
    EXPECT_GE(record.stateCalls, 10);
    const HMENU edit = GetSubMenu(GetMenu(frame->hwnd), 1);
    EXPECT_TRUE(GetMenuState(edit, 0, MF_BYPOSITION) & MF_GRAYED);   // Cut: nothing selected
    EXPECT_FALSE(GetMenuState(edit, 2, MF_BYPOSITION) & MF_GRAYED);  // Paste
    EXPECT_FALSE(frame->toolbar.FindItem(2110)->enabled);
    EXPECT_EQ(CToolbarButtonFace::GetDisabled().GetImage(frame->toolbar.FindItem(2110)->icon),
              frame->toolbar.FindItem(2110)->face);
    const HMENU view = GetSubMenu(GetMenu(frame->hwnd), 2);
    EXPECT_TRUE(GetMenuState(view, 0, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(view, 1, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_TRUE(frame->toolbar.FindItem(2148)->checked);

    // Pulled again with nothing changed: no native change at all.
    CCountingMenuItem* cut = frame->MenuItem(2110);
    CCountingMenuItem* paste = frame->MenuItem(2120);
    const int cutChanges = cut->changes;
    const int pasteChanges = paste->changes;
    const int calls = record.stateCalls;
    frame->UpdateCommandStates();
    EXPECT_GT(record.stateCalls, calls);
    EXPECT_EQ(cutChanges, cut->changes);
    EXPECT_EQ(pasteChanges, paste->changes);

    // A change of the document shows at the next activation.
    record.selection = true;
    record.canPaste = false;
    record.view3D = false;
    SendMessageW(frame->hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(cutChanges + 1, cut->changes);
    EXPECT_EQ(pasteChanges + 1, paste->changes);
    EXPECT_FALSE(GetMenuState(edit, 0, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(edit, 2, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(view, 0, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(view, 1, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_TRUE(frame->toolbar.FindItem(2110)->enabled);
    EXPECT_FALSE(frame->toolbar.FindItem(2120)->enabled);
    EXPECT_TRUE(frame->toolbar.FindItem(2150)->checked);
}

TEST_F(FrameWindow, FrameListFollowsActivation)
{
    CTestFrame* a = OpenFrame(L"A", record);
    CTestFrame* b = OpenFrame(L"B", record);
    CTestFrame* c = OpenFrame(L"C", record);
    RunLoopFor(50);
    EXPECT_EQ((std::vector<CFrameListEntry*>{c, b, a}), ListOrder());
    a->Activate();
    RunLoopFor(20);
    EXPECT_EQ(a->hwnd, GetActiveWindow());
    EXPECT_EQ((std::vector<CFrameListEntry*>{a, c, b}), ListOrder());
    EXPECT_EQ(0, a->frameIndex);
    EXPECT_EQ(2, b->frameIndex);

    ShowWindow(c->hwnd, SW_MINIMIZE);
    RunLoopFor(20);
    int count = 0;
    EXPECT_EQ((std::vector<CFrameWindow*>{a, b, c}), CFrameWindow::FindFrameWindows(count));
    EXPECT_EQ(2, count);
    // Activating a minimised frame restores it.
    c->Activate();
    RunLoopFor(20);
    EXPECT_FALSE(IsIconic(c->hwnd));
    EXPECT_EQ(c, ListOrder().front());

    // Destroying the front frame takes it out of the list; the window the
    // system activates next comes to the front.
    c->Destroy();
    RunLoopFor(20);
    EXPECT_EQ(1, record.destroyed);
    const std::vector<CFrameListEntry*> left = ListOrder();
    ASSERT_EQ(2u, left.size());
    EXPECT_TRUE((left == std::vector<CFrameListEntry*>{a, b}) || (left == std::vector<CFrameListEntry*>{b, a}));
    EXPECT_EQ(0, left[0]->frameIndex);
    EXPECT_EQ(1, left[1]->frameIndex);
    if (GetActiveWindow() == a->hwnd || GetActiveWindow() == b->hwnd) {
        EXPECT_EQ(GetActiveWindow(), left[0]->hwnd);
    }
}

TEST_F(FrameWindow, CloseIsDeferredUntilTheQueueIsEmptyAndRunsOnce)
{
    CTestFrame* frame = OpenFrame(L"Closing", record);
    const HWND window = frame->hwnd;
    RunLoopFor(30);
    SendMessageW(window, WM_CLOSE, 0, 0);
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(0, record.closes);
    EXPECT_TRUE(RunLoopUntil([&] { return !IsWindow(window); }));
    EXPECT_EQ(1, record.closes);
    EXPECT_EQ(1, record.destroyed);
    EXPECT_TRUE(CFrameWindowList::GetFrames().empty());
}

TEST_F(FrameWindow, CommandMessagesRunTheCommandOfTheirIdentifier)
{
    CTestFrame* frame = OpenFrame(L"Commands", record);
    RunLoopFor(30);
    SetWindowTextW(frame->statusBar, L"busy");
    SendMessageW(frame->hwnd, WM_COMMAND, MAKEWPARAM(2073, 0), 0);
    SendMessageW(frame->hwnd, WM_COMMAND, MAKEWPARAM(2085, 1), 0);   // an accelerator, in a sub-sub-menu
    EXPECT_EQ((std::vector<int>{2073, 2085}), record.executed);
    EXPECT_EQ(GetString(2000), StatusText(frame));
    EXPECT_EQ(GetString(2085), GetLastCommandCaption());

    // A sub-menu's identifier runs nothing; an unknown one reaches no
    // control and is reported.
    SendMessageW(frame->hwnd, WM_COMMAND, MAKEWPARAM(2058, 0), 0);
    EXPECT_EQ(2u, record.executed.size());

    // A zero-delay timer started by a command fires before the command
    // message returns.
    struct CDeferred
    {
        CTimer timer;
        bool fired = false;
        void OnTick(CTimer*) { fired = true; }
        void Start(int) { timer.Start(false); }
    } deferred;
    deferred.timer.SetOnTimer(CMemberDelegate<CTimer*, CDeferred>::Make(&deferred, &CDeferred::OnTick));
    frame->MenuItem(2112)->onExecute = CMemberDelegate<int, CDeferred>::Make(&deferred, &CDeferred::Start);
    SendMessageW(frame->hwnd, WM_COMMAND, MAKEWPARAM(2112, 0), 0);
    EXPECT_TRUE(deferred.fired);
}

TEST_F(FrameWindow, MenuHelpShowsInTheStatusBar)
{
    CTestFrame* frame = OpenFrame(L"Help", record);
    RunLoopFor(30);
    const HMENU bar = frame->menuBar.menuHandle;
    const HMENU file = GetSubMenu(bar, 0);
    const int before = ReportCount();

    SendMessageW(frame->hwnd, WM_MENUSELECT, MAKEWPARAM(3, MF_STRING), LPARAM(file));
    SendMessageW(frame->hwnd, WM_MENUSELECT, MAKEWPARAM(2073, MF_STRING), LPARAM(file));
    EXPECT_EQ(GetString(2074), StatusText(frame));
    // A title of the menu bar shows the idle text.
    SendMessageW(frame->hwnd, WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP | MF_HILITE), LPARAM(bar));
    EXPECT_EQ(GetString(2000), StatusText(frame));
    // A sub-menu inside a menu shows its own help.
    SendMessageW(frame->hwnd, WM_MENUSELECT, MAKEWPARAM(2, MF_POPUP | MF_HILITE), LPARAM(file));
    EXPECT_EQ(GetString(2069), StatusText(frame));
    SendMessageW(frame->hwnd, WM_MENUSELECT, MAKEWPARAM(SC_CLOSE, MF_SYSMENU), LPARAM(GetSystemMenu(frame->hwnd, FALSE)));
    EXPECT_EQ(GetString(2000), StatusText(frame));
    // The menu closing.
    SendMessageW(frame->hwnd, WM_MENUSELECT, MAKEWPARAM(2073, MF_STRING), LPARAM(file));
    SendMessageW(frame->hwnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(GetString(2000), StatusText(frame));
    EXPECT_EQ(before, ReportCount());
    SendMessageW(frame->hwnd, WM_MENUSELECT, MAKEWPARAM(2110, MF_STRING), LPARAM(file));
    SendMessageW(frame->hwnd, WM_EXITMENULOOP, 0, 0);
    EXPECT_EQ(GetString(2000), StatusText(frame));

    // A pop-up of a menu that is not this frame's is a failed check.
    HMENU foreign = CreatePopupMenu();
    SendMessageW(frame->hwnd, WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP), LPARAM(foreign));
    EXPECT_EQ(before + 1, ReportCount());
    DestroyMenu(foreign);
}

TEST_F(FrameWindow, DdeMessagesGetOnlyTheDefaultHandling)
{
    CTestFrame* frame = OpenFrame(L"DDE", record);
    RunLoopFor(30);
    const int before = ReportCount();
    PostMessageW(frame->hwnd, WM_DDE_EXECUTE, 0, 0);
    PostMessageW(frame->hwnd, WM_DDE_INITIATE, 0, 0);
    RunLoopFor(30);
    EXPECT_TRUE(record.executed.empty());
    EXPECT_EQ(before, ReportCount());
    EXPECT_TRUE(IsWindow(frame->hwnd));
}

TEST_F(FrameWindow, FirstFrameOpensNearTheCentreAndTheNextCascades)
{
    CTestFrame* first = OpenFrame(L"First", record);
    const CSize2 frame = first->GetNonClientSize();
    const float freeWidth = kWork.Width() - (400.0f + frame.width);
    const float freeHeight = kWork.Height() - (300.0f + frame.height);
    ASSERT_GE(freeWidth, 105.0f);
    const float x = float((int(freeWidth) - 63) / 2);
    const float y = float((int(freeHeight) - 63) / 2);
    const float width = 400.0f + frame.width;
    const float height = 300.0f + frame.height;
    EXPECT_TRUE(SameRect(MakeRect(kWork.left + x, kWork.top + y, kWork.left + x + width, kWork.top + y + height),
                         WindowRect(first)));

    CTestFrame* second = OpenFrame(L"Second", record);
    EXPECT_TRUE(SameRect(MakeRect(kWork.left + x + 21, kWork.top + y + 21, kWork.left + x + 21 + width,
                                  kWork.top + y + 21 + height),
                         WindowRect(second)));

    // Beyond the first third of the work area (and the free space), the
    // next frame opens at the corner.
    const float beyond = std::max(kWork.Width() / 3.0f, freeWidth) + 10.0f;
    second->SetPlacement(CRectF(kWork.left + beyond, kWork.top, kWork.left + beyond + width, kWork.top + height), true);
    CTestFrame* third = OpenFrame(L"Third", record);
    EXPECT_TRUE(SameRect(MakeRect(kWork.left, kWork.top, kWork.left + width, kWork.top + height), WindowRect(third)));
}

TEST_F(FrameWindow, LargeOrUncentredFirstFramesOpenAtTheCorner)
{
    CTestFrame* large = OpenFrame(L"Large", record, false, 2000, 2000);
    EXPECT_TRUE(SameRect(MakeRect(kWork.left, kWork.top, kWork.right, kWork.bottom), WindowRect(large)));
    large->Destroy();
    CTestFrame* corner = OpenFrame(L"Corner", record, true);
    const CSize2 frame = corner->GetNonClientSize();
    EXPECT_TRUE(SameRect(MakeRect(kWork.left, kWork.top, kWork.left + 400 + frame.width, kWork.top + 300 + frame.height),
                         WindowRect(corner)));
}

TEST_F(FrameWindow, CascadePlacesTheOldestAtTheCornerAndUnmaximises)
{
    CTestFrame* a = OpenFrame(L"A", record);
    CTestFrame* b = OpenFrame(L"B", record);
    CTestFrame* c = OpenFrame(L"C", record);
    CTestFrame* minimised = OpenFrame(L"Minimised", record);
    ShowWindow(minimised->hwnd, SW_MINIMIZE);
    ShowWindow(b->hwnd, SW_MAXIMIZE);
    RunLoopFor(30);
    ASSERT_TRUE(IsZoomed(b->hwnd));
    WINDOWPLACEMENT before = {sizeof before};
    GetWindowPlacement(minimised->hwnd, &before);

    CFrameWindow::CascadeFrameWindows();
    RunLoopFor(30);
    int count = 0;
    const std::vector<CFrameWindow*> order = CFrameWindow::FindFrameWindows(count);
    ASSERT_EQ(3, count);
    const CSize2 frame = a->GetNonClientSize();
    const float width = 400.0f + frame.width;
    const float height = 300.0f + frame.height;
    for (int i = 0; i < count; ++i) {
        const float step = float(21 * (count - 1 - i));
        EXPECT_TRUE(SameRect(MakeRect(kWork.left + step, kWork.top + step, kWork.left + step + width,
                                      kWork.top + step + height),
                             WindowRect(order[size_t(i)])))
            << i;
    }
    EXPECT_FALSE(IsZoomed(b->hwnd));
    EXPECT_TRUE(IsIconic(minimised->hwnd));
    WINDOWPLACEMENT after = {sizeof after};
    GetWindowPlacement(minimised->hwnd, &after);
    EXPECT_TRUE(EqualRect(&before.rcNormalPosition, &after.rcNormalPosition));
    (void)c;
}

TEST_F(FrameWindow, CascadeAfterTileGivesEveryFrameItsSizeAsANewFrame)
{
    std::vector<CTestFrame*> frames;
    for (const wchar_t* title : {L"A", L"B", L"C"}) {
        frames.push_back(new CTestFrame(title, record, kWork));
        frames.back()->content.keepsGivenSize = true;
        frames.back()->Create(&frames.back()->content, false);
    }
    CFrameWindow::TileFrameWindows();
    RunLoopFor(30);
    ASSERT_NE(400.0f, frames[0]->content.bounds.Width());

    CFrameWindow::CascadeFrameWindows();
    RunLoopFor(30);
    const CSize2 frame = frames[0]->GetNonClientSize();
    for (int i = 0; i < 3; ++i) {
        const float step = float(21 * i);
        EXPECT_TRUE(SameRect(MakeRect(kWork.left + step, kWork.top + step, kWork.left + step + 400.0f + frame.width,
                                      kWork.top + step + 300.0f + frame.height),
                             WindowRect(frames[size_t(i)])))
            << i;
    }
}

TEST_F(FrameWindow, TilingFourFramesOnASquareGivesTwoByTwo)
{
    std::vector<CTestFrame*> frames;
    for (const wchar_t* title : {L"1", L"2", L"3", L"4", L"Minimised"})
        frames.push_back(OpenFrame(title, record));
    ShowWindow(frames[4]->hwnd, SW_MINIMIZE);
    frames[1]->Activate();
    RunLoopFor(30);
    WINDOWPLACEMENT before = {sizeof before};
    GetWindowPlacement(frames[4]->hwnd, &before);

    CFrameWindow::TileFrameWindows();
    RunLoopFor(30);
    int count = 0;
    const std::vector<CFrameWindow*> order = CFrameWindow::FindFrameWindows(count);
    ASSERT_EQ(4, count);
    EXPECT_EQ(frames[1], order[0]);   // the most recently activated: top left
    for (int i = 0; i < 4; ++i) {
        const float left = kWork.left + float(i % 2) * 400.0f;
        const float top = kWork.top + float(i / 2) * 400.0f;
        EXPECT_TRUE(SameRect(MakeRect(left, top, left + 400, top + 400), WindowRect(order[size_t(i)]))) << i;
    }
    WINDOWPLACEMENT after = {sizeof after};
    GetWindowPlacement(frames[4]->hwnd, &after);
    EXPECT_TRUE(IsIconic(frames[4]->hwnd));
    EXPECT_TRUE(EqualRect(&before.rcNormalPosition, &after.rcNormalPosition));
}

TEST_F(FrameWindow, TilingOneFrameGivesItTheWholeWorkArea)
{
    CTestFrame* only = OpenFrame(L"Only", record);
    CFrameWindow::TileFrameWindows();
    RunLoopFor(20);
    EXPECT_TRUE(SameRect(MakeRect(kWork.left, kWork.top, kWork.right, kWork.bottom), WindowRect(only)));
}

TEST_F(FrameWindow, HidingTheToolbarShrinksTheWindowAndCarriesOver)
{
    CTestFrame* frame = OpenFrame(L"Bars", record);
    RunLoopFor(30);
    const RECT before = WindowRect(frame);
    const CRectF contentBefore = frame->content.bounds;
    const int toolbarHeight = frame->toolbar.preferredHeight;
    frame->SetToolbarShown(false);
    RunLoopFor(20);
    const RECT after = WindowRect(frame);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    EXPECT_EQ((before.bottom - before.top) - toolbarHeight, after.bottom - after.top);
    EXPECT_FALSE(IsWindowVisible(frame->toolbar.hwnd));
    EXPECT_EQ(0.0f, frame->content.bounds.top);
    EXPECT_EQ(contentBefore.Height(), frame->content.bounds.Height());

    // The next new frame starts without a toolbar.
    CTestFrame* next = OpenFrame(L"Next", record);
    EXPECT_FALSE(next->toolbarShown);
    EXPECT_FALSE(IsWindowVisible(next->toolbar.hwnd));

    frame->SetStatusBarShown(false);
    RunLoopFor(20);
    EXPECT_EQ(nullptr, frame->GetStatusBarWindow());
    EXPECT_FALSE(IsWindowVisible(frame->statusBar));
    EXPECT_EQ((after.bottom - after.top), WindowRect(frame).bottom - WindowRect(frame).top + [&] {
        RECT bar;
        GetWindowRect(frame->statusBar, &bar);
        return int(bar.bottom - bar.top);
    }());

    frame->SetToolbarShown(true);
    frame->SetStatusBarShown(true);
    EXPECT_TRUE(GetToolbarShownDefault());
    EXPECT_TRUE(GetStatusBarShownDefault());
}

TEST_F(FrameWindow, TitleCanChange)
{
    CTestFrame* frame = OpenFrame(L"Before", record);
    frame->SetTitle(L"After");
    EXPECT_EQ(L"After", GetWindowTextString(frame->hwnd));
    EXPECT_EQ(L"After", frame->title);
}

namespace {

class CPlainDialog : public CDialog
{
public:
    CPlainDialog() : CDialog(L"Modal") { selfDeleting = false; }
};

struct CModalTimer
{
    CTimer timer;
    std::atomic<bool> fired{false};
    std::atomic<bool> firedInDialog{false};
    void OnTick(CTimer*)
    {
        firedInDialog = GetCurrentDialog() != nullptr && GetModalCount() > 0;
        fired = true;
    }
};

}  // namespace

TEST_F(FrameWindow, TimersFireWhileAModalDialogWithAnOwnerIsOpen)
{
    CTestFrame* frame = OpenFrame(L"Owner", record);
    RunLoopFor(30);
    CModalTimer due;
    due.timer.interval = 80;
    due.timer.SetOnTimer(CMemberDelegate<CTimer*, CModalTimer>::Make(&due, &CModalTimer::OnTick));

    HWND owner = nullptr;
    bool firedWhileOpen = false;
    bool activatedDialog = false;
    int stateCallsBefore = -1;
    std::atomic<int> stateCallsAfter{-1};
    std::thread driver([&] {
        HWND dialog = WaitForDialog();
        if (!dialog)
            return;
        owner = GetWindow(dialog, GW_OWNER);
        for (int i = 0; i < 300 && !due.fired; ++i)
            Sleep(10);
        firedWhileOpen = due.fired;
        // The frame is disabled: activating it activates the dialog and
        // refreshes no command state.
        stateCallsBefore = record.stateCalls;
        SendMessageW(frame->hwnd, WM_ACTIVATE, WA_CLICKACTIVE, 0);
        stateCallsAfter = record.stateCalls;
        activatedDialog = GetForegroundWindow() == dialog || !IsWindowEnabled(frame->hwnd);
        PressDialogButton(dialog, IDCANCEL);
    });
    CPlainDialog dialog;
    due.timer.Start(false);
    dialog.DoModal();
    driver.join();

    EXPECT_EQ(frame->hwnd, owner);
    EXPECT_TRUE(firedWhileOpen);
    EXPECT_TRUE(due.firedInDialog);
    EXPECT_EQ(stateCallsBefore, stateCallsAfter.load());
    EXPECT_TRUE(activatedDialog);
    EXPECT_TRUE(IsWindowEnabled(frame->hwnd));
}

namespace {

std::string NarrowPath(const std::wstring& path)
{
    char narrow[MAX_PATH * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, narrow, int(sizeof narrow), nullptr, nullptr);
    return narrow;
}

// The whole window, menu bar and frame included, as the screen shows it:
// its window DC copied into a 24-bit DIB and written as a BMP file.
bool SaveWholeWindowBitmap(HWND window, const std::wstring& path)
{
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC source = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY) != FALSE;
    GdiFlush();
    const DWORD stride = DWORD((width * 3 + 3) & ~3);
    const DWORD imageSize = stride * DWORD(height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageSize;
    bool saved = false;
    if (copied && bits) {
        std::ofstream out(NarrowPath(path), std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
        out.write(static_cast<const char*>(bits), std::streamsize(imageSize));
        saved = bool(out);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return saved;
}

// Whether the client pixels under a toolbar button show its face picture.
bool ShowsFace(const CToolbarPanel& toolbar, const CToolbarItem& item)
{
    if (!item.face)
        return false;
    HDC dc = GetDC(toolbar.hwnd);
    bool same = true;
    const int w = item.face->GetPixelWidth();
    const int h = item.face->GetPixelHeight();
    for (int y = 0; y < h && same; y += 4) {
        for (int x = 0; x < w && same; x += 4) {
            const COLORREF shown = GetPixel(dc, int(item.rect.left) + x, int(item.rect.top) + y);
            same = shown == (item.face->GetPixel(x, y) & 0x00FFFFFF);
        }
    }
    ReleaseDC(toolbar.hwnd, dc);
    return same;
}

LPARAM PointParam(const CRectF& rect) { return MAKELPARAM(int(rect.left) + 5, int(rect.top) + 5); }

}  // namespace

TEST_F(FrameWindow, ToolbarShowsItsFacesAndTheTipOfTheButtonUnderTheMouse)
{
    record.selection = false;
    CTestFrame* frame = OpenFrame(L"Fendrel 4 - Toolbar", record);
    frame->menuBar.ApplyCaption();
    RunLoopFor(50);
    CToolbarPanel& toolbar = frame->toolbar;
    CToolbarItem* open = toolbar.FindItem(2066);
    CToolbarItem* cut = toolbar.FindItem(2110);
    CToolbarItem* view3D = toolbar.FindItem(2148);
    CToolbarItem* plain = toolbar.FindItem(2060);

    // The mouse over "Open": hot face, and the tip with the shortcut.
    SendMessageW(toolbar.hwnd, WM_MOUSEMOVE, 0, PointParam(open->rect));
    EXPECT_TRUE(open->hot);
    EXPECT_EQ(open, toolbar.hotItem);
    EXPECT_EQ(open->GetTooltipText(), toolbar.tipText);
    // The caption is "&Open...".
    EXPECT_EQ(L"Open (" + GetShortcutText(1, 'O') + L")", toolbar.tipText);
    EXPECT_EQ(GetString(2067), toolbar.statusText);
    EXPECT_EQ(open->rect, toolbar.tipRect);

    EXPECT_TRUE(RunLoopUntil([&] { return ShowsFace(toolbar, *open); }));
    EXPECT_EQ(CToolbarButtonFace::GetHot().GetImage(open->icon), open->face);
    EXPECT_TRUE(ShowsFace(toolbar, *cut));
    EXPECT_EQ(CToolbarButtonFace::GetDisabled().GetImage(cut->icon), cut->face);
    EXPECT_TRUE(ShowsFace(toolbar, *view3D));
    EXPECT_EQ(CToolbarButtonFace::GetPressed().GetImage(view3D->icon), view3D->face);
    EXPECT_TRUE(ShowsFace(toolbar, *plain));
    EXPECT_EQ(CToolbarButtonFace::GetNormal().GetImage(plain->icon), plain->face);

    SetWindowTextW(frame->statusBar, GetString(2000).c_str());
    RunLoopFor(100);
    const std::wstring picture = GetTestArtefactPath(L"ui-frame-window.bmp");
    EXPECT_TRUE(SaveWholeWindowBitmap(frame->hwnd, picture));
    std::printf("Frame window picture: %ls\n", picture.c_str());

    // A click on the hot button runs its command.
    SendMessageW(toolbar.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(open->rect));
    EXPECT_TRUE(open->pressed);
    SendMessageW(toolbar.hwnd, WM_LBUTTONUP, 0, PointParam(open->rect));
    EXPECT_EQ(std::vector<int>{2066}, record.executed);
    // A click on the disabled one runs nothing.
    SendMessageW(toolbar.hwnd, WM_MOUSEMOVE, 0, PointParam(cut->rect));
    SendMessageW(toolbar.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(cut->rect));
    SendMessageW(toolbar.hwnd, WM_LBUTTONUP, 0, PointParam(cut->rect));
    EXPECT_EQ(std::vector<int>{2066}, record.executed);
}

TEST_F(FrameWindow, FixedSizeFrameHasNoSizingBorderAndNoGrip)
{
    CTestFrame* frame = new CTestFrame(L"Fixed", record, kWork, 400, 300, false);
    frame->BuildCommands();
    frame->icons[1] = LoadIconW(nullptr, IDI_APPLICATION);
    frame->Create(&frame->content, false);
    EXPECT_TRUE(frame->created);
    const DWORD style = DWORD(GetWindowLongW(frame->hwnd, GWL_STYLE));
    EXPECT_EQ(0x06CA0000u, style & 0x06CF0000u);
    EXPECT_FALSE(GetWindowLongW(frame->statusBar, GWL_STYLE) & SBARS_SIZEGRIP);
    // Only the icon that was given is set.
    EXPECT_EQ(LRESULT(frame->icons[1]), SendMessageW(frame->hwnd, WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(0, SendMessageW(frame->hwnd, WM_GETICON, ICON_SMALL, 0));

    CTestFrame* sizable = OpenFrame(L"Sizable", record);
    EXPECT_TRUE(GetWindowLongW(sizable->statusBar, GWL_STYLE) & SBARS_SIZEGRIP);
}

TEST_F(FrameWindow, DroppedFilesReachTheFrame)
{
    CTestFrame* frame = OpenFrame(L"Drop", record);
    HGLOBAL drop = GlobalAlloc(GHND, 64);
    SendMessageW(frame->hwnd, WM_DROPFILES, WPARAM(drop), 0);
    EXPECT_EQ(HDROP(drop), frame->dropped);
    GlobalFree(drop);
}

TEST_F(FrameWindow, AFrameDeletedWithItsWindowStandingTakesTheWindowAlong)
{
    CTestFrame* frame = OpenFrame(L"Deleted", record);
    CTestFrame* other = OpenFrame(L"Other", record);
    const HWND window = frame->hwnd;
    const int calls = record.stateCalls;
    delete frame;
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ((std::vector<CFrameListEntry*>{other}), ListOrder());
    // The frames that remain refreshed their commands.
    EXPECT_GT(record.stateCalls, calls);
    RunLoopFor(20);
}
