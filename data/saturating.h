#pragma once

#include <limits>

// a + b, held at the largest (or smallest) value of the type when the sum
// does not fit, instead of wrapping round or, for a signed type, being
// undefined. Counts read from a damaged or hostile table can add up that far.
template <typename T>
T saturatingAdd(T a, T b)
{
    T sum;
    if (!__builtin_add_overflow(a, b, &sum))
        return sum;
    if constexpr (std::numeric_limits<T>::is_signed) {
        if (b < 0)
            return std::numeric_limits<T>::min();
    }
    return std::numeric_limits<T>::max();
}
