#include "ui/TextCaret.h"

#include <windows.h>

#include "graphics/GraphicsContext.h"

void CTextCaret::Draw(CGraphicsContext& context)
{
    context.m_state.fillColor = phase % 2 == 0 ? 0xFF000000 : 0x80FFFFFF;
    context.BeginPath(false, true, 1);
    context.AddRect(rect);
    context.EndPath();
}

void CTextCaret::SetRect(const CRectF& newRect)
{
    rect = newRect;
    phase = 0;
    MakeUniqueKey();
}

void CTextCaret::Blink()
{
    ++phase;
    MakeUniqueKey();
}

void CTextCaret::Beep() { MessageBeep(MB_ICONEXCLAMATION); }
