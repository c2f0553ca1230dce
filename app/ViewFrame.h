#pragma once

#include "foundation/Rect.h"
#include "foundation/Transform.h"
#include "ui/GridLayout.h"
#include "ui/ScrollBar.h"

class CCourseView;

// The course view with a horizontal and a vertical scroll bar. The bars move
// the course's view camera over the ground: their positions are the eye's
// course coordinates in a frame turned with the camera's heading, so that the
// horizontal bar always moves the view sideways on the screen.
//
//     CViewFrame frame(&view);      // the view at the top left, bars beside
//     frame.UpdateScrollExtents();  // after every change of the course
class CViewFrame : public CGridLayout
{
public:
    // The view is not owned.
    explicit CViewFrame(CCourseView* view);

    // Moves the eye by a scroll offset, clamped into the scroll range and
    // rounded to whole units. A scroll that leaves the bars where they are
    // moves nothing.
    void ScrollBy(float dx, float dy);
    // Ranges, positions and page sizes of both bars from the course, its
    // ring and its camera. Does nothing while the frame moves the camera.
    void UpdateScrollExtents();

    CCourseView* view;
    CScrollBar horizontalBar{false};
    CScrollBar verticalBar{true};
    // Course coordinates into the scroll frame: a turn by minus the heading.
    CTransform transform;
    // In scroll units.
    CRectF range;
    float pageStep = 8.0f;
    float lineStep = 1.0f;
    // Set while the frame itself moves the camera.
    bool applying = false;

private:
    void OnLineLeft(CScrollBar*) { ScrollBy(-lineStep, 0.0f); }
    void OnLineRight(CScrollBar*) { ScrollBy(lineStep, 0.0f); }
    void OnPageLeft(CScrollBar*) { ScrollBy(-pageStep, 0.0f); }
    void OnPageRight(CScrollBar*) { ScrollBy(pageStep, 0.0f); }
    void OnLineUp(CScrollBar*) { ScrollBy(0.0f, -lineStep); }
    void OnLineDown(CScrollBar*) { ScrollBy(0.0f, lineStep); }
    void OnPageUp(CScrollBar*) { ScrollBy(0.0f, -pageStep); }
    void OnPageDown(CScrollBar*) { ScrollBy(0.0f, pageStep); }
    void OnPositionChanged(CScrollBar*) { ScrollBy(0.0f, 0.0f); }
};
