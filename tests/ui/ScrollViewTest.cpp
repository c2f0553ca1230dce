#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>

#include "foundation/CrashLog.h"
#include "graphics/Drawable.h"
#include "graphics/GraphicsContext.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestWindows.h"
#include "ui/Panel.h"
#include "ui/Scene.h"
#include "ui/ScrollView.h"

namespace {

// A content of coloured 100 x 100 cells: cell (i, j) has the colour
// CellColor(i, j).
class CCheckerDrawable : public CDrawable
{
public:
    CCheckerDrawable(int columns_, int rows_) : columns(columns_), rows(rows_) {}
    static uint32_t CellColor(int i, int j)
    {
        return 0xFF800000u | uint32_t(20 + i * 23) | uint32_t(20 + j * 29) << 8;
    }
    void Draw(CGraphicsContext& context) override
    {
        for (int j = 0; j < rows; ++j) {
            for (int i = 0; i < columns; ++i) {
                context.m_state.fillColor = CellColor(i, j);
                context.BeginPath(false, true, 1);
                context.AddRect(CRectF(i * 100.0f, j * 100.0f, i * 100.0f + 100.0f, j * 100.0f + 100.0f));
                context.EndPath();
            }
        }
    }
    int columns;
    int rows;
};

COLORREF ToColorRef(uint32_t argb) { return argb & 0xFFFFFFu; }

// A scroll view over a panel, laid out without native windows.
template <class View = CScrollView>
struct CViewSetup
{
    template <class... Args>
    explicit CViewSetup(float extentW, float extentH, Args... args)
        : scene(true, 1), panel(true, false), view(&panel, args...)
    {
        panel.SetScene(&scene);
        view.SetExtent(CRectF(0.0f, 0.0f, extentW, extentH));
    }
    void Layout(float w, float h)
    {
        view.MeasureWithin(w, h);
        view.SetBounds(CRectF(0.0f, 0.0f, w, h));
    }
    // The content point at the panel's top-left corner.
    CPoint2 Current() const { return scene.transform.GetPosition2D(); }

    CScene scene;
    CPanel panel;
    View view;
};

float BarWidth() { return float(GetSystemMetrics(SM_CXVSCROLL)); }
float BarHeight() { return float(GetSystemMetrics(SM_CYHSCROLL)); }

}  // namespace

TEST(ScrollView, ConversionsOfTheBaseAndOfRows)
{
    CScene scene(true, 1);
    CPanel panel(true, false);
    CScrollView view(&panel);
    EXPECT_EQ(CPoint2(3.5f, -2.0f), view.ScrollToContent(3.5f, -2.0f));
    EXPECT_EQ(CRectF(3.0f, -3.0f, 4.0f, -2.0f), view.ContentToScroll(3.5f, -2.5f));
    EXPECT_EQ(CRectF(7.0f, 7.0f, 7.0f, 7.0f), view.ContentToScroll(7.0f, 7.0f));

    CScrollArea area(&panel, 20.0f);
    EXPECT_EQ(CPoint2(3.0f, 60.0f), area.ScrollToContent(3.0f, 3.0f));
    EXPECT_EQ(CRectF(3.0f, 2.0f, 4.0f, 3.0f), area.ContentToScroll(3.5f, 45.0f));
    EXPECT_EQ(CRectF(0.0f, 2.0f, 0.0f, 2.0f), area.ContentToScroll(0.0f, 40.0f));
    EXPECT_TRUE(area.DependsOnAvailableSize());
    EXPECT_FALSE(view.DependsOnAvailableSize());
}

TEST(ScrollView, ANewViewHasAnExtentAndFreeScale)
{
    CScene scene(true, 1);
    CPanel panel(true, false);
    CScrollView view(&panel);
    EXPECT_EQ(CScrollView::kFreeScale, view.fitMode);
    EXPECT_EQ(1.0f, view.scale);
    EXPECT_FALSE(view.extent.IsEmpty());
    EXPECT_FALSE(view.horizontalBar.vertical);
    EXPECT_TRUE(view.verticalBar.vertical);
    EXPECT_EQ(int(BarWidth()), view.verticalBar.preferredWidth);
    EXPECT_EQ(int(BarHeight()), view.horizontalBar.preferredHeight);
}

