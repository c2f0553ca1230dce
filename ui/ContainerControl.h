#pragma once

#include <deque>

#include "ui/Window.h"

// A page stack: several windows in one place, one shown at a time. With
// measureAllPages the container is as large as its largest page and every
// page is laid out at once; otherwise it takes the size of the current page
// and the owner lays the dialog out again when the page changes.
class CContainerControl : public CWindow
{
public:
    explicit CContainerControl(bool measureAllPages);

    // Hides the page and appends it; only before the native windows exist.
    void AddChild(CWindow* page);
    void SetCurrent(CWindow* page);
    CWindow* GetCurrent() const { return current; }

    void MeasureWithin(float width, float height) override;
    void Measure() override;
    void SetBounds(const CRectF& rect) override;
    void SetVisible(bool visible) override;
    void CollectCaptions(CNativeWindow& owner) override;
    void CreateNativeWindow(CNativeWindow& owner) override;
    bool HasNativeWindow() const override;
    void SetDirty() override;

    bool measureAllPages;
    std::deque<CWindow*> pages;
    CWindow* current = nullptr;
    bool created = false;
};
