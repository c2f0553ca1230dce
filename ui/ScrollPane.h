#pragma once

#include <string>
#include <vector>

#include "foundation/Delegate.h"
#include "foundation/FontMetrics.h"
#include "graphics/Drawable.h"
#include "ui/ForwardingWindow.h"
#include "ui/GridLayout.h"
#include "ui/Panel.h"
#include "ui/Scene.h"
#include "ui/ScrollView.h"

class CScrollPane;

// The list panel of a scroll pane: draws the items in rows, selects with the
// mouse, the navigation keys and type-ahead.
class CScrollClient : public CPanel, public CDrawable
{
public:
    CScrollClient(bool sorted, CScrollPane* pane);

    // Rows of the list's row height; the selected one on a light fill, with
    // a grey outline while the list has the focus.
    void Draw(CGraphicsContext& context) override;

    void SetBounds(const CRectF& rect) override;
    // The navigation keys: arrows, Home, End, Page Up and Page Down.
    bool WantsAllKeys(int key) override;
    void OnKeyDown(int key, bool control, bool shift) override;
    // Selects the next item (after the selected one, cycling once) whose
    // first character is the one typed; letters compare without case.
    void OnChar(wchar_t ch) override;
    // Selects the row pressed; a quick second press on the selected row
    // fires the pane's onActivate.
    void OnMouseDown(const CMouseEvent& event) override;
    void OnSetFocus() override;
    void OnKillFocus() override;

    // The display row of the selected item; -1 when there is none.
    int GetSelectedRow() const;
    // Selects the item shown in the row (a row outside the list is ignored).
    void SelectRow(int row);

    bool sorted;
    CScrollPane* pane;
    // Display row -> item index; as long as the item list once set up.
    std::vector<int> order;
    float contentWidth = 10.0f;
    CScene scene;

private:
    void Refresh();
};

// A frame 2 pixels wide drawn as a sunken edge around a window: four thin
// panels, each showing its own strip of the one outline.
class CScrollFrame : public CForwardingWindow, public CDrawable
{
public:
    class CBorder : public CPanel
    {
    public:
        CBorder(CScrollFrame* frame, bool horizontal);
        // 2 pixels across, stretchable along its side.
        void Measure() override;

        CScene scene;
        bool horizontal;
    };

    explicit CScrollFrame(CWindow* framed);

    // The outline of the frame's bounds, in the frame's own coordinates.
    void Draw(CGraphicsContext& context) override;

    // Whether the framed window depends on the space offered.
    bool DependsOnAvailableSize() const override;
    // Turns each border's scene to its strip of the outline, then arranges
    // the grid.
    void SetBounds(const CRectF& rect) override;

    CWindow* framed;
    CBorder top;
    CBorder left;
    CBorder right;
    CBorder bottom;
    CGridLayout outer;
    CGridLayout middle;

protected:
    // The outer grid's limits, stretching in neither direction.
    void TakeInnerLimits() override;
};

// The program's scrolling text list: items in rows, one selected, inside a
// row-scrolling area inside a sunken frame. Filled with AddItem before it is
// first measured; the list is set up then, once.
class CScrollPane : public CForwardingWindow
{
public:
    explicit CScrollPane(bool sorted = false);

    // Appends an item; returns its index.
    int AddItem(const std::wstring& text);
    // The least room the list shows, however few or short its items: a width
    // in pixels and a number of rows. Set before the first measure.
    void SetLeastRoom(float width, int rows);
    // Selects an item by index and scrolls it into view. An index outside
    // the list is reported and changes nothing.
    void Select(int index);
    int GetSelected() const { return selected; }

    // The first measure sets the list up; every measure goes to the frame.
    void MeasureWithin(float width, float height) override;
    void Measure() override;
    // Keeps the selected row in view.
    void SetBounds(const CRectF& rect) override;

    // The list font: the built-in metrics scaled to the whole pixel size at
    // which a sample text is nearest as wide as in the UI font.
    static const CFontMetrics& GetListFont();
    // ceil(max(line spacing, height + 2)) of the list font.
    static float GetRowHeight();

    // Connected and fired by the dialogs that hold a pane.
    CDelegate<CScrollPane*> onSelChange;
    CDelegate<CScrollPane*> onActivate;
    CDelegate<CScrollPane*> onFocus;
    std::vector<std::wstring> items;
    int selected = 0;
    bool ready = false;
    float leastWidth = 0.0f;
    int leastRows = 0;
    CScrollClient client;
    CScrollArea area;
    CScrollFrame frame;

private:
    void SetUp();
    void ShowSelected();
};