TEST(ScrollView, ContentAsLargeAsTheViewShowsNoBarsAndOnePixelMoreShowsBoth)
{
    CViewSetup<> exact(200.0f, 100.0f);
    exact.Layout(200.0f, 100.0f);
    EXPECT_FALSE(exact.view.horizontalBar.visible);
    EXPECT_FALSE(exact.view.verticalBar.visible);
    EXPECT_EQ(CRectF(0.0f, 0.0f, 200.0f, 100.0f), exact.panel.bounds);

    // One pixel taller: the vertical bar takes width, so the horizontal one
    // is needed too.
    CViewSetup<> taller(200.0f, 101.0f);
    taller.Layout(200.0f, 100.0f);
    EXPECT_TRUE(taller.view.verticalBar.visible);
    EXPECT_TRUE(taller.view.horizontalBar.visible);
    EXPECT_EQ(CRectF(0.0f, 0.0f, 200.0f - BarWidth(), 100.0f - BarHeight()), taller.panel.bounds);
    EXPECT_EQ(CRectF(200.0f - BarWidth(), 0.0f, 200.0f, 100.0f - BarHeight()), taller.view.verticalBar.bounds);
    EXPECT_EQ(CRectF(0.0f, 100.0f - BarHeight(), 200.0f - BarWidth(), 100.0f), taller.view.horizontalBar.bounds);

    // Narrow enough to leave room for the vertical bar: only that one.
    CViewSetup<> narrow(150.0f, 101.0f);
    narrow.Layout(200.0f, 100.0f);
    EXPECT_TRUE(narrow.view.verticalBar.visible);
    EXPECT_FALSE(narrow.view.horizontalBar.visible);
    EXPECT_EQ(CRectF(200.0f - BarWidth(), 0.0f, 200.0f, 100.0f), narrow.view.verticalBar.bounds);
    // The content is narrower than the room: the panel is as wide as it.
    EXPECT_EQ(CRectF(0.0f, 0.0f, 150.0f, 100.0f), narrow.panel.bounds);
}

TEST(ScrollView, VisibleSizeFillsOnlyWhenAsked)
{
    CScene scene(true, 1);
    CPanel panel(true, false);
    CScrollView view(&panel);
    EXPECT_EQ(50.0f, view.ComputeVisibleSize(50.0f, 40.0f, 200.0f, 100.0f).width);
    EXPECT_EQ(40.0f, view.ComputeVisibleSize(50.0f, 40.0f, 200.0f, 100.0f).height);
    view.fillWidth = true;
    EXPECT_EQ(200.0f, view.ComputeVisibleSize(50.0f, 40.0f, 200.0f, 100.0f).width);
    EXPECT_EQ(40.0f, view.ComputeVisibleSize(50.0f, 40.0f, 200.0f, 100.0f).height);
    view.fillHeight = true;
    EXPECT_EQ(100.0f - BarHeight(), view.ComputeVisibleSize(300.0f, 40.0f, 200.0f, 100.0f).height);
    // A disabled bar takes no room.
    view.horizontalEnabled = false;
    EXPECT_EQ(100.0f, view.ComputeVisibleSize(300.0f, 40.0f, 200.0f, 100.0f).height);
}

TEST(ScrollView, FitWidthOnTallContentLeavesRoomForTheVerticalBar)
{
    CViewSetup<> setup(400.0f, 2000.0f);
    setup.view.fitMode = CScrollView::kFitWidth;
    setup.Layout(200.0f, 300.0f);
    EXPECT_FLOAT_EQ(400.0f / (200.0f - BarWidth()), setup.view.scale);
    EXPECT_TRUE(setup.view.verticalBar.visible);
    EXPECT_FALSE(setup.view.horizontalBar.visible);
    EXPECT_EQ(200.0f - BarWidth(), setup.panel.bounds.Width());

    // Content that fits once scaled to the width: no bar, the whole rule.
    CViewSetup<> flat(400.0f, 100.0f);
    flat.view.fitMode = CScrollView::kFitWidth;
    flat.Layout(200.0f, 300.0f);
    EXPECT_FLOAT_EQ(2.0f, flat.view.scale);
    EXPECT_FALSE(flat.view.verticalBar.visible);

    CViewSetup<> whole(400.0f, 2000.0f);
    whole.view.fitMode = CScrollView::kFitWhole;
    whole.Layout(200.0f, 300.0f);
    EXPECT_FLOAT_EQ(2000.0f / 300.0f, whole.view.scale);
    EXPECT_FALSE(whole.view.verticalBar.visible);
    EXPECT_FALSE(whole.view.horizontalBar.visible);

    CViewSetup<> high(2000.0f, 400.0f);
    high.view.fitMode = CScrollView::kFitHeight;
    high.Layout(300.0f, 200.0f);
    EXPECT_FLOAT_EQ(400.0f / (200.0f - BarHeight()), high.view.scale);
    EXPECT_TRUE(high.view.horizontalBar.visible);
}

