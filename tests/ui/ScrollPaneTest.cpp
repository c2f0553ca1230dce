#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/Timer.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestWindows.h"
#include "ui/ScrollPane.h"
#include "ui/UIFontMetrics.h"

namespace {

const int kHostX = 140;
const int kHostY = 110;

// A pane of the given items laid out in a visible host.
struct CPaneFixture
{
    CPaneFixture(const std::vector<std::wstring>& texts, float width, float height, bool sorted = false)
        : host(kHostX, kHostY, 320, 240), pane(sorted)
    {
        for (const std::wstring& text : texts)
            pane.AddItem(text);
        pane.CreateNativeWindow(host);
        pane.MeasureWithin(width, height);
        pane.SetBounds(CRectF(0.0f, 0.0f, width, height));
        WaitForPaints();
    }
    static void WaitForPaints() { PumpUntil([] { return GetRunningTimerCount() == 0; }); }
    LRESULT Key(WPARAM key)
    {
        SendMessageW(pane.client.hwnd, WM_KEYDOWN, key, 1);
        return SendMessageW(pane.client.hwnd, WM_KEYUP, key, 0xC0000001);
    }
    void Type(wchar_t ch) { SendMessageW(pane.client.hwnd, WM_CHAR, ch, 1); }
    // The first display row fully shown.
    int TopRow() const { return pane.area.verticalBar.position; }

    CPanelTestHost host;
    CScrollPane pane;
};

std::vector<std::wstring> Numbered(int count)
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < count; ++i)
        texts.push_back(L"Item " + std::to_wstring(i));
    return texts;
}

struct CTypedLetter
{
    wchar_t letter;
    int selected;  // the item selected after the letter
};

// Types the letters in turn, checking the selection after each.
void ExpectSelectedAfterTyping(CPaneFixture& fixture, std::initializer_list<CTypedLetter> steps)
{
    int step = 1;
    for (const CTypedLetter& typed : steps) {
        fixture.Type(typed.letter);
        EXPECT_EQ(typed.selected, fixture.pane.GetSelected())
            << "letter " << step++ << " ('" << char(typed.letter) << "')";
    }
}

}  // namespace

TEST(ScrollPane, TheListFontMatchesTheUiFontAndSetsTheRowHeight)
{
    const CFontMetrics& font = CScrollPane::GetListFont();
    // A whole number of pixels, as the GDI canvas draws it: at any other
    // size the letters stand spread apart. The width follows the size, so it
    // may miss the UI font's by half a pixel's worth of size.
    EXPECT_EQ(std::round(font.size), font.size);
    const float width = font.GetStringWidth(L"etaonirsh");
    EXPECT_NEAR(float(GetTextWidth(L"etaonirsh")), width, width / font.size / 2.0f + 0.01f);
    EXPECT_EQ(std::ceil(std::max(font.GetLineSpacing(), font.GetHeight() + 2.0f)), CScrollPane::GetRowHeight());
    EXPECT_GT(CScrollPane::GetRowHeight(), 8.0f);
}

TEST(ScrollPane, SetUpSortsByCodeUnitsAndKeepsEqualTextsInOrder)
{
    CScrollPane pane(true);
    EXPECT_EQ(0, pane.AddItem(L"b"));
    EXPECT_EQ(1, pane.AddItem(L"B"));
    EXPECT_EQ(2, pane.AddItem(L"a"));
    EXPECT_EQ(3, pane.AddItem(L"b"));
    EXPECT_EQ(4, pane.AddItem(L"ab"));
    EXPECT_FALSE(pane.ready);
    pane.MeasureWithin(300.0f, 300.0f);
    EXPECT_TRUE(pane.ready);
    EXPECT_EQ((std::vector<int>{1, 2, 4, 0, 3}), pane.client.order);

    const float rowHeight = CScrollPane::GetRowHeight();
    const float widest = CScrollPane::GetListFont().GetStringWidth(L"ab");
    EXPECT_EQ(std::ceil(widest + 4.0f), pane.client.contentWidth);
    EXPECT_EQ(CRectF(0.0f, 0.0f, pane.client.contentWidth, 5.0f * rowHeight), pane.area.extent);
    EXPECT_TRUE(pane.area.fillWidth);
    EXPECT_TRUE(pane.area.fillHeight);
    // The frame adds its 2-pixel border on every side and does not stretch.
    EXPECT_EQ(0, pane.widthStretch);
    EXPECT_EQ(0, pane.heightStretch);
    EXPECT_EQ(int(pane.client.contentWidth) + 4, pane.preferredWidth);
    EXPECT_EQ(int(5.0f * rowHeight) + 4, pane.preferredHeight);

    CScrollPane unsorted;
    unsorted.AddItem(L"b");
    unsorted.AddItem(L"a");
    unsorted.MeasureWithin(300.0f, 300.0f);
    EXPECT_EQ((std::vector<int>{0, 1}), unsorted.client.order);
}

