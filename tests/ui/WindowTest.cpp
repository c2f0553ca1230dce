#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "foundation/CrashLog.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestWindows.h"
#include "tests/ui/UiTestWindows.h"
#include "ui/ContainerControl.h"
#include "ui/Window.h"

namespace {

// A native STATIC child that records what reaches it.
class CProbeWindow : public CWindow
{
public:
    void Measure() override {}
    void CreateNativeWindow(CNativeWindow& owner) override
    {
        SetHandle(owner.CreateChildWindow(L"STATIC", WS_CHILD | (visible ? WS_VISIBLE : 0), bounds, this, L"probe", 0));
    }
    void OnCommand(int notifyCode, HWND control) override
    {
        ++commands;
        lastCode = notifyCode;
    }
    void OnNotify(NMHDR* header) override { ++notifications; }
    void OnScroll(int code) override
    {
        ++scrolls;
        lastCode = code;
    }

    int commands = 0;
    int notifications = 0;
    int scrolls = 0;
    int lastCode = -1;
};

// Counts the moves of its native window.
class CMoveCounter : public CProbeWindow
{
public:
    void ApplyBounds() override
    {
        ++moves;
        CWindow::ApplyBounds();
    }
    int moves = 0;
};

}  // namespace

TEST(Window, SetBoundsTwiceWithTheSameRectangleMovesOnce)
{
    CTestHost host;
    CMoveCounter window;
    window.heightStretch = 1;
    window.CreateNativeWindow(host);
    window.SetBounds(CRectF(10.0f, 20.0f, 110.0f, 45.0f));
    window.SetBounds(CRectF(10.0f, 20.0f, 110.0f, 45.0f));
    EXPECT_EQ(1, window.moves);
    RECT rect;
    GetWindowRect(window.hwnd, &rect);
    MapWindowPoints(nullptr, host.hwnd, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(10, rect.left);
    EXPECT_EQ(20, rect.top);
    EXPECT_EQ(100, rect.right - rect.left);
    EXPECT_EQ(25, rect.bottom - rect.top);
}

TEST(Window, ANonStretchingWindowIsCentredVerticallyAndFillsTheWidth)
{
    CFixedWindow window(10, 40, 0, 0, 10, 20, 0, 0);
    window.Measure();
    window.SetBounds(CRectF(0.0f, 100.0f, 300.0f, 131.0f));
    EXPECT_EQ(CRectF(0.0f, 105.0f, 300.0f, 125.0f), window.bounds);
}

TEST(Window, BoundsOutsideTheLimitsAreReportedAndKept)
{
    CFixedWindow window(50, 50);
    window.Measure();
    EXPECT_EQ(1, CountReports([&] { window.SetBounds(CRectF(0.0f, 0.0f, 30.0f, 50.0f)); }));
    EXPECT_EQ(CRectF(0.0f, 0.0f, 30.0f, 50.0f), window.bounds);
}

TEST(Window, TheBaseMeasureWantsAWindowThatDependsOnTheSpaceOffered)
{
    CWrappingWindow wrapping(10);
    CProbeWindow plain;
    const int before = ReportCount();
    plain.CWindow::Measure();
    EXPECT_EQ(before + 1, ReportCount());
    wrapping.CWindow::Measure();
    EXPECT_EQ(before + 1, ReportCount());
}

TEST(Window, SetHandleKeepsTheBoundWindowWhenGivenNull)
{
    CTestHost host;
    CProbeWindow window;
    window.CreateNativeWindow(host);
    HWND bound = window.hwnd;
    ASSERT_NE(nullptr, bound);
    EXPECT_EQ(1, CountReports([&] { window.SetHandle(nullptr); }));
    EXPECT_EQ(bound, window.hwnd);
}

TEST(NativeWindow, TheFirstControlGetsId10)
{
    CTestHost host;
    EXPECT_EQ(10u, host.children.size());
    CProbeWindow first;
    CProbeWindow second;
    first.CreateNativeWindow(host);
    second.CreateNativeWindow(host);
    EXPECT_EQ(10, GetDlgCtrlID(first.hwnd));
    EXPECT_EQ(11, GetDlgCtrlID(second.hwnd));
    EXPECT_EQ(&second, host.children[11]);
    // The controls use the UI font.
    EXPECT_NE(nullptr, HFONT(SendMessageW(first.hwnd, WM_GETFONT, 0, 0)));
}

TEST(NativeWindow, CommandsReachTheirControlOnly)
{
    CTestHost host;
    CProbeWindow probe;
    probe.CreateNativeWindow(host);
    SendMessageW(host.hwnd, WM_COMMAND, MAKEWPARAM(10, 7), LPARAM(probe.hwnd));
    EXPECT_EQ(1, probe.commands);
    EXPECT_EQ(7, probe.lastCode);

    // A standard id with no control: ignored without a report.
    const int before = ReportCount();
    SendMessageW(host.hwnd, WM_COMMAND, MAKEWPARAM(3, 0), 0);
    EXPECT_EQ(before, ReportCount());
    // An id of 10 or more with no control behind it: ignored.
    HWND orphan = host.CreateChildWindow(L"STATIC", WS_CHILD, CRectF(), nullptr, L"", 0);
    ASSERT_EQ(11, GetDlgCtrlID(orphan));
    SendMessageW(host.hwnd, WM_COMMAND, MAKEWPARAM(11, 0), LPARAM(orphan));
    EXPECT_EQ(before, ReportCount());
    // A menu or accelerator command the window does not offer: dropped.
    SendMessageW(host.hwnd, WM_COMMAND, MAKEWPARAM(2221, 1), 0);
    EXPECT_EQ(before, ReportCount());
    // A control's id beyond the list: reported, reaches nothing.
    SendMessageW(host.hwnd, WM_COMMAND, MAKEWPARAM(12, 0), LPARAM(orphan));
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_EQ(1, probe.commands);
}

TEST(NativeWindow, ANotificationNamingAWindowHandleReachesItsControl)
{
    CTestHost host;
    CProbeWindow probe;
    probe.CreateNativeWindow(host);
    NMHDR header = {};
    header.hwndFrom = probe.hwnd;
    header.idFrom = UINT_PTR(probe.hwnd);
    header.code = NM_CLICK;
    SendMessageW(host.hwnd, WM_NOTIFY, 0, LPARAM(&header));
    EXPECT_EQ(1, probe.notifications);
    header.idFrom = 10;
    SendMessageW(host.hwnd, WM_NOTIFY, 0, LPARAM(&header));
    EXPECT_EQ(2, probe.notifications);
    header.idFrom = 4000;   // neither an id nor a window
    SendMessageW(host.hwnd, WM_NOTIFY, 0, LPARAM(&header));
    EXPECT_EQ(2, probe.notifications);
}

TEST(NativeWindow, AScrollMessageFromAHiddenChildIsDropped)
{
    CTestHost host;
    CProbeWindow probe;
    probe.CreateNativeWindow(host);
    SendMessageW(host.hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 77), LPARAM(probe.hwnd));
    EXPECT_EQ(1, probe.scrolls);
    EXPECT_EQ(SB_THUMBTRACK, probe.lastCode);
    probe.SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(probe.hwnd));
    SendMessageW(host.hwnd, WM_HSCROLL, SB_LINEDOWN, LPARAM(probe.hwnd));
    EXPECT_EQ(1, probe.scrolls);
}