TEST(ScrollView, TheFirstLayoutShowsTheTopLeftAndTheTransformFollowsTheBars)
{
    CViewSetup<> setup(1000.0f, 800.0f);
    setup.view.SetExtent(CRectF(-50.0f, 20.0f, 950.0f, 820.0f));
    setup.Layout(300.0f, 200.0f);
    EXPECT_EQ(-50, setup.view.horizontalBar.position);
    EXPECT_EQ(20, setup.view.verticalBar.position);
    EXPECT_EQ(CPoint2(-50.0f, 20.0f), setup.Current());
    // Range: up to the extent's end less the visible content.
    const float visibleW = 300.0f - BarWidth();
    const float visibleH = 200.0f - BarHeight();
    EXPECT_EQ(-50, setup.view.horizontalBar.min);
    EXPECT_EQ(int(std::ceil(950.0f - visibleW * 1.00001f)), setup.view.horizontalBar.max);
    EXPECT_EQ(int(std::ceil(820.0f - visibleH * 1.00001f)), setup.view.verticalBar.max);
    // The thumb's share is the visible share: page / (range + page).
    const int range = setup.view.verticalBar.max - setup.view.verticalBar.min;
    EXPECT_EQ(int(std::ceil(range * visibleH / (800.0f - visibleH))), setup.view.verticalBar.page);

    setup.view.verticalBar.SetPosition(300);
    setup.view.verticalBar.onPositionChanged(&setup.view.verticalBar);
    EXPECT_EQ(CPoint2(-50.0f, 300.0f), setup.Current());
    EXPECT_EQ(1.0f, setup.scene.transform.GetScale());
}

TEST(ScrollView, ALineStepSmallerThanFourPixelsMovesAnEighthOfTheView)
{
    CViewSetup<> setup(1000.0f, 800.0f);
    setup.Layout(300.0f, 200.0f);
    const float visibleH = setup.panel.bounds.Height();
    CScrollBar& bar = setup.view.verticalBar;
    bar.onLineDown(&bar);
    EXPECT_EQ(int(std::floor(visibleH / 8.0f)), bar.position);
    EXPECT_EQ(float(bar.position), setup.Current().y);
    bar.onLineUp(&bar);
    EXPECT_EQ(0, bar.position);

    // At scale 0.1 one unit is 10 pixels: a line is one unit.
    CViewSetup<> zoomed(1000.0f, 800.0f);
    zoomed.view.SetScale(0.1f);
    zoomed.Layout(300.0f, 200.0f);
    zoomed.view.verticalBar.onLineDown(&zoomed.view.verticalBar);
    EXPECT_EQ(1, zoomed.view.verticalBar.position);
    EXPECT_NEAR(1.0f, zoomed.Current().y, 1e-4f);
}

TEST(ScrollView, RowsScrollOneRowPerLine)
{
    CViewSetup<CScrollArea> setup(300.0f, 2000.0f, 20.0f);
    setup.Layout(300.0f, 200.0f);
    CScrollBar& bar = setup.view.verticalBar;
    EXPECT_EQ(0, bar.min);
    // The last row position that still shows the bottom: ceil((2000 - visible) / 20).
    EXPECT_EQ(int(std::ceil((2000.0f - setup.panel.bounds.Height() * 1.00001f) / 20.0f)), bar.max);
    bar.onLineDown(&bar);
    bar.onLineDown(&bar);
    EXPECT_EQ(2, bar.position);
    EXPECT_EQ(40.0f, setup.Current().y);
}

