#pragma once

#include <cstdint>

#include "ui/Panel.h"
#include "ui/Scene.h"

// Two windows side by side with a vertical divider between them that the
// user drags to share the width. While the divider is dragged only a black
// line follows the mouse; the panes are laid out once, at the release. The
// line's native window is made at the first drag: most windows never show it.
//
//     CSplitPane pane(&toolColumn, &viewGrid);
//     frame->Create(&pane, false);
class CSplitPane : public CWindow
{
public:
    // The divider strip (and, without a split pane, the drag line): a panel
    // that only shows its background colour.
    class CDivider : public CPanel
    {
    public:
        // A null split pane makes a divider that ignores the mouse.
        CDivider(CSplitPane* splitPane, uint32_t color);

        // As wide as the 4-dialog-unit horizontal spacer, any height.
        void Measure() override;
        void OnMouseDown(const CMouseEvent& event) override;
        void OnMouseUp(const CMouseEvent& event) override;
        void OnMouseMove(const CMouseEvent& event) override;

        CSplitPane* splitPane;
        CScene ownScene{true, 1};
    };

    // Neither pane is owned.
    CSplitPane(CWindow* left, CWindow* right);

    bool DependsOnAvailableSize() const override { return true; }
    void MeasureWithin(float width, float height) override;
    void Measure() override;
    void SetBounds(const CRectF& rect) override;
    // The split pane is always shown: hiding it is a failed check.
    void SetVisible(bool newVisible) override;
    void CollectCaptions(CNativeWindow& owner) override;
    void CreateNativeWindow(CNativeWindow& owner) override;
    bool HasNativeWindow() const override;
    void SetDirty() override;

    // Gives the drag line its native window in the split pane's owner, unless
    // it has one or the split pane has none yet.
    void MakeDragLineWindow();

    // The left width for a wanted one within a total width: at most what
    // leaves the divider and the right pane's minimum, at least the left
    // pane's minimum (which wins when the two cross).
    float ClampLeftWidth(float wanted, float totalWidth) const;
    // The left width a drag to the divider's x gives.
    float GetDraggedWidth(float x) const;

    // The divider's colour: the button face darkened by a quarter-opaque
    // black.
    static uint32_t GetDividerColor();

    CWindow* left;
    CWindow* right;
    CDivider divider;
    CDivider dragLine;
    // The left pane's width; 0 until the first measure.
    float position = 0.0f;
    // The x of the press inside the divider.
    float dragStart = 0.0f;
    // The right pane's minimum width as measured within the whole width.
    int rightMinWidth = 0;

private:
    // The window the panes' native windows were made in; null before, and
    // again once they are being taken down.
    CNativeWindow* m_owner = nullptr;
};
