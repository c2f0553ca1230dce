#include "app/ToolColumn.h"

#include <algorithm>

#include "app/CameraToolbar.h"
#include "app/ShapeToolbar.h"
#include "ui/Button.h"
#include "ui/ComboBox.h"

CToolColumn::CToolColumn(CComboBox* chooser, CShapeToolbar* shapeToolbar, CPushButton* propertiesButton,
                         CPushButton* colorsButton, CCameraToolbar* cameraToolbar)
    : CGridLayout(true)
{
    Add(chooser);
    Add(CSpacer::GapV4());
    Add(shapeToolbar);
    Add(CSpacer::GapV14());
    Add(propertiesButton);
    Add(CSpacer::GapV4());
    Add(colorsButton);
    Add(CSpacer::GapV14());
    Add(cameraToolbar);
    AddEmpty();
}

void CToolColumn::SetBounds(const CRectF& rect)
{
    Measure();
    CRectF placed = rect;
    placed.bottom = std::max(placed.bottom, placed.top + float(minHeight));
    CGridLayout::SetBounds(placed);
    Measure();
}
