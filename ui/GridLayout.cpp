#include "ui/GridLayout.h"

#include <cstdint>

#include "foundation/CrashLog.h"

namespace {

CWindow* AsWindow(CObject* cell) { return dynamic_cast<CWindow*>(cell); }

// Column and row sums of an arrangement: minimum, preferred and stretch add
// up; the maximum adds up while every spec has one and is unlimited (0) as
// soon as one has none.
struct CTotals
{
    int min = 0;
    int preferred = 0;
    int max = 0;
    int stretch = 0;
    bool unlimited = false;

    void Add(const CGridSpec& spec)
    {
        min += spec.min;
        preferred += spec.preferred;
        stretch += spec.stretch;
        if (spec.max <= 0)
            unlimited = true;
        max = unlimited ? 0 : max + spec.max;
    }

    // What a cell that depends on the space offered may have of `available`.
    float Room(float available) const
    {
        const float room = available - float(stretch >= 1 ? min : preferred);
        return room > 0.0f ? room : 0.0f;
    }
};

void MergeWidth(CGridSpec& spec, const CObject* cell)
{
    spec.Merge(cell->minWidth, cell->preferredWidth, cell->maxWidth, cell->widthStretch, spec.stretchFixed);
}

void MergeHeight(CGridSpec& spec, const CObject* cell)
{
    spec.Merge(cell->minHeight, cell->preferredHeight, cell->maxHeight, cell->heightStretch, spec.stretchFixed);
}

}  // namespace

void CGridSpec::Reset()
{
    min = 0;
    max = 0;
    preferred = 0;
    if (!stretchFixed)
        stretch = 0;
    size = 0;
    frozen = false;
    merged = false;
}

CGridLayout::CGridLayout(int columns, int rows) { SetSize(columns, rows); }

CGridLayout::CGridLayout(bool vertical_) : vertical(vertical_) {}

void CGridLayout::SetSize(int columns, int rows)
{
    TRACE_VALUE(int32_t, columns);
    TRACE_VALUE(int32_t, rows);
    if (!cells.empty() || columns < 1 || rows < 1) {
        ReportFailure();
        return;
    }
    cells.assign(size_t(columns) * size_t(rows), CSpacer::EmptyCell());
    columnSpecs.resize(size_t(columns));
    rowSpecs.resize(size_t(rows));
}

void CGridLayout::Add(CObject* cell)
{
    if (vertical && columnSpecs.size() <= 1) {
        rowSpecs.emplace_back();
        if (columnSpecs.empty())
            columnSpecs.emplace_back();
    } else if (!vertical && rowSpecs.size() <= 1) {
        columnSpecs.emplace_back();
        if (rowSpecs.empty())
            rowSpecs.emplace_back();
    } else {
        // Appending to a table would shift every later row by one cell.
        TRACE_VALUE(int32_t, int32_t(columnSpecs.size()));
        ReportFailure();
        return;
    }
    cells.push_back(cell);
}

void CGridLayout::AddEmpty() { Add(CSpacer::EmptyCell()); }

bool CGridLayout::IsInside(int column, int row) const
{
    return !cells.empty() && column >= 0 && size_t(column) < columnSpecs.size() && row >= 0 &&
           size_t(row) < rowSpecs.size() && columnSpecs.size() * size_t(row) + size_t(column) < cells.size();
}

CObject* CGridLayout::SetCell(int column, int row, CObject* cell)
{
    if (!IsInside(column, row)) {
        TRACE_VALUE(int32_t, column);
        TRACE_VALUE(int32_t, row);
        ReportFailure();
        return cell;
    }
    cells[columnSpecs.size() * size_t(row) + size_t(column)] = cell;
    return cell;
}

void CGridLayout::SetItem(int index, CObject* cell)
{
    if ((columnSpecs.size() != 1 && rowSpecs.size() != 1) || index < 0 || size_t(index) >= cells.size()) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        return;
    }
    cells[size_t(index)] = cell;
}

CObject* CGridLayout::GetCell(int column, int row) const
{
    if (!IsInside(column, row)) {
        TRACE_VALUE(int32_t, column);
        TRACE_VALUE(int32_t, row);
        ReportFailure();
        return CSpacer::NullCell();
    }
    CObject* cell = cells[columnSpecs.size() * size_t(row) + size_t(column)];
    if (!cell) {
        ReportFailure();
        return CSpacer::NullCell();
    }
    return cell;
}

