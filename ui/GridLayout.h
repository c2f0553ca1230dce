#pragma once

#include <deque>

#include "ui/Window.h"

// The limits of one column or row and its share of an arrangement.
struct CGridSpec : CAxisLimits
{
    // The stretch was set by the owner and survives measuring.
    bool stretchFixed = false;
    // The size given by the last arrangement.
    int size = 0;
    // Held at a limit during the current arrangement.
    bool frozen = false;

    void Reset();
};

// The layout window of the framework: a table of columns x rows whose cells
// are windows or spacers. It has no native window; it measures its cells into
// column and row limits, adds them up into its own, and on SetBounds shares
// its rectangle among the columns and rows and places every window cell.
// Cells are not owned (spacers are shared; windows belong to whoever built
// the grid).
class CGridLayout : public CWindow
{
public:
    // A grid of that size, every cell the empty cell.
    CGridLayout(int columns, int rows);
    // An empty line grid that Add grows: a column (vertical) or a row.
    explicit CGridLayout(bool vertical);

    // Only on a grid without cells; both at least 1.
    void SetSize(int columns, int rows);
    // Appends a cell to a line grid in its direction.
    void Add(CObject* cell);
    void AddEmpty();
    CObject* SetCell(int column, int row, CObject* cell);
    // For a grid of one column or one row.
    void SetItem(int index, CObject* cell);
    // The cell, or the null cell (a harmless spacer) after a failure report
    // for a position outside the grid or an unset cell.
    CObject* GetCell(int column, int row) const;
    void SetColumnStretch(int column, int weight);

    int GetColumnCount() const { return int(columnSpecs.size()); }
    int GetRowCount() const { return int(rowSpecs.size()); }

    void MeasureWithin(float width, float height) override;
    void Measure() override;
    bool DependsOnAvailableSize() const override;
    void SetBounds(const CRectF& rect) override;
    void SetVisible(bool visible) override;
    void CollectCaptions(CNativeWindow& owner) override;
    void CreateNativeWindow(CNativeWindow& owner) override;
    bool HasNativeWindow() const override;
    void SetDirty() override;
    void ApplyVisibility() override;

    // Shares `total` pixels among the specs: each gets its preferred size and
    // a share of the difference by stretch (else by preferred size, else
    // equally), exactly, the last weighted spec taking the rounding; a spec
    // pushed beyond a limit is held there and the rest shared again.
    static void Distribute(int total, std::deque<CGridSpec>& specs);

    bool vertical = true;
    std::deque<CObject*> cells;
    std::deque<CGridSpec> columnSpecs;
    std::deque<CGridSpec> rowSpecs;
    bool created = false;

private:
    bool IsInside(int column, int row) const;
};
