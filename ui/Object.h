#pragma once

#include "foundation/Geometry.h"

// Anything that takes part in a layout: a holder of size limits in pixels.
// A maximum of 0 means unlimited; a stretch is a weight for extra space (0:
// takes none). The limits mean something only after the owner's measure step.
class CObject
{
public:
    virtual ~CObject() = default;

    // Per axis: at most the minimum gives the minimum; else at least a set
    // maximum gives the maximum; else the value itself when beyondPreferred,
    // otherwise the smaller of the value and the preferred size.
    CSize2 ClampSize(float width, float height, bool beyondPreferred) const;

    // Takes the width limits from `across` and the height limits from
    // `down`, each anything with min, preferred, max and stretch.
    template <class TAxis>
    void SetLimits(const TAxis& across, const TAxis& down)
    {
        minWidth = across.min;
        preferredWidth = across.preferred;
        maxWidth = across.max;
        widthStretch = across.stretch;
        minHeight = down.min;
        preferredHeight = down.preferred;
        maxHeight = down.max;
        heightStretch = down.stretch;
    }
    // Takes every limit of another object.
    void CopyLimits(const CObject& other);

    int minWidth = 0;
    int preferredWidth = 0;
    int maxWidth = 0;
    int widthStretch = 0;
    int minHeight = 0;
    int preferredHeight = 0;
    int maxHeight = 0;
    int heightStretch = 0;
};

// A fixed gap in a grid. Spacers are shared and never change, so one may
// stand in many cells of many grids at once. Their limits come from dialog
// units of the UI font; an axis of 0 stretches without limit.
class CSpacer : public CObject
{
public:
    static CSpacer* GapV7();       // height 7 DLU
    static CSpacer* GapH7();       // width 7 DLU
    static CSpacer* EmptyCell();   // stretches both ways: the filler of every new cell
    static CSpacer* GapH4to7();
    static CSpacer* GapH4();
    static CSpacer* GapH7to14();
    static CSpacer* NullCell();    // no space, no stretch
    static CSpacer* GapV4();
    static CSpacer* GapV2();
    static CSpacer* GapV4to7();
    static CSpacer* GapV0to4();    // may shrink to 0, never grows beyond 4 DLU
    static CSpacer* GapV14();

    // One axis in dialog units: minimum..maximum, or a single value; an axis
    // of 0 (with stretch) has all limits 0 and stretches.
    struct CAxis
    {
        int minDlu;
        int maxDlu;
        int stretch;
    };
    CSpacer(const CAxis& width, const CAxis& height);
};

// Merges one axis of an item's limits into running limits: the larger
// minimum, the smallest set maximum (but never below the minimum), the larger
// preferred size kept within them, and the smaller stretch (the item's own on
// the first merge). An item whose own minimum exceeds its maximum is
// reported.
struct CAxisLimits
{
    int min = 0;
    int preferred = 0;
    int max = 0;
    int stretch = 0;
    bool merged = false;

    void Merge(int itemMin, int itemPreferred, int itemMax, int itemStretch, bool keepStretch);
};