void CGridLayout::SetColumnStretch(int column, int weight)
{
    if (column < 0 || size_t(column) >= columnSpecs.size()) {
        TRACE_VALUE(int32_t, column);
        ReportFailure();
        return;
    }
    columnSpecs[size_t(column)].stretch = weight;
    columnSpecs[size_t(column)].stretchFixed = true;
}

void CGridLayout::MeasureWithin(float width, float height)
{
    const size_t columns = columnSpecs.size();
    const size_t rows = rowSpecs.size();
    auto cellAt = [&](size_t c, size_t r) -> CObject* {
        const size_t index = columns * r + c;
        return index < cells.size() ? cells[index] : nullptr;
    };

    // 1. Measure every window cell except the one that depends on the space
    // offered, which waits for the room the others leave.
    CWindow* dependent = nullptr;
    size_t dependentColumn = columns;
    size_t dependentRow = rows;
    for (size_t c = 0; c < columns; ++c) {
        for (size_t r = 0; r < rows; ++r) {
            CWindow* window = AsWindow(cellAt(c, r));
            if (!window)
                continue;
            if (window->DependsOnAvailableSize()) {
                if (dependent)
                    ReportFailure();
                dependent = window;
                dependentColumn = c;
                dependentRow = r;
            } else {
                window->Measure();
            }
        }
    }

    // 2. Every other column and row.
    CTotals across;
    CTotals down;
    for (size_t c = 0; c < columns; ++c) {
        if (c == dependentColumn)
            continue;
        CGridSpec& spec = columnSpecs[c];
        spec.Reset();
        for (size_t r = 0; r < rows; ++r)
            if (const CObject* cell = cellAt(c, r))
                MergeWidth(spec, cell);
        across.Add(spec);
    }
    for (size_t r = 0; r < rows; ++r) {
        if (r == dependentRow)
            continue;
        CGridSpec& spec = rowSpecs[r];
        spec.Reset();
        for (size_t c = 0; c < columns; ++c)
            if (const CObject* cell = cellAt(c, r))
                MergeHeight(spec, cell);
        down.Add(spec);
    }

    if (dependent) {
        // 4-6. The dependent cell is offered what the others leave, within
        // the limits of its own column and row.
        float roomWidth = across.Room(width);
        float roomHeight = down.Room(height);
        CGridSpec& column = columnSpecs[dependentColumn];
        column.Reset();
        for (size_t r = 0; r < rows; ++r)
            if (r != dependentRow)
                if (const CObject* cell = cellAt(dependentColumn, r))
                    MergeWidth(column, cell);
        if (column.max > 0 && float(column.max) < roomWidth)
            roomWidth = float(column.max);
        CGridSpec& row = rowSpecs[dependentRow];
        row.Reset();
        for (size_t c = 0; c < columns; ++c)
            if (c != dependentColumn)
                if (const CObject* cell = cellAt(c, dependentRow))
                    MergeHeight(row, cell);
        if (row.max > 0 && float(row.max) < roomHeight)
            roomHeight = float(row.max);

        dependent->MeasureWithin(roomWidth, roomHeight);
        MergeWidth(column, dependent);
        across.Add(column);
        MergeHeight(row, dependent);
        down.Add(row);
    }

    SetLimits(across, down);
}

void CGridLayout::Measure() { MeasureWithin(0.0f, 0.0f); }

bool CGridLayout::DependsOnAvailableSize() const
{
    int count = 0;
    for (CObject* cell : cells)
        if (const CWindow* window = AsWindow(cell))
            if (window->DependsOnAvailableSize())
                ++count;
    if (count > 1) {
        TRACE_VALUE(int32_t, count);
        ReportFailure();
    }
    return count > 0;
}