TEST(ScrollPane, TheLeastRoomHoldsForFewItemsAndLongItemsGoBeyondIt)
{
    const float rowHeight = CScrollPane::GetRowHeight();
    const std::wstring longText(40, L'W');
    const float longWidth = std::ceil(CScrollPane::GetListFont().GetStringWidth(longText) + 4.0f);
    // Items, then the room: rows and pixels inside the 2-pixel frame.
    const struct { std::vector<std::wstring> items; float width, height; } cases[] = {
        {{L"a", L"b"}, 120.0f, 8.0f * rowHeight},
        {{longText}, longWidth, 8.0f * rowHeight},
        {Numbered(10), 120.0f, 10.0f * rowHeight},
    };
    for (const auto& c : cases) {
        CScrollPane pane;
        for (const std::wstring& item : c.items)
            pane.AddItem(item);
        pane.SetLeastRoom(120.0f, 8);
        pane.MeasureWithin(1000.0f, 1000.0f);
        EXPECT_EQ(int(c.width) + 4, pane.preferredWidth) << c.items.size();
        EXPECT_EQ(int(c.height) + 4, pane.preferredHeight) << c.items.size();
    }
}

TEST(ScrollPane, AnEmptyListIsSetUpWithoutAReport)
{
    const int reports = ReportCount();
    CScrollPane pane;
    pane.MeasureWithin(200.0f, 100.0f);
    EXPECT_EQ(reports, ReportCount());
    EXPECT_EQ(4.0f, pane.client.contentWidth);
    EXPECT_EQ(CScrollPane::GetRowHeight(), pane.area.extent.bottom);
    pane.SetBounds(CRectF(0.0f, 0.0f, 100.0f, 50.0f));
    // Keys and characters on an empty list change nothing.
    pane.client.OnKeyDown(kPanelKeyDown, false, false);
    pane.client.OnChar(L'a');
    EXPECT_EQ(reports, ReportCount());
}

TEST(ScrollPane, SelectingOutsideTheListIsReportedAndChangesNothing)
{
    CScrollPane pane;
    pane.AddItem(L"one");
    pane.AddItem(L"two");
    pane.Select(1);
    EXPECT_EQ(1, pane.GetSelected());
    EXPECT_EQ(2, CountReports([&] { pane.Select(2); pane.Select(-1); }));
    EXPECT_EQ(1, pane.GetSelected());
    pane.client.SelectRow(5);
    EXPECT_EQ(1, pane.GetSelected());
}

TEST(ScrollPane, NavigationKeysMoveTheSelectionAndScrollItIntoView)
{
    const float rowHeight = CScrollPane::GetRowHeight();
    CPaneFixture fixture(Numbered(30), 200.0f, std::floor(5.5f * rowHeight) + 4.0f);
    CScrollPane& pane = fixture.pane;
    ASSERT_NE(nullptr, pane.client.hwnd);
    EXPECT_TRUE(IsWindowVisible(pane.area.verticalBar.hwnd));
    const int pageRows = int(pane.client.bounds.Height() / rowHeight);
    ASSERT_EQ(5, pageRows);

    SetModifierKeys(false, false);
    fixture.Key(VK_DOWN);
    EXPECT_EQ(1, pane.GetSelected());
    fixture.Key(VK_RIGHT);
    EXPECT_EQ(2, pane.GetSelected());
    fixture.Key(VK_LEFT);
    EXPECT_EQ(1, pane.GetSelected());
    fixture.Key(VK_NEXT);
    EXPECT_EQ(1 + pageRows, pane.GetSelected());
    // Row 6 is below the 5.5 rows shown: the list scrolled just enough.
    EXPECT_EQ(int(std::ceil((7.0f * rowHeight - pane.client.bounds.Height()) / rowHeight)), fixture.TopRow());
    fixture.Key(VK_END);
    EXPECT_EQ(29, pane.GetSelected());
    EXPECT_EQ(pane.area.verticalBar.max, fixture.TopRow());
    fixture.Key(VK_DOWN);
    EXPECT_EQ(29, pane.GetSelected());
    fixture.Key(VK_PRIOR);
    EXPECT_EQ(29 - pageRows, pane.GetSelected());
    fixture.Key(VK_HOME);
    EXPECT_EQ(0, pane.GetSelected());
    EXPECT_EQ(0, fixture.TopRow());
    fixture.Key(VK_UP);
    EXPECT_EQ(0, pane.GetSelected());
    fixture.Key(VK_PRIOR);
    EXPECT_EQ(0, pane.GetSelected());

    // With Ctrl or Shift the keys are left alone.
    SetModifierKeys(true, false);
    fixture.Key(VK_DOWN);
    SetModifierKeys(false, true);
    fixture.Key(VK_END);
    SetModifierKeys(false, false);
    EXPECT_EQ(0, pane.GetSelected());
}

