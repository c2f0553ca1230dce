#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/ShortcutText.h"
#include "foundation/Strings.h"
#include "graphics/ImageCache.h"
#include "graphics/PixelBitmap.h"
#include "graphics/ToolbarButtonFace.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestWindows.h"
#include "ui/Toolbar.h"

namespace {

const wchar_t kIcon[] = L"EditCopy.png";

// Records what the buttons report.
struct CButtonLog
{
    std::vector<std::string> events;

    void OnPress(CToolbarItem* item) { events.push_back("press " + std::to_string(item->id)); }
    void OnRelease(CToolbarItem* item) { events.push_back("release " + std::to_string(item->id)); }
    void OnExecute(int id) { events.push_back("run " + std::to_string(id)); }

    void Watch(CToolbarItem* item)
    {
        item->onPress = CMemberDelegate<CToolbarItem*, CButtonLog>::Make(this, &CButtonLog::OnPress);
        item->onRelease = CMemberDelegate<CToolbarItem*, CButtonLog>::Make(this, &CButtonLog::OnRelease);
        item->onExecute = CMemberDelegate<int, CButtonLog>::Make(this, &CButtonLog::OnExecute);
    }
};

CToolbarItem* AddButton(CToolbarPanel& bar, int id)
{
    CToolbarItem* item = new CToolbarItem(id, id + 1, kIcon, 0, 0);
    bar.AddItem(item);
    return item;
}

CMouseEvent At(const CToolbarItem* item, float dx = 1.0f, float dy = 1.0f)
{
    CMouseEvent event;
    event.x = item->rect.left + dx;
    event.y = item->rect.top + dy;
    event.left = true;
    return event;
}

CMouseEvent Nowhere()
{
    CMouseEvent event;
    event.x = -50.0f;
    event.y = -50.0f;
    return event;
}

// The layout quantities, from the spacers and the face picture.
struct CMetrics
{
    float bw, bh, M, T, G, S;
};

CMetrics GetMetrics(const CToolbarPanel& bar)
{
    const CPixelBitmap* face = bar.items.front()->face;
    return CMetrics{face->GetWidth(),
                    face->GetHeight(),
                    float(CSpacer::GapH4()->preferredWidth),
                    float(CSpacer::GapV2()->preferredHeight),
                    float(CSpacer::GapV4()->preferredHeight),
                    float(CSpacer::GapH7()->preferredWidth)};
}

}  // namespace

TEST(Toolbar, ButtonIsACommandWithItsIconComposedOnTheNormalFace)
{
    CToolbarItem item(2112, 2113, kIcon, 1, 'C');
    const CPixelBitmap* icon = CImage::GetCached(kIcon);
    ASSERT_NE(nullptr, icon);
    EXPECT_EQ(icon, item.icon);
    EXPECT_EQ(CToolbarButtonFace::GetNormal().GetImage(icon), item.face);
    EXPECT_EQ(icon->GetWidth() + 7, item.face->GetWidth());
    EXPECT_EQ(icon->GetHeight() + 5, item.face->GetHeight());
    EXPECT_TRUE(item.enabled);
    EXPECT_TRUE(item.visible);
    EXPECT_FALSE(item.checked);
    EXPECT_EQ(nullptr, item.owner);
}

TEST(Toolbar, FaceFollowsTheState)
{
    CToolbarPanel bar;
    CToolbarItem* item = AddButton(bar, 2112);
    const CPixelBitmap* icon = item->icon;
    item->SetChecked(true);
    EXPECT_EQ(CToolbarButtonFace::GetPressed().GetImage(icon), item->face);
    item->SetEnabled(false);
    EXPECT_EQ(CToolbarButtonFace::GetDisabled().GetImage(icon), item->face);
    item->SetEnabled(true);
    item->SetChecked(false);
    EXPECT_EQ(CToolbarButtonFace::GetNormal().GetImage(icon), item->face);
    item->hot = true;
    item->RecomposeFace();
    EXPECT_EQ(CToolbarButtonFace::GetHot().GetImage(icon), item->face);
    item->pressed = true;
    item->RecomposeFace();
    EXPECT_EQ(CToolbarButtonFace::GetPressed().GetImage(icon), item->face);
    // Held down but the mouse went elsewhere: not pressed-looking.
    item->hot = false;
    item->RecomposeFace();
    EXPECT_EQ(CToolbarButtonFace::GetNormal().GetImage(icon), item->face);
}

