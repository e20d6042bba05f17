#pragma once

#include <cfloat>
#include <cmath>

// How scene objects turn configuration text into field values.
namespace object_values {

// Narrows to float without undefined behaviour: a finite double beyond the
// float range becomes an infinity of its sign, as the hardware would round it.
inline float to_float(double value) {
    if (std::isfinite(value) && std::fabs(value) > double(FLT_MAX)) return value > 0 ? INFINITY : -INFINITY;
    return float(value);
}

}  // namespace object_values
