#include "objects/annotations/LineSearch.h"

#include <cmath>
#include <utility>

namespace {

// The relative precision the search works to: 1 halved until 1 + eps^2
// is 1 in T.
template <class T>
T SearchEpsilon()
{
    T eps = T(1);
    volatile T sum = T(1) + eps * eps;
    while (sum != T(1)) {
        eps = eps / T(2);
        sum = T(1) + eps * eps;
    }
    return eps;
}

}  // namespace

template <class T>
void CLineSearch<T>::Bracket(T start, T step, T bound)
{
    b = start;
    c = start + step;
    fb = Evaluate(b);
    fc = Evaluate(c);
    if (fb < fc) {
        std::swap(b, c);
        std::swap(fb, fc);
    }
    a = b;
    fa = fb;
    const T dir = c > b ? T(1) : T(-1);
    for (int i = 0; i < kMaxBracketSteps; ++i) {
        T u = T(2) * (c - b);
        if (dir * u > bound)
            u = dir * bound;
        a = b;
        fa = fb;
        b = c;
        fb = fc;
        c = c + u;
        fc = Evaluate(c);
        if (fb < fc)
            return;
        // The vertex of the parabola through the three points.
        const T r = (fb - fc) * (b - a);
        const T q = (fb - fa) * (b - c);
        const T den = T(2) * (r - q);
        if (!(std::fabs(r) + std::fabs(q) < T(1000) * std::fabs(den)) || den == T(0))
            continue;
        u = b - (r * (b - a) - q * (b - c)) / den;
        if (!((u - b) * dir > T(0)))
            continue;
        if ((u - (c + dir * bound)) * dir > T(0))
            u = c + dir * bound;
        const T fu = Evaluate(u);
        if ((c - u) * dir <= T(0)) {
            if (fu > fc) {
                a = b, fa = fb;
                b = c, fb = fc;
                c = u, fc = fu;
                return;
            }
        } else if (fu < fc) {
            a = b, fa = fb;
            b = u, fb = fu;
            return;
        } else if (fu > fb) {
            c = u, fc = fu;
            return;
        }
    }
}

template <class T>
void CLineSearch<T>::Minimize(T tolerance)
{
    const T eps = SearchEpsilon<T>();
    const T floor = eps * eps * tolerance;
    T lo = std::fmin(a, c);
    T hi = std::fmax(a, c);
    T x = b, w = b, v = b;
    T fx = fb, fw = fb, fv = fb;
    T e = T(0);
    for (int i = 0; i < kMaxBrentSteps; ++i) {
        const T tol1 = std::fmax(std::fabs(x) * eps, floor);
        const T tol2 = T(2) * tol1;
        if (x - lo <= tol2 && hi - x <= tol2)
            break;
        T u = x;
        bool parabolic = false;
        if (std::fabs(e) > tol1) {
            const T r = (fx - fw) * (x - v);
            const T q = (fx - fv) * (x - w);
            const T den = T(2) * (r - q);
            if (T(1000) * std::fabs(den) > std::fabs(r) + std::fabs(q) && den != T(0)) {
                u = x - (r * (x - v) - q * (x - w)) / den;
                parabolic = u > lo && u < hi && T(2) * std::fabs(u - x) < e;
            }
            if (parabolic) {
                e = std::fabs(u - x);
                if (u - lo < tol2 || hi - u < tol2)
                    u = hi - x < x - lo ? x - tol1 : x + tol1;
            }
        }
        if (!parabolic) {
            if (x - lo <= hi - x) {
                u = hi - (hi - x) * T(618) / T(1000);
                e = hi - x;
            } else {
                u = lo + (x - lo) * T(618) / T(1000);
                e = x - lo;
            }
        }
        // Never closer to the best point than tol1.
        if (u >= x && u < x + tol1)
            u = x + tol1;
        else if (u < x && u > x - tol1)
            u = x - tol1;
        if (u == x)
            break;
        const T fu = Evaluate(u);
        if (fu > fx) {
            if (u < x)
                lo = u;
            else
                hi = u;
            if (fu <= fw || w == x) {
                v = w, fv = fw;
                w = u, fw = fu;
            } else if (fu <= fv || v == x || v == w) {
                v = u, fv = fu;
            }
        } else {
            if (u >= x)
                lo = x;
            else
                hi = x;
            v = w, fv = fw;
            w = x, fw = fx;
            x = u, fx = fu;
        }
    }
    b = x;
    fb = fx;
}

template class CLineSearch<float>;
