#pragma once

#include "foundation/Delegate.h"
#include "ui/Control.h"

// A scroll bar control over positions min..max with a page of `page`
// positions. The thumb's moves come back through onPositionChanged; line and
// page clicks only fire their delegates (the owner decides how far to go).
class CScrollBar : public CControl
{
public:
    explicit CScrollBar(bool vertical);

    // Position outside min..max or a negative page: reported, nothing
    // changes. A page of 0 counts as 1.
    void SetRange(int min, int max, int position, int page);
    // A position outside min..max is reported and ignored.
    void SetPosition(int p);
    int GetPosition() const { return position; }

    void SetOnLineUp(const CDelegate<CScrollBar*>& handler) { onLineUp = handler; }
    void SetOnLineDown(const CDelegate<CScrollBar*>& handler) { onLineDown = handler; }
    void SetOnPageUp(const CDelegate<CScrollBar*>& handler) { onPageUp = handler; }
    void SetOnPageDown(const CDelegate<CScrollBar*>& handler) { onPageDown = handler; }
    void SetOnPositionChanged(const CDelegate<CScrollBar*>& handler) { onPositionChanged = handler; }

    void Measure() override;
    void CreateNativeWindow(CNativeWindow& owner) override;
    void OnScroll(int code) override;

    bool vertical;
    int min = 0;
    int max = 0;
    int page = 1;
    int position = 0;
    CDelegate<CScrollBar*> onPageUp;
    CDelegate<CScrollBar*> onPageDown;
    CDelegate<CScrollBar*> onLineUp;
    CDelegate<CScrollBar*> onLineDown;
    CDelegate<CScrollBar*> onPositionChanged;

private:
    void PushRange();
};
