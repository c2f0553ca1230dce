#pragma once

#include <cstdint>

#include "foundation/Rect.h"
#include "graphics/Drawable.h"

// The blinking caret of the formatted-text view: a filled rectangle, opaque
// black in its even phases and half-transparent white in its odd ones.
class CTextCaret : public CDrawable
{
public:
    CTextCaret() = default;

    void Draw(CGraphicsContext& context) override;

    // Places the caret and starts a black phase.
    void SetRect(const CRectF& newRect);
    // The next phase, from the view's blink timer.
    void Blink();

    // The warning beep of rejected input (MessageBeep with
    // MB_ICONEXCLAMATION), and how many there were: a beep cannot be heard
    // in a test.
    static void Beep();
    static int GetBeepCount();

    CRectF rect;
    uint32_t phase = 0;
};