TEST(ScrollPane, PagingInAViewLowerThanARowStillMoves)
{
    CScrollPane pane;
    for (const std::wstring& text : Numbered(5))
        pane.AddItem(text);
    pane.MeasureWithin(100.0f, 100.0f);
    pane.client.Measure();
    pane.client.SetBounds(CRectF(0.0f, 0.0f, 100.0f, CScrollPane::GetRowHeight() / 2.0f));
    pane.client.OnKeyDown(kPanelKeyPageDown, false, false);
    EXPECT_EQ(1, pane.GetSelected());
    pane.client.OnKeyDown(kPanelKeyPageUp, false, false);
    EXPECT_EQ(0, pane.GetSelected());
}

TEST(ScrollPane, TheNavigationKeysAreAskedForAndNoOthers)
{
    CPaneFixture fixture(Numbered(3), 150.0f, 80.0f);
    const HWND client = fixture.pane.client.hwnd;
    for (int key : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_HOME, VK_END, VK_PRIOR, VK_NEXT})
        EXPECT_EQ(DLGC_WANTCHARS | DLGC_WANTARROWS, SendMessageW(client, WM_GETDLGCODE, key, 0)) << key;
    for (WPARAM key : {WPARAM(VK_RETURN), WPARAM(VK_TAB), WPARAM(VK_DELETE), WPARAM(VK_ADD), WPARAM('A')})
        EXPECT_EQ(DLGC_WANTCHARS, SendMessageW(client, WM_GETDLGCODE, key, 0)) << key;
    EXPECT_EQ(LONG(WS_TABSTOP), GetWindowLongW(client, GWL_STYLE) & WS_TABSTOP);
}

TEST(ScrollPane, TypingCyclesThroughTheItemsStartingWithTheLetter)
{
    CPaneFixture fixture({L"apple", L"Banana", L"avocado", L"cherry", L"Apricot", L"", L"7 up"}, 200.0f, 120.0f);
    CScrollPane& pane = fixture.pane;
    EXPECT_EQ(0, pane.GetSelected());
    ExpectSelectedAfterTyping(fixture, {{L'a', 2}, {L'A', 4}, {L'a', 0}, {L'a', 2},
                                        {L'z', 2}, {L'b', 1}, {L'B', 1}, {L'7', 6}});
}

TEST(ScrollPane, TypeAheadFollowsTheSortedRows)
{
    CPaneFixture fixture({L"beta", L"alpha", L"bravo", L"axis"}, 200.0f, 120.0f, true);
    CScrollPane& pane = fixture.pane;
    // Rows: alpha, axis, beta, bravo.
    pane.Select(1);
    ExpectSelectedAfterTyping(fixture, {{L'a', 3}, {L'b', 0}, {L'b', 2}});
    fixture.Key(VK_HOME);
    EXPECT_EQ(1, pane.GetSelected());
}

static int g_activations = 0;
static void CountActivation(CScrollPane*) { ++g_activations; }

TEST(ScrollPane, AClickSelectsTheRowUnderTheMouseAndTakesTheFocus)
{
    const float rowHeight = CScrollPane::GetRowHeight();
    CPaneFixture fixture(Numbered(20), 200.0f, std::floor(4.5f * rowHeight) + 4.0f);
    CScrollPane& pane = fixture.pane;
    SetForegroundWindow(fixture.host.hwnd);
    fixture.Key(VK_NEXT);
    const int top = fixture.TopRow();
    ASSERT_GT(top, 0);
    const auto click = [&](int x, int y) {
        for (DWORD flags : {DWORD(0), DWORD(MOUSEEVENTF_LEFTDOWN), DWORD(MOUSEEVENTF_LEFTUP)})
            MouseInput(POINT{kHostX + x, kHostY + y}, flags);
    };
    // The second row shown, inside the frame's 2-pixel border.
    click(30, 2 + int(1.5f * rowHeight));
    EXPECT_EQ(top + 1, pane.GetSelected());
    EXPECT_EQ(pane.client.hwnd, GetFocus());
    EXPECT_TRUE(pane.client.hasFocus);
    click(30, 2 + int(0.2f * rowHeight));
    EXPECT_EQ(top, pane.GetSelected());
    // Scrolled to the end, the space below the last row selects nothing.
    fixture.Key(VK_END);
    ASSERT_EQ(pane.area.verticalBar.max, fixture.TopRow());
    click(30, 2 + int(4.2f * rowHeight));
    EXPECT_EQ(19, pane.GetSelected());
    click(30, 2 + int(3.5f * rowHeight));
    EXPECT_EQ(fixture.TopRow() + 3, pane.GetSelected());

    // A double-click opens the item; quick clicks on two rows only select.
    g_activations = 0;
    pane.onActivate = CDelegate<CScrollPane*>(new CDelegate<CScrollPane*>::CStaticImpl(&CountActivation));
    Sleep(600);
    click(30, 2 + int(1.5f * rowHeight));
    click(30, 2 + int(2.5f * rowHeight));
    EXPECT_EQ(0, g_activations);
    click(30, 2 + int(2.5f * rowHeight));
    EXPECT_EQ(1, g_activations);
    EXPECT_EQ(fixture.TopRow() + 2, pane.GetSelected());
}

