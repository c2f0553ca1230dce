#pragma once

#include <deque>
#include <string>

#include "foundation/Rect.h"
#include "graphics/Drawable.h"
#include "ui/Command.h"
#include "ui/Panel.h"
#include "ui/Scene.h"

class CPixelBitmap;
class CToolbarButtonFace;
class CToolbarPanel;

// A toolbar button: a command with a picture. The same command that a menu
// entry stands for may also have a toolbar face; its state reaches the
// button through the command setters.
class CToolbarItem : public CCommand
{
public:
    // The icon is the picture resource of that name ("FileSave.png").
    CToolbarItem(Id id, Id helpTextId, const std::wstring& iconName, int shortcutKind, int shortcutKey);

    // Captions are not shown on the button.
    void OnTextChanged() override;
    void OnCheckedChanged() override;
    void OnEnabledChanged() override;
    // The toolbar lays its buttons out again and repaints.
    void OnVisibleChanged() override;

    // The caption without its access-key marker and without a trailing
    // "...", then " (shortcut)" when the command has a shortcut.
    std::wstring GetTooltipText() const;

    // The face of the current state: disabled; else pressed when held down
    // under the mouse or checked; else hot under the mouse; else normal.
    CToolbarButtonFace& ChooseFace() const;
    // Takes the picture of the current state's face; a new picture repaints
    // the toolbar.
    void RecomposeFace();
    // The picture taken last, composed now if it is not yet: the toolbar
    // composes a picture only once it draws it. Null without an icon.
    const CPixelBitmap* GetComposedFace() const;

    // Fired when the left button goes down and up on an enabled button.
    CDelegate<CToolbarItem*> onPress;
    CDelegate<CToolbarItem*> onRelease;
    // Set by CToolbarPanel::AddItem.
    CToolbarPanel* owner = nullptr;
    // In the toolbar's pixels; set by the layout.
    CRectF rect;
    const CPixelBitmap* icon = nullptr;
    // The picture last taken for the state (owned by the face), at its size;
    // its pixels are composed when the toolbar first draws it.
    const CPixelBitmap* face = nullptr;
    // The mouse is over the button.
    bool hot = false;
    // The left button went down on it and has not been released.
    bool pressed = false;

private:
    // The face whose picture face is.
    CToolbarButtonFace* m_faceTaken = nullptr;
};

// A row (or rows) of picture buttons drawn by the panel itself, with no
// native toolbar control. Buttons between two separators form a group that
// moves to the next row as a whole when the row is full.
//
//     toolbar.AddItem(new CToolbarItem(2073, 2074, L"FileSave.png", 1, 'S'));
//     toolbar.AddSeparator();
class CToolbarPanel : public CPanel, public CDrawable
{
public:
    CToolbarPanel();
    // Deletes the items.
    ~CToolbarPanel() override;

    // Takes ownership.
    void AddItem(CToolbarItem* item);
    // Returns the separator's index; a toolbar without items takes none
    // (reported, -1).
    int AddSeparator();
    // The first item with the identifier; none is reported (null).
    CToolbarItem* FindItem(int id) const;
    void SetLayoutParams(int newRowLength, int newRowExtra, bool newRowGap, bool newFixedWidth);
    // Every item refreshes its state through its state delegate.
    void UpdateItems();

    // The laid-out size is the minimum and preferred size; only the width
    // may grow.
    void Measure() override;
    // Lays the buttons out into the bounds, drops the hover and the tip.
    void SetBounds(const CRectF& rect) override;
    void Draw(CGraphicsContext& context) override;

    void OnMouseDown(const CMouseEvent& event) override;
    void OnMouseUp(const CMouseEvent& event) override;
    void OnMouseMove(const CMouseEvent& event) override;
    void OnMouseEnter(const CMouseEvent& event) override;
    void OnMouseLeave() override;

    // The first visible item under the point (left and top edges inside,
    // right and bottom outside), or null.
    CToolbarItem* HitTest(float x, float y) const;
    // Runs the layout; with store, writes the buttons' rectangles. Returns
    // the size the toolbar asks for.
    CSize2 Layout(bool store);
    // A button's picture changed: a new drawing key, and a repaint.
    void OnFaceChanged();

    // Margins of 4 horizontal and 2 vertical dialog units; none when false.
    bool standardMargins = true;
    // The widest row: rowLength button widths, rowExtra separator gaps and
    // the margins.
    int rowLength = 1000;
    int rowExtra = 0;
    // Rows 4 vertical dialog units apart; touching when false.
    bool rowGap = true;
    // Asks for the widest row's width rather than the laid-out rows'.
    bool fixedWidth = false;
    // Null entries are separators.
    std::deque<CToolbarItem*> items;
    std::deque<bool> breakFlags;
    // One slot: this toolbar; its background is the button-face colour.
    CScene ownScene;
    CToolbarItem* hotItem = nullptr;
    CToolbarItem* pressedItem = nullptr;
};
