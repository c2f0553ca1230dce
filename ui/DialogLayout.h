#pragma once

#include "ui/GridLayout.h"

class CPushButton;

// The standard frame of a dialog's client area: the content and a group of
// button slots, either in a column at the right (buttons at the top) or in a
// row below (the group centred), with fixed margins around. The last slot
// always stays empty.
class CDialogLayout : public CWindow
{
public:
    CDialogLayout(int slotCount, bool bottomRow);

    void SetButton(int index, CPushButton* button);
    void SetContent(CWindow* content);

    void MeasureWithin(float width, float height) override;
    void Measure() override;
    bool DependsOnAvailableSize() const override;
    void SetBounds(const CRectF& rect) override;
    void CollectCaptions(CNativeWindow& owner) override;
    void CreateNativeWindow(CNativeWindow& owner) override;
    bool HasNativeWindow() const override;
    void SetDirty() override;

    int slotCount;
    bool bottomRow;
    CGridLayout outer;
    CGridLayout middle;
    CGridLayout buttons;

private:
    // The outer grid's limits; an axis without a preferred size stretches.
    void TakeOuterLimits();
};