TEST(ScrollView, PagingStopsAtTheEndAndAlwaysMovesWhileItCan)
{
    CViewSetup<> setup(1000.0f, 800.0f);
    setup.Layout(300.0f, 200.0f);
    CScrollBar& bar = setup.view.verticalBar;
    const float visibleH = setup.panel.bounds.Height();
    bar.onPageDown(&bar);
    EXPECT_EQ(int(visibleH), bar.position);
    for (int i = 0; i < 10; ++i)
        bar.onPageDown(&bar);
    EXPECT_EQ(bar.max, bar.position);
    bar.onPageDown(&bar);
    EXPECT_EQ(bar.max, bar.position);
    bar.onPageUp(&bar);
    EXPECT_EQ(bar.max - int(visibleH), bar.position);
    for (int i = 0; i < 10; ++i)
        bar.onPageUp(&bar);
    EXPECT_EQ(0, bar.position);

    // Rows taller than the view: a page would not reach the next row, yet
    // the view moves by one.
    CViewSetup<CScrollArea> tall(300.0f, 2000.0f, 500.0f);
    tall.Layout(300.0f, 200.0f);
    CScrollBar& rows = tall.view.verticalBar;
    ASSERT_GT(rows.max, 1);
    rows.onPageDown(&rows);
    EXPECT_EQ(1, rows.position);
    rows.onPageUp(&rows);
    EXPECT_EQ(0, rows.position);
}

TEST(ScrollView, SetScaleKeepsTheMiddlePointInTheMiddle)
{
    CViewSetup<> setup(2000.0f, 2000.0f);
    setup.Layout(300.0f, 200.0f);
    CScrollBar& v = setup.view.verticalBar;
    CScrollBar& h = setup.view.horizontalBar;
    h.SetPosition(500);
    v.SetPosition(700);
    v.onPositionChanged(&v);
    const CPoint2 middle = setup.scene.transform.TransformPoint2D(setup.panel.bounds.Width() / 2.0f,
                                                                  setup.panel.bounds.Height() / 2.0f);
    setup.view.SetScale(2.0f);
    EXPECT_EQ(CScrollView::kFreeScale, setup.view.fitMode);
    const CPoint2 after = setup.scene.transform.TransformPoint2D(setup.panel.bounds.Width() / 2.0f,
                                                                 setup.panel.bounds.Height() / 2.0f);
    // Positions are whole units: the middle stays within one unit and half a
    // pixel at the new scale.
    EXPECT_NEAR(middle.x, after.x, 2.0f);
    EXPECT_NEAR(middle.y, after.y, 2.0f);
    EXPECT_EQ(2.0f, setup.scene.transform.GetScale());

    setup.view.SetScale(0.5f);
    const CPoint2 back = setup.scene.transform.TransformPoint2D(setup.panel.bounds.Width() / 2.0f,
                                                                setup.panel.bounds.Height() / 2.0f);
    EXPECT_NEAR(middle.x, back.x, 2.0f);
    EXPECT_NEAR(middle.y, back.y, 2.0f);
}

TEST(ScrollView, EnsureVisibleMovesAsLittleAsPossible)
{
    CViewSetup<> setup(1000.0f, 800.0f);
    setup.Layout(300.0f, 200.0f);
    const float visibleH = setup.panel.bounds.Height();
    CScrollBar& v = setup.view.verticalBar;
    CScrollBar& h = setup.view.horizontalBar;
    // Already visible: nothing moves.
    setup.view.EnsureVisible(CRectF(10.0f, 10.0f, 50.0f, 50.0f));
    EXPECT_EQ(0, v.position);
    // Below the view: its bottom edge comes to the view's bottom edge.
    setup.view.EnsureVisible(CRectF(10.0f, 400.0f, 50.0f, 450.5f));
    EXPECT_EQ(int(std::ceil(451.0f - visibleH)), v.position);
    EXPECT_EQ(0, h.position);
    EXPECT_EQ(float(v.position), setup.Current().y);
    // Above: its top edge to the view's top.
    setup.view.EnsureVisible(CRectF(10.0f, 700.0f, 50.0f, 720.0f));
    ASSERT_GT(v.position, 400);
    setup.view.EnsureVisible(CRectF(10.0f, 300.5f, 50.0f, 320.0f));
    EXPECT_EQ(300, v.position);
    // Larger than the view: the middle of the two positions.
    setup.view.EnsureVisible(CRectF(10.0f, 100.0f, 50.0f, 700.0f));
    const int low = int(std::ceil(700.0f - visibleH));
    EXPECT_EQ((low + 100) / 2, v.position);
    // Beyond the extent: clamped to it and to the bar's range.
    setup.view.EnsureVisible(CRectF(5000.0f, 5000.0f, 6000.0f, 6000.0f));
    EXPECT_EQ(v.max, v.position);
    EXPECT_EQ(h.max, h.position);
}

