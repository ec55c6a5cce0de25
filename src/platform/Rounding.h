#pragma once

#include <cmath>

// Every length or zoom that becomes a whole number is rounded to the nearest integer with
// halves going to the even neighbour (banker's rounding), so that a value converted twice
// lands on the same pixel. std::nearbyint honours the default rounding mode, which is
// round-half-even; we never change that mode.
inline double roundHalfEvenToDouble(double v) {
    return std::nearbyint(v);
}
inline int roundHalfEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}
