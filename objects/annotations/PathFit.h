#pragma once

#include "objects/annotations/DogPathNode.h"
#include "objects/annotations/Minimizer.h"

struct CKnotParams;

// The fit of one section of a dog path between the obstacles it is tied to:
// the line that leaves each obstacle through its approach zone and joins the
// next with smooth curves, at the least total length plus approach
// penalties. Each node's end offers 0, 1 or 2 free parameters (where the
// line crosses the end, at which angle); those of all the section's nodes
// are the unknowns, all starting at 0.
//
// Construction minimises at once (when there is some parameter); the caller
// then walks the section with SetUpKnot and Advance to read the fitted
// knots. Every node from first up to, not including, end must be tied; a
// free one is reported and stands as a knot of no handles at its point.
class CPathFit : public CMinimizer<float>
{
public:
    CPathFit(CDogPathNodes::iterator first, CDogPathNodes::iterator end, float size);

    // The knot of the current node from its parameters in x and the size.
    void SetUpKnot(CKnotParams& knot) const;
    // On to the next node (its parameters follow the current one's in x).
    void Advance();
    // The section's length plus its knots' approach penalties; with the
    // gradient, each parameter's g is the change of its knot's local cost
    // (penalty and the segments on either side) from p - kGradientStep to
    // p + kGradientStep, not divided by the step.
    float Evaluate(bool withGradient) override;

    // The length between two consecutive knots (their handles limited to
    // the chord, on copies): straight to the inner front handle, the cubic
    // through the outer handles, straight from the next knot's inner back
    // handle.
    static float SegmentLength(const CKnotParams& knot, const CKnotParams& next);

    bool IsAtEnd() const { return m_current == m_end; }
    int GetParameterCount() const { return GetSize(); }
    // How many times the objective was asked for (a measure for tests and
    // the benchmark).
    int GetEvaluationCount() const { return m_evaluations; }

    static constexpr float kStepBound = 120.0f;
    static constexpr float kMoveTolerance = 0.1f;
    static constexpr float kValueTolerance = 0.1f;
    static constexpr float kGradientStep = 60.0f;

private:
    static int ParamCount(const CDogPathNode& node);
    // The walk back at the first node.
    void Restart();

    CDogPathNodes::iterator m_first;
    CDogPathNodes::iterator m_end;
    float m_size;
    CDogPathNodes::iterator m_current;
    int m_offset = 0;
    int m_evaluations = 0;
};
