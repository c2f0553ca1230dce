#include "ui/Toolbar.h"

#include <algorithm>

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "graphics/GraphicsContext.h"
#include "graphics/ImageCache.h"
#include "graphics/PixelBitmap.h"
#include "graphics/ToolbarButtonFace.h"
#include "ui/UIFontMetrics.h"

// ---- Buttons -----------------------------------------------------------------

CToolbarItem::CToolbarItem(Id id_, Id helpTextId_, const std::wstring& iconName, int shortcutKind_,
                           int shortcutKey_)
    : CCommand(id_, helpTextId_, shortcutKind_, shortcutKey_)
{
    TRACE_VALUE(std::wstring, iconName);
    icon = CImage::GetCached(iconName);
    RecomposeFace();
}

void CToolbarItem::OnTextChanged() {}

void CToolbarItem::OnCheckedChanged() { RecomposeFace(); }

void CToolbarItem::OnEnabledChanged() { RecomposeFace(); }

void CToolbarItem::OnVisibleChanged()
{
    if (!owner)
        return;
    // The buttons after this one close up or make room in the toolbar's
    // current bounds; a toolbar that needs another size waits for its
    // window's next layout.
    owner->Layout(true);
    owner->OnFaceChanged();
}

std::wstring CToolbarItem::GetTooltipText() const
{
    std::wstring text = StripAccessKeyMarkers(GetText());
    if (text.size() > 3 && text.compare(text.size() - 3, 3, L"...") == 0)
        text.erase(text.size() - 3);
    if (shortcutKind != 0)
        text += L" (" + GetShortcutText() + L")";
    return text;
}

CToolbarButtonFace& CToolbarItem::ChooseFace() const
{
    if (!enabled)
        return CToolbarButtonFace::GetDisabled();
    if ((pressed && hot) || checked)
        return CToolbarButtonFace::GetPressed();
    if (hot)
        return CToolbarButtonFace::GetHot();
    return CToolbarButtonFace::GetNormal();
}

void CToolbarItem::RecomposeFace()
{
    // A missing picture was reported when it failed to load.
    CToolbarButtonFace& chosen = ChooseFace();
    const CPixelBitmap* taken = icon ? chosen.ReserveImage(icon) : nullptr;
    m_faceTaken = &chosen;
    if (taken == face)
        return;
    face = taken;
    if (owner)
        owner->OnFaceChanged();
}

const CPixelBitmap* CToolbarItem::GetComposedFace() const
{
    return icon && m_faceTaken ? m_faceTaken->GetImage(icon) : nullptr;
}

// ---- Toolbar -----------------------------------------------------------------

CToolbarPanel::CToolbarPanel() : CPanel(true, true), ownScene(true, 1)
{
    ownScene.items[0] = this;
    ownScene.background = GetButtonFaceColor();
    SetScene(&ownScene);
}

CToolbarPanel::~CToolbarPanel()
{
    for (CToolbarItem* item : items)
        delete item;
}

void CToolbarPanel::AddItem(CToolbarItem* item)
{
    if (!item) {
        ReportFailure();
        return;
    }
    TRACE_VALUE(int32_t, item->id);
    item->owner = this;
    items.push_back(item);
    breakFlags.push_back(true);
}

int CToolbarPanel::AddSeparator()
{
    // A separator needs a button before it: the first entry gives every
    // button its size.
    if (items.empty()) {
        ReportFailure();
        return -1;
    }
    items.push_back(nullptr);
    breakFlags.push_back(true);
    return int(items.size()) - 1;
}

CToolbarItem* CToolbarPanel::FindItem(int id) const
{
    for (CToolbarItem* item : items)
        if (item && item->id == id)
            return item;
    TRACE_VALUE(int32_t, id);
    ReportFailure();
    return nullptr;
}

void CToolbarPanel::SetLayoutParams(int newRowLength, int newRowExtra, bool newRowGap, bool newFixedWidth)
{
    rowLength = newRowLength;
    rowExtra = newRowExtra;
    rowGap = newRowGap;
    fixedWidth = newFixedWidth;
}

void CToolbarPanel::UpdateItems()
{
    for (CToolbarItem* item : items)
        if (item)
            item->UpdateState();
}

