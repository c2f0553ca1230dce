#include <gtest/gtest.h>

#include "foundation/Rgba.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestWindows.h"
#include "tests/ui/UiTestWindows.h"
#include "ui/Object.h"
#include "ui/SplitPane.h"

namespace {

// Left: at least 100 wide, 150 preferred. Right: at least 200, 400 preferred.
class SplitPane : public testing::Test
{
protected:
    SplitPane()
        : left(100, 150, 0, 0, 50, 80, 0, 1), right(200, 400, 0, 1, 120, 300, 0, 1), pane(&left, &right)
    {
    }

    int Divider() const { return CSpacer::GapH4()->minWidth; }

    // A press in the divider at x, a move to x + dx and the release there.
    void Drag(float x, float dx)
    {
        CMouseEvent event;
        event.x = x;
        event.left = true;
        pane.divider.OnMouseDown(event);
        pane.divider.pressState = CPanel::EPressState::kHeld;
        event.x = x + dx;
        pane.divider.OnMouseMove(event);
        pane.divider.pressState = CPanel::EPressState::kReleasing;
        pane.divider.OnMouseUp(event);
        pane.divider.pressState = CPanel::EPressState::kIdle;
    }

    CFixedWindow left;
    CFixedWindow right;
    CSplitPane pane;
};

}  // namespace

TEST_F(SplitPane, StartsWithTheLeftPaneAtItsMinimumWidth)
{
    pane.MeasureWithin(1000.0f, 600.0f);
    EXPECT_EQ(100.0f, pane.position);
    EXPECT_EQ(100 + Divider() + 200, pane.minWidth);
    EXPECT_EQ(100 + Divider() + 400, pane.preferredWidth);
    EXPECT_EQ(120, pane.minHeight);
    EXPECT_EQ(300, pane.preferredHeight);
    pane.SetBounds(CRectF(0.0f, 0.0f, 800.0f, 500.0f));
    EXPECT_EQ(CRectF(0.0f, 0.0f, 100.0f, 500.0f), left.bounds);
    EXPECT_EQ(CRectF(100.0f, 0.0f, 100.0f + float(Divider()), 500.0f), pane.divider.bounds);
    EXPECT_EQ(CRectF(100.0f + float(Divider()), 0.0f, 800.0f, 500.0f), right.bounds);
    EXPECT_FALSE(pane.dragLine.visible);
}

TEST_F(SplitPane, ADragMovesTheDividerAtTheRelease)
{
    pane.MeasureWithin(1000.0f, 600.0f);
    pane.SetBounds(CRectF(0.0f, 0.0f, 800.0f, 500.0f));
    Drag(2.0f, 50.0f);
    EXPECT_EQ(150.0f, pane.position);
    EXPECT_EQ(150.0f, left.bounds.right);
    EXPECT_EQ(150.0f + float(Divider()), right.bounds.left);
    EXPECT_FALSE(pane.dragLine.visible);
}

TEST_F(SplitPane, TheLineFollowsTheMouseWhileTheButtonIsHeld)
{
    pane.MeasureWithin(1000.0f, 600.0f);
    pane.SetBounds(CRectF(0.0f, 0.0f, 800.0f, 500.0f));
    CMouseEvent event;
    event.x = 1.0f;
    pane.divider.OnMouseDown(event);
    EXPECT_TRUE(pane.dragLine.visible);
    pane.divider.pressState = CPanel::EPressState::kHeld;
    event.x = 31.0f;
    pane.divider.OnMouseMove(event);
    EXPECT_EQ(130.0f, pane.dragLine.bounds.left);
    // The panes wait for the release.
    EXPECT_EQ(100.0f, left.bounds.right);
    pane.divider.pressState = CPanel::EPressState::kReleasing;
    pane.divider.OnMouseUp(event);
    EXPECT_EQ(130.0f, left.bounds.right);
}

TEST_F(SplitPane, DraggingPastEitherEdgeStopsAtThePanesMinimumWidths)
{
    pane.MeasureWithin(1000.0f, 600.0f);
    pane.SetBounds(CRectF(0.0f, 0.0f, 800.0f, 500.0f));
    Drag(2.0f, 5000.0f);
    EXPECT_EQ(800.0f - float(Divider()) - 200.0f, pane.position);
    EXPECT_EQ(200.0f, right.bounds.Width());
    Drag(2.0f, -5000.0f);
    EXPECT_EQ(100.0f, pane.position);
    EXPECT_EQ(100.0f, left.bounds.Width());
}

TEST_F(SplitPane, AReleaseWithoutAMoveLeavesTheLayout)
{
    pane.MeasureWithin(1000.0f, 600.0f);
    pane.SetBounds(CRectF(0.0f, 0.0f, 800.0f, 500.0f));
    Drag(2.0f, 40.0f);
    const CRectF leftBefore = left.bounds;
    const CRectF rightBefore = right.bounds;
    Drag(3.0f, 0.0f);
    EXPECT_EQ(leftBefore, left.bounds);
    EXPECT_EQ(rightBefore, right.bounds);
}

