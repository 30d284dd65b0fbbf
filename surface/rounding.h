#pragma once
// Rounding as the whole program does it: to the nearest integer, halves to the even
// neighbour (2.5 -> 2, 3.5 -> 4). std::round sends halves away from zero and must not
// be used for geometry.

#include <cfenv>
#include <climits>
#include <cmath>

namespace surface {

// Round to nearest, halves to even, as a double (no range limit).
inline double roundEven(double v) {
    // nearbyint honours the current rounding mode; the program never changes it from
    // FE_TONEAREST, which is round-half-to-even.
    return std::nearbyint(v);
}

// True when v rounds to a value that a 32-bit int can hold.
inline bool roundsIntoInt(double v) {
    if (!std::isfinite(v)) return false;
    double r = roundEven(v);
    return r >= static_cast<double>(INT_MIN) && r <= static_cast<double>(INT_MAX);
}

// Round to an int, halves to even. Values out of range saturate (NaN gives 0), so no
// user input can make the conversion undefined; callers that care refuse such input
// before they get here.
inline int roundToInt(double v) {
    if (std::isnan(v)) return 0;
    double r = roundEven(v);
    if (r <= static_cast<double>(INT_MIN)) return INT_MIN;
    if (r >= static_cast<double>(INT_MAX)) return INT_MAX;
    return static_cast<int>(r);
}

}  // namespace surface
