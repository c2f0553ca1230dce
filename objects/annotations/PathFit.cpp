#include "objects/annotations/PathFit.h"

#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/Curve.h"
#include "foundation/TracePoint.h"
#include "objects/equipment/ObstacleEnd.h"

CPathFit::CPathFit(CDogPathNodes::iterator first, CDogPathNodes::iterator end, float size)
    : m_first(first), m_end(end), m_size(size), m_current(first)
{
    TRACE_VALUE(float, size);
    int count = 0;
    for (auto node = first; node != end; ++node) {
        if (node->end == nullptr) {
            TRACE_VALUE(float, node->x);
            ReportFailure();
        }
        count += ParamCount(*node);
    }
    if (count > 0) {
        SetSize(count);
        Minimize(kStepBound, kMoveTolerance, kValueTolerance);
    }
    Restart();
}

int CPathFit::ParamCount(const CDogPathNode& node)
{
    return node.end != nullptr ? node.end->GetParamCount() : 0;
}

void CPathFit::Restart()
{
    m_current = m_first;
    m_offset = 0;
}

void CPathFit::Advance()
{
    if (m_current == m_end) {
        ReportFailure();
        return;
    }
    m_offset += ParamCount(*m_current);
    ++m_current;
}

void CPathFit::SetUpKnot(CKnotParams& knot) const
{
    knot = CKnotParams();
    if (m_current == m_end) {
        ReportFailure();
        return;
    }
    const CDogPathNode& node = *m_current;
    const int count = ParamCount(node);
    for (int i = 0; i < count && m_offset + i < GetSize(); ++i)
        knot.Set(i, x[size_t(m_offset + i)]);
    knot.size = m_size;
    if (node.end != nullptr) {
        node.end->SetUpKnot(knot);
        return;
    }
    // A free node: the line passes its point without handles.
    const CPoint2 p(node.x, node.y);
    knot.outerBack = knot.innerBack = knot.position = knot.innerFront = knot.outerFront = p;
}

float CPathFit::SegmentLength(const CKnotParams& knot, const CKnotParams& next)
{
    CKnotParams a = knot;
    CKnotParams b = next;
    a.LimitHandles(b);
    CCurveGeometry curve;
    curve.p0 = a.innerFront;
    curve.p1 = a.outerFront;
    curve.p2 = b.outerBack;
    curve.p3 = b.innerBack;
    return (a.position - a.innerFront).Length() + curve.GetLength() + (b.innerBack - b.position).Length();
}

float CPathFit::Evaluate(bool withGradient)
{
    ++m_evaluations;
    std::vector<CKnotParams> knots;
    std::vector<int> offsets;
    Restart();
    float total = 0.0f;
    for (; m_current != m_end; Advance()) {
        knots.emplace_back();
        offsets.push_back(m_offset);
        SetUpKnot(knots.back());
        if (knots.size() > 1)
            total += SegmentLength(knots[knots.size() - 2], knots.back());
        total += knots.back().cost;
    }
    if (withGradient) {
        // Each parameter moves only its own knot: the local cost of that
        // knot (its penalty and its two segments) tells the change.
        Restart();
        for (size_t k = 0; k < knots.size(); ++k, Advance()) {
            const int count = ParamCount(*m_current);
            for (int j = 0; j < count; ++j) {
                const size_t index = size_t(offsets[k] + j);
                const float kept = x[index];
                float local[2] = {0.0f, 0.0f};
                for (int side = 0; side < 2; ++side) {
                    x[index] = kept + (side == 0 ? kGradientStep : -kGradientStep);
                    CKnotParams moved;
                    SetUpKnot(moved);
                    local[side] = moved.cost;
                    if (k > 0)
                        local[side] += SegmentLength(knots[k - 1], moved);
                    if (k + 1 < knots.size())
                        local[side] += SegmentLength(moved, knots[k + 1]);
                }
                x[index] = kept;
                g[index] = local[0] - local[1];
            }
        }
        gradientSupplied = true;
    }
    Restart();
    return total;
}