TEST(ScrollPane, DrawsRowsSelectionFocusAndTheSunkenFrame)
{
    const float rowHeight = CScrollPane::GetRowHeight();
    CPaneFixture fixture({L"Course one", L"Course two", L"Course three", L"Course four"}, 180.0f,
                         std::floor(6.0f * rowHeight) + 4.0f);
    CScrollPane& pane = fixture.pane;
    pane.Select(1);
    fixture.WaitForPaints();
    const HWND host = fixture.host.hwnd;
    // A list shorter than its room keeps its own height, centred.
    const int left = int(pane.bounds.left);
    const int top = int(pane.bounds.top);
    const int right = int(pane.bounds.right) - 1;
    const int bottom = int(pane.bounds.bottom) - 1;
    EXPECT_EQ(pane.preferredHeight, bottom + 1 - top);
    // The frame: outer and inner lines of every edge.
    EXPECT_EQ(RGB(0xAC, 0xA8, 0x99), ReadClientPixel(host, left, top + 20));
    EXPECT_EQ(RGB(0x71, 0x6F, 0x64), ReadClientPixel(host, left + 1, top + 20));
    EXPECT_EQ(RGB(0xAC, 0xA8, 0x99), ReadClientPixel(host, left + 20, top));
    EXPECT_EQ(RGB(0x71, 0x6F, 0x64), ReadClientPixel(host, left + 20, top + 1));
    EXPECT_EQ(RGB(0xFF, 0xFF, 0xFF), ReadClientPixel(host, right, top + 20));
    EXPECT_EQ(RGB(0xF1, 0xEF, 0xE2), ReadClientPixel(host, right - 1, top + 20));
    EXPECT_EQ(RGB(0xFF, 0xFF, 0xFF), ReadClientPixel(host, left + 20, bottom));
    EXPECT_EQ(RGB(0xF1, 0xEF, 0xE2), ReadClientPixel(host, left + 20, bottom - 1));
    // The selected row's fill over the whole width, white elsewhere.
    const int rowsTop = top + 2;
    const int selectedY = rowsTop + int(1.5f * rowHeight);
    EXPECT_EQ(RGB(0xDF, 0xEE, 0xFF), ReadClientPixel(host, right - 10, selectedY));
    EXPECT_EQ(RGB(0xFF, 0xFF, 0xFF), ReadClientPixel(host, right - 10, rowsTop + int(2.5f * rowHeight)));
    EXPECT_EQ(RGB(0xFF, 0xFF, 0xFF), ReadClientPixel(host, right - 10, rowsTop + int(0.5f * rowHeight)));
    // Black text in the first row.
    bool ink = false;
    for (int x = left + 4; x < left + 60 && !ink; ++x)
        for (int y = rowsTop; y < rowsTop + int(rowHeight) && !ink; ++y)
            ink = ReadClientPixel(host, x, y) == RGB(0, 0, 0);
    EXPECT_TRUE(ink);
    EXPECT_NE(RGB(0x80, 0x80, 0x80), ReadClientPixel(host, left + 2, selectedY));

    SetForegroundWindow(host);
    pane.client.SetFocus();
    fixture.WaitForPaints();
    EXPECT_EQ(RGB(0x80, 0x80, 0x80), ReadClientPixel(host, left + 2, selectedY));
    EXPECT_EQ(RGB(0x80, 0x80, 0x80), ReadClientPixel(host, right - 2, selectedY));
    const std::wstring path = GetTestArtefactPath(L"ScrollPane.png");
    EXPECT_TRUE(SaveWindowPicture(host, path));
    printf("Scroll pane screenshot: %ls\n", path.c_str());
}
