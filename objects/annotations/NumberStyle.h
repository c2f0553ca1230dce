#pragma once

#include "foundation/Geometry.h"

class CFieldStream;
class CGraphicsContext;
class CObsNum;

// The look of an obstacle number's badge: 0 a round badge that stretches
// into a pill for long labels, 1 a square box, 2 no badge at all. Each style
// is one process-wide object, found by its index with GetNumberStyle.
// Lengths are course units about the badge's centre.
class CNumberStyle
{
public:
    virtual ~CNumberStyle() = default;

    virtual int GetIndex() const = 0;
    // Half the width and half the height of the badge around a label of the
    // given width in the label font.
    virtual CPoint2 GetHalfSize(float labelWidth) const = 0;
    // The badge and, with drawText, the number's label centred on it, in the
    // context's colours and font; the result is GetHalfSize of the label.
    virtual CPoint2 Draw(CGraphicsContext& context, const CObsNum& number, bool drawText) const = 0;
    // Style data a number's key and record carry: none for the three styles.
    virtual void AppendKey(CFieldStream& stream, const CObsNum& number) const;
};

// The style of an index from 0 to 2. Any other index is reported and gives
// style 0.
const CNumberStyle& GetNumberStyle(int index);
// Whether GetNumberStyle knows the index.
bool IsNumberStyleIndex(int index);