TEST(Toolbar, FaceChangeGivesTheToolbarANewDrawingKey)
{
    CToolbarPanel bar;
    CToolbarItem* item = AddButton(bar, 2112);
    const std::string before = bar.GetKey();
    item->SetChecked(false);   // no change, no new key
    EXPECT_EQ(before, bar.GetKey());
    item->SetChecked(true);
    EXPECT_NE(before, bar.GetKey());
}

TEST(Toolbar, TooltipTextDropsMarkerAndDotsAndAddsTheShortcut)
{
    CToolbarItem print(2081, 2082, kIcon, 1, 'P');
    print.SetText(L"&Print...");
    EXPECT_EQ(L"Print (" + GetShortcutText(1, 'P') + L")", print.GetTooltipText());
    CToolbarItem plain(2077, 2078, kIcon, 0, 0);
    plain.SetText(L"Save All");
    EXPECT_EQ(L"Save All", plain.GetTooltipText());
    // Three dots alone are the whole caption, not an ending.
    plain.SetText(L"...");
    EXPECT_EQ(L"...", plain.GetTooltipText());
    plain.SetText(L"A...");
    EXPECT_EQ(L"A", plain.GetTooltipText());
}

TEST(Toolbar, DefaultsPutEveryButtonInOneRow)
{
    CToolbarPanel bar;
    CToolbarItem* a = AddButton(bar, 2110);
    CToolbarItem* b = AddButton(bar, 2112);
    bar.AddSeparator();
    CToolbarItem* c = AddButton(bar, 2120);
    const CMetrics m = GetMetrics(bar);
    bar.Measure();
    bar.Layout(true);
    EXPECT_EQ(CRectF(m.M, m.T, m.M + m.bw, m.T + m.bh), a->rect);
    EXPECT_EQ(CRectF(m.M + m.bw, m.T, m.M + 2 * m.bw, m.T + m.bh), b->rect);
    EXPECT_EQ(CRectF(m.M + 2 * m.bw + m.S, m.T, m.M + 3 * m.bw + m.S, m.T + m.bh), c->rect);
    EXPECT_EQ(int(3 * m.bw + m.S + 2 * m.M), bar.minWidth);
    EXPECT_EQ(bar.minWidth, bar.preferredWidth);
    EXPECT_EQ(0, bar.maxWidth);
    EXPECT_EQ(0, bar.widthStretch);
    EXPECT_EQ(int(m.bh + 2 * m.T), bar.minHeight);
    EXPECT_EQ(bar.minHeight, bar.maxHeight);
    EXPECT_EQ(0, bar.heightStretch);

    bar.SetLayoutParams(1000, 0, true, true);
    bar.Measure();
    EXPECT_EQ(int(1000 * m.bw + 2 * m.M), bar.preferredWidth);
}

TEST(Toolbar, SeparatorsAddOneGapOnlyBetweenVisibleButtons)
{
    CToolbarPanel bar;
    CToolbarItem* hidden = AddButton(bar, 2104);
    bar.AddSeparator();
    CToolbarItem* a = AddButton(bar, 2110);
    bar.AddSeparator();
    bar.AddSeparator();
    CToolbarItem* b = AddButton(bar, 2112);
    bar.AddSeparator();
    hidden->SetVisible(false);
    const CMetrics m = GetMetrics(bar);
    const CSize2 size = bar.Layout(true);
    EXPECT_EQ(m.M, a->rect.left);
    EXPECT_EQ(m.M + m.bw + m.S, b->rect.left);
    // The trailing separator adds nothing.
    EXPECT_EQ(m.M + 2 * m.bw + m.S + m.M, size.width);
}

