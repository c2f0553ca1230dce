#include "objects/annotations/Minimizer.h"

#include <algorithm>
#include <cmath>

namespace {

template <class T>
T MaxNorm(const std::vector<T>& v)
{
    T norm = T(0);
    for (T value : v)
        norm = std::fmax(norm, std::fabs(value));
    return norm;
}

}  // namespace

template <class T>
T CMinimizer<T>::CLineMin::Evaluate(T t)
{
    m_owner.StepTo(t);
    return m_owner.Evaluate(false);
}

template <class T>
void CMinimizer<T>::StepTo(T t)
{
    if (!(normD > T(0)))
        return;
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = x0[i] + d[i] * t / normD;
}

template <class T>
void CMinimizer<T>::UpdateNormD()
{
    normD = MaxNorm(d);
}

template <class T>
void CMinimizer<T>::SetSize(int n)
{
    const size_t size = size_t(std::max(n, 0));
    x.assign(size, T(0));
    x0.assign(size, T(0));
    g.assign(size, T(0));
    d.assign(size, T(0));
    normD = T(0);
}

template <class T>
T CMinimizer<T>::EvaluateWithGradient(T h)
{
    gradientSupplied = false;
    const T f = Evaluate(true);
    if (gradientSupplied)
        return f;
    for (int pass = 0; pass < 3; ++pass, h = h * T(10)) {
        bool told = false;
        for (size_t i = 0; i < x.size(); ++i) {
            const T kept = x[i];
            x[i] = kept + h;
            const T above = Evaluate(false);
            x[i] = kept - h;
            const T below = Evaluate(false);
            x[i] = kept;
            g[i] = above - below;
            told = told || std::fabs(g[i]) * T(10000) > std::fabs(f);
        }
        if (told)
            break;
    }
    return f;
}

template <class T>
T CMinimizer<T>::Minimize(T stepBound, T moveTolerance, T valueTolerance)
{
    T h = stepBound;
    T f = EvaluateWithGradient(h);
    x0 = x;
    for (size_t i = 0; i < d.size(); ++i)
        d[i] = -g[i];
    UpdateNormD();
    bool restarted = false;
    CLineMin line(*this);
    for (int iterations = 0; iterations < kMaxIterations;) {
        if (normD != T(0)) {
            h = std::fmin(h, stepBound);
            line.Bracket(T(0), h, stepBound);
            line.Minimize(h);
            StepTo(line.b);
            const T reached = line.fb;
            if (f - reached > valueTolerance) {
                T moved = T(0);
                for (size_t i = 0; i < x.size(); ++i)
                    moved = std::fmax(moved, std::fabs(x[i] - x0[i]));
                h = moved;
                if (moved >= moveTolerance) {
                    const std::vector<T> oldG = g;
                    f = EvaluateWithGradient(h);
                    x0 = x;
                    T num = T(0);
                    T den = T(0);
                    for (size_t i = 0; i < g.size(); ++i) {
                        num += (g[i] - oldG[i]) * g[i];
                        den += oldG[i] * oldG[i];
                    }
                    if (den == T(0))
                        return f;
                    const T beta = num / den;
                    for (size_t i = 0; i < d.size(); ++i)
                        d[i] = beta * d[i] - g[i];
                    UpdateNormD();
                    restarted = false;
                    ++iterations;
                    continue;
                }
            }
        }
        // No progress along d: once more along the fresh negative gradient,
        // with a longer step.
        if (restarted)
            break;
        restarted = true;
        f = EvaluateWithGradient(h);
        x0 = x;
        for (size_t i = 0; i < d.size(); ++i)
            d[i] = -g[i];
        UpdateNormD();
        if (normD == T(0))
            break;
        h = h * T(4);
        ++iterations;
    }
    return f;
}

template class CMinimizer<float>;
