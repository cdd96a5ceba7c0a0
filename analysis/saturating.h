#pragma once

#include <limits>

// a + b, held at the largest (or smallest) value of T when the sum does not
// fit: counts read from a damaged or hostile table must not wrap round.
template <typename T>
T saturatingAdd(T a, T b)
{
    T sum{};
    if (__builtin_add_overflow(a, b, &sum))
        return b > T{} ? std::numeric_limits<T>::max() : std::numeric_limits<T>::min();
    return sum;
}
