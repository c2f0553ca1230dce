#pragma once

#include <vector>

#include "objects/annotations/LineSearch.h"

// A conjugate-gradient minimiser (Polak-Ribiere) over n parameters x of an
// objective that subclasses give (Evaluate). The gradient is a difference
// of values: an objective may fill g itself (and set gradientSupplied);
// otherwise central differences are taken. Each line search runs along d
// from x0, its parameter a distance in the maximum norm. Provided for
// T = float.
template <class T>
class CMinimizer
{
public:
    // The line search along d from x0.
    class CLineMin : public CLineSearch<T>
    {
    public:
        explicit CLineMin(CMinimizer& owner) : m_owner(owner) {}
        // x := x0 + d t / |d| (x is left alone while |d| is not above 0),
        // then the objective there without gradient.
        T Evaluate(T t) override;

    private:
        CMinimizer& m_owner;
    };

    virtual ~CMinimizer() = default;
    // The objective at x; with the gradient, an objective that can fills g
    // and sets gradientSupplied.
    virtual T Evaluate(bool withGradient) = 0;

    // From x, at most kMaxIterations line searches: each along the new
    // conjugate direction with steps up to `stepBound`; one that gains no
    // more than `valueTolerance` or moves less than `moveTolerance` restarts
    // once along the negative gradient with four times the step, and a
    // second failure in a row stops. A zero gradient stops at once. Returns
    // the last value; x holds its point.
    T Minimize(T stepBound, T moveTolerance, T valueTolerance);
    // The value at x and the gradient in g: the objective's own, or central
    // differences with the step h, 10h or 100h, the first that tells some
    // component apart from the value (|g_i| * 10000 > |f|).
    T EvaluateWithGradient(T h);
    // n parameters, all 0, and a gradient of 0.
    void SetSize(int n);
    int GetSize() const { return int(x.size()); }

    static constexpr int kMaxIterations = 200;

    std::vector<T> x;
    std::vector<T> x0;
    std::vector<T> g;
    std::vector<T> d;
    // The maximum norm of d.
    T normD = T(0);
    bool gradientSupplied = false;

private:
    void UpdateNormD();
    void StepTo(T t);
};

extern template class CMinimizer<float>;