TEST(Toolbar, GroupsThatDoNotFitMoveToTheNextRowAsAWhole)
{
    CToolbarPanel bar;
    std::vector<CToolbarItem*> buttons;
    for (int group = 0; group < 3; ++group) {
        if (group > 0)
            bar.AddSeparator();
        buttons.push_back(AddButton(bar, 2110 + 4 * group));
        buttons.push_back(AddButton(bar, 2112 + 4 * group));
    }
    bar.SetLayoutParams(3, 1, true, false);
    const CMetrics m = GetMetrics(bar);
    const CSize2 size = bar.Layout(true);
    for (int row = 0; row < 3; ++row) {
        const float top = m.T + float(row) * (m.bh + m.G);
        EXPECT_EQ(CRectF(m.M, top, m.M + m.bw, top + m.bh), buttons[2 * row]->rect) << row;
        EXPECT_EQ(CRectF(m.M + m.bw, top, m.M + 2 * m.bw, top + m.bh), buttons[2 * row + 1]->rect) << row;
    }
    EXPECT_EQ(2 * m.bw + 2 * m.M, size.width);
    EXPECT_EQ(m.T + 3 * m.bh + 2 * m.G + m.T, size.height);

    // Without the row gap the rows touch.
    bar.SetLayoutParams(3, 1, false, false);
    bar.Layout(true);
    EXPECT_EQ(m.T + m.bh, buttons[2]->rect.top);
}

TEST(Toolbar, AGroupWiderThanARowWrapsButtonByButton)
{
    CToolbarPanel bar;
    CToolbarItem* first = AddButton(bar, 2104);
    bar.AddSeparator();
    std::vector<CToolbarItem*> group;
    for (int i = 0; i < 3; ++i)
        group.push_back(AddButton(bar, 2110 + 2 * i));
    bar.SetLayoutParams(2, 0, true, false);
    bar.standardMargins = false;
    const CMetrics m = GetMetrics(bar);
    bar.Layout(true);
    EXPECT_EQ(CRectF(0, 0, m.bw, m.bh), first->rect);
    const float second = m.bh + m.G;
    EXPECT_EQ(CRectF(0, second, m.bw, second + m.bh), group[0]->rect);
    EXPECT_EQ(CRectF(m.bw, second, 2 * m.bw, second + m.bh), group[1]->rect);
    EXPECT_EQ(CRectF(0, second + m.bh + m.G, m.bw, second + 2 * m.bh + m.G), group[2]->rect);
}

TEST(Toolbar, HidingAButtonClosesTheGap)
{
    CToolbarPanel bar;
    AddButton(bar, 2110);
    CToolbarItem* b = AddButton(bar, 2112);
    CToolbarItem* c = AddButton(bar, 2120);
    bar.Layout(true);
    const CRectF place = b->rect;
    b->SetVisible(false);
    EXPECT_EQ(place, c->rect);
    EXPECT_EQ(c, bar.HitTest(place.left + 1, place.top + 1));
    b->SetVisible(true);
    EXPECT_EQ(place, b->rect);
}

TEST(Toolbar, BadSeparatorAndMissingButtonAreReported)
{
    CToolbarPanel bar;
    const int before = ReportCount();
    EXPECT_EQ(-1, bar.AddSeparator());
    EXPECT_TRUE(bar.items.empty());
    EXPECT_TRUE(bar.breakFlags.empty());
    EXPECT_EQ(before + 1, ReportCount());
    CToolbarItem* a = AddButton(bar, 2110);
    EXPECT_EQ(1, bar.AddSeparator());
    EXPECT_EQ(a, bar.FindItem(2110));
    EXPECT_EQ(nullptr, bar.FindItem(2999));
    EXPECT_EQ(before + 2, ReportCount());
    // An empty toolbar measures to its margins, reported.
    CToolbarPanel empty;
    empty.Measure();
    EXPECT_EQ(before + 3, ReportCount());
    EXPECT_EQ(2 * CSpacer::GapH4()->preferredWidth, empty.preferredWidth);
}

TEST(Toolbar, HitTestIncludesLeftAndTopEdgesOnly)
{
    CToolbarPanel bar;
    CToolbarItem* a = AddButton(bar, 2110);
    CToolbarItem* b = AddButton(bar, 2112);
    bar.Layout(true);
    EXPECT_EQ(a, bar.HitTest(a->rect.left, a->rect.top));
    EXPECT_EQ(b, bar.HitTest(a->rect.right, a->rect.top));
    EXPECT_EQ(nullptr, bar.HitTest(a->rect.left, a->rect.bottom));
    EXPECT_EQ(nullptr, bar.HitTest(a->rect.left - 1, a->rect.top));
}