CSize2 CToolbarPanel::Layout(bool store)
{
    const int M = standardMargins ? CSpacer::GapH4()->preferredWidth : 0;
    const int T = standardMargins ? CSpacer::GapV2()->preferredHeight : 0;
    const int B = T;
    if (items.empty() || !items.front()) {
        ReportFailure();
        return CSize2(float(2 * M), float(T + B));
    }
    const CPixelBitmap* firstFace = items.front()->face;
    const int bw = firstFace ? int(firstFace->GetWidth()) : 0;
    const int bh = firstFace ? int(firstFace->GetHeight()) : 0;
    const int G = rowGap ? CSpacer::GapV4()->preferredHeight : 0;
    const int S = CSpacer::GapH7()->preferredWidth;
    const int widest = rowLength * bw + rowExtra * S + 2 * M;

    float width = float(fixedWidth ? widest : 2 * M);
    float height = float(T + B);
    float x = float(M);
    float y = float(T);
    float rowBottom = float(T + bh);
    bool group = false;
    for (size_t i = 0; i < items.size(); ++i) {
        CToolbarItem* item = items[i];
        if (!item) {
            if (x != float(M) && breakFlags[i])
                group = true;
            continue;
        }
        if (!item->visible)
            continue;
        int n = 1;
        if (group) {
            group = false;
            x += float(S);
            n = 0;
            for (size_t j = i; j < items.size() && items[j]; ++j)
                if (items[j]->visible)
                    ++n;
        }
        if (x + float(n * bw + M) > float(widest)) {
            x = float(M);
            y = rowBottom + float(G);
        }
        if (store)
            item->rect = CRectF(x, y, x + float(bw), y + float(bh));
        x += float(bw);
        rowBottom = y + float(bh);
        width = std::max(width, x + float(M));
        height = std::max(height, y + float(bh + B));
    }
    return CSize2(width, height);
}

void CToolbarPanel::Measure()
{
    const CSize2 size = Layout(false);
    minWidth = preferredWidth = int(size.width);
    maxWidth = 0;
    widthStretch = minWidth == 0 ? 1 : 0;
    minHeight = preferredHeight = maxHeight = int(size.height);
    heightStretch = minHeight == 0 ? 1 : 0;
}

void CToolbarPanel::SetBounds(const CRectF& rect)
{
    Layout(true);
    CPanel::SetBounds(rect);
    OnMouseLeave();
    ClearTooltip();
    OnFaceChanged();
}

void CToolbarPanel::Draw(CGraphicsContext& context)
{
    for (CToolbarItem* item : items) {
        if (!item || !item->visible)
            continue;
        if (const CPixelBitmap* picture = item->GetComposedFace())
            context.DrawBitmap(*picture, item->rect);
    }
}

CToolbarItem* CToolbarPanel::HitTest(float x, float y) const
{
    for (CToolbarItem* item : items) {
        if (!item || !item->visible)
            continue;
        const CRectF& r = item->rect;
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return item;
    }
    return nullptr;
}

void CToolbarPanel::OnFaceChanged()
{
    MakeUniqueKey();
    Invalidate();
}

void CToolbarPanel::OnMouseDown(const CMouseEvent& event)
{
    pressedItem = HitTest(event.x, event.y);
    if (!pressedItem)
        return;
    CToolbarItem* item = pressedItem;
    item->pressed = true;
    if (item->enabled)
        item->onPress(item);
    item->RecomposeFace();
}

void CToolbarPanel::OnMouseUp(const CMouseEvent& event)
{
    CToolbarItem* item = pressedItem;
    if (!item)
        return;
    pressedItem = nullptr;
    item->pressed = false;
    bool run = false;
    if (item->enabled) {
        item->onRelease(item);
        run = item->hot;
    }
    item->RecomposeFace();
    // Last: a command may close the window, and the toolbar and its items
    // with it.
    if (run)
        item->Execute();
}

void CToolbarPanel::OnMouseMove(const CMouseEvent& event)
{
    CToolbarItem* hit = HitTest(event.x, event.y);
    if (hit == hotItem)
        return;
    OnMouseLeave();
    if (hit)
        OnMouseEnter(event);
}

void CToolbarPanel::OnMouseEnter(const CMouseEvent& event)
{
    CToolbarItem* hit = HitTest(event.x, event.y);
    if (pressedItem && pressedItem != hit)
        return;
    if (!hit || hit == hotItem)
        return;
    hotItem = hit;
    hit->hot = true;
    hit->RecomposeFace();
    if (!pressedItem)
        SetTooltip(hit->rect, hit->GetTooltipText(), GetString(hit->helpTextId), false);
}

void CToolbarPanel::OnMouseLeave()
{
    CToolbarItem* item = hotItem;
    if (!item)
        return;
    hotItem = nullptr;
    item->hot = false;
    item->RecomposeFace();
}
