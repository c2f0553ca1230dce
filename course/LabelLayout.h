#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/Rect.h"
#include "objects/annotations/LabelPlacer.h"

class CCourseMark;

// Places the labels of coordinate marks in an area, clear of each other and
// of the rectangles occupied beforehand. Pass after pass, every label goes to
// the free spot nearest its anchor, the marks whose labels moved most going
// first, until a pass changes no more than the one before it; at most 50
// passes.
//
// The work is bounded, in the placer's measure (about a second for the
// default): more than a crowded ring of some hundred marks takes, whose
// layout the bound leaves as it is. With thousands of marks the labels are
// placed as far as the bound goes: each search may do at least a small
// share however little is left (a label whose search cannot even start
// stays at its anchor), and a pass starts only while the bound leaves room
// for another like the one before.
class CLabelLayout
{
public:
    static constexpr uint64_t kDefaultWork = 48000000;
    // The share every search may do.
    static constexpr uint64_t kSearchWork = 64;
    static constexpr int kMaxPasses = 50;

    // The label size is the extent of the union of all labels; marks without
    // a label extent leave nothing to place.
    CLabelLayout(const CRectF& area, const std::vector<CCourseMark*>& marks, uint64_t maxWork = kDefaultWork);
    CLabelLayout(const CLabelLayout&) = delete;
    CLabelLayout& operator=(const CLabelLayout&) = delete;

    // A rectangle no label may cover.
    void Occupy(const CRectF& bounds);
    // Moves every label to its place.
    void Run();

    uint64_t GetWork() const { return m_placer ? m_placer->GetWork() : 0; }
    int GetPassCount() const { return m_passes; }

private:
    // One pass over the marks; whether some label changed its distance.
    bool RunPass(int pass, float& sum);

    std::vector<CCourseMark*> m_order;
    std::unique_ptr<CLabelPlacer> m_placer;
    uint64_t m_maxWork;
    int m_passes = 0;
};
