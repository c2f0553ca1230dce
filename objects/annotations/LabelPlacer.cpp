#include "objects/annotations/LabelPlacer.h"

CLabelPlacer::CLabelPlacer(const CRectF& area, float labelWidth, float labelHeight)
    : m_area(area), m_labelWidth(labelWidth), m_labelHeight(labelHeight)
{
}

void CLabelPlacer::Occupy(float left, float top, float right, float bottom, bool temporary)
{
}

CPoint2 CLabelPlacer::FindFreeSpot(float x, float y, bool occupy)
{
    return CPoint2(x, y);
}

void CLabelPlacer::RemoveTemporary()
{
}
