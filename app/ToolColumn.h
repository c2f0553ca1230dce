#pragma once

#include "ui/GridLayout.h"

class CCameraToolbar;
class CComboBox;
class CPushButton;
class CShapeToolbar;

// The tools on the left of a course window, top to bottom: the organisation
// chooser, the shape toolbar, the properties and colours buttons and the
// camera toolbar, with fixed gaps between them. A window too short for the
// column leaves its lower part below the client area rather than squeezing
// the tools.
class CToolColumn : public CGridLayout
{
public:
    // None of the five is owned.
    CToolColumn(CComboBox* chooser, CShapeToolbar* shapeToolbar, CPushButton* propertiesButton,
                CPushButton* colorsButton, CCameraToolbar* cameraToolbar);

    // Never shorter than the column's minimum height.
    void SetBounds(const CRectF& rect) override;
};