void CGridLayout::Distribute(int total, std::deque<CGridSpec>& specs)
{
    TRACE_VALUE(int32_t, total);
    int64_t preferredSum = 0;
    int64_t stretchSum = 0;
    int count = int(specs.size());
    for (CGridSpec& spec : specs) {
        spec.size = spec.preferred;
        // Flags left from an earlier arrangement would keep a spec out of
        // this one while its weight still counted.
        spec.frozen = false;
        preferredSum += spec.preferred;
        stretchSum += spec.stretch;
    }
    int64_t extra = int64_t(total) - preferredSum;
    if (extra == 0)
        return;

    for (bool froze = true; froze;) {
        froze = false;
        if (count < 1) {
            TRACE_VALUE(int32_t, int32_t(extra));
            ReportFailure();
            return;
        }
        const int weightKind = stretchSum > 0 ? 0 : preferredSum > 0 ? 1 : 2;
        int64_t divisor = weightKind == 0 ? stretchSum : weightKind == 1 ? preferredSum : count;
        int64_t remaining = extra;
        for (CGridSpec& spec : specs) {
            if (spec.frozen)
                continue;
            const int64_t weight = weightKind == 0 ? spec.stretch : weightKind == 1 ? spec.preferred : 1;
            int64_t size = spec.preferred;
            if (divisor >= 1) {
                const int64_t share = weight * remaining / divisor;
                remaining -= share;
                size += share;
            }
            divisor -= weight;

            int64_t clamped = size;
            if (spec.max > 0 && size > spec.max)
                clamped = spec.max;
            else if (size < spec.min)
                clamped = spec.min;
            if (clamped != size) {
                spec.frozen = true;
                stretchSum -= spec.stretch;
                preferredSum -= spec.preferred;
                --count;
                extra += spec.preferred - clamped;
                froze = true;
            }
            spec.size = int(clamped);
        }
        if (froze && count < 1 && extra == 0)
            return;
    }
}

namespace {

// A cell can be larger than its window may grow: a row takes the tallest
// minimum of its cells, so a box that stretches only so far sits beside a
// taller neighbour. The window then gets its maximum, at the cell's left and
// centred in its height, as fixed-height windows are.
CRectF FitCellToWindow(const CWindow& window, int x, int y, int width, int height)
{
    if (window.maxWidth > 0 && width > window.maxWidth)
        width = window.maxWidth;
    if (window.maxHeight > 0 && height > window.maxHeight) {
        y += (height - window.maxHeight) / 2;
        height = window.maxHeight;
    }
    return CRectF(float(x), float(y), float(x + width), float(y + height));
}

}  // namespace

void CGridLayout::SetBounds(const CRectF& rect)
{
    const int width = int(rect.right - rect.left);
    const int height = int(rect.bottom - rect.top);
    preferredWidth = width;
    preferredHeight = height;
    widthStretch = width == 0 ? 1 : 0;
    heightStretch = height == 0 ? 1 : 0;
    CWindow::SetBounds(rect);
    Distribute(width, columnSpecs);
    Distribute(height, rowSpecs);

    const size_t columns = columnSpecs.size();
    int y = int(rect.top);
    for (size_t r = 0; r < rowSpecs.size(); ++r) {
        int x = int(rect.left);
        for (size_t c = 0; c < columns; ++c) {
            const size_t index = columns * r + c;
            if (index < cells.size())
                if (CWindow* window = AsWindow(cells[index]))
                    window->SetBounds(FitCellToWindow(*window, x, y, columnSpecs[c].size, rowSpecs[r].size));
            x += columnSpecs[c].size;
        }
        y += rowSpecs[r].size;
    }
}

void CGridLayout::SetVisible(bool newVisible)
{
    if (cells.empty())
        ReportFailure();
    for (CObject* cell : cells)
        if (CWindow* window = AsWindow(cell))
            window->SetVisible(newVisible);
    CWindow::SetVisible(newVisible);
}

void CGridLayout::CollectCaptions(CNativeWindow& owner)
{
    if (cells.empty())
        ReportFailure();
    for (CObject* cell : cells)
        if (CWindow* window = AsWindow(cell))
            window->CollectCaptions(owner);
}

void CGridLayout::CreateNativeWindow(CNativeWindow& owner)
{
    if (cells.empty())
        ReportFailure();
    for (CObject* cell : cells)
        if (CWindow* window = AsWindow(cell))
            if (!window->HasNativeWindow())
                window->CreateNativeWindow(owner);
    created = true;
    closed = false;
}

bool CGridLayout::HasNativeWindow() const { return created; }

void CGridLayout::SetDirty()
{
    if (cells.empty())
        ReportFailure();
    for (CObject* cell : cells)
        if (CWindow* window = AsWindow(cell))
            if (!window->closed)
                window->SetDirty();
    closed = true;
}

void CGridLayout::ApplyVisibility() {}
