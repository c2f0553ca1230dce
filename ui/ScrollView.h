#pragma once

#include "foundation/Rect.h"
#include "ui/ScrollBar.h"
#include "ui/Window.h"

class CPanel;

// Shows a content panel whose scene is larger than the view, with a
// horizontal and a vertical scroll bar. The view owns the mapping from
// content coordinates to the panel: a uniform scale (content units per
// pixel) chosen by the fit mode, and an offset driven by the bars, which it
// hands to the panel as its scene transform. Positions are in bar units,
// which ScrollToContent and ContentToScroll convert (the base: content units).
//
//     CScrollView view(&panel);
//     view.SetExtent(CRectF(0, 0, 2000, 1500));   // then measure and lay out
class CScrollView : public CWindow
{
public:
    enum EFitMode
    {
        kFitWhole = 0,
        kFitWidth = 1,
        kFitHeight = 2,
        kFreeScale = 3,
    };

    // The panel is not owned; its scene receives the view's transform.
    explicit CScrollView(CPanel* content);

    // Bar units to content coordinates.
    virtual CPoint2 ScrollToContent(float x, float y) const;
    // Content coordinates to a range of bar units: the lower values rounded
    // down, the upper ones up.
    virtual CRectF ContentToScroll(float x, float y) const;

    // Free scale at s content units per pixel; the content point in the
    // middle of the view stays there. s not above 0 is reported and ignored.
    void SetScale(float s);
    // The content's area in content coordinates; an empty one is reported
    // and ignored.
    void SetExtent(const CRectF& rect);
    // Scrolls as little as possible to show the content rectangle whole (its
    // middle when it is larger than the view).
    void EnsureVisible(const CRectF& rect);
    // Scale, bars and content panel from the view's bounds.
    void UpdateLayout();

    void MeasureWithin(float width, float height) override;
    // Free scale only: the content's size in pixels at the scale.
    void Measure() override;
    bool DependsOnAvailableSize() const override;
    void SetBounds(const CRectF& rect) override;
    void SetVisible(bool newVisible) override;
    void CreateNativeWindow(CNativeWindow& owner) override;
    bool HasNativeWindow() const override;
    void SetDirty() override;

    // The visible part of the content in pixels, given the content's size W x
    // H in pixels and the view's w x h: the room left by the bars that the
    // content needs, and no more than the content unless filled.
    CSize2 ComputeVisibleSize(float contentPixelsW, float contentPixelsH, float viewW, float viewH) const;

    CPanel* content;
    int fitMode = kFreeScale;
    float scale = 1.0f;
    CRectF extent{0.0f, 0.0f, 1.0f, 1.0f};
    // An explicit content size for measuring; 0 takes the extent's.
    float contentWidth = 0.0f;
    float contentHeight = 0.0f;
    // The content panel fills the visible width/height even when the content
    // is smaller.
    bool fillWidth = false;
    bool fillHeight = false;
    CScrollBar horizontalBar;
    CScrollBar verticalBar;
    bool horizontalEnabled = true;
    bool verticalEnabled = true;
    bool firstLayout = true;

private:
    // The scale of the last layout: a layout at another scale keeps the
    // content point in the middle of the view.
    float m_laidOutScale = 0.0f;

    float GetVerticalBarWidth() const;
    float GetHorizontalBarHeight() const;
    // The scale of the fit mode for a view of w x h pixels.
    float ComputeFitScale(float w, float h) const;
    // The content point under the panel's top-left corner.
    CPoint2 GetCurrentPoint() const;
    // The content panel's size in content units.
    CSize2 GetVisibleContentSize() const;
    void ApplyScroll();
    void ShowBars();
    bool IsBarShown(const CScrollBar& bar) const;

    // One step along an axis (0 horizontal, 1 vertical); direction +1 towards
    // the end, -1 towards the start.
    void StepLine(bool verticalAxis, int direction);
    void StepPage(bool verticalAxis, int direction);
    // Moves the bar to the content coordinate `target` of its axis, at least
    // one unit in the direction while it can move.
    void MoveTo(bool verticalAxis, int direction, float target);
    float AxisOf(const CPoint2& p, bool verticalAxis) const { return verticalAxis ? p.y : p.x; }
    // The content coordinate of a bar position along its axis.
    float PositionToContent(bool verticalAxis, int position) const;
    // A content coordinate of an axis to bar units, rounded down or up.
    int ContentToPosition(bool verticalAxis, float value, bool roundUp) const;

    void OnHorizontalPageUp(CScrollBar* bar) { StepPage(false, -1); }
    void OnHorizontalPageDown(CScrollBar* bar) { StepPage(false, 1); }
    void OnHorizontalLineUp(CScrollBar* bar) { StepLine(false, -1); }
    void OnHorizontalLineDown(CScrollBar* bar) { StepLine(false, 1); }
    void OnVerticalPageUp(CScrollBar* bar) { StepPage(true, -1); }
    void OnVerticalPageDown(CScrollBar* bar) { StepPage(true, 1); }
    void OnVerticalLineUp(CScrollBar* bar) { StepLine(true, -1); }
    void OnVerticalLineDown(CScrollBar* bar) { StepLine(true, 1); }
    void OnPositionChanged(CScrollBar* bar) { ApplyScroll(); }
};

// A scroll view that scrolls vertically by whole rows: the vertical bar
// counts rows of rowHeight content units.
class CScrollArea : public CScrollView
{
public:
    CScrollArea(CPanel* content, float rowHeight);

    CPoint2 ScrollToContent(float x, float y) const override;
    CRectF ContentToScroll(float x, float y) const override;
    bool DependsOnAvailableSize() const override;

    float rowHeight;
};