TEST_F(SplitPane, NarrowerThanBothMinimumsKeepsTheLeftPaneAtItsMinimum)
{
    pane.MeasureWithin(1000.0f, 600.0f);
    pane.SetBounds(CRectF(0.0f, 0.0f, 800.0f, 500.0f));
    Drag(2.0f, 100.0f);
    // Too narrow for the limits: reported, and laid out as well as it goes.
    EXPECT_LE(1, CountReports([&] { pane.SetBounds(CRectF(0.0f, 0.0f, 250.0f, 500.0f)); }));
    EXPECT_EQ(100.0f, left.bounds.Width());
    // Measuring within too little space offers the left pane its minimum.
    pane.MeasureWithin(120.0f, 600.0f);
    EXPECT_EQ(100 + Divider() + 200, pane.minWidth);
}

TEST_F(SplitPane, TheDividerIsTheButtonFaceDarkenedAndTheLineBlack)
{
    const uint32_t face = GetButtonFaceColor();
    const uint32_t dark = CSplitPane::GetDividerColor();
    EXPECT_EQ(GetRed(face) * 191 / 255, GetRed(dark));
    EXPECT_EQ(GetGreen(face) * 191 / 255, GetGreen(dark));
    EXPECT_EQ(GetBlue(face) * 191 / 255, GetBlue(dark));
    EXPECT_EQ(255u, GetAlpha(dark));
    EXPECT_EQ(dark, pane.divider.ownScene.background);
    EXPECT_EQ(0xFF000000u, pane.dragLine.ownScene.background);
    pane.divider.Measure();
    EXPECT_EQ(Divider(), pane.divider.minWidth);
    EXPECT_EQ(Divider(), pane.divider.maxWidth);
    EXPECT_EQ(1, pane.divider.heightStretch);
}

TEST_F(SplitPane, TheDragLineIgnoresTheMouseAndThePaneIsNeverHidden)
{
    pane.MeasureWithin(1000.0f, 600.0f);
    pane.SetBounds(CRectF(0.0f, 0.0f, 800.0f, 500.0f));
    CMouseEvent event;
    event.x = 300.0f;
    pane.dragLine.OnMouseDown(event);
    pane.dragLine.OnMouseUp(event);
    EXPECT_EQ(100.0f, pane.position);
    EXPECT_EQ(1, CountReports([&] { pane.SetVisible(false); }));
    EXPECT_EQ(0, CountReports([&] { pane.SetVisible(true); }));
}

// The drag line's window is made at the first press and kept: shown above the panes while dragging.
TEST(SplitPaneWindow, TheDragLineIsMadeAtTheFirstDragAndKeptForTheNext)
{
    CFixedWindow left(100, 150, 0, 0, 50, 80, 0, 1);
    CFixedWindow right(200, 400, 0, 1, 120, 300, 0, 1);
    CSplitPane pane(&left, &right);
    CPanelTestHost host(60, 60, 500, 300);
    pane.CreateNativeWindow(host);
    pane.MeasureWithin(500.0f, 300.0f);
    pane.SetBounds(CRectF(0.0f, 0.0f, 500.0f, 300.0f));
    PumpFor(50);
    EXPECT_EQ(nullptr, pane.dragLine.hwnd);
    HWND made = nullptr;
    for (const auto& drag : {std::pair<float, LONG>{40.0f, 140}, {-20.0f, 120}, {0.0f, 120}}) {
        CMouseEvent event;
        event.x = 2.0f;
        event.left = true;
        pane.divider.OnMouseDown(event);
        made = made ? made : pane.dragLine.hwnd;
        ASSERT_NE(nullptr, made);
        EXPECT_EQ(made, pane.dragLine.hwnd);
        EXPECT_EQ(made, GetWindow(host.hwnd, GW_CHILD));
        pane.divider.pressState = CPanel::EPressState::kHeld;
        event.x += drag.first;
        pane.divider.OnMouseMove(event);
        RECT shown = {};
        GetWindowRect(made, &shown);
        MapWindowPoints(nullptr, host.hwnd, reinterpret_cast<POINT*>(&shown), 2);
        EXPECT_TRUE(IsWindowVisible(made));
        EXPECT_EQ(drag.second, shown.left);
        EXPECT_EQ(CSpacer::GapH4()->minWidth, int(shown.right - shown.left));
        EXPECT_EQ(300, shown.bottom - shown.top);
        pane.divider.pressState = CPanel::EPressState::kReleasing;
        pane.divider.OnMouseUp(event);
        pane.divider.pressState = CPanel::EPressState::kIdle;
        EXPECT_FALSE(IsWindowVisible(made));
        EXPECT_EQ(float(drag.second), left.bounds.right);
    }
}
