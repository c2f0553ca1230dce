#pragma once

#include "foundation/Delegate.h"
#include "graphics/Drawable.h"
#include "ui/Panel.h"
#include "ui/Scene.h"

class CColorPickerDlg;
class CCursors;
class CPartColorMerge;

// The colour picker's strip: one 28 x 28 cell per offered part, left to
// right, filled with the part's colour, or with one vertical stripe per
// colour where the edited objects disagree.
class CColorStrip : public CPanel, public CDrawable
{
public:
    static constexpr int kCell = 28;

    CColorStrip(CPartColorMerge& merge, CColorPickerDlg* owner);

    void Measure() override;
    CCursors* GetCursorAt(const CMouseEvent& event) override;
    void OnMouseDown(const CMouseEvent& event) override;
    void OnMouseUp(const CMouseEvent& event) override;
    void Draw(CGraphicsContext& context) override;

    // The entry under a point and the colour of its stripe there; false on
    // an empty strip.
    bool HitTest(float x, int& entry, int& paletteIndex) const;
    void Refresh();

private:
    CPartColorMerge& m_merge;
    CColorPickerDlg* m_owner;
    CScene m_scene;
};

// The palette as the chooser lays it out: 29 columns by 5 rows of 20 x 23
// pixel cells, with the selected colour outlined.
class CColorSwatch : public CPanel, public CDrawable
{
public:
    static constexpr int kCellWidth = 20;
    static constexpr int kCellHeight = 23;

    CColorSwatch();

    void Measure() override;
    void OnMouseDown(const CMouseEvent& event) override;
    void Draw(CGraphicsContext& context) override;

    void SetSelected(int paletteIndex);
    int GetSelected() const { return m_selected; }
    // The palette index of the cell under a point, -1 for a gap or outside.
    static int IndexAt(float x, float y);

    CDelegate<CColorSwatch*> onClick;

private:
    int m_selected = 0;
    CScene m_scene;
};

// The mouse cursors of the two tools, made once.
CCursors& GetPaintBucketCursor();
CCursors& GetColorPickerCursor();

// A sunken frame as the picker's cells have it, inside a cell of the width
// and height at (x, y), y growing downwards.
void DrawSunkenCell(CGraphicsContext& context, float x, float y, float width, float height);
// A filled rectangle of the colour (ARGB with red in the lowest byte).
void FillPixels(CGraphicsContext& context, float left, float top, float right, float bottom, uint32_t color);
