#include "course/LabelLayout.h"

#include <algorithm>

#include "course/CourseMark.h"
#include "foundation/CrashLog.h"

CLabelLayout::CLabelLayout(const CRectF& area, const std::vector<CCourseMark*>& marks, uint64_t maxWork)
    : m_order(marks), m_maxWork(maxWork)
{
    CRectF labelExtent;
    for (const CCourseMark* mark : marks)
        labelExtent.Union(labelExtent, mark->GetLabelExtent());
    if (!labelExtent.IsEmpty())
        m_placer = std::make_unique<CLabelPlacer>(area, labelExtent.Width(), labelExtent.Height());
}

void CLabelLayout::Occupy(const CRectF& bounds)
{
    if (m_placer)
        m_placer->Occupy(bounds.left, bounds.top, bounds.right, bounds.bottom, false);
}

void CLabelLayout::Run()
{
    TRACE_VALUE(int32_t, int32_t(m_order.size()));
    if (!m_placer)
        return;
    float previousSum = 0.0f;
    bool converged = false;
    uint64_t passWork = 0;
    for (int pass = 0; pass < kMaxPasses; ++pass) {
        const uint64_t passStart = GetWork();
        if (pass > 0 && passStart + passWork > m_maxWork)
            break;
        float sum = 0.0f;
        if (RunPass(pass, sum))
            converged = false;
        passWork = GetWork() - passStart;
        m_passes = pass + 1;
        if (converged && sum <= previousSum + 0.1f)
            break;
        if (sum >= previousSum - 0.1f)
            converged = true;
        previousSum = sum;
    }
}

bool CLabelLayout::RunPass(int pass, float& sum)
{
    if (pass > 0)
        m_placer->RemoveTemporary();
    std::stable_sort(m_order.begin(), m_order.end(), [](const CCourseMark* a, const CCourseMark* b) {
        if (a->GetChange() != b->GetChange())
            return a->GetChange() > b->GetChange();
        return a->GetLabelAnchor().y > b->GetLabelAnchor().y;
    });
    bool changed = false;
    for (size_t i = 0; i < m_order.size(); ++i) {
        // What is left of the bound, less a share for each mark after this.
        const uint64_t reserved = GetWork() + kSearchWork * (m_order.size() - i);
        const uint64_t limit = kSearchWork + (reserved < m_maxWork ? m_maxWork - reserved : 0);
        CCourseMark* mark = m_order[i];
        const CPoint2 anchor = mark->GetLabelAnchor();
        const CPoint2 spot = m_placer->FindFreeSpot(anchor.x, anchor.y, true, limit);
        mark->SetLabelPosition(spot.x, spot.y, pass == 0);
        sum += mark->GetChange();
        if (mark->GetChange() > 0.0f)
            changed = true;
    }
    return changed;
}