TEST(Toolbar, ReleaseOverTheButtonRunsItsCommand)
{
    CButtonLog log;
    CToolbarPanel bar;
    CToolbarItem* a = AddButton(bar, 2110);
    log.Watch(a);
    bar.Layout(true);
    bar.OnMouseEnter(At(a));
    bar.OnMouseMove(At(a));
    EXPECT_TRUE(a->hot);
    bar.OnMouseDown(At(a));
    EXPECT_TRUE(a->pressed);
    EXPECT_EQ(CToolbarButtonFace::GetPressed().GetImage(a->icon), a->face);
    bar.OnMouseUp(At(a));
    EXPECT_FALSE(a->pressed);
    EXPECT_EQ(nullptr, bar.pressedItem);
    EXPECT_EQ(CToolbarButtonFace::GetHot().GetImage(a->icon), a->face);
    EXPECT_EQ((std::vector<std::string>{"press 2110", "release 2110", "run 2110"}), log.events);
}

TEST(Toolbar, MovingOffBeforeReleaseRunsNothingAndMovingBackRuns)
{
    CButtonLog log;
    CToolbarPanel bar;
    CToolbarItem* a = AddButton(bar, 2110);
    log.Watch(a);
    bar.Layout(true);
    bar.OnMouseMove(At(a));
    bar.OnMouseDown(At(a));
    bar.OnMouseMove(Nowhere());
    EXPECT_FALSE(a->hot);
    EXPECT_EQ(CToolbarButtonFace::GetNormal().GetImage(a->icon), a->face);
    bar.OnMouseUp(Nowhere());
    EXPECT_EQ((std::vector<std::string>{"press 2110", "release 2110"}), log.events);

    log.events.clear();
    bar.OnMouseMove(At(a));
    bar.OnMouseDown(At(a));
    bar.OnMouseMove(Nowhere());
    bar.OnMouseMove(At(a, 3, 3));
    EXPECT_TRUE(a->hot);
    bar.OnMouseUp(At(a, 3, 3));
    EXPECT_EQ((std::vector<std::string>{"press 2110", "release 2110", "run 2110"}), log.events);
}

TEST(Toolbar, WhileHeldOtherButtonsDoNotLightUp)
{
    CToolbarPanel bar;
    CToolbarItem* a = AddButton(bar, 2110);
    CToolbarItem* b = AddButton(bar, 2112);
    bar.Layout(true);
    bar.OnMouseMove(At(a));
    bar.OnMouseDown(At(a));
    bar.OnMouseMove(At(b));
    EXPECT_FALSE(b->hot);
    EXPECT_FALSE(a->hot);
    EXPECT_EQ(nullptr, bar.hotItem);
    EXPECT_EQ(CToolbarButtonFace::GetNormal().GetImage(b->icon), b->face);
    bar.OnMouseUp(At(b));
    EXPECT_FALSE(a->pressed);
}

TEST(Toolbar, DisabledButtonFiresNothing)
{
    CButtonLog log;
    CToolbarPanel bar;
    CToolbarItem* a = AddButton(bar, 2110);
    log.Watch(a);
    a->SetEnabled(false);
    bar.Layout(true);
    bar.OnMouseMove(At(a));
    bar.OnMouseDown(At(a));
    EXPECT_EQ(CToolbarButtonFace::GetDisabled().GetImage(a->icon), a->face);
    bar.OnMouseUp(At(a));
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(CToolbarButtonFace::GetDisabled().GetImage(a->icon), a->face);
}

TEST(Toolbar, CheckedButtonLooksPressedWithTheMouseElsewhere)
{
    CToolbarPanel bar;
    CToolbarItem* a = AddButton(bar, 2148);
    bar.Layout(true);
    a->SetChecked(true);
    bar.OnMouseMove(Nowhere());
    EXPECT_EQ(CToolbarButtonFace::GetPressed().GetImage(a->icon), a->face);
}

namespace {

struct CClosingCommand
{
    CToolbarPanel* bar = nullptr;
    void Run(int) {
        delete bar;
        bar = nullptr;
    }
};

}  // namespace