TEST(NativeWindow, CreatingAChildNeedsTheTopLevelWindow)
{
    CNativeWindow unborn(false);
    CProbeWindow probe;
    const int before = ReportCount();
    EXPECT_EQ(nullptr, unborn.CreateChildWindow(L"STATIC", WS_CHILD, CRectF(), &probe, L"", 0));
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_EQ(10u, unborn.children.size());
}

TEST(ContainerControl, MeasuresAllPagesAndShowsOneAtATime)
{
    CFixedWindow small(10, 20, 0, 1, 10, 10, 0, 1);
    CFixedWindow large(30, 40, 0, 0, 5, 50, 60, 1);
    CContainerControl container(true);
    container.AddChild(&small);
    container.AddChild(&large);
    EXPECT_FALSE(small.visible);
    container.SetCurrent(&small);
    container.Measure();
    EXPECT_EQ(30, container.minWidth);
    EXPECT_EQ(40, container.preferredWidth);
    EXPECT_EQ(0, container.widthStretch);
    EXPECT_EQ(60, container.maxHeight);
    EXPECT_EQ(50, container.preferredHeight);

    CTestHost host;
    container.CreateNativeWindow(host);
    EXPECT_EQ(1, large.createCount);
    EXPECT_TRUE(container.HasNativeWindow());
    container.SetBounds(CRectF(0.0f, 0.0f, 40.0f, 50.0f));
    EXPECT_EQ(CRectF(0.0f, 0.0f, 40.0f, 50.0f), small.bounds);
    EXPECT_TRUE(small.visible);
    EXPECT_FALSE(large.visible);

    container.SetCurrent(&large);
    EXPECT_FALSE(small.visible);
    EXPECT_TRUE(large.visible);
    EXPECT_EQ(CRectF(0.0f, 0.0f, 40.0f, 50.0f), large.bounds);

    // Too late for new pages.
    CFixedWindow late(1, 1);
    EXPECT_EQ(1, CountReports([&] { container.AddChild(&late); }));
    EXPECT_EQ(2u, container.pages.size());
    container.SetDirty();
    EXPECT_TRUE(small.closed);
    EXPECT_TRUE(large.closed);
}

TEST(ContainerControl, WithoutMeasureAllPagesOnlyTheCurrentPageCounts)
{
    CFixedWindow small(10, 20, 0, 0, 10, 10, 0, 0);
    CFixedWindow large(30, 40, 0, 0, 5, 50, 0, 0);
    CContainerControl container(false);
    container.AddChild(&small);
    container.AddChild(&large);
    container.SetCurrent(&small);
    container.Measure();
    EXPECT_EQ(20, container.preferredWidth);
    container.SetBounds(CRectF(0.0f, 0.0f, 20.0f, 10.0f));
    EXPECT_TRUE(small.visible);
    EXPECT_EQ(CRectF(), large.bounds);
    container.SetCurrent(&large);
    // The owner lays the dialog out again, which shows the page.
    EXPECT_FALSE(large.visible);
    container.Measure();
    EXPECT_EQ(40, container.preferredWidth);
    container.SetBounds(CRectF(0.0f, 0.0f, 40.0f, 50.0f));
    EXPECT_TRUE(large.visible);
}
