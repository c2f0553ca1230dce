#include "tests/ui/UiTestWindows.h"

CFixedWindow::CFixedWindow(int minW, int prefW, int maxW, int stretchW, int minH, int prefH, int maxH, int stretchH)
    : limits{minW, prefW, maxW, stretchW, minH, prefH, maxH, stretchH}
{
}

void CFixedWindow::Measure()
{
    minWidth = limits[0];
    preferredWidth = limits[1];
    maxWidth = limits[2];
    widthStretch = limits[3];
    minHeight = limits[4];
    preferredHeight = limits[5];
    maxHeight = limits[6];
    heightStretch = limits[7];
}

void CWrappingWindow::MeasureWithin(float width, float height)
{
    offeredWidth = width;
    offeredHeight = height;
    const int w = width >= 1.0f ? int(width) : 1;
    minWidth = 0;
    preferredWidth = w;
    maxWidth = 0;
    widthStretch = 1;
    minHeight = (m_area + w - 1) / w;
    preferredHeight = minHeight;
    maxHeight = 0;
    heightStretch = 0;
}

void CCountingDrawable::Draw(CGraphicsContext& context)
{
    ++draws;
    context.m_state.fillColor = color;
    context.BeginPath(false, true, 1);
    context.AddRect(rect);
    context.EndPath();
}
