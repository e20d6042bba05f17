#pragma once

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <string>

#include "services/config.h"

// How scene objects turn configuration text into field values. Every value is
// read with a default, so a missing key and a key holding the default read
// alike.
namespace object_values {

// Narrows to float without undefined behaviour: a finite double beyond the
// float range becomes an infinity of its sign, as the hardware would round it.
inline float to_float(double value) {
    if (std::isfinite(value) && std::fabs(value) > double(FLT_MAX)) return value > 0 ? INFINITY : -INFINITY;
    return float(value);
}

// The leading number of the text, 0 when there is none.
inline float read_float(Config_Interface* config, const std::string& key, const char* def) {
    return to_float(std::atof(config->get_value(key, def).c_str()));
}

// Switches are on only for the exact word "true": "True", "TRUE" and "1" are off.
inline bool read_switch(Config_Interface* config, const std::string& key, const char* def) {
    return config->get_value(key, def) == "true";
}

}  // namespace object_values
