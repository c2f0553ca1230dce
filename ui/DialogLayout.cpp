#include "ui/DialogLayout.h"

#include "foundation/CrashLog.h"
#include "ui/Button.h"

namespace {

int CheckedSlotCount(int slotCount)
{
    if (slotCount < 1) {
        TRACE_VALUE(int32_t, slotCount);
        ReportFailure();
        return 1;
    }
    return slotCount;
}

}  // namespace

CDialogLayout::CDialogLayout(int slotCount_, bool bottomRow_)
    : slotCount(CheckedSlotCount(slotCount_)),
      bottomRow(bottomRow_),
      outer(bottomRow_ ? 3 : 1, bottomRow_ ? 1 : 3),
      middle(bottomRow_ ? 1 : 5, bottomRow_ ? 5 : 1),
      buttons(bottomRow_ ? (slotCount == 1 ? 3 : 2 * slotCount) : 1, bottomRow_ ? 1 : 2 * slotCount)
{
    if (bottomRow) {
        outer.SetCell(0, 0, CSpacer::GapH7());
        outer.SetCell(1, 0, &middle);
        outer.SetCell(2, 0, CSpacer::GapH7());
        middle.SetCell(0, 0, CSpacer::GapV7());
        middle.SetCell(0, 2, CSpacer::GapV7());
        middle.SetCell(0, 3, &buttons);
        middle.SetCell(0, 4, CSpacer::GapV7());
        for (int column = 2; column <= 2 * slotCount - 2; column += 2)
            buttons.SetCell(column, 0, CSpacer::GapH4to7());
    } else {
        outer.SetCell(0, 0, CSpacer::GapV7());
        outer.SetCell(0, 1, &middle);
        outer.SetCell(0, 2, CSpacer::GapV7());
        middle.SetCell(0, 0, CSpacer::GapH7());
        middle.SetCell(2, 0, CSpacer::GapH7());
        middle.SetCell(3, 0, &buttons);
        middle.SetCell(4, 0, CSpacer::GapH7());
        for (int row = 1; row <= 2 * slotCount - 3; row += 2)
            buttons.SetCell(0, row, CSpacer::GapV4to7());
    }
}

void CDialogLayout::SetButton(int index, CPushButton* button)
{
    TRACE_VALUE(int32_t, index);
    if (index < 0 || index >= slotCount) {
        ReportFailure();
        return;
    }
    if (bottomRow)
        buttons.SetCell(2 * index + 1, 0, button);
    else
        buttons.SetCell(0, 2 * index, button);
}

void CDialogLayout::SetContent(CWindow* content)
{
    CObject* cell = content ? static_cast<CObject*>(content) : CSpacer::EmptyCell();
    if (bottomRow)
        middle.SetCell(0, 1, cell);
    else
        middle.SetCell(1, 0, cell);
}

void CDialogLayout::TakeOuterLimits()
{
    CopyLimits(outer);
    widthStretch = preferredWidth == 0 ? 1 : 0;
    heightStretch = preferredHeight == 0 ? 1 : 0;
}

void CDialogLayout::MeasureWithin(float width, float height)
{
    outer.MeasureWithin(width, height);
    TakeOuterLimits();
}

void CDialogLayout::Measure()
{
    outer.Measure();
    TakeOuterLimits();
}

bool CDialogLayout::DependsOnAvailableSize() const { return outer.DependsOnAvailableSize(); }

void CDialogLayout::SetBounds(const CRectF& rect)
{
    CWindow::SetBounds(rect);
    outer.SetBounds(rect);
}

void CDialogLayout::CollectCaptions(CNativeWindow& owner) { outer.CollectCaptions(owner); }

void CDialogLayout::CreateNativeWindow(CNativeWindow& owner)
{
    outer.CreateNativeWindow(owner);
    closed = false;
}

bool CDialogLayout::HasNativeWindow() const { return outer.HasNativeWindow(); }

void CDialogLayout::SetDirty()
{
    outer.SetDirty();
    closed = true;
}