TEST(ScrollView, EnsureVisibleOfARectangleThatIsNotANumberGoesToTheStart)
{
    CViewSetup<> setup(1000.0f, 800.0f);
    setup.Layout(300.0f, 200.0f);
    setup.view.EnsureVisible(CRectF(600.0f, 500.0f, 700.0f, 600.0f));
    ASSERT_GT(setup.view.verticalBar.position, 0);
    setup.view.EnsureVisible(CRectF(NAN, NAN, NAN, NAN));
    EXPECT_EQ(setup.view.verticalBar.min, setup.view.verticalBar.position);
    EXPECT_EQ(setup.view.horizontalBar.min, setup.view.horizontalBar.position);
    EXPECT_TRUE(std::isfinite(setup.Current().x) && std::isfinite(setup.Current().y));
}

TEST(ScrollView, BadValuesAreReportedAndChangeNothing)
{
    CViewSetup<> setup(1000.0f, 800.0f);
    setup.Layout(300.0f, 200.0f);
    const int reports = ReportCount();
    setup.view.SetScale(0.0f);
    setup.view.SetScale(-2.0f);
    setup.view.SetScale(NAN);
    EXPECT_EQ(1.0f, setup.view.scale);
    setup.view.SetExtent(CRectF(10.0f, 10.0f, 10.0f, 50.0f));
    EXPECT_EQ(CRectF(0.0f, 0.0f, 1000.0f, 800.0f), setup.view.extent);
    EXPECT_EQ(reports + 4, ReportCount());
    EXPECT_TRUE(std::isfinite(setup.Current().x));

    setup.view.fitMode = 7;
    setup.view.UpdateLayout();
    EXPECT_EQ(1.0f, setup.view.scale);
    setup.view.fitMode = CScrollView::kFitWidth;
    setup.view.Measure();
    EXPECT_EQ(reports + 6, ReportCount());
}

TEST(ScrollView, MeasuringInFreeScaleAndFitModes)
{
    CViewSetup<> setup(1000.0f, 800.0f);
    setup.view.SetScale(2.0f);
    setup.view.Measure();
    EXPECT_EQ(500, setup.view.preferredWidth);
    EXPECT_EQ(400, setup.view.preferredHeight);
    EXPECT_EQ(2 * int(BarWidth()), setup.view.minWidth);
    EXPECT_EQ(1, setup.view.widthStretch);
    EXPECT_EQ(0, setup.view.maxWidth);
    // Offered less height than it wants: a vertical bar, then also a
    // horizontal one, since the bar pushes the width beyond what is offered.
    setup.view.MeasureWithin(510.0f, 300.0f);
    EXPECT_EQ(500 + int(BarWidth()), setup.view.preferredWidth);
    EXPECT_EQ(400 + int(BarHeight()), setup.view.preferredHeight);
    setup.view.MeasureWithin(600.0f, 300.0f);
    EXPECT_EQ(400, setup.view.preferredHeight);
    setup.view.contentWidth = 20.0f;
    setup.view.Measure();
    EXPECT_EQ(10, setup.view.preferredWidth);
    EXPECT_EQ(10, setup.view.minWidth);

    CViewSetup<> fit(1000.0f, 500.0f);
    fit.view.fitMode = CScrollView::kFitWhole;
    EXPECT_TRUE(fit.view.DependsOnAvailableSize());
    fit.view.MeasureWithin(400.0f, 400.0f);
    EXPECT_EQ(400, fit.view.preferredWidth);
    EXPECT_EQ(200, fit.view.preferredHeight);
    fit.view.fitMode = CScrollView::kFitHeight;
    fit.view.MeasureWithin(400.0f, 100.0f);
    EXPECT_EQ(200, fit.view.preferredWidth);
    EXPECT_EQ(100, fit.view.preferredHeight);
    fit.view.MeasureWithin(100.0f, 100.0f);
    EXPECT_EQ(100, fit.view.preferredWidth);
}