TEST(Toolbar, ACommandMayDeleteTheToolbarThatRanIt)
{
    CClosingCommand closing;
    closing.bar = new CToolbarPanel;
    CToolbarItem* a = AddButton(*closing.bar, 2070);
    a->onExecute = CMemberDelegate<int, CClosingCommand>::Make(&closing, &CClosingCommand::Run);
    closing.bar->Layout(true);
    CToolbarPanel* bar = closing.bar;
    bar->OnMouseMove(At(a));
    bar->OnMouseDown(At(a));
    bar->OnMouseUp(At(a));
    EXPECT_EQ(nullptr, closing.bar);
}

TEST(Toolbar, UpdateItemsPullsEveryButtonsState)
{
    struct CRule
    {
        int calls = 0;
        void Apply(CCommand* command)
        {
            ++calls;
            command->SetEnabled(command->id != 2112);
        }
    } rule;
    CToolbarPanel bar;
    CToolbarItem* a = AddButton(bar, 2110);
    bar.AddSeparator();
    CToolbarItem* b = AddButton(bar, 2112);
    for (CToolbarItem* item : {a, b})
        item->onUpdateState = CMemberDelegate<CCommand*, CRule>::Make(&rule, &CRule::Apply);
    bar.UpdateItems();
    EXPECT_EQ(2, rule.calls);
    EXPECT_TRUE(a->enabled);
    EXPECT_FALSE(b->enabled);
    EXPECT_EQ(CToolbarButtonFace::GetDisabled().GetImage(b->icon), b->face);
}

// The tool-tip records are of their full size (with lpReserved: 48 bytes in
// the 32-bit program, 72 in the 64-bit one), which the common controls take
// only in version 6: the manifest among the program's resources asks for
// that version, of the program's processor.
TEST(Toolbar, TooltipsComeFromVersion6OfTheCommonControls)
{
    // Version 6 is the side-by-side assembly (Wine's copy of it still
    // reports 5.81 from DllGetVersion, so the file is what tells).
    HMODULE commonControls = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(nullptr, commonControls);
    wchar_t path[MAX_PATH] = {};
    ASSERT_NE(0u, GetModuleFileNameW(commonControls, path, MAX_PATH));
    std::wstring lower(path);
    CharLowerW(&lower[0]);
    EXPECT_NE(std::wstring::npos, lower.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.0.")) << path;

    HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, tip);
    TOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = tip;
    info.uId = 1;
    info.lpszText = const_cast<wchar_t*>(L"Tip");
    EXPECT_EQ(sizeof(void*) == 8 ? 72u : 48u, info.cbSize);
    EXPECT_TRUE(SendMessageW(tip, TTM_ADDTOOLW, 0, LPARAM(&info)));
    DestroyWindow(tip);
}

// The shown button's picture is composed when the toolbar first draws it, the hidden one's when asked for.
TEST(ToolbarWindow, PicturesAreComposedWhenTheToolbarFirstDrawsThem)
{
    CToolbarPanel bar;
    CToolbarItem* items[] = {new CToolbarItem(2112, 2113, L"ShpWeavePoles.png", 0, 0),
                             new CToolbarItem(2112, 2113, L"ShpTable.png", 0, 0)};
    CPixelBitmap taken[2];
    for (int i = 0; i < 2; ++i) {
        bar.AddItem(items[i]);
        items[i]->SetVisible(i == 0);
        ASSERT_NE(nullptr, items[i]->face);
        taken[i] = *items[i]->face;
    }
    CPanelTestHost host(60, 60, 300, 100);
    bar.Measure();
    bar.CreateNativeWindow(host);
    bar.SetBounds(CRectF(0.0f, 0.0f, float(bar.preferredWidth), float(bar.preferredHeight)));
    const CToolbarItem& shown = *items[0];
    ASSERT_TRUE(PumpUntil([&] {
        return taken[0].GetPixels() != shown.face->GetPixels() &&
               ReadClientPixel(bar.hwnd, int(shown.rect.left) + 5, int(shown.rect.top) + 5) ==
               (shown.face->GetPixel(5, 5) & 0x00FFFFFF);
    }));
    EXPECT_EQ(taken[1].GetPixels(), items[1]->face->GetPixels());
    // Asked for, the hidden button's picture is composed too, in the same place.
    for (const CToolbarItem* item : items)
        EXPECT_EQ(CToolbarButtonFace::GetNormal().GetImage(item->icon), item->face) << item->icon;
    EXPECT_NE(taken[1].GetPixels(), items[1]->face->GetPixels());
}
