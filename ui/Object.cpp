#include "ui/Object.h"

#include "foundation/CrashLog.h"
#include "ui/UIFontMetrics.h"

namespace {

float ClampAxis(float value, int minimum, int preferred, int maximum, bool beyondPreferred)
{
    if (value <= float(minimum))
        return float(minimum);
    if (maximum > 0 && value >= float(maximum))
        return float(maximum);
    if (beyondPreferred || value < float(preferred))
        return value;
    return float(preferred);
}

const CSpacer::CAxis kStretches = {0, 0, 1};

CSpacer::CAxis Fixed(int dlu) { return {dlu, dlu, 0}; }
CSpacer::CAxis Range(int minDlu, int maxDlu) { return {minDlu, maxDlu, 0}; }

}  // namespace

CSize2 CObject::ClampSize(float width, float height, bool beyondPreferred) const
{
    return CSize2(ClampAxis(width, minWidth, preferredWidth, maxWidth, beyondPreferred),
                  ClampAxis(height, minHeight, preferredHeight, maxHeight, beyondPreferred));
}

void CObject::CopyLimits(const CObject& other)
{
    minWidth = other.minWidth;
    preferredWidth = other.preferredWidth;
    maxWidth = other.maxWidth;
    widthStretch = other.widthStretch;
    minHeight = other.minHeight;
    preferredHeight = other.preferredHeight;
    maxHeight = other.maxHeight;
    heightStretch = other.heightStretch;
}

CSpacer::CSpacer(const CAxis& width, const CAxis& height)
{
    minWidth = DluToPixelsX(width.minDlu);
    preferredWidth = DluToPixelsX(width.maxDlu);
    maxWidth = DluToPixelsX(width.maxDlu);
    widthStretch = width.stretch;
    minHeight = DluToPixelsY(height.minDlu);
    preferredHeight = DluToPixelsY(height.maxDlu);
    maxHeight = DluToPixelsY(height.maxDlu);
    heightStretch = height.stretch;
}

#define FENDREL_SPACER(name, width, height)   \
    CSpacer* CSpacer::name()                  \
    {                                         \
        static CSpacer spacer(width, height); \
        return &spacer;                       \
    }

FENDREL_SPACER(GapV7, kStretches, Fixed(7))
FENDREL_SPACER(GapH7, Fixed(7), kStretches)
FENDREL_SPACER(EmptyCell, kStretches, kStretches)
FENDREL_SPACER(GapH4to7, Range(4, 7), kStretches)
FENDREL_SPACER(GapH4, Fixed(4), kStretches)
FENDREL_SPACER(GapH7to14, Range(7, 14), kStretches)
FENDREL_SPACER(NullCell, Fixed(0), Fixed(0))
FENDREL_SPACER(GapV4, kStretches, Fixed(4))
FENDREL_SPACER(GapV2, kStretches, Fixed(2))
FENDREL_SPACER(GapV4to7, kStretches, Range(4, 7))
FENDREL_SPACER(GapV0to4, kStretches, Range(0, 4))
FENDREL_SPACER(GapV14, kStretches, Fixed(14))

#undef FENDREL_SPACER

void CAxisLimits::Merge(int itemMin, int itemPreferred, int itemMax, int itemStretch, bool keepStretch)
{
    if (itemMax > 0 && itemMin > itemMax) {
        TRACE_VALUE(int32_t, itemMin);
        TRACE_VALUE(int32_t, itemMax);
        ReportFailure();
    }
    if (itemMin > min)
        min = itemMin;
    if (itemMax > 0 && (max == 0 || max > itemMax))
        max = itemMax;
    // A line is never smaller than its largest item: a label beside an edit
    // box makes the row as tall as the edit, and the label is centred in it.
    if (max > 0 && max < min)
        max = min;
    if (itemPreferred > preferred)
        preferred = itemPreferred;
    if (preferred < min)
        preferred = min;
    else if (max > 0 && preferred > max)
        preferred = max;
    if (!keepStretch)
        stretch = merged ? (itemStretch < stretch ? itemStretch : stretch) : itemStretch;
    merged = true;
}