TEST(ScrollView, RealScrollBarsScrollThePanelOnScreen)
{
    CPanelTestHost host(150, 120, 320, 240);
    CScene scene(true, 1);
    CCheckerDrawable checker(10, 8);
    scene.items[0] = &checker;
    CPanel panel(true, false);
    panel.SetScene(&scene);
    CScrollView view(&panel);
    view.SetExtent(CRectF(0.0f, 0.0f, 1000.0f, 800.0f));
    view.CreateNativeWindow(host);
    view.MeasureWithin(320.0f, 240.0f);
    view.SetBounds(CRectF(0.0f, 0.0f, 320.0f, 240.0f));
    ASSERT_NE(nullptr, view.verticalBar.hwnd);
    EXPECT_TRUE(IsWindowVisible(view.verticalBar.hwnd));
    EXPECT_TRUE(IsWindowVisible(view.horizontalBar.hwnd));
    PumpUntil([&] { return !panel.repaintTimer.IsRunning(); });
    EXPECT_EQ(ToColorRef(CCheckerDrawable::CellColor(0, 0)), ReadClientPixel(panel.hwnd, 50, 50));
    EXPECT_EQ(ToColorRef(CCheckerDrawable::CellColor(2, 1)), ReadClientPixel(panel.hwnd, 250, 150));

    // The native bar shows the range; a page click goes through the host to
    // the view, and the panel repaints from its timer.
    SCROLLINFO info = {sizeof info, SIF_ALL};
    GetScrollInfo(view.verticalBar.hwnd, SB_CTL, &info);
    EXPECT_EQ(view.verticalBar.max - 1 + view.verticalBar.page, info.nMax);
    SendMessageW(host.hwnd, WM_VSCROLL, SB_PAGEDOWN, LPARAM(view.verticalBar.hwnd));
    SendMessageW(host.hwnd, WM_HSCROLL, SB_PAGEDOWN, LPARAM(view.horizontalBar.hwnd));
    const int x = view.horizontalBar.position;
    const int y = view.verticalBar.position;
    EXPECT_EQ(int(panel.bounds.Width()), x);
    EXPECT_EQ(int(panel.bounds.Height()), y);
    EXPECT_EQ(y, GetScrollPos(view.verticalBar.hwnd, SB_CTL));
    PumpUntil([&] { return !panel.repaintTimer.IsRunning(); });
    // Window pixel (10, 10) now shows content point (x + 10, y + 10).
    EXPECT_EQ(ToColorRef(CCheckerDrawable::CellColor((x + 10) / 100, (y + 10) / 100)),
              ReadClientPixel(panel.hwnd, 10, 10));
    EXPECT_EQ(ToColorRef(CCheckerDrawable::CellColor((x + 150) / 100, (y + 120) / 100)),
              ReadClientPixel(panel.hwnd, 150, 120));

    EXPECT_TRUE(SaveWindowPicture(host.hwnd, GetTestArtefactPath(L"ScrollViewScrolled.png")));

    SendMessageW(host.hwnd, WM_VSCROLL, SB_TOP, LPARAM(view.verticalBar.hwnd));
    EXPECT_EQ(0, view.verticalBar.position);
    EXPECT_EQ(0.0f, scene.transform.GetPosition2D().y);

    // Zoomed out to the whole content.
    view.fitMode = CScrollView::kFitWhole;
    view.MeasureWithin(320.0f, 240.0f);
    view.UpdateLayout();
    EXPECT_FALSE(IsWindowVisible(view.verticalBar.hwnd));
    EXPECT_FALSE(IsWindowVisible(view.horizontalBar.hwnd));
    PumpUntil([&] { return !panel.repaintTimer.IsRunning(); });
    const std::wstring path = GetTestArtefactPath(L"ScrollViewWhole.png");
    EXPECT_TRUE(SaveWindowPicture(host.hwnd, path));
    printf("Scroll view screenshot: %ls\n", path.c_str());
    EXPECT_EQ(ToColorRef(CCheckerDrawable::CellColor(9, 7)),
              ReadClientPixel(panel.hwnd, int(panel.bounds.Width()) - 3, int(panel.bounds.Height()) - 3));

    view.SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(panel.hwnd));
    view.SetDirty();
    EXPECT_TRUE(view.closed);
    EXPECT_TRUE(panel.closed);
}
