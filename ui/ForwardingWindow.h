#pragma once

#include "ui/Window.h"

// A window made of one inner window that fills its bounds: it measures and
// places the inner window, takes its limits, and hands it its captions,
// native windows, visibility and SetDirty. The inner window is not owned; it
// may be a member of the derived class that is constructed after this base.
class CForwardingWindow : public CWindow
{
public:
    explicit CForwardingWindow(CWindow* inner);

    void MeasureWithin(float width, float height) override;
    void Measure() override;
    bool DependsOnAvailableSize() const override;
    void SetBounds(const CRectF& rect) override;
    void SetVisible(bool newVisible) override;
    void CollectCaptions(CNativeWindow& owner) override;
    void CreateNativeWindow(CNativeWindow& owner) override;
    bool HasNativeWindow() const override;
    void SetDirty() override;

protected:
    // Takes the inner window's limits after it was measured; the base copies
    // them as they are.
    virtual void TakeInnerLimits();

    CWindow& inner;
};
