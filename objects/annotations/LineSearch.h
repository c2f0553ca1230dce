#pragma once

// A one-dimensional minimisation along a line: Bracket finds three
// abscissae a, b, c with b's value below both others (b the best point so
// far), and Minimize narrows the bracket to b by Brent's method. Subclasses
// give the function (Evaluate). Provided for T = float.
//
// Every search is bounded: 500 steps of bracketing, 100 of Brent's method.
template <class T>
class CLineSearch
{
public:
    virtual ~CLineSearch() = default;
    // The function at t.
    virtual T Evaluate(T t) = 0;

    // From a and a + step, downhill (the two are swapped when the second is
    // higher), each step twice the last but at most `bound`, with parabolic
    // steps where the function allows, until the middle point is lowest.
    void Bracket(T start, T step, T bound);
    // Narrows the bracket until b is known within the tolerance relative to
    // its size (never below eps^2 * tolerance); b and fb hold the result.
    // No point closer than that tolerance to the best one is evaluated.
    void Minimize(T tolerance);

    T a = T(0);
    T b = T(0);
    T c = T(0);
    T fa = T(0);
    T fb = T(0);
    T fc = T(0);

    static constexpr int kMaxBracketSteps = 500;
    static constexpr int kMaxBrentSteps = 100;
};

extern template class CLineSearch<float>;
