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

namespace {

int g_beeps = 0;

}  // namespace

void CTextCaret::Beep()
{
    ++g_beeps;
    MessageBeep(MB_ICONEXCLAMATION);
}

int CTextCaret::GetBeepCount() { return g_beeps; }
